#include "statements/Merge.h"

#include "budget/BudgetTemplate.h"
#include "fixtures/AccountFiles.h"
#include "fixtures/TempDrive.h"
#include "ledger/BudgetLedger.h"
#include "ledger/Cashbook.h"
#include "store/DateText.h"
#include "support/Halves.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>
#include <optional>
#include <random>
#include <utility>

using fixtures::budg;
using fixtures::mallRec;
using ledger::Outcome;
using statements::MergedPost;
using statements::mergePosts;
using store::Amount;
using store::RecordFile;

namespace {

// The same posts twice: one side gets the merge, the other the ledger's own operations one by one.
struct Twins {
    TempDrive drive;
    std::optional<RecordFile> merged, stepped, mergedMall, steppedMall;

    Twins(const std::string& posts, std::size_t length) {
        for (const char* side : {"a", "b"}) {
            drive.writeFile(std::string(side) + "/KontoData", posts);
            drive.writeFile(std::string(side) + "/B-mall", "");
        }
        merged.emplace(drive / "a/KontoData", length, RecordFile::Missing::Fail);
        stepped.emplace(drive / "b/KontoData", length, RecordFile::Missing::Fail);
        mergedMall.emplace(drive / "a/B-mall", 18, RecordFile::Missing::Fail);
        steppedMall.emplace(drive / "b/B-mall", 18, RecordFile::Missing::Fail);
    }
};

std::string dateOf(std::mt19937& gen) {
    return "2026-0" + std::to_string(std::uniform_int_distribution(1, 6)(gen)) + "-" +
           store::twoDigits(std::uniform_int_distribution(10, 28)(gen));
}

Amount amountOf(std::mt19937& gen) {
    const int kronor = std::uniform_int_distribution(-5000, 5000)(gen);
    return Amount::fromUnits(std::int64_t(kronor == 0 ? 1 : kronor) * 10000 + (kronor % 3) * 2500);
}

// Runs of a few posts are shared out between the cores as a long account's are.
struct SplitShortRuns {
    int saved = std::exchange(support::longRun, 2);
    ~SplitShortRuns() { support::longRun = saved; }
};

} // namespace

// The rows land where posts entered one by one land, with the same bytes: before the first post,
// between posts, after every post of their day and after the last post, rows of one day in order.
TEST(Merge, CashBookAsInsertedOneByOne) {
    const SplitShortRuns split;
    for (unsigned seed = 1; seed <= 30; ++seed) {
        std::mt19937 gen(seed);
        Twins t("", 43);
        ledger::Cashbook base(*t.stepped, 0);
        for (int i = 0; i < 25; ++i)
            base.insert({dateOf(gen), 2, 0, amountOf(gen)});
        t.stepped->commit();
        // Records out of use after the last post, fewer or more than the rows: those past the new
        // last post stay as they were.
        std::string unused;
        for (unsigned k = 0; k < seed % 4 * 7; ++k)
            unused += std::string(10, ' ') + std::string(33, static_cast<char>('a' + k % 26));
        t.drive.writeFile("b/KontoData", t.stepped->image() + unused);
        t.stepped->reload();
        t.drive.writeFile("a/KontoData", t.stepped->image());
        t.merged->reload();

        std::vector<MergedPost> rows;
        for (int i = 0; i < 12; ++i)
            rows.push_back({dateOf(gen), 3, i % 3, amountOf(gen), 0, i});
        std::stable_sort(rows.begin(), rows.end(), [](auto& a, auto& b) { return a.date < b.date; });
        ledger::Cashbook book(*t.stepped, 25);
        for (const MergedPost& r : rows)
            book.insert({r.date, r.transNr, r.subTransNr, r.amount});
        std::sort(rows.begin(), rows.end(), [](auto& a, auto& b) { return a.row < b.row; });

        const statements::MergeResult r = mergePosts(*t.merged, 25, rows);
        ASSERT_EQ(r.outcome, Outcome::Done);
        EXPECT_EQ(r.postCount, 37);
        EXPECT_EQ(t.merged->image(), t.stepped->image()) << "seed " << seed;
        for (std::size_t i = 0; i < rows.size(); ++i)
            EXPECT_EQ(t.merged->readRaw(static_cast<std::size_t>(r.positions[i])).substr(0, 10),
                      rows[i].date);
    }
}

