#include "stats/Period.h"

#include "StatsFiles.h"

#include <gtest/gtest.h>

using namespace stats;
using statstest::cash;

namespace {

std::vector<std::string> numbers(int from, int to) {
    std::vector<std::string> v;
    for (int i = from; i <= to; ++i)
        v.push_back(i < 10 ? "0" + std::to_string(i) : std::to_string(i));
    return v;
}

} // namespace

TEST(Period, SpanComesFromTheFirstAndTheLastDatedPost) {
    TempDrive drive;
    // Two records blanked by deletions after the last post.
    const std::string posts = cash("2009-03-14", "1", "0", "0") + cash("2010-06-01", "2", "100", "100") +
                              cash("2011-01-02", "3", "-5", "95") + cash("", "3", "-7", "88") +
                              cash("", "2", "1", "89");
    const auto files = statstest::account(drive, ledger::Kind::Cash, posts);
    const auto span = findAccountSpan(files.kontoData);
    ASSERT_TRUE(span);
    EXPECT_EQ(span->postCount, 3);
    const PeriodParts whole = wholePeriod(*span);
    EXPECT_EQ(whole, (PeriodParts{"2009", "03", "14", "2011", "01", "02"}));
    EXPECT_EQ(startKey(whole), "20090314");
    EXPECT_EQ(endKey(whole), "20110102");
    EXPECT_EQ(yearList(*span), (std::vector<std::string>{"2009", "2010", "2011", "2012"}));
    EXPECT_TRUE(coversWholeFile(whole, *span));
    EXPECT_EQ(coverageText(true), "Hela Kontofilen !");
    EXPECT_EQ(findRange(files.kontoData, 3, whole), (PostRange{1, 3}));
}

TEST(Period, AFileWithoutPostsHasNoSpan) {
    TempDrive drive;
    const auto empty = statstest::account(drive, ledger::Kind::Cash, "");
    EXPECT_FALSE(findAccountSpan(empty.kontoData));
    TempDrive drive2;
    const auto blanked = statstest::account(drive2, ledger::Kind::Cash, cash("", "1", "0", "0"));
    EXPECT_FALSE(findAccountSpan(blanked.kontoData));
}

TEST(Period, PickerLists) {
    EXPECT_EQ(monthList(), numbers(1, 12));
    // Which years are leap years is the calendar's (DateTextTest.LeapYears).
    EXPECT_EQ(dayList("2012", "02"), numbers(1, 29));
    EXPECT_EQ(dayList("2011", "02"), numbers(1, 28));
    EXPECT_EQ(dayList("2011", "04"), numbers(1, 30));
    EXPECT_EQ(dayList("2011", "12"), numbers(1, 31));
    EXPECT_EQ(dayList("2011", ""), numbers(1, 31)); // no month chosen yet: the widest list
}

TEST(Period, ValidationAndCoverage) {
    const AccountSpan span{5, "2009-03-14", "2011-01-02"};
    PeriodParts p = wholePeriod(span);
    p.startYear = "2012"; // after the end year
    EXPECT_FALSE(periodValid(p));
    p.startYear = "2011";
    p.startMonth = "01";
    p.startDay = "02"; // start on the end day
    EXPECT_TRUE(periodValid(p));
    EXPECT_FALSE(coversWholeFile(p, span));
    EXPECT_EQ(coverageText(false), "Del av Kontofilen !");

    // A period reaching beyond the file on both sides covers it; one day short at either end does not.
    EXPECT_TRUE(coversWholeFile(PeriodParts{"2009", "01", "01", "2012", "12", "31"}, span));
    EXPECT_FALSE(coversWholeFile(PeriodParts{"2009", "03", "15", "2011", "01", "02"}, span));
    EXPECT_FALSE(coversWholeFile(PeriodParts{"2009", "03", "14", "2011", "01", "01"}, span));

    // A refused change restores the last accepted period from its keys.
    EXPECT_EQ(partsFromKeys("20090314", "20110102"), wholePeriod(span));
}

