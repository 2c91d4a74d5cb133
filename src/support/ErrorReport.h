#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace support {

// The separator between the context items of an error description: the broken bar, code 166
// in Windows-1252 (U+00A6, "¦" in UTF-8, which is how the texts are held in memory).
inline constexpr std::string_view DetailSeparator = "\xC2\xA6";

// What a trapping procedure tells the shared error routine. All texts UTF-8.
struct ErrorState {
    std::string headline;  // "Ett fel har uppstått i subrutinen X" + CRLF + situation + CRLF CRLF
    std::string details;   // "Fel i rutinen X" ¦ item ¦ item ...
    std::string errorText; // the failure as the system words it ("Permission denied")
    int errorCode = 0;     // the system's error number (errno) behind it; 0 when there is none
};

// A refused file access (EACCES, EPERM, EROFS) gets its own explanation instead of the report.
// Decided by the error number, since the wording differs between the libraries that raise it; a
// failure that carries no number is taken by its text "Permission denied".
bool isAccessRefusal(const ErrorState& error);

// Joins the items with the separator: the first is "Fel i rutinen X".
std::string joinDetails(const std::vector<std::string>& items);
// One line per separator-delimited segment, in order (two separators give three lines).
std::vector<std::string> splitDetails(std::string_view details);

// What the report file says besides the error itself.
struct ReportFacts {
    std::string today; // "yyyy-mm-dd", taken at start-up
    std::string time;  // "hh:mm:ss"
    std::string userName;
    std::string installDate;
    std::string message; // what the user wrote; empty for none
};

// "FelRapport_Moniva" + yyyymmddhhmmss.
std::string errorReportFileName(std::string_view today, std::string_view time);
// The lines of the report file, in order (each written followed by CR LF).
std::vector<std::string> errorReportLines(const ErrorState& error, const ReportFacts& facts);

// The block appended to ErrLog when the chosen account's post file holds no data.
std::vector<std::string> emptyPostFileLogLines(std::string_view today, std::string_view time, int kontoNum,
                                               std::string_view accountName, std::string_view folderPath);

// Windows-1252 for the report and the log, which must be written whatever the user typed: a
// character the code page cannot hold becomes '?' (so does a malformed UTF-8 byte). Only for these
// texts; data files refuse such characters instead.
std::string reportTextToCp1252(std::string_view utf8);

// Writes the report file into the folder (replacing one of the same name) and returns its path.
// Throws store::FileError when it cannot be written, and when the name is taken by a link, a file
// with a second name or anything but a regular file (never written through). appendErrLog the same.
std::filesystem::path writeErrorReport(const std::filesystem::path& folder, const ErrorState& error,
                                       const ReportFacts& facts);

// Appends the lines to the file ErrLog in the folder (created when missing, never truncated).
void appendErrLog(const std::filesystem::path& folder, const std::vector<std::string>& lines);

} // namespace support
