#include "backup/Drives.h"

#include <algorithm>
#include <fstream>

namespace fs = std::filesystem;

namespace backup {

namespace {

bool oneOf(std::string_view value, std::initializer_list<std::string_view> list) {
    return std::find(list.begin(), list.end(), value) != list.end();
}

bool startsWith(std::string_view text, std::string_view prefix) {
    return text.substr(0, prefix.size()) == prefix;
}

// True when path is the folder itself or lies below it.
bool within(const std::string& path, std::string_view folder) {
    return path == folder ||
           (startsWith(path, folder) && path.size() > folder.size() && path[folder.size()] == '/');
}

} // namespace

bool isOpticalFileSystem(std::string_view fs) {
    return oneOf(fs, {"iso9660", "udf"});
}

bool isPseudoFileSystem(std::string_view fs) {
    return oneOf(fs, {"proc",        "sysfs",   "devtmpfs",    "devpts",   "tmpfs",
                      "ramfs",       "cgroup",  "cgroup2",     "debugfs",  "tracefs",
                      "securityfs",  "pstore",  "bpf",         "mqueue",   "hugetlbfs",
                      "configfs",    "fusectl", "binfmt_misc", "autofs",   "efivarfs",
                      "rpc_pipefs",  "nsfs",    "selinuxfs",   "squashfs", "fuse.gvfsd-fuse",
                      "fuse.portal", "nfsd"}) ||
           fs.empty();
}

bool isNetworkFileSystem(std::string_view fs) {
    return oneOf(fs, {"nfs", "nfs4", "cifs", "smb", "smb3", "smbfs", "sshfs", "fuse.sshfs"});
}

std::optional<DriveKind> driveKind(const MountInfo& mount) {
    if (!mount.ready || isOpticalFileSystem(mount.fileSystem) || isPseudoFileSystem(mount.fileSystem))
        return std::nullopt;
    const std::string root = mount.root.lexically_normal().generic_string();
    if (root.empty() || root.front() != '/')
        return std::nullopt;
    const bool underRunMedia = within(root, "/run/media");
    for (std::string_view system : {"/proc", "/sys", "/dev", "/run"})
        if (within(root, system) && !underRunMedia)
            return std::nullopt;
    if (isNetworkFileSystem(mount.fileSystem))
        return DriveKind::Network;
    if (mount.removableDevice || within(root, "/media") || underRunMedia)
        return DriveKind::Removable;
    return DriveKind::HardDisk;
}

std::vector<Drive> usableDrives(const std::vector<MountInfo>& mounts) {
    std::vector<Drive> drives;
    for (const MountInfo& mount : mounts) {
        const auto kind = driveKind(mount);
        if (!kind)
            continue;
        const fs::path root = mount.root.lexically_normal();
        const bool seen =
            std::any_of(drives.begin(), drives.end(), [&](const Drive& d) { return d.root == root; });
        if (!seen)
            drives.push_back({root, *kind});
    }
    return drives;
}

bool deviceIsRemovable(std::string_view device, const fs::path& sysRoot) {
    if (!startsWith(device, "/dev/"))
        return false;
    std::error_code ec;
    fs::path dev(device);
    const fs::path real = fs::canonical(dev, ec);
    if (!ec)
        dev = real;
    const std::string name = dev.filename().string();
    if (name.empty())
        return false;
    fs::path node = fs::canonical(sysRoot / "class" / "block" / name, ec);
    if (ec)
        return false;
    // A partition's own folder sits inside its disk's folder, which carries the flag.
    if (fs::exists(node / "partition", ec))
        node = node.parent_path();
    std::ifstream in(node / "removable");
    char flag = 0;
    return in.get(flag) && flag == '1';
}

std::string driveText(const fs::path& root) {
    std::string text = root.lexically_normal().generic_string();
    if (text.empty() || text.back() != '/')
        text += '/';
    return text;
}

} // namespace backup
