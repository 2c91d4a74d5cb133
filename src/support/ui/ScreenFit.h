#pragma once

#include <QSize>

namespace support {

// At start-up, once the application font is set: when the largest window (its client area in
// twips, with a menu bar and a window frame around it) is larger than the screen's available area
// at the user's scale (QT_SCALE_FACTOR, the desktop's own scaling), every part of the windows and
// the application font shrink by the factor that makes it fit, so no window opens larger than the
// screen and the command buttons stay in sight. Returns the factor (1 when it fits).
double fitLayoutToScreen(QSize largestClientTwips);

} // namespace support
