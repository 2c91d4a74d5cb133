#pragma once

// The budget template B-mall of a budget account: for every main transaction and calendar month a
// rounded amount and a day of the month, taken from the account's confirmed posts. The budget
// alternatives window proposes a new period from it.

#include "store/RecordFile.h"
#include "store/Records.h"

#include <cstdint>
#include <map>
#include <string>
#include <string_view>

namespace budget {

// The template value of a post from its actual amount text. An expense (text beginning with "-")
// is budgeted at the next multiple of ten above its tens: 100 -> 110, 104,50 -> 110, 7 -> 10. An
// income at one ten below its tens: 100 -> 90, 109 -> 90, 25 -> 10, 5 -> -10. An amount that
// rounds (half to even) to less than one krona gives 0: 0,40 -> 0, 0,60 -> 10.
// A text that is no number is a data error.
std::int64_t templateValue(std::string_view actualAmountText);

// The amount field holds eight characters; a value beyond it is stored as the nearest value that
// fits and stays a multiple of ten (99999990), never cut to fewer digits.
std::string templateAmountText(std::int64_t value);

// Works on the B-mall file image; the caller commits the file. At most one record per transaction
// number and month: lookups take the first match, new records go after the last, none is ever
// removed.
class BudgetTemplate {
public:
    // The template as the file holds it: the count is the number of records in the file.
    explicit BudgetTemplate(store::RecordFile& mall);

    // Opening a budget account: an account with more than one post and an empty template gets one
    // built from its posts (Skapa_BudgMall). Returns true when it built one.
    bool open(const store::RecordFile& kontoData, int postCount, std::string_view today);

    // BudgMall_Update: records a confirmed post. The first record of its transaction number and
    // month gets the post's value and day (replacing, not adding) and keeps its exclusion mark;
    // without one a record is appended with no mark.
    void update(const store::PostRec_Budget& post);

    // Skapa_BudgMall: records the confirmed posts of the previous year (taken from today's date),
    // in file order. Without posts of that year, the posts after the older years (or all posts)
    // are taken.
    void build(const store::RecordFile& kontoData, int postCount, std::string_view today);

    int count() const { return count_; }
    // Reads the count from the file again after another window changed it.
    void reloadCount();

private:
    static std::string key(std::string_view transNr, std::string_view month);

    store::RecordFile& mall_;
    int count_ = 0;
    // (trimmed transaction number, month) -> first record holding that pair.
    std::map<std::string, int> index_;
};

} // namespace budget
