#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace store {

// Dates are ten-character texts "yyyy-mm-dd"; comparing them as strings orders them by date.
struct Date {
    int year = 0;
    int month = 0;
    int day = 0;
    friend auto operator<=>(const Date&, const Date&) = default;
};

// Splits by character positions 1-4, 6-7 and 9-10. Empty optional when the text is not of that
// form or names no real day of the Gregorian calendar.
std::optional<Date> parseDate(std::string_view text);
// "yyyy-mm-dd" with a four-digit year and two-digit month and day.
std::string dateText(const Date& d);
// Two digits, "03".
std::string twoDigits(int n);

bool isLeapYear(int year);
int daysInMonth(int year, int month);

// The steps of the date selector. Month steps clamp the day to the last day of the new month
// (31 March one month back gives 29 or 28 February), so no invalid date is ever produced.
Date stepYear(const Date& d, int delta);
Date stepMonth(const Date& d, int delta);
Date stepDay(const Date& d, int delta);

// Days since 1970-01-01 (negative before): the distance between two dates is a subtraction.
int dayNumber(const Date& d);

// 0 = Monday ... 6 = Sunday.
int weekday(const Date& d);

} // namespace store
