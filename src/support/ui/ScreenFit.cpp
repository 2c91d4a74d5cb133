#include "support/ui/ScreenFit.h"

#include "support/ui/Twips.h"

#include <QApplication>
#include <QFont>
#include <QScreen>

#include <algorithm>

namespace support {

namespace {

// What a window needs besides its client area, in pixels at the normal font: the title bar and
// border a window manager draws, and the menu bar.
constexpr double FrameWidth = 16;
constexpr double TitleHeight = 32;
constexpr double MenuHeight = 26;
// The smallest text worth shrinking to, in points as the screen shows them (the scale included).
constexpr double SmallestReadablePoints = 6.5;

} // namespace

double fitLayoutToScreen(QSize largestClientTwips) {
    layoutFit() = 1.0;
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen)
        return 1.0;
    const QRect area = screen->availableGeometry();
    const double dpi = screen->logicalDotsPerInch();
    const double width = largestClientTwips.width() * dpi / 1440.0;
    const double height = largestClientTwips.height() * dpi / 1440.0;
    double fit = std::min(
        {1.0, (area.width() - FrameWidth) / width, (area.height() - TitleHeight) / (height + MenuHeight)});
    // Text smaller than this would not be read: the window then stays larger than such a screen.
    QFont font = QApplication::font();
    const double shownPoints = font.pointSizeF() * screen->devicePixelRatio();
    if (shownPoints > 0)
        fit = std::max(fit, std::min(1.0, SmallestReadablePoints / shownPoints));
    if (fit < 1.0) {
        layoutFit() = fit;
        font.setPointSizeF(font.pointSizeF() * fit);
        QApplication::setFont(font);
    }
    return fit;
}

} // namespace support
