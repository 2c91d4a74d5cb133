#pragma once

// The printed form of the reports: fixed positions in twips on a page addressed as 11000 × 16000
// (portrait) or 16000 × 11000 (landscape), page headings with page numbers, and amounts that end at
// their column's edge. The layout talks to a PrintTarget, so the same pass draws on a printer, into
// a PDF or into a test's record.

#include "stats/AccountFiles.h"
#include "stats/Period.h"
#include "stats/Reports.h"
#include "stats/Statistics.h"

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace stats {

enum class PageOrientation { Portrait = 1, Landscape = 2 };
// Heading: Arial 11 bold (page and column headings). Line: Arial 10 (the posts).
enum class PrintFont { Heading, Line };

inline constexpr int PortraitWidth = 11000, PortraitHeight = 16000;

// What the reports ask of a printer. Positions and widths are in the page's units (twips of the
// 11000 × 16000 page); a text is placed by its top-left corner.
class PrintTarget {
public:
    virtual ~PrintTarget() = default;
    // Starts the document; `pages` is known before the first line is laid out (for a progress bar).
    virtual void begin(PageOrientation orientation, int pages) = 0;
    virtual void setFont(PrintFont font) = 0;
    // The printed width of the text in the current font (UTF-8).
    virtual int textWidth(std::string_view utf8) = 0;
    virtual void printAt(int x, int y, std::string_view utf8) = 0;
    // Starts the next page; false stops the document there (the user cancelled).
    virtual bool newPage() = 0;
    virtual void endDocument() = 0;
};

struct PrintColumn {
    int x;      // left edge, or the right edge of an amount
    bool right; // an amount: it ends at x
};

struct PrintedLayout {
    PageOrientation orientation;
    int linesPerPage;
    std::vector<PrintColumn> columns; // in the order of the kind's report columns
};

const PrintedLayout& printedLayoutOf(ReportKind kind);

// Pages of a report of `rows` lines: page 1 is printed even without a line.
int printedPages(ReportKind kind, int rows);

// The account report of one kind over the range, in one pass over the file image: each page has
// "Utskrift av <name>, datum: <today>   Sida <n>" at (850, 400), the column headings at y 900 and
// the posts from y 1350, 230 apart. False when the target stopped the document. Throws as
// forEachReportRowRaw does.
bool printAccountReport(PrintTarget& target, const AccountFiles& files, ReportKind kind,
                        const PostRange& range, std::string_view utf8AccountName, std::string_view today);

// The statistics report: account and page at y 400, the transaction at 630, the summary at 860,
// the column headings at 1360 and 61 rows a page from 1830. False when the target stopped.
bool printStatisticsReport(PrintTarget& target, const Statistics& st, std::string_view utf8AccountName,
                           std::string_view utf8TransactionName, std::string_view today);

// A target that keeps every call as a draw operation, measuring with a given function.
struct DrawOp {
    enum class Kind { Begin, Font, Text, NewPage, End } kind = Kind::Text;
    int x = 0, y = 0;
    std::string text; // Text only
    PrintFont font = PrintFont::Line;
    PageOrientation orientation = PageOrientation::Portrait;
    int pages = 0; // Begin only
};

class RecordingTarget : public PrintTarget {
public:
    using Measure = std::function<int(PrintFont, std::string_view)>;
    explicit RecordingTarget(Measure measure) : measure_(std::move(measure)) {}

    std::vector<DrawOp> ops;
    int stopAtPage = 0; // newPage answers false when it would begin this page

    void begin(PageOrientation orientation, int pages) override;
    void setFont(PrintFont font) override;
    int textWidth(std::string_view utf8) override { return measure_(font_, utf8); }
    void printAt(int x, int y, std::string_view utf8) override;
    bool newPage() override;
    void endDocument() override;

private:
    Measure measure_;
    PrintFont font_ = PrintFont::Line;
    int page_ = 1;
};

// The message after printing (UTF-8).
inline constexpr std::string_view PrintedTitle = "Printerutskrift";
std::string printedText(std::string_view utf8AccountName);

} // namespace stats
