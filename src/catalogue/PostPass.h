#pragma once

// The pass shared by a change of sign and by replacing a transaction: chosen posts get their
// amounts with a new sign and every balance from the first of them on moves by the change. The
// changes are worked out first, limits included, and written only by apply(), so a refused pass
// leaves the file as it was.

#include "ledger/PostShift.h"
#include "store/Amount.h"
#include "store/RecordFile.h"

#include <functional>
#include <map>
#include <string>
#include <string_view>

namespace catalogue {

// Where a pass over the posts stood when it failed, for the error report: the post last worked on,
// its record as read and as it was to be written ("" while not yet worked out, and for a post
// being removed).
struct PostTrace {
    int post = 0;
    std::string before;
    std::string after;
};

} // namespace catalogue

namespace catalogue::pass {

// A record-number field (TransNr, SubTransNr) as a number, 0 when blank; a leading "-" of older
// files is read as the same number.
int numberIn(std::string_view rawField);

// A budget post's balances in `bytes` moved by the changes of its two amounts (DiffSaldo by their
// difference). Balances that stay keep their bytes.
ledger::Outcome adjustBudgetBalances(const ledger::shift::Posts& posts, int post, std::string& bytes,
                                     store::Amount dBudget, store::Amount dActual);

struct FlipOutcome {
    ledger::Outcome outcome = ledger::Outcome::Done;
    int changed = 0;
};

class Plan {
public:
    Plan(store::RecordFile& kontoData, int postCount, bool budget);

    int postCount() const { return posts_.count(); }
    // The field as it will be written (planned changes included).
    std::string_view transNrField(int post) const;
    // The record as it will be written.
    std::string record(int post) const;
    void setField(int post, store::Field f, std::string_view bytes);

    // Posts from..N for which select(post) holds get their amounts signed by signOf(post): '-'
    // negative, anything else positive. The change is taken from the amount the post holds, and
    // the balances of that post and every later one move by it. onFlipped(post) follows each
    // chosen post.
    FlipOutcome flipSigns(const std::function<bool(int)>& select, const std::function<char(int)>& signOf,
                          int from, const std::function<void(int)>& onFlipped = {});

    // Writes the planned records into the image.
    void apply();

    // flipSigns records each chosen post in trace as it goes (null: no record).
    void traceInto(PostTrace* trace) { trace_ = trace; }

private:
    std::string& editable(int post);

    store::RecordFile& file_;
    ledger::shift::Posts posts_;
    bool budget_;
    std::map<int, std::string> changed_;
    PostTrace* trace_ = nullptr;
};

} // namespace catalogue::pass
