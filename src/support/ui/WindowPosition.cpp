#include "support/ui/WindowPosition.h"

#include "app/Context.h"
#include "store/RecordFile.h"
#include "support/ui/Twips.h"

#include <QWidget>

#include <algorithm>

namespace support {

namespace {

// A position left of or above the screen would read back as unset (a field must begin with a
// digit), so the edge is kept at 0.
std::pair<int, int> currentTwips(const QWidget& window) {
    const QPoint p = window.pos();
    return {std::max(0, pixelsToTwipsX(window, p.x())), std::max(0, pixelsToTwipsY(window, p.y()))};
}

void writePair(store::RecordFile& file, store::PosRec rec, int pair, std::pair<int, int> twips) {
    rec.setPosition(pair, twips.first, twips.second);
    file.write(1, rec);
    file.commit();
}

} // namespace

void restoreWindowPosition(app::Context& ctx, QWidget& window, store::WindowPair which) {
    const int pair = static_cast<int>(which);
    store::RecordFile file(ctx.paths.posFil(), store::PosRec::Length);
    const auto rec = file.read<store::PosRec>(1);
    if (const auto stored = rec.position(pair))
        window.move(twipsX(window, stored->first), twipsY(window, stored->second));
    else
        writePair(file, rec, pair, currentTwips(window));
}

void storeWindowPosition(app::Context& ctx, QWidget& window, store::WindowPair which) {
    const int pair = static_cast<int>(which);
    store::RecordFile file(ctx.paths.posFil(), store::PosRec::Length);
    const auto rec = file.read<store::PosRec>(1);
    // Compared in pixels: a stored value that does not fall on a whole pixel still counts as unmoved.
    const auto stored = rec.position(pair);
    const QPoint now = window.pos();
    if (stored && twipsX(window, stored->first) == std::max(0, now.x()) &&
        twipsY(window, stored->second) == std::max(0, now.y()))
        return;
    writePair(file, rec, pair, currentTwips(window));
}

} // namespace support
