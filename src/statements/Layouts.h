#pragma once

#include "statements/Csv.h"
#include "statements/Reader.h"
#include "statements/Table.h"

#include <optional>
#include <string>
#include <vector>

namespace statements {

// A bank's own layout found at a record of the file.
struct KnownLayout {
    std::string bank;
    std::string format; // "Swedbank, kontoutdrag CSV"
    std::size_t headerRecord = 0;
    TableLayout layout;
    bool newestFirst = true; // when the dates do not tell
    bool hasTransactionDate = false;
};

// The first of the banks' layouts whose header is one of the first records; the header's names
// are what counts, not their order, so a column added by the bank does not hide the layout.
// `kind` ends the format text ("CSV", "XLS").
std::optional<KnownLayout> findKnownLayout(const std::vector<CsvRecord>& records, std::size_t maxRecords,
                                           const std::string& kind);

} // namespace statements
