#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace store {
class DataPaths;
}

namespace backup {

// An all-accounts backup folder is this + the time stamp; an account backup is the account
// name + the time stamp.
inline constexpr std::string_view AllAccountsPrefix = "MonivaBU";

// "yyyymmddhhmi": year, month and day of today's date "yyyy-mm-dd" (taken at start-up) and hour
// and minute of the clock "hh:mm:ss". store::DataError when either text is malformed, so a stamp
// is always twelve digits.
std::string timeStamp(std::string_view today, std::string_view clock);
// "Hushåll202612041530". DataError for a name that cannot be a folder name.
std::string accountBackupName(std::string_view utf8Account, std::string_view today, std::string_view clock);
// "MonivaBU202612041530".
std::string allAccountsBackupName(std::string_view today, std::string_view clock);

// One thing a backup copies, relative to the copied folder.
struct CopyItem {
    std::filesystem::path path;
    bool folder = false;
};

// What a backup of the folder copies, parents before children: every folder and regular file
// at any depth. Links are not followed (a backup never reaches outside the folder) and hidden
// names are left out (the temporary files of a save cut short are no data).
std::vector<CopyItem> copyPlan(const std::filesystem::path& folder);

// Copies the folder to target, a new folder beside which a temporary one is filled first: every
// file is written and synced there, and only then is the temporary folder renamed to target. A
// copy that fails part-way leaves no target behind (and an earlier target as it was), so a
// half-made backup never looks complete. An existing target folder (a backup made in the same
// minute) is replaced whole. store::FileError on failure; store::DataError when target lies
// inside the folder.
void copyFolder(const std::filesystem::path& source, const std::filesystem::path& target);

// The backup of one account: its folder, data root + name, copied to drive root + name + time
// stamp. Returns the folder made.
std::filesystem::path backUpAccount(const store::DataPaths& paths, std::string_view utf8Account,
                                    const std::filesystem::path& driveRoot, std::string_view today,
                                    std::string_view clock);
// The backup of all accounts: the whole data root copied to drive root + "MonivaBU" + time stamp.
std::filesystem::path backUpAll(const store::DataPaths& paths, const std::filesystem::path& driveRoot,
                                std::string_view today, std::string_view clock);

enum class Scope { Account, All };

// True when the folder holds what a backup of that scope holds: KontoData for an account,
// KontoFil for all accounts.
bool isBackupFolder(const std::filesystem::path& folder, Scope scope);

// The backups in the drive root a restore can choose from, sorted by name: folders whose name
// begins with the account name (any account whose name begins so, as Bilresor… for Bil) or
// with "MonivaBU", that hold a backup of the scope. Hidden folders (a backup being made) are
// never offered. Empty when the account name is empty or the root cannot be read.
std::vector<std::filesystem::path> restoreCandidates(const std::filesystem::path& driveRoot, Scope scope,
                                                     std::string_view utf8Account);

// The accounts of the register (KontoFil of the data root) that have no folder in an
// all-accounts backup, in record order, UTF-8. Empty when there is no register.
std::vector<std::string> missingAccountFolders(const store::DataPaths& paths,
                                               const std::filesystem::path& backupFolder);

// When a backup was made, "yyyy-mm-dd hh:mi", for the question before a restore: read from the
// time stamp that ends the folder's name, or, for a folder named otherwise, from its last change.
// Empty when neither can be had.
std::string backupMoment(const std::filesystem::path& backupFolder);

// The accounts an all-accounts backup holds (its folders, UTF-8), sorted: the accounts a restore
// of it replaces.
std::vector<std::string> backupAccounts(const std::filesystem::path& backupFolder);

// The folder a restore keeps the files it replaces in, so that a mistaken restore can be undone by
// hand: "MoniData-ersatt-" + yyyymmdd + "-" + hhmmss, in the drive folder beside the data root
// (never inside it, so no backup of the data root copies it). DataError for a malformed date or
// clock text.
std::string replacedFolderName(std::string_view today, std::string_view clock);

// Copies an account backup onto the account's folder: files of the same name are replaced,
// files only in the folder stay; the folder is made when it is gone. All files land in one
// group commit, so a failure leaves every file as it was.
// Before that, the files about to be replaced are copied, with their places below the data root,
// into a new folder named by replacedFolderName (a second one in the same second gets "-2" and so
// on); it is complete and synced before the first data file changes, and it is removed again when
// the restore fails. Returns that folder, or an empty path when the restore replaced no file.
// Refused with store::DataError, before anything is written: a name in the backup that cannot
// be a file name, and a target reached through a link or lying outside the data root.
std::filesystem::path restoreAccount(const store::DataPaths& paths, std::string_view utf8Account,
                                     const std::filesystem::path& backupFolder, std::string_view today,
                                     std::string_view clock);
// Only files of the kinds the program keeps are copied (KontoData, Transakt, Kategori, B-mall in an
// account folder; KontoFil, KontoIni, PosFil, RedDayFil in the data root); anything else in the
// backup is left out. A file that cannot be what its name says (a length that is no whole number
// of records, of the account's kind where a register names it: the data root's for one account, the
// backup's for all; more records than the kind can hold) or a restore that would not fit on the disk is
// refused with DataError before anything is written. The copies stream, however large the files.
//
// Copies an all-accounts backup onto the data root in the same way: its files and the files of
// each account folder in it.
std::filesystem::path restoreAll(const store::DataPaths& paths, const std::filesystem::path& backupFolder,
                                 std::string_view today, std::string_view clock);

// After a restore: keeps the newest `keep` folders of replaced files beside the data root and removes
// the older ones. Only real folders (never a link) named exactly as replacedFolderName names them,
// with or without the "-<n>" of a second one in the same second, are ever removed. Returns the
// names removed, oldest first.
std::vector<std::string> pruneReplacedFolders(const store::DataPaths& paths, std::size_t keep = 3);

} // namespace backup
