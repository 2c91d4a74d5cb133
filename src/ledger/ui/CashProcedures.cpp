// The cash-book procedures of the frame "Kassabokföring": choosing the transaction of a new
// post, entering it, the balance check, and marking, deleting, changing and moving posts. The
// frame works on the open account of the main window and calls its named procedures.

#include "catalogue/Catalogue.h"
#include "catalogue/ui/CatalogueProcedures.h"
#include "ledger/Cashbook.h"
#include "ledger/ui/CashFrame.h"
#include "ledger/ui/LedgerHost.h"
#include "store/Cp1252.h"
#include "store/History.h"
#include "store/Records.h"
#include "support/ui/Context.h"
#include "support/ui/Trap.h"

#include <QComboBox>
#include <QEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QTableWidget>

namespace ledger {

namespace {
const QString CRLF = QStringLiteral("\r\n");

QString display(store::Amount a) {
    return QString::fromStdString(store::displayAmount(a));
}
QString displayStored(std::string_view text) {
    return QString::fromStdString(store::displayStoredAmount(text));
}
} // namespace

void CashFrame::attach(LedgerHost* host) {
    LedgerFrame::attach(host);
    amountBox_->installEventFilter(this);
    saldoTitle()->installEventFilter(this);
}

bool CashFrame::eventFilter(QObject* watched, QEvent* event) {
    if (watched == amountBox_ && event->type() == QEvent::KeyPress && !amountBox_->isReadOnly()) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            Bel_Enkel_Enter();
            return true; // the key is swallowed
        }
        Bel_Enkel_KeyDown();
    } else if (watched == amountBox_ && event->type() == QEvent::MouseButtonRelease && host_ &&
               host_->balanceMode() && !amountBox_->isReadOnly() && !amountBox_->text().trimmed().isEmpty()) {
        Bel_Enkel_Enter(); // a balance pasted with the mouse
    } else if (event->type() == QEvent::MouseButtonPress && watched == saldoTitle() && host_ &&
               saldoTitle()->isEnabled() && host_->procedureCode().isEmpty()) {
        Skapa_StdTrans();
    } else if (event->type() == QEvent::Enter && watched == amountBox_ && host_ && !host_->moveMode()) {
        amountBoxHelp();
    }
    return LedgerFrame::eventFilter(watched, event);
}

void CashFrame::resetEntry() {
    amountText_.clear();
    newBalanceText_.clear();
    resetMove();
}

void CashFrame::restoreMarkedEntry() {
    amountText_ = host_->markedAmount();
    amountBox_->setText(host_->markedAmount().isEmpty() ? QString()
                                                        : displayStored(host_->markedAmount().toStdString()));
}

// --- Transaction choice

void CashFrame::Ladda_H_Trans_Enkel() {
    loadTransactionList(catalogue::mainTransactions(host_->transakt()),
                        QStringLiteral("Välj en huvudtransaktion från listan  !"));
    showStandardTransactionReady(catalogue::neutralStandardTransaction(host_->transakt()) != 0);
}

void CashFrame::Ladda_S_Trans_Enkel() {
    const store::RecordFile kategori(host_->context().paths.kategori(host_->accountNameBytes()),
                                     store::KatRec::Length);
    const auto items = catalogue::subTransactions(kategori);
    loadTransactionList(items, kategori.count() > 0 ? QStringLiteral("Välj en subtransaktion från listan !")
                                                    : QStringLiteral("Listan subtransaktioner är tom !"));
}

void CashFrame::H_TransOptionEnk_MouseDown() {
    switchList(
        true, [this] { Ladda_H_Trans_Enkel(); }, QStringLiteral("H_TransOptionEnk"));
}

void CashFrame::S_TransOptionEnk_MouseDown() {
    switchList(
        false, [this] { Ladda_S_Trans_Enkel(); }, QStringLiteral("S_TransOptionEnk"));
}

void CashFrame::TransCombo_Enkel_DropDown() {
    TransCombo_DropDown();
}

void CashFrame::TransCombo_Enkel_Click() {
    TransCombo_Click();
}

