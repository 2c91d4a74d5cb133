#include "support/ProgramData.h"

#include "fixtures/TempDrive.h"

#include <gtest/gtest.h>

// The installed share folder wins over files beside the program; without either there is none.
TEST(ProgramData, FoundInstalledOrBesideTheProgram) {
    struct Case {
        bool installed, beside;
        const char* expected; // relative to the prefix, "" for none
    } const cases[] = {
        {true, false, "share/moniva"},
        {false, true, "bin"},
        {true, true, "share/moniva"},
        {false, false, ""},
    };
    for (const Case& c : cases) {
        TempDrive prefix;
        if (c.installed)
            prefix.writeFile("share/moniva/BudgInfoFil.txt", "1§\n");
        if (c.beside)
            prefix.writeFile("bin/BudgInfoFil.txt", "1§\n");
        std::filesystem::create_directories(prefix / "bin");
        const auto found = support::programDataFolder(prefix / "bin");
        EXPECT_EQ(found, *c.expected ? (prefix / c.expected) : std::filesystem::path())
            << c.installed << c.beside;
    }
}
