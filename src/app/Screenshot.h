#pragma once

#include <QString>

class QWidget;

namespace app {

// Writes a PNG of the main window with every other visible window of the program drawn on top
// at its place (an open question or input box included). False when the file cannot be written.
bool saveScreenshot(QWidget& mainWindow, const QString& file);

} // namespace app
