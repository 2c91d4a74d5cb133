#include "accounts/NewAccount.h"

#include "fixtures/AccountFiles.h"
#include "fixtures/Faults.h"
#include "fixtures/TempDrive.h"
#include "fixtures/Unprivileged.h"
#include "store/Errors.h"
#include "store/Paths.h"
#include "store/RecordFile.h"

#include <gtest/gtest.h>

namespace {

namespace fs = std::filesystem;

using fixtures::field;

const std::string Transakt = fixtures::standardTransakt();

class NewAccountTest : public ::testing::Test {
protected:
    TempDrive drive;
    store::DataPaths paths{drive.path()};

    std::string kontoRec(std::string_view name, std::string_view number, std::string_view kind) const {
        return fixtures::kontoRec(name, number, kind, drive.path().string() + "/MoniData/");
    }
    std::string read(const fs::path& relative) const {
        return drive.readFile(fs::path("MoniData") / relative);
    }
};

TEST_F(NewAccountTest, CashBookAccountFilesByteForByte) {
    EXPECT_EQ(accounts::createAccount(paths, {"Hushåll", "1234-5678", "Ek"}, "2024-03-15", "Anna"), 1);

    // The folder is named in UTF-8 on disk; the register holds Windows-1252.
    EXPECT_EQ(drive.list("MoniData"), (std::vector<std::string>{"Hushåll", "KontoFil", "KontoIni"}));
    EXPECT_EQ(drive.list("MoniData/Hushåll"),
              (std::vector<std::string>{"Kategori", "KontoData", "Transakt"}));
    EXPECT_EQ(read("Hushåll/KontoData"), fixtures::cash("2024-03-15", "1", "0", "0"));
    EXPECT_EQ(read("Hushåll/Transakt"), Transakt);
    EXPECT_EQ(read("Hushåll/Kategori"), "");
    EXPECT_EQ(read("KontoFil"), kontoRec("Hush\xE5ll", "1234-5678", "Ek"));
    EXPECT_EQ(read("KontoIni"), "1\r\nAnna\r\n");
    // No journal is left beside the data root.
    EXPECT_EQ(drive.list(), std::vector<std::string>{"MoniData"});
    EXPECT_TRUE(accounts::accountFolderExists(paths, "Hushåll"));
}

TEST_F(NewAccountTest, BudgetAccountOpensWithAConfirmedZeroPost) {
    accounts::createAccount(paths, {"Budget 2024", "", "Bg"}, "2023-12-31", "Bo");
    EXPECT_EQ(read("Budget 2024/KontoData"), fixtures::budg("2023-12-31", "1", "0", "0", "0", "0", "0"));
    EXPECT_EQ(read("Budget 2024/Transakt"), Transakt);
    // The template too, or opening the account would make it outside the change that made the account.
    EXPECT_EQ(drive.list("MoniData/Budget 2024"),
              (std::vector<std::string>{"B-mall", "Kategori", "KontoData", "Transakt"}));
    EXPECT_EQ(read("KontoFil"), kontoRec("Budget 2024", "", "Bg"));
}

TEST_F(NewAccountTest, TakesTheFirstFreedRegisterSlotElseAppends) {
    const std::string first = kontoRec("F\xF6rsta", "1", "Ek");
    // A removed account keeps its number, kind and place; only the name is blanked.
    const std::string removed = field("", 35) + field("gammalt", 30) + "Bg" + field("C:\\MoniData\\", 15);
    const std::string third = kontoRec("Tredje", "3", "Bg");
    drive.writeFile("MoniData/KontoFil", first + removed + third);
    drive.writeFile("MoniData/KontoIni", "3\r\nAnna\r\n");

    EXPECT_EQ(accounts::createAccount(paths, {"Nya", "42", "Ek"}, "2024-01-01", "Anna"), 2);
    EXPECT_EQ(read("KontoFil"), first + kontoRec("Nya", "42", "Ek") + third);
    EXPECT_EQ(read("KontoIni"), "2\r\nAnna\r\n");

    EXPECT_EQ(accounts::createAccount(paths, {"Fjärde", "", "Ek"}, "2024-01-01", "Anna"), 4);
    EXPECT_EQ(read("KontoFil").size(), 4u * 82u);
    EXPECT_EQ(read("KontoFil").substr(3 * 82, 35), field("Fj\xE4rde", 35));
}

TEST_F(NewAccountTest, LongNumberIsCutToItsField) {
    const std::string number = "SE45 5000 0000 0583 9825 7466 extra";
    accounts::createAccount(paths, {"Sparkonto", number, "Ek"}, "2024-01-01", "Anna");
    EXPECT_EQ(read("KontoFil").substr(35, 30), number.substr(0, 30));
    EXPECT_EQ(read("KontoFil").size(), 82u);
}

TEST(AccountNameProblem, RefusesWhatCannotBeAFolderOrARegisterName) {
    const std::string control = std::string("a") + '\t' + "b";
    const std::string nul = std::string("a") + '\0' + "b";
    const char* const accepted[] = {"Hushåll",
                                    "Lön & bonus",
                                    "Konto (gammalt)",
                                    "É",
                                    "a.b",
                                    "..a",
                                    "abcdefghijabcdefghijabcdefghij1234"}; // 34 characters
    for (const char* name : accepted)
        EXPECT_EQ(accounts::accountNameProblem(name), std::nullopt) << name;

    struct Case {
        std::string name;
        std::string message;
    };
    const Case refused[] = {
        {"a/b", "Kontonamnet får inte innehålla tecknen / eller \\ !"},
        {"..\\x", "Kontonamnet får inte innehålla tecknen / eller \\ !"},
        {"../../etc", "Kontonamnet får inte innehålla tecknen / eller \\ !"},
        {control, "Kontonamnet får inte innehålla styrtecken !"},
        {nul, "Kontonamnet får inte innehålla styrtecken !"},
        {"a\xC2\x81", "Kontonamnet får inte innehålla styrtecken !"}, // U+0081, an undefined 1252 byte
        {".", "Kontonamnet får inte vara . eller .. !"},
        {"..", "Kontonamnet får inte vara . eller .. !"},
        {"abcdefghijabcdefghijabcdefghij12345", "Kontonamnet får vara högst 34 tecken långt !"},
        {"Åääääääääääääääääääääääääääääääääää", "Kontonamnet får vara högst 34 tecken långt !"},
        {" a", "Kontonamnet får inte börja eller sluta med mellanslag !"},
        {"PosFil", "Kontonamnet PosFil används av programmets egna filer !\r\n\r\nVälj ett annat namn."},
        {"reddayfil",
         "Kontonamnet reddayfil används av programmets egna filer !\r\n\r\nVälj ett annat namn."},
        {"IMPORTPROFILER",
         "Kontonamnet IMPORTPROFILER används av programmets egna filer !\r\n\r\nVälj ett annat namn."},
    };
    for (const Case& c : refused)
        EXPECT_EQ(accounts::accountNameProblem(c.name), c.message) << c.name;

    // Characters Windows-1252 cannot hold, and text that is no UTF-8 at all.
    for (const char* name : {"Pengar \xF0\x9F\x92\xB0", "\xCE\xB1\xCE\xB2", "\xE5ll"}) {
        const auto problem = accounts::accountNameProblem(name);
        ASSERT_TRUE(problem) << name;
        EXPECT_EQ(problem->rfind("Kontonamnet innehåller tecken som inte kan sparas !", 0), 0u);
    }
    EXPECT_TRUE(accounts::accountNumberProblem("\xF0\x9F\x92\xB0"));
    EXPECT_FALSE(accounts::accountNumberProblem("1234-5678 ÅÄÖ"));
}

TEST_F(NewAccountTest, RefusalsCreateNothing) {
    drive.writeFile("MoniData/Finns/KontoData", "x"); // a folder without a register record
    drive.writeFile("MoniData/KontoFil", kontoRec("Annat", "", "Ek"));
    const auto before = drive.list("MoniData");

    EXPECT_THROW(accounts::createAccount(paths, {"Finns", "1", "Ek"}, "2024-01-01", "Anna"),
                 store::FileError);
    EXPECT_EQ(read("Finns/KontoData"), "x");
    for (const char* name : {"../Utanför", "a/b", "..", "", "Pengar \xF0\x9F\x92\xB0"})
        EXPECT_THROW(accounts::createAccount(paths, {name, "1", "Ek"}, "2024-01-01", "Anna"),
                     store::DataError)
            << name;
    EXPECT_THROW(accounts::createAccount(paths, {"Ny", "1", "XX"}, "2024-01-01", "Anna"), store::DataError);
    EXPECT_THROW(accounts::createAccount(paths, {"Ny", "1", "Ek"}, "2024-13-01", "Anna"), store::DataError);
    EXPECT_THROW(accounts::createAccount(paths, {"Ny", "\xF0\x9F\x92\xB0", "Ek"}, "2024-01-01", "Anna"),
                 store::DataError);

    EXPECT_EQ(drive.list("MoniData"), before);
    EXPECT_EQ(drive.list(), std::vector<std::string>{"MoniData"});
    EXPECT_EQ(read("KontoFil"), kontoRec("Annat", "", "Ek"));
    EXPECT_TRUE(accounts::accountFolderExists(paths, "Finns"));
    EXPECT_FALSE(accounts::accountFolderExists(paths, "Ny"));
    EXPECT_FALSE(accounts::accountFolderExists(paths, ".."));
}

TEST_F(NewAccountTest, FailureOnAReadOnlyDataRootLeavesNothingHalfMade) {
    drive.writeFile("MoniData/KontoFil", "");
    fs::permissions(drive / "MoniData", fs::perms::owner_write, fs::perm_options::remove);
    const auto r = fixtures::asUnprivileged(drive.path(), [&] {
        return fixtures::failureText([&] {
            accounts::createAccount(paths, {"Nytt", "1", "Ek"}, "2024-01-01", "Anna");
        });
    });
    fs::permissions(drive / "MoniData", fs::perms::owner_write, fs::perm_options::add);
    ASSERT_TRUE(r.ran) << r.output;
    EXPECT_EQ(r.output, "Permission denied");
    EXPECT_EQ(drive.list("MoniData"), std::vector<std::string>{"KontoFil"});
    EXPECT_EQ(read("KontoFil"), "");
}

} // namespace
