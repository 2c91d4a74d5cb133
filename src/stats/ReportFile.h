#pragma once

// Report files (text and PDF) go where the user chose in the save dialog, outside the data. A
// report is written under a temporary name beside the chosen one and takes that name only when it
// is whole, so a full disk or a missing permission leaves neither half a report nor a lost older
// file. Ordinary problems of the chosen place are told to the user in plain words, not as faults of
// the program.

#include "store/Errors.h"

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace stats {

// A file that stopped short of what was written into it: a PDF without its end.
class IncompleteFile : public store::FileError {
public:
    explicit IncompleteFile(std::string path)
        : store::FileError("Filen blev inte färdigskriven", std::move(path)) {}
};

class ReportTempFile {
public:
    // Creates the empty temporary file in the target's folder. Throws store::FileError naming the
    // target: its folder missing or not writable, the target a folder or a file the user made
    // read-only.
    explicit ReportTempFile(std::filesystem::path target);
    ~ReportTempFile();
    ReportTempFile(const ReportTempFile&) = delete;
    ReportTempFile& operator=(const ReportTempFile&) = delete;

    const std::filesystem::path& path() const { return temp_; }
    // Writes the whole report through the open file.
    void write(std::string_view bytes);
    // Makes the file durable and gives it the target's name. The file must be complete: a PDF is
    // checked first (see checkPdfFile).
    void commit();

private:
    std::filesystem::path target_, temp_;
    int fd_ = -1;
    bool committed_ = false;
};

// Writes a text report to the chosen path as one whole; store::FileError with the system's error
// number when it cannot.
void writeReportFile(const std::filesystem::path& path, std::string_view bytes);

// Throws IncompleteFile unless the PDF ends with its trailer and the cross-reference table lies
// where the trailer says; a PDF that lost its end or a piece of its middle to a full disk fails.
void checkPdfFile(const std::filesystem::path& file, const std::filesystem::path& target);

// The plain message for a problem the user can put right by choosing another place (no such folder,
// no permission, a read-only or full disk, a file cut short), naming the path; none for any other
// failure, which is a fault for the error report.
inline constexpr std::string_view SaveFailedTitle = "Filen kunde inte sparas";
std::optional<std::string> plainFileProblem(const store::FileError& error);

} // namespace stats
