#include "stats/TextReport.h"

#include "store/Cp1252.h"
#include "store/Errors.h"

#include <algorithm>

namespace stats {

namespace {

constexpr std::string_view CrLf = "\r\n";

std::string cp1252(std::string_view utf8) {
    auto bytes = store::utf8ToCp1252(utf8);
    if (!bytes)
        throw store::DataError("Texten kan inte skrivas i textfilen: " + std::string(utf8));
    return std::move(*bytes);
}

void cells(ColumnWriter& w, const ReportLayout& layout, const ReportRow& row) {
    for (std::size_t i = 0; i < layout.columns.size() && i < row.size(); ++i) {
        const ReportColumn& col = layout.columns[i];
        if (col.fileRightAligned)
            w.rightTo(col.fileColumn, row[i]);
        else
            w.at(col.fileColumn, row[i]);
    }
    w.endLine();
}

ReportRow fileHeadings(const ReportLayout& layout) {
    ReportRow row;
    for (const ReportColumn& col : layout.columns)
        row.push_back(cp1252(col.fileHeading));
    return row;
}

// Pages of `perPage` rows; `heading` writes the lines above the column headings of page n. The
// first page is written even without rows when `firstPageAlways` (an account report of an empty
// period still names the account and its columns).
template <typename Heading>
std::string pages(const ReportLayout& layout, const std::vector<ReportRow>& rows, bool firstPageAlways,
                  Heading heading) {
    ColumnWriter w;
    const ReportRow headings = fileHeadings(layout);
    const std::size_t perPage = static_cast<std::size_t>(layout.postsPerFilePage);
    for (std::size_t start = 0, page = 1; start < rows.size() || (page == 1 && firstPageAlways);
         start += perPage, ++page) {
        if (page > 1)
            w.endLine(); // the empty line between two pages
        heading(w, page);
        cells(w, layout, headings);
        const std::size_t end = std::min(rows.size(), start + perPage);
        for (std::size_t i = start; i < end; ++i)
            cells(w, layout, rows[i]);
    }
    return w.finish();
}

} // namespace

void ColumnWriter::at(int column, std::string_view bytes) {
    const std::size_t col = static_cast<std::size_t>(std::max(column, 1));
    if (open_ && line_.size() + 1 > col) {
        out_ += line_;
        out_ += CrLf;
        line_.clear();
    }
    open_ = true;
    line_.resize(col - 1, ' ');
    line_ += bytes;
}

void ColumnWriter::rightTo(int edge, std::string_view bytes) {
    at(edge - static_cast<int>(bytes.size()), bytes);
}

void ColumnWriter::endLine() {
    out_ += line_;
    out_ += CrLf;
    line_.clear();
    open_ = false;
}

std::string ColumnWriter::finish() {
    if (open_)
        endLine();
    return std::move(out_);
}

std::string accountReportFile(const AccountFiles& files, ReportKind kind, const PostRange& range,
                              std::string_view utf8AccountName, std::string_view today) {
    const ReportLayout& layout = layoutOf(kind);
    const std::vector<ReportRow> rows =
        range.empty() ? std::vector<ReportRow>{} : reportRowsRaw(files, kind, range.first, range.last);
    const std::string title =
        "Utskrift av " + cp1252(utf8AccountName) + " " + cp1252(today) + "              Sida ";
    return pages(layout, rows, true, [&](ColumnWriter& w, std::size_t page) {
        w.line(title + std::to_string(page));
        w.endLine();
    });
}

std::string statisticsReportFile(const Statistics& st, std::string_view utf8AccountName,
                                 std::string_view utf8TransactionName, std::string_view today) {
    const ReportLayout& layout = layoutOf(ReportKind::Pr_7);
    std::vector<ReportRow> rows;
    rows.reserve(st.rows.size());
    for (const StatRow& r : st.rows)
        rows.push_back(ReportRow{cp1252(r.datum), cp1252(r.subTransaction), cp1252(r.amount)});
    const std::string account =
        "Konto: '" + cp1252(utf8AccountName) + "', datum: " + cp1252(today) + ", Sida ";
    const std::string transaction = "Statistik, transaktionen '" + cp1252(utf8TransactionName) + "' ";
    const std::string summary = cp1252(st.summary);
    return pages(layout, rows, false, [&](ColumnWriter& w, std::size_t page) {
        w.line(account + std::to_string(page));
        w.line(transaction);
        w.line(summary);
        w.endLine();
    });
}

std::string reportWrittenText(std::string_view utf8Path) {
    return "Utskriften finns nu tillgänglig på anvisad sökväg: " + std::string(utf8Path) + " !\n" +
           "Rekommenderas att filen öppnas med Anteckningar (NotePad)" +
           " och med font Courier New, fontstorlek 10 punkter ! \n" +
           "Detta för att visa raka och överskådliga kolumner.\n\n" +
           "Ovanstående fil kan med fördel printas ut !";
}

} // namespace stats
