#pragma once

// Shared by the harnesses that put their input into files: a scratch folder, writing and reading
// whole files, an input cut into files, and the errors a damaged file may end in.

#include "FuzzCheck.h"

#include "store/Errors.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <string_view>
#include <unistd.h>

namespace fuzz {

namespace fs = std::filesystem;

inline void writeFile(const fs::path& path, std::string_view bytes) {
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f || std::fwrite(bytes.data(), 1, bytes.size(), f) != bytes.size() || std::fclose(f) != 0) {
        std::perror(path.c_str());
        std::abort();
    }
}

// The whole file; "<none>" when it cannot be read (a missing file compares unequal to any bytes).
inline std::string readFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return "<none>";
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// A folder made once per process (in memory where the system offers it, so thousands of runs a
// second cost no disk) and removed at exit.
class Workspace {
public:
    explicit Workspace(const char* prefix) {
        const fs::path base =
            ::access("/dev/shm", W_OK) == 0 ? fs::path("/dev/shm") : fs::temp_directory_path();
        std::string pattern = (base / (std::string(prefix) + "-XXXXXX")).string();
        if (!::mkdtemp(pattern.data())) {
            std::perror("mkdtemp");
            std::abort();
        }
        dir_ = pattern;
    }
    ~Workspace() {
        std::error_code ec;
        fs::remove_all(dir_, ec);
    }
    Workspace(const Workspace&) = delete;
    Workspace& operator=(const Workspace&) = delete;
    const fs::path& path() const { return dir_; }
    fs::path operator/(const char* name) const { return dir_ / name; }

private:
    fs::path dir_;
};

// Runs a step over damaged files: a clear error of the data or the file is an accepted end,
// anything else escapes and is reported as a fault.
template <typename Step> void allowingDataErrors(Step step) {
    try {
        step();
    } catch (const store::DataError&) {
    } catch (const store::FileError&) {
    }
}

constexpr std::string_view Separator = "\n##\n";

// Part n of an input cut at lines "##" (empty when the input has fewer parts).
inline std::string_view part(std::string_view input, int n) {
    for (int i = 0; i < n; ++i) {
        const std::size_t at = input.find(Separator);
        if (at == std::string_view::npos)
            return {};
        input.remove_prefix(at + Separator.size());
    }
    return input.substr(0, input.find(Separator));
}

inline int partCount(std::string_view input) {
    int count = 1;
    for (std::size_t at = input.find(Separator); at != std::string_view::npos;
         at = input.find(Separator, at + Separator.size()))
        ++count;
    return count;
}

} // namespace fuzz
