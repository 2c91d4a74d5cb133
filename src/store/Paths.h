#pragma once

#include <array>
#include <filesystem>
#include <string>
#include <string_view>

namespace store {

// The data root's own files, beside the account folders: no account may take one of these names.
inline constexpr std::array<std::string_view, 5> DataRootFileNames{"KontoFil", "KontoIni", "PosFil",
                                                                   "RedDayFil", "Importprofiler"};

// Every path of the data folder, always built from the data root (never from the Placering text
// stored in the register).
class DataPaths {
public:
    DataPaths() = default;
    explicit DataPaths(std::filesystem::path driveFolder) : drive_(std::move(driveFolder)) {}

    const std::filesystem::path& driveFolder() const { return drive_; }
    std::filesystem::path dataRoot() const { return drive_ / "MoniData"; }
    std::filesystem::path kontoFil() const { return dataRoot() / "KontoFil"; }
    std::filesystem::path kontoIni() const { return dataRoot() / "KontoIni"; }
    std::filesystem::path posFil() const { return dataRoot() / "PosFil"; }
    std::filesystem::path redDayFil() const { return dataRoot() / "RedDayFil"; }
    // The saved mappings of bank statements and the date each bank's posts take.
    std::filesystem::path importprofiler() const { return dataRoot() / "Importprofiler"; }
    // Beside the data root, so a backup of MoniData never copies them.
    std::filesystem::path journalFolder() const { return drive_ / ".MoniData.journal"; }
    // The data root whose files a journal folder may restore: the one beside it.
    static std::filesystem::path dataRootBeside(const std::filesystem::path& journalFolder) {
        return journalFolder.parent_path() / "MoniData";
    }
    std::filesystem::path lockFile() const { return drive_ / ".MoniData.lock"; }
    // The undo history, beside the data root for the same reason.
    std::filesystem::path historyFolder() const { return drive_ / ".MoniData.history"; }

    // The account's folder: data root + the name (Windows-1252 in the register, UTF-8 on disk).
    // Throws DataError for a name that is no single safe folder name ("..", "a/b", control
    // characters, empty), so nothing outside the data root is ever reached through a name.
    std::filesystem::path accountFolder(std::string_view cp1252Name) const;
    std::filesystem::path kontoData(std::string_view cp1252Name) const {
        return accountFolder(cp1252Name) / "KontoData";
    }
    std::filesystem::path transakt(std::string_view cp1252Name) const {
        return accountFolder(cp1252Name) / "Transakt";
    }
    std::filesystem::path kategori(std::string_view cp1252Name) const {
        return accountFolder(cp1252Name) / "Kategori";
    }
    std::filesystem::path bMall(std::string_view cp1252Name) const {
        return accountFolder(cp1252Name) / "B-mall";
    }
    // The account's rules for bank statements and the fingerprints of the rows imported so far.
    std::filesystem::path importregler(std::string_view cp1252Name) const {
        return accountFolder(cp1252Name) / "Importregler";
    }
    std::filesystem::path importlogg(std::string_view cp1252Name) const {
        return accountFolder(cp1252Name) / "Importlogg";
    }

    // The Placering text written for a new account: drive folder + "MoniData/" (UTF-8; the caller
    // converts it and the field cuts it to 15 characters). Informational only.
    std::string placering() const;

private:
    std::filesystem::path drive_;
};

// True when the name (UTF-8) can be a folder directly under the data root: not empty, not "." or
// "..", no "/" or "\", no control characters.
bool isSafeFolderName(std::string_view utf8Name);

// The absolute path with "." and ".." and every link resolved as far as the path exists (the rest
// as written). Throws FileError when it cannot be resolved.
std::filesystem::path resolvedPath(const std::filesystem::path& path);
// Whether a resolved path is the resolved folder itself or lies below it.
bool isWithin(const std::filesystem::path& path, const std::filesystem::path& folder);

} // namespace store
