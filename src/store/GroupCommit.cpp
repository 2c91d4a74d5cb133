#include "store/GroupCommit.h"

#include "store/ByteForm.h"
#include "store/Errors.h"
#include "store/FileIo.h"
#include "store/History.h"
#include "store/Paths.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace store {

namespace {

// The journal: "copy-<n>" holds the original of the n-th file, "manifest" names everything. The
// manifest is written last and removed first, so its presence alone says a commit is under way.
const char* const ManifestName = "manifest";
const char* const CopyPrefix = "copy-";
const std::string Magic = "MONIVA-GROUP-JOURNAL-1";
const std::string EndMark = "END";

bool isDigits(std::string_view text) {
    return !text.empty() && text.size() <= 9 &&
           text.find_first_not_of("0123456789") == std::string_view::npos;
}

bool isCopyName(std::string_view name) {
    return name.substr(0, 5) == CopyPrefix && isDigits(name.substr(5));
}

// The names this program writes into the journal: the manifest, the copies, and the temporary
// names of their replacement (".<name>.tmp-<pid>", ".<name>.old.tmp-<pid>").
bool isJournalName(std::string_view name) {
    if (name == ManifestName || isCopyName(name))
        return true;
    if (name.empty() || name.front() != '.')
        return false;
    const std::size_t at = name.rfind(".tmp-");
    if (at == std::string_view::npos || !isDigits(name.substr(at + 5)))
        return false;
    std::string_view base = name.substr(1, at - 1);
    if (base.size() > 4 && base.substr(base.size() - 4) == ".old")
        base.remove_suffix(4);
    return base == ManifestName || isCopyName(base);
}

struct Entry {
    enum Kind : char { Original = 'F', Absent = 'A', Folder = 'D' };
    Kind kind;
    fs::path path;
    std::string copy;       // Original: the copy's name in the journal
    std::uint64_t size = 0; // Original: the copy's length, checked before it is put back
};

std::string encode(const std::vector<Entry>& entries) {
    std::string out = Magic;
    putNumber(out, entries.size());
    for (const Entry& e : entries) {
        out.push_back(e.kind);
        putText(out, e.path.native());
        if (e.kind == Entry::Original) {
            putText(out, e.copy);
            putNumber(out, e.size);
        }
    }
    out += EndMark;
    return out;
}

[[noreturn]] void damaged() {
    throw DataError("Journalen för en samlad skrivning är skadad");
}

std::vector<Entry> decode(std::string_view data) {
    ByteReader in(data, damaged);
    if (in.take(Magic.size()) != Magic)
        damaged();
    const std::uint64_t count = in.number();
    std::vector<Entry> entries;
    for (std::uint64_t i = 0; i < count; ++i) {
        const char kind = in.take(1)[0];
        if (kind != Entry::Original && kind != Entry::Absent && kind != Entry::Folder)
            damaged();
        Entry e{static_cast<Entry::Kind>(kind), fs::path(std::string(in.text())), {}, 0};
        if (e.path.empty() || e.path.native().find('\0') != std::string::npos)
            damaged();
        if (kind == Entry::Original) {
            e.copy = std::string(in.text());
            if (!isCopyName(e.copy))
                damaged();
            e.size = in.number();
        }
        entries.push_back(std::move(e));
    }
    if (in.take(EndMark.size()) != EndMark || !in.atEnd())
        damaged();
    return entries;
}

fs::path folderOf(const fs::path& file) {
    fs::path folder = file.parent_path();
    return folder.empty() ? fs::path(".") : folder;
}

// The journal folder, opened once and then used only through that descriptor, never through a link:
// the drive folder may be a stick someone else prepared, and a link named like the journal (or
// like anything in it) must not lead the clean-up to delete files elsewhere.
class Journal {
public:
    explicit Journal(fs::path path) : path_(std::move(path)), name_(path_.filename().string()) {}

