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

// Number of characters of a UTF-8 text (code points), for length rules stated in characters.
std::size_t utf8Length(std::string_view utf8);

} // namespace store
