#pragma once

#include "store/Records.h"

class QWidget;

namespace app {
class Context;
}

namespace support {

// Every window keeps its left and top edge, in twips, in its pair of record 1 of PosFil.
//
// restoreWindowPosition, when the window opens (call it once the window is shown, so that its
// position is the real one): a stored pair moves the window there; an unset pair gets the
// window's current position and record 1 is written.
// storeWindowPosition, when the window closes: the pair is written when it is unset or differs
// from the window's position; an unmoved window leaves PosFil untouched.
//
// Both throw store::FileError when PosFil cannot be read or written; callers run them inside
// their error trap.
void restoreWindowPosition(app::Context& ctx, QWidget& window, store::WindowPair pair);
void storeWindowPosition(app::Context& ctx, QWidget& window, store::WindowPair pair);

} // namespace support
