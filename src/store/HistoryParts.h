#pragma once

// What the files of the undo history share: the names it writes, its file steps and its manifest.

#include "store/FileIo.h"
#include "store/History.h"

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include <sys/stat.h>

namespace store::history {

// While the history writes files itself (an undo, a swap finished), what it writes is no change.
struct BusyScope {
    explicit BusyScope(bool& flag) : flag_(flag) { flag_ = true; }
    ~BusyScope() { flag_ = false; }
    BusyScope(const BusyScope&) = delete;
    BusyScope& operator=(const BusyScope&) = delete;

private:
    bool& flag_;
};

// The history whose ChangeScopes record commits (set by History::activate).
extern History* activeHistory;

// What the history writes, and so all it ever removes: change folders "<ten digits>", folders of
// changes under way "pending-<pid>" and being removed "drop-<ten digits>"; inside them the
// manifest, the flag "undone", the markers "swap-<side>", the images "<side>-<n>" and the
// temporary files "tmp-<one of these>".
inline const std::string ManifestName = "manifest";
inline const std::string UndoneName = "undone";
inline const std::string SwapPrefix = "swap-";
inline const std::string PendingPrefix = "pending-";
inline const std::string DropPrefix = "drop-";
inline const std::string TempPrefix = "tmp-";
inline const std::string Unrecorded = " Ändringar sparas som vanligt men kan inte ångras.";

bool isChangeName(std::string_view n);
bool isOwnFolderName(std::string_view n);
std::string imageName(int side, unsigned n);
std::string markerName(int side);
std::string changeName(unsigned seq);

History::Stamp stampFrom(const struct stat& st, bool inodes);
std::optional<struct stat> statAt(int dir, const std::string& name);
std::optional<History::Stamp> stampOf(const std::filesystem::path& path, bool inodes, bool* other = nullptr);
bool onDisk(const std::filesystem::path& path);
bool isFolder(const std::filesystem::path& path);
bool imageAt(int dir, const std::string& name);
bool sameFile(int dir, const std::string& name, const std::filesystem::path& path);
io::UniqueFd openFolderAt(int dir, const std::string& name);
std::vector<std::string> namesIn(int dir);
int readAt(int dir, const std::string& name, std::string& out, std::size_t limit);
void writeAt(int dir, const std::filesystem::path& where, const std::string& name, std::string_view bytes,
             bool sync);
void flagAt(int dir, const std::filesystem::path& where, const std::string& name);
void unlinkAt(int dir, const std::filesystem::path& where, const std::string& name);
void syncAt(int dir, const std::filesystem::path& where);
void removeOwnFolder(int dir, const std::string& name);
void keepFile(const std::filesystem::path& file, int dir, const std::filesystem::path& where,
              const std::string& name);
void placeImage(int dir, const std::filesystem::path& where, const std::string& name,
                const std::filesystem::path& path);

[[noreturn]] void damaged();
std::string encode(const History::Change& c);
History::Change decode(std::string_view data, unsigned seq);
bool plainRelative(const std::string& rel);

std::string cannotWrite(const std::filesystem::path& folder, int err);
bool permissionError(int err);

} // namespace store::history