    const fs::path& path() const { return path_; }
    int fd() const { return fd_.get(); }
    fs::path operator/(const std::string& name) const { return path_ / name; }

    // False when there is no journal (and create is false). A name that is a link, no folder or
    // another user's folder is refused with DataError, and nothing in it is touched.
    bool open(bool create) {
        const fs::path parent = folderOf(path_);
        drive_.reset(io::openRetry(parent.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
        if (!drive_) {
            if (!create && (errno == ENOENT || errno == ENOTDIR))
                return false;
            io::fail(errno, parent);
        }
        if (create && ::mkdirat(drive_.get(), name_.c_str(), 0777) == 0)
            made_ = true;
        else if (create && errno != EEXIST)
            io::fail(errno, path_);
        int fd;
        do
            fd = ::openat(drive_.get(), name_.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
        while (fd < 0 && errno == EINTR);
        if (fd < 0) {
            if (errno == ENOENT && !create)
                return false;
            if (errno == ELOOP || errno == ENOTDIR)
                refuse();
            io::fail(errno, path_);
        }
        fd_.reset(fd);
        struct stat st {};
        if (::fstat(fd, &st) != 0)
            io::fail(errno, path_);
        if (!S_ISDIR(st.st_mode) || st.st_uid != ::geteuid())
            refuse();
        return true;
    }

    [[noreturn]] void refuse(const std::string& what = {}) const {
        throw UnsafeFolder("Journalmappen är en länk eller inte programmets egen mapp och används inte; "
                           "ingenting i den tas bort (" +
                           (what.empty() ? path_ : path_ / what).string() + ")");
    }

    // Clears a name before the journal writes it: only a regular file of the journal's own goes,
    // anything else there (a link, a folder) is refused.
    void clear(const std::string& name) const {
        struct stat st {};
        if (::fstatat(fd(), name.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0) {
            if (errno != ENOENT)
                io::fail(errno, path_ / name);
            return;
        }
        if (!S_ISREG(st.st_mode))
            refuse(name);
        if (::unlinkat(fd(), name.c_str(), 0) != 0 && errno != ENOENT)
            io::fail(errno, path_ / name);
    }

    // Writes a file of the journal atomically, as replaceFileAtomically does for the data.
    void write(const std::string& name, std::string_view content) const {
        io::UniqueFd out = writeTemp(name, content);
        syncTemp(out, name);
        rename(name);
    }

    // The steps of write() apart, so that the manifest is synced along with the new files.
    io::UniqueFd writeTemp(const std::string& name, std::string_view content) const {
        const fs::path shown = path_ / name;
        const std::string temp = tempName(name);
        commitFaultPoint(CommitStep::OpenTemp, shown);
        clear(temp);
        int raw;
        do
            raw = ::openat(fd(), temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
        while (raw < 0 && errno == EINTR);
        if (raw < 0)
            io::fail(errno, shown);
        io::UniqueFd out(raw);
        try {
            commitFaultPoint(CommitStep::Write, shown);
            if (const int err = io::writeAll(out.get(), content))
                io::fail(err, shown);
        } catch (...) {
            ::unlinkat(fd(), temp.c_str(), 0);
            throw;
        }
        return out;
    }
    void syncTemp(io::UniqueFd& out, const std::string& name) const {
        const fs::path shown = path_ / name;
        try {
            commitFaultPoint(CommitStep::Fsync, shown);
            if (const int err = io::fsyncRetry(out.get()))
                io::fail(err, shown);
            if (const int err = out.close())
                io::fail(err, shown);
        } catch (...) {
            ::unlinkat(fd(), tempName(name).c_str(), 0);
            throw;
        }
    }
    void rename(const std::string& name) const {
        const fs::path shown = path_ / name;
        const std::string temp = tempName(name);
        try {
            commitFaultPoint(CommitStep::Rename, shown);
            clear(name);
            if (::renameat(fd(), temp.c_str(), fd(), name.c_str()) != 0)
                io::fail(errno, shown);
        } catch (...) {
            ::unlinkat(fd(), temp.c_str(), 0);
            throw;
        }
        commitFaultPoint(CommitStep::SyncFolder, shown);
        sync();
    }

    // The folder holding the journal, once the journal folder was made in it.
    void syncDrive() {
        if (!std::exchange(made_, false))
            return;
        if (const int err = io::fsyncRetry(drive_.get()); err != 0 && err != EINVAL)
            io::fail(err, folderOf(path_));
    }

    void sync() const {
        if (const int err = io::fsyncRetry(fd()); err != 0 && err != EINVAL)
            io::fail(err, path_);
    }

    // Removes what the journal held, and the journal folder itself when nothing else is in it.
    // Only regular files by names the journal writes go; whatever else is there stays, and with
    // it the folder.
    void clean() const {
        if (!fd_)
            return;
        const int listFd = ::openat(fd(), ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (listFd < 0)
            return;
        if (DIR* dir = ::fdopendir(listFd)) {
            std::vector<std::string> ours;
            while (const dirent* entry = ::readdir(dir)) {
                struct stat st {};
                if (isJournalName(entry->d_name) &&
                    ::fstatat(fd(), entry->d_name, &st, AT_SYMLINK_NOFOLLOW) == 0 && S_ISREG(st.st_mode))
                    ours.emplace_back(entry->d_name);
            }
            ::closedir(dir);
            for (const std::string& name : ours)
                ::unlinkat(fd(), name.c_str(), 0);
        } else {
            ::close(listFd);
        }
        // Removes only an empty folder, and never a link that took its name meanwhile.
        ::unlinkat(drive_.get(), name_.c_str(), AT_REMOVEDIR);
    }

private:
    static std::string tempName(const std::string& name) {
        return "." + name + ".tmp-" + std::to_string(::getpid());
    }

    fs::path path_;
    std::string name_;
    io::UniqueFd drive_;
    io::UniqueFd fd_;
    bool made_ = false; // the journal folder was made and its name is not synced yet
};

// The journal's copy goes back in the file's place as a second name of the copy, renamed over the
// file: that needs no room for the content, so a commit that failed on a full disk is undone on
// that same full disk. Where no such name can be made (another file system, no hard links, a file
// reached through a link) the content is written anew.
void putBack(const Journal& journal, const Entry& e) {
    struct stat st {};
    if (::fstatat(journal.fd(), e.copy.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0)
        io::fail(errno, journal / e.copy);
    if (!S_ISREG(st.st_mode) || static_cast<std::uint64_t>(st.st_size) != e.size)
        damaged();
    // A file the commit had not replaced yet is still the journal's own (linked there).
    struct stat now {};
    if (::stat(e.path.c_str(), &now) == 0 && now.st_dev == st.st_dev && now.st_ino == st.st_ino)
        return;
    std::error_code ec;
    if (!fs::is_symlink(fs::symlink_status(e.path, ec))) {
        const fs::path temp =
            folderOf(e.path) / ("." + e.path.filename().string() + ".tmp-" + std::to_string(::getpid()));
        ::unlink(temp.c_str());
        if (::linkat(journal.fd(), e.copy.c_str(), AT_FDCWD, temp.c_str(), 0) == 0) {
            if (::rename(temp.c_str(), e.path.c_str()) != 0) {
                const int err = errno;
                ::unlink(temp.c_str());
                io::fail(err, e.path);
            }
            io::syncFolder(folderOf(e.path));
            return;
        }
    }
    std::string original;
    if (const int err = io::tryReadWholeFileAt(journal.fd(), e.copy.c_str(), original))
        io::fail(err, journal / e.copy);
    if (original.size() != e.size)
        damaged();
    replaceFileAtomically(e.path, original);
}

// Puts every file back as the journal recorded it. Repeating it is harmless, so a crash during a
// restore is mended by the next start.
void restore(const std::vector<Entry>& entries, const Journal& journal) {
    for (const Entry& e : entries)
        if (e.kind == Entry::Original)
            putBack(journal, e);
    for (const Entry& e : entries) {
        if (e.kind != Entry::Absent)
            continue;
        if (::unlink(e.path.c_str()) == 0)
            io::syncFolder(folderOf(e.path));
        else if (errno != ENOENT && errno != ENOTDIR)
            io::fail(errno, e.path);
    }
    // A crash during a replacement leaves its temporary file beside the file; a folder the
    // commit created must lose it too, or it would never be empty enough to go.
    std::vector<fs::path> folders;
    for (const Entry& e : entries) {
        const fs::path folder = e.kind == Entry::Folder ? e.path : folderOf(e.path);
        if (std::find(folders.begin(), folders.end(), folder) == folders.end())
            folders.push_back(folder);
    }
    for (const fs::path& folder : folders)
        removeLeftoverTempFiles(folder);
    folders.clear();
    for (const Entry& e : entries)
        if (e.kind == Entry::Folder)
            folders.push_back(e.path);
    // Deepest first, so a parent is empty by the time its turn comes.
    std::sort(folders.begin(), folders.end(),
              [](const fs::path& a, const fs::path& b) { return a.native().size() > b.native().size(); });
    for (const fs::path& folder : folders) {
        // A folder that holds something now is no longer only ours; it stays.
        if (::rmdir(folder.c_str()) == 0)
            io::syncFolder(folderOf(folder), std::nothrow);
    }
}

// Every data file is replaced by rename, never written in place, so the original stays as it is
// until the commit ends: a second name for it in the journal keeps it without copying a byte.
// Through a symbolic link it is the file linked to, which is also the one the replacement writes.
// False where no such name can be made (another file system, no hard links): the caller copies.
bool keepByLink(const fs::path& file, const Journal& journal, const std::string& copy,
                std::vector<Entry>& entries) {
    journal.clear(copy);
    if (::linkat(AT_FDCWD, file.c_str(), journal.fd(), copy.c_str(), AT_SYMLINK_FOLLOW) != 0)
        return false;
    struct stat st {};
    if (::fstatat(journal.fd(), copy.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0 || !S_ISREG(st.st_mode)) {
        ::unlinkat(journal.fd(), copy.c_str(), 0);
        return false;
    }
    entries.push_back({Entry::Original, file, copy, static_cast<std::uint64_t>(st.st_size)});
    return true;
}

void removeManifest(const Journal& journal) {
    if (::unlinkat(journal.fd(), ManifestName, 0) != 0 && errno != ENOENT)
        io::fail(errno, journal / ManifestName);
    journal.sync();
}

fs::path absoluteOf(const fs::path& p) {
    return fs::absolute(p).lexically_normal();
}

// A manifest read from disk is only trusted to name what a commit of this program can touch: the
// data root beside the journal (which may be created itself) and what lies below it, links and
// ".." resolved. Anything else means the journal was edited, damaged or brought from elsewhere;
// nothing is restored and the journal stays for whoever looks into it.
void requireInsideDataRoot(const std::vector<Entry>& entries, const fs::path& journalFolder) {
    const fs::path root = resolvedPath(DataPaths::dataRootBeside(absoluteOf(journalFolder)));
    for (const Entry& e : entries) {
        const bool allowed = e.path.is_absolute() && isWithin(resolvedPath(e.path), root) &&
                             (e.kind == Entry::Folder || resolvedPath(e.path) != root);
        if (!allowed)
            throw DataError("Journalen för en samlad skrivning nämner en fil utanför datamappen (" +
                            e.path.string() + "); journalen lämnas orörd i " + journalFolder.string());
    }
}

// Recovery in a journal already opened.
bool recover(Journal& journal) {
    std::string data;
    const int err = io::tryReadWholeFileAt(journal.fd(), ManifestName, data);
    if (err == ENOENT) {
        // A journal without manifest was cut short before anything outside it changed.
        journal.clean();
        return false;
    }
    if (err == io::NotRegular)
        journal.refuse(ManifestName);
    if (err != 0)
        io::fail(err, journal / ManifestName);
    const std::vector<Entry> entries = decode(data);
    requireInsideDataRoot(entries, journal.path());
    restore(entries, journal);
    removeManifest(journal);
    journal.clean();
    return true;
}

} // namespace

void GroupCommit::write(const Change& c) {
    if (!c.copyOf.empty())
        copyFileAtomically(c.file, c.copyOf, c.copySize);
    else
        replaceFileAtomically(c.file,
                              c.source ? std::string_view(c.source->image()) : std::string_view(c.content));
}

GroupCommit::GroupCommit(fs::path journalFolder) : journal_(absoluteOf(journalFolder)) {}

void GroupCommit::stage(const fs::path& file, std::string content) {
    Change change{absoluteOf(file), std::move(content), false, nullptr, {}, 0};
    const auto same = std::find_if(changes_.begin(), changes_.end(),
                                   [&](const Change& c) { return c.file == change.file; });
    if (same != changes_.end())
        *same = std::move(change);
    else
        changes_.push_back(std::move(change));
}

void GroupCommit::stageCopy(const fs::path& file, const fs::path& source, std::uint64_t size) {
    stage(file, std::string());
    const fs::path p = absoluteOf(file);
    for (Change& c : changes_)
        if (c.file == p) {
            c.copyOf = source;
            c.copySize = size;
        }
}

void GroupCommit::stage(RecordFile& file) {
    stage(file.path(), std::string());
    const fs::path p = absoluteOf(file.path());
    for (Change& c : changes_)
        if (c.file == p)
            c.source = &file;
}

void GroupCommit::createFolder(const fs::path& folder) {
    const fs::path p = absoluteOf(folder);
    if (std::find(folders_.begin(), folders_.end(), p) == folders_.end())
        folders_.push_back(p);
}

void GroupCommit::remove(const fs::path& file) {
    stage(file, std::string());
    const fs::path p = absoluteOf(file);
    for (Change& c : changes_)
        if (c.file == p)
            c.remove = true;
}

void GroupCommit::commit() {
    if (changes_.empty() && folders_.empty())
        return;
    const ChangeScope change;
    Journal journal(journal_);
    // A manifest still here belongs to an earlier commit that never finished: its originals
    // come back before anything new is written over them.
    if (journal.open(false))
        recover(journal);
    // A single file needs no journal: its replacement is atomic by itself (a budget change that
    // leaves B-mall as it was saves with two syncs instead of six).
    if (folders_.empty() && changes_.size() == 1 && !changes_.front().remove) {
        const Change& c = changes_.front();
        write(c);
        if (c.source)
            c.source->markClean();
        changes_.clear();
        return;
    }
    // The undo history keeps what is about to change while all of it is still as it was.
    for (const fs::path& folder : folders_)
        keepBeforeImage(folder, true);
    for (const Change& c : changes_)
        keepBeforeImage(c.file);

    // The new contents are written beside their files before the journal is made, so that the
    // disk is busy with them meanwhile, and all of it (new contents, the journal's copies and its
    // manifest, the journal's own name) is synced in one round: a sync finds what an earlier one
    // of the round took along already on the disk. Only then is the manifest named, and only once
    // its name is synced does any file lose its own: until then a crash leaves no manifest, so
    // the next start removes the journal and the temporary files and every file is as it was;
    // after it, the manifest brings every original back until it is removed once all is synced.
    // Files of a folder the commit makes are written once the folder is there, after the manifest
    // that names the folder.
    std::vector<StagedReplacement> staged;
    const auto stageAll = [&] {
        for (const Change& c : changes_) {
            if (c.remove)
                continue;
            if (!c.copyOf.empty())
                staged.emplace_back(c.file, c.copyOf, c.copySize);
            else
                staged.emplace_back(c.file, c.source ? std::string_view(c.source->image())
                                                     : std::string_view(c.content));
        }
    };
    // Largest first: its sync is the long one, and those after it find their data written.
    const auto syncAll = [&] {
        for (StagedReplacement& r : staged)
            r.sync();
    };
    std::sort(changes_.begin(), changes_.end(), [](const Change& a, const Change& b) {
        const auto size = [](const Change& c) {
            return c.copyOf.empty() ? (c.source ? c.source->image().size() : c.content.size()) : c.copySize;
        };
        return size(a) > size(b);
    });

    std::error_code ec;
    std::vector<Entry> entries;
    try {
        if (folders_.empty())
            stageAll();
        journal.open(true);
        for (const fs::path& folder : folders_) {
            for (fs::path p = folder; !p.empty() && !fs::exists(p, ec) && !ec; p = p.parent_path()) {
                const bool known =
                    std::any_of(entries.begin(), entries.end(), [&](const Entry& e) { return e.path == p; });
                if (!known)
                    entries.push_back({Entry::Folder, p, {}, 0});
                if (p == p.parent_path())
                    break;
            }
        }
        for (std::size_t i = 0; i < changes_.size(); ++i) {
            const fs::path& file = changes_[i].file;
            const std::string copy = CopyPrefix + std::to_string(i);
            if (keepByLink(file, journal, copy, entries))
                continue;
            std::string original;
            const int err = io::tryReadWholeFile(file, original);
            if (err == ENOENT || err == ENOTDIR) {
                entries.push_back({Entry::Absent, file, {}, 0});
                continue;
            }
            if (err != 0)
                io::fail(err, file);
            journal.write(copy, original);
            entries.push_back({Entry::Original, file, copy, original.size()});
        }
        io::UniqueFd manifest = journal.writeTemp(ManifestName, encode(entries));
        syncAll();
        journal.syncTemp(manifest, ManifestName);
        journal.syncDrive();
        journal.sync();
        journal.rename(ManifestName);
    } catch (...) {
        // Nothing outside the journal has been touched yet but the temporary files.
        staged.clear();
        journal.clean();
        throw;
    }

    try {
        for (const fs::path& folder : folders_) {
            fs::create_directories(folder, ec);
            if (ec)
                throw FileError(ec, folder.string());
        }
        for (const Entry& e : entries)
            if (e.kind == Entry::Folder)
                io::syncFolder(folderOf(e.path));
        if (!folders_.empty()) {
            stageAll();
            syncAll();
        }
        std::vector<fs::path> touched;
        const auto touch = [&](const fs::path& folder) {
            if (std::find(touched.begin(), touched.end(), folder) == touched.end())
                touched.push_back(folder);
        };
        for (StagedReplacement& r : staged) {
            r.putInPlace();
            touch(r.folder());
        }
        for (const Change& c : changes_) {
            if (!c.remove)
                continue;
            if (::unlink(c.file.c_str()) == 0)
                touch(folderOf(c.file));
            else if (errno != ENOENT)
                io::fail(errno, c.file);
        }
        for (const fs::path& folder : touched) {
            commitFaultPoint(CommitStep::SyncFolder, folder);
            io::syncFolder(folder);
        }
        // The moment of commit.
        removeManifest(journal);
    } catch (...) {
        // The temporary files go first: a folder the commit made must be empty to go.
        staged.clear();
        try {
            restore(entries, journal);
            removeManifest(journal);
            journal.clean();
        } catch (...) {
            // The manifest stays, and the next start restores what could not be restored now.
        }
        throw;
    }
    journal.clean();

    for (const Change& c : changes_)
        if (c.source)
            c.source->markClean();
    changes_.clear();
    folders_.clear();
}

bool recoverGroupCommit(const fs::path& journalFolder) {
    Journal journal(absoluteOf(journalFolder));
    if (!journal.open(false))
        return false;
    return recover(journal);
}

} // namespace store
