#include "store/TextFile.h"
#include "fixtures/Faults.h"
#include "fixtures/TempDrive.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace store;
using Lines = std::vector<std::string>;

TEST(TextFile, ReadsLinesWhateverTheirEnds) {
    TempDrive drive;
    EXPECT_EQ(readTextLines(drive / "KontoIni"), Lines{});

    const struct {
        std::string bytes;
        Lines lines;
    } cases[] = {
        {"", {}},
        {"3\r\nKalle Sj\xF6strand\r\n", {"3", "Kalle Sj\xF6strand"}},
        {"a\nb\r\n\r\nc", {"a", "b", "", "c"}},               // LF alone, an empty line, no final line end
        {"x\ry\r\nlast\r", {"x\ry", "last"}},                 // a CR inside a line stays
        {std::string("\0\0\r\n", 4), {std::string(2, '\0')}}, // bytes pass untouched
    };
    for (const auto& c : cases) {
        drive.writeFile("KontoIni", c.bytes);
        EXPECT_EQ(readTextLines(drive / "KontoIni"), c.lines);
    }

    EXPECT_EQ(fixtures::failureText([&] { readTextLines(drive.path()); }), "Is a directory");
}

TEST(TextFile, WritesWholeAndAppendsWithCrLf) {
    TempDrive drive;
    writeTextLines(drive / "KontoIni", {"12", "Anna \xC5kesson", "overflow"});
    writeTextLines(drive / "KontoIni", {"3", "Anna \xC5kesson"});
    EXPECT_EQ(drive.readFile("KontoIni"), "3\r\nAnna \xC5kesson\r\n");
    EXPECT_EQ(drive.list(), Lines{"KontoIni"});

    appendTextLines(drive / "ErrLog", {"2024-05-01 Fel 53"});
    appendTextLines(drive / "ErrLog", {"2024-05-02 Fel 61", ""});
    EXPECT_EQ(drive.readFile("ErrLog"), "2024-05-01 Fel 53\r\n2024-05-02 Fel 61\r\n\r\n");
    EXPECT_EQ(readTextLines(drive / "ErrLog"), (Lines{"2024-05-01 Fel 53", "2024-05-02 Fel 61", ""}));

    EXPECT_EQ(fixtures::failureText([&] { appendTextLines(drive / "Saknas/ErrLog", {"x"}); }),
              "No such file or directory");
}
