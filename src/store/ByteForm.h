#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace store {

// The binary form of the small manifests kept beside the data (the group-commit journal, the
// undo history): a number is 8 bytes, least significant first; a text is its length and its
// bytes, so a name may hold any byte but NUL, line ends included.
void putNumber(std::string& out, std::uint64_t n);
void putText(std::string& out, std::string_view text);

// Reads that form. Whatever runs past the end calls `damaged`, which throws the owner's error.
class ByteReader {
public:
    using Damaged = void (*)();
    ByteReader(std::string_view data, Damaged damaged) : data_(data), damaged_(damaged) {}

    std::string_view take(std::size_t n);
    std::uint64_t number();
    std::string_view text();
    bool atEnd() const { return data_.empty(); }

private:
    std::string_view data_;
    Damaged damaged_;
};

} // namespace store
