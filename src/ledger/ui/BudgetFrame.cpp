#include "ledger/ui/BudgetFrame.h"

#include <QLineEdit>
#include <QTableWidget>

namespace ledger {

BudgetFrame::BudgetFrame(QWidget* parent)
    : LedgerFrame(QStringLiteral("Budgetbokföring"), budgetKind(),
                  {QStringLiteral("budgetFrame"), QStringLiteral("budgetGrid"),
                   QStringLiteral("budgetScroll"), QStringLiteral("TransText_Budget"),
                   QStringLiteral("TransCombo_Budget"), QStringLiteral("H_TransOptionBudg"),
                   QStringLiteral("S_TransOptionBudg"), QStringLiteral("TransLabel_Budg"),
                   QStringLiteral("budgetNameLabel"), QStringLiteral("budgetNumberLabel")},
                  {1428, 4811, 1585, 1585, 1585, 1585, 1585, 461},
                  {{QStringLiteral("budgetDateTitle"), QStringLiteral(" Datum")},
                   {QStringLiteral("budgetTransactionTitle"), QStringLiteral(" transaktion")},
                   {QStringLiteral("budgetAmountTitle"), QStringLiteral("Budg.belopp")},
                   {QStringLiteral("actualAmountTitle"), QStringLiteral("Verkl.belopp")},
                   {QStringLiteral("budgetSaldoTitle"), QStringLiteral("Budg.saldo")},
                   {QStringLiteral("actualSaldoTitle"), QStringLiteral("Verkl.saldo")},
                   {QStringLiteral("saldoDiffTitle"), QStringLiteral("Saldodiff")}},
                  parent) {
    budgBox_ = addAmountBox(QStringLiteral("BudgBel_Budget"), 2);
    verklBox_ = addAmountBox(QStringLiteral("VerklBel_Budget"), 3);
}

void BudgetFrame::OmLista_Budget(const std::vector<BudgetRow>& view, int markedRow) {
    QTableWidget* g = grid();
    g->setUpdatesEnabled(false);
    clearGrid();
    for (int r = 0; r < Rows && r < static_cast<int>(view.size()); ++r) {
        const BudgetRow& row = view[static_cast<std::size_t>(r)];
        setCell(r, 0, QString::fromStdString(row.datum), Qt::AlignLeft, NormalText);
        setCell(r, 1, QString::fromStdString(row.transaktion), Qt::AlignLeft, NormalText);
        const std::string* amounts[] = {&row.budgBelopp, &row.verklBelopp, &row.budgSaldo, &row.verklSaldo,
                                        &row.diffSaldo};
        for (int a = 0; a < 5; ++a) {
            const QColor colour = !row.confirmed                              ? UnconfirmedText
                                  : row.negative[static_cast<std::size_t>(a)] ? NegativeText
                                                                              : NormalText;
            setCell(r, 2 + a, QString::fromStdString(*amounts[a]), Qt::AlignRight, colour);
        }
        setCell(r, 7, QString::fromStdString(row.markering), Qt::AlignHCenter, NormalText);
    }
    if (markedRow >= 0)
        markRow(markedRow);
    g->setUpdatesEnabled(true);
}

} // namespace ledger
