#include "backup/Drives.h"

#include "fixtures/TempDrive.h"

#include <gtest/gtest.h>

#include <optional>

namespace {

using backup::DriveKind;
using backup::MountInfo;
namespace fs = std::filesystem;

MountInfo mount(const char* root, const char* fileSystem, bool removable = false, bool ready = true) {
    return {root, fileSystem, "/dev/sdz1", ready, removable};
}

TEST(Drives, ClassifiesMountsByFileSystemPlaceAndDevice) {
    struct Row {
        MountInfo mount;
        std::optional<DriveKind> kind;
    };
    const Row rows[] = {
        {mount("/", "ext4"), DriveKind::HardDisk},
        {mount("/home", "btrfs"), DriveKind::HardDisk},
        {mount("/mnt/data", "xfs"), DriveKind::HardDisk},
        {mount("/", "overlay"), DriveKind::HardDisk},
        // A stick: by its device flag, or by where the desktop mounts it.
        {mount("/mnt/stick", "vfat", true), DriveKind::Removable},
        {mount("/media/anna/USB", "exfat"), DriveKind::Removable},
        {mount("/run/media/anna/USB", "vfat"), DriveKind::Removable},
        {mount("/media", "ext4"), DriveKind::Removable},
        // Network before removable: a share mounted under /media is still across the network.
        {mount("/mnt/nas", "nfs4"), DriveKind::Network},
        {mount("/media/share", "cifs"), DriveKind::Network},
        {mount("/home/anna/remote", "fuse.sshfs"), DriveKind::Network},
        {mount("/mnt/smb", "smb3"), DriveKind::Network},
        // Never a drive: optical, not ready, pseudo and system folders.
        {mount("/media/anna/DVD", "iso9660", true), std::nullopt},
        {mount("/media/anna/BD", "udf", true), std::nullopt},
        {mount("/media/anna/EMPTY", "vfat", true, false), std::nullopt},
        {mount("/proc", "proc"), std::nullopt},
        {mount("/sys", "sysfs"), std::nullopt},
        {mount("/dev/shm", "tmpfs"), std::nullopt},
        {mount("/tmp", "tmpfs"), std::nullopt},
        {mount("/snap/core/1", "squashfs"), std::nullopt},
        {mount("/sys/fs/cgroup", "cgroup2"), std::nullopt},
        {mount("/run/user/1000/doc", "fuse.portal"), std::nullopt},
        {mount("/run/lock", "ext4"), std::nullopt},
        {mount("/devices", "ext4"), DriveKind::HardDisk}, // only /dev itself is the system's
        {mount("/mnt/x", ""), std::nullopt},
        {mount("relative", "ext4"), std::nullopt},
    };
    for (const Row& row : rows)
        EXPECT_EQ(backup::driveKind(row.mount), row.kind)
            << row.mount.root << " " << row.mount.fileSystem << " removable=" << row.mount.removableDevice
            << " ready=" << row.mount.ready;
}

TEST(Drives, UsableDrivesKeepOrderAndListARootOnce) {
    const auto drives = backup::usableDrives({mount("/", "ext4"), mount("/proc", "proc"),
                                              mount("/media/anna/USB/", "vfat"), mount("/", "ext4"),
                                              mount("/media/anna/CD", "iso9660"), mount("/mnt/nas", "nfs")});
    ASSERT_EQ(drives.size(), 3u);
    EXPECT_EQ(drives[0].root, fs::path("/"));
    EXPECT_EQ(drives[0].kind, DriveKind::HardDisk);
    EXPECT_EQ(drives[1].root, fs::path("/media/anna/USB/"));
    EXPECT_EQ(drives[1].kind, DriveKind::Removable);
    EXPECT_EQ(drives[2].kind, DriveKind::Network);

    EXPECT_EQ(backup::driveText("/"), "/");
    EXPECT_EQ(backup::driveText("/media/anna/USB"), "/media/anna/USB/");
    EXPECT_EQ(backup::driveText("/media/anna/USB/"), "/media/anna/USB/");
}

// The removable flag sits on the disk; a partition's folder lies inside its disk's folder, and
// /sys/class/block links to both.
TEST(Drives, RemovableFlagIsReadFromTheDiskOfAPartition) {
    TempDrive sys;
    sys.writeFile("devices/usb/block/sdz/removable", "1\n");
    sys.writeFile("devices/usb/block/sdz/sdz1/partition", "1\n");
    sys.writeFile("devices/ata/block/sdy/removable", "0\n");
    sys.writeFile("devices/ata/block/sdy/sdy2/partition", "2\n");
    fs::create_directories(sys / "class/block");
    fs::create_directory_symlink("../../devices/usb/block/sdz", sys / "class/block/sdz");
    fs::create_directory_symlink("../../devices/usb/block/sdz/sdz1", sys / "class/block/sdz1");
    fs::create_directory_symlink("../../devices/ata/block/sdy/sdy2", sys / "class/block/sdy2");

    EXPECT_TRUE(backup::deviceIsRemovable("/dev/sdz1", sys.path()));
    EXPECT_TRUE(backup::deviceIsRemovable("/dev/sdz", sys.path()));
    EXPECT_FALSE(backup::deviceIsRemovable("/dev/sdy2", sys.path()));
    EXPECT_FALSE(backup::deviceIsRemovable("/dev/sdx9", sys.path())); // unknown device
    EXPECT_FALSE(backup::deviceIsRemovable("server:/export", sys.path()));
    EXPECT_FALSE(backup::deviceIsRemovable("tmpfs", sys.path()));
    EXPECT_FALSE(backup::deviceIsRemovable("", sys.path()));
}

} // namespace
