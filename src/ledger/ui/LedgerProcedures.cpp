// What both ledger frames share of their procedures: switching the transaction list, choosing
// and marking, removing the only post, ending a procedure through the cancel button, and picking
// the range of posts to move to a new date.

#include "app/DateSelector.h"
#include "app/HeadForm.h"
#include "catalogue/ui/CatalogueProcedures.h"
#include "ledger/ui/LedgerFrame.h"
#include "store/Cp1252.h"
#include "store/Records.h"
#include "support/ui/Trap.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QTableWidget>

namespace ledger {

namespace {
const QString CRLF = QStringLiteral("\r\n");

QString heading(const QString& procedure, const QString& lines) {
    return QStringLiteral("Ett fel har uppstått i subrutinen ") + procedure + CRLF + lines + CRLF + CRLF;
}

QString signText(const QString& sign, bool blankIsExpense) {
    if (sign == QLatin1String("+"))
        return QStringLiteral(" ( = Inkomst !)");
    return sign == QLatin1String("-") || blankIsExpense ? QStringLiteral(" ( = Utgift !)") : QString();
}
} // namespace

QStringList LedgerFrame::reportEnd() const {
    return kind_.reportLines + QStringList{QStringLiteral("Felet uppstod i konto ") + head_->accountName_};
}

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

void LedgerFrame::afterChange(int postCount, int recountStart, int viewPost) {
    head_->postCount_ = postCount;
    head_->currentPost_ = recountStart;
    balanceCheck();
    head_->currentPost_ = viewPost > 0 ? viewPost : recountStart;
    showView();
}

bool LedgerFrame::finishChange(const PostResult& result, int recountStart, int viewPost) {
    if (result.outcome == Outcome::DoesNotFit) {
        showDoesNotFit();
        return false;
    }
    if (result.outcome != Outcome::Done) {
        showAmountLimit();
        return false;
    }
    commitPosts();
    afterChange(result.postCount, recountStart, viewPost);
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
        const int columns = kind_.wholeMoveRows ? grid_->columnCount() : 1;
        for (int c = 0; c < columns; ++c)
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
    const int columns = kind_.wholeMoveRows ? grid_->columnCount() : 1;
    for (int r = std::max(0, firstRow); r <= lastRow && r < Rows; ++r)
        for (int c = 0; c < columns; ++c)
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
    if (head_->markedPost_ > 0 && head_->procedureCode() == kind_.markCode)
        transCombo_->setEnabled(!toMain);
}

void LedgerFrame::chooseMainTransaction(int number) {
    const auto rec = head_->transakt_->read<store::TransRec>(static_cast<std::size_t>(std::max(number, 1)));
    head_->chosenMain_ = {QString::fromStdString(store::cp1252ToUtf8(rec.text(store::TransRec::TransNamn))),
                          number, QString(QChar(rec.raw(store::TransRec::Tecken)[0])).trimmed()};
}

QString LedgerFrame::subTransactionName(int number) const {
    if (number <= 0)
        return QString();
    const store::RecordFile kategori(head_->ctx_.paths.kategori(head_->accountNameBytes_),
                                     store::KatRec::Length);
    if (static_cast<std::size_t>(number) > kategori.count())
        return QString();
    return QString::fromStdString(store::cp1252ToUtf8(
        kategori.read<store::KatRec>(static_cast<std::size_t>(number)).text(store::KatRec::SubTransNamn)));
}

void LedgerFrame::chooseSubTransaction(int number) {
    head_->chosenSub_ = {subTransactionName(number), number, QString()};
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
    // Closed to main transactions (a replacement opens it); open to the post's sub-transaction.
    transCombo_->setEnabled(sOption_->isChecked());
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
    const bool marked = head_->markedPost_ > 0;
    const QString procedure = QStringLiteral("TransText_") + kind_.suffix + QStringLiteral("_Click");
    support::trapped(
        head_->ctx_, head_, [&] { transTextClicked(); },
        [&] {
            return support::ErrorDescription{
                heading(procedure, marked ? QStringLiteral(" vid försök att ändra transaktionstext i "
                                                           "markerad\r\n kontopost")
                                          : QStringLiteral(" vid försök att ändra transaktionstext.")),
                QStringList{QStringLiteral("Fel i rutinen ") + procedure,
                            marked ? QStringLiteral("vid markerad kontopost")
                                   : QStringLiteral("vid ändringsförsök av trans.text")} +
                    reportEnd()};
        });
}

void LedgerFrame::transTextClicked() {
    const bool mainList = hOption_->isChecked();
    const QString name = transText_->text();
    if (head_->markedPost_ > 0 && mainList) {
        offerReplacement();
        return;
    }
    auto& dialogs = head_->ctx_.dialogs;
    const QString textTitle = QStringLiteral("Textbyte / Radering");
    if (!name.isEmpty() && mainList) {
        head_->chosenMain_.name = name;
        if (!dialogs.question(head_, textTitle, fill(kind_.changeMain, name))) {
            transText_->clear();
            head_->chosenMain_.name.clear();
            head_->chosenMain_.sign.clear();
            transCombo_->setEnabled(true);
            return;
        }
        grid_->setEnabled(kind_.gridOpenForChange);
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
        if (!dialogs.question(head_, textTitle,
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
    const bool ask = kind_.askNewWithEmptyList || transCombo_->count() > 0;
    if (mainList) {
        if (ask && !dialogs.question(head_, QStringLiteral("Ny transaktion (?)"), kind_.newMain))
            return;
        head_->command3_->setText(QStringLiteral("Avbryt ny tr.akt."));
        head_->armReset();
        head_->setProcedureCode(QStringLiteral("trny"));
        head_->openTransForm(QStringLiteral("ny"));
        return;
    }
    if (ask && !dialogs.question(head_, QStringLiteral("Ny Subtransaktion (?)"), kind_.newSub))
        return;
    head_->command3_->setText(QStringLiteral("Avbr. Ny Subtr."));
    head_->armReset();
    head_->setProcedureCode(QStringLiteral("nysptr"));
    head_->openSubTransForm(QStringLiteral("ny"));
}

void LedgerFrame::TransCombo_Click() {
    if (!head_ || !head_->transakt_ || transCombo_->currentIndex() < 0)
        return;
    const int number = transCombo_->currentData().toInt();
    const bool mainList = hOption_->isChecked();
    const bool marked = head_->markedPost_ > 0;
    const QString oldName = head_->chosenMain_.name;
    ListStep step = ListStep::Fetch;
    runChange(
        [&] {
            if (mainList && marked) {
                // A marked post's main transaction is only replaced through the transaction box.
                if (head_->procedureCode() != QLatin1String("trbyt"))
                    return;
                step = ListStep::Replace;
                confirmReplacement(number);
                return;
            }
            if (!mainList) {
                step = marked ? ListStep::SubForMarkedPost : ListStep::SubForEntry;
                chooseSubTransaction(number);
                transText_->setText(head_->chosenSub_.name);
                if (marked)
                    subChosenForMarkedPost();
                else
                    subChosenWithoutMark(amountPending(), amountBoxes().front());
                return;
            }
            chooseMainTransaction(number);
            transText_->setText(head_->chosenMain_.name);
            step = ListStep::MainForEntry;
            mainChosenForEntry();
        },
        [&] {
            const ErrorText& error = kind_.listErrors.at(static_cast<std::size_t>(step));
            QStringList lines = error.description;
            if (step == ListStep::Replace)
                lines << QStringLiteral("att ändra transaktion: [") + oldName + QStringLiteral("]")
                      << QStringLiteral("i markerad kontopost, till [") + transCombo_->currentText() +
                             QStringLiteral("]");
            lines << QStringLiteral("Vald post = ") + QString::number(number);
            return support::ErrorDescription{
                heading(QStringLiteral("TransCombo_") + kind_.suffix + QStringLiteral("_Click"),
                        error.heading),
                lines + reportEnd()};
        });
}

void LedgerFrame::subChosenForMarkedPost() {
    const int post = head_->markedPost_;
    const shift::Posts posts(*head_->kontoData_, head_->postCount_);
    const QString current =
        subTransactionName(store::parseRecordNumber(store::trimField(posts.field(post, subTransField()))));
    const QString chosen = head_->chosenSub_.name;
    const bool replace = !current.isEmpty();
    if (!head_->ctx_.dialogs.question(head_,
                                      replace ? QStringLiteral("Ändrad subtransaktion i post")
                                              : QStringLiteral("Ny subtransaktion i post"),
                                      replace ? fill(kind_.subReplace, current, chosen)
                                              : fill(kind_.subAdd, chosen))) {
        head_->Rensa_Mark(this); // back to today's date as well
        return;
    }
    shift::setSubTransaction(*head_->kontoData_, head_->postCount_, post, subTransField(),
                             head_->chosenSub_.number);
    commitPosts();
}

void LedgerFrame::offerReplacement() {
    const QString name = head_->chosenMain_.name;
    const QString title = QStringLiteral("Transaktionsbyte i kontopost");
    auto& dialogs = head_->ctx_.dialogs;
    bool all = false;
    if (dialogs.question(head_, title, fill(kind_.replaceOne, name))) {
        if (!dialogs.question(head_, title, fill(kind_.explainOne, name)))
            return;
    } else {
        if (!dialogs.question(head_, title, fill(kind_.replaceAll, name)) ||
            !dialogs.question(head_, title, fill(kind_.explainAll, name)))
            return;
        all = true;
    }
    replaceAll_ = all;
    transText_->setEnabled(false);
    transLabel_->setText(QStringLiteral("Välj ut ny transaktion"));
    transCombo_->setEnabled(true);
    head_->command2_->setEnabled(false);
    for (QLineEdit* box : amountBoxes())
        box->setReadOnly(true);
    head_->command3_->setText(QStringLiteral("Avbryt Tr-byte"));
    head_->setProcedureCode(QStringLiteral("trbyt"));
}

void LedgerFrame::confirmReplacement(int number) {
    const auto old = head_->chosenMain_;
    const auto rec = head_->transakt_->read<store::TransRec>(static_cast<std::size_t>(number));
    const QString newName = QString::fromStdString(store::cp1252ToUtf8(rec.text(store::TransRec::TransNamn)));
    const QString newSign = QString(QChar(rec.raw(store::TransRec::Tecken)[0])).trimmed();
    transText_->setEnabled(true);
    transText_->setText(newName);
    head_->chosenMain_.sign = newSign;
    const QString question = fill(kind_.confirmReplace, newName + signText(newSign, false),
                                  old.name + signText(old.sign, kind_.oldSignBlankIsExpense));
    if (!head_->ctx_.dialogs.question(head_, QStringLiteral("Ändrad transaktion"), question)) {
        transText_->setText(old.name);
        head_->chosenMain_ = old;
        pressCancel(); // back to the marked post
        return;
    }
    // Whatever the outcome, the marking ends with the replacement.
    transLabel_->setText(QStringLiteral("Transaktion"));
    head_->setProcedureCode(kind_.markCode);
    const auto signOf = [](const QString& sign) { return sign.isEmpty() ? ' ' : sign.at(0).toLatin1(); };
    const catalogue::Replacement replacement{old.number,      signOf(old.sign), number,
                                             signOf(newSign), replaceAll_,      head_->markedPost_};
    const auto result = catalogue::ChgAccountTrans(head_->catalogueAccess(), head_, replacement);
    if (result && result->outcome == Outcome::Done)
        head_->ctx_.dialogs.message(head_, QStringLiteral("Transaktionsbyte utfört"),
                                    fill(kind_.replaced, old.name, newName));
    pressCancel();
}

TransTextSituation LedgerFrame::transTextSituation() const {
    const bool main = hOption_->isChecked();
    if (!transText_->text().isEmpty()) {
        if (head_->markedPost_ > 0)
            return main ? TransTextSituation::MarkedMain : TransTextSituation::MarkedSub;
        if (main)
            return TransTextSituation::Main;
        return head_->procedureCode() == QLatin1String("nysptr") ? TransTextSituation::SubBeingMade
                                                                 : TransTextSituation::Sub;
    }
    if (main)
        return TransTextSituation::EmptyMain;
    return transCombo_->count() == 0 ? TransTextSituation::EmptySubNone : TransTextSituation::EmptySub;
}

void LedgerFrame::transTextHelp() {
    const Help& help = kind_.transTextHelp.at(static_cast<std::size_t>(transTextSituation()));
    transText_->setToolTip(help.tooltip);
    head_->setHelp(hOption_->isChecked() ? QStringLiteral("Transaktion") : QStringLiteral("Subtransaktion"),
                   help.line);
}

void LedgerFrame::optionHelp(bool mainOption) {
    if (!kind_.optionHelp)
        return;
    const auto& chosenMain = head_->chosenMain_.name;
    const auto& chosenSub = head_->chosenSub_.name;
    if (mainOption) {
        hOption_->setToolTip(!sOption_->isChecked() ? QString()
                             : chosenMain.isEmpty() ? QStringLiteral("Ladda listan med huvudtransaktioner !")
                                                    : QStringLiteral("Huvudtransaktion = ") + chosenMain);
        return;
    }
    QString tip;
    if (head_->markedPost_ <= 0 && sOption_->isChecked()) {
        const int n = transCombo_->count();
        head_->setHelp(QStringLiteral("Subtransaktioner:"),
                       n > 0 ? QStringLiteral("Listan innehåller %1 subtransaktioner !").arg(n)
                             : QStringLiteral("Listan saknar subtransaktioner !"));
    } else if (head_->markedPost_ <= 0) {
        head_->label29_->setText(QStringLiteral("Subtransaktioner:"));
        // Looked up without creating the file: a hover writes nothing.
        const auto path = head_->ctx_.paths.kategori(head_->accountNameBytes_);
        const bool any = std::filesystem::exists(path) &&
                         !catalogue::subTransactions(store::RecordFile(path, store::KatRec::Length)).empty();
        tip = any ? QStringLiteral("Ladda listan med subtransaktioner !")
                  : QStringLiteral("Subtransaktioner saknas f n i detta konto !");
    } else if (hOption_->isChecked() && !chosenSub.isEmpty()) {
        tip = QStringLiteral("Subtransaktion = ") + chosenSub;
    }
    sOption_->setToolTip(tip);
}

void LedgerFrame::remark() {
    markPost(head_->markedRow_);
}

void LedgerFrame::G_Click(int row, int column) {
    if (!head_ || !head_->kontoData_)
        return;
    const int post = head_->scroll_.value + row;
    const QString move = moveState();
    runChange(
        [&] {
            if (!move.isEmpty()) {
                moveClick(row);
                return;
            }
            if (clickedBelowLastPost(post))
                return;
            if (column >= kind_.tickColumn) {
                toggleTick(post);
                commitPosts();
                head_->markedRow_ = -1;
                head_->markedPost_ = 0;
                refillView();
                return;
            }
            head_->markedPost_ = post;
            markPost(row);
        },
        [&] {
            QStringList lines = kind_.gridError.description;
            lines << QStringLiteral("PostNr ") + QString::number(post);
            if (!move.isEmpty())
                lines << QStringLiteral("Felet uppstod vid flyttning, läge ") + move;
            return support::ErrorDescription{
                heading(kind_.grid + QStringLiteral("_Click"), kind_.gridError.heading), lines + reportEnd()};
        });
}

void LedgerFrame::UtPost() {
    const int post = head_->markedPost_;
    if (post <= 0)
        return;
    const QString question = QStringLiteral("Vill du radera posten med datum: ") + head_->workingDate() +
                             QStringLiteral("\n\n") + head_->chosenMain_.name + QStringLiteral("\n\n") +
                             markedAmountsText();
    if (!head_->ctx_.dialogs.question(head_, QStringLiteral("Borttagning av post"), question)) {
        head_->Rensa_Mark(this);
        return;
    }
    bool removeAccount = false;
    runChange(
        [&] {
            const PostResult result = removeInBook(post);
            if (result.outcome == Outcome::OnlyPost) {
                removeAccount = true;
                return;
            }
            finishChange(result, result.recountStart);
        },
        [&] {
            return support::ErrorDescription{
                heading(QStringLiteral("UtPost_") + kind_.suffix, kind_.removeError.heading),
                kind_.removeError.description +
                    QStringList{QStringLiteral("PostNr ") + QString::number(post),
                                QStringLiteral("Antal poster = ") + QString::number(head_->postCount_)} +
                    reportEnd()};
        });
    if (!removeAccount) {
        pressCancel();
        return;
    }
    removeOnlyPost();
}

void LedgerFrame::PostMover() {
    if (moveState().isEmpty()) {
        startMove(moveLockedControls());
        return;
    }
    if (!takeMoveRange())
        return;
    const QString date = head_->workingDate();
    runChange(
        [&] {
            const PostResult result = moveInBook(moveFirst(), moveLast(), date.toStdString());
            // The view follows the moved posts: S is the last of them in its new place.
            finishChange(result, result.recountStart, result.position + moveLast() - moveFirst());
        },
        [&] {
            return support::ErrorDescription{
                heading(QStringLiteral("PostMover_") + kind_.suffix, kind_.moveError.heading),
                kind_.moveError.description +
                    QStringList{QStringLiteral("Första post = ") + QString::number(moveFirst()),
                                QStringLiteral("Sista post = ") + QString::number(moveLast()),
                                QStringLiteral("Nytt datum = ") + date} +
                    reportEnd()};
        });
    pressCancel();
}

void LedgerFrame::TransCombo_DropDown() {
    if (head_->markedPost_ > 0)
        return;
    transText_->clear();
    head_->chosenMain_ = {};
    if (!amountPending()) {
        for (QLineEdit* box : amountBoxes())
            box->setReadOnly(true);
        if (!head_->balanceMode_) {
            head_->command2_->setEnabled(true);
            head_->command2_->setText(QStringLiteral("Flytta"));
            head_->command2Mode_ = QStringLiteral("flt");
        }
    } else if (head_->command2Mode_ == QLatin1String("inl")) {
        head_->command2_->setEnabled(false); // the amount waits for its transaction
    }
}

void LedgerFrame::startChangeOfMarked() {
    head_->command2_->setText(QStringLiteral("Ändra"));
    head_->command2Mode_ = QStringLiteral("chg");
    head_->command2_->setEnabled(false);
    head_->command3_->setText(QStringLiteral("Avbryt ändr."));
    head_->setProcedureCode(QStringLiteral("chg"));
    head_->command1_->setEnabled(false);
    scroll_->setEnabled(false);
}

void LedgerFrame::endChangeOfMarked() {
    head_->setProcedureCode(kind_.markCode);
    head_->command3_->setText(QStringLiteral("Avbryt mark."));
    head_->command2_->setText(QStringLiteral("Ta bort"));
    head_->command2Mode_ = QStringLiteral("rem");
    pressCancel(); // clears the marking
}

std::optional<std::string> LedgerFrame::typedAmount(const QLineEdit* box) {
    QString text = box->text().trimmed();
    if (text.startsWith('-'))
        text = text.mid(1).trimmed(); // the sign comes from the transaction
    std::string cleaned = store::cleanTypedAmount(text.toStdString());
    if (cleaned.empty()) {
        cleaned = std::string("0,00", 4);
        head_->ctx_.dialogs.message(
            head_, QStringLiteral("Nollbelopp eller andra tecken"),
            QStringLiteral("Eftersom andra tecken än siffror, alternativt inga tecken, har "
                           "använts, utföres beloppet med 0,00"));
    }
    if (store::Amount::parse(cleaned).value_or(store::Amount{}).roundedWholeHalfEven() >= 100'000'000) {
        showAmountLimit();
        pressCancel();
        return std::nullopt;
    }
    return cleaned;
}

} // namespace ledger
