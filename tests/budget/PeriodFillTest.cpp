#include "budget/PeriodFill.h"
#include "budget/TemplateEdits.h"

#include "fixtures/AccountFiles.h"
#include "fixtures/TempDrive.h"

#include <gtest/gtest.h>

#include <string>

using budget::MonthRows;
using budget::ScannedMonth;
using fixtures::field;
using fixtures::mallRec;
using store::Amount;
using store::RecordFile;

namespace {

struct Files {
    TempDrive drive;
    RecordFile mall(std::string_view bytes) {
        drive.writeFile("B-mall", bytes);
        return RecordFile(drive / "B-mall", 18);
    }
    RecordFile transakt(std::string_view bytes) {
        drive.writeFile("Transakt", bytes);
        return RecordFile(drive / "Transakt", 36);
    }
};

// Day label and amount box text of each month, "" for an empty row, as "dd amount".
std::vector<std::string> shown(const MonthRows& rows) {
    std::vector<std::string> out;
    for (const auto& r : rows)
        out.push_back(r.day.empty() ? "" : r.day + " " + r.amount);
    return out;
}

} // namespace

TEST(BudgetPlanTemplate, ExclusionMarksEveryRecordOfTheTransactionAndNothingElse) {
    Files f;
    const std::string r1 = mallRec("3", "110", "01", "25"), r2 = mallRec("2", "90", "01", "05"),
                      r3 = mallRec("3", "1230", "02", "28"), r4 = mallRec("12", "10", "03", "01");
    auto mall = f.mall(r1 + r2 + r3 + r4);

    EXPECT_EQ(budget::setExclusion(mall, 3, true), 2);
    const std::string marked = r1.substr(0, 16) + "* " + r2 + r3.substr(0, 16) + "* " + r4;
    EXPECT_EQ(mall.image(), marked);
    // Number 1 is not number 12, though the field begins alike.
    EXPECT_EQ(budget::setExclusion(mall, 1, true), 0);
    EXPECT_EQ(budget::setExclusion(mall, 7, true), 0);
    EXPECT_EQ(mall.image(), marked);

    auto records = budget::readTemplate(mall);
    EXPECT_EQ(budget::excludedTransactions(records), std::vector<int>{3});
    EXPECT_TRUE(budget::isExcluded(records, 3));
    EXPECT_FALSE(budget::isExcluded(records, 2));
    EXPECT_TRUE(budget::anyExclusionFrom(records, 2));
    EXPECT_FALSE(budget::anyExclusionFrom(records, 3));

    EXPECT_EQ(budget::setExclusion(mall, 12, true), 1);
    records = budget::readTemplate(mall);
    EXPECT_EQ(budget::excludedTransactions(records), (std::vector<int>{3, 12}));

    EXPECT_EQ(budget::setExclusion(mall, 3, false), 2);
    EXPECT_EQ(budget::setExclusion(mall, 12, false), 1);
    EXPECT_EQ(mall.image(), r1 + r2 + r3 + r4);
    EXPECT_TRUE(budget::excludedTransactions(budget::readTemplate(mall)).empty());
}

TEST(BudgetPlanTemplate, TransactionListFollowsTheFilter) {
    Files f;
    auto transakt = f.transakt(fixtures::transRec("Kontostart", ' ') + fixtures::transRec("L\xF6n", '+') +
                               fixtures::transRec("", ' ') + fixtures::transRec("Hyra", '-'));
    auto mall = f.mall(mallRec("4", "8010", "01", "27") + mallRec("2", "25990", "01", "25", true) +
                       mallRec("4", "8110", "02", "26") + mallRec("4", "9000", "01", "28"));
    const auto records = budget::readTemplate(mall);

    const auto names = [&](budget::Filter filter) {
        std::vector<std::string> out;
        for (const auto& t : budget::listTransactions(transakt, records, filter))
            out.push_back(std::to_string(t.transNr) + t.sign + t.name);
        return out;
    };
    EXPECT_EQ(names(budget::Filter::All), (std::vector<std::string>{"1 Kontostart", "2+L\xF6n", "4-Hyra"}));
    EXPECT_EQ(names(budget::Filter::BudgetableOnly), (std::vector<std::string>{"1 Kontostart", "4-Hyra"}));
    EXPECT_EQ(names(budget::Filter::ExcludedOnly), (std::vector<std::string>{"2+L\xF6n"}));

    // The months of a transaction hold the first record of each month.
    const auto hyra = budget::listTransactions(transakt, records, budget::Filter::All).back();
    ASSERT_TRUE(hyra.months[0] && hyra.months[1]);
    EXPECT_EQ(hyra.months[0]->amount, 8010);
    EXPECT_EQ(hyra.months[0]->day, 27);
    EXPECT_EQ(hyra.months[1]->record, 3);
    EXPECT_FALSE(hyra.months[2]);
}

