#pragma once

#include "ledger/LedgerView.h"
#ifndef Q_MOC_RUN // these headers are beyond the meta-object compiler
#include "ledger/BudgetLedger.h"
#include "ledger/ui/CheckAhead.h"
#endif
#include "ledger/ui/LedgerFrame.h"
#include "store/Amount.h"
#include "store/Records.h"

namespace ledger {

// "Budgetbokföring": grid budgetGrid with budgetScroll, the amount boxes BudgBel_Budget and VerklBel_Budget
// and the budget transaction controls.
class BudgetFrame : public LedgerFrame {
    Q_OBJECT
public:
    explicit BudgetFrame(QWidget* parent);

    QLineEdit* budgetAmountBox() const { return budgBox_; }
    QLineEdit* actualAmountBox() const { return verklBox_; }

    // OmLista_Budget: the view into budgetGrid. Unconfirmed posts show their five amounts in blue,
    // confirmed ones red when negative, else black. With a marked row the backgrounds show it.
    void OmLista_Budget(const std::vector<BudgetRow>& view, int markedRow);

    void attach(LedgerHost* host) override;
    void resetEntry() override;
    void restoreMarkedEntry() override;

    // --- Transaction choice
    void Ladda_H_Trans_Budg();
    void Ladda_S_Trans_Budg();
    void H_TransOptionBudg_MouseDown();
    void S_TransOptionBudg_MouseDown();
    void TransCombo_Budget_DropDown();
    void TransCombo_Budget_Click();

    // --- Entering, confirming, checking and changing posts
    void amountKeyDown(QLineEdit* box);
    void amountEnter(QLineEdit* box);
    void Inpost_Budget();
    void confirmPost();
    void Saldokontroll_Budget();
    void Recount_Budget();
    void UtPost_Budget();
    void ChgPost_Budget();
    void PostMover_Budget();
    // The pending amount texts as they will be stored ("-" in front for an expense).
    const QString& pendingBudgeted() const { return budgeted_; }
    const QString& pendingActual() const { return actual_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void amountBoxHelp(QLineEdit* box);
    // "-" for a non-zero amount of an expense transaction.
    QString signFor(store::Amount amount) const;
    // The pending amounts take the sign of a newly chosen transaction.
    void resignPendingAmounts();
    void markPost(int row) override;
    void toggleTick(int post) override;
    void refillView() override;
    std::vector<QLineEdit*> amountBoxes() const override { return {budgBox_, verklBox_}; }
    bool amountPending() const override { return !budgeted_.isEmpty() || !actual_.isEmpty(); }
    void mainChosenForEntry() override;
    store::Field subTransField() const override { return store::PostRec_Budget::SubTransNr; }
    QString markedAmountsText() const override;
    PostResult removeInBook(int post) override;
    PostResult moveInBook(int first, int last, const std::string& date) override;
    std::vector<QWidget*> moveLockedControls() const override;
    // "Flytta" in an account of one post: it takes the working date at once.
    void redateOnlyPost();
    // The values of a new post's error report, read at the insertion point.
    QStringList newPostValues(int position) const;
    // BStatus of a post, empty when it cannot be read.
    QString statusOf(int post) const;
    void checkBalances();
    // The error report of the balance check and the recount, with the values of the pass.
    support::ErrorDescription balanceError(const QString& heading, const QStringList& description) const;
    // Writes the post file and the template together.
    void dropDownTransactions() override { TransCombo_Budget_DropDown(); }
    void optionPressed(bool mainList) override {
        mainList ? H_TransOptionBudg_MouseDown() : S_TransOptionBudg_MouseDown();
    }
    void saveFiles() override;
    void dropChanges() override;
    void balanceCheck() override;
    void startBalanceCheck(int postCount, int from) override;
    // The check from post `from` of the account with `postCount` posts, to run on any thread.
    CheckAhead<BudgetBalanceFault>::Check checkOf(int postCount, int from);
    void showView() override;

    QLineEdit* budgBox_;
    QLineEdit* verklBox_;
    QString budgeted_;
    QString actual_;
    CheckAhead<BudgetBalanceFault> checkAhead_;
};

} // namespace ledger
