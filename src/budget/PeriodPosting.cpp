#include "budget/PeriodPosting.h"

#include "ledger/BudgetLedger.h"
#include "store/DateText.h"

#include <algorithm>
#include <string>

namespace budget {

PeriodPosting postPeriod(store::RecordFile& kontoData, int postCount, std::string_view today, int year,
                         int transNr, const std::vector<ScannedMonth>& months, const PostedMonth& posted) {
    std::vector<ScannedMonth> ordered(months);
    std::stable_sort(ordered.begin(), ordered.end(),
                     [](const ScannedMonth& a, const ScannedMonth& b) { return a.month < b.month; });

    // The posts go in by the ledger's own insertion, without the template: budgeted amounts are no
    // confirmed history. An insertion plans everything before it writes, so a refused or failed
    // month leaves the image as the month before left it.
    ledger::BudgetLedger ledger(kontoData, postCount, std::string(today), nullptr);
    PeriodPosting result{ledger::Outcome::Done, postCount, 0, 0, 0};
    for (const auto& m : ordered) {
        const std::string text = m.amount.amountText();
        const ledger::BudgetEntry entry{store::dateText({year, m.month, m.day}), transNr, 0, text, text};
        const ledger::PostResult r = ledger.insert(entry);
        if (r.outcome != ledger::Outcome::Done) {
            result.outcome = r.outcome;
            result.refusedMonth = m.month;
            return result;
        }
        ++result.posted;
        result.postCount = r.postCount;
        if (posted)
            posted({ledger::Outcome::Done, r.postCount, r.position, result.posted, 0});
        // The months go in date order, so the first one's position is where the balances began
        // to change.
        if (result.recountStart == 0)
            result.recountStart = r.position;
    }
    return result;
}

} // namespace budget
