#pragma once

#include "app/HeadForm.h"
#include "budget/ui/BudgAltForm.h"
#include "catalogue/ui/CatalogueHost.h"
#include "ledger/ui/BudgetFrame.h"
#include "ledger/ui/CashFrame.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

namespace app {

// What the catalogue windows may see and do of the main window.
class HeadForm::CatalogueAccess : public catalogue::CatalogueHost {
public:
    explicit CatalogueAccess(HeadForm& head) : h_(head) {}

    support::Context& context() override { return h_.ctx_; }
    QWidget* hostWindow() override { return &h_; }
    store::RecordFile& transakt() override { return *h_.transakt_; }
    store::RecordFile& kontoData() override { return *h_.kontoData_; }
    store::RecordFile* budgetMall() override { return h_.bMall_ ? &*h_.bMall_ : nullptr; }
    void budgetMallChanged() override {
        if (h_.bMall_)
            h_.template_ = std::make_unique<budget::BudgetTemplate>(*h_.bMall_);
    }
    std::string accountNameBytes() const override { return h_.accountNameBytes_; }
    QString accountKind() const override { return h_.kind_; }
    int postCount() const override { return h_.postCount_; }
    void setPostCount(int n) override { h_.postCount_ = n; }
    void setRecountStart(int post) override { h_.currentPost_ = post; }
    QString workingDate() const override { return h_.workingDate(); }
    QString listMode() const override {
        return frame() && frame()->mainOption()->isChecked() ? QStringLiteral("1") : QStringLiteral("0");
    }
    catalogue::TransactionChoice chosenMain() const override {
        return {h_.chosenMain_.name, h_.chosenMain_.number, h_.chosenMain_.sign};
    }
    void setChosenMain(const catalogue::TransactionChoice& c) override {
        h_.chosenMain_ = {c.name, c.number, c.sign};
    }
    catalogue::TransactionChoice chosenSub() const override {
        return {h_.chosenSub_.name, h_.chosenSub_.number, h_.chosenSub_.sign};
    }
    void setChosenSub(const catalogue::TransactionChoice& c) override {
        h_.chosenSub_ = {c.name, c.number, c.sign};
    }
    void reloadTransactionList() override {
        const bool main = listMode() == QLatin1String("1");
        if (h_.kind_ == QLatin1String("Ek"))
            main ? h_.cashFrame_->Ladda_H_Trans_Enkel() : h_.cashFrame_->Ladda_S_Trans_Enkel();
        else
            main ? h_.budgetFrame_->Ladda_H_Trans_Budg() : h_.budgetFrame_->Ladda_S_Trans_Budg();
    }
    void setTransactionBox(const QString& text) override {
        if (frame())
            frame()->transText()->setText(text);
    }
    void focusTransactionBox() override {
        if (frame())
            frame()->transText()->setFocus();
    }
    void unlockAmountBox() override {
        if (h_.kind_ == QLatin1String("Ek")) {
            h_.cashFrame_->amountBox()->setReadOnly(false);
            h_.cashFrame_->amountBox()->setFocus();
        } else {
            h_.budgetFrame_->budgetAmountBox()->setReadOnly(false);
            h_.budgetFrame_->actualAmountBox()->setReadOnly(false);
            h_.budgetFrame_->budgetAmountBox()->setFocus();
        }
    }
    void chooseMainTransaction(int number) override {
        ledger::LedgerFrame* f = frame();
        if (!f || !f->mainOption()->isChecked())
            return;
        f->transCombo()->setCurrentIndex(f->transCombo()->findData(number));
        if (h_.kind_ == QLatin1String("Ek"))
            h_.cashFrame_->TransCombo_Enkel_Click();
        else
            h_.budgetFrame_->TransCombo_Budget_Click();
    }
    void disableActionButton() override { h_.actionButton_->setEnabled(false); }
    void resetCancelButton() override {
        h_.cancelButton_->setText(QStringLiteral("Avbryt"));
        h_.setProcedureCode(QString());
    }
    void pressCancel(bool armReset) override {
        if (armReset)
            h_.armReset();
        h_.cancel();
    }
    void balanceCheck(int from) override {
        h_.currentPost_ = from;
        if (h_.kind_ == QLatin1String("Ek"))
            h_.cashFrame_->SaldoKontroll_Enkel();
        else
            h_.budgetFrame_->Saldokontroll_Budget();
    }
    void reloadLedgerView() override { h_.showViewAroundCurrentPost(); }
    void markSaldoHeading() override { h_.cashFrame_->showStandardTransactionReady(true); }
    void startBalanceEntry() override { h_.cashFrame_->startBalanceEntry(); }
    QWidget* budgAltWindow() override { return h_.budgAltForm_; }
    void budgAltConditions() override {
        if (auto* form = qobject_cast<budget::BudgAltForm*>(h_.budgAltForm_.data()))
            form->Conditions();
    }
    bool Reducera_Konto() override {
        if (ledger::LedgerFrame* f = frame()) {
            f->clearGrid();
            f->showAccount(QString(), QString());
        }
        return h_.Reducera_Konto();
    }

private:
    ledger::LedgerFrame* frame() const { return h_.shownFrame(); }

    HeadForm& h_;
};

} // namespace app
