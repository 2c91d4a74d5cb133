#pragma once

// The period of the statistics and report window: the six date parts shown in the labels, the
// yyyymmdd keys, the pickers' lists, and the range of post numbers the period covers.

#include "store/RecordFile.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace stats {

// The date parts exactly as the labels show them: year four digits, month and day two.
struct PeriodParts {
    std::string startYear, startMonth, startDay;
    std::string endYear, endMonth, endDay;
    friend bool operator==(const PeriodParts&, const PeriodParts&) = default;
};

// "yyyymmdd" of the start and of the end: the parts joined without separators.
std::string startKey(const PeriodParts& p);
std::string endKey(const PeriodParts& p);
// The parts of two keys (year characters 1-4, month 5-6, day 7-8): restores the last accepted
// period after a refused change.
PeriodParts partsFromKeys(std::string_view startKey, std::string_view endKey);

// The whole post file: the number of posts and the first and last post's dates as stored.
struct AccountSpan {
    int postCount = 0;
    std::string firstDate, lastDate; // "yyyy-mm-dd"
};

// The post count is that of the last record with a date (blank records above it are left-overs
// of deletions). Empty optional for a file without posts: there is no period to show.
std::optional<AccountSpan> findAccountSpan(const store::RecordFile& kontoData);

// The period from the first to the last post.
PeriodParts wholePeriod(const AccountSpan& span);

// Year picker: the start year of the file up to one year past its end year.
std::vector<std::string> yearList(const AccountSpan& span);
// Month picker: "01" ... "12".
std::vector<std::string> monthList();
// Day picker: "01" up to the days of the month shown on the same side; February has 29 days in a
// Gregorian leap year. A year or month that is no number gives 31 days (the widest list).
std::vector<std::string> dayList(std::string_view yearText, std::string_view monthText);

// The start may not lie after the end (keys compared as numbers). A key that is no number makes
// the period invalid.
bool periodValid(const PeriodParts& p);

// True when the period reaches from on or before the first post to on or after the last post.
bool coversWholeFile(const PeriodParts& p, const AccountSpan& span);
// "Hela Kontofilen !" or "Del av Kontofilen !" (UTF-8).
std::string_view coverageText(bool whole);

// Post numbers first..last of a period (1-based records of KontoData); empty when first > last.
struct PostRange {
    int first = 1;
    int last = 0;
    bool empty() const { return first > last; }
    int size() const { return empty() ? 0 : last - first + 1; }
    friend bool operator==(const PostRange&, const PostRange&) = default;
};

// The first post dated on or after the start and the last post dated on or before the end (dates
// compare as text, posts lie in date order). When no post lies on either side the range is empty
// (first = postCount + 1, last = postCount), so every output yields nothing.
PostRange findRange(const store::RecordFile& kontoData, int postCount, const PeriodParts& p);

// The refusal of a start after the end (UTF-8; lines separated by "\n").
inline constexpr std::string_view PeriodRefusedTitle = "Felaktig datumsättning för tidsperiod";
inline constexpr std::string_view PeriodRefusedText =
    "Startdatum får inte vara > Slutdatum !\n\n Datumändringen återtas !";

// The period of one account as the window keeps it: the parts shown, the last accepted keys, the
// range of posts and the report cursor.
class PeriodSelection {
public:
    // Opening an account: the period from the first to the last post. An account without posts
    // has an empty period, an empty range and no years to pick.
    explicit PeriodSelection(const store::RecordFile& kontoData);

    bool hasPosts() const { return span_.has_value(); }
    const std::optional<AccountSpan>& span() const { return span_; }
    const PeriodParts& parts() const { return parts_; }
    std::vector<std::string> years() const { return span_ ? yearList(*span_) : std::vector<std::string>{}; }
    const PostRange& range() const { return range_; }
    bool wholeFile() const { return whole_; }
    std::string_view coverage() const { return coverageText(whole_); }

    // A changed period. A start after the end is refused (false): the parts return to the last
    // accepted period and the range stays. Otherwise the period is accepted, the range is found
    // again and the cursor goes to its first post.
    bool change(const store::RecordFile& kontoData, const PeriodParts& p);
    // Finds the range of the current period again and puts the cursor on its first post; every
    // output starts with this.
    void reset(const store::RecordFile& kontoData);

    // The report cursor: the first post (or statistics row) an output shows.
    int current = 1;

private:
    std::optional<AccountSpan> span_;
    PeriodParts parts_;
    std::string acceptedStart_, acceptedEnd_;
    PostRange range_;
    bool whole_ = false;
};

} // namespace stats
