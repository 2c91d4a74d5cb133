// Random bytes as an OFX file: read as it is, after a version 1 header and after a version 2 XML
// declaration, so both readers see the same tags. Only UnreadableStatement may come out; no
// entity or DTD is ever fetched.

#include "FuzzStatements.h"

#include <cstddef>
#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    fuzz::readAll(input, {});
    fuzz::readAll("OFXHEADER:100\nDATA:OFXSGML\n\n<OFX>" + std::string(input), {});
    fuzz::readAll("<?xml version=\"1.0\"?>\n<?OFX OFXHEADER=\"200\"?>\n<OFX>" + std::string(input), {});
    return 0;
}
