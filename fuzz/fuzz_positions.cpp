// Random bytes as PosFil, read as a window reads its place when it opens and written as it stores
// its place when it closes: every pair read, its twips turned into pixels at the usual screen
// resolutions and pulled onto the screens of a few desktops, and the place it lands on stored
// back. A stored place is never trusted: the frame ends on the nearest screen, and storing one
// pair keeps every other byte of the record. Only store::DataError and store::FileError may come
// out of reading the file.

#include "FuzzFiles.h"

#include "store/RecordFile.h"
#include "store/Records.h"
#include "support/WindowPlace.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace {

using support::PixelPoint;
using support::PixelRect;
using support::ScreenAreas;

// As the windows convert: the screen's logical DPI, 1440 twips an inch.
int twipsToPixels(int twips, int dpi) {
    return static_cast<int>(std::lround(static_cast<double>(twips) * dpi / 1440.0));
}
int pixelsToTwips(int pixels, int dpi) {
    return static_cast<int>(std::lround(static_cast<double>(pixels) * 1440.0 / dpi));
}

bool inside(const PixelRect& a, PixelPoint p, int width, int height) {
    return p.x >= a.left && p.y >= a.top &&
           (width > a.width || std::int64_t{p.x} + width <= std::int64_t{a.left} + a.width) &&
           (height > a.height || std::int64_t{p.y} + height <= std::int64_t{a.top} + a.height);
}

void placeEveryPair(const store::RecordFile& file) {
    static const std::vector<std::vector<ScreenAreas>> desktops = {
        {{{0, 0, 1920, 1080}, {0, 0, 1920, 1040}}},
        {{{0, 0, 1024, 768}, {0, 24, 1024, 744}}, {{-1280, -200, 1280, 1024}, {-1280, -200, 1280, 1024}}},
        {{{0, 0, 800, 600}, {0, 0, 800, 600}}},
    };
    const auto rec = file.read<store::PosRec>(1);
    for (int pair = 1; pair <= 10; ++pair) {
        const auto stored = rec.position(pair);
        if (!stored)
            continue;
        FUZZ_REQUIRE(stored->first >= 0);
        for (const int dpi : {96, 120, 144, 192}) {
            const PixelPoint at{twipsToPixels(stored->first, dpi), twipsToPixels(stored->second, dpi)};
            for (const auto& screens : desktops) {
                for (const auto& [width, height] : {std::pair{660, 540}, std::pair{2100, 900}}) {
                    const PixelPoint p = support::placeOnScreen(screens, at, width, height);
                    const int screen = support::nearestScreen(screens, at);
                    FUZZ_REQUIRE(screen >= 0 && inside(screens[static_cast<std::size_t>(screen)].available, p,
                                                       width, height));
                    // Stored back as a window that was moved there stores it; the other pairs stay.
                    store::PosRec back = rec;
                    const int left = pixelsToTwips(std::max(0, p.x), dpi);
                    const int top = pixelsToTwips(std::max(0, p.y), dpi);
                    back.setPosition(pair, left, top);
                    FUZZ_REQUIRE(back.position(pair) == std::pair(left, top));
                    const auto field = store::PosRec::fieldOf(pair, false);
                    for (std::size_t i = 0; i < store::PosRec::Length; ++i)
                        if (i < field.offset || i >= field.offset + 14)
                            FUZZ_REQUIRE(back.bytes()[i] == rec.bytes()[i]);
                }
            }
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const fuzz::Workspace w("moniva-fuzz-pos");
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    fuzz::writeFile(w / "PosFil", input);
    fuzz::allowingDataErrors([&] {
        const store::RecordFile file(w / "PosFil", store::PosRec::Length);
        placeEveryPair(file);
    });
    return 0;
}