void CashFrame::mainChosenForEntry() {
    if (!host_->balanceMode()) {
        host_->Lock_menues();
        host_->Lock_Konto();
        host_->setPictureEnabled(false);
        host_->cancelButton()->setText(QStringLiteral("Avbryt inmatn."));
        host_->setProcedureCode(QStringLiteral("cbonomark"));
        if (!amountText_.isEmpty())
            takeAmount(store::Amount::parse(amountText_.toStdString()).value_or(store::Amount{}).abs());
    }
    amountBox_->setReadOnly(false);
    amountBox_->setFocus();
}

// --- The amount box

void CashFrame::Bel_Enkel_KeyDown() {
    if (host_->typing())
        return;
    host_->setTyping(true);
    amountText_.clear();
    if (host_->markedPost() <= 0) {
        amountBox_->clear();
        // Nothing is pending until Enter: the button cannot post a half-typed amount.
        if (host_->actionMode() == QLatin1String("inl"))
            host_->actionButton()->setEnabled(false);
        return;
    }
    startChangeOfMarked();
}

void CashFrame::Bel_Enkel_Enter() {
    host_->setTyping(false);
    QString text = amountBox_->text().trimmed();
    if (host_->balanceMode()) {
        // A balance may be negative; it is read as typed or pasted, with spaces between groups.
        const bool negative = text.startsWith('-');
        const std::string digits = store::cleanTypedAmount((negative ? text.mid(1) : text).toStdString());
        const auto balance = store::Amount::parse(digits);
        if (digits.empty() || !balance) {
            tell(QStringLiteral("Nytt saldo"),
                 QStringLiteral("Saldot kan inte läsas !\n\nSkriv in det med siffror, "
                                "ev. minustecken och decimalkomma."),
                 support::Dialogs::Icon::Exclamation);
            return;
        }
        const store::Amount value = negative ? -*balance : *balance;
        if (!store::withinAmountLimit(value)) {
            showAmountLimit();
            pressCancel();
            return;
        }
        newBalanceText_ = QString::fromStdString(value.amountText());
        amountBox_->setText(display(value));
        host_->actionButton()->setEnabled(true);
        host_->actionButton()->setText(QStringLiteral("Beräkna"));
        host_->actionButton()->setFocus();
        return;
    }

    const auto cleaned = typedAmount(amountBox_);
    if (!cleaned)
        return;
    const store::Amount amount = store::Amount::parse(*cleaned).value_or(store::Amount{});
    const bool expense = host_->chosenMain().sign == QLatin1String("-");
    if (!store::fitsAmountField(expense ? -amount : amount)) {
        showDoesNotFit();
        pressCancel();
        return;
    }
    takeAmount(amount);
    host_->actionButton()->setFocus();
}

void CashFrame::takeAmount(store::Amount amount) {
    // The sign is the chosen transaction's; a zero carries none.
    const bool negative = host_->chosenMain().sign == QLatin1String("-") && !amount.isZero();
    const store::Amount signedAmount = negative ? -amount : amount;
    amountText_ = QString::fromStdString(signedAmount.amountText());
    amountBox_->setText(display(signedAmount));
    if (host_->markedPost() > 0) {
        host_->actionButton()->setEnabled(true);
        return;
    }
    // A new post needs its transaction; without one the amount waits.
    const bool ready = host_->chosenMain().number > 0;
    host_->actionButton()->setEnabled(ready);
    if (ready) {
        host_->actionButton()->setText(QStringLiteral("Lägg in"));
        host_->setActionMode(QStringLiteral("inl"));
    }
}

