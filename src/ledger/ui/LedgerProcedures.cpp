// What both ledger frames share of their procedures: switching the transaction list, choosing
// and marking, removing the only post, ending a procedure through the cancel button, and picking
// the range of posts to move to a new date.

#include "catalogue/ui/CatalogueProcedures.h"
#include "ledger/ui/LedgerFrame.h"
#include "ledger/ui/LedgerHost.h"
#include "store/Cp1252.h"
#include "store/History.h"
#include "store/Records.h"
#include "support/ui/Context.h"
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

QString heading(const QString& procedure, const QString& lines) {
    return support::failureHeadline(procedure, lines);
}

QString signText(const QString& sign, bool blankIsExpense) {
    if (sign == QLatin1String("+"))
        return QStringLiteral(" ( = Inkomst !)");
    return sign == QLatin1String("-") || blankIsExpense ? QStringLiteral(" ( = Utgift !)") : QString();
}
} // namespace

bool LedgerFrame::ask(const QString& title, const QString& text, support::Dialogs::Icon icon) {
    return host_->context().dialogs.question(host_->hostWindow(), title, text, icon);
}

void LedgerFrame::tell(const QString& title, const QString& text, support::Dialogs::Icon icon) {
    host_->context().dialogs.message(host_->hostWindow(), title, text, icon);
}

QStringList LedgerFrame::reportEnd() const {
    return kind_.reportLines + QStringList{QStringLiteral("Felet uppstod i konto ") + host_->accountName()};
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
    tell(QStringLiteral("Överskriden max-nivå"), amountLimitText());
}

void LedgerFrame::showDoesNotFit() {
    tell(QStringLiteral("Beloppet ryms inte"), doesNotFitText());
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
    if (support::trapped(host_->context(), host_->hostWindow(), body, describe))
        return true;
    // A file that cannot even be read back is reported by the safety net of the event loop.
    dropChanges();
    return false;
}

void LedgerFrame::afterChange(int postCount, int recountStart, int viewPost) {
    host_->setPostCount(postCount);
    host_->setRecountStart(recountStart);
    balanceCheck();
    host_->setRecountStart(viewPost > 0 ? viewPost : recountStart);
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
    startBalanceCheck(result.postCount, std::max(1, recountStart));
    commitPosts();
    afterChange(result.postCount, recountStart, viewPost);
    return true;
}

void LedgerFrame::pressCancel() {
    host_->armReset();
    host_->pressCancel();
}

void LedgerFrame::resetMove() {
    moveState_.clear();
    moveFirst_ = moveLast_ = 0;
    moveFirstRow_ = -1;
}

void LedgerFrame::startMove(const std::vector<QWidget*>& entryControls) {
    host_->setMoveMode(true);
    host_->Lock_trans();
    host_->Lock_Konto();
    host_->Lock_menues();
    host_->setPictureEnabled(false);
    for (QWidget* w : entryControls)
        w->setEnabled(false);
    host_->confirmButton()->setEnabled(false);
    host_->cancelButton()->setText(QStringLiteral("Avbryt Flytta"));
    host_->setProcedureCode(QStringLiteral("Fl"));
    host_->actionButton()->setEnabled(false);
    host_->setActionMode(QString());
    host_->setHelpTitle(QStringLiteral("Flytta"));
    host_->setHelpLine(QStringLiteral("Klicka på första rad som ska flyttas !"));
    moveState_ = QStringLiteral("First");
}