// A planned post the bank confirms is left as a change of its actual amount and a move to the bank's
// date leave it (and the template as they record it); a new row is an insert budgeted at zero, which
// the template does not hear of.
TEST(Merge, BudgetAsChangedMovedAndInserted) {
    const SplitShortRuns split;
    for (unsigned seed = 1; seed <= 30; ++seed) {
        std::mt19937 gen(seed);
        Twins t("", 77);
        ledger::BudgetLedger base(*t.stepped, 0, "2026-01-01");
        for (int i = 0; i < 20; ++i) {
            const Amount b = amountOf(gen);
            // The sub-transaction tells the planned posts apart as they move.
            base.insert({dateOf(gen), 3, i + 1, b.amountText(), (i % 2 ? b : Amount()).amountText()});
        }
        t.stepped->commit();
        t.drive.writeFile("a/KontoData", t.stepped->image());
        t.merged->reload();

        // Distinct days for the rows, so the order of one day does not depend on the order of the steps.
        std::vector<int> days(28 * 6);
        std::iota(days.begin(), days.end(), 0);
        std::shuffle(days.begin(), days.end(), gen);
        std::vector<int> planned(20);
        std::iota(planned.begin(), planned.end(), 1);
        std::shuffle(planned.begin(), planned.end(), gen);
        std::vector<MergedPost> rows;
        for (int i = 0; i < 10; ++i) {
            const std::string date =
                "2026-0" + std::to_string(days[i] / 28 + 1) + "-" + store::twoDigits(days[i] % 28 + 1);
            rows.push_back({date, 2, 0, amountOf(gen), i < 4 ? planned[i] : 0, i});
        }

        // Step by step in date order, the planned posts followed by their content.
        std::vector<MergedPost> steps = rows;
        std::sort(steps.begin(), steps.end(), [](auto& a, auto& b) { return a.date < b.date; });
        std::vector<std::string> plannedRecords(21);
        for (int p = 1; p <= 20; ++p)
            plannedRecords[p] = t.stepped->readRaw(p);
        const auto tagOf = [](std::string_view record) { return record.substr(71, 4); };
        budget::BudgetTemplate steppedPlan(*t.steppedMall);
        int n = 20;
        for (const MergedPost& s : steps) {
            ledger::BudgetLedger plain(*t.stepped, n, "2026-12-31");
            if (s.confirms == 0) {
                n = plain
                        .insert(
                            {s.date, s.transNr, 0, s.amount.isNegative() ? "-0" : "0", s.amount.amountText()})
                        .postCount;
                continue;
            }
            int at = 1;
            while (tagOf(t.stepped->readRaw(at)) != tagOf(plannedRecords[s.confirms]))
                ++at;
            ledger::BudgetLedger book(*t.stepped, n, "2026-12-31", &steppedPlan);
            at = book.move(at, at, s.date).position;
            const Amount budgeted = Amount::parseStored(
                store::trimField(std::string_view(plannedRecords[s.confirms]).substr(14, 11)));
            book.changeAmounts(at, budgeted.amountText(), s.amount.amountText());
        }

        budget::BudgetTemplate mergedPlan(*t.mergedMall);
        const statements::MergeResult r = mergePosts(*t.merged, 20, rows, &mergedPlan);
        ASSERT_EQ(r.outcome, Outcome::Done);
        EXPECT_EQ(r.postCount, 26);
        EXPECT_EQ(t.merged->image(), t.stepped->image()) << "seed " << seed;
        EXPECT_EQ(t.mergedMall->image(), t.steppedMall->image()) << "seed " << seed;
    }
}

