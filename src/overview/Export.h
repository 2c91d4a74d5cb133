#pragma once

// Reports as spreadsheets: CSV in two forms and XLSX with real numbers and dates. A file is
// written under a temporary name beside the chosen one and takes that name only when it is whole,
// so a failure leaves no file (and an older file of that name as it was).

#include "store/Amount.h"
#include "store/Errors.h"

#include <cstddef>
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace overview {

enum class CellKind { Empty, Text, Amount, Date, Count, Share };

struct Cell {
    CellKind kind = CellKind::Empty;
    std::string text;     // Text (UTF-8) and Date ("yyyy-mm-dd")
    store::Amount amount; // Amount
    long long number = 0; // Count, or a Share in hundredths of a percent

    static Cell textCell(std::string t) { return {CellKind::Text, std::move(t), {}, 0}; }
    static Cell amountCell(store::Amount a) { return {CellKind::Amount, {}, a, 0}; }
    static Cell dateCell(std::string d) { return {CellKind::Date, std::move(d), {}, 0}; }
    static Cell countCell(long long n) { return {CellKind::Count, {}, {}, n}; }
    static Cell shareCell(int hundredths) { return {CellKind::Share, {}, {}, hundredths}; }
};

using Row = std::vector<Cell>;

// One report: a heading row and its rows, handed out one at a time so that a large report is
// never held whole. The rows may be walked more than once.
struct Sheet {
    std::string name; // the XLSX sheet's name: at most 31 characters, no [ ] : * ? / or backslash
    std::vector<std::string> headings;
    std::size_t rowCount = 0; // for the progress shown while writing
    std::function<void(const std::function<void(const Row&)>&)> forEachRow;
};

// A sheet of rows already at hand.
Sheet sheetOf(std::string name, std::vector<std::string> headings, std::vector<Row> rows);

// "för kalkylprogram": ";" between fields, a decimal comma, UTF-8 with a byte-order mark, CR LF.
// "standard": "," between fields, a decimal point, UTF-8 without a mark, CR LF (RFC 4180).
// Amounts are written with two decimals and more only where the value has them, without digit
// groups; a share as a percent number with two decimals. A field holding the separator, a quote or
// a line break is quoted, its quotes doubled. A text that opens like a formula (=, +, -, @, a tab or
// a carriage return) gets a leading "'" so that a spreadsheet shows it as text.
enum class CsvForm { Spreadsheet, Standard };
std::string csvText(const Sheet& sheet, CsvForm form);
void writeCsv(const std::filesystem::path& path, const Sheet& sheet, CsvForm form);

// Called with the rows written so far; returning false stops the writing (no file is left).
using Progress = std::function<bool(std::size_t rowsWritten)>;

// One sheet per report. Amounts are number cells formatted "#,##0.00", dates date cells, counts
// whole numbers, shares percent numbers "0.00"; the heading row is bold and frozen and every
// column as wide as its widest text. Written row by row (constant memory).
void writeXlsx(const std::filesystem::path& path, const std::vector<Sheet>& sheets,
               const Progress& progress = {});

// Thrown when the progress callback stopped the writing.
class ExportCancelled : public std::runtime_error {
public:
    ExportCancelled() : std::runtime_error("Sparandet avbröts") {}
};

// The message for a file that could not be written, in plain words naming the path: the reason
// for a problem the user can put right (no such folder, no permission, a full disk) or else the
// failure as it was reported.
inline constexpr std::string_view ExportFailedTitle = "Filen kunde inte sparas";
std::string exportProblem(const store::FileError& error);

} // namespace overview
