#pragma once

#include "store/RecordFile.h"

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace store {

// Changes to several files that must land together or not at all (a new account writes its
// folder, its files and the register; a sign change rewrites Transakt and KontoData).
//
// commit(): the new contents are written beside their files; the originals are kept in the journal
// folder (linked, or copied where the file system cannot link) with a manifest naming every file
// (and whether it existed), all of it synced before the manifest is named; the files are then
// renamed in and their folders synced; deleting the manifest is the moment of commit. recoverGroupCommit() at
// start-up finds a manifest left by a crash and puts every original back (files that did not exist are
// removed again). A group of one replaced file goes without the journal, its replacement being atomic by
// itself.
class GroupCommit {
public:
    explicit GroupCommit(std::filesystem::path journalFolder);

    // The file gets this whole content (created when missing).
    void stage(const std::filesystem::path& file, std::string content);
    // The file gets the content of source (size bytes, a regular file never reached through a
    // link), copied part by part when the group commits rather than held in memory.
    void stageCopy(const std::filesystem::path& file, const std::filesystem::path& source,
                   std::uint64_t size);
    // The file gets the open RecordFile's image; after a successful commit it is marked clean.
    void stage(RecordFile& file);
    // The folder is created (with its parents) before any file is written.
    void createFolder(const std::filesystem::path& folder);
    // The file is deleted (its original is journalled like any other).
    void remove(const std::filesystem::path& file);

    // Throws FileError on failure; every file is then as it was before.
    void commit();

private:
    struct Change {
        std::filesystem::path file;
        std::string content;
        bool remove = false;
        RecordFile* source = nullptr;
        std::filesystem::path copyOf; // stageCopy's source
        std::uint64_t copySize = 0;
    };
    static void write(const Change& change);

    std::filesystem::path journal_;
    std::vector<std::filesystem::path> folders_;
    std::vector<Change> changes_;
};

// Restores the originals of a group commit interrupted by a crash. Returns true when it found
// and undid one. Only files and folders of the data root beside the journal folder are restored;
// a manifest naming anything else is refused (DataError) and the journal is left as it is. Folders the
// interrupted commit created are removed again when they are empty after the restore, so a half-made account
// never blocks its own second attempt.
bool recoverGroupCommit(const std::filesystem::path& journalFolder);

} // namespace store
