#include "accounts/Register.h"

#include "fixtures/TempDrive.h"
#include "store/Errors.h"
#include "store/RecordFile.h"
#include "store/Records.h"

#include <gtest/gtest.h>

namespace {

std::string kontoRec(std::string_view name, std::string_view number = "", std::string_view kind = "Ek") {
    store::KontoRec rec;
    rec.set(store::KontoRec::KontoNamn, name);
    rec.set(store::KontoRec::KontoNr, number);
    rec.set(store::KontoRec::KontoTyp, kind);
    rec.set(store::KontoRec::Placering, "C:\\MoniData\\");
    return std::string(rec.bytes());
}

TEST(CentredListText, HalvesGoToTheEvenNumberOfSpaces) {
    struct Case {
        std::string name;
        std::size_t spaces;
    };
    const Case cases[] = {
        {"Lönen", 12},             // 12,5 -> 12
        {"Hushåll", 12},           // 11,5 -> 12; å is one character
        {"Bilen2", 12},            // 12 exactly
        {"Åsa", 14},               // 13,5 -> 14
        {std::string(29, 'x'), 0}, // 0,5 -> 0
        {std::string(30, 'x'), 0},
        {std::string(31, 'x'), 0},
        {"", 15},
    };
    for (const Case& c : cases)
        EXPECT_EQ(accounts::centredListText(c.name), std::string(c.spaces, ' ') + c.name) << c.name;
}

TEST(Register, ListsNamedRecordsInOrderAndReusesTheFirstFreedSlot) {
    TempDrive drive;
    std::string image = kontoRec("Hush\xE5ll", "123", "Bg") // record 1
                        + kontoRec("", "gammalt nr")        // 2: removed account, other fields kept
                        + kontoRec("Resor\x06")             // 3: hint dismissed
                        + std::string(82, '\0')             // 4: never written
                        + kontoRec("\x06")                  // 5: only the flag, names no folder
                        + kontoRec(std::string(31, 'L'));   // 6
    drive.writeFile("KontoFil", image);
    const store::RecordFile file(drive / "KontoFil", 82, store::RecordFile::Missing::Fail);

    std::vector<std::string> listed;
    for (const auto& e : accounts::listAccounts(file))
        listed.push_back(std::to_string(e.recordNumber) + " " + e.name + "|" + e.listText);
    EXPECT_EQ(listed, (std::vector<std::string>{"1 Hushåll|" + std::string(12, ' ') + "Hushåll",
                                                "3 Resor|" + std::string(12, ' ') + "Resor",
                                                "6 " + std::string(31, 'L') + "|" + std::string(31, 'L')}));

    EXPECT_EQ(accounts::findFreeSlot(file), 2);

    drive.writeFile("Full", kontoRec("A") + kontoRec("B"));
    EXPECT_EQ(accounts::findFreeSlot(store::RecordFile(drive / "Full", 82)), 3);
    drive.writeFile("Empty", "");
    const store::RecordFile empty(drive / "Empty", 82);
    EXPECT_EQ(accounts::findFreeSlot(empty), 1);
    EXPECT_TRUE(accounts::listAccounts(empty).empty());
}

TEST(KontoIni, ReadsTrimmedLinesAndTreatsIncompleteFilesAsMissing) {
    TempDrive drive;
    EXPECT_FALSE(accounts::readKontoIni(drive / "KontoIni").has_value());

    struct Case {
        std::string bytes;
        std::optional<accounts::StartupFile> expected;
    };
    const Case cases[] = {
        {"3\r\nAnna\r\n", accounts::StartupFile{3, "Anna"}},
        {"  7 \r\n  Bo Ek  \r\n", accounts::StartupFile{7, "Bo Ek"}},
        {"2\n\xC5sa", accounts::StartupFile{2, "Åsa"}}, // LF alone, no final line end
        {"1\r\n   \r\n", std::nullopt},
        {"\r\nAnna\r\n", std::nullopt},
        {"1\r\n", std::nullopt},
        {"x1\r\nAnna\r\n", std::nullopt},
        {"1x\r\nAnna\r\n", std::nullopt},
        {"-1\r\nAnna\r\n", std::nullopt},
        {"99999\r\nAnna\r\n", std::nullopt},
        {"", std::nullopt},
    };
    for (const Case& c : cases) {
        drive.writeFile("KontoIni", c.bytes);
        const auto got = accounts::readKontoIni(drive / "KontoIni");
        ASSERT_EQ(got.has_value(), c.expected.has_value()) << c.bytes;
        if (got) {
            EXPECT_EQ(got->kontoNum, c.expected->kontoNum) << c.bytes;
            EXPECT_EQ(got->userName, c.expected->userName) << c.bytes;
        }
    }
}

TEST(KontoIni, WritesTwoWindowsLinesAndRefusesUnstorableNames) {
    TempDrive drive;
    accounts::writeKontoIni(drive / "KontoIni", {12, "Åsa Öberg"});
    EXPECT_EQ(drive.readFile("KontoIni"), "12\r\n\xC5sa \326berg\r\n");
    const auto back = accounts::readKontoIni(drive / "KontoIni");
    ASSERT_TRUE(back);
    EXPECT_EQ(back->userName, "Åsa Öberg");

    EXPECT_THROW(accounts::writeKontoIni(drive / "KontoIni", {1, "Anna \xF0\x9F\x98\x80"}), store::DataError);
    EXPECT_EQ(drive.readFile("KontoIni"), "12\r\n\xC5sa \326berg\r\n");
}

} // namespace
