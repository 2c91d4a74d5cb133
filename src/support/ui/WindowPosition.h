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

// Places the window's frame centred over the frame of `over` (the screen's available area when
// there is none), pulled onto the screen; returns where the frame goes. For a window without a
// stored place, so that it opens where the user is looking rather than where the window manager
// puts it.
QPoint centreOver(QWidget& window, const QWidget* over);

// The window stays above its owner's window: the window manager keeps it over the owner and a
// click on the owner does not hide it. It is not made the owner's Qt child, which would disable it
// together with the owner it disables while it is open. A null owner leaves the window free.
void keepAbove(QWidget& window, QWidget* owner);

// A shown window that grew is pulled back onto the screen where it no longer fits; where it was
// placed is not changed, so closing it stores the place it was pulled to.
void keepOnScreen(QWidget& window);

} // namespace support
