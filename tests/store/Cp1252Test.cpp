#include "store/Cp1252.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

TEST(Cp1252Test, EachSpecialByteHasItsCharacter) {
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"\x80", "€"},
        {"\x82", "‚"},
        {"\x83", "ƒ"},
        {"\x84", "„"},
        {"\x85", "…"},
        {"\x86", "†"},
        {"\x87", "‡"},
        {"\x88", "ˆ"},
        {"\x89", "‰"},
        {"\x8A", "Š"},
        {"\x8B", "‹"},
        {"\x8C", "Œ"},
        {"\x8E", "Ž"},
        {"\x91", "‘"},
        {"\x92", "’"},
        {"\x93", "“"},
        {"\x94", "”"},
        {"\x95", "•"},
        {"\x96", "–"},
        {"\x97", "—"},
        {"\x98", "˜"},
        {"\x99", "™"},
        {"\x9A", "š"},
        {"\x9B", "›"},
        {"\x9C", "œ"},
        {"\x9E", "ž"},
        {"\x9F", "Ÿ"},
        // Undefined bytes stay themselves as control characters.
        {"\x81", "\xC2\x81"},
        {"\x8D", "\xC2\x8D"},
        {"\x8F", "\xC2\x8F"},
        {"\x90", "\xC2\x90"},
        {"\x9D", "\xC2\x9D"},
        // The Latin-1 half and plain ASCII.
        {"\xA0", "\xC2\xA0"},
        {"\xE5\xE4\xF6\xC5\xC4\xD6", "åäöÅÄÖ"},
        {"\xFF", "ÿ"},
        {"\xA4", "¤"},
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
    for (const std::string utf8 : {
             "Semester 🏖",        // emoji
             "α",                    // Greek
             "Ł",                    // Latin Extended-A outside the code page
             "\xC2\x80",             // U+0080: 0x80 is the euro sign, not this control
             "\x80",                 // stray continuation byte
             "ab\xC3",               // truncated two-byte sequence
             "\xE2\x82",             // truncated euro sign
             "\xE2\x82x",            // broken continuation
             "\xC0\xAF",             // overlong "/"
             "\xE0\x80\xAF",         // overlong "/"
             "\xED\xA0\x80",         // surrogate
             "\xF4\x90\x80\x80",     // past U+10FFFF
             "\xF8\x88\x80\x80\x80", // five-byte form
             "\xFF",
         }) {
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
