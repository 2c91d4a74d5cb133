// Sums per transaction and per month over several accounts whose totals are worked out by hand.

#include "overview/Sums.h"
#include "overview/Search.h"
#include "overview/Sheets.h"
#include "store/Errors.h"

#include "OverviewFiles.h"

#include <gtest/gtest.h>

using namespace overview;
using namespace overviewtest;
using store::Amount;

namespace {

Amount kr(long long whole) {
    return Amount::whole(whole);
}

std::string rowText(const TransactionSum& s) {
    return s.name + " " + s.sum.amountText() + " " + std::to_string(s.count) + " " + std::to_string(s.share);
}

std::vector<std::string> rowTexts(const std::vector<TransactionSum>& rows) {
    std::vector<std::string> out;
    for (const TransactionSum& r : rows)
        out.push_back(rowText(r));
    return out;
}

} // namespace

TEST(Overview, PeriodsAndShares) {
    EXPECT_EQ(monthPeriod(2024, 2), (Period{"2024-02-01", "2024-02-29"}));
    EXPECT_EQ(quarterPeriod(2026, 4), (Period{"2026-10-01", "2026-12-31"}));
    EXPECT_EQ(yearPeriod(2026), (Period{"2026-01-01", "2026-12-31"}));
    EXPECT_THROW(rangePeriod("2026-02-01", "2026-01-31"), store::DataError);
    EXPECT_THROW(rangePeriod("2026-02-30", "2026-03-01"), store::DataError);

    struct Case {
        std::vector<long long> values;
        int whole;
        std::vector<int> parts;
    };
    const std::vector<Case> cases{
        {{1, 1, 1}, 10000, {3334, 3333, 3333}}, // the odd hundredth to the first of equal remainders
        {{-8000, -1600}, 10000, {8333, 1667}},
        {{920, 630, 50}, 1667, {959, 656, 52}},
        {{150, -50}, 10000, {15000, -5000}}, // a refund larger than its part
        {{5, -5}, 10000, {0, 0}},
        {{}, 10000, {}},
    };
    for (const Case& c : cases) {
        std::vector<Amount> values;
        for (long long v : c.values)
            values.push_back(kr(v));
        EXPECT_EQ(apportion(values, c.whole), c.parts) << c.whole;
    }
}

TEST(Overview, PerTransactionAcrossAccounts) {
    TempDrive drive;
    const auto accounts = threeAccounts(drive);
    const PerTransaction both = perTransaction(accounts, monthPeriod(2026, 1), Flow::Both);
    // Mat of all three accounts is one row; Bud's unconfirmed post is no money yet.
    EXPECT_EQ(rowTexts(both.expenses), (std::vector<std::string>{"Hyra -8000 1 8333", "Mat -1600 5 1667"}));
    EXPECT_EQ(rowTexts(both.expenses[1].subs),
              (std::vector<std::string>{"Bröd -920 2 959", " -630 2 656", "Mjölk -50 1 52"}));
    EXPECT_TRUE(both.expenses[0].subs.empty());
    EXPECT_EQ(rowTexts(both.income), (std::vector<std::string>{"Lön 21000 2 10000"}));
    EXPECT_EQ(rowTexts(both.unsigned_), (std::vector<std::string>{"Kontostart 5000 3 0"}));
    EXPECT_EQ(both.expenseTotal, kr(-9600));
    EXPECT_EQ(both.expenseCount, 6);
    EXPECT_EQ(both.incomeTotal, kr(21000));

    const PerTransaction expenses = perTransaction(accounts, monthPeriod(2026, 1), Flow::Expenses);
    EXPECT_TRUE(expenses.income.empty());
    EXPECT_EQ(expenses.expenses.size(), 2u);
    EXPECT_EQ(rowTexts(perTransaction(accounts, monthPeriod(2026, 2), Flow::Income).income),
              (std::vector<std::string>{"Lön 2800 1 10000"}));
}

