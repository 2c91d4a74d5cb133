#include "calendar/RedDays.h"

#include "fixtures/AccountFiles.h"
#include "fixtures/TempDrive.h"
#include "store/Errors.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using calendar::RedDay;
using calendar::RedDays;
using fixtures::redDayRec;

std::string freeRec(const std::string& date) {
    return redDayRec("*", date);
}

class RedDaysTest : public ::testing::Test {
protected:
    std::filesystem::path path() const { return drive / "RedDayFil"; }
    std::string onDisk() const { return drive.readFile("RedDayFil"); }

    TempDrive drive;
};

TEST_F(RedDaysTest, OpeningCreatesAnEmptyFileAndCountsFromTheLastRecord) {
    {
        RedDays days(path());
        EXPECT_EQ(days.count(), 0);
        EXPECT_TRUE(days.list().empty());
    }
    EXPECT_EQ(onDisk(), "");

    // Free records after the used ones, and a free one among them, do not end the scan early:
    // the count is the last record that is not free.
    drive.writeFile("RedDayFil", redDayRec("Nyårsdagen", "2026-01-01") + freeRec("2026-01-06") +
                                     redDayRec("Midsommarafton", "2026-06-19") + freeRec("2026-12-24") +
                                     redDayRec("  *  ", "2026-12-25"));
    RedDays scanned(path());
    EXPECT_EQ(scanned.count(), 3);
    EXPECT_EQ(scanned.at(3), (RedDay{3, "Midsommarafton", "2026-06-19"}));

    drive.writeFile("RedDayFil", freeRec("2026-06-06") + freeRec("2026-12-24"));
    EXPECT_EQ(RedDays(path()).count(), 0);
}

TEST_F(RedDaysTest, InsertKeepsDateOrderAndPutsAnEqualDateFirst) {
    RedDays days(path());
    days.insert("Julafton", "2026-12-24");
    days.insert("Nationaldagen", "2026-06-06");
    EXPECT_EQ(days.insert("Flaggdag", "2026-06-06"), 1);
    EXPECT_EQ(days.insert("Ny\xe5rsafton", "2026-12-31"), 4);
    EXPECT_EQ(days.insert("Trettondedag jul", "2026-01-06"), 1);
    EXPECT_EQ(days.count(), 5);

    // Nothing reaches the disk before the caller commits.
    EXPECT_EQ(onDisk(), "");
    days.commit();
    EXPECT_EQ(onDisk(), redDayRec("Trettondedag jul", "2026-01-06") + redDayRec("Flaggdag", "2026-06-06") +
                            redDayRec("Nationaldagen", "2026-06-06") + redDayRec("Julafton", "2026-12-24") +
                            redDayRec("Ny\xe5rsafton", "2026-12-31"));
    EXPECT_EQ(days.find("2026-06-06"), 2);
    EXPECT_TRUE(days.isRedDay("2026-12-31"));
    EXPECT_FALSE(days.isRedDay("2026-12-30"));
}

TEST_F(RedDaysTest, RemoveMovesDownMarksTheLastFreeAndTheFileNeverShrinks) {
    drive.writeFile("RedDayFil", redDayRec("A", "2026-01-01") + redDayRec("B", "2026-06-06") +
                                     redDayRec("C", "2026-12-24") + freeRec("2026-12-31"));
    RedDays days(path());
    ASSERT_EQ(days.count(), 3);
    days.remove(1);
    days.commit();
    EXPECT_EQ(days.count(), 2);
    EXPECT_EQ(onDisk(), redDayRec("B", "2026-06-06") + redDayRec("C", "2026-12-24") + freeRec("2026-12-24") +
                            freeRec("2026-12-31"));

    // A new entry takes the first free record; the "*" records after it stay.
    days.insert("D", "2026-12-25");
    days.remove(3);
    days.remove(2);
    days.remove(1);
    days.commit();
    EXPECT_EQ(days.count(), 0);
    EXPECT_EQ(onDisk(),
              freeRec("2026-06-06") + freeRec("2026-12-24") + freeRec("2026-12-25") + freeRec("2026-12-31"));
    EXPECT_EQ(RedDays(path()).count(), 0);

    // The only red day deleted: one free record, count 0 on reopening.
    std::filesystem::remove(path());
    RedDays one(path());
    one.insert("Juldagen", "2026-12-25");
    one.remove(1);
    one.commit();
    EXPECT_EQ(onDisk(), freeRec("2026-12-25"));
    EXPECT_EQ(RedDays(path()).count(), 0);
    EXPECT_THROW(one.remove(1), store::DataError);
}

