#include "store/RecordFile.h"

#include "store/Errors.h"
#include "store/FileIo.h"
#include "store/History.h"
#include "store/SecondThread.h"

#include <cerrno>
#include <csignal>
#include <cstdint>
#include <stdexcept>
#include <utility>
#include <vector>

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace store {

namespace {

CommitFaultHook& faultHook() {
    static CommitFaultHook hook;
    return hook;
}

void step(CommitStep s, const fs::path& path) {
    if (const auto& hook = faultHook())
        hook(s, path);
}

// A data file reached through a symbolic link is replaced where it really lives, so the link
// stays a link.
fs::path resolveLinks(const fs::path& path) {
    std::error_code ec;
    if (fs::is_symlink(fs::symlink_status(path, ec))) {
        const fs::path target = fs::weakly_canonical(path, ec);
        if (!ec)
            return target;
    }
    return path;
}

fs::path folderOf(const fs::path& file) {
    fs::path folder = file.parent_path();
    return folder.empty() ? fs::path(".") : folder;
}

const std::string tempMarker = ".tmp-";

fs::path tempPathFor(const fs::path& file) {
    return folderOf(file) / ("." + file.filename().string() + tempMarker + std::to_string(::getpid()));
}

// A second name for the old file while its replacement is renamed in: of the same family as the
// temporary file, so one a crash leaves behind is removed with it at the next start.
fs::path keptPathFor(const fs::path& file) {
    return folderOf(file) /
           ("." + file.filename().string() + ".old" + tempMarker + std::to_string(::getpid()));
}

// Puts the content the file had before a replacement back after the rename went through but the
// folder could not be synced: the caller is told the save failed, so the file must say so too.
void restoreAfterRename(const fs::path& target, const fs::path& temp, int oldFd, bool existed) {
    if (!existed) {
        ::unlink(target.c_str());
        io::syncFolder(folderOf(target), std::nothrow);
        return;
    }
    if (oldFd < 0)
        return;
    std::string old;
    if (io::readAllAt(oldFd, old) != 0)
        return;
    ::unlink(temp.c_str());
    io::UniqueFd fd(io::openRetry(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666));
    if (!fd)
        return;
    struct stat st {};
    if (::fstat(oldFd, &st) == 0)
        ::fchmod(fd.get(), st.st_mode & 07777);
    if (io::writeAll(fd.get(), old) != 0 || io::fsyncRetry(fd.get()) != 0 || fd.close() != 0 ||
        ::rename(temp.c_str(), target.c_str()) != 0) {
        ::unlink(temp.c_str());
        return;
    }
    io::syncFolder(folderOf(target), std::nothrow);
}

// Room an image keeps beyond its end, so inserting a post shifts the image in place instead of
// copying it whole into a larger one.
std::size_t roomFor(std::size_t recordLength) {
    return 64 * recordLength;
}

int leftoverTempPid(const std::string& name) {
    if (name.size() < 2 || name[0] != '.')
        return 0;
    const auto at = name.rfind(tempMarker);
    if (at == std::string::npos || at < 2)
        return 0;
    const std::string digits = name.substr(at + tempMarker.size());
    if (digits.empty() || digits.size() > 9 || digits.find_first_not_of("0123456789") != std::string::npos)
        return 0;
    return std::stoi(digits);
}

} // namespace

namespace io {

std::string systemText(int err) {
    if (err == NotRegular)
        return "Ingen vanlig fil (en länk, en FIFO, en enhet eller en mapp)";
    return std::system_category().message(err);
}

[[noreturn]] void fail(int err, const fs::path& path) {
    throw FileError(systemText(err), path.string(),
                    std::error_code(err == NotRegular ? EINVAL : err, std::system_category()));
}

[[noreturn]] void refuseToWrite(const fs::path& path) {
    throw FileError("Filen " + path.string() +
                        " är en länk, har ett andra namn eller är ingen vanlig fil; programmet skriver "
                        "inte i den",
                    path.string(), std::error_code(ELOOP, std::system_category()));
}

int openRetry(const char* path, int flags, mode_t mode) {
    int fd;
    do
        fd = ::open(path, flags, mode);
    while (fd < 0 && errno == EINTR);
    return fd;
}

int UniqueFd::close() {
    if (fd_ < 0)
        return 0;
    const int fd = std::exchange(fd_, -1);
    // On Linux the descriptor is gone even when close reports EINTR; retrying could close another.
    if (::close(fd) != 0 && errno != EINTR)
        return errno;
    return 0;
}

int writeAll(int fd, std::string_view bytes) {
    constexpr std::size_t chunk = std::size_t(1) << 30;
    while (!bytes.empty()) {
        const ssize_t n = ::write(fd, bytes.data(), std::min(bytes.size(), chunk));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return errno;
        }
        if (n == 0)
            return EIO;
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
    return 0;
}

int writeAllBehind(int fd, std::string_view bytes) {
    // The disk starts on each part while the next is still being copied to the system; the fsync
    // that follows then waits only for what is left. A file system that cannot start a write-back
    // early (the call fails) is synced whole by that fsync as before.
    constexpr std::size_t part = std::size_t(512) << 10;
    off_t at = 0;
    while (!bytes.empty()) {
        const std::string_view piece = bytes.substr(0, part);
        if (const int err = writeAll(fd, piece))
            return err;
        ::sync_file_range(fd, at, static_cast<off_t>(piece.size()), SYNC_FILE_RANGE_WRITE);
        at += static_cast<off_t>(piece.size());
        bytes.remove_prefix(piece.size());
    }
    return 0;
}

// The pages of a large image are made in one call before the read fills them, so the read takes no
// fault per four kilobytes: a third less time for an account of many megabytes. (Large pages would
// save more where the system has them at hand, but where it has not, it stops to make them, for a
// tenth of a second and more.) Where the call is unknown, the read makes the pages as before.
void prefault(char* data, std::size_t size) {
#ifndef MADV_POPULATE_WRITE
    constexpr int MADV_POPULATE_WRITE = 23;
#endif
    constexpr std::uintptr_t page = 4096;
    if (size < (std::size_t(1) << 20))
        return;
    const auto begin = (reinterpret_cast<std::uintptr_t>(data) + page - 1) & ~(page - 1);
    const auto end = (reinterpret_cast<std::uintptr_t>(data) + size) & ~(page - 1);
    if (end > begin)
        ::madvise(reinterpret_cast<void*>(begin), end - begin, MADV_POPULATE_WRITE); // advice only
}

namespace {

// Below this size a second thread costs more than it saves.
constexpr std::size_t ReadInHalves = std::size_t(2) << 20;

// Reads bytes from..to-1 of the file into data + from; returns how many there were (fewer when the
// file has become shorter), err the errno of a failed read.
std::size_t readPart(int fd, char* data, std::size_t from, std::size_t to, int& err) {
    prefault(data + from, to - from);
    std::size_t at = from;
    while (at < to) {
        const ssize_t n = ::pread(fd, data + at, to - at, static_cast<off_t>(at));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            err = errno;
            break;
        }
        if (n == 0)
            break;
        at += static_cast<std::size_t>(n);
    }
    return at - from;
}

// The first size bytes of the file into data, a large file in two halves at once (its pages made
// and filled by two cores); returns how many there were.
std::size_t readStart(int fd, char* data, std::size_t size, int& err) {
    if (size < ReadInHalves)
        return readPart(fd, data, 0, size, err);
    const std::size_t middle = size / 2 & ~std::size_t(4095);
    std::size_t firstGot = 0, secondGot = 0;
    int secondErr = 0;
    store::alongside([&] { firstGot = readPart(fd, data, 0, middle, err); },
                     [&] { secondGot = readPart(fd, data, middle, size, secondErr); });
    if (err == 0)
        err = secondErr;
    return firstGot < middle ? firstGot : middle + secondGot;
}

} // namespace

int readAllAt(int fd, std::string& out, std::size_t room) {
    out.clear();
    struct stat st {};
    const std::size_t size =
        ::fstat(fd, &st) == 0 && st.st_size > 0 ? static_cast<std::size_t>(st.st_size) : 0;
    // Straight into the string, with the room asked for beyond the end, so neither the read nor
    // the caller's first growth copies the content once more.
    out.reserve(size + room);
    int err = 0;
    std::size_t got = 0;
#ifdef __cpp_lib_string_resize_and_overwrite
    // The length is given without first writing zeros over the whole image.
    out.resize_and_overwrite(size,
                             [&](char* data, std::size_t) { return got = readStart(fd, data, size, err); });
#else
    prefault(out.data(), size);
    out.resize(size);
    out.resize(got = readStart(fd, out.data(), size, err));
#endif
    if (err != 0) {
        out.clear();
        return err;
    }
    if (got < size) // shorter than it was a moment ago
        return 0;
    off_t at = static_cast<off_t>(size);
    // Longer than it was a moment ago (or a file that tells no size): the rest in steps.
    char buffer[1 << 16];
    for (;;) {
        const ssize_t n = ::pread(fd, buffer, sizeof buffer, at);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return errno;
        }
        if (n == 0)
            return 0;
        out.append(buffer, static_cast<std::size_t>(n));
        at += n;
    }
}

