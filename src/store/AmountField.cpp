#include "store/AmountField.h"

#include <array>
#include <limits>

#if defined(__x86_64__) || defined(__i386__)
#include <tmmintrin.h>
#define MONIVA_SHUFFLED_READS 1
#endif

namespace store::field {

constinit const std::array<std::uint32_t, 10'000> fourDigits = [] {
    std::array<std::uint32_t, 10'000> all{};
    for (std::uint32_t n = 0; n < all.size(); ++n)
        all[n] = n / 1000 | (n / 100 % 10) << 8 | (n / 10 % 10) << 16 | (n % 10) << 24;
    return all;
}();

#ifdef MONIVA_SHUFFLED_READS

namespace {

// What the digits of a field tell, for every placing of digits over its 11 bytes (bit i: byte i is
// a digit). `expected` holds the other bytes of the one form with those digits in those places - a
// "-" before a leading non-digit, a comma between the whole digits and the decimals, spaces - and the
// five spaces the field is padded with; a placing of no such form expects a zero byte among them,
// which never matches. `shuffle` puts the digits in the order of the units, the last decimal first:
// byte i holds the digit worth 10^(i - 4), zero where the text has none.
struct Placing {
    std::array<char, 16> expected;
    std::array<char, 16> shuffle;
};

constexpr Placing placingOf(unsigned digits) {
    Placing p{};
    for (int i = 0; i < 16; ++i) {
        p.expected[static_cast<std::size_t>(i)] = ' ';
        p.shuffle[static_cast<std::size_t>(i)] = static_cast<char>(0x80);
    }
    const auto digit = [&](unsigned i) { return i < AmountFieldWidth && (digits >> i & 1) != 0; };
    const unsigned sign = digit(0) ? 0 : 1;
    unsigned whole = 0, decimals = 0;
    while (digit(sign + whole))
        ++whole;
    const unsigned comma = sign + whole;
    const bool fraction = digit(comma + 1);
    while (fraction && digit(comma + 1 + decimals))
        ++decimals;
    const unsigned end = fraction ? comma + 1 + decimals : comma;
    bool digitAfter = false;
    for (unsigned i = end; i < AmountFieldWidth; ++i)
        digitAfter = digitAfter || digit(i);
    if (whole == 0 || whole > 8 || decimals > 4 || digitAfter) {
        p.expected[15] = '\0';
        return p;
    }
    for (unsigned i = 0; i < AmountFieldWidth; ++i)
        if (digit(i))
            p.expected[i] = '\0'; // a digit; the comparison takes it from the digit test
    if (sign)
        p.expected[0] = '-';
    if (fraction)
        p.expected[comma] = ',';
    for (unsigned j = 0; j < whole; ++j) // the units digit last, into byte 4
        p.shuffle[4 + whole - 1 - j] = static_cast<char>(sign + j);
    for (unsigned j = 0; j < decimals; ++j) // the tenths first, into byte 3
        p.shuffle[3 - j] = static_cast<char>(comma + 1 + j);
    return p;
}

constexpr unsigned Placings = 1u << AmountFieldWidth;

constexpr std::array<Placing, Placings> placings = [] {
    std::array<Placing, Placings> all{};
    for (unsigned d = 0; d < Placings; ++d)
        all[d] = placingOf(d);
    return all;
}();

__m128i load(const std::array<char, 16>& bytes) {
    return _mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes.data()));
}

// The 11 bytes of the field at `p` and five spaces, read without touching a byte past the field.
__attribute__((target("ssse3"))) inline __m128i bytesOfField(const char* p) {
    std::uint64_t head, tail;
    std::memcpy(&head, p, 8);
    std::memcpy(&tail, p + 3, 8);
    tail = tail >> 40 | Ones * ' ' << 24;
    return _mm_set_epi64x(static_cast<long long>(tail), static_cast<long long>(head));
}

// The same from 16 readable bytes at `p`.
__attribute__((target("ssse3"))) inline __m128i bytesOfField16(const char* p) {
    const __m128i field = _mm_setr_epi8(-1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, 0, 0, 0, 0, 0);
    const __m128i spaces = _mm_andnot_si128(field, _mm_set1_epi8(' '));
    return _mm_or_si128(_mm_and_si128(_mm_loadu_si128(reinterpret_cast<const __m128i*>(p)), field), spaces);
}

