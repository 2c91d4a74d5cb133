#include "store/DriveFolder.h"

#include <fstream>
#include <sstream>

namespace store {

namespace fs = std::filesystem;

namespace {
// True when `inner` is `outer` or lies below it (both absolute and normal).
bool isInside(const fs::path& inner, const fs::path& outer) {
    auto o = outer.begin();
    auto i = inner.begin();
    for (; o != outer.end(); ++o, ++i) {
        if (o->empty())
            continue; // a trailing separator
        if (i == inner.end() || *i != *o)
            return false;
    }
    return true;
}
} // namespace

fs::path chooseDriveFolder(const std::optional<fs::path>& given, const fs::path& startupDir,
                           const fs::path& home, const std::vector<fs::path>& mountPoints) {
    if (given)
        return fs::absolute(*given).lexically_normal();
    const fs::path start = fs::absolute(startupDir).lexically_normal();
    if (!home.empty() && isInside(start, fs::absolute(home).lexically_normal()))
        return fs::absolute(home).lexically_normal();
    fs::path best = "/";
    for (const fs::path& mount : mountPoints) {
        const fs::path m = mount.lexically_normal();
        if (isInside(start, m) && std::distance(m.begin(), m.end()) > std::distance(best.begin(), best.end()))
            best = m;
    }
    return best;
}

std::string decodeMountPath(const std::string& field) {
    std::string out;
    for (std::size_t i = 0; i < field.size(); ++i) {
        if (field[i] == '\\' && i + 3 < field.size()) {
            const std::string oct = field.substr(i + 1, 3);
            if (oct.size() == 3 && oct.find_first_not_of("01234567") == std::string::npos) {
                out.push_back(static_cast<char>(std::stoi(oct, nullptr, 8)));
                i += 3;
                continue;
            }
        }
        out.push_back(field[i]);
    }
    return out;
}

std::vector<fs::path> systemMountPoints() {
    std::vector<fs::path> mounts{"/"};
    std::ifstream in("/proc/self/mounts");
    std::string line;
    while (std::getline(in, line)) {
        std::istringstream fields(line);
        std::string device, mountPoint;
        if (fields >> device >> mountPoint)
            mounts.emplace_back(decodeMountPath(mountPoint));
    }
    return mounts;
}

} // namespace store
