#pragma once

#include "store/Records.h"

#include <QPoint>

class QWidget;

namespace support {
class Context;
}

namespace support {

// Every window keeps the left and top edge of its frame (title bar and border included), in
// twips, in its pair of record 1 of PosFil.
//
// restoreWindowPosition, when the window opens (before show() or in its showEvent, while the
// window manager has not framed it yet): a stored pair places the frame there, moved as little as
// needed for the whole window to lie on the available area of the screen nearest to that place;
// an unset pair gets the window's current position and record 1 is written.
// storeWindowPosition, when the window closes: the pair is written when it is unset or the
// window stands elsewhere than it was placed; a window the user did not move leaves PosFil
// untouched, also when its stored place had to be pulled onto the screen.
//
// Both throw store::FileError when PosFil cannot be read or written; callers run them inside
// their error trap.
void restoreWindowPosition(support::Context& ctx, QWidget& window, store::WindowPair pair);
void storeWindowPosition(support::Context& ctx, QWidget& window, store::WindowPair pair);

// Moves the window's frame to topLeft (pixels), pulled onto the available area of the nearest
// screen; returns where the frame goes. Works before and after the window manager framed the
// window.
QPoint placeFrame(QWidget& window, QPoint topLeft);

// A shown window that grew is pulled back onto the screen where it no longer fits; where it was
// placed is not changed, so closing it stores the place it was pulled to.
void keepOnScreen(QWidget& window);

} // namespace support
