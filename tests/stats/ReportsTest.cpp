#include "stats/Reports.h"

#include "StatsFiles.h"

#include <gtest/gtest.h>

#include <stdexcept>

using namespace stats;
using statstest::budg;
using statstest::cash;

namespace {

std::vector<std::string> headings(ReportKind kind) {
    std::vector<std::string> h;
    for (const ReportColumn& c : layoutOf(kind).columns)
        h.emplace_back(c.screenHeading);
    return h;
}

std::string smallCash() {
    return cash("2020-01-01", "1", "0", "0") + cash("2020-01-05", "-4", "-1234,5", "-1234,5", "3") +
           cash("2020-01-06", "2", "12,3", "-1222,2") + cash("2020-01-07", "3", "-0,5", "-1222,7", "1");
}

std::string smallBudget() {
    return budg("2020-01-01", "1", "0", "0", "0", "0", "0") +
           budg("2020-01-05", "4", "-300", "-250,25", "-300", "-250,25", "49,75", ' ', '*', "1") +
           budg("2020-01-25", "2", "1000", "1000", "700", "749,75", "49,75");
}

} // namespace

TEST(Reports, KindsFromTheCheckBoxes) {
    struct Case {
        bool sub, budg, diff;
        std::optional<ReportKind> kind;
    };
    for (const Case& c : std::vector<Case>{{false, false, false, ReportKind::Pr_1},
                                           {true, false, false, ReportKind::Pr_2},
                                           {false, true, false, ReportKind::Pr_3},
                                           {false, true, true, ReportKind::Pr_4},
                                           {true, true, true, ReportKind::Pr_5},
                                           {true, true, false, ReportKind::Pr_6},
                                           {false, false, true, std::nullopt},
                                           {true, false, true, std::nullopt}}) {
        EXPECT_EQ(kindFromChecks(c.sub, c.budg, c.diff), c.kind) << c.sub << c.budg << c.diff;
    }
    EXPECT_EQ(kindCode(ReportKind::Pr_5), "Pr_5");
    EXPECT_EQ(headings(ReportKind::Pr_4),
              (std::vector<std::string>{"Datum", "Huvudtransaktion", "Budg.bel.", "Verkl.bel.", "Budg.saldo",
                                        "Verkl.saldo", "Saldodiff."}));
    EXPECT_EQ(headings(ReportKind::Pr_6),
              (std::vector<std::string>{"Datum", "Huvudtransaktion", "Subtransaktion", "Budg.bel.",
                                        "Verkl.bel.", "Budg.saldo", "Verkl.saldo"}));
    EXPECT_EQ(headings(ReportKind::Pr_7), (std::vector<std::string>{"Datum", "Subtransaktion", "Belopp"}));
    // Every account report frame is centred on the same point of the window, and every grid holds
    // all its columns.
    for (int k = 0; k < 7; ++k) {
        const ReportLayout& l = layoutOf(static_cast<ReportKind>(k));
        int width = 0;
        for (const ReportColumn& c : l.columns)
            width += c.gridWidth;
        EXPECT_LE(width, l.gridWidth) << kindCode(l.kind);
        EXPECT_LE(l.gridWidth + 250, l.frameWidth) << kindCode(l.kind);
        if (l.kind != ReportKind::Pr_7) {
            EXPECT_EQ(l.frameLeft + l.frameWidth / 2, 7460) << kindCode(l.kind);
        }
    }
}

