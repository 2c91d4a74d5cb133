// The budget procedures of the frame "Budgetbokföring": choosing the transaction of a new post,
// entering its budgeted and actual amounts, confirming, the balance check, and marking,
// deleting, changing and moving posts. Confirmed posts feed the account's budget template.

#include "catalogue/Catalogue.h"
#include "ledger/BudgetLedger.h"
#include "ledger/ui/BudgetFrame.h"
#include "ledger/ui/LedgerHost.h"
#include "store/Cp1252.h"
#include "store/GroupCommit.h"
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

#include <optional>

namespace ledger {

namespace {
const QString CRLF = QStringLiteral("\r\n");

QString display(store::Amount a) {
    return QString::fromStdString(store::displayAmount(a));
}
QString displayStored(const QString& text) {
    return text.isEmpty() ? QString()
                          : QString::fromStdString(store::displayStoredAmount(text.toStdString()));
}
} // namespace

void BudgetFrame::attach(LedgerHost* host) {
    LedgerFrame::attach(host);
    budgBox_->installEventFilter(this);
    verklBox_->installEventFilter(this);
}

bool BudgetFrame::eventFilter(QObject* watched, QEvent* event) {
    auto* box = watched == budgBox_ ? budgBox_ : watched == verklBox_ ? verklBox_ : nullptr;
    if (box && event->type() == QEvent::KeyPress && !box->isReadOnly()) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            amountEnter(box);
            return true; // the key is swallowed
        }
        amountKeyDown(box);
    } else if (box && event->type() == QEvent::Enter && host_ && !host_->moveMode()) {
        amountBoxHelp(box);
    }
    return LedgerFrame::eventFilter(watched, event);
}

void BudgetFrame::resetEntry() {
    budgeted_.clear();
    actual_.clear();
    resetMove();
}

void BudgetFrame::restoreMarkedEntry() {
    host_->confirmButton()->setEnabled(statusOf(host_->markedPost()) == QLatin1String(" "));
    budgeted_ = host_->markedAmount();
    actual_ = host_->markedActual();
    budgBox_->setText(displayStored(budgeted_));
    verklBox_->setText(displayStored(actual_));
}

// --- Transaction choice

void BudgetFrame::Ladda_H_Trans_Budg() {
    loadTransactionList(catalogue::mainTransactions(host_->transakt()), QString());
    transCombo()->setPlaceholderText(QStringLiteral("Välj en huvudtransaktion från listan !"));
}

void BudgetFrame::Ladda_S_Trans_Budg() {
    const store::RecordFile kategori(host_->context().paths.kategori(host_->accountNameBytes()),
                                     store::KatRec::Length);
    loadTransactionList(catalogue::subTransactions(kategori), QString());
    transCombo()->setPlaceholderText(kategori.count() > 0
                                         ? QStringLiteral("Välj en subtransaktion från listan !")
                                         : QStringLiteral("Listan subtransaktioner är tom !"));
}

void BudgetFrame::H_TransOptionBudg_MouseDown() {
    switchList(
        true, [this] { Ladda_H_Trans_Budg(); }, QStringLiteral("H_TransOptionBudg"));
}

void BudgetFrame::S_TransOptionBudg_MouseDown() {
    switchList(
        false, [this] { Ladda_S_Trans_Budg(); }, QStringLiteral("S_TransOptionBudg"));
}

void BudgetFrame::TransCombo_Budget_DropDown() {
    TransCombo_DropDown();
}

void BudgetFrame::TransCombo_Budget_Click() {
    TransCombo_Click();
}

void BudgetFrame::mainChosenForEntry() {
    resignPendingAmounts();
    host_->Lock_Konto();
    host_->Lock_menues();
    host_->setPictureEnabled(false);
    host_->cancelButton()->setText(QStringLiteral("Avbryt inmatn."));
    host_->setProcedureCode(QStringLiteral("cbonomark"));
    grid()->setEnabled(false);
    budgBox_->setReadOnly(false);
    verklBox_->setReadOnly(false);
    budgBox_->setFocus();
}

// --- The amount boxes

