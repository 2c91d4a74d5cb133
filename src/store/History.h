#pragma once

#include "store/Errors.h"
#include "store/FileIo.h"
#include "store/Paths.h"

#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace store {

// The account the main window showed and the post its view stood at.
struct ChangeView {
    std::string account; // UTF-8; empty: no account open
    int post = 0;
};

// The recorded state no longer matches the files (edited by hand, data brought from elsewhere).
// Nothing was written; the history has been dropped.
class HistoryMismatch : public DataError {
public:
    using DataError::DataError;
};

// The undo and redo history of the data, beside the data root (never inside MoniData, so a
// backup does not copy it). It lives beside the resolved data root, on the data's own file system,
// so its images are second names of the data files, never copies. The folder is used only when it
// is a real folder of this user's: a link or a stranger's folder in its place (the drive may be a
// stick someone else prepared) is left alone and the program works without undo. Inside it the
// history touches only the names it writes itself, each reached from the opened folder.
//
// A change is everything committed inside the data root while a ChangeScope is open. Before a
// data file is replaced or removed its old content is hard-linked into the change's folder (every
// commit renames a new file over the old one, so the old inode stays as it was: no copy, no extra
// write); when the scope closes, a small manifest names what was touched, how each file then
// looked (inode, size, modification time) and the description. Undo and redo swap the images
// with the files by link and rename, as one crash-safe step: a marker names the side being put in
// place, and recover() finishes a swap cut short.
class History {
public:
    static constexpr std::size_t MaxChanges = 50;
    // Beyond this many bytes of kept images the oldest changes go (the newest always stays).
    static constexpr std::uint64_t MaxBytes = std::uint64_t(1) << 30;

    explicit History(DataPaths paths);
    ~History();
    History(const History&) = delete;
    History& operator=(const History&) = delete;

    // Commits made inside a ChangeScope are recorded here from now on (one history at a time).
    void activate();
    void deactivate();
    // Asked when a change begins and when it ends: what the user saw, for the view after undo/redo.
    void setViewProvider(std::function<ChangeView()> provider) { viewProvider_ = std::move(provider); }
    // Told whenever what can be undone or redone has changed.
    void setChangedCallback(std::function<void()> callback) { changed_ = std::move(callback); }

    // Start-up: finishes an undo or redo cut short by a crash, drops changes that never closed
    // and reads the history. A history that names anything outside the data root or does not
    // match the files is dropped (HistoryMismatch) before anything is written. Any other failure
    // leaves the history unused for this run (unavailable() tells why); the files are then whole.
    void recover();

    // Why no change can be recorded or undone (UTF-8, for the user); std::nullopt while it can.
    const std::optional<std::string>& unavailable() const { return unavailable_; }

    std::optional<std::string> undoDescription() const;
    std::optional<std::string> redoDescription() const;
    std::size_t undoCount() const;
    std::size_t redoCount() const;

    // Puts back the files as they were before the newest change and returns the view to show.
    // FileError: every file is as it was. HistoryMismatch: the files do not match the history,
    // nothing was written and the history is gone.
    ChangeView undo();
    ChangeView redo();
    // Forgets every change (the folder is removed, with nothing in it but the history's own).
    void discard();

    // The free space and size of the file system holding a folder; the history keeps a margin of
    // it free, dropping its oldest changes before a commit that would not leave it.
    struct Space {
        std::uint64_t free = 0, total = 0;
    };
    using SpaceProbe = std::function<Space(const std::filesystem::path&)>;
    // For tests: the space is asked here instead of the file system (empty: the file system).
    static void setSpaceProbe(SpaceProbe probe);
    // For tests: every link and rename between the history and the data fails as between two file
    // systems (EXDEV), as for an account folder mounted from elsewhere.
    static void simulateOtherFileSystem(bool on);

    const std::filesystem::path& folder() const { return folder_; }

    struct Stamp {
        std::uint64_t inode = 0, size = 0;
        std::int64_t mtimeNs = 0;
        bool operator==(const Stamp&) const = default;
    };
    struct Item {
        std::string rel; // below the data root
        bool folder = false;
        bool present[2] = {false, false}; // before and after the change
        Stamp stamp[2];
        unsigned image = 0; // the images are "<side>-<image>" in the change's folder
    };
    struct Change {
        unsigned seq = 0;
        int live = 1; // which side the files now hold: 1 done, 0 undone
        std::string description;
        ChangeView view[2];
        std::vector<Item> items;
    };

private:
    friend class ChangeScope;
    friend void keepBeforeImage(const std::filesystem::path&, bool);
    friend void describeChange(std::string);

    int folderFd(bool create);
    io::UniqueFd openChange(unsigned seq) const;
    void open();
    void keep(const std::filesystem::path& path, bool folder);
    void close() noexcept;
    void swap(Change& change, int side);
    void applySide(const Change& change, int side, int dir) const;
    void finishSwap(Change& change, int side, int dir);
    void validate(const Change& change, int side, bool midSwap, int dir) const;
    bool makeRoom(std::uint64_t bytes, const std::filesystem::path& where);
    void prune();
    void dropFolders(const std::vector<unsigned>& seqs);
    void dropAll();
    void finishSweep();
    void writeManifest(const Change& change, int dir) const;

    DataPaths paths_;
    std::filesystem::path folder_;
    std::filesystem::path root_;
    bool inodes_ = true; // whether a file's inode number tells it across mounts
    io::UniqueFd dir_;   // the history folder, once opened
    std::optional<std::string> unavailable_;
    std::vector<Change> changes_; // oldest first; done changes below undone ones
    std::function<ChangeView()> viewProvider_;
    std::function<void()> changed_;

    struct Pending {
        std::string name; // of its folder in the history
        io::UniqueFd dir;
        Change change;
        std::uint64_t kept = 0; // bytes of the images kept so far
        bool broken = false;    // something changed that could not be recorded
        bool ignored = false;   // what an undo's own procedure writes
        bool started = false;
    };
    std::optional<Pending> pending_;
    bool busy_ = false;
    std::thread sweeper_; // removes the folders of dropped changes
};

// Opened around a user procedure: every data file committed until the outermost scope closes is
// one change. Nested scopes join the outer one; a commit made outside any scope is a change of
// its own.
class ChangeScope {
public:
    ChangeScope();
    ~ChangeScope();
    ChangeScope(const ChangeScope&) = delete;
    ChangeScope& operator=(const ChangeScope&) = delete;

private:
    History* history_ = nullptr; // set on the outermost scope only
};

// Names the open change in the program's own words (UTF-8; the last name given counts).
void describeChange(std::string description);

// Called by the commit code before a file (or, folder = true, a folder a group commit creates)
// inside the data root changes. Never throws: a change whose image cannot be kept (no room left
// beside the margin, a link in a data file's place) is not recorded, and the changes before it go.
void keepBeforeImage(const std::filesystem::path& path, bool folder = false);

} // namespace store
