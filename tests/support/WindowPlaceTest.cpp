#include "support/WindowPlace.h"

#include <gtest/gtest.h>

#include <climits>

using support::PixelPoint;

// A stored place is never trusted: the frame lands wholly on the available area of the nearest
// screen, or with its top-left corner on it when it is larger; places at the ends of the number
// range are pulled in like any other.
TEST(WindowPlace, PulledOntoTheNearestScreen) {
    // A 1920 x 1080 screen with a panel of 40 at the bottom, and a 1280 x 1024 screen left of it.
    const std::vector<support::ScreenAreas> screens = {{{0, 0, 1920, 1080}, {0, 0, 1920, 1040}},
                                                       {{-1280, 0, 1280, 1024}, {-1280, 0, 1280, 1024}}};
    struct Case {
        PixelPoint stored;
        int width, height;
        PixelPoint expected;
    } const cases[] = {
        {{100, 200}, 600, 400, {100, 200}},   // on the screen: stays
        {{1800, 900}, 600, 400, {1320, 640}}, // over the right and bottom edge, above the panel
        {{-1400, -50}, 600, 400, {-1280, 0}}, // left of the second screen
        {{-10, 300}, 600, 400, {-600, 300}},  // nearer the second screen
        {{500, 500}, 2500, 1200, {0, 0}},     // larger than the screen: its title bar stays on it
        {{INT_MAX, INT_MAX}, 600, 400, {1320, 640}},
        {{INT_MIN, INT_MIN}, 600, 400, {-1280, 0}},
    };
    for (const Case& c : cases) {
        const PixelPoint p = support::placeOnScreen(screens, c.stored, c.width, c.height);
        EXPECT_EQ(p, c.expected) << c.stored.x << "," << c.stored.y;
    }
    EXPECT_EQ(support::placeOnScreen({}, {-5, 7}, 600, 400), (PixelPoint{-5, 7}));
}
