#include "store/Cp1252.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

TEST(Cp1252Test, EachSpecialByteHasItsCharacter) {
    // The bytes Windows-1252 gives characters of their own above 0x7F, the undefined ones that stay
    // themselves as control characters, the Latin-1 half and plain ASCII.
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"\x80\x82\x83\x84\x85\x86\x87\x88\x89\x8A\x8B\x8C\x8E", "€‚ƒ„…†‡ˆ‰Š‹ŒŽ"},
        {"\x91\x92\x93\x94\x95\x96\x97\x98\x99\x9A\x9B\x9C\x9E\x9F", "‘’“”•–—˜™š›œžŸ"},
        {"\x81\x8D\x8F\x90\x9D", "\xC2\x81\xC2\x8D\xC2\x8F\xC2\x90\xC2\x9D"},
        {"\xA0\xA4\xFF", "\xC2\xA0¤ÿ"},
        {"\xE5\xE4\xF6\xC5\xC4\xD6", "åäöÅÄÖ"},
        {"Hush\xE5ll 2012", "Hushåll 2012"},
        {std::string("a\0b", 3), std::string("a\0b", 3)},
        {"", ""},
    };
    for (const auto& [bytes, utf8] : cases) {
        EXPECT_EQ(store::cp1252ToUtf8(bytes), utf8) << utf8;
        EXPECT_EQ(store::utf8ToCp1252(utf8), bytes) << utf8;
    }
}

TEST(Cp1252Test, EveryByteSurvivesTheRoundTrip) {
    std::string all;
    for (int b = 0; b < 256; ++b)
        all.push_back(static_cast<char>(b));
    const std::string utf8 = store::cp1252ToUtf8(all);
    EXPECT_EQ(store::utf8Length(utf8), 256u);
    EXPECT_EQ(store::utf8ToCp1252(utf8), all);
}

TEST(Cp1252Test, RefusesWhatTheFilesCannotHold) {
    // Characters outside the code page (an emoji, Greek, Latin Extended-A, U+0080 whose byte is the
    // euro sign's) and no UTF-8: a stray continuation, cut and broken sequences, overlong forms, a
    // surrogate, past U+10FFFF, a five-byte form.
    for (const std::string utf8 :
         {"Semester 🏖", "α", "Ł", "\xC2\x80", "\x80", "ab\xC3", "\xE2\x82", "\xE2\x82x", "\xC0\xAF",
          "\xE0\x80\xAF", "\xED\xA0\x80", "\xF4\x90\x80\x80", "\xF8\x88\x80\x80\x80", "\xFF"}) {
        EXPECT_FALSE(store::utf8ToCp1252(utf8)) << utf8;
    }
}

TEST(Cp1252Test, LengthCountsCharacters) {
    EXPECT_EQ(store::utf8Length(""), 0u);
    EXPECT_EQ(store::utf8Length("åäö"), 3u);
    EXPECT_EQ(store::utf8Length("€uro"), 4u);
    EXPECT_EQ(store::utf8Length("🏖x"), 2u);
}

} // namespace
