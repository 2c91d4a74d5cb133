// The report as a text file.

#include "stats/ui/UtskrStatForm.h"
#include "stats/ui/UtskrStatFormParts.h"

#include "stats/ReportFile.h"
#include "stats/TextReport.h"
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

QString UtskrStatForm::askPath(QString defaultName) {
    // A transaction's name may hold a slash; the offered name stays one file in the drive folder.
    defaultName.replace(QLatin1Char('/'), QLatin1Char('-'));
    const QString folder = QString::fromStdString(ctx_.paths.driveFolder().string());
    return ctx_.dialogs.saveFile(this, text::SaveTitle, folder + QLatin1Char('/') + defaultName,
                                 text::SaveFilter);
}

bool UtskrStatForm::savedOrTold(const std::function<void()>& body,
                                const std::function<support::ErrorDescription()>& describe) {
    std::optional<std::string> problem;
    const bool ran = support::trapped(
        ctx_, this,
        [&] {
            try {
                body();
            } catch (const store::FileError& e) {
                problem = plainFileProblem(e);
                if (!problem)
                    throw;
            }
        },
        describe);
    if (problem)
        ctx_.dialogs.message(this, q(SaveFailedTitle), q(*problem), support::Dialogs::Icon::Exclamation);
    return ran && !problem;
}

void UtskrStatForm::FilePrint() {
    const std::optional<ReportKind> kind = checkedKind();
    if (!kind)
        return;
    const QString path = askPath(name_ + QStringLiteral(".txt"));
    if (path.isEmpty()) {
        Avbr_FilUtskr();
        return;
    }
    const QString routine = QStringLiteral("FilPr_") + QString::number(kindNumber(*kind));
    ReadTrace trace;
    const auto filePrintFailure = [&] {
        return diagnosed(
            QStringLiteral("FilePrint"), QStringLiteral(" vid utskriftssortering till textfil."),
            QStringLiteral("Fel i rutinen FilePrint vid utskriftssortering textfil."),
            QStringList{QStringLiteral("Filbenämning: ") + path,
                        QStringLiteral("Bokföringsval: ") + accountKindCode(),
                        QStringLiteral("Senaste sökrecord i filen: ") + QString::number(trace.record)} +
                fetched(trace));
    };
    std::string bytes;
    if (!support::trapped(
            ctx_, this,
            [&] {
                period_->reset(files_->kontoData);
                bytes = accountReportFile(*files_, *kind, period_->range(), name_.toStdString(), ctx_.today,
                                          &trace);
            },
            [&] {
                // Kind 2 has no trap of its own: what fails in it is told as a failure of FilePrint.
                if (*kind == ReportKind::Pr_2)
                    return filePrintFailure();
                int amountEdge = 0;
                for (const ReportColumn& col : layoutOf(*kind).columns)
                    if (col.column == Column::Belopp || col.column == Column::VerklBelopp)
                        amountEdge = col.fileColumn;
                return diagnosed(
                    routine, QStringLiteral(" vid utskriftsförsök till textfil."),
                    QStringLiteral("Fel i rutinen ") + routine +
                        QStringLiteral(" vid utskriftsförsök textfil ") +
                        QString::fromUtf8(FileKindWords[kindNumber(*kind) - 1]),
                    QStringList{QStringLiteral("RubrikSetting: ") +
                                    q(accountReportHeading(name_.toStdString(), ctx_.today)),
                                QStringLiteral("Tab verkl.belopp: ") + QString::number(amountEdge),
                                QStringLiteral("Bokföringsval: ") + accountKindCode(),
                                QStringLiteral("Senaste sökrecord i filen: ") + QString::number(trace.record),
                                QStringLiteral("Sista record i filen: ") +
                                    QString::number(period_->range().last)} +
                        fetched(trace));
            }))
        return;
    if (savedOrTold([&] { writeReportFile(path.toStdString(), bytes); }, filePrintFailure))
        UtskrMedd(path);
}

void UtskrStatForm::FilPr_7() {
    const QString path = askPath(name_ + QLatin1Char('_') + statName_ + QStringLiteral(".txt"));
    if (path.isEmpty())
        return; // quietly: the window stays in statistics mode
    if (savedOrTold(
            [&] {
                writeReportFile(
                    path.toStdString(),
                    statisticsReportFile(stats_, name_.toStdString(), statName_.toStdString(), ctx_.today));
            },
            [&] {
                return diagnosed(
                    QStringLiteral("FilPr_7"), QStringLiteral(" vid utskriftsförsök statistik till textfil."),
                    QStringLiteral("Fel i rutinen FilPr_7 vid utskriftsförsök textfil (statistik)"),
                    {QStringLiteral("Filbenämning: ") + path});
            }))
        UtskrMedd(path);
}

void UtskrStatForm::UtskrMedd(const QString& path) {
    ctx_.dialogs.message(this, q(ReportWrittenTitle), q(reportWrittenText(path.toStdString())),
                         support::Dialogs::Icon::Information);
    returnAfterFile();
}

void UtskrStatForm::returnAfterFile() {
    if (statMode_)
        Avbr_Statistik();
    else
        Avbr_FilUtskr();
}

void UtskrStatForm::Avbr_FilUtskr() {
    clearOptions();
    printButton_->setEnabled(false);
    untickChecks();
    setMode(QStringLiteral("kto"), QStringLiteral("Avbryt Konto"));
    cancelButton_->setFocus();
}

} // namespace stats
