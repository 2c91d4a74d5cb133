#include "ledger/ui/CashFrame.h"

#include <QLabel>
#include <QLineEdit>
#include <QTableWidget>

namespace ledger {

CashFrame::CashFrame(QWidget* parent)
    : LedgerFrame(QStringLiteral("Kassabokföring"), cashKind(),
                  {QStringLiteral("cashFrame"), QStringLiteral("cashGrid"), QStringLiteral("cashScroll"),
                   QStringLiteral("TransText_Enkel"), QStringLiteral("TransCombo_Enkel"),
                   QStringLiteral("H_TransOptionEnk"), QStringLiteral("S_TransOptionEnk"),
                   QStringLiteral("TransLabel_Enkel"), QStringLiteral("cashNameLabel"),
                   QStringLiteral("cashNumberLabel")},
                  {1427, 4811, 1529, 1529, 461},
                  {{QStringLiteral("cashDateTitle"), QStringLiteral(" Datum")},
                   {QStringLiteral("cashTransactionTitle"), QStringLiteral("transaktion")},
                   {QStringLiteral("cashAmountTitle"), QStringLiteral("Belopp")},
                   {QStringLiteral("cashSaldoTitle"), QStringLiteral("Saldo")}},
                  parent) {
    amountBox_ = addAmountBox(QStringLiteral("Bel_Enkel"), 2);
}

void CashFrame::OmLista_Enkel(const std::vector<CashRow>& view, int markedRow) {
    QTableWidget* g = grid();
    g->setUpdatesEnabled(false);
    clearGrid();
    const auto left = Qt::AlignLeft;
    const auto right = Qt::AlignRight;
    for (int r = 0; r < Rows && r < static_cast<int>(view.size()); ++r) {
        const CashRow& row = view[static_cast<std::size_t>(r)];
        setCell(r, 0, QString::fromStdString(row.datum), left, NormalText);
        setCell(r, 1, QString::fromStdString(row.transaktion), left, NormalText);
        setCell(r, 2, QString::fromStdString(row.belopp), right,
                row.beloppNegative ? NegativeText : NormalText);
        setCell(r, 3, QString::fromStdString(row.saldo), right,
                row.saldoNegative ? NegativeText : NormalText);
        setCell(r, 4, QString::fromStdString(row.markering), right, NormalText);
    }
    if (markedRow >= 0)
        markRow(markedRow);
    g->setUpdatesEnabled(true);
}

void CashFrame::showStandardTransactionReady(bool ready) {
    QLabel* title = saldoTitle();
    QPalette palette = title->palette();
    palette.setColor(QPalette::Window, ready ? QColor(0, 255, 0) : QColor(255, 255, 0));
    title->setPalette(palette);
}

} // namespace ledger
