// The cash-book frame: choosing a transaction, entering posts, the balance check, and marking,
// ticking, deleting, changing and moving posts, checked on the grid and on KontoData.

#include "TestContext.h"
#include "UiHelpers.h"
#include "app/DateSelector.h"
#include "app/HeadForm.h"
#include "fixtures/AccountFiles.h"
#include "ledger/ui/CashFrame.h"
#include "store/Errors.h"
#include "store/RecordFile.h"
#include "support/ui/SafeApplication.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QTableWidget>
#include <QWheelEvent>

#include <gtest/gtest.h>

using namespace fixtures;
using uitest::control;

namespace {

// Posts 1..n with amounts 0, +100, -30, +100, ... as the fixtures write them.
long long amountOf(int i) {
    return i == 1 ? 0 : (i % 2 == 0 ? 100 : -30);
}

std::string posts(const std::vector<std::tuple<std::string, int, long long>>& list) {
    std::string out;
    long long balance = 0;
    for (const auto& [date, trans, amount] : list) {
        balance += amount;
        out += cashPost(date, trans, amount, balance);
    }
    return out;
}

// The same dated by day number (nthDate).
std::string days(const std::vector<std::tuple<int, int, long long>>& list) {
    std::vector<std::tuple<std::string, int, long long>> dated;
    for (const auto& [n, trans, amount] : list)
        dated.emplace_back(nthDate(n), trans, amount);
    return posts(dated);
}

struct CashLedgerTest : ::testing::Test {
    uitest::TestContext t;
    std::unique_ptr<app::HeadForm> form;
    std::filesystem::path kontoData() const { return t.ctx.paths.dataRoot() / "Kassa" / "KontoData"; }

    void open(const std::string& postBytes) {
        form.reset();
        writeRegister(t.ctx.paths.dataRoot(), kontoRec("Kassa", "1", "Ek"));
        writeAccount(t.ctx.paths.dataRoot(), "Kassa", postBytes);
        form = std::make_unique<app::HeadForm>(t.ctx);
        form->Form_Load();
    }
    ledger::CashFrame* frame() { return form->cashFrame(); }
    QLineEdit* amountBox() { return frame()->amountBox(); }
    QPushButton* actionButton() { return control<QPushButton>(*form, "actionButton"); }
    QPushButton* cancelButton() { return control<QPushButton>(*form, "cancelButton"); }
    QTableWidget* cashGrid() { return control<QTableWidget>(*form, "cashGrid"); }

