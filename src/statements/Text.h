#pragma once

#include "statements/Reader.h"

#include <string>
#include <string_view>

// Text helpers shared by the readers: every reader turns the file's bytes into UTF-8 first.
namespace statements::text {

// The file's bytes as UTF-8 under the given encoding; Auto looks for a byte order mark, then takes
// valid UTF-8 as UTF-8 and anything else as Windows-1252. Invalid UTF-8 or UTF-16 never throws:
// each broken unit becomes U+FFFD, so a row with a bad byte still shows.
std::string decode(std::string_view bytes, Encoding encoding);

bool isValidUtf8(std::string_view bytes);

// Spaces, tabs and the no-break and thin spaces of a spreadsheet at both ends removed.
std::string_view trim(std::string_view s);

// Trimmed, ASCII letters lower-cased and the Swedish letters Å, Ä, Ö with them: header names are
// compared this way.
std::string fold(std::string_view s);

// A cell as a row's text: trimmed, control characters and runs of white space made one space.
std::string cleanText(std::string_view s);

// True when `haystack` begins with `prefix`, ignoring the case of ASCII letters.
bool startsWithNoCase(std::string_view haystack, std::string_view prefix);
// Position of `needle` in `haystack` ignoring the case of ASCII letters, or npos.
std::size_t findNoCase(std::string_view haystack, std::string_view needle);

} // namespace statements::text
