#include "catalogue/MainTransactions.h"
#include "catalogue/Replacement.h"
#include "catalogue/SubTransactions.h"

#include "fixtures/AccountFiles.h"
#include "fixtures/TempDrive.h"
#include "store/Errors.h"
#include "store/Records.h"

#include <gtest/gtest.h>

#include <string>

using catalogue::AccountFiles;
using fixtures::blanked;
using fixtures::budg;
using fixtures::cash;
using fixtures::field;
using ledger::Outcome;
using store::RecordFile;

namespace {

// An account folder with its three files open, as the main window holds them.
struct Account {
    explicit Account(const std::string& posts, bool budget = false,
                     const std::string& transakt = fixtures::standardTransakt(), int postCount = -1)
        : budget(budget) {
        drive.writeFile("A/KontoData", posts);
        drive.writeFile("A/Transakt", transakt);
        drive.writeFile("A/Kategori", "");
        kontoData.emplace(drive / "A/KontoData", budget ? 77 : 43);
        trans.emplace(drive / "A/Transakt", 36);
        kategori.emplace(drive / "A/Kategori", 35);
        n = postCount >= 0 ? postCount : static_cast<int>(kontoData->count());
    }
    AccountFiles files() { return {*trans, *kontoData, n, budget, drive / "journal"}; }
    std::string posts() const { return drive.readFile("A/KontoData"); }
    std::string transakt() const { return drive.readFile("A/Transakt"); }

