// The statistics of one main transaction and its diagram.

#include "stats/ui/UtskrStatForm.h"
#include "stats/ui/UtskrStatFormParts.h"

#include "stats/TextReport.h"
#include "stats/ui/DiagramWidget.h"
#include "store/Cp1252.h"
#include "store/Records.h"
#include "support/ui/Context.h"
#include "support/ui/Dialogs.h"
#include "support/ui/Trap.h"
#include "support/ui/Twips.h"

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

void UtskrStatForm::enterStatistics() {
    if (statMode_ || !files_ || !statisticsBox_->isEnabled())
        return;
    hidePickers();
    support::trapped(
        ctx_, this,
        [this] {
            transactionList_->clear();
            const store::RecordFile& transakt = files_->transakt;
            for (std::size_t n = 1; n <= transakt.count(); ++n) {
                const std::string name = transakt.read<store::TransRec>(n).text(store::TransRec::TransNamn);
                if (!name.empty()) {
                    auto* item = new QListWidgetItem(q(store::cp1252ToUtf8(name)), transactionList_);
                    item->setData(Qt::UserRole, static_cast<int>(n));
                }
            }
            statisticsBox_->setEnabled(false);
            statMode_ = true;
            statTrans_ = 0;
            hideReport();
            clearOptions();
            setOutputsEnabled(false);
            printButton_->setEnabled(false);
            accountLabel_->setEnabled(false);
            accountPicker_->setEnabled(false);
            accountBox_->setEnabled(false);
            untickChecks();
            for (QCheckBox* box : {subTransactionBox_, budgetBox_, differenceBox_})
                box->setEnabled(false);
            transactionList_->show();
            transactionList_->raise();
            transactionList_->setFocus();
            setMode(QStringLiteral("stk"), QStringLiteral("Avbryt Statistik"));
        },
        [] {
            return support::describeFailure(
                QStringLiteral("Text2_MouseUp ('Klicka för transaktion')"),
                QStringLiteral(" vid försök att visa transaktionslistan i StatistikFormuläret"));
        });
}

void UtskrStatForm::chooseStatisticsTransaction(int row) {
    QListWidgetItem* item = transactionList_->item(row);
    if (!item || !files_)
        return;
    support::trapped(
        ctx_, this,
        [&] {
            statTrans_ = item->data(Qt::UserRole).toInt();
            statName_ = item->text();
            statisticsBox_->setText(statName_);
            statSign_ = q(store::cp1252ToUtf8(
                files_->transakt.read<store::TransRec>(static_cast<std::size_t>(statTrans_))
                    .text(store::TransRec::Tecken)));
            transactionList_->hide();
            setOutputsEnabled(true);
            outputLabel_->setText(text::StatisticsMode);
        },
        [&] {
            return support::describeFailure(
                QStringLiteral("List4_Click Utskriftsformulär"),
                QStringLiteral(" vid försök att välja transaktion för statistik."),
                {QStringLiteral("Transaktion: ") + item->text()});
        });
}

void UtskrStatForm::Trans_Stat() {
    if (!files_)
        return;
    const bool ok = support::trapped(
        ctx_, this,
        [this] {
            period_->reset(files_->kontoData);
            stats_ = computeStatistics(*files_, period_->range(), statTrans_);
        },
        [this] {
            return diagnosed(
                QStringLiteral("Trans_Stat"), QStringLiteral(" vid utskriftsförsök av statistik till skärm."),
                QStringLiteral("Fel i rutinen Trans_Stat vid utskriftsförsök skärm av trans.statistik"),
                {QStringLiteral("Antal poster i matrisen: ") + QString::number(stats_.hits()),
                 QStringLiteral("Bokföringsval: ") + accountKindCode(),
                 QStringLiteral("Skapad summering: ") + q(stats_.summary)});
        });
    if (!ok)
        return;
    if (stats_.noHits()) {
        if (screenOption_->isChecked()) {
            setExpanded(true);
            screenRange_ = PostRange{1, 0};
            cursor_ = 1;
            shown_.reset();
            ScPr(ReportKind::Pr_7);
            reportTitle_->setText(q(statisticsHeading(statName_.toStdString())));
            reportSummary_->setText(q(NoHitsScreenText));
            return;
        }
        ctx_.dialogs.message(this, q(noHitsMessageTitle(statName_.toStdString())), q(NoHitsMessageText),
                             support::Dialogs::Icon::Information);
        Avbr_Statistik();
        return;
    }
    if (screenOption_->isChecked()) {
        setExpanded(true);
        shown_.reset();
        screenRange_ = PostRange{1, stats_.hits()};
        cursor_ = 1;
        ScPr(ReportKind::Pr_7);
    } else if (textFileOption_->isChecked()) {
        FilPr_7();
    } else if (printerOption_->isChecked()) {
        PriPr_7();
    }
}