void CashFrame::amountBoxHelp() {
    QString tip, line;
    const bool marked = host_->markedPost() > 0;
    if (!marked && host_->chosenMain().name.isEmpty()) {
        tip = QStringLiteral("Transaktion ej vald !");
        line = QStringLiteral("Transaktion måste väljas innan belopp skrivs in !");
    } else if (!marked && amountBox_->isReadOnly()) {
        tip = QStringLiteral("Avsluta med [Lägg in] !");
        line = QStringLiteral("Slutför ändringen med [Lägg in] !");
    } else if (!marked && host_->balanceMode() && !newBalanceText_.isEmpty()) {
        tip = QStringLiteral("Beräkna beloppet !");
        line = QStringLiteral("Klicka på kommandoknappen 'Beräkna' !");
    } else if (!marked && host_->balanceMode()) {
        tip = QStringLiteral("För in Saldo");
        line = QStringLiteral("Skriv eller klistra in hämtat saldo i fältet!");
    } else if (!marked && host_->typing()) {
        tip = QStringLiteral("Avsluta med ENTER !");
        line = QStringLiteral("Tryck ENTER efter avslutad inmatning !");
    } else if (!marked) {
        tip = QStringLiteral("Skriv in beloppet");
        line = QStringLiteral("Skriv in beloppet i fältet!");
    } else if (amountBox_->isReadOnly()) {
        tip = QStringLiteral("Belopp kan ej ändras !");
        line = QStringLiteral("Ej möjligt ändra belopp under annan operation !");
    } else if (host_->typing()) {
        tip = QStringLiteral("Ändra och tryck ENTER !");
        line = QStringLiteral("Justera beloppet, tryck därefter ENTER !");
    } else {
        tip = QStringLiteral("Beloppet kan ändras !");
        line = QStringLiteral("Beloppet möjligt justera vid behov !");
    }
    amountBox_->setToolTip(tip);
    host_->setHelp(host_->balanceMode() ? QStringLiteral("Saldo") : QStringLiteral("Belopp"), line);
}

// --- Changing the post file

void CashFrame::saveFiles() {
    host_->kontoData().commit();
}

void CashFrame::dropChanges() {
    checkAhead_.forget();
    host_->kontoData().reload();
}

CheckAhead<CashBalanceFault>::Check CashFrame::checkOf(int postCount, int from) {
    return [kontoData = &host_->kontoData(), postCount, from] {
        return Cashbook(*kontoData, postCount).checkBalances(from);
    };
}

void CashFrame::startBalanceCheck(int postCount, int from) {
    checkAhead_.start(checkOf(postCount, from), postCount, from);
}

void CashFrame::balanceCheck() {
    SaldoKontroll_Enkel();
}

void CashFrame::showView() {
    host_->ScrollSet_Enkel();
    refillView();
}

void CashFrame::refillView() {
    host_->Inläs_G1();
    host_->OmLista_Enkel();
}

void CashFrame::toggleTick(int post) {
    Cashbook(host_->kontoData(), host_->postCount()).toggleTick(post);
}

void CashFrame::Inpost_Enkel() {
    // Nothing is written without a transaction and an amount (or a new balance) taken with Enter.
    if (host_->chosenMain().number <= 0 || (host_->balanceMode() ? newBalanceText_ : amountText_).isEmpty())
        return;
    const QString date = host_->workingDate();
    runChange(
        [&] {
            store::Amount amount = store::Amount::parse(amountText_.toStdString()).value_or(store::Amount{});
            if (host_->balanceMode() && !amountFromNewBalance(date, amount))
                return;
            Cashbook book(host_->kontoData(), host_->postCount());
            const CashEntry entry{date.toStdString(), std::abs(host_->chosenMain().number),
                                  host_->chosenSub().number, amount};
            const PostResult result = book.insert(entry);
            store::describeChange((QStringLiteral("ny post ") + date + QLatin1Char(' ') +
                                   host_->chosenMain().name + QLatin1Char(' ') + display(amount))
                                      .toStdString());
            finishChange(result, result.position);
        },
        [&] {
            return support::ErrorDescription{
                QStringLiteral("Ett fel har uppstått i subrutinen Inpost_Enkel") + CRLF +
                    QStringLiteral(" vid inläggning av ny post i datafilen.") + CRLF + CRLF,
                {QStringLiteral("Fel i rutinen Inpost_Enkel"),
                 QStringLiteral("vid inläggning av ny post i datafilen"), QStringLiteral("Datum = ") + date,
                 QStringLiteral("Belopp = ") + amountText_,
                 QStringLiteral("Transaktionsreferens ") + QString::number(host_->chosenMain().number),
                 QStringLiteral("Antal poster = ") + QString::number(host_->postCount()),
                 QStringLiteral("Felet uppstod i konto ") + host_->accountName()}};
        });
    pressCancel();
}

