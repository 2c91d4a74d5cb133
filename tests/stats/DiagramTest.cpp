#include "stats/Diagram.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace stats;
namespace d = stats::diagram;

namespace {

// n rows dated day by day from 2026-01-01 with amounts 1, 2, 3, ... (negative: the sign is
// stored, the diagram draws absolute values); one row may be given a larger amount.
std::vector<StatRow> rows(int n, int bigRow = 0, std::int64_t big = 0) {
    std::vector<StatRow> r;
    for (int i = 1; i <= n; ++i) {
        const int month = 1 + (i - 1) / 28, day = 1 + (i - 1) % 28;
        char date[32];
        std::snprintf(date, sizeof date, "2026-%02d-%02d", month, day);
        r.push_back({date, "", "", store::Amount::whole(-(i == bigRow ? big : i))});
    }
    return r;
}

std::vector<int> shownRows(const Diagram& g) {
    std::vector<int> v;
    for (const DiagramEntry& e : g.entries())
        v.push_back(e.row);
    return v;
}

std::vector<int> span(int from, int to) {
    std::vector<int> v;
    for (int i = from; i <= to; ++i)
        v.push_back(i);
    return v;
}

bool hasText(const DiagramDrawing& dr, int x, int y, const std::string& text) {
    return std::any_of(dr.texts.begin(), dr.texts.end(),
                       [&](const DiagramText& t) { return t.x == x && t.y == y && t.text == text; });
}

} // namespace

TEST(Diagram, ScaleFollowsTheTableAndGoesOnOutsideIt) {
    const std::pair<std::int64_t, std::int64_t> cases[] = {
        {0, 10},          {1, 10},          {10, 10},         {11, 20},          {20, 20},
        {21, 50},         {120, 200},       {501, 1000},      {5001, 10000},     {50001, 100000},
        {100000, 100000}, {100001, 200000}, {200001, 500000}, {700000, 1000000}, {99999999, 100000000},
    };
    for (const auto& [largest, scale] : cases)
        EXPECT_EQ(fullScale(largest), scale) << largest;
    const std::pair<int, int> steps[] = {{25, 2}, {17, 2}, {16, 3}, {13, 3}, {12, 4},
                                         {11, 4}, {10, 5}, {9, 5},  {8, 6},  {7, 7},
                                         {6, 8},  {5, 10}, {4, 12}, {3, 16}, {2, 25}};
    for (const auto& [n, step] : steps) {
        EXPECT_EQ(columnsPerPoint(n), step) << n;
        EXPECT_LE(1 + (n - 1) * step, d::Columns) << n;
    }
}

TEST(Diagram, TenRowsUpTo120DrawOnePageOnScale200) {
    const Diagram g(rows(10, 4, 120), true);
    EXPECT_EQ(shownRows(g), span(1, 10));
    EXPECT_FALSE(g.pagerVisible());
    EXPECT_EQ(g.scale(), 200);
    EXPECT_EQ(g.step(), 5);
    const DiagramDrawing dr = g.drawing();
    // The scale values stand clear of the doubled right edge at 11855.
    EXPECT_TRUE(hasText(dr, 11915, 390, "200"));
    EXPECT_TRUE(hasText(dr, 11915, 2040, "100"));
    // Points at columns 1, 6, ..., 46 with their ticks and dates; row 4's 120 kr at 3840 - 120 x 16.5.
    for (int i = 0; i < 10; ++i) {
        const int x = d::columnCentre(1 + 5 * i);
        EXPECT_TRUE(hasText(dr, x, 3740, "|")) << i;
        EXPECT_TRUE(hasText(dr, x, 3915, "01-" + std::string(i < 9 ? "0" : "") + std::to_string(i + 1))) << i;
    }
    std::vector<DiagramLine> curve;
    std::copy_if(dr.lines.begin(), dr.lines.end(), std::back_inserter(curve),
                 [](const DiagramLine& l) { return l.stroke == DiagramLine::Stroke::Curve; });
    ASSERT_EQ(curve.size(), 9u);
    EXPECT_EQ(curve[0].x1, 950);
    EXPECT_EQ(curve[2].x2, d::columnCentre(16));
    EXPECT_EQ(curve[2].y2, 3840 - 1980);
    // Mean (1+2+3+120+5+...+10) / 10 = 17,1 -> 3840 - 282,15.
    EXPECT_EQ(g.meanY(), 3840 - 282);
    EXPECT_TRUE(hasText(dr, 510, g.meanY() - 150, "MV"));
    EXPECT_EQ(dr.lines.back().stroke, DiagramLine::Stroke::Mean);
    EXPECT_EQ(dr.lines.back().y1, g.meanY());
    // 11 horizontal lines, 51 vertical and 6 doubled.
    EXPECT_EQ(dr.lines.size(), 11u + 51u + 6u + 9u + 1u);
    EXPECT_EQ(dr.colour, Red);
    EXPECT_EQ(Diagram(rows(10), false).colour(), Blue);
}

