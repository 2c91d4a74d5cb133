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

// Pages of the layout's number of rows, laid out as the rows come; `heading` writes the lines
// above the column headings of page n. A page is begun by its first row, so a full last page is
// followed by nothing.
template <typename Heading> class Pages {
public:
    Pages(const ReportLayout& layout, Heading heading)
        : layout_(layout), headings_(fileHeadings(layout)),
          perPage_(static_cast<std::size_t>(layout.postsPerFilePage)), heading_(std::move(heading)) {}

    void add(const ReportRow& row) {
        if (rows_ % perPage_ == 0)
            beginPage();
        cells(w_, layout_, row);
        ++rows_;
    }

    // Room for `rows` lines as wide as the last column's edge.
    void reserve(std::size_t rows) {
        w_.reserve(rows * (static_cast<std::size_t>(layout_.columns.back().fileColumn) + CrLf.size()));
    }

    // The bytes; with `firstPageAlways` an empty report still gets page 1's heading (an account
    // report of an empty period names the account and its columns).
    std::string finish(bool firstPageAlways) {
        if (rows_ == 0 && firstPageAlways)
            beginPage();
        return w_.finish();
    }

private:
    void beginPage() {
        if (page_ > 0)
            w_.endLine(); // the empty line between two pages
        heading_(w_, ++page_);
        cells(w_, layout_, headings_);
    }

    const ReportLayout& layout_;
    const ReportRow headings_;
    const std::size_t perPage_;
    Heading heading_;
    ColumnWriter w_;
    std::size_t rows_ = 0, page_ = 0;
};

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

std::string accountReportHeading(std::string_view utf8AccountName, std::string_view today) {
    return "Utskrift av " + std::string(utf8AccountName) + " " + std::string(today) + "              Sida ";
}

std::string accountReportFile(const AccountFiles& files, ReportKind kind, const PostRange& range,
                              std::string_view utf8AccountName, std::string_view today, ReadTrace* trace) {
    const std::string title = cp1252(accountReportHeading(utf8AccountName, today));
    Pages pages(layoutOf(kind), [&](ColumnWriter& w, std::size_t page) {
        w.line(title + std::to_string(page));
        w.endLine();
    });
    pages.reserve(static_cast<std::size_t>(range.size()));
    if (!range.empty())
        forEachReportRowRaw(
            files, kind, range.first, range.last, [&](const ReportRow& row) { pages.add(row); }, trace);
    return pages.finish(true);
}

std::string statisticsReportFile(const Statistics& st, std::string_view utf8AccountName,
                                 std::string_view utf8TransactionName, std::string_view today) {
    const std::string account =
        "Konto: '" + cp1252(utf8AccountName) + "', datum: " + cp1252(today) + ", Sida ";
    const std::string transaction = "Statistik, transaktionen '" + cp1252(utf8TransactionName) + "' ";
    const std::string summary = cp1252(st.summary);
    Pages pages(layoutOf(ReportKind::Pr_7), [&](ColumnWriter& w, std::size_t page) {
        w.line(account + std::to_string(page));
        w.line(transaction);
        w.line(summary);
        w.endLine();
    });
    pages.reserve(st.rows.size());
    for (const StatRow& r : st.rows)
        pages.add(ReportRow{cp1252(r.datum), cp1252(r.subTransaction), cp1252(r.amount)});
    return pages.finish(false);
}

std::string reportWrittenText(std::string_view utf8Path) {
    return "Utskriften finns nu tillgänglig på anvisad sökväg: " + std::string(utf8Path) + " !\n" +
           "Rekommenderas att filen öppnas med Anteckningar (NotePad)" +
           " och med font Courier New, fontstorlek 10 punkter ! \n" +
           "Detta för att visa raka och överskådliga kolumner.\n\n" +
           "Ovanstående fil kan med fördel printas ut !";
}

} // namespace stats
