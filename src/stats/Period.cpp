#include "stats/Period.h"

#include "stats/AccountFiles.h"
#include "store/DateText.h"

#include <charconv>

namespace stats {

namespace {

constexpr std::size_t DatumWidth = 10;

std::string_view datumOf(const store::RecordFile& kontoData, int n) {
    const std::string_view rec = recordView(kontoData, n);
    return rec.substr(0, std::min(rec.size(), DatumWidth));
}

std::optional<long long> numberOf(std::string_view digits) {
    long long v = 0;
    const auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), v);
    if (digits.empty() || ec != std::errc() || end != digits.data() + digits.size())
        return std::nullopt;
    return v;
}

std::string dashed(std::string_view y, std::string_view m, std::string_view d) {
    std::string s(y);
    s += '-';
    s += m;
    s += '-';
    s += d;
    return s;
}

std::vector<std::string> countTo(int last) {
    std::vector<std::string> list;
    list.reserve(static_cast<std::size_t>(last));
    for (int i = 1; i <= last; ++i)
        list.push_back(store::twoDigits(i));
    return list;
}

} // namespace

std::string startKey(const PeriodParts& p) {
    return p.startYear + p.startMonth + p.startDay;
}

std::string endKey(const PeriodParts& p) {
    return p.endYear + p.endMonth + p.endDay;
}

PeriodParts partsFromKeys(std::string_view s, std::string_view e) {
    auto part = [](std::string_view key, std::size_t pos, std::size_t n) {
        return pos < key.size() ? std::string(key.substr(pos, n)) : std::string();
    };
    return PeriodParts{part(s, 0, 4), part(s, 4, 2), part(s, 6, 2),
                       part(e, 0, 4), part(e, 4, 2), part(e, 6, 2)};
}

std::optional<AccountSpan> findAccountSpan(const store::RecordFile& kontoData) {
    const int n = ledger::findPostCount(kontoData);
    if (n == 0)
        return std::nullopt;
    return AccountSpan{n, std::string(datumOf(kontoData, 1)), std::string(datumOf(kontoData, n))};
}

PeriodParts wholePeriod(const AccountSpan& span) {
    // Characters 1-4, 6-7 and 9-10 of the stored dates.
    auto part = [](const std::string& date, std::size_t pos, std::size_t n) {
        return pos < date.size() ? date.substr(pos, n) : std::string();
    };
    return PeriodParts{part(span.firstDate, 0, 4), part(span.firstDate, 5, 2), part(span.firstDate, 8, 2),
                       part(span.lastDate, 0, 4),  part(span.lastDate, 5, 2),  part(span.lastDate, 8, 2)};
}

std::vector<std::string> yearList(const AccountSpan& span) {
    const PeriodParts whole = wholePeriod(span);
    const auto first = numberOf(whole.startYear);
    const auto last = numberOf(whole.endYear);
    std::vector<std::string> years;
    if (!first || !last)
        return years;
    for (long long y = *first; y <= *last + 1; ++y)
        years.push_back(std::to_string(y));
    return years;
}

std::vector<std::string> monthList() {
    return countTo(12);
}

std::vector<std::string> dayList(std::string_view yearText, std::string_view monthText) {
    const auto year = numberOf(yearText);
    const auto month = numberOf(monthText);
    if (!month || *month < 1 || *month > 12)
        return countTo(31);
    if (*month == 2 && !year)
        return countTo(29);
    return countTo(store::daysInMonth(year ? static_cast<int>(*year) : 2000, static_cast<int>(*month)));
}

bool periodValid(const PeriodParts& p) {
    const auto s = numberOf(startKey(p));
    const auto e = numberOf(endKey(p));
    return s && e && *s <= *e;
}

bool coversWholeFile(const PeriodParts& p, const AccountSpan& span) {
    const PeriodParts whole = wholePeriod(span);
    const auto s = numberOf(startKey(p));
    const auto e = numberOf(endKey(p));
    const auto first = numberOf(startKey(whole));
    const auto last = numberOf(endKey(whole));
    return s && e && first && last && *s <= *first && *e >= *last;
}

std::string_view coverageText(bool whole) {
    return whole ? "Hela Kontofilen !" : "Del av Kontofilen !";
}

PostRange findRange(const store::RecordFile& kontoData, int postCount, const PeriodParts& p) {
    const std::string start = dashed(p.startYear, p.startMonth, p.startDay);
    const std::string end = dashed(p.endYear, p.endMonth, p.endDay);
    PostRange range{postCount + 1, postCount};
    // Binary search would do as the posts lie in date order, but a file with a post out of order
    // must still give the same range as a plain scan from each side.
    for (int n = 1; n <= postCount; ++n)
        if (datumOf(kontoData, n) >= start) {
            range.first = n;
            break;
        }
    int last = 0;
    for (int n = postCount; n >= 1; --n)
        if (datumOf(kontoData, n) <= end) {
            last = n;
            break;
        }
    if (range.first > postCount || last == 0)
        return PostRange{postCount + 1, postCount};
    range.last = last;
    return range;
}

PeriodSelection::PeriodSelection(const store::RecordFile& kontoData) : span_(findAccountSpan(kontoData)) {
    if (!span_)
        return;
    parts_ = wholePeriod(*span_);
    acceptedStart_ = startKey(parts_);
    acceptedEnd_ = endKey(parts_);
    whole_ = true;
    range_ = PostRange{1, span_->postCount};
}

bool PeriodSelection::change(const store::RecordFile& kontoData, const PeriodParts& p) {
    if (!periodValid(p)) {
        parts_ = partsFromKeys(acceptedStart_, acceptedEnd_);
        return false;
    }
    parts_ = p;
    acceptedStart_ = startKey(p);
    acceptedEnd_ = endKey(p);
    whole_ = span_ && coversWholeFile(p, *span_);
    reset(kontoData);
    return true;
}

void PeriodSelection::reset(const store::RecordFile& kontoData) {
    range_ = span_ ? findRange(kontoData, span_->postCount, parts_) : PostRange{};
    current = range_.first;
}

} // namespace stats
