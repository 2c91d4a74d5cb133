#include "statements/Apply.h"

#include "ledger/PostShift.h"
#include "statements/Merge.h"
#include "store/Cp1252.h"
#include "store/DateText.h"
#include "store/GroupCommit.h"
#include "store/History.h"
#include "store/Records.h"

#include <algorithm>
#include <stdexcept>

namespace statements {

namespace {

using store::Amount;

bool budgetAccount(const ImportTarget& target) {
    return target.kontoData.recordLength() == store::PostRec_Budget::Length;
}

std::string plural(int n, const char* one, const char* many) {
    return std::to_string(n) + " " + (n == 1 ? one : many);
}

// A name the catalogue can hold; the wizard has checked it, so anything else is a fault.
std::string catalogueName(const std::string& utf8, std::size_t width) {
    const std::optional<std::string> name = store::utf8ToCp1252(utf8);
    if (!name || store::trimField(*name).empty() || name->size() > width)
        throw std::invalid_argument("no catalogue name: " + utf8);
    return *name;
}

// The records staged transactions take: the free ones first, then after the last, as "Ny
// transaktion…" and "Ny subtransaktion" take them one after the other.
template <typename Rec>
std::vector<int> freeRecords(const store::RecordFile& file, store::Field name, std::size_t wanted) {
    std::vector<int> out;
    for (std::size_t n = 1; n <= file.count() && out.size() < wanted; ++n)
        if (file.read<Rec>(n).isBlank(name))
            out.push_back(static_cast<int>(n));
    for (int next = static_cast<int>(file.count()) + 1; out.size() < wanted; ++next)
        out.push_back(next);
    return out;
}

int resolve(int number, const std::vector<int>& staged) {
    if (number >= 0)
        return number;
    const auto k = static_cast<std::size_t>(-number);
    if (k > staged.size())
        throw std::out_of_range("no staged transaction " + std::to_string(number));
    return staged[k - 1];
}

// The date a row's post takes: the bank's booking date; a confirmed planned post is never moved
// past today, where it would be planned again.
std::string postDate(const ClassifiedRow& row, std::string_view today) {
    std::string date = store::dateText(*row.row.bookingDate);
    if (row.status == RowStatus::ConfirmsBudget && date > today)
        date = std::string(today);
    return date;
}

bool confirms(const ClassifiedRow& row, bool budget) {
    return budget && row.status == RowStatus::ConfirmsBudget && row.matchedPost > 0;
}

} // namespace

bool importsRow(const ImportPlan& plan, std::size_t i) {
    const ClassifiedRow& row = plan.rows[i];
    const bool ticked = plan.ticked.empty() ? row.tickedByDefault() : plan.ticked[i];
    return ticked && row.tickable() && row.transNr != 0 && row.row.bookingDate.has_value();
}

std::string ImportSummary::countsText() const {
    std::string text = plural(imported, "post", "poster") + " läses in";
    if (skipped() == 0)
        return text;
    std::vector<std::string> kinds;
    if (alreadyImported)
        kinds.push_back(std::to_string(alreadyImported) +
                        (alreadyImported == 1 ? " redan inläst" : " redan inlästa"));
    if (possibleDuplicates)
        kinds.push_back(plural(possibleDuplicates, "möjlig dubblett", "möjliga dubbletter"));
    if (reserved)
        kinds.push_back(plural(reserved, "reserverad", "reserverade"));
    if (errors)
        kinds.push_back(plural(errors, "med fel", "med fel"));
    if (notChosen)
        kinds.push_back(plural(notChosen, "ej vald", "ej valda"));
    text += ", " + std::to_string(skipped()) + " hoppas över (";
    for (std::size_t i = 0; i < kinds.size(); ++i)
        text += (i ? ", " : "") + kinds[i];
    return text + ")";
}

std::string ImportSummary::confirmedText() const {
    if (confirmed == 0)
        return {};
    return plural(confirmed, "budgeterad post bekräftas", "budgeterade poster bekräftas") +
           ", verkligt mot budgeterat: " + store::displayAmount(actualMinusBudgeted);
}

std::string ImportSummary::balanceText() const {
    if (!bankBalance || !accountBalance)
        return {};
    return "Banken " + store::displayAmount(*bankBalance) + " \u2014 kontot " +
           store::displayAmount(*accountBalance) + ": skillnad " +
           store::displayAmount(*bankBalance - *accountBalance);
}

std::string importDescription(int posts, std::string_view bank) {
    return "import av " + plural(posts, "post", "poster") + " från " + std::string(bank);
}

ImportSummary summarise(const ImportPlan& plan, const ImportTarget& target) {
    ImportSummary s;
    const bool budget = budgetAccount(target);
    const ledger::shift::Posts posts(target.kontoData, target.postCount);
    const store::Field actual = budget ? store::PostRec_Budget::VerklBelopp : store::PostRec_Enkel::Belopp;
    std::string lastDay;
    Amount added;
    std::vector<int> takenOut;
    for (std::size_t i = 0; i < plan.rows.size(); ++i) {
        const ClassifiedRow& row = plan.rows[i];
        if (!importsRow(plan, i)) {
            switch (row.status) {
            case RowStatus::AlreadyImported:
                ++s.alreadyImported;
                break;
            case RowStatus::PossibleDuplicate:
                ++s.possibleDuplicates;
                break;
            case RowStatus::Reserved:
                ++s.reserved;
                break;
            case RowStatus::Error:
                ++s.errors;
                break;
            default:
                ++s.notChosen;
            }
            continue;
        }
        ++s.imported;
        added += row.row.amount;
        lastDay = std::max(lastDay, postDate(row, target.today));
        if (confirms(row, budget)) {
            ++s.confirmed;
            s.actualMinusBudgeted +=
                row.row.amount - posts.amount(row.matchedPost, store::PostRec_Budget::BudgBelopp);
            takenOut.push_back(row.matchedPost);
        }
    }
    if (!plan.hasBalance || lastDay.empty())
        return s;
    for (const ClassifiedRow& row : plan.rows)
        if (row.row.balance && row.row.bookingDate && store::dateText(*row.row.bookingDate) == lastDay)
            s.bankBalance = row.row.balance;
    if (!s.bankBalance)
        return s;
    // The account at the end of that day: the balance the posts already there reach, without the
    // planned posts that leave their places, with every imported amount.
    const int before = ledger::insertPosition(target.kontoData, target.postCount, lastDay);
    const store::Field saldo = budget ? store::PostRec_Budget::VerklSaldo : store::PostRec_Enkel::Saldo;
    Amount balance = before > 1 ? posts.amount(before - 1, saldo) : Amount();
    for (const int p : takenOut)
        if (p < before)
            balance -= posts.amount(p, actual);
    s.accountBalance = balance + added;
    return s;
}

ImportResult applyImport(const ImportPlan& plan, const ImportTarget& target) {
    const bool budget = budgetAccount(target);
    ImportResult result;
    result.summary = summarise(plan, target);
    result.postCount = target.postCount;

    const std::vector<int> mains = freeRecords<store::TransRec>(target.transakt, store::TransRec::TransNamn,
                                                                plan.newTransactions.size());
    const std::vector<int> subs = freeRecords<store::KatRec>(target.kategori, store::KatRec::SubTransNamn,
                                                             plan.newSubTransactions.size());

    std::vector<MergedPost> posts;
    std::vector<std::size_t> rowOf;
    std::vector<LogEntry> logged;
    for (std::size_t i = 0; i < plan.rows.size(); ++i) {
        if (!importsRow(plan, i))
            continue;
        const ClassifiedRow& row = plan.rows[i];
        posts.push_back({postDate(row, target.today), resolve(row.transNr, mains), resolve(row.subNr, subs),
                         row.row.amount, confirms(row, budget) ? row.matchedPost : 0,
                         static_cast<int>(posts.size())});
        rowOf.push_back(i);
        logged.push_back(row.logEntry());
    }
    if (posts.empty() && !plan.rules && !plan.profiles && plan.newTransactions.empty() &&
        plan.newSubTransactions.empty())
        return result;

    std::vector<store::RecordFile*> files{&target.kontoData, &target.transakt, &target.kategori};
    if (target.mall)
        files.push_back(target.mall);
    const auto dropChanges = [&] {
        for (store::RecordFile* f : files)
            if (f->dirty())
                f->reload();
        if (target.plan)
            target.plan->reloadCount();
    };
    try {
        const MergeResult merged =
            mergePosts(target.kontoData, target.postCount, posts, budget ? target.plan : nullptr);
        if (merged.outcome != ledger::Outcome::Done) {
            const std::size_t i = rowOf[static_cast<std::size_t>(merged.row)];
            const ClassifiedRow& row = plan.rows[i];
            result.outcome = merged.outcome;
            result.row = static_cast<int>(i);
            result.refusal = "Raden " + store::dateText(*row.row.bookingDate) + " " +
                             store::displayAmount(row.row.amount) + " " + row.row.text +
                             (merged.outcome == ledger::Outcome::AmountLimit
                                  ? " skulle föra ett saldo till beloppsgränsen 100 000 000."
                                  : " ger ett saldo som inte ryms i sitt fält.");
            dropChanges();
            return result;
        }
        for (std::size_t k = 0; k < plan.newTransactions.size(); ++k) {
            const StagedTransaction& t = plan.newTransactions[k];
            store::TransRec rec;
            rec.set(store::TransRec::TransNamn, catalogueName(t.name, store::TransRec::TransNamn.width));
            rec.set(store::TransRec::Tecken, std::string(1, t.sign == '+' ? '+' : '-'));
            target.transakt.write(static_cast<std::size_t>(mains[k]), rec);
        }
        for (std::size_t k = 0; k < plan.newSubTransactions.size(); ++k) {
            store::KatRec rec;
            rec.set(store::KatRec::SubTransNamn,
                    catalogueName(plan.newSubTransactions[k], store::KatRec::SubTransNamn.width));
            target.kategori.write(static_cast<std::size_t>(subs[k]), rec);
        }

        result.postCount = merged.postCount;
        result.recountStart = merged.recountStart;
        result.description = importDescription(static_cast<int>(posts.size()), plan.bank);

        const store::DataPaths& paths = target.paths;
        store::ChangeScope change;
        store::describeChange(result.description);
        store::GroupCommit group(paths.journalFolder());
        for (store::RecordFile* f : files)
            if (f->dirty())
                group.stage(*f);
        if (plan.rules) {
            std::vector<Rule> rules = *plan.rules;
            for (Rule& r : rules) {
                r.transNr = resolve(r.transNr, mains);
                r.subNr = resolve(r.subNr, subs);
            }
            const auto file = paths.importregler(target.account);
            group.stage(file, rulesContent(readImportFile(file), rules));
        }
        if (!logged.empty()) {
            const auto file = paths.importlogg(target.account);
            group.stage(file, logContent(readImportFile(file), logged));
        }
        if (plan.profiles)
            group.stage(paths.importprofiler(),
                        profilesContent(readImportFile(paths.importprofiler()), *plan.profiles));
        group.commit();
    } catch (...) {
        dropChanges();
        throw;
    }
    return result;
}

} // namespace statements
