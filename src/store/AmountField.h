#pragma once

// Reading and writing the 11-byte amount fields of the post files in the form the program writes
// them. A ledger change runs over every later post of an account, reading and writing up to three of
// these fields per post, so both sides are quick: the reader takes only that one form and leaves
// every other text to the general reader, the writer looks its digits up four at a time. Quicker
// still, the passes below add an amount to a field, or carry a running balance down the fields, on
// the digits of the texts themselves.

#include "store/Amount.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>

namespace store::field {

inline constexpr std::uint64_t Ones = 0x0101010101010101;

// The four digits of every n < 10 000 as bytes of values 0-9 in text order, leading zeros included:
// a look-up costs less than working them out with multiplications, and the writers below run for
// every balance a change moves.
extern const std::array<std::uint32_t, 10'000> fourDigits;

// The digits of n < 100 000 000 as eight bytes of values 0-9 in text order, leading zeros included.
inline std::uint64_t digitsOf(std::uint32_t n) {
    return fourDigits[n / 10'000] | std::uint64_t{fourDigits[n % 10'000]} << 32;
}

// A field as the program writes it - an optional "-", one to eight digits, optionally a comma and
// one to four decimals, then spaces - read as units. False for any other form, which only the
// general reader (Amount::parse) then decides on. Reads exactly the 11 bytes at `p`, a digit at a
// time.
inline bool readByDigits(const char* p, std::int64_t& units) {
    const char* const end = p + AmountFieldWidth;
    const bool negative = *p == '-';
    const char* q = p + (negative ? 1 : 0);
    const char* const digits = q;
    std::uint64_t whole = 0;
    for (unsigned d; q != end && (d = static_cast<unsigned char>(*q) - unsigned{'0'}) < 10; ++q)
        whole = whole * 10 + d;
    if (q == digits || q - digits > 8)
        return false;
    std::uint64_t fraction = 0;
    if (q != end && *q == ',') {
        const char* const decimals = ++q;
        for (unsigned d; q != end && (d = static_cast<unsigned char>(*q) - unsigned{'0'}) < 10; ++q)
            fraction = fraction * 10 + d;
        static constexpr std::uint32_t scaleOf[] = {0, 1000, 100, 10, 1};
        const auto count = q - decimals;
        if (count == 0 || count > 4)
            return false;
        fraction *= scaleOf[count];
    }
    while (q != end && *q == ' ')
        ++q;
    if (q != end)
        return false;
    const auto total = static_cast<std::int64_t>(whole * Amount::Scale + fraction);
    units = negative ? -total : total;
    return true;
}

// The same reader working on all 11 bytes at once with the byte shuffles of SSSE3, about twice as
// fast; only for a processor that has them (wholeFieldReads).
bool readWholeField(const char* p, std::int64_t& units);
extern const bool wholeFieldReads;

inline bool read(const char* p, std::int64_t& units) {
    return wholeFieldReads ? readWholeField(p, units) : readByDigits(p, units);
}

// One amount added to many fields, as a change does to every later balance: the sum is worked out on
// the digits of the texts, without reading the fields as numbers and writing the numbers back, which
// costs about twice as much. Prepared once per change by addendOf.
struct Addend {
    std::uint64_t digits = 0; // the twelve digits of the magnitude, four bits each, last decimal lowest
    bool negative = false;
    bool usable = false; // below the amount limit, on a processor that has the byte shuffles
};
Addend addendOf(std::int64_t units);

// Fields `stride` bytes apart from `first` (`count` of them) plus the addend, each as write() gives
// its text padded with spaces, stored into the first 16 bytes of slots `slotStride` bytes apart from
// `into` (see writeSlot). Returns how many were done: the pass stops before a field not in the form
// the program writes or whose sum does not fit the field or reaches the amount limit, which the
// caller then reads and writes the general way, which also tells why. The five bytes after each
// field must be there to read; they are not used.
int addToWholeFields(const char* first, std::size_t stride, int count, const Addend& addend, char* into,
                     std::size_t slotStride);
inline int add(const char* first, std::size_t stride, int count, const Addend& addend, char* into,
               std::size_t slotStride) {
    return addend.usable ? addToWholeFields(first, stride, count, addend, into, slotStride) : 0;
}

// Two amount fields of each record moved by two amounts, and a third that holds their difference
// (b minus a) made to follow them: the fields at offsets `a`, `b` and `difference` of records `stride`
// bytes apart from `first` (`count` of them). The new texts go into slots `into.stride` bytes apart
// from each of `into`; a null `a` or `b` leaves that field's slots alone (its value counts all the
// same). A difference whose value stays gets a slot of zero bytes instead: its text, whatever its
// form, is to stay. Returns how many records were done, stopping as addToWholeFields does, also
// before a difference of nine whole digits or too long for the field. Reads 16 bytes at each field.
struct Pair {
    std::size_t a, b, difference;
};
// Where the new texts of the passes below go: three columns of slots, `stride` bytes apart.
struct Into {
    char* a;
    char* b;
    char* difference;
    std::size_t stride;
};
int addWithDifferenceOfWholeFields(const char* first, std::size_t stride, int count, const Pair& pair,
                                   const Addend& a, const Addend& b, const Into& into);
inline int addWithDifference(const char* first, std::size_t stride, int count, const Pair& pair,
                             const Addend& a, const Addend& b, const Into& into) {
    return a.usable && b.usable ? addWithDifferenceOfWholeFields(first, stride, count, pair, a, b, into) : 0;
}

