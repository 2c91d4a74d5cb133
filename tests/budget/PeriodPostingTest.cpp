#include "budget/PeriodPosting.h"

#include "fixtures/AccountFiles.h"
#include "fixtures/TempDrive.h"

#include <gtest/gtest.h>

#include <string>

using budget::ScannedMonth;
using fixtures::budgetPost;
using ledger::Outcome;
using store::Amount;
using store::RecordFile;

namespace {

ScannedMonth month(int m, int day, long long amount) {
    return {m, day, std::to_string(amount), Amount::whole(amount)};
}

} // namespace

TEST(BudgetPeriodPosting, OnePostPerMonthInDateOrderRaisingTheLaterBalances) {
    TempDrive drive;
    const std::string before = budgetPost("2027-01-10", 1, 0, 0, 0, 0, true) +
                               budgetPost("2027-05-15", 3, -100, -120, -100, -120, false) +
                               budgetPost("2027-12-20", 2, 1000, 900, 900, 780, false);
    drive.writeFile("KontoData", before);
    RecordFile konto(drive / "KontoData", 77);

    // Given out of order; posted January to December.
    const auto r = budget::postPeriod(konto, 3, "2027-05-03", 2027, 3,
                                      {month(12, 29, -500), month(4, 30, -500), month(5, 3, -500)});
    EXPECT_EQ(r.outcome, Outcome::Done);
    EXPECT_EQ(r.postCount, 6);
    EXPECT_EQ(r.posted, 3);
    EXPECT_EQ(r.recountStart, 2);
    EXPECT_EQ(r.refusedMonth, 0);

    // Dated up to today: confirmed. Later posts keep their differences.
    const std::string expected = budgetPost("2027-01-10", 1, 0, 0, 0, 0, true) +
                                 budgetPost("2027-04-30", 3, -500, -500, -500, -500, true) +
                                 budgetPost("2027-05-03", 3, -500, -500, -1000, -1000, true) +
                                 budgetPost("2027-05-15", 3, -100, -120, -1100, -1120, false) +
                                 budgetPost("2027-12-20", 2, 1000, 900, -100, -220, false) +
                                 budgetPost("2027-12-29", 3, -500, -500, -600, -720, false);
    EXPECT_EQ(konto.image(), expected);
    // Nothing is committed here.
    EXPECT_EQ(drive.readFile("KontoData"), before);
}

TEST(BudgetPeriodPosting, ARefusedMonthLeavesTheWholeFileAsItWas) {
    TempDrive drive;
    const std::string before = budgetPost("2027-01-10", 1, 0, 0, 0, 0, true) +
                               budgetPost("2027-11-15", 2, 99999000, 99999000, 99999000, 99999000, false);
    drive.writeFile("KontoData", before);
    RecordFile konto(drive / "KontoData", 77);

    // The first two months fit; November's post would take the later balance to the limit.
    const auto r = budget::postPeriod(konto, 2, "2027-03-01", 2027, 2,
                                      {month(4, 1, 300), month(6, 1, 300), month(11, 2, 400)});
    EXPECT_EQ(r.outcome, Outcome::AmountLimit);
    EXPECT_EQ(r.refusedMonth, 11);
    EXPECT_EQ(r.postCount, 2);
    EXPECT_EQ(r.posted, 0);
    EXPECT_EQ(konto.image(), before);
    EXPECT_FALSE(konto.dirty());

    // A month that is no date throws, and also leaves the image as it was.
    EXPECT_ANY_THROW(budget::postPeriod(konto, 2, "2027-03-01", 2027, 2, {month(4, 1, 5), month(4, 31, 5)}));
    EXPECT_EQ(konto.image(), before);
    EXPECT_FALSE(konto.dirty());

    // An empty period writes nothing.
    const auto none = budget::postPeriod(konto, 2, "2027-03-01", 2027, 2, {});
    EXPECT_EQ(none.outcome, Outcome::Done);
    EXPECT_EQ(none.postCount, 2);
    EXPECT_EQ(konto.image(), before);
}
