#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace store {
class RecordFile;
}

namespace accounts {

// One account of the register as the account list shows it.
struct RegisterEntry {
    int recordNumber;
    std::string name;     // UTF-8, flag byte removed
    std::string listText; // the name centred in 30 characters
};

// One entry per record whose name is not empty, in record order. Freed slots (blank names) are
// skipped; they stay in the file for the next new account.
std::vector<RegisterEntry> listAccounts(const store::RecordFile& kontoFil);

// The name preceded by (30 - length) / 2 spaces, the half rounded to the even neighbour (5
// characters get 12 spaces, 7 get 12 too); no spaces at 30 characters or more. The length
// counts characters, not bytes.
std::string centredListText(std::string_view utf8Name);

// The register record a new account takes: the first freed slot, else a new record at the end.
int findFreeSlot(const store::RecordFile& kontoFil);

// The start-up file: the register record of the account open at the last exit, and the user.
struct StartupFile {
    int kontoNum = 0;
    std::string userName; // UTF-8
};

// Both lines trimmed. Empty optional when the file is missing, when line 1 or 2 is empty after
// trimming, or when line 1 is no record number: such a file counts as missing. FileError when
// the file exists but cannot be read.
std::optional<StartupFile> readKontoIni(const std::filesystem::path& path);

// The file's bytes: two lines, each ended by CR LF, Windows-1252. DataError when the user name
// holds a character Windows-1252 cannot store.
std::string kontoIniContent(const StartupFile& ini);
// Rewrites the whole file atomically.
void writeKontoIni(const std::filesystem::path& path, const StartupFile& ini);

} // namespace accounts
