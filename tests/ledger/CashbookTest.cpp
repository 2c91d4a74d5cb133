#include "ledger/Cashbook.h"

#include "fixtures/AccountFiles.h"
#include "fixtures/TempDrive.h"
#include "store/Errors.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

using fixtures::blanked;
using fixtures::cash;
using ledger::Cashbook;
using ledger::Outcome;
using ledger::PostResult;
using ledger::SignCheck;
using store::Amount;
using store::RecordFile;

namespace ledger {
static void PrintTo(const PostResult& r, std::ostream* os) {
    *os << "{outcome " << static_cast<int>(r.outcome) << ", N " << r.postCount << ", S " << r.recountStart
        << ", at " << r.position << "}";
}
} // namespace ledger

namespace {

Amount amount(std::string_view text) {
    return Amount::parseStored(text);
}

// KontoData of a cash-book account in a temporary folder.
class Account {
public:
    explicit Account(const std::string& bytes) {
        drive_.writeFile("KontoData", bytes);
        file_.emplace(drive_ / "KontoData", 43, RecordFile::Missing::Fail);
    }
    RecordFile& file() { return *file_; }
    const std::string& image() const { return file_->image(); }

private:
    TempDrive drive_;
    std::optional<RecordFile> file_;
};

const std::string P1 = cash("2024-03-03", "2", "1000", "1000");
const std::string P2 = cash("2024-03-05", "3", "-200", "800");
const std::string P3 = cash("2024-03-05", "3", "-100", "700");
// A post with a tick, a sub-transaction, an amount written with trailing zeros and NUL bytes where
// an older version left them: shifting it may change its Saldo and nothing else.
const std::string P4 = cash("2024-03-09", "2", "50,00", "750", "12", 'x', std::string("\0\0", 2));

} // namespace

TEST(Cashbook, InsertGoesAfterTheLastPostOfItsDayAndShiftsTheRest) {
    Account acc(P1 + P2 + P3 + P4);
    Cashbook book(acc.file(), 4);

    EXPECT_EQ(book.insertPosition("2024-03-05"), 4);
    EXPECT_EQ(book.insertPosition("2024-03-01"), 1);
    EXPECT_EQ(book.insertPosition("2024-03-09"), 5);

    EXPECT_EQ(book.insert({"2024-03-05", -3, 7, amount("-300")}), (PostResult{Outcome::Done, 5, 4, 4}));
    const std::string new4 = cash("2024-03-05", "3", "-300", "400", "7");
    const std::string moved4 = cash("2024-03-09", "2", "50,00", "450", "12", 'x', std::string("\0\0", 2));
    EXPECT_EQ(acc.image(), P1 + P2 + P3 + new4 + moved4);

    // Before every post: record 1, every post one place up with the amount added.
    EXPECT_EQ(book.insert({"2024-02-29", 2, 0, amount("0,25")}), (PostResult{Outcome::Done, 6, 1, 1}));
    EXPECT_EQ(acc.image(),
              cash("2024-02-29", "2", "0,25", "0,25") + cash("2024-03-03", "2", "1000", "1000,25") +
                  cash("2024-03-05", "3", "-200", "800,25") + cash("2024-03-05", "3", "-100", "700,25") +
                  cash("2024-03-05", "3", "-300", "400,25", "7") +
                  cash("2024-03-09", "2", "50,00", "450,25", "12", 'x', std::string("\0\0", 2)));

    // A zero amount moves the later posts without touching a byte of them.
    const std::string before = acc.image();
    EXPECT_EQ(book.insert({"2024-03-01", 1, 0, Amount()}).position, 2);
    EXPECT_EQ(acc.image(), before.substr(0, 43) + cash("2024-03-01", "1", "0", "0,25") + before.substr(43));
    Account zero(cash("2024-03-01", "2", "100,50", "100,50"));
    EXPECT_EQ(Cashbook(zero.file(), 1).insert({"2024-02-01", 1, 0, Amount()}).position, 1);
    EXPECT_EQ(zero.image(), cash("2024-02-01", "1", "0", "0") + cash("2024-03-01", "2", "100,50", "100,50"));
    EXPECT_EQ(book.postCount(), 7);
}

