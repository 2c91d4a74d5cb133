// Random bytes as a bank's ".xls" that is an HTML page: read as it is, and below a table header
// of the bank's layout, so the rows themselves are reached. Only UnreadableStatement may come out.

#include "FuzzStatements.h"

#include <cstddef>
#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    fuzz::readAll(input, {});
    const std::string page =
        "<html><body><table><tr><td>Reskontradatum<td>Transaktionsdatum<td>Text<td>Belopp<td>Saldo" +
        std::string(input);
    fuzz::readAll(page, {});
    return 0;
}