    TempDrive drive;
    bool budget;
    std::optional<RecordFile> kontoData, trans, kategori;
    int n = 0;
};

std::string tr(std::string_view name, char sign) {
    return fixtures::transRec(name, sign);
}

TEST(MainTransactions, NewTransactionTakesLowestFreeSlotElseAppends) {
    const std::string freed = std::string(36, ' ');
    Account a(cash("2026-01-01", "1", "0", "0"), false,
              fixtures::standardTransakt() + freed + tr("Mat", '-') + std::string(36, '\0'));
    EXPECT_EQ(catalogue::createMainTransaction(*a.trans, "Hyra", '-'), 4);
    EXPECT_EQ(catalogue::createMainTransaction(*a.trans, "L\xF6n", '+'), 6); // never-written record
    EXPECT_EQ(catalogue::createMainTransaction(*a.trans, "Fond", ' '), 7);
    EXPECT_EQ(a.transakt(), fixtures::standardTransakt() + tr("Hyra", '-') + tr("Mat", '-') +
                                tr("L\xF6n", '+') + tr("Fond", ' '));
    EXPECT_THROW(catalogue::createMainTransaction(*a.trans, "   ", '+'), std::invalid_argument);
    EXPECT_THROW(catalogue::createMainTransaction(*a.trans, std::string(36, 'x'), '+'),
                 std::invalid_argument);
}

TEST(MainTransactions, StandardTransactionIsFoundOrCreatedNeutral) {
    Account a(cash("2026-01-01", "1", "0", "0"));
    EXPECT_EQ(catalogue::ensureStandardTransaction(*a.trans, "\xC4ndrad andel / kurs"), 4);
    EXPECT_EQ(a.transakt(), fixtures::standardTransakt() + tr("\xC4ndrad andel / kurs", ' '));
    // Found again, not made twice; record 1 ("Kontostart", blank sign) never counts.
    EXPECT_EQ(catalogue::ensureStandardTransaction(*a.trans, "Annan"), 4);
    EXPECT_EQ(a.trans->count(), 4u);
}

TEST(MainTransactions, SignChangeFlipsEveryUserAndMovesLaterBalances) {
    // 100 (this), 50 (another), 30 (this) from an opening balance of 0.
    Account a(cash("2026-01-01", "1", "0", "0") + cash("2026-01-02", "2", "100", "100") +
                  cash("2026-01-03", "4", "50", "150", "3") + cash("2026-01-04", "2", "30", "180") +
                  blanked(cash("2026-01-05", "2", "7", "187")),
              false, fixtures::standardTransakt() + tr("Gåva", '+'), 4);
    const auto r = catalogue::changeMainTransaction(a.files(), 2, "Ins\xE4ttning", '-');
    EXPECT_EQ(r.outcome, Outcome::Done);
    EXPECT_TRUE(r.signChanged);
    EXPECT_EQ(r.firstPost, 2);
    EXPECT_EQ(r.changedPosts, 2);
    EXPECT_EQ(a.posts(), cash("2026-01-01", "1", "0", "0") + cash("2026-01-02", "2", "-100", "-100") +
                             cash("2026-01-03", "4", "50", "-50", "3") +
                             cash("2026-01-04", "2", "-30", "-80") +
                             blanked(cash("2026-01-05", "2", "7", "187")));
    EXPECT_EQ(a.trans->readRaw(2), tr("Ins\xE4ttning", '-'));
}

TEST(MainTransactions, SignChangeTakesTheChangeFromTheStoredAmount) {
    // A neutral transaction used with both signs: turning it into "+" moves only the negative one.
    Account a(cash("2026-01-01", "1", "0", "0") + cash("2026-01-02", "4", "20", "20") +
                  cash("2026-01-03", "4", "-5,5", "14,5"),
              false, fixtures::standardTransakt() + tr("Fond", ' '));
    const auto r = catalogue::changeMainTransaction(a.files(), 4, "Fond", '+');
    EXPECT_EQ(r.changedPosts, 2);
    EXPECT_EQ(a.posts(), cash("2026-01-01", "1", "0", "0") + cash("2026-01-02", "4", "20", "20") +
                             cash("2026-01-03", "4", "5,5", "25,5"));
}

TEST(MainTransactions, SignChangeOnBudgetPostsKeepsDifferenceRight) {
    Account a(budg("2026-01-01", "1", "0", "0", "0", "0", "0") +
                  budg("2026-01-02", "3", "-100", "-90", "-100", "-90", "10") +
                  budg("2026-01-03", "2", "40", "50", "-60", "-40", "20", ' ', ' ') +
                  budg("2026-01-04", "3", "-0", "-5", "-60", "-45", "15"),
              true);
    const auto r = catalogue::changeMainTransaction(a.files(), 3, "Uttag", '+');
    EXPECT_EQ(r.changedPosts, 2);
    EXPECT_EQ(a.posts(), budg("2026-01-01", "1", "0", "0", "0", "0", "0") +
                             budg("2026-01-02", "3", "100", "90", "100", "90", "-10") +
                             budg("2026-01-03", "2", "40", "50", "140", "140", "0", ' ', ' ') +
                             budg("2026-01-04", "3", "0", "5", "140", "145", "5"));
}

TEST(MainTransactions, SignChangeRefusedAtTheLimitWritesNothing) {
    const std::string posts = cash("2026-01-01", "1", "0", "0") +
                              cash("2026-01-02", "3", "-60000000", "-60000000") +
                              cash("2026-01-03", "2", "99000000", "39000000");
    Account a(posts);
    const auto r = catalogue::changeMainTransaction(a.files(), 3, "Uttag", '+');
    EXPECT_EQ(r.outcome, Outcome::AmountLimit);
    EXPECT_EQ(a.posts(), posts);
    EXPECT_EQ(a.transakt(), fixtures::standardTransakt());
    EXPECT_FALSE(a.trans->dirty());
    EXPECT_FALSE(a.kontoData->dirty());
}

TEST(MainTransactions, SignChangeUnusedChangesOnlyTheCatalogue) {
    const std::string posts = cash("2026-01-01", "1", "0", "0");
    Account a(posts);
    const auto r = catalogue::changeMainTransaction(a.files(), 2, "Ins\xE4ttning", '-');
    EXPECT_TRUE(r.signChanged);
    EXPECT_EQ(r.firstPost, 0);
    EXPECT_EQ(a.posts(), posts);
    EXPECT_EQ(a.trans->readRaw(2), tr("Ins\xE4ttning", '-'));
}

TEST(MainTransactions, DeleteRemovesEveryUserInOnePass) {
    Account a(cash("2026-01-01", "1", "0", "0") + cash("2026-01-02", "2", "100", "100") +
              cash("2026-01-03", "3", "-40", "60", "2") + cash("2026-01-04", "2", "25,5", "85,5") +
              cash("2026-01-05", "3", "-5", "80,5"));
    const auto r = catalogue::deleteMainTransaction(a.files(), 2);
    EXPECT_EQ(r.outcome, Outcome::Done);
    EXPECT_EQ(r.removedPosts, 2);
    EXPECT_EQ(r.postCount, 3);
    EXPECT_EQ(r.recountStart, 2);
    EXPECT_EQ(r.total.amountText(), "125,5");
    // The file keeps its length; the freed records get a blank date and nothing else changes.
    EXPECT_EQ(a.posts(), cash("2026-01-01", "1", "0", "0") + cash("2026-01-03", "3", "-40", "-40", "2") +
                             cash("2026-01-05", "3", "-5", "-45") +
                             blanked(cash("2026-01-04", "2", "25,5", "85,5")) +
                             blanked(cash("2026-01-05", "3", "-5", "80,5")));
    EXPECT_EQ(a.transakt(), tr("Kontostart", ' ') + std::string(36, ' ') + tr("Uttag", '-'));
    // The freed number is taken again.
    EXPECT_EQ(catalogue::createMainTransaction(*a.trans, "Ny", '+'), 2);
}

TEST(MainTransactions, DeleteOfLastPostLeavesEarlierBalances) {
    Account a(cash("2026-01-01", "1", "0", "0") + cash("2026-01-02", "3", "-40", "-40") +
              cash("2026-01-03", "2", "10", "-30"));
    const auto r = catalogue::deleteMainTransaction(a.files(), 2);
    EXPECT_EQ(r.removedPosts, 1);
    EXPECT_EQ(r.recountStart, 2); // the new last post
    EXPECT_EQ(a.posts(), cash("2026-01-01", "1", "0", "0") + cash("2026-01-02", "3", "-40", "-40") +
                             blanked(cash("2026-01-03", "2", "10", "-30")));
}

TEST(MainTransactions, DeleteOnBudgetPostsSumsBothAmounts) {
    Account a(budg("2026-01-01", "1", "0", "0", "0", "0", "0") +
                  budg("2026-01-02", "3", "-100", "-90", "-100", "-90", "10") +
                  budg("2026-01-03", "2", "40", "50", "-60", "-40", "20", ' ', ' '),
              true);
    const auto r = catalogue::deleteMainTransaction(a.files(), 3);
    EXPECT_EQ(r.total.amountText(), "-100");
    EXPECT_EQ(r.totalActual.amountText(), "-90");
    EXPECT_EQ(a.posts(), budg("2026-01-01", "1", "0", "0", "0", "0", "0") +
                             budg("2026-01-03", "2", "40", "50", "40", "50", "10", ' ', ' ') +
                             blanked(budg("2026-01-03", "2", "40", "50", "-60", "-40", "20", ' ', ' ')));
}

TEST(MainTransactions, DeleteNeverLeavesAnAccountWithoutPosts) {
    const std::string single = cash("2026-01-01", "1", "0", "0");
    Account a(single);
    const auto onlyOne = catalogue::deleteMainTransaction(a.files(), 1);
    EXPECT_EQ(onlyOne.outcome, Outcome::OnlyPost);
    EXPECT_EQ(onlyOne.postCount, 1);
    const std::string both = cash("2026-01-01", "2", "5", "5") + cash("2026-01-02", "2", "5", "10");
    Account b(both);
    const auto allOfTwo = catalogue::deleteMainTransaction(b.files(), 2);
    EXPECT_EQ(allOfTwo.outcome, Outcome::OnlyPost);
    EXPECT_EQ(allOfTwo.postCount, 2); // the caller says "all 2 posts", not "the only post"
    // Nothing was written: the catalogue still names the transaction the posts use.
    EXPECT_EQ(a.posts(), single);
    EXPECT_EQ(a.transakt(), fixtures::standardTransakt());
    EXPECT_EQ(b.posts(), both);
    EXPECT_EQ(b.transakt(), fixtures::standardTransakt());
}

// An amount that does not decode stops a pass at its post, which the trace gives as it was read.
TEST(MainTransactions, ADamagedAmountStopsThePassAtItsPost) {
    const std::string posts = cash("2026-01-01", "1", "0", "0") + cash("2026-01-02", "2", "100", "100");
    const std::string bad = cash("2026-01-03", "2", "1x", "101");
    for (const bool deleting : {false, true}) {
        Account b(posts + bad);
        catalogue::PostTrace trace;
        AccountFiles files = b.files();
        files.trace = &trace;
        EXPECT_THROW(deleting ? (void)catalogue::deleteMainTransaction(files, 2)
                              : (void)catalogue::changeMainTransaction(files, 2, "Ins\xE4ttning", '-'),
                     store::DataError);
        EXPECT_EQ(trace.post, 3) << deleting;
        EXPECT_EQ(trace.before, bad) << deleting;
        EXPECT_EQ(trace.after, "") << deleting;
        EXPECT_EQ(b.posts(), posts + bad);
    }
}

TEST(SubTransactions, CreateRenameDeleteAndReuse) {
    Account a(cash("2026-01-01", "1", "0", "0") + cash("2026-01-02", "3", "-10", "-10", "2") +
              cash("2026-01-03", "3", "-10", "-20", "1") + cash("2026-01-04", "2", "5", "-15", "2") +
              cash("2026-01-05", "3", "-1", "-16", "2"));
    EXPECT_EQ(catalogue::createSubTransaction(*a.kategori, "El"), 1);
    EXPECT_EQ(catalogue::createSubTransaction(*a.kategori, "Mat"), 2);
    catalogue::renameSubTransaction(*a.kategori, 2, "Livsmedel");
    EXPECT_EQ(a.drive.readFile("A/Kategori"), field("El", 35) + field("Livsmedel", 35));

    const std::string before = a.posts();
    EXPECT_EQ(catalogue::deleteSubTransaction(*a.kategori, *a.kontoData, a.n, false, 2, a.drive / "journal"),
              3);
    std::string expected = before;
    for (int post : {2, 4, 5})
        expected.replace((post - 1) * 43 + 37, 4, "    ");
    EXPECT_EQ(a.posts(), expected);
    EXPECT_EQ(a.drive.readFile("A/Kategori"), field("El", 35) + std::string(35, ' '));
    EXPECT_EQ(catalogue::createSubTransaction(*a.kategori, "Hyra"), 2);

    Account b(budg("2026-01-01", "1", "0", "0", "0", "0", "0", ' ', '*', "1"), true);
    b.drive.writeFile("A/Kategori", field("El", 35));
    b.kategori->reload();
    EXPECT_EQ(catalogue::deleteSubTransaction(*b.kategori, *b.kontoData, 1, true, 1, b.drive / "journal"), 1);
    EXPECT_EQ(b.posts(), budg("2026-01-01", "1", "0", "0", "0", "0", "0"));
}

catalogue::ReplaceTarget target(Account& a, store::RecordFile* mall = nullptr,
                                std::string working = "2026-06-01") {
    return {*a.kontoData, a.n, a.budget, mall, working, "2026-06-01", a.drive / "journal"};
}

TEST(Replacement, AllPostsToOtherSignFlipsAndMovesBalances) {
    Account a(cash("2026-01-01", "1", "0", "0") + cash("2026-01-02", "2", "100", "100") +
              cash("2026-01-03", "4", "40", "140") + cash("2026-01-04", "2", "25", "165"));
    const auto r = catalogue::replaceMainTransaction(target(a), {2, '+', 3, '-', true, 3});
    EXPECT_TRUE(r.signChanged);
    EXPECT_EQ(r.changedPosts, 2);
    EXPECT_EQ(r.recountStart, 2);
    EXPECT_EQ(a.posts(), cash("2026-01-01", "1", "0", "0") + cash("2026-01-02", "3", "-100", "-100") +
                             cash("2026-01-03", "4", "40", "-60") + cash("2026-01-04", "3", "-25", "-85"));
}

TEST(Replacement, SameSignChangesOnlyTransNrAndOneChangesOnlyTheMarkedPost) {
    const std::string posts = cash("2026-01-01", "1", "0", "0") + cash("2026-01-02", "2", "100", "100") +
                              cash("2026-01-03", "2", "25", "125");
    Account a(posts, false, fixtures::standardTransakt() + tr("L\xF6n", '+'));
    auto r = catalogue::replaceMainTransaction(target(a), {2, '+', 4, '+', false, 3});
    EXPECT_FALSE(r.signChanged);
    EXPECT_EQ(r.changedPosts, 1);
    EXPECT_EQ(a.posts(), cash("2026-01-01", "1", "0", "0") + cash("2026-01-02", "2", "100", "100") +
                             cash("2026-01-03", "4", "25", "125"));
    r = catalogue::replaceMainTransaction(target(a), {2, '+', 3, '-', false, 2});
    EXPECT_EQ(a.posts(), cash("2026-01-01", "1", "0", "0") + cash("2026-01-02", "3", "-100", "-100") +
                             cash("2026-01-03", "4", "25", "-75"));
}

TEST(Replacement, BudgetConfirmationFollowsTheWorkingDate) {
    const std::string posts = budg("2026-01-01", "1", "0", "0", "0", "0", "0") +
                              budg("2026-02-03", "2", "100", "120", "100", "120", "20", ' ', ' ');
    // Replaced after the working date the post stays unconfirmed; up to it, it is confirmed and
    // enters the template.
    for (const auto& [working, status, mall] :
         {std::tuple("2026-07-01", ' ', ""), std::tuple("2026-06-01", '*', "3   130     0203  ")}) {
        Account a(posts, true);
        a.drive.writeFile("A/B-mall", "");
        RecordFile mallFile(a.drive / "A/B-mall", 18);
        catalogue::replaceMainTransaction(target(a, &mallFile, working), {2, '+', 3, '-', true, 2});
        EXPECT_EQ(a.posts(), budg("2026-01-01", "1", "0", "0", "0", "0", "0") +
                                 budg("2026-02-03", "3", "-100", "-120", "-100", "-120", "-20", ' ', status));
        EXPECT_EQ(a.drive.readFile("A/B-mall"), mall) << working;
    }
}

} // namespace

