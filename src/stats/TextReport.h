#pragma once

// The text-file form of the reports: fixed character columns for a fixed-pitch font, page
// headings, Windows-1252 bytes and CR LF line ends. Pure functions: they return the file's bytes
// and the window writes them where the user chose.

#include "stats/AccountFiles.h"
#include "stats/Period.h"
#include "stats/Reports.h"
#include "stats/Statistics.h"

#include <string>
#include <string_view>

namespace stats {

// The account report of one kind over the range. Each page: "Utskrift av <name> <today>" and the
// page number, an empty line, the column headings, then up to the kind's number of posts; one
// empty line between pages. Page 1 is written even for a range without posts; a later page only
// when it has a post. Names are UTF-8 and are written in
// Windows-1252 (store::DataError for a name it cannot hold). `today` is "yyyy-mm-dd".
std::string accountReportFile(const AccountFiles& files, ReportKind kind, const PostRange& range,
                              std::string_view utf8AccountName, std::string_view today,
                              ReadTrace* trace = nullptr);
// Its page heading without the page number: "Utskrift av <name> <today>              Sida " (UTF-8).
std::string accountReportHeading(std::string_view utf8AccountName, std::string_view today);

// The statistics report: 68 rows a page under the account, the transaction, the summary and the
// column headings. Nothing (an empty text) for statistics without hits.
std::string statisticsReportFile(const Statistics& st, std::string_view utf8AccountName,
                                 std::string_view utf8TransactionName, std::string_view today);

// Lays out cells at character columns (column 1 is the first character of a line). A text placed
// at a column the line has already passed goes to the next line at that column; an amount ends
// just before its edge column. Every line ends with CR LF.
class ColumnWriter {
public:
    void at(int column, std::string_view bytes);
    void rightTo(int edge, std::string_view bytes);
    void endLine();
    void line(std::string_view bytes) {
        at(1, bytes);
        endLine();
    }
    // Room for about this many bytes, so a large report is not copied as it grows.
    void reserve(std::size_t bytes) { out_.reserve(bytes); }
    // The bytes written; a line still open is ended first.
    std::string finish();

private:
    std::string out_;
    std::string line_;
    bool open_ = false;
};

// The message after a written report (UTF-8); lines separated by "\n".
inline constexpr std::string_view ReportWrittenTitle = "Konto- eller statistikutskrift ";
std::string reportWrittenText(std::string_view utf8Path);

} // namespace stats
