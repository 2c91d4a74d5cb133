#include "store/Paths.h"
#include "store/Errors.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

TEST(PathsTest, AccountFolderIsUtf8UnderTheDataRoot) {
    const store::DataPaths paths("/home/anna");
    EXPECT_EQ(paths.accountFolder("Hush\xE5ll"), std::filesystem::path("/home/anna/MoniData/Hushåll"));
    EXPECT_EQ(paths.kontoData("Bil \x80"), std::filesystem::path("/home/anna/MoniData/Bil €/KontoData"));
    EXPECT_EQ(paths.bMall("...").string(), "/home/anna/MoniData/.../B-mall");
}

TEST(PathsTest, NamesThatLeaveTheDataRootAreRefused) {
    const store::DataPaths paths("/home/anna");
    for (const std::string& name :
         std::vector<std::string>{"", ".", "..", "../Andra", "a/b", "/etc", "a\\b", "..\\x", "Rad\nbrytning",
                                  std::string("a\0b", 3), "a\x7F", "a\x81", "\x9D", "\t"}) {
        EXPECT_THROW(paths.accountFolder(name), store::DataError) << name;
        EXPECT_THROW(paths.transakt(name), store::DataError) << name;
    }
}

TEST(PathsTest, SafeFolderNames) {
    const std::vector<std::pair<std::string, bool>> cases = {
        {"Hushåll", true},  {"Konto 1", true},   {".dold", true},      {"a..b", true},
        {"\xC2\xA0", true}, {"€", true},         {"", false},          {".", false},
        {"..", false},      {"a/b", false},      {"a\\b", false},      {"\x1F", false},
        {"a\x7F", false},   {"\xC2\x80", false}, {"x\xC2\x9F", false}, {" \r", false},
    };
    for (const auto& [name, safe] : cases)
        EXPECT_EQ(store::isSafeFolderName(name), safe) << name;
}

TEST(PathsTest, PlaceringHasOneSlashBeforeMoniData) {
    EXPECT_EQ(store::DataPaths("/home/anna").placering(), "/home/anna/MoniData/");
    EXPECT_EQ(store::DataPaths("/home/anna/").placering(), "/home/anna/MoniData/");
    EXPECT_EQ(store::DataPaths("/media/stick//").placering(), "/media/stick/MoniData/");
    EXPECT_EQ(store::DataPaths("/").placering(), "/MoniData/");
}

} // namespace
