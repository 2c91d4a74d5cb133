#include "store/Amount.h"

#include "store/AmountField.h"
#include "store/Errors.h"

#include <charconv>
#include <cstring>
#include <limits>

namespace store {

namespace {

constexpr std::int64_t MaxUnits = std::numeric_limits<std::int64_t>::max();

// The magnitude as an unsigned number, so the most negative value has one too.
std::uint64_t magnitude(std::int64_t units) {
    return units < 0 ? std::uint64_t{0} - static_cast<std::uint64_t>(units)
                     : static_cast<std::uint64_t>(units);
}

std::uint64_t pow10(int n) {
    std::uint64_t p = 1;
    while (n-- > 0)
        p *= 10;
    return p;
}

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

std::string_view trimSpaces(std::string_view s) {
    const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\0'; };
    while (!s.empty() && blank(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && blank(s.back()))
        s.remove_suffix(1);
    return s;
}

// Every text form the program reads; false for anything that is no amount.
bool readAnyUnits(std::string_view text, std::int64_t& units) {
    text = trimSpaces(text);
    const char* p = text.data();
    const char* const end = p + text.size();
    const bool negative = p != end && *p == '-';
    if (negative)
        ++p;
    // Leading zeros say nothing; more than fifteen digits after them are beyond the range anyway,
    // so the digits are summed without a check per digit.
    const char* const digits = p;
    while (p != end && *p == '0')
        ++p;
    const char* const significant = p;
    std::uint64_t whole = 0;
    while (p != end && isDigit(*p))
        whole = whole * 10 + static_cast<std::uint64_t>(*p++ - '0');
    if (p - significant > 15 || whole > static_cast<std::uint64_t>(MaxUnits / Amount::Scale))
        return false;
    bool anyDigit = p != digits;
    std::uint64_t fraction = 0;
    if (p != end && (*p == ',' || *p == '.')) {
        const char* const decimals = ++p;
        while (p != end && isDigit(*p)) {
            if (p - decimals == 4)
                return false;
            fraction = fraction * 10 + static_cast<std::uint64_t>(*p++ - '0');
        }
        anyDigit = anyDigit || p != decimals;
        fraction *= pow10(4 - static_cast<int>(p - decimals));
    }
    if (p != end || !anyDigit)
        return false;
    if (whole > (static_cast<std::uint64_t>(MaxUnits) - fraction) / Amount::Scale)
        return false;
    const auto total = static_cast<std::int64_t>(whole * Amount::Scale + fraction);
    units = negative ? -total : total;
    return true;
}

bool readUnits(std::string_view text, std::int64_t& units) {
    if (text.size() == AmountFieldWidth && field::read(text.data(), units))
        return true;
    return readAnyUnits(text, units);
}

} // namespace

std::string Amount::amountText() const {
    char text[MaxTextLength];
    return std::string(text, writeText(text));
}

char* Amount::writeText(char* out) const {
    return field::write(units_, out);
}

char* field::writeLargeWhole(std::uint64_t whole, char* out) {
    return std::to_chars(out, out + 15, whole).ptr;
}

void Amount::overflow() {
    throw DataError("Beloppet ryms inte i programmets talområde");
}

std::optional<Amount> Amount::parse(std::string_view text) {
    std::int64_t units = 0;
    if (!readUnits(text, units))
        return std::nullopt;
    return Amount(units);
}

Amount Amount::parseStored(std::string_view text) {
    std::int64_t units = 0;
    if (!readUnits(text, units))
        throw DataError("Ogiltigt belopp: '" + std::string(text) + "'");
    return Amount(units);
}

std::int64_t Amount::roundedWholeHalfEven() const {
    std::int64_t whole = units_ / Scale; // towards zero
    const std::int64_t rest = units_ % Scale;
    const std::int64_t half = Scale / 2;
    const std::int64_t restAbs = rest < 0 ? -rest : rest;
    if (restAbs > half || (restAbs == half && whole % 2 != 0))
        whole += units_ < 0 ? -1 : 1;
    return whole;
}

std::int64_t Amount::floorWhole() const {
    const std::int64_t whole = units_ / Scale;
    return units_ % Scale < 0 ? whole - 1 : whole;
}

bool fitsAmountField(Amount a) {
    return a.amountText().size() <= AmountFieldWidth;
}

// A classic BASIC Format() for the number patterns the windows use: '#' is a digit shown only
// when needed, '0' a digit always shown, '.' the place of the decimal comma, anything else
// (the group spaces) a literal shown only between digits.
std::string formatPattern(Amount value, std::string_view pattern) {
    const auto point = pattern.find('.');
    const std::string_view intPattern = pattern.substr(0, point);
    const std::string_view fracPattern =
        point == std::string_view::npos ? std::string_view() : pattern.substr(point + 1);

    int maxDecimals = 0;
    int minDecimals = 0;
    for (const char c : fracPattern) {
        if (c == '#' || c == '0')
            ++maxDecimals;
        if (c == '0')
            minDecimals = maxDecimals;
    }
    if (maxDecimals > 4)
        maxDecimals = 4;
    if (minDecimals > maxDecimals)
        minDecimals = maxDecimals;

    // Round the magnitude to the shown decimals, a half away from zero.
    const std::uint64_t divisor = pow10(4 - maxDecimals);
    std::uint64_t scaled = magnitude(value.units()) / divisor;
    if (magnitude(value.units()) % divisor * 2 >= divisor)
        ++scaled;
    const std::uint64_t fractionScale = pow10(maxDecimals);
    const std::uint64_t whole = scaled / fractionScale;

    std::string fraction;
    if (maxDecimals > 0) {
        fraction = std::to_string(scaled % fractionScale);
        fraction.insert(0, static_cast<std::size_t>(maxDecimals) - fraction.size(), '0');
        while (fraction.size() > static_cast<std::size_t>(minDecimals) && fraction.back() == '0')
            fraction.pop_back();
    }

    std::size_t minIntDigits = 0;
    bool seenZero = false;
    for (const char c : intPattern) {
        seenZero = seenZero || c == '0';
        if (seenZero && (c == '#' || c == '0'))
            ++minIntDigits;
    }
    std::string digits = whole == 0 ? std::string() : std::to_string(whole);
    if (digits.size() < minIntDigits)
        digits.insert(0, minIntDigits - digits.size(), '0');

    // Place the digits from the right; a literal stands only where digits remain to its left,
    // and digits beyond the pattern's places join the leftmost group.
    std::string reversed;
    std::size_t left = digits.size();
    for (auto it = intPattern.rbegin(); it != intPattern.rend() && left > 0; ++it) {
        if (*it == '#' || *it == '0')
            reversed.push_back(digits[--left]);
        else
            reversed.push_back(*it);
    }
    std::string text = value.isNegative() ? "-" : "";
    text.append(digits, 0, left);
    text.append(reversed.rbegin(), reversed.rend());
    if (point != std::string_view::npos) {
        text += ',';
        text += fraction;
    }
    return text;
}

std::string displayStoredAmount(std::string_view storedText) {
    const std::string_view trimmed = trimSpaces(storedText);
    const Amount value = Amount::parseStored(trimmed);
    const std::string shown = formatPattern(value.abs(), DisplayPattern);
    // A zero stored as "-0" (an expense of nothing) shows as plain zero.
    return !trimmed.empty() && trimmed.front() == '-' && !value.isZero() ? "-" + shown : shown;
}

std::string displayAmount(Amount value) {
    return formatPattern(value, DisplayPattern);
}

std::string cleanTypedAmount(std::string_view typed) {
    typed = trimSpaces(typed);
    if (!typed.empty() && typed.front() == '-')
        typed.remove_prefix(1);
    std::string cleaned;
    for (const char c : typed) {
        if (isDigit(c) || c == ',')
            cleaned.push_back(c);
        else if (c == '.')
            cleaned.push_back(',');
        else if (c != ' ')
            return {};
    }
    // Whatever is handed on must read back as an amount: two commas, a lone comma or a fifth
    // decimal make the whole text invalid rather than a guess.
    if (!Amount::parse(cleaned))
        return {};
    return cleaned;
}

} // namespace store
