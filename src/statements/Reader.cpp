#include "statements/Reader.h"

#include "statements/Csv.h"
#include "statements/Html.h"
#include "statements/Layouts.h"
#include "statements/Ofx.h"
#include "statements/Qif.h"
#include "statements/Table.h"
#include "statements/Text.h"
#include "statements/Values.h"
#include "store/FileIo.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <map>
#include <optional>

#include <fcntl.h>
#include <sys/stat.h>

namespace statements {

namespace {

// No bank's statement comes near this; a larger file is something else, and is not held whole.
constexpr std::size_t MaxFileSize = 64 * 1024 * 1024;
// The header line lies within the first lines (Handelsbanken has about seven above it).
constexpr std::size_t HeaderSearchRecords = 30;
constexpr std::array<char, 3> Separators = {';', ',', '\t'};

void checkSize(std::string_view bytes) {
    if (text::trim(bytes).empty())
        throw UnreadableStatement("Filen är tom.");
    if (bytes.size() > MaxFileSize)
        throw UnreadableStatement("Filen är för stor för att vara ett kontoutdrag.");
}

struct FoundCsv {
    KnownLayout known;
    char separator = ';';
};

std::optional<FoundCsv> findCsvLayout(std::string_view utf8) {
    for (const char sep : Separators) {
        const auto head = splitCsv(utf8, sep, 1, HeaderSearchRecords);
        if (auto known = findKnownLayout(head, HeaderSearchRecords, "CSV"))
            return FoundCsv{std::move(*known), sep};
    }
    return std::nullopt;
}

// The rows of the table the header lies in, the header included.
std::vector<CsvRecord> htmlTableOfHeader(const HtmlRows& html, std::size_t headerRow) {
    std::vector<CsvRecord> rows;
    for (std::size_t r = headerRow; r < html.rows.size(); ++r)
        if (html.table[r] == html.table[headerRow])
            rows.push_back(html.rows[r]);
    return rows;
}

void putOldestFirst(Statement& s, bool newestFirst) {
    if (newestFirst)
        std::reverse(s.rows.begin(), s.rows.end());
    s.hasBalance =
        std::any_of(s.rows.begin(), s.rows.end(), [](const BankRow& r) { return r.balance.has_value(); });
}

Statement readKnown(const std::vector<CsvRecord>& records, const KnownLayout& known,
                    const ReadOptions& options) {
    Statement s;
    s.bank = known.bank;
    s.format = known.format;
    s.rows = rowsOfTable(records, known.headerRecord + 1, known.layout, options);
    putOldestFirst(s, datesFall(s.rows, known.newestFirst));
    return s;
}

// The rows of delimited text after `skip` records, read record by record.
std::vector<BankRow> rowsOfCsv(std::string_view utf8, char separator, std::size_t skip, int firstLine,
                               const TableLayout& layout, const ReadOptions& options) {
    std::vector<BankRow> rows;
    std::size_t lines = 1;
    for (const char* at = utf8.data();
         (at = static_cast<const char*>(
              std::memchr(at, '\n', static_cast<std::size_t>(utf8.data() + utf8.size() - at))));
         ++at)
        ++lines;
    rows.reserve(lines);
    CsvCursor cursor(utf8, separator, firstLine);
    CsvRecord record;
    for (std::size_t r = 0; cursor.next(record); ++r)
        if (r >= skip && !rowOf(record, layout, options, rows.emplace_back()))
            rows.pop_back();
    return rows;
}

bool signatureMatches(std::string_view bytes, const Mapping& m) {
    return !m.signature.empty() && headerSignature(bytes, m) == m.signature;
}

int column(int oneBased) {
    return oneBased > 0 ? oneBased - 1 : -1;
}

// The header and the preview lie near the start: they are read from the first megabyte only.
constexpr std::size_t HeadBytes = 1 << 20;
constexpr int MaxSkipLines = 100000;

std::vector<CsvRecord> mappedRecords(std::string_view bytes, const Mapping& m, int extraSkip,
                                     std::size_t max) {
    const std::string utf8 = text::decode(bytes, m.encoding);
    const int skip = std::clamp(m.skipLines, 0, MaxSkipLines) + extraSkip;
    const std::size_t offset = skipLines(utf8, skip);
    return splitCsv(std::string_view(utf8).substr(offset), m.separator, skip + 1, max);
}

} // namespace

std::string readStatementFile(const std::string& path) {
    const auto unreadable = [](int err) {
        return UnreadableStatement(
            err == store::io::NotRegular
                ? std::string("Filen finns inte, är en länk eller är ingen vanlig fil.")
                : "Filen kunde inte läsas: " + store::io::systemText(err) + ".");
    };
    store::io::UniqueFd fd;
    if (const int err = store::io::openRegular(AT_FDCWD, path.c_str(), false, fd))
        throw unreadable(err == ENOENT || err == ELOOP || err == EISDIR ? store::io::NotRegular : err);
    struct stat st {};
    if (::fstat(fd.get(), &st) != 0)
        throw unreadable(errno);
    if (static_cast<std::uint64_t>(st.st_size) > MaxFileSize)
        throw UnreadableStatement("Filen är för stor för att vara ett kontoutdrag.");
    std::string bytes;
    if (const int err = store::io::readAllAt(fd.get(), bytes))
        throw unreadable(err);
    checkSize(bytes);
    return bytes;
}

Recognition recognise(std::string_view fileBytes, const std::vector<Mapping>& saved) {
    Recognition r;
    if (text::trim(fileBytes).empty() || fileBytes.size() > MaxFileSize)
        return r;
    const std::string utf8 = text::decode(fileBytes, Encoding::Auto);
    try {
        if (looksLikeOfx(utf8)) {
            const Statement s = readOfx(utf8, {});
            return {true, s.bank, s.format, -1, true, false};
        }
    } catch (const UnreadableStatement&) {
        return r;
    }
    if (looksLikeQif(utf8))
        return {true, "QIF", "Kontoutdrag QIF", -1, false, qifDateOrderAmbiguous(utf8)};
    if (looksLikeHtml(utf8)) {
        const HtmlRows html = readHtmlRows(utf8);
        if (const auto known = findKnownLayout(html.rows, html.rows.size(), "XLS"))
            return {true, known->bank, known->format, -1, known->hasTransactionDate, false};
    } else if (const auto found = findCsvLayout(utf8)) {
        return {true, found->known.bank, found->known.format, -1, found->known.hasTransactionDate, false};
    }
    for (std::size_t i = 0; i < saved.size(); ++i)
        if (signatureMatches(fileBytes, saved[i]))
            return {true,
                    saved[i].name,
                    saved[i].name + ", sparat format",
                    static_cast<int>(i),
                    saved[i].transactionDateColumn > 0,
                    false};
    return r;
}

Statement readStatement(std::string_view fileBytes, const std::vector<Mapping>& saved,
                        const ReadOptions& options) {
    checkSize(fileBytes);
    const std::string utf8 = text::decode(fileBytes, Encoding::Auto);
    if (looksLikeOfx(utf8))
        return readOfx(utf8, options);
    if (looksLikeQif(utf8))
        return readQif(utf8, options);
    if (looksLikeHtml(utf8)) {
        const HtmlRows html = readHtmlRows(utf8);
        if (auto known = findKnownLayout(html.rows, html.rows.size(), "XLS")) {
            const std::vector<CsvRecord> table = htmlTableOfHeader(html, known->headerRecord);
            known->headerRecord = 0;
            return readKnown(table, *known, options);
        }
    } else if (const auto found = findCsvLayout(utf8)) {
        Statement s;
        s.bank = found->known.bank;
        s.format = found->known.format;
        s.rows =
            rowsOfCsv(utf8, found->separator, found->known.headerRecord + 1, 1, found->known.layout, options);
        putOldestFirst(s, datesFall(s.rows, found->known.newestFirst));
        return s;
    }
    for (const Mapping& m : saved)
        if (signatureMatches(fileBytes, m))
            return readWithMapping(fileBytes, m, options);
    throw UnreadableStatement("Filens format känns inte igen.");
}

Statement readWithMapping(std::string_view fileBytes, const Mapping& m, const ReadOptions& options) {
    checkSize(fileBytes);
    const bool amountGiven = m.amountColumn > 0 || m.debitColumn > 0 || m.creditColumn > 0;
    if (m.bookingDateColumn <= 0 || !amountGiven)
        throw UnreadableStatement("Ange vilken kolumn som har datumet och vilken som har beloppet.");
    TableLayout layout;
    layout.bookingDate = column(m.bookingDateColumn);
    layout.transactionDate = column(m.transactionDateColumn);
    if (m.textColumn > 0)
        layout.text.push_back(column(m.textColumn));
    if (m.debitColumn > 0 || m.creditColumn > 0) {
        layout.debit = column(m.debitColumn);
        layout.credit = column(m.creditColumn);
    } else {
        layout.amount = column(m.amountColumn);
        layout.sign = column(m.signColumn);
    }
    layout.balance = column(m.balanceColumn);
    layout.decimal = m.decimalComma ? DecimalSign::Comma : DecimalSign::Point;
    layout.dateFormat = m.dateFormat;
    Statement s;
    s.bank = m.name;
    s.format = m.name + ", sparat format";
    const std::string utf8 = text::decode(fileBytes, m.encoding);
    const int skip = std::clamp(m.skipLines, 0, MaxSkipLines) + (m.headerLine ? 1 : 0);
    s.rows = rowsOfCsv(std::string_view(utf8).substr(skipLines(utf8, skip)), m.separator, 0, skip + 1, layout,
                       options);
    putOldestFirst(s, m.newestFirst);
    return s;
}

std::vector<std::vector<std::string>> previewCells(std::string_view fileBytes, const Mapping& mapping,
                                                   std::size_t rows) {
    std::vector<std::vector<std::string>> cells;
    for (CsvRecord& r : mappedRecords(fileBytes.substr(0, HeadBytes), mapping, 0, rows))
        cells.push_back(std::move(r.cells));
    return cells;
}

std::string headerSignature(std::string_view fileBytes, const Mapping& mapping) {
    if (!mapping.headerLine)
        return {};
    const auto records = mappedRecords(fileBytes.substr(0, HeadBytes), mapping, 0, 1);
    if (records.empty())
        return {};
    // FNV-1a over the folded names, each ended by a unit separator.
    std::uint64_t hash = 0xcbf29ce484222325ULL;
    for (const std::string& cell : records.front().cells) {
        for (const char c : text::fold(cell) + '\x1f') {
            hash ^= static_cast<unsigned char>(c);
            hash *= 0x100000001b3ULL;
        }
    }
    char hex[17];
    std::snprintf(hex, sizeof hex, "%016llx", static_cast<unsigned long long>(hash));
    return hex;
}

} // namespace statements
