#pragma once

#include <stdexcept>
#include <string>
#include <system_error>

namespace store {

// A file could not be read or written. what() is the system's own description of the failure
// ("Permission denied", "No such file or directory"), which the error report passes on unchanged;
// code() is the system's error number behind it, so a refused access is recognised whatever the
// wording. A failure raised from a text alone has no code (a default error_code).
class FileError : public std::runtime_error {
public:
    FileError(std::string systemText, std::string path, std::error_code code = {})
        : std::runtime_error(std::move(systemText)), path_(std::move(path)), code_(code) {}
    FileError(std::error_code code, std::string path) : FileError(code.message(), std::move(path), code) {}
    const std::string& path() const { return path_; }
    const std::error_code& code() const { return code_; }

private:
    std::string path_;
    std::error_code code_;
};

// A field of a data file did not decode: an amount that is no number, a record number with letters.
class DataError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// A folder the program keeps beside the data (the journal of a group commit) is a link, no folder or
// not the user's own: the drive folder may be a stick someone else prepared, so it is not used and
// nothing in it is touched. what() says so in words for the user.
class UnsafeFolder : public DataError {
public:
    using DataError::DataError;
};

} // namespace store
