#include "store/History.h"

#include "store/ByteForm.h"
#include "store/FileIo.h"
#include "store/RecordFile.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdint>
#include <string_view>
#include <thread>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/statfs.h>
#include <sys/statvfs.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace store {

namespace {

// While the history writes files itself (an undo, a swap finished), what it writes is no change.
struct BusyScope {
    explicit BusyScope(bool& flag) : flag_(flag) { flag_ = true; }
    ~BusyScope() { flag_ = false; }
    BusyScope(const BusyScope&) = delete;
    BusyScope& operator=(const BusyScope&) = delete;

private:
    bool& flag_;
};

History* activeHistory = nullptr;
int scopeDepth = 0;
History::SpaceProbe spaceProbe;
bool otherFileSystem = false;

// What the history writes, and so all it ever removes: change folders "<ten digits>", folders of
// changes under way "pending-<pid>" and being removed "drop-<ten digits>"; inside them the
// manifest, the flag "undone", the markers "swap-<side>", the images "<side>-<n>" and the
// temporary files "tmp-<one of these>".
const std::string ManifestName = "manifest";
const std::string UndoneName = "undone";
const std::string SwapPrefix = "swap-";
const std::string PendingPrefix = "pending-";
const std::string DropPrefix = "drop-";
const std::string TempPrefix = "tmp-";
const std::string Magic = "MONIVA-HISTORY-1";
constexpr std::size_t MaxManifest = 64u << 20;

bool digitsOnly(std::string_view s, std::size_t max) {
    return !s.empty() && s.size() <= max && s.find_first_not_of("0123456789") == std::string_view::npos;
}

bool isChangeName(std::string_view n) {
    return n.size() == 10 && digitsOnly(n, 10);
}

bool isOwnFolderName(std::string_view n) {
    return isChangeName(n) ||
           (n.starts_with(PendingPrefix) && digitsOnly(n.substr(PendingPrefix.size()), 10)) ||
           (n.starts_with(DropPrefix) && isChangeName(n.substr(DropPrefix.size())));
}

bool isOwnFileName(std::string_view n) {
    if (n.starts_with(TempPrefix))
        n.remove_prefix(TempPrefix.size());
    if (n == ManifestName || n == UndoneName || n == SwapPrefix + "0" || n == SwapPrefix + "1")
        return true;
    return n.size() > 2 && (n[0] == '0' || n[0] == '1') && n[1] == '-' && digitsOnly(n.substr(2), 10);
}

std::string imageName(int side, unsigned n) {
    return std::to_string(side) + "-" + std::to_string(n);
}

// Present while the files are being swapped to that side: the next start finishes the swap.
std::string markerName(int side) {
    return SwapPrefix + std::to_string(side);
}

std::string changeName(unsigned seq) {
    const std::string n = std::to_string(seq);
    return std::string(10 - std::min<std::size_t>(n.size(), 10), '0') + n;
}

// Files of the data root that are settings, not data: an undo never turns back a window place.
bool excluded(const fs::path& rel) {
    const std::string first = rel.begin()->string();
    return std::distance(rel.begin(), rel.end()) == 1 &&
           (first == "PosFil" || first == "KontoIni" || first.rfind('.', 0) == 0);
}

// FAT file systems (the usual USB stick) number their files anew at every mount: there only size
// and modification time tell a file.
bool stableInodes(const fs::path& folder) {
    struct statfs fs {};
    if (::statfs(folder.c_str(), &fs) != 0)
        return true;
    constexpr long Msdos = 0x4d44, Exfat = 0x2011BAB0;
    return fs.f_type != Msdos && fs.f_type != Exfat;
}

History::Stamp stampFrom(const struct stat& st, bool inodes) {
    return History::Stamp{inodes ? static_cast<std::uint64_t>(st.st_ino) : 0,
                          static_cast<std::uint64_t>(st.st_size),
                          static_cast<std::int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec};
}

std::optional<struct stat> statAt(int dir, const std::string& name) {
    struct stat st {};
    if (::fstatat(dir, name.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0)
        return std::nullopt;
    return st;
}

std::optional<History::Stamp> stampOf(const fs::path& path, bool inodes, bool* other = nullptr) {
    const auto st = statAt(AT_FDCWD, path.string());
    if (!st)
        return std::nullopt;
    if (other)
        *other = !S_ISREG(st->st_mode);
    return stampFrom(*st, inodes);
}

bool onDisk(const fs::path& path) {
    return statAt(AT_FDCWD, path.string()).has_value();
}

bool isFolder(const fs::path& path) {
    const auto st = statAt(AT_FDCWD, path.string());
    return st && S_ISDIR(st->st_mode);
}

bool imageAt(int dir, const std::string& name) {
    return statAt(dir, name).has_value();
}

bool sameFile(int dir, const std::string& name, const fs::path& path) {
    const auto a = statAt(dir, name), b = statAt(AT_FDCWD, path.string());
    return a && b && a->st_ino == b->st_ino && a->st_dev == b->st_dev;
}

io::UniqueFd openFolderAt(int dir, const std::string& name) {
    return io::UniqueFd(::openat(dir, name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
}

std::vector<std::string> namesIn(int dir) {
    std::vector<std::string> names;
    const int copy = ::openat(dir, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    DIR* d = copy < 0 ? nullptr : ::fdopendir(copy);
    if (!d) {
        if (copy >= 0)
            ::close(copy);
        return names;
    }
    while (const dirent* e = ::readdir(d)) {
        const std::string_view n = e->d_name;
        if (n != "." && n != "..")
            names.emplace_back(n);
    }
    ::closedir(d);
    return names;
}

// A regular file of the history read whole (a link, a FIFO or a device in its place is none).
int readAt(int dir, const std::string& name, std::string& out, std::size_t limit) {
    io::UniqueFd fd(::openat(dir, name.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
    if (!fd)
        return errno;
    struct stat st {};
    if (::fstat(fd.get(), &st) != 0)
        return errno;
    if (!S_ISREG(st.st_mode))
        return EINVAL;
    if (static_cast<std::uint64_t>(st.st_size) > limit)
        return EFBIG;
    return io::readAllAt(fd.get(), out);
}

// A file of the history written whole under a temporary name and renamed into place.
void writeAt(int dir, const fs::path& where, const std::string& name, std::string_view bytes, bool sync) {
    const std::string temp = TempPrefix + name;
    ::unlinkat(dir, temp.c_str(), 0);
    io::UniqueFd fd(::openat(dir, temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600));
    if (!fd)
        io::fail(errno, where / name);
    int err = io::writeAll(fd.get(), bytes);
    if (!err && sync)
        err = io::fsyncRetry(fd.get());
    if (const int closed = fd.close(); !err)
        err = closed;
    if (!err && ::renameat(dir, temp.c_str(), dir, name.c_str()) != 0)
        err = errno;
    if (err) {
        ::unlinkat(dir, temp.c_str(), 0);
        io::fail(err, where / name);
    }
}

void flagAt(int dir, const fs::path& where, const std::string& name) {
    io::UniqueFd fd(::openat(dir, name.c_str(), O_WRONLY | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0600));
    if (!fd)
        io::fail(errno, where / name);
}

void unlinkAt(int dir, const fs::path& where, const std::string& name) {
    if (::unlinkat(dir, name.c_str(), 0) != 0 && errno != ENOENT)
        io::fail(errno, where / name);
}

void syncAt(int dir, const fs::path& where) {
    const int err = io::fsyncRetry(dir);
    if (err && err != EINVAL)
        io::fail(err, where);
}

// Removes a folder of the history: the files the history writes there, then the folder when that
// emptied it. A link, a folder of another user's or anything else found there stays, and so does
// the folder.
void removeOwnFolder(int dir, const std::string& name) {
    const io::UniqueFd fd = openFolderAt(dir, name);
    struct stat st {};
    if (!fd || ::fstat(fd.get(), &st) != 0 || st.st_uid != ::geteuid())
        return;
    for (const std::string& n : namesIn(fd.get()))
        if (const auto s = statAt(fd.get(), n); s && S_ISREG(s->st_mode) && isOwnFileName(n))
            ::unlinkat(fd.get(), n.c_str(), 0);
    ::unlinkat(dir, name.c_str(), AT_REMOVEDIR);
}

bool crossDevice(int err) {
    return err == EXDEV || err == EPERM || err == EMLINK || err == ENOTSUP || err == EOPNOTSUPP ||
           err == ENOSYS;
}

// The old content stays where it is under a second name; only where the file system cannot link
// (another file system, no links at all) is it copied.
void keepFile(const fs::path& file, int dir, const fs::path& where, const std::string& name) {
    if (!otherFileSystem && ::linkat(AT_FDCWD, file.c_str(), dir, name.c_str(), 0) == 0)
        return;
    const int err = otherFileSystem ? EXDEV : errno;
    if (!crossDevice(err))
        io::fail(err, where / name);
    writeAt(dir, where, name, readWholeFile(file), true);
}

// The image goes into the data file's place by rename. Where the data lies on another file system
// than the history its content is copied there instead (atomically, with the image's time, so a
// start that finds the swap cut short knows the file), and the image goes after.
void placeImage(int dir, const fs::path& where, const std::string& name, const fs::path& path) {
    if (!otherFileSystem && ::renameat(dir, name.c_str(), AT_FDCWD, path.c_str()) == 0)
        return;
    const int err = otherFileSystem ? EXDEV : errno;
    if (err != EXDEV)
        io::fail(err, path);
    std::string bytes;
    const auto st = statAt(dir, name);
    if (const int e = st ? readAt(dir, name, bytes, SIZE_MAX) : errno)
        io::fail(e, where / name);
    replaceFileAtomically(path, bytes);
    const timespec times[2] = {{0, UTIME_OMIT}, st->st_mtim};
    if (::utimensat(AT_FDCWD, path.c_str(), times, AT_SYMLINK_NOFOLLOW) != 0)
        io::fail(errno, path);
    unlinkAt(dir, where, name);
}

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

const std::string Unrecorded = " Ändringar sparas som vanligt men kan inte ångras.";

std::string cannotWrite(const fs::path& folder, int err) {
    return "Ångrahistoriken " + folder.string() + " kan inte skrivas (" + io::systemText(err) + ")." +
           Unrecorded;
}

bool permissionError(int err) {
    return err == EACCES || err == EPERM || err == EROFS;
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

void History::setSpaceProbe(SpaceProbe probe) {
    spaceProbe = std::move(probe);
}

void History::simulateOtherFileSystem(bool on) {
    otherFileSystem = on;
}

void History::finishSweep() {
    if (sweeper_.joinable())
        sweeper_.join();
}

void History::activate() {
    activeHistory = this;
}

void History::deactivate() {
    if (activeHistory == this)
        activeHistory = nullptr;
}

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

ChangeView History::undo() {
    auto it = std::find_if(changes_.rbegin(), changes_.rend(), [](const Change& c) { return c.live == 1; });
    if (it == changes_.rend())
        return {};
    swap(*it, 0);
    ChangeView view = it->view[0];
    // The view returns to the changed post where the account stays the same.
    if (view.account == it->view[1].account)
        view.post = it->view[1].post;
    return view;
}

ChangeView History::redo() {
    auto it = std::find_if(changes_.begin(), changes_.end(), [](const Change& c) { return c.live == 0; });
    if (it == changes_.end())
        return {};
    swap(*it, 1);
    return it->view[1];
}

// Only what this program wrote is ever applied: plain names below the data root (links
// resolved), files exactly as the change left them, images as they were kept.
void History::validate(const Change& change, int side, bool midSwap, int dir) const {
    const int live = 1 - side;
    const fs::path realRoot = resolvedPath(root_);
    for (const Item& i : change.items) {
        if (!plainRelative(i.rel))
            throw HistoryMismatch("Ångrahistoriken nämner en fil utanför datamappen: " + i.rel);
        const fs::path path = root_ / i.rel;
        if (!isWithin(resolvedPath(path), realRoot) || !isWithin(resolvedPath(path.parent_path()), realRoot))
            throw HistoryMismatch("Ångrahistoriken nämner en fil utanför datamappen: " + i.rel);
        const auto mismatch = [&] {
            throw HistoryMismatch("Filen " + path.string() + " stämmer inte med ångrahistoriken");
        };
        bool other = false;
        const std::optional<Stamp> now = stampOf(path, inodes_, &other);
        if (i.folder) {
            if (now && !isFolder(path))
                mismatch();
            if (!midSwap && now.has_value() != i.present[live])
                mismatch();
            continue;
        }
        if (now && other)
            mismatch();
        // An empty file where none was is what opening a missing file leaves; it is no change.
        const auto matches = [&](int s) {
            return i.present[s] ? now && *now == i.stamp[s] : !now || now->size == 0;
        };
        // A copy put in place across file systems carries the image's size and time; while its
        // image is still there it must hold the same bytes.
        const auto copied = [&] {
            if (!i.present[side] || !now || now->size != i.stamp[side].size)
                return false;
            std::string mine, theirs;
            if (readAt(dir, imageName(side, i.image), mine, now->size) == 0)
                return io::tryReadWholeFile(path, theirs) == 0 && mine == theirs;
            return now->mtimeNs == i.stamp[side].mtimeNs;
        };
        if (!matches(live) && !(midSwap && (matches(side) || copied())))
            mismatch();
        if (!midSwap && i.present[side]) {
            const auto kept = statAt(dir, imageName(side, i.image));
            if (!kept || !S_ISREG(kept->st_mode) || stampFrom(*kept, inodes_) != i.stamp[side])
                mismatch();
        }
    }
}

// Puts the files of one side in place, keeping the others as the images of the other side: first
// every link (one sync makes them and the marker durable), then every rename (one sync per
// folder). Each step can be repeated after a crash or run the other way after a failure.
void History::applySide(const Change& change, int side, int dir) const {
    const int live = 1 - side;
    const auto done = [&](const Item& i) {
        return i.folder ||
               (i.present[side] ? !imageAt(dir, imageName(side, i.image)) : !onDisk(root_ / i.rel));
    };
    for (const Item& i : change.items) {
        const fs::path path = root_ / i.rel;
        const std::string theirs = imageName(live, i.image);
        if (done(i) || !i.present[live] || !onDisk(path) || imageAt(dir, theirs))
            continue;
        commitFaultPoint(CommitStep::Write, path);
        keepFile(path, dir, folder_, theirs);
    }
    syncAt(dir, folder_);

    std::vector<const Item*> folders;
    for (const Item& i : change.items)
        if (i.folder && i.present[side] && !i.present[live])
            folders.push_back(&i);
    std::sort(folders.begin(), folders.end(),
              [](const Item* a, const Item* b) { return a->rel.size() < b->rel.size(); });
    for (const Item* i : folders) {
        const fs::path path = root_ / i->rel;
        if (::mkdir(path.c_str(), 0777) != 0 && errno != EEXIST)
            io::fail(errno, path);
        io::syncFolder(path.parent_path());
    }
    std::vector<fs::path> touched;
    for (const Item& i : change.items) {
        if (done(i))
            continue;
        const fs::path path = root_ / i.rel;
        const std::string mine = imageName(side, i.image);
        commitFaultPoint(CommitStep::Rename, path);
        if (!i.present[side]) {
            if (::unlink(path.c_str()) != 0 && errno != ENOENT)
                io::fail(errno, path);
        } else if (sameFile(dir, mine, path)) {
            // Already in place (a failed step turned back): only the second name goes.
            ::unlinkat(dir, mine.c_str(), 0);
        } else {
            placeImage(dir, folder_, mine, path);
        }
        if (std::find(touched.begin(), touched.end(), path.parent_path()) == touched.end())
            touched.push_back(path.parent_path());
    }
    for (const fs::path& f : touched)
        io::syncFolder(f);
    folders.clear();
    for (const Item& i : change.items)
        if (i.folder && i.present[live] && !i.present[side])
            folders.push_back(&i);
    std::sort(folders.begin(), folders.end(),
              [](const Item* a, const Item* b) { return a->rel.size() > b->rel.size(); });
    for (const Item* i : folders) {
        const fs::path path = root_ / i->rel;
        // A folder that holds something the change did not make stays.
        if (::rmdir(path.c_str()) == 0)
            io::syncFolder(path.parent_path(), std::nothrow);
    }
}

// The side a change's files hold is told by a flag file, so a step that could link every image
// leaves the manifest as it was written; where a file had to be copied, its new stamp is written.
void History::finishSwap(Change& change, int side, int dir) {
    applySide(change, side, dir);
    const int live = 1 - side;
    bool restamped = false;
    for (Item& i : change.items) {
        if (i.folder)
            continue;
        std::optional<Stamp> s;
        if (i.present[live])
            if (const auto st = statAt(dir, imageName(live, i.image)))
                s = stampFrom(*st, inodes_);
        if (s && *s != i.stamp[live]) {
            i.stamp[live] = *s;
            restamped = true;
        }
        if (i.present[side])
            if (const auto now = stampOf(root_ / i.rel, inodes_); now && *now != i.stamp[side]) {
                i.stamp[side] = *now;
                restamped = true;
            }
    }
    change.live = side;
    if (restamped)
        writeManifest(change, dir);
    if (side == 0)
        flagAt(dir, folder_, UndoneName);
    else
        unlinkAt(dir, folder_, UndoneName);
    unlinkAt(dir, folder_, markerName(side));
    syncAt(dir, folder_);
}

void History::swap(Change& change, int side) {
    const BusyScope busy{busy_};
    // What the same procedure writes around an undo (the account read in again) is no change of
    // its own: recording it would end what can be redone.
    if (pending_)
        pending_->ignored = true;
    const io::UniqueFd dir = dir_ ? openFolderAt(dir_.get(), changeName(change.seq)) : io::UniqueFd();
    try {
        if (!dir)
            throw HistoryMismatch("Ångrahistoriken saknar ändringen " + changeName(change.seq));
        validate(change, side, false, dir.get());
    } catch (const HistoryMismatch&) {
        discard();
        throw;
    }
    // Made durable together with the links, before any data file moves.
    flagAt(dir.get(), folder_, markerName(side));
    try {
        applySide(change, side, dir.get());
    } catch (...) {
        try {
            applySide(change, 1 - side, dir.get());
            ::unlinkat(dir.get(), markerName(side).c_str(), 0);
            io::fsyncRetry(dir.get());
        } catch (...) {
            // The marker stays: the next start finishes the swap, so the files are never left between.
        }
        throw;
    }
    finishSwap(change, side, dir.get());
    if (changed_)
        changed_();
}

void History::writeManifest(const Change& change, int dir) const {
    writeAt(dir, folder_, ManifestName, encode(change), true);
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

void History::open() {
    pending_.emplace(Pending{});
    if (viewProvider_)
        pending_->change.view[0] = viewProvider_();
}

void History::keep(const fs::path& path, bool folder) {
    if (!pending_ || pending_->broken || pending_->ignored)
        return;
    const fs::path abs = fs::absolute(path).lexically_normal();
    const fs::path rel = abs.lexically_relative(root_);
    if (rel.empty() || rel == "." || *rel.begin() == ".." || excluded(rel))
        return;
    Pending& p = *pending_;
    const auto known = [&](const std::string& r) {
        return std::any_of(p.change.items.begin(), p.change.items.end(),
                           [&](const Item& i) { return i.rel == r; });
    };
    try {
        if (!p.started) {
            const int top = folderFd(true);
            if (top < 0) {
                p.ignored = true; // no history here: the program works without undo
                return;
            }
            p.name = PendingPrefix + std::to_string(::getpid());
            removeOwnFolder(top, p.name);
            if (::mkdirat(top, p.name.c_str(), 0700) != 0)
                io::fail(errno, folder_ / p.name);
            p.dir = openFolderAt(top, p.name);
            if (!p.dir)
                io::fail(errno, folder_ / p.name);
            p.started = true;
        }
        // The folders on the way: a removed account folder comes back, a new one goes again.
        fs::path walked;
        for (auto part = rel.begin(); part != rel.end(); ++part) {
            walked /= *part;
            const bool last = std::next(part) == rel.end();
            if (last && !folder)
                break;
            if (known(walked.string()))
                continue;
            Item i;
            i.rel = walked.string();
            i.folder = true;
            i.present[0] = isFolder(root_ / walked);
            p.change.items.push_back(i);
        }
        if (folder || known(rel.string()))
            return;
        Item i;
        i.rel = rel.string();
        i.image = static_cast<unsigned>(p.change.items.size());
        bool other = false;
        if (const auto s = stampOf(abs, inodes_, &other)) {
            if (other || !makeRoom(p.kept + s->size, abs.parent_path())) {
                p.broken = true; // a link or a folder by a data file's name is not kept either
                return;
            }
            p.kept += s->size;
            const std::string name = imageName(0, i.image);
            keepFile(abs, p.dir.get(), folder_ / p.name, name);
            const auto kept = statAt(p.dir.get(), name);
            if (!kept)
                io::fail(errno, folder_ / p.name / name);
            i.present[0] = true;
            i.stamp[0] = stampFrom(*kept, inodes_);
        }
        p.change.items.push_back(i);
    } catch (const FileError& e) {
        p.broken = true;
        if (permissionError(e.code().value()))
            unavailable_ = cannotWrite(folder_, e.code().value());
    } catch (...) {
        p.broken = true;
    }
}

void History::close() noexcept {
    std::optional<Pending> taken = std::move(pending_);
    pending_.reset();
    if (!taken)
        return;
    const BusyScope busy{busy_};
    Pending& p = *taken;
    const auto removePending = [&] {
        p.dir.close();
        if (p.started && dir_)
            removeOwnFolder(dir_.get(), p.name);
    };
    if (p.broken) {
        // A change that could not be recorded cannot be undone, nor anything before it.
        try {
            removePending();
            dropAll();
        } catch (...) {
            changes_.clear();
        }
        if (unavailable_) {
            finishSweep();
            dir_.close();
        }
        if (changed_)
            changed_();
        return;
    }
    if (!p.started || p.ignored) {
        removePending();
        return;
    }
    try {
        Change& c = p.change;
        std::vector<Item> changed;
        for (Item& i : c.items) {
            const fs::path path = root_ / i.rel;
            if (i.folder) {
                i.present[1] = isFolder(path);
            } else if (const auto s = stampOf(path, inodes_)) {
                i.present[1] = true;
                i.stamp[1] = *s;
            }
            if (i.present[0] != i.present[1] || (!i.folder && i.present[0] && i.stamp[0] != i.stamp[1]))
                changed.push_back(i);
            else if (!i.folder && i.present[0])
                ::unlinkat(p.dir.get(), imageName(0, i.image).c_str(), 0);
        }
        if (changed.empty()) {
            removePending();
            return;
        }
        c.items = std::move(changed);
        c.live = 1;
        if (c.description.empty())
            c.description = "ändring";
        if (viewProvider_)
            c.view[1] = viewProvider_();
        // Written without a sync: a change costs the user's commit nothing it could feel. A crash
        // within the seconds before the system writes it back loses this step of the history
        // only; what is lost or torn then is found at the next start or by the checks of an undo.
        {
            io::UniqueFd fd(::openat(p.dir.get(), ManifestName.c_str(),
                                     O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600));
            if (!fd)
                io::fail(errno, folder_ / p.name / ManifestName);
            if (const int err = io::writeAll(fd.get(), encode(c)))
                io::fail(err, folder_ / p.name / ManifestName);
            if (const int err = fd.close())
                io::fail(err, folder_ / p.name / ManifestName);
        }
        // A new change ends what could be redone.
        std::vector<unsigned> redone;
        while (!changes_.empty() && changes_.back().live == 0) {
            redone.push_back(changes_.back().seq);
            changes_.pop_back();
        }
        dropFolders(redone);
        c.seq = changes_.empty() ? 1 : changes_.back().seq + 1;
        // A name held by something the history did not write is passed over.
        for (int tries = 0; tries < 100; ++tries, ++c.seq) {
            removeOwnFolder(dir_.get(), changeName(c.seq));
            if (!statAt(dir_.get(), changeName(c.seq)))
                break;
        }
        p.dir.close();
        if (::renameat(dir_.get(), p.name.c_str(), dir_.get(), changeName(c.seq).c_str()) != 0)
            io::fail(errno, folder_ / changeName(c.seq));
        changes_.push_back(std::move(c));
        prune();
        if (changed_)
            changed_();
    } catch (...) {
        // Not recorded: the data is saved all the same, and nothing before it can be undone.
        try {
            removePending();
            dropAll();
        } catch (...) {
            changes_.clear();
        }
        if (changed_)
            changed_();
    }
}

ChangeScope::ChangeScope() {
    // The history's own files (manifests, markers) are written through the same commit, which
    // opens a scope of its own: that is no change.
    if (scopeDepth++ == 0 && activeHistory && !activeHistory->busy_) {
        history_ = activeHistory;
        history_->open();
    }
}

ChangeScope::~ChangeScope() {
    --scopeDepth;
    if (history_ && history_ == activeHistory)
        history_->close();
}

void describeChange(std::string description) {
    if (activeHistory && activeHistory->pending_)
        activeHistory->pending_->change.description = std::move(description);
}

void keepBeforeImage(const fs::path& path, bool folder) {
    if (activeHistory && scopeDepth > 0)
        activeHistory->keep(path, folder);
}

} // namespace store
