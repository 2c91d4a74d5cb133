#include "statements/Text.h"

#include "store/Cp1252.h"

#include <array>
#include <cstdint>
#include <cstring>

namespace statements::text {

namespace {

using store::appendUtf8;

constexpr char32_t Replacement = 0xFFFD;

// Length of the valid UTF-8 sequence at `i`, or 0.
std::size_t sequenceLength(std::string_view s, std::size_t i) {
    const auto b = static_cast<unsigned char>(s[i]);
    if (b < 0x80)
        return 1;
    std::size_t n = 0;
    char32_t cp = 0;
    if (b >= 0xC2 && b <= 0xDF) {
        n = 2;
        cp = b & 0x1F;
    } else if (b >= 0xE0 && b <= 0xEF) {
        n = 3;
        cp = b & 0x0F;
    } else if (b >= 0xF0 && b <= 0xF4) {
        n = 4;
        cp = b & 0x07;
    } else {
        return 0;
    }
    if (i + n > s.size())
        return 0;
    for (std::size_t k = 1; k < n; ++k) {
        const auto c = static_cast<unsigned char>(s[i + k]);
        if ((c & 0xC0) != 0x80)
            return 0;
        cp = (cp << 6) | (c & 0x3F);
    }
    if ((n == 3 && (cp < 0x800 || (cp >= 0xD800 && cp <= 0xDFFF))) ||
        (n == 4 && (cp < 0x10000 || cp > 0x10FFFF)))
        return 0;
    return n;
}

std::string fromUtf8(std::string_view s) {
    if (isValidUtf8(s))
        return std::string(s);
    std::string out;
    out.reserve(s.size());
    for (std::size_t i = 0; i < s.size();) {
        const std::size_t n = sequenceLength(s, i);
        if (n == 0) {
            appendUtf8(out, Replacement);
            ++i;
        } else {
            out.append(s.substr(i, n));
            i += n;
        }
    }
    return out;
}

std::string fromUtf16(std::string_view s, bool bigEndian) {
    std::string out;
    out.reserve(s.size());
    const auto unit = [&](std::size_t i) -> char32_t {
        const auto a = static_cast<unsigned char>(s[i]);
        const auto b = static_cast<unsigned char>(s[i + 1]);
        return bigEndian ? char32_t((a << 8) | b) : char32_t((b << 8) | a);
    };
    for (std::size_t i = 0; i + 1 < s.size(); i += 2) {
        const char32_t u = unit(i);
        if (u >= 0xD800 && u <= 0xDBFF && i + 3 < s.size()) {
            const char32_t low = unit(i + 2);
            if (low >= 0xDC00 && low <= 0xDFFF) {
                appendUtf8(out, 0x10000 + ((u - 0xD800) << 10) + (low - 0xDC00));
                i += 2;
                continue;
            }
        }
        appendUtf8(out, (u >= 0xD800 && u <= 0xDFFF) ? Replacement : u);
    }
    if (s.size() % 2 != 0)
        appendUtf8(out, Replacement);
    return out;
}

// Runs of ASCII are copied whole; the other bytes through the code page's table, built once.
std::string fromCp1252(std::string_view s) {
    static const std::array<std::string, 128> high = [] {
        std::array<std::string, 128> t;
        for (int b = 0; b < 128; ++b)
            t[static_cast<std::size_t>(b)] = store::cp1252ToUtf8(std::string(1, static_cast<char>(0x80 + b)));
        return t;
    }();
    std::string out;
    out.reserve(s.size() + s.size() / 8);
    std::size_t i = 0;
    while (i < s.size()) {
        std::size_t ascii = i;
        for (std::uint64_t word; ascii + 8 <= s.size(); ascii += 8) {
            std::memcpy(&word, s.data() + ascii, 8);
            if (word & 0x8080808080808080ULL)
                break;
        }
        while (ascii < s.size() && static_cast<unsigned char>(s[ascii]) < 0x80)
            ++ascii;
        out.append(s.substr(i, ascii - i));
        if (ascii < s.size())
            out += high[static_cast<unsigned char>(s[ascii]) - 0x80];
        i = ascii + 1;
    }
    return out;
}

bool hasPrefix(std::string_view s, std::string_view p) {
    return s.substr(0, p.size()) == p;
}

char lowerAscii(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

} // namespace

bool isValidUtf8(std::string_view s) {
    for (std::size_t i = 0; i < s.size();) {
        if (static_cast<unsigned char>(s[i]) < 0x80) {
            ++i;
            continue;
        }
        const std::size_t n = sequenceLength(s, i);
        if (n == 0)
            return false;
        i += n;
    }
    return true;
}

std::string decode(std::string_view bytes, Encoding encoding) {
    constexpr std::string_view Utf8Bom = "\xEF\xBB\xBF";
    constexpr std::string_view Utf16Le = "\xFF\xFE";
    constexpr std::string_view Utf16Be = "\xFE\xFF";
    switch (encoding) {
    case Encoding::Utf8:
        return fromUtf8(hasPrefix(bytes, Utf8Bom) ? bytes.substr(3) : bytes);
    case Encoding::Utf16:
        if (hasPrefix(bytes, Utf16Be))
            return fromUtf16(bytes.substr(2), true);
        return fromUtf16(hasPrefix(bytes, Utf16Le) ? bytes.substr(2) : bytes, false);
    case Encoding::Cp1252:
        return fromCp1252(bytes);
    case Encoding::Auto:
        break;
    }
    if (hasPrefix(bytes, Utf8Bom))
        return fromUtf8(bytes.substr(3));
    if (hasPrefix(bytes, Utf16Le) || hasPrefix(bytes, Utf16Be))
        return decode(bytes, Encoding::Utf16);
    if (isValidUtf8(bytes))
        return std::string(bytes);
    return fromCp1252(bytes);
}

namespace {

// Width of the blank at the start of `s`: ASCII blanks, U+00A0 (C2 A0), U+2009 and U+202F
// (E2 80 89, E2 80 AF).
std::size_t blankAtStart(std::string_view s) {
    if (s.empty())
        return 0;
    const char c = s[0];
    if (c == ' ' || c == '\t' || c == '\r' || c == '\n')
        return 1;
    if (c == '\xC2')
        return s.size() >= 2 && s[1] == '\xA0' ? 2 : 0;
    if (c == '\xE2')
        return s.size() >= 3 && s[1] == '\x80' && (s[2] == '\x89' || s[2] == '\xAF') ? 3 : 0;
    return 0;
}

std::size_t blankAtEnd(std::string_view s) {
    const std::size_t n = s.size();
    if (n == 0)
        return 0;
    const char c = s[n - 1];
    if (c == ' ' || c == '\t' || c == '\r' || c == '\n')
        return 1;
    if (c == '\xA0')
        return n >= 2 && s[n - 2] == '\xC2' ? 2 : 0;
    if (c == '\x89' || c == '\xAF')
        return n >= 3 && s[n - 2] == '\x80' && s[n - 3] == '\xE2' ? 3 : 0;
    return 0;
}

} // namespace

std::string_view trim(std::string_view s) {
    while (const std::size_t n = blankAtStart(s))
        s.remove_prefix(n);
    while (const std::size_t n = blankAtEnd(s))
        s.remove_suffix(n);
    return s;
}

std::string fold(std::string_view s) {
    s = trim(s);
    std::string out;
    out.reserve(s.size());
    for (std::size_t i = 0; i < s.size(); ++i) {
        // Å Ä Ö are C3 85, C3 84, C3 96; their small letters are 0x20 further.
        if (s[i] == '\xC3' && i + 1 < s.size() &&
            (s[i + 1] == '\x85' || s[i + 1] == '\x84' || s[i + 1] == '\x96')) {
            out.push_back(s[i]);
            out.push_back(static_cast<char>(s[i + 1] + 0x20));
            ++i;
            continue;
        }
        out.push_back(lowerAscii(s[i]));
    }
    return out;
}

std::string cleanText(std::string_view s) {
    s = trim(s);
    bool clean = true;
    for (std::size_t i = 0; i < s.size() && clean; ++i)
        clean = static_cast<unsigned char>(s[i]) >= 0x20 && (s[i] != ' ' || s[i + 1] != ' ');
    if (clean)
        return std::string(s);
    std::string out;
    out.reserve(s.size());
    bool blank = false;
    for (const char c : s) {
        if (static_cast<unsigned char>(c) < 0x20 || c == ' ') {
            blank = true;
            continue;
        }
        if (blank)
            out.push_back(' ');
        blank = false;
        out.push_back(c);
    }
    return out;
}

bool startsWithNoCase(std::string_view haystack, std::string_view prefix) {
    if (haystack.size() < prefix.size())
        return false;
    for (std::size_t i = 0; i < prefix.size(); ++i)
        if (lowerAscii(haystack[i]) != lowerAscii(prefix[i]))
            return false;
    return true;
}

std::size_t findNoCase(std::string_view haystack, std::string_view needle) {
    if (needle.empty())
        return 0;
    for (std::size_t i = 0; i + needle.size() <= haystack.size(); ++i)
        if (startsWithNoCase(haystack.substr(i), needle))
            return i;
    return std::string_view::npos;
}

} // namespace statements::text
