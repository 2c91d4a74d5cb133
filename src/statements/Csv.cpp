#include "statements/Csv.h"

namespace statements {

std::vector<CsvRecord> splitCsv(std::string_view text, char separator, int firstLine,
                                std::size_t maxRecords) {
    std::vector<CsvRecord> records;
    int line = firstLine;
    std::size_t i = 0;
    const std::size_t n = text.size();
    while (i < n && records.size() < maxRecords) {
        CsvRecord record;
        record.line = line;
        std::string cell;
        bool recordEnded = false;
        while (!recordEnded) {
            cell.clear();
            if (i < n && text[i] == '"') {
                ++i;
                while (i < n) {
                    const char c = text[i];
                    if (c == '"') {
                        if (i + 1 < n && text[i + 1] == '"') {
                            cell.push_back('"');
                            i += 2;
                            continue;
                        }
                        ++i;
                        break;
                    }
                    if (c == '\n' || (c == '\r' && (i + 1 >= n || text[i + 1] != '\n')))
                        ++line;
                    cell.push_back(c);
                    ++i;
                }
            }
            // Unquoted text, or what follows a closing quote up to the separator, is taken as it is.
            while (i < n && text[i] != separator && text[i] != '\n' && text[i] != '\r')
                cell.push_back(text[i++]);
            record.cells.push_back(std::move(cell));
            if (i >= n) {
                recordEnded = true;
            } else if (text[i] == separator) {
                ++i;
            } else {
                i += (text[i] == '\r' && i + 1 < n && text[i + 1] == '\n') ? 2 : 1;
                ++line;
                recordEnded = true;
            }
        }
        records.push_back(std::move(record));
    }
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