void BudgetFrame::amountKeyDown(QLineEdit* box) {
    if (host_->typing())
        return;
    host_->setTyping(true);
    (box == budgBox_ ? budgeted_ : actual_).clear();
    if (host_->markedPost() <= 0) {
        box->clear();
        // Nothing is pending until Enter: the button cannot post a half-typed amount.
        host_->actionButton()->setEnabled(false);
        return;
    }
    startChangeOfMarked();
}

void BudgetFrame::amountEnter(QLineEdit* box) {
    if (!host_->typing() || host_->chosenMain().name.isEmpty())
        return;
    host_->setTyping(false);
    const auto cleaned = typedAmount(box);
    if (!cleaned)
        return;
    const store::Amount amount = store::Amount::parse(*cleaned).value_or(store::Amount{});
    const QString sign = signFor(amount);
    // The digits are kept as typed; only the sign comes from the transaction.
    const QString stored = sign + QString::fromStdString(*cleaned);
    if (stored.size() > static_cast<qsizetype>(store::AmountFieldWidth)) {
        showDoesNotFit();
        pressCancel();
        return;
    }
    (box == budgBox_ ? budgeted_ : actual_) = stored;
    box->setText(sign + display(amount));
    if (host_->markedPost() > 0) {
        host_->actionButton()->setEnabled(true);
        host_->actionButton()->setFocus();
        return;
    }
    if (box == budgBox_ && actual_.isEmpty()) {
        actual_ = budgeted_;
        verklBox_->setText(budgBox_->text());
    } else if (box == verklBox_ && budgeted_.isEmpty()) {
        budgeted_ = QStringLiteral("0");
        budgBox_->setText(QStringLiteral("0,00"));
    }
    host_->actionButton()->setEnabled(true);
    host_->actionButton()->setText(QStringLiteral("Lägg in"));
    host_->setActionMode(QStringLiteral("inl"));
    host_->actionButton()->setFocus();
}

QString BudgetFrame::signFor(store::Amount amount) const {
    return host_->chosenMain().sign == QLatin1String("-") && !amount.isZero() ? QStringLiteral("-")
                                                                              : QString();
}

void BudgetFrame::resignPendingAmounts() {
    const auto resign = [this](QString& text, QLineEdit* box) {
        if (text.isEmpty())
            return;
        const QString digits = text.startsWith('-') ? text.mid(1) : text;
        const store::Amount amount = store::Amount::parse(digits.toStdString()).value_or(store::Amount{});
        text = signFor(amount) + digits;
        box->setText(signFor(amount) + display(amount));
    };
    resign(budgeted_, budgBox_);
    resign(actual_, verklBox_);
    if (!budgeted_.isEmpty() && !host_->typing()) {
        host_->actionButton()->setEnabled(true);
        host_->actionButton()->setText(QStringLiteral("Lägg in"));
        host_->setActionMode(QStringLiteral("inl"));
    }
}

void BudgetFrame::amountBoxHelp(QLineEdit* box) {
    const bool budget = box == budgBox_;
    const bool marked = host_->markedPost() > 0;
    QString title = budget ? QStringLiteral("Budgetbelopp") : QStringLiteral("Verkl. belopp");
    QString tip, line;
    if (!marked && host_->chosenMain().name.isEmpty()) {
        tip = QStringLiteral("Transaktion ej vald !");
        line = QStringLiteral("Transaktion måste väljas innan belopp skrivs in !");
    } else if (!marked && box->isReadOnly()) {
        tip = QStringLiteral("Avsluta med [Lägg in] !");
        line = QStringLiteral("Slutför ändringen med [Lägg in] !");
    } else if (!marked && host_->typing()) {
        tip = QStringLiteral("Avsluta med ENTER !");
        line = QStringLiteral("Tryck ENTER efter avslutad inmatning !");
    } else if (!marked && budget) {
        tip = QStringLiteral("Skriv in Beloppet");
        line = QStringLiteral("Skriv in budgeterat belopp i fältet!");
    } else if (!marked && !budgBox_->text().isEmpty()) {
        tip = QStringLiteral("Belopp kan ändras !");
        line = QStringLiteral("Beloppet är möjligt att justera vid behov !");
    } else if (!marked && host_->balanceMode()) {
        title = QStringLiteral("Saldo");
        tip = QStringLiteral("För in Saldo");
        line = QStringLiteral("Skriv eller klistra in hämtat saldo i fältet!");
    } else if (!marked) {
        tip = QStringLiteral("Skriv in belopp !");
        line = QStringLiteral("Skriv in belopp i fältet!");
    } else if (box->isReadOnly()) {
        tip = QStringLiteral("Belopp kan ej ändras !");
        line = QStringLiteral("Ej möjligt ändra belopp under annan operation !");
    } else if (host_->typing()) {
        tip = QStringLiteral("Ändra och tryck ENTER !");
        line = QStringLiteral("Justera beloppet, tryck därefter ENTER !");
    } else if (budget) {
        tip = QStringLiteral("Beloppet kan ändras !");
        line = QStringLiteral("Beloppet är möjligt att justera vid behov !");
    } else {
        tip = QStringLiteral("Belopp kan ändras !");
        line = QStringLiteral("Belopp är möjligt att justera vid behov !");
    }
    box->setToolTip(tip);
    host_->setHelp(title, line);
}

