#pragma once

#include "statements/Reader.h"

#include <string_view>

namespace statements {

bool looksLikeQif(std::string_view utf8);

// True when the file's dates read both as day/month and as month/day and none of them can only be
// read one way: the user is asked.
bool qifDateOrderAmbiguous(std::string_view utf8);

// Every transaction of the file's account lists (category and other lists are passed over), oldest
// first. The date order comes from the dates that can only be read one way; when none can, from
// `options`, and when that leaves it open too, UnreadableStatement says so.
Statement readQif(std::string_view utf8, const ReadOptions& options);

} // namespace statements
