// The charts' bars, lines and hit areas, laid out from reports whose totals are known.

#include "overview/Chart.h"

#include "OverviewFiles.h"

#include <gtest/gtest.h>

using namespace overview;
using namespace overviewtest;
using store::Amount;

namespace {

std::vector<std::string> barTexts(const std::vector<ChartBar>& bars) {
    std::vector<std::string> out;
    for (const ChartBar& b : bars)
        out.push_back(b.series + " " + b.category + " " + b.value.amountText());
    return out;
}

std::vector<Amount> kronor(std::initializer_list<long long> values) {
    std::vector<Amount> out;
    for (long long v : values)
        out.push_back(Amount::whole(v));
    return out;
}

} // namespace

TEST(OverviewChart, TransactionBarsRunFromOneEdgeByAmountAndLeadToTheirPosts) {
    TempDrive drive;
    auto accounts = threeAccounts(drive);
    accounts.pop_back(); // the two cash books
    const Period january = monthPeriod(2026, 1);
    const Chart chart = transactionChart(perTransaction(accounts, january, Flow::Both), january, 500, 300);

    EXPECT_EQ(barTexts(chart.bars),
              (std::vector<std::string>{"Utgifter Hyra -8000", "Utgifter Mat -1000", "Inkomster Lön 21000"}));
    EXPECT_EQ(chart.bars[0].fill, colour::Expense);
    EXPECT_EQ(chart.bars[2].fill, colour::Income);
    EXPECT_EQ(chart.bars[0].tip, "Hyra: -8 000,00 kr (88,89 %)");
    EXPECT_NEAR(chart.bars[1].box.w / chart.bars[2].box.w, 1000.0 / 21000, 1e-9);
    EXPECT_EQ(chart.bars[0].box.x, chart.bars[2].box.x);
    for (const ChartBar& b : chart.bars) {
        EXPECT_GT(b.box.y + b.box.h, 0);
        EXPECT_LE(b.box.y + b.box.h, chart.height);
        EXPECT_EQ(chart.at(b.box.x + b.box.w / 2, b.box.y + b.box.h / 2), &b) << b.category;
    }
    EXPECT_EQ(chart.at(1, 1), nullptr);
    ASSERT_TRUE(chart.bars[1].posts);
    const SearchQuery& q = *chart.bars[1].posts;
    EXPECT_EQ(q.main, "Mat");
    EXPECT_EQ(q.flow, Flow::Expenses);
    EXPECT_EQ(q.dateFrom + " " + q.dateTo, "2026-01-01 2026-01-31");
    EXPECT_EQ(search(accounts, q).size(), 4u);

    // Many transactions on little room make the chart taller rather than the bars unreadable.
    const Chart squeezed = transactionChart(perTransaction(accounts, january, Flow::Both), january, 500, 0);
    EXPECT_GE(squeezed.bars[1].box.y - squeezed.bars[0].box.y, 11);
    EXPECT_GT(squeezed.height, 0);

    const Chart empty = transactionChart(perTransaction(accounts, monthPeriod(2025, 1), Flow::Both),
                                         monthPeriod(2025, 1), 500, 300);
    EXPECT_TRUE(empty.bars.empty());
    ASSERT_EQ(empty.texts.size(), 1u);
    EXPECT_EQ(empty.texts[0].text, "Inga poster under perioden");
}

TEST(OverviewChart, MonthBarsAndTheirLine) {
    TempDrive drive;
    auto accounts = threeAccounts(drive);
    std::vector<OpenAccount> budget;
    budget.push_back(std::move(accounts.back()));
    accounts.pop_back();
    const Period period = rangePeriod("2026-01-01", "2026-02-28");
    struct Case {
        const char* what;
        const std::vector<OpenAccount>* accounts;
        Flow flow;
        std::vector<std::string> bars;
        std::string line;
        std::vector<Amount> lineValues;
    };
    const std::vector<Case> cases{
        {"cash books",
         &accounts,
         Flow::Both,
         {"Inkomster 2026-01 21000", "Utgifter 2026-01 9000", "Inkomster 2026-02 0", "Utgifter 2026-02 70"},
         "Utgående saldo",
         kronor({17000, 16930})},
        {"cash books, income",
         &accounts,
         Flow::Income,
         {"Inkomster 2026-01 21000", "Inkomster 2026-02 0"},
         "Utgående saldo",
         kronor({17000, 16930})},
        {"budget",
         &budget,
         Flow::Both,
         {"Budget 2026-01 -900", "Verkligt 2026-01 -600", "Budget 2026-02 2000", "Verkligt 2026-02 2800"},
         "Ackumulerad differens",
         kronor({300, 1100})},
        // Expenses are shown as money spent, upwards; the line rises where more was spent.
        {"budget, expenses",
         &budget,
         Flow::Expenses,
         {"Budget 2026-01 900", "Verkligt 2026-01 600", "Budget 2026-02 1000", "Verkligt 2026-02 0"},
         "Ackumulerad differens",
         kronor({-300, -1300})},
    };
    for (const Case& c : cases) {
        const Chart chart = monthChart(monthByMonth(*c.accounts, period, c.flow), period, c.flow, 600, 300);
        EXPECT_EQ(barTexts(chart.bars), c.bars) << c.what;
        ASSERT_FALSE(chart.lines.empty());
        const ChartLine& line = chart.lines.back();
        EXPECT_EQ(line.series, c.line) << c.what;
        EXPECT_EQ(line.values, c.lineValues) << c.what;
        ASSERT_EQ(line.points.size(), 2u);
        ASSERT_EQ(chart.marks.size(), 2u);
        EXPECT_EQ(chart.at(line.points[1].first, line.points[1].second), &chart.marks[1]) << c.what;
        // A larger value stands higher, whatever its sign; zero is the foot of every bar.
        const auto topOf = [](const ChartBar& b) {
            return b.value.isNegative() ? b.box.y + b.box.h : b.box.y;
        };
        for (std::size_t i = 1; i < chart.bars.size(); ++i) {
            if (chart.bars[i].value != chart.bars[0].value) {
                EXPECT_EQ(chart.bars[i].value > chart.bars[0].value,
                          topOf(chart.bars[i]) < topOf(chart.bars[0]))
                    << c.what << " " << i;
            }
        }
    }

    // A bar leads to the posts of its month and series.
    const Chart chart = monthChart(monthByMonth(accounts, period, Flow::Both), period, Flow::Both, 600, 300);
    ASSERT_TRUE(chart.bars[3].posts);
    EXPECT_EQ(chart.bars[3].posts->dateFrom + " " + chart.bars[3].posts->dateTo, "2026-02-01 2026-02-28");
    EXPECT_EQ(search(accounts, *chart.bars[3].posts).size(), 1u);
    EXPECT_EQ(chart.bars[3].tip, "2026-02 Utgifter: 70,00 kr");
}
