#pragma once

// "Budgetera ovanstående": one budget post per scanned month of the period, for the chosen
// transaction, into the account's KontoData.

#include "budget/PeriodFill.h"
#include "ledger/PostShift.h"
#include "store/RecordFile.h"

#include <string_view>
#include <vector>

namespace budget {

struct PeriodPosting {
    ledger::Outcome outcome = ledger::Outcome::Done;
    int postCount = 0;    // N after the posting (unchanged when refused)
    int recountStart = 0; // the first post whose balances changed; the balance check starts here
    int posted = 0;       // posts written
    int refusedMonth = 0; // the month whose post was refused (outcome not Done), else 0
};

// Each month in month order becomes a post dated year-mm-dd, placed after the last post dated on or
// before it: budgeted and actual amount both the canonical text of the month's amount, balances
// running on from the post before, its difference that of the post before; confirmed when the date
// is not later than `today`, with no sub-transaction. Later posts move up one record with both
// balances raised by the amount and their difference unchanged. The template is not touched.
//
// All or nothing: when any post would bring an amount or balance to the limit (or a text beyond its
// field), nothing is written and the outcome says why; the image is as it was. A data error in the
// file (thrown) also leaves the image as it was. Nothing is committed: the caller commits KontoData
// (with B-mall, in one group) and then runs the balance check from recountStart.
PeriodPosting postPeriod(store::RecordFile& kontoData, int postCount, std::string_view today, int year,
                         int transNr, const std::vector<ScannedMonth>& months);

} // namespace budget
