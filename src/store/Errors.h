#pragma once

#include <stdexcept>
#include <string>

namespace store {

// A file could not be read or written. what() is the system's own description of the failure
// ("Permission denied", "No such file or directory"), which the error report passes on unchanged.
class FileError : public std::runtime_error {
public:
    FileError(std::string systemText, std::string path)
        : std::runtime_error(std::move(systemText)), path_(std::move(path)) {}
    const std::string& path() const { return path_; }

private:
    std::string path_;
};

// A field of a data file did not decode: an amount that is no number, a record number with letters.
class DataError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

} // namespace store