bool CashFrame::amountFromNewBalance(const QString& date, store::Amount& amount) {
    host_->setBalanceMode(false);
    amountTitle()->setText(QStringLiteral("Belopp"));
    host_->actionButton()->setText(QString());
    const Cashbook book(host_->kontoData(), host_->postCount());
    const char sign = host_->chosenMain().sign.isEmpty() ? ' ' : host_->chosenMain().sign.at(0).toLatin1();
    const auto newBalance = store::Amount::parse(newBalanceText_.toStdString()).value_or(store::Amount{});
    const BalanceEntry entry = book.balanceEntry(date.toStdString(), newBalance, sign);
    if (entry.sign != SignCheck::Agrees) {
        const bool positive = entry.sign == SignCheck::PositiveForExpense;
        tell(positive ? QStringLiteral("Positivt belopp vid utgifts-transaktion")
                      : QStringLiteral("Negativt belopp vid inkomst-transaktion"),
             QStringLiteral("Framräknat belopp ej överensstämmande m a p tecken "
                            "!\nSäkra att rätt transaktion anges innan "
                            "ett nytt saldo matas in ! (Bör vara en ") +
                 (positive ? QStringLiteral("inkomsttransaktion !)")
                           : QStringLiteral("utgiftstransaktion !)")),
             support::Dialogs::Icon::Exclamation);
        return false;
    }
    amount = entry.amount;
    if (entry.fromPrevious)
        tell(QStringLiteral("Belopp vid insättning av nytt saldo"),
             QStringLiteral("Framräknat belopp från nytt saldo den ") + date + QStringLiteral(" blir\n\n") +
                 QString::fromStdString(store::formatPattern(amount, "### ###.0#")));
    return true;
}

void CashFrame::startBalanceEntry() {
    amountBox_->clear(); // a balance, not the amount that stood there
    amountTitle()->setText(QStringLiteral("Nytt Saldo"));
    host_->actionButton()->setText(QString());
    host_->setActionMode(QStringLiteral("inl"));
    host_->actionButton()->setEnabled(false); // until a balance is entered
    host_->cancelButton()->setText(QStringLiteral("Avbryt Saldo-In"));
    host_->setProcedureCode(QStringLiteral("saldo"));
    host_->armReset();
    host_->setBalanceMode(true);
    newBalanceText_.clear();
}

void CashFrame::Skapa_StdTrans() {
    if (!host_->accountOpen())
        return;
    host_->closeFundHint();
    catalogue::Skapa_StdTrans(host_->catalogueHost(), host_->hostWindow());
}

void CashFrame::SaldoKontroll_Enkel() {
    const int postCount = host_->postCount();
    const int from = std::max(1, host_->recountStart());
    const auto fault = checkAhead_.take(postCount, from, checkOf(postCount, from));
    if (!fault)
        return;
    const auto& post = fault->record;
    const QString text =
        QStringLiteral("Programmet har hittat ett summeringsfel i\ndatafilen, vid kontrollräkning !\nFelet "
                       "är lokaliserat "
                       "till:\n\nDatum: ") +
        QString::fromStdString(post.text(store::PostRec_Enkel::Datum)) + QStringLiteral("\nTransaktion: ") +
        QString::fromStdString(
            ledger::transactionName(host_->transakt(), post.raw(store::PostRec_Enkel::TransNr))) +
        QStringLiteral("\nBelopp: ") + displayStored(post.text(store::PostRec_Enkel::Belopp)) +
        QStringLiteral("\n\nUpptäckt saldoskillnad:\n") + display(fault->stored) + QStringLiteral(" till ") +
        display(fault->expected) +
        QStringLiteral(
            "\n\nFelet kan åtgärdas genom en om-\nräkningsprocedur av datafilen fr o m\nposten före den "
            "felaktiga !\n\nVill du att omräkningen utföres ?");
    const bool repair = ask(QStringLiteral("Saldo-kontroll"), text);
    if (repair)
        ReCount_Enkel();
    tell(QStringLiteral("Servicemeddelande"),
         QStringLiteral("Om felet upprepas, v g kontakta\nprogramleverantör !"));
}

