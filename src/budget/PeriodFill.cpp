#include "budget/PeriodFill.h"

#include "store/DateText.h"
#include "store/Records.h"

#include <algorithm>
#include <cstdlib>

namespace budget {

namespace {

constexpr std::string_view MonthNames[12] = {"Januari",   "Februari", "Mars",     "April",
                                             "Maj",       "Juni",     "Juli",     "Augusti",
                                             "September", "Oktober",  "November", "December"};

// "§" in Windows-1252 or in UTF-8.
bool hasParagraph(std::string_view line) {
    return line.starts_with("\xA7") || line.starts_with("\xC2\xA7");
}
bool isParagraph(std::string_view text) {
    return text == "\xA7" || text == "\xC2\xA7";
}

} // namespace

std::vector<PlanTransaction> listTransactions(const store::RecordFile& transakt,
                                              const std::vector<TemplateRecord>& mall, Filter filter) {
    using store::TransRec;
    std::vector<PlanTransaction> out;
    const auto count = transakt.count();
    for (std::size_t n = 1; n <= count; ++n) {
        const auto rec = transakt.read<TransRec>(n);
        if (rec.isBlank(TransRec::TransNamn))
            continue;
        PlanTransaction t;
        t.transNr = static_cast<int>(n);
        t.excluded = isExcluded(mall, t.transNr);
        if ((filter == Filter::BudgetableOnly && t.excluded) ||
            (filter == Filter::ExcludedOnly && !t.excluded))
            continue;
        t.name = rec.text(TransRec::TransNamn);
        t.sign = rec.raw(TransRec::Tecken).front();
        for (const auto& r : recordsOf(mall, t.transNr))
            if (r.month >= 1 && !t.months[static_cast<std::size_t>(r.month - 1)])
                t.months[static_cast<std::size_t>(r.month - 1)] = r;
        out.push_back(std::move(t));
    }
    return out;
}

std::string boxAmountText(std::int64_t value) {
    return store::formatPattern(store::Amount::whole(value), "#### #### ##0");
}

MonthRows fillFromTemplate(const std::vector<TemplateRecord>& mall, int transNr, const Period& period,
                           const RedDaySet& redDays) {
    // The records the walk takes, and the months that have one of their own.
    std::vector<TemplateRecord> taken;
    std::array<bool, 12> own{};
    for (const auto& r : recordsOf(mall, transNr)) {
        if (r.monthBlank)
            break;
        if (r.month == 0 || !period.contains(r.month) || r.day == 0 || !r.amount)
            continue;
        taken.push_back(r);
        own[static_cast<std::size_t>(r.month - 1)] = true;
    }
    MonthRows rows;
    std::array<bool, 12> filled{};
    for (const auto& r : taken) {
        const store::Date candidate{period.year, r.month,
                                    std::min(r.day, store::daysInMonth(period.year, r.month))};
        store::Date date = moveOffWeekend(candidate, period, redDays);
        const auto into = static_cast<std::size_t>(date.month - 1);
        // A date that would leave for a month with a date of its own stays in its own month, so
        // no month's budget is lost.
        if (date.month != r.month && (date.year != period.year || own[into] || filled[into]))
            date = moveOffWeekend(candidate, Period{period.year, r.month, r.month}, redDays);
        const auto row = static_cast<std::size_t>(date.month - 1);
        filled[row] = true;
        rows[row] = {store::twoDigits(date.day), boxAmountText(*r.amount), true};
    }
    return rows;
}

ScanResult scanRows(const MonthRows& rows, char sign) {
    ScanResult result;
    for (int m = 1; m <= 12; ++m) {
        const MonthRow& row = rows[static_cast<std::size_t>(m - 1)];
        const std::string_view dayText = store::trimField(row.day);
        if (dayText.empty())
            continue;
        std::string digits;
        for (const char c : row.amount)
            if (c != ' ')
                digits.push_back(c);
        const auto value = store::Amount::parse(digits);
        const int day = std::atoi(std::string(dayText).c_str());
        if (!value || day < 1) {
            result.missingAmount = m;
            return result;
        }
        std::int64_t whole = value->roundedWholeHalfEven();
        if (sign == '-')
            whole = -std::abs(whole);
        ScannedMonth s{m, day, "", store::Amount::whole(whole)};
        s.amountText = (sign == '-' ? "-" : "") + std::to_string(sign == '-' ? -whole : whole);
        result.months.push_back(std::move(s));
    }
    return result;
}

std::string_view monthName(int month) {
    return month >= 1 && month <= 12 ? MonthNames[month - 1] : std::string_view();
}

std::string infoSection(std::string_view file, int section) {
    const std::string number = std::to_string(section);
    std::string out;
    bool inside = false;
    while (!file.empty()) {
        const auto eol = file.find('\n');
        std::string_view line = file.substr(0, eol);
        file = eol == std::string_view::npos ? std::string_view() : file.substr(eol + 1);
        if (line.ends_with('\r'))
            line.remove_suffix(1);
        if (inside) {
            if (hasParagraph(line))
                break;
            out.append(line);
            out.push_back('\n');
        } else if (line.starts_with(number) && isParagraph(line.substr(number.size()))) {
            inside = true;
        }
    }
    return out;
}

} // namespace budget
