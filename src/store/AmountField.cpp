#include "store/AmountField.h"

#include <array>

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
// which never matches. `shuffle` puts the digits in the order of the units: the whole digits
// ending at byte 7, the decimals from byte 8, zeros elsewhere.
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
    for (unsigned j = 0; j < whole; ++j)
        p.shuffle[8 - whole + j] = static_cast<char>(sign + j);
    for (unsigned j = 0; j < decimals; ++j)
        p.shuffle[8 + j] = static_cast<char>(comma + 1 + j);
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

} // namespace

__attribute__((target("ssse3"))) bool readWholeField(const char* p, std::int64_t& units) {
    // The 11 bytes and five spaces, read without touching a byte past the field.
    std::uint64_t head, tail;
    std::memcpy(&head, p, 8);
    std::memcpy(&tail, p + 3, 8);
    tail = tail >> 40 | Ones * ' ' << 24;
    const __m128i bytes = _mm_set_epi64x(static_cast<long long>(tail), static_cast<long long>(head));
    const __m128i isDigit = _mm_and_si128(_mm_cmpgt_epi8(bytes, _mm_set1_epi8('0' - 1)),
                                          _mm_cmplt_epi8(bytes, _mm_set1_epi8('9' + 1)));
    const auto digits = static_cast<unsigned>(_mm_movemask_epi8(isDigit)) & (Placings - 1);
    const Placing& placing = placings[digits];
    const __m128i matches = _mm_or_si128(_mm_cmpeq_epi8(bytes, load(placing.expected)), isDigit);
    if (_mm_movemask_epi8(matches) != 0xFFFF)
        return false;
    // Twelve digits in the order of the units, summed in pairs, then in fours.
    const __m128i ordered = _mm_shuffle_epi8(_mm_sub_epi8(bytes, _mm_set1_epi8('0')), load(placing.shuffle));
    const __m128i pairs = _mm_maddubs_epi16(ordered, _mm_set1_epi16(1 << 8 | 10));
    const __m128i fours = _mm_madd_epi16(pairs, _mm_set1_epi32(1 << 16 | 100));
    const auto low = static_cast<std::uint64_t>(_mm_cvtsi128_si64(fours));
    const auto last = static_cast<std::uint32_t>(_mm_cvtsi128_si32(_mm_srli_si128(fours, 8)));
    const auto total =
        static_cast<std::int64_t>((low & 0xFFFFFFFF) * 100'000'000 + (low >> 32) * 10'000 + last);
    units = digits & 1 ? total : -total;
    return true;
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

#endif

} // namespace store::field
