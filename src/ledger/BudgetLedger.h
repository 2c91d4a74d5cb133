#pragma once

// The posts of a budget account ("Bg"): a new post at its place by date, confirming a budgeted
// post, deleting, changing the amounts, moving posts to a new date, the tick, and the balance
// check with its recount. Each post carries a budgeted and an actual amount (BudgBelopp,
// VerklBelopp) as the user typed them, with "-" in front for an expense; their running balances
// (BudgSaldo, VerklSaldo) and the difference actual minus budget (DiffSaldo) are canonical amount
// texts. A post is confirmed ("*" in BStatus) when its date is not later than today; confirmed
// posts are recorded in the budget template.
//
// Every operation works on the KontoData image (store::RecordFile) and, where posts are confirmed,
// on the template's B-mall image; it changes only the fields it means to: a shifted post keeps
// every byte but the balances it adjusts. Nothing is committed here: the caller commits KontoData
// (and B-mall) once at the end of its procedure, or reload()s them when it fails (and then makes a
// new BudgetLedger with the post count it had). All limits are checked before the first write, so
// a refused operation (an Outcome other than Done) leaves both images unchanged. Failures of the
// data throw: store::DataError for an amount that is no number.

#include "budget/BudgetTemplate.h"
#include "ledger/PostShift.h"
#include "store/Amount.h"
#include "store/RecordFile.h"
#include "store/Records.h"

#include <optional>
#include <string>
#include <string_view>

namespace ledger {

// A new budget post.
struct BudgetEntry {
    std::string date;     // "yyyy-mm-dd"
    int transNr = 0;      // record number of the main transaction; stored as its absolute value
    int subTransNr = 0;   // record number of the sub-transaction, 0 for none
    std::string budgeted; // the amounts as entered, "-" in front for an expense: "1234,5", "-250",
    std::string actual;   // "-0"; stored as they stand
};

// The three tests of a budget post's balances, in the order they are made.
enum class BalanceTest {
    Budget,     // "Upptäckt skillnad budgetsaldo:"
    Actual,     // "Upptäckt skillnad verkl. saldo:"
    Difference, // "Upptäckt skillnad saldodiff:"
};

// The first failed test.
struct BudgetBalanceFault {
    int post = 0;
    store::PostRec_Budget record;
    BalanceTest test = BalanceTest::Budget;
    store::Amount stored;
    store::Amount expected;
};

class BudgetLedger {
public:
    // Posts 1..postCount of the file (findPostCount). `today` ("yyyy-mm-dd") decides which posts
    // are confirmed; confirmed posts are recorded in `mall` when one is given.
    BudgetLedger(store::RecordFile& kontoData, int postCount, std::string today,
                 budget::BudgetTemplate* mall = nullptr);

    int postCount() const { return n_; }

    // After the last post dated on or before `date`; 1 when there is none.
    int insertPosition(std::string_view date) const;

    // Inpost_Budget: the post goes to insertPosition(date); every later post moves one record up
    // with its balances raised by the amounts (B, A) and its difference by A - B. The new post's
    // balances are those of the post before plus its amounts; it is confirmed when its date is not
    // later than today. Both amounts, the new balances and every later balance must stay below the
    // amount limit; every text must fit its field. The recount start is the new post.
    PostResult insert(const BudgetEntry& entry);

    // The confirm button "Bekräfta": the post's amounts become real: BStatus "*", recorded in the template.
    // No amount or balance changes. An already confirmed post is Outcome::NoChange.
    Outcome confirm(int post);

    // UtPost_Budget: later posts move one record down with the post's amounts taken off their
    // balances, and record N is marked out of use (its date becomes ten spaces, its other bytes
    // stay). The only post is not deleted: Outcome::OnlyPost, and the caller removes the account.
    PostResult remove(int post);

    // ChgPost_Budget: new amount texts for the post (stored as they stand); its balances and those
    // of every later post change by the differences. Texts equal to the stored ones are
    // Outcome::NoChange. The post becomes confirmed when its date is not later than today, else
    // only budgeted; its date stays.
    PostResult changeAmounts(int post, std::string_view budgeted, std::string_view actual);

    // PostMover_Budget: posts first..last (either order) get the new date and go, in their order,
    // after the last other post dated on or before it, with their amounts in canonical form, their
    // balances running on from the post before them, and confirmed when the new date is not later
    // than today. The posts they pass change their balances by the moved amounts, the difference
    // following the two balances. Every balance is checked before the first write, so either the
    // whole move happens or nothing changes. The recount start is the first changed record.
    PostResult move(int first, int last, std::string_view date);

    // The tick of a post ("x" or a space) toggled; true when it is now ticked. No amount changes.
    bool toggleTick(int post);

    // Saldokontroll_Budget: posts from..N; for each, the budget balance and the actual balance
    // against the ones before plus its amounts, then the stored difference against actual minus
    // budget. Compared on two decimals as they are shown. Empty when all agree.
    std::optional<BudgetBalanceFault> checkBalances(int from) const;

    // Recount_Budget: the balances and differences of posts from..N recomputed from the balances
    // before `from`. Only a value that changes is rewritten. A balance at the amount limit, or a
    // value too long for its field, refuses the whole recount (nothing written).
    Outcome recount(int from);

private:
    bool confirmedOn(std::string_view date) const { return date <= today_; }
    void record(int post);

    store::RecordFile& file_;
    int n_;
    std::string today_;
    budget::BudgetTemplate* mall_;
};

} // namespace ledger
