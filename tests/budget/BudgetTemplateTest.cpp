#include "budget/BudgetTemplate.h"

#include "fixtures/AccountFiles.h"
#include "fixtures/TempDrive.h"
#include "store/Errors.h"
#include "store/Records.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using budget::BudgetTemplate;
using store::PostRec_Budget;
using store::RecordFile;

namespace {

// A post budgeting what it spent.
PostRec_Budget post(std::string_view datum, std::string_view transNr, std::string_view verkl,
                    bool confirmed = true) {
    return PostRec_Budget(
        fixtures::budg(datum, transNr, verkl, verkl, "0", "0", "0", ' ', confirmed ? '*' : ' '));
}

// The records of a template image, 18 bytes each.
std::vector<std::string> records(const RecordFile& mall) {
    std::vector<std::string> out;
    for (std::size_t i = 0; i + 18 <= mall.image().size(); i += 18)
        out.push_back(mall.image().substr(i, 18));
    return out;
}

struct Account {
    TempDrive drive;
    RecordFile kontoData{drive / "KontoData", 77};
    RecordFile mall{drive / "B-mall", 18};

    int add(const PostRec_Budget& p) {
        const auto n = kontoData.count() + 1;
        kontoData.write(n, p);
        return static_cast<int>(n);
    }
};

} // namespace

TEST(BudgetTemplate, ValueRoundsExpensesUpAndIncomesDown) {
    using budget::templateValue;
    // Expenses: the next ten above ("-0,5": a half rounds to the even 0). Incomes: one ten below.
    const std::pair<const char*, int> cases[] = {
        {"-100", 110}, {"-104,50", 110}, {"-7", 10},    {"-0,40", 0}, {"-0,60", 10}, {"-0,5", 0},
        {"-1,5", 10},  {"-0", 0},        {"- 99", 100}, {"100", 90},  {"109", 90},   {"25", 10},
        {"5", -10},    {"0,5", 0},       {"1,5", -10},  {"0", 0},
    };
    for (const auto& [text, value] : cases)
        EXPECT_EQ(templateValue(text), value) << text;
    EXPECT_EQ(templateValue("99999999,99"), 99999980);
    EXPECT_THROW(templateValue("tio"), store::DataError);
    EXPECT_THROW(templateValue("-"), store::DataError);

    // Eight characters hold the amount: a value beyond is held at the largest that fits, not cut.
    EXPECT_EQ(templateValue("-99999995"), 100000000);
    Account a;
    BudgetTemplate t(a.mall);
    t.update(post("2023-07-31", "4", "-99999995"));
    EXPECT_EQ(records(a.mall), std::vector<std::string>{"4   999999900731  "});
}

TEST(BudgetTemplate, UpdateReplacesThePairsRecordAndKeepsItsExclusionMark) {
    Account a;
    a.mall.writeRaw(1, "12  110     0315* ");
    a.mall.writeRaw(2, "7   -10     0402  ");
    a.mall.writeRaw(3, "12  50      0301  "); // a second record of a pair is never found
    BudgetTemplate t(a.mall);
    ASSERT_EQ(t.count(), 3);

    t.update(post("2024-03-20", "12", "-200,5"));
    t.update(post("2024-04-09", "7", "250"));
    EXPECT_EQ(records(a.mall),
              (std::vector<std::string>{"12  210     0320* ", "7   240     0409  ", "12  50      0301  "}));

    // A new pair goes after the last record, with no mark.
    t.update(post("2024-03-05", "7", "-7"));
    t.update(post("2024-11-30", "12", "-0,40"));
    EXPECT_EQ(t.count(), 5);
    EXPECT_EQ(records(a.mall),
              (std::vector<std::string>{"12  210     0320* ", "7   240     0409  ", "12  50      0301  ",
                                        "7   10      0305  ", "12  0       1130  "}));
    // The appended record is found again by the next update.
    t.update(post("2025-03-28", "7", "-31"));
    EXPECT_EQ(t.count(), 5);
    EXPECT_EQ(records(a.mall)[3], "7   40      0328  ");
    EXPECT_TRUE(a.mall.dirty());
}