// The digits of a field's bytes in the order of the units (see Placing::shuffle) and its placing of
// digits; false for a field not in the form the program writes.
__attribute__((target("ssse3"))) inline bool digitsOfField(__m128i bytes, __m128i& ordered,
                                                           unsigned& digits) {
    const __m128i isDigit = _mm_and_si128(_mm_cmpgt_epi8(bytes, _mm_set1_epi8('0' - 1)),
                                          _mm_cmplt_epi8(bytes, _mm_set1_epi8('9' + 1)));
    digits = static_cast<unsigned>(_mm_movemask_epi8(isDigit)) & (Placings - 1);
    const Placing& placing = placings[digits];
    const __m128i matches = _mm_or_si128(_mm_cmpeq_epi8(bytes, load(placing.expected)), isDigit);
    if (_mm_movemask_epi8(matches) != 0xFFFF)
        return false;
    ordered = _mm_shuffle_epi8(_mm_sub_epi8(bytes, _mm_set1_epi8('0')), load(placing.shuffle));
    return true;
}

// A field whose first byte is no digit starts with "-".
constexpr bool negativeOf(unsigned digits) {
    return (digits & 1) == 0;
}

} // namespace

__attribute__((target("ssse3"))) bool readWholeField(const char* p, std::int64_t& units) {
    __m128i ordered;
    unsigned digits;
    if (!digitsOfField(bytesOfField(p), ordered, digits))
        return false;
    // Twelve digits summed in pairs, then in fours: the decimals, the lower whole digits, the higher.
    const __m128i pairs = _mm_maddubs_epi16(ordered, _mm_set1_epi16(10 << 8 | 1));
    const __m128i fours = _mm_madd_epi16(pairs, _mm_set1_epi32(100 << 16 | 1));
    const auto low = static_cast<std::uint64_t>(_mm_cvtsi128_si64(fours));
    const auto high = static_cast<std::uint32_t>(_mm_cvtsi128_si32(_mm_srli_si128(fours, 8)));
    const auto total = static_cast<std::int64_t>(high * std::uint64_t{100'000'000} + (low >> 32) * 10'000 +
                                                 (low & 0xFFFFFFFF));
    units = negativeOf(digits) ? -total : total;
    return true;
}

namespace {

// Twelve decimal digits packed four bits each, the last decimal lowest: compared as numbers, they
// order as their values, and the sums below run on all twelve at once in one register.
constexpr std::uint64_t OnePerDigit = 0x0000'1111'1111'1111;

// a + b, digit by digit: every digit is first raised by 6 so that a sum of ten or more carries into
// the next digit on its own, and the 6 is then taken off again where it did not. A carry out of the
// highest digit is left in bits 48-51.
constexpr std::uint64_t digitSum(std::uint64_t a, std::uint64_t b) {
    const std::uint64_t raised = a + OnePerDigit * 6;
    const std::uint64_t sum = raised + b;
    const std::uint64_t kept = ~(raised ^ b ^ sum) >> 4 & OnePerDigit; // no carry out
    return sum - (kept << 2 | kept << 1);
}

// a - b for a >= b, digit by digit: a digit that borrowed from the next is 6 too high.
constexpr std::uint64_t digitDifference(std::uint64_t a, std::uint64_t b) {
    const std::uint64_t difference = a - b;
    const std::uint64_t borrowed = (a ^ b ^ difference) >> 4 & OnePerDigit;
    return difference - (borrowed << 2 | borrowed << 1);
}

// The text of a value with a sign, `whole` whole digits and `decimals` decimals: `shuffle` takes its
// digits from the twelve, one per byte with the last decimal in byte 0; `fill` adds "0" to them and
// gives every other byte ("-", ",", spaces). `fits`: the text is no longer than the field.
struct Layout {
    std::array<char, 16> shuffle;
    std::array<char, 16> fill;
    bool fits;
};

// The layouts by the sign and the places of the highest and the lowest digit that is not zero, taken
// with the units digit as one of them (so that zero and a value below one show "0"): the highest is
// 4-11, the lowest 0-4 (see Placing::shuffle).
constexpr unsigned layoutIndex(bool negative, unsigned highest, unsigned lowest) {
    return (negative ? 64 : 0) | (highest - 4) << 3 | lowest;
}

constexpr std::array<Layout, 128> layouts = [] {
    std::array<Layout, 128> all{};
    for (const bool negative : {false, true})
        for (unsigned highest = 4; highest < 12; ++highest)
            for (unsigned lowest = 0; lowest <= 4; ++lowest) {
                const unsigned whole = highest - 3, decimals = 4 - lowest;
                Layout& l = all[layoutIndex(negative, highest, lowest)];
                for (std::size_t i = 0; i < 16; ++i) {
                    l.shuffle[i] = static_cast<char>(0x80);
                    l.fill[i] = ' ';
                }
                std::size_t at = 0;
                if (negative)
                    l.fill[at++] = '-';
                for (unsigned j = 0; j < whole; ++j, ++at) {
                    l.shuffle[at] = static_cast<char>(highest - j);
                    l.fill[at] = '0';
                }
                if (decimals > 0)
                    l.fill[at++] = ',';
                for (unsigned j = 0; j < decimals; ++j, ++at) {
                    l.shuffle[at] = static_cast<char>(3 - j);
                    l.fill[at] = '0';
                }
                l.fits = at <= AmountFieldWidth;
            }
    return all;
}();

} // namespace

