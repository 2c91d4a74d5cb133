#pragma once

// A folder for one benchmark run's files, made on first use and removed at exit.

#include <filesystem>
#include <random>
#include <string>

namespace benchdata {

class ScratchFolder {
public:
    ScratchFolder(const std::filesystem::path& base, const std::string& name) {
        std::random_device rd;
        path_ = base / (name + "-" + std::to_string(rd()));
        std::filesystem::create_directories(path_);
    }
    ~ScratchFolder() {
        std::error_code ec;
        std::filesystem::remove_all(path_, ec);
    }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;
    const std::filesystem::path& path() const { return path_; }

private:
    std::filesystem::path path_;
};

} // namespace benchdata
