#pragma once

#include "ledger/LedgerView.h"
#ifndef Q_MOC_RUN // these headers are beyond the meta-object compiler
#include "ledger/Cashbook.h"
#include "ledger/ui/CheckAhead.h"
#endif
#include "ledger/ui/LedgerFrame.h"
#include "store/Amount.h"
#include "store/Records.h"
namespace ledger {

// "Kassabokföring": grid cashGrid with cashScroll, the amount box Bel_Enkel and the cash-book
// transaction controls.
class CashFrame : public LedgerFrame {
    Q_OBJECT
public:
    explicit CashFrame(QWidget* parent);

    QLineEdit* amountBox() const { return amountBox_; }
    QLabel* saldoTitle() const { return columnTitle(QStringLiteral("cashSaldoTitle")); }
    QLabel* amountTitle() const { return columnTitle(QStringLiteral("cashAmountTitle")); }

    // OmLista_Enkel: the view into cashGrid; red for negative amounts and balances. With a marked row
    // (0-9) the backgrounds show it; with none (-1) they are left as they are.
    void OmLista_Enkel(const std::vector<CashRow>& view, int markedRow);
    // Green when the account has a neutral standard transaction ready for balance entry, else yellow.
    void showStandardTransactionReady(bool ready);

    // Connects the frame's controls to its procedures on the main window's open account.
    void attach(LedgerHost* host) override;

    // --- Transaction choice
    void Ladda_H_Trans_Enkel();
    void Ladda_S_Trans_Enkel();
    void H_TransOptionEnk_MouseDown();
    void S_TransOptionEnk_MouseDown();
    void TransCombo_Enkel_DropDown();
    void TransCombo_Enkel_Click();

    // --- Entering, checking and changing posts
    void Bel_Enkel_KeyDown();
    void Bel_Enkel_Enter();
    void Inpost_Enkel();
    // A click on the "Saldo" heading: the account's standard transaction is found or made, and
    // the next amount typed is the account's new balance.
    void Skapa_StdTrans();
    // Balance-entry mode on: the next amount typed is the account's new balance.
    void startBalanceEntry();
    const QString& newBalanceText() const { return newBalanceText_; }
    void SaldoKontroll_Enkel();
    void ReCount_Enkel();
    void UtPost_Enkel();
    void ChgPost_Enkel();
    void PostMover_Enkel();
    // The typed amount as stored: the cleaned digits with "-" in front for an expense.
    const QString& amountText() const { return amountText_; }
    // Forgets a typed amount and a move in progress (the frame back to idle).
    void resetEntry() override;
    void restoreMarkedEntry() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void amountBoxHelp();
    // An amount taken from the box: signed by the chosen transaction and offered for insertion.
    void takeAmount(store::Amount amount);
    void markPost(int row) override;
    void toggleTick(int post) override;
    void refillView() override;
    std::vector<QLineEdit*> amountBoxes() const override { return {amountBox_}; }
    bool amountPending() const override { return !amountText_.isEmpty(); }
    void mainChosenForEntry() override;
    store::Field subTransField() const override { return store::PostRec_Enkel::SubTransNr; }
    QString markedAmountsText() const override;
    PostResult removeInBook(int post) override;
    PostResult moveInBook(int first, int last, const std::string& date) override;
    std::vector<QWidget*> moveLockedControls() const override;
    void dropDownTransactions() override { TransCombo_Enkel_DropDown(); }
    void optionPressed(bool mainList) override {
        mainList ? H_TransOptionEnk_MouseDown() : S_TransOptionEnk_MouseDown();
    }
    void saveFiles() override;
    void dropChanges() override;
    void balanceCheck() override;
    void startBalanceCheck(int postCount, int from) override;
    // The check from post `from` of the account with `postCount` posts, to run on any thread.
    CheckAhead<CashBalanceFault>::Check checkOf(int postCount, int from);
    void showView() override;

    // Inpost_Enkel in balance-entry mode: the amount from the new balance; false when nothing
    // may be written (a sign against the transaction's).
    bool amountFromNewBalance(const QString& date, store::Amount& amount);

    QLineEdit* amountBox_;
    QString amountText_;
    QString newBalanceText_;
    CheckAhead<CashBalanceFault> checkAhead_;
};

} // namespace ledger
