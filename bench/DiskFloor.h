#pragma once

// The floor every durable save is measured against: the bytes written to a file in one go and
// synced.

#include <filesystem>
#include <stdexcept>
#include <string>

#include <fcntl.h>
#include <unistd.h>

namespace benchdata {

inline void writeAndSync(const std::filesystem::path& path, const std::string& bytes) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (fd < 0)
        throw std::runtime_error("open " + path.string());
    const bool ok =
        ::write(fd, bytes.data(), bytes.size()) == static_cast<ssize_t>(bytes.size()) && ::fsync(fd) == 0;
    ::close(fd);
    if (!ok)
        throw std::runtime_error("write " + path.string());
}

} // namespace benchdata
