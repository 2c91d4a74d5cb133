#pragma once

#include "statements/Reader.h"
#include "store/Amount.h"
#include "store/DateText.h"

#include <optional>
#include <string>
#include <string_view>

namespace statements {

enum class DecimalSign {
    Comma, // a point may only group thousands
    Point, // a comma may only group thousands
    // Where both are seen, the last one is the decimal sign; a lone comma or point is the decimal
    // sign even before three digits (SEB writes "-253.520"); one repeated groups thousands.
    Either,
};

struct AmountRead {
    std::optional<store::Amount> value; // empty: not a number, or too large to hold
    bool tooLarge = false;              // a number, but beyond what an amount can hold
};

// A bank's amount: a leading "-", "+" or U+2212 minus, or a trailing "-", or the whole in
// parentheses for a negative; spaces, no-break and thin spaces grouping thousands; "kr", "SEK" or
// ":-" before or after. Never through a double: at most four decimals, further ones only zeros.
AmountRead parseBankAmount(std::string_view text, DecimalSign sign);

// The amount of one cell as a row takes it: empty with `error` set (plain Swedish) when the cell is
// blank, no number, or beyond the amount limit or the amount field, which is never cut.
std::optional<store::Amount> amountOrError(std::string_view cell, DecimalSign sign, std::string& error);

// A date in the given form; a time after the date ("2023-12-05 14:02", "T140200") is ignored.
// Day and month may have one digit. Empty when the text is no real calendar day.
std::optional<store::Date> parseBankDate(std::string_view text, DateFormat format);

// A date as the banks' own layouts write it: year first (2023-12-05, 2023/12/05, 20231205) or
// day first with points (05.12.2023).
std::optional<store::Date> parseAnyDate(std::string_view text);

} // namespace statements