TEST(Reports, CashBookRows) {
    TempDrive drive;
    const auto files = statstest::account(drive, ledger::Kind::Cash, smallCash());
    EXPECT_EQ(reportRows(files, ReportKind::Pr_1, 2, 4),
              (std::vector<ReportRow>{{"2020-01-05", "Mat", "-1 234,50", "-1 234,50"},
                                      {"2020-01-06", "Insättning", "12,30", "-1 222,20"},
                                      {"2020-01-07", "Uttag", "-0,50", "-1 222,70"}}));
    EXPECT_EQ(reportRows(files, ReportKind::Pr_2, 2, 99), // clamped to the file
              (std::vector<ReportRow>{{"2020-01-05", "Mat", "Bröd", "-1 234,50", "-1 234,50"},
                                      {"2020-01-06", "Insättning", "", "12,30", "-1 222,20"},
                                      {"2020-01-07", "Uttag", "Hyra", "-0,50", "-1 222,70"}}));
    // The text file gets the same cells in Windows-1252.
    EXPECT_EQ(reportRowsRaw(files, ReportKind::Pr_2, 2, 3)[0][2], "Br\366d");
    EXPECT_TRUE(reportRows(files, ReportKind::Pr_1, 5, 4).empty());
    for (ReportKind k :
         {ReportKind::Pr_3, ReportKind::Pr_4, ReportKind::Pr_5, ReportKind::Pr_6, ReportKind::Pr_7})
        EXPECT_THROW(reportRows(files, k, 1, 4), std::invalid_argument) << kindCode(k);
}

TEST(Reports, BudgetRows) {
    TempDrive drive;
    const auto files = statstest::account(drive, ledger::Kind::Budget, smallBudget());
    // Without the budget columns a budget account shows its actual amount and balance.
    EXPECT_EQ(reportRows(files, ReportKind::Pr_1, 2, 3),
              (std::vector<ReportRow>{{"2020-01-05", "Mat", "-250,25", "-250,25"},
                                      {"2020-01-25", "Insättning", "1 000,00", "749,75"}}));
    EXPECT_EQ(reportRows(files, ReportKind::Pr_2, 2, 2),
              (std::vector<ReportRow>{{"2020-01-05", "Mat", "Hyra", "-250,25", "-250,25"}}));
    EXPECT_EQ(reportRows(files, ReportKind::Pr_3, 2, 2),
              (std::vector<ReportRow>{{"2020-01-05", "Mat", "-300,00", "-250,25", "-300,00", "-250,25"}}));
    EXPECT_EQ(
        reportRows(files, ReportKind::Pr_4, 2, 2),
        (std::vector<ReportRow>{{"2020-01-05", "Mat", "-300,00", "-250,25", "-300,00", "-250,25", "49,75"}}));
    EXPECT_EQ(reportRows(files, ReportKind::Pr_5, 3, 3),
              (std::vector<ReportRow>{
                  {"2020-01-25", "Insättning", "", "1 000,00", "1 000,00", "700,00", "749,75", "49,75"}}));
    EXPECT_EQ(
        reportRows(files, ReportKind::Pr_6, 2, 2),
        (std::vector<ReportRow>{{"2020-01-05", "Mat", "Hyra", "-300,00", "-250,25", "-300,00", "-250,25"}}));
}

TEST(Reports, StatisticsRowsArePagedFromTheTable) {
    Statistics st;
    for (int i = 1; i <= 3; ++i)
        st.rows.push_back(StatRow{"2020-01-0" + std::to_string(i), i == 2 ? "Hyra" : "",
                                  std::to_string(i) + ",00", store::Amount::whole(i)});
    EXPECT_EQ(statisticsRows(st, 2, 16),
              (std::vector<ReportRow>{{"2020-01-02", "Hyra", "2,00"}, {"2020-01-03", "", "3,00"}}));
}

// Forty posts from the start are scrolled step by step, buttons and all, by the window's test
// (UtskrStatTest.TheScreenReportScrollsToTheEndOfFortyPostsAndBack).
TEST(Reports, ScreenScrolling) {
    // Fifteen posts fit one page: no button is available.
    const PostRange fifteen{1, 15};
    EXPECT_FALSE(canScrollBack(fifteen, 1));
    EXPECT_FALSE(canScrollForward(fifteen, 1));

    // A period that starts later in the file: fifteen back stops at its first post.
    const PostRange later{20, 60};
    EXPECT_EQ(scrolled(later, 30, ScrollStep::Back15), 20);
    EXPECT_FALSE(canScrollBack(later, 20));
}