TEST(Period, RangeOfAPeriod) {
    TempDrive drive;
    const std::string posts = cash("2020-01-05", "1", "0", "0") + cash("2020-02-10", "2", "1", "1") +
                              cash("2020-02-10", "2", "1", "2") + cash("2020-03-01", "2", "1", "3") +
                              cash("2020-04-20", "2", "1", "4");
    const auto files = statstest::account(drive, ledger::Kind::Cash, posts);
    struct Case {
        PeriodParts period;
        PostRange range;
    };
    const std::vector<Case> cases{
        {{"2020", "01", "05", "2020", "04", "20"}, {1, 5}}, // exactly the file
        {{"2020", "02", "10", "2020", "02", "10"}, {2, 3}}, // one day holding two posts
        {{"2020", "01", "06", "2020", "02", "29"}, {2, 3}}, // bounds between posts
        {{"2019", "01", "01", "2020", "01", "05"}, {1, 1}}, // ends on the first post
        {{"2020", "02", "11", "2020", "02", "28"}, {4, 3}}, // between two posts: empty
        {{"2018", "01", "01", "2019", "12", "31"}, {6, 5}}, // before every post: empty
        {{"2020", "04", "21", "2021", "01", "01"}, {6, 5}}, // after every post: empty
    };
    for (const Case& c : cases) {
        const PostRange r = findRange(files.kontoData, 5, c.period);
        EXPECT_EQ(r, c.range) << startKey(c.period) << "-" << endKey(c.period);
        EXPECT_EQ(r.empty(), c.range.first > c.range.last);
    }
}

TEST(Period, SelectionAcceptsOrRestoresAChange) {
    TempDrive drive;
    const std::string posts = cash("2009-03-14", "1", "0", "0") + cash("2010-06-01", "2", "100", "100") +
                              cash("2011-01-02", "3", "-5", "95");
    const auto files = statstest::account(drive, ledger::Kind::Cash, posts);
    PeriodSelection sel(files.kontoData);
    ASSERT_TRUE(sel.hasPosts());
    EXPECT_EQ(sel.coverage(), "Hela Kontofilen !");
    EXPECT_EQ(sel.range(), (PostRange{1, 3}));

    PeriodParts later = sel.parts();
    later.startYear = "2010"; // 2010-03-14
    EXPECT_TRUE(sel.change(files.kontoData, later));
    EXPECT_EQ(sel.coverage(), "Del av Kontofilen !");
    EXPECT_EQ(sel.range(), (PostRange{2, 3}));
    EXPECT_EQ(sel.current, 2);

    PeriodParts wrong = sel.parts();
    wrong.startYear = "2012";
    EXPECT_FALSE(sel.change(files.kontoData, wrong));
    EXPECT_EQ(sel.parts(), later); // the last accepted period, not the opening one
    EXPECT_EQ(sel.range(), (PostRange{2, 3}));

    sel.current = 3;
    sel.reset(files.kontoData);
    EXPECT_EQ(sel.current, 2);

    EXPECT_TRUE(sel.change(files.kontoData, PeriodParts{"2009", "03", "14", "2011", "01", "02"}));
    EXPECT_TRUE(sel.wholeFile());
}

TEST(Period, SelectionOfAnAccountWithoutPosts) {
    TempDrive drive;
    const auto files = statstest::account(drive, ledger::Kind::Budget, "");
    PeriodSelection sel(files.kontoData);
    EXPECT_FALSE(sel.hasPosts());
    EXPECT_TRUE(sel.range().empty());
    EXPECT_TRUE(sel.years().empty());
    EXPECT_TRUE(sel.change(files.kontoData, PeriodParts{"2020", "01", "01", "2020", "12", "31"}));
    EXPECT_TRUE(sel.range().empty());
    EXPECT_FALSE(sel.wholeFile());
}
