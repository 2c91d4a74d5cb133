// The current tab on paper, in a PDF file or in a spreadsheet file.

#include "overview/ui/OverviewWindow.h"
#include "overview/ui/OverviewWindowParts.h"

#include "overview/Sheets.h"
#include "overview/ui/ChartWidget.h"
#include "overview/ui/SheetFile.h"
#include "stats/ui/ReportPrinter.h"
#include "store/Errors.h"
#include "support/ui/Context.h"
#include "support/ui/Trap.h"

#include <QApplication>
#include <QComboBox>
#include <QFont>
#include <QFontMetricsF>
#include <QLabel>
#include <QPainter>
#include <QPrinter>
#include <QTabWidget>

#include <algorithm>
#include <memory>
#include <stdexcept>

namespace overview {

using namespace windowparts;

namespace {

const QString PdfFilter = QStringLiteral("PDF-filer (*.pdf)");
const QString NoPrinterTitle = QStringLiteral("Ingen skrivare finns: spara utskriften som PDF-fil");

} // namespace

QString OverviewWindow::tabTitle() const {
    return tabs_->tabText(tabs_->currentIndex());
}

QString OverviewWindow::selectionText() const {
    return accountBox_->currentText() + QStringLiteral(", ") + periodText_->text() + QStringLiteral(", ") +
           flowBox_->currentText().toLower();
}

Sheet OverviewWindow::currentSheet() const {
    switch (tabs_->currentIndex()) {
    case PerTransactionTab:
        return perTransaction_ ? perTransactionSheet(*perTransaction_) : perTransactionSheet({});
    case MonthTab:
        return month_ ? monthSheet(*month_) : sheetOf("Månad för månad", {}, {});
    default:
        return hitsSheet(hits_, selection_);
    }
}

bool OverviewWindow::savedOrTold(const std::function<void()>& body, const QString& routine) {
    std::optional<QString> problem;
    bool cancelled = false;
    const bool ran = support::trapped(
        ctx_, this,
        [&] {
            try {
                body();
            } catch (const store::FileError& e) {
                problem = q(exportProblem(e));
            } catch (const ExportCancelled&) {
                cancelled = true;
            }
        },
        [&] {
            return support::describeFailure(routine, QStringLiteral(" vid sparande av sammanställningen."),
                                            {QStringLiteral("Flik: ") + tabTitle()});
        });
    if (problem)
        ctx_.dialogs.message(this, q(ExportFailedTitle), *problem, support::Dialogs::Icon::Exclamation);
    return ran && !problem && !cancelled;
}

void OverviewWindow::printTab() {
    QPrinter printer(QPrinter::HighResolution);
    printer.setDocName(QStringLiteral("Sammanställning - ") + tabTitle());
    if (ctx_.platform.printersInstalled()) {
        if (!ctx_.dialogs.printSetup(this, printer))
            return;
    } else {
        // Without a printer the printout is offered as a PDF file, never sent to an empty job.
        const QString path = ctx_.dialogs.saveFile(this, NoPrinterTitle,
                                                   q(ctx_.paths.driveFolder().string()) +
                                                       QStringLiteral("/Sammanställning - ") + tabTitle() +
                                                       QStringLiteral(".pdf"),
                                                   PdfFilter);
        if (path.isEmpty())
            return;
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(path);
    }
    savedOrTold(
        [&] {
            stats::PdfOutput pdf(printer);
            printOn(printer);
            pdf.finish();
        },
        QStringLiteral("Skriv_Sammanställning"));
}

void OverviewWindow::saveTabAsPdf() {
    const QString path =
        ctx_.dialogs.saveFile(this, QStringLiteral("Spara som PDF"),
                              q(ctx_.paths.driveFolder().string()) + QStringLiteral("/Sammanställning - ") +
                                  tabTitle() + QStringLiteral(".pdf"),
                              PdfFilter);
    if (path.isEmpty())
        return;
    QPrinter printer(QPrinter::HighResolution);
    printer.setDocName(QStringLiteral("Sammanställning - ") + tabTitle());
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(path);
    if (savedOrTold(
            [&] {
                stats::PdfOutput pdf(printer);
                printOn(printer);
                pdf.finish();
            },
            QStringLiteral("Pdf_Sammanställning")))
        ctx_.dialogs.message(this, QStringLiteral("Sparat"),
                             QStringLiteral("Sammanställningen har sparats i\n") + path);
}

void OverviewWindow::printOn(QPrinter& printer) {
    printer.setPageOrientation(QPageLayout::Landscape);
    QPainter painter;
    if (!painter.begin(&printer))
        throw std::runtime_error("Skrivaren kunde inte starta utskriften");
    const int dpiX = printer.logicalDpiX(), dpiY = printer.logicalDpiY();
    const QRectF page = printer.pageLayout().paintRectPixels(dpiX).translated(
        -printer.pageLayout().paintRectPixels(dpiX).topLeft());
    QFont heading(QStringLiteral("Arial"), 13, QFont::Bold);
    QFont small(QStringLiteral("Arial"), 9);
    painter.setFont(heading);
    const double headingHeight = painter.fontMetrics().height();
    painter.drawText(QPointF(0, painter.fontMetrics().ascent()),
                     QStringLiteral("Sammanställning – ") + tabTitle());
    painter.setFont(small);
    painter.drawText(QPointF(0, headingHeight + painter.fontMetrics().ascent()), selectionText());
    const double top = headingHeight + painter.fontMetrics().height() * 2;
    const auto newPage = [&] {
        if (!printer.newPage())
            throw std::runtime_error("Skrivaren kunde inte börja en ny sida");
    };

    // The chart first, on the page's width at the printer's own resolution.
    ChartWidget* chartWidget = tabs_->currentIndex() == PerTransactionTab ? transactionChart_
                               : tabs_->currentIndex() == MonthTab        ? monthChart_
                                                                          : nullptr;
    double y = top;
    if (chartWidget && (perTransaction_ || month_)) {
        const double wPt = page.width() * 72.0 / dpiX, hPt = (page.height() - top) * 72.0 / dpiY;
        const Chart chart = chartWidget->chartFor(wPt, hPt);
        const double zoom = std::min(1.0, hPt / chart.height);
        painter.save();
        painter.translate(0, top);
        paintChart(painter, chart, dpiX, dpiY, zoom);
        painter.restore();
        newPage();
        y = 0;
    }

    // The table. Columns wider than the page go on to further pages, each under the first two
    // (the transaction) again, a budget month's three columns kept together; only a table whose
    // every part is still too wide is shrunk.
    const Sheet sheet = currentSheet();
    QFont cellFont(QStringLiteral("Arial"), 8);
    painter.setFont(cellFont);
    const QFontMetricsF metrics(painter.fontMetrics());
    std::vector<double> widths(sheet.headings.size(), 0);
    for (std::size_t c = 0; c < widths.size(); ++c)
        widths[c] = metrics.horizontalAdvance(q(sheet.headings[c]));
    sheet.forEachRow([&](const Row& row) {
        for (std::size_t c = 0; c < row.size() && c < widths.size(); ++c)
            widths[c] = std::max(widths[c], metrics.horizontalAdvance(cellText(row[c])));
    });
    const double gap = metrics.averageCharWidth() * 2;
    double total = 0;
    for (double& w : widths)
        total += (w += gap);
    const std::size_t kept = total > page.width() && widths.size() > 2 ? 2 : 0;
    const std::size_t group = tabs_->currentIndex() == MonthTab && month_ && month_->budget ? 3 : 1;
    std::vector<std::vector<std::size_t>> parts;
    double keptWidth = 0;
    for (std::size_t c = 0; c < kept; ++c)
        keptWidth += widths[c];
    double used = page.width();
    for (std::size_t c = kept; c < widths.size(); c += group) {
        double w = 0;
        for (std::size_t g = c; g < std::min(c + group, widths.size()); ++g)
            w += widths[g];
        if (parts.empty() || used + w > page.width()) {
            parts.emplace_back();
            for (std::size_t k = 0; k < kept; ++k)
                parts.back().push_back(k);
            used = keptWidth;
        }
        for (std::size_t g = c; g < std::min(c + group, widths.size()); ++g)
            parts.back().push_back(g);
        used += w;
    }
    const double line = metrics.height() * 1.25;
    for (std::size_t part = 0; part < parts.size(); ++part) {
        const std::vector<std::size_t>& columns = parts[part];
        double width = 0;
        for (std::size_t c : columns)
            width += widths[c];
        const double scale = width > page.width() ? page.width() / width : 1.0;
        const double bottom = page.height() / scale;
        if (part > 0) {
            newPage();
            y = 0;
        }
        painter.save();
        painter.scale(scale, scale);
        y /= scale;
        const auto drawRow = [&](const std::function<QString(std::size_t)>& text,
                                 const std::function<bool(std::size_t)>& right, bool bold) {
            if (y + line > bottom) {
                newPage();
                y = 0;
            }
            QFont f = cellFont;
            f.setBold(bold);
            painter.setFont(f);
            double x = 0;
            for (std::size_t c : columns) {
                painter.drawText(QRectF(x, y, widths[c] - gap / 2, line),
                                 (right(c) ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter, text(c));
                x += widths[c];
            }
            y += line;
        };
        drawRow([&](std::size_t c) { return q(sheet.headings[c]); }, [](std::size_t) { return false; }, true);
        sheet.forEachRow([&](const Row& row) {
            drawRow([&](std::size_t c) { return c < row.size() ? cellText(row[c]) : QString(); },
                    [&](std::size_t c) { return c < row.size() && numeric(row[c]); }, false);
        });
        painter.restore();
    }
    if (!painter.end() || printer.printerState() == QPrinter::Error)
        throw std::runtime_error("Skrivaren kunde inte avsluta utskriften");
}

void OverviewWindow::saveTabAsSheet() {
    const int form = sheetFormatBox_->currentIndex();
    const QString suffix = form == 0 ? QStringLiteral(".xlsx") : QStringLiteral(".csv");
    const Sheet sheet = currentSheet();
    QString path = ctx_.dialogs.saveFile(
        this, QStringLiteral("Spara som kalkylblad"),
        q(ctx_.paths.driveFolder().string()) + QLatin1Char('/') + q(sheet.name) + suffix,
        form == 0 ? QStringLiteral("Excel-arbetsböcker (*.xlsx)") : QStringLiteral("CSV-filer (*.csv)"));
    if (path.isEmpty())
        return;
    if (!path.endsWith(suffix, Qt::CaseInsensitive))
        path += suffix;
    const std::filesystem::path file = path.toStdString();
    const bool saved = savedOrTold(
        [&] {
            const std::optional<CsvForm> csv =
                form == 0 ? std::nullopt
                          : std::optional(form == 1 ? CsvForm::Spreadsheet : CsvForm::Standard);
            writeSheetFile(this, file, sheet, csv, QStringLiteral("Spara som kalkylblad"));
        },
        QStringLiteral("Kalkylblad_Sammanställning"));
    if (saved)
        ctx_.dialogs.message(this, QStringLiteral("Sparat"),
                             QStringLiteral("Sammanställningen har sparats i\n") + path);
}

} // namespace overview
