#pragma once

#include "app/DateSelector.h"
#include "app/HeadForm.h"
#include "ledger/ui/LedgerHost.h"

#include <QLabel>
#include <QPushButton>

namespace app {

// What the ledger frames may see and do of the main window. What the catalogue windows see as
// well is taken from their access, so each has one path.
class HeadForm::LedgerAccess : public ledger::LedgerHost {
public:
    explicit LedgerAccess(HeadForm& head) : h_(head) {}

    support::Context& context() override { return shared().context(); }
    QWidget* hostWindow() override { return shared().hostWindow(); }
    catalogue::CatalogueHost& catalogueHost() override { return shared(); }

    bool accountOpen() const override { return h_.kontoData_ && h_.transakt_; }
    store::RecordFile& transakt() override { return shared().transakt(); }
    store::RecordFile& kontoData() override { return shared().kontoData(); }
    store::RecordFile* budgetMall() override { return shared().budgetMall(); }
    budget::BudgetTemplate* budgetTemplate() override { return h_.template_.get(); }
    void budgetMallChanged() override { shared().budgetMallChanged(); }
    QString accountName() const override { return h_.accountName_; }
    std::string accountNameBytes() const override { return shared().accountNameBytes(); }
    int postCount() const override { return shared().postCount(); }
    void setPostCount(int n) override { shared().setPostCount(n); }
    int recountStart() const override { return h_.currentPost_; }
    void setRecountStart(int post) override { shared().setRecountStart(post); }
    int firstShownPost() const override { return h_.scroll_.value; }
    QString workingDate() const override { return shared().workingDate(); }
    void setWorkingDate(const QString& date) override { h_.dateSelector_->datumset(date); }

    int markedPost() const override { return h_.markedPost_; }
    void setMarkedPost(int post) override { h_.markedPost_ = post; }
    int markedRow() const override { return h_.markedRow_; }
    void setMarkedRow(int row) override { h_.markedRow_ = row; }
    QString markedAmount() const override { return h_.markedAmount_; }
    void setMarkedAmount(const QString& amount) override { h_.markedAmount_ = amount; }
    QString markedActual() const override { return h_.markedActual_; }
    void setMarkedActual(const QString& amount) override { h_.markedActual_ = amount; }
    catalogue::TransactionChoice chosenMain() const override { return shared().chosenMain(); }
    void setChosenMain(const catalogue::TransactionChoice& c) override { shared().setChosenMain(c); }
    catalogue::TransactionChoice chosenSub() const override { return shared().chosenSub(); }
    void setChosenSub(const catalogue::TransactionChoice& c) override { shared().setChosenSub(c); }
    bool typing() const override { return h_.typing_; }
    void setTyping(bool on) override { h_.typing_ = on; }
    bool balanceMode() const override { return h_.balanceMode_; }
    void setBalanceMode(bool on) override { h_.balanceMode_ = on; }
    bool moveMode() const override { return h_.moveMode_; }
    void setMoveMode(bool on) override { h_.moveMode_ = on; }
    QString actionMode() const override { return h_.actionMode_; }
    void setActionMode(const QString& mode) override { h_.actionMode_ = mode; }

    QPushButton* confirmButton() override { return h_.confirmButton_; }
    QPushButton* actionButton() override { return h_.actionButton_; }
    QPushButton* cancelButton() override { return h_.cancelButton_; }
    void setPictureEnabled(bool on) override { h_.logo_->setEnabled(on); }
    void setHelp(const QString& title, const QString& line) override { h_.setHelp(title, line); }
    void setHelpTitle(const QString& title) override { h_.helpTitle_->setText(title); }
    void setHelpLine(const QString& line) override { h_.helpLine_->setText(line); }
    QString procedureCode() const override { return h_.procedureCode(); }
    void setProcedureCode(const QString& code) override { h_.setProcedureCode(code); }
    void armReset() override { h_.armReset(); }
    void pressCancel() override { h_.cancel(); }
    void Lock_menues() override { h_.Lock_menues(); }
    void Unlock_menues() override { h_.Unlock_menues(); }
    void Lock_Konto() override { h_.Lock_Konto(); }
    void Unlock_Konto() override { h_.Unlock_Konto(); }
    void Lock_trans() override { h_.Lock_trans(); }
    void Rensa_Mark(ledger::LedgerFrame* frame) override { h_.Rensa_Mark(frame); }
    void closeFundHint() override { h_.closeFundHint(); }
    void openTransForm(const QString& mode) override { h_.openTransForm(mode); }
    void openSubTransForm(const QString& mode) override { h_.openSubTransForm(mode); }
    bool Reducera_Konto() override { return h_.Reducera_Konto(); }

    void ScrollSet_Enkel() override { h_.ScrollSet_Enkel(); }
    void ScrollSet_Budget() override { h_.ScrollSet_Budget(); }
    void Inläs_G1() override { h_.Inläs_G1(); }
    void Inläs_G2() override { h_.Inläs_G2(); }
    void OmLista_Enkel() override { h_.OmLista_Enkel(); }
    void OmLista_Budget() override { h_.OmLista_Budget(); }

private:
    catalogue::CatalogueHost& shared() const { return h_.catalogueAccess(); }

    HeadForm& h_;
};

} // namespace app
