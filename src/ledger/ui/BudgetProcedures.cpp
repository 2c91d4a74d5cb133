// The budget procedures of the frame "Budgetbokföring": choosing the transaction of a new post,
// entering its budgeted and actual amounts, confirming, the balance check, and marking,
// deleting, changing and moving posts. Confirmed posts feed the account's budget template.

#include "app/DateSelector.h"
#include "app/HeadForm.h"
#include "catalogue/Catalogue.h"
#include "ledger/BudgetLedger.h"
#include "ledger/ui/BudgetFrame.h"
#include "store/Cp1252.h"
#include "store/GroupCommit.h"
#include "store/Records.h"
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
QString displayStored(const QString& text) {
    return text.isEmpty() ? QString()
                          : QString::fromStdString(store::displayStoredAmount(text.toStdString()));
}
} // namespace

void BudgetFrame::attach(app::HeadForm* head) {
    LedgerFrame::attach(head);
    connect(grid(), &QTableWidget::cellClicked, this, &BudgetFrame::G2_Click);
    connect(transCombo(), &QComboBox::activated, this, [this] { TransCombo_Budget_Click(); });
    for (QWidget* w : std::initializer_list<QWidget*>{budgBox_, verklBox_, transCombo(), mainOption(),
                                                      subOption(), grid(), transText()})
        w->installEventFilter(this);
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
    } else if (event->type() == QEvent::MouseButtonPress) {
        if (watched == transText() && transText()->isEnabled())
            TransText_Click();
        else if (watched == transCombo() && transCombo()->isEnabled())
            TransCombo_Budget_DropDown();
        else if (watched == mainOption() && mainOption()->isEnabled()) {
            H_TransOptionBudg_MouseDown();
            return true;
        } else if (watched == subOption() && subOption()->isEnabled()) {
            S_TransOptionBudg_MouseDown();
            return true;
        }
    } else if (event->type() == QEvent::Enter && head_ && !head_->moveMode_) {
        if (box)
            amountBoxHelp(box);
        else if (watched == grid())
            head_->setHelp(
                QStringLiteral("Display"),
                QStringLiteral(" Markera rad innan klick på [Ta bort] eller [Bekräfta]. \n För att flytta "
                               "post, klicka först på [Flytta]."));
    }
    return LedgerFrame::eventFilter(watched, event);
}

void BudgetFrame::resetEntry() {
    budgeted_.clear();
    actual_.clear();
    resetMove();
}

void BudgetFrame::restoreMarkedEntry() {
    budgeted_ = head_->markedAmount_;
    actual_ = head_->markedActual_;
    budgBox_->setText(displayStored(budgeted_));
    verklBox_->setText(displayStored(actual_));
}

// --- Transaction choice

void BudgetFrame::Ladda_H_Trans_Budg() {
    loadTransactionList(catalogue::mainTransactions(*head_->transakt_), QString());
    transCombo()->setPlaceholderText(QStringLiteral("Välj en huvudtransaktion från listan !"));
}

