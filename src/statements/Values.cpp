#include "statements/Values.h"

#include "statements/Text.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <string>

namespace statements {

namespace {

bool endsWithNoCase(std::string_view s, std::string_view suffix) {
    return s.size() >= suffix.size() && text::startsWithNoCase(s.substr(s.size() - suffix.size()), suffix);
}

// Removes a currency word or ":-" at either end; true when one was there.
bool stripCurrency(std::string_view& s) {
    for (const std::string_view word : {"SEK", "kr.", "kr", ":-"}) {
        if (endsWithNoCase(s, word)) {
            s = text::trim(s.substr(0, s.size() - word.size()));
            return true;
        }
        if (text::startsWithNoCase(s, word) && word != ":-") {
            s = text::trim(s.substr(word.size()));
            return true;
        }
    }
    return false;
}

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

// Thousands are grouped only in threes: "1.234.567" but never "12.34".
bool groupsOfThree(std::string_view digits, char groupSign) {
    std::size_t run = 0;
    bool first = true;
    for (const char c : digits) {
        if (c == groupSign) {
            if (run == 0 || (!first && run != 3) || (first && run > 3))
                return false;
            first = false;
            run = 0;
        } else {
            ++run;
        }
    }
    return first || run == 3;
}

} // namespace

namespace {

// Most cells are a bare "-1234.50": read at once when the one separator can only be the decimal
// sign, else (grouping, currency words, other signs) by the whole rule below.
std::optional<AmountRead> plainAmount(std::string_view s, DecimalSign sign) {
    std::size_t i = 0;
    const bool negative = !s.empty() && s[0] == '-';
    i += negative ? 1 : 0;
    std::int64_t units = 0;
    std::size_t digits = 0;
    for (; i < s.size() && isDigit(s[i]); ++i, ++digits) {
        if (digits == 14) // longer numbers, too large or with leading zeros, by the whole rule
            return std::nullopt;
        units = units * 10 + (s[i] - '0');
    }
    if (digits == 0 || (s[i - digits] == '0' && digits > 1))
        return std::nullopt;
    units *= store::Amount::Scale;
    if (i < s.size()) {
        const char separator = s[i];
        const bool decimal = (separator == ',' && sign != DecimalSign::Point) ||
                             (separator == '.' && sign != DecimalSign::Comma);
        const std::size_t fraction = s.size() - i - 1;
        if (!decimal || fraction == 0 || fraction > 4)
            return std::nullopt;
        std::int64_t place = store::Amount::Scale / 10;
        for (++i; i < s.size(); ++i, place /= 10) {
            if (!isDigit(s[i]))
                return std::nullopt;
            units += (s[i] - '0') * place;
        }
    }
    return AmountRead{store::Amount::fromUnits(negative ? -units : units), false};
}

} // namespace

AmountRead parseBankAmount(std::string_view raw, DecimalSign sign) {
    std::string_view s = text::trim(raw);
    if (const auto plain = plainAmount(s, sign))
        return *plain;
    bool negative = false;
    // Most amounts are bare numbers: the currency words are looked for only around other text.
    if (!s.empty() && !(isDigit(s.back()) && (isDigit(s.front()) || s.front() == '-')))
        stripCurrency(s);
    if (s.size() >= 2 && s.front() == '(' && s.back() == ')') {
        negative = true;
        s = text::trim(s.substr(1, s.size() - 2));
        stripCurrency(s);
    }
    bool signSeen = false;
    if (!s.empty() && (s.front() == '-' || s.front() == '+')) {
        negative = negative != (s.front() == '-');
        signSeen = true;
        s.remove_prefix(1);
    } else if (s.substr(0, 3) == "\xE2\x88\x92") {
        negative = !negative;
        signSeen = true;
        s.remove_prefix(3);
    } else if (!s.empty() && s.back() == '-') {
        negative = !negative;
        signSeen = true;
        s.remove_suffix(1);
    }
    s = text::trim(s);
    if (signSeen)
        stripCurrency(s);

    // Digits and separators only, the grouping blanks dropped.
    std::string body;
    body.reserve(s.size());
    for (std::size_t i = 0; i < s.size();) {
        const char c = s[i];
        if (isDigit(c) || c == ',' || c == '.') {
            body.push_back(c);
            ++i;
        } else if (c == ' ' || c == '\'') {
            ++i;
        } else if (s.substr(i, 2) == "\xC2\xA0") {
            i += 2;
        } else if (s.substr(i, 3) == "\xE2\x80\x89" || s.substr(i, 3) == "\xE2\x80\xAF") {
            i += 3;
        } else {
            return {};
        }
    }
    const auto commas = std::count(body.begin(), body.end(), ',');
    const auto points = std::count(body.begin(), body.end(), '.');
    char decimal = 0;
    char group = 0;
    switch (sign) {
    case DecimalSign::Comma:
        decimal = ',';
        group = '.';
        break;
    case DecimalSign::Point:
        decimal = '.';
        group = ',';
        break;
    case DecimalSign::Either:
        if (commas > 0 && points > 0)
            decimal = body[body.find_last_of(",.")];
        else if (commas == 1 || points == 1)
            decimal = commas == 1 ? ',' : '.';
        else
            decimal = commas > 1 ? '.' : ','; // the repeated one groups
        group = decimal == ',' ? '.' : ',';
        break;
    }
    const std::size_t decimalAt = body.find(decimal);
    if (decimalAt != std::string::npos && body.find(decimal, decimalAt + 1) != std::string::npos)
        return {};
    const std::string_view whole = std::string_view(body).substr(0, decimalAt);
    const std::string_view fraction =
        decimalAt == std::string::npos ? std::string_view() : std::string_view(body).substr(decimalAt + 1);
    if (fraction.find(group) != std::string_view::npos || !groupsOfThree(whole, group))
        return {};
    if (whole.find_first_of("0123456789") == std::string_view::npos && fraction.empty())
        return {};
    if (decimalAt != std::string::npos && fraction.empty() && whole.empty())
        return {};

    std::int64_t units = 0;
    int significant = 0;
    for (const char c : whole) {
        if (c == group)
            continue;
        if (significant > 0 || c != '0')
            ++significant;
        if (significant > 14)
            return {std::nullopt, true};
        units = units * 10 + (c - '0');
    }
    units *= store::Amount::Scale;
    std::int64_t place = store::Amount::Scale / 10;
    for (std::size_t k = 0; k < fraction.size(); ++k) {
        const int digit = fraction[k] - '0';
        if (k >= 4) {
            if (digit != 0)
                return {};
            continue;
        }
        units += digit * place;
        place /= 10;
    }
    return {store::Amount::fromUnits(negative ? -units : units), false};
}

std::optional<store::Amount> amountOrError(std::string_view cell, DecimalSign sign, std::string& error) {
    cell = text::trim(cell);
    if (cell.empty()) {
        error = "beloppet saknas";
        return std::nullopt;
    }
    const AmountRead r = parseBankAmount(cell, sign);
    if (r.tooLarge ||
        (r.value && (!store::withinAmountLimit(*r.value) || !store::fitsAmountField(*r.value)))) {
        error = "beloppet " + text::cleanText(cell) + " är för stort";
        return std::nullopt;
    }
    if (!r.value)
        error = "beloppet \"" + text::cleanText(cell) + "\" går inte att läsa";
    return r.value;
}

namespace {

// Reads the digits of `s` from `i`, between `minDigits` and `maxDigits` of them.
std::optional<int> number(std::string_view s, std::size_t& i, std::size_t minDigits, std::size_t maxDigits) {
    std::size_t n = 0;
    int value = 0;
    while (i < s.size() && isDigit(s[i]) && n < maxDigits) {
        value = value * 10 + (s[i] - '0');
        ++i;
        ++n;
    }
    if (n < minDigits)
        return std::nullopt;
    return value;
}

std::optional<store::Date> makeDate(int year, int month, int day) {
    if (year < 1 || year > 9999 || month < 1 || month > 12 || day < 1 ||
        day > store::daysInMonth(year, month))
        return std::nullopt;
    return store::Date{year, month, day};
}

// Three numbers joined by `sep` (no separator: fixed widths), then nothing but a time.
struct Shape {
    char sep;
    std::array<std::size_t, 3> minDigits;
    std::array<std::size_t, 3> maxDigits;
};

std::optional<std::array<int, 3>> threeNumbers(std::string_view s, const Shape& shape) {
    std::array<int, 3> out{};
    std::size_t i = 0;
    for (std::size_t k = 0; k < 3; ++k) {
        if (k > 0 && shape.sep != 0) {
            if (i >= s.size() || s[i] != shape.sep)
                return std::nullopt;
            ++i;
        }
        const auto n = number(s, i, shape.minDigits[k], shape.maxDigits[k]);
        if (!n)
            return std::nullopt;
        out[k] = *n;
    }
    if (i < s.size() && s[i] != ' ' && s[i] != 'T')
        return std::nullopt;
    return out;
}

} // namespace

std::optional<store::Date> parseBankDate(std::string_view raw, DateFormat format) {
    const std::string_view s = text::trim(raw);
    constexpr std::array<std::size_t, 3> YearFirstMin{4, 1, 1}, YearFirstMax{4, 2, 2};
    constexpr std::array<std::size_t, 3> YearLastMin{1, 1, 4}, YearLastMax{2, 2, 4};
    std::optional<std::array<int, 3>> n;
    switch (format) {
    case DateFormat::Iso:
        n = threeNumbers(s, {'-', YearFirstMin, YearFirstMax});
        return n ? makeDate((*n)[0], (*n)[1], (*n)[2]) : std::nullopt;
    case DateFormat::SlashedIso:
        n = threeNumbers(s, {'/', YearFirstMin, YearFirstMax});
        return n ? makeDate((*n)[0], (*n)[1], (*n)[2]) : std::nullopt;
    case DateFormat::Compact:
        n = threeNumbers(s, {0, {4, 2, 2}, {4, 2, 2}});
        return n ? makeDate((*n)[0], (*n)[1], (*n)[2]) : std::nullopt;
    case DateFormat::ShortIso:
        n = threeNumbers(s, {'-', {2, 1, 1}, {2, 2, 2}});
        return n ? makeDate(2000 + (*n)[0], (*n)[1], (*n)[2]) : std::nullopt;
    case DateFormat::DayMonthDots:
        n = threeNumbers(s, {'.', YearLastMin, YearLastMax});
        return n ? makeDate((*n)[2], (*n)[1], (*n)[0]) : std::nullopt;
    case DateFormat::DayMonthSlash:
        n = threeNumbers(s, {'/', YearLastMin, YearLastMax});
        return n ? makeDate((*n)[2], (*n)[1], (*n)[0]) : std::nullopt;
    case DateFormat::MonthDaySlash:
        n = threeNumbers(s, {'/', YearLastMin, YearLastMax});
        return n ? makeDate((*n)[2], (*n)[0], (*n)[1]) : std::nullopt;
    }
    return std::nullopt;
}

std::optional<store::Date> parseAnyDate(std::string_view text) {
    // Most cells are "2023-12-05" exactly.
    if (text.size() == 10)
        if (const auto d = store::parseDate(text))
            return d;
    for (const DateFormat f :
         {DateFormat::Iso, DateFormat::SlashedIso, DateFormat::Compact, DateFormat::DayMonthDots})
        if (const auto d = parseBankDate(text, f))
            return d;
    return std::nullopt;
}

} // namespace statements
