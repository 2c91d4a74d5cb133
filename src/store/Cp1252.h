#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace store {

// Text in the data files is Windows-1252, one byte per character; everything a person sees or
// types is UTF-8. These two functions are the only crossing between the two.

// Every byte has a meaning; the five bytes Windows-1252 leaves undefined (0x81, 0x8D, 0x8F, 0x90,
// 0x9D) are shown as the control characters of the same number, so nothing read is ever lost.
std::string cp1252ToUtf8(std::string_view bytes);

// Empty optional when the text holds a character Windows-1252 cannot store (an emoji, a Greek
// letter) or is not valid UTF-8. Text is refused, never replaced by a look-alike.
std::optional<std::string> utf8ToCp1252(std::string_view utf8);

// What Windows-1252 holds of a UTF-8 text, at most `width` bytes: each character it cannot hold
// (or a malformed byte) becomes `standIn`, or is left out where standIn is '\0'. For fields that
// keep what they can of a text from outside (a folder's name, a bank's text).
std::string cp1252Within(std::string_view utf8, std::size_t width, char standIn);

// The code point written to `out` as UTF-8 (one to four bytes).
void appendUtf8(std::string& out, char32_t cp);

// Number of characters of a UTF-8 text (code points), for length rules stated in characters.
std::size_t utf8Length(std::string_view utf8);

} // namespace store
