// What both ledger frames share of their procedures: switching the transaction list, choosing
// and marking, removing the only post, ending a procedure through the cancel button, and picking
// the range of posts to move to a new date.

#include "app/DateSelector.h"
#include "app/HeadForm.h"
#include "ledger/ui/LedgerFrame.h"
#include "store/Cp1252.h"
#include "store/Records.h"
#include "support/ui/Trap.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>

namespace ledger {

QString LedgerFrame::amountLimitText() {
    return QStringLiteral("Detta program har tyvärr en begränsning\ntill belopp < 100 000 000.00 kronor !\n"
                          "Därför måste inmatning av högre\nbelopp spärras, likaledes inmatning\n"
                          "som ger upphov till ett plus- eller\nminussaldo över denna nivå !");
}

QString LedgerFrame::doesNotFitText() {
    return QStringLiteral(
        "Ett belopp eller saldo skulle bli längre än\n11 tecken (minustecken och decimaler "
        "inräknade)\noch kan därför inte sparas !\n\nAvrunda beloppet till färre decimaler.");
}

void LedgerFrame::showAmountLimit() {
    head_->ctx_.dialogs.message(head_, QStringLiteral("Överskriden max-nivå"), amountLimitText());
}

void LedgerFrame::showDoesNotFit() {
    head_->ctx_.dialogs.message(head_, QStringLiteral("Beloppet ryms inte"), doesNotFitText());
}

void LedgerFrame::commitPosts() {
    try {
        saveFiles();
    } catch (...) {
        dropChanges();
        throw;
    }
}

bool LedgerFrame::runChange(const std::function<void()>& body,
                            const std::function<support::ErrorDescription()>& describe) {
    if (support::trapped(head_->ctx_, head_, body, describe))
        return true;
    // A file that cannot even be read back is reported by the safety net of the event loop.
    dropChanges();
    return false;
}

bool LedgerFrame::finishChange(const PostResult& result, int recountStart) {
    if (result.outcome == Outcome::DoesNotFit) {
        showDoesNotFit();
        return false;
    }
    if (result.outcome != Outcome::Done) {
        showAmountLimit();
        return false;
    }
    commitPosts();
    afterChange(result.postCount, recountStart);
    return true;
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

void LedgerFrame::switchList(bool toMain, const std::function<void()>& load, const QString& procedure) {
    QRadioButton* option = toMain ? hOption_ : sOption_;
    if (option->isChecked())
        return;
    option->setChecked(true);
    support::trapped(head_->ctx_, head_, load, [&] {
        return support::ErrorDescription{QStringLiteral("Ett fel har uppstått i subrutinen ") + procedure +
                                             QStringLiteral("\r\n") +
                                             (toMain ? QStringLiteral(" vid laddning av huvudtransaktioner.")
                                                     : QStringLiteral(" vid laddning av subtransaktioner.")) +
                                             QStringLiteral("\r\n\r\n"),
                                         {QStringLiteral("Fel i rutinen ") + procedure,
                                          QStringLiteral("Felet uppstod i konto ") + head_->accountName_}};
    });
    // The box shows the chosen name of the list's kind, none when there is none: a main name left
    // under the sub list would be taken for a sub-transaction.
    transText_->setText(toMain ? head_->chosenMain_.name : head_->chosenSub_.name);
}

void LedgerFrame::chooseMainTransaction(int number) {
    const auto rec = head_->transakt_->read<store::TransRec>(static_cast<std::size_t>(std::max(number, 1)));
    head_->chosenMain_ = {QString::fromStdString(store::cp1252ToUtf8(rec.text(store::TransRec::TransNamn))),
                          number, QString(QChar(rec.raw(store::TransRec::Tecken)[0])).trimmed()};
}

void LedgerFrame::chooseSubTransaction(int number) {
    head_->chosenSub_ = {QString(), number, QString()};
    if (number <= 0)
        return;
    const store::RecordFile kategori(head_->ctx_.paths.kategori(head_->accountNameBytes_),
                                     store::KatRec::Length);
    head_->chosenSub_.name = QString::fromStdString(store::cp1252ToUtf8(
        kategori.read<store::KatRec>(static_cast<std::size_t>(number)).text(store::KatRec::SubTransNamn)));
}

void LedgerFrame::subChosenWithoutMark(bool amountPending, QWidget* amountBox) {
    if (!head_->chosenMain_.name.isEmpty()) {
        amountBox->setFocus();
        return;
    }
    head_->Lock_menues();
    head_->Lock_Konto();
    head_->picture1_->setEnabled(false);
    grid_->setEnabled(false);
    if (amountPending) {
        head_->command2_->setEnabled(true);
        head_->command2_->setText(QStringLiteral("Flytta"));
        head_->command2Mode_ = QStringLiteral("flt");
        head_->command2_->setFocus();
    } else {
        head_->command2_->setEnabled(false);
        head_->command2Mode_.clear();
    }
}

bool LedgerFrame::clickedBelowLastPost(int post) {
    if (post <= head_->postCount_)
        return false;
    head_->markedPost_ = 0;
    head_->dateSelector_->datumset(QString::fromStdString(head_->ctx_.today));
    return true;
}

void LedgerFrame::beginMark(int row) {
    head_->Lock_Konto();
    head_->Lock_menues();
    head_->picture1_->setEnabled(false);
    transCombo_->setEnabled(false);
    head_->markedRow_ = row;
    markRow(row);
    grid_->setCurrentCell(row, 0);
    head_->command2_->setEnabled(true);
    head_->command2_->setText(QStringLiteral("Ta bort"));
    head_->command2Mode_ = QStringLiteral("rem");
}

void LedgerFrame::takeMarkedTransactions(std::string_view transNrField, std::string_view subTransField) {
    chooseMainTransaction(std::abs(store::parseRecordNumber(store::trimField(transNrField))));
    chooseSubTransaction(store::parseRecordNumber(store::trimField(subTransField)));
    transText_->setText(hOption_->isChecked() ? head_->chosenMain_.name : head_->chosenSub_.name);
}

void LedgerFrame::endMark(const std::string& date, const QString& markCode) {
    head_->dateSelector_->datumset(QString::fromStdString(date));
    head_->command3_->setText(QStringLiteral("Avbryt markera"));
    head_->setProcedureCode(markCode);
    head_->armReset();
}

void LedgerFrame::removeOnlyPost() {
    if (!head_->ctx_.dialogs.question(
            head_, QStringLiteral("Ta bort konto ? ?"),
            QStringLiteral("Du tar bort den enda posten\npå kontot !\n\nDärmed avslutar du "
                           "också hela kontot !\n\nVill du fortsätta ?"))) {
        head_->Rensa_Mark(this);
        return;
    }
    clearGrid();
    showAccount(QString(), QString());
    head_->Rensa_Mark(this);
    head_->Reducera_Konto();
}

void LedgerFrame::TransText_Click() {
    if (!head_ || !head_->transakt_ || head_->typing_)
        return;
    const bool cash = head_->kind_ == QLatin1String("Ek");
    const bool mainList = hOption_->isChecked();
    const QString name = transText_->text();
    if (head_->markedPost_ > 0 && mainList) {
        offerReplacement();
        return;
    }
    auto& dialogs = head_->ctx_.dialogs;
    if (!name.isEmpty() && mainList) {
        head_->chosenMain_.name = name;
        const QString question =
            cash ? QStringLiteral("Vill du ändra eller radera denna transaktion ?\r\n\r\n") + name +
                       QStringLiteral(
                           "\r\n\r\nKlicka då 'Ja' och sedan på något av alternativen [Ändra] eller "
                           "[Radera] !\r\n\r\nEller avstå genom att klicka 'Nej' !")
                 : QStringLiteral(
                       "Vill du ändra eller radera denna transaktion ?\n\nKlicka då 'Ja' och sedan på "
                       "något av alternativen [Ändra]\n eller [Radera] !\n\nEller avstå genom att klicka "
                       "'Nej' !");
        if (!dialogs.question(head_, QStringLiteral("Textbyte / Radering"), question)) {
            transText_->clear();
            head_->chosenMain_.name.clear();
            head_->chosenMain_.sign.clear();
            transCombo_->setEnabled(true);
            return;
        }
        grid_->setEnabled(cash);
        head_->Unlock_menues();
        head_->Unlock_Konto();
        head_->picture1_->setEnabled(true);
        head_->command3_->setText(QStringLiteral("Avbryt Tr-ändr"));
        head_->armReset();
        head_->setProcedureCode(QStringLiteral("trch"));
        head_->openTransForm(QStringLiteral("chg"));
        return;
    }
    if (!name.isEmpty()) {
        head_->chosenSub_.name = name;
        if (!dialogs.question(head_, QStringLiteral("Textbyte / Radering"),
                              QStringLiteral("Vill du ändra eller radera subtransaktionen  '") + name +
                                  QStringLiteral("' ?"))) {
            transText_->clear();
            head_->chosenSub_ = {};
            transCombo_->setEnabled(true);
            return;
        }
        head_->command3_->setText(QStringLiteral("Avbryt Tr-ändr"));
        head_->armReset();
        head_->setProcedureCode(QStringLiteral("subtrch"));
        head_->openSubTransForm(QStringLiteral("chg"));
        return;
    }
    // An empty box: a new transaction, once the user has looked in the list.
    const bool listEmpty = transCombo_->count() == 0;
    if (mainList) {
        const QString question =
            cash ? QStringLiteral("Har du kontrollerat om den transaktion\nsom du tänker skapa, "
                                  "kanske\nredan finns i den här listan ?")
                 : QStringLiteral("Har du kontrollerat om den transaktion som du tänker skriva\n "
                                  "in, kanske redan finns i den här listan ?");
        if (!listEmpty && !dialogs.question(head_, QStringLiteral("Ny transaktion (?)"), question))
            return;
        head_->command3_->setText(QStringLiteral("Avbryt ny tr.akt."));
        head_->armReset();
        head_->setProcedureCode(QStringLiteral("trny"));
        head_->openTransForm(QStringLiteral("ny"));
        return;
    }
    const QString question =
        cash ? QStringLiteral("Har du kontrollerat om den transaktion som du tänker skapa, "
                              "kanske redan finns på den här listan ?")
             : QStringLiteral("Har du kontrollerat om den text\n som du tänker skriva in, "
                              "kanske\n redan finns på den här listan ?");
    if (!listEmpty && !dialogs.question(head_, QStringLiteral("Ny Subtransaktion (?)"), question))
        return;
    head_->command3_->setText(QStringLiteral("Avbr. Ny Subtr."));
    head_->armReset();
    head_->setProcedureCode(QStringLiteral("nysptr"));
    head_->openSubTransForm(QStringLiteral("ny"));
}

} // namespace ledger
