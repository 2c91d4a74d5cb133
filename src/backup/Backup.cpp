#include "backup/Backup.h"

#include "accounts/Register.h"
#include "statements/ImportFiles.h"
#include "store/Cp1252.h"
#include "store/Errors.h"
#include "store/FileIo.h"
#include "store/GroupCommit.h"
#include "store/Paths.h"
#include "store/RecordFile.h"
#include "store/Records.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <optional>
#include <span>

#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace backup {

namespace {

bool isDigits(std::string_view text) {
    return !text.empty() &&
           std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

bool isHidden(const fs::path& name) {
    const std::string text = name.filename().string();
    return !text.empty() && text.front() == '.';
}

bool startsWith(std::string_view text, std::string_view prefix) {
    return text.substr(0, prefix.size()) == prefix;
}

bool isRegularFile(const fs::directory_entry& entry) {
    std::error_code ec;
    return entry.symlink_status(ec).type() == fs::file_type::regular;
}

bool isRealFolder(const fs::directory_entry& entry) {
    std::error_code ec;
    return entry.symlink_status(ec).type() == fs::file_type::directory;
}

std::vector<fs::directory_entry> entriesOf(const fs::path& folder) {
    std::error_code ec;
    std::vector<fs::directory_entry> entries;
    for (fs::directory_iterator it(folder, ec), end; it != end; it.increment(ec)) {
        if (ec)
            break;
        entries.push_back(*it);
    }
    if (ec)
        throw store::FileError(ec, folder.string());
    std::sort(entries.begin(), entries.end(),
              [](const fs::directory_entry& a, const fs::directory_entry& b) { return a.path() < b.path(); });
    return entries;
}

void planFolder(const fs::path& root, const fs::path& relative, std::vector<CopyItem>& plan) {
    for (const fs::directory_entry& entry : entriesOf(root / relative)) {
        if (isHidden(entry.path()))
            continue;
        const fs::path item = relative / entry.path().filename();
        if (isRealFolder(entry)) {
            plan.push_back({item, true});
            planFolder(root, item, plan);
        } else if (isRegularFile(entry)) {
            plan.push_back({item, false});
        }
    }
}

[[noreturn]] void throwFileError(int err, const fs::path& path) {
    store::io::fail(err, path);
}

// One file of a restore: where its bytes come from, how many there are, and where they go.
struct RestoreFile {
    fs::path source;
    fs::path target;
    std::uint64_t size = 0;
    bool remove = false; // the target goes: the backup has no such file
};

// A kind of file the data holds, and what such a file can be: a whole number of records (of either
// length where the kind has two) and no more than maxRecords of them (0: as many as fit on the
// disk); record 0 for the one text file, which holds a few short lines.
struct FileKind {
    std::string_view name;
    std::uint64_t record;
    std::uint64_t otherRecord;
    std::uint64_t maxRecords;
};
// A record number has four digits: a catalogue of more records could never be used.
constexpr std::uint64_t MaxCatalogue = 9999;
constexpr FileKind RootKinds[] = {{"KontoFil", store::KontoRec::Length, 0, 0},
                                  {"KontoIni", 0, 0, 0},
                                  {"PosFil", store::PosRec::Length, 0, 1},
                                  {"RedDayFil", store::RedDayRec::Length, 0, 0},
                                  {"Importprofiler", statements::ProfileRec::Length, 0, 0}};
constexpr FileKind AccountKinds[] = {
    {"KontoData", store::PostRec_Enkel::Length, store::PostRec_Budget::Length, 0},
    {"Transakt", store::TransRec::Length, 0, MaxCatalogue},
    {"Kategori", store::KatRec::Length, 0, MaxCatalogue},
    {"B-mall", store::MallRec::Length, 0, 0},
    {"Importregler", statements::RuleRec::Length, 0, 0},
    {"Importlogg", statements::LogRec::Length, 0, 0}};
constexpr std::uint64_t MaxIniBytes = 1024;
constexpr std::ptrdiff_t MaxIniLines = 4;

[[noreturn]] void refuseFile(const RestoreFile& file, std::string_view kind, const std::string& why) {
    throw store::DataError("Återställningen görs inte: filen " + file.source.string() +
                           " i BackUp-katalogen kan inte vara en " + std::string(kind) + " (" + why +
                           "). Ingenting har ändrats.");
}

// The length of a post of the account by that name (UTF-8) as the register tells its kind, 0 when
// the register does not name it (or is missing, or too large to be one).
std::uint64_t postLengthIn(const fs::path& kontoFil, std::string_view utf8Account) {
    constexpr std::uint64_t MaxRegister = std::uint64_t(1) << 20;
    std::error_code ec;
    if (fs::symlink_status(kontoFil, ec).type() != fs::file_type::regular ||
        fs::file_size(kontoFil, ec) > MaxRegister)
        return 0;
    try {
        const store::RecordFile file(kontoFil, store::KontoRec::Length, store::RecordFile::Missing::Fail);
        for (std::size_t n = 1; n <= file.count(); ++n) {
            const auto rec = file.read<store::KontoRec>(n);
            if (rec.isFree() || store::cp1252ToUtf8(rec.name()) != utf8Account)
                continue;
            const std::string kind = rec.text(store::KontoRec::KontoTyp);
            return kind == "Ek"   ? store::PostRec_Enkel::Length
                   : kind == "Bg" ? store::PostRec_Budget::Length
                                  : 0;
        }
    } catch (const std::exception&) {
    }
    return 0;
}

// Refuses a file that cannot be what its name says, before anything is copied. postLength: the
// account's post length where the register tells it.
void checkKind(const RestoreFile& file, const FileKind& kind, std::uint64_t postLength) {
    if (kind.record == 0) {
        std::string text;
        if (file.size <= MaxIniBytes)
            text = store::readWholeFile(file.source);
        if (file.size > MaxIniBytes || std::count(text.begin(), text.end(), '\n') > MaxIniLines)
            refuseFile(file, kind.name, "den har fler rader än en sådan fil har");
        return;
    }
    const bool whole =
        kind.otherRecord && postLength
            ? file.size % postLength == 0
            : file.size % kind.record == 0 || (kind.otherRecord && file.size % kind.otherRecord == 0);
    if (!whole)
        refuseFile(file, kind.name, "längden är inte ett helt antal poster");
    if (kind.maxRecords && file.size / kind.record > kind.maxRecords)
        refuseFile(file, kind.name,
                   kind.maxRecords == 1 ? "den är större än en post"
                                        : "den har fler än " + std::to_string(kind.maxRecords) + " poster");
}

// The files directly in a backup folder that are of the kinds the folder holds, paired with their
// place in the target folder and checked. Anything else in it is no data of the program's and is
// not copied.
void collectFiles(const fs::path& backupFolder, const fs::path& targetFolder, std::span<const FileKind> kinds,
                  std::vector<RestoreFile>& out, std::uint64_t postLength = 0) {
    for (const fs::directory_entry& entry : entriesOf(backupFolder)) {
        const std::string name = entry.path().filename().string();
        const auto kind =
            std::find_if(kinds.begin(), kinds.end(), [&](const FileKind& k) { return k.name == name; });
        if (kind == kinds.end() || !isRegularFile(entry))
            continue;
        std::error_code ec;
        const std::uintmax_t size = entry.file_size(ec);
        if (ec)
            throw store::FileError(ec, entry.path().string());
        out.push_back({entry.path(), targetFolder / name, size});
        checkKind(out.back(), *kind, postLength);
    }
}

// An account's import files that the backup lacks go with the restore: rows the restored ledger no
// longer holds would otherwise read as imported, and rules would name transactions that are gone.
void dropImportFilesNotIn(const fs::path& backupFolder, const fs::path& targetFolder,
                          std::vector<RestoreFile>& out) {
    for (const char* name : {"Importregler", "Importlogg"}) {
        std::error_code ec;
        if (fs::symlink_status(backupFolder / name, ec).type() != fs::file_type::regular &&
            fs::symlink_status(targetFolder / name, ec).type() == fs::file_type::regular)
            out.push_back({{}, targetFolder / name, 0, true});
    }
}

// The restore writes every file anew and keeps a copy of every file it replaces: all of it must
// fit on the disk before the first byte is written.
void checkRoom(const store::DataPaths& paths, const std::vector<RestoreFile>& files) {
    std::uint64_t needed = 0;
    std::error_code ec;
    for (const RestoreFile& file : files) {
        needed += file.size;
        if (fs::symlink_status(file.target, ec).type() == fs::file_type::regular)
            needed += fs::file_size(file.target, ec);
    }
    const fs::path where = fs::exists(paths.dataRoot(), ec) ? paths.dataRoot() : paths.driveFolder();
    struct statvfs st {};
    if (::statvfs(where.c_str(), &st) != 0)
        throwFileError(errno, where);
    const std::uint64_t free = std::uint64_t(st.f_bavail) * st.f_frsize;
    if (needed > free)
        throw store::DataError("Återställningen görs inte: den behöver " + std::to_string(needed) +
                               " byte, men där MoniData ligger finns bara " + std::to_string(free) +
                               " byte ledigt. Ingenting har ändrats.");
}

// Nothing a restore writes may land outside the data root, and nothing is written through a
// link: a replaced link would carry the backup's bytes to wherever it points.
void checkTarget(const fs::path& target, const fs::path& realRoot) {
    std::error_code ec;
    if (fs::is_symlink(fs::symlink_status(target, ec)))
        throw store::DataError("Återställningen skriver inte genom en länk: " + target.string());
    if (!store::isWithin(store::resolvedPath(target), realRoot))
        throw store::DataError("Återställningen skulle skriva utanför datamappen: " + target.string());
}

// Copies the files the restore is about to replace into a new folder beside the data root, keeping
// their places below it. The folder is filled and synced under a hidden name and only then given
// its own, so a folder of that name is always complete. Empty path when no file is replaced.
fs::path keepReplaced(const store::DataPaths& paths, const std::vector<RestoreFile>& files,
                      std::string_view today, std::string_view clock) {
    std::vector<const RestoreFile*> replaced;
    std::error_code ec;
    for (const RestoreFile& file : files)
        if (fs::symlink_status(file.target, ec).type() == fs::file_type::regular)
            replaced.push_back(&file);
    if (replaced.empty())
        return {};

    const fs::path drive = paths.driveFolder();
    const std::string name = replacedFolderName(today, clock);
    fs::path kept = drive / name;
    for (int n = 2; fs::symlink_status(kept, ec).type() != fs::file_type::not_found; ++n)
        kept = drive / (name + "-" + std::to_string(n));
    const fs::path temp = drive / ("." + kept.filename().string() + ".tmp-" + std::to_string(::getpid()));
    fs::remove_all(temp, ec);
    bool named = false;
    try {
        if (!fs::create_directory(temp, ec))
            throwFileError(ec ? ec.value() : EEXIST, temp);
        std::vector<fs::path> folders{temp};
        for (const RestoreFile* file : replaced) {
            const fs::path to = temp / file->target.lexically_relative(paths.dataRoot());
            if (!fs::is_directory(to.parent_path(), ec)) {
                fs::create_directory(to.parent_path(), ec);
                if (ec)
                    throwFileError(ec.value(), to.parent_path());
                folders.push_back(to.parent_path());
            }
            store::copyFileAtomically(to, file->target, fs::file_size(file->target));
            const auto written = fs::last_write_time(file->target, ec);
            if (!ec)
                fs::last_write_time(to, written, ec);
        }
        for (auto it = folders.rbegin(); it != folders.rend(); ++it)
            store::io::syncFolder(*it);
        if (::rename(temp.c_str(), kept.c_str()) != 0)
            throwFileError(errno, kept);
        named = true;
        store::io::syncFolder(drive);
    } catch (...) {
        fs::remove_all(named ? kept : temp, ec);
        throw;
    }
    return kept;
}

// Keeps the files the restore replaces, then stages every file of the restore and commits them
// together. Returns the folder of the kept files (empty when none was replaced).
fs::path commitRestore(const store::DataPaths& paths, const std::vector<fs::path>& folders,
                       const std::vector<RestoreFile>& files, std::string_view today,
                       std::string_view clock) {
    const fs::path realRoot = store::resolvedPath(paths.dataRoot());
    // The data root itself may well be a link the user made; what lies below it may not.
    for (const fs::path& folder : folders)
        if (folder != paths.dataRoot())
            checkTarget(folder, realRoot);
    for (const RestoreFile& file : files)
        checkTarget(file.target, realRoot);
    checkRoom(paths, files);

    const fs::path kept = keepReplaced(paths, files, today, clock);
    try {
        store::GroupCommit group(paths.journalFolder());
        for (const fs::path& folder : folders) {
            std::error_code ec;
            if (!fs::is_directory(folder, ec))
                group.createFolder(folder);
        }
        for (const RestoreFile& file : files)
            if (file.remove)
                group.remove(file.target);
            else
                group.stageCopy(file.target, file.source, file.size);
        group.commit();
    } catch (...) {
        // Nothing was replaced after all: a folder of "replaced" files would only mislead.
        std::error_code ec;
        if (!kept.empty())
            fs::remove_all(kept, ec);
        throw;
    }
    return kept;
}

bool validDate(std::string_view today) {
    return today.size() == 10 && today[4] == '-' && today[7] == '-' && isDigits(today.substr(0, 4)) &&
           isDigits(today.substr(5, 2)) && isDigits(today.substr(8, 2));
}

int number(std::string_view digits) {
    int n = 0;
    for (char c : digits)
        n = n * 10 + (c - '0');
    return n;
}

std::string utf8AccountFolderName(std::string_view utf8Account) {
    if (!store::isSafeFolderName(utf8Account))
        throw store::DataError("Kontonamnet '" + std::string(utf8Account) + "' kan inte vara ett mappnamn");
    return std::string(utf8Account);
}

} // namespace

std::string timeStamp(std::string_view today, std::string_view clock) {
    const bool dateOk = validDate(today);
    const bool timeOk =
        clock.size() >= 5 && clock[2] == ':' && isDigits(clock.substr(0, 2)) && isDigits(clock.substr(3, 2));
    if (!dateOk || !timeOk)
        throw store::DataError("Datum eller klockslag kan inte bilda BackUp-namnet: " + std::string(today) +
                               " " + std::string(clock));
    std::string stamp;
    stamp.append(today.substr(0, 4)).append(today.substr(5, 2)).append(today.substr(8, 2));
    stamp.append(clock.substr(0, 2)).append(clock.substr(3, 2));
    return stamp;
}

std::string accountBackupName(std::string_view utf8Account, std::string_view today, std::string_view clock) {
    return utf8AccountFolderName(utf8Account) + timeStamp(today, clock);
}

std::string allAccountsBackupName(std::string_view today, std::string_view clock) {
    return std::string(AllAccountsPrefix) + timeStamp(today, clock);
}

std::vector<CopyItem> copyPlan(const fs::path& folder) {
    std::vector<CopyItem> plan;
    planFolder(folder, {}, plan);
    return plan;
}

void copyFolder(const fs::path& source, const fs::path& target) {
    std::error_code ec;
    if (!fs::is_directory(source, ec))
        throwFileError(ENOENT, source);
    if (store::isWithin(store::resolvedPath(target), store::resolvedPath(source)))
        throw store::DataError("En BackUp kan inte läggas i den mapp som kopieras: " + target.string());
    const fs::path parent = target.parent_path();
    const std::string name = target.filename().string();
    const std::string pid = std::to_string(::getpid());
    const fs::path temp = parent / ("." + name + ".tmp-" + pid);
    const fs::path old = parent / ("." + name + ".old-" + pid);

    const fs::file_type existing = fs::symlink_status(target, ec).type();
    if (existing != fs::file_type::not_found && existing != fs::file_type::directory)
        throwFileError(EEXIST, target);

    // Listed before anything is made, so the copy never holds itself.
    const std::vector<CopyItem> plan = copyPlan(source);
    fs::remove_all(temp, ec);
    try {
        if (!fs::create_directory(temp, ec))
            throwFileError(ec ? ec.value() : EEXIST, temp);
        std::vector<fs::path> folders{temp};
        for (const CopyItem& item : plan) {
            const fs::path to = temp / item.path;
            if (item.folder) {
                fs::create_directory(to, ec);
                if (ec)
                    throwFileError(ec.value(), to);
                folders.push_back(to);
                continue;
            }
            const fs::path from = source / item.path;
            store::copyFileAtomically(to, from, fs::file_size(from));
            // The copy keeps the date of its original; a file system that cannot is no failure.
            const auto written = fs::last_write_time(from, ec);
            if (!ec)
                fs::last_write_time(to, written, ec);
        }
        // Children before parents, so each folder's entries are durable before it is named.
        for (auto it = folders.rbegin(); it != folders.rend(); ++it)
            store::io::syncFolder(*it);
    } catch (...) {
        fs::remove_all(temp, ec);
        throw;
    }

    const bool replacing = existing == fs::file_type::directory;
    if (replacing && ::rename(target.c_str(), old.c_str()) != 0) {
        const int err = errno;
        fs::remove_all(temp, ec);
        throwFileError(err, target);
    }
    if (::rename(temp.c_str(), target.c_str()) != 0) {
        const int err = errno;
        if (replacing)
            ::rename(old.c_str(), target.c_str());
        fs::remove_all(temp, ec);
        throwFileError(err, target);
    }
    if (replacing)
        fs::remove_all(old, ec);
    store::io::syncFolder(parent.empty() ? fs::path(".") : parent);
}

fs::path backUpAccount(const store::DataPaths& paths, std::string_view utf8Account, const fs::path& driveRoot,
                       std::string_view today, std::string_view clock) {
    const fs::path source = paths.dataRoot() / utf8AccountFolderName(utf8Account);
    const fs::path target = driveRoot / accountBackupName(utf8Account, today, clock);
    copyFolder(source, target);
    return target;
}

fs::path backUpAll(const store::DataPaths& paths, const fs::path& driveRoot, std::string_view today,
                   std::string_view clock) {
    const fs::path target = driveRoot / allAccountsBackupName(today, clock);
    copyFolder(paths.dataRoot(), target);
    return target;
}

bool isBackupFolder(const fs::path& folder, Scope scope) {
    std::error_code ec;
    const fs::path marker = folder / (scope == Scope::Account ? "KontoData" : "KontoFil");
    return fs::symlink_status(marker, ec).type() == fs::file_type::regular;
}

std::vector<fs::path> restoreCandidates(const fs::path& driveRoot, Scope scope,
                                        std::string_view utf8Account) {
    const std::string_view prefix = scope == Scope::All ? AllAccountsPrefix : utf8Account;
    std::vector<fs::path> found;
    if (prefix.empty())
        return found;
    std::error_code ec;
    for (fs::directory_iterator it(driveRoot, ec), end; !ec && it != end; it.increment(ec)) {
        const std::string name = it->path().filename().string();
        std::error_code typeEc;
        if (name.front() == '.' || !startsWith(name, prefix) || !it->is_directory(typeEc))
            continue;
        if (isBackupFolder(it->path(), scope))
            found.push_back(it->path());
    }
    std::sort(found.begin(), found.end());
    return found;
}

std::vector<std::string> missingAccountFolders(const store::DataPaths& paths, const fs::path& backupFolder) {
    std::vector<std::string> missing;
    std::error_code ec;
    if (!fs::exists(paths.kontoFil(), ec))
        return missing;
    const store::RecordFile kontoFil(paths.kontoFil(), store::KontoRec::Length,
                                     store::RecordFile::Missing::Fail);
    for (const accounts::RegisterEntry& entry : accounts::listAccounts(kontoFil)) {
        const bool present =
            store::isSafeFolderName(entry.name) && fs::is_directory(backupFolder / entry.name, ec);
        if (!present)
            missing.push_back(entry.name);
    }
    return missing;
}

std::string backupMoment(const fs::path& backupFolder) {
    const std::string name = backupFolder.filename().string();
    if (name.size() >= 12 && isDigits(std::string_view(name).substr(name.size() - 12))) {
        const std::string_view s = std::string_view(name).substr(name.size() - 12);
        const int month = number(s.substr(4, 2)), day = number(s.substr(6, 2));
        const int hour = number(s.substr(8, 2)), minute = number(s.substr(10, 2));
        if (month >= 1 && month <= 12 && day >= 1 && day <= 31 && hour < 24 && minute < 60)
            return std::string(s.substr(0, 4)) + "-" + std::string(s.substr(4, 2)) + "-" +
                   std::string(s.substr(6, 2)) + " " + std::string(s.substr(8, 2)) + ":" +
                   std::string(s.substr(10, 2));
    }
    std::error_code ec;
    const auto changed = fs::last_write_time(backupFolder, ec);
    if (ec)
        return {};
    const std::time_t t = std::chrono::system_clock::to_time_t(
        std::chrono::time_point_cast<std::chrono::system_clock::duration>(
            std::chrono::file_clock::to_sys(changed)));
    std::tm local{};
    if (!::localtime_r(&t, &local))
        return {};
    char text[64];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d", local.tm_year + 1900, local.tm_mon + 1,
                  local.tm_mday, local.tm_hour, local.tm_min);
    return text;
}

