#include "stats/PrintLayout.h"

#include "store/Cp1252.h"

#include <array>

namespace stats {

namespace {

constexpr int Left = 850;
constexpr int LineStep = 230;

const std::array<PrintedLayout, 7>& layouts() {
    using O = PageOrientation;
    static const std::array<PrintedLayout, 7> all{
        PrintedLayout{O::Portrait, 63, {{850, false}, {2000, false}, {5100, true}, {6500, true}}},
        PrintedLayout{
            O::Portrait, 63, {{850, false}, {2000, false}, {5100, false}, {8300, true}, {9700, true}}},
        PrintedLayout{O::Portrait,
                      63,
                      {{850, false}, {2000, false}, {5200, true}, {6600, true}, {9000, true}, {10400, true}}},
        PrintedLayout{O::Landscape,
                      42,
                      {{850, false},
                       {2000, false},
                       {5200, true},
                       {6600, true},
                       {9000, true},
                       {10400, true},
                       {11800, true}}},
        PrintedLayout{O::Landscape,
                      42,
                      {{850, false},
                       {2000, false},
                       {5100, false},
                       {9000, true},
                       {10400, true},
                       {11800, true},
                       {13200, true},
                       {14600, true}}},
        PrintedLayout{O::Landscape,
                      42,
                      {{850, false},
                       {2000, false},
                       {5100, false},
                       {9550, true},
                       {10950, true},
                       {12350, true},
                       {13750, true}}},
        PrintedLayout{O::Portrait, 61, {{850, false}, {2000, false}, {5100, true}}},
    };
    return all;
}

struct Stopped {};

void cells(PrintTarget& t, const PrintedLayout& layout, const ReportRow& row, int y) {
    for (std::size_t i = 0; i < layout.columns.size() && i < row.size(); ++i) {
        const PrintColumn& c = layout.columns[i];
        t.printAt(c.right ? c.x - t.textWidth(row[i]) : c.x, y, row[i]);
    }
}

// Pages of the kind's number of lines; `heading` prints the lines above the column headings and
// returns the y of the column headings. A page is begun by its first line, so a full last page is
// followed by nothing.
class Pages {
public:
    using Heading = std::function<int(PrintTarget&, int page)>;
    Pages(PrintTarget& t, ReportKind kind, int rows, Heading heading, int firstLineY)
        : t_(t), layout_(printedLayoutOf(kind)), heading_(std::move(heading)), firstY_(firstLineY) {
        t_.begin(layout_.orientation, printedPages(kind, rows));
        for (const ReportColumn& col : layoutOf(kind).columns)
            headings_.emplace_back(col.fileHeading);
        beginPage();
    }

    void add(const ReportRow& row) {
        if (lines_ == layout_.linesPerPage) {
            if (!t_.newPage())
                throw Stopped{};
            beginPage();
        }
        cells(t_, layout_, row, firstY_ + lines_ * LineStep);
        ++lines_;
    }

private:
    void beginPage() {
        t_.setFont(PrintFont::Heading);
        cells(t_, layout_, headings_, heading_(t_, ++page_));
        t_.setFont(PrintFont::Line);
        lines_ = 0;
    }

    PrintTarget& t_;
    const PrintedLayout& layout_;
    Heading heading_;
    int firstY_;
    ReportRow headings_;
    int page_ = 0, lines_ = 0;
};

} // namespace

const PrintedLayout& printedLayoutOf(ReportKind kind) {
    return layouts()[static_cast<std::size_t>(kind)];
}

int printedPages(ReportKind kind, int rows) {
    const int per = printedLayoutOf(kind).linesPerPage;
    return rows <= 0 ? 1 : (rows + per - 1) / per;
}

bool printAccountReport(PrintTarget& target, const AccountFiles& files, ReportKind kind,
                        const PostRange& range, std::string_view utf8AccountName, std::string_view today) {
    const std::string title =
        "Utskrift av " + std::string(utf8AccountName) + ", datum: " + std::string(today) + "   Sida ";
    try {
        Pages pages(
            target, kind, range.size(),
            [&](PrintTarget& t, int page) {
                t.printAt(Left, 400, title + std::to_string(page));
                return 900;
            },
            1350);
        if (!range.empty())
            forEachReportRowRaw(files, kind, range.first, range.last, [&](const ReportRow& raw) {
                ReportRow row;
                row.reserve(raw.size());
                for (const std::string& cell : raw)
                    row.push_back(store::cp1252ToUtf8(cell));
                pages.add(row);
            });
    } catch (const Stopped&) {
        target.endDocument();
        return false;
    }
    target.endDocument();
    return true;
}

bool printStatisticsReport(PrintTarget& target, const Statistics& st, std::string_view utf8AccountName,
                           std::string_view utf8TransactionName, std::string_view today) {
    const std::string account =
        "Konto: '" + std::string(utf8AccountName) + "', datum: " + std::string(today) + ", Sida: ";
    const std::string transaction = "Statistik, transaktionen: '" + std::string(utf8TransactionName) + "' ";
    try {
        Pages pages(
            target, ReportKind::Pr_7, st.hits(),
            [&](PrintTarget& t, int page) {
                t.printAt(Left, 400, account + std::to_string(page));
                t.printAt(Left, 630, transaction);
                t.printAt(Left, 860, st.summary);
                return 1360;
            },
            1830);
        for (const StatRow& r : st.rows)
            pages.add(ReportRow{r.datum, r.subTransaction, r.amount});
    } catch (const Stopped&) {
        target.endDocument();
        return false;
    }
    target.endDocument();
    return true;
}

DrawOp opOf(DrawOp::Kind kind) {
    DrawOp op;
    op.kind = kind;
    return op;
}

void RecordingTarget::begin(PageOrientation orientation, int pages) {
    DrawOp op = opOf(DrawOp::Kind::Begin);
    op.orientation = orientation;
    op.pages = pages;
    ops.push_back(op);
}

void RecordingTarget::setFont(PrintFont font) {
    font_ = font;
    DrawOp op = opOf(DrawOp::Kind::Font);
    op.font = font;
    ops.push_back(op);
}

void RecordingTarget::printAt(int x, int y, std::string_view utf8) {
    DrawOp op;
    op.x = x;
    op.y = y;
    op.text = utf8;
    op.font = font_;
    ops.push_back(op);
}

bool RecordingTarget::newPage() {
    if (stopAtPage == page_ + 1)
        return false;
    ++page_;
    ops.push_back(opOf(DrawOp::Kind::NewPage));
    return true;
}

void RecordingTarget::endDocument() {
    ops.push_back(opOf(DrawOp::Kind::End));
}

std::string printedText(std::string_view utf8AccountName) {
    return "Utskrift har skickats till printer för konto:\n\n" + std::string(utf8AccountName) + "\n";
}

} // namespace stats
