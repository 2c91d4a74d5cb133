#pragma once

#include "ledger/LedgerView.h"
#include "ledger/ui/LedgerFrame.h"

namespace ledger {

// "Budgetbokföring": grid G2 with VScroll2, the amount boxes BudgBel_Budget and VerklBel_Budget
// and the budget transaction controls.
class BudgetFrame : public LedgerFrame {
    Q_OBJECT
public:
    explicit BudgetFrame(QWidget* parent);

    QLineEdit* budgetAmountBox() const { return budgBox_; }
    QLineEdit* actualAmountBox() const { return verklBox_; }

    // OmLista_Budget: the view into G2. Unconfirmed posts show their five amounts in blue,
    // confirmed ones red when negative, else black. With a marked row the backgrounds show it.
    void OmLista_Budget(const std::vector<BudgetRow>& view, int markedRow);

private:
    QLineEdit* budgBox_;
    QLineEdit* verklBox_;
};

} // namespace ledger
