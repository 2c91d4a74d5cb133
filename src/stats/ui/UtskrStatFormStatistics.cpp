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

void UtskrStatForm::Text2_Click() {
    if (statMode_ || !files_ || !text2_->isEnabled())
        return;
    hidePickers();
    support::trapped(
        ctx_, this,
        [this] {
            list4_->clear();
            const store::RecordFile& transakt = files_->transakt;
            for (std::size_t n = 1; n <= transakt.count(); ++n) {
                const std::string name = transakt.read<store::TransRec>(n).text(store::TransRec::TransNamn);
                if (!name.empty()) {
                    auto* item = new QListWidgetItem(q(store::cp1252ToUtf8(name)), list4_);
                    item->setData(Qt::UserRole, static_cast<int>(n));
                }
            }
            text2_->setEnabled(false);
            statMode_ = true;
            statTrans_ = 0;
            hideReport();
            clearOptions();
            setOutputsEnabled(false);
            command1_->setEnabled(false);
            label1_->setEnabled(false);
            combo1_->setEnabled(false);
            text1_->setEnabled(false);
            untickChecks();
            for (QCheckBox* box : {check1_, check2_, check3_})
                box->setEnabled(false);
            list4_->show();
            list4_->raise();
            list4_->setFocus();
            setMode(QStringLiteral("stk"), QStringLiteral("Avbryt Statistik"));
        },
        [] {
            return support::describeFailure(
                QStringLiteral("Text2_MouseUp ('Klicka för transaktion')"),
                QStringLiteral(" vid försök att visa transaktionslistan i StatistikFormuläret"));
        });
}

void UtskrStatForm::List4_Click(int row) {
    QListWidgetItem* item = list4_->item(row);
    if (!item || !files_)
        return;
    support::trapped(
        ctx_, this,
        [&] {
            statTrans_ = item->data(Qt::UserRole).toInt();
            statName_ = item->text();
            text2_->setText(statName_);
            statSign_ = q(store::cp1252ToUtf8(
                files_->transakt.read<store::TransRec>(static_cast<std::size_t>(statTrans_))
                    .text(store::TransRec::Tecken)));
            list4_->hide();
            setOutputsEnabled(true);
            label13_->setText(text::StatisticsMode);
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
        if (option1_->isChecked()) {
            setExpanded(true);
            screenRange_ = PostRange{1, 0};
            cursor_ = 1;
            shown_.reset();
            ScPr(ReportKind::Pr_7);
            label26_->setText(q(statisticsHeading(statName_.toStdString())));
            label27_->setText(q(NoHitsScreenText));
            return;
        }
        ctx_.dialogs.message(this, q(noHitsMessageTitle(statName_.toStdString())), q(NoHitsMessageText),
                             support::Dialogs::Icon::Information);
        Avbr_Statistik();
        return;
    }
    if (option1_->isChecked()) {
        setExpanded(true);
        shown_.reset();
        screenRange_ = PostRange{1, stats_.hits()};
        cursor_ = 1;
        ScPr(ReportKind::Pr_7);
    } else if (option2_->isChecked()) {
        FilPr_7();
    } else if (option3_->isChecked()) {
        PriPr_7();
    }
}

void UtskrStatForm::Avbr_Statistik() {
    label1_->setEnabled(true);
    combo1_->setEnabled(true);
    text1_->setEnabled(true);
    check1_->setEnabled(true);
    check2_->setEnabled(isBudget());
    stats_ = Statistics{};
    statMode_ = false;
    resetStatisticsEntry(true);
    label13_->setText(text::AccountMode);
    list4_->hide();
    hideReport();
    clearOptions();
    setOutputsEnabled(true);
    command1_->setEnabled(false);
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
    command8_ = new QPushButton(QStringLiteral("Visa diagram"), this);
    command8_->setObjectName(QStringLiteral("Command8"));
    command8_->setGeometry(785, 112, 140, 30);
    command8_->hide();
    // The diagram covers the report area while it is shown.
    diagramArea_ = new QFrame(this);
    diagramArea_->setObjectName(QStringLiteral("DiagramArea"));
    diagramArea_->setGeometry(0, 160, support::px(DesignWidth), support::px(ExpandedHeight) - 160);
    diagramArea_->setAutoFillBackground(true);
    l7_ = new QLabel(diagramArea_);
    l7_->setObjectName(QStringLiteral("L7"));
    l7_->setGeometry(10, 4, diagramArea_->width() - 20, 20);
    picture1_ = new DiagramWidget(diagramArea_);
    picture1_->setGeometry((diagramArea_->width() - support::px(diagram::PictureWidth)) / 2, 28,
                           support::px(diagram::PictureWidth), support::px(diagram::PictureHeight));
    const int row = picture1_->geometry().bottom() + 6;
    l6_ = new QLabel(diagramArea_);
    l6_->setObjectName(QStringLiteral("L6"));
    l6_->setGeometry(picture1_->x() + support::px(diagram::Left), row + 4, 200, 20);
    command9_ = new QPushButton(QStringLiteral("Nästa"), diagramArea_);
    command9_->setObjectName(QStringLiteral("Command9"));
    command9_->setGeometry(picture1_->x() + support::px(diagram::Left) + 220, row, 120, 28);
    command10_ = new QPushButton(QStringLiteral("Avsluta diagram"), diagramArea_);
    command10_->setObjectName(QStringLiteral("Command10"));
    command10_->setGeometry(command9_->geometry().right() + 15, row, 150, 28);
    // Beyond the window's first design: the diagram's pages on paper or in a PDF file.
    printDiagram_ = new QPushButton(QStringLiteral("Skriv ut diagram"), diagramArea_);
    printDiagram_->setObjectName(QStringLiteral("PrintDiagram"));
    printDiagram_->setGeometry(command10_->geometry().right() + 15, row, 150, 28);
    connect(printDiagram_, &QPushButton::clicked, this, &UtskrStatForm::printDiagramPages);
    command9_->hide();
    diagramArea_->hide();
    connect(command8_, &QPushButton::clicked, this, &UtskrStatForm::Command8_Click);
    connect(command9_, &QPushButton::clicked, this, &UtskrStatForm::Command9_Click);
    connect(command10_, &QPushButton::clicked, this, &UtskrStatForm::Command10_Click);
}

void UtskrStatForm::offerDiagram(bool offered) {
    closeDiagram();
    command8_->setVisible(offered);
}

void UtskrStatForm::Command8_Click() {
    Diagram_Setup();
}

void UtskrStatForm::Command9_Click() {
    if (diagram_)
        DiagramSkapa();
}

void UtskrStatForm::Command10_Click() {
    closeDiagram();
}

void UtskrStatForm::Diagram_Setup() {
    if (!period_ || stats_.noHits())
        return;
    l7_->setText(q(diagramTitle(statName_.toStdString(), name_.toStdString(), period_->parts())));
    command8_->setEnabled(false);
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
    picture1_->clear();
    if (support::trapped(
            ctx_, this, [this] { diagram_->DiagramSkapa(); }, drawingFailure))
        showDiagramPage();
}

void UtskrStatForm::showDiagramPage() {
    support::trapped(
        ctx_, this,
        [this] {
            picture1_->setDrawing(diagram_->drawing());
            l6_->setText(q(diagram_->yearText()));
            command9_->setText(q(diagram_->pagerCaption()));
            command9_->setVisible(diagram_->pagerVisible());
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
    l6_->clear();
    l7_->clear();
    picture1_->clear();
    diagramArea_->hide();
    command8_->setEnabled(true);
}

} // namespace stats
