// Random bytes as a QIF file, as it is and after a bank list's type line; the date order is read
// both from the dates and as given. Only UnreadableStatement may come out.

#include "FuzzStatements.h"

#include <cstddef>
#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    fuzz::readAll(input, {});
    fuzz::readAll("!Type:Bank\n" + std::string(input), {});
    return 0;
}
