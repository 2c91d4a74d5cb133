#include "ledger/LedgerView.h"

#include "fixtures/AccountFiles.h"
#include "fixtures/TempDrive.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

using fixtures::blanked;
using fixtures::budg;
using fixtures::cash;
using fixtures::transRec;
using ledger::ScrollState;
using store::RecordFile;

namespace {

// A cash book of n posts, one a day from 2024-01-01 (days beyond 28 roll into later months).
void fillCashBook(RecordFile& f, int n) {
    for (int i = 1; i <= n; ++i) {
        const int month = (i - 1) / 28 + 1;
        const int day = (i - 1) % 28 + 1;
        char datum[11];
        std::snprintf(datum, sizeof datum, "2024-%02d-%02d", month, day);
        f.writeRaw(static_cast<std::size_t>(i), cash(datum, "1", "0", "0"));
    }
}

// A row as "date|transaction|amount|balance|mark", a red amount followed by " red".
std::string text(const ledger::CashRow& r) {
    const auto red = [](bool negative) { return negative ? " red" : ""; };
    return r.datum + "|" + r.transaktion + "|" + r.belopp + red(r.beloppNegative) + "|" + r.saldo +
           red(r.saldoNegative) + "|" + r.markering;
}
// "date|transaction|confirmed|" and the five amounts, then the mark.
std::string text(const ledger::BudgetRow& r) {
    const std::string* amounts[] = {&r.budgBelopp, &r.verklBelopp, &r.budgSaldo, &r.verklSaldo, &r.diffSaldo};
    std::string out = r.datum + "|" + r.transaktion + (r.confirmed ? "|confirmed" : "|");
    for (std::size_t i = 0; i < 5; ++i)
        out += "|" + *amounts[i] + (r.negative[i] ? " red" : "");
    return out + "|" + r.markering;
}

struct Window {
    int first, last;
    friend bool operator==(const Window&, const Window&) = default;
};
Window shown(const ScrollState& s) {
    return {s.value, s.lastShown};
}

} // namespace

TEST(LedgerView, PostCountSkipsBlankedRecordsAtTheEnd) {
    TempDrive drive;
    RecordFile f(drive / "KontoData", 43);
    EXPECT_EQ(ledger::findPostCount(f), 0);

    fillCashBook(f, 5);
    // Two deleted posts: their dates are blanked, every other field keeps its old bytes.
    for (std::size_t n : {6u, 7u})
        f.writeRaw(n, blanked(cash("2024-02-01", "2", "-10", "-10")));
    EXPECT_EQ(f.count(), 7u);
    EXPECT_EQ(ledger::findPostCount(f), 5);

    for (std::size_t n = 1; n <= 5; ++n)
        f.writeRaw(n, blanked(f.readRaw(n)));
    EXPECT_EQ(ledger::findPostCount(f), 0);
}

TEST(LedgerView, CurrentPostIsTheLastOnOrBeforeTheWorkingDate) {
    TempDrive drive;
    RecordFile f(drive / "KontoData", 43);
    f.mutableImage() = cash("2024-01-10", "1", "0", "0") + cash("2024-02-01", "2", "5", "5") +
                       cash("2024-02-01", "2", "5", "10") + cash("2024-03-05", "2", "5", "15");

    EXPECT_EQ(ledger::findCurrentPost(f, 4, "2024-02-01"), 3); // the last of a day's posts
    EXPECT_EQ(ledger::findCurrentPost(f, 4, "2024-02-29"), 3);
    EXPECT_EQ(ledger::findCurrentPost(f, 4, "2025-01-01"), 4);
    EXPECT_EQ(ledger::findCurrentPost(f, 4, "2024-01-10"), 1);
    // Every post after the working date: the first post, never a value left from another account.
    EXPECT_EQ(ledger::findCurrentPost(f, 4, "2023-12-31"), 1);
    // Only posts up to N count, even when later records hold dates.
    EXPECT_EQ(ledger::findCurrentPost(f, 2, "2024-12-31"), 2);
    EXPECT_EQ(ledger::findCurrentPost(f, 0, "2024-12-31"), 0);
}

TEST(LedgerView, ScrollSetPlacesTheCurrentPostInTheSecondRow) {
    const ScrollState ten = ledger::scrollSet(10, 7);
    EXPECT_EQ(shown(ten), (Window{1, 10}));
    EXPECT_FALSE(ten.enabled);

    const ScrollState eleven = ledger::scrollSet(11, 1);
    EXPECT_TRUE(eleven.enabled);
    EXPECT_EQ(shown(eleven), (Window{1, 10}));
    EXPECT_EQ(eleven.minimum, 1);
    EXPECT_EQ(eleven.maximum, 11);

    EXPECT_EQ(shown(ledger::scrollSet(30, 5)), (Window{4, 13}));
    EXPECT_EQ(shown(ledger::scrollSet(30, 20)), (Window{19, 28}));
    EXPECT_EQ(shown(ledger::scrollSet(30, 21)), (Window{21, 30}));
    EXPECT_EQ(shown(ledger::scrollSet(30, 25)), (Window{21, 30}));
    EXPECT_EQ(shown(ledger::scrollSet(30, 1)), (Window{1, 10}));
    EXPECT_EQ(shown(ledger::scrollSet(30, 2)), (Window{1, 10}));

    // An account without posts: nothing shown, and still a valid range for the bar.
    const ScrollState empty = ledger::scrollSet(0, 0);
    EXPECT_EQ(shown(empty), (Window{1, 0}));
    EXPECT_FALSE(empty.enabled);
    EXPECT_LE(empty.minimum, empty.maximum);
}