TEST(Merge, ConfirmationSpelledOut) {
    const std::string p1 = budg("2026-03-01", "1", "0", "0", "0", "0", "0");
    const std::string p2 = budg("2026-03-05", "3", "-500,00", "0", "-500", "0", "500", 'x', ' ', "2");
    const std::string p3 = budg("2026-03-06", "2", "100", "100", "-400", "100", "500");
    Twins t(p1 + p2 + p3, 77);
    budget::BudgetTemplate plan(*t.mergedMall);
    const std::vector<MergedPost> rows = {{"2026-03-07", 3, 0, Amount::whole(-620), 2, 1},
                                          {"2026-03-06", 2, 1, Amount::whole(-30), 0, 2}};
    const statements::MergeResult r = mergePosts(*t.merged, 3, rows, &plan);
    ASSERT_EQ(r.outcome, Outcome::Done);
    EXPECT_EQ(r.positions, (std::vector<int>{4, 3}));
    EXPECT_EQ(r.recountStart, 2);
    EXPECT_EQ(t.merged->image(),
              p1 + budg("2026-03-06", "2", "100", "100", "100", "100", "0") +
                  budg("2026-03-06", "2", "-0", "-30", "100", "70", "-30", ' ', '*', "1") +
                  budg("2026-03-07", "3", "-500", "-620", "-400", "-550", "-150", 'x', '*', "2"));
    EXPECT_EQ(t.mergedMall->image(),
              mallRec("3", budget::templateAmountText(budget::templateValue("-620")), "03", "07"));
}

// The limit is checked for every balance the rows change before anything is written; the refusal
// names the row that brought the balance over it.
TEST(Merge, RefusalNamesTheRowAndWritesNothing) {
    const std::string posts = fixtures::cash("2026-01-01", "1", "0", "0") +
                              fixtures::cash("2026-02-01", "2", "99999000", "99999000") +
                              fixtures::cash("2026-03-01", "3", "-100", "99998900");
    struct Case {
        std::vector<MergedPost> rows;
        Outcome outcome;
        int row;
    };
    const Case cases[] = {
        // A new post's own balance, then a later post's balance reaching the limit.
        {{{"2026-01-15", 2, 0, Amount::whole(10), 0, 7}, {"2026-02-15", 2, 0, Amount::whole(1000), 0, 8}},
         Outcome::AmountLimit,
         8},
        {{{"2026-01-15", 2, 0, Amount::whole(1000), 0, 4}, {"2026-03-15", 2, 0, Amount::whole(-5000), 0, 5}},
         Outcome::AmountLimit,
         4},
        // A later row refused too: the earlier post's refusal is the one told.
        {{{"2026-01-15", 2, 0, Amount::whole(1000), 0, 4}, {"2026-03-15", 2, 0, Amount::whole(5000), 0, 5}},
         Outcome::AmountLimit,
         4},
        {{{"2026-01-15", 2, 0, Amount::whole(1000), 0, 4}, {"2026-02-15", 2, 0, Amount::whole(-1), 0, 9}},
         Outcome::AmountLimit,
         4},
        {{{"2026-01-15", 2, 0, Amount::whole(100'000'000), 0, 3}}, Outcome::AmountLimit, 3},
        {{{"2026-01-15", 2, 0, Amount::fromUnits(-12345678901), 0, 6}}, Outcome::DoesNotFit, 6},
    };
    const SplitShortRuns split;
    for (const Case& c : cases) {
        Twins t(posts, 43);
        const statements::MergeResult r = mergePosts(*t.merged, 3, c.rows);
        EXPECT_EQ(r.outcome, c.outcome);
        EXPECT_EQ(r.row, c.row);
        EXPECT_FALSE(t.merged->dirty());
        EXPECT_EQ(t.merged->image(), posts);
    }
}