TEST(Overview, GeneratedYearSumsToItsKnownTotals) {
    TempDrive drive;
    // Post i (from 2) is an income of 100 i when i is even, else an expense of 30 i; 2026 holds
    // posts 1..336 (28 days a month).
    const auto accounts =
        open(drive, {{"Stor", "Ek", fixtures::cashPosts(500), fixtures::standardTransakt(), ""}});
    const PerTransaction year = perTransaction(accounts, yearPeriod(2026), Flow::Both);
    EXPECT_EQ(year.incomeTotal, kr(100 * 168 * 169));        // 2 + 4 + ... + 336
    EXPECT_EQ(year.expenseTotal, kr(-30 * (168 * 168 - 1))); // 3 + 5 + ... + 335
    EXPECT_EQ(year.incomeCount + year.expenseCount, 335);
    const MonthReport months = monthByMonth(accounts, yearPeriod(2026), Flow::Both);
    ASSERT_EQ(months.months.size(), 12u);
    EXPECT_EQ(months.netTotal.actual, year.incomeTotal + year.expenseTotal);
    EXPECT_EQ(months.closingBalance.back(), year.incomeTotal + year.expenseTotal);
}

TEST(Overview, BudgetMonthByMonth) {
    TempDrive drive;
    auto accounts = threeAccounts(drive);
    accounts.erase(accounts.begin(), accounts.begin() + 2);
    const MonthReport r = monthByMonth(accounts, rangePeriod("2026-01-01", "2026-02-28"), Flow::Both);
    ASSERT_TRUE(r.budget);
    EXPECT_EQ(r.months, (std::vector<std::string>{"2026-01", "2026-02"}));
    // Budgeted: every post; actual: confirmed posts only.
    auto cells = [](const MonthRow& row) {
        std::string out = row.name;
        for (const MonthCell& c : row.months)
            out += " " + c.budgeted.amountText() + "/" + c.actual.amountText();
        return out;
    };
    ASSERT_EQ(r.rows.size(), 3u);
    EXPECT_EQ(cells(r.rows[0]), "Lön 0/0 3000/2800");
    EXPECT_EQ(cells(r.rows[1]), "Hyra 0/0 -1000/0");
    EXPECT_EQ(cells(r.rows[2]), "Mat -900/-600 0/0");
    EXPECT_EQ(r.rows[0].total.difference(), kr(-200));
    EXPECT_EQ(r.net[0].difference(), kr(300));
    EXPECT_EQ(r.accumulatedDifference, (std::vector<Amount>{kr(300), kr(1100)}));
    EXPECT_EQ(r.closingBalance, (std::vector<Amount>{kr(-600), kr(2200)}));

    struct Case {
        char sign;
        long long budgeted, actual;
        bool off;
    };
    for (const Case& c : std::vector<Case>{{'-', -500, -600, true},
                                           {'-', -500, -500, false},
                                           {'-', -500, -400, false},
                                           {'+', 3000, 2800, true},
                                           {'+', 3000, 3000, false},
                                           {'+', 3000, 3100, false},
                                           {' ', 0, 5000, false}})
        EXPECT_EQ(offBudget(c.sign, {kr(c.budgeted), kr(c.actual), 1}), c.off)
            << c.sign << c.budgeted << c.actual;
}

TEST(Overview, CashMonthByMonthWithClosingBalance) {
    TempDrive drive;
    auto accounts = threeAccounts(drive);
    accounts.pop_back();
    const MonthReport r = monthByMonth(accounts, rangePeriod("2026-01-01", "2026-02-28"), Flow::Both);
    EXPECT_FALSE(r.budget);
    EXPECT_EQ(r.incomeTotal.months[0].actual, kr(21000));
    EXPECT_EQ(r.expenseTotal.months[0].actual, kr(-9000));
    EXPECT_EQ(r.expenseTotal.months[1].actual, kr(-70));
    EXPECT_EQ(r.closingBalance, (std::vector<Amount>{kr(17000), kr(16930)}));
    // A later period starts from the balance the earlier posts left.
    const MonthReport february = monthByMonth(accounts, monthPeriod(2026, 2), Flow::Both);
    EXPECT_EQ(february.openingBalance, kr(17000));
    EXPECT_EQ(february.closingBalance, (std::vector<Amount>{kr(16930)}));
}