TEST(Diagram, PagesOfTwentyFiveEndWithTheLastTwentyFiveThenStartAgain) {
    struct Page {
        std::vector<int> rows;
        bool visible;
        std::string_view caption;
    };
    const std::vector<std::pair<int, std::vector<Page>>> cases = {
        {60,
         {{span(1, 25), true, "Nästa"},
          {span(26, 50), true, "Nästa"},
          {span(36, 60), true, "Från början"},
          {span(1, 25), true, "Nästa"}}},
        {25, {{span(1, 25), true, "Från början"}, {span(1, 25), true, "Från början"}}},
        {50,
         {{span(1, 25), true, "Nästa"}, {span(26, 50), true, "Från början"}, {span(1, 25), true, "Nästa"}}},
        {1, {{span(1, 1), false, "Från början"}}},
    };
    for (const auto& [n, pages] : cases) {
        Diagram g(rows(n), false);
        for (std::size_t p = 0; p < pages.size(); ++p) {
            if (p > 0)
                g.DiagramSkapa();
            EXPECT_EQ(shownRows(g), pages[p].rows) << n << " rows, page " << p + 1;
            EXPECT_EQ(g.pagerVisible(), pages[p].visible) << n << " rows, page " << p + 1;
            EXPECT_EQ(g.pagerCaption(), pages[p].caption) << n << " rows, page " << p + 1;
        }
    }
    // The last 25 of 60 are measured again: largest 60, sum 36 + ... + 60.
    Diagram g(rows(60), false);
    g.DiagramSkapa();
    g.DiagramSkapa();
    EXPECT_EQ(g.largest(), 60);
    EXPECT_EQ(g.sum(), store::Amount::whole(1200));
}

TEST(Diagram, YearLabelAndSmallOrSinglePages) {
    std::vector<StatRow> turn{{"2011-12-20", "", "", store::Amount::whole(5)},
                              {"2012-01-15", "", "", store::Amount::whole(7)}};
    EXPECT_EQ(Diagram(turn, false).yearText(), "År 2011 - 2012");
    turn.pop_back();
    const Diagram one(turn, false);
    EXPECT_EQ(one.yearText(), "År 2011");
    // One entry: its point and the mean line at the same height, no segment.
    const DiagramDrawing dr = one.drawing();
    EXPECT_TRUE(std::none_of(dr.lines.begin(), dr.lines.end(),
                             [](const DiagramLine& l) { return l.stroke == DiagramLine::Stroke::Curve; }));
    EXPECT_EQ(one.meanY(), 3840 - 1650);
    EXPECT_TRUE(hasText(dr, d::columnCentre(1), 3915, "12-20"));
    // Amounts below one krona: scale 10, the points inside the grid.
    const Diagram small({{"2026-01-01", "", "", store::Amount::fromUnits(4000)}}, true);
    EXPECT_EQ(small.scale(), 10);
    EXPECT_EQ(small.meanY(), 3840 - 132);
}
