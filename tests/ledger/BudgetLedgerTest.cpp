#include "ledger/BudgetLedger.h"

#include "budget/BudgetTemplate.h"
#include "fixtures/AccountFiles.h"
#include "fixtures/TempDrive.h"
#include "store/Errors.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

using fixtures::blanked;
using fixtures::budg;
using fixtures::mallRec;
using ledger::BalanceTest;
using ledger::BudgetLedger;
using ledger::Outcome;
using ledger::PostResult;
using store::Amount;
using store::RecordFile;

namespace ledger {
static void PrintTo(const PostResult& r, std::ostream* os) {
    *os << "{outcome " << static_cast<int>(r.outcome) << ", N " << r.postCount << ", S " << r.recountStart
        << ", at " << r.position << "}";
}
} // namespace ledger

namespace {

const std::string Nul2("\0\0", 2);

// KontoData and B-mall of a budget account in a temporary folder.
class Account {
public:
    explicit Account(const std::string& posts) {
        drive_.writeFile("KontoData", posts);
        drive_.writeFile("B-mall", "");
        file_.emplace(drive_ / "KontoData", 77, RecordFile::Missing::Fail);
        mallFile_.emplace(drive_ / "B-mall", 18, RecordFile::Missing::Fail);
        mall_.emplace(*mallFile_);
    }
    RecordFile& file() { return *file_; }
    const std::string& image() const { return file_->image(); }
    budget::BudgetTemplate* mall() { return &*mall_; }
    const std::string& mallImage() const { return mallFile_->image(); }
    bool untouched() const { return !file_->dirty() && !mallFile_->dirty(); }
    BudgetLedger ledger(int postCount, std::string today) {
        return BudgetLedger(*file_, postCount, std::move(today), &*mall_);
    }

private:
    TempDrive drive_;
    std::optional<RecordFile> file_, mallFile_;
    std::optional<budget::BudgetTemplate> mall_;
};

const std::string Q1 = budg("2024-03-03", "1", "0", "0", "0", "0", "0");
const std::string Q2 = budg("2024-03-05", "3", "-100", "-120", "-100", "-120", "-20");
const std::string Q3 = budg("2024-03-05", "3", "-50", "-40", "-150", "-160", "-10");
const std::string Q4 = budg("2024-03-09", "2", "1000", "900", "850", "740", "-110", 'x', '*', "5", Nul2);

} // namespace

TEST(BudgetLedger, InsertKeepsTheTypedAmountsAndConfirmsByDate) {
    Account acc(Q1 + Q2 + Q3 + Q4);
    BudgetLedger book = acc.ledger(4, "2024-03-15");

    // After both posts of the 5th; the amounts stay as typed, the balances are canonical, and the
    // later post changes only the balances that move.
    EXPECT_EQ(book.insert({"2024-03-05", -3, 2, "-1234,50", "-0"}), (PostResult{Outcome::Done, 5, 4, 4}));
    const std::string shifted4 =
        budg("2024-03-09", "2", "1000", "900", "-384,5", "740", "1124,5", 'x', '*', "5", Nul2);
    EXPECT_EQ(acc.image(),
              Q1 + Q2 + Q3 +
                  budg("2024-03-05", "3", "-1234,50", "-0", "-1384,5", "-160", "1224,5", ' ', '*', "2") +
                  shifted4);
    // Dated on or before today: confirmed and recorded in the template.
    EXPECT_EQ(acc.mallImage(), mallRec("3", "0", "03", "05"));

    // Tomorrow: only budgeted, not recorded.
    EXPECT_EQ(book.insert({"2024-03-16", 2, 0, "500", "500"}).position, 6);
    EXPECT_EQ(acc.image().substr(5 * 77),
              budg("2024-03-16", "2", "500", "500", "115,5", "1240", "1124,5", ' ', ' '));
    EXPECT_EQ(acc.mallImage(), mallRec("3", "0", "03", "05"));

    // Before every post: all three balances of every post grow.
    Account early(Q1 + Q2);
    EXPECT_EQ(early.ledger(2, "2024-03-15").insert({"2024-03-01", 2, 0, "10", "12,5"}).position, 1);
    EXPECT_EQ(early.image(), budg("2024-03-01", "2", "10", "12,5", "10", "12,5", "2,5") +
                                 budg("2024-03-03", "1", "0", "0", "10", "12,5", "2,5") +
                                 budg("2024-03-05", "3", "-100", "-120", "-90", "-107,5", "-17,5"));
}

