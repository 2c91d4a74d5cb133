#pragma once

// The reports' printer on a QPrinter: the page's 11000 × 16000 units are spread over the
// printer's paintable area, the fonts keep their point sizes ("Arial" is Liberation Sans here).
// A progress dialog with a cancel button follows the pages of a long job.

#include "stats/PrintLayout.h"
#include "stats/ReportFile.h"

#include <QFont>
#include <QFontMetricsF>
#include <QPainter>
#include <QString>

#include <memory>
#include <optional>

class QPrinter;
class QProgressDialog;
class QWidget;

namespace stats {

class QtPrintTarget : public PrintTarget {
public:
    // `parent` owns the progress dialog; null prints without one.
    QtPrintTarget(QPrinter& printer, QWidget* parent);
    ~QtPrintTarget() override;

    // Throws std::runtime_error when the printer cannot start, take a page or finish.
    void begin(PageOrientation orientation, int pages) override;
    void setFont(PrintFont font) override;
    int textWidth(std::string_view utf8) override;
    void printAt(int x, int y, std::string_view utf8) override;
    bool newPage() override;
    void endDocument() override;

    bool cancelled() const { return cancelled_; }

private:
    QPrinter& printer_;
    QWidget* parent_;
    QPainter painter_;
    QFont heading_, line_;
    std::optional<QFontMetricsF> metrics_;
    double unitsPerPixel_ = 1.0, pixelsPerUnitX_ = 1.0, pixelsPerUnitY_ = 1.0;
    int page_ = 1;
    bool cancelled_ = false;
    std::unique_ptr<QProgressDialog> progress_;
};

// A PDF the printer writes goes to a temporary file beside the chosen one, which it replaces only
// once it is checked whole: a disk that fills half-way leaves neither half a PDF nor a lost older
// file. Printing on paper passes through untouched.
class PdfOutput {
public:
    // Throws store::FileError naming the chosen file when its folder cannot take it.
    explicit PdfOutput(QPrinter& printer);
    // Gives the printer its chosen file name back; the temporary file goes unless finished.
    ~PdfOutput();
    PdfOutput(const PdfOutput&) = delete;
    PdfOutput& operator=(const PdfOutput&) = delete;

    // After the painter has ended: the PDF checked and given the chosen name. Throws
    // store::FileError (IncompleteFile for a PDF cut short).
    void finish();

private:
    QPrinter& printer_;
    QString chosen_;
    std::optional<ReportTempFile> temp_;
};

} // namespace stats