// --- Changing the post file

void BudgetFrame::saveFiles() {
    store::GroupCommit group(host_->context().paths.journalFolder());
    group.stage(host_->kontoData());
    if (store::RecordFile* mall = host_->budgetMall(); mall && mall->dirty())
        group.stage(*mall);
    group.commit();
}

void BudgetFrame::balanceCheck() {
    Saldokontroll_Budget();
}

void BudgetFrame::showView() {
    host_->ScrollSet_Budget();
    refillView();
}

void BudgetFrame::refillView() {
    const auto values = [this] {
        return QStringList{QStringLiteral("Första post i listan = ") +
                               QString::number(host_->firstShownPost()),
                           QStringLiteral("Antal poster i kontot  ") + QString::number(host_->postCount())} +
               reportEnd();
    };
    // Each step reports its own failure; the change before them is already saved.
    if (!support::trapped(
            host_->context(), host_->hostWindow(), [&] { host_->Inläs_G2(); },
            [&] {
                return support::ErrorDescription{
                    QStringLiteral("Ett fel har uppstått i subrutinen Inläs_G2") + CRLF +
                        QStringLiteral("vid försök att uppdatera Budgetkonto") + CRLF + CRLF,
                    QStringList{QStringLiteral("Fel i rutinen Inläs_G2")} + values()};
            }))
        return;
    support::trapped(
        host_->context(), host_->hostWindow(), [&] { host_->OmLista_Budget(); },
        [&] {
            return support::ErrorDescription{
                QStringLiteral("Ett fel har uppstått i subrutinen OmLista_Budget") + CRLF +
                    QStringLiteral("vid skiftning i sammanställning för") + CRLF +
                    QStringLiteral("Budgetbokföring") + CRLF + CRLF,
                QStringList{QStringLiteral("Fel i rutinen OmLista_Budget"),
                            QStringLiteral("vid skiftning Budget")} +
                    values()};
        });
}

void BudgetFrame::toggleTick(int post) {
    BudgetLedger(host_->kontoData(), host_->postCount(), host_->context().today).toggleTick(post);
}

CheckAhead<BudgetBalanceFault>::Check BudgetFrame::checkOf(int postCount, int from) {
    return [kontoData = &host_->kontoData(), postCount, from, today = host_->context().today] {
        return BudgetLedger(*kontoData, postCount, today).checkBalances(from);
    };
}

void BudgetFrame::startBalanceCheck(int postCount, int from) {
    checkAhead_.start(checkOf(postCount, from), postCount, from);
}

void BudgetFrame::dropChanges() {
    checkAhead_.forget();
    host_->kontoData().reload();
    if (store::RecordFile* mall = host_->budgetMall(); mall && mall->dirty()) {
        mall->reload();
        host_->budgetMallChanged();
    }
}

