// The report as a spreadsheet (XLSX or CSV).

#include "stats/ui/UtskrStatForm.h"
#include "stats/ui/UtskrStatFormParts.h"

#include "overview/Export.h"
#include "overview/Sheets.h"
#include "overview/ui/SheetFile.h"
#include "store/Errors.h"
#include "support/ui/Context.h"
#include "support/ui/Dialogs.h"
#include "support/ui/Trap.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>

namespace stats {

using namespace statform;

void UtskrStatForm::saveAsSpreadsheet() {
    hidePickers();
    if (!files_ || (statMode_ && statTrans_ == 0))
        return;
    const std::optional<ReportKind> kind = statMode_ ? std::optional(ReportKind::Pr_7) : checkedKind();
    if (!kind)
        return;
    QString offered = statMode_ ? name_ + QLatin1Char('_') + statName_ : name_;
    offered.replace(QLatin1Char('/'), QLatin1Char('-'));
    QString filter;
    QString path = ctx_.dialogs.saveFile(this, text::SheetTitle,
                                         QString::fromStdString(ctx_.paths.driveFolder().string()) +
                                             QLatin1Char('/') + offered + QStringLiteral(".xlsx"),
                                         text::XlsxFilter + QStringLiteral(";;") + text::CsvSheetFilter +
                                             QStringLiteral(";;") + text::CsvStandardFilter,
                                         &filter);
    if (path.isEmpty())
        return; // the window stays as it was
    // A typed ending chooses the form; without one the chosen filter does.
    bool xlsx = filter == text::XlsxFilter;
    if (path.endsWith(QStringLiteral(".xlsx"), Qt::CaseInsensitive))
        xlsx = true;
    else if (path.endsWith(QStringLiteral(".csv"), Qt::CaseInsensitive))
        xlsx = false;
    else
        path += xlsx ? QStringLiteral(".xlsx") : QStringLiteral(".csv");
    const overview::CsvForm csvForm =
        filter == text::CsvStandardFilter ? overview::CsvForm::Standard : overview::CsvForm::Spreadsheet;

    std::optional<std::string> problem;
    bool stopped = false;
    const bool ran = support::trapped(
        ctx_, this,
        [&] {
            period_->reset(files_->kontoData);
            Statistics statistics;
            overview::Sheet sheet;
            if (statMode_) {
                statistics = computeStatistics(*files_, period_->range(), statTrans_);
                sheet = overview::statisticsSheet(statistics, statName_.toStdString());
            } else {
                sheet = overview::accountReportSheet(*files_, *kind, period_->range(), name_.toStdString());
            }
            try {
                overview::writeSheetFile(this, path.toStdString(), sheet,
                                         xlsx ? std::nullopt : std::optional(csvForm), text::SheetTitle);
            } catch (const store::FileError& e) {
                problem = overview::exportProblem(e);
            } catch (const overview::ExportCancelled&) {
                stopped = true;
            }
        },
        [&] {
            return support::describeFailure(QStringLiteral("Kalkylblad_Utskrift"),
                                            QStringLiteral(" vid försök att spara som kalkylblad."),
                                            {QStringLiteral("Filbenämning: ") + path,
                                             QStringLiteral("Bokföringsval: ") + accountKindCode()});
        });
    if (problem)
        ctx_.dialogs.message(this, q(overview::ExportFailedTitle), q(*problem),
                             support::Dialogs::Icon::Exclamation);
    if (!ran || problem || stopped)
        return;
    ctx_.dialogs.message(this, text::SheetTitle, text::SheetSaved + path,
                         support::Dialogs::Icon::Information);
    returnAfterFile();
}

} // namespace stats
