#include "stats/ui/ReportPrinter.h"

#include <QCoreApplication>
#include <QPageLayout>
#include <QPrinter>
#include <QProgressDialog>

#include <cmath>

#include <stdexcept>

namespace stats {

namespace {

QFont arial(int points, bool bold) {
    QFont f(QStringLiteral("Arial"), points);
    // Arial itself is seldom installed here; its metric-compatible face keeps the widths.
    f.setFamilies({QStringLiteral("Arial"), QStringLiteral("Liberation Sans")});
    f.setBold(bold);
    return f;
}

QString q(std::string_view utf8) {
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

} // namespace

QtPrintTarget::QtPrintTarget(QPrinter& printer, QWidget* parent)
    : printer_(printer), parent_(parent), heading_(arial(11, true)), line_(arial(10, false)) {}

QtPrintTarget::~QtPrintTarget() {
    if (painter_.isActive())
        painter_.end();
}

void QtPrintTarget::begin(PageOrientation orientation, int pages) {
    const bool landscape = orientation == PageOrientation::Landscape;
    printer_.setPageOrientation(landscape ? QPageLayout::Landscape : QPageLayout::Portrait);
    if (!painter_.begin(&printer_))
        throw std::runtime_error("Skrivaren kunde inte startas.");
    painter_.setPen(Qt::black);
    const QRectF area = printer_.pageLayout().paintRectPixels(printer_.resolution());
    const int unitsWide = landscape ? PortraitHeight : PortraitWidth;
    const int unitsHigh = landscape ? PortraitWidth : PortraitHeight;
    pixelsPerUnitX_ = area.width() / unitsWide;
    pixelsPerUnitY_ = area.height() / unitsHigh;
    unitsPerPixel_ = 1.0 / pixelsPerUnitX_;
    if (parent_ && pages > 1) {
        progress_ = std::make_unique<QProgressDialog>(QStringLiteral("Utskrift pågår ..."),
                                                      QStringLiteral("Avbryt"), 0, pages, parent_);
        progress_->setWindowTitle(QStringLiteral("Printerutskrift"));
        progress_->setWindowModality(Qt::WindowModal);
        progress_->setMinimumDuration(500);
        progress_->setValue(0);
    }
}

void QtPrintTarget::setFont(PrintFont font) {
    painter_.setFont(font == PrintFont::Heading ? heading_ : line_);
    metrics_.emplace(painter_.font(), &printer_);
}

int QtPrintTarget::textWidth(std::string_view utf8) {
    return static_cast<int>(std::lround(metrics_->horizontalAdvance(q(utf8)) * unitsPerPixel_));
}

void QtPrintTarget::printAt(int x, int y, std::string_view utf8) {
    // The position is the text's top-left corner; Qt draws from the baseline.
    painter_.drawText(QPointF(x * pixelsPerUnitX_, y * pixelsPerUnitY_ + metrics_->ascent()), q(utf8));
}

bool QtPrintTarget::newPage() {
    if (progress_) {
        progress_->setValue(page_);
        QCoreApplication::processEvents();
        if (progress_->wasCanceled()) {
            cancelled_ = true;
            return false;
        }
    }
    if (!printer_.newPage())
        throw std::runtime_error("Skrivaren kunde inte ta emot nästa sida.");
    ++page_;
    return true;
}

void QtPrintTarget::endDocument() {
    if (cancelled_)
        printer_.abort();
    const bool ended = painter_.end();
    progress_.reset();
    if (!cancelled_ && (!ended || printer_.printerState() == QPrinter::Error))
        throw std::runtime_error("Utskriften kunde inte avslutas.");
}

PdfOutput::PdfOutput(QPrinter& printer) : printer_(printer) {
    if (printer.outputFormat() != QPrinter::PdfFormat || printer.outputFileName().isEmpty())
        return;
    chosen_ = printer.outputFileName();
    temp_.emplace(chosen_.toStdString());
    printer.setOutputFileName(QString::fromStdString(temp_->path().string()));
}

PdfOutput::~PdfOutput() {
    if (temp_)
        printer_.setOutputFileName(chosen_);
}

void PdfOutput::finish() {
    if (!temp_)
        return;
    checkPdfFile(temp_->path(), chosen_.toStdString());
    temp_->commit();
}

} // namespace stats
