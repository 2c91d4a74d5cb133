#include "store/Paths.h"

#include "store/Cp1252.h"
#include "store/Errors.h"

namespace store {

std::filesystem::path DataPaths::accountFolder(std::string_view cp1252Name) const {
    const std::string name = cp1252ToUtf8(cp1252Name);
    if (!isSafeFolderName(name))
        throw DataError("Kontonamnet '" + name + "' kan inte vara ett mappnamn");
    return dataRoot() / std::filesystem::path(name);
}

std::string DataPaths::placering() const {
    std::string drive = drive_.string();
    // A drive folder given with a final slash ("/media/stick/") must not give "//MoniData/".
    while (drive.size() > 1 && drive.back() == '/')
        drive.pop_back();
    if (drive.empty())
        return "MoniData/";
    if (drive.back() == '/')
        return drive + "MoniData/";
    return drive + "/MoniData/";
}

std::filesystem::path resolvedPath(const std::filesystem::path& path) {
    std::error_code ec;
    const std::filesystem::path absolute = std::filesystem::absolute(path, ec);
    std::filesystem::path real = ec ? absolute : std::filesystem::weakly_canonical(absolute, ec);
    if (ec)
        throw FileError(ec, path.string());
    return real;
}

bool isWithin(const std::filesystem::path& path, const std::filesystem::path& folder) {
    auto p = path.begin();
    for (auto f = folder.begin(); f != folder.end(); ++f, ++p) {
        if (f->empty() && std::next(f) == folder.end())
            break; // a final "/" of the folder
        if (p == path.end() || *p != *f)
            return false;
    }
    return true;
}

bool isSafeFolderName(std::string_view utf8Name) {
    if (utf8Name.empty() || utf8Name == "." || utf8Name == "..")
        return false;
    for (std::size_t i = 0; i < utf8Name.size(); ++i) {
        const auto c = static_cast<unsigned char>(utf8Name[i]);
        if (c < 0x20 || c == 0x7F || c == '/' || c == '\\')
            return false;
        // U+0080..U+009F, the control characters that the undefined Windows-1252 bytes become.
        if (c == 0xC2 && i + 1 < utf8Name.size()) {
            const auto next = static_cast<unsigned char>(utf8Name[i + 1]);
            if (next >= 0x80 && next <= 0x9F)
                return false;
        }
    }
    return true;
}

} // namespace store
