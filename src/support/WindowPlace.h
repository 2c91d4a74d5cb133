#pragma once

#include <vector>

namespace support {

// Where a window goes on the desktop, in pixels, without a toolkit at hand: a place read from
// PosFil may come from another screen setup or a damaged file, so it is pulled onto a screen.
struct PixelPoint {
    int x = 0, y = 0;
    friend bool operator==(const PixelPoint&, const PixelPoint&) = default;
};
struct PixelRect {
    int left = 0, top = 0, width = 0, height = 0;
};
struct ScreenAreas {
    PixelRect geometry;  // the whole screen
    PixelRect available; // without panels and docks
};

// The screen whose geometry lies nearest to the point (the first of those it lies on); -1 without
// screens.
int nearestScreen(const std::vector<ScreenAreas>& screens, PixelPoint p);

// A frame's top-left corner moved as little as needed for the whole frame to lie on the available
// area of the screen nearest to it. Right and bottom first, so a frame larger than the area keeps
// its title bar on it. Unchanged without screens.
PixelPoint placeOnScreen(const std::vector<ScreenAreas>& screens, PixelPoint topLeft, int frameWidth,
                         int frameHeight);

} // namespace support
