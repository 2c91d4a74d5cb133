#include "overview/ui/SheetFile.h"

#include <QApplication>
#include <QProgressDialog>

#include <memory>

namespace overview {

void writeSheetFile(QWidget* parent, const std::filesystem::path& file, const Sheet& sheet,
                    std::optional<CsvForm> csv, const QString& title) {
    if (csv) {
        writeCsv(file, sheet, *csv);
        return;
    }
    constexpr std::size_t LongSheet = 5000;
    std::unique_ptr<QProgressDialog> progress;
    if (sheet.rowCount > LongSheet) {
        progress = std::make_unique<QProgressDialog>(QStringLiteral("Sparar kalkylbladet…"),
                                                     QStringLiteral("Avbryt"), 0,
                                                     static_cast<int>(sheet.rowCount), parent);
        progress->setWindowTitle(title);
        progress->setWindowModality(Qt::WindowModal);
        progress->setMinimumDuration(300);
    }
    writeXlsx(file, {sheet}, [&](std::size_t rows) {
        if (!progress)
            return true;
        progress->setValue(static_cast<int>(rows));
        QApplication::processEvents();
        return !progress->wasCanceled();
    });
}

} // namespace overview
