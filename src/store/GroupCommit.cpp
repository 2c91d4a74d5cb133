#include "store/GroupCommit.h"

#include "store/ByteForm.h"
#include "store/Errors.h"
#include "store/FileIo.h"
#include "store/History.h"
#include "store/Paths.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>

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
            if (e.copy.rfind(CopyPrefix, 0) != 0 || e.copy.find('/') != std::string::npos)
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

// Removes what the journal held, and the journal folder itself when nothing else is in it.
void cleanJournal(const fs::path& journal) {
    std::error_code ec;
    for (fs::directory_iterator it(journal, ec), end; !ec && it != end; it.increment(ec)) {
        const std::string name = it->path().filename().string();
        const bool ours = name == ManifestName || name.rfind(CopyPrefix, 0) == 0 ||
                          name.rfind(std::string(".") + ManifestName, 0) == 0 ||
                          name.rfind(std::string(".") + CopyPrefix, 0) == 0;
        if (ours)
            ::unlink(it->path().c_str());
    }
    ::rmdir(journal.c_str());
}

// The journal's copy goes back in the file's place as a second name of the copy, renamed over the
// file: that needs no room for the content, so a commit that failed on a full disk is undone on
// that same full disk. Where no such name can be made (another file system, no hard links, a file
// reached through a link) the content is written anew.
void putBack(const fs::path& copy, const Entry& e) {
    struct stat st {};
    if (::stat(copy.c_str(), &st) != 0)
        io::fail(errno, copy);
    if (static_cast<std::uint64_t>(st.st_size) != e.size)
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
        if (::link(copy.c_str(), temp.c_str()) == 0) {
            if (::rename(temp.c_str(), e.path.c_str()) != 0) {
                const int err = errno;
                ::unlink(temp.c_str());
                io::fail(err, e.path);
            }
            io::syncFolder(folderOf(e.path));
            return;
        }
    }
    const std::string original = readWholeFile(copy);
    if (original.size() != e.size)
        damaged();
    replaceFileAtomically(e.path, original);
}

// Puts every file back as the journal recorded it. Repeating it is harmless, so a crash during a
// restore is mended by the next start.
void restore(const std::vector<Entry>& entries, const fs::path& journal) {
    for (const Entry& e : entries)
        if (e.kind == Entry::Original)
            putBack(journal / e.copy, e);
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
bool keepByLink(const fs::path& file, const fs::path& copy, std::vector<Entry>& entries) {
    ::unlink(copy.c_str());
    if (::linkat(AT_FDCWD, file.c_str(), AT_FDCWD, copy.c_str(), AT_SYMLINK_FOLLOW) != 0)
        return false;
    struct stat st {};
    if (::stat(copy.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) {
        ::unlink(copy.c_str());
        return false;
    }
    entries.push_back(
        {Entry::Original, file, copy.filename().string(), static_cast<std::uint64_t>(st.st_size)});
    return true;
}

void removeManifest(const fs::path& journal) {
    const fs::path manifest = journal / ManifestName;
    if (::unlink(manifest.c_str()) != 0 && errno != ENOENT)
        io::fail(errno, manifest);
    io::syncFolder(journal);
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

} // namespace

GroupCommit::GroupCommit(fs::path journalFolder) : journal_(absoluteOf(journalFolder)) {}

void GroupCommit::stage(const fs::path& file, std::string content) {
    Change change{absoluteOf(file), std::move(content), false, nullptr};
    const auto same = std::find_if(changes_.begin(), changes_.end(),
                                   [&](const Change& c) { return c.file == change.file; });
    if (same != changes_.end())
        *same = std::move(change);
    else
        changes_.push_back(std::move(change));
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
    // A manifest still here belongs to an earlier commit that never finished: its originals
    // come back before anything new is written over them.
    recoverGroupCommit(journal_);
    // A single file needs no journal: its replacement is atomic by itself (a budget change that
    // leaves B-mall as it was saves with two syncs instead of six).
    if (folders_.empty() && changes_.size() == 1 && !changes_.front().remove) {
        const Change& c = changes_.front();
        replaceFileAtomically(c.file,
                              c.source ? std::string_view(c.source->image()) : std::string_view(c.content));
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

    std::error_code ec;
    fs::create_directories(journal_, ec);
    if (ec)
        throw FileError(ec, journal_.string());
    io::syncFolder(folderOf(journal_));

    std::vector<Entry> entries;
    try {
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
        bool linked = false;
        for (std::size_t i = 0; i < changes_.size(); ++i) {
            const fs::path& file = changes_[i].file;
            const std::string copy = CopyPrefix + std::to_string(i);
            if (keepByLink(file, journal_ / copy, entries)) {
                linked = true;
                continue;
            }
            std::string original;
            const int err = io::tryReadWholeFile(file, original);
            if (err == ENOENT || err == ENOTDIR) {
                entries.push_back({Entry::Absent, file, {}, 0});
                continue;
            }
            if (err != 0)
                io::fail(err, file);
            replaceFileAtomically(journal_ / copy, original);
            entries.push_back({Entry::Original, file, copy, original.size()});
        }
        if (linked)
            io::syncFolder(journal_);
        replaceFileAtomically(journal_ / ManifestName, encode(entries));
    } catch (...) {
        // Nothing outside the journal has been touched yet.
        cleanJournal(journal_);
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
        for (const Change& c : changes_) {
            if (!c.remove) {
                replaceFileAtomically(c.file, c.source ? std::string_view(c.source->image())
                                                       : std::string_view(c.content));
            } else if (::unlink(c.file.c_str()) == 0) {
                io::syncFolder(folderOf(c.file));
            } else if (errno != ENOENT) {
                io::fail(errno, c.file);
            }
        }
        // The moment of commit.
        removeManifest(journal_);
    } catch (...) {
        try {
            restore(entries, journal_);
            removeManifest(journal_);
            cleanJournal(journal_);
        } catch (...) {
            // The manifest stays, and the next start restores what could not be restored now.
        }
        throw;
    }
    cleanJournal(journal_);

    for (const Change& c : changes_)
        if (c.source)
            c.source->markClean();
    changes_.clear();
    folders_.clear();
}

bool recoverGroupCommit(const fs::path& journalFolder) {
    std::string data;
    const int err = io::tryReadWholeFile(journalFolder / ManifestName, data);
    if (err == ENOENT || err == ENOTDIR) {
        // A journal without manifest was cut short before anything outside it changed.
        cleanJournal(journalFolder);
        return false;
    }
    if (err != 0)
        io::fail(err, journalFolder / ManifestName);
    const std::vector<Entry> entries = decode(data);
    requireInsideDataRoot(entries, journalFolder);
    restore(entries, journalFolder);
    removeManifest(journalFolder);
    cleanJournal(journalFolder);
    return true;
}

} // namespace store
