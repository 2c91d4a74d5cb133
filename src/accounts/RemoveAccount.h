#pragma once

#include <array>
#include <optional>
#include <string_view>

namespace store {
class DataPaths;
}

namespace accounts {

// Files an account folder may hold; the only names removal deletes by name.
inline constexpr std::array<std::string_view, 6> AccountFileNames{"KontoData", "Transakt",     "Kategori",
                                                                  "B-mall",    "Importregler", "Importlogg"};

enum class RemovalResult { RegisterDeleted, NameBlanked };

// Reducera_Konto's file part: removes the account's folder with everything in it, and its name
// from the register.
//
// Checked before anything is touched (store::DataError): the name must be a single safe folder
// name ("..", "a/b", control characters are refused) and not one of the data root's own files
// (KontoFil, KontoIni, PosFil, RedDayFil, Importprofiler); register record kontoNum must exist and name this
// account (or already be free), so a stale caller can never take another account's name away.
//
// Order, so that a failure or a crash never leaves a register name pointing at half-deleted files:
//  1. Anything in the folder other than the account files (a sub-folder, a file left by a
//     crashed save, a symbolic link) is deleted first, without ever following a link or leaving
//     the folder's file system. A failure here (store::FileError) leaves the account whole.
//  2. KontoData, Transakt, Kategori, B-mall and the import rules and log are deleted and the
//     register changed in one group commit: on failure every file is as it was.
//  3. The emptied folder is removed. The removal has happened by then; should this last step fail,
//     only an empty folder is left and no error is raised.
// When the folder entry is a symbolic link only the link is removed (after the commit), never
// anything it points at; any other entry by that name that is no folder is left alone.
//
// The register: KontoFil is deleted when `lastAccount` (the account list held fewer than two
// entries) and the register names no other account; otherwise KontoNamn of record kontoNum
// becomes 35 blanks and its other fields keep their bytes. A missing KontoFil counts as deleted.
RemovalResult reduceAccount(const store::DataPaths& paths, int kontoNum, std::string_view cp1252Name,
                            bool lastAccount);

// Radko_mn's file test: which of Transakt and KontoData exist with at least one byte. Errors count
// as empty, and so does a name that can be no folder. A folder reached through a symbolic link is
// looked into: the account opens through it.
struct AccountFilesInUse {
    bool transakt = false;
    bool kontoData = false;
};
AccountFilesInUse filesInUse(const store::DataPaths& paths, std::string_view cp1252Name);

// Radera_KontoNamn: refuses (returns the refusing file, Transakt tested first) when the account's
// Transakt or KontoData exists with content; otherwise blanks the name of record kontoNum and
// returns std::nullopt. The files are looked for under the data root, never under the stored
// Placering. A name that can be no folder has no files, so it is removed: only KontoFil is written.
// store::FileError when KontoFil cannot be read or written; store::DataError when record kontoNum
// does not exist.
enum class InUseFile { Transakt, KontoData };
std::optional<InUseFile> removeRegisterName(const store::DataPaths& paths, int kontoNum);

} // namespace accounts