int fsyncRetry(int fd) {
    int r;
    do
        r = ::fsync(fd);
    while (r != 0 && errno == EINTR);
    return r == 0 ? 0 : errno;
}

int syncFolder(const fs::path& folder, std::nothrow_t) {
    UniqueFd fd(openRetry(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!fd)
        return errno;
    const int err = fsyncRetry(fd.get());
    // EINVAL: this file system cannot sync a folder at all, which is no failed save.
    return err == EINVAL ? 0 : err;
}

void syncFolder(const fs::path& folder) {
    if (const int err = syncFolder(folder, std::nothrow))
        fail(err, folder);
}

int openRegular(int dirFd, const char* path, bool followLinks, UniqueFd& out) {
    const int flags = O_RDONLY | O_CLOEXEC | O_NONBLOCK | (followLinks ? 0 : O_NOFOLLOW);
    int fd;
    do
        fd = ::openat(dirFd, path, flags);
    while (fd < 0 && errno == EINTR);
    if (fd < 0)
        return !followLinks && errno == ELOOP ? NotRegular : errno;
    UniqueFd opened(fd);
    struct stat st {};
    if (::fstat(fd, &st) != 0)
        return errno;
    if (!S_ISREG(st.st_mode))
        return S_ISDIR(st.st_mode) ? EISDIR : NotRegular;
    out = std::move(opened);
    return 0;
}

std::string readAt(int fd, off_t offset, std::size_t length) {
    std::string out(length, '\0');
    std::size_t got = 0;
    while (got < length) {
        const ssize_t n = ::pread(fd, out.data() + got, length - got, offset + static_cast<off_t>(got));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        got += static_cast<std::size_t>(n);
    }
    out.resize(got);
    return out;
}

int tryReadWholeFile(const fs::path& path, std::string& out, std::size_t room) {
    UniqueFd fd;
    if (const int err = openRegular(AT_FDCWD, path.c_str(), true, fd))
        return err;
    return readAllAt(fd.get(), out, room);
}

int tryReadWholeFileAt(int dirFd, const char* name, std::string& out) {
    UniqueFd fd;
    if (const int err = openRegular(dirFd, name, false, fd))
        return err;
    return readAllAt(fd.get(), out);
}

} // namespace io

