// The budget frame: entering posts with budgeted and actual amounts, confirming them, the
// balance check, and changing, deleting and moving posts, checked on the grid, on KontoData and
// on the budget template.

#include "TestContext.h"
#include "UiHelpers.h"
#include "app/DateSelector.h"
#include "app/HeadForm.h"
#include "fixtures/AccountFiles.h"
#include "ledger/ui/BudgetFrame.h"
#include "ledger/ui/LedgerKind.h"
#include "store/Errors.h"
#include "store/RecordFile.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>

#include <gtest/gtest.h>

#include <functional>

using namespace fixtures;
using uitest::control;

namespace {

struct BudgetLedgerTest : ::testing::Test {
    uitest::TestContext t;
    std::unique_ptr<app::HeadForm> form;
    std::filesystem::path folder() const { return t.ctx.paths.dataRoot() / "Budget"; }

    void open(const std::string& postBytes, const std::string& mall = "") {
        form.reset();
        writeRegister(t.ctx.paths.dataRoot(), kontoRec("Budget", "1", "Bg"));
        writeAccount(t.ctx.paths.dataRoot(), "Budget", postBytes);
        writeFile(folder() / "B-mall", mall);
        form = std::make_unique<app::HeadForm>(t.ctx);
        form->Form_Load();
    }
    ledger::BudgetFrame* frame() { return form->budgetFrame(); }
    QLineEdit* budgetBox() { return frame()->budgetAmountBox(); }
    QLineEdit* actualBox() { return frame()->actualAmountBox(); }
    QPushButton* button(const char* name) { return control<QPushButton>(*form, name); }
    QTableWidget* budgetGrid() { return control<QTableWidget>(*form, "budgetGrid"); }

