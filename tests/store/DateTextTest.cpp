#include "store/DateText.h"

#include <gtest/gtest.h>

#include <vector>

using store::Date;

namespace {

Date at(std::string_view text) {
    const auto d = store::parseDate(text);
    EXPECT_TRUE(d) << text;
    return d.value_or(Date{});
}

TEST(DateTextTest, ParseAcceptsOnlyRealDays) {
    for (const char* text :
         {"2012-02-29", "2000-02-29", "2013-02-28", "2013-12-31", "2013-04-30", "0001-01-01", "9999-12-31"})
        EXPECT_TRUE(store::parseDate(text)) << text;
    for (const char* text :
         {"2013-02-29", "2100-02-29", "1900-02-29", "2013-04-31", "2013-13-01", "2013-00-10", "2013-01-00",
          "2013-01-32", "0000-01-01", "2013-1-01", "2013-01-1 ", "2013/01/01", "20a3-01-01", " 2013-01-01",
          "2013-01-011", "+013-01-01", "2013--1-01", "", "          "})
        EXPECT_FALSE(store::parseDate(text)) << '"' << text << '"';

    EXPECT_EQ(at("2013-03-05"), (Date{2013, 3, 5}));
}

TEST(DateTextTest, TextHasFixedWidths) {
    EXPECT_EQ(store::dateText(Date{2013, 3, 5}), "2013-03-05");
    EXPECT_EQ(store::dateText(Date{812, 12, 24}), "0812-12-24");
    EXPECT_EQ(store::twoDigits(3), "03");
    EXPECT_EQ(store::twoDigits(0), "00");
    EXPECT_EQ(store::twoDigits(12), "12");
}

TEST(DateTextTest, LeapYears) {
    const std::vector<std::pair<int, bool>> cases = {{2000, true},  {2100, false}, {2012, true},
                                                     {2013, false}, {1900, false}, {2400, true}};
    for (const auto& [year, leap] : cases) {
        EXPECT_EQ(store::isLeapYear(year), leap) << year;
        EXPECT_EQ(store::daysInMonth(year, 2), leap ? 29 : 28) << year;
    }
    for (const int month : {4, 6, 9, 11})
        EXPECT_EQ(store::daysInMonth(2013, month), 30) << month;
    for (const int month : {1, 3, 5, 7, 8, 10, 12})
        EXPECT_EQ(store::daysInMonth(2013, month), 31) << month;
}

struct Step {
    const char* from;
    int delta;
    const char* to;
};

TEST(DateTextTest, DaySteps) {
    const std::vector<Step> cases = {
        {"2012-02-28", 1, "2012-02-29"},    {"2012-02-29", 1, "2012-03-01"},
        {"2013-02-28", 1, "2013-03-01"},    {"2008-03-01", -1, "2008-02-29"},
        {"2009-03-01", -1, "2009-02-28"},   {"2010-01-01", -1, "2009-12-31"},
        {"2013-06-01", -1, "2013-05-31"},   {"2013-05-01", -1, "2013-04-30"},
        {"2013-12-31", 1, "2014-01-01"},    {"2100-02-28", 1, "2100-03-01"},
        {"2000-02-28", 1, "2000-02-29"},    {"2100-03-01", -1, "2100-02-28"},
        {"2000-03-01", -1, "2000-02-29"},   {"2012-01-01", 366, "2013-01-01"},
        {"2013-01-01", -365, "2012-01-02"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(store::dateText(store::stepDay(at(c.from), c.delta)), c.to) << c.from << " " << c.delta;
}

TEST(DateTextTest, MonthAndYearStepsClampTheDay) {
    const std::vector<Step> months = {
        {"2013-03-31", -1, "2013-02-28"}, {"2012-03-31", -1, "2012-02-29"}, {"2013-01-31", 1, "2013-02-28"},
        {"2013-05-31", 1, "2013-06-30"},  {"2013-12-15", 1, "2014-01-15"},  {"2013-01-15", -1, "2012-12-15"},
        {"2013-01-31", -1, "2012-12-31"}, {"2013-11-30", 14, "2015-01-30"}, {"2013-03-31", -25, "2011-02-28"},
    };
    for (const auto& c : months)
        EXPECT_EQ(store::dateText(store::stepMonth(at(c.from), c.delta)), c.to) << c.from << " " << c.delta;

    const std::vector<Step> years = {{"2012-02-29", 1, "2013-02-28"},
                                     {"2012-02-29", 4, "2016-02-29"},
                                     {"2012-02-29", -112, "1900-02-28"},
                                     {"2013-07-04", -1, "2012-07-04"}};
    for (const auto& c : years)
        EXPECT_EQ(store::dateText(store::stepYear(at(c.from), c.delta)), c.to) << c.from << " " << c.delta;
}

TEST(DateTextTest, StepsNeverLeaveTheTextForm) {
    EXPECT_EQ(store::dateText(store::stepDay(at("9999-12-31"), 1)), "9999-12-31");
    EXPECT_EQ(store::dateText(store::stepDay(at("0001-01-01"), -1)), "0001-01-01");
    EXPECT_EQ(store::dateText(store::stepMonth(at("9999-12-15"), 1)), "9999-12-31");
    EXPECT_EQ(store::dateText(store::stepYear(at("0001-06-15"), -1)), "0001-06-15");
}

TEST(DateTextTest, Weekdays) {
    const std::vector<std::pair<const char*, int>> cases = {
        {"2024-01-01", 0}, {"2000-01-01", 5}, {"1970-01-01", 3}, {"1969-12-31", 2},
        {"2012-02-29", 2}, {"2100-03-01", 0}, {"1600-03-01", 2}, {"2026-12-24", 3},
    };
    for (const auto& [text, day] : cases)
        EXPECT_EQ(store::weekday(at(text)), day) << text;
}

// Walking day by day through two leap-year boundaries: every step gives a real day, the texts sort
// as the dates do, the weekdays cycle, and stepping back returns to the day before.
TEST(DateTextTest, DayByDayWalkStaysConsistent) {
    Date d = at("1999-12-25");
    std::string previous = store::dateText(d);
    int days = 0;
    while (store::dateText(d) < "2001-01-05") {
        const Date next = store::stepDay(d, 1);
        const std::string text = store::dateText(next);
        ASSERT_TRUE(store::parseDate(text)) << text;
        EXPECT_LT(previous, text);
        EXPECT_EQ(store::weekday(next), (store::weekday(d) + 1) % 7) << text;
        EXPECT_EQ(store::stepDay(next, -1), d) << text;
        previous = text;
        d = next;
        ++days;
    }
    EXPECT_EQ(days, 7 + 366 + 4);
}

} // namespace