TEST(Overview, SearchFilters) {
    TempDrive drive;
    const auto accounts = threeAccounts(drive);
    auto found = [&](const SearchQuery& q) {
        std::string out;
        for (const Hit& h : search(accounts, q))
            out += accounts[h.account].info.name + std::to_string(h.record) + " ";
        return out;
    };
    struct Case {
        SearchQuery query;
        std::string hits;
    };
    const std::vector<Case> cases{
        {{.main = "Mat"}, "Hem2 Hem3 Hem4 Hem7 Kort2 Bud2 Bud3 "},
        {{.main = "Mat", .sub = "Bröd"}, "Hem2 Hem7 Kort2 "},
        {{.main = "Mat", .sub = ""}, "Hem4 Bud2 Bud3 "},
        {{.sub = "Mjölk"}, "Hem3 "},
        {{.amountFrom = kr(500), .amountTo = kr(820)}, "Kort2 Bud2 "},
        {{.flow = Flow::Income}, "Hem5 Kort3 Bud4 "},
        {{.dateFrom = "2026-02-01"}, "Hem7 Bud4 Bud5 "},
        {{.dateFrom = "2026-01-06", .dateTo = "2026-01-07"}, "Hem3 Hem4 "},
        {{.main = "Mat", .confirmedOnly = true}, "Hem2 Hem3 Hem4 Hem7 Kort2 Bud2 "},
        {{.main = "Saknas"}, ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(found(c.query), c.hits);
}

TEST(Overview, FieldsDecodeAsTheStoreReadsThem) {
    struct Case {
        std::string transNr, belopp;
        int number;
        std::string amount; // "" for a field that is no amount
    };
    const std::vector<Case> cases{
        {"3", "-37,5", 3, "-37,5"},
        {"-4", "0,25", 4, "0,25"},
        {" 12", " 1250", 12, "1250"},
        {"", "12.5", 0, "12,5"},
        {"7", "1,23456", 7, ""},
        {"2", "1 000", 2, ""},
        {"2", std::string(11, '\0'), 2, ""},
    };
    for (const Case& c : cases) {
        const std::string bytes =
            cash("2026-01-01", c.transNr, "0", "0").replace(14, 11, field(c.belopp, 11));
        const PostView post(1, bytes, ledger::Kind::Cash);
        EXPECT_EQ(post.transNr(), c.number) << c.transNr;
        if (c.amount.empty())
            EXPECT_THROW(post.amount(), store::DataError) << c.belopp;
        else
            EXPECT_EQ(post.amount().amountText(), c.amount) << c.belopp;
    }
    EXPECT_THROW(PostView(1, cash("2026-01-01", "1x", "0", "0"), ledger::Kind::Cash).transNr(),
                 store::DataError);
}

TEST(Overview, ReportSheetsHoldTheSumsShown) {
    TempDrive drive;
    auto accounts = threeAccounts(drive);
    EXPECT_EQ(csvText(perTransactionSheet(perTransaction(accounts, monthPeriod(2026, 1), Flow::Both)),
                      CsvForm::Standard),
              "Typ,Huvudtransaktion,Subtransaktion,Belopp,Antal,Andel (%)\r\n"
              "Utgift,Hyra,,-8000.00,1,83.33\r\n"
              "Utgift,Mat,,-1600.00,5,16.67\r\n"
              "Utgift,Mat,Bröd,-920.00,2,9.59\r\n"
              "Utgift,Mat,Utan subtransaktion,-630.00,2,6.56\r\n"
              "Utgift,Mat,Mjölk,-50.00,1,0.52\r\n"
              "Utgift,Summa,,-9600.00,6,100.00\r\n"
              "Inkomst,Lön,,21000.00,2,100.00\r\n"
              "Inkomst,Summa,,21000.00,2,100.00\r\n"
              "Utan tecken,Kontostart,,5000.00,3,\r\n");
    accounts.erase(accounts.begin(), accounts.begin() + 2);
    const MonthReport months = monthByMonth(accounts, rangePeriod("2026-01-01", "2026-02-28"), Flow::Both);
    EXPECT_EQ(csvText(monthSheet(months), CsvForm::Standard),
              "Typ,Transaktion,2026-01 budget,2026-01 verkligt,2026-01 differens,2026-02 budget,"
              "2026-02 verkligt,2026-02 differens,Totalt budget,Totalt verkligt,Totalt differens\r\n"
              "Inkomst,Lön,0.00,0.00,0.00,3000.00,2800.00,-200.00,3000.00,2800.00,-200.00\r\n"
              "Utgift,Hyra,0.00,0.00,0.00,-1000.00,0.00,1000.00,-1000.00,0.00,1000.00\r\n"
              "Utgift,Mat,-900.00,-600.00,300.00,0.00,0.00,0.00,-900.00,-600.00,300.00\r\n"
              "Inkomst,Summa,0.00,0.00,0.00,3000.00,2800.00,-200.00,3000.00,2800.00,-200.00\r\n"
              "Utgift,Summa,-900.00,-600.00,300.00,-1000.00,0.00,1000.00,-1900.00,-600.00,1300.00\r\n"
              ",Netto,-900.00,-600.00,300.00,2000.00,2800.00,800.00,1100.00,2200.00,1100.00\r\n"
              ",Ackumulerad differens,,300.00,,,1100.00,,,,\r\n"
              ",Utgående saldo,,-600.00,,,2200.00,,,,\r\n");
}

TEST(Overview, AccountReportAndStatisticsSheets) {
    TempDrive drive;
    const auto accounts = threeAccounts(drive);
    const Sheet posts = postsSheet(accounts[2], monthPeriod(2026, 2));
    EXPECT_EQ(posts.name, "Bud");
    EXPECT_EQ(posts.rowCount, 2u);
    EXPECT_EQ(
        csvText(posts, CsvForm::Standard),
        "Datum,Huvudtransaktion,Subtransaktion,Budg.belopp,Verkl.belopp,Budg.saldo,Verkl.saldo,Saldodiff.\r\n"
        "2026-02-02,Lön,,3000.00,2800.00,2100.00,1800.00,-300.00\r\n"
        "2026-02-10,Hyra,,-1000.00,-1000.00,1100.00,800.00,-300.00\r\n");
    const stats::AccountFiles& hem = accounts[0].files;
    EXPECT_EQ(csvText(accountReportSheet(hem, stats::ReportKind::Pr_1, {2, 3}, "Hem"), CsvForm::Standard),
              "Datum,Huvudtransaktion,Belopp,Saldo\r\n2026-01-05,Mat,-100.00,4900.00\r\n"
              "2026-01-06,Mat,-50.00,4850.00\r\n");
    EXPECT_THROW(accountReportSheet(hem, stats::ReportKind::Pr_3, {1, 7}, "Hem"), std::invalid_argument);
    const Sheet statistics = statisticsSheet(stats::computeStatistics(hem, {1, 7}, 3), "Mat");
    EXPECT_EQ(statistics.name, "Statistik Mat");
    EXPECT_EQ(csvText(statistics, CsvForm::Standard),
              "Datum,Subtransaktion,Belopp\r\n2026-01-05,Bröd,-100.00\r\n2026-01-06,Mjölk,-50.00\r\n"
              "2026-01-07,,-30.00\r\n2026-02-03,Bröd,-70.00\r\n");

    std::string longName;
    for (int i = 0; i < 35; ++i)
        longName += "å";
    EXPECT_EQ(sheetName("a/b:c[d]*?\\"), "a_b_c_d____");
    EXPECT_EQ(sheetName(longName), longName.substr(0, 62));
}
