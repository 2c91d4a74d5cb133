#include "statements/Csv.h"
#include "statements/Text.h"
#include "statements/Values.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

using namespace statements;

namespace {

TEST(ReadValuesTest, BankAmountsAreReadExactlyOrRefused) {
    struct Case {
        std::string text;
        DecimalSign sign;
        std::optional<std::int64_t> units; // empty: refused
    };
    const std::vector<Case> cases = {
        {"-30.40", DecimalSign::Either, -304000},
        {"-253.520", DecimalSign::Either, -2535200},
        {"1 234,50", DecimalSign::Comma, 12345000},
        {"\xE2\x88\x92"
         "312,90",
         DecimalSign::Either, -3129000},
        {"+1 500,00", DecimalSign::Either, 15000000},
        {"(1 000,00)", DecimalSign::Either, -10000000},
        {"-19 961,17 kr", DecimalSign::Either, -199611700},
        {"SEK 12", DecimalSign::Either, 120000},
        {"1\xC2\xA0"
         "234,5",
         DecimalSign::Comma, 12345000},
        {"1\xE2\x80\xAF"
         "234,5",
         DecimalSign::Comma, 12345000},
        {"1.234.567,89", DecimalSign::Either, 12345678900},
        {"1,234,567.89", DecimalSign::Either, 12345678900},
        {"1,234,567", DecimalSign::Either, 12345670000},
        {"100-", DecimalSign::Either, -1000000},
        {"1,23450", DecimalSign::Comma, 12345},
        {"12.34", DecimalSign::Comma, std::nullopt},
        {"1,5", DecimalSign::Point, std::nullopt},
        {"1,23456", DecimalSign::Comma, std::nullopt},
        {"1,2,3", DecimalSign::Comma, std::nullopt},
        {"12 kg", DecimalSign::Either, std::nullopt},
        {"-", DecimalSign::Either, std::nullopt},
        {"", DecimalSign::Either, std::nullopt},
        {"1e5", DecimalSign::Either, std::nullopt},
    };
    for (const auto& c : cases) {
        const auto read = parseBankAmount(c.text, c.sign);
        ASSERT_EQ(read.value.has_value(), c.units.has_value()) << c.text;
        if (c.units) {
            EXPECT_EQ(read.value->units(), *c.units) << c.text;
        }
    }
    EXPECT_TRUE(parseBankAmount("123456789012345678901", DecimalSign::Either).tooLarge);
}

TEST(ReadValuesTest, AmountBeyondTheLimitOrTheFieldIsAnErrorNotACut) {
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"9 999 999,99", ""},
        {"99 999 999,99", ""},
        {"-99 999 999,99", "beloppet -99 999 999,99 är för stort"},
        {"-100 000 000", "beloppet -100 000 000 är för stort"},
        {"123456789012345678901", "beloppet 123456789012345678901 är för stort"},
        {"  ", "beloppet saknas"},
        {"tio", "beloppet \"tio\" går inte att läsa"},
    };
    for (const auto& [cell, error] : cases) {
        std::string got;
        const auto value = amountOrError(cell, DecimalSign::Comma, got);
        EXPECT_EQ(got, error) << cell;
        EXPECT_EQ(value.has_value(), error.empty()) << cell;
    }
}

TEST(ReadValuesTest, DatesInEachForm) {
    struct Case {
        std::string text;
        DateFormat format;
        std::string expected; // empty: refused
    };
    const std::vector<Case> cases = {
        {"2023-12-05", DateFormat::Iso, "2023-12-05"},
        {"2023-12-05 14:02", DateFormat::Iso, "2023-12-05"},
        {"2023/12/05", DateFormat::SlashedIso, "2023-12-05"},
        {"5.1.2023", DateFormat::DayMonthDots, "2023-01-05"},
        {"05/01/2023", DateFormat::DayMonthSlash, "2023-01-05"},
        {"12/05/2023", DateFormat::MonthDaySlash, "2023-12-05"},
        {"20231205", DateFormat::Compact, "2023-12-05"},
        {"23-12-05", DateFormat::ShortIso, "2023-12-05"},
        {"2024-02-29", DateFormat::Iso, "2024-02-29"},
        {"2023-02-29", DateFormat::Iso, ""},
        {"2023-13-01", DateFormat::Iso, ""},
        {"2023-12-05x", DateFormat::Iso, ""},
        {"05.12.2023", DateFormat::Iso, ""},
        {"2023120", DateFormat::Compact, ""},
        {"", DateFormat::Iso, ""},
    };
    for (const auto& c : cases) {
        const auto d = parseBankDate(c.text, c.format);
        EXPECT_EQ(d ? store::dateText(*d) : "", c.expected) << c.text;
    }
}

std::vector<std::string> joined(const std::vector<CsvRecord>& records) {
    std::vector<std::string> out;
    for (const auto& r : records) {
        std::string line = std::to_string(r.line) + ":";
        for (std::size_t i = 0; i < r.cells.size(); ++i)
            line += (i > 0 ? "|" : "") + r.cells[i];
        out.push_back(line);
    }
    return out;
}

TEST(ReadValuesTest, DelimitedTextSplitsAtSeparatorsOutsideQuotes) {
    struct Case {
        std::string text;
        char sep;
        std::vector<std::string> records;
    };
    const std::vector<Case> cases = {
        {"a;b\r\nc;d\r\n", ';', {"1:a|b", "2:c|d"}},
        {"\"x;y\";\"he said \"\"hi\"\"\"", ';', {"1:x;y|he said \"hi\""}},
        {"\"two\r\nlines\",z\nq", ',', {"1:two\r\nlines|z", "3:q"}},
        {"a\t\n\tb", '\t', {"1:a|", "2:|b"}},
        {"a\rb", ';', {"1:a", "2:b"}},
        {"ab\"c\";d", ';', {"1:ab\"c\"|d"}},
        {"\"open", ';', {"1:open"}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(joined(splitCsv(c.text, c.sep)), c.records) << c.text;
}

TEST(ReadValuesTest, FilesAreDecodedByTheirMarkElseAsUtf8ElseWindows1252) {
    struct Case {
        std::string bytes;
        Encoding encoding;
        std::string utf8;
    };
    const std::vector<Case> cases = {
        {"\xEF\xBB\xBFh\xC3\xA5", Encoding::Auto, "h\xC3\xA5"},
        {std::string("\xFF\xFEh\0\xE5\0", 6), Encoding::Auto, "h\xC3\xA5"},
        {std::string("\xFE\xFF\0h\0\xE5\xD8\x3D\xDE\x00", 10), Encoding::Auto, "h\xC3\xA5\xF0\x9F\x98\x80"},
        {"h\xE5\x80", Encoding::Auto, "h\xC3\xA5\xE2\x82\xAC"},
        {"h\xE5", Encoding::Utf8, "h\xEF\xBF\xBD"},
        {"\xC3\xA5", Encoding::Cp1252, "\xC3\x83\xC2\xA5"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(text::decode(c.bytes, c.encoding), c.utf8) << c.utf8;
}

} // namespace
