#include "store/Records.h"

#include "store/Errors.h"

#include <charconv>

namespace store {

std::string_view trimField(std::string_view raw) {
    const auto blank = [](char c) { return c == ' ' || c == '\0'; };
    while (!raw.empty() && blank(raw.front()))
        raw.remove_prefix(1);
    while (!raw.empty() && blank(raw.back()))
        raw.remove_suffix(1);
    return raw;
}

int parseRecordNumber(std::string_view trimmed) {
    if (trimmed.empty())
        return 0;
    std::string_view digits = trimmed;
    if (digits.front() == '-')
        digits.remove_prefix(1);
    int n = 0;
    const auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), n);
    if (digits.empty() || digits.front() == '-' || ec != std::errc() || end != digits.data() + digits.size())
        throw DataError("Ogiltigt postnummer: '" + std::string(trimmed) + "'");
    return n;
}

std::string recordNumberText(int n, std::size_t width) {
    if (n < 0)
        throw DataError("Ogiltigt postnummer: " + std::to_string(n));
    std::string text = n > 0 ? std::to_string(n) : std::string();
    if (text.size() > width)
        throw DataError("Postnumret " + text + " ryms inte i sitt fält");
    return text;
}

void checkAmountFits(Amount a, std::size_t width) {
    if (a.amountText().size() > width)
        throw DataError("Beloppet " + a.amountText() + " ryms inte i sitt fält");
}

std::string KontoRec::name() const {
    std::string n = text(KontoNamn);
    if (!n.empty() && static_cast<unsigned char>(n.back()) < 33)
        n.pop_back();
    return std::string(trimField(n));
}

bool KontoRec::infoDismissed() const {
    const std::string n = text(KontoNamn);
    return !n.empty() && n.back() == InfoFlagByte;
}

void KontoRec::setName(std::string_view cp1252Name, bool dismissed) {
    std::string value(cp1252Name);
    if (dismissed)
        value.push_back(InfoFlagByte);
    set(KontoNamn, value);
}

std::optional<std::pair<int, int>> PosRec::position(int pair) const {
    const std::string_view left = raw(fieldOf(pair, false));
    if (left.empty() || left[0] < '0' || left[0] > '9')
        return std::nullopt;
    const auto number = [](std::string_view field) {
        field = trimField(field);
        int v = 0;
        std::from_chars(field.data(), field.data() + field.size(), v);
        return v;
    };
    return std::pair{number(left), number(raw(fieldOf(pair, true)))};
}

void PosRec::setPosition(int pair, int left, int top) {
    set(fieldOf(pair, false), std::to_string(left));
    set(fieldOf(pair, true), std::to_string(top));
}

} // namespace store
