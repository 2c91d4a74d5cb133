#include "store/HistoryParts.h"

#include <algorithm>
#include <cstdint>
#include <thread>

#include <sys/statvfs.h>

namespace fs = std::filesystem;

namespace store {

using namespace history;

namespace {

History::SpaceProbe spaceProbe;

} // namespace

void History::setSpaceProbe(SpaceProbe probe) {
    spaceProbe = std::move(probe);
}

void History::finishSweep() {
    if (sweeper_.joinable())
        sweeper_.join();
}

// Freeing the images of a large file takes the disk a while; the user's commit does not wait for
// it. The folders are renamed first, so a half-removed one is never read as a change.
void History::dropFolders(const std::vector<unsigned>& seqs) {
    if (seqs.empty() || !dir_)
        return;
    const int top = dir_.get();
    std::vector<std::string> dropped;
    for (const unsigned seq : seqs) {
        const std::string from = changeName(seq), to = DropPrefix + from;
        removeOwnFolder(top, to);
        dropped.push_back(::renameat(top, from.c_str(), top, to.c_str()) == 0 ? to : from);
    }
    finishSweep();
    try {
        sweeper_ = std::thread([top, dropped] {
            for (const std::string& name : dropped)
                removeOwnFolder(top, name);
        });
    } catch (...) {
        for (const std::string& name : dropped)
            removeOwnFolder(top, name);
    }
}

void History::dropAll() {
    std::vector<unsigned> seqs;
    for (const Change& c : changes_)
        seqs.push_back(c.seq);
    changes_.clear();
    dropFolders(seqs);
}

// Room on the data's disk for the images kept so far and the new files, with a margin: the
// changes that will not be redone go first, then the oldest. False when even an empty history
// leaves too little, and the change is not recorded (a save never fails for the history's sake).
bool History::makeRoom(std::uint64_t bytes, const fs::path& where) {
    finishSweep();
    for (;;) {
        Space space{UINT64_MAX, UINT64_MAX};
        if (spaceProbe) {
            space = spaceProbe(where);
        } else if (struct statvfs vfs{}; ::statvfs(where.c_str(), &vfs) == 0) {
            space = {std::uint64_t(vfs.f_bavail) * vfs.f_frsize, std::uint64_t(vfs.f_blocks) * vfs.f_frsize};
        }
        const std::uint64_t margin = std::clamp<std::uint64_t>(space.total / 16, 64u << 10, 64u << 20);
        if (space.free >= bytes && space.free - bytes >= margin)
            return true;
        if (changes_.empty() || !dir_)
            return false;
        const bool redoable = changes_.back().live == 0;
        const Change gone = redoable ? changes_.back() : changes_.front();
        changes_.erase(redoable ? changes_.end() - 1 : changes_.begin());
        removeOwnFolder(dir_.get(), changeName(gone.seq));
    }
}

void History::prune() {
    std::uint64_t bytes = 0;
    std::vector<std::uint64_t> sizes;
    for (const Change& c : changes_) {
        std::uint64_t size = 0;
        for (const Item& i : c.items)
            if (!i.folder && i.present[1 - c.live])
                size += i.stamp[1 - c.live].size;
        sizes.push_back(size);
        bytes += size;
    }
    std::size_t drop = 0;
    while (changes_.size() - drop > 1 && (changes_.size() - drop > MaxChanges || bytes > MaxBytes))
        bytes -= sizes[drop++];
    std::vector<unsigned> dropped;
    for (std::size_t n = 0; n < drop; ++n)
        dropped.push_back(changes_[n].seq);
    dropFolders(dropped);
    // Not synced: a dropped change a crash brings back is checked like any other before use.
    changes_.erase(changes_.begin(), changes_.begin() + static_cast<std::ptrdiff_t>(drop));
}

} // namespace store
