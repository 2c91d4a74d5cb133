#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace app {

// A report written to a file from a script (--export), without any window.
struct ExportRequest {
    enum class Kind { Posts, PerTransaction, Month };
    Kind kind = Kind::Posts;
    std::vector<std::string> accounts;   // UTF-8 names as given
    bool everyAccount = false;           // --account alla
    std::optional<std::string> from, to; // "yyyy-mm-dd"; an open end reaches the first or last post
    std::filesystem::path out;           // ends in .xlsx or .csv, which chooses the form
};

// A bank statement imported into one account from a script (--import).
struct ImportRequest {
    std::filesystem::path file;
    std::string account; // UTF-8 name as given
    bool dryRun = false; // --dry-run: the rows are printed, nothing is written
};

// What the command line asks for. It is read before any window exists, so that a mistake is told
// in a terminal without a display.
struct CommandLine {
    enum class Action { Run, Help, Version, Refuse, Export, Import };
    Action action = Action::Run;
    std::optional<std::filesystem::path> drive;      // --drive DIR: an existing folder
    std::optional<std::filesystem::path> screenshot; // --screenshot FIL
    ExportRequest exportRequest;                     // Export
    ImportRequest importRequest;                     // Import
    std::string refusal;                             // Refuse: what is wrong, in one line
};

// The arguments after the program's name. "--drive DIR" and "--drive=DIR" alike; an unknown
// option, a missing value, an argument of its own or a drive folder that does not exist refuses,
// and so do the export's options without --export, a bad date, kind or file ending, and an import
// without exactly one account or together with an export.
CommandLine parseCommandLine(const std::vector<std::string>& args);

// The options, as --help prints them.
std::string helpText();

// Exit status of a refused command line.
inline constexpr int BadCommandLine = 2;

} // namespace app
