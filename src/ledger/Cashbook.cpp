#include "ledger/Cashbook.h"

#include "support/Halves.h"

#include <array>
#include <atomic>
#include <cstdlib>
#include <stdexcept>
#include <vector>

namespace ledger {

namespace {

using store::Amount;
using Post = store::PostRec_Enkel;
using shift::FieldBytes;

constexpr std::size_t Length = Post::Length;

Outcome amountOutcome(Amount a) {
    FieldBytes unused;
    return shift::balanceBytes(a, unused);
}

} // namespace

Cashbook::Cashbook(store::RecordFile& kontoData, int postCount) : file_(kontoData), n_(postCount) {
    if (kontoData.recordLength() != Length)
        throw std::invalid_argument("not a cash-book post file: " + kontoData.path().string());
    if (postCount < 0 || static_cast<std::size_t>(postCount) > kontoData.count())
        throw std::out_of_range("post count " + std::to_string(postCount) + " of " +
                                kontoData.path().string());
}

int Cashbook::insertPosition(std::string_view date) const {
    return ledger::insertPosition(file_, n_, date);
}

BalanceEntry Cashbook::balanceEntry(std::string_view date, Amount newBalance, char sign) const {
    BalanceEntry e;
    e.position = insertPosition(date);
    if (e.position == 1) {
        e.amount = newBalance;
        return e;
    }
    const shift::Posts posts(file_, n_);
    e.amount = newBalance - posts.amount(e.position - 1, Post::Saldo);
    e.fromPrevious = true;
    if (sign == '-' && !e.amount.isNegative())
        e.sign = SignCheck::PositiveForExpense;
    else if (sign != '-' && sign != ' ' && sign != '\0' && e.amount.isNegative())
        e.sign = SignCheck::NegativeForIncome;
    return e;
}

PostResult Cashbook::insert(const CashEntry& entry) {
    shift::requireDate(entry.date);
    const int p = insertPosition(entry.date);
    const shift::Posts posts(file_, n_);
    const Amount a = entry.amount;
    const Amount before = p > 1 ? posts.amount(p - 1, Post::Saldo) : Amount();

    PostResult refused{Outcome::Done, n_, 0, 0};
    FieldBytes own;
    if ((refused.outcome = amountOutcome(a)) != Outcome::Done ||
        (refused.outcome = shift::balanceBytes(before + a, own)) != Outcome::Done)
        return refused;
    shift::Column later(Post::Saldo);
    if ((refused.outcome = later.shiftBy(posts, p, n_, a, true)) != Outcome::Done)
        return refused;

    Post rec;
    rec.set(Post::Datum, entry.date);
    rec.setRecordNumber(Post::TransNr, std::abs(entry.transNr));
    rec.setAmount(Post::Belopp, a);
    rec.set(Post::Saldo, std::string_view(own.data(), own.size()));
    rec.set(Post::Markering, " ");
    rec.setRecordNumber(Post::SubTransNr, entry.subTransNr > 0 ? entry.subTransNr : 0);
    rec.set(Post::Reserv, "  ");

    std::string& image = shift::writableImage(file_, n_ + 1);
    shift::openGap(image, Length, n_, p, std::array<const shift::Column*, 1>{&later});
    image.replace(static_cast<std::size_t>(p - 1) * Length, Length, rec.bytes());
    ++n_;
    return {Outcome::Done, n_, p, p};
}

PostResult Cashbook::remove(int post) {
    const shift::Posts posts(file_, n_);
    const Amount a = posts.amount(post, Post::Belopp);
    if (n_ == 1)
        return {Outcome::OnlyPost, n_, 1, 1};
    shift::Column later(Post::Saldo);
    if (const Outcome o = later.shiftBy(posts, post + 1, n_, -a, true); o != Outcome::Done)
        return {o, n_, 0, 0};

    std::string& image = shift::writableImage(file_, n_);
    shift::closeGap(image, Length, n_, post, std::array<const shift::Column*, 1>{&later});
    const bool wasLast = post == n_;
    --n_;
    return {Outcome::Done, n_, wasLast ? n_ : post, wasLast ? n_ : post};
}

PostResult Cashbook::changeAmount(int post, Amount amount) {
    const shift::Posts posts(file_, n_);
    const Amount old = posts.amount(post, Post::Belopp);
    if (amount == old)
        return {Outcome::NoChange, n_, post, post};
    FieldBytes belopp;
    shift::Column balances(Post::Saldo);
    PostResult r{Outcome::Done, n_, post, post};
    if ((r.outcome = amountOutcome(amount)) != Outcome::Done ||
        (r.outcome = shift::differenceBytes(amount, belopp)) != Outcome::Done ||
        (r.outcome = balances.shiftBy(posts, post, n_, amount - old, true)) != Outcome::Done)
        return r;

    std::string& image = shift::writableImage(file_, n_);
    shift::put(image, Length, post, Post::Belopp, belopp);
    shift::writeColumns(image, Length, post, std::array<const shift::Column*, 1>{&balances});
    return r;
}

PostResult Cashbook::move(int first, int last, std::string_view date) {
    shift::requireDate(date);
    const shift::Posts posts(file_, n_);
    if (n_ < 2) {
        posts.record(first); // range check
        std::string& image = shift::writableImage(file_, n_);
        shift::put(image, Length, 1, Post::Datum, date);
        return {Outcome::Done, n_, 1, 1};
    }
    const shift::MoveLayout m = shift::planMove(posts, first, last, date);

    // The moved posts as they will be written: amounts in their stored form, balances running on
    // from the post that will stand before them.
    Amount moved;
    std::vector<Amount> amounts;
    std::vector<FieldBytes> beloppBytes(static_cast<std::size_t>(m.moved()));
    for (int i = m.first; i <= m.last; ++i) {
        amounts.push_back(posts.amount(i, Post::Belopp));
        moved += amounts.back();
        if (const Outcome o = shift::differenceBytes(amounts.back(), beloppBytes[amounts.size() - 1]);
            o != Outcome::Done)
            return {o, n_, 0, 0};
    }
    shift::Column between(Post::Saldo);
    const Amount delta = m.later ? -moved : moved;
    if (const Outcome o =
            between.shiftBy(posts, m.betweenOld, m.betweenOld + m.betweenCount - 1, delta, true);
        o != Outcome::Done)
        return {o, n_, 0, 0};
    Amount balance;
    if (m.later)
        balance = posts.amount(m.betweenOld + m.betweenCount - 1, Post::Saldo) + delta;
    else if (m.movedStart > 1)
        balance = posts.amount(m.movedStart - 1, Post::Saldo);
    std::vector<FieldBytes> movedBalances(amounts.size());
    for (std::size_t k = 0; k < amounts.size(); ++k) {
        balance += amounts[k];
        if (const Outcome o = shift::balanceBytes(balance, movedBalances[k]); o != Outcome::Done)
            return {o, n_, 0, 0};
    }
    // The moved records are put back as new posts: trimmed numbers, the stored amount, the tick.
    std::vector<std::pair<std::string, std::string>> numbers;
    for (int i = m.first; i <= m.last; ++i)
        numbers.emplace_back(store::trimField(posts.field(i, Post::TransNr)),
                             store::trimField(posts.field(i, Post::SubTransNr)));

    std::string& image = shift::writableImage(file_, n_);
    shift::rearrange(image, Length, m, std::array<const shift::Column*, 1>{&between});
    for (std::size_t k = 0; k < amounts.size(); ++k) {
        const int n = m.movedStart + static_cast<int>(k);
        shift::put(image, Length, n, Post::Datum, date);
        shift::put(image, Length, n, Post::TransNr, numbers[k].first);
        shift::put(image, Length, n, Post::Belopp, beloppBytes[k]);
        shift::put(image, Length, n, Post::Saldo, movedBalances[k]);
        shift::put(image, Length, n, Post::SubTransNr, numbers[k].second);
        shift::put(image, Length, n, Post::Reserv, "  ");
    }
    return {Outcome::Done, n_, m.windowStart, m.movedStart};
}

bool Cashbook::toggleTick(int post) {
    const shift::Posts posts(file_, n_);
    const bool ticked = posts.field(post, Post::Markering) != "x";
    std::string& image = shift::writableImage(file_, n_);
    shift::put(image, Length, post, Post::Markering, ticked ? "x" : " ");
    return ticked;
}

std::optional<CashBalanceFault> Cashbook::checkBalances(int from) const {
    const shift::Posts posts(file_, n_);
    const auto checkRun = [&](int first, int last) -> std::optional<CashBalanceFault> {
        Amount before = first > 1 && first - 1 <= n_ ? posts.amount(first - 1, Post::Saldo) : Amount();
        for (int i = first; i <= last; ++i) {
            const Amount expected = before + posts.amount(i, Post::Belopp);
            const Amount stored = posts.amount(i, Post::Saldo);
            if (!shift::sameOnTwoDecimals(expected, stored))
                return CashBalanceFault{i, Post(posts.record(i)), stored, expected};
            before = stored;
        }
        return std::nullopt;
    };
    return support::inHalves(std::max(from, 1), n_, checkRun,
                             [](const auto& fault) { return fault.has_value(); });
}

Outcome Cashbook::recount(int from) {
    const shift::Posts posts(file_, n_);
    const int start = std::max(from, 1);
    if (start > n_)
        return Outcome::Done;
    const Amount before = start > 1 ? posts.amount(start - 1, Post::Saldo) : Amount();
    shift::Column saldo(Post::Saldo);
    saldo.reset(n_ - start + 1);
    // Each run starts from the balance the posts before it sum to; the second half of a long
    // recount adds up the first half's amounts itself rather than wait for it.
    std::atomic<bool> changed = false;
    const bool sums = saldo.summable(Length) && shift::summable(Post::Belopp, Length);
    const store::field::RunFields fields{Post::Belopp.offset, Post::Saldo.offset};
    const auto recountRun = [&](int first, int last) {
        // The running balance is summed on the digits as far as they go, the posts they leave the
        // general way. Changes are told once at the end: a flag shared per post stalls both cores.
        store::field::Running running{before.units()};
        const auto amountOf = [&](int i) {
            running.a = (Amount::fromUnits(running.a) + posts.amount(i, Post::Belopp)).units();
        };
        shift::addUpAmounts(posts, start, first - 1, sums, fields, running, amountOf);
        const Outcome o = shift::quickThenGeneral(
            first, last,
            [&](int i, int count) {
                return sums ? store::field::runOn(
                                  posts.record(i).data(), Length, count, fields, running,
                                  {saldo.entry(i - start), nullptr, nullptr, saldo.entryStride()})
                            : 0;
            },
            [&](int i) {
                saldo.keep(i - start);
                amountOf(i);
                const Amount balance = Amount::fromUnits(running.a);
                // A stored balance that is no number is what a recount is for: it is rewritten.
                if (shift::tryReadAmount(posts.field(i, Post::Saldo)) == balance)
                    return Outcome::Done;
                running.changed = true;
                return saldo.put(i - start, balance, true);
            });
        if (running.changed)
            changed = true;
        return o;
    };
    if (const Outcome o = shift::passInHalves(start, n_, recountRun, shift::RecountSecondShare);
        o != Outcome::Done)
        return o;
    if (changed)
        shift::writeColumns(shift::writableImage(file_, n_), Length, start,
                            std::array<const shift::Column*, 1>{&saldo});
    return Outcome::Done;
}

} // namespace ledger
