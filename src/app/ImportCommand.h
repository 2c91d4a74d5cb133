#pragma once

// --import: a bank statement read into an account from a script, as the wizard would with only the
// rows a remembered rule places. It prints every classified row and writes under the same lock as
// the window, as one step of the undo history.

#include "app/CommandLine.h"
#include "store/Paths.h"

#include <string>

namespace app {

// Every row placed (imported now or before, or pending at the bank).
inline constexpr int ImportComplete = 0;
// Some rows are left for the wizard: without a rule, possible duplicates, rows that cannot be read.
inline constexpr int ImportLeftRows = 3;
// The data could not be written or is held by a running program.
inline constexpr int ImportFailed = 1;

struct ImportOutcome {
    int status = ImportComplete;
    std::string rows;    // standard output: one tab-separated line per row, oldest first
    std::string message; // standard error: what was done, or why not
};

// `today` ("yyyy-mm-dd") keeps a confirmed budget post from moving past it.
ImportOutcome runImport(const ImportRequest& request, const store::DataPaths& paths,
                        const std::string& today);

// A row's amount as the lines give it: sign, decimal comma, no grouping, at least two decimals
// ("-1234,50").
std::string lineAmount(long long units);

} // namespace app