void setCommitFaultHook(CommitFaultHook hook) {
    faultHook() = std::move(hook);
}

void commitFaultPoint(CommitStep s, const fs::path& path) {
    step(s, path);
}

std::string readWholeFile(const fs::path& path) {
    std::string content;
    if (const int err = io::tryReadWholeFile(path, content))
        io::fail(err, path);
    return content;
}

namespace {

// Writes the new content into the temporary file: 0 or the errno of the failure.
using ContentWriter = std::function<int(int fd)>;

// The first step of a replacement: the temporary file beside target, made anew (whatever held its
// name, a link or a second name of another file, keeps its content) with the mode of the file.
io::UniqueFd openTemp(const fs::path& path, const fs::path& target, const fs::path& temp, bool& existed) {
    step(CommitStep::OpenTemp, path);
    keepBeforeImage(path);
    struct stat st {};
    existed = ::stat(target.c_str(), &st) == 0;
    // A file the user has made read-only stays untouched, as writing into it would.
    if (existed && ::faccessat(AT_FDCWD, target.c_str(), W_OK, AT_EACCESS) != 0)
        io::fail(errno, path);
    ::unlink(temp.c_str());
    io::UniqueFd fd(io::openRetry(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0666));
    if (!fd)
        io::fail(errno, path);
    if (existed)
        ::fchmod(fd.get(), st.st_mode & 07777); // best effort: not every file system keeps modes
    return fd;
}

// The content of another file copied into fd part by part: 0 or the errno of the failure.
int copyInto(int out, int in, std::uint64_t size) {
    std::vector<char> buffer(std::size_t(1) << 20);
    std::uint64_t copied = 0;
    for (;;) {
        const ssize_t n = ::read(in, buffer.data(), buffer.size());
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return errno;
        if (n == 0)
            break;
        copied += static_cast<std::uint64_t>(n);
        if (copied > size)
            break;
        if (const int err = io::writeAll(out, std::string_view(buffer.data(), std::size_t(n))))
            return err;
        ::sync_file_range(out, static_cast<off_t>(copied) - n, n, SYNC_FILE_RANGE_WRITE);
    }
    // A source that changed its length since it was checked is not what was checked.
    return copied == size ? 0 : EIO;
}

void replaceFileWith(const fs::path& path, Links links, const ContentWriter& writeContent) {
    const ChangeScope change;
    const fs::path target = links == Links::Follow ? resolveLinks(path) : path;
    if (links == Links::Refuse) {
        // The rename below replaces the name itself, never what a link there would name; the
        // refusal is for the user, who is to learn that something took the file's place.
        struct stat st {};
        if (::lstat(path.c_str(), &st) == 0 && (!S_ISREG(st.st_mode) || st.st_nlink != 1))
            io::refuseToWrite(path);
    }
    const fs::path folder = folderOf(target);
    const fs::path temp = tempPathFor(target);
    const fs::path kept = keptPathFor(target);

    io::UniqueFd fd;
    io::UniqueFd oldFd;
    bool keptMade = false;
    bool tempMade = false;
    bool renamed = false;
    bool existed = false;
    try {
        fd = openTemp(path, target, temp, existed);
        tempMade = true;

        step(CommitStep::Write, path);
        if (const int err = writeContent(fd.get()))
            io::fail(err, path);

        step(CommitStep::Fsync, path);
        if (const int err = io::fsyncRetry(fd.get()))
            io::fail(err, path);
        if (const int err = fd.close())
            io::fail(err, path);

        // Should the folder fail to sync, the old file goes back by renaming this second name of it
        // over the new one, which needs no room on a disk that may still be full. Where no second
        // name can be made, it is held open and its content written back instead.
        if (existed) {
            ::unlink(kept.c_str());
            keptMade = ::link(target.c_str(), kept.c_str()) == 0;
            if (!keptMade)
                oldFd.reset(io::openRetry(target.c_str(), O_RDONLY | O_CLOEXEC));
        }

        step(CommitStep::Rename, path);
        if (::rename(temp.c_str(), target.c_str()) != 0)
            io::fail(errno, path);
        renamed = true;

        step(CommitStep::SyncFolder, path);
        if (const int err = io::syncFolder(folder, std::nothrow))
            io::fail(err, path);
    } catch (...) {
        fd.close();
        if (renamed && keptMade && ::rename(kept.c_str(), target.c_str()) == 0)
            io::syncFolder(folder, std::nothrow);
        else if (renamed) {
            if (keptMade)
                oldFd.reset(io::openRetry(kept.c_str(), O_RDONLY | O_CLOEXEC));
            restoreAfterRename(target, temp, oldFd.get(), existed);
        } else if (tempMade)
            ::unlink(temp.c_str());
        if (keptMade)
            ::unlink(kept.c_str());
        throw;
    }
    if (keptMade)
        ::unlink(kept.c_str());
}

} // namespace

