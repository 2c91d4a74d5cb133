#pragma once

#include <QPixmap>
#include <QSize>

namespace app {

// The program's logo, drawn rather than loaded so that it scales with the screen.
QPixmap logoPixmap(QSize size);

} // namespace app
