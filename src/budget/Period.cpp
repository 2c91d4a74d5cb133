#include "budget/Period.h"

#include "calendar/RedDays.h"

#include <algorithm>

namespace budget {

namespace {

constexpr int Saturday = 5;
constexpr int Sunday = 6;

bool isRed(const RedDaySet& red, const store::Date& d) {
    return red.contains(store::dateText(d));
}

// Saturday the 1st, or the 2nd whose Friday is red: the last days of the month before when that
// month is in the period, else the Monday after.
store::Date saturdayOutOfMonth(const store::Date& saturday, const Period& period, const RedDaySet& red) {
    const int m = saturday.month;
    if (m > 1 && period.contains(m - 1)) {
        // The Friday (or the Thursday when the 1st is a red Friday) is the day before the 1st.
        store::Date d = store::stepDay({saturday.year, m, 1}, -1);
        if (saturday.day == 1 && isRed(red, d))
            d = store::stepDay(d, -1);
        return d;
    }
    store::Date monday = store::stepDay(saturday, 2);
    if (isRed(red, monday))
        monday = store::stepDay(monday, 1);
    return monday;
}

store::Date moveSaturday(const store::Date& sat, const Period& period, const RedDaySet& red) {
    if (sat.day == 1)
        return saturdayOutOfMonth(sat, period, red);
    store::Date friday = store::stepDay(sat, -1);
    if (!isRed(red, friday))
        return friday;
    if (sat.day == 2)
        return saturdayOutOfMonth(sat, period, red);
    return store::stepDay(sat, -2);
}

store::Date moveSunday(const store::Date& sun, const Period& period, const RedDaySet& red) {
    const int last = store::daysInMonth(sun.year, sun.month);
    store::Date d = sun;
    // Forward past red days while the month lasts.
    while (d.day < last) {
        d = store::stepDay(d, 1);
        if (!isRed(red, d))
            return d;
    }
    // The month ran out: the first days of the next month when it is in the period.
    if (sun.month < 12 && period.contains(sun.month + 1)) {
        store::Date first{sun.year, sun.month + 1, 1};
        if (isRed(red, first))
            first.day = 2;
        return first;
    }
    // Otherwise back to the Friday before the Sunday. On the last day of the month this is the
    // last day - 2; after a run of red days up to the month end it keeps the post off the run.
    store::Date friday = store::stepDay(sun, -2);
    if (isRed(red, friday))
        friday = store::stepDay(friday, -1);
    return friday;
}

} // namespace

Period proposePeriod(const store::Date& today) {
    if (today.month < 4)
        return {today.year, 4, 12};
    if (today.month < 7)
        return {today.year, 7, 12};
    if (today.month <= 9)
        return {today.year, 10, 12};
    return {today.year + 1, 1, 12};
}

Period withStartMonth(Period p, int month) {
    p.startMonth = std::min(month, p.endMonth);
    return p;
}

Period withEndMonth(Period p, int month) {
    p.endMonth = std::max(month, p.startMonth);
    return p;
}

RedDaySet redDaySet(const calendar::RedDays& redDays) {
    RedDaySet out;
    for (const auto& day : redDays.list())
        out.insert(day.date);
    return out;
}

RedDayCoverage redDayCoverage(const Period& p, const store::Date& today, int redDayCount) {
    if (p.endMonth != 12 || redDayCount < 1)
        return RedDayCoverage::Covered;
    if (p.year > today.year + 1 || (p.year == today.year + 1 && today.month < 6))
        return RedDayCoverage::WhollyOutside;
    if (p.year == today.year + 1)
        return RedDayCoverage::PartlyOutside;
    return RedDayCoverage::Covered;
}

store::Date moveOffWeekend(const store::Date& candidate, const Period& period, const RedDaySet& redDays) {
    switch (store::weekday(candidate)) {
    case Saturday:
        return moveSaturday(candidate, period, redDays);
    case Sunday:
        return moveSunday(candidate, period, redDays);
    default:
        return candidate;
    }
}

} // namespace budget