void BudgetFrame::Inpost_Budget() {
    // Nothing is written without a transaction and both amounts taken with Enter.
    if (host_->chosenMain().number <= 0 || budgeted_.isEmpty() || actual_.isEmpty())
        return;
    const QString date = host_->workingDate();
    int position = 0;
    runChange(
        [&] {
            BudgetLedger book(host_->kontoData(), host_->postCount(), host_->context().today,
                              host_->budgetTemplate());
            position = book.insertPosition(date.toStdString());
            const BudgetEntry entry{date.toStdString(), std::abs(host_->chosenMain().number),
                                    host_->chosenSub().number, budgeted_.toStdString(),
                                    actual_.toStdString()};
            const PostResult result = book.insert(entry);
            store::describeChange((QStringLiteral("ny post ") + date + QLatin1Char(' ') +
                                   host_->chosenMain().name + QLatin1Char(' ') + displayStored(actual_))
                                      .toStdString());
            finishChange(result, result.position);
        },
        [&] {
            QStringList values{
                QStringLiteral("Fel i rutinen Inpost_Budget vid sparförsök"),
                QStringLiteral("av ny kontopost"),
                QStringLiteral("Nytt Budgetbelopp för inläggning ?  ") + budgeted_,
                QStringLiteral("Nytt Verkl. belopp för inläggning ?  ") + actual_,
                QStringLiteral("Referenssiffra för transaktion ") +
                    QString::number(host_->chosenMain().number),
                QStringLiteral("Referenssiffra för subtrans. ") + QString::number(host_->chosenSub().number),
                QStringLiteral("Insättningspunkt ny post  ") + QString::number(position),
                QStringLiteral("Antal poster i kontot  ") + QString::number(host_->postCount())};
            values += newPostValues(position);
            return support::ErrorDescription{
                QStringLiteral("Ett fel har uppstått i subrutinen Inpost_Budget") + CRLF +
                    QStringLiteral("vid försök lägga in ny kontopost") + CRLF + CRLF,
                values + reportEnd()};
        });
    pressCancel();
}

QStringList BudgetFrame::newPostValues(int position) const {
    using P = store::PostRec_Budget;
    // The post as it stands in memory at the insertion point, when it got that far.
    std::optional<P> post;
    try {
        if (position > 0 && static_cast<std::size_t>(position) <= host_->kontoData().count())
            post = host_->kontoData().read<P>(static_cast<std::size_t>(position));
    } catch (const std::exception&) {
    }
    const auto value = [&](store::Field f) {
        return post ? QString::fromStdString(store::cp1252ToUtf8(post->text(f))) : QString();
    };
    return {QStringLiteral("Nyinsatt post Datum  ") + value(P::Datum),
            QStringLiteral("Nyinsatt post Trans.ref  ") + value(P::TransNr),
            QStringLiteral("Nyinsatt post Budgetbelopp  ") + value(P::BudgBelopp),
            QStringLiteral("Nyinsatt post Verkl. belopp  ") + value(P::VerklBelopp),
            QStringLiteral("Nyinsatt post Budgetsaldo  ") + value(P::BudgSaldo),
            QStringLiteral("Nyinsatt post Verkl. saldo  ") + value(P::VerklSaldo),
            QStringLiteral("Nyinsatt post SaldoDiff  ") + value(P::DiffSaldo),
            QStringLiteral("Nyinsatt post Subtr.ref  ") + value(P::SubTransNr),
            QStringLiteral("Nyinsatt post status  ") + value(P::BStatus)};
}

void BudgetFrame::confirmPost() {
    const int post = host_->markedPost();
    if (post <= 0 || !host_->accountOpen())
        return;
    host_->confirmButton()->setEnabled(false);
    const QString text = QStringLiteral("Vill du verifiera beloppen:\n\n") +
                         displayStored(host_->markedAmount()) + QStringLiteral(" kr.   ") +
                         displayStored(host_->markedActual()) + QStringLiteral(" kr.\n\nsom verkliga ?");
    if (!ask(QStringLiteral("Bekräfta belopp"), text)) {
        host_->Rensa_Mark(this);
        return;
    }
    runChange(
        [&] {
            BudgetLedger book(host_->kontoData(), host_->postCount(), host_->context().today,
                              host_->budgetTemplate());
            store::describeChange(
                "bekräftad post " +
                std::string(shift::Posts(host_->kontoData(), host_->postCount()).datum(post)));
            if (book.confirm(post) == Outcome::Done)
                commitPosts();
            host_->Inläs_G2();
        },
        [&] {
            return support::ErrorDescription{
                QStringLiteral("Ett fel har uppstått i subrutinen Command1_Click") + CRLF +
                    QStringLiteral("vid klickning [Bekräfta] för ett") + CRLF +
                    QStringLiteral("antaget (blått) belopp") + CRLF + CRLF,
                QStringList{QStringLiteral("Fel nr 1 i rutinen Command1_Click"),
                            QStringLiteral("vid klickning [Bekräfta]"),
                            QStringLiteral("Budgetbeloppet är ") + host_->markedAmount(),
                            QStringLiteral("Verkligt belopp är ") + host_->markedActual(),
                            QStringLiteral("BG_B.BStatus är ('*' eller ' ' ) ") + statusOf(post),
                            QStringLiteral("(Ska vara = '*' om bekräftad !)")} +
                    reportEnd()};
        });
    pressCancel();
    host_->OmLista_Budget();
}

