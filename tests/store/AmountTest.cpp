#include "store/Amount.h"
#include "store/AmountField.h"
#include "store/Errors.h"

#include <gtest/gtest.h>

#include <cstring>
#include <limits>
#include <optional>
#include <random>
#include <string>
#include <vector>

using store::Amount;

namespace {

Amount units(std::int64_t u) {
    return Amount::fromUnits(u);
}

TEST(AmountTextTest, CanonicalFormHasNoGroupingAndNoTrailingZeros) {
    const std::vector<std::pair<Amount, std::string>> cases = {
        {Amount(), "0"},
        {Amount::whole(1250), "1250"},
        {units(-375000), "-37,5"},
        {units(2500), "0,25"},
        {units(-127500), "-12,75"},
        {units(1), "0,0001"},
        {units(-1), "-0,0001"},
        {units(10'0500), "10,05"},
        {Amount::whole(100'000'000), "100000000"},
        {units(std::numeric_limits<std::int64_t>::min()), "-922337203685477,5808"},
    };
    for (const auto& [value, text] : cases)
        EXPECT_EQ(value.amountText(), text) << value.units();
}

TEST(AmountParseTest, AcceptsStoredAndTypedForms) {
    const std::vector<std::pair<std::string, std::int64_t>> cases = {
        {"0", 0},
        {"-0", 0},
        {"1250", 12'500'000},
        {"-37,5", -375'000},
        {"-37.5", -375'000},
        {"  0,25  ", 2'500},
        {"12,", 120'000},
        {",5", 5'000},
        {"007", 70'000},
        {"1,2345", 12'345},
        {"922337203685477,5807", std::numeric_limits<std::int64_t>::max()},
    };
    for (const auto& [text, expected] : cases) {
        const auto value = Amount::parse(text);
        ASSERT_TRUE(value) << text;
        EXPECT_EQ(value->units(), expected) << text;
    }
}

TEST(AmountParseTest, RefusesAnythingElse) {
    for (const std::string text :
         {"", "   ", "-", ",", "-,", "1,2,3", "1.2,3", "12a", "abc", "1 250", "+5", "--5", "5-", "1,23456",
          "922337203685478", "922337203685477,5808", "99999999999999999999", "1e5"}) {
        EXPECT_FALSE(Amount::parse(text)) << '"' << text << '"';
    }
    EXPECT_THROW(Amount::parseStored("12x"), store::DataError);
    EXPECT_EQ(Amount::parseStored("-12,75"), units(-127'500));
}

// An 11-byte field is read by a quick reader for the form the program writes and by the general one
// for every other; a longer text always takes the general one. Both quick readers (a digit at a
// time, and the whole field at once where the processor can) must agree with it on every field.
TEST(AmountParseTest, FieldsReadAsTheGeneralReaderReadsThem) {
    std::mt19937_64 rng(11);
    const std::string alphabet("0123456789-,. \t\0x", 18);
    std::vector<std::string> fields = {"-12345678,5", "12345678   ", "123456789  ", "-0,0001    ",
                                       "0,12345    ", "1,         ", ",5         ", "-          ",
                                       "- 5        ", "5 5        ", "00000001,10", "1,2,3      ",
                                       "           ", "9,9999     "};
    for (int i = 0; i < 200'000; ++i) {
        std::string f(11, ' ');
        if (i % 2 == 0) { // a written amount, sometimes with one byte changed
            const auto units = static_cast<std::int64_t>(rng() % 2'000'000'000'000) - 1'000'000'000'000;
            const std::string text = Amount::fromUnits(i % 4 ? units : units / 100'000).amountText();
            f.replace(0, std::min<std::size_t>(text.size(), 11), text, 0, 11);
            if (i % 6 == 0)
                f[rng() % 11] = alphabet[rng() % alphabet.size()];
        } else {
            for (char& c : f)
                c = alphabet[rng() % alphabet.size()];
        }
        fields.push_back(f);
    }
    for (const std::string& f : fields) {
        const std::optional<Amount> general = Amount::parse(f + ' ');
        ASSERT_EQ(Amount::parse(f), general) << '"' << f << '"';
        std::int64_t u = 0, w = 0;
        const bool quick = store::field::readByDigits(f.data(), u);
        ASSERT_TRUE(!quick || general == Amount::fromUnits(u)) << '"' << f << '"';
        if (store::field::wholeFieldReads) {
            ASSERT_EQ(store::field::readWholeField(f.data(), w) ? std::optional(w) : std::nullopt,
                      quick ? std::optional(u) : std::nullopt)
                << '"' << f << '"';
        }
    }
}

// A sum worked out on the digits of a field must give the bytes of reading the field, adding and
// writing the sum, and must leave to that general way exactly the fields it cannot take.
TEST(AmountParseTest, SumsOnTheDigitsAreWhatReadAddWriteGives) {
    if (!store::field::wholeFieldReads)
        GTEST_SKIP() << "no byte shuffles on this processor";
    struct Case {
        std::string field;
        std::int64_t delta;
    };
    std::vector<Case> cases = {
        {"99,99      ", 1},
        {"99,9999    ", 1},
        {"-0,0001    ", 1},
        {"-0         ", 5},
        {"0,5        ", -5'000},
        {"1,25       ", -12'500},
        {"-1,25      ", 12'500},
        {"99999999   ", 10'000},
        {"-99999999  ", -1},
        {"-9999999,99", 1},
        {"9999999,99 ", 1},
        {"-9999999,99", -1},
        {"0012,50    ", 0'5000},
        {"12,50      ", -125'000},
        {"-1234567,5 ", 5'000},
        {"1234,5678  ", -12'345'678},
        {"12 5       ", 1},
        {"           ", 1},
        {"5          ", -999'999'999'999},
        {"5          ", 1'000'000'000'000},
    };
    std::mt19937_64 rng(17);
    const auto randomUnits = [&] {
        const std::int64_t u = static_cast<std::int64_t>(rng() % 2'000'000'000'000) - 1'000'000'000'000;
        return u / static_cast<std::int64_t>(std::uint64_t{1} << (rng() % 40));
    };
    for (int i = 0; i < 100'000; ++i) {
        std::string f(11, ' ');
        const std::string text = units(randomUnits()).amountText();
        f.replace(0, std::min<std::size_t>(text.size(), 11), text, 0, 11);
        cases.push_back({f, i % 3 ? randomUnits() : randomUnits() / 10'000 * 10'000});
    }
    for (const Case& c : cases) {
        std::int64_t stored = 0;
        char general[store::field::SlotWidth] = {}, onDigits[store::field::SlotWidth] = {};
        const bool takes = std::abs(c.delta) < 1'000'000'000'000 &&
                           store::field::readByDigits(c.field.data(), stored) &&
                           store::withinAmountLimit(units(stored + c.delta)) &&
                           store::field::writeSlot(stored + c.delta, general);
        const store::field::Addend addend = store::field::addendOf(c.delta);
        char read[16] = "xxxxxxxxxxx9,-1"; // what follows a field is no part of it
        std::memcpy(read, c.field.data(), 11);
        ASSERT_EQ(store::field::add(read, 16, 1, addend, onDigits, sizeof onDigits), takes ? 1 : 0)
            << '"' << c.field << "\" + " << c.delta;
        if (takes) {
            ASSERT_EQ(std::string(onDigits, 11), std::string(general, 11))
                << '"' << c.field << "\" + " << c.delta;
        }
    }
}

TEST(AmountParseTest, TextRoundTripsThroughParse) {
    for (const std::int64_t u :
         std::vector<std::int64_t>{0LL, 1LL, -1LL, 375'000LL, -127'500LL, 12'345'678'9012LL,
                                   -999'999'999'999LL, std::numeric_limits<std::int64_t>::max()}) {
        const Amount value = units(u);
        EXPECT_EQ(Amount::parse(value.amountText()), value) << u;
    }
    // Any value: read back the same, with no leading zero and no trailing zero of the decimals.
    std::mt19937_64 rng(5);
    for (int i = 0; i < 200'000; ++i) {
        const auto u = static_cast<std::int64_t>(rng()) >> (rng() % 64);
        const std::string text = units(u).amountText();
        ASSERT_EQ(Amount::parse(text), units(u)) << text;
        const auto digits = text.substr(u < 0 ? 1 : 0);
        ASSERT_FALSE(digits.size() > 1 && digits[0] == '0' && digits[1] != ',') << text;
        ASSERT_FALSE(text.find(',') != std::string::npos && text.back() == '0') << text;
        // As a field of the post files: the same text padded with spaces; refused when too long.
        char slot[store::field::SlotWidth];
        ASSERT_EQ(store::field::writeSlot(u, slot), text.size() <= 11) << text;
        if (text.size() <= 11) {
            ASSERT_EQ(std::string(slot, 11), text + std::string(11 - text.size(), ' '));
        }
    }
}

TEST(AmountRoundingTest, WholeNumbersHalfToEvenAndFloor) {
    struct Case {
        const char* text;
        std::int64_t halfEven;
        std::int64_t floor;
    };
    const std::vector<Case> cases = {
        {"0,5", 0, 0},       {"1,5", 2, 1},
        {"2,5", 2, 2},       {"-0,5", 0, -1},
        {"-1,5", -2, -2},    {"-2,5", -2, -3},
        {"0,4999", 0, 0},    {"0,5001", 1, 0},
        {"-0,5001", -1, -1}, {"99999999,5", 100000000, 99999999},
        {"7", 7, 7},         {"-7", -7, -7},
    };
    for (const auto& c : cases) {
        const Amount a = Amount::parseStored(c.text);
        EXPECT_EQ(a.roundedWholeHalfEven(), c.halfEven) << c.text;
        EXPECT_EQ(a.floorWhole(), c.floor) << c.text;
    }
}

TEST(AmountFieldTest, ElevenCharacterLimit) {
    const std::vector<std::pair<std::string, bool>> cases = {
        {"-12345678,25", false}, // 12 characters
        {"12345678,25", true},   {"-99999999,9", true}, {"12345678901", true},    {"-1234567890", true},
        {"-12345678901", false}, {"0,0001", true},      {"-9999999,0001", false},
    };
    for (const auto& [text, fits] : cases)
        EXPECT_EQ(store::fitsAmountField(Amount::parseStored(text)), fits) << text;
}

TEST(AmountFormatTest, Patterns) {
    struct Case {
        const char* value;
        std::string_view pattern;
        const char* shown;
    };
    const std::vector<Case> cases = {
        // The display pattern: groups of three, always two decimals, half away from zero.
        {"1250", store::DisplayPattern, "1 250,00"},
        {"0", store::DisplayPattern, "0,00"},
        {"0,25", store::DisplayPattern, "0,25"},
        {"-1250", store::DisplayPattern, "-1 250,00"},
        {"1234567,891", store::DisplayPattern, "1 234 567,89"},
        {"0,005", store::DisplayPattern, "0,01"},
        {"0,0049", store::DisplayPattern, "0,00"},
        {"-0,005", store::DisplayPattern, "-0,01"},
        {"999,995", store::DisplayPattern, "1 000,00"},
        {"123", store::DisplayPattern, "123,00"},
        {"1000", store::DisplayPattern, "1 000,00"},
        {"99999999,99", store::DisplayPattern, "99 999 999,99"},
        {"1234567890", store::DisplayPattern, "1234 567 890,00"},
        // Whole numbers.
        {"2,5", "### ### ##0", "3"},
        {"-2,5", "### ### ##0", "-3"},
        {"0,4", "### ### ##0", "0"},
        {"999,5", "### ### ##0", "1 000"},
        {"1234567", "### ### ##0", "1 234 567"},
        // Groups of four before the last three.
        {"1234567", "#### #### ##0", "1234 567"},
        {"567", "#### #### ##0", "567"},
        {"12345678901", "#### #### ##0", "1234 5678 901"},
        {"123456789012", "#### #### ##0", "12345 6789 012"},
        // One or two decimals; no forced integer digit.
        {"-250", "### ###.0#", "-250,0"},
        {"12,25", "### ###.0#", "12,25"},
        {"1234,5", "### ###.0#", "1 234,5"},
        {"12,255", "### ###.0#", "12,26"},
        {"1234567", "### ###.0#", "1234 567,0"},
        {"0,25", "### ###.0#", ",25"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(store::formatPattern(Amount::parseStored(c.value), c.pattern), c.shown)
            << c.value << " through " << c.pattern;
}

TEST(AmountFormatTest, StoredTextShowsItsOwnSign) {
    EXPECT_EQ(store::displayStoredAmount("-1250"), "-1 250,00");
    EXPECT_EQ(store::displayStoredAmount("-1250      "), "-1 250,00");
    EXPECT_EQ(store::displayStoredAmount("12,3"), "12,30");
    EXPECT_EQ(store::displayStoredAmount("-0"), "0,00"); // an expense of nothing has no sign
    EXPECT_EQ(store::displayStoredAmount("0"), "0,00");
    EXPECT_THROW(store::displayStoredAmount("12 kr"), store::DataError);
    EXPECT_THROW(store::displayStoredAmount(""), store::DataError);

    EXPECT_EQ(store::displayAmount(Amount::parseStored("-1234567,891")), "-1 234 567,89");
    EXPECT_EQ(store::displayAmount(Amount()), "0,00");
}

TEST(AmountCleanTest, TypedText) {
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"1250.5", "1250,5"},
        {"1 250,50", "1250,50"},
        {"-250", "250"},
        {"  -1 000  ", "1000"},
        {"12,", "12,"},
        {"0,0001", "0,0001"},
        // Anything that is no amount gives nothing, never a guess.
        {"", ""},
        {"-", ""},
        {"12a", ""},
        {"12 kr", ""},
        {"1-2", ""},
        {"+5", ""},
        {"1,2,3", ""},
        {"1.2.3", ""},
        {",", ""},
        {"1,23456", ""},
        {"99999999999999999999", ""},
    };
    for (const auto& [typed, cleaned] : cases) {
        EXPECT_EQ(store::cleanTypedAmount(typed), cleaned) << '"' << typed << '"';
        if (!cleaned.empty()) {
            EXPECT_TRUE(Amount::parse(cleaned)) << cleaned;
        }
    }
}

TEST(AmountLimitTest, HundredMillionIsOutside) {
    EXPECT_TRUE(store::withinAmountLimit(Amount::parseStored("99999999,9999")));
    EXPECT_TRUE(store::withinAmountLimit(Amount::parseStored("-99999999,9999")));
    EXPECT_FALSE(store::withinAmountLimit(Amount::whole(100'000'000)));
    EXPECT_FALSE(store::withinAmountLimit(Amount::whole(-100'000'000)));
}

} // namespace

TEST(AmountArithmeticTest, ASumBeyondTheRangeIsADataErrorNeverAWrappedValue) {
    const Amount max = units(std::numeric_limits<std::int64_t>::max());
    const Amount min = units(std::numeric_limits<std::int64_t>::min());
    const Amount typed = *Amount::parse("922337203685477");
    EXPECT_THROW(typed - Amount::whole(-1000), store::DataError); // a huge balance against a debt
    EXPECT_THROW(max + units(1), store::DataError);
    EXPECT_THROW(min - units(1), store::DataError);
    EXPECT_THROW(-min, store::DataError);
    EXPECT_THROW(min.abs(), store::DataError);
    Amount sum = max;
    EXPECT_THROW(sum += units(1), store::DataError);
    EXPECT_EQ(sum, max); // unchanged by the refused step
    EXPECT_EQ((max - max).units(), 0);
    EXPECT_EQ((-max).units(), -std::numeric_limits<std::int64_t>::max());
}
