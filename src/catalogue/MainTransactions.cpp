#include "catalogue/MainTransactions.h"

#include "catalogue/Catalogue.h"
#include "catalogue/PostPass.h"
#include "statements/RuleUpkeep.h"
#include "store/GroupCommit.h"
#include "store/Records.h"

#include <stdexcept>
#include <string>
#include <vector>

namespace catalogue {

using ledger::Outcome;
using store::Amount;
using store::PostRec_Budget;
using store::PostRec_Enkel;
using store::TransRec;

bool fitsTransactionName(std::string_view cp1252Name) {
    return !store::trimField(cp1252Name).empty() && cp1252Name.size() <= TransRec::TransNamn.width;
}

namespace {

void requireName(std::string_view cp1252Name) {
    if (!fitsTransactionName(cp1252Name))
        throw std::invalid_argument("transaction name empty or longer than its field");
}

char storedSign(const TransRec& rec) {
    const char c = rec.raw(TransRec::Tecken)[0];
    return c == '+' || c == '-' ? c : ' ';
}

void requireRecord(const store::RecordFile& file, int n) {
    if (n < 1 || static_cast<std::size_t>(n) > file.count())
        throw std::out_of_range("record " + std::to_string(n) + " is not in " +
                                file.path().filename().string());
}

// Runs body; on any failure the files lose their uncommitted changes before the failure goes on.
template <typename Body> auto withRollback(std::initializer_list<store::RecordFile*> files, Body body) {
    try {
        return body();
    } catch (...) {
        for (store::RecordFile* f : files)
            f->reload();
        throw;
    }
}

} // namespace

namespace detail {

void commitTogether(const std::filesystem::path& journalFolder,
                    std::initializer_list<store::RecordFile*> files) {
    std::vector<store::RecordFile*> dirty;
    for (store::RecordFile* f : files)
        if (f && f->dirty())
            dirty.push_back(f);
    try {
        if (dirty.size() == 1) {
            dirty.front()->commit();
        } else if (dirty.size() > 1) {
            store::GroupCommit group(journalFolder);
            for (store::RecordFile* f : dirty)
                group.stage(*f);
            group.commit();
        }
    } catch (...) {
        for (store::RecordFile* f : files)
            if (f)
                f->reload();
        throw;
    }
}

} // namespace detail

int createMainTransaction(store::RecordFile& transakt, std::string_view cp1252Name, char sign) {
    requireName(cp1252Name);
    return withRollback({&transakt}, [&] {
        std::size_t slot = transakt.count() + 1;
        for (std::size_t n = 1; n <= transakt.count(); ++n) {
            if (transakt.read<TransRec>(n).isBlank(TransRec::TransNamn)) {
                slot = n;
                break;
            }
        }
        TransRec rec;
        rec.set(TransRec::TransNamn, cp1252Name);
        rec.set(TransRec::Tecken, std::string(1, sign == '+' || sign == '-' ? sign : ' '));
        transakt.write(slot, rec);
        transakt.commit();
        return static_cast<int>(slot);
    });
}

int ensureStandardTransaction(store::RecordFile& transakt, std::string_view cp1252Name) {
    if (const int existing = neutralStandardTransaction(transakt))
        return existing;
    return createMainTransaction(transakt, cp1252Name, ' ');
}

int firstPostUsing(const store::RecordFile& kontoData, int postCount, bool budget, int transNr) {
    const ledger::shift::Posts posts(kontoData, postCount);
    const store::Field f = budget ? PostRec_Budget::TransNr : PostRec_Enkel::TransNr;
    for (int i = 1; i <= posts.count(); ++i)
        if (pass::numberIn(posts.field(i, f)) == transNr)
            return i;
    return 0;
}

ChangeResult changeMainTransaction(const AccountFiles& files, int transNr, std::string_view cp1252Name,
                                   char sign) {
    requireName(cp1252Name);
    return withRollback({&files.transakt, &files.kontoData}, [&] {
        requireRecord(files.transakt, transNr);
        TransRec rec = files.transakt.read<TransRec>(static_cast<std::size_t>(transNr));
        const char target = sign == '+' || sign == '-' ? sign : ' ';
        ChangeResult result;
        result.signChanged = storedSign(rec) != target;

        pass::Plan plan(files.kontoData, files.postCount, files.budget);
        plan.traceInto(files.trace);
        if (result.signChanged) {
            result.firstPost = firstPostUsing(files.kontoData, files.postCount, files.budget, transNr);
            if (result.firstPost > 0) {
                const auto planned = plan.flipSigns(
                    [&](int post) { return pass::numberIn(plan.transNrField(post)) == transNr; },
                    [&](int) { return target; }, result.firstPost);
                if (planned.outcome != Outcome::Done) {
                    result.outcome = planned.outcome;
                    return result;
                }
                result.changedPosts = planned.changed;
            }
        }
        rec.set(TransRec::TransNamn, cp1252Name);
        rec.set(TransRec::Tecken, std::string(1, target));
        files.transakt.write(static_cast<std::size_t>(transNr), rec);
        plan.apply();
        detail::commitTogether(files.journalFolder, {&files.transakt, &files.kontoData});
        return result;
    });
}

DeleteResult deleteMainTransaction(const AccountFiles& files, int transNr) {
    return withRollback({&files.transakt, &files.kontoData}, [&] {
        requireRecord(files.transakt, transNr);
        const ledger::shift::Posts posts(files.kontoData, files.postCount);
        const std::size_t length = files.kontoData.recordLength();
        const store::Field transField = files.budget ? PostRec_Budget::TransNr : PostRec_Enkel::TransNr;
        auto uses = [&](int i) { return pass::numberIn(posts.field(i, transField)) == transNr; };

        DeleteResult result;
        int using_ = 0;
        for (int i = 1; i <= posts.count(); ++i)
            using_ += uses(i) ? 1 : 0;
        result.postCount = posts.count();
        if (using_ > 0 && using_ == posts.count()) {
            result.outcome = Outcome::OnlyPost;
            return result;
        }

        // The posts that stay, in order, with the removed amounts taken off their balances.
        std::vector<std::string> kept;
        Amount removedB, removedV;
        for (int i = 1; i <= posts.count(); ++i) {
            if (uses(i)) {
                if (files.trace)
                    *files.trace = {i, std::string(posts.record(i)), {}};
                if (result.recountStart == 0)
                    result.recountStart = i;
                ++result.removedPosts;
                if (files.budget) {
                    removedB += posts.amount(i, PostRec_Budget::BudgBelopp);
                    removedV += posts.amount(i, PostRec_Budget::VerklBelopp);
                } else {
                    removedB += posts.amount(i, PostRec_Enkel::Belopp);
                }
                continue;
            }
            std::string bytes(posts.record(i));
            if (files.budget && (!removedB.isZero() || !removedV.isZero())) {
                const Outcome o = pass::adjustBudgetBalances(posts, i, bytes, -removedB, -removedV);
                if (o != Outcome::Done) {
                    result.outcome = o;
                    return result;
                }
            } else if (!files.budget && !removedB.isZero()) {
                ledger::shift::FieldBytes fb{};
                const Outcome o =
                    ledger::shift::balanceBytes(posts.amount(i, PostRec_Enkel::Saldo) - removedB, fb);
                if (o != Outcome::Done) {
                    result.outcome = o;
                    return result;
                }
                bytes.replace(PostRec_Enkel::Saldo.offset, PostRec_Enkel::Saldo.width, fb.data(), fb.size());
            }
            kept.push_back(std::move(bytes));
        }
        result.total = removedB;
        result.totalActual = removedV;

        TransRec freed;
        files.transakt.write(static_cast<std::size_t>(transNr), freed);
        // The number is free for the next new transaction, which must not inherit these rules.
        std::optional<store::RecordFile> rules = statements::openRulesBeside(files.kontoData);
        if (rules)
            statements::dropRulesOf(*rules, transNr);
        if (result.removedPosts > 0) {
            const int n = posts.count();
            std::string& image = ledger::shift::writableImage(files.kontoData, n);
            for (std::size_t k = 0; k < kept.size(); ++k)
                image.replace(k * length, length, kept[k]);
            for (int j = static_cast<int>(kept.size()) + 1; j <= n; ++j)
                ledger::shift::blankDatum(image, length, j);
            result.postCount = static_cast<int>(kept.size());
            if (result.recountStart > result.postCount)
                result.recountStart = result.postCount;
        }
        detail::commitTogether(files.journalFolder,
                               {&files.transakt, &files.kontoData, statements::orNull(rules)});
        return result;
    });
}

} // namespace catalogue