    void choose(const QString& transaction) {
        frame()->transCombo()->setCurrentIndex(frame()->transCombo()->findText(transaction));
        frame()->TransCombo_Budget_Click();
    }
    void type(QLineEdit* box, const QString& text) {
        box->selectAll();
        uitest::typeText(box, text);
        uitest::pressEnter(box);
    }
};

TEST_F(BudgetLedgerTest, AnExpenseDatedTodayIsStoredConfirmedAndRecordedInTheTemplate) {
    open(budgetPosts(3), mallRec("3", "30", "01", "03", true));
    choose("Uttag");
    EXPECT_EQ(form->procedureCode(), "cbonomark");
    EXPECT_FALSE(budgetGrid()->isEnabled());
    type(budgetBox(), "12 345.50");
    EXPECT_EQ(budgetBox()->text(), "-12 345,50");
    EXPECT_EQ(frame()->pendingBudgeted(), "-12345,50");
    EXPECT_EQ(frame()->pendingActual(), "-12345,50"); // the actual amount follows the budgeted one
    EXPECT_EQ(actualBox()->text(), "-12 345,50");
    type(actualBox(), "12000");
    EXPECT_EQ(button("actionButton")->text(), "Lägg in");
    button("actionButton")->click();

    // Posts: 0/0, -20/-22, -30/-33 (balances -50/-55), then the new post on 2026-12-06.
    const std::string expected =
        budgetPosts(3) + budg("2026-12-06", "3", "-12345,50", "-12000", "-12395,5", "-12055", "340,5");
    EXPECT_EQ(readFile(folder() / "KontoData"), expected);
    // December gets its own template record; the excluded January record keeps its mark.
    EXPECT_EQ(readFile(folder() / "B-mall"),
              mallRec("3", "30", "01", "03", true) + mallRec("3", "12010", "12", "06"));
    EXPECT_EQ(form->procedureCode(), "");
    EXPECT_EQ(budgetGrid()->item(3, 2)->text(), "-12 345,50");
    EXPECT_EQ(budgetGrid()->item(3, 2)->foreground().color(), QColor(255, 0, 0));
}

TEST_F(BudgetLedgerTest, APostDatedTomorrowIsOnlyBudgetedShownBlueAndConfirmedLater) {
    const std::string mall = mallRec("9", "10", "05", "01");
    open(budgetPosts(2), mall);
    form->dateSelector()->datumset("2026-12-07");
    choose("Insättning");
    type(actualBox(), "800");
    EXPECT_EQ(budgetBox()->text(), "0,00");
    EXPECT_EQ(frame()->pendingBudgeted(), "0");
    button("actionButton")->click();
    const std::string file = readFile(folder() / "KontoData");
    EXPECT_EQ(file.substr(2 * 77, 77), budg("2026-12-07", "2", "0", "800", "-20", "778", "798", ' ', ' '));
    EXPECT_EQ(budgetGrid()->item(2, 3)->foreground().color(), QColor(0, 0, 255));
    EXPECT_EQ(readFile(folder() / "B-mall"), mall);

    // Marking it offers "Bekräfta"; confirming sets the flag only.
    budgetGrid()->cellClicked(2, 0);
    EXPECT_EQ(form->procedureCode(), "mkg2");
    EXPECT_TRUE(button("confirmButton")->isEnabled());
    t.dialogs.answerYes();
    button("confirmButton")->click();
    EXPECT_TRUE(uitest::showed(t.dialogs, -1, "Bekräfta belopp",
                               "Vill du verifiera beloppen:\n\n0,00 kr.   800,00 kr.\n\nsom verkliga ?"));
    std::string confirmed = file;
    confirmed[2 * 77 + 70] = '*';
    EXPECT_EQ(readFile(folder() / "KontoData"), confirmed);
    EXPECT_EQ(readFile(folder() / "B-mall"), mall + mallRec("2", "790", "12", "07"));
    EXPECT_EQ(form->procedureCode(), "");
    EXPECT_EQ(budgetGrid()->item(2, 3)->foreground().color(), QColor(0, 0, 0));
}

TEST_F(BudgetLedgerTest, ChangingTheActualAmountMovesTheLaterActualBalancesAndDifferences) {
    open(budgetPosts(4));
    budgetGrid()->cellClicked(1, 0); // post 2: -20 / -22
    EXPECT_EQ(actualBox()->text(), "-22,00");
    EXPECT_FALSE(button("confirmButton")->isEnabled());
    type(actualBox(), "72");
    EXPECT_EQ(button("actionButton")->text(), "Ändra");
    t.dialogs.answerYes();
    button("actionButton")->click();
    EXPECT_TRUE(uitest::showed(t.dialogs, 0, "Ändring av tidigare belopp",
                               "Vill du ändra tidigare:\nVerkl. beloppet:  -22,00  till  -72,00  ?"));
    const std::string file = readFile(folder() / "KontoData");
    EXPECT_EQ(file.substr(77 + 14, 55),
              field("-20", 11) + field("-72", 11) + field("-20", 11) + field("-72", 11) + field("-52", 11));
    EXPECT_EQ(file.substr(3 * 77 + 36, 33), field("-90", 11) + field("-149", 11) + field("-59", 11));
    EXPECT_EQ(form->procedureCode(), "");
}

TEST_F(BudgetLedgerTest, DeletingAndMovingPostsKeepTheBalancesRight) {
    open(budgetPosts(5));
    budgetGrid()->cellClicked(1, 1);
    t.dialogs.answerYes();
    button("actionButton")->click();
    EXPECT_TRUE(uitest::showed(t.dialogs, 0, "Borttagning av post",
                               QString::fromStdString("Vill du radera posten med datum: " + nthDate(2) +
                                                      "\n\nUttag\n\n-20,00 kr.,  -22,00 kr.  ?")));
    EXPECT_EQ(form->postCount(), 4);
    EXPECT_EQ(readFile(folder() / "KontoData").substr(77, 77),
              budgetPost(nthDate(3), 3, -30, -33, -30, -33, true));

    // Move the new last post to the first day: it goes after post 1.
    button("actionButton")->click();
    EXPECT_EQ(form->procedureCode(), "Fl");
    budgetGrid()->cellClicked(3, 0);
    EXPECT_EQ(budgetGrid()->item(3, 0)->background().color(), QColor(0, 255, 0));
    EXPECT_NE(budgetGrid()->item(3, 1)->background().color(), QColor(0, 255, 0)); // the date cells only
    t.dialogs.answerYes();
    budgetGrid()->cellClicked(3, 0);
    form->dateSelector()->datumset(QString::fromStdString(nthDate(1)));
    button("actionButton")->click();
    const std::string file = readFile(folder() / "KontoData");
    EXPECT_EQ(file.substr(0, 2 * 77), budgetPost(nthDate(1), 1, 0, 0, 0, 0, true) +
                                          budgetPost(nthDate(1), 3, -50, -55, -50, -55, true));
    EXPECT_EQ(file.substr(3 * 77, 77), budgetPost(nthDate(4), 3, -40, -44, -120, -132, true));
    EXPECT_EQ(form->procedureCode(), "");
    EXPECT_TRUE(button("actionButton")->isEnabled());
}

TEST_F(BudgetLedgerTest, AWrongBudgetBalanceIsNamedAndRecountedOnYes) {
    std::string bytes = budgetPosts(4);
    bytes.replace(2 * 77 + 36, 11, field("-1000", 11)); // post 3's budget balance
    open(bytes);
    budgetGrid()->cellClicked(0, 7); // a tick leaves the balances alone
    form->dateSelector()->datumset(QString::fromStdString(nthDate(2)));
    choose("Uttag");
    type(budgetBox(), "0");
    t.dialogs.answerYes();
    button("actionButton")->click();
    ASSERT_GE(t.dialogs.calls().size(), 2u);
    EXPECT_EQ(t.dialogs.calls()[0].title, "Saldo-kontroll");
    EXPECT_TRUE(t.dialogs.calls()[0].text.contains("Budgetbelopp: -30,00\nVerkl.belopp: -33,00\n\nUpptäckt "
                                                   "skillnad budgetsaldo:\n-1 000,00 till -50,00\n\n\n"
                                                   "Felet kan åtgärdas"));
    EXPECT_TRUE(t.dialogs.calls()[0].text.endsWith("Vill du att omräkningen sker ?"));
    EXPECT_EQ(t.dialogs.calls()[1].title, "Servicemeddelande");
    const std::string file = readFile(folder() / "KontoData");
    EXPECT_EQ(file.substr(3 * 77 + 36, 33), field("-50", 11) + field("-55", 11) + field("-5", 11));
    EXPECT_EQ(file.substr(69, 1), "x");
}

// Typing in either box takes the pending amounts back until Enter; a changed transaction signs
// them anew; a failed tick stays unwritten.
TEST_F(BudgetLedgerTest, OnlyAmountsTakenWithEnterArePostedWithTheSignOfTheirTransaction) {
    open(budgetPosts(3));
    const std::string before = readFile(folder() / "KontoData");
    choose("Uttag");
    type(budgetBox(), "100");
    EXPECT_TRUE(button("actionButton")->isEnabled());
    uitest::typeText(actualBox(), "5");
    EXPECT_FALSE(button("actionButton")->isEnabled());
    form->runAction();
    EXPECT_TRUE(t.dialogs.calls().empty()); // never the error report
    EXPECT_EQ(readFile(folder() / "KontoData"), before);

    uitest::pressEnter(actualBox());
    choose("Insättning");
    EXPECT_EQ(budgetBox()->text(), "100,00");
    EXPECT_EQ(frame()->pendingActual(), "5");
    button("actionButton")->click();
    EXPECT_EQ(readFile(folder() / "KontoData").substr(3 * 77, 39),
              field("2026-12-06", 10) + field("2", 4) + field("100", 11) + field("5", 11) + field("50", 3));

    uitest::failSavesOf("KontoData");
    t.dialogs.answerNo();
    budgetGrid()->cellClicked(0, 7);
    store::setCommitFaultHook({});
    budgetGrid()->cellClicked(1, 7);
    const std::string after = readFile(folder() / "KontoData");
    EXPECT_EQ(after.substr(69, 1), " ");
    EXPECT_EQ(after.substr(77 + 69, 1), "x");
}

TEST_F(BudgetLedgerTest, Command1IsOfferedOnlyWhileAnUnconfirmedPostIsMarked) {
    std::string bytes = budgetPosts(3);
    bytes[77 + 70] = ' '; // post 2 only budgeted
    open(bytes);
    QPushButton* confirmButton = button("confirmButton");
    const auto cancel = [&] {
        form->armReset();
        button("cancelButton")->click();
    };
    EXPECT_FALSE(confirmButton->isEnabled());
    budgetGrid()->cellClicked(0, 0);
    EXPECT_FALSE(confirmButton->isEnabled());
    cancel();
    budgetGrid()->cellClicked(1, 0);
    EXPECT_TRUE(confirmButton->isEnabled());
    uitest::typeText(budgetBox(), "5"); // a change of its amounts begun...
    EXPECT_FALSE(confirmButton->isEnabled());
    cancel(); // ...and given up: the post is marked as before
    EXPECT_EQ(form->procedureCode(), "mkg2");
    EXPECT_TRUE(confirmButton->isEnabled());
    cancel();
    EXPECT_FALSE(confirmButton->isEnabled());
}

TEST_F(BudgetLedgerTest, TheOnlyPostTakesTheNewDateAtOnceAndKeepsItsFlag) {
    open(budgetPosts(1, false));
    form->dateSelector()->datumset("2026-02-01");
    button("actionButton")->click(); // "Flytta"
    EXPECT_EQ(readFile(folder() / "KontoData"), budgetPost("2026-02-01", 1, 0, 0, 0, 0, false));
    EXPECT_TRUE(t.dialogs.calls().empty());
    EXPECT_EQ(form->procedureCode(), "");
    EXPECT_EQ(budgetGrid()->item(0, 0)->text(), "2026-02-01");
}

// A marked post's transaction replaced in that post only or in every post using it; the sign
// change moves the later balances.
TEST_F(BudgetLedgerTest, AMarkedPostsTransactionIsReplacedInOneOrAllPosts) {
    const struct {
        bool all;
        std::string posts2to4;
    } cases[] = {
        {false, budgetPost(nthDate(2), 3, -20, -22, -20, -22, true) +
                    budgetPost(nthDate(3), 2, 30, 33, 10, 11, true) +
                    budgetPost(nthDate(4), 3, -40, -44, -30, -33, true)},
        {true, budgetPost(nthDate(2), 2, 20, 22, 20, 22, true) +
                   budgetPost(nthDate(3), 2, 30, 33, 50, 55, true) +
                   budgetPost(nthDate(4), 2, 40, 44, 90, 99, true)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.all);
        t.dialogs.clear();
        open(budgetPosts(4));
        budgetGrid()->cellClicked(2, 1); // post 3, "Uttag"
        if (c.all)
            t.dialogs.answerNo(); // not this post only
        t.dialogs.answerYes().answerYes();
        frame()->TransText_Click();
        EXPECT_EQ(t.dialogs.calls()[0].text, "Vill du byta ut transaktionen\ni ENBART denna kontopost ?");
        EXPECT_EQ(form->procedureCode(), "trbyt");
        t.dialogs.answerYes();
        choose("Insättning");
        const int confirm = c.all ? 3 : 2;
        ASSERT_GT(t.dialogs.calls().size(), confirm + 1u);
        EXPECT_TRUE(uitest::showed(
            t.dialogs, confirm, "Ändrad transaktion",
            "Vill du verkligen byta transaktionen\ntill den föreslagna:\n\nInsättning ( = Inkomst !)\n\n"
            "som ersättning för:\n\nUttag ( = Utgift !)  ? ?\n\nOBS att beloppet ej ändras i\ndenna "
            "operation ! (Ev. tecken-\nändring medför dock omräkning !)"));
        EXPECT_TRUE(uitest::showed(
            t.dialogs, -1, "Transaktionsbyte utfört",
            "Transaktionen\n\nUttag\n\nhar nu bytts ut mot föreslagen\n\nInsättning\n\ni en eller "
            "flera poster, enligt\nönskemål !\n\nVid ev. teckenbyte har omräkning\noch efterföljande "
            "saldokontroll\nskett !"));
        EXPECT_EQ(readFile(folder() / "KontoData").substr(77), c.posts2to4);
        EXPECT_EQ(form->procedureCode(), "");
        EXPECT_EQ(form->markedPost(), 0);
    }
}

// The sub-transaction list is open to a marked post: Yes writes SubTransNr alone, No ends the
// marking and returns to today.
TEST_F(BudgetLedgerTest, ASubTransactionIsAddedToOrReplacedInAMarkedPost) {
    const struct {
        int row;
        bool yes;
        const char* title;
        QString text;
        const char* stored; // SubTransNr of the marked post afterwards
    } cases[] = {
        {1, true, "Ny subtransaktion i post",
         "Vill du lägga in subtransaktionen\n\nHyra\n\nför att precisera transaktionen ?", "2   "},
        {2, true, "Ändrad subtransaktion i post",
         "Vill du ersätta texten:\n\nMat\n\nmed texten:\n\nHyra\n\nför att precisera transaktionen ?",
         "2   "},
        {1, false, "Ny subtransaktion i post",
         "Vill du lägga in subtransaktionen\n\nHyra\n\nför att precisera transaktionen ?", "    "},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.row);
        t.dialogs.clear();
        std::string bytes = budgetPosts(3);
        bytes.replace(2 * 77 + 71, 4, field("1", 4));
        open(bytes);
        writeFile(folder() / "Kategori", field("Mat", 35) + field("Hyra", 35));
        frame()->S_TransOptionBudg_MouseDown();
        form->dateSelector()->datumset("2026-06-01");
        budgetGrid()->cellClicked(c.row, 0);
        ASSERT_TRUE(frame()->transCombo()->isEnabled());
        c.yes ? t.dialogs.answerYes() : t.dialogs.answerNo();
        frame()->transCombo()->setCurrentIndex(1);
        frame()->TransCombo_Budget_Click();
        ASSERT_EQ(t.dialogs.calls().size(), 1u);
        EXPECT_TRUE(uitest::showed(t.dialogs, 0, c.title, c.text));
        bytes.replace(static_cast<std::size_t>(c.row) * 77 + 71, 4, c.stored);
        EXPECT_EQ(readFile(folder() / "KontoData"), bytes);
        EXPECT_EQ(form->markedPost(), c.yes ? c.row + 1 : 0);
        if (!c.yes) {
            EXPECT_EQ(form->workingDate(), "2026-12-06");
        }
    }
    // A save that fails is reported as this step's error and leaves the post as it was.
    uitest::failSavesOf("KontoData");
    budgetGrid()->cellClicked(1, 0);
    t.dialogs.answerYes().answerNo(); // no report sent
    frame()->transCombo()->setCurrentIndex(1);
    frame()->TransCombo_Budget_Click();
    store::setCommitFaultHook({});
    EXPECT_NE(t.ctx.error.headline.find("\r\nnär subtransaktion ska tillföras\r\n"), std::string::npos);
    EXPECT_EQ(t.ctx.error.details.rfind("Fel nr 6 i rutinen TransCombo_Budget_Click", 0), 0u);
    EXPECT_EQ(readFile(folder() / "KontoData").substr(77 + 71, 4), "    ");
}

