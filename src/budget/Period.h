#pragma once

// The budget period of the planning window: one budget year and a run of months, the proposal made
// from today's date, and the moves that take a proposed budget date off weekends and red days.

#include "store/DateText.h"

#include <set>
#include <string>
#include <string_view>

namespace calendar {
class RedDays;
}

namespace budget {

struct Period {
    int year = 0;
    int startMonth = 1; // 1..12
    int endMonth = 12;  // startMonth..12

    bool contains(int month) const { return month >= startMonth && month <= endMonth; }
    // The last day of the end month ("31" for December).
    int endDay() const { return store::daysInMonth(year, endMonth); }
    friend bool operator==(const Period&, const Period&) = default;
};

// PeriodSuggest: the next quarter that has not begun, always ending in December. Before April the
// period starts in April, before July in July, before October in October; from October on it is
// the whole of next year.
Period proposePeriod(const store::Date& today);

// A start month later than the end month is taken as the end month; an end month earlier than the
// start month as the start month. The other month stays.
Period withStartMonth(Period p, int month);
Period withEndMonth(Period p, int month);

// The red days the user has registered, as "yyyy-mm-dd" texts.
using RedDaySet = std::set<std::string>;
RedDaySet redDaySet(const calendar::RedDays& redDays);

// How far a period ending in December lies beyond the red days the user can have registered: they
// are kept for the current budget year only (up to June of next year once July has come).
enum class RedDayCoverage {
    Covered,       // no warning
    WhollyOutside, // "Inställd budgetperiod ligger helt utanför möjlig täckning ..."
    PartlyOutside, // "Inställd budgetperiod ligger helt eller delvis utanför möjlig täckning ..."
};
// Only a period ending in December is judged, and only when at least one red day is registered.
RedDayCoverage redDayCoverage(const Period& p, const store::Date& today, int redDayCount);

// The budget date for a template day: a weekday stays where it is, even on a red day. A Saturday
// goes back to the Friday (the Thursday when the Friday is red); on the 1st it goes to the last day
// of the month before when that month is in the period, else forward to Monday the 3rd (the 4th
// when the 3rd is red). A Sunday goes forward past red days; when that runs out of the month (or the
// Sunday is the month's last day) it goes on to the 1st of the next month (the 2nd when the 1st is
// red) when that month is in the period and in the year, else back to the Friday before the Sunday
// (the Thursday when the Friday is red). A Saturday the 2nd with a red Friday the 1st follows the
// rule of Saturday the 1st, so the day never falls out of the calendar.
store::Date moveOffWeekend(const store::Date& candidate, const Period& period, const RedDaySet& redDays);

} // namespace budget