std::vector<std::string> backupAccounts(const fs::path& backupFolder) {
    std::vector<std::string> names;
    for (const fs::directory_entry& entry : entriesOf(backupFolder))
        if (!isHidden(entry.path()) && isRealFolder(entry))
            names.push_back(entry.path().filename().string());
    return names; // entriesOf sorts
}

std::string replacedFolderName(std::string_view today, std::string_view clock) {
    const bool timeOk = clock.size() >= 8 && clock[2] == ':' && clock[5] == ':' &&
                        isDigits(clock.substr(0, 2)) && isDigits(clock.substr(3, 2)) &&
                        isDigits(clock.substr(6, 2));
    if (!validDate(today) || !timeOk)
        throw store::DataError("Datum eller klockslag kan inte bilda mappnamnet: " + std::string(today) +
                               " " + std::string(clock));
    std::string name = "MoniData-ersatt-";
    name.append(today.substr(0, 4)).append(today.substr(5, 2)).append(today.substr(8, 2)).append("-");
    name.append(clock.substr(0, 2)).append(clock.substr(3, 2)).append(clock.substr(6, 2));
    return name;
}

namespace {

constexpr std::string_view ReplacedPrefix = "MoniData-ersatt-";

// The order of a name replacedFolderName gives ("-<n>" added for the n-th in one second), or
// nothing for any other name.
std::optional<std::pair<std::string, unsigned long>> replacedFolderOrder(std::string_view name) {
    if (!startsWith(name, ReplacedPrefix))
        return std::nullopt;
    name.remove_prefix(ReplacedPrefix.size());
    if (name.size() < 15 || !isDigits(name.substr(0, 8)) || name[8] != '-' || !isDigits(name.substr(9, 6)))
        return std::nullopt;
    const std::string stamp(name.substr(0, 15));
    name.remove_prefix(15);
    if (name.empty())
        return std::pair{stamp, 1ul};
    if (name.size() < 2 || name.size() > 10 || name[0] != '-' || !isDigits(name.substr(1)) || name[1] == '0')
        return std::nullopt;
    return std::pair{stamp, std::stoul(std::string(name.substr(1)))};
}

} // namespace