Addend addendOf(std::int64_t units) {
    Addend a;
    if (units == std::numeric_limits<std::int64_t>::min())
        return a;
    a.negative = units < 0;
    auto m = static_cast<std::uint64_t>(units < 0 ? -units : units);
    if (m >= std::uint64_t{100'000'000} * Amount::Scale)
        return a;
    for (unsigned i = 0; i < 12; ++i, m /= 10)
        a.digits |= (m % 10) << (4 * i);
    a.usable = wholeFieldReads;
    return a;
}

namespace {

// A value as twelve packed digits (see OnePerDigit) and a sign.
struct Signed {
    std::uint64_t digits;
    bool negative;

    friend bool operator==(const Signed& x, const Signed& y) {
        return x.digits == y.digits && (x.negative == y.negative || x.digits == 0);
    }
};

// The field at `p`, of which 16 bytes are read; false for a field not in the form the program writes.
__attribute__((target("ssse3"), always_inline)) inline bool signedOfField(const char* p, Signed& value) {
    __m128i ordered;
    unsigned digits;
    if (!digitsOfField(bytesOfField16(p), ordered, digits))
        return false;
    const __m128i pairs = _mm_maddubs_epi16(ordered, _mm_set1_epi16(16 << 8 | 1));
    value = {static_cast<std::uint64_t>(_mm_cvtsi128_si64(_mm_packus_epi16(pairs, pairs))),
             negativeOf(digits)};
    return true;
}

Signed negated(const Signed& value) {
    return {value.digits, !value.negative};
}

// value + a; false when the sum has nine whole digits, at the amount limit.
__attribute__((always_inline)) inline bool plus(Signed& value, const Signed& a) {
    if (value.negative == a.negative) {
        value.digits = digitSum(value.digits, a.digits);
        return (value.digits >> 48) == 0;
    }
    if (value.digits >= a.digits) {
        value.digits = digitDifference(value.digits, a.digits);
    } else {
        value.digits = digitDifference(a.digits, value.digits);
        value.negative = a.negative;
    }
    return true;
}

// The text of the value padded with spaces into the first 16 bytes of `slot`; false when it is longer
// than the field.
__attribute__((target("ssse3"), always_inline)) inline bool storeText(const Signed& value, char* slot) {
    const bool negative = value.negative && value.digits != 0;         // zero has no sign
    const std::uint64_t shown = value.digits | std::uint64_t{1} << 16; // the units digit always shows
    const Layout& layout =
        layouts[layoutIndex(negative, (63 - static_cast<unsigned>(__builtin_clzll(shown))) / 4,
                            static_cast<unsigned>(__builtin_ctzll(shown)) / 4)];
    if (!layout.fits)
        return false;
    // One digit per byte again, the last decimal in byte 0.
    const __m128i packed = _mm_cvtsi64_si128(static_cast<long long>(value.digits));
    const __m128i low = _mm_set1_epi8(0x0F);
    const __m128i digits =
        _mm_unpacklo_epi8(_mm_and_si128(packed, low), _mm_and_si128(_mm_srli_epi16(packed, 4), low));
    const __m128i text = _mm_add_epi8(_mm_shuffle_epi8(digits, load(layout.shuffle)), load(layout.fill));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(slot), text);
    return true;
}

Signed signedOf(const Addend& a) {
    return {a.digits, a.negative};
}

} // namespace

__attribute__((target("ssse3"))) int addToWholeFields(const char* first, std::size_t stride, int count,
                                                      const Addend& addend, char* into,
                                                      std::size_t slotStride) {
    const Signed added = signedOf(addend);
    int done = 0;
    for (Signed value;
         done < count && signedOfField(first, value) && plus(value, added) && storeText(value, into);
         ++done, first += stride, into += slotStride) {
    }
    return done;
}