TEST(LedgerView, RangeReachesTenPostsEitherWay) {
    const auto range = [](int n, int value) {
        ScrollState s;
        s.value = value;
        ledger::narrowRange(s, n);
        return std::pair(s.minimum, s.maximum);
    };
    EXPECT_EQ(range(30, 4), std::pair(1, 14));
    EXPECT_EQ(range(30, 11), std::pair(1, 21));
    EXPECT_EQ(range(30, 15), std::pair(5, 25));
    EXPECT_EQ(range(30, 21), std::pair(11, 30));
    EXPECT_EQ(range(100000, 50000), std::pair(49990, 50010));

    const ScrollState s = ledger::scrollSet(30, 25);
    EXPECT_EQ(std::pair(s.minimum, s.maximum), std::pair(11, 30));
}

TEST(LedgerView, ScrollingNeverRunsPastTheLastPost) {
    ScrollState eleven = ledger::scrollSet(11, 1);
    EXPECT_TRUE(ledger::scrollTo(eleven, 11, 3));
    EXPECT_EQ(shown(eleven), (Window{2, 11}));

    ScrollState s = ledger::scrollSet(30, 1);
    EXPECT_TRUE(ledger::scrollTo(s, 30, 7));
    EXPECT_EQ(shown(s), (Window{7, 16}));
    EXPECT_EQ(std::pair(s.minimum, s.maximum), std::pair(1, 17));

    EXPECT_TRUE(ledger::scrollTo(s, 30, 30));
    EXPECT_EQ(shown(s), (Window{21, 30}));
    EXPECT_EQ(std::pair(s.minimum, s.maximum), std::pair(11, 30));
    // At the end already: the window stays and nothing needs reading.
    EXPECT_FALSE(ledger::scrollTo(s, 30, 26));
    EXPECT_EQ(shown(s), (Window{21, 30}));
    EXPECT_FALSE(ledger::scrollTo(s, 30, 21));

    EXPECT_TRUE(ledger::scrollTo(s, 30, 0));
    EXPECT_EQ(shown(s), (Window{1, 10}));
    EXPECT_TRUE(ledger::scrollTo(s, 30, 20));
    EXPECT_EQ(shown(s), (Window{20, 29}));

    ScrollState few = ledger::scrollSet(8, 8);
    EXPECT_FALSE(ledger::scrollTo(few, 8, 5));
    EXPECT_EQ(shown(few), (Window{1, 8}));
}

TEST(LedgerView, CashRowsShowNamesAndSignedAmounts) {
    TempDrive drive;
    RecordFile transakt(drive / "Transakt", 36);
    transakt.mutableImage() = transRec("Kontostart", ' ') + transRec("Ins\xE4ttning", '+') +
                              std::string(36, ' ') /* freed slot */ + transRec("Hyra", '-');
    RecordFile f(drive / "KontoData", 43);
    f.mutableImage() =
        cash("2024-01-01", "1", "0", "0") + cash("2024-01-05", "2", "15000,5", "15000,5") +
        cash("2024-01-10", "4", "-1250", "13750,5", "", 'x') + cash("2024-01-11", "3", "-14000", "-249,5") +
        cash("2024-01-12", "9", "-0,25", "-249,75") + cash("2024-01-13", "-2", "1234567,89", "1234318,14") +
        cash("2024-01-14", "", "0", "1234318,14");

    std::vector<std::string> shownRows;
    for (const auto& r : ledger::readCashView(f, transakt, 1, 7))
        shownRows.push_back(text(r));
    // A freed slot and a number beyond the file name nothing; a negated number names its absolute value.
    EXPECT_EQ(shownRows,
              (std::vector<std::string>{
                  "2024-01-01|Kontostart|0,00|0,00|", "2024-01-05|Insättning|15 000,50|15 000,50|",
                  "2024-01-10|Hyra|-1 250,00 red|13 750,50|x", "2024-01-11||-14 000,00 red|-249,50 red|",
                  "2024-01-12||-0,25 red|-249,75 red|", "2024-01-13|Insättning|1 234 567,89|1 234 318,14|",
                  "2024-01-14||0,00|1 234 318,14|"}));

    // A window never holds more than ten rows nor anything past the file.
    RecordFile big(drive / "Big", 43);
    fillCashBook(big, 25);
    const auto window = ledger::readCashView(big, transakt, 14, 30);
    ASSERT_EQ(window.size(), 10u);
    EXPECT_EQ(window.front().datum, "2024-01-14");
    EXPECT_EQ(window.back().datum, "2024-01-23");
    EXPECT_EQ(ledger::readCashView(big, transakt, 21, 30).size(), 5u);
    EXPECT_TRUE(ledger::readCashView(big, transakt, 1, 0).empty());
}

TEST(LedgerView, BudgetRowsCarryConfirmationAndSignPerColumn) {
    TempDrive drive;
    RecordFile transakt(drive / "Transakt", 36);
    transakt.mutableImage() = transRec("Kontostart", ' ') + transRec("Mat", '-');
    RecordFile f(drive / "KontoData", 77);
    // Typed text "-0": the sign of the text decides the colour; a zero is shown without a sign.
    f.mutableImage() = budg("2024-03-01", "2", "-500", "-450", "-500", "-450", "50") +
                       budg("2024-04-01", "2", "-1200", "-0", "-1700", "-450", "1250", ' ', ' ');
    std::vector<std::string> shownRows;
    for (const auto& r : ledger::readBudgetView(f, transakt, 1, 2))
        shownRows.push_back(text(r));
    EXPECT_EQ(shownRows,
              (std::vector<std::string>{
                  "2024-03-01|Mat|confirmed|-500,00 red|-450,00 red|-500,00 red|-450,00 red|50,00|",
                  "2024-04-01|Mat||-1 200,00 red|0,00 red|-1 700,00 red|-450,00 red|1 250,00|"}));
}