TEST(Cashbook, AmountLimitAndFieldWidthRefuseBeforeAnyWrite) {
    const std::string posts =
        cash("2024-01-01", "2", "99999000", "99999000") + cash("2024-01-10", "2", "500", "99999500");
    Account acc(posts);
    Cashbook book(acc.file(), 2);

    // The new post itself stays below, but the later balance would reach exactly 100 000 000.
    EXPECT_EQ(book.insert({"2024-01-05", 2, 0, amount("500")}).outcome, Outcome::AmountLimit);
    // An amount at the limit on its own, and the negative side.
    EXPECT_EQ(book.insert({"2024-01-20", 2, 0, Amount::whole(100'000'000)}).outcome, Outcome::AmountLimit);
    EXPECT_EQ(book.insert({"2024-01-20", 3, 0, Amount::whole(-199'999'500)}).outcome, Outcome::AmountLimit);
    // Below the limit, but the balance 99999499,9999 has no room in its 11 characters.
    EXPECT_EQ(book.insert({"2024-01-20", 3, 0, amount("-0,0001")}).outcome, Outcome::DoesNotFit);
    EXPECT_EQ(acc.image(), posts);
    EXPECT_FALSE(acc.file().dirty());
    EXPECT_EQ(book.postCount(), 2);

    EXPECT_EQ(book.insert({"2024-01-05", 2, 0, amount("499,99")}).outcome, Outcome::Done);
    EXPECT_EQ(acc.image(), cash("2024-01-01", "2", "99999000", "99999000") +
                               cash("2024-01-05", "2", "499,99", "99999499,99") +
                               cash("2024-01-10", "2", "500", "99999999,99"));
}

TEST(Cashbook, BalanceEntryWorksOutTheAmountAndChecksItsSign) {
    Account acc(cash("2024-03-01", "1", "1000", "1000"));
    const Cashbook book(acc.file(), 1);

    auto e = book.balanceEntry("2024-03-05", amount("750"), ' ');
    EXPECT_EQ(e.amount, amount("-250"));
    EXPECT_EQ(e.position, 2);
    EXPECT_TRUE(e.fromPrevious);
    EXPECT_EQ(e.sign, SignCheck::Agrees);

    EXPECT_EQ(book.balanceEntry("2024-03-05", amount("750"), '-').sign, SignCheck::Agrees);
    EXPECT_EQ(book.balanceEntry("2024-03-05", amount("750"), '+').sign, SignCheck::NegativeForIncome);
    EXPECT_EQ(book.balanceEntry("2024-03-05", amount("1200,5"), '-').sign, SignCheck::PositiveForExpense);
    // An unchanged balance is a zero amount, which an expense does not take.
    EXPECT_EQ(book.balanceEntry("2024-03-05", amount("1000"), '-').sign, SignCheck::PositiveForExpense);

    // Before every post the new balance is the amount itself, unchecked.
    e = book.balanceEntry("2024-02-01", amount("-750"), '+');
    EXPECT_EQ(e.amount, amount("-750"));
    EXPECT_EQ(e.position, 1);
    EXPECT_FALSE(e.fromPrevious);
    EXPECT_EQ(e.sign, SignCheck::Agrees);
    EXPECT_EQ(acc.image(), cash("2024-03-01", "1", "1000", "1000"));
}