void UtskrStatForm::Avbr_Statistik() {
    accountLabel_->setEnabled(true);
    accountPicker_->setEnabled(true);
    accountBox_->setEnabled(true);
    subTransactionBox_->setEnabled(true);
    budgetBox_->setEnabled(isBudget());
    stats_ = Statistics{};
    statMode_ = false;
    resetStatisticsEntry(true);
    outputLabel_->setText(text::AccountMode);
    transactionList_->hide();
    hideReport();
    clearOptions();
    setOutputsEnabled(true);
    printButton_->setEnabled(false);
    setMode(QStringLiteral("kto"), QStringLiteral("Avbryt Konto"));
    statTrans_ = 0;
    statName_.clear();
}

// Whatever fails while the diagram is set up or drawn is told as a failure of its drawing.
static support::ErrorDescription drawingFailure() {
    return diagnosed(QStringLiteral("DiagramSkapa"), QStringLiteral(" vid försök rita diagramkurva."),
                     QStringLiteral("Fel i rutinen DiagramSkapa vid försök rita diagramkurva."), {});
}

void UtskrStatForm::makeDiagramArea() {
    showDiagramButton_ = new QPushButton(QStringLiteral("Visa diagram"), this);
    showDiagramButton_->setObjectName(QStringLiteral("showDiagramButton"));
    showDiagramButton_->setGeometry(785, 112, 140, 30);
    showDiagramButton_->hide();
    // The diagram covers the report area while it is shown.
    diagramArea_ = new QFrame(this);
    diagramArea_->setObjectName(QStringLiteral("diagramArea"));
    diagramArea_->setGeometry(0, 160, support::px(DesignWidth), support::px(ExpandedHeight) - 160);
    diagramArea_->setAutoFillBackground(true);
    diagramTitle_ = new QLabel(diagramArea_);
    diagramTitle_->setObjectName(QStringLiteral("diagramTitle"));
    diagramTitle_->setGeometry(10, 4, diagramArea_->width() - 20, 20);
    diagramPicture_ = new DiagramWidget(diagramArea_);
    diagramPicture_->setGeometry((diagramArea_->width() - support::px(diagram::PictureWidth)) / 2, 28,
                                 support::px(diagram::PictureWidth), support::px(diagram::PictureHeight));
    const int row = diagramPicture_->geometry().bottom() + 6;
    diagramYear_ = new QLabel(diagramArea_);
    diagramYear_->setObjectName(QStringLiteral("diagramYear"));
    diagramYear_->setGeometry(diagramPicture_->x() + support::px(diagram::Left), row + 4, 200, 20);
    nextDiagramPageButton_ = new QPushButton(QStringLiteral("Nästa"), diagramArea_);
    nextDiagramPageButton_->setObjectName(QStringLiteral("nextDiagramPageButton"));
    nextDiagramPageButton_->setGeometry(diagramPicture_->x() + support::px(diagram::Left) + 220, row, 120,
                                        28);
    closeDiagramButton_ = new QPushButton(QStringLiteral("Avsluta diagram"), diagramArea_);
    closeDiagramButton_->setObjectName(QStringLiteral("closeDiagramButton"));
    closeDiagramButton_->setGeometry(nextDiagramPageButton_->geometry().right() + 15, row, 150, 28);
    // Beyond the window's first design: the diagram's pages on paper or in a PDF file.
    printDiagramButton_ = new QPushButton(QStringLiteral("Skriv ut diagram"), diagramArea_);
    printDiagramButton_->setObjectName(QStringLiteral("printDiagramButton"));
    printDiagramButton_->setGeometry(closeDiagramButton_->geometry().right() + 15, row, 150, 28);
    connect(printDiagramButton_, &QPushButton::clicked, this, &UtskrStatForm::printDiagramPages);
    nextDiagramPageButton_->hide();
    diagramArea_->hide();
    connect(showDiagramButton_, &QPushButton::clicked, this, &UtskrStatForm::showDiagram);
    connect(nextDiagramPageButton_, &QPushButton::clicked, this, &UtskrStatForm::nextDiagramPage);
    connect(closeDiagramButton_, &QPushButton::clicked, this, &UtskrStatForm::endDiagram);
}

