#include "support/ErrorReport.h"

#include "support/Version.h"

#include "store/Cp1252.h"
#include "store/TextFile.h"

#include <cerrno>

namespace support {

namespace {

std::string digitsOnly(std::string_view text) {
    std::string out;
    for (char c : text)
        if (c >= '0' && c <= '9')
            out.push_back(c);
    return out;
}

bool isBlank(std::string_view text) {
    return text.find_first_not_of(" \t\r\n") == std::string_view::npos;
}

// The lines of a typed text, whichever line break it uses (CR LF, LF or CR alone).
std::vector<std::string> textLines(std::string_view text) {
    std::vector<std::string> lines;
    std::string current;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\r' || c == '\n') {
            lines.push_back(std::move(current));
            current.clear();
            if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
                ++i;
        } else {
            current.push_back(c);
        }
    }
    lines.push_back(std::move(current));
    return lines;
}

std::string dateTimeLine(std::string_view today, std::string_view time) {
    return "Datum = " + std::string(today) + ", Tidpunkt = " + std::string(time);
}

// Length of the UTF-8 sequence that a lead byte starts; 0 for a byte that starts none.
std::size_t sequenceLength(unsigned char lead) {
    if (lead < 0x80)
        return 1;
    if ((lead & 0xE0) == 0xC0)
        return 2;
    if ((lead & 0xF0) == 0xE0)
        return 3;
    if ((lead & 0xF8) == 0xF0)
        return 4;
    return 0;
}

std::vector<std::string> toCp1252(const std::vector<std::string>& lines) {
    std::vector<std::string> out;
    out.reserve(lines.size());
    for (const std::string& line : lines)
        out.push_back(reportTextToCp1252(line));
    return out;
}

} // namespace

bool isAccessRefusal(const ErrorState& error) {
    if (error.errorCode != 0)
        return error.errorCode == EACCES || error.errorCode == EPERM || error.errorCode == EROFS;
    std::string_view text = error.errorText;
    while (!text.empty() && isBlank(text.substr(0, 1)))
        text.remove_prefix(1);
    while (!text.empty() && isBlank(text.substr(text.size() - 1)))
        text.remove_suffix(1);
    return text == "Permission denied";
}

std::string joinDetails(const std::vector<std::string>& items) {
    std::string out;
    for (std::size_t i = 0; i < items.size(); ++i) {
        if (i > 0)
            out += DetailSeparator;
        out += items[i];
    }
    return out;
}

std::vector<std::string> splitDetails(std::string_view details) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (;;) {
        const std::size_t at = details.find(DetailSeparator, start);
        if (at == std::string_view::npos) {
            lines.emplace_back(details.substr(start));
            return lines;
        }
        lines.emplace_back(details.substr(start, at - start));
        start = at + DetailSeparator.size();
    }
}

std::string errorReportFileName(std::string_view today, std::string_view time) {
    return "FelRapport_Moniva" + digitsOnly(today) + digitsOnly(time);
}

std::vector<std::string> errorReportLines(const ErrorState& error, const ReportFacts& facts) {
    std::vector<std::string> lines = {
        "Systemrapporterat fel = " + error.errorText,
        dateTimeLine(facts.today, facts.time),
        "",
        "Användare = " + facts.userName,
        "",
        "Installationsdatum = " + facts.installDate,
        "",
        "Programversion = " + std::string(ProgramVersion),
        "",
    };
    if (isBlank(facts.message)) {
        lines.emplace_back("Inget meddelande från användaren !");
    } else {
        lines.emplace_back("Meddelande från användaren:");
        lines.emplace_back("");
        for (std::string& line : textLines(facts.message))
            lines.push_back(std::move(line));
    }
    lines.emplace_back("");
    lines.emplace_back("Data samlade vid felkällan: ");
    lines.emplace_back("");
    for (std::string& line : splitDetails(error.details))
        lines.push_back(std::move(line));
    return lines;
}

std::vector<std::string> emptyPostFileLogLines(std::string_view today, std::string_view time, int kontoNum,
                                               std::string_view accountName, std::string_view folderPath) {
    return {
        "Fel: Kontokatalogen innehåller inga data !",
        dateTimeLine(today, time),
        "",
        "Filen 'KontoData'saknar innehåll !",
        "",
        "Klickat KontoNum: " + std::to_string(kontoNum),
        "KontoNamn: " + std::string(accountName),
        "Sökväg: " + std::string(folderPath),
        "",
    };
}

std::string reportTextToCp1252(std::string_view utf8) {
    std::string out;
    out.reserve(utf8.size());
    std::size_t pos = 0;
    while (pos < utf8.size()) {
        const std::size_t len = sequenceLength(static_cast<unsigned char>(utf8[pos]));
        bool wellFormed = len > 0 && pos + len <= utf8.size();
        for (std::size_t i = 1; wellFormed && i < len; ++i)
            wellFormed = (static_cast<unsigned char>(utf8[pos + i]) & 0xC0) == 0x80;
        if (!wellFormed) {
            // A broken sequence costs only its first byte, so the character after it survives.
            out.push_back('?');
            ++pos;
            continue;
        }
        const auto byte = store::utf8ToCp1252(utf8.substr(pos, len));
        out += byte ? *byte : std::string("?");
        pos += len;
    }
    return out;
}

std::filesystem::path writeErrorReport(const std::filesystem::path& folder, const ErrorState& error,
                                       const ReportFacts& facts) {
    const std::filesystem::path file = folder / errorReportFileName(facts.today, facts.time);
    // Its name is known to the second in advance: a link by that name must not carry the report
    // over the file it names.
    store::writeTextLines(file, toCp1252(errorReportLines(error, facts)), store::Links::Refuse);
    return file;
}

void appendErrLog(const std::filesystem::path& folder, const std::vector<std::string>& lines) {
    store::appendTextLines(folder / "ErrLog", toCp1252(lines));
}

} // namespace support
