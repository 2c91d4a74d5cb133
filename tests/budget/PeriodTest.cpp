#include "budget/Period.h"

#include "calendar/RedDays.h"
#include "fixtures/TempDrive.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using budget::Period;
using budget::RedDayCoverage;

namespace {

store::Date date(std::string_view text) {
    const auto d = store::parseDate(text);
    EXPECT_TRUE(d) << text;
    return d.value_or(store::Date{});
}

} // namespace

TEST(BudgetPeriod, ProposalStartsWithTheNextQuarterAndEndsInDecember) {
    const struct {
        const char* today;
        Period expected;
    } cases[] = {
        {"2027-01-01", {2027, 4, 12}}, {"2027-03-15", {2027, 4, 12}},  {"2027-04-01", {2027, 7, 12}},
        {"2027-06-30", {2027, 7, 12}}, {"2027-07-01", {2027, 10, 12}}, {"2027-09-30", {2027, 10, 12}},
        {"2027-10-01", {2028, 1, 12}}, {"2027-11-20", {2028, 1, 12}},  {"2027-12-31", {2028, 1, 12}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(budget::proposePeriod(date(c.today)), c.expected) << c.today;
        EXPECT_EQ(budget::proposePeriod(date(c.today)).endDay(), 31);
    }
}

TEST(BudgetPeriod, MonthsChosenOutOfOrderFollowTheOtherEnd) {
    const Period p{2028, 4, 9};
    EXPECT_EQ(budget::withStartMonth(p, 11), (Period{2028, 9, 9}));
    EXPECT_EQ(budget::withStartMonth(p, 2), (Period{2028, 2, 9}));
    EXPECT_EQ(budget::withEndMonth(p, 1), (Period{2028, 4, 4}));
    EXPECT_EQ(budget::withEndMonth(p, 2).endDay(), 30);
    EXPECT_EQ(budget::withEndMonth(Period{2028, 1, 12}, 2).endDay(), 29);
    EXPECT_EQ(budget::withEndMonth(Period{2027, 1, 12}, 2).endDay(), 28);
}

TEST(BudgetPeriod, RedDayCoverageWarnsOnlyForADecemberBeyondTheRegisteredYear) {
    const struct {
        const char* today;
        Period period;
        int redDays;
        RedDayCoverage expected;
    } cases[] = {
        {"2027-03-10", {2028, 1, 12}, 3, RedDayCoverage::WhollyOutside},
        {"2027-08-10", {2028, 1, 12}, 3, RedDayCoverage::PartlyOutside},
        {"2027-06-01", {2028, 1, 12}, 3, RedDayCoverage::PartlyOutside},
        {"2027-03-10", {2028, 1, 11}, 3, RedDayCoverage::Covered},
        {"2027-03-10", {2027, 4, 12}, 3, RedDayCoverage::Covered},
        {"2027-11-10", {2029, 1, 12}, 1, RedDayCoverage::WhollyOutside},
        {"2027-03-10", {2028, 1, 12}, 0, RedDayCoverage::Covered},
    };
    for (const auto& c : cases)
        EXPECT_EQ(budget::redDayCoverage(c.period, date(c.today), c.redDays), c.expected)
            << c.today << " " << c.period.year << "-" << c.period.endMonth;
}

TEST(BudgetPeriod, BudgetDatesMoveOffWeekendsAndRedDays) {
    const struct {
        const char* what;
        const char* candidate;
        Period period;
        std::vector<std::string> red;
        const char* expected;
    } cases[] = {
        // Weekdays stay, red or not.
        {"wednesday", "2027-12-01", {2027, 1, 12}, {}, "2027-12-01"},
        {"red friday", "2027-12-24", {2027, 1, 12}, {"2027-12-24"}, "2027-12-24"},
        // Saturdays go back.
        {"saturday", "2027-08-07", {2027, 1, 12}, {}, "2027-08-06"},
        {"saturday 14th", "2027-08-14", {2027, 1, 12}, {}, "2027-08-13"},
        {"saturday, red friday", "2027-08-14", {2027, 1, 12}, {"2027-08-13"}, "2027-08-12"},
        {"saturday 1st, month before in period", "2027-05-01", {2027, 4, 12}, {}, "2027-04-30"},
        {"saturday 1st, red friday before", "2027-05-01", {2027, 4, 12}, {"2027-04-30"}, "2027-04-29"},
        {"saturday 1st starting the period", "2027-05-01", {2027, 5, 12}, {}, "2027-05-03"},
        {"saturday 1st, red monday", "2027-05-01", {2027, 5, 12}, {"2027-05-03"}, "2027-05-04"},
        {"saturday 1 january", "2028-01-01", {2028, 1, 12}, {}, "2028-01-03"},
        {"saturday 1 january, red 3rd", "2028-01-01", {2028, 1, 12}, {"2028-01-03"}, "2028-01-04"},
        // Saturday the 2nd whose Friday the 1st is red must not fall out of the calendar.
        {"saturday 2nd, red 1st", "2027-10-02", {2027, 9, 12}, {"2027-10-01"}, "2027-09-30"},
        {"saturday 2nd, red 1st, first month", "2027-10-02", {2027, 10, 12}, {"2027-10-01"}, "2027-10-04"},
        // Sundays go forward past red days.
        {"sunday", "2027-09-12", {2027, 1, 12}, {}, "2027-09-13"},
        {"sunday 5th, red monday", "2027-09-05", {2027, 1, 12}, {"2027-09-06"}, "2027-09-07"},
        {"sunday, two red days", "2028-12-24", {2028, 1, 12}, {"2028-12-25", "2028-12-26"}, "2028-12-27"},
        // Month ends.
        {"sunday last day, next month in period", "2027-01-31", {2027, 1, 12}, {}, "2027-02-01"},
        {"sunday last day, red 1st", "2027-01-31", {2027, 1, 12}, {"2027-02-01"}, "2027-02-02"},
        {"sunday last day of the period", "2027-10-31", {2027, 1, 10}, {}, "2027-10-29"},
        {"sunday last day of the period, red friday",
         "2027-10-31",
         {2027, 1, 10},
         {"2027-10-29"},
         "2027-10-28"},
        {"sunday 31 december", "2028-12-31", {2028, 1, 12}, {}, "2028-12-29"},
        {"sunday 28 february", "2027-02-28", {2027, 1, 3}, {}, "2027-03-01"},
        // A run of red days up to the month end.
        {"red run to month end, next month",
         "2028-10-29",
         {2028, 9, 11},
         {"2028-10-30", "2028-10-31"},
         "2028-11-01"},
        {"red run to month end, last month",
         "2028-10-29",
         {2028, 9, 10},
         {"2028-10-30", "2028-10-31"},
         "2028-10-27"},
        {"red run, red friday",
         "2028-10-29",
         {2028, 9, 10},
         {"2028-10-27", "2028-10-30", "2028-10-31"},
         "2028-10-26"},
        {"red run ending before month end", "2028-10-29", {2028, 9, 10}, {"2028-10-30"}, "2028-10-31"},
    };
    for (const auto& c : cases) {
        const budget::RedDaySet red(c.red.begin(), c.red.end());
        EXPECT_EQ(store::dateText(budget::moveOffWeekend(date(c.candidate), c.period, red)), c.expected)
            << c.what;
    }
}

TEST(BudgetPeriod, RedDaySetHoldsTheRegisteredDates) {
    TempDrive drive;
    calendar::RedDays file(drive / "RedDayFil");
    file.insert("Juldagen", "2027-12-25");
    file.insert("Annandag jul", "2027-12-26");
    file.remove(2);
    file.insert("Ny\xE5rsdagen", "2028-01-01");
    EXPECT_EQ(budget::redDaySet(file), (budget::RedDaySet{"2027-12-25", "2028-01-01"}));
}