void UtskrStatForm::offerDiagram(bool offered) {
    closeDiagram();
    showDiagramButton_->setVisible(offered);
}

void UtskrStatForm::showDiagram() {
    Diagram_Setup();
}

void UtskrStatForm::nextDiagramPage() {
    if (diagram_)
        DiagramSkapa();
}

void UtskrStatForm::endDiagram() {
    closeDiagram();
}

void UtskrStatForm::Diagram_Setup() {
    if (!period_ || stats_.noHits())
        return;
    diagramTitle_->setText(q(diagramTitle(statName_.toStdString(), name_.toStdString(), period_->parts())));
    showDiagramButton_->setEnabled(false);
    diagramArea_->show();
    diagramArea_->raise();
    if (support::trapped(
            ctx_, this, [this] { diagram_.emplace(stats_.rows, statSign_.trimmed() == QLatin1String("-")); },
            drawingFailure))
        showDiagramPage();
    else
        closeDiagram();
}

void UtskrStatForm::DiagramSkapa() {
    diagramPicture_->clear();
    if (support::trapped(
            ctx_, this, [this] { diagram_->DiagramSkapa(); }, drawingFailure))
        showDiagramPage();
}

void UtskrStatForm::showDiagramPage() {
    support::trapped(
        ctx_, this,
        [this] {
            diagramPicture_->setDrawing(diagram_->drawing());
            diagramYear_->setText(q(diagram_->yearText()));
            nextDiagramPageButton_->setText(q(diagram_->pagerCaption()));
            nextDiagramPageButton_->setVisible(diagram_->pagerVisible());
        },
        drawingFailure);
}

void UtskrStatForm::printDiagramPages() {
    QPrinter printer(QPrinter::HighResolution);
    if (!diagram_ ||
        !choosePrinter(printer, name_ + QLatin1Char('_') + statName_ + QStringLiteral("_diagram")))
        return;
    if (printed(
            printer,
            [&] {
                printDiagram(printer, stats_.rows, statSign_.trimmed() == QLatin1String("-"),
                             q(diagramTitle(statName_.toStdString(), name_.toStdString(), period_->parts())));
                return true;
            },
            [&] {
                return support::describeFailure(
                    QStringLiteral("Skriv_Diagram"), QStringLiteral(" vid utskriftsförsök av diagram."),
                    {QStringLiteral("Utskrift till: ") + (printer.outputFileName().isEmpty()
                                                              ? printer.printerName()
                                                              : printer.outputFileName())});
            }))
        PrinterMsg();
}

void UtskrStatForm::closeDiagram() {
    diagram_.reset();
    diagramYear_->clear();
    diagramTitle_->clear();
    diagramPicture_->clear();
    diagramArea_->hide();
    showDiagramButton_->setEnabled(true);
}

} // namespace stats
