#pragma once

#include "statements/Reader.h"

#include <string_view>

namespace statements {

// True for OFX (and QFX) text: the OFX header of version 1 or an <OFX> element near the start.
bool looksLikeOfx(std::string_view utf8);

// Every STMTTRN of every bank or card statement in the file, oldest first, its FITID kept as the
// row's identity. Version 2 files are read as XML by libxml2 (no network, no DTD, no entities
// expanded); version 1 files, and a version 2 file that is not well-formed XML, by a small reader
// of the SGML tags. Throws UnreadableStatement when there is no OFX element at all.
Statement readOfx(std::string_view utf8, const ReadOptions& options);

} // namespace statements