void LedgerFrame::moveClick(int row) {
    const int post = host_->firstShownPost() + row;
    if (post > host_->postCount())
        return;
    if (moveState_ == QLatin1String("First")) {
        moveFirst_ = post;
        moveFirstRow_ = row;
        host_->setWorkingDate(grid_->item(row, 0)->text());
        const int columns = kind_.wholeMoveRows ? grid_->columnCount() : 1;
        for (int c = 0; c < columns; ++c)
            grid_->item(row, c)->setBackground(MoveRangeBackground);
        host_->setHelpLine(QStringLiteral("Klicka på sista rad som ska flyttas (kan vara samma rad !)."));
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
    if (!ask(QStringLiteral("Flytta rader"),
             QStringLiteral("Vill du flytta markerad(e) rad(er)\ntill ett nytt datum ?"))) {
        pressCancel();
        return;
    }
    host_->setHelpLine(QStringLiteral("Sätt nytt datum och klicka sedan på 'Nytt datum' !"));
    host_->actionButton()->setEnabled(true);
    host_->actionButton()->setText(QStringLiteral("Nytt datum"));
    host_->setActionMode(QStringLiteral("flt"));
    moveState_ = QStringLiteral("Markerat");
}

bool LedgerFrame::takeMoveRange() {
    if (moveState_ != QLatin1String("Markerat"))
        return false;
    moveState_.clear();
    host_->actionButton()->setEnabled(false);
    host_->setHelp(QString(), QString());
    host_->setActionMode(QString());
    return true;
}

void LedgerFrame::switchList(bool toMain, const std::function<void()>& load, const QString& procedure) {
    QRadioButton* option = toMain ? hOption_ : sOption_;
    if (option->isChecked())
        return;
    option->setChecked(true);
    support::trapped(host_->context(), host_->hostWindow(), load, [&] {
        return support::ErrorDescription{QStringLiteral("Ett fel har uppstått i subrutinen ") + procedure +
                                             QStringLiteral("\r\n") +
                                             (toMain ? QStringLiteral(" vid laddning av huvudtransaktioner.")
                                                     : QStringLiteral(" vid laddning av subtransaktioner.")) +
                                             QStringLiteral("\r\n\r\n"),
                                         {QStringLiteral("Fel i rutinen ") + procedure,
                                          QStringLiteral("Felet uppstod i konto ") + host_->accountName()}};
    });
    // The box shows the chosen name of the list's kind, none when there is none: a main name left
    // under the sub list would be taken for a sub-transaction.
    transText_->setText(toMain ? host_->chosenMain().name : host_->chosenSub().name);
    if (host_->markedPost() > 0 && host_->procedureCode() == kind_.markCode)
        transCombo_->setEnabled(!toMain);
}

void LedgerFrame::chooseMainTransaction(int number) {
    const auto rec = host_->transakt().read<store::TransRec>(static_cast<std::size_t>(std::max(number, 1)));
    host_->setChosenMain({QString::fromStdString(store::cp1252ToUtf8(rec.text(store::TransRec::TransNamn))),
                          number, QString(QChar(rec.raw(store::TransRec::Tecken)[0])).trimmed()});
}

QString LedgerFrame::subTransactionName(int number) const {
    if (number <= 0)
        return QString();
    const store::RecordFile kategori(host_->context().paths.kategori(host_->accountNameBytes()),
                                     store::KatRec::Length);
    if (static_cast<std::size_t>(number) > kategori.count())
        return QString();
    return QString::fromStdString(store::cp1252ToUtf8(
        kategori.read<store::KatRec>(static_cast<std::size_t>(number)).text(store::KatRec::SubTransNamn)));
}

void LedgerFrame::chooseSubTransaction(int number) {
    host_->setChosenSub({subTransactionName(number), number, QString()});
}

void LedgerFrame::subChosenWithoutMark(bool amountPending, QWidget* amountBox) {
    if (!host_->chosenMain().name.isEmpty()) {
        amountBox->setFocus();
        return;
    }
    host_->Lock_menues();
    host_->Lock_Konto();
    host_->setPictureEnabled(false);
    grid_->setEnabled(false);
    if (amountPending) {
        host_->actionButton()->setEnabled(true);
        host_->actionButton()->setText(QStringLiteral("Flytta"));
        host_->setActionMode(QStringLiteral("flt"));
        host_->actionButton()->setFocus();
    } else {
        host_->actionButton()->setEnabled(false);
        host_->setActionMode(QString());
    }
}

bool LedgerFrame::clickedBelowLastPost(int post) {
    if (post <= host_->postCount())
        return false;
    host_->setMarkedPost(0);
    host_->setWorkingDate(QString::fromStdString(host_->context().today));
    return true;
}

void LedgerFrame::beginMark(int row) {
    host_->Lock_Konto();
    host_->Lock_menues();
    host_->setPictureEnabled(false);
    // Closed to main transactions (a replacement opens it); open to the post's sub-transaction.
    transCombo_->setEnabled(sOption_->isChecked());
    host_->setMarkedRow(row);
    markRow(row);
    grid_->setCurrentCell(row, 0);
    host_->actionButton()->setEnabled(true);
    host_->actionButton()->setText(QStringLiteral("Ta bort"));
    host_->setActionMode(QStringLiteral("rem"));
}

void LedgerFrame::takeMarkedTransactions(std::string_view transNrField, std::string_view subTransField) {
    chooseMainTransaction(std::abs(store::parseRecordNumber(store::trimField(transNrField))));
    chooseSubTransaction(store::parseRecordNumber(store::trimField(subTransField)));
    transText_->setText(hOption_->isChecked() ? host_->chosenMain().name : host_->chosenSub().name);
}

void LedgerFrame::endMark(const std::string& date, const QString& markCode) {
    host_->setWorkingDate(QString::fromStdString(date));
    host_->cancelButton()->setText(QStringLiteral("Avbryt markera"));
    host_->setProcedureCode(markCode);
    host_->armReset();
}

void LedgerFrame::removeOnlyPost() {
    if (!ask(QStringLiteral("Ta bort konto ? ?"),
             QStringLiteral("Du tar bort den enda posten\npå kontot !\n\nDärmed avslutar du "
                            "också hela kontot !\n\nVill du fortsätta ?"))) {
        host_->Rensa_Mark(this);
        return;
    }
    clearGrid();
    showAccount(QString(), QString());
    host_->Rensa_Mark(this);
    host_->Reducera_Konto();
}

void LedgerFrame::TransText_Click() {
    if (!host_ || !host_->accountOpen() || host_->typing())
        return;
    const bool marked = host_->markedPost() > 0;
    const QString procedure = QStringLiteral("TransText_") + kind_.suffix + QStringLiteral("_Click");
    support::trapped(
        host_->context(), host_->hostWindow(), [&] { transTextClicked(); },
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
    if (host_->markedPost() > 0 && mainList) {
        offerReplacement();
        return;
    }
    const QString textTitle = QStringLiteral("Textbyte / Radering");
    if (!name.isEmpty() && mainList) {
        catalogue::TransactionChoice offered = host_->chosenMain();
        offered.name = name;
        host_->setChosenMain(offered);
        if (!ask(textTitle, fill(kind_.changeMain, name))) {
            transText_->clear();
            catalogue::TransactionChoice declined = host_->chosenMain();
            declined.name.clear();
            declined.sign.clear();
            host_->setChosenMain(declined);
            transCombo_->setEnabled(true);
            return;
        }
        grid_->setEnabled(kind_.gridOpenForChange);
        host_->Unlock_menues();
        host_->Unlock_Konto();
        host_->setPictureEnabled(true);
        host_->cancelButton()->setText(QStringLiteral("Avbryt Tr-ändr"));
        host_->armReset();
        host_->setProcedureCode(QStringLiteral("trch"));
        host_->openTransForm(QStringLiteral("chg"));
        return;
    }
    if (!name.isEmpty()) {
        catalogue::TransactionChoice offered = host_->chosenSub();
        offered.name = name;
        host_->setChosenSub(offered);
        if (!ask(textTitle, QStringLiteral("Vill du ändra eller radera subtransaktionen  '") + name +
                                QStringLiteral("' ?"))) {
            transText_->clear();
            host_->setChosenSub({});
            transCombo_->setEnabled(true);
            return;
        }
        host_->cancelButton()->setText(QStringLiteral("Avbryt Tr-ändr"));
        host_->armReset();
        host_->setProcedureCode(QStringLiteral("subtrch"));
        host_->openSubTransForm(QStringLiteral("chg"));
        return;
    }
    // An empty box: a new transaction, once the user has looked in the list.
    const bool lookFirst = kind_.askNewWithEmptyList || transCombo_->count() > 0;
    if (mainList) {
        if (lookFirst && !ask(QStringLiteral("Ny transaktion (?)"), kind_.newMain))
            return;
        host_->cancelButton()->setText(QStringLiteral("Avbryt ny tr.akt."));
        host_->armReset();
        host_->setProcedureCode(QStringLiteral("trny"));
        host_->openTransForm(QStringLiteral("ny"));
        return;
    }
    if (lookFirst && !ask(QStringLiteral("Ny Subtransaktion (?)"), kind_.newSub))
        return;
    host_->cancelButton()->setText(QStringLiteral("Avbr. Ny Subtr."));
    host_->armReset();
    host_->setProcedureCode(QStringLiteral("nysptr"));
    host_->openSubTransForm(QStringLiteral("ny"));
}

void LedgerFrame::TransCombo_Click() {
    if (!host_ || !host_->accountOpen() || transCombo_->currentIndex() < 0)
        return;
    const int number = transCombo_->currentData().toInt();
    const bool mainList = hOption_->isChecked();
    const bool marked = host_->markedPost() > 0;
    const QString oldName = host_->chosenMain().name;
    ListStep step = ListStep::Fetch;
    runChange(
        [&] {
            if (mainList && marked) {
                // A marked post's main transaction is only replaced through the transaction box.
                if (host_->procedureCode() != QLatin1String("trbyt"))
                    return;
                step = ListStep::Replace;
                confirmReplacement(number);
                return;
            }
            if (!mainList) {
                step = marked ? ListStep::SubForMarkedPost : ListStep::SubForEntry;
                chooseSubTransaction(number);
                transText_->setText(host_->chosenSub().name);
                if (marked)
                    subChosenForMarkedPost();
                else
                    subChosenWithoutMark(amountPending(), amountBoxes().front());
                return;
            }
            chooseMainTransaction(number);
            transText_->setText(host_->chosenMain().name);
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
    const int post = host_->markedPost();
    const shift::Posts posts(host_->kontoData(), host_->postCount());
    const QString current =
        subTransactionName(store::parseRecordNumber(store::trimField(posts.field(post, subTransField()))));
    const QString chosen = host_->chosenSub().name;
    const bool replace = !current.isEmpty();
    if (!ask(replace ? QStringLiteral("Ändrad subtransaktion i post")
                     : QStringLiteral("Ny subtransaktion i post"),
             replace ? fill(kind_.subReplace, current, chosen) : fill(kind_.subAdd, chosen))) {
        host_->Rensa_Mark(this); // back to today's date as well
        return;
    }
    shift::setSubTransaction(host_->kontoData(), host_->postCount(), post, subTransField(),
                             host_->chosenSub().number);
    store::describeChange(
        (QStringLiteral("subtransaktion ") + chosen + QStringLiteral(" i post ") + QString::number(post))
            .toStdString());
    commitPosts();
}

void LedgerFrame::offerReplacement() {
    const QString name = host_->chosenMain().name;
    const QString title = QStringLiteral("Transaktionsbyte i kontopost");
    bool all = false;
    if (ask(title, fill(kind_.replaceOne, name))) {
        if (!ask(title, fill(kind_.explainOne, name)))
            return;
    } else {
        if (!ask(title, fill(kind_.replaceAll, name)) || !ask(title, fill(kind_.explainAll, name)))
            return;
        all = true;
    }
    replaceAll_ = all;
    transText_->setEnabled(false);
    transLabel_->setText(QStringLiteral("Välj ut ny transaktion"));
    transCombo_->setEnabled(true);
    host_->actionButton()->setEnabled(false);
    for (QLineEdit* box : amountBoxes())
        box->setReadOnly(true);
    host_->cancelButton()->setText(QStringLiteral("Avbryt Tr-byte"));
    host_->setProcedureCode(QStringLiteral("trbyt"));
}

void LedgerFrame::confirmReplacement(int number) {
    const auto old = host_->chosenMain();
    const auto rec = host_->transakt().read<store::TransRec>(static_cast<std::size_t>(number));
    const QString newName = QString::fromStdString(store::cp1252ToUtf8(rec.text(store::TransRec::TransNamn)));
    const QString newSign = QString(QChar(rec.raw(store::TransRec::Tecken)[0])).trimmed();
    transText_->setEnabled(true);
    transText_->setText(newName);
    catalogue::TransactionChoice chosen = host_->chosenMain();
    chosen.sign = newSign;
    host_->setChosenMain(chosen);
    const QString question = fill(kind_.confirmReplace, newName + signText(newSign, false),
                                  old.name + signText(old.sign, kind_.oldSignBlankIsExpense));
    if (!ask(QStringLiteral("Ändrad transaktion"), question)) {
        transText_->setText(old.name);
        host_->setChosenMain(old);
        pressCancel(); // back to the marked post
        return;
    }
    // Whatever the outcome, the marking ends with the replacement.
    transLabel_->setText(QStringLiteral("Transaktion"));
    host_->setProcedureCode(kind_.markCode);
    const auto signOf = [](const QString& sign) { return sign.isEmpty() ? ' ' : sign.at(0).toLatin1(); };
    const catalogue::Replacement replacement{old.number,      signOf(old.sign), number,
                                             signOf(newSign), replaceAll_,      host_->markedPost()};
    const auto result = catalogue::ChgAccountTrans(host_->catalogueHost(), host_->hostWindow(), replacement);
    if (result && result->outcome == Outcome::Done)
        tell(QStringLiteral("Transaktionsbyte utfört"), fill(kind_.replaced, old.name, newName));
    pressCancel();
}

TransTextSituation LedgerFrame::transTextSituation() const {
    const bool main = hOption_->isChecked();
    if (!transText_->text().isEmpty()) {
        if (host_->markedPost() > 0)
            return main ? TransTextSituation::MarkedMain : TransTextSituation::MarkedSub;
        if (main)
            return TransTextSituation::Main;
        return host_->procedureCode() == QLatin1String("nysptr") ? TransTextSituation::SubBeingMade
                                                                 : TransTextSituation::Sub;
    }
    if (main)
        return TransTextSituation::EmptyMain;
    return transCombo_->count() == 0 ? TransTextSituation::EmptySubNone : TransTextSituation::EmptySub;
}

void LedgerFrame::transTextHelp() {
    const Help& help = kind_.transTextHelp.at(static_cast<std::size_t>(transTextSituation()));
    transText_->setToolTip(help.tooltip);
    host_->setHelp(hOption_->isChecked() ? QStringLiteral("Transaktion") : QStringLiteral("Subtransaktion"),
                   help.line);
}

void LedgerFrame::optionHelp(bool mainOption) {
    if (!kind_.optionHelp)
        return;
    const QString chosenMain = host_->chosenMain().name;
    const QString chosenSub = host_->chosenSub().name;
    if (mainOption) {
        hOption_->setToolTip(!sOption_->isChecked() ? QString()
                             : chosenMain.isEmpty() ? QStringLiteral("Ladda listan med huvudtransaktioner !")
                                                    : QStringLiteral("Huvudtransaktion = ") + chosenMain);
        return;
    }
    QString tip;
    if (host_->markedPost() <= 0 && sOption_->isChecked()) {
        const int n = transCombo_->count();
        host_->setHelp(QStringLiteral("Subtransaktioner:"),
                       n > 0 ? QStringLiteral("Listan innehåller %1 subtransaktioner !").arg(n)
                             : QStringLiteral("Listan saknar subtransaktioner !"));
    } else if (host_->markedPost() <= 0) {
        host_->setHelpTitle(QStringLiteral("Subtransaktioner:"));
        // Looked up without creating the file: a hover writes nothing.
        const auto path = host_->context().paths.kategori(host_->accountNameBytes());
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
    markPost(host_->markedRow());
}

void LedgerFrame::gridClicked(int row, int column) {
    if (!host_ || !host_->accountOpen())
        return;
    const int post = host_->firstShownPost() + row;
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
                store::describeChange(
                    "bock i post " +
                    std::string(shift::Posts(host_->kontoData(), host_->postCount()).datum(post)));
                commitPosts();
                host_->setMarkedRow(-1);
                host_->setMarkedPost(0);
                refillView();
                return;
            }
            host_->setMarkedPost(post);
            markPost(row);
        },
        [&] {
            QStringList lines = kind_.gridError.description;
            lines << QStringLiteral("PostNr ") + QString::number(post);
            if (!move.isEmpty())
                lines << QStringLiteral("Felet uppstod vid flyttning, läge ") + move;
            return support::ErrorDescription{
                heading(kind_.gridReportName + QStringLiteral("_Click"), kind_.gridError.heading),
                lines + reportEnd()};
        });
}

void LedgerFrame::UtPost() {
    const int post = host_->markedPost();
    if (post <= 0)
        return;
    const QString question = QStringLiteral("Vill du radera posten med datum: ") + host_->workingDate() +
                             QStringLiteral("\n\n") + host_->chosenMain().name + QStringLiteral("\n\n") +
                             markedAmountsText();
    if (!ask(QStringLiteral("Borttagning av post"), question)) {
        host_->Rensa_Mark(this);
        return;
    }
    bool removeAccount = false;
    runChange(
        [&] {
            const PostResult result = removeInBook(post);
            store::describeChange((QStringLiteral("borttagen post ") + host_->workingDate() +
                                   QLatin1Char(' ') + host_->chosenMain().name)
                                      .toStdString());
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
                                QStringLiteral("Antal poster = ") + QString::number(host_->postCount())} +
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
    const QString date = host_->workingDate();
    runChange(
        [&] {
            const PostResult result = moveInBook(moveFirst(), moveLast(), date.toStdString());
            store::describeChange((QStringLiteral("flyttade poster till ") + date).toStdString());
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
    if (host_->markedPost() > 0)
        return;
    transText_->clear();
    host_->setChosenMain({});
    if (!amountPending()) {
        for (QLineEdit* box : amountBoxes())
            box->setReadOnly(true);
        if (!host_->balanceMode()) {
            host_->actionButton()->setEnabled(true);
            host_->actionButton()->setText(QStringLiteral("Flytta"));
            host_->setActionMode(QStringLiteral("flt"));
        }
    } else if (host_->actionMode() == QLatin1String("inl")) {
        host_->actionButton()->setEnabled(false); // the amount waits for its transaction
    }
}

void LedgerFrame::startChangeOfMarked() {
    host_->actionButton()->setText(QStringLiteral("Ändra"));
    host_->setActionMode(QStringLiteral("chg"));
    host_->actionButton()->setEnabled(false);
    host_->cancelButton()->setText(QStringLiteral("Avbryt ändr."));
    host_->setProcedureCode(QStringLiteral("chg"));
    host_->confirmButton()->setEnabled(false);
    scroll_->setEnabled(false);
}

void LedgerFrame::endChangeOfMarked() {
    host_->setProcedureCode(kind_.markCode);
    host_->cancelButton()->setText(QStringLiteral("Avbryt mark."));
    host_->actionButton()->setText(QStringLiteral("Ta bort"));
    host_->setActionMode(QStringLiteral("rem"));
    pressCancel(); // clears the marking
}

std::optional<std::string> LedgerFrame::typedAmount(const QLineEdit* box) {
    QString text = box->text().trimmed();
    if (text.startsWith('-'))
        text = text.mid(1).trimmed(); // the sign comes from the transaction
    std::string cleaned = store::cleanTypedAmount(text.toStdString());
    if (cleaned.empty()) {
        cleaned = std::string("0,00", 4);
        tell(QStringLiteral("Nollbelopp eller andra tecken"),
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
