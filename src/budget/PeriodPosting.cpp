#include "budget/PeriodPosting.h"

#include "ledger/BudgetLedger.h"
#include "store/DateText.h"

#include <algorithm>
#include <string>

namespace budget {

namespace {

// Puts an image back as it was before a refused or failed posting.
class Restore {
public:
    explicit Restore(store::RecordFile& file) : file_(file), saved_(file.image()), wasDirty_(file.dirty()) {}
    void operator()() {
        file_.mutableImage() = saved_;
        if (!wasDirty_)
            file_.markClean();
    }

private:
    store::RecordFile& file_;
    std::string saved_;
    bool wasDirty_;
};

} // namespace

PeriodPosting postPeriod(store::RecordFile& kontoData, int postCount, std::string_view today, int year,
                         int transNr, const std::vector<ScannedMonth>& months) {
    std::vector<ScannedMonth> ordered(months);
    std::stable_sort(ordered.begin(), ordered.end(),
                     [](const ScannedMonth& a, const ScannedMonth& b) { return a.month < b.month; });

    // The posts go in by the ledger's own insertion, without the template: budgeted amounts are no
    // confirmed history.
    ledger::BudgetLedger ledger(kontoData, postCount, std::string(today), nullptr);
    PeriodPosting result{ledger::Outcome::Done, postCount, 0, 0, 0};
    Restore restore(kontoData);
    try {
        for (const auto& m : ordered) {
            const std::string text = m.amount.amountText();
            const ledger::BudgetEntry entry{store::dateText({year, m.month, m.day}), transNr, 0, text, text};
            const ledger::PostResult r = ledger.insert(entry);
            if (r.outcome != ledger::Outcome::Done) {
                restore();
                return {r.outcome, postCount, 0, 0, m.month};
            }
            result.recountStart =
                result.recountStart == 0 ? r.position : std::min(result.recountStart, r.position);
            ++result.posted;
        }
    } catch (...) {
        restore();
        throw;
    }
    result.postCount = ledger.postCount();
    return result;
}

} // namespace budget
