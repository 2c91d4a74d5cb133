#pragma once

// POSIX helpers shared by the file layer (RecordFile, GroupCommit, TextFile). Functions that
// return int give 0 or the errno of the failure, already past EINTR and short transfers.

#include <filesystem>
#include <new>
#include <string>
#include <string_view>
#include <sys/types.h>
#include <utility>

namespace store::io {

// Returned in place of an errno for a name that is no regular file (a FIFO, a device, a folder, or a
// link where links are not followed): reading it could block or never end, and it holds no data.
inline constexpr int NotRegular = -1;

// The system's own text for an errno value ("Permission denied"); for NotRegular a text of our own.
std::string systemText(int err);
// Throws FileError with the system's text for err.
[[noreturn]] void fail(int err, const std::filesystem::path& path);

// A file that is not written because it is a link, has a second name or is no regular file.
[[noreturn]] void refuseToWrite(const std::filesystem::path& path);

int openRetry(const char* path, int flags, mode_t mode = 0);

class UniqueFd {
public:
    UniqueFd() = default;
    explicit UniqueFd(int fd) : fd_(fd) {}
    UniqueFd(UniqueFd&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}
    UniqueFd& operator=(UniqueFd&& other) noexcept {
        if (this != &other) {
            close();
            fd_ = std::exchange(other.fd_, -1);
        }
        return *this;
    }
    ~UniqueFd() { close(); }

    int get() const { return fd_; }
    explicit operator bool() const { return fd_ >= 0; }
    int release() { return std::exchange(fd_, -1); }
    void reset(int fd) {
        close();
        fd_ = fd;
    }
    // 0 or the errno of a failed close (which may report a failed write-back).
    int close();

private:
    int fd_ = -1;
};

int writeAll(int fd, std::string_view bytes);
// The same for a file about to be synced: its write-back starts part by part as it is written.
int writeAllBehind(int fd, std::string_view bytes);
// Reads the whole file from offset 0, whatever the descriptor's position, keeping room for that
// many more bytes in out.
int readAllAt(int fd, std::string& out, std::size_t room = 0);
// Up to length bytes of the file from offset; fewer at its end or on a failed read.
std::string readAt(int fd, off_t offset, std::size_t length);
// The pages of a large buffer about to be filled, made in one call instead of one fault per page.
// Advice only: the content stays as it is.
void prefault(char* data, std::size_t size);
int fsyncRetry(int fd);
int syncFolder(const std::filesystem::path& folder, std::nothrow_t);
void syncFolder(const std::filesystem::path& folder);
// Opens a file for reading without waiting (a FIFO would block the open) and keeps it only when it
// is a regular file: 0, NotRegular or the errno. dirFd AT_FDCWD takes path as it is; a link is
// followed only when followLinks.
int openRegular(int dirFd, const char* path, bool followLinks, UniqueFd& out);
int tryReadWholeFile(const std::filesystem::path& path, std::string& out, std::size_t room = 0);
// The same for a name in an opened folder, never through a link.
int tryReadWholeFileAt(int dirFd, const char* name, std::string& out);

} // namespace store::io
