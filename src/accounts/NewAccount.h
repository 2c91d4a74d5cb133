#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace store {
class DataPaths;
}

namespace accounts {

// The longest account name: the register's 35-byte name field must still hold the flag byte
// that records the dismissed hint.
inline constexpr std::size_t MaxAccountNameLength = 34;

// Why the typed account name (UTF-8, already trimmed) cannot name an account, as the text the new
// account window shows; std::nullopt when it can. The name becomes a folder directly under the
// data root, so path separators, control characters, "." and ".." are refused, and so is any
// character Windows-1252 cannot hold (the register stores the name in that code page).
std::optional<std::string> accountNameProblem(std::string_view utf8Name);

// Why the typed account number cannot be stored, std::nullopt when it can. The number is free
// text; only characters Windows-1252 cannot hold are refused (a long number is cut to its field).
std::optional<std::string> accountNumberProblem(std::string_view utf8Number);

// What the user asked for. All UTF-8, trimmed.
struct NewAccount {
    std::string name;
    std::string number;
    std::string kindCode; // "Ek" cash-book or "Bg" budget
};

// Creates the account: its folder; KontoData with the opening post (the working date,
// transaction 1, every amount "0"; a budget post is confirmed); Transakt with "Kontostart",
// "Insättning" (+) and "Uttag" (-); an empty Kategori (and for a budget account an empty
// B-mall); the register record in the first free slot; and KontoIni pointing at it for the user.
// Everything lands in one group commit, so a failure leaves nothing half made: no folder, no
// register change. Returns the register record number.
// Throws store::DataError for a name, number, kind or date that cannot be stored (even when the
// window missed it), store::FileError when the folder already exists (as accountFolderExists
// tells) or a file cannot be written.
int createAccount(const store::DataPaths& paths, const NewAccount& account, std::string_view workingDate,
                  std::string_view userName);

// True when anything by that name already stands in the data root (an account's folder, even one
// no register record names), except an empty folder no register record names: what an account
// removal cut off after its commit leaves. False for a name that could never be a folder.
bool accountFolderExists(const store::DataPaths& paths, std::string_view utf8Name);

} // namespace accounts
