#pragma once

#include "store/RecordFile.h"

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace store {

// Line-based text files (KontoIni, ErrLog, the error report). Lines end with CR LF on writing;
// on reading a line ends at LF with a CR before it dropped. Bytes are Windows-1252 as stored.

// Empty vector when the file does not exist; FileError when it exists but cannot be read.
std::vector<std::string> readTextLines(const std::filesystem::path& path);
// Rewrites the whole file atomically, each line followed by CR LF.
void writeTextLines(const std::filesystem::path& path, const std::vector<std::string>& lines,
                    Links links = Links::Follow);
// Appends the lines (each followed by CR LF), creating the file when missing, and syncs it. Never
// through a link nor into a file with a second name (FileError): it is meant for the log in the
// start-up folder, which is no folder of the program's own.
void appendTextLines(const std::filesystem::path& path, const std::vector<std::string>& lines);

} // namespace store
