#include "store/DateText.h"

#include <algorithm>

namespace store {

namespace {

// The years a ten-character date text can hold.
constexpr int FirstYear = 1;
constexpr int LastYear = 9999;

// Days since 1970-01-01 of a Gregorian date, and back (the proleptic calendar in both directions).
long long daysFromCivil(int y, int m, int d) {
    y -= m <= 2 ? 1 : 0;
    const long long era = (y >= 0 ? y : y - 399) / 400;
    const long long yoe = y - era * 400;
    const long long doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const long long doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

Date civilFromDays(long long z) {
    z += 719468;
    const long long era = (z >= 0 ? z : z - 146096) / 146097;
    const long long doe = z - era * 146097;
    const long long yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const long long doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const long long mp = (5 * doy + 2) / 153;
    const int d = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    const int m = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    const int y = static_cast<int>(yoe + era * 400 + (m <= 2 ? 1 : 0));
    return Date{y, m, d};
}

// A date whose year left the range of the text form stops at the range's end.
Date withinTextRange(Date d) {
    if (d.year < FirstYear)
        return Date{FirstYear, 1, 1};
    if (d.year > LastYear)
        return Date{LastYear, 12, 31};
    return d;
}

} // namespace

std::optional<Date> parseDate(std::string_view text) {
    if (text.size() != 10 || text[4] != '-' || text[7] != '-')
        return std::nullopt;
    // The eight digit places checked together, with no branch between them: every post of an
    // account is read through here.
    const auto at = [&](std::size_t i) {
        return static_cast<unsigned>(static_cast<unsigned char>(text[i]) - '0');
    };
    const unsigned y0 = at(0), y1 = at(1), y2 = at(2), y3 = at(3), m0 = at(5), m1 = at(6), d0 = at(8),
                   d1 = at(9);
    if ((y0 > 9) | (y1 > 9) | (y2 > 9) | (y3 > 9) | (m0 > 9) | (m1 > 9) | (d0 > 9) | (d1 > 9))
        return std::nullopt;
    const Date d{static_cast<int>(y0 * 1000 + y1 * 100 + y2 * 10 + y3), static_cast<int>(m0 * 10 + m1),
                 static_cast<int>(d0 * 10 + d1)};
    if (d.year < FirstYear || d.month < 1 || d.month > 12 || d.day < 1 ||
        (d.day > 28 && d.day > daysInMonth(d.year, d.month)))
        return std::nullopt;
    return d;
}

std::string dateText(const Date& d) {
    // Every date of the text range in one small buffer: reports and fingerprints write many.
    if (d.year >= 0 && d.year <= 9999 && d.month >= 0 && d.month <= 99 && d.day >= 0 && d.day <= 99) {
        char text[10] = {char('0' + d.year / 1000),
                         char('0' + d.year / 100 % 10),
                         char('0' + d.year / 10 % 10),
                         char('0' + d.year % 10),
                         '-',
                         char('0' + d.month / 10),
                         char('0' + d.month % 10),
                         '-',
                         char('0' + d.day / 10),
                         char('0' + d.day % 10)};
        return std::string(text, sizeof text);
    }
    std::string year = std::to_string(d.year);
    if (year.size() < 4)
        year.insert(0, 4 - year.size(), '0');
    return year + "-" + twoDigits(d.month) + "-" + twoDigits(d.day);
}

std::string twoDigits(int n) {
    std::string s = std::to_string(n);
    return s.size() < 2 ? "0" + s : s;
}

bool isLeapYear(int year) {
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int daysInMonth(int year, int month) {
    switch (month) {
    case 2:
        return isLeapYear(year) ? 29 : 28;
    case 4:
    case 6:
    case 9:
    case 11:
        return 30;
    default:
        return 31;
    }
}

Date stepYear(const Date& d, int delta) {
    const int year = std::clamp(d.year + delta, FirstYear, LastYear);
    return Date{year, d.month, std::min(d.day, daysInMonth(year, d.month))};
}

Date stepMonth(const Date& d, int delta) {
    const long long index = static_cast<long long>(d.year) * 12 + (d.month - 1) + delta;
    const long long year = index >= 0 ? index / 12 : (index - 11) / 12;
    const int month = static_cast<int>(index - year * 12) + 1;
    if (year < FirstYear)
        return withinTextRange(Date{FirstYear - 1, 1, 1});
    if (year > LastYear)
        return withinTextRange(Date{LastYear + 1, 1, 1});
    const int y = static_cast<int>(year);
    return Date{y, month, std::min(d.day, daysInMonth(y, month))};
}

Date stepDay(const Date& d, int delta) {
    return withinTextRange(civilFromDays(daysFromCivil(d.year, d.month, d.day) + delta));
}

int dayNumber(const Date& d) {
    return static_cast<int>(daysFromCivil(d.year, d.month, d.day));
}

int weekday(const Date& d) {
    // 1970-01-01 was a Thursday (3 counting from Monday = 0).
    const long long days = daysFromCivil(d.year, d.month, d.day);
    return static_cast<int>(((days + 3) % 7 + 7) % 7);
}

} // namespace store