QString BudgetFrame::statusOf(int post) const {
    try {
        if (post > 0 && static_cast<std::size_t>(post) <= host_->kontoData().count())
            return QString::fromLatin1(host_->kontoData()
                                           .read<store::PostRec_Budget>(static_cast<std::size_t>(post))
                                           .raw(store::PostRec_Budget::BStatus));
    } catch (const std::exception&) {
    }
    return QString();
}

support::ErrorDescription BudgetFrame::balanceError(const QString& headingLines,
                                                    const QStringList& description) const {
    const int from = std::max(1, host_->recountStart());
    QStringList values = description;
    values << QStringLiteral("Angivet PostNr ?  ") + QString::number(host_->recountStart())
           << QStringLiteral("Antal poster i kontot  ") + QString::number(host_->postCount())
           << QStringLiteral("Siffra för pågående post ") + QString::number(from);
    // The amounts of the post the pass started from and of the one before, as far as they read.
    try {
        using P = store::PostRec_Budget;
        const shift::Posts posts(host_->kontoData(), host_->postCount());
        const auto text = [&](int n, store::Field f) {
            return n >= 1 && n <= posts.count() ? QString::fromLatin1(store::trimField(posts.field(n, f)))
                                                : QString();
        };
        values << QStringLiteral("Aktuell post Budgetbelopp  ") + text(from, P::BudgBelopp)
               << QStringLiteral("Aktuell post Verkl.belopp  ") + text(from, P::VerklBelopp)
               << QStringLiteral("Föregående post Budgetsaldo  ") + text(from - 1, P::BudgSaldo)
               << QStringLiteral("Föregående post Verkl.saldo  ") + text(from - 1, P::VerklSaldo)
               << QStringLiteral("Aktuell post Budgetsaldo  ") + text(from, P::BudgSaldo)
               << QStringLiteral("Aktuell post Verkl.saldo  ") + text(from, P::VerklSaldo)
               << QStringLiteral("Aktuell post Saldodiff.  ") + text(from, P::DiffSaldo);
    } catch (const std::exception&) {
    }
    return {headingLines, values + reportEnd()};
}

void BudgetFrame::Saldokontroll_Budget() {
    support::trapped(
        host_->context(), host_->hostWindow(), [&] { checkBalances(); },
        [&] {
            return balanceError(QStringLiteral("Ett fel har uppstått i subrutinen SaldoKontroll_Budget") +
                                    CRLF + QStringLiteral("vid kontrollräkning av kontoposter från") + CRLF +
                                    QStringLiteral("senaste ändringspunkt") + CRLF + CRLF,
                                {QStringLiteral("Fel i rutinen Saldokontroll_Budget vid kontrollräkning"),
                                 QStringLiteral("från senaste kontopost")});
        });
}