TEST(BudgetTemplate, BuildTakesTheConfirmedPostsOfThePreviousYear) {
    Account a;
    a.add(post("2022-12-01", "2", "-999"));              // older year: outside
    a.add(post("2023-03-05", "2", "-100"));              // replaced by the later March post
    a.add(post("2023-03-20", "2", "-200,5"));            //
    a.add(post("2023-04-01", "2", "-300", false));       // unconfirmed: skipped
    a.add(post("2023-05-01", "3", "500"));               //
    const int n = a.add(post("2024-01-10", "2", "-50")); // this year: outside

    BudgetTemplate t(a.mall);
    EXPECT_TRUE(t.open(a.kontoData, n, "2024-06-01"));
    EXPECT_EQ(t.count(), 2);
    EXPECT_EQ(records(a.mall), (std::vector<std::string>{"2   210     0320  ", "3   490     0501  "}));

    // Opened again with a template in place: nothing is rebuilt.
    BudgetTemplate again(a.mall);
    EXPECT_FALSE(again.open(a.kontoData, n, "2024-06-01"));
    EXPECT_EQ(again.count(), 2);
}

TEST(BudgetTemplate, BuildWithoutPostsOfThePreviousYear) {
    {
        // Every post in the current year: all confirmed posts.
        Account a;
        a.add(post("2024-01-02", "1", "0"));
        a.add(post("2024-01-25", "4", "21000"));
        a.add(post("2024-02-01", "5", "-8000", false));
        const int n = a.add(post("2024-02-03", "5", "-7990"));
        BudgetTemplate t(a.mall);
        EXPECT_TRUE(t.open(a.kontoData, n, "2024-02-10"));
        EXPECT_EQ(records(a.mall), (std::vector<std::string>{"1   0       0102  ", "4   20990   0125  ",
                                                             "5   8000    0203  "}));
    }
    {
        // Older years then this year: the posts after the older years.
        Account a;
        a.add(post("2021-05-01", "4", "-100"));
        a.add(post("2024-02-01", "4", "-300"));
        const int n = a.add(post("2024-03-01", "5", "40"));
        BudgetTemplate t(a.mall);
        t.build(a.kontoData, n, "2024-06-01");
        EXPECT_EQ(records(a.mall), (std::vector<std::string>{"4   310     0201  ", "5   30      0301  "}));
    }
    {
        // A single post builds nothing.
        Account a;
        const int n = a.add(post("2023-05-01", "2", "-100"));
        BudgetTemplate t(a.mall);
        EXPECT_FALSE(t.open(a.kontoData, n, "2024-06-01"));
        EXPECT_EQ(t.count(), 0);
        EXPECT_EQ(a.mall.byteLength(), 0u);
    }
}

TEST(BudgetTemplate, AnAccountDownToOnePostKeepsItsTemplateRecords) {
    Account a;
    a.mall.writeRaw(1, "3   110     0105* ");
    a.mall.writeRaw(2, "4   90      0210  ");
    const int n = a.add(post("2024-06-01", "1", "0"));

    BudgetTemplate t(a.mall);
    EXPECT_FALSE(t.open(a.kontoData, n, "2024-06-01"));
    EXPECT_EQ(t.count(), 2);
    // A newly confirmed post is appended, never written over the first record.
    t.update(post("2024-06-02", "5", "-45"));
    EXPECT_EQ(records(a.mall),
              (std::vector<std::string>{"3   110     0105* ", "4   90      0210  ", "5   50      0602  "}));
}

TEST(BudgetTemplate, ReloadCountFollowsTheFile) {
    Account a;
    BudgetTemplate t(a.mall);
    t.update(post("2024-01-15", "12", "-100"));
    EXPECT_EQ(records(a.mall), std::vector<std::string>{"12  110     0115  "});
    a.mall.writeRaw(2, "13  20      0216  ");
    t.reloadCount();
    EXPECT_EQ(t.count(), 2);
    t.update(post("2024-02-01", "13", "-5"));
    EXPECT_EQ(records(a.mall)[1], "13  10      0201  ");
}
