// One procedure at a time: locking the controls around it, and the cancel button that undoes it.

#include "app/HeadForm.h"

#include "app/DateSelector.h"
#include "ledger/ui/BudgetFrame.h"
#include "ledger/ui/CashFrame.h"
#include "support/ui/Trap.h"

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QTableWidget>

namespace app {

namespace {

// The tooltip of the cancel button for each procedure code.
QString cancelTooltip(const QString& code) {
    static const std::map<QString, QString> tips = {
        {QStringLiteral("cbonomark"), QStringLiteral("Avbryt val av transaktion / nytt belopp")},
        {QStringLiteral("mkg1"), QStringLiteral("Avbryt markering av kontopost (enkel bokf.)")},
        {QStringLiteral("mkg2"), QStringLiteral("Avbryt markering av kontopost (budgetbokf.)")},
        {QStringLiteral("chg"), QStringLiteral("Ångra ändring av belopp")},
        {QStringLiteral("Fl"), QStringLiteral("Avbryt 'Flytta kontopost'")},
        {QStringLiteral("trbyt"), QStringLiteral("Avbryt byta transaktion i kontopost")},
        {QStringLiteral("trch"), QStringLiteral("Avbryt ändring av transaktion")},
        {QStringLiteral("trny"), QStringLiteral("Avbryt inläggning av ny generell transaktion")},
        {QStringLiteral("nysptr"), QStringLiteral("Avbryt inläggning av ny subtransaktion")},
        {QStringLiteral("budg"), QStringLiteral("Avbryt budgetering")},
        {QStringLiteral("Nyk"), QStringLiteral("Avbryt inläggning av nytt konto")},
        {QStringLiteral("nyk-1"), QStringLiteral("Avbryt skapa ett första konto")},
        {QStringLiteral("stat"), QStringLiteral("Avbryt statistikframtagning")},
        {QStringLiteral("utskr1"), QStringLiteral("Avbryt utskriftsrutiner")},
        {QStringLiteral("utskr2"), QStringLiteral("Avbryt all utskrift")},
    };
    if (code.isEmpty() || code == QLatin1String("subtrch") || code == QLatin1String("saldo"))
        return QStringLiteral("Nollställ (Avbryt) pågående procedur");
    const auto it = tips.find(code);
    return it != tips.end() ? it->second : QStringLiteral("Avbryt (Esc)");
}

} // namespace

void HeadForm::setProcedureCode(const QString& code) {
    procedureCode_ = code;
    cancelButton_->setToolTip(cancelTooltip(code));
    refreshUndoActions();
}

void HeadForm::Lock_menues() {
    arkMenu_->setEnabled(false);
    arkMenu_->menuAction()->setEnabled(false);
    buplAction_->setEnabled(false);
    utskrstatAction_->setEnabled(false);
    doneraAction_->setEnabled(false);
}

void HeadForm::Unlock_menues() {
    arkMenu_->setEnabled(true);
    arkMenu_->menuAction()->setEnabled(true);
    // Budget planning belongs to budget accounts only. The statistics window starts from the open
    // account, so it needs one.
    buplAction_->setEnabled(kontoData_.has_value() && kind_ == QLatin1String("Bg"));
    utskrstatAction_->setEnabled(kontoData_.has_value());
    doneraAction_->setEnabled(true);
}

void HeadForm::Lock_trans() {
    for (ledger::LedgerFrame* frame :
         {static_cast<ledger::LedgerFrame*>(cashFrame_), static_cast<ledger::LedgerFrame*>(budgetFrame_)}) {
        frame->transText()->setEnabled(false);
        frame->transCombo()->setEnabled(false);
        frame->mainOption()->setEnabled(false);
        frame->subOption()->setEnabled(false);
        frame->columnTitles().at(1)->setEnabled(false);
    }
}

void HeadForm::Unlock_trans() {
    for (ledger::LedgerFrame* frame :
         {static_cast<ledger::LedgerFrame*>(cashFrame_), static_cast<ledger::LedgerFrame*>(budgetFrame_)}) {
        frame->transText()->setEnabled(true);
        frame->transCombo()->setEnabled(true);
        frame->mainOption()->setEnabled(true);
        frame->subOption()->setEnabled(true);
        frame->columnTitles().at(1)->setEnabled(true);
    }
}

void HeadForm::Lock_Konto() {
    accountBox_->setEnabled(false);
    accountPicker_->setEnabled(false);
    accountTitle_->setEnabled(false);
}

void HeadForm::Unlock_Konto() {
    accountBox_->setEnabled(true);
    accountPicker_->setEnabled(true);
    accountTitle_->setEnabled(true);
}

void HeadForm::cancel() {
    if (!resetArmed_)
        return;
    resetArmed_ = false;
    resetProcedure();
}

void HeadForm::cancelPressed() {
    if (!procedureCode_.isEmpty()) {
        resetProcedure();
        return;
    }
    // Idle: back to the working date.
    if (kontoData_)
        Finder();
    AllReset();
}

void HeadForm::restoreEntryControls() {
    typing_ = false;
    Unlock_trans();
    Unlock_menues();
    Unlock_Konto();
    logo_->setEnabled(true);
    dateSelector_->setEnabled(true);
    if (ledger::LedgerFrame* frame = shownFrame()) {
        frame->transText()->setEnabled(true);
        frame->grid()->setEnabled(true);
        if (frame == cashFrame_)
            cashFrame_->amountBox()->setEnabled(true);
        else {
            budgetFrame_->budgetAmountBox()->setEnabled(true);
            budgetFrame_->actualAmountBox()->setEnabled(true);
        }
    }
    cancelButton_->setText(markedPost_ > 0 ? QStringLiteral("Avbryt markera") : QStringLiteral("Avbryt"));
    actionButton_->setEnabled(true);
    actionButton_->setText(QStringLiteral("Flytta"));
    actionMode_ = QStringLiteral("flt");
}

void HeadForm::forgetMarkAndChoice() {
    markedPost_ = 0;
    markedRow_ = -1;
    chosenMain_ = {};
    chosenSub_ = {};
    markedAmount_.clear();
    markedActual_.clear();
    typing_ = false;
}

void HeadForm::Rensa_Mark(ledger::LedgerFrame* frame) {
    forgetMarkAndChoice();
    if (frame) {
        frame->transCombo()->setEnabled(true);
        frame->transText()->clear();
        frame->transText()->setReadOnly(true);
        const auto resetBox = [](QLineEdit* box) {
            box->clear();
            box->setReadOnly(true);
            box->setEnabled(true);
        };
        if (frame == cashFrame_)
            resetBox(cashFrame_->amountBox());
        else {
            resetBox(budgetFrame_->budgetAmountBox());
            resetBox(budgetFrame_->actualAmountBox());
        }
        frame->setAllBackgrounds(ledger::UnmarkedBackground);
    }
    if (frame) {
        frame->grid()->setEnabled(true);
        frame->scrollBar()->setEnabled(scroll_.enabled);
        for (QLabel* title : frame->columnTitles())
            title->setEnabled(true);
    }
    if (frame)
        frame->resetEntry();
    moveMode_ = false;
    confirmButton_->setEnabled(false);
    actionButton_->setEnabled(true);
    actionButton_->setText(QStringLiteral("Flytta"));
    actionMode_ = QStringLiteral("flt");
    cancelButton_->setText(QStringLiteral("Avbryt"));
    setProcedureCode(QString());
    Unlock_trans();
    Unlock_Konto();
    Unlock_menues();
    logo_->setEnabled(true);
    dateSelector_->setEnabled(true);
    dateSelector_->datumset(QString::fromStdString(ctx_.today));
}

void HeadForm::Rensa_Mark_G1() {
    Rensa_Mark(cashFrame_);
}

void HeadForm::Rensa_Mark_G2() {
    Rensa_Mark(budgetFrame_);
}

void HeadForm::resetProcedure() {
    support::trapped(
        ctx_, this,
        [&] {
            const QString code = procedureCode_;
            const bool cash = kind_ == QLatin1String("Ek");
            const QString markCode = cash ? QStringLiteral("mkg1") : QStringLiteral("mkg2");
            ledger::LedgerFrame* frame = shownFrame();
            const bool catalogueCode = code == QLatin1String("trch") || code == QLatin1String("subtrch") ||
                                       code == QLatin1String("trny") || code == QLatin1String("nysptr");
            if (catalogueCode && markedPost_ > 0) {
                // The catalogue may have changed under the marked post: back to its marking code,
                // and the second reset ends the marking, so every lock it set comes off again.
                setProcedureCode(markCode);
                Rensa_Mark(frame);
                helpLine_->clear();
            } else if (code == QLatin1String("cbonomark") || code == QLatin1String("trch") ||
                       code == QLatin1String("trny")) {
                // The transaction box is emptied by these procedures: nothing stays chosen unseen.
                Unlock_Konto();
                Unlock_menues();
                logo_->setEnabled(true);
                if (frame) {
                    frame->grid()->setEnabled(true);
                    frame->transCombo()->setEnabled(true);
                    frame->transCombo()->setCurrentIndex(-1);
                    frame->transText()->clear();
                    if (frame->subOption()->isChecked()) {
                        frame->mainOption()->setChecked(true);
                        frame->loadTransactionList(catalogue::mainTransactions(*transakt_),
                                                   frame->transCombo()->toolTip());
                    }
                }
                for (QLineEdit* box : {cashFrame_->amountBox(), budgetFrame_->budgetAmountBox(),
                                       budgetFrame_->actualAmountBox()}) {
                    box->clear();
                    box->setReadOnly(true);
                }
                chosenMain_ = {};
                chosenSub_ = {};
                typing_ = false;
                if (frame)
                    frame->resetEntry();
                actionButton_->setEnabled(true);
                actionButton_->setText(QStringLiteral("Flytta"));
                actionMode_ = QStringLiteral("flt");
                helpLine_->clear();
                if (code == QLatin1String("cbonomark"))
                    dateSelector_->datumset(QString::fromStdString(ctx_.today));
                cancelButton_->setText(QStringLiteral("Avbryt"));
                setProcedureCode(QString());
            } else if (code == QLatin1String("mkg1") || code == QLatin1String("mkg2")) {
                Rensa_Mark(code == QLatin1String("mkg1") ? static_cast<ledger::LedgerFrame*>(cashFrame_)
                                                         : static_cast<ledger::LedgerFrame*>(budgetFrame_));
                helpLine_->clear();
                setProcedureCode(QString());
            } else if (code == QLatin1String("chg")) {
                if (frame)
                    frame->restoreMarkedEntry();
                typing_ = false;
                if (frame)
                    frame->scrollBar()->setEnabled(scroll_.enabled);
                actionButton_->setEnabled(true);
                actionButton_->setText(QStringLiteral("Ta bort"));
                actionMode_ = QStringLiteral("rem");
                cancelButton_->setText(QStringLiteral("Avbryt mark."));
                setProcedureCode(markCode);
            } else if (code == QLatin1String("Fl")) {
                Rensa_Mark(frame);
                helpTitle_->clear();
                helpLine_->clear();
            } else if (code == QLatin1String("trbyt")) {
                // Back to the marked post exactly as the marking left it.
                if (frame) {
                    frame->transText()->setEnabled(true);
                    frame->transLabel()->setText(QStringLiteral("Transaktion"));
                    frame->remark();
                }
            } else if (code == QLatin1String("subtrch")) {
                cancelButton_->setText(QStringLiteral("Avbryt"));
                setProcedureCode(QString());
                restoreEntryControls();
            } else if (code == QLatin1String("nysptr")) {
                restoreEntryControls();
                setProcedureCode(QString());
            } else if (code == QLatin1String("saldo")) {
                balanceMode_ = false;
                if (frame) {
                    frame->transCombo()->setEnabled(true);
                    frame->transText()->clear();
                }
                cashFrame_->amountBox()->clear();
                chosenMain_ = {};
                cashFrame_->amountTitle()->setText(QStringLiteral("Belopp"));
                cancelButton_->setText(QStringLiteral("Avbryt"));
                setProcedureCode(QString());
                actionButton_->setText(QStringLiteral("Flytta"));
                actionMode_ = QStringLiteral("flt");
            } else if (code == QLatin1String("budg")) {
                cancelButton_->setText(QStringLiteral("Avbryt"));
                setProcedureCode(QString());
            }
            // Empty and other windows' codes: nothing to undo here.
        },
        [&] {
            return support::ErrorDescription{
                QStringLiteral("Ett fel har uppstått i subrutinen Command3_Click [Avbryt...]\r\n"
                               " vid återställning av pågående procedur.\r\n\r\n"),
                {QStringLiteral("Fel i rutinen Command3_Click"),
                 QStringLiteral("Procedurkod = ") + procedureCode_,
                 QStringLiteral("Felet uppstod i konto ") + accountName_}};
        });
}

} // namespace app
