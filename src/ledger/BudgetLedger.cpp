#include "ledger/BudgetLedger.h"

#include "support/Halves.h"

#include <array>
#include <atomic>
#include <cstdlib>
#include <stdexcept>
#include <utility>
#include <vector>

namespace ledger {

namespace {

using store::Amount;
using store::Field;
using Post = store::PostRec_Budget;
using shift::FieldBytes;

constexpr std::size_t Length = Post::Length;

// The three balances of a post.
struct Balances {
    Amount budget, actual, difference;
};

Balances balancesOf(const shift::Posts& posts, int n) {
    if (n < 1)
        return {};
    return {posts.amount(n, Post::BudgSaldo), posts.amount(n, Post::VerklSaldo),
            posts.amount(n, Post::DiffSaldo)};
}

// New texts of the three balances of a run of posts. The two running balances are held to the amount
// limit; the difference only has to fit its field.
struct Shift {
    shift::Column budget{Post::BudgSaldo}, actual{Post::VerklSaldo}, difference{Post::DiffSaldo};

    // Room for n posts, every balance kept.
    void reset(int n) {
        for (shift::Column* c : {&budget, &actual, &difference})
            c->reset(n);
    }
    // Every balance of posts from..to shifted by the amounts (B, A) and the difference by A - B.
    Outcome plan(const shift::Posts& posts, int from, int to, Amount b, Amount a) {
        const shift::Column::Shift shifts[] = {
            {&budget, b, true}, {&actual, a, true}, {&difference, a - b, false}};
        return shift::shiftTogether(posts, from, to, shifts);
    }
    std::array<const shift::Column*, 3> columns() const { return {&budget, &actual, &difference}; }
    void write(std::string& image, int from) const { shift::writeColumns(image, Length, from, columns()); }
};

// An amount as entered: it must be a number (a data error otherwise), below the amount limit, and
// its text must fit the field as it stands.
Outcome enteredAmount(std::string_view text, Amount& value) {
    value = Amount::parseStored(text);
    if (!store::withinAmountLimit(value))
        return Outcome::AmountLimit;
    if (store::trimField(text).size() > store::AmountFieldWidth)
        return Outcome::DoesNotFit;
    return Outcome::Done;
}

// The field bytes of a post's three balances.
struct NewBalances {
    FieldBytes budget, actual, difference;
};

// The field texts of a post's balances, the difference following the two balances. A running
// balance that keeps its value is not checked again (it keeps its bytes); the others must stay
// below the amount limit, and the difference must fit its field.
Outcome balanceFields(Balances& v, NewBalances& out, bool budgetChanges = true, bool actualChanges = true) {
    v.difference = v.actual - v.budget;
    Outcome o = budgetChanges ? shift::balanceBytes(v.budget, out.budget) : Outcome::Done;
    if (o == Outcome::Done && actualChanges)
        o = shift::balanceBytes(v.actual, out.actual);
    if (o == Outcome::Done)
        o = shift::differenceBytes(v.difference, out.difference);
    return o;
}

Outcome runOn(Balances& running, Amount b, Amount a, NewBalances& out) {
    running.budget += b;
    running.actual += a;
    return balanceFields(running, out);
}

std::string_view view(const FieldBytes& b) {
    return {b.data(), b.size()};
}

} // namespace

BudgetLedger::BudgetLedger(store::RecordFile& kontoData, int postCount, std::string today,
                           budget::BudgetTemplate* mall)
    : file_(kontoData), n_(postCount), today_(std::move(today)), mall_(mall) {
    if (kontoData.recordLength() != Length)
        throw std::invalid_argument("not a budget post file: " + kontoData.path().string());
    if (postCount < 0 || static_cast<std::size_t>(postCount) > kontoData.count())
        throw std::out_of_range("post count " + std::to_string(postCount) + " of " +
                                kontoData.path().string());
    shift::requireDate(today_);
}

int BudgetLedger::insertPosition(std::string_view date) const {
    return ledger::insertPosition(file_, n_, date);
}

void BudgetLedger::record(int post) {
    if (mall_)
        mall_->update(file_.read<Post>(static_cast<std::size_t>(post)));
}

PostResult BudgetLedger::insert(const BudgetEntry& entry) {
    shift::requireDate(entry.date);
    PostResult r{Outcome::Done, n_, 0, 0};
    Amount b, a;
    if ((r.outcome = enteredAmount(entry.budgeted, b)) != Outcome::Done ||
        (r.outcome = enteredAmount(entry.actual, a)) != Outcome::Done)
        return r;
    const int p = insertPosition(entry.date);
    const shift::Posts posts(file_, n_);

    // The new post's difference runs on from the stored difference before it, as the later ones do.
    const Balances before = balancesOf(posts, p - 1);
    NewBalances own;
    if ((r.outcome = shift::balanceBytes(before.budget + b, own.budget)) != Outcome::Done ||
        (r.outcome = shift::balanceBytes(before.actual + a, own.actual)) != Outcome::Done ||
        (r.outcome = shift::differenceBytes(before.difference + (a - b), own.difference)) != Outcome::Done)
        return r;
    Shift later;
    if ((r.outcome = later.plan(posts, p, n_, b, a)) != Outcome::Done)
        return r;

    const bool confirmed = confirmedOn(entry.date);
    Post rec;
    rec.set(Post::Datum, entry.date);
    rec.setRecordNumber(Post::TransNr, std::abs(entry.transNr));
    rec.set(Post::BudgBelopp, store::trimField(entry.budgeted));
    rec.set(Post::VerklBelopp, store::trimField(entry.actual));
    rec.set(Post::BudgSaldo, view(own.budget));
    rec.set(Post::VerklSaldo, view(own.actual));
    rec.set(Post::DiffSaldo, view(own.difference));
    rec.set(Post::Markering, " ");
    rec.set(Post::BStatus, confirmed ? "*" : " ");
    rec.setRecordNumber(Post::SubTransNr, entry.subTransNr > 0 ? entry.subTransNr : 0);
    rec.set(Post::Reserv, "  ");

    std::string& image = shift::writableImage(file_, n_ + 1);
    shift::openGap(image, Length, n_, p, later.columns());
    image.replace(static_cast<std::size_t>(p - 1) * Length, Length, rec.bytes());
    ++n_;
    if (confirmed)
        record(p);
    return {Outcome::Done, n_, p, p};
}

Outcome BudgetLedger::confirm(int post) {
    const shift::Posts posts(file_, n_);
    if (posts.field(post, Post::BStatus) == "*")
        return Outcome::NoChange;
    std::string& image = shift::writableImage(file_, n_);
    shift::put(image, Length, post, Post::BStatus, "*");
    record(post);
    return Outcome::Done;
}

PostResult BudgetLedger::remove(int post) {
    const shift::Posts posts(file_, n_);
    const Amount b = posts.amount(post, Post::BudgBelopp);
    const Amount a = posts.amount(post, Post::VerklBelopp);
    if (n_ == 1)
        return {Outcome::OnlyPost, n_, 1, 1};
    Shift later;
    if (const Outcome o = later.plan(posts, post + 1, n_, -b, -a); o != Outcome::Done)
        return {o, n_, 0, 0};

    std::string& image = shift::writableImage(file_, n_);
    shift::closeGap(image, Length, n_, post, later.columns());
    const bool wasLast = post == n_;
    --n_;
    return {Outcome::Done, n_, wasLast ? n_ : post, wasLast ? n_ : post};
}

PostResult BudgetLedger::changeAmounts(int post, std::string_view budgeted, std::string_view actual) {
    const shift::Posts posts(file_, n_);
    budgeted = store::trimField(budgeted);
    actual = store::trimField(actual);
    const std::string_view oldBudgeted = store::trimField(posts.field(post, Post::BudgBelopp));
    const std::string_view oldActual = store::trimField(posts.field(post, Post::VerklBelopp));
    PostResult r{Outcome::Done, n_, post, post};
    if (budgeted == oldBudgeted && actual == oldActual) {
        r.outcome = Outcome::NoChange;
        return r;
    }
    Amount b, a;
    if ((r.outcome = enteredAmount(budgeted, b)) != Outcome::Done ||
        (r.outcome = enteredAmount(actual, a)) != Outcome::Done)
        return r;
    Shift balances;
    const Amount db = b - Amount::parseStored(oldBudgeted);
    const Amount da = a - Amount::parseStored(oldActual);
    if ((r.outcome = balances.plan(posts, post, n_, db, da)) != Outcome::Done)
        return r;
    // The post's own date decides: a post dated after today is only budgeted again.
    const bool confirmed = confirmedOn(posts.datum(post));

    std::string& image = shift::writableImage(file_, n_);
    shift::put(image, Length, post, Post::BudgBelopp, budgeted);
    shift::put(image, Length, post, Post::VerklBelopp, actual);
    shift::put(image, Length, post, Post::BStatus, confirmed ? "*" : " ");
    balances.write(image, post);
    if (confirmed)
        record(post);
    return r;
}

PostResult BudgetLedger::move(int first, int last, std::string_view date) {
    shift::requireDate(date);
    const shift::Posts posts(file_, n_);
    const bool confirmed = confirmedOn(date);
    if (n_ < 2) {
        posts.record(first); // range check
        std::string& image = shift::writableImage(file_, n_);
        shift::put(image, Length, 1, Post::Datum, date);
        shift::put(image, Length, 1, Post::BStatus, confirmed ? "*" : " ");
        if (confirmed)
            record(1);
        return {Outcome::Done, n_, 1, 1};
    }
    const shift::MoveLayout m = shift::planMove(posts, first, last, date);

    // The moved posts as they will be written: amounts in canonical form.
    struct Moved {
        Amount b, a;
        FieldBytes bText, aText;
        NewBalances balances;
        std::string transNr, subTransNr;
    };
    std::vector<Moved> moved(static_cast<std::size_t>(m.moved()));
    Amount movedB, movedA;
    for (int i = m.first; i <= m.last; ++i) {
        Moved& x = moved[static_cast<std::size_t>(i - m.first)];
        x.b = posts.amount(i, Post::BudgBelopp);
        x.a = posts.amount(i, Post::VerklBelopp);
        movedB += x.b;
        movedA += x.a;
        if (const Outcome o = shift::differenceBytes(x.b, x.bText); o != Outcome::Done)
            return {o, n_, 0, 0};
        if (const Outcome o = shift::differenceBytes(x.a, x.aText); o != Outcome::Done)
            return {o, n_, 0, 0};
        x.transNr = store::trimField(posts.field(i, Post::TransNr));
        x.subTransNr = store::trimField(posts.field(i, Post::SubTransNr));
    }

    // The posts passed: both balances by the moved amounts, the difference following them.
    const Amount db = m.later ? -movedB : movedB;
    const Amount da = m.later ? -movedA : movedA;
    Shift between;
    const bool betweenChange = (!db.isZero() || !da.isZero()) && m.betweenCount > 0;
    const int lastPassed = m.betweenOld + m.betweenCount - 1;
    if (betweenChange)
        if (const Outcome o = shift::shiftWithDifference(posts, m.betweenOld, lastPassed, between.budget, db,
                                                         between.actual, da, between.difference);
            o != Outcome::Done)
            return {o, n_, 0, 0};
    // The moved posts run on from the post before their new place: going later, the last post passed
    // as it will be.
    Balances running = balancesOf(posts, m.later ? lastPassed : m.movedStart - 1);
    if (m.later && betweenChange) {
        running.budget += db;
        running.actual += da;
        running.difference = running.actual - running.budget;
    }
    for (Moved& x : moved)
        if (const Outcome o = runOn(running, x.b, x.a, x.balances); o != Outcome::Done)
            return {o, n_, 0, 0};

    std::string& image = shift::writableImage(file_, n_);
    shift::rearrange(image, Length, m, between.columns());
    for (std::size_t k = 0; k < moved.size(); ++k) {
        const Moved& x = moved[k];
        const int n = m.movedStart + static_cast<int>(k);
        shift::put(image, Length, n, Post::Datum, date);
        shift::put(image, Length, n, Post::TransNr, x.transNr);
        shift::put(image, Length, n, Post::BudgBelopp, x.bText);
        shift::put(image, Length, n, Post::VerklBelopp, x.aText);
        shift::put(image, Length, n, Post::BudgSaldo, x.balances.budget);
        shift::put(image, Length, n, Post::VerklSaldo, x.balances.actual);
        shift::put(image, Length, n, Post::DiffSaldo, x.balances.difference);
        shift::put(image, Length, n, Post::BStatus, confirmed ? "*" : " ");
        shift::put(image, Length, n, Post::SubTransNr, x.subTransNr);
        shift::put(image, Length, n, Post::Reserv, "  ");
    }
    if (confirmed)
        for (int k = 0; k < m.moved(); ++k)
            record(m.movedStart + k);
    return {Outcome::Done, n_, m.windowStart, m.movedStart};
}

bool BudgetLedger::toggleTick(int post) {
    const shift::Posts posts(file_, n_);
    const bool ticked = posts.field(post, Post::Markering) != "x";
    std::string& image = shift::writableImage(file_, n_);
    shift::put(image, Length, post, Post::Markering, ticked ? "x" : " ");
    return ticked;
}

std::optional<BudgetBalanceFault> BudgetLedger::checkBalances(int from) const {
    const shift::Posts posts(file_, n_);
    const auto checkRun = [&](int first, int last) -> std::optional<BudgetBalanceFault> {
        Balances before = balancesOf(posts, first - 1);
        const auto fault = [&](int i, BalanceTest test, Amount stored, Amount expected) {
            return BudgetBalanceFault{i, Post(posts.record(i)), test, stored, expected};
        };
        for (int i = first; i <= last; ++i) {
            const Balances stored = balancesOf(posts, i);
            const Amount budget = before.budget + posts.amount(i, Post::BudgBelopp);
            if (!shift::sameOnTwoDecimals(budget, stored.budget))
                return fault(i, BalanceTest::Budget, stored.budget, budget);
            const Amount actual = before.actual + posts.amount(i, Post::VerklBelopp);
            if (!shift::sameOnTwoDecimals(actual, stored.actual))
                return fault(i, BalanceTest::Actual, stored.actual, actual);
            const Amount difference = stored.actual - stored.budget;
            if (!shift::sameOnTwoDecimals(difference, stored.difference))
                return fault(i, BalanceTest::Difference, stored.difference, difference);
            before = stored;
        }
        return std::nullopt;
    };
    return support::inHalves(std::max(from, 1), n_, checkRun,
                             [](const auto& fault) { return fault.has_value(); });
}

Outcome BudgetLedger::recount(int from) {
    const shift::Posts posts(file_, n_);
    const int start = std::max(from, 1);
    if (start > n_)
        return Outcome::Done;
    const Balances before = balancesOf(posts, start - 1);
    // A stored balance that is no number is what a recount is for: it is rewritten.
    const auto differs = [&](int i, Field f, Amount value) {
        return shift::tryReadAmount(posts.field(i, f)) != value;
    };
    Shift changed; // the texts of the values that change
    changed.reset(n_ - start + 1);
    std::atomic<bool> any = false;
    // Each run starts from the balances the posts before it sum to; the second half of a long
    // recount adds up the first half's amounts itself rather than wait for it.
    const bool sums = changed.budget.summable(Length) && changed.actual.summable(Length) &&
                      changed.difference.summable(Length) && shift::summable(Post::BudgBelopp, Length) &&
                      shift::summable(Post::VerklBelopp, Length);
    const store::field::RunFields fields{
        Post::BudgBelopp.offset,  Post::BudgSaldo.offset,  true,
        Post::VerklBelopp.offset, Post::VerklSaldo.offset, Post::DiffSaldo.offset};
    const auto recountRun = [&](int first, int last) {
        // The running balances are summed on the digits as far as they go, the posts they leave the
        // general way. Changes are told once at the end: a flag shared per post stalls both cores.
        store::field::Running running{before.budget.units(), before.actual.units()};
        const auto amountsOf = [&](int i) {
            running.a = (Amount::fromUnits(running.a) + posts.amount(i, Post::BudgBelopp)).units();
            running.b = (Amount::fromUnits(running.b) + posts.amount(i, Post::VerklBelopp)).units();
        };
        shift::addUpAmounts(posts, start, first - 1, sums, fields, running, amountsOf);
        const auto quick = [&](int i, int count) {
            const int k = i - start;
            return sums ? store::field::runOn(posts.record(i).data(), Length, count, fields, running,
                                              {changed.budget.entry(k), changed.actual.entry(k),
                                               changed.difference.entry(k), shift::Column::entryStride()})
                        : 0;
        };
        const auto general = [&](int i) {
            amountsOf(i);
            const Amount budget = Amount::fromUnits(running.a), actual = Amount::fromUnits(running.b);
            // Only a value that changes is written anew. One that stays has a stored text that
            // reads as it does, so its own text fits too: only the limit is left to check.
            const auto take = [&](shift::Column& column, Amount value, bool limited) {
                column.keep(i - start);
                if (!differs(i, column.field(), value))
                    return limited && !store::withinAmountLimit(value) ? Outcome::AmountLimit : Outcome::Done;
                running.changed = true;
                return column.put(i - start, value, limited);
            };
            Outcome o = take(changed.budget, budget, true);
            if (o == Outcome::Done)
                o = take(changed.actual, actual, true);
            if (o == Outcome::Done)
                o = take(changed.difference, actual - budget, false);
            return o;
        };
        const Outcome o = shift::quickThenGeneral(first, last, quick, general);
        if (running.changed)
            any = true;
        return o;
    };
    if (const Outcome o = shift::passInHalves(start, n_, recountRun, shift::RecountSecondShare);
        o != Outcome::Done)
        return o;
    if (any)
        changed.write(shift::writableImage(file_, n_), start);
    return Outcome::Done;
}

} // namespace ledger