__attribute__((target("ssse3"))) int addWithDifferenceOfWholeFields(const char* first, std::size_t stride,
                                                                    int count, const Pair& pair,
                                                                    const Addend& a, const Addend& b,
                                                                    const Into& into) {
    const Signed addedA = signedOf(a), addedB = signedOf(b);
    int done = 0;
    for (std::size_t slot = 0; done < count; ++done, first += stride, slot += into.stride) {
        Signed valueA, valueB, stored;
        if (!signedOfField(first + pair.a, valueA) || !signedOfField(first + pair.b, valueB) ||
            !signedOfField(first + pair.difference, stored) || !plus(valueA, addedA) || !plus(valueB, addedB))
            break;
        Signed difference = valueB;
        if (!plus(difference, negated(valueA)))
            break;
        if ((into.a && !storeText(valueA, into.a + slot)) || (into.b && !storeText(valueB, into.b + slot)))
            break;
        if (difference == stored)
            std::memset(into.difference + slot, 0, 16);
        else if (!storeText(difference, into.difference + slot))
            break;
    }
    return done;
}

namespace {

// Units below the amount limit as twelve packed digits, and back.
bool signedOfUnits(std::int64_t units, Signed& value) {
    const Addend a = addendOf(units);
    value = signedOf(a);
    return a.usable;
}

std::int64_t unitsOf(const Signed& value) {
    std::int64_t units = 0;
    for (int i = 11; i >= 0; --i)
        units = units * 10 + static_cast<std::int64_t>(value.digits >> (4 * i) & 0xF);
    return value.negative ? -units : units;
}

// Whether the stored field at `p` holds `value`: zero bytes into `slot` if so, else the value's text;
// false when the field is not in the program's form or the text too long.
__attribute__((target("ssse3"), always_inline)) inline bool compareOrStore(const char* p, const Signed& value,
                                                                           char* slot, bool& changed) {
    Signed stored;
    if (!signedOfField(p, stored))
        return false;
    if (stored == value) {
        std::memset(slot, 0, 16);
        return true;
    }
    changed = true;
    return storeText(value, slot);
}

// The record's amount added to `value`, then compared with its balance (see compareOrStore) unless
// there is no slot to fill.
__attribute__((target("ssse3"), always_inline)) inline bool runOnField(const char* record, Signed& value,
                                                                       std::size_t amount,
                                                                       std::size_t balance, char* slot,
                                                                       bool& changed) {
    Signed added;
    return signedOfField(record + amount, added) && plus(value, added) &&
           (!slot || compareOrStore(record + balance, value, slot, changed));
}

// runOnWholeFields, made once with the comparisons and once without: a test of them at every record
// made the recounts a tenth slower.
template <bool Compares>
__attribute__((target("ssse3"))) int runOnFields(const char* first, std::size_t stride, int count,
                                                 const RunFields& fields, Running& running,
                                                 const Into& into) {
    Signed a{}, b{};
    if (!signedOfUnits(running.a, a) || (fields.two && !signedOfUnits(running.b, b)))
        return 0;
    int done = 0;
    // The running balances are carried on to the next record only once this one is wholly done.
    for (std::size_t slot = 0; done < count; ++done, first += stride, slot += into.stride) {
        Signed nextA = a, nextB = b;
        if (!runOnField(first, nextA, fields.amountA, fields.balanceA, Compares ? into.a + slot : nullptr,
                        running.changed))
            break;
        if (fields.two) {
            if (!runOnField(first, nextB, fields.amountB, fields.balanceB, Compares ? into.b + slot : nullptr,
                            running.changed))
                break;
            Signed difference = nextB;
            if (Compares && (!plus(difference, negated(nextA)) ||
                             !compareOrStore(first + fields.difference, difference, into.difference + slot,
                                             running.changed)))
                break;
        }
        a = nextA;
        b = nextB;
    }
    running.a = unitsOf(a);
    if (fields.two)
        running.b = unitsOf(b);
    return done;
}

} // namespace

int runOnWholeFields(const char* first, std::size_t stride, int count, const RunFields& fields,
                     Running& running, const Into& into) {
    return into.a ? runOnFields<true>(first, stride, count, fields, running, into)
                  : runOnFields<false>(first, stride, count, fields, running, into);
}

const bool wholeFieldReads = [] {
    __builtin_cpu_init();
    return __builtin_cpu_supports("ssse3") != 0;
}();

#else

bool readWholeField(const char* p, std::int64_t& units) {
    return readByDigits(p, units);
}

const bool wholeFieldReads = false;

Addend addendOf(std::int64_t) {
    return {};
}

int addToWholeFields(const char*, std::size_t, int, const Addend&, char*, std::size_t) {
    return 0;
}

int runOnWholeFields(const char*, std::size_t, int, const RunFields&, Running&, const Into&) {
    return 0;
}

int addWithDifferenceOfWholeFields(const char*, std::size_t, int, const Pair&, const Addend&, const Addend&,
                                   const Into&) {
    return 0;
}

#endif

} // namespace store::field