std::vector<std::string> pruneReplacedFolders(const store::DataPaths& paths, std::size_t keep) {
    std::vector<std::pair<std::pair<std::string, unsigned long>, std::string>> found;
    std::error_code ec;
    for (fs::directory_iterator it(paths.driveFolder(), ec), end; !ec && it != end; it.increment(ec)) {
        const std::string name = it->path().filename().string();
        const auto order = replacedFolderOrder(name);
        struct stat st {};
        if (order && ::lstat(it->path().c_str(), &st) == 0 && S_ISDIR(st.st_mode))
            found.push_back({*order, name});
    }
    std::sort(found.begin(), found.end());
    std::vector<std::string> removed;
    for (std::size_t i = 0; i + keep < found.size(); ++i) {
        const fs::path folder = paths.driveFolder() / found[i].second;
        // Checked again just before: a link that took the name meanwhile is left alone.
        struct stat st {};
        if (::lstat(folder.c_str(), &st) != 0 || !S_ISDIR(st.st_mode))
            continue;
        fs::remove_all(folder, ec);
        if (!ec)
            removed.push_back(found[i].second);
    }
    return removed;
}

fs::path restoreAccount(const store::DataPaths& paths, std::string_view utf8Account,
                        const fs::path& backupFolder, std::string_view today, std::string_view clock) {
    const fs::path accountFolder = paths.dataRoot() / utf8AccountFolderName(utf8Account);
    std::vector<RestoreFile> files;
    collectFiles(backupFolder, accountFolder, AccountKinds, files,
                 postLengthIn(paths.kontoFil(), utf8Account));
    dropImportFilesNotIn(backupFolder, accountFolder, files);
    return commitRestore(paths, {paths.dataRoot(), accountFolder}, files, today, clock);
}

fs::path restoreAll(const store::DataPaths& paths, const fs::path& backupFolder, std::string_view today,
                    std::string_view clock) {
    const fs::path root = paths.dataRoot();
    std::vector<fs::path> folders{root};
    std::vector<RestoreFile> files;
    collectFiles(backupFolder, root, RootKinds, files);
    for (const fs::directory_entry& entry : entriesOf(backupFolder)) {
        if (isHidden(entry.path()) || !isRealFolder(entry))
            continue;
        const std::string name = entry.path().filename().string();
        if (!store::isSafeFolderName(name))
            throw store::DataError("BackUp-katalogen innehåller ett mappnamn som inte kan användas: " + name);
        folders.push_back(root / name);
        // The backup's own register tells the kinds of the accounts it holds.
        collectFiles(entry.path(), root / name, AccountKinds, files,
                     postLengthIn(backupFolder / "KontoFil", name));
        dropImportFilesNotIn(entry.path(), root / name, files);
    }
    return commitRestore(paths, folders, files, today, clock);
}

} // namespace backup
