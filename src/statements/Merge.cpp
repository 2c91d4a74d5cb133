#include "statements/Merge.h"

#include "store/FileIo.h"
#include "store/Records.h"
#include "store/SecondThread.h"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <exception>
#include <numeric>
#include <optional>
#include <stdexcept>

namespace statements {

namespace {

using ledger::Outcome;
using store::Amount;
namespace shift = ledger::shift;
using Cash = store::PostRec_Enkel;
using Budget = store::PostRec_Budget;

// Records of room kept after the new image, as a file read from disk keeps it, so that the next
// post entered in the window does not copy the image once more.
constexpr std::size_t RoomAfter = 64;

// A cash book keeps only the actual balance (its Saldo).
struct Balances {
    Amount budget, actual, difference;
};

std::string_view view(const shift::FieldBytes& b) {
    return {b.data(), b.size()};
}

class Merger {
public:
    Merger(store::RecordFile& file, int postCount, const std::vector<MergedPost>& in)
        : file_(file), budget_(file.recordLength() == Budget::Length), length_(file.recordLength()),
          posts_(file, postCount), n_(postCount), in_(in) {
        if (!budget_ && length_ != Cash::Length)
            throw std::invalid_argument("not a post file: " + file.path().string());
    }

    MergeResult run(budget::BudgetTemplate* mall);

private:
    Balances balancesOf(int n) const {
        if (n < 1)
            return {};
        if (!budget_)
            return {{}, posts_.amount(n, Cash::Saldo), {}};
        return {posts_.amount(n, Budget::BudgSaldo), posts_.amount(n, Budget::VerklSaldo),
                posts_.amount(n, Budget::DiffSaldo)};
    }
    // A run of old posts copied as they stand, its balances still to be moved by what came before it.
    struct Run {
        int first, last; // the old posts
        int out;         // the new record of the first
        Amount budget, actual;
        int row; // the row a refusal of the run names: the last one placed before it
    };

    void takeOut();
    void place();
    void keep(int first, int last, int row);
    Outcome add(const MergedPost& post);
    Outcome shift(const Run& run);
    // The balances of every run moved; the first refusal (in the order of the posts) if any.
    std::optional<MergeResult> shiftRuns();
    MergeResult refuse(Outcome o, int row) const {
        MergeResult refused;
        refused.outcome = o;
        refused.row = row;
        refused.postCount = n_;
        return refused;
    }

    store::RecordFile& file_;
    const bool budget_;
    const std::size_t length_;
    const shift::Posts posts_;
    const int n_;
    const std::vector<MergedPost>& in_;

