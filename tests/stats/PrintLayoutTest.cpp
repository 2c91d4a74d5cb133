#include "stats/PrintLayout.h"

#include "StatsFiles.h"

#include <gtest/gtest.h>

using namespace stats;
using statstest::budg;
using statstest::cash;

namespace {

// A fixed pitch: 100 twips a character on a post line, 120 in a heading.
int measure(PrintFont font, std::string_view utf8) {
    return static_cast<int>(utf8.size()) * (font == PrintFont::Heading ? 120 : 100);
}

// The pages of a recording: every text with its position, page by page.
struct Printed {
    PageOrientation orientation{};
    int announcedPages = 0;
    std::vector<std::vector<DrawOp>> pages;
};

Printed pagesOf(const RecordingTarget& t) {
    Printed p;
    p.pages.emplace_back();
    for (const DrawOp& op : t.ops) {
        if (op.kind == DrawOp::Kind::Begin) {
            p.orientation = op.orientation;
            p.announcedPages = op.pages;
        } else if (op.kind == DrawOp::Kind::NewPage)
            p.pages.emplace_back();
        else if (op.kind == DrawOp::Kind::Text)
            p.pages.back().push_back(op);
    }
    return p;
}

const DrawOp* textAt(const std::vector<DrawOp>& page, std::string_view text) {
    for (const DrawOp& op : page)
        if (op.text == text)
            return &op;
    return nullptr;
}

} // namespace

// Page count, orientation and the lines of the last page for full pages and one post more; an
// empty period still prints page 1 with its headings.
TEST(PrintLayout, PagesAndOrientationByKind) {
    struct Case {
        ReportKind kind;
        int posts, pages, linesOnLastPage;
        PageOrientation orientation;
    };
    const Case cases[] = {
        {ReportKind::Pr_1, 63, 1, 63, PageOrientation::Portrait},
        {ReportKind::Pr_1, 64, 2, 1, PageOrientation::Portrait},
        {ReportKind::Pr_2, 0, 1, 0, PageOrientation::Portrait},
        {ReportKind::Pr_3, 126, 2, 63, PageOrientation::Portrait},
        {ReportKind::Pr_4, 43, 2, 1, PageOrientation::Landscape},
        {ReportKind::Pr_5, 84, 2, 42, PageOrientation::Landscape},
        {ReportKind::Pr_6, 85, 3, 1, PageOrientation::Landscape},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(kindCode(c.kind)) + " " + std::to_string(c.posts));
        TempDrive drive;
        std::string posts;
        for (int n = 0; n < c.posts; ++n)
            posts += budg("2020-01-01", "3", "-300", "-250,25", "-3000", "-2502,5", "497,5", ' ', '*', "3");
        const auto files = statstest::account(drive, ledger::Kind::Budget, posts);
        RecordingTarget t(measure);
        ASSERT_TRUE(printAccountReport(t, files, c.kind, PostRange{1, c.posts}, "Konto", "2026-12-06"));
        const Printed p = pagesOf(t);
        EXPECT_EQ(p.orientation, c.orientation);
        EXPECT_EQ(p.announcedPages, c.pages);
        ASSERT_EQ(static_cast<int>(p.pages.size()), c.pages);
        const std::size_t columns = printedLayoutOf(c.kind).columns.size();
        // heading, column headings, then the posts
        EXPECT_EQ(p.pages.back().size(), 1 + columns * (1 + static_cast<std::size_t>(c.linesOnLastPage)));
        EXPECT_EQ(t.ops.back().kind, DrawOp::Kind::End);
    }
}

// Where a page's heading, its page number, a post line and its amounts go; amounts of different
// widths end at the same edge, headings of amount columns too.
TEST(PrintLayout, PositionsOnAPage) {
    TempDrive drive;
    std::string posts;
    for (int n = 0; n < 64; ++n)
        posts += cash("2020-01-05", "4", n % 2 ? "-1234567,5" : "7", "12,3", "3");
    const auto files = statstest::account(drive, ledger::Kind::Cash, posts);
    RecordingTarget t(measure);
    ASSERT_TRUE(printAccountReport(t, files, ReportKind::Pr_1, PostRange{1, 64}, "Hushåll", "2026-12-06"));
    const Printed p = pagesOf(t);
    ASSERT_EQ(p.pages.size(), 2u);

    const DrawOp* heading = textAt(p.pages[1], "Utskrift av Hushåll, datum: 2026-12-06   Sida 2");
    ASSERT_TRUE(heading);
    EXPECT_EQ(std::pair(heading->x, heading->y), std::pair(850, 400));
    EXPECT_EQ(heading->font, PrintFont::Heading);
    const DrawOp* belopp = textAt(p.pages[0], "Belopp");
    ASSERT_TRUE(belopp);
    EXPECT_EQ(std::pair(belopp->x + measure(PrintFont::Heading, "Belopp"), belopp->y), std::pair(5100, 900));

    // Page 1: posts from y 1350, 230 apart; the short and the long amount both end at 5100.
    const DrawOp* small = textAt(p.pages[0], "7,00");
    const DrawOp* large = textAt(p.pages[0], "-1 234 567,50");
    ASSERT_TRUE(small && large);
    EXPECT_EQ(std::pair(small->x + 400, small->y), std::pair(5100, 1350));
    EXPECT_EQ(std::pair(large->x + 1300, large->y), std::pair(5100, 1580));
    EXPECT_EQ(large->font, PrintFont::Line);
    EXPECT_TRUE(textAt(p.pages[0], "Mat") && textAt(p.pages[0], "Mat")->x == 2000);
    // Page 2 holds post 64 on its first line.
    EXPECT_EQ(textAt(p.pages[1], "-1 234 567,50")->y, 1350);
}

// The statistics report: its three heading lines, 61 rows a page; a stopped job ends the document
// at the page it was refused.
TEST(PrintLayout, StatisticsAndStopping) {
    Statistics st;
    for (int n = 0; n < 62; ++n)
        st.rows.push_back(StatRow{"2020-01-05", "Bröd", "12,30", {}});
    st.summary = "Antal = 62, Totalbel. = 762,60, Medel = 12,30";
    RecordingTarget t(measure);
    ASSERT_TRUE(printStatisticsReport(t, st, "Hushåll", "Mat", "2026-12-06"));
    const Printed p = pagesOf(t);
    ASSERT_EQ(p.pages.size(), 2u);
    EXPECT_EQ(p.orientation, PageOrientation::Portrait);
    const std::pair<std::string, int> lines[] = {{"Konto: 'Hushåll', datum: 2026-12-06, Sida: 2", 400},
                                                 {"Statistik, transaktionen: 'Mat' ", 630},
                                                 {st.summary, 860},
                                                 {"Subtransaktion", 1360},
                                                 {"Bröd", 1830}};
    for (const auto& [text, y] : lines) {
        const DrawOp* op = textAt(p.pages[1], text);
        ASSERT_TRUE(op) << text;
        EXPECT_EQ(op->y, y) << text;
    }

    RecordingTarget stopped(measure);
    stopped.stopAtPage = 2;
    EXPECT_FALSE(printStatisticsReport(stopped, st, "Hushåll", "Mat", "2026-12-06"));
    EXPECT_EQ(pagesOf(stopped).pages.size(), 1u);
    EXPECT_EQ(stopped.ops.back().kind, DrawOp::Kind::End);
}
