#pragma once

#include "statements/Statement.h"

#include <cstddef>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace statements {

// A file that is no statement at all (an image, an empty file, a layout nothing recognises and no
// mapping fits). The text is a plain Swedish reason in UTF-8, shown as it stands. A file that is a
// statement but has rows that cannot be read is not this: those rows carry BankRow::error.
class UnreadableStatement : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The bytes of a statement file the user named. It must be a regular file reached without a link
// (a link someone left in a shared folder is not followed; a FIFO or a device is refused without
// waiting on it) of at most the size a statement can have; UnreadableStatement
// with the reason otherwise.
std::string readStatementFile(const std::string& path);

// The numbers are stored in saved mappings: never renumber them.
enum class Encoding : int {
    Auto = 0,   // byte order mark, else UTF-8 when the bytes are valid UTF-8, else Windows-1252
    Utf8 = 1,   // a byte order mark is skipped
    Utf16 = 2,  // little or big endian by the byte order mark, little endian without one
    Cp1252 = 3, // also what Latin-1 files are read as
};

enum class DateFormat : int {
    Iso = 0,           // 2023-12-05
    SlashedIso = 1,    // 2023/12/05
    DayMonthDots = 2,  // 05.12.2023
    DayMonthSlash = 3, // 05/12/2023
    MonthDaySlash = 4, // 12/05/2023
    Compact = 5,       // 20231205
    ShortIso = 6,      // 23-12-05 (the century taken as 2000)
};

// An unknown CSV layout as the user maps it on the format page. Every field is a short text or a
// small number, so a mapping fits a fixed record. Columns count from 1; 0 means the file has none.
// An amount comes from exactly one of: amountColumn; debitColumn and creditColumn (the first taken
// as money out, whatever its sign in the file); amountColumn plus signColumn ("D" money out, "K"
// or "C" money in).
struct Mapping {
    std::string name; // the bank as the user names it, shown as the statement's bank
    Encoding encoding = Encoding::Auto;
    char separator = ';'; // ';', ',' or '\t'
    int skipLines = 0;    // lines before the header line (or before the first row without one)
    bool headerLine = true;
    int bookingDateColumn = 0;
    int transactionDateColumn = 0;
    int textColumn = 0;
    int amountColumn = 0;
    int debitColumn = 0;
    int creditColumn = 0;
    int signColumn = 0;
    int balanceColumn = 0;
    DateFormat dateFormat = DateFormat::Iso;
    bool decimalComma = true; // false: the point is the decimal sign and a comma groups thousands
    bool newestFirst = false;
    // The header line this mapping was made from, as headerSignature gives it: how a file of the
    // same layout is recognised next time. Empty for a mapping of a file without a header line.
    std::string signature;
};

// The date order of a QIF file, whose dates may be day first or month first.
enum class QifDateOrder : int { Unknown = 0, DayMonth = 1, MonthDay = 2 };

struct ReadOptions {
    // The transaction date (Transaktionsdag, Transaktionsdatum, OFX's DTUSER) as the post's date
    // instead of the booking date: BankRow::bookingDate then holds it. A row without one keeps
    // its booking date.
    bool useTransactionDate = false;
    // Used only where the file's own dates leave the order open (Recognition::qifDateOrderAmbiguous).
    QifDateOrder qifDateOrder = QifDateOrder::Unknown;
};

struct Recognition {
    bool known = false;                 // false: the format page asks for a mapping
    std::string bank;                   // "Swedbank", or the saved mapping's name
    std::string format;                 // "Swedbank, kontoutdrag CSV"
    int savedMapping = -1;              // index into the saved mappings when one of them was recognised
    bool hasTransactionDate = false;    // the format page may offer the transaction date
    bool qifDateOrderAmbiguous = false; // a QIF file whose dates read both ways: ask the user
};

// Which bank and layout the file is, from its header lines and never its name. The built-in
// layouts are tried first, then the saved mappings by their signature.
Recognition recognise(std::string_view fileBytes, const std::vector<Mapping>& saved);

// Reads every row of the file, oldest first whatever order the file has: a newest-first file is
// reversed whole, so rows of one day come in the order they happened and a balance stays the one after its
// row. A row that cannot be read is kept with its error (and a row in another currency than SEK
// with an error naming the currency); a pending row is marked reserved. Throws
// UnreadableStatement for a file that is no statement, and for a QIF file whose date order is
// ambiguous while the options leave it open.
Statement readStatement(std::string_view fileBytes, const std::vector<Mapping>& saved,
                        const ReadOptions& options = {});

// Reads the file by the given mapping alone, as the format page does once the user has mapped it.
Statement readWithMapping(std::string_view fileBytes, const Mapping& mapping,
                          const ReadOptions& options = {});

// The mapping page's live preview: the file decoded by the mapping's encoding, the lines from
// skipLines on (the header line first, where there is one) split at its separator, at most `rows`
// lines. Never throws for any bytes.
std::vector<std::vector<std::string>> previewCells(std::string_view fileBytes, const Mapping& mapping,
                                                   std::size_t rows = 20);

// A starting point for the mapping page: encoding, separator and lines to skip sniffed from the
// bytes, and the columns guessed from the header's names (Datum, Text, Belopp, Saldo, ...) and from
// what the cells hold. The signature is filled in when a header line was found.
Mapping guessMapping(std::string_view fileBytes);

// The signature of the file's header line under the mapping: 16 hexadecimal digits, a hash of its
// cells trimmed and with ASCII letters lower-cased, so a changed column shows as another layout.
// Empty when the mapping has no header line or the file is too short to have it.
std::string headerSignature(std::string_view fileBytes, const Mapping& mapping);

} // namespace statements