TEST(Cashbook, CheckComparesOnTwoDecimalsAndRecountRepairs) {
    // Post 2 is off by less than half a hundredth; post 3 is off by 50, and the posts after it
    // follow its wrong balance.
    const std::string posts = cash("2024-01-01", "1", "0", "0") +
                              cash("2024-01-02", "2", "1000", "1000,004") +
                              cash("2024-01-03", "3", "-350", "700") + cash("2024-01-04", "3", "-50", "650") +
                              cash("2024-01-05", "2", "25", "675,00", "3", 'x');
    Account acc(posts);
    Cashbook book(acc.file(), 5);

    const auto fault = book.checkBalances(1);
    ASSERT_TRUE(fault);
    EXPECT_EQ(fault->post, 3);
    EXPECT_EQ(fault->stored, amount("700"));
    EXPECT_EQ(fault->expected, amount("650,004"));
    EXPECT_EQ(fault->record.text(store::PostRec_Enkel::Datum), "2024-01-03");
    // From post 4 on, each balance agrees with the stored one before it.
    EXPECT_FALSE(book.checkBalances(4));
    EXPECT_FALSE(book.checkBalances(6));
    EXPECT_EQ(acc.image(), posts);

    // Half a hundredth shows as a different balance.
    Account half(cash("2024-01-01", "2", "10", "10,005"));
    EXPECT_TRUE(Cashbook(half.file(), 1).checkBalances(1));

    EXPECT_EQ(book.recount(3), Outcome::Done);
    EXPECT_EQ(acc.image(), cash("2024-01-01", "1", "0", "0") + cash("2024-01-02", "2", "1000", "1000,004") +
                               cash("2024-01-03", "3", "-350", "650,004") +
                               cash("2024-01-04", "3", "-50", "600,004") +
                               cash("2024-01-05", "2", "25", "625,004", "3", 'x'));
    EXPECT_FALSE(book.checkBalances(1));

    // A recount from post 1 fixes the sub-hundredth too, and a balance that is no number.
    Account broken(cash("2024-01-01", "2", "10", "abc") + cash("2024-01-02", "2", "5", "15,00"));
    Cashbook b(broken.file(), 2);
    EXPECT_THROW(b.checkBalances(1), store::DataError);
    EXPECT_EQ(b.recount(1), Outcome::Done);
    EXPECT_EQ(broken.image(), cash("2024-01-01", "2", "10", "10") + cash("2024-01-02", "2", "5", "15,00"));

    // A recount that would reach the limit writes nothing.
    const std::string big = cash("2024-01-01", "2", "99999999", "1") + cash("2024-01-02", "2", "1", "2");
    Account over(big);
    EXPECT_EQ(Cashbook(over.file(), 2).recount(1), Outcome::AmountLimit);
    EXPECT_EQ(over.image(), big);
    EXPECT_FALSE(over.file().dirty());
}

TEST(Cashbook, DeleteShiftsDownAndBlanksTheLastRecord) {
    const std::string a = cash("2024-01-01", "2", "100", "100");
    const std::string b = cash("2024-01-02", "3", "-30", "70", "4", 'x');
    const std::string c = cash("2024-01-03", "2", "50", "120");
    {
        Account acc(a + b + c);
        Cashbook book(acc.file(), 3);
        EXPECT_EQ(book.remove(1), (PostResult{Outcome::Done, 2, 1, 1}));
        EXPECT_EQ(acc.image(), cash("2024-01-02", "3", "-30", "-30", "4", 'x') +
                                   cash("2024-01-03", "2", "50", "20") + blanked(c));
    }
    {
        // The last post: only its date goes; the file keeps its length and the next post takes it.
        Account acc(a + b + c);
        Cashbook book(acc.file(), 3);
        EXPECT_EQ(book.remove(3), (PostResult{Outcome::Done, 2, 2, 2}));
        EXPECT_EQ(acc.image(), a + b + blanked(c));
        EXPECT_EQ(book.insert({"2024-01-05", 3, 0, amount("-5")}), (PostResult{Outcome::Done, 3, 3, 3}));
        EXPECT_EQ(acc.image(), a + b + cash("2024-01-05", "3", "-5", "65"));
    }
    {
        // Post 3 of 5 with -200: posts 4 and 5 come down with 200 more.
        const std::string p3 = cash("2024-01-03", "3", "-200", "-130");
        Account acc(a + b + p3 + cash("2024-01-04", "2", "10", "-120") +
                    cash("2024-01-05", "2", "20", "-100"));
        Cashbook book(acc.file(), 5);
        EXPECT_EQ(book.remove(3), (PostResult{Outcome::Done, 4, 3, 3}));
        EXPECT_EQ(acc.image(), a + b + cash("2024-01-04", "2", "10", "80") +
                                   cash("2024-01-05", "2", "20", "100") +
                                   blanked(cash("2024-01-05", "2", "20", "-100")));
    }
    {
        // The only post stays; the caller removes the account.
        Account acc(a + blanked(b));
        Cashbook book(acc.file(), 1);
        EXPECT_EQ(book.remove(1).outcome, Outcome::OnlyPost);
        EXPECT_EQ(acc.image(), a + blanked(b));
        EXPECT_FALSE(acc.file().dirty());
        EXPECT_THROW(book.remove(2), std::out_of_range);
    }
}

