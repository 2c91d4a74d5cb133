#include "store/HistoryParts.h"

#include "store/RecordFile.h"

#include <algorithm>
#include <cerrno>

#include <fcntl.h>
#include <unistd.h>

namespace store {

using namespace history;

namespace {

constexpr std::size_t MaxManifest = 64u << 20;

} // namespace

// The history folder, opened once (and made when create is set and it is missing); -1 while there
// is none or it cannot be used (unavailable_ says why).
int History::folderFd(bool create) {
    if (dir_)
        return dir_.get();
    if (unavailable_)
        return -1;
    try {
        // The data root may be a link onto another disk: the history goes where the data is.
        folder_ = resolvedPath(root_).parent_path() / paths_.historyFolder().filename();
    } catch (const FileError&) {
    }
    const std::string path = folder_.string();
    const std::string otherDisk = "Ångrahistoriken " + path +
                                  " kan inte ligga på samma disk som datamappen " + root_.string() + "." +
                                  Unrecorded;
    struct stat data {};
    const bool dataKnown = ::stat(root_.c_str(), &data) == 0;
    if (!statAt(AT_FDCWD, path)) {
        if (errno != ENOENT) {
            unavailable_ = cannotWrite(folder_, errno);
            return -1;
        }
        // The data root is a disk of its own (mounted there): its history would need copies.
        struct stat parent {};
        if (dataKnown && ::stat(folder_.parent_path().c_str(), &parent) == 0 &&
            parent.st_dev != data.st_dev) {
            unavailable_ = otherDisk;
            return -1;
        }
        if (!create) {
            // Said at the start, not first at the first change.
            if (::faccessat(AT_FDCWD, folder_.parent_path().c_str(), W_OK | X_OK, AT_EACCESS) != 0 &&
                permissionError(errno))
                unavailable_ = cannotWrite(folder_, errno);
            return -1;
        }
        if (::mkdir(path.c_str(), 0700) != 0 && errno != EEXIST) {
            unavailable_ = cannotWrite(folder_, errno);
            return -1;
        }
    }
    io::UniqueFd fd(::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
    struct stat st {};
    if (!fd) {
        if (errno == ELOOP || errno == ENOTDIR)
            unavailable_ = "Ångrahistoriken " + path + " är ingen vanlig mapp (en länk eller en fil) och " +
                           "används inte. Ta bort den om Du vill kunna ångra." + Unrecorded;
        else
            unavailable_ = cannotWrite(folder_, errno);
        return -1;
    }
    if (::fstat(fd.get(), &st) != 0 || st.st_uid != ::geteuid()) {
        unavailable_ =
            "Ångrahistoriken " + path + " tillhör en annan användare och används inte." + Unrecorded;
        return -1;
    }
    if (dataKnown && data.st_dev != st.st_dev) {
        unavailable_ = otherDisk;
        return -1;
    }
    if (::faccessat(fd.get(), ".", W_OK | X_OK, AT_EACCESS) != 0) {
        unavailable_ = cannotWrite(folder_, errno);
        return -1;
    }
    dir_ = std::move(fd);
    return dir_.get();
}

io::UniqueFd History::openChange(unsigned seq) const {
    io::UniqueFd fd = dir_ ? openFolderAt(dir_.get(), changeName(seq)) : io::UniqueFd();
    if (!fd)
        throw HistoryMismatch("Ångrahistoriken saknar ändringen " + changeName(seq));
    return fd;
}

void History::recover() {
    finishSweep();
    // What finishing a swap writes (a copy put in place) is no change of its own.
    const BusyScope busy{busy_};
    if (pending_)
        pending_->ignored = true;
    changes_.clear();
    dir_.close();
    unavailable_.reset();
    const int top = folderFd(false);
    if (top < 0)
        return;
    std::vector<unsigned> found;
    for (const std::string& name : namesIn(top)) {
        const auto st = statAt(top, name);
        if (!st || !S_ISDIR(st->st_mode) || !isOwnFolderName(name))
            continue; // not written by this program: left as it is
        if (isChangeName(name))
            found.push_back(static_cast<unsigned>(std::stoul(name)));
        else
            removeOwnFolder(top, name); // a change whose procedure never ended, or one being dropped
    }
    std::sort(found.begin(), found.end());
    try {
        for (const unsigned seq : found) {
            std::string data;
            std::optional<Change> change;
            const io::UniqueFd dir = openFolderAt(top, changeName(seq));
            if (dir && readAt(dir.get(), ManifestName, data, MaxManifest) == 0) {
                try {
                    change = decode(data, seq);
                } catch (const HistoryMismatch&) {
                    // Torn by a crash before it was written back: this step is lost, the others
                    // are checked file by file before they are ever applied.
                }
            }
            if (!change) {
                removeOwnFolder(top, changeName(seq));
                continue;
            }
            changes_.push_back(std::move(*change));
        }
        for (std::size_t n = 0; n < changes_.size(); ++n) {
            Change& c = changes_[n];
            const io::UniqueFd dir = openChange(c.seq);
            c.live = imageAt(dir.get(), UndoneName) ? 0 : 1;
            for (const int side : {0, 1})
                if (imageAt(dir.get(), markerName(side))) {
                    validate(c, side, true, dir.get());
                    // A copy cut short leaves its temporary file, which would keep a folder the
                    // swap removes.
                    for (const Item& i : c.items)
                        if (!i.folder)
                            removeLeftoverTempFiles((root_ / i.rel).parent_path());
                    try {
                        finishSwap(c, side, dir.get());
                    } catch (const FileError&) {
                        // What cannot be finished is turned back: each file is whole either way,
                        // and all of them on one side.
                        applySide(c, 1 - side, dir.get());
                        unlinkAt(dir.get(), folder_, markerName(side));
                        syncAt(dir.get(), folder_);
                    }
                    break;
                }
            // Done changes lie below undone ones; anything else was not written by this program.
            if (n > 0 && c.live == 1 && changes_[n - 1].live == 0)
                damaged();
        }
    } catch (const HistoryMismatch&) {
        discard();
        throw;
    } catch (const std::exception& e) {
        changes_.clear();
        dir_.close();
        unavailable_ = std::string("Ett ångrande som avbröts kunde inte slutföras (") + e.what() +
                       "); ångrahistoriken används inte förrän programmet startas igen." + Unrecorded;
    }
}

} // namespace store
