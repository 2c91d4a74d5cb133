#include "store/HistoryParts.h"

#include "store/RecordFile.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>

#include <dirent.h>
#include <fcntl.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace store {

namespace history {

namespace {

bool otherFileSystem = false;

bool digitsOnly(std::string_view s, std::size_t max) {
    return !s.empty() && s.size() <= max && s.find_first_not_of("0123456789") == std::string_view::npos;
}

bool isOwnFileName(std::string_view n) {
    if (n.starts_with(TempPrefix))
        n.remove_prefix(TempPrefix.size());
    if (n == ManifestName || n == UndoneName || n == SwapPrefix + "0" || n == SwapPrefix + "1")
        return true;
    return n.size() > 2 && (n[0] == '0' || n[0] == '1') && n[1] == '-' && digitsOnly(n.substr(2), 10);
}

bool crossDevice(int err) {
    return err == EXDEV || err == EPERM || err == EMLINK || err == ENOTSUP || err == EOPNOTSUPP ||
           err == ENOSYS;
}

} // namespace

bool isChangeName(std::string_view n) {
    return n.size() == 10 && digitsOnly(n, 10);
}

bool isOwnFolderName(std::string_view n) {
    return isChangeName(n) ||
           (n.starts_with(PendingPrefix) && digitsOnly(n.substr(PendingPrefix.size()), 10)) ||
           (n.starts_with(DropPrefix) && isChangeName(n.substr(DropPrefix.size())));
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

std::optional<History::Stamp> stampOf(const fs::path& path, bool inodes, bool* other) {
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

std::string cannotWrite(const fs::path& folder, int err) {
    return "Ångrahistoriken " + folder.string() + " kan inte skrivas (" + io::systemText(err) + ")." +
           Unrecorded;
}

bool permissionError(int err) {
    return err == EACCES || err == EPERM || err == EROFS;
}

} // namespace history

using namespace history;

void History::simulateOtherFileSystem(bool on) {
    otherFileSystem = on;
}

} // namespace store
