// The planning window's month rows: days and amounts by hand or from the template, the scan of the
// rows, and the posting of the months into the account.

#include "budget/PeriodPosting.h"
#include "budget/TemplateEdits.h"
#include "budget/ui/BudgAltForm.h"
#include "budget/ui/BudgAltTexts.h"
#include "catalogue/ui/CatalogueHost.h"
#include "ledger/ui/LedgerFrame.h"
#include "store/Amount.h"
#include "store/DateText.h"
#include "store/History.h"
#include "support/ui/Context.h"
#include "support/ui/Trap.h"

#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>

#include <algorithm>
#include <iterator>

namespace budget {

using namespace alttext;

namespace {

QString monthText(int month) {
    const std::string_view name = monthName(month);
    return QString::fromUtf8(name.data(), static_cast<int>(name.size()));
}

} // namespace

void BudgAltForm::setBox(int month, const QString& text, const QColor& background, bool enabled) {
    QLineEdit* box = amountBoxes_[static_cast<std::size_t>(month - 1)];
    box->setText(text);
    QPalette p = box->palette();
    p.setColor(QPalette::Base, background);
    box->setPalette(p);
    box->setEnabled(enabled);
}

void BudgAltForm::Rensa() {
    for (int m = 0; m < 12; ++m) {
        dayLabels_[m]->clear();
        amountBoxes_[m]->clear();
        amountBoxes_[m]->setToolTip(QStringLiteral("Sätt budgetbelopp"));
    }
    scanned_.clear();
}

MonthRows BudgAltForm::currentRows() const {
    MonthRows rows;
    for (std::size_t m = 0; m < 12; ++m) {
        rows[m].day = dayLabels_[m]->text().toStdString();
        rows[m].amount = amountBoxes_[m]->text().toStdString();
    }
    return rows;
}

void BudgAltForm::Fyll_Månader() {
    RedDaySet red;
    if (redDays_)
        red = redDaySet(*redDays_);
    const MonthRows rows = fillFromTemplate(mall(), chosenNr_, period_, red);
    bool any = false;
    for (int m = 1; m <= 12; ++m) {
        const MonthRow& row = rows[static_cast<std::size_t>(m - 1)];
        if (row.day.empty())
            continue;
        any = true;
        dayLabels_[m - 1]->setText(QString::fromStdString(row.day));
        setBox(m, QString::fromStdString(row.amount), Accepted, true);
        amountBoxes_[m - 1]->setToolTip(QStringLiteral("Justera beloppet"));
    }
    if (!any) {
        // Nothing of this period in the template: the days are set by hand.
        InfoBox(9);
        return;
    }
    if (!BudgScanna())
        return;
    budgetButton_->setEnabled(true);
    clearButton_->setEnabled(true);
    InfoBox(8);
    budgetButton_->setFocus();
}

bool BudgAltForm::BudgScanna() {
    bool done = false;
    support::trapped(
        host_.context(), this,
        [&] {
            scanned_.clear();
            for (;;) {
                const ScanResult result = scanRows(currentRows(), chosenSign_);
                if (result.missingAmount == 0) {
                    scanned_ = result.months;
                    break;
                }
                const int m = result.missingAmount;
                amountBoxes_[m - 1]->setEnabled(true);
                amountBoxes_[m - 1]->setFocus();
                if (!host_.context().dialogs.question(this, MissingTitle, missingAmount(monthText(m))))
                    return;
                // The day goes; the months after it are read on the next round.
                dayLabels_[m - 1]->clear();
                setBox(m, QString(), Cancelled, false);
            }
            for (const ScannedMonth& s : scanned_) {
                QLineEdit* box = amountBoxes_[static_cast<std::size_t>(s.month - 1)];
                QPalette p = box->palette();
                p.setColor(QPalette::Base, Accepted);
                box->setPalette(p);
            }
            InfoBox(17);
            clearButton_->setEnabled(true);
            budgetButton_->setEnabled(!scanned_.empty());
            budgetButton_->setFocus();
            done = true;
        },
        [] {
            return support::describeFailure(QStringLiteral("BudgScanna (Scannar datafälten)"),
                                            QStringLiteral(" vid avläsning av datum- och beloppsfälten."));
        });
    return done;
}

void BudgAltForm::dayLabel_Click(int month) {
    if (month < 1 || month > 12 || !budgeting_ || !dayLabels_[month - 1]->isEnabled())
        return;
    support::trapped(
        host_.context(), this,
        [&] {
            QStringList days;
            const int count = store::daysInMonth(period_.year, month);
            for (int d = 1; d <= count; ++d)
                days << QString::fromStdString(store::twoDigits(d));
            const bool hadDay = !dayLabels_[month - 1]->text().isEmpty();
            showChoiceList(dayList_, dayLabels_[month - 1], days, Opener::Day, month);
            cancelDayButton_->setEnabled(true);
            InfoBox(hadDay ? 12 : 11);
        },
        [] {
            return ErrorDescriptionFor(
                QStringLiteral("Datumval (Vald månadssiffra)"), QStringLiteral(" vid försök att ändra månad"),
                QStringLiteral("Fel i rutinen Datumval vid försök ändra månadssiffra."));
        });
}

void BudgAltForm::chooseDay(int row) {
    const int month = openerMonth_;
    if (row < 0 || opener_ != Opener::Day || month < 1)
        return;
    QListWidgetItem* item = dayList_->item(row);
    if (!item)
        return;
    const bool hadDay = !dayLabels_[month - 1]->text().isEmpty();
    dayLabels_[month - 1]->setText(item->text());
    hideChoiceLists();
    QLineEdit* box = amountBoxes_[month - 1];
    if (box->text().trimmed().isEmpty()) {
        if (defaultAmount_.isEmpty())
            box->setEnabled(true);
        else
            setBox(month, defaultAmount_, Defaulted, true);
    }
    InfoBox(hadDay ? 16 : 13);
    BudgScanna();
}

void BudgAltForm::cancelDay() {
    const int month = openerMonth_;
    if (opener_ != Opener::Day || month < 1)
        return;
    support::trapped(
        host_.context(), this,
        [&] {
            hideChoiceLists();
            dayLabels_[month - 1]->clear();
            setBox(month, amountBoxes_[month - 1]->text(), Cancelled, false);
        },
        [] {
            return support::describeFailure(QStringLiteral("Command5 (Avbryt datum)"),
                                            QStringLiteral(" vid försök att avbryta datuminställning"));
        });
}

void BudgAltForm::clearMonths() {
    if (!host_.context().dialogs.question(this, ClearTitle, ClearQuestion))
        return;
    Rensa();
    budgetButton_->setEnabled(false);
}

void BudgAltForm::amount_Enter(int month) {
    if (month < 1 || month > 12 || !budgeting_)
        return;
    QLineEdit* box = amountBoxes_[static_cast<std::size_t>(month - 1)];
    const std::string cleaned = store::cleanTypedAmount(box->text().toStdString());
    const auto value = store::Amount::parse(cleaned);
    if (value) {
        const QString shown = QString::fromStdString(
            store::formatPattern(store::Amount::whole(value->roundedWholeHalfEven()), "### ### ##0"));
        if (defaultAmount_.isEmpty())
            defaultAmount_ = shown;
        box->setText(shown);
        box->setToolTip(QStringLiteral("Beloppet kan justeras"));
    } else {
        // Not an amount: the scan asks for one.
        box->clear();
    }
    BudgScanna();
}

void BudgAltForm::dropPostedRows(int posted) {
    for (int i = 0; i < posted && i < static_cast<int>(scanned_.size()); ++i) {
        const int m = scanned_[static_cast<std::size_t>(i)].month;
        dayLabels_[m - 1]->clear();
        setBox(m, QString(), Cancelled, false);
    }
    scanned_.erase(scanned_.begin(),
                   scanned_.begin() + std::min<std::ptrdiff_t>(posted, std::ssize(scanned_)));
}

void BudgAltForm::postBudget() {
    if (!budgeting_ || chosenNr_ <= 0)
        return;
    // What is on screen is what gets posted: the rows are read once more.
    if (!BudgScanna() || scanned_.empty())
        return;
    support::Context& ctx = host_.context();
    const std::vector<ScannedMonth> months = scanned_;
    int posted = 0;
    int checkFrom = 0;
    PeriodPosting result;
    const bool ran = support::trapped(
        ctx, this,
        [&] {
            store::describeChange("budgetering av period");
            result = postPeriod(host_.kontoData(), host_.postCount(), ctx.today, period_.year, chosenNr_,
                                months, [&](const PeriodPosting& step) {
                                    checkFrom = step.recountStart;
                                    host_.kontoData().commit();
                                    posted = step.posted;
                                    host_.setPostCount(step.postCount);
                                    host_.balanceCheck(step.recountStart);
                                    host_.reloadLedgerView();
                                });
        },
        [&] {
            const std::size_t at = std::min(static_cast<std::size_t>(posted), months.size() - 1);
            return ErrorDescriptionFor(
                QStringLiteral("Command2 (Budgetera...)"),
                QStringLiteral(" vid budgeteringsförsök av transaktionen"),
                QStringLiteral(
                    "Fel i rutinen Command2 (Budgetera...) operationer i huvudformulär / avslut.(Nivå 5)"),
                {QStringLiteral("PostNr för saldokontroll:  ") + QString::number(checkFrom),
                 QStringLiteral("Loop-punkt i MonthList:  ") + QString::number(months[at].month),
                 QStringLiteral("Aktuellt belopp: = ") + QString::fromStdString(months[at].amountText)});
        });
    if (!ran) {
        // The months committed so far stand; the image goes back to what is on disk.
        try {
            host_.kontoData().reload();
        } catch (...) {
            // Unreadable as well: the disk still holds the last committed month.
        }
        host_.reloadLedgerView();
        dropPostedRows(posted);
        return;
    }
    if (result.outcome != ledger::Outcome::Done) {
        const bool later = months.back().month > result.refusedMonth;
        const bool limit = result.outcome == ledger::Outcome::AmountLimit;
        ctx.dialogs.message(
            this, limit ? QStringLiteral("Överskriden max-nivå") : QStringLiteral("Beloppet ryms inte"),
            (limit ? ledger::LedgerFrame::amountLimitText() : ledger::LedgerFrame::doesNotFitText()) +
                notBudgeted(monthText(result.refusedMonth), later));
        dropPostedRows(posted);
        return;
    }
    backToChoosing();
    InfoBox(7);
}

} // namespace budget
