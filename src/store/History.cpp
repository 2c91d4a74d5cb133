#include "store/History.h"

#include "store/HistoryParts.h"

#include <algorithm>

#include <sys/statfs.h>

namespace fs = std::filesystem;

namespace store {

namespace history {

History* activeHistory = nullptr;

} // namespace history

using namespace history;

namespace {

// FAT file systems (the usual USB stick) number their files anew at every mount: there only size
// and modification time tell a file.
bool stableInodes(const fs::path& folder) {
    struct statfs fs {};
    if (::statfs(folder.c_str(), &fs) != 0)
        return true;
    constexpr long Msdos = 0x4d44, Exfat = 0x2011BAB0;
    return fs.f_type != Msdos && fs.f_type != Exfat;
}

} // namespace

History::History(DataPaths paths)
    : paths_(std::move(paths)), root_(fs::absolute(paths_.dataRoot()).lexically_normal()),
      inodes_(stableInodes(paths_.driveFolder())) {
    try {
        folder_ = resolvedPath(root_).parent_path() / paths_.historyFolder().filename();
    } catch (const FileError&) {
        folder_ = fs::absolute(paths_.historyFolder()).lexically_normal();
    }
}

History::~History() {
    if (activeHistory == this)
        activeHistory = nullptr;
    finishSweep();
}

void History::activate() {
    activeHistory = this;
}

void History::deactivate() {
    if (activeHistory == this)
        activeHistory = nullptr;
}

std::optional<std::string> History::undoDescription() const {
    for (auto it = changes_.rbegin(); it != changes_.rend(); ++it)
        if (it->live == 1)
            return it->description;
    return std::nullopt;
}

std::optional<std::string> History::redoDescription() const {
    for (const Change& c : changes_)
        if (c.live == 0)
            return c.description;
    return std::nullopt;
}

std::size_t History::undoCount() const {
    return static_cast<std::size_t>(
        std::count_if(changes_.begin(), changes_.end(), [](const Change& c) { return c.live == 1; }));
}

std::size_t History::redoCount() const {
    return changes_.size() - undoCount();
}

void History::discard() {
    finishSweep();
    changes_.clear();
    if (const int top = folderFd(false); top >= 0) {
        for (const std::string& name : namesIn(top))
            if (isOwnFolderName(name))
                removeOwnFolder(top, name);
        dir_.close();
        ::rmdir(folder_.c_str()); // stays when something not the history's is in it
    }
    if (changed_)
        changed_();
}

} // namespace store