TEST(BudgetLedger, LimitsAreCheckedBeforeAnyWrite) {
    const std::string posts = budg("2024-01-01", "2", "99999000", "0", "99999000", "0", "-99999000") +
                              budg("2024-01-10", "2", "0", "99999500", "99999000", "99999500", "500");
    Account acc(posts);
    BudgetLedger book = acc.ledger(2, "2024-12-31");
    EXPECT_EQ(book.insert({"2024-01-05", 2, 0, "0", "500"}).outcome, Outcome::AmountLimit);  // later actual
    EXPECT_EQ(book.insert({"2024-01-05", 2, 0, "1000", "0"}).outcome, Outcome::AmountLimit); // its own budget
    EXPECT_EQ(book.insert({"2024-01-20", 2, 0, "100000000", "0"}).outcome, Outcome::AmountLimit);
    EXPECT_EQ(book.insert({"2024-01-20", 3, 0, "-12345678,90", "0"}).outcome, Outcome::DoesNotFit);
    EXPECT_THROW(book.insert({"2024-01-20", 3, 0, "12a", "0"}), store::DataError);
    EXPECT_EQ(acc.image(), posts);
    EXPECT_TRUE(acc.mallImage().empty());
    EXPECT_TRUE(acc.untouched());

    // The difference has no limit of its own, but it must fit its field.
    const std::string wide =
        budg("2024-01-01", "2", "99999000", "-99999000", "99999000", "-99999000", "-199998000");
    Account diff(wide);
    EXPECT_EQ(diff.ledger(1, "2024-12-31").insert({"2024-01-05", 3, 0, "0", "-0,5"}).outcome,
              Outcome::DoesNotFit);
    EXPECT_EQ(diff.image(), wide);
    EXPECT_EQ(diff.ledger(1, "2024-12-31").insert({"2024-01-05", 3, 0, "0", "-1"}).outcome, Outcome::Done);
}

TEST(BudgetLedger, CheckMakesThreeTestsOnTwoDecimalsAndRecountRepairs) {
    const std::string r1 = budg("2024-01-01", "1", "0", "0", "0", "0", "0");
    // The actual balance is off by less than half a hundredth: no fault.
    const std::string r2 = budg("2024-01-02", "2", "100", "90", "100", "90,004", "-9,996");
    const std::string r3 = budg("2024-01-03", "3", "-30", "-20", "75", "70,004", "-4,996", 'x');
    const std::string r4 = budg("2024-01-04", "3", "-10", "-10", "65", "60,004", "-4,996");
    Account acc(r1 + r2 + r3 + r4);
    BudgetLedger book = acc.ledger(4, "2024-12-31");

    auto fault = book.checkBalances(1);
    ASSERT_TRUE(fault);
    EXPECT_EQ(fault->post, 3);
    EXPECT_EQ(fault->test, BalanceTest::Budget);
    EXPECT_EQ(fault->stored, Amount::whole(75));
    EXPECT_EQ(fault->expected, Amount::whole(70));
    EXPECT_FALSE(book.checkBalances(4));

    Account actual(r1 + budg("2024-01-02", "2", "100", "90", "100", "95", "-5"));
    fault = actual.ledger(2, "2024-12-31").checkBalances(2);
    ASSERT_TRUE(fault);
    EXPECT_EQ(fault->test, BalanceTest::Actual);
    EXPECT_EQ(fault->stored, Amount::whole(95));
    EXPECT_EQ(fault->expected, Amount::whole(90));

    Account difference(r1 + budg("2024-01-02", "2", "100", "90", "100", "90", "-9"));
    fault = difference.ledger(2, "2024-12-31").checkBalances(1);
    ASSERT_TRUE(fault);
    EXPECT_EQ(fault->test, BalanceTest::Difference);
    EXPECT_EQ(fault->stored, Amount::whole(-9));
    EXPECT_EQ(fault->expected, Amount::whole(-10));
    EXPECT_EQ(acc.image(), r1 + r2 + r3 + r4);

    // The recount rewrites only the values that change; the right actual balances keep their bytes.
    EXPECT_EQ(book.recount(3), Outcome::Done);
    EXPECT_EQ(acc.image(), r1 + r2 + budg("2024-01-03", "3", "-30", "-20", "70", "70,004", "0,004", 'x') +
                               budg("2024-01-04", "3", "-10", "-10", "60", "60,004", "0,004"));
    EXPECT_FALSE(book.checkBalances(1));

    // A recount that would reach the limit writes nothing.
    const std::string big = budg("2024-01-01", "2", "99999999", "0", "1", "0", "-1") +
                            budg("2024-01-02", "2", "1", "0", "2", "0", "-2");
    Account over(big);
    EXPECT_EQ(over.ledger(2, "2024-12-31").recount(1), Outcome::AmountLimit);
    EXPECT_EQ(over.image(), big);
    EXPECT_TRUE(over.untouched());
}