// Running balances carried down records, as a recount makes them: each record's amount is added to
// the running balance `a` and the result compared with the record's stored balance; with `two`, the
// same for `b`, and the record's difference compared with b minus a. Where a stored value differs,
// the new text goes into its slot (slots `into.stride` bytes apart from each of `into`; with a null
// `into.a`, nothing is compared) and `changed` is set; where it agrees, the slot gets zero bytes: the
// stored text stays, whatever its form. Returns how many records were done, with the running
// balances after them; stops before a record with a field not in the program's form, a sum of nine
// whole digits or a new text too long for its field, which the caller then takes the general way.
// Reads 16 bytes at each field.
struct RunFields {
    std::size_t amountA, balanceA;
    bool two = false;
    std::size_t amountB = 0, balanceB = 0, difference = 0;
};
struct Running {
    std::int64_t a = 0, b = 0; // units
    bool changed = false;
};
int runOnWholeFields(const char* first, std::size_t stride, int count, const RunFields& fields,
                     Running& running, const Into& into);
inline int runOn(const char* first, std::size_t stride, int count, const RunFields& fields, Running& running,
                 const Into& into) {
    return wholeFieldReads ? runOnWholeFields(first, stride, count, fields, running, into) : 0;
}

// Only the amounts of the records added to the running balances, as runOn adds them, with nothing
// compared: the start of a second half of a recount.
inline int sum(const char* first, std::size_t stride, int count, const RunFields& fields, Running& running) {
    return runOn(first, stride, count, fields, running, {nullptr, nullptr, nullptr, 0});
}

// The stored text of units (see Amount::amountText) written to `out`, which must hold
// Amount::MaxTextLength bytes; returns the end of the text.
char* writeLargeWhole(std::uint64_t whole, char* out);
inline char* write(std::int64_t units, char* out) {
    const std::uint64_t m =
        units < 0 ? std::uint64_t{0} - static_cast<std::uint64_t>(units) : static_cast<std::uint64_t>(units);
    if (units < 0)
        *out++ = '-';
    const std::uint64_t whole = m / Amount::Scale;
    if (whole < 100'000'000) {
        // Eight digits at once, the leading zeros then shifted out (one stays for zero).
        const std::uint64_t digits = digitsOf(static_cast<std::uint32_t>(whole));
        const unsigned leading = whole == 0 ? 7 : __builtin_ctzll(digits) / 8;
        const std::uint64_t text = (digits + Ones * '0') >> (8 * leading);
        std::memcpy(out, &text, 8);
        out += 8 - leading;
    } else {
        out = writeLargeWhole(whole, out);
    }
    const auto fraction = static_cast<std::uint32_t>(m % Amount::Scale);
    if (fraction == 0)
        return out;
    // The four decimals, the trailing zeros dropped.
    const std::uint32_t decimals = fourDigits[fraction];
    const std::uint32_t decimalText = decimals + 0x30303030;
    *out = ',';
    std::memcpy(out + 1, &decimalText, 4);
    return out + 5 - __builtin_clz(decimals) / 8;
}

} // namespace store::field

namespace store::field {

// Room that writeSlot() may store into.
inline constexpr std::size_t SlotWidth = 24;

// The stored text of units followed by spaces, written into a slot of SlotWidth bytes whose first
// AmountFieldWidth bytes are then the field; false when the text is longer than the field. Each
// piece is stored once and nothing stored is read back here, so a pass that fills a slot for every
// later post never waits for its own stores. (write() followed by spaces over the rest of the field
// was a quarter slower in those passes, so the pieces carry their spaces with them.)
inline bool writeSlot(std::int64_t units, char* slot) {
    constexpr std::uint64_t Spaces = Ones * ' ';
    const std::uint64_t m =
        units < 0 ? std::uint64_t{0} - static_cast<std::uint64_t>(units) : static_cast<std::uint64_t>(units);
    const std::uint64_t whole = m / Amount::Scale;
    if (whole >= 100'000'000) { // nine digits or more: rare, and seldom fits
        char text[Amount::MaxTextLength];
        const auto size = static_cast<std::size_t>(write(units, text) - text);
        std::memset(slot, ' ', AmountFieldWidth);
        std::memcpy(slot, text, std::min(size, AmountFieldWidth));
        return size <= AmountFieldWidth;
    }
    std::memcpy(slot + 8, &Spaces, 8);
    slot[0] = '-'; // stays only for a negative value: the digits go after it
    const unsigned sign = units < 0 ? 1 : 0;
    // Eight digits at once, the leading zeros shifted out (one stays for zero) and spaces shifted in.
    const std::uint64_t digits = digitsOf(static_cast<std::uint32_t>(whole));
    const unsigned leading = whole == 0 ? 7 : __builtin_ctzll(digits) / 8;
    const std::uint64_t wholeText = (digits + Ones * '0') >> (8 * leading) | Spaces << (63 - 8 * leading)
                                                                                    << 1;
    std::memcpy(slot + sign, &wholeText, 8);
    unsigned size = sign + 8 - leading;
    if (const auto fraction = static_cast<std::uint32_t>(m % Amount::Scale)) {
        // A comma and the four decimals, the trailing zeros turned into spaces.
        const std::uint32_t decimals = fourDigits[fraction];
        const unsigned trailing = __builtin_clz(decimals) / 8;
        const std::uint32_t shown = 0xFFFFFFFFu >> (8 * trailing);
        const std::uint32_t decimalText = ((decimals + 0x30303030) & shown) | (0x20202020 & ~shown);
        const std::uint64_t piece = ',' | std::uint64_t{decimalText} << 8 | Spaces << 40;
        std::memcpy(slot + size, &piece, 8);
        size += 5 - trailing;
    }
    return size <= AmountFieldWidth;
}

} // namespace store::field
