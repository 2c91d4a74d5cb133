#include "accounts/Register.h"

#include "store/Cp1252.h"
#include "store/Errors.h"
#include "store/RecordFile.h"
#include "store/Records.h"
#include "store/TextFile.h"

#include <charconv>
#include <limits>

namespace accounts {

namespace {

std::string_view trimSpaces(std::string_view s) {
    const auto blank = [](char c) { return c == ' ' || c == '\t'; };
    while (!s.empty() && blank(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && blank(s.back()))
        s.remove_suffix(1);
    return s;
}

store::KontoRec recordAt(const store::RecordFile& file, std::size_t n) {
    return store::KontoRec(file.readRaw(n));
}

// A slot holding nothing but the flag byte names no folder either: it counts as free.
bool isFreeSlot(const store::KontoRec& rec) {
    return rec.isFree() || rec.name().empty();
}

} // namespace

std::string centredListText(std::string_view utf8Name) {
    const std::size_t length = store::utf8Length(utf8Name);
    std::size_t spaces = 0;
    if (length < 30) {
        const std::size_t room = 30 - length;
        spaces = room / 2;
        if (room % 2 == 1 && spaces % 2 == 1)
            ++spaces; // an exact half goes to the even neighbour
    }
    return std::string(spaces, ' ') + std::string(utf8Name);
}

std::vector<RegisterEntry> listAccounts(const store::RecordFile& kontoFil) {
    std::vector<RegisterEntry> entries;
    const std::size_t count = kontoFil.count();
    for (std::size_t n = 1; n <= count; ++n) {
        const store::KontoRec rec = recordAt(kontoFil, n);
        if (isFreeSlot(rec))
            continue;
        std::string name = store::cp1252ToUtf8(rec.name());
        std::string listText = centredListText(name);
        entries.push_back({static_cast<int>(n), std::move(name), std::move(listText)});
    }
    return entries;
}

int findFreeSlot(const store::RecordFile& kontoFil) {
    const std::size_t count = kontoFil.count();
    for (std::size_t n = 1; n <= count; ++n)
        if (isFreeSlot(recordAt(kontoFil, n)))
            return static_cast<int>(n);
    return static_cast<int>(count + 1);
}

std::optional<StartupFile> readKontoIni(const std::filesystem::path& path) {
    const std::vector<std::string> lines = store::readTextLines(path);
    if (lines.size() < 2)
        return std::nullopt;
    const std::string_view number = trimSpaces(lines[0]);
    const std::string_view user = trimSpaces(lines[1]);
    if (number.empty() || user.empty())
        return std::nullopt;
    int kontoNum = 0;
    const auto [end, ec] = std::from_chars(number.data(), number.data() + number.size(), kontoNum);
    // KontoNum is a 16-bit number; anything else is no record of the register.
    if (ec != std::errc() || end != number.data() + number.size() || kontoNum < 0 ||
        kontoNum > std::numeric_limits<std::int16_t>::max())
        return std::nullopt;
    return StartupFile{kontoNum, store::cp1252ToUtf8(user)};
}

std::string kontoIniContent(const StartupFile& ini) {
    const std::optional<std::string> user = store::utf8ToCp1252(ini.userName);
    if (!user)
        throw store::DataError("Användarnamnet innehåller tecken som inte kan sparas");
    return std::to_string(ini.kontoNum) + "\r\n" + *user + "\r\n";
}

void writeKontoIni(const std::filesystem::path& path, const StartupFile& ini) {
    store::replaceFileAtomically(path, kontoIniContent(ini));
}

} // namespace accounts
