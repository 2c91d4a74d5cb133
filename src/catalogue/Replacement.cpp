#include "catalogue/Replacement.h"

#include "budget/BudgetTemplate.h"
#include "catalogue/MainTransactions.h"
#include "catalogue/PostPass.h"
#include "statements/RuleUpkeep.h"
#include "store/Records.h"

#include <stdexcept>
#include <vector>

namespace catalogue {

using store::PostRec_Budget;
using store::PostRec_Enkel;

ReplaceResult replaceMainTransaction(const ReplaceTarget& target, const Replacement& r) {
    try {
        const store::Field transField = target.budget ? PostRec_Budget::TransNr : PostRec_Enkel::TransNr;
        const ledger::shift::Posts posts(target.kontoData, target.postCount);
        if (!r.all && (r.markedPost < 1 || r.markedPost > posts.count()))
            throw std::out_of_range("the marked post is not a post of the account");
        auto chosen = [&](int post) {
            return r.all ? pass::numberIn(posts.field(post, transField)) == r.oldTransNr
                         : post == r.markedPost;
        };

        ReplaceResult result;
        for (int i = 1; i <= posts.count() && result.recountStart == 0; ++i)
            if (chosen(i))
                result.recountStart = i;
        if (result.recountStart == 0)
            return result;

        const char newSign = r.newSign == '+' || r.newSign == '-' ? r.newSign : ' ';
        const char oldSign = r.oldSign == '+' || r.oldSign == '-' ? r.oldSign : ' ';
        result.signChanged = newSign != oldSign;

        const std::string transText = store::recordNumberText(r.newTransNr, transField.width);
        const bool confirm = target.workingDate <= target.today;
        std::vector<int> toRecord;
        pass::Plan plan(target.kontoData, target.postCount, target.budget);
        plan.traceInto(target.trace);
        if (result.signChanged) {
            const auto planned = plan.flipSigns(
                chosen, [&](int) { return newSign; }, result.recountStart,
                [&](int post) {
                    plan.setField(post, transField, transText);
                    if (target.budget) {
                        plan.setField(post, PostRec_Budget::BStatus, confirm ? "*" : " ");
                        if (confirm)
                            toRecord.push_back(post);
                    }
                    if (target.trace)
                        target.trace->after = plan.record(post);
                });
            if (planned.outcome != ledger::Outcome::Done) {
                result.outcome = planned.outcome;
                return result;
            }
            result.changedPosts = planned.changed;
        } else {
            for (int i = result.recountStart; i <= posts.count(); ++i)
                if (chosen(i)) {
                    if (target.trace)
                        *target.trace = {i, plan.record(i), {}};
                    plan.setField(i, transField, transText);
                    if (target.trace)
                        target.trace->after = plan.record(i);
                    ++result.changedPosts;
                }
        }
        plan.apply();
        if (target.mall && !toRecord.empty()) {
            budget::BudgetTemplate mall(*target.mall);
            for (const int post : toRecord)
                mall.update(target.kontoData.read<PostRec_Budget>(static_cast<std::size_t>(post)));
        }
        // Rows the old transaction's rules matched now go to the new one, as its posts did.
        std::optional<store::RecordFile> rules;
        if (r.all && (rules = statements::openRulesBeside(target.kontoData)))
            statements::moveRules(*rules, r.oldTransNr, r.newTransNr);
        detail::commitTogether(target.journalFolder,
                               {&target.kontoData, target.mall, statements::orNull(rules)});
        return result;
    } catch (...) {
        target.kontoData.reload();
        if (target.mall)
            target.mall->reload();
        throw;
    }
}

} // namespace catalogue
