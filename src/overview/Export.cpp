#include "overview/Export.h"

#include "stats/ReportFile.h"
#include "store/Cp1252.h"
#include "store/DateText.h"

#include <algorithm>
#include <cerrno>
#include <memory>

#include <xlsxwriter.h>

namespace overview {

namespace {

// The value without digit groups: at least two decimals, the further ones only where it has them.
std::string plainAmount(store::Amount a, char decimal) {
    std::string t = a.amountText();
    const std::size_t comma = t.find(',');
    if (comma == std::string::npos)
        t += ",00";
    else if (t.size() - comma < 3)
        t += '0';
    std::replace(t.begin(), t.end(), ',', decimal);
    return t;
}

std::string plainShare(long long hundredths, char decimal) {
    const long long whole = std::llabs(hundredths);
    std::string t =
        std::to_string(whole / 100) + decimal + (whole % 100 < 10 ? "0" : "") + std::to_string(whole % 100);
    return hundredths < 0 ? "-" + t : t;
}

std::string csvField(const Cell& cell, char separator, char decimal) {
    std::string t;
    switch (cell.kind) {
    case CellKind::Empty:
        return t;
    case CellKind::Text:
        // A spreadsheet would run a text that opens like a formula (a name such as "=SUMMA(…)" or
        // "-Hyra" typed into the catalogue); the leading quote makes it plain text there.
        t = cell.text.find_first_of("=+-@\t\r") == 0 ? "'" + cell.text : cell.text;
        break;
    case CellKind::Date:
        t = cell.text;
        break;
    case CellKind::Amount:
        return plainAmount(cell.amount, decimal);
    case CellKind::Count:
        return std::to_string(cell.number);
    case CellKind::Share:
        return plainShare(cell.number, decimal);
    }
    if (t.find_first_of(std::string{separator, '"', '\r', '\n'}) == std::string::npos)
        return t;
    std::string quoted = "\"";
    for (char c : t) {
        quoted += c;
        if (c == '"')
            quoted += '"';
    }
    return quoted + '"';
}

// How many characters the cell shows in a spreadsheet, for the column's width.
std::size_t shownWidth(const Cell& cell) {
    switch (cell.kind) {
    case CellKind::Empty:
        return 0;
    case CellKind::Text:
    case CellKind::Date:
        return store::utf8Length(cell.text);
    case CellKind::Amount:
        return store::displayAmount(cell.amount).size();
    case CellKind::Count:
        return std::to_string(cell.number).size();
    case CellKind::Share:
        return plainShare(cell.number, ',').size();
    }
    return 0;
}

struct WorkbookFree {
    void operator()(lxw_workbook* wb) const { lxw_workbook_free(wb); }
};

// A failure of the library: the system's reason where it left one (a full disk, no permission),
// else its own description.
[[noreturn]] void failed(lxw_error error, int err, const std::filesystem::path& target) {
    if (err != 0)
        throw store::FileError(std::error_code(err, std::system_category()), target.string());
    throw store::FileError(std::string("Kalkylbladet kunde inte skapas: ") + lxw_strerror(error),
                           target.string());
}

void check(lxw_error error, const std::filesystem::path& target) {
    if (error != LXW_NO_ERROR)
        failed(error, 0, target);
}

} // namespace

Sheet sheetOf(std::string name, std::vector<std::string> headings, std::vector<Row> rows) {
    Sheet sheet{std::move(name), std::move(headings), rows.size(), {}};
    auto shared = std::make_shared<const std::vector<Row>>(std::move(rows));
    sheet.forEachRow = [shared](const std::function<void(const Row&)>& take) {
        for (const Row& row : *shared)
            take(row);
    };
    return sheet;
}

namespace {

// The CSV text line by line into `out`; `full` is called whenever it has grown past a block, so a
// large report is written as it is read.
void csvInto(const Sheet& sheet, CsvForm form, std::string& out, const std::function<void()>& full) {
    const bool spreadsheet = form == CsvForm::Spreadsheet;
    const char separator = spreadsheet ? ';' : ',';
    const char decimal = spreadsheet ? ',' : '.';
    if (spreadsheet)
        out += "\xEF\xBB\xBF";
    auto line = [&](const Row& row) {
        for (std::size_t i = 0; i < row.size(); ++i) {
            if (i > 0)
                out += separator;
            out += csvField(row[i], separator, decimal);
        }
        out += "\r\n";
        if (full && out.size() >= (1 << 20))
            full();
    };
    Row headings;
    for (const std::string& h : sheet.headings)
        headings.push_back(Cell::textCell(h));
    line(headings);
    sheet.forEachRow(line);
}

} // namespace

std::string csvText(const Sheet& sheet, CsvForm form) {
    std::string out;
    csvInto(sheet, form, out, {});
    return out;
}

void writeCsv(const std::filesystem::path& path, const Sheet& sheet, CsvForm form) {
    stats::ReportTempFile file(path);
    std::string block;
    csvInto(sheet, form, block, [&] {
        file.write(block);
        block.clear();
    });
    file.write(block);
    file.commit();
}

void writeXlsx(const std::filesystem::path& path, const std::vector<Sheet>& sheets,
               const Progress& progress) {
    stats::ReportTempFile temp(path);
    lxw_workbook_options options{};
    options.constant_memory = LXW_TRUE;
    std::unique_ptr<lxw_workbook, WorkbookFree> workbook(workbook_new_opt(temp.path().c_str(), &options));
    if (!workbook)
        failed(LXW_ERROR_MEMORY_MALLOC_FAILED, errno, path);
    lxw_workbook* wb = workbook.get();
    lxw_format* bold = workbook_add_format(wb);
    format_set_bold(bold);
    lxw_format* money = workbook_add_format(wb);
    format_set_num_format(money, "#,##0.00");
    lxw_format* date = workbook_add_format(wb);
    format_set_num_format(date, "yyyy-mm-dd");
    lxw_format* share = workbook_add_format(wb);
    format_set_num_format(share, "0.00");

    std::size_t written = 0;
    for (const Sheet& sheet : sheets) {
        check(workbook_validate_sheet_name(wb, sheet.name.c_str()), path);
        lxw_worksheet* ws = workbook_add_worksheet(wb, sheet.name.c_str());
        if (!ws)
            failed(LXW_ERROR_MEMORY_MALLOC_FAILED, 0, path);
        std::vector<std::size_t> widths(sheet.headings.size());
        for (std::size_t c = 0; c < sheet.headings.size(); ++c) {
            check(worksheet_write_string(ws, 0, static_cast<lxw_col_t>(c), sheet.headings[c].c_str(), bold),
                  path);
            widths[c] = store::utf8Length(sheet.headings[c]) + 1; // bold is wider
        }
        worksheet_freeze_panes(ws, 1, 0);
        lxw_row_t r = 0;
        sheet.forEachRow([&](const Row& row) {
            if (++r >= LXW_ROW_MAX)
                throw store::FileError("Rapporten har fler rader än ett kalkylblad rymmer", path.string());
            if (row.size() > widths.size())
                widths.resize(row.size());
            for (std::size_t c = 0; c < row.size(); ++c) {
                const Cell& cell = row[c];
                const auto col = static_cast<lxw_col_t>(c);
                lxw_error e = LXW_NO_ERROR;
                switch (cell.kind) {
                case CellKind::Empty:
                    break;
                case CellKind::Text:
                    e = worksheet_write_string(ws, r, col, cell.text.c_str(), nullptr);
                    break;
                case CellKind::Date:
                    if (const auto d = store::parseDate(cell.text)) {
                        lxw_datetime dt{d->year, d->month, d->day, 0, 0, 0.0};
                        e = worksheet_write_datetime(ws, r, col, &dt, date);
                    } else {
                        e = worksheet_write_string(ws, r, col, cell.text.c_str(), nullptr);
                    }
                    break;
                case CellKind::Amount:
                    // The one place an amount becomes a double: the spreadsheet's number.
                    e = worksheet_write_number(
                        ws, r, col, static_cast<double>(cell.amount.units()) / store::Amount::Scale, money);
                    break;
                case CellKind::Count:
                    e = worksheet_write_number(ws, r, col, static_cast<double>(cell.number), nullptr);
                    break;
                case CellKind::Share:
                    e = worksheet_write_number(ws, r, col, static_cast<double>(cell.number) / 100, share);
                    break;
                }
                check(e, path);
                widths[c] = std::max(widths[c], shownWidth(cell));
            }
            if (++written % 1024 == 0 && progress && !progress(written))
                throw ExportCancelled();
        });
        for (std::size_t c = 0; c < widths.size(); ++c)
            check(worksheet_set_column(ws, static_cast<lxw_col_t>(c), static_cast<lxw_col_t>(c),
                                       static_cast<double>(std::min<std::size_t>(widths[c] + 2, 80)),
                                       nullptr),
                  path);
    }
    errno = 0;
    const lxw_error closed = workbook_close(workbook.release()); // frees the workbook, also on failure
    if (closed != LXW_NO_ERROR)
        failed(closed, errno, path);
    if (progress)
        progress(written);
    temp.commit();
}

std::string exportProblem(const store::FileError& error) {
    if (auto plain = stats::plainFileProblem(error)) {
        // The reasons are those of any saved report; only the opening word is this file's.
        const std::string_view report = "Utskriften";
        if (plain->starts_with(report))
            plain->replace(0, report.size(), "Filen");
        return *plain;
    }
    return "Filen kunde inte sparas som\n" + error.path() + "\n\n" + error.what();
}

} // namespace overview
