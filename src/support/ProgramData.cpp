#include "support/ProgramData.h"

#include <system_error>

namespace support {

namespace {

// The guiding texts of the planning window are the one file every data folder holds.
bool holdsProgramData(const std::filesystem::path& dir) {
    std::error_code ec;
    return std::filesystem::is_regular_file(dir / "BudgInfoFil.txt", ec);
}

} // namespace

std::filesystem::path programDataFolder(const std::filesystem::path& executableDir) {
    const std::filesystem::path installed = executableDir.parent_path() / "share" / ProgramShareName;
    if (holdsProgramData(installed))
        return installed.lexically_normal();
    if (holdsProgramData(executableDir))
        return executableDir;
    return {};
}

} // namespace support
