#pragma once

#include <array>
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

// Reads UTF-8 text one record at a time, reusing the record's cells, so a long file is never held
// as cells all at once. A quote opens a quoted cell only at the cell's start; inside it a doubled
// quote is one quote and separators and line breaks are kept. Records end at LF, CR LF or a lone
// CR. Lines are numbered from `firstLine`.
class CsvCursor {
public:
    CsvCursor(std::string_view text, char separator, int firstLine = 1)
        : text_(text), separator_(separator), line_(firstLine) {
        ends_[static_cast<unsigned char>(separator)] = ends_['\n'] = ends_['\r'] = true;
    }
    // False at the end of the text.
    bool next(CsvRecord& record);

private:
    std::string_view text_;
    char separator_;
    int line_;
    std::size_t at_ = 0;
    std::array<bool, 256> ends_{}; // the bytes that end an unquoted cell
};

// The first `maxRecords` records of the text.
std::vector<CsvRecord> splitCsv(std::string_view text, char separator, int firstLine = 1,
                                std::size_t maxRecords = static_cast<std::size_t>(-1));

// Offset just past the first `lines` line breaks of `text` (its size when it has fewer).
std::size_t skipLines(std::string_view text, int lines);

} // namespace statements
