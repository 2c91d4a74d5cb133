#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>

namespace store {

// One fixed-record data file, held as its whole image in memory. Reads come from the image,
// writes change the image, and commit() makes the change durable atomically: a temporary file
// beside the original is written, flushed and fsynced, renamed over the original, and the
// folder is fsynced. A procedure commits once at its end; when it fails part-way it calls
// reload() and every file is as it was.
class RecordFile {
public:
    enum class Missing { Create, Fail, Empty };

    // Reads the file. A missing file is created empty (Missing::Create), is a FileError
    // (Missing::Fail), or reads as empty and is made only when a commit writes it (Missing::Empty:
    // for a look that must leave the folder as it was).
    RecordFile(std::filesystem::path path, std::size_t recordLength, Missing missing = Missing::Create);

    const std::filesystem::path& path() const { return path_; }
    std::size_t recordLength() const { return recordLength_; }
    std::size_t byteLength() const { return image_.size(); }
    // Length divided by the record length, rounded to the nearest whole number.
    std::size_t count() const;

    // Record n (1-based). Past the end of the image the missing bytes read as zero bytes.
    std::string readRaw(std::size_t n) const;
    template <typename Rec> Rec read(std::size_t n) const { return Rec(readRaw(n)); }

    // Writes record n; n = count() + 1 appends. Writing further out fills the gap with zero
    // bytes, as the file system would.
    void writeRaw(std::size_t n, std::string_view bytes);
    template <typename Rec> void write(std::size_t n, const Rec& rec) { writeRaw(n, rec.bytes()); }

    // The whole image, for passes that work on many records at once.
    const std::string& image() const { return image_; }
    std::string& mutableImage() {
        dirty_ = true;
        return image_;
    }

    bool dirty() const { return dirty_; }
    // Makes the image durable atomically (see above). Does nothing when nothing changed.
    void commit();
    // Drops uncommitted changes: the image is read again from disk.
    void reload();
    // The image now equals the file on disk (after a group commit wrote it).
    void markClean() { dirty_ = false; }

private:
    std::filesystem::path path_;
    std::size_t recordLength_;
    Missing missing_;
    std::string image_;
    bool dirty_ = false;
};

// Steps of an atomic file replacement, for tests that make each of them fail.
enum class CommitStep { OpenTemp, Write, Fsync, Rename, SyncFolder };
// Called before each step; a test throws from it to simulate the failure of that step.
// Empty (the default) in the program.
using CommitFaultHook = std::function<void(CommitStep, const std::filesystem::path&)>;
void setCommitFaultHook(CommitFaultHook hook);
// Runs the hook for a step that is no file replacement (a file an undo puts back by rename).
void commitFaultPoint(CommitStep step, const std::filesystem::path& path);

// Whether a file named by a link is written where the link leads (a data file the user linked into
// the data root) or refused (a file in a folder someone else may have prepared: the error report).
// Refuse also refuses a file with a second name, which may lie anywhere on the same disk.
enum class Links { Follow, Refuse };

// Replaces a file's content atomically (the same steps as RecordFile::commit). Creates the file
// when it does not exist. Throws FileError with the system's text on any failure, leaving the
// old file and no temporary file behind.
void replaceFileAtomically(const std::filesystem::path& path, std::string_view content,
                           Links links = Links::Follow);

// The same with the content of another file, copied part by part and never held whole in memory.
// The source must be a regular file (never reached through a link) of exactly size bytes.
void copyFileAtomically(const std::filesystem::path& path, const std::filesystem::path& source,
                        std::uint64_t size);

// A file's replacement in steps, for files replaced together (a group commit): the new content is
// written beside the file at once, synced and put in place when the caller says, and the folder
// synced by the caller, once for all its files. Until put in place the file is as it was; a
// replacement that ends before that removes what it wrote. Nothing is taken back after the rename:
// the caller keeps the original. Throws FileError as replaceFileAtomically does.
class StagedReplacement {
public:
    // The content written beside the file (where a link leads, as replaceFileAtomically writes),
    // its write-back started.
    StagedReplacement(const std::filesystem::path& path, std::string_view content);
    // The same with the content of another file (as copyFileAtomically takes it).
    StagedReplacement(const std::filesystem::path& path, const std::filesystem::path& source,
                      std::uint64_t size);
    StagedReplacement(StagedReplacement&& other) noexcept;
    StagedReplacement& operator=(StagedReplacement&&) = delete;
    ~StagedReplacement();

    void sync();
    // The new content takes the file's name; the folder is not synced.
    void putInPlace();
    std::filesystem::path folder() const;

private:
    explicit StagedReplacement(const std::filesystem::path& path);
    void start(const std::function<int(int)>& writeContent);
    void abandon() noexcept;

    std::filesystem::path path_, target_, temp_;
    int fd_ = -1;
    bool inPlace_ = true; // nothing of its own left to remove
};

// Reads a whole file; FileError when it cannot be read.
std::string readWholeFile(const std::filesystem::path& path);

// A replacement cut short by a crash leaves its temporary file (".<name>.tmp-<pid>") beside the
// original, which itself is intact. Start-up calls this on the data root and each account folder
// to delete those whose writing process has ended; returns how many it removed.
std::size_t removeLeftoverTempFiles(const std::filesystem::path& folder);

} // namespace store
