#include "store/HistoryParts.h"

#include "store/ByteForm.h"

#include <algorithm>

namespace fs = std::filesystem;

namespace store {

namespace history {

namespace {

const std::string Magic = "MONIVA-HISTORY-1";

} // namespace

[[noreturn]] void damaged() {
    throw HistoryMismatch("Ångrahistoriken är skadad");
}

std::string encode(const History::Change& c) {
    std::string out = Magic;
    putNumber(out, static_cast<std::uint64_t>(c.live));
    putText(out, c.description);
    for (const ChangeView& v : c.view) {
        putText(out, v.account);
        putNumber(out, static_cast<std::uint64_t>(std::max(v.post, 0)));
    }
    putNumber(out, c.items.size());
    for (const History::Item& i : c.items) {
        putText(out, i.rel);
        putNumber(out, (i.folder ? 1 : 0) | (i.present[0] ? 2 : 0) | (i.present[1] ? 4 : 0));
        putNumber(out, i.image);
        for (const History::Stamp& s : i.stamp) {
            putNumber(out, s.inode);
            putNumber(out, s.size);
            putNumber(out, static_cast<std::uint64_t>(s.mtimeNs));
        }
    }
    return out;
}

History::Change decode(std::string_view data, unsigned seq) {
    ByteReader in(data, damaged);
    if (in.take(Magic.size()) != Magic)
        damaged();
    History::Change c;
    c.seq = seq;
    const std::uint64_t live = in.number();
    if (live > 1)
        damaged();
    c.live = static_cast<int>(live);
    c.description = std::string(in.text());
    for (ChangeView& v : c.view) {
        v.account = std::string(in.text());
        v.post = static_cast<int>(std::min<std::uint64_t>(in.number(), 1u << 30));
    }
    const std::uint64_t count = in.number();
    if (count > 100000)
        damaged();
    for (std::uint64_t n = 0; n < count; ++n) {
        History::Item i;
        i.rel = std::string(in.text());
        const std::uint64_t flags = in.number();
        i.folder = flags & 1;
        i.present[0] = flags & 2;
        i.present[1] = flags & 4;
        i.image = static_cast<unsigned>(std::min<std::uint64_t>(in.number(), 1u << 30));
        for (History::Stamp& s : i.stamp) {
            s.inode = in.number();
            s.size = in.number();
            s.mtimeNs = static_cast<std::int64_t>(in.number());
        }
        c.items.push_back(std::move(i));
    }
    if (!in.atEnd())
        damaged();
    return c;
}

// A relative path of plain names: nothing in a manifest can lead above the data root by itself.
bool plainRelative(const std::string& rel) {
    const fs::path p(rel);
    if (rel.empty() || p.is_absolute() || rel.find('\0') != std::string::npos)
        return false;
    for (const fs::path& part : p)
        if (part.empty() || part == "." || part == "..")
            return false;
    return true;
}

} // namespace history

using namespace history;

void History::writeManifest(const Change& change, int dir) const {
    writeAt(dir, folder_, ManifestName, encode(change), true);
}

} // namespace store
