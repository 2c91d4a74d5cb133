#include "support/WindowPlace.h"

#include <algorithm>
#include <cstdint>
#include <limits>

namespace support {

namespace {

// How far the coordinate lies outside [first, first + extent). A stored place may lie anywhere:
// the distance is capped at the range of int, so the sum of two squares cannot overflow.
std::int64_t outside(std::int64_t v, std::int64_t first, std::int64_t extent) {
    const std::int64_t last = first + extent - 1;
    return std::min<std::int64_t>(v < first ? first - v : std::max<std::int64_t>(0, v - last),
                                  std::numeric_limits<int>::max());
}

int clamp(std::int64_t v, std::int64_t first, std::int64_t extent, std::int64_t size) {
    return static_cast<int>(std::max(first, std::min(v, first + extent - size)));
}

} // namespace

int nearestScreen(const std::vector<ScreenAreas>& screens, PixelPoint p) {
    int nearest = -1;
    std::int64_t best = std::numeric_limits<std::int64_t>::max();
    for (std::size_t i = 0; i < screens.size(); ++i) {
        const PixelRect& g = screens[i].geometry;
        const std::int64_t dx = outside(p.x, g.left, g.width), dy = outside(p.y, g.top, g.height);
        if (dx * dx + dy * dy < best) {
            best = dx * dx + dy * dy;
            nearest = static_cast<int>(i);
        }
    }
    return nearest;
}

PixelPoint placeOnScreen(const std::vector<ScreenAreas>& screens, PixelPoint topLeft, int frameWidth,
                         int frameHeight) {
    const int screen = nearestScreen(screens, topLeft);
    if (screen < 0)
        return topLeft;
    const PixelRect& a = screens[static_cast<std::size_t>(screen)].available;
    return {clamp(topLeft.x, a.left, a.width, frameWidth), clamp(topLeft.y, a.top, a.height, frameHeight)};
}

} // namespace support