void BudgetFrame::Ladda_S_Trans_Budg() {
    const store::RecordFile kategori(head_->ctx_.paths.kategori(head_->accountNameBytes_),
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
    if (head_->markedPost_ > 0)
        return;
    transText()->clear();
    head_->chosenMain_ = {};
    if (budgeted_.isEmpty() && actual_.isEmpty()) {
        budgBox_->setReadOnly(true);
        verklBox_->setReadOnly(true);
        if (!head_->balanceMode_) {
            head_->command2_->setEnabled(true);
            head_->command2_->setText(QStringLiteral("Flytta"));
            head_->command2Mode_ = QStringLiteral("flt");
        }
    } else if (head_->command2Mode_ == QLatin1String("inl")) {
        head_->command2_->setEnabled(false); // the amounts wait for their transaction
    }
}

void BudgetFrame::TransCombo_Budget_Click() {
    if (!head_->transakt_ || transCombo()->currentIndex() < 0)
        return;
    const int number = transCombo()->currentData().toInt();
    support::trapped(
        head_->ctx_, head_,
        [&] {
            if (head_->markedPost_ > 0 && mainOption()->isChecked())
                return; // replacing a marked post's transaction belongs to the catalogue procedures
            if (!mainOption()->isChecked()) {
                chooseSubTransaction(number);
                transText()->setText(head_->chosenSub_.name);
                if (head_->markedPost_ <= 0)
                    subChosenWithoutMark(!budgeted_.isEmpty(), budgBox_);
                return;
            }
            chooseMainTransaction(number);
            transText()->setText(head_->chosenMain_.name);
            resignPendingAmounts();
            head_->Lock_Konto();
            head_->Lock_menues();
            head_->picture1_->setEnabled(false);
            head_->command3_->setText(QStringLiteral("Avbryt inmatn."));
            head_->setProcedureCode(QStringLiteral("cbonomark"));
            grid()->setEnabled(false);
            budgBox_->setReadOnly(false);
            verklBox_->setReadOnly(false);
            budgBox_->setFocus();
        },
        [&] {
            return support::ErrorDescription{
                QStringLiteral("Ett fel har uppstått i subrutinen TransCombo_Budget_Click") + CRLF +
                    QStringLiteral(" vid val på Transaktionslistan") + CRLF +
                    QStringLiteral(" och hämtning av transaktion") + CRLF + CRLF,
                {QStringLiteral("Fel i rutinen TransCombo_Budget_Click"),
                 QStringLiteral("Vald post = ") + QString::number(number),
                 QStringLiteral("Kontoslag = BudgetKonto"),
                 QStringLiteral("Felet uppstod i konto ") + head_->accountName_}};
        });
}

// --- The amount boxes

void BudgetFrame::amountKeyDown(QLineEdit* box) {
    if (head_->typing_)
        return;
    head_->typing_ = true;
    (box == budgBox_ ? budgeted_ : actual_).clear();
    if (head_->markedPost_ <= 0) {
        box->clear();
        // Nothing is pending until Enter: the button cannot post a half-typed amount.
        head_->command2_->setEnabled(false);
        return;
    }
    head_->command2_->setText(QStringLiteral("Ändra"));
    head_->command2Mode_ = QStringLiteral("chg");
    head_->command2_->setEnabled(false);
    head_->command3_->setText(QStringLiteral("Avbryt ändr."));
    head_->setProcedureCode(QStringLiteral("chg"));
    head_->command1_->setEnabled(false);
    scrollBar()->setEnabled(false);
}

void BudgetFrame::amountEnter(QLineEdit* box) {
    if (!head_->typing_ || head_->chosenMain_.name.isEmpty())
        return;
    head_->typing_ = false;
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
    const store::Amount amount = store::Amount::parse(cleaned).value_or(store::Amount{});
    if (amount.roundedWholeHalfEven() >= 100'000'000) {
        showAmountLimit();
        pressCancel();
        return;
    }
    const QString sign = signFor(amount);
    // The digits are kept as typed; only the sign comes from the transaction.
    const QString stored = sign + QString::fromStdString(cleaned);
    if (stored.size() > static_cast<qsizetype>(store::AmountFieldWidth)) {
        showDoesNotFit();
        pressCancel();
        return;
    }
    (box == budgBox_ ? budgeted_ : actual_) = stored;
    box->setText(sign + display(amount));
    if (head_->markedPost_ > 0) {
        head_->command2_->setEnabled(true);
        head_->command2_->setFocus();
        return;
    }
    if (box == budgBox_ && actual_.isEmpty()) {
        actual_ = budgeted_;
        verklBox_->setText(budgBox_->text());
    } else if (box == verklBox_ && budgeted_.isEmpty()) {
        budgeted_ = QStringLiteral("0");
        budgBox_->setText(QStringLiteral("0,00"));
    }
    head_->command2_->setEnabled(true);
    head_->command2_->setText(QStringLiteral("Lägg in"));
    head_->command2Mode_ = QStringLiteral("inl");
    head_->command2_->setFocus();
}

QString BudgetFrame::signFor(store::Amount amount) const {
    return head_->chosenMain_.sign == QLatin1String("-") && !amount.isZero() ? QStringLiteral("-")
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
    if (!budgeted_.isEmpty() && !head_->typing_) {
        head_->command2_->setEnabled(true);
        head_->command2_->setText(QStringLiteral("Lägg in"));
        head_->command2Mode_ = QStringLiteral("inl");
    }
}

void BudgetFrame::amountBoxHelp(QLineEdit* box) {
    const bool budget = box == budgBox_;
    const bool marked = head_->markedPost_ > 0;
    QString title = budget ? QStringLiteral("Budgetbelopp") : QStringLiteral("Verkl. belopp");
    QString tip, line;
    if (!marked && head_->chosenMain_.name.isEmpty()) {
        tip = QStringLiteral("Transaktion ej vald !");
        line = QStringLiteral("Transaktion måste väljas innan belopp skrivs in !");
    } else if (!marked && box->isReadOnly()) {
        tip = QStringLiteral("Avsluta med [Lägg in] !");
        line = QStringLiteral("Slutför ändringen med [Lägg in] !");
    } else if (!marked && head_->typing_) {
        tip = QStringLiteral("Avsluta med ENTER !");
        line = QStringLiteral("Tryck ENTER efter avslutad inmatning !");
    } else if (!marked && budget) {
        tip = QStringLiteral("Skriv in Beloppet");
        line = QStringLiteral("Skriv in budgeterat belopp i fältet!");
    } else if (!marked && !budgBox_->text().isEmpty()) {
        tip = QStringLiteral("Belopp kan ändras !");
        line = QStringLiteral("Beloppet är möjligt att justera vid behov !");
    } else if (!marked) {
        tip = QStringLiteral("Skriv in belopp !");
        line = QStringLiteral("Skriv in belopp i fältet!");
    } else if (box->isReadOnly()) {
        tip = QStringLiteral("Belopp kan ej ändras !");
        line = QStringLiteral("Ej möjligt ändra belopp under annan operation !");
    } else if (head_->typing_) {
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
    head_->setHelp(title, line);
}

// --- Changing the post file

void BudgetFrame::saveFiles() {
    store::GroupCommit group(head_->ctx_.paths.journalFolder());
    group.stage(*head_->kontoData_);
    if (head_->bMall_ && head_->bMall_->dirty())
        group.stage(*head_->bMall_);
    group.commit();
}

void BudgetFrame::afterChange(int postCount, int recountStart) {
    head_->postCount_ = postCount;
    head_->currentPost_ = recountStart;
    Saldokontroll_Budget();
    head_->ScrollSet_Budget();
    head_->Inläs_G2();
    head_->OmLista_Budget();
}

void BudgetFrame::dropChanges() {
    head_->kontoData_->reload();
    if (head_->bMall_ && head_->bMall_->dirty()) {
        head_->bMall_->reload();
        head_->template_ = std::make_unique<budget::BudgetTemplate>(*head_->bMall_);
    }
}

void BudgetFrame::Inpost_Budget() {
    // Nothing is written without a transaction and both amounts taken with Enter.
    if (head_->chosenMain_.number <= 0 || budgeted_.isEmpty() || actual_.isEmpty())
        return;
    const QString date = head_->workingDate();
    runChange(
        [&] {
            BudgetLedger book(*head_->kontoData_, head_->postCount_, head_->ctx_.today,
                              head_->template_.get());
            const BudgetEntry entry{date.toStdString(), std::abs(head_->chosenMain_.number),
                                    head_->chosenSub_.number, budgeted_.toStdString(), actual_.toStdString()};
            const PostResult result = book.insert(entry);
            finishChange(result, result.position);
        },
        [&] {
            return support::ErrorDescription{
                QStringLiteral("Ett fel har uppstått i subrutinen Inpost_Budget") + CRLF +
                    QStringLiteral("vid försök lägga in ny kontopost") + CRLF + CRLF,
                {QStringLiteral("Fel i rutinen Inpost_Budget vid sparförsök"),
                 QStringLiteral("av ny kontopost"),
                 QStringLiteral("Nytt Budgetbelopp för inläggning ?  ") + budgeted_,
                 QStringLiteral("Nytt Verkl. belopp för inläggning ?  ") + actual_,
                 QStringLiteral("Referenssiffra för transaktion ") +
                     QString::number(head_->chosenMain_.number),
                 QStringLiteral("Referenssiffra för subtrans. ") + QString::number(head_->chosenSub_.number),
                 QStringLiteral("Antal poster i kontot  ") + QString::number(head_->postCount_),
                 QStringLiteral("Nyinsatt post Datum  ") + date, QStringLiteral("Kontoslag = BudgetKonto"),
                 QStringLiteral("Felet uppstod i konto ") + head_->accountName_}};
        });
    pressCancel();
}

void BudgetFrame::Command1_Click() {
    const int post = head_->markedPost_;
    if (post <= 0 || !head_->kontoData_)
        return;
    head_->command1_->setEnabled(false);
    const QString text = QStringLiteral("Vill du verifiera beloppen:\n\n") +
                         displayStored(head_->markedAmount_) + QStringLiteral(" kr.   ") +
                         displayStored(head_->markedActual_) + QStringLiteral(" kr.\n\nsom verkliga ?");
    if (!head_->ctx_.dialogs.question(head_, QStringLiteral("Bekräfta belopp"), text)) {
        head_->Rensa_Mark_G2();
        return;
    }
    runChange(
        [&] {
            BudgetLedger book(*head_->kontoData_, head_->postCount_, head_->ctx_.today,
                              head_->template_.get());
            if (book.confirm(post) == Outcome::Done)
                commitPosts();
            head_->Inläs_G2();
        },
        [&] {
            return support::ErrorDescription{
                QStringLiteral("Ett fel har uppstått i subrutinen Command1_Click") + CRLF +
                    QStringLiteral("vid klickning [Bekräfta] för ett") + CRLF +
                    QStringLiteral("antaget (blått) belopp") + CRLF + CRLF,
                {QStringLiteral("Fel nr 1 i rutinen Command1_Click"),
                 QStringLiteral("vid klickning [Bekräfta]"),
                 QStringLiteral("Budgetbeloppet är ") + head_->markedAmount_,
                 QStringLiteral("Verkligt belopp är ") + head_->markedActual_,
                 QStringLiteral("Kontoslag = BudgetKonto"),
                 QStringLiteral("Felet uppstod i konto ") + head_->accountName_}};
        });
    pressCancel();
    head_->OmLista_Budget();
}

void BudgetFrame::Saldokontroll_Budget() {
    BudgetLedger book(*head_->kontoData_, head_->postCount_, head_->ctx_.today);
    const auto fault = book.checkBalances(std::max(1, head_->currentPost_));
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
            ledger::transactionName(*head_->transakt_, post.raw(store::PostRec_Budget::TransNr))) +
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
    if (head_->ctx_.dialogs.question(head_, QStringLiteral("Saldo-kontroll"), text))
        Recount_Budget();
    head_->ctx_.dialogs.message(head_, QStringLiteral("Servicemeddelande"),
                                QStringLiteral("Om felet upprepas, v g kontakta\nprogramleverantör !"));
}

void BudgetFrame::Recount_Budget() {
    BudgetLedger book(*head_->kontoData_, head_->postCount_, head_->ctx_.today);
    if (book.recount(std::max(1, head_->currentPost_)) != Outcome::Done) {
        showAmountLimit(); // not checked again: the same values would be found
        return;
    }
    commitPosts();
    Saldokontroll_Budget();
}

// --- Marking, deleting, changing and moving

void BudgetFrame::G2_Click(int row, int column) {
    if (!head_ || !head_->kontoData_)
        return;
    if (!moveState().isEmpty()) {
        moveClick(row);
        return;
    }
    const int post = head_->scroll_.value + row;
    runChange(
        [&] {
            if (clickedBelowLastPost(post))
                return;
            if (column >= 7) {
                BudgetLedger book(*head_->kontoData_, head_->postCount_, head_->ctx_.today);
                book.toggleTick(post);
                commitPosts();
                head_->Inläs_G2();
                head_->markedRow_ = -1;
                head_->markedPost_ = 0;
                head_->OmLista_Budget();
                return;
            }
            head_->markedPost_ = post;
            markPost(row);
        },
        [&] {
            return support::ErrorDescription{
                QStringLiteral("Ett fel har uppstått i subrutinen G2_Click") + CRLF +
                    QStringLiteral("vid markering av kontopost Budgetbokf.") + CRLF + CRLF,
                {QStringLiteral("Fel i rutinen G2_Click"),
                 QStringLiteral("vid markering av kontopost Budget"),
                 QStringLiteral("PostNr ") + QString::number(post), QStringLiteral("Kontoslag = BudgetKonto"),
                 QStringLiteral("Felet uppstod i konto ") + head_->accountName_}};
        });
}

void BudgetFrame::markPost(int row) {
    beginMark(row);
    const auto post =
        head_->kontoData_->read<store::PostRec_Budget>(static_cast<std::size_t>(head_->markedPost_));
    head_->command1_->setEnabled(!post.confirmed());
    takeMarkedTransactions(post.raw(store::PostRec_Budget::TransNr),
                           post.raw(store::PostRec_Budget::SubTransNr));
    head_->markedAmount_ = QString::fromStdString(post.text(store::PostRec_Budget::BudgBelopp));
    head_->markedActual_ = QString::fromStdString(post.text(store::PostRec_Budget::VerklBelopp));
    budgeted_ = head_->markedAmount_;
    actual_ = head_->markedActual_;
    for (QLineEdit* box : {budgBox_, verklBox_})
        box->setReadOnly(false);
    budgBox_->setText(displayStored(budgeted_));
    verklBox_->setText(displayStored(actual_));
    endMark(post.text(store::PostRec_Budget::Datum), QStringLiteral("mkg2"));
}

void BudgetFrame::remark() {
    markPost(head_->markedRow_);
}

void BudgetFrame::UtPost_Budget() {
    const int post = head_->markedPost_;
    if (post <= 0)
        return;
    const QString question = QStringLiteral("Vill du radera posten med datum: ") + head_->workingDate() +
                             QStringLiteral("\n\n") + head_->chosenMain_.name + QStringLiteral("\n\n") +
                             displayStored(head_->markedAmount_) + QStringLiteral(" kr.,  ") +
                             displayStored(head_->markedActual_) + QStringLiteral(" kr.  ?");
    if (!head_->ctx_.dialogs.question(head_, QStringLiteral("Borttagning av post"), question)) {
        head_->Rensa_Mark_G2();
        return;
    }
    bool removeAccount = false;
    runChange(
        [&] {
            BudgetLedger book(*head_->kontoData_, head_->postCount_, head_->ctx_.today);
            const PostResult result = book.remove(post);
            if (result.outcome == Outcome::OnlyPost) {
                removeAccount = true;
                return;
            }
            finishChange(result, result.recountStart);
        },
        [&] {
            return support::ErrorDescription{
                QStringLiteral("Ett fel har uppstått i subrutinen UtPost_Budget") + CRLF +
                    QStringLiteral("vid radering av post från datafilen.") + CRLF + CRLF,
                {QStringLiteral("Fel i rutinen UtPost_Budget"),
                 QStringLiteral("PostNr ") + QString::number(post),
                 QStringLiteral("Antal poster = ") + QString::number(head_->postCount_),
                 QStringLiteral("Kontoslag = BudgetKonto"),
                 QStringLiteral("Felet uppstod i konto ") + head_->accountName_}};
        });
    if (!removeAccount) {
        pressCancel();
        return;
    }
    removeOnlyPost();
}

void BudgetFrame::ChgPost_Budget() {
    const int post = head_->markedPost_;
    if (post <= 0)
        return;
    const QString sign = head_->chosenMain_.sign == QLatin1String("-") ? QStringLiteral("-") : QString();
    const auto shown = [&](const QString& text) {
        return sign + display(store::Amount::parse(text.toStdString()).value_or(store::Amount{}).abs());
    };
    QString question = QStringLiteral("Vill du ändra tidigare:\n");
    const bool budgetChanged = budgeted_ != head_->markedAmount_;
    const bool actualChanged = actual_ != head_->markedActual_;
    if (budgetChanged)
        question += QStringLiteral("\nBudgetbeloppet:  ") + shown(head_->markedAmount_) +
                    QStringLiteral("  till  ") + shown(budgeted_) + QStringLiteral("  ?");
    if (actualChanged)
        question += QStringLiteral("\nVerkl. beloppet:  ") + shown(head_->markedActual_) +
                    QStringLiteral("  till  ") + shown(actual_) + QStringLiteral("  ?");
    if (!budgetChanged && !actualChanged) {
        head_->ctx_.dialogs.message(head_, QStringLiteral("Ändring av tidigare belopp"),
                                    QStringLiteral("Ingen ändring utförd !"));
        pressCancel(); // back to the marked post
        return;
    }
    if (!head_->ctx_.dialogs.question(head_, QStringLiteral("Ändring av tidigare belopp"), question)) {
        pressCancel();
        return;
    }
    runChange(
        [&] {
            BudgetLedger book(*head_->kontoData_, head_->postCount_, head_->ctx_.today,
                              head_->template_.get());
            const PostResult result =
                book.changeAmounts(post, budgeted_.toStdString(), actual_.toStdString());
            if (result.outcome != Outcome::NoChange)
                finishChange(result, post);
        },
        [&] {
            return support::ErrorDescription{
                QStringLiteral("Ett fel har uppstått i subrutinen ChgPost_Budget") + CRLF +
                    QStringLiteral("vid ändring av post i datafilen.") + CRLF + CRLF,
                {QStringLiteral("Fel i rutinen ChgPost_Budget"),
                 QStringLiteral("PostNr ") + QString::number(post),
                 QStringLiteral("Budgetbelopp före = ") + head_->markedAmount_,
                 QStringLiteral("Budgetbelopp efter = ") + budgeted_,
                 QStringLiteral("Verkl. belopp före = ") + head_->markedActual_,
                 QStringLiteral("Verkl. belopp efter = ") + actual_,
                 QStringLiteral("Kontoslag = BudgetKonto"),
                 QStringLiteral("Felet uppstod i konto ") + head_->accountName_}};
        });
    head_->setProcedureCode(QStringLiteral("mkg2"));
    head_->command3_->setText(QStringLiteral("Avbryt mark."));
    head_->command2_->setText(QStringLiteral("Ta bort"));
    head_->command2Mode_ = QStringLiteral("rem");
    pressCancel(); // clears the marking
}

void BudgetFrame::PostMover_Budget() {
    if (moveState().isEmpty()) {
        startMove({budgBox_, verklBox_, columnTitles().at(2), columnTitles().at(3)});
        return;
    }
    if (!takeMoveRange())
        return;
    const QString date = head_->workingDate();
    runChange(
        [&] {
            BudgetLedger book(*head_->kontoData_, head_->postCount_, head_->ctx_.today,
                              head_->template_.get());
            const PostResult result = book.move(moveFirst(), moveLast(), date.toStdString());
            finishChange(result, result.recountStart);
        },
        [&] {
            return support::ErrorDescription{
                QStringLiteral("Ett fel har uppstått i subrutinen PostMover_Budget") + CRLF +
                    QStringLiteral("vid försök att flytta post(er) till nytt datum.") + CRLF + CRLF,
                {QStringLiteral("Fel i rutinen PostMover_Budget"),
                 QStringLiteral("vid försök att flytta post(er) till nytt datum.."),
                 QStringLiteral("Första post = ") + QString::number(moveFirst()),
                 QStringLiteral("Sista post = ") + QString::number(moveLast()),
                 QStringLiteral("Nytt datum = ") + date, QStringLiteral("Kontoslag = BudgetKonto"),
                 QStringLiteral("Felet uppstod i konto ") + head_->accountName_}};
        });
    pressCancel();
}

} // namespace ledger
