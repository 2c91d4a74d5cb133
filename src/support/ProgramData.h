#pragma once

#include <filesystem>

namespace support {

// The name of the share folder under the install prefix ("PREFIX/share/moniva").
inline constexpr const char* ProgramShareName = "moniva";

// Where the program's own read-only files lie, found from the folder of the executable so that
// an installed program can be moved with its prefix: "<bin>/../share/moniva" when installed, the
// executable's own folder when run from the build folder (the build puts the files beside it).
// The installed place wins when both hold the files; empty when neither does.
std::filesystem::path programDataFolder(const std::filesystem::path& executableDir);

} // namespace support
