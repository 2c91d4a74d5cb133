#include "statements/Csv.h"

#include <algorithm>

namespace statements {

bool CsvCursor::next(CsvRecord& record) {
    const std::string_view text = text_;
    const std::size_t n = text.size();
    std::size_t i = at_;
    if (i >= n)
        return false;
    record.line = line_;
    std::size_t cells = 0;
    bool recordEnded = false;
    while (!recordEnded) {
        if (cells == record.cells.size())
            record.cells.emplace_back();
        std::string& cell = record.cells[cells++];
        cell.clear();
        if (i < n && text[i] == '"') {
            ++i;
            while (i < n) {
                // Runs between quotes are copied whole.
                const std::size_t quote = std::min(text.find('"', i), n);
                for (std::size_t k = i; k < quote; ++k)
                    if (text[k] == '\n' || (text[k] == '\r' && (k + 1 >= n || text[k + 1] != '\n')))
                        ++line_;
                cell.append(text.substr(i, quote - i));
                i = quote;
                if (i + 1 < n && text[i + 1] == '"') {
                    cell.push_back('"');
                    i += 2;
                    continue;
                }
                if (i < n)
                    ++i;
                break;
            }
        }
        // Unquoted text, or what follows a closing quote up to the separator, is taken as it is.
        std::size_t end = i;
        while (end < n && !ends_[static_cast<unsigned char>(text[end])])
            ++end;
        cell.append(text.substr(i, end - i));
        i = end;
        if (i >= n) {
            recordEnded = true;
        } else if (text[i] == separator_) {
            ++i;
        } else {
            i += (text[i] == '\r' && i + 1 < n && text[i + 1] == '\n') ? 2 : 1;
            ++line_;
            recordEnded = true;
        }
    }
    record.cells.resize(cells);
    at_ = i;
    return true;
}

std::vector<CsvRecord> splitCsv(std::string_view text, char separator, int firstLine,
                                std::size_t maxRecords) {
    std::vector<CsvRecord> records;
    CsvCursor cursor(text, separator, firstLine);
    CsvRecord record;
    while (records.size() < maxRecords && cursor.next(record))
        records.push_back(record);
    return records;
}

std::size_t skipLines(std::string_view text, int lines) {
    std::size_t i = 0;
    for (int k = 0; k < lines && i < text.size(); ++k) {
        while (i < text.size() && text[i] != '\n' && text[i] != '\r')
            ++i;
        if (i < text.size())
            i += (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ? 2 : 1;
    }
    return i;
}

} // namespace statements
