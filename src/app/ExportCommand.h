#pragma once

// --export: a report written as a spreadsheet from a script. It reads the accounts and writes only
// the file asked for; no window, no display, no lock on the data root.

#include "app/CommandLine.h"
#include "store/Paths.h"

#include <string>

namespace app {

// Exit status of an export that could not read an account or write its file.
inline constexpr int ExportFailed = 1;

struct ExportOutcome {
    int status = 0;      // 0, BadCommandLine (an account that is not there) or ExportFailed
    std::string message; // one or more lines for the terminal
};

ExportOutcome runExport(const ExportRequest& request, const store::DataPaths& paths);

} // namespace app
