#include "accounts/RemoveAccount.h"

#include "accounts/Register.h"
#include "store/Cp1252.h"
#include "store/Errors.h"
#include "store/FileIo.h"
#include "store/GroupCommit.h"
#include "store/Paths.h"
#include "store/RecordFile.h"
#include "store/Records.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <string>
#include <system_error>
#include <vector>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace accounts {

namespace {

namespace fs = std::filesystem;

// Compared without regard to ASCII case: on a FAT-formatted stick "kontofil" is KontoFil.
bool sameIgnoringCase(std::string_view a, std::string_view b) {
    const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(), [&](char x, char y) { return lower(x) == lower(y); });
}

bool isDataRootFile(std::string_view cp1252Name) {
    // An account of that name would have its folder where the data root's own file stands.
    return std::any_of(store::DataRootFileNames.begin(), store::DataRootFileNames.end(),
                       [&](std::string_view own) { return sameIgnoringCase(own, cp1252Name); });
}

bool hasContent(const fs::path& file) {
    std::error_code ec;
    if (!fs::is_regular_file(fs::status(file, ec)) || ec)
        return false;
    const std::uintmax_t size = fs::file_size(file, ec);
    return !ec && size > 0;
}

// Writes 35 blanks over KontoNamn of record n in the image and nothing else: the record's other
// fields and the file's length stay as they are. A counted record always holds its whole name
// field (the count rounds, so the last record has at least 41 of its 82 bytes).
void blankName(store::RecordFile& kontoFil, int n) {
    const std::size_t offset = static_cast<std::size_t>(n - 1) * store::KontoRec::Length;
    std::string& image = kontoFil.mutableImage();
    const std::size_t width = store::KontoRec::KontoNamn.width;
    if (image.size() < offset + width)
        image.resize(offset + width, '\0');
    image.replace(offset + store::KontoRec::KontoNamn.offset, width, width, ' ');
}

void checkRecordExists(const store::RecordFile& kontoFil, int kontoNum) {
    if (kontoNum < 1 || static_cast<std::size_t>(kontoNum) > kontoFil.count())
        throw store::DataError("Kontoregistret har ingen post " + std::to_string(kontoNum));
}

class Fd {
public:
    explicit Fd(int fd) : fd_(fd) {}
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    ~Fd() {
        if (fd_ >= 0)
            ::close(fd_);
    }
    int get() const { return fd_; }

private:
    int fd_;
};

std::vector<std::string> entryNames(int folderFd, const fs::path& shown) {
    const int copy = ::fcntl(folderFd, F_DUPFD_CLOEXEC, 0);
    if (copy < 0)
        store::io::fail(errno, shown);
    DIR* dir = ::fdopendir(copy);
    if (!dir) {
        const int err = errno;
        ::close(copy);
        store::io::fail(err, shown);
    }
    std::vector<std::string> names;
    errno = 0;
    while (const dirent* entry = ::readdir(dir)) {
        const std::string_view name = entry->d_name;
        if (name != "." && name != "..")
            names.emplace_back(name);
        errno = 0;
    }
    const int err = errno;
    ::closedir(dir);
    if (err != 0)
        store::io::fail(err, shown);
    return names;
}