void CashFrame::ReCount_Enkel() {
    Cashbook book(host_->kontoData(), host_->postCount());
    if (book.recount(std::max(1, host_->recountStart())) != Outcome::Done) {
        // A balance that cannot be stored is left as it is and not checked again.
        showAmountLimit();
        return;
    }
    store::describeChange("omräkning av saldon");
    commitPosts();
    SaldoKontroll_Enkel();
}

// --- Marking, deleting, changing and moving

void CashFrame::markPost(int row) {
    beginMark(row);
    const auto post =
        host_->kontoData().read<store::PostRec_Enkel>(static_cast<std::size_t>(host_->markedPost()));
    takeMarkedTransactions(post.raw(store::PostRec_Enkel::TransNr),
                           post.raw(store::PostRec_Enkel::SubTransNr));
    const std::string stored = post.text(store::PostRec_Enkel::Belopp);
    amountBox_->setReadOnly(false);
    amountBox_->setText(displayStored(stored));
    host_->setMarkedAmount(QString::fromStdString(stored));
    amountText_ = host_->markedAmount();
    endMark(post.text(store::PostRec_Enkel::Datum), QStringLiteral("mkg1"));
}

void CashFrame::UtPost_Enkel() {
    UtPost();
}

QString CashFrame::markedAmountsText() const {
    return displayStored(host_->markedAmount().toStdString()) + QStringLiteral(" kr.  ?");
}

PostResult CashFrame::removeInBook(int post) {
    return Cashbook(host_->kontoData(), host_->postCount()).remove(post);
}

void CashFrame::ChgPost_Enkel() {
    const int post = host_->markedPost();
    if (post <= 0)
        return;
    const auto oldAmount =
        store::Amount::parse(host_->markedAmount().toStdString()).value_or(store::Amount{});
    const auto newAmount = store::Amount::parse(amountText_.toStdString()).value_or(store::Amount{});
    if (newAmount == oldAmount) {
        tell(QStringLiteral("Ändring av tidigare belopp"), QStringLiteral("Ingen ändring utförd !"));
        pressCancel(); // back to the marked post
        return;
    }
    const QString sign = host_->chosenMain().sign == QLatin1String("-") ? QStringLiteral("-") : QString();
    const QString question = QStringLiteral("Vill du ändra tidigare:\n\nVerkl. beloppet:  ") + sign +
                             display(oldAmount.abs()) + QStringLiteral("  till  ") + sign +
                             display(newAmount.abs()) + QStringLiteral("  ?\n");
    if (!ask(QStringLiteral("Ändring av tidigare belopp"), question)) {
        pressCancel();
        return;
    }
    runChange(
        [&] {
            Cashbook book(host_->kontoData(), host_->postCount());
            const PostResult result = book.changeAmount(post, newAmount);
            store::describeChange((QStringLiteral("ändrat belopp ") + sign + display(oldAmount.abs()) +
                                   QStringLiteral(" till ") + sign + display(newAmount.abs()))
                                      .toStdString());
            if (result.outcome != Outcome::NoChange)
                finishChange(result, post);
        },
        [&] {
            return support::ErrorDescription{
                QStringLiteral("Ett fel har uppstått i subrutinen ChgPost_Enkel") + CRLF +
                    QStringLiteral(" vid ändring av post i datafilen.") + CRLF + CRLF,
                {QStringLiteral("Fel i rutinen ChgPost_Enkel"),
                 QStringLiteral("PostNr ") + QString::number(post),
                 QStringLiteral("Belopp före = ") + host_->markedAmount(),
                 QStringLiteral("Belopp efter = ") + amountText_,
                 QStringLiteral("Felet uppstod i konto ") + host_->accountName()}};
        });
    endChangeOfMarked();
}

void CashFrame::PostMover_Enkel() {
    PostMover();
}

std::vector<QWidget*> CashFrame::moveLockedControls() const {
    return {amountBox_, amountTitle()};
}

PostResult CashFrame::moveInBook(int first, int last, const std::string& date) {
    return Cashbook(host_->kontoData(), host_->postCount()).move(first, last, date);
}

} // namespace ledger
