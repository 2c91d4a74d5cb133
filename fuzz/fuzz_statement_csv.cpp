// Random bytes as a delimited bank file: recognised and read by every bank's layout, then mapped
// as the mapping page does, both by a mapping the first input bytes describe and by the one
// guessed from the file, with its preview. Only UnreadableStatement may come out.

#include "FuzzStatements.h"

#include <cstddef>
#include <cstdint>
#include <string>

namespace {

// A user's mapping from the first 14 bytes: any column, separator, encoding and date form.
statements::Mapping mappingOf(std::string_view head) {
    const auto at = [&](std::size_t i) { return i < head.size() ? static_cast<unsigned char>(head[i]) : 0; };
    statements::Mapping m;
    m.name = "Egen";
    m.encoding = static_cast<statements::Encoding>(at(0) % 4);
    const char separators[] = {';', ',', '\t', static_cast<char>(at(1))};
    m.separator = separators[at(1) % 4];
    m.skipLines = at(2) % 6;
    m.headerLine = (at(3) & 1) != 0;
    m.bookingDateColumn = at(4) % 6;
    m.transactionDateColumn = at(5) % 6;
    m.textColumn = at(6) % 6;
    m.amountColumn = at(7) % 6;
    m.debitColumn = (at(3) & 2) != 0 ? at(8) % 6 : 0;
    m.creditColumn = (at(3) & 2) != 0 ? at(9) % 6 : 0;
    m.signColumn = at(10) % 6;
    m.balanceColumn = at(11) % 6;
    m.dateFormat = static_cast<statements::DateFormat>(at(12) % 7);
    m.decimalComma = (at(13) & 1) != 0;
    m.newestFirst = (at(13) & 2) != 0;
    return m;
}

void readMapped(std::string_view file, statements::Mapping m) {
    const auto preview = statements::previewCells(file, m, 20);
    FUZZ_REQUIRE(preview.size() <= 20);
    m.signature = statements::headerSignature(file, m);
    FUZZ_REQUIRE(m.signature.empty() || m.signature.size() == 16);
    try {
        fuzz::checkStatement(statements::readWithMapping(file, m));
    } catch (const statements::UnreadableStatement&) {
    }
    fuzz::readAll(file, {m});
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    const std::string_view head = input.substr(0, 14);
    const std::string_view file = input.substr(head.size());
    fuzz::readAll(file, {});
    readMapped(file, mappingOf(head));
    readMapped(file, statements::guessMapping(file));
    return 0;
}