TEST(BudgetPlanFill, MonthsOfThePeriodComeFromTheTemplateOnWorkingDays) {
    Files f;
    auto mall = f.mall(mallRec("3", "110", "03", "05") +     // before the period
                       mallRec("2", "5000", "05", "10") +    // another transaction
                       mallRec("3", "1234567", "04", "14") + // 2028-04-14 Friday
                       mallRec("3", "20", "07", "01") +      // Saturday the 1st: to 30 June
                       mallRec("3", "-10", "10", "29") +     // Sunday before red days
                       mallRec("3", "abc", "11", "10") +     // no amount: left to the user
                       mallRec("3", "40", "12", "31") +      // Sunday, end of the period
                       mallRec("3", "50", "", "") +          // the walk ends here
                       mallRec("3", "60", "08", "10"));
    const budget::Period period{2028, 4, 12};
    const auto rows = budget::fillFromTemplate(budget::readTemplate(mall), 3, period, {"2028-10-30"});
    EXPECT_EQ(shown(rows), (std::vector<std::string>{"", "", "", "14 1234 567", "", "30 20", "", "", "",
                                                     "31 -10", "", "29 40"}));
    EXPECT_TRUE(rows[3].fromTemplate);
    EXPECT_FALSE(rows[4].fromTemplate);
}

TEST(BudgetPlanFill, ADateStaysInItsMonthWhereTheNextHasItsOwn) {
    Files f;
    // 2027-01-31 is a Sunday and would move to 1 February; with February's own record, before or
    // after it, it goes back to Friday the 29th instead. 2027-05-01 is a Saturday and would move
    // to 30 April, which has its own record: Monday the 3rd.
    const std::string january = mallRec("3", "100", "01", "31"), february = mallRec("3", "200", "02", "10");
    const std::string april = mallRec("3", "300", "04", "12"), may = mallRec("3", "400", "05", "01");
    const budget::Period period{2027, 1, 12};
    for (const std::string& bytes : {january + february + april + may, may + april + february + january}) {
        auto mall = f.mall(bytes);
        const auto rows = budget::fillFromTemplate(budget::readTemplate(mall), 3, period, {});
        EXPECT_EQ(shown(rows), (std::vector<std::string>{"29 100", "10 200", "", "12 300", "03 400", "", "",
                                                         "", "", "", "", ""}));
    }
    // Without February's own record January's date lands there.
    auto mall = f.mall(january);
    EXPECT_EQ(budget::fillFromTemplate(budget::readTemplate(mall), 3, period, {})[1].day, "01");
    // Up to January only, the Sunday goes back to Friday the 29th.
    EXPECT_EQ(budget::fillFromTemplate(budget::readTemplate(mall), 3, {2027, 1, 1}, {})[0].day, "29");
}

TEST(BudgetPlanFill, TheLeapDayOfAnotherYearIsTheLastDayOfFebruary) {
    Files f;
    auto mall = f.mall(mallRec("3", "100", "02", "29"));
    // 2030-02-28 is a Thursday.
    const auto rows = budget::fillFromTemplate(budget::readTemplate(mall), 3, {2030, 1, 12}, {});
    EXPECT_EQ(rows[1].day, "28");
}

TEST(BudgetPlanScan, MonthsWithADayAreReadWithTheSignOfTheTransaction) {
    MonthRows rows;
    rows[0] = {"25", "1234 567", true};
    rows[2] = {"05", "12 345,5", false};
    rows[3] = {"", "999", false}; // no day: not taken
    rows[5] = {"30", "-70", false};
    rows[8] = {"01", "0", false};

    const auto expense = budget::scanRows(rows, '-');
    EXPECT_EQ(expense.missingAmount, 0);
    EXPECT_EQ(expense.months, (std::vector<ScannedMonth>{{1, 25, "-1234567", Amount::whole(-1234567)},
                                                         {3, 5, "-12346", Amount::whole(-12346)},
                                                         {6, 30, "-70", Amount::whole(-70)},
                                                         {9, 1, "-0", Amount()}}));

    const auto income = budget::scanRows(rows, '+');
    EXPECT_EQ(income.months[1], (ScannedMonth{3, 5, "12346", Amount::whole(12346)}));
    EXPECT_EQ(income.months[2], (ScannedMonth{6, 30, "-70", Amount::whole(-70)}));

    // 12 344,5 rounds to the even neighbour.
    rows[2].amount = "12 344,5";
    EXPECT_EQ(budget::scanRows(rows, '+').months[1].amount, Amount::whole(12344));

    // A day without an amount stops the scan there.
    rows[5].amount = "  ";
    const auto missing = budget::scanRows(rows, '-');
    EXPECT_EQ(missing.missingAmount, 6);
    EXPECT_EQ(missing.months.size(), 2u);
    rows[5].amount = "12a";
    EXPECT_EQ(budget::scanRows(rows, '-').missingAmount, 6);
    EXPECT_EQ(budget::monthName(6), "Juni");
}

TEST(BudgetPlanInfo, SectionsOfTheGuidingTextsFile) {
    const std::string file = "1\xA7\r\nInga transaktioner.\r\n\r\nSkapa en.\r\n\xA7\r\n"
                             "11\xA7\nDaglistan.\n\xA7\n"
                             "4\xC2\xA7\nUtesluten finns.\n";
    EXPECT_EQ(budget::infoSection(file, 1), "Inga transaktioner.\n\nSkapa en.\n");
    EXPECT_EQ(budget::infoSection(file, 11), "Daglistan.\n");
    EXPECT_EQ(budget::infoSection(file, 4), "Utesluten finns.\n");
    EXPECT_EQ(budget::infoSection(file, 2), "");
    EXPECT_EQ(budget::infoSection("", 1), "");
}
