// The report on screen: a page of fifteen rows and its scrolling.

#include "stats/ui/UtskrStatForm.h"
#include "stats/ui/UtskrStatFormParts.h"

#include "stats/TextReport.h"
#include "support/ui/Context.h"
#include "support/ui/Trap.h"
#include "support/ui/Twips.h"

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

void UtskrStatForm::ScreenPrint() {
    const std::optional<ReportKind> kind = checkedKind();
    if (!kind)
        return;
    if (!support::trapped(
            ctx_, this,
            [this] {
                period_->reset(files_->kontoData);
                screenRange_ = period_->range();
                cursor_ = period_->current;
            },
            [] {
                return support::describeFailure(
                    QStringLiteral("Datum_Reset"),
                    QStringLiteral(" vid uppdatering av start- och end i tidsperiod."));
            }))
        return;
    ScPr(*kind);
}

void UtskrStatForm::ScPr(ReportKind kind) {
    const QString routine = QStringLiteral("ScPr_") + QString::number(kindNumber(kind));
    ReadTrace trace;
    support::trapped(
        ctx_, this,
        [&] {
            const ReportLayout& layout = layoutOf(kind);
            if (shown_ != kind) {
                reportFrame_->setGeometry(support::px(layout.frameLeft), reportFrame_->y(),
                                          support::px(layout.frameWidth), reportFrame_->height());
                for (QLabel* l : headings_)
                    l->hide();
                reportGrid_->clearContents();
                reportGrid_->setColumnCount(static_cast<int>(layout.columns.size()));
                int width = 0;
                for (std::size_t c = 0; c < layout.columns.size(); ++c) {
                    const ReportColumn& col = layout.columns[c];
                    reportGrid_->setColumnWidth(static_cast<int>(c), support::px(col.gridWidth));
                    width += support::px(col.gridWidth);
                    QLabel* heading = headings_[headingIndex(col.column)];
                    heading->setText(q(col.screenHeading));
                    heading->move(support::px(col.headingLeft), heading->y());
                    heading->adjustSize();
                    heading->show();
                }
                reportGrid_->resize(width + 2 * reportGrid_->frameWidth(), reportGrid_->height());
                const bool statistics = kind == ReportKind::Pr_7;
                reportTitle_->setVisible(statistics);
                reportSummary_->setVisible(statistics);
                if (statistics) {
                    reportTitle_->setText(q(statisticsHeading(statName_.toStdString())));
                    reportSummary_->setText(q(stats_.summary));
                }
                offerDiagram(statistics && !stats_.noHits());
                reportFrame_->show();
                shown_ = kind;
            }
            reportGrid_->setUpdatesEnabled(false);
            const int to = std::min(cursor_ + ScreenRows - 1, screenRange_.last);
            std::vector<ReportRow> rows;
            if (cursor_ <= to && kind == ReportKind::Pr_7) {
                rows = statisticsRows(stats_, cursor_, to);
                if (!rows.empty())
                    trace = {cursor_ + static_cast<int>(rows.size()) - 1, rows.back()[0], rows.back()[2]};
            } else if (cursor_ <= to) {
                rows = reportRows(*files_, kind, cursor_, to, &trace);
            }
            for (int r = 0; r < ScreenRows; ++r)
                for (int c = 0; c < reportGrid_->columnCount(); ++c) {
                    const bool filled = r < static_cast<int>(rows.size());
                    auto* item = new QTableWidgetItem(
                        filled ? q(rows[static_cast<std::size_t>(r)][static_cast<std::size_t>(c)])
                               : QString());
                    item->setTextAlignment(qtAlign(layout.columns[static_cast<std::size_t>(c)].align));
                    reportGrid_->setItem(r, c, item);
                }
            reportGrid_->setUpdatesEnabled(true);
            ScrollButtons();
        },
        [&] {
            reportGrid_->setUpdatesEnabled(true);
            QStringList widths;
            for (const ReportColumn& col : layoutOf(kind).columns)
                widths << QString::number(col.gridWidth);
            return diagnosed(
                routine,
                kind == ReportKind::Pr_7 ? QStringLiteral(" vid utskriftsförsök till skärm av statistik.")
                                         : QStringLiteral(" vid utskriftsförsök till skärm."),
                QStringLiteral("Fel i rutinen ") + routine + QStringLiteral(" vid utskriftsförsök skärm") +
                    QString::fromUtf8(ScreenKindWords[kindNumber(kind) - 1]),
                QStringList{QStringLiteral("GridSetting: %1 rader, kolumnbredd %2")
                                .arg(ScreenRows)
                                .arg(widths.join(QLatin1Char(';'))),
                            QStringLiteral("Bokföringsval: ") + accountKindCode(),
                            QStringLiteral("Senaste sökrecord i filen: ") + QString::number(trace.record),
                            QStringLiteral("Stopprecord i filen: ") + QString::number(screenRange_.last)} +
                    fetched(trace));
        });
}

void UtskrStatForm::ScrollButtons() {
    const bool back = canScrollBack(screenRange_, cursor_);
    const bool forward = canScrollForward(screenRange_, cursor_);
    scrollButtons_[0]->setEnabled(back);
    scrollButtons_[1]->setEnabled(back);
    scrollButtons_[2]->setEnabled(forward);
    scrollButtons_[3]->setEnabled(forward);
}

void UtskrStatForm::scrollAsButton(ScrollStep step) {
    static constexpr ScrollStep order[4] = {ScrollStep::Back1, ScrollStep::Back15, ScrollStep::Forward1,
                                            ScrollStep::Forward15};
    for (int i = 0; i < 4; ++i)
        if (order[i] == step && scrollButtons_[i]->isEnabled() && scrollButtons_[i]->isVisible())
            scroll(step);
}

void UtskrStatForm::scroll(ScrollStep step) {
    if (!shown_)
        return;
    cursor_ = scrolled(screenRange_, cursor_, step);
    ScPr(*shown_);
}

void UtskrStatForm::Avbryt_Skarmutskr() {
    screenOption_->setAutoExclusive(false);
    screenOption_->setChecked(false);
    screenOption_->setAutoExclusive(true);
    printButton_->setEnabled(false);
    hideReport();
    untickChecks();
    statMode_ = false;
    resetStatisticsEntry(true);
    setMode(QStringLiteral("kto"), QStringLiteral("Avbryt Konto"));
    cancelButton_->setFocus();
}

} // namespace stats