    std::vector<std::size_t> order_; // the posts by date, rows of one day in the order given
    std::vector<int> before_;        // per order_ entry: the old post it goes before
    std::vector<int> confirmedBy_;   // per old post: 1 + the entry of in_ confirming it, else 0
    int firstTakenOut_ = 0;          // the first confirmed post, n_ + 1 for none
    std::string image_;              // the new image, built up to the last record put in it
    Balances last_;                  // of the last record put in image_
    std::vector<Run> runs_;
    Amount movedBudget_, movedActual_; // what the posts placed and taken out so far add to later ones
};

// The planned posts the bank confirms leave their places; they come back with the new posts.
void Merger::takeOut() {
    firstTakenOut_ = n_ + 1;
    for (std::size_t i = 0; i < in_.size(); ++i) {
        const int c = in_[i].confirms;
        if (c == 0)
            continue;
        if (!budget_ || c < 1 || c > n_ ||
            (!confirmedBy_.empty() && confirmedBy_[static_cast<std::size_t>(c)]) ||
            posts_.field(c, Budget::BStatus) == "*" ||
            !shift::placedBefore(posts_.datum(c), shift::DateKey::of("9999-12-31")))
            throw std::invalid_argument("post " + std::to_string(c) + " is no planned post to confirm");
        if (confirmedBy_.empty())
            confirmedBy_.assign(static_cast<std::size_t>(n_) + 1, 0);
        confirmedBy_[static_cast<std::size_t>(c)] = static_cast<int>(i) + 1;
        firstTakenOut_ = std::min(firstTakenOut_, c);
    }
}

// Each post's place among the old posts that stay: after the last one dated on or before it. The
// places only grow with the dates, so one walk down the file finds them all.
void Merger::place() {
    order_.resize(in_.size());
    std::iota(order_.begin(), order_.end(), std::size_t(0));
    for (const MergedPost& p : in_)
        shift::requireDate(p.date);
    std::stable_sort(order_.begin(), order_.end(),
                     [&](std::size_t a, std::size_t b) { return in_[a].date < in_[b].date; });
    before_.assign(order_.size(), 0);
    int p = n_;
    for (std::size_t k = order_.size(); k-- > 0;) {
        const shift::DateKey date = shift::DateKey::of(in_[order_[k]].date);
        while (p >= 1 && ((!confirmedBy_.empty() && confirmedBy_[static_cast<std::size_t>(p)]) ||
                          !shift::placedBefore(posts_.datum(p), date)))
            --p;
        before_[k] = p + 1;
    }
}

// Old posts first..last, which stay together: their records go in at once, their balances are moved
// later (shiftRuns), all runs together. What they end with is known already: the old balance of the
// last one moved by what came before them.
void Merger::keep(int first, int last, int row) {
    if (first > last)
        return;
    const int out = static_cast<int>(image_.size() / length_) + 1;
    const std::string_view records = posts_.record(first);
    image_.append(records.data(), static_cast<std::size_t>(last - first + 1) * length_);
    runs_.push_back({first, last, out, movedBudget_, movedActual_, row});
    Balances end = balancesOf(last);
    end.actual += movedActual_;
    if (budget_) {
        end.budget += movedBudget_;
        end.difference += movedActual_ - movedBudget_;
    }
    last_ = end;
}

Outcome Merger::shift(const Run& run) {
    if (!budget_) {
        shift::Column saldo(Cash::Saldo);
        if (const Outcome o = saldo.shiftBy(posts_, run.first, run.last, run.actual, true);
            o != Outcome::Done)
            return o;
        shift::writeColumns(image_, length_, run.out, std::array<const shift::Column*, 1>{&saldo});
        return Outcome::Done;
    }
    shift::Column b(Budget::BudgSaldo), a(Budget::VerklSaldo), d(Budget::DiffSaldo);
    const shift::Column::Shift shifts[] = {
        {&b, run.budget, true}, {&a, run.actual, true}, {&d, run.actual - run.budget, false}};
    if (const Outcome o = shift::shiftTogether(posts_, run.first, run.last, shifts); o != Outcome::Done)
        return o;
    shift::writeColumns(image_, length_, run.out, std::array<const shift::Column*, 3>{&b, &a, &d});
    return Outcome::Done;
}

// A statement spread over the years leaves a thousand short runs, each too short to be split: the
// runs are shared out between both cores instead, each writing only its own records.
std::optional<MergeResult> Merger::shiftRuns() {
    const auto shiftFrom = [&](std::size_t from, std::size_t to) -> std::optional<MergeResult> {
        for (std::size_t i = from; i < to; ++i)
            if (const Outcome o = shift(runs_[i]); o != Outcome::Done)
                return refuse(o, runs_[i].row);
        return std::nullopt;
    };
    long long posts = 0;
    for (const Run& run : runs_)
        posts += run.last - run.first + 1;
    std::size_t middle = 0;
    for (long long seen = 0; middle < runs_.size() && seen < posts / 2; ++middle)
        seen += runs_[middle].last - runs_[middle].first + 1;
    if (posts < support::longRun || middle == 0 || middle >= runs_.size())
        return shiftFrom(0, runs_.size());
    std::optional<MergeResult> first, second;
    std::exception_ptr secondError;
    store::alongside([&] { first = shiftFrom(0, middle); },
                     [&] {
                         try {
                             second = shiftFrom(middle, runs_.size());
                         } catch (...) {
                             secondError = std::current_exception();
                         }
                     });
    if (first)
        return first;
    if (secondError)
        std::rethrow_exception(secondError);
    return second;
}

// A new post, or a confirmed one in its new place, running on from the record before it.
Outcome Merger::add(const MergedPost& post) {
    const Amount a = post.amount;
    shift::FieldBytes actualText, saldo;
    if (const Outcome o = shift::balanceBytes(a, actualText); o != Outcome::Done)
        return o;
    if (!budget_) {
        const Amount balance = last_.actual + a;
        if (const Outcome o = shift::balanceBytes(balance, saldo); o != Outcome::Done)
            return o;
        Cash rec;
        rec.set(Cash::Datum, post.date);
        rec.setRecordNumber(Cash::TransNr, std::abs(post.transNr));
        rec.set(Cash::Belopp, view(actualText));
        rec.set(Cash::Saldo, view(saldo));
        rec.set(Cash::Markering, " ");
        rec.setRecordNumber(Cash::SubTransNr, std::max(post.subTransNr, 0));
        rec.set(Cash::Reserv, "  ");
        image_.append(rec.bytes());
        last_.actual = balance;
        movedActual_ += a;
        return Outcome::Done;
    }

    Budget rec;
    Amount b;
    shift::FieldBytes budgetText;
    if (post.confirms > 0) {
        // As a change of the actual amount and a move leave it: amounts in canonical form, the
        // transaction numbers trimmed, the tick kept.
        rec = Budget(posts_.record(post.confirms));
        b = posts_.amount(post.confirms, Budget::BudgBelopp);
        if (const Outcome o = shift::differenceBytes(b, budgetText); o != Outcome::Done)
            return o;
        rec.set(Budget::TransNr, store::trimField(posts_.field(post.confirms, Budget::TransNr)));
        rec.set(Budget::SubTransNr, store::trimField(posts_.field(post.confirms, Budget::SubTransNr)));
        rec.set(Budget::BudgBelopp, view(budgetText));
    } else {
        // Nothing was budgeted; an expense's zero carries its sign, as the window stores it.
        rec.setRecordNumber(Budget::TransNr, std::abs(post.transNr));
        rec.setRecordNumber(Budget::SubTransNr, std::max(post.subTransNr, 0));
        rec.set(Budget::BudgBelopp, a.isNegative() ? "-0" : "0");
        rec.set(Budget::Markering, " ");
    }
    Balances next{last_.budget + b, last_.actual + a, last_.difference + (a - b)};
    shift::FieldBytes budgetSaldo, difference;
    for (const Outcome o :
         {shift::balanceBytes(next.budget, budgetSaldo), shift::balanceBytes(next.actual, saldo),
          shift::differenceBytes(next.difference, difference)})
        if (o != Outcome::Done)
            return o;
    rec.set(Budget::Datum, post.date);
    rec.set(Budget::VerklBelopp, view(actualText));
    rec.set(Budget::BudgSaldo, view(budgetSaldo));
    rec.set(Budget::VerklSaldo, view(saldo));
    rec.set(Budget::DiffSaldo, view(difference));
    rec.set(Budget::BStatus, "*");
    rec.set(Budget::Reserv, "  ");
    image_.append(rec.bytes());
    last_ = next;
    movedBudget_ += b;
    movedActual_ += a;
    return Outcome::Done;
}

MergeResult Merger::run(budget::BudgetTemplate* mall) {
    MergeResult r;
    r.postCount = n_;
    r.positions.assign(in_.size(), 0);
    if (in_.empty())
        return r;
    takeOut();
    place();
    const int start = std::min(before_.front(), firstTakenOut_);
    int added = 0;
    for (const MergedPost& p : in_)
        added += p.confirms > 0 ? 0 : 1;
    const int count = n_ + added;
    // The new image is made in one go in memory of its own: growing the old one would copy it whole
    // before a single post moved, and the records from the first changed one on would be copied
    // once more from wherever they were put together. A refusal leaves the old image untouched.
    const std::string& old = file_.image();
    const std::size_t whole = static_cast<std::size_t>(count) * length_;
    image_.reserve(std::max(whole, old.size()) + RoomAfter * length_);
    // Its pages are made on both cores: for a large account that is a good part of the merge.
    const std::size_t half = image_.capacity() / 2;
    store::alongside([&] { store::io::prefault(image_.data(), half); },
                     [&] { store::io::prefault(image_.data() + half, image_.capacity() - half); });
    image_.assign(old, 0, static_cast<std::size_t>(start - 1) * length_);
    last_ = balancesOf(start - 1);

    // A refused row ends the walk; a run before it may still be refused first.
    std::optional<MergeResult> refusedRow;
    int lastRow = in_[order_.front()].row;
    std::size_t k = 0;
    for (int i = start; !refusedRow;) {
        for (; k < order_.size() && before_[k] <= i; ++k) {
            const MergedPost& p = in_[order_[k]];
            lastRow = p.row;
            if (const Outcome o = add(p); o != Outcome::Done) {
                refusedRow = refuse(o, p.row);
                break;
            }
            r.positions[order_[k]] = static_cast<int>(image_.size() / length_);
        }
        if (refusedRow || i > n_)
            break;
        // The old posts up to the next new one or the next confirmed one stay together.
        const int end = std::min(n_, k < order_.size() ? before_[k] - 1 : n_);
        int j = i;
        while (j <= end && (confirmedBy_.empty() || !confirmedBy_[static_cast<std::size_t>(j)]))
            ++j;
        keep(i, j - 1, lastRow);
        i = j;
        if (j <= end) {
            // A confirmed post leaves: the posts after it lose its amounts.
            movedBudget_ -= posts_.amount(j, Budget::BudgBelopp);
            movedActual_ -= posts_.amount(j, Budget::VerklBelopp);
            lastRow = in_[static_cast<std::size_t>(confirmedBy_[static_cast<std::size_t>(j)] - 1)].row;
            ++i;
        }
    }

    if (std::optional<MergeResult> refused = shiftRuns())
        return *refused;
    if (refusedRow)
        return *refusedRow;

    // Records after the last post (out of use) stay as they were.
    if (old.size() > whole)
        image_.append(old, whole);
    file_.mutableImage().swap(image_);
    if (mall) {
        std::vector<int> confirmed;
        for (std::size_t i = 0; i < in_.size(); ++i)
            if (in_[i].confirms > 0)
                confirmed.push_back(r.positions[i]);
        std::sort(confirmed.begin(), confirmed.end());
        for (const int p : confirmed)
            mall->update(file_.read<Budget>(static_cast<std::size_t>(p)));
    }
    r.postCount = count;
    r.recountStart = start;
    return r;
}

} // namespace

MergeResult mergePosts(store::RecordFile& kontoData, int postCount, const std::vector<MergedPost>& posts,
                       budget::BudgetTemplate* mall) {
    return Merger(kontoData, postCount, posts).run(mall);
}

} // namespace statements