TEST(Cashbook, ChangeAmountMovesEveryLaterBalance) {
    const std::string posts = cash("2024-01-01", "1", "0", "0") + cash("2024-01-02", "2", "100,00", "100") +
                              cash("2024-01-03", "2", "40", "140", "", 'x') +
                              cash("2024-01-04", "2", "5", "145");
    Account acc(posts);
    Cashbook book(acc.file(), 4);

    EXPECT_EQ(book.changeAmount(2, amount("100")).outcome, Outcome::NoChange);
    EXPECT_EQ(book.changeAmount(2, Amount::whole(100'000'000)).outcome, Outcome::AmountLimit);
    EXPECT_EQ(book.changeAmount(2, amount("99999955")).outcome, Outcome::AmountLimit); // post 4 reaches it
    EXPECT_EQ(acc.image(), posts);
    EXPECT_FALSE(acc.file().dirty());

    EXPECT_EQ(book.changeAmount(2, amount("150")), (PostResult{Outcome::Done, 4, 2, 2}));
    EXPECT_EQ(acc.image(), cash("2024-01-01", "1", "0", "0") + cash("2024-01-02", "2", "150", "150") +
                               cash("2024-01-03", "2", "40", "190", "", 'x') +
                               cash("2024-01-04", "2", "5", "195"));
}

namespace {

// Eight posts; 5..7 in March, one of them ticked with a sub-transaction.
const std::string M1 = cash("2024-01-05", "1", "0", "0");
const std::string M2 = cash("2024-01-10", "2", "100", "100");
const std::string M3 = cash("2024-01-10", "3", "-20", "80");
const std::string M4 = cash("2024-02-01", "2", "5", "85");
const std::string M5 = cash("2024-03-02", "3", "-10", "75", "4", 'x', std::string("\0\0", 2));
const std::string M6 = cash("2024-03-03", "3", "-20,00", "55");
const std::string M7 = cash("2024-03-04", "3", "-30", "25");
const std::string M8 = cash("2024-04-01", "2", "1", "26");
const std::string Moving = M1 + M2 + M3 + M4 + M5 + M6 + M7 + M8;

} // namespace

TEST(Cashbook, MoveKeepsTheOrderAndLandsAfterThePostsOfTheDay) {
    const std::string expected = M1 + M2 + M3 + cash("2024-01-10", "3", "-10", "70", "4", 'x') +
                                 cash("2024-01-10", "3", "-20", "50") + cash("2024-01-10", "3", "-30", "20") +
                                 cash("2024-02-01", "2", "5", "25") + M8;
    for (const auto& [first, last] : {std::pair(5, 7), std::pair(7, 5)}) {
        Account acc(Moving);
        Cashbook book(acc.file(), 8);
        EXPECT_EQ(book.move(first, last, "2024-01-10"), (PostResult{Outcome::Done, 8, 4, 4}));
        EXPECT_EQ(acc.image(), expected);
        EXPECT_FALSE(book.checkBalances(1));
    }

    // Later than every post: to the end, in the same order.
    Account acc(Moving);
    Cashbook book(acc.file(), 8);
    EXPECT_EQ(book.move(2, 4, "2024-05-01"), (PostResult{Outcome::Done, 8, 2, 6}));
    EXPECT_EQ(acc.image(), M1 + cash("2024-03-02", "3", "-10", "-10", "4", 'x', std::string("\0\0", 2)) +
                               cash("2024-03-03", "3", "-20,00", "-30") +
                               cash("2024-03-04", "3", "-30", "-60") + cash("2024-04-01", "2", "1", "-59") +
                               cash("2024-05-01", "2", "100", "41") + cash("2024-05-01", "3", "-20", "21") +
                               cash("2024-05-01", "2", "5", "26"));
    EXPECT_FALSE(book.checkBalances(1));

    // Before every post.
    Account early(Moving);
    EXPECT_EQ(Cashbook(early.file(), 8).move(8, 8, "2023-12-31"), (PostResult{Outcome::Done, 8, 1, 1}));
    EXPECT_EQ(early.image().substr(0, 86),
              cash("2023-12-31", "2", "1", "1") + cash("2024-01-05", "1", "0", "1"));

    // A single post only gets its new date.
    Account single(M5);
    EXPECT_EQ(Cashbook(single.file(), 1).move(1, 1, "2024-06-01").outcome, Outcome::Done);
    EXPECT_EQ(single.image(), cash("2024-06-01", "3", "-10", "75", "4", 'x', std::string("\0\0", 2)));
}

