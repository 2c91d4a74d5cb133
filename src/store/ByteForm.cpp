#include "store/ByteForm.h"

namespace store {

void putNumber(std::string& out, std::uint64_t n) {
    for (int i = 0; i < 8; ++i)
        out.push_back(static_cast<char>((n >> (8 * i)) & 0xFF));
}

void putText(std::string& out, std::string_view text) {
    putNumber(out, text.size());
    out.append(text);
}

std::string_view ByteReader::take(std::size_t n) {
    if (n > data_.size())
        damaged_();
    const std::string_view part = data_.substr(0, n);
    data_.remove_prefix(n);
    return part;
}

std::uint64_t ByteReader::number() {
    const std::string_view b = take(8);
    std::uint64_t n = 0;
    for (int i = 7; i >= 0; --i)
        n = (n << 8) | static_cast<unsigned char>(b[static_cast<std::size_t>(i)]);
    return n;
}

std::string_view ByteReader::text() {
    const std::uint64_t n = number();
    if (n > data_.size())
        damaged_();
    return take(static_cast<std::size_t>(n));
}

} // namespace store
