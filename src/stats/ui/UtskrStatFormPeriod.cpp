// Choosing the account, the period and the kind of report.

#include "stats/ui/UtskrStatForm.h"
#include "stats/ui/UtskrStatFormParts.h"

#include "accounts/Register.h"
#include "stats/TextReport.h"
#include "store/Cp1252.h"
#include "store/Errors.h"
#include "store/Records.h"
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

void UtskrStatForm::Inläs_Konton() {
    support::trapped(
        ctx_, this,
        [this] {
            accountPicker_->clear();
            const store::RecordFile kontoFil(ctx_.paths.kontoFil(), store::KontoRec::Length,
                                             store::RecordFile::Missing::Fail);
            for (const accounts::RegisterEntry& entry : accounts::listAccounts(kontoFil))
                accountPicker_->addItem(q(entry.name), entry.recordNumber);
            accountPicker_->setCurrentIndex(-1);
        },
        [] {
            return diagnosed(QStringLiteral("Inläs_Konton (UtskriftsForm)."), QString(),
                             QStringLiteral("Fel i rutinen Inläs_Konton (UtskriftsForm)"), {});
        });
}

bool UtskrStatForm::openAccount(const QString& name, const QString& kind, int kontoNum,
                                const QString& routine, const QString& situation) {
    // Everything is read before anything of the window changes: an account whose files cannot be
    // read leaves the window with the account it had.
    std::optional<AccountFiles> files;
    std::optional<PeriodSelection> period;
    std::optional<ledger::Kind> k;
    std::string raw;
    const bool ok = support::trapped(
        ctx_, this,
        [&] {
            k = ledger::kindFromCode(kind.toStdString());
            if (!k)
                throw store::DataError("Okänd kontotyp '" + kind.toStdString() + "'");
            const std::optional<std::string> cp = store::utf8ToCp1252(name.toStdString());
            if (!cp)
                throw store::DataError("Kontonamnet kan inte skrivas i filernas teckenuppsättning");
            raw = *cp;
            files.emplace(openAccountFiles(ctx_.paths, raw, *k));
            period.emplace(files->kontoData);
        },
        [&] {
            return support::describeFailure(routine, situation,
                                            {QStringLiteral("Konto: ") + name,
                                             QStringLiteral("Kontotyp: ") + kind,
                                             QStringLiteral("KontoNum: ") + QString::number(kontoNum)});
        });
    if (!ok)
        return false;
    name_ = name;
    nameRaw_ = raw;
    kind_ = k;
    kontoNum_ = kontoNum;
    files_ = std::move(files);
    period_ = std::move(period);
    accountBox_->setText(name_);
    // The kind, as the main window names its ledgers.
    accountBox_->setToolTip(isBudget() ? QStringLiteral("Budgetbokföring")
                                       : QStringLiteral("Kassabokföring"));
    InitDatum();
    accountLabel_->setEnabled(true);
    accountPicker_->setEnabled(true);
    accountBox_->setEnabled(true);
    untickChecks();
    subTransactionBox_->setEnabled(true);
    budgetBox_->setEnabled(isBudget());
    setOutputsEnabled(true);
    clearOptions();
    printButton_->setEnabled(false);
    statMode_ = false;
    statTrans_ = 0;
    statName_.clear();
    resetStatisticsEntry(true);
    outputLabel_->setText(text::AccountMode);
    transactionList_->hide();
    hideReport();
    cancelButton_->show();
    cancelButton_->setEnabled(true);
    setMode(QStringLiteral("kto"), QStringLiteral("Avbryt Konto"));
    return true;
}

void UtskrStatForm::InitDatum() {
    yearPicker_->clear();
    for (const std::string& y : period_->years())
        yearPicker_->addItem(q(y));
    showPeriod();
}

void UtskrStatForm::showPeriod() {
    const PeriodParts& p = period_->parts();
    const std::string* parts[6] = {&p.startYear, &p.startMonth, &p.startDay,
                                   &p.endYear,   &p.endMonth,   &p.endDay};
    for (int i = 0; i < 6; ++i)
        dateLabels_[i]->setText(q(*parts[i]));
    coverageLabel_->setText(period_->hasPosts() ? q(period_->coverage()) : QString());
}

void UtskrStatForm::chooseAccount(int index) {
    if (index < 0)
        return;
    const int previous = accountPicker_->findData(kontoNum_);
    const int number = accountPicker_->itemData(index).toInt();
    const QString name = accountPicker_->itemText(index).trimmed();
    QString kind;
    const bool read = support::trapped(
        ctx_, this,
        [&] {
            const store::RecordFile kontoFil(ctx_.paths.kontoFil(), store::KontoRec::Length,
                                             store::RecordFile::Missing::Fail);
            kind = q(store::cp1252ToUtf8(kontoFil.read<store::KontoRec>(static_cast<std::size_t>(number))
                                             .text(store::KontoRec::KontoTyp)));
        },
        [&] {
            return support::describeFailure(QStringLiteral("Combo1_Click i UtskriftsForm"),
                                            QStringLiteral(" vid försök att välja konto"),
                                            {QStringLiteral("KontoNum: ") + QString::number(number)});
        });
    if (read && openAccount(name, kind, number, QStringLiteral("Combo1_Click i UtskriftsForm"),
                            QStringLiteral(" vid försök att välja konto")))
        return;
    // The previous account stays chosen (none when there was none).
    accountPicker_->setCurrentIndex(files_ ? previous : -1);
}

