#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace store {

// The folder that plays the drive's root, in which MoniData lives: the folder given on the
// command line when there is one; else the home folder when the program starts inside it; else
// the mount point that holds the start-up folder (a program started from a USB stick keeps its
// data on the stick).
std::filesystem::path chooseDriveFolder(const std::optional<std::filesystem::path>& given,
                                        const std::filesystem::path& startupDir,
                                        const std::filesystem::path& home,
                                        const std::vector<std::filesystem::path>& mountPoints);

// The mount points of this system, from /proc/self/mounts ("/" at least).
std::vector<std::filesystem::path> systemMountPoints();

// Decodes the octal escapes (\040 for a space) the kernel writes in mount paths.
std::string decodeMountPath(const std::string& field);

} // namespace store
