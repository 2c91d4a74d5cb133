#pragma once

// The posts of an import merged into an account's KontoData image in one pass. A statement brings
// hundreds of rows at once: inserting them one by one would move every later post once per row, so
// the rows are placed together and every later balance is moved once, by what the rows before it
// add up to.
//
// A new post goes where a post entered in the window would (after the last other post dated on or
// before it); rows of one day keep their order. For a budget account, a planned post the bank
// confirms is taken out of its place and put back at the bank's date with the bank's amount as its
// actual amount, as a change of amount followed by a move would leave it. Every limit is checked
// before the first byte is written: a refusal names the row and leaves the image as it was. Nothing
// is committed here.

#include "budget/BudgetTemplate.h"
#include "ledger/PostShift.h"
#include "store/Amount.h"
#include "store/RecordFile.h"

#include <string>
#include <vector>

namespace statements {

struct MergedPost {
    std::string date; // "yyyy-mm-dd"
    int transNr = 0;  // new posts: the main transaction (stored as its absolute value)
    int subTransNr = 0;
    // Cash book: the post's amount. Budget account: the actual amount; a new post is budgeted at 0.
    store::Amount amount;
    // Budget account: the unconfirmed post (record number) this row confirms; 0 for a new post. The
    // confirmed post keeps its transaction, sub-transaction and tick.
    int confirms = 0;
    int row = 0; // the caller's number for the row, named by a refusal
};

struct MergeResult {
    ledger::Outcome outcome = ledger::Outcome::Done; // AmountLimit / DoesNotFit: nothing written
    int row = 0;                                     // a refusal: the row that brought it
    int postCount = 0;                               // N after the merge
    int recountStart = 0;                            // the first record whose content changed
    std::vector<int> positions;                      // each post's record, in the order given
};

// Budget posts are confirmed ("*"); the confirmed planned posts are recorded in `mall` (when given)
// as a confirmation records them, the new posts are not. The budget kind is told by the record
// length. Throws std::invalid_argument for a bad date or a confirmed post that is no unconfirmed
// post of the file, std::out_of_range for a bad post count.
MergeResult mergePosts(store::RecordFile& kontoData, int postCount, const std::vector<MergedPost>& posts,
                       budget::BudgetTemplate* mall = nullptr);

} // namespace statements