void BudgetFrame::checkBalances() {
    const int postCount = host_->postCount();
    const int from = std::max(1, host_->recountStart());
    const auto fault = checkAhead_.take(postCount, from, checkOf(postCount, from));
    if (!fault)
        return;
    const auto& post = fault->record;
    const QString testLine =
        fault->test == BalanceTest::Budget   ? QStringLiteral("Upptäckt skillnad budgetsaldo:")
        : fault->test == BalanceTest::Actual ? QStringLiteral("Upptäckt skillnad verkl. saldo:")
                                             : QStringLiteral("Upptäckt skillnad saldodiff:");
    const QString text =
        QStringLiteral("Programmet har hittat ett summeringsfel i\ndatafilen, vid kontrollräkning !\nFelet "
                       "är lokaliserat "
                       "till:\n\nDatum: ") +
        QString::fromStdString(post.text(store::PostRec_Budget::Datum)) + QStringLiteral("\nTransaktion: ") +
        QString::fromStdString(
            ledger::transactionName(host_->transakt(), post.raw(store::PostRec_Budget::TransNr))) +
        QStringLiteral("\nBudgetbelopp: ") +
        displayStored(QString::fromStdString(post.text(store::PostRec_Budget::BudgBelopp))) +
        QStringLiteral("\nVerkl.belopp: ") +
        displayStored(QString::fromStdString(post.text(store::PostRec_Budget::VerklBelopp))) +
        QStringLiteral("\n\n") + testLine + QStringLiteral("\n") + display(fault->stored) +
        QStringLiteral(" till ") + display(fault->expected) +
        (fault->test == BalanceTest::Difference ? QStringLiteral("\n\n") : QStringLiteral("\n\n\n")) +
        QStringLiteral(
            "Felet kan åtgärdas genom en om-\nräkningsprocedur av datafilen fr o m\nposten före den "
            "felaktiga !\n\nVill du att omräkningen sker ?");
    if (ask(QStringLiteral("Saldo-kontroll"), text))
        Recount_Budget();
    tell(QStringLiteral("Servicemeddelande"),
         QStringLiteral("Om felet upprepas, v g kontakta\nprogramleverantör !"));
}

void BudgetFrame::Recount_Budget() {
    bool recounted = false;
    runChange(
        [&] {
            BudgetLedger book(host_->kontoData(), host_->postCount(), host_->context().today);
            if (book.recount(std::max(1, host_->recountStart())) != Outcome::Done) {
                showAmountLimit(); // not checked again: the same values would be found
                return;
            }
            store::describeChange("omräkning av saldon");
            commitPosts();
            recounted = true;
        },
        [&] {
            return balanceError(QStringLiteral("Ett fel har uppstått i subrutinen ReCount_Budget") + CRLF +
                                    QStringLiteral("vid omräkning saldo efter felaktighet") + CRLF + CRLF,
                                {QStringLiteral("Fel i rutinen ReCount_Budget")});
        });
    if (recounted)
        Saldokontroll_Budget();
}

// --- Marking, deleting, changing and moving

void BudgetFrame::markPost(int row) {
    beginMark(row);
    const auto post =
        host_->kontoData().read<store::PostRec_Budget>(static_cast<std::size_t>(host_->markedPost()));
    host_->confirmButton()->setEnabled(!post.confirmed());
    takeMarkedTransactions(post.raw(store::PostRec_Budget::TransNr),
                           post.raw(store::PostRec_Budget::SubTransNr));
    host_->setMarkedAmount(QString::fromStdString(post.text(store::PostRec_Budget::BudgBelopp)));
    host_->setMarkedActual(QString::fromStdString(post.text(store::PostRec_Budget::VerklBelopp)));
    budgeted_ = host_->markedAmount();
    actual_ = host_->markedActual();
    for (QLineEdit* box : {budgBox_, verklBox_})
        box->setReadOnly(false);
    budgBox_->setText(displayStored(budgeted_));
    verklBox_->setText(displayStored(actual_));
    endMark(post.text(store::PostRec_Budget::Datum), QStringLiteral("mkg2"));
}

void BudgetFrame::UtPost_Budget() {
    UtPost();
}

QString BudgetFrame::markedAmountsText() const {
    return displayStored(host_->markedAmount()) + QStringLiteral(" kr.,  ") +
           displayStored(host_->markedActual()) + QStringLiteral(" kr.  ?");
}

PostResult BudgetFrame::removeInBook(int post) {
    return BudgetLedger(host_->kontoData(), host_->postCount(), host_->context().today).remove(post);
}

