#pragma once

#include "overview/Export.h"

#include <QString>

#include <filesystem>
#include <optional>

class QWidget;

namespace overview {

// Writes the sheet to the file: as CSV in the given form, or as XLSX when there is none. A long
// workbook shows how far it has come over `parent` and can be stopped there (ExportCancelled);
// failures throw as writeCsv and writeXlsx do.
void writeSheetFile(QWidget* parent, const std::filesystem::path& file, const Sheet& sheet,
                    std::optional<CsvForm> csv, const QString& title);

} // namespace overview
