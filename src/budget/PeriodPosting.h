#pragma once

// "Budgetera ovanstående": one budget post per scanned month of the period, for the chosen
// transaction, into the account's KontoData.

#include "budget/PeriodFill.h"
#include "ledger/PostShift.h"
#include "store/RecordFile.h"

#include <functional>
#include <string_view>
#include <vector>

namespace budget {

struct PeriodPosting {
    ledger::Outcome outcome = ledger::Outcome::Done;
    int postCount = 0;    // N after the months written
    int recountStart = 0; // the first post whose balances changed (handed to `posted`: this month's)
    int posted = 0;       // posts written
    int refusedMonth = 0; // the month whose post was refused (outcome not Done), else 0
};

// Called with the image holding each month's post as soon as it is in: the caller commits KontoData
// there and runs its follow-up (the balance check from recountStart, the view), so a month once
// written stays written whatever happens to a later one.
using PostedMonth = std::function<void(const PeriodPosting& soFar)>;

// Each month in month order becomes a post dated year-mm-dd, placed after the last post dated on or
// before it: budgeted and actual amount both the canonical text of the month's amount, balances
// running on from the post before, its difference that of the post before; confirmed when the date
// is not later than `today`, with no sub-transaction. Later posts move up one record with both
// balances raised by the amount and their difference unchanged. The template is not touched.
//
// Month by month: when a post would bring an amount or balance to the limit (or a text beyond its
// field), the posting stops there with the outcome and the refused month; the months before it stay
// in the image (and were handed to `posted`), the refused one leaves no trace. A data error in the
// file is thrown before the month's post touches the image.
PeriodPosting postPeriod(store::RecordFile& kontoData, int postCount, std::string_view today, int year,
                         int transNr, const std::vector<ScannedMonth>& months,
                         const PostedMonth& posted = {});

} // namespace budget
