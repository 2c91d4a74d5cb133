#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace backup {

// What kind of drive a backup goes to. The numbers are the drive-type codes the drive list keeps
// as item data and the drive descriptions are chosen by.
enum class DriveKind { Removable = 2, HardDisk = 3, Network = 4 };

// One mounted file system as the desktop reports it.
struct MountInfo {
    std::filesystem::path root;   // the mount point
    std::string fileSystem;       // "ext4", "vfat", "nfs4", "fuse.sshfs", ...
    std::string device;           // "/dev/sdb1"; may be empty or a non-device ("server:/export")
    bool ready = true;            // mounted, readable and a folder
    bool removableDevice = false; // the disk under the device says removable in /sys/block
};

// A drive the backup window offers: its root folder and its kind.
struct Drive {
    std::filesystem::path root;
    DriveKind kind;
};

// CD and DVD file systems: never a backup target.
bool isOpticalFileSystem(std::string_view fileSystem);
// Kernel and memory file systems (proc, sysfs, tmpfs, squashfs images, ...): no place for a backup.
bool isPseudoFileSystem(std::string_view fileSystem);
// File systems reached over the network (nfs, cifs, smb, sshfs).
bool isNetworkFileSystem(std::string_view fileSystem);

// The kind of a mount, or nothing when it is no usable drive: not ready, optical, pseudo, or a
// system folder (/proc, /sys, /dev, /run other than /run/media). Network comes first; then a
// removable device or a mount under /media or /run/media is removable; the rest are hard disks.
std::optional<DriveKind> driveKind(const MountInfo& mount);

// The usable drives in the order given; a root mounted twice is listed once.
std::vector<Drive> usableDrives(const std::vector<MountInfo>& mounts);

// True when the disk holding the device ("/dev/sdb1", a link under /dev resolved first) has
// "1" in its removable file: <sysRoot>/class/block/<name>, or its parent disk for a partition.
// False for anything that is no block device or cannot be read.
bool deviceIsRemovable(std::string_view device, const std::filesystem::path& sysRoot = "/sys");

// The drive as the window names it: its root with a final "/" ("/media/anna/USB/", "/"). A
// backup folder's path is this text + the folder name.
std::string driveText(const std::filesystem::path& root);

} // namespace backup
