// The report on the printer, or in a PDF file where there is none.

#include "stats/ui/UtskrStatForm.h"
#include "stats/ui/UtskrStatFormParts.h"

#include "stats/TextReport.h"
#include "stats/ui/ReportPrinter.h"
#include "support/ui/Context.h"
#include "support/ui/Dialogs.h"
#include "support/ui/Platform.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPrinter>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>

namespace stats {

using namespace statform;

void UtskrStatForm::PrPrint() {
    const std::optional<ReportKind> kind = checkedKind();
    if (!kind)
        return;
    static const char* const what[6] = {
        "(exkl subtr exkl budget)",           "(inkl subtr exkl budget)",
        "(exkl subtr inkl budget exkl diff)", "(exkl subtr inkl budget inkl diff)",
        "(inkl subtr inkl budget inkl diff)", "(inkl subtr inkl budget exkl diff)"};
    const int n = kindNumber(*kind);
    const QString routine = QStringLiteral("PriPr_") + QString::number(n);
    if (printReport(routine, name_, QStringLiteral(" vid utskriftsförsök till printer."),
                    QStringLiteral("Fel i rutinen ") + routine +
                        QStringLiteral(" vid utskriftsförsök printer ") + QString::fromUtf8(what[n - 1]),
                    [&](PrintTarget& target) {
                        period_->reset(files_->kontoData);
                        return printAccountReport(target, *files_, *kind, period_->range(),
                                                  name_.toStdString(), ctx_.today);
                    }))
        PrinterMsg();
}

void UtskrStatForm::PriPr_7() {
    // After a statistics printout the window stays in statistics mode until the user cancels it.
    if (printReport(QStringLiteral("PriPr_7"), name_ + QLatin1Char('_') + statName_,
                    QStringLiteral(" vid utskriftsförsök statistik till printer."),
                    QStringLiteral("Fel i rutinen PriPr_7 vid utskriftsförsök printer (statistik)"),
                    [&](PrintTarget& target) {
                        return printStatisticsReport(target, stats_, name_.toStdString(),
                                                     statName_.toStdString(), ctx_.today);
                    }))
        PrinterMsg();
}

bool UtskrStatForm::choosePrinter(QPrinter& printer, const QString& fileName) {
    printer.setDocName(fileName);
    if (ctx_.platform.printersInstalled())
        return ctx_.dialogs.printSetup(this, printer);
    // Without a printer the report is offered as a PDF file, never sent to an empty job.
    QString name = fileName + QStringLiteral(".pdf");
    name.replace(QLatin1Char('/'), QLatin1Char('-'));
    const QString path = ctx_.dialogs.saveFile(
        this, text::PdfTitle,
        QString::fromStdString(ctx_.paths.driveFolder().string()) + QLatin1Char('/') + name, text::PdfFilter);
    if (path.isEmpty())
        return false;
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(path);
    return true;
}

bool UtskrStatForm::printed(QPrinter& printer, const std::function<bool()>& print,
                            const std::function<support::ErrorDescription()>& describe) {
    bool completed = false;
    const bool ok = savedOrTold(
        [&] {
            PdfOutput pdf(printer);
            completed = print();
            if (completed)
                pdf.finish();
        },
        describe);
    return ok && completed;
}

bool UtskrStatForm::printReport(const QString& routine, const QString& fileName, const QString& situation,
                                const QString& diagnostic, const std::function<bool(PrintTarget&)>& print) {
    QPrinter printer(QPrinter::HighResolution);
    if (!choosePrinter(printer, fileName))
        return false;
    return printed(
        printer,
        [&] {
            QtPrintTarget target(printer, this);
            return print(target);
        },
        [&] {
            return diagnosed(routine, situation, diagnostic,
                             {QStringLiteral("RubrikSetting 1: Arial 11 fet"),
                              QStringLiteral("RubrikSetting 2: Arial 10"),
                              QStringLiteral("Tab huvudtrans.: 2000"),
                              QStringLiteral("Utskrift till: ") + (printer.outputFileName().isEmpty()
                                                                       ? printer.printerName()
                                                                       : printer.outputFileName())});
        });
}

void UtskrStatForm::PrinterMsg() {
    ctx_.dialogs.message(this, q(PrintedTitle), q(printedText(name_.toStdString())),
                         support::Dialogs::Icon::Information);
}

void UtskrStatForm::Avbr_PrUtskr() {
    Avbr_FilUtskr();
}

} // namespace stats
