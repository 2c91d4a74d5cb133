#pragma once

#include <string_view>

namespace support {

// The program's version, from the build's project version: shown by --version, in the update
// message and in every error report.
inline constexpr std::string_view ProgramVersion = MONIVA_VERSION;

} // namespace support