void replaceFileAtomically(const fs::path& path, std::string_view content, Links links) {
    replaceFileWith(path, links, [content](int fd) { return io::writeAllBehind(fd, content); });
}

void copyFileAtomically(const fs::path& path, const fs::path& source, std::uint64_t size) {
    io::UniqueFd in;
    if (const int err = io::openRegular(AT_FDCWD, source.c_str(), false, in))
        io::fail(err, source);
    replaceFileWith(path, Links::Follow, [&](int out) { return copyInto(out, in.get(), size); });
}

StagedReplacement::StagedReplacement(const fs::path& path)
    : path_(path), target_(resolveLinks(path)), temp_(tempPathFor(target_)) {}

StagedReplacement::StagedReplacement(const fs::path& path, std::string_view content)
    : StagedReplacement(path) {
    start([content](int fd) { return io::writeAllBehind(fd, content); });
}

StagedReplacement::StagedReplacement(const fs::path& path, const fs::path& source, std::uint64_t size)
    : StagedReplacement(path) {
    io::UniqueFd in;
    if (const int err = io::openRegular(AT_FDCWD, source.c_str(), false, in))
        io::fail(err, source);
    start([&](int out) { return copyInto(out, in.get(), size); });
}

void StagedReplacement::start(const std::function<int(int)>& writeContent) {
    bool existed = false;
    fd_ = openTemp(path_, target_, temp_, existed).release();
    inPlace_ = false;
    step(CommitStep::Write, path_);
    if (const int err = writeContent(fd_)) {
        abandon();
        io::fail(err, path_);
    }
}

