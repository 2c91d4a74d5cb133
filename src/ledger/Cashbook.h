#pragma once

// The posts of a cash-book account ("Ek"): a new post at its place by date, the balance entry,
// deleting, changing the amount, moving posts to a new date, the tick, and the balance check with
// its recount. The running balance obeys Saldo(1) = Belopp(1) and Saldo(i) = Saldo(i-1) + Belopp(i).
//
// Every operation works on the KontoData image (store::RecordFile) and changes only the fields it
// means to: a shifted post keeps every byte but its Saldo. Nothing is committed here: the caller
// commits the file once at the end of its procedure, or reload()s it when the procedure fails (and
// then makes a new Cashbook with the post count it had). All limits are checked before the first
// write, so a refused operation (an Outcome other than Done) leaves the image unchanged. Failures
// of the data throw: store::DataError for an amount field that is no number.

#include "ledger/PostShift.h"
#include "store/Amount.h"
#include "store/RecordFile.h"
#include "store/Records.h"

#include <optional>
#include <string>
#include <string_view>

namespace ledger {

// A new cash-book post.
struct CashEntry {
    std::string date;     // "yyyy-mm-dd"
    int transNr = 0;      // record number of the main transaction; stored as its absolute value
    int subTransNr = 0;   // record number of the sub-transaction, 0 for none
    store::Amount amount; // signed: income positive, expense negative
};

// Whether an amount worked out from a new balance agrees with the chosen transaction's sign.
enum class SignCheck {
    Agrees,
    PositiveForExpense, // "Positivt belopp vid utgifts-transaktion"
    NegativeForIncome,  // "Negativt belopp vid inkomst-transaktion"
};

// The amount a balance entry gives.
struct BalanceEntry {
    store::Amount amount;
    int position = 0;          // where the post will go
    bool fromPrevious = false; // worked out from the balance of the post before (position > 1):
                               // the sign was checked and the user is told the amount
    SignCheck sign = SignCheck::Agrees;
};

// The first post whose stored balance disagrees with the amounts before it.
struct CashBalanceFault {
    int post = 0;
    store::PostRec_Enkel record;
    store::Amount stored;   // its Saldo
    store::Amount expected; // Saldo of the post before (as stored) plus its Belopp
};

class Cashbook {
public:
    // Posts 1..postCount of the file (findPostCount).
    Cashbook(store::RecordFile& kontoData, int postCount);

    int postCount() const { return n_; }

    // After the last post dated on or before `date`; 1 when there is none.
    int insertPosition(std::string_view date) const;

    // Balance entry: the amount that makes the balance on `date` equal `newBalance`: the new
    // balance minus the Saldo of the post before the insertion place. For a post that becomes the
    // first, the amount is the new balance itself, unchecked. Otherwise a transaction with a sign
    // must agree with it: "-" wants a negative amount, "+" (or any other sign) a zero or positive
    // one; a blank sign takes either. Changes nothing.
    BalanceEntry balanceEntry(std::string_view date, store::Amount newBalance, char sign) const;

    // Inpost_Enkel: the post goes to insertPosition(date); every later post moves one record up
    // with the amount added to its Saldo; the new post's Saldo is the one before plus the amount.
    // The amount, the new balance and every later balance must stay below the amount limit and
    // fit their fields. The recount start is the new post.
    PostResult insert(const CashEntry& entry);

    // UtPost_Enkel: later posts move one record down with the post's amount taken off their Saldo,
    // and record N is marked out of use (its date becomes ten spaces, its other bytes stay). The
    // account's only post is not deleted: Outcome::OnlyPost, and the caller removes the account.
    // The recount start is the post's place, or the new last post when the last one was deleted.
    PostResult remove(int post);

    // ChgPost_Enkel: a new amount for the post; its Saldo and every later Saldo change by the
    // difference. The same value again is Outcome::NoChange ("Ingen ändring utförd !").
    PostResult changeAmount(int post, store::Amount amount);

    // PostMover_Enkel: posts first..last (either order) get the new date and go, in their order,
    // after the last other post dated on or before it. The moved posts take their balances from
    // the post before them; the posts they pass change by the moved amounts. Every balance is
    // checked before the first write, so either the whole move happens or nothing changes. With a
    // single post only its date changes. The recount start is the first changed record.
    PostResult move(int first, int last, std::string_view date);

    // The tick of a post ("x" or a space) toggled; true when it is now ticked. No amount changes.
    bool toggleTick(int post);

    // SaldoKontroll_Enkel: posts from..N, each Saldo against the Saldo before it plus its Belopp.
    // Balances are compared on two decimals as they are shown, so a difference that disappears at
    // two decimals is no fault. Empty when all agree.
    std::optional<CashBalanceFault> checkBalances(int from) const;

    // ReCount_Enkel: Saldo of posts from..N recomputed from the Saldo before `from`. Only a balance
    // whose value changes is rewritten. A recounted balance at the amount limit or too long for its
    // field refuses the whole recount (nothing written); the caller reports it and does not check
    // again.
    Outcome recount(int from);

private:
    store::RecordFile& file_;
    int n_;
};

} // namespace ledger
