#include "catalogue/PostPass.h"

#include "store/Records.h"

#include <vector>

namespace catalogue::pass {

using ledger::Outcome;
using ledger::shift::FieldBytes;
using store::Amount;
using store::PostRec_Budget;
using store::PostRec_Enkel;

int numberIn(std::string_view rawField) {
    return store::parseRecordNumber(store::trimField(rawField));
}

namespace {

void putField(std::string& bytes, store::Field f, std::string_view value) {
    std::string padded(value.substr(0, f.width));
    padded.resize(f.width, ' ');
    bytes.replace(f.offset, f.width, padded);
}

// The amount text of a post's amount field: canonical, with "-" for an expense (also before a
// zero in a budget post, as the budget ledger stores a zero expense).
Outcome amountBytes(std::string_view text, FieldBytes& out) {
    if (text.size() > out.size())
        return Outcome::DoesNotFit;
    out.fill(' ');
    text.copy(out.data(), text.size());
    return Outcome::Done;
}

} // namespace

Outcome adjustBudgetBalances(const ledger::shift::Posts& posts, int post, std::string& bytes, Amount dBudget,
                             Amount dActual) {
    FieldBytes fb{};
    if (!dBudget.isZero()) {
        if (const Outcome o =
                ledger::shift::balanceBytes(posts.amount(post, PostRec_Budget::BudgSaldo) + dBudget, fb);
            o != Outcome::Done)
            return o;
        putField(bytes, PostRec_Budget::BudgSaldo, {fb.data(), fb.size()});
    }
    if (!dActual.isZero()) {
        if (const Outcome o =
                ledger::shift::balanceBytes(posts.amount(post, PostRec_Budget::VerklSaldo) + dActual, fb);
            o != Outcome::Done)
            return o;
        putField(bytes, PostRec_Budget::VerklSaldo, {fb.data(), fb.size()});
    }
    if (!(dActual - dBudget).isZero()) {
        if (const Outcome o = ledger::shift::differenceBytes(
                posts.amount(post, PostRec_Budget::DiffSaldo) + dActual - dBudget, fb);
            o != Outcome::Done)
            return o;
        putField(bytes, PostRec_Budget::DiffSaldo, {fb.data(), fb.size()});
    }
    return Outcome::Done;
}

Plan::Plan(store::RecordFile& kontoData, int postCount, bool budget)
    : file_(kontoData), posts_(kontoData, postCount), budget_(budget) {}

std::string Plan::record(int post) const {
    if (const auto it = changed_.find(post); it != changed_.end())
        return it->second;
    return std::string(posts_.record(post));
}

std::string_view Plan::transNrField(int post) const {
    const store::Field f = budget_ ? PostRec_Budget::TransNr : PostRec_Enkel::TransNr;
    if (const auto it = changed_.find(post); it != changed_.end())
        return std::string_view(it->second).substr(f.offset, f.width);
    return posts_.field(post, f);
}

std::string& Plan::editable(int post) {
    auto it = changed_.find(post);
    if (it == changed_.end())
        it = changed_.emplace(post, std::string(posts_.record(post))).first;
    return it->second;
}

void Plan::setField(int post, store::Field f, std::string_view bytes) {
    putField(editable(post), f, bytes);
}

FlipOutcome Plan::flipSigns(const std::function<bool(int)>& select, const std::function<char(int)>& signOf,
                            int from, const std::function<void(int)>& onFlipped) {
    FlipOutcome result;
    const std::map<int, std::string> before = changed_;
    auto refuse = [&](Outcome o) {
        changed_ = before;
        result.outcome = o;
        return result;
    };
    Amount dB, dV;
    for (int i = from; i <= posts_.count(); ++i) {
        std::string bytes = record(i);
        const bool chosen = select(i);
        if (chosen && trace_)
            *trace_ = {i, bytes, {}};
        if (chosen) {
            const bool negative = signOf(i) == '-';
            static const std::vector<store::Field> cashFields{PostRec_Enkel::Belopp};
            static const std::vector<store::Field> budgetFields{PostRec_Budget::BudgBelopp,
                                                                PostRec_Budget::VerklBelopp};
            const std::vector<store::Field>& fields = budget_ ? budgetFields : cashFields;
            int k = 0;
            for (const store::Field f : fields) {
                const Amount old = posts_.amount(i, f);
                const Amount now = negative ? -old.abs() : old.abs();
                const bool textSignAgrees = posts_.field(i, f).substr(0, 1) == "-" ? negative : !negative;
                if (now != old || (budget_ && !textSignAgrees)) {
                    FieldBytes fb{};
                    const std::string text =
                        budget_ ? (negative ? "-" : "") + old.abs().amountText() : now.amountText();
                    if (const Outcome o = amountBytes(text, fb); o != Outcome::Done)
                        return refuse(o);
                    putField(bytes, f, {fb.data(), fb.size()});
                }
                (k++ == 0 ? dB : dV) += now - old;
            }
            ++result.changed;
        }
        if (budget_) {
            if (const Outcome o = adjustBudgetBalances(posts_, i, bytes, dB, dV); o != Outcome::Done)
                return refuse(o);
        } else if (!dB.isZero()) {
            FieldBytes fb{};
            if (const Outcome o =
                    ledger::shift::balanceBytes(posts_.amount(i, PostRec_Enkel::Saldo) + dB, fb);
                o != Outcome::Done)
                return refuse(o);
            putField(bytes, PostRec_Enkel::Saldo, {fb.data(), fb.size()});
        }
        if (chosen && trace_)
            trace_->after = bytes;
        if (bytes != posts_.record(i) || changed_.count(i))
            changed_[i] = std::move(bytes);
        if (chosen && onFlipped)
            onFlipped(i);
    }
    return result;
}

void Plan::apply() {
    if (changed_.empty())
        return;
    const std::size_t length = file_.recordLength();
    std::string& image = ledger::shift::writableImage(file_, posts_.count());
    for (const auto& [post, bytes] : changed_)
        image.replace(static_cast<std::size_t>(post - 1) * length, length, bytes);
    changed_.clear();
}

} // namespace catalogue::pass
