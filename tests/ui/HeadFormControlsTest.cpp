// The main window's date selector, its arrangement per account kind, the cancel button and the
// procedure codes, the menus and help texts, and one program per data folder.

#include "TestContext.h"
#include "UiHelpers.h"
#include "app/DateSelector.h"
#include "app/HeadForm.h"
#include "app/InstanceLock.h"
#include "fixtures/AccountFiles.h"
#include "ledger/ui/BudgetFrame.h"
#include "ledger/ui/CashFrame.h"
#include "support/ErrorReport.h"
#include "support/ui/Twips.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTableWidget>
#include <QTest>

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace fixtures;
using support::px;
using uitest::control;

namespace {

using uitest::hover;

struct ControlsTest : ::testing::Test {
    uitest::TestContext t;
    std::filesystem::path root() const { return t.ctx.paths.dataRoot(); }

    void writeAccounts() {
        writeRegister(root(), kontoRec("Kassa", "1", "Ek") + kontoRec("Budget", "2", "Bg") +
                                  kontoRec("Tredje", "3", "Ek"));
        writeAccount(root(), "Kassa", cashPosts(30));
        writeAccount(root(), "Budget", budgetPosts(12));
        writeFile(root() / "Budget" / "B-mall", mallRec("3", "60", "01", "05"));
        writeAccount(root(), "Tredje", cashPosts(3));
    }
    // The main window on those accounts, the first one open.
    app::HeadForm& open() {
        writeAccounts();
        head = std::make_unique<app::HeadForm>(t.ctx);
        head->Form_Load();
        return *head;
    }
    std::unique_ptr<app::HeadForm> head;
    void choose(app::HeadForm& form, int index) {
        control<QComboBox>(form, "accountPicker")->setCurrentIndex(index);
        form.openChosenAccount();
    }
    QString shown(app::HeadForm& form) {
        return control<QLabel>(form, "YearShow")->text() + "-" + control<QLabel>(form, "MonthShow")->text() +
               "-" + control<QLabel>(form, "DayShow")->text();
    }
    QWidget* central(app::HeadForm& form) { return form.centralWidget(); }
};

TEST_F(ControlsTest, TheStepButtonsWalkTheCalendarAndTheDisplaysShowTwoDigits) {
    app::HeadForm& form = open();
    EXPECT_EQ(shown(form), "2026-12-06");
    const struct {
        const char* from;
        const char* button;
        const char* to;
    } steps[] = {
        // One step of each button; the calendar's own cases are the date steps' (DateTextTest).
        {"2012-02-28", "DayPlus", "2012-02-29"},   {"2010-01-01", "DayMinus", "2009-12-31"},
        {"2026-12-15", "MonthPlus", "2027-01-15"}, {"2013-03-31", "MonthMinus", "2013-02-28"},
        {"2012-02-29", "YearPlus", "2013-02-28"},  {"2026-03-05", "YearMinus", "2025-03-05"},
    };
    for (const auto& s : steps) {
        form.dateSelector()->datumset(s.from);
        uitest::click(control<QPushButton>(form, s.button));
        EXPECT_EQ(shown(form), s.to) << s.from << " " << s.button;
        EXPECT_EQ(form.workingDate(), s.to);
    }
    EXPECT_EQ(control<QPushButton>(form, "DayMinus")->toolTip(), "Minska datum med en dag");
    EXPECT_EQ(control<QPushButton>(form, "YearPlus")->toolTip(), "Öka datum med ett år");
}

TEST_F(ControlsTest, ADisplayLooksTheDateUpAndAvbrytWhileIdleReturnsToTheWorkingDate) {
    app::HeadForm& form = open();
    auto* g = control<QTableWidget>(form, "cashGrid");
    form.dateSelector()->datumset(QString::fromStdString(nthDate(6)));
    uitest::click(control<QPushButton>(form, "DayMinus"));
    uitest::click(control<QLabel>(form, "DayShow"));
    EXPECT_EQ(form.currentPost(), 5);
    EXPECT_EQ(g->item(0, 0)->text().toStdString(), nthDate(4));
    EXPECT_EQ(form.workingDate(), "2026-12-06");
    EXPECT_EQ(shown(form).toStdString(), nthDate(5));

    uitest::click(control<QPushButton>(form, "cancelButton"));
    EXPECT_EQ(form.currentPost(), 30);
    EXPECT_EQ(g->item(9, 0)->text().toStdString(), nthDate(30));
    EXPECT_EQ(shown(form), "2026-12-06");
}

// Keys on the focused control: digits, u/d Up/Down, U/D PageUp/PageDown, b Backspace, e Esc,
// n Enter.
void pressKeys(const char* keys) {
    for (const char* k = keys; *k; ++k) {
        QWidget* target = QApplication::focusWidget();
        ASSERT_NE(target, nullptr);
        const std::string special = "udUDben";
        const Qt::Key codes[] = {Qt::Key_Up,        Qt::Key_Down,   Qt::Key_PageUp, Qt::Key_PageDown,
                                 Qt::Key_Backspace, Qt::Key_Escape, Qt::Key_Return};
        const auto at = special.find(*k);
        QTest::keyClick(target, at == std::string::npos ? Qt::Key(Qt::Key_0 + (*k - '0')) : codes[at]);
    }
}

QString focused() {
    return QApplication::focusWidget() ? QApplication::focusWidget()->objectName() : QString();
}

TEST_F(ControlsTest, TheDateIsSetFromTheKeyboardAndTheFocusStaysOnIt) {
    app::HeadForm& form = open();
    form.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
    control<QLabel>(form, "YearShow")->setFocus(Qt::TabFocusReason);
    QStringList order{focused()};
    for (int i = 0; i < 2; ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        order << focused();
    }
    EXPECT_EQ(order, (QStringList{"YearShow", "MonthShow", "DayShow"}));

    const struct {
        const char* from;
        const char* display;
        const char* keys;
        const char* to;
    } cases[] = {
        {"2026-12-31", "DayShow", "u", "2027-01-01"},
        {"2026-12-06", "MonthShow", "d", "2026-11-06"},
        {"2026-12-06", "YearShow", "U", "2027-01-06"},
        {"2026-03-31", "DayShow", "D", "2026-02-28"},
        {"2026-12-06", "YearShow", "2028", "2028-12-06"},
        {"2026-12-06", "MonthShow", "03", "2026-03-06"},
        {"2026-12-06", "DayShow", "2b05", "2026-12-05"},
        {"2028-02-10", "DayShow", "29", "2028-02-29"},
        // No such day: refused, the date stays.
        {"2026-03-31", "MonthShow", "02", "2026-03-31"},
        {"2026-12-06", "MonthShow", "13", "2026-12-06"},
        {"2026-12-06", "DayShow", "00", "2026-12-06"},
        {"2027-02-10", "DayShow", "29", "2027-02-10"},
        {"2012-02-29", "YearShow", "2013", "2012-02-29"},
        // Esc drops the digits typed; it cancels nothing else.
        {"2026-05-06", "DayShow", "2e", "2026-05-06"},
    };
    for (const auto& c : cases) {
        form.dateSelector()->datumset(c.from);
        control<QLabel>(form, c.display)->setFocus(Qt::TabFocusReason);
        pressKeys(c.keys);
        EXPECT_EQ(shown(form), c.to) << c.from << " " << c.display << " " << c.keys;
        EXPECT_EQ(form.workingDate(), c.to);
        EXPECT_EQ(focused(), c.display);
    }

    // Digits show as they come; leaving the display drops them.
    auto* year = control<QLabel>(form, "YearShow");
    year->setFocus(Qt::TabFocusReason);
    pressKeys("20");
    EXPECT_EQ(year->text(), "20__");
    QTest::keyClick(year, Qt::Key_Tab);
    EXPECT_EQ(shown(form), "2026-05-06");

    // Enter looks the shown date up as a click on a display does.
    form.dateSelector()->datumset(QString::fromStdString(nthDate(6)));
    control<QLabel>(form, "DayShow")->setFocus(Qt::TabFocusReason);
    pressKeys("dn");
    EXPECT_EQ(form.currentPost(), 5);
    EXPECT_EQ(form.workingDate(), "2026-12-06");
    EXPECT_EQ(focused(), "cancelButton");
}

TEST_F(ControlsTest, TheWindowArrangesItselfForTheAccountKind) {
    app::HeadForm& form = open();
    auto* confirmButton = control<QPushButton>(form, "confirmButton");
    auto* bupl = form.findChild<QAction*>("bupl_mn");
    EXPECT_EQ(form.width(), px(12480));
    EXPECT_EQ(control<QWidget>(form, "dateSelector")->x(), px(1140));
    EXPECT_EQ(control<QWidget>(form, "accountFrame")->x(), px(4000));
    EXPECT_EQ(control<QPushButton>(form, "actionButton")->x(), px(3517));
    EXPECT_EQ(control<QPushButton>(form, "donateButton")->x(), px(6674));
    EXPECT_EQ(control<QPushButton>(form, "quitButton")->x(), px(9831));
    EXPECT_EQ(control<QLabel>(form, "helpTitle")->x(), px(3000));
    EXPECT_EQ(control<QLabel>(form, "helpLine")->x(), px(5080));
    EXPECT_FALSE(confirmButton->isVisibleTo(&form));
    EXPECT_FALSE(bupl->isEnabled());

    choose(form, 1);
    EXPECT_EQ(form.width(), px(16320));
    EXPECT_EQ(control<QWidget>(form, "dateSelector")->x(), px(600));
    EXPECT_EQ(control<QWidget>(form, "accountFrame")->x(), px(6360));
    EXPECT_EQ(confirmButton->x(), px(3686));
    EXPECT_EQ(control<QPushButton>(form, "quitButton")->x(), px(13680));
    EXPECT_TRUE(confirmButton->isVisibleTo(&form));
    EXPECT_EQ(confirmButton->text(), "Bekräfta");
    EXPECT_TRUE(bupl->isEnabled());
    form.Lock_menues();
    form.Unlock_menues();
    EXPECT_TRUE(bupl->isEnabled());
    EXPECT_TRUE(form.budgetFrame()->isVisibleTo(&form));
    EXPECT_FALSE(form.cashFrame()->isVisibleTo(&form));

    choose(form, 0);
    EXPECT_FALSE(confirmButton->isVisibleTo(&form));
    EXPECT_EQ(control<QLabel>(form, "budgetNameLabel")->text(), "");
    form.Unlock_menues();
    EXPECT_FALSE(bupl->isEnabled()) << "Budgetplanering is never offered for a cash-book account";
    choose(form, 1);
    form.showNoAccount();
    form.Unlock_menues();
    EXPECT_FALSE(bupl->isEnabled()) << "nor without an account";
}

TEST_F(ControlsTest, TheCancelButtonUndoesTheProcedureItsCodeNames) {
    app::HeadForm& form = open();
    auto* actionButton = control<QPushButton>(form, "actionButton");
    auto* cancelButton = control<QPushButton>(form, "cancelButton");
    // A procedure that ends presses the cancel button itself with the reset armed.
    const auto reset = [&] {
        form.armReset();
        cancelButton->click();
    };

    // Nothing armed: a click does nothing.
    form.setProcedureCode("budg");
    cancelButton->click();
    EXPECT_EQ(form.procedureCode(), "budg");
    EXPECT_EQ(cancelButton->toolTip(), "Avbryt budgetering");

    reset();
    EXPECT_EQ(form.procedureCode(), "");
    EXPECT_FALSE(form.resetArmed());
    EXPECT_EQ(cancelButton->text(), "Avbryt");
    EXPECT_EQ(cancelButton->toolTip(), "Nollställ (Avbryt) pågående procedur");

    // A chosen transaction without a marked post: the locks come off again.
    form.Lock_Konto();
    form.Lock_menues();
    form.cashFrame()->amountBox()->setText("125");
    actionButton->setEnabled(false);
    cancelButton->setText("Avbryt inmatn.");
    form.setProcedureCode("cbonomark");
    EXPECT_EQ(cancelButton->toolTip(), "Avbryt val av transaktion / nytt belopp");
    EXPECT_EQ(uitest::enabledOf(form, {"accountPicker", "Ark_mn"}), "00");
    reset();
    EXPECT_EQ(uitest::enabledOf(form, {"accountPicker", "Ark_mn", "actionButton"}), "111");
    EXPECT_EQ(form.cashFrame()->amountBox()->text(), "");
    EXPECT_TRUE(form.cashFrame()->amountBox()->isReadOnly());
    EXPECT_EQ(uitest::textsOf(form, {"actionButton", "cancelButton"}), (QStringList{"Flytta", "Avbryt"}));
    EXPECT_EQ(form.procedureCode(), "");

    // A changed amount goes back to the marking.
    form.setProcedureCode("chg");
    EXPECT_EQ(cancelButton->toolTip(), "Ångra ändring av belopp");
    reset();
    EXPECT_EQ(form.procedureCode(), "mkg1");
    EXPECT_EQ(uitest::textsOf(form, {"actionButton", "cancelButton"}),
              (QStringList{"Ta bort", "Avbryt mark."}));
    EXPECT_EQ(cancelButton->toolTip(), "Avbryt markering av kontopost (enkel bokf.)");
    // The user's own press and click on "Avbryt" during the marking clears it.
    uitest::click(cancelButton);
    EXPECT_EQ(form.procedureCode(), "");
    EXPECT_EQ(uitest::textsOf(form, {"actionButton", "cancelButton"}), (QStringList{"Flytta", "Avbryt"}));

    // Codes of other windows are left to them; unknown ones get the general tooltip.
    for (const char* code : {"Nyk", "stat", "utskr2"}) {
        form.setProcedureCode(code);
        reset();
        EXPECT_EQ(form.procedureCode(), code);
    }
    EXPECT_EQ(cancelButton->toolTip(), "Avbryt all utskrift");
    form.setProcedureCode("nyk-1");
    EXPECT_EQ(cancelButton->toolTip(), "Avbryt skapa ett första konto");
    form.setProcedureCode("okänd");
    EXPECT_EQ(cancelButton->toolTip(), "Avbryt (Esc)");

    // The general restoration after a new sub-transaction.
    form.Lock_trans();
    form.Lock_menues();
    form.Lock_Konto();
    form.setProcedureCode("nysptr");
    reset();
    EXPECT_TRUE(form.cashFrame()->transCombo()->isEnabled());
    EXPECT_EQ(uitest::enabledOf(form, {"accountPicker", "Ark_mn"}), "11");
    EXPECT_EQ(form.procedureCode(), "");

    // Balance entry: the amount title goes back to "Belopp".
    form.cashFrame()->amountTitle()->setText("Nytt Saldo");
    form.setProcedureCode("saldo");
    reset();
    EXPECT_EQ(form.cashFrame()->amountTitle()->text(), "Belopp");
    EXPECT_EQ(form.procedureCode(), "");
    EXPECT_TRUE(t.dialogs.calls().empty());
}

TEST_F(ControlsTest, MenusOpenHelpAndTellWhereNoAddressIsConfigured) {
    t.ctx.settings.webServer.clear();
    t.ctx.settings.feedbackEmail = "moniva@example.org";
    app::HeadForm& form = open();
    const std::pair<const char*, int> topics[] = {{"over_mn", 10000}, {"trans_mn", 20000},
                                                  {"acc_mn", 40000},  {"butts_mn", 50000},
                                                  {"bdg_mn", 60000},  {"utstat_mn", 70000}};
    for (const auto& [name, context] : topics) {
        form.findChild<QAction*>(name)->trigger();
        EXPECT_EQ(t.platform.helpContexts.back(), context) << name;
    }
    form.findChild<QAction*>("kritisk_mn")->trigger();
    ASSERT_FALSE(t.dialogs.calls().empty());
    EXPECT_EQ(t.dialogs.calls().back().title, "ProgramKritik");
    const QString text = t.dialogs.calls().back().text;
    EXPECT_TRUE(text.startsWith("                         Hej !\n\nOm Du är missnöjd med programmet"));
    EXPECT_TRUE(text.contains("Skriv ett mail till:\n\nmoniva@example.org\n\n"));
    EXPECT_TRUE(text.endsWith("Använd Donera-knappen !\n\nMed vänlig hälsning\n\n         /Ollon"));

    form.findChild<QAction*>("Update_mn")->trigger();
    EXPECT_EQ(t.dialogs.calls().back().title, "Ingen webbadress");
    EXPECT_TRUE(t.dialogs.calls().back().text.endsWith("\n\nDu använder Moniva " MONIVA_VERSION "."));
    EXPECT_TRUE(t.platform.openedUrls.empty());
    t.ctx.settings.webServer = "https://moniva.example.org";
    form.findChild<QAction*>("Update_mn")->trigger();
    ASSERT_EQ(t.platform.openedUrls.size(), 1u);
    EXPECT_EQ(t.platform.openedUrls[0], "https://moniva.example.org/Bugfix/BuggFix_Moniva.php");
    EXPECT_TRUE(form.findChild<QAction*>("Bu_mn")->isEnabled());
    form.findChild<QAction*>("Bu_mn")->trigger();
    QWidget* backupWindow = uitest::shownWindow("Backup / Äterställ");
    ASSERT_NE(backupWindow, nullptr);
    EXPECT_TRUE(backupWindow->inherits("backup::BackUpForm"));
    backupWindow->close();
    // The statistics window is there for the open account; budget planning for budget accounts.
    EXPECT_TRUE(form.findChild<QAction*>("utskrstat_mn")->isEnabled() &&
                !form.findChild<QAction*>("bupl_mn")->isEnabled());
}

TEST_F(ControlsTest, HelpLabelsFollowTheMouseAndTheBackgroundClearsThem) {
    app::HeadForm& form = open();
    // The help title and line (helpTitle, helpLine) the mouse over each control leaves.
    const struct {
        QWidget* over;
        const char* title;
        const char* line;
    } cases[] = {
        {form.dateSelector(), "Datumenhet", "Ändra valfritt  ¦År¦ - ¦Månad¦ - ¦Dag¦  var för sig !"},
        {central(form), "", ""},
        {control<QLabel>(form, "MonthShow"), "Datumsökning",
         "Klicka och sök data på inställt datum. Återställ med 'Avbryt' !"},
        {control<QLineEdit>(form, "accountBox"), "Konto",
         "Klicka för att skapa ett nytt konto, eller välj ett befintligt från listan !"},
        {control<QLabel>(form, "logo"), "Logo", "Välkommen titta in på min hemsida !\n/Ollon"},
        {form.cashFrame(), "", ""},
    };
    for (const auto& c : cases) {
        hover(c.over);
        EXPECT_EQ(uitest::textsOf(form, {"helpTitle", "helpLine"}), (QStringList{c.title, c.line}))
            << c.over->objectName().toStdString();
    }
    EXPECT_EQ(control<QLineEdit>(form, "accountBox")->toolTip(), "Klicka för att lägga in nytt konto !");
}

TEST_F(ControlsTest, TheFundHintSwitchedOffIsRememberedInTheRegister) {
    app::HeadForm& form = open();
    QLabel* saldo = form.cashFrame()->saldoTitle();
    hover(saldo);
    EXPECT_EQ(saldo->toolTip(), "Förenklad kontouppdatering");
    QWidget* hint = uitest::shownWindow("Om detta är ett fondkonto...");
    ASSERT_NE(hint, nullptr);
    hint->findChild<QCheckBox*>("dontShowAgainBox")->setChecked(true);
    hint->findChild<QPushButton*>("closeButton")->click();
    const std::string kontoFil = readFile(root() / "KontoFil");
    EXPECT_EQ(kontoFil.substr(0, 35), field("Kassa\x06", 35));
    EXPECT_EQ(kontoFil.substr(35), kontoRec("Kassa", "1", "Ek").substr(35) + kontoRec("Budget", "2", "Bg") +
                                       kontoRec("Tredje", "3", "Ek"));
    EXPECT_TRUE(form.infoDismissed());
    EXPECT_EQ(control<QComboBox>(form, "accountPicker")->itemText(0).trimmed(), "Kassa");
    hover(saldo);
    EXPECT_EQ(saldo->toolTip(), "");
    EXPECT_FALSE(hint->isVisible());
}

TEST_F(ControlsTest, DonationWindowDisablesTheMainWindowWhileOpen) {
    app::HeadForm& form = open();
    control<QPushButton>(form, "donateButton")->click();
    EXPECT_FALSE(form.isEnabled());
    QWidget* donate = uitest::shownWindow("Donation");
    ASSERT_NE(donate, nullptr);
    donate->findChild<QPushButton*>("cancelButton")->click();
    EXPECT_TRUE(form.isEnabled());
}

TEST_F(ControlsTest, ASecondProgramOnTheSameDataIsRefusedAndAStaleLockTakenOver) {
    {
        const auto first = app::lockDataRoot(t.ctx.paths);
        ASSERT_NE(first, nullptr);
        EXPECT_EQ(app::lockDataRoot(t.ctx.paths), nullptr);
    }
    EXPECT_NE(app::lockDataRoot(t.ctx.paths), nullptr);

    // A program that crashed leaves its lock file behind.
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        QLockFile lock(QString::fromStdString(t.ctx.paths.lockFile().string()));
        ::_exit(lock.tryLock(0) ? 0 : 1);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    ASSERT_TRUE(std::filesystem::exists(t.ctx.paths.lockFile()));
    EXPECT_NE(app::lockDataRoot(t.ctx.paths), nullptr);
}

} // namespace