// Deletes everything in the open folder except the names in `keep`. Every step goes from the open
// folder descriptor, so a symbolic link is removed as a link and never followed, however the
// tree changes meanwhile; a folder on another file system (a mount inside the account folder) is
// not entered and stops the removal.
void removeContents(int folderFd, dev_t device, const fs::path& shown, const std::vector<std::string>& keep) {
    for (const std::string& name : entryNames(folderFd, shown)) {
        if (std::find(keep.begin(), keep.end(), name) != keep.end())
            continue;
        const fs::path path = shown / name;
        struct stat st {};
        if (::fstatat(folderFd, name.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0) {
            if (errno == ENOENT)
                continue;
            store::io::fail(errno, path);
        }
        if (S_ISDIR(st.st_mode)) {
            if (st.st_dev != device)
                store::io::fail(EXDEV, path);
            const Fd sub(::openat(folderFd, name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
            if (sub.get() < 0)
                store::io::fail(errno, path);
            removeContents(sub.get(), device, path, {});
            if (::unlinkat(folderFd, name.c_str(), AT_REMOVEDIR) != 0 && errno != ENOENT)
                store::io::fail(errno, path);
        } else if (::unlinkat(folderFd, name.c_str(), 0) != 0 && errno != ENOENT) {
            store::io::fail(errno, path);
        }
    }
}

enum class FolderEntry { Missing, Folder, Link, Other };

FolderEntry folderEntry(const fs::path& folder) {
    std::error_code ec;
    const fs::file_status st = fs::symlink_status(folder, ec);
    if (ec && ec != std::errc::no_such_file_or_directory && ec != std::errc::not_a_directory)
        throw store::FileError(ec, folder.string());
    if (!fs::exists(st))
        return FolderEntry::Missing;
    if (fs::is_symlink(st))
        return FolderEntry::Link;
    return fs::is_directory(st) ? FolderEntry::Folder : FolderEntry::Other;
}

} // namespace

RemovalResult reduceAccount(const store::DataPaths& paths, int kontoNum, std::string_view cp1252Name,
                            bool lastAccount) {
    const fs::path folder = paths.accountFolder(cp1252Name); // DataError for an unsafe name
    const std::string shownName = store::cp1252ToUtf8(cp1252Name);
    if (isDataRootFile(cp1252Name))
        throw store::DataError("Kontonamnet '" + shownName + "' är namnet på en av programmets egna filer");

    // A register that cannot be looked at is an error, not a missing register: the files must
    // never go while the name stays.
    std::optional<store::RecordFile> kontoFil;
    std::error_code ec;
    const bool registerExists = fs::exists(paths.kontoFil(), ec);
    if (ec)
        throw store::FileError(ec, paths.kontoFil().string());
    if (registerExists)
        kontoFil.emplace(paths.kontoFil(), store::KontoRec::Length, store::RecordFile::Missing::Fail);
    bool otherAccounts = false;
    if (kontoFil) {
        checkRecordExists(*kontoFil, kontoNum);
        const store::KontoRec rec(kontoFil->readRaw(static_cast<std::size_t>(kontoNum)));
        if (!rec.name().empty() && rec.name() != cp1252Name)
            throw store::DataError("Post " + std::to_string(kontoNum) + " i kontoregistret gäller kontot '" +
                                   store::cp1252ToUtf8(rec.name()) + "', inte '" + shownName + "'");
        const std::vector<RegisterEntry> listed = listAccounts(*kontoFil);
        otherAccounts = std::any_of(listed.begin(), listed.end(),
                                    [&](const RegisterEntry& e) { return e.recordNumber != kontoNum; });
    }

    store::GroupCommit group(paths.journalFolder());
    const FolderEntry entry = folderEntry(folder);
    if (entry == FolderEntry::Folder) {
        const Fd folderFd(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
        if (folderFd.get() < 0)
            store::io::fail(errno, folder);
        struct stat st {};
        if (::fstat(folderFd.get(), &st) != 0)
            store::io::fail(errno, folder);
        // The account's own files go through the journal; only plain files, since a link by such
        // a name would have the journal read (and a failed commit rewrite) whatever it points at.
        std::vector<std::string> journalled;
        for (const std::string_view name : AccountFileNames) {
            struct stat fileSt {};
            if (::fstatat(folderFd.get(), std::string(name).c_str(), &fileSt, AT_SYMLINK_NOFOLLOW) == 0 &&
                S_ISREG(fileSt.st_mode))
                journalled.emplace_back(name);
        }
        removeContents(folderFd.get(), st.st_dev, folder, journalled);
        store::io::syncFolder(folder, std::nothrow);
        for (const std::string& name : journalled)
            group.remove(folder / name);
    }

    RemovalResult result = RemovalResult::RegisterDeleted;
    if (kontoFil) {
        if (lastAccount && !otherAccounts) {
            group.remove(paths.kontoFil());
        } else {
            blankName(*kontoFil, kontoNum);
            group.stage(*kontoFil);
            result = RemovalResult::NameBlanked;
        }
    }
    group.commit();

    // The account is gone from the register and its files with it; what is left is an empty
    // folder or a link, which no register record names any more.
    if (entry == FolderEntry::Folder || entry == FolderEntry::Link) {
        const int removed = entry == FolderEntry::Folder ? ::rmdir(folder.c_str()) : ::unlink(folder.c_str());
        if (removed == 0)
            store::io::syncFolder(paths.dataRoot(), std::nothrow);
    }
    return result;
}

AccountFilesInUse filesInUse(const store::DataPaths& paths, std::string_view cp1252Name) {
    fs::path folder;
    try {
        folder = paths.accountFolder(cp1252Name);
    } catch (const store::DataError&) {
        return {}; // no folder can have that name, so no file is in use
    }
    return {hasContent(folder / "Transakt"), hasContent(folder / "KontoData")};
}

std::optional<InUseFile> removeRegisterName(const store::DataPaths& paths, int kontoNum) {
    store::RecordFile kontoFil(paths.kontoFil(), store::KontoRec::Length, store::RecordFile::Missing::Fail);
    checkRecordExists(kontoFil, kontoNum);
    const std::string name = store::KontoRec(kontoFil.readRaw(static_cast<std::size_t>(kontoNum))).name();
    if (!name.empty()) {
        const AccountFilesInUse inUse = filesInUse(paths, name);
        if (inUse.transakt)
            return InUseFile::Transakt;
        if (inUse.kontoData)
            return InUseFile::KontoData;
    }
    blankName(kontoFil, kontoNum);
    kontoFil.commit();
    return std::nullopt;
}

} // namespace accounts