void BudgetFrame::ChgPost_Budget() {
    const int post = host_->markedPost();
    if (post <= 0)
        return;
    const QString sign = host_->chosenMain().sign == QLatin1String("-") ? QStringLiteral("-") : QString();
    const auto shown = [&](const QString& text) {
        return sign + display(store::Amount::parse(text.toStdString()).value_or(store::Amount{}).abs());
    };
    QString question = QStringLiteral("Vill du ändra tidigare:");
    const bool budgetChanged = budgeted_ != host_->markedAmount();
    const bool actualChanged = actual_ != host_->markedActual();
    if (budgetChanged)
        question += QStringLiteral("\nBudgetbeloppet:  ") + shown(host_->markedAmount()) +
                    QStringLiteral("  till  ") + shown(budgeted_) + QStringLiteral("  ?");
    if (actualChanged)
        question += QStringLiteral("\nVerkl. beloppet:  ") + shown(host_->markedActual()) +
                    QStringLiteral("  till  ") + shown(actual_) + QStringLiteral("  ?");
    if (!budgetChanged && !actualChanged) {
        tell(QStringLiteral("Ändring av tidigare belopp"), QStringLiteral("Ingen ändring utförd !"));
        pressCancel(); // back to the marked post
        return;
    }
    if (!ask(QStringLiteral("Ändring av tidigare belopp"), question)) {
        pressCancel();
        return;
    }
    runChange(
        [&] {
            BudgetLedger book(host_->kontoData(), host_->postCount(), host_->context().today,
                              host_->budgetTemplate());
            const PostResult result =
                book.changeAmounts(post, budgeted_.toStdString(), actual_.toStdString());
            store::describeChange(
                "ändrade belopp i post " +
                std::string(shift::Posts(host_->kontoData(), host_->postCount()).datum(post)));
            if (result.outcome != Outcome::NoChange)
                finishChange(result, post);
        },
        [&] {
            return support::ErrorDescription{
                QStringLiteral("Ett fel har uppstått i subrutinen ChgPost_Budget") + CRLF +
                    QStringLiteral("vid ändring av post i datafilen.") + CRLF + CRLF,
                {QStringLiteral("Fel i rutinen ChgPost_Budget"),
                 QStringLiteral("PostNr ") + QString::number(post),
                 QStringLiteral("Budgetbelopp före = ") + host_->markedAmount(),
                 QStringLiteral("Budgetbelopp efter = ") + budgeted_,
                 QStringLiteral("Verkl. belopp före = ") + host_->markedActual(),
                 QStringLiteral("Verkl. belopp efter = ") + actual_,
                 QStringLiteral("Kontoslag = BudgetKonto"),
                 QStringLiteral("Felet uppstod i konto ") + host_->accountName()}};
        });
    endChangeOfMarked();
}

void BudgetFrame::PostMover_Budget() {
    if (moveState().isEmpty() && host_->postCount() < 2) {
        redateOnlyPost();
        return;
    }
    PostMover();
}

PostResult BudgetFrame::moveInBook(int first, int last, const std::string& date) {
    return BudgetLedger(host_->kontoData(), host_->postCount(), host_->context().today,
                        host_->budgetTemplate())
        .move(first, last, date);
}

std::vector<QWidget*> BudgetFrame::moveLockedControls() const {
    return {budgBox_, verklBox_, columnTitles().at(2), columnTitles().at(3)};
}

void BudgetFrame::redateOnlyPost() {
    const QString date = host_->workingDate();
    runChange(
        [&] {
            // The only post takes the working date as it is: amounts, balances and the confirmed
            // flag stay.
            shift::setDate(host_->kontoData(), host_->postCount(), 1, date.toStdString());
            store::describeChange(
                (QStringLiteral("nytt datum ") + date + QStringLiteral(" i post 1")).toStdString());
            commitPosts();
            refillView();
        },
        [&] {
            return support::ErrorDescription{
                QStringLiteral("Ett fel har uppstått i subrutinen PostMover_Budget") + CRLF +
                    QStringLiteral("vid försök att flytta post(er) till nytt datum.") + CRLF + CRLF,
                QStringList{QStringLiteral("Fel i rutinen PostMover_Budget"),
                            QStringLiteral("vid försök att flytta post(er) till nytt datum.."),
                            QStringLiteral("Nytt datum = ") + date} +
                    reportEnd()};
        });
    pressCancel();
}

} // namespace ledger