StagedReplacement::StagedReplacement(StagedReplacement&& other) noexcept
    : path_(std::move(other.path_)), target_(std::move(other.target_)), temp_(std::move(other.temp_)),
      fd_(std::exchange(other.fd_, -1)), inPlace_(std::exchange(other.inPlace_, true)) {}

StagedReplacement::~StagedReplacement() {
    abandon();
}

void StagedReplacement::abandon() noexcept {
    if (fd_ >= 0)
        ::close(std::exchange(fd_, -1));
    if (!std::exchange(inPlace_, true))
        ::unlink(temp_.c_str());
}

void StagedReplacement::sync() {
    step(CommitStep::Fsync, path_);
    if (const int err = io::fsyncRetry(fd_))
        io::fail(err, path_);
    if (const int err = io::UniqueFd(std::exchange(fd_, -1)).close())
        io::fail(err, path_);
}

void StagedReplacement::putInPlace() {
    step(CommitStep::Rename, path_);
    if (fd_ >= 0)
        throw std::logic_error("put in place before it was synced: " + path_.string());
    if (::rename(temp_.c_str(), target_.c_str()) != 0)
        io::fail(errno, path_);
    inPlace_ = true;
}

fs::path StagedReplacement::folder() const {
    return folderOf(target_);
}

std::size_t removeLeftoverTempFiles(const fs::path& folder) {
    std::size_t removed = 0;
    std::error_code ec;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        const int pid = leftoverTempPid(it->path().filename().string());
        if (pid <= 0 || !it->is_regular_file(ec))
            continue;
        // Only a temporary file whose writer has ended is left over; a live one is mid-commit.
        if (pid == ::getpid() || ::kill(pid, 0) == 0 || errno != ESRCH)
            continue;
        if (::unlink(it->path().c_str()) == 0)
            ++removed;
    }
    return removed;
}

RecordFile::RecordFile(fs::path path, std::size_t recordLength, Missing missing)
    : path_(std::move(path)), recordLength_(recordLength), missing_(missing) {
    if (recordLength_ == 0)
        throw std::invalid_argument("record length 0");
    const int err = io::tryReadWholeFile(path_, image_, roomFor(recordLength_));
    if (err == ENOENT && missing == Missing::Empty) {
        image_.clear();
        return;
    }
    if (err == ENOENT && missing == Missing::Create) {
        // A new file is empty and stays empty until something is written; creating it at once
        // lets other windows and the next start see it.
        io::UniqueFd fd(io::openRetry(path_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666));
        if (!fd && errno == EEXIST) { // someone else made it meanwhile
            image_ = readWholeFile(path_);
            return;
        }
        if (!fd)
            io::fail(errno, path_);
        if (const int e = io::fsyncRetry(fd.get()))
            io::fail(e, path_);
        if (const int e = fd.close())
            io::fail(e, path_);
        io::syncFolder(folderOf(path_));
        image_.clear();
        return;
    }
    if (err != 0)
        io::fail(err, path_);
}

std::size_t RecordFile::count() const {
    return (image_.size() + recordLength_ / 2) / recordLength_;
}

std::string RecordFile::readRaw(std::size_t n) const {
    if (n == 0)
        throw std::out_of_range("record 0 of " + path_.string());
    std::string record(recordLength_, '\0');
    const std::size_t offset = (n - 1) * recordLength_;
    if (offset < image_.size())
        image_.copy(record.data(), recordLength_, offset);
    return record;
}

void RecordFile::writeRaw(std::size_t n, std::string_view bytes) {
    if (n == 0)
        throw std::out_of_range("record 0 of " + path_.string());
    if (bytes.size() != recordLength_)
        throw std::invalid_argument("record of " + std::to_string(bytes.size()) + " bytes for " +
                                    path_.string());
    const std::size_t offset = (n - 1) * recordLength_;
    if (image_.size() < offset + recordLength_)
        image_.resize(offset + recordLength_, '\0');
    image_.replace(offset, recordLength_, bytes);
    dirty_ = true;
}

void RecordFile::commit() {
    if (!dirty_)
        return;
    replaceFileAtomically(path_, image_);
    dirty_ = false;
}

void RecordFile::reload() {
    std::string image;
    if (const int err = io::tryReadWholeFile(path_, image, roomFor(recordLength_));
        err != 0 && !(err == ENOENT && missing_ == Missing::Empty))
        io::fail(err, path_);
    image_ = std::move(image);
    dirty_ = false;
}

} // namespace store
