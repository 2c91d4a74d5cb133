#pragma once

#include "ledger/LedgerView.h"
#include "ledger/ui/LedgerFrame.h"

namespace ledger {

// "Kassabokföring": grid G1 with VScroll1, the amount box Bel_Enkel and the cash-book
// transaction controls.
class CashFrame : public LedgerFrame {
    Q_OBJECT
public:
    explicit CashFrame(QWidget* parent);

    QLineEdit* amountBox() const { return amountBox_; }
    QLabel* saldoTitle() const { return columnTitle(QStringLiteral("Label12")); }
    QLabel* amountTitle() const { return columnTitle(QStringLiteral("Label11")); }

    // OmLista_Enkel: the view into G1; red for negative amounts and balances. With a marked row
    // (0-9) the backgrounds show it; with none (-1) they are left as they are.
    void OmLista_Enkel(const std::vector<CashRow>& view, int markedRow);
    // Green when the account has a neutral standard transaction ready for balance entry, else yellow.
    void showStandardTransactionReady(bool ready);

private:
    QLineEdit* amountBox_;
};

} // namespace ledger
