#pragma once

#include <compare>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace store {

// Money as a fixed-point number with four decimals on a 64-bit integer. Never a double.
class Amount {
public:
    static constexpr std::int64_t Scale = 10000;

    constexpr Amount() = default;
    static constexpr Amount fromUnits(std::int64_t units) { return Amount(units); }
    static constexpr Amount whole(std::int64_t kronor) { return Amount(kronor * Scale); }

    constexpr std::int64_t units() const { return units_; }
    constexpr bool isNegative() const { return units_ < 0; }
    constexpr bool isZero() const { return units_ == 0; }
    constexpr Amount abs() const { return units_ < 0 ? -*this : *this; }

    // The stored form (AmountText): optional "-", integer digits without grouping and, only for
    // a non-zero fraction, a decimal comma and the fraction digits without trailing zeros.
    // Zero is "0"; minus thirty-seven and a half is "-37,5".
    std::string amountText() const;
    // The same text written to `out`, which must hold MaxTextLength bytes; returns the end of the
    // text. Ledger passes re-encode a balance per post with it, so it allocates nothing.
    static constexpr std::size_t MaxTextLength = 21; // "-922337203685477,5808"
    char* writeText(char* out) const;

    // Reads a stored or typed number: surrounding spaces ignored, optional leading "-", digits,
    // optional decimal comma (a point is taken as a comma) with at most four decimals.
    // Empty optional for anything else, including an empty text.
    static std::optional<Amount> parse(std::string_view text);
    // As parse, but a text that is no number is a data error (store::DataError).
    static Amount parseStored(std::string_view text);

    // Rounded to a whole number of kronor, a half going to the even neighbour (0,5 -> 0, 1,5 -> 2).
    std::int64_t roundedWholeHalfEven() const;
    // The largest whole number not above the value.
    std::int64_t floorWhole() const;

    // Sums and differences are checked: a result beyond the 64-bit range is a data error
    // (store::DataError), never a wrapped value.
    friend constexpr Amount operator+(Amount a, Amount b) {
        std::int64_t sum = 0;
        if (__builtin_add_overflow(a.units_, b.units_, &sum))
            overflow();
        return Amount(sum);
    }
    friend constexpr Amount operator-(Amount a, Amount b) {
        std::int64_t difference = 0;
        if (__builtin_sub_overflow(a.units_, b.units_, &difference))
            overflow();
        return Amount(difference);
    }
    constexpr Amount operator-() const { return Amount() - *this; }
    Amount& operator+=(Amount o) { return *this = *this + o; }
    Amount& operator-=(Amount o) { return *this = *this - o; }
    friend constexpr auto operator<=>(Amount, Amount) = default;

private:
    constexpr explicit Amount(std::int64_t units) : units_(units) {}
    [[noreturn]] static void overflow();
    std::int64_t units_ = 0;
};

// No amount and no running balance may reach this in absolute value.
inline constexpr Amount AmountLimit = Amount::whole(100'000'000);
inline constexpr bool withinAmountLimit(Amount a) {
    return a.abs() < AmountLimit;
}

// Width of every amount field in the post files.
inline constexpr std::size_t AmountFieldWidth = 11;
// True when the value's AmountText fits its 11-character field; a value that does not fit is
// refused by the caller, never cut.
bool fitsAmountField(Amount a);

// Display patterns. Each formats a value the way the windows show it: integer digits in groups
// (by a space), a decimal comma; leading spaces removed. Rounding to the shown decimals takes a
// half away from zero.
//  "### ### ##0.#0" - groups of three, two decimals: 1250 -> "1 250,00", 0 -> "0,00"
//  "### ### ##0"    - groups of three, no decimals
//  "#### #### ##0"  - a last group of three, then groups of four: 1234567 -> "1234 567"
//  "### ###.0#"     - groups of three, one or two decimals: -250 -> "-250,0", 12,25 -> "12,25"
// The pattern string is one of these; digits beyond the pattern's places join the leftmost group.
std::string formatPattern(Amount value, std::string_view pattern);

inline constexpr std::string_view DisplayPattern = "### ### ##0.#0";

// How a stored amount text is shown in the grids and messages: the absolute value through
// "### ### ##0.#0", with "-" in front when the stored text begins with "-". A text that is no
// number is a data error.
std::string displayStoredAmount(std::string_view storedText);
// The same for a value: "-" in front of a negative value.
std::string displayAmount(Amount value);

// Cleans what the user typed into an amount box: a leading "-" is dropped (the sign comes from
// the transaction), spaces are dropped, digits and the decimal comma stay, a point becomes a
// comma. Any other character, a second comma or a fifth decimal makes the whole text invalid and
// the result empty, which the caller treats as "no amount" (the zero-amount message); a letter is
// never silently dropped. A non-empty result always reads back through Amount::parse.
std::string cleanTypedAmount(std::string_view typed);

} // namespace store
