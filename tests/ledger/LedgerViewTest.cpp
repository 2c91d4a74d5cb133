#include "ledger/LedgerView.h"

#include "fixtures/TempDrive.h"
#include "store/Records.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

using ledger::ScrollState;
using store::PostRec_Budget;
using store::PostRec_Enkel;
using store::RecordFile;
using store::TransRec;

namespace {

PostRec_Enkel cashPost(std::string_view datum, std::string_view transNr, std::string_view belopp,
                       std::string_view saldo, std::string_view mark = " ") {
    PostRec_Enkel p;
    p.set(PostRec_Enkel::Datum, datum);
    p.set(PostRec_Enkel::TransNr, transNr);
    p.set(PostRec_Enkel::Belopp, belopp);
    p.set(PostRec_Enkel::Saldo, saldo);
    p.set(PostRec_Enkel::Markering, mark);
    return p;
}

// A cash book of n posts, one a day from 2024-01-01 (days beyond 28 roll into later months).
void fillCashBook(RecordFile& f, int n) {
    for (int i = 1; i <= n; ++i) {
        const int month = (i - 1) / 28 + 1;
        const int day = (i - 1) % 28 + 1;
        char datum[11];
        std::snprintf(datum, sizeof datum, "2024-%02d-%02d", month, day);
        f.write(static_cast<std::size_t>(i), cashPost(datum, "1", "0", "0"));
    }
}

TransRec trans(std::string_view name, std::string_view sign) {
    TransRec t;
    t.set(TransRec::TransNamn, name);
    t.set(TransRec::Tecken, sign);
    return t;
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
    for (std::size_t n : {6u, 7u}) {
        auto p = cashPost("2024-02-01", "2", "-10", "-10");
        p.set(PostRec_Enkel::Datum, "");
        f.write(n, p);
    }
    EXPECT_EQ(f.count(), 7u);
    EXPECT_EQ(ledger::findPostCount(f), 5);

    for (std::size_t n = 1; n <= 5; ++n) {
        auto p = f.read<PostRec_Enkel>(n);
        p.set(PostRec_Enkel::Datum, "");
        f.write(n, p);
    }
    EXPECT_EQ(ledger::findPostCount(f), 0);
}

TEST(LedgerView, CurrentPostIsTheLastOnOrBeforeTheWorkingDate) {
    TempDrive drive;
    RecordFile f(drive / "KontoData", 43);
    f.write(1, cashPost("2024-01-10", "1", "0", "0"));
    f.write(2, cashPost("2024-02-01", "2", "5", "5"));
    f.write(3, cashPost("2024-02-01", "2", "5", "10"));
    f.write(4, cashPost("2024-03-05", "2", "5", "15"));

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
    transakt.write(1, trans("Kontostart", " "));
    transakt.write(2, trans("Ins\xE4ttning", "+"));
    transakt.write(3, TransRec()); // freed slot
    transakt.write(4, trans("Hyra", "-"));

    RecordFile f(drive / "KontoData", 43);
    f.write(1, cashPost("2024-01-01", "1", "0", "0"));
    f.write(2, cashPost("2024-01-05", "2", "15000,5", "15000,5"));
    f.write(3, cashPost("2024-01-10", "4", "-1250", "13750,5", "x"));
    f.write(4, cashPost("2024-01-11", "3", "-14000", "-249,5"));
    f.write(5, cashPost("2024-01-12", "9", "-0,25", "-249,75"));
    f.write(6, cashPost("2024-01-13", "-2", "1234567,89", "1234318,14"));
    f.write(7, cashPost("2024-01-14", "", "0", "1234318,14"));

    const auto rows = ledger::readCashView(f, transakt, 1, 7);
    ASSERT_EQ(rows.size(), 7u);
    EXPECT_EQ(rows[0].datum, "2024-01-01");
    EXPECT_EQ(rows[0].transaktion, "Kontostart");
    EXPECT_EQ(rows[0].belopp, "0,00");
    EXPECT_FALSE(rows[0].beloppNegative);

    EXPECT_EQ(rows[1].transaktion, "Insättning");
    EXPECT_EQ(rows[1].belopp, "15 000,50");

    EXPECT_EQ(rows[2].transaktion, "Hyra");
    EXPECT_EQ(rows[2].belopp, "-1 250,00");
    EXPECT_TRUE(rows[2].beloppNegative);
    EXPECT_EQ(rows[2].saldo, "13 750,50");
    EXPECT_FALSE(rows[2].saldoNegative);
    EXPECT_EQ(rows[2].markering, "x");

    EXPECT_EQ(rows[3].transaktion, ""); // freed slot
    EXPECT_EQ(rows[3].saldo, "-249,50");
    EXPECT_TRUE(rows[3].saldoNegative);
    EXPECT_EQ(rows[3].markering, "");

    EXPECT_EQ(rows[4].transaktion, ""); // beyond the file
    EXPECT_EQ(rows[4].belopp, "-0,25");
    EXPECT_EQ(rows[5].transaktion, "Insättning"); // a negated number names its absolute value
    EXPECT_EQ(rows[5].belopp, "1 234 567,89");
    EXPECT_EQ(rows[6].transaktion, "");

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
    transakt.write(1, trans("Kontostart", " "));
    transakt.write(2, trans("Mat", "-"));

    const auto post = [](std::string_view datum, std::string_view budg, std::string_view verkl,
                         std::string_view bs, std::string_view vs, std::string_view ds, bool confirmed) {
        PostRec_Budget p;
        p.set(PostRec_Budget::Datum, datum);
        p.set(PostRec_Budget::TransNr, "2");
        p.set(PostRec_Budget::BudgBelopp, budg);
        p.set(PostRec_Budget::VerklBelopp, verkl);
        p.set(PostRec_Budget::BudgSaldo, bs);
        p.set(PostRec_Budget::VerklSaldo, vs);
        p.set(PostRec_Budget::DiffSaldo, ds);
        p.set(PostRec_Budget::Markering, " ");
        p.set(PostRec_Budget::BStatus, confirmed ? "*" : " ");
        return p;
    };
    RecordFile f(drive / "KontoData", 77);
    f.write(1, post("2024-03-01", "-500", "-450", "-500", "-450", "50", true));
    // Typed text "-0": the sign of the text decides the colour; a zero is shown without a sign.
    f.write(2, post("2024-04-01", "-1200", "-0", "-1700", "-450", "1250", false));

    const auto rows = ledger::readBudgetView(f, transakt, 1, 2);
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_TRUE(rows[0].confirmed);
    EXPECT_EQ(rows[0].transaktion, "Mat");
    EXPECT_EQ(rows[0].budgBelopp, "-500,00");
    EXPECT_EQ(rows[0].verklBelopp, "-450,00");
    EXPECT_EQ(rows[0].diffSaldo, "50,00");
    EXPECT_EQ(rows[0].negative, (std::array<bool, 5>{true, true, true, true, false}));

    EXPECT_FALSE(rows[1].confirmed);
    EXPECT_EQ(rows[1].budgBelopp, "-1 200,00");
    EXPECT_EQ(rows[1].verklBelopp, "0,00");
    EXPECT_EQ(rows[1].budgSaldo, "-1 700,00");
    EXPECT_EQ(rows[1].verklSaldo, "-450,00");
    EXPECT_EQ(rows[1].diffSaldo, "1 250,00");
    EXPECT_EQ(rows[1].negative, (std::array<bool, 5>{true, true, true, true, false}));
}