// The import rules follow the catalogue in the same commit: a freed number must not hand its rules to
// the next transaction made; an account without rules gets no rules file.
TEST(ImportRules, FollowDeletionsAndReplacementInAllPosts) {
    const auto rule = [](std::string_view pattern, std::string_view trans, std::string_view sub) {
        return field(pattern, 40) + field(trans, 4) + field(sub, 4);
    };
    const std::string freed(48, ' ');
    const std::string rules =
        rule("ICA", "3", "1") + rule("HYRA", "3", "") + rule("L\xD6N", "2", "1") + rule("SWISH", "2", "2");
    struct Case {
        const char* change;
        std::string expected;
    };
    const Case cases[] = {
        {"delete main 3", freed + freed + rule("L\xD6N", "2", "1") + rule("SWISH", "2", "2")},
        {"delete sub 1",
         rule("ICA", "3", "") + rule("HYRA", "3", "") + rule("L\xD6N", "2", "") + rule("SWISH", "2", "2")},
        {"replace all 2 by 4",
         rule("ICA", "3", "1") + rule("HYRA", "3", "") + rule("L\xD6N", "4", "1") + rule("SWISH", "4", "2")},
        {"replace one", rules},
    };
    for (const bool withRules : {true, false})
        for (const Case& c : cases) {
            SCOPED_TRACE(c.change);
            Account a(cash("2026-01-01", "1", "0", "0") + cash("2026-01-02", "3", "-10", "-10", "1") +
                          cash("2026-01-03", "2", "100", "90", "1"),
                      false, fixtures::standardTransakt() + tr("L\xF6n", '+'));
            a.drive.writeFile("A/Kategori", field("El", 35));
            a.kategori->reload();
            if (withRules)
                a.drive.writeFile("A/Importregler", rules);
            const std::string change = c.change;
            if (change == "delete main 3")
                catalogue::deleteMainTransaction(a.files(), 3);
            else if (change == "delete sub 1")
                catalogue::deleteSubTransaction(*a.kategori, *a.kontoData, a.n, false, 1,
                                                a.drive / "journal");
            else
                catalogue::replaceMainTransaction(target(a), {2, '+', 4, '+', change != "replace one", 3});
            if (withRules)
                EXPECT_EQ(a.drive.readFile("A/Importregler"), c.expected);
            else
                EXPECT_FALSE(a.drive.exists("A/Importregler"));
        }
}
