#include "stats/ReportFile.h"

#include "store/FileIo.h"

#include <cerrno>
#include <charconv>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace stats {

namespace {

fs::path folderOf(const fs::path& file) {
    const fs::path folder = file.parent_path();
    return folder.empty() ? fs::path(".") : folder;
}

} // namespace

ReportTempFile::ReportTempFile(fs::path target) : target_(std::move(target)) {
    struct stat st {};
    if (::stat(target_.c_str(), &st) == 0) {
        if (S_ISDIR(st.st_mode))
            store::io::fail(EISDIR, target_);
        // A file the user has made read-only stays as it is, as writing into it would.
        if (::faccessat(AT_FDCWD, target_.c_str(), W_OK, AT_EACCESS) != 0)
            store::io::fail(errno, target_);
    }
    const fs::path folder = folderOf(target_);
    const std::string stem = "." + target_.filename().string() + ".tmp-" + std::to_string(::getpid());
    for (int n = 0;; ++n) {
        temp_ = folder / (n == 0 ? stem : stem + "-" + std::to_string(n));
        fd_ = store::io::openRetry(temp_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0666);
        if (fd_ >= 0)
            break;
        if (errno != EEXIST || n == 100)
            store::io::fail(errno, target_);
    }
    if (S_ISREG(st.st_mode))
        ::fchmod(fd_, st.st_mode & 07777); // best effort: not every file system keeps modes
}

ReportTempFile::~ReportTempFile() {
    if (fd_ >= 0)
        ::close(fd_);
    if (!committed_)
        ::unlink(temp_.c_str());
}

void ReportTempFile::write(std::string_view bytes) {
    if (const int err = store::io::writeAll(fd_, bytes))
        store::io::fail(err, target_);
}

void ReportTempFile::commit() {
    if (const int err = store::io::fsyncRetry(fd_))
        store::io::fail(err, target_);
    const int fd = fd_;
    fd_ = -1;
    if (::close(fd) != 0 && errno != EINTR)
        store::io::fail(errno, target_);
    if (::rename(temp_.c_str(), target_.c_str()) != 0)
        store::io::fail(errno, target_);
    committed_ = true;
    store::io::syncFolder(folderOf(target_), std::nothrow);
}

void writeReportFile(const fs::path& path, std::string_view bytes) {
    ReportTempFile file(path);
    file.write(bytes);
    file.commit();
}

void checkPdfFile(const fs::path& file, const fs::path& target) {
    const int fd = store::io::openRetry(file.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
    if (fd < 0)
        store::io::fail(errno, target);
    struct stat st {};
    const bool sized = ::fstat(fd, &st) == 0;
    const off_t size = sized ? st.st_size : 0;
    const std::string tail = store::io::readAt(fd, size > 1024 ? size - 1024 : 0, 1024);
    // The trailer ends "startxref", the table's offset, "%%EOF".
    bool whole = false;
    const std::size_t at = tail.rfind("startxref");
    const std::size_t end = tail.rfind("%%EOF");
    if (at != std::string::npos && end != std::string::npos && end > at &&
        tail.find_first_not_of("\r\n \t", end + 5) == std::string::npos) {
        const std::size_t digits = tail.find_first_of("0123456789", at);
        long long offset = -1;
        if (digits != std::string::npos)
            std::from_chars(tail.data() + digits, tail.data() + end, offset);
        whole =
            offset >= 0 && offset < size && store::io::readAt(fd, static_cast<off_t>(offset), 4) == "xref";
    }
    ::close(fd);
    if (!sized || !whole)
        throw IncompleteFile(target.string());
}

std::optional<std::string> plainFileProblem(const store::FileError& error) {
    std::string reason;
    if (dynamic_cast<const IncompleteFile*>(&error)) {
        reason = "Filen blev inte färdigskriven. Disken är troligen full.";
    } else {
        const std::error_code& code = error.code();
        if (code.category() != std::system_category() && code.category() != std::generic_category())
            return std::nullopt;
        switch (code.value()) {
        case ENOENT:
        case ENOTDIR:
            reason = "Mappen finns inte.";
            break;
        case EACCES:
        case EPERM:
            reason = "Du har inte behörighet att skriva där, eller så är filen skrivskyddad.";
            break;
        case EROFS:
            reason = "Disken går bara att läsa från.";
            break;
        case ENOSPC:
        case EDQUOT:
        case EFBIG:
            reason = "Det finns inte plats för filen på disken.";
            break;
        case EISDIR:
            reason = "Det finns en mapp med det namnet.";
            break;
        case ENAMETOOLONG:
            reason = "Namnet är för långt.";
            break;
        default:
            return std::nullopt;
        }
    }
    return "Utskriften kunde inte sparas som\n" + error.path() + "\n\n" + reason +
           "\n\nVälj en annan plats och försök igen.";
}

} // namespace stats
