#pragma once

// ChgAccountTrans: another main transaction for the marked post ("one") or for every post that
// uses a given transaction ("all"). With a different sign the changed posts' amounts take the new
// sign and every later balance moves by the change.

#include "catalogue/PostPass.h"
#include "ledger/PostShift.h"
#include "store/RecordFile.h"

#include <filesystem>
#include <string>

namespace catalogue {

struct Replacement {
    int oldTransNr = 0;
    char oldSign = ' '; // '+', '-' or ' '
    int newTransNr = 0;
    char newSign = ' ';
    bool all = false;   // every post using oldTransNr; else only markedPost
    int markedPost = 0; // "one"; also the recount start the main window keeps afterwards
};

struct ReplaceTarget {
    store::RecordFile& kontoData;
    int postCount = 0;
    bool budget = false;
    // Budget accounts: the template that records confirmed posts (may be null), the working date
    // and today's date ("yyyy-mm-dd").
    store::RecordFile* mall = nullptr;
    std::string workingDate;
    std::string today;
    std::filesystem::path journalFolder;
    // Follows the changed posts for the error report (may be null).
    PostTrace* trace = nullptr;
};

struct ReplaceResult {
    ledger::Outcome outcome = ledger::Outcome::Done; // AmountLimit / DoesNotFit: nothing written
    bool signChanged = false;
    int changedPosts = 0;
    int recountStart = 0; // the first changed post: the balance check starts here; 0 for none
};

// Every changed post gets TransNr := newTransNr. When the signs differ its amounts take the new
// sign ('-' negative, anything else positive), the change being taken from the amount the post
// holds, and the balances from it on move by that change. A budget post changed in sign becomes
// confirmed ("*", recorded in the template) unless the working date is later than today, when it
// is only budgeted (" "). KontoData and B-mall are committed together, with the import rules of
// the old transaction moved to the new one when every post is replaced.
ReplaceResult replaceMainTransaction(const ReplaceTarget& target, const Replacement& replacement);

} // namespace catalogue