TEST_F(RedDaysTest, ChangeKeepsThePlaceForTheSameDateAndMovesOtherwise) {
    drive.writeFile("RedDayFil", redDayRec("A", "2026-01-01") + redDayRec("B", "2026-06-06") +
                                     redDayRec("C", "2026-12-24"));
    RedDays days(path());
    EXPECT_EQ(days.change(2, "Nationaldagen", "2026-06-06"), 2);
    EXPECT_EQ(days.change(1, "A", "2026-12-24"), 2); // before C, which has the same date
    EXPECT_EQ(days.change(3, "C", "2026-02-01"), 1);
    EXPECT_EQ(days.count(), 3);
    days.commit();
    EXPECT_EQ(onDisk(), redDayRec("C", "2026-02-01") + redDayRec("Nationaldagen", "2026-06-06") +
                            redDayRec("A", "2026-12-24"));
}

TEST_F(RedDaysTest, RefusesNamesAndDatesThatCannotBeStored) {
    drive.writeFile("RedDayFil", redDayRec("A", "2026-06-06"));
    RedDays days(path());
    const std::string before = days.file().image();
    for (const char* date : {"2026-02-29", "2026-13-01", "2026-6-6", "", "2026-04-31"})
        EXPECT_THROW(days.insert("X", date), store::DataError) << date;
    EXPECT_THROW(days.insert("", "2026-07-01"), store::DataError);
    EXPECT_THROW(days.insert(" * ", "2026-07-01"), store::DataError);
    EXPECT_THROW(days.insert("Tab\there", "2026-07-01"), store::DataError);
    EXPECT_THROW(days.insert(std::string(26, 'x'), "2026-07-01"), store::DataError);
    EXPECT_THROW(days.change(1, "A", "2026-02-30"), store::DataError);
    EXPECT_EQ(days.file().image(), before);
    EXPECT_EQ(days.count(), 1);

    // A name of 25 characters fills the field exactly; 2028 has a 29 February.
    days.insert(std::string(25, 'y'), "2028-02-29");
    EXPECT_EQ(days.file().readRaw(2), std::string(25, 'y') + "2028-02-29");

    EXPECT_EQ(calendar::redDayNameProblem("Alla helgons dag"), std::nullopt);
    EXPECT_EQ(calendar::redDayNameProblem("Midsommar \xc3\xa5\xc3\xa4\xc3\xb6"), std::nullopt);
    EXPECT_NE(calendar::redDayNameProblem("Fest \xf0\x9f\x8e\x89"), std::nullopt); // an emoji
    EXPECT_NE(calendar::redDayNameProblem("*"), std::nullopt);
    // 25 characters of which one is two bytes in UTF-8 still fit.
    EXPECT_EQ(calendar::redDayNameProblem(std::string(24, 'a') + "\xc3\xa5"), std::nullopt);
}

TEST_F(RedDaysTest, ReloadDropsChangesAndOutdatedListsEarlierYears) {
    drive.writeFile("RedDayFil", redDayRec("Gammal", "2025-12-26") + redDayRec("Ny", "2026-01-01"));
    RedDays days(path());
    EXPECT_EQ(days.outdated(2026), (std::vector<RedDay>{{1, "Gammal", "2025-12-26"}}));
    EXPECT_TRUE(days.outdated(2025).empty());
    days.remove(1);
    days.insert("Tillf\xe4llig", "2026-05-01");
    days.reload();
    EXPECT_EQ(days.count(), 2);
    EXPECT_EQ(days.file().image(), redDayRec("Gammal", "2025-12-26") + redDayRec("Ny", "2026-01-01"));
}

} // namespace
