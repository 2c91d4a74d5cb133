#pragma once

#include <QGuiApplication>
#include <QPoint>
#include <QScreen>
#include <QWidget>

#include <cmath>

namespace support {

// Positions and sizes of the windows are stated in twips (1/1440 inch). They become pixels
// with the screen's logical DPI: 15 twips per pixel at 96 DPI.
inline int twipsToPixels(int twips, int dpi) {
    return static_cast<int>(std::lround(static_cast<double>(twips) * dpi / 1440.0));
}
inline int pixelsToTwips(int pixels, int dpi) {
    return static_cast<int>(std::lround(static_cast<double>(pixels) * 1440.0 / dpi));
}

// Horizontal measures use the widget's horizontal DPI, vertical ones its vertical DPI.
inline int twipsX(const QWidget& w, int twips) {
    return twipsToPixels(twips, w.logicalDpiX());
}
inline int twipsY(const QWidget& w, int twips) {
    return twipsToPixels(twips, w.logicalDpiY());
}
inline int pixelsToTwipsX(const QWidget& w, int px) {
    return pixelsToTwips(px, w.logicalDpiX());
}
inline int pixelsToTwipsY(const QWidget& w, int px) {
    return pixelsToTwips(px, w.logicalDpiY());
}

// For layout code that has no widget at hand: the primary screen's logical DPI (96 without a
// screen).
inline int screenDpi() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? static_cast<int>(std::lround(screen->logicalDotsPerInch())) : 96;
}

// Where the screen is too small for the program's largest window at the user's scale, the measures
// of the windows' parts shrink by one factor (and the fonts with it, see fitLayoutToScreen); 1
// otherwise. Window places on the screen keep their measure.
inline double& layoutFit() {
    static double fit = 1.0;
    return fit;
}

// A measure of a window's part: its size or its place inside the window.
inline int px(int twips) {
    return static_cast<int>(std::lround(static_cast<double>(twips) * screenDpi() / 1440.0 * layoutFit()));
}
inline int twips(int pixels) {
    return static_cast<int>(std::lround(static_cast<double>(pixels) * 1440.0 / screenDpi() / layoutFit()));
}

} // namespace support
