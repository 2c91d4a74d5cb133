// What both ledger frames share of their procedures: ending a procedure through the cancel
// button, and picking the range of posts to move to a new date.

#include "app/DateSelector.h"
#include "app/HeadForm.h"
#include "ledger/ui/LedgerFrame.h"

#include <QLabel>
#include <QPushButton>
#include <QTableWidget>

namespace ledger {

QString LedgerFrame::amountLimitText() {
    return QStringLiteral("Detta program har tyvärr en begränsning\ntill belopp < 100 000 000.00 kronor !\n"
                          "Därför måste inmatning av högre\nbelopp spärras, likaledes inmatning\n"
                          "som ger upphov till ett plus- eller\nminussaldo över denna nivå !");
}

void LedgerFrame::pressCancel() {
    head_->armReset();
    head_->Command3_Click();
}

void LedgerFrame::resetMove() {
    moveState_.clear();
    moveFirst_ = moveLast_ = 0;
    moveFirstRow_ = -1;
}

void LedgerFrame::startMove(const std::vector<QWidget*>& entryControls) {
    head_->moveMode_ = true;
    head_->Lock_trans();
    head_->Lock_Konto();
    head_->Lock_menues();
    head_->picture1_->setEnabled(false);
    for (QWidget* w : entryControls)
        w->setEnabled(false);
    head_->command1_->setEnabled(false);
    head_->command3_->setText(QStringLiteral("Avbryt Flytta"));
    head_->setProcedureCode(QStringLiteral("Fl"));
    head_->command2_->setEnabled(false);
    head_->command2Mode_.clear();
    head_->label29_->setText(QStringLiteral("Flytta"));
    head_->label30_->setText(QStringLiteral("Klicka på första rad som ska flyttas !"));
    moveState_ = QStringLiteral("First");
}

void LedgerFrame::moveClick(int row) {
    const int post = head_->scroll_.value + row;
    if (post > head_->postCount_)
        return;
    if (moveState_ == QLatin1String("First")) {
        moveFirst_ = post;
        moveFirstRow_ = row;
        head_->dateSelector_->datumset(grid_->item(row, 0)->text());
        for (int c = 0; c < grid_->columnCount(); ++c)
            grid_->item(row, c)->setBackground(MoveRangeBackground);
        head_->label30_->setText(
            QStringLiteral("Klicka på sista rad som ska flyttas (kan vara samma rad !)."));
        moveState_ = QStringLiteral("Last");
        return;
    }
    if (moveState_ != QLatin1String("Last"))
        return;
    moveLast_ = post;
    int firstRow = moveFirstRow_, lastRow = row;
    if (moveFirst_ > moveLast_) {
        std::swap(moveFirst_, moveLast_);
        std::swap(firstRow, lastRow);
    }
    for (int r = std::max(0, firstRow); r <= lastRow && r < Rows; ++r)
        for (int c = 0; c < grid_->columnCount(); ++c)
            grid_->item(r, c)->setBackground(MoveRangeBackground);
    grid_->setEnabled(false);
    if (!head_->ctx_.dialogs.question(
            head_, QStringLiteral("Flytta rader"),
            QStringLiteral("Vill du flytta markerad(e) rad(er)\ntill ett nytt datum ?"))) {
        pressCancel();
        return;
    }
    head_->label30_->setText(QStringLiteral("Sätt nytt datum och klicka sedan på 'Nytt datum' !"));
    head_->command2_->setEnabled(true);
    head_->command2_->setText(QStringLiteral("Nytt datum"));
    head_->command2Mode_ = QStringLiteral("flt");
    moveState_ = QStringLiteral("Markerat");
}

bool LedgerFrame::takeMoveRange() {
    if (moveState_ != QLatin1String("Markerat"))
        return false;
    moveState_.clear();
    head_->command2_->setEnabled(false);
    head_->label29_->clear();
    head_->label30_->clear();
    head_->command2Mode_.clear();
    return true;
}

} // namespace ledger
