#include "statements/ImportFiles.h"

#include "fixtures/AccountFiles.h"
#include "fixtures/TempDrive.h"
#include "store/Errors.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

using fixtures::field;
using statements::LogEntry;
using statements::Profile;
using statements::Rule;

namespace {

std::string ruleRec(std::string_view pattern, std::string_view trans, std::string_view sub) {
    return field(pattern, 40) + field(trans, 4) + field(sub, 4);
}

} // namespace

TEST(ImportFiles, EachFileIsWrittenInItsLayoutAndReadBack) {
    const std::vector<Rule> rules{{0, "ICA Nära", 12, 3}, {0, "Lön", 6, 0}};
    const std::string rulesImage = statements::rulesContent("", rules);
    EXPECT_EQ(rulesImage, ruleRec("ICA N\xE4ra", "12", "3") + ruleRec("L\xF6n", "6", ""));
    EXPECT_EQ(statements::parseRules(rulesImage),
              (std::vector<Rule>{{1, "ICA Nära", 12, 3}, {2, "Lön", 6, 0}}));

    const std::string fp = "0123456789abcdef0123456789abcdef";
    const std::vector<LogEntry> log{
        {fp, {2023, 12, 5}, store::Amount::fromUnits(-304000), "Kortköp ICA Nära"},
        {fp, {2023, 12, 6}, store::Amount::whole(25000), "Lön ☕"}};
    const std::string logImage = statements::logContent("", log);
    const std::string first = fp + "2023-12-05" + field("-30,4", 11) + field("Kortk\xF6p ICA N\xE4ra", 60);
    EXPECT_EQ(logImage, first + fp + "2023-12-06" + field("25000", 11) + field("L\xF6n ", 60));
    EXPECT_EQ(statements::parseLog(logImage)[0], log[0]);
    // Appended, the records before untouched; a long text is cut to its field.
    const std::string longer = statements::logContent(first, {{fp, {2024, 1, 1}, {}, std::string(70, 'x')}});
    EXPECT_EQ(longer, first + fp + "2024-01-01" + field("0", 11) + std::string(60, 'x'));

    Profile mine;
    mine.useTransactionDate = true;
    mine.mapping = {"Min bank",
                    statements::Encoding::Cp1252,
                    '\t',
                    2,
                    true,
                    1,
                    0,
                    3,
                    0,
                    4,
                    5,
                    0,
                    6,
                    statements::DateFormat::DayMonthDots,
                    true,
                    true,
                    "0123456789abcdef"};
    std::vector<Profile> profiles{mine};
    statements::setTransactionDate(profiles, "Swedbank", true);
    const std::string profileImage = statements::profilesContent("", profiles);
    EXPECT_EQ(profileImage, field("Min bank", 35) + "MJ3\t2  J1     3     4  5     6  2JJ0123456789abcdef" +
                                field("Swedbank", 35) + "BJ" + std::string(49, ' '));
    const auto back = statements::parseProfiles(profileImage);
    ASSERT_EQ(back.size(), 2u);
    EXPECT_TRUE(back[0].savedMapping);
    EXPECT_EQ(back[0].mapping.separator, '\t');
    EXPECT_EQ(statements::profilesContent("", back), profileImage);
}

TEST(ImportFiles, RulesKeepTheirRecordsAndTheFileNeverShrinks) {
    // Record 1 as an older write left it, zero bytes for padding.
    const std::string a = std::string("ICA") + std::string(37, '\0') + "2" + std::string(3, '\0') + "    ";
    const std::string old = a + ruleRec("Swish", "4", "") + ruleRec("Lön", "6", "");
    auto rules = statements::parseRules(old);
    ASSERT_EQ(rules.size(), 3u);
    rules.erase(rules.begin() + 1);
    rules[1].subNr = 2;
    rules.push_back({0, "Hyra", 7, 0});
    EXPECT_EQ(statements::rulesContent(old, rules), a + ruleRec("Hyra", "7", "") + ruleRec("Lön", "6", "2"));
    EXPECT_EQ(statements::rulesContent(old, {}), std::string(3 * 48, ' '));

    for (const char* pattern : {"", "   ", "Café ☕", "abcdefghijabcdefghijabcdefghijabcdefghijK"})
        EXPECT_THROW(statements::rulesContent("", {{0, pattern, 2, 0}}), store::DataError) << pattern;
    Profile longName;
    longName.mapping.name = std::string(36, 'n');
    EXPECT_THROW(statements::profilesContent("", {longName}), store::DataError);
}

TEST(ImportFiles, TheDateChoiceIsKeptPerBankAndAMappingPerName) {
    Profile mine;
    mine.mapping.name = "Min bank";
    std::vector<Profile> profiles{mine};
    statements::setTransactionDate(profiles, "Nordea", false); // the default needs no record
    EXPECT_EQ(profiles.size(), 1u);
    statements::setTransactionDate(profiles, "Min bank", true);
    statements::setTransactionDate(profiles, "Nordea", true);
    EXPECT_TRUE(statements::usesTransactionDate(profiles, "Min bank"));
    EXPECT_TRUE(statements::usesTransactionDate(profiles, "Nordea"));
    EXPECT_FALSE(statements::usesTransactionDate(profiles, "SEB"));

    statements::Mapping changed = mine.mapping;
    changed.skipLines = 4;
    statements::saveMapping(profiles, changed);
    const auto mappings = statements::savedMappings(profiles);
    ASSERT_EQ(mappings.size(), 1u); // Nordea's record is no mapping
    EXPECT_EQ(mappings[0].skipLines, 4);
    EXPECT_TRUE(statements::usesTransactionDate(profiles, "Min bank"));
}

TEST(ImportFiles, AMissingFileIsEmptyAndOnlyARegularFileIsRead) {
    TempDrive drive;
    const store::DataPaths paths(drive.path());
    drive.writeFile("MoniData/Konto/Importregler", ruleRec("ICA", "2", ""));
    EXPECT_EQ(statements::readRules(paths, "Konto").size(), 1u);
    EXPECT_TRUE(statements::readLog(paths, "Konto").empty());
    EXPECT_TRUE(statements::readProfiles(paths).empty());
    EXPECT_EQ(drive.list("MoniData"), std::vector<std::string>{"Konto"}); // nothing created
    EXPECT_EQ(drive.list("MoniData/Konto"), std::vector<std::string>{"Importregler"});

    std::filesystem::create_symlink(drive / "MoniData/Konto/Importregler",
                                    drive / "MoniData/Konto/Importlogg");
    EXPECT_THROW(statements::readLog(paths, "Konto"), store::FileError);
    ASSERT_EQ(::mkfifo((drive / "MoniData/Importprofiler").c_str(), 0600), 0);
    EXPECT_THROW(statements::readProfiles(paths), store::FileError);
}
