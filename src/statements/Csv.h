#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace statements {

// One record of a delimited file, or one row of an HTML table.
struct CsvRecord {
    int line = 0; // where the record begins in the file, from 1
    std::vector<std::string> cells;
};

// Splits UTF-8 text into records. A quote opens a quoted cell only at the cell's start; inside it a
// doubled quote is one quote and separators and line breaks are kept. Records end at LF, CR LF or a
// lone CR. Lines are numbered from `firstLine`. Stops after `maxRecords` records.
std::vector<CsvRecord> splitCsv(std::string_view text, char separator, int firstLine = 1,
                                std::size_t maxRecords = static_cast<std::size_t>(-1));

// Offset just past the first `lines` line breaks of `text` (its size when it has fewer).
std::size_t skipLines(std::string_view text, int lines);

} // namespace statements
