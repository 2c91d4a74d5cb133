#include "stats/Statistics.h"

#include "StatsFiles.h"
#include "store/Errors.h"

#include <gtest/gtest.h>

using namespace stats;
using statstest::budg;
using statstest::cash;
using store::Amount;

namespace {

Amount amount(std::string_view text) {
    return *Amount::parse(text);
}

// Each row as "date sub-transaction amount".
std::vector<std::string> shown(const Statistics& st) {
    std::vector<std::string> out;
    for (const StatRow& r : st.rows)
        out.push_back(r.datum + " " + r.subTransaction + " " + r.amount);
    return out;
}

} // namespace

TEST(Statistics, TotalAndMeanRoundToHundredthsHalfAwayFromZero) {
    struct Case {
        std::vector<std::string_view> amounts;
        std::string_view total, mean;
    };
    const std::vector<Case> cases{
        {{"100", "-50", "20"}, "70,00", "23,33"},
        {{"-100", "-50", "-20"}, "-170,00", "-56,67"},
        {{"1", "1", "0"}, "2,00", "0,67"},
        {{"0,05", "0"}, "0,05", "0,03"},        // 0,025: a half goes up
        {{"-0,05", "0"}, "-0,05", "-0,03"},     // and away from zero below it
        {{"0,0049", "0"}, "0,00", "0,00"},      // 0,00245 stays below the half
        {{"0,0301", "0", "0"}, "0,03", "0,01"}, // 0,01003...
        {{"1234567,5"}, "1 234 567,50", "1 234 567,50"},
        {{"5", "-5"}, "0,00", "0,00"},
    };
    for (const Case& c : cases) {
        Amount total;
        for (auto a : c.amounts)
            total += amount(a);
        EXPECT_EQ(totalText(total), c.total);
        EXPECT_EQ(meanText(total, static_cast<int>(c.amounts.size())), c.mean) << c.total;
    }
    EXPECT_EQ(meanText(Amount(), 0), "");
}

TEST(Statistics, HitsOfACashBookAccount) {
    TempDrive drive;
    const std::string posts = cash("2020-01-01", "1", "0", "0") +
                              cash("2020-01-05", "4", "-100", "-100", "1") + // Mat, Hyra
                              cash("2020-01-06", "2", "500", "400") +
                              cash("2020-01-07", "-4", "50", "450", "3") +     // negated number: still Mat
                              cash("2020-01-08", "4", "-20,5", "429,5", "2") + // free Kategori slot
                              cash("2020-01-09", "4", "-1", "428,5", "9") +    // beyond Kategori
                              cash("2020-02-01", "4", "-1000", "-571,5");      // outside the period
    const auto files = statstest::account(drive, ledger::Kind::Cash, posts);
    const Statistics st = computeStatistics(files, PostRange{2, 6}, 4);
    ASSERT_EQ(st.hits(), 4);
    EXPECT_EQ(shown(st), (std::vector<std::string>{"2020-01-05 Hyra -100,00", "2020-01-07 Bröd 50,00",
                                                   "2020-01-08  -20,50", "2020-01-09  -1,00"}));
    EXPECT_EQ(st.rows[2].value, amount("-20,5"));
    EXPECT_EQ(st.total, amount("-71,5"));
    EXPECT_EQ(st.summary, "Antal = 4, Totalbel. = -71,50, Medel = -17,88");
}

TEST(Statistics, NoHits) {
    TempDrive drive;
    const std::string posts = cash("2020-01-01", "1", "0", "0") + cash("2020-01-05", "4", "-100", "-100");
    const auto files = statstest::account(drive, ledger::Kind::Cash, posts);
    // No transaction chosen, a transaction without posts, and an empty period.
    for (const auto& [range, transNr] : std::vector<std::pair<PostRange, int>>{
             {PostRange{1, 2}, 0}, {PostRange{1, 2}, 3}, {PostRange{3, 2}, 4}}) {
        const Statistics st = computeStatistics(files, range, transNr);
        EXPECT_TRUE(st.noHits());
        EXPECT_EQ(st.summary, "");
        EXPECT_EQ(st.total, Amount());
    }
    // The texts that say so are checked by UtskrStatTest.StatisticsWithoutHitsSayItOnScreenOrInAMessage.
}

TEST(Statistics, BudgetAccountCountsTheActualAmount) {
    TempDrive drive;
    const std::string posts =
        budg("2020-01-01", "1", "0", "0", "0", "0", "0") +
        budg("2020-01-05", "4", "-300", "-250,25", "-300", "-250,25", "49,75", ' ', '*', "1") +
        budg("2020-01-25", "4", "-300", "0", "-600", "-250,25", "349,75");
    const auto files = statstest::account(drive, ledger::Kind::Budget, posts);
    const Statistics st = computeStatistics(files, PostRange{1, 3}, 4);
    EXPECT_EQ(shown(st), (std::vector<std::string>{"2020-01-05 Hyra -250,25", "2020-01-25  0,00"}));
    EXPECT_EQ(st.summary, "Antal = 2, Totalbel. = -250,25, Medel = -125,13");
}

TEST(Statistics, ADamagedFieldIsADataError) {
    TempDrive drive;
    const auto files = statstest::account(
        drive, ledger::Kind::Cash, cash("2020-01-01", "1", "0", "0") + cash("2020-01-02", "4", "12x", "0"));
    EXPECT_THROW(computeStatistics(files, PostRange{1, 2}, 4), store::DataError);
    // A post of another transaction is not read for its amount.
    EXPECT_TRUE(computeStatistics(files, PostRange{1, 2}, 2).noHits());

    // Amounts far past any limit in a damaged file: the sum is refused, never wrapped.
    TempDrive drive2;
    std::string huge;
    for (int i = 0; i < 100000; ++i)
        huge += cash("2020-01-01", "4", "99999999999", "0");
    const auto big = statstest::account(drive2, ledger::Kind::Cash, huge);
    EXPECT_THROW(computeStatistics(big, PostRange{1, 100000}, 4), store::DataError);
}