TEST(Cashbook, MoveThatWouldReachTheLimitChangesNothing) {
    const std::string posts = cash("2024-01-01", "2", "99999000", "99999000") +
                              cash("2024-01-02", "3", "-2000", "99997000") +
                              cash("2024-01-03", "2", "2500", "99999500");
    Account acc(posts);
    Cashbook book(acc.file(), 3);
    EXPECT_EQ(book.move(2, 2, "2024-01-04").outcome, Outcome::AmountLimit);
    EXPECT_EQ(acc.image(), posts);
    EXPECT_FALSE(acc.file().dirty());
    // The same post to the start is fine: the balances only fall.
    EXPECT_EQ(book.move(2, 2, "2023-12-01").outcome, Outcome::Done);
    EXPECT_EQ(acc.image(), cash("2023-12-01", "3", "-2000", "-2000") +
                               cash("2024-01-01", "2", "99999000", "99997000") +
                               cash("2024-01-03", "2", "2500", "99999500"));
}

TEST(Cashbook, TickTogglesOnlyItsByte) {
    Account acc(M4 + M5);
    Cashbook book(acc.file(), 2);
    EXPECT_TRUE(book.toggleTick(1));
    EXPECT_FALSE(book.toggleTick(2));
    EXPECT_EQ(acc.image(), cash("2024-02-01", "2", "5", "85", "", 'x') +
                               cash("2024-03-02", "3", "-10", "75", "4", ' ', std::string("\0\0", 2)));
}

TEST(Cashbook, RefusesWhatItCannotDo) {
    Account acc(M1 + M2);
    EXPECT_THROW(Cashbook(acc.file(), 3), std::out_of_range);
    Cashbook book(acc.file(), 2);
    EXPECT_THROW(book.insert({"2024-02-30", 2, 0, Amount()}), std::invalid_argument);
    EXPECT_THROW(book.insert({"2024-01-11", 12345, 0, Amount()}), store::DataError);
    EXPECT_THROW(book.move(1, 3, "2024-01-11"), std::out_of_range);
    EXPECT_EQ(acc.image(), M1 + M2);
    EXPECT_FALSE(acc.file().dirty());
}

TEST(Cashbook, ASubTransactionOrTheOnlyPostsDateChangesOnlyItsBytes) {
    Account acc(P1 + P4);
    using store::PostRec_Enkel;
    ledger::shift::setSubTransaction(acc.file(), 2, 2, PostRec_Enkel::SubTransNr, 3);
    ledger::shift::setSubTransaction(acc.file(), 2, 1, PostRec_Enkel::SubTransNr, 0);
    ledger::shift::setDate(acc.file(), 2, 2, "2024-04-01");
    EXPECT_EQ(acc.image(), P1 + cash("2024-04-01", "2", "50,00", "750", "3", 'x', std::string("\0\0", 2)));
    EXPECT_THROW(ledger::shift::setDate(acc.file(), 2, 1, "2024-4-1"), std::invalid_argument);
    EXPECT_THROW(ledger::shift::setSubTransaction(acc.file(), 2, 3, PostRec_Enkel::SubTransNr, 1),
                 std::out_of_range);
}