// Each situation line of a failed list click stands at the margin, as the report prints it.
TEST(BudgetListErrors, SituationLinesBeginWithoutABlank) {
    for (const ledger::ErrorText& error : ledger::budgetKind().listErrors)
        for (const QString& line : error.heading.split("\r\n"))
            EXPECT_FALSE(line.startsWith(' ')) << line.toStdString();
}

// The help of the transaction box and the option buttons, by the frame's state.
TEST_F(BudgetLedgerTest, TheTransactionBoxAndOptionsExplainThemselves) {
    open(budgetPosts(3));
    using uitest::hover;
    const struct {
        std::function<void()> state;
        const char* title;
        const char* tooltip;
        const char* line;
    } cases[] = {
        {[] {}, "Transaktion", "Ny huvudtransaktion ! ?",
         "Klicka för att lägga till en ny transaktion,\neller välj en befintlig från listan !"},
        {[&] { choose("Uttag"); }, "Transaktion", "Ändra eller ta bort transaktion !",
         "Klicka för att ändra / radera transaktion"},
        {[&] {
             form->armReset();
             button("cancelButton")->click();
             budgetGrid()->cellClicked(1, 0);
         },
         "Transaktion", "Byt ev. ut transaktion för denna post",
         "Klicka för att ev. byta transaktion för kontoposten"},
        {[&] { frame()->S_TransOptionBudg_MouseDown(); }, "Subtransaktion", "Lägg till en subtransaktion !",
         "Klicka för att skapa en första subtransaktion !"},
    };
    for (const auto& c : cases) {
        c.state();
        hover(frame()->transText());
        EXPECT_EQ(uitest::textsOf(*form, {"helpTitle", "helpLine"}), (QStringList{c.title, c.line}));
        EXPECT_EQ(frame()->transText()->toolTip(), c.tooltip);
    }
    // Marked, sub list shown: the main option names the chosen main transaction.
    hover(frame()->mainOption());
    EXPECT_EQ(frame()->mainOption()->toolTip(), "Huvudtransaktion = Uttag");
    form->armReset();
    button("cancelButton")->click();
    hover(frame()->subOption());
    EXPECT_EQ(control<QLabel>(*form, "helpLine")->text(), "Listan saknar subtransaktioner !");
    // An empty sub-transaction list still asks before a new one is made.
    t.dialogs.answerNo();
    frame()->TransText_Click();
    EXPECT_EQ(t.dialogs.titles(), QStringList{"Ny Subtransaktion (?)"});
    EXPECT_EQ(form->procedureCode(), "");
}

} // namespace
