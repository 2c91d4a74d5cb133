#include "budget/PeriodPosting.h"

#include "fixtures/AccountFiles.h"
#include "fixtures/TempDrive.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

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

TEST(BudgetPeriodPosting, ARefusedMonthStopsThePostingAndTheMonthsBeforeStayWritten) {
    TempDrive drive;
    const std::string before = budgetPost("2027-01-10", 1, 0, 0, 0, 0, true) +
                               budgetPost("2027-11-15", 2, 99999000, 99999000, 99999000, 99999000, false);
    drive.writeFile("KontoData", before);
    RecordFile konto(drive / "KontoData", 77);

    // Months 1 and 2 of six fit; the third would take the later balance to the limit. Each
    // written month is committed by the caller as it comes.
    std::vector<budget::PeriodPosting> steps;
    const auto commitEach = [&](const budget::PeriodPosting& step) {
        steps.push_back(step);
        konto.commit();
    };
    const auto r = budget::postPeriod(konto, 2, "2027-03-01", 2027, 2,
                                      {month(4, 1, 300), month(5, 3, 300), month(6, 1, 400), month(7, 1, 1),
                                       month(8, 2, 1), month(9, 1, 1)},
                                      commitEach);
    EXPECT_EQ(r.outcome, Outcome::AmountLimit);
    EXPECT_EQ(r.refusedMonth, 6);
    EXPECT_EQ(r.posted, 2);
    EXPECT_EQ(r.postCount, 4);
    EXPECT_EQ(r.recountStart, 2);
    ASSERT_EQ(steps.size(), 2u);
    EXPECT_EQ(steps[0].recountStart, 2);
    EXPECT_EQ(steps[1].recountStart, 3);
    EXPECT_EQ(steps[1].postCount, 4);

    const std::string written = budgetPost("2027-01-10", 1, 0, 0, 0, 0, true) +
                                budgetPost("2027-04-01", 2, 300, 300, 300, 300, false) +
                                budgetPost("2027-05-03", 2, 300, 300, 600, 600, false) +
                                budgetPost("2027-11-15", 2, 99999000, 99999000, 99999600, 99999600, false);
    EXPECT_EQ(drive.readFile("KontoData"), written);
    EXPECT_EQ(konto.image(), written);
    EXPECT_FALSE(konto.dirty());

    // A month that is no date throws before its post touches the image.
    EXPECT_ANY_THROW(budget::postPeriod(konto, 4, "2027-03-01", 2027, 2, {month(4, 31, 5)}));
    EXPECT_EQ(konto.image(), written);
    EXPECT_FALSE(konto.dirty());

    // An empty period writes nothing.
    const auto none = budget::postPeriod(konto, 4, "2027-03-01", 2027, 2, {});
    EXPECT_EQ(none.outcome, Outcome::Done);
    EXPECT_EQ(none.postCount, 4);
    EXPECT_EQ(konto.image(), written);
}