void UtskrStatForm::openDatePicker(DatePart part) {
    if (!period_ || !period_->hasPosts() || !dateLabels_[0]->isEnabled())
        return;
    hidePickers();
    pickTarget_ = part;
    const int i = static_cast<int>(part);
    const bool start = i < 3;
    QListWidget* picker = nullptr;
    switch (i % 3) {
    case 0:
        picker = yearPicker_;
        break;
    case 1:
        picker = monthPicker_;
        picker->clear();
        for (const std::string& m : monthList())
            picker->addItem(q(m));
        break;
    default: {
        picker = dayPicker_;
        picker->clear();
        const PeriodParts& p = period_->parts();
        for (const std::string& d :
             dayList(start ? p.startYear : p.endYear, start ? p.startMonth : p.endMonth))
            picker->addItem(q(d));
        break;
    }
    }
    picker->move(dateLabels_[i]->x(), dateLabels_[i]->y() + dateLabels_[i]->height() + 2);
    const QList<QListWidgetItem*> shown = picker->findItems(dateLabels_[i]->text(), Qt::MatchExactly);
    if (!shown.isEmpty())
        picker->setCurrentItem(shown.first());
    picker->show();
    picker->setFocus();
    picker->raise();
}

void UtskrStatForm::takePickedDate(QListWidget* picker, int row) {
    if (!period_ || row < 0 || row >= picker->count())
        return;
    PeriodParts p = period_->parts();
    std::string* parts[6] = {&p.startYear, &p.startMonth, &p.startDay, &p.endYear, &p.endMonth, &p.endDay};
    *parts[static_cast<int>(pickTarget_)] = picker->item(row)->text().toStdString();
    hidePickers();
    Datum_Jmf(p);
}

void UtskrStatForm::Datum_Jmf(const PeriodParts& wanted) {
    bool accepted = true;
    if (!support::trapped(
            ctx_, this, [&] { accepted = period_->change(files_->kontoData, wanted); },
            [&] {
                return support::describeFailure(QStringLiteral("Datum_Jmf i Utskriftsformulär"),
                                                QStringLiteral(" vid försök att sätta tidsperiod."),
                                                {QStringLiteral("Startdatum: ") + q(startKey(wanted)),
                                                 QStringLiteral("Slutdatum: ") + q(endKey(wanted))});
            }))
        return;
    showPeriod();
    if (!accepted) {
        ctx_.dialogs.message(this, q(PeriodRefusedTitle), q(PeriodRefusedText),
                             support::Dialogs::Icon::Exclamation);
        return;
    }
    // What is on screen follows the new period at once: the statistics, and (unlike the window's
    // first design, which kept a report until the next "Utskrift") the account report too.
    if (statMode_) {
        shown_.reset();
        Trans_Stat();
    } else if (shown_) {
        shown_.reset();
        ScreenPrint();
    }
}

void UtskrStatForm::reportBoxClicked(QCheckBox* box) {
    if (box == budgetBox_) {
        differenceBox_->setEnabled(budgetBox_->isChecked());
        if (!budgetBox_->isChecked())
            differenceBox_->setChecked(false);
    }
    clearOptions();
    printButton_->setEnabled(false);
    hideReport();
}

std::optional<ReportKind> UtskrStatForm::checkedKind() const {
    const std::optional<ReportKind> kind =
        kindFromChecks(subTransactionBox_->isChecked(), budgetBox_->isChecked(), differenceBox_->isChecked());
    if (kind && needsBudgetAccount(*kind) && !isBudget())
        return std::nullopt;
    return kind;
}

void UtskrStatForm::chooseOutput(QRadioButton* option) {
    if (!statMode_) {
        if (option == screenOption_) {
            setMode(QStringLiteral("sku"), QStringLiteral("Avbryt Skärmutskr."));
            // The statistics entry rests while a screen report is chosen.
            resetStatisticsEntry(false);
        } else if (option == textFileOption_) {
            setMode(QStringLiteral("fusk"), QStringLiteral("Avbryt Filutskr."));
        } else {
            setMode(QStringLiteral("prusk"), QStringLiteral("Avbryt Printerutskr."));
        }
    }
    printButton_->show();
    printButton_->setEnabled(true);
    printButton_->setFocus();
}

} // namespace stats
