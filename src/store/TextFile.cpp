#include "store/TextFile.h"

#include "store/FileIo.h"
#include "store/RecordFile.h"

#include <cerrno>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace store {

namespace {

std::string joinLines(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines) {
        text += line;
        text += "\r\n";
    }
    return text;
}

} // namespace

std::vector<std::string> readTextLines(const fs::path& path) {
    std::string text;
    if (const int err = io::tryReadWholeFile(path, text)) {
        if (err == ENOENT)
            return {};
        io::fail(err, path);
    }
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        const std::size_t next = end == std::string::npos ? text.size() : end + 1;
        if (end == std::string::npos)
            end = text.size();
        // A CR belongs to the line end, also on a last line whose LF never got written.
        if (end > start && text[end - 1] == '\r')
            --end;
        lines.push_back(text.substr(start, end - start));
        start = next;
    }
    return lines;
}

void writeTextLines(const fs::path& path, const std::vector<std::string>& lines, Links links) {
    replaceFileAtomically(path, joinLines(lines), links);
}

void appendTextLines(const fs::path& path, const std::vector<std::string>& lines) {
    // Without waiting: a FIFO by the name would block the open until someone reads it.
    constexpr int flags = O_WRONLY | O_APPEND | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK;
    io::UniqueFd fd(io::openRetry(path.c_str(), flags));
    bool created = false;
    if (!fd && errno == ENOENT) {
        fd.reset(io::openRetry(path.c_str(), flags | O_CREAT | O_EXCL, 0666));
        created = true;
    }
    if (!fd && (errno == ELOOP || errno == ENXIO || errno == EISDIR || errno == EEXIST))
        io::refuseToWrite(path);
    if (!fd)
        io::fail(errno, path);
    struct stat st {};
    if (::fstat(fd.get(), &st) != 0)
        io::fail(errno, path);
    if (!S_ISREG(st.st_mode) || st.st_nlink != 1)
        io::refuseToWrite(path);
    // On a full disk the lines may get in only in part: the file is cut back to what it held, so
    // the log never keeps half an entry (and one made for this entry goes again).
    const auto undo = [&](int err) {
        if (created)
            ::unlink(path.c_str());
        else
            while (::ftruncate(fd.get(), st.st_size) != 0 && errno == EINTR) {
            }
        io::fail(err, path);
    };
    if (const int err = io::writeAll(fd.get(), joinLines(lines)))
        undo(err);
    if (const int err = io::fsyncRetry(fd.get()))
        undo(err);
    if (const int err = fd.close())
        io::fail(err, path);
    if (created) {
        fs::path folder = path.parent_path();
        io::syncFolder(folder.empty() ? fs::path(".") : folder);
    }
}

} // namespace store