    void choose(const QString& transaction) {
        QComboBox* list = frame()->transCombo();
        list->setCurrentIndex(list->findText(transaction));
        frame()->TransCombo_Enkel_Click();
    }
    void type(const QString& text) {
        uitest::typeText(amountBox(), text);
        uitest::pressEnter(amountBox());
    }
    void enter(const QString& transaction, const QString& amount) {
        choose(transaction);
        type(amount);
        actionButton()->click();
    }
};

TEST_F(CashLedgerTest, ANewExpenseGoesInAfterThePostsOfItsDateWithTheLaterBalancesMoved) {
    open(posts(
        {{"2026-03-03", 1, 0}, {"2026-03-05", 2, 500}, {"2026-03-05", 3, -20}, {"2026-03-09", 2, 1000}}));
    form->dateSelector()->datumset("2026-03-05");
    choose("Uttag");
    EXPECT_EQ(form->procedureCode(), "cbonomark");
    EXPECT_EQ(cancelButton()->text(), "Avbryt inmatn.");
    EXPECT_FALSE(control<QComboBox>(*form, "accountPicker")->isEnabled());
    EXPECT_FALSE(amountBox()->isReadOnly());

    type("1 250.5");
    EXPECT_EQ(amountBox()->text(), "-1 250,50");
    EXPECT_EQ(frame()->amountText(), "-1250,5");
    EXPECT_EQ(actionButton()->text(), "Lägg in");
    EXPECT_EQ(form->actionMode(), "inl");
    actionButton()->click();

    EXPECT_EQ(readFile(kontoData()), cashPost("2026-03-03", 1, 0, 0) + cashPost("2026-03-05", 2, 500, 500) +
                                         cashPost("2026-03-05", 3, -20, 480) +
                                         cash("2026-03-05", "3", "-1250,5", "-770,5") +
                                         cash("2026-03-09", "2", "1000", "229,5"));
    EXPECT_EQ(form->postCount(), 5);
    EXPECT_EQ(form->procedureCode(), "");
    EXPECT_EQ(uitest::textsOf(*form, {"cancelButton", "actionButton"}), (QStringList{"Avbryt", "Flytta"}));
    EXPECT_TRUE(control<QComboBox>(*form, "accountPicker")->isEnabled());
    EXPECT_EQ(cashGrid()->item(3, 2)->text(), "-1 250,50");
    EXPECT_EQ(cashGrid()->item(3, 2)->foreground().color(), QColor(255, 0, 0));
    EXPECT_EQ(cashGrid()->item(4, 3)->text(), "229,50");
    EXPECT_TRUE(t.dialogs.calls().empty());
}

TEST_F(CashLedgerTest, OddAmountTextsAndTheAmountLimit) {
    open(cashPosts(3));
    const std::string before = readFile(kontoData());
    choose("Insättning");
    type("12a");
    ASSERT_EQ(t.dialogs.calls().size(), 1u);
    EXPECT_TRUE(uitest::showed(
        t.dialogs, 0, "Nollbelopp eller andra tecken",
        "Eftersom andra tecken än siffror, alternativt inga tecken, har använts, utföres beloppet med 0,00"));
    EXPECT_EQ(amountBox()->text(), "0,00");

    // An amount of a hundred million is refused at once and the entry is reset.
    type("100000000");
    EXPECT_TRUE(uitest::showed(
        t.dialogs, -1, "Överskriden max-nivå",
        "Detta program har tyvärr en begränsning\ntill belopp < 100 000 000.00 kronor !\nDärför måste "
        "inmatning av högre\nbelopp spärras, likaledes inmatning\nsom ger upphov till ett plus- eller\n"
        "minussaldo över denna nivå !"));
    EXPECT_EQ(form->procedureCode(), "");

    // One that makes a later balance reach it is refused without a byte written.
    form->dateSelector()->datumset(QString::fromStdString(nthDate(1)));
    enter("Insättning", "99999900");
    EXPECT_EQ(t.dialogs.calls().back().title, "Överskriden max-nivå");
    EXPECT_EQ(readFile(kontoData()), before);
    EXPECT_EQ(form->postCount(), 3);
}

TEST_F(CashLedgerTest, TickingAPostDoesNotMarkIt) {
    open(cashPosts(4));
    cashGrid()->cellClicked(1, 4);
    EXPECT_EQ(readFile(kontoData()).substr(43 + 36, 1), "x");
    EXPECT_EQ(cashGrid()->item(1, 4)->text(), "x");
    EXPECT_EQ(form->markedPost(), 0);
    EXPECT_EQ(form->procedureCode(), "");
    cashGrid()->cellClicked(1, 4);
    EXPECT_EQ(readFile(kontoData()), cashPosts(4));
    // A row below the last post marks nothing.
    cashGrid()->cellClicked(8, 1);
    EXPECT_EQ(form->markedPost(), 0);
}

TEST_F(CashLedgerTest, AMarkedPostIsDeletedAndTheLaterBalancesFollow) {
    open(days({{1, 1, 0}, {2, 2, 100}, {3, 3, -200}, {4, 2, 50}, {5, 2, 70}}));
    cashGrid()->cellClicked(2, 1);
    EXPECT_EQ(form->markedPost(), 3);
    EXPECT_EQ(form->procedureCode(), "mkg1");
    EXPECT_EQ(uitest::textsOf(*form, {"actionButton", "cancelButton"}),
              (QStringList{"Ta bort", "Avbryt markera"}));
    EXPECT_EQ(amountBox()->text(), "-200,00");
    EXPECT_EQ(form->workingDate().toStdString(), nthDate(3));
    EXPECT_EQ(cashGrid()->item(2, 0)->background().color(), QColor(255, 192, 192));
    EXPECT_EQ(cashGrid()->item(1, 0)->background().color(), QColor(255, 255, 192));

    t.dialogs.answerYes();
    actionButton()->click();
    EXPECT_TRUE(uitest::showed(t.dialogs, 0, "Borttagning av post",
                               QString::fromStdString("Vill du radera posten med datum: " + nthDate(3) +
                                                      "\n\nUttag\n\n-200,00 kr.  ?")));
    const std::string file = readFile(kontoData());
    EXPECT_EQ(file.substr(0, 4 * 43), days({{1, 1, 0}, {2, 2, 100}, {4, 2, 50}, {5, 2, 70}}));
    EXPECT_EQ(file.substr(4 * 43, 10), std::string(10, ' '));
    EXPECT_EQ(file.substr(4 * 43 + 10), cashPost(nthDate(5), 2, 70, 20).substr(10));
    EXPECT_EQ(form->postCount(), 4);
    EXPECT_EQ(form->markedPost(), 0);
    EXPECT_EQ(form->procedureCode(), "");
    EXPECT_EQ(cashGrid()->item(4, 0)->text(), "");
}

TEST_F(CashLedgerTest, ChangingTheAmountOfAMarkedPostMovesEveryLaterBalance) {
    open(cashPosts(5, amountOf));
    cashGrid()->cellClicked(1, 0); // post 2, +100
    amountBox()->selectAll();      // the shown amount is typed over
    uitest::typeText(amountBox(), "150");
    EXPECT_EQ(actionButton()->text(), "Ändra");
    EXPECT_FALSE(actionButton()->isEnabled());
    EXPECT_EQ(form->procedureCode(), "chg");
    uitest::pressEnter(amountBox());
    EXPECT_TRUE(actionButton()->isEnabled());
    t.dialogs.answerYes();
    actionButton()->click();
    EXPECT_EQ(t.dialogs.calls()[0].text,
              "Vill du ändra tidigare:\n\nVerkl. beloppet:  100,00  till  150,00  ?\n");
    EXPECT_EQ(readFile(kontoData()), days({{1, 1, 0}, {2, 2, 150}, {3, 3, -30}, {4, 2, 100}, {5, 3, -30}}));
    EXPECT_EQ(form->markedPost(), 0);
    EXPECT_EQ(form->procedureCode(), "");

    // The same amount again changes nothing and returns to the marked post.
    cashGrid()->cellClicked(1, 0);
    amountBox()->selectAll();
    uitest::typeText(amountBox(), "150");
    uitest::pressEnter(amountBox());
    actionButton()->click();
    EXPECT_EQ(t.dialogs.calls().back().text, "Ingen ändring utförd !");
    EXPECT_EQ(form->procedureCode(), "mkg1");
    EXPECT_EQ(actionButton()->text(), "Ta bort");
    EXPECT_EQ(amountBox()->text(), "150,00");
}

TEST_F(CashLedgerTest, PostsAreMovedToANewDateInTheirOrder) {
    open(cashPosts(6, amountOf));
    actionButton()->click(); // "Flytta"
    EXPECT_EQ(form->procedureCode(), "Fl");
    EXPECT_EQ(control<QLabel>(*form, "helpLine")->text(), "Klicka på första rad som ska flyttas !");
    cashGrid()->cellClicked(3, 0); // post 4 first...
    EXPECT_EQ(cashGrid()->item(3, 0)->background().color(), QColor(0, 255, 0));
    t.dialogs.answerYes();
    cashGrid()->cellClicked(1, 0); // ...and post 2 last: the same range
    EXPECT_EQ(t.dialogs.calls()[0].title, "Flytta rader");
    EXPECT_EQ(actionButton()->text(), "Nytt datum");
    form->dateSelector()->datumset("2026-12-01");
    actionButton()->click();
    EXPECT_EQ(readFile(kontoData()), posts({{nthDate(1), 1, 0},
                                            {nthDate(5), 3, -30},
                                            {nthDate(6), 2, 100},
                                            {"2026-12-01", 2, 100},
                                            {"2026-12-01", 3, -30},
                                            {"2026-12-01", 2, 100}}));
    EXPECT_EQ(form->procedureCode(), "");
    EXPECT_EQ(actionButton()->text(), "Flytta");
    EXPECT_TRUE(actionButton()->isEnabled() && cashGrid()->isEnabled());
}

TEST_F(CashLedgerTest, AfterAMoveTheViewFollowsTheMovedPosts) {
    open(cashPosts(30, amountOf));
    actionButton()->click();
    cashGrid()->cellClicked(1, 0);
    t.dialogs.answerYes();
    cashGrid()->cellClicked(1, 0);
    form->dateSelector()->datumset("2026-12-01");
    actionButton()->click();
    EXPECT_EQ(readFile(kontoData()).substr(29 * 43, 14), field("2026-12-01", 10) + field("2", 4));
    EXPECT_EQ(form->currentPost(), 30);
    EXPECT_EQ(form->scrollState().value, 21);
    EXPECT_EQ(cashGrid()->item(9, 0)->text(), "2026-12-01");
}

// Choosing from the sub-transaction list with a post marked: both questions and both answers.
TEST_F(CashLedgerTest, ASubTransactionIsAddedToOrReplacedInAMarkedPost) {
    const struct {
        int row;
        bool yes;
        QString text;
        const char* stored;
    } cases[] = {
        {1, true, "Vill du lägga in subtransaktionen\r\n\r\nHyra\r\n\r\nför att komplettera transaktionen ?",
         "2   "},
        {2, false,
         "Vill du ersätta texten:\r\n\r\nMat\r\n\r\nmed texten:\r\n\r\nHyra\r\n\r\nför att förtydliga "
         "transaktionen ?",
         "1   "},
    };
    for (const auto& c : cases) {
        t.dialogs.clear();
        std::string bytes = cashPosts(3);
        bytes.replace(2 * 43 + 37, 4, field("1", 4));
        open(bytes);
        writeFile(t.ctx.paths.dataRoot() / "Kassa" / "Kategori", field("Mat", 35) + field("Hyra", 35));
        cashGrid()->cellClicked(c.row, 0);
        EXPECT_FALSE(frame()->transCombo()->isEnabled()); // closed to main transactions
        frame()->S_TransOptionEnk_MouseDown();
        ASSERT_TRUE(frame()->transCombo()->isEnabled());
        c.yes ? t.dialogs.answerYes() : t.dialogs.answerNo();
        choose("Hyra");
        ASSERT_EQ(t.dialogs.calls().size(), 1u);
        EXPECT_TRUE(uitest::showed(
            t.dialogs, 0, c.yes ? "Ny subtransaktion i post" : "Ändrad subtransaktion i post", c.text));
        bytes.replace(static_cast<std::size_t>(c.row) * 43 + 37, 4, c.stored);
        EXPECT_EQ(readFile(kontoData()), bytes);
        EXPECT_EQ(form->markedPost(), c.yes ? c.row + 1 : 0);
        // The box's help speaks of the post's sub-transaction.
        uitest::hover(frame()->transText());
        EXPECT_EQ(frame()->transText()->toolTip(),
                  c.yes ? "Klicka för ev. radering av subtransaktionen" : "Ny subtransaktion ! ?");
    }
}

TEST_F(CashLedgerTest, DeletingTheOnlyPostRemovesTheAccountAfterASecondQuestion) {
    open(cashPosts(1));
    cashGrid()->cellClicked(0, 0);
    t.dialogs.answerYes().answerYes().answerNo().answerNo();
    actionButton()->click();
    EXPECT_TRUE(uitest::showed(t.dialogs, 1, "Ta bort konto ? ?",
                               "Du tar bort den enda posten\npå kontot !\n\nDärmed avslutar du "
                               "också hela kontot !\n\nVill du fortsätta ?"));
    EXPECT_FALSE(std::filesystem::exists(t.ctx.paths.dataRoot() / "Kassa"));
    EXPECT_FALSE(std::filesystem::exists(t.ctx.paths.kontoFil()));
    EXPECT_EQ(t.dialogs.calls()[2].title, "Alla konton raderade");
}

TEST_F(CashLedgerTest, AFaultyBalanceFoundAfterAnEntryIsRecountedOnYes) {
    std::string bytes = cashPosts(4, amountOf);
    bytes.replace(3 * 43 + 25, 11, field("999", 11)); // post 4's balance is wrong
    open(bytes);
    form->dateSelector()->datumset(QString::fromStdString(nthDate(2)));
    t.dialogs.answerYes();
    enter("Insättning", "10");
    ASSERT_GE(t.dialogs.calls().size(), 2u);
    EXPECT_EQ(t.dialogs.calls()[0].title, "Saldo-kontroll");
    EXPECT_TRUE(t.dialogs.calls()[0].text.contains("Upptäckt saldoskillnad:\n1 009,00 till 180,00"));
    EXPECT_EQ(t.dialogs.calls()[1].title, "Servicemeddelande");
    EXPECT_EQ(readFile(kontoData()), days({{1, 1, 0}, {2, 2, 100}, {2, 2, 10}, {3, 3, -30}, {4, 2, 100}}));
}

TEST_F(CashLedgerTest, ANewBalanceBecomesAPostOfTheStandardTransaction) {
    open(days({{1, 1, 0}, {2, 2, 1000}}));
    const std::filesystem::path transakt = t.ctx.paths.dataRoot() / "Kassa" / "Transakt";
    // Cancelling the name question creates nothing.
    t.dialogs.answerInput("");
    uitest::mouseDown(frame()->saldoTitle());
    EXPECT_EQ(t.dialogs.calls()[0].title, "Standardtransaktion för fondkonto");
    EXPECT_EQ(readFile(transakt), standardTransakt());
    EXPECT_EQ(form->procedureCode(), "");

    t.dialogs.answerInput("Ändrad kurs");
    amountBox()->setText("12");
    uitest::mouseDown(frame()->saldoTitle());
    EXPECT_EQ(amountBox()->text(), ""); // the box waits for the balance
    EXPECT_EQ(readFile(transakt), standardTransakt() + transRec("\xC4ndrad kurs", ' '));
    EXPECT_EQ(t.dialogs.calls().back().text, "Skriv eller kopiera in ett nytt uppdaterat Saldo !");
    EXPECT_EQ(form->procedureCode(), "saldo");
    EXPECT_EQ(frame()->amountTitle()->text(), "Nytt Saldo");
    EXPECT_EQ(frame()->saldoTitle()->palette().color(QPalette::Window), QColor(0, 255, 0)); // marked ready
    EXPECT_EQ(cancelButton()->text(), "Avbryt Saldo-In");
    EXPECT_EQ(frame()->transText()->text(), "Ändrad kurs");

    uitest::hover(amountBox());
    EXPECT_EQ(control<QLabel>(*form, "helpTitle")->text(), "Saldo");
    EXPECT_EQ(amountBox()->toolTip(), "För in Saldo");
    uitest::typeText(amountBox(), "7"); // a balance pasted after a key: the mouse takes it
    amountBox()->setText("750");
    uitest::mouseUp(amountBox());
    EXPECT_EQ(amountBox()->text(), "750,00");
    EXPECT_EQ(actionButton()->text(), "Beräkna");
    actionButton()->click();
    EXPECT_TRUE(uitest::showed(t.dialogs, -1, "Belopp vid insättning av nytt saldo",
                               "Framräknat belopp från nytt saldo den 2026-12-06 blir\n\n-250,0"));
    EXPECT_EQ(readFile(kontoData()),
              posts({{nthDate(1), 1, 0}, {nthDate(2), 2, 1000}, {"2026-12-06", 4, -250}}));
    EXPECT_EQ(frame()->amountTitle()->text(), "Belopp");
    EXPECT_EQ(form->procedureCode(), "");

    // Now the account has its standard transaction: no name is asked for, none is added.
    const std::size_t before = t.dialogs.calls().size();
    uitest::mouseDown(frame()->saldoTitle());
    EXPECT_EQ(t.dialogs.calls().size(), before + 1);
    EXPECT_EQ(t.dialogs.calls().back().kind, uitest::ScriptedDialogs::Kind::Message);
    EXPECT_EQ(readFile(transakt), standardTransakt() + transRec("\xC4ndrad kurs", ' '));
}

TEST_F(CashLedgerTest, TheEmptyTransactionBoxOpensTheWindowForANewTransaction) {
    open(cashPosts(3));
    t.dialogs.answerYes();
    uitest::mouseDown(frame()->transText());
    ASSERT_FALSE(t.dialogs.calls().empty());
    EXPECT_TRUE(uitest::showed(t.dialogs, 0, "Ny transaktion (?)",
                               "Har du kontrollerat om den transaktion\nsom du tänker skapa, "
                               "kanske\nredan finns i den här listan ?"));
    EXPECT_EQ(form->procedureCode(), "trny");
    EXPECT_EQ(cancelButton()->text(), "Avbryt ny tr.akt.");
    QWidget* window = uitest::shownWindow("Nytt transaktionsnamn");
    ASSERT_NE(window, nullptr);
    auto* name = window->findChild<QLineEdit*>("nameBox");
    name->setText("Hyra");
    uitest::pressEnter(name);
    window->findChild<QRadioButton*>("expenseOption")->click();
    window->findChild<QPushButton*>("okButton")->click();
    EXPECT_EQ(readFile(t.ctx.paths.dataRoot() / "Kassa" / "Transakt"),
              standardTransakt() + transRec("Hyra", '-'));
    EXPECT_GE(frame()->transCombo()->findText("Hyra"), 0);
    EXPECT_TRUE(form->isEnabled());
    // Made for the entry, it is the entry's transaction: shown, chosen, the amount box open.
    EXPECT_EQ(frame()->transText()->text(), "Hyra");
    EXPECT_EQ(form->procedureCode(), "cbonomark");
    type("40");
    actionButton()->click();
    EXPECT_EQ(readFile(kontoData()).substr(3 * 43), cashPost("2026-12-06", 4, -40, 70));
}

TEST_F(CashLedgerTest, AChosenTransactionInTheBoxIsOfferedForChangeOrRemoval) {
    open(cashPosts(3));
    choose("Uttag");
    form->armReset();
    cancelButton()->click(); // back to idle with "Uttag" forgotten
    frame()->transText()->setText("Uttag");
    t.dialogs.answerNo();
    uitest::mouseDown(frame()->transText());
    ASSERT_FALSE(t.dialogs.calls().empty());
    EXPECT_TRUE(uitest::showed(
        t.dialogs, 0, "Textbyte / Radering",
        "Vill du ändra eller radera denna transaktion ?\r\n\r\nUttag\r\n\r\nKlicka då 'Ja' och sedan på "
        "något av alternativen [Ändra] eller [Radera] !\r\n\r\nEller avstå genom att klicka 'Nej' !"));
    EXPECT_EQ(frame()->transText()->text(), "");
    EXPECT_EQ(form->procedureCode(), "");
}

TEST_F(CashLedgerTest, AMarkedPostsTransactionIsReplacedInEveryPostThatUsesIt) {
    open(days({{1, 1, 0}, {2, 2, 100}, {3, 3, 40}, {4, 2, 25}}));
    cashGrid()->cellClicked(1, 1); // post 2, "Insättning"
    t.dialogs.answerNo().answerYes().answerYes();
    uitest::mouseDown(frame()->transText());
    ASSERT_EQ(t.dialogs.calls().size(), 3u);
    EXPECT_EQ(t.dialogs.titles(), (QStringList{"Transaktionsbyte i kontopost", "Transaktionsbyte i kontopost",
                                               "Transaktionsbyte i kontopost"}));
    EXPECT_EQ(t.dialogs.calls()[1].text,
              "Vill du byta ut transaktionen\r\n\r\nInsättning\r\n\r\ni ALLA förekommande kontoposter ?");
    EXPECT_EQ(form->procedureCode(), "trbyt");
    EXPECT_EQ(frame()->transLabel()->text(), "Välj ut ny transaktion");
    EXPECT_EQ(cancelButton()->text(), "Avbryt Tr-byte");
    EXPECT_TRUE(frame()->transCombo()->isEnabled());

    t.dialogs.answerYes();
    choose("Uttag");
    EXPECT_TRUE(uitest::showed(
        t.dialogs, 3, "Ändrad transaktion",
        "Vill du verkligen byta transaktionen till den föreslagna:\r\n\r\nUttag ( = Utgift !)\r\n\r\nsom "
        "ersättning för:\r\n\r\nInsättning ( = Inkomst !)  ? ?\r\n\r\nOBS att beloppet ej ändras i denna "
        "operation !\r\n(Ev. teckenändring medför dock omräkning !)\r\n"));
    EXPECT_EQ(t.dialogs.calls().back().title, "Transaktionsbyte utfört");
    EXPECT_EQ(readFile(kontoData()), days({{1, 1, 0}, {2, 3, -100}, {3, 3, 40}, {4, 3, -25}}));
    EXPECT_EQ(form->procedureCode(), "");
    EXPECT_EQ(form->markedPost(), 0);
    EXPECT_EQ(frame()->transLabel()->text(), "Transaktion");
}

// Faults found trying the program as a new user: each case failed before its repair.

TEST_F(CashLedgerTest, ADamagedAmountMetWhileScrollingIsReportedAndNothingEnds) {
    std::string bytes = cashPosts(30, amountOf);
    bytes.replace(14 * 43 + 14, 11, field("12a", 11)); // post 15
    open(bytes);
    const std::string before = readFile(kontoData());
    t.dialogs.answerNo(); // no error report
    frame()->scrollBar()->setValue(15);
    ASSERT_EQ(t.dialogs.calls().size(), 1u);
    EXPECT_TRUE(t.dialogs.calls()[0].title.startsWith("Felspec. = "));
    EXPECT_TRUE(t.dialogs.calls()[0].text.startsWith("Ett fel har uppstått i subrutinen VScroll1_Change"));
    frame()->scrollBar()->setValue(16); // the window still works
    EXPECT_EQ(cashGrid()->item(0, 0)->text().toStdString(), nthDate(16));
    EXPECT_EQ(readFile(kontoData()), before);

    // The net under every handler: a failure that reaches the event loop is explained, not fatal.
    struct Faulty : QWidget {
        bool event(QEvent* e) override {
            if (e->type() == QEvent::User)
                throw store::DataError("Trasigt fält");
            return QWidget::event(e);
        }
    } faulty;
    auto* app = static_cast<support::SafeApplication*>(QApplication::instance());
    app->setErrorContext(&t.ctx);
    t.dialogs.answerNo();
    QEvent user(QEvent::User);
    QApplication::sendEvent(&faulty, &user);
    app->setErrorContext(nullptr);
    EXPECT_EQ(t.dialogs.calls().back().title, "Felspec. = Trasigt fält");
    EXPECT_TRUE(t.dialogs.calls().back().text.startsWith("Ett fel har uppstått i programmet"));
}

TEST_F(CashLedgerTest, AnAccountThatFailsToOpenLeavesNothingToWorkOn) {
    open(cashPosts(3));
    writeFile(t.ctx.paths.kontoFil(), kontoRec("Kassa", "1", "Ek") + kontoRec("Trasig", "2", "Ek"));
    writeAccount(t.ctx.paths.dataRoot(), "Trasig", cashPosts(2));
    std::filesystem::remove(t.ctx.paths.dataRoot() / "Trasig" / "Transakt");
    auto* combo3 = control<QComboBox>(*form, "accountPicker");
    form->Inläs_Kontofil();
    choose("Uttag");
    t.dialogs.answerNo().answerNo(); // no report, keep the name
    combo3->setCurrentIndex(combo3->findText("Trasig", Qt::MatchContains));
    ASSERT_GE(combo3->currentIndex(), 0);
    form->openChosenAccount();
    ASSERT_FALSE(t.dialogs.calls().empty());
    EXPECT_EQ(t.dialogs.titles().back(), "Radera kontonamn");
    EXPECT_EQ(cashGrid()->item(0, 0)->text(), "");
    EXPECT_EQ(frame()->transCombo()->count(), 0);
    for (QWidget* w :
         std::initializer_list<QWidget*>{actionButton(), cancelButton(), frame()->transCombo(), amountBox()})
        EXPECT_FALSE(w->isEnabled()) << w->objectName().toStdString();
    form->runAction(); // nothing can run on an account that is not open
    frame()->TransCombo_Enkel_Click();
    EXPECT_EQ(readFile(t.ctx.paths.dataRoot() / "Trasig" / "KontoData"), cashPosts(2));

    combo3->setCurrentIndex(combo3->findText("Kassa", Qt::MatchContains));
    form->openChosenAccount();
    EXPECT_EQ(cashGrid()->item(0, 0)->text().toStdString(), nthDate(1));
    EXPECT_TRUE(actionButton()->isEnabled());
}

TEST_F(CashLedgerTest, ANewBalanceIsTakenOnlyWithinTheLimitAndOnlyOnceTyped) {
    open(days({{1, 1, 0}, {2, 3, -500}}));
    const std::string before = readFile(kontoData());
    t.dialogs.answerInput("Ändrad kurs");
    uitest::mouseDown(frame()->saldoTitle());
    ASSERT_EQ(form->procedureCode(), "saldo");
    const std::string withStandard = readFile(kontoData());
    EXPECT_FALSE(actionButton()->isEnabled()); // "Beräkna" waits for a balance
    form->runAction();
    EXPECT_EQ(readFile(kontoData()), before);

    // A balance beyond the limit is refused before any sum is made (it once overflowed).
    type("922337203685477");
    EXPECT_EQ(t.dialogs.calls().back().title, "Överskriden max-nivå");
    EXPECT_EQ(form->procedureCode(), "");
    EXPECT_EQ(frame()->amountTitle()->text(), "Belopp");
    EXPECT_EQ(readFile(kontoData()), withStandard);
}

TEST_F(CashLedgerTest, APendingAmountTakesTheSignOfTheTransactionFinallyChosen) {
    open(cashPosts(2));
    choose("Uttag");
    type("100");
    EXPECT_EQ(amountBox()->text(), "-100,00");
    frame()->TransCombo_Enkel_DropDown(); // the list opened: no transaction, nothing to insert
    EXPECT_FALSE(actionButton()->isEnabled());
    choose("Insättning");
    EXPECT_EQ(amountBox()->text(), "100,00");
    EXPECT_TRUE(actionButton()->isEnabled());
    actionButton()->click();
    EXPECT_EQ(readFile(kontoData()).substr(2 * 43), cashPost("2026-12-06", 2, 100, 300));

    // A zero expense carries no sign; typing again takes the pending amount back until Enter.
    choose("Uttag");
    type("0");
    EXPECT_EQ(amountBox()->text(), "0,00");
    uitest::typeText(amountBox(), "5");
    EXPECT_FALSE(actionButton()->isEnabled());
    form->runAction();
    EXPECT_EQ(form->postCount(), 3);

    // An amount whose text cannot be stored is told so, not as the limit.
    amountBox()->clear();
    type("1234567,1234");
    EXPECT_EQ(t.dialogs.calls().back().title, "Beloppet ryms inte");
    EXPECT_EQ(form->postCount(), 3);
}

TEST_F(CashLedgerTest, AFailedTickIsNotWrittenByTheNextSave) {
    open(cashPosts(4));
    uitest::failSavesOf("KontoData");
    t.dialogs.answerNo();
    cashGrid()->cellClicked(0, 4);
    store::setCommitFaultHook({});
    EXPECT_EQ(t.ctx.error.errorText, "Input/output error");
    cashGrid()->cellClicked(1, 4);
    std::string expected = cashPosts(4);
    expected[43 + 36] = 'x';
    EXPECT_EQ(readFile(kontoData()), expected);
}

// Every way out of a procedure begun on a marked post ends in a state the window can go on from.
TEST_F(CashLedgerTest, CancellingWhatAMarkedPostStartedReturnsToAConsistentState) {
    std::string bytes = cashPosts(4, amountOf);
    bytes.replace(43 + 37, 4, field("1", 4)); // post 2 names sub-transaction 1
    open(bytes);
    writeFile(t.ctx.paths.dataRoot() / "Kassa" / "Kategori", field("Mat", 35));
    const auto escape = [&] { uitest::pressKey(cashGrid(), Qt::Key_Escape); };
    const auto expectMarked = [&](const char* step) {
        SCOPED_TRACE(step);
        EXPECT_EQ(form->procedureCode(), "mkg1");
        EXPECT_EQ(actionButton()->text(), "Ta bort");
        EXPECT_EQ(form->actionMode(), "rem");
        EXPECT_EQ(uitest::enabledOf(*form, {"actionButton", "accountPicker"}), "10");
        EXPECT_EQ(cashGrid()->item(1, 0)->background().color(), QColor(255, 192, 192));
    };
    const auto expectIdle = [&](const char* step) {
        SCOPED_TRACE(step);
        EXPECT_EQ(form->procedureCode(), "");
        EXPECT_EQ(form->markedPost(), 0);
        EXPECT_EQ(uitest::textsOf(*form, {"cancelButton", "actionButton"}),
                  (QStringList{"Avbryt", "Flytta"}));
        EXPECT_EQ(uitest::enabledOf(*form, {"actionButton", "accountPicker"}), "11");
        EXPECT_TRUE(frame()->transCombo()->isEnabled());
        EXPECT_EQ(cashGrid()->item(1, 0)->background().color(), QColor(255, 255, 192));
    };

    cashGrid()->cellClicked(1, 0);
    t.dialogs.answerYes().answerYes(); // "trbyt", then the new transaction is not confirmed
    uitest::mouseDown(frame()->transText());
    ASSERT_EQ(form->procedureCode(), "trbyt");
    t.dialogs.answerNo();
    choose("Uttag");
    expectMarked("trbyt");
    EXPECT_EQ(frame()->transLabel()->text(), "Transaktion");
    escape();
    expectIdle("mkg1");

    for (const char* code : {"subtrch", "nysptr"}) {
        SCOPED_TRACE(code);
        cashGrid()->cellClicked(code == std::string("subtrch") ? 1 : 2, 0);
        uitest::mouseDown(frame()->subOption());
        t.dialogs.answerYes().answerYes();
        uitest::mouseDown(frame()->transText());
        ASSERT_EQ(form->procedureCode(), code);
        QWidget* window = uitest::shownWindow("Ny subtransaktion", "SubTransForm");
        ASSERT_NE(window, nullptr);
        window->close();
        expectIdle(code);
        uitest::mouseDown(frame()->mainOption());
    }
}

TEST_F(CashLedgerTest, EntryMarkingAndCancelWorkWithoutAMouse) {
    open(cashPosts(12, amountOf));
    QComboBox* list = frame()->transCombo();
    uitest::pressKey(list, Qt::Key_Down); // opens the list instead of choosing at once
    ASSERT_TRUE(list->view()->isVisible());
    list->view()->setCurrentIndex(list->model()->index(list->findText("Insättning"), 0));
    uitest::pressEnter(list->view());
    EXPECT_EQ(form->procedureCode(), "cbonomark");
    type("25");
    uitest::pressEnter(actionButton()); // Enter on the focused "Lägg in"
    EXPECT_EQ(form->postCount(), 13);

    // The grid: arrows scroll at its edges, Space marks, Esc cancels; the wheel scrolls too.
    const int top = frame()->scrollBar()->value();
    cashGrid()->setCurrentCell(0, 0);
    uitest::pressKey(cashGrid(), Qt::Key_Up);
    EXPECT_EQ(frame()->scrollBar()->value(), top - 1);
    uitest::pressKey(cashGrid(), Qt::Key_Space, " ");
    EXPECT_EQ(form->markedPost(), top - 1);
    EXPECT_EQ(form->procedureCode(), "mkg1");
    uitest::pressKey(cashGrid(), Qt::Key_Escape);
    EXPECT_EQ(form->markedPost(), 0);
    EXPECT_EQ(form->procedureCode(), "");
    QWheelEvent wheel(QPointF(5, 5), cashGrid()->mapToGlobal(QPointF(5, 5)), QPoint(), QPoint(0, -120),
                      Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(cashGrid()->viewport(), &wheel);
    EXPECT_EQ(frame()->scrollBar()->value(), top);
    EXPECT_EQ(cashGrid()->item(0, 0)->text().toStdString(), nthDate(top));
}

} // namespace