TEST(BudgetLedger, DeleteShiftsDownAndBlanksTheLastRecord) {
    const std::string d1 = budg("2024-01-01", "2", "100", "90", "100", "90", "-10");
    const std::string d2 = budg("2024-01-02", "3", "-30", "-40", "70", "50", "-20", 'x', '*', "4");
    const std::string d3 = budg("2024-01-03", "2", "50", "50", "120", "100", "-20", ' ', ' ');
    {
        Account acc(d1 + d2 + d3);
        BudgetLedger book = acc.ledger(3, "2024-01-02");
        EXPECT_EQ(book.remove(1), (PostResult{Outcome::Done, 2, 1, 1}));
        EXPECT_EQ(acc.image(), budg("2024-01-02", "3", "-30", "-40", "-30", "-40", "-10", 'x', '*', "4") +
                                   budg("2024-01-03", "2", "50", "50", "20", "10", "-10", ' ', ' ') +
                                   blanked(d3));
    }
    {
        Account acc(d1 + d2 + d3);
        BudgetLedger book = acc.ledger(3, "2024-01-02");
        EXPECT_EQ(book.remove(3), (PostResult{Outcome::Done, 2, 2, 2}));
        EXPECT_EQ(acc.image(), d1 + d2 + blanked(d3));
        EXPECT_EQ(book.insert({"2024-01-02", 3, 0, "-5", "-6"}).position, 3);
        EXPECT_EQ(acc.image(), d1 + d2 + budg("2024-01-02", "3", "-5", "-6", "65", "44", "-21"));
    }
    {
        Account acc(d1 + blanked(d2));
        BudgetLedger book = acc.ledger(1, "2024-01-02");
        EXPECT_EQ(book.remove(1).outcome, Outcome::OnlyPost);
        EXPECT_EQ(acc.image(), d1 + blanked(d2));
        EXPECT_TRUE(acc.untouched());
    }
}

TEST(BudgetLedger, ChangeMovesOnlyTheBalancesOfTheChangedAmount) {
    const std::string c1 = budg("2024-01-01", "1", "0", "0", "0", "0", "0");
    const std::string c2 = budg("2024-01-02", "2", "120", "100", "120", "100", "-20", ' ', ' ');
    const std::string c3 = budg("2024-01-03", "3", "-20", "-25", "100,00", "75", "-25", 'x');
    Account acc(c1 + c2 + c3);
    BudgetLedger book = acc.ledger(3, "2024-06-30");

    EXPECT_EQ(book.changeAmounts(2, "120", " 100 ").outcome, Outcome::NoChange);
    // Post 2 stays just inside, post 3 would pass -100 000 000.
    EXPECT_EQ(book.changeAmounts(2, "120", "-99999990").outcome, Outcome::AmountLimit);
    EXPECT_TRUE(acc.untouched());

    // The actual amount 100 -> 150: actual balances and differences from the post on rise by 50; the
    // budget balances keep their bytes. Dated before today, the post is confirmed and recorded.
    EXPECT_EQ(book.changeAmounts(2, "120", "150"), (PostResult{Outcome::Done, 3, 2, 2}));
    EXPECT_EQ(acc.image(), c1 + budg("2024-01-02", "2", "120", "150", "120", "150", "30") +
                               budg("2024-01-03", "3", "-20", "-25", "100,00", "125", "25", 'x'));
    EXPECT_EQ(acc.mallImage(), mallRec("2", "140", "01", "02"));

    // Another way of writing the same value: the text is stored, no balance moves.
    EXPECT_EQ(book.changeAmounts(2, "120,00", "150").outcome, Outcome::Done);
    EXPECT_EQ(acc.image().substr(77, 77), budg("2024-01-02", "2", "120,00", "150", "120", "150", "30"));

    // A post dated after today is only budgeted once changed.
    Account future(c1 + budg("2024-08-01", "2", "10", "10", "10", "10", "0"));
    EXPECT_EQ(future.ledger(2, "2024-06-30").changeAmounts(2, "10", "12").outcome, Outcome::Done);
    EXPECT_EQ(future.image().substr(77), budg("2024-08-01", "2", "10", "12", "10", "12", "2", ' ', ' '));
    EXPECT_TRUE(future.mallImage().empty());
}

namespace {

const std::string V1 = budg("2024-01-01", "1", "0", "0", "0", "0", "0");
const std::string V2 = budg("2024-01-15", "2", "1000", "1000", "1000", "1000", "0");
const std::string V3 = budg("2024-01-15", "3", "-100", "-90", "900", "910", "10");
const std::string V4 = budg("2024-02-01", "3", "-50", "-50", "850", "860", "10");
const std::string V5 = budg("2024-03-01", "3", "-10,00", "-11", "840", "849", "9", 'x', ' ', "6", Nul2);
const std::string V6 = budg("2024-03-02", "3", "-20", "-22", "820", "827", "7");
const std::string V7 = budg("2024-03-03", "3", "-30", "-33", "790", "794", "4");
const std::string V8 = budg("2024-04-01", "2", "5", "5", "795", "799", "4");
const std::string Moving = V1 + V2 + V3 + V4 + V5 + V6 + V7 + V8;

} // namespace

TEST(BudgetLedger, MovedPostsKeepTheirOrderAndAreConfirmedByTheNewDate) {
    // Three March posts to a January day that has posts: after them, in order, canonical amounts,
    // confirmed (the unconfirmed one too) and recorded; the February post they pass loses them.
    const std::string expected = V1 + V2 + V3 +
                                 budg("2024-01-15", "3", "-10", "-11", "890", "899", "9", 'x', '*', "6") +
                                 budg("2024-01-15", "3", "-20", "-22", "870", "877", "7") +
                                 budg("2024-01-15", "3", "-30", "-33", "840", "844", "4") +
                                 budg("2024-02-01", "3", "-50", "-50", "790", "794", "4") + V8;
    for (const auto& [first, last] : {std::pair(5, 7), std::pair(7, 5)}) {
        Account acc(Moving);
        BudgetLedger book = acc.ledger(8, "2024-06-30");
        EXPECT_EQ(book.move(first, last, "2024-01-15"), (PostResult{Outcome::Done, 8, 4, 4}));
        EXPECT_EQ(acc.image(), expected);
        EXPECT_EQ(acc.mallImage(), mallRec("3", "40", "01", "15"));
        EXPECT_FALSE(book.checkBalances(1));
    }

    // After today: to the end, only budgeted, nothing recorded; the posts passed keep every byte but
    // their balances.
    Account acc(Moving);
    BudgetLedger book = acc.ledger(8, "2024-06-30");
    EXPECT_EQ(book.move(2, 3, "2024-12-01"), (PostResult{Outcome::Done, 8, 2, 7}));
    EXPECT_EQ(acc.image(),
              V1 + budg("2024-02-01", "3", "-50", "-50", "-50", "-50", "0") +
                  budg("2024-03-01", "3", "-10,00", "-11", "-60", "-61", "-1", 'x', ' ', "6", Nul2) +
                  budg("2024-03-02", "3", "-20", "-22", "-80", "-83", "-3") +
                  budg("2024-03-03", "3", "-30", "-33", "-110", "-116", "-6") +
                  budg("2024-04-01", "2", "5", "5", "-105", "-111", "-6") +
                  budg("2024-12-01", "2", "1000", "1000", "895", "889", "-6", ' ', ' ') +
                  budg("2024-12-01", "3", "-100", "-90", "795", "799", "4", ' ', ' '));
    EXPECT_TRUE(acc.mallImage().empty());
    EXPECT_FALSE(book.checkBalances(1));

    // A single post: its date and its flag.
    Account single(V2);
    EXPECT_EQ(single.ledger(1, "2024-06-30").move(1, 1, "2024-07-01").outcome, Outcome::Done);
    EXPECT_EQ(single.image(), budg("2024-07-01", "2", "1000", "1000", "1000", "1000", "0", ' ', ' '));
}

TEST(BudgetLedger, MoveThatWouldReachTheLimitChangesNothing) {
    const std::string posts = budg("2024-01-01", "2", "99999000", "0", "99999000", "0", "-99999000") +
                              budg("2024-01-02", "3", "-2000", "0", "99997000", "0", "-99997000") +
                              budg("2024-01-03", "2", "2500", "0", "99999500", "0", "-99999500");
    Account acc(posts);
    BudgetLedger book = acc.ledger(3, "2024-06-30");
    EXPECT_EQ(book.move(2, 2, "2024-01-04").outcome, Outcome::AmountLimit);
    EXPECT_EQ(acc.image(), posts);
    EXPECT_TRUE(acc.untouched());
}

TEST(BudgetLedger, ConfirmAndTickChangeOneByteEach) {
    const std::string p = budg("2024-05-01", "3", "-104,50", "-99", "-104,5", "-99", "5,5", ' ', ' ');
    Account acc(p);
    BudgetLedger book = acc.ledger(1, "2024-06-30");
    EXPECT_EQ(book.confirm(1), Outcome::Done);
    EXPECT_EQ(acc.mallImage(), mallRec("3", "100", "05", "01"));
    EXPECT_EQ(book.confirm(1), Outcome::NoChange);
    EXPECT_TRUE(book.toggleTick(1));
    EXPECT_EQ(acc.image(), budg("2024-05-01", "3", "-104,50", "-99", "-104,5", "-99", "5,5", 'x', '*'));
    EXPECT_FALSE(book.toggleTick(1));
    EXPECT_EQ(acc.image(), budg("2024-05-01", "3", "-104,50", "-99", "-104,5", "-99", "5,5", ' ', '*'));
}
