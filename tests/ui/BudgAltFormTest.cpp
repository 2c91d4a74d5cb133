// The planning window over a budget account opened in the main window: the filter, excluding and
// re-admitting, the period and its red-day warnings, the fill from the template, the months typed
// by hand and the posting into KontoData, checked on B-mall, KontoData and the main window's grid.

#include "budget/ui/BudgAltForm.h"

#include "TestContext.h"
#include "UiHelpers.h"
#include "app/HeadForm.h"
#include "calendar/ui/HolidayForm.h"
#include "catalogue/ui/CatalogueHost.h"
#include "fixtures/AccountFiles.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableWidget>

#include <gtest/gtest.h>

using namespace fixtures;
using uitest::control;

namespace {

// Uttag: Saturday 16 January 2027, Sunday 7 February, Wednesday 10 March. Insättning excluded.
const std::string Mall = mallRec("3", "110", "01", "16") + mallRec("2", "90", "01", "05", true) +
                         mallRec("3", "220", "02", "07") + mallRec("3", "330", "03", "10");

struct BudgAltFormTest : ::testing::Test {
    uitest::TestContext t;
    std::unique_ptr<app::HeadForm> head;
    budget::BudgAltForm* form = nullptr;
    std::filesystem::path folder() const { return t.ctx.paths.dataRoot() / "Budget"; }

    void open(const std::string& posts = budgetPosts(3), const std::string& mall = Mall) {
        // Guiding texts: each section names itself.
        std::string info;
        for (int n = 1; n <= 20; ++n)
            info += std::to_string(n) + "\xA7\r\nText " + std::to_string(n) + "\r\n\xA7\r\n";
        writeFile(t.drive.path() / "share" / "BudgInfoFil.txt", info);
        t.ctx.programDataDir = t.drive.path() / "share";
        writeRegister(t.ctx.paths.dataRoot(), kontoRec("Budget", "1", "Bg") + kontoRec("Kassa", "2", "Ek"));
        writeAccount(t.ctx.paths.dataRoot(), "Budget", posts);
        writeAccount(t.ctx.paths.dataRoot(), "Kassa", cashPosts(2));
        writeFile(folder() / "B-mall", mall);
        head = std::make_unique<app::HeadForm>(t.ctx);
        head->Form_Load();
        head->findChild<QAction*>("bupl_mn")->trigger();
        form = qobject_cast<budget::BudgAltForm*>(head->budgAltForm());
        ASSERT_NE(form, nullptr);
    }
    template <typename T = QWidget> T* c(const char* name) { return control<T>(*form, name); }
    QString info() { return c<QPlainTextEdit>("infoText")->toPlainText(); }
    QStringList listed() {
        QStringList out;
        for (int i = 0; i < c<QListWidget>("transactionList")->count(); ++i)
            out << c<QListWidget>("transactionList")->item(i)->text();
        return out;
    }
    void choose(const QString& name) { form->chooseTransaction(listed().indexOf(name)); }
    QString day(int month) { return c<QLabel>(("dayLabel" + std::to_string(month)).c_str())->text(); }
    QLineEdit* box(int month) { return c<QLineEdit>(("amountBox" + std::to_string(month)).c_str()); }
    void setDay(int month, int d) {
        form->dayLabel_Click(month);
        form->chooseDay(d - 1);
    }
    // Every way out gives the main window back with the procedure ended.
    void closeAndCheck() {
        form->close();
        QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        EXPECT_TRUE(head->isEnabled());
        EXPECT_EQ(head->procedureCode(), "");
        EXPECT_EQ(head->budgAltForm(), nullptr);
    }
};

TEST_F(BudgAltFormTest, OpensFromTheMenuOfABudgetAccountOnlyAndGivesTheMainWindowBack) {
    open();
    EXPECT_EQ(form->windowTitle(), "Budgetering av konto: Budget");
    EXPECT_FALSE(head->isEnabled());
    EXPECT_EQ(head->procedureCode(), "budg");
    // Opened on 6 December: the whole of next year; an exclusion in the period lists the
    // budgetable transactions only.
    EXPECT_EQ(c<QLabel>("yearLabel")->text() + c<QLabel>("startMonthLabel")->text() +
                  c<QLabel>("endMonthLabel")->text() + c<QLabel>("endDayLabel")->text(),
              "2027011231");
    EXPECT_EQ(form->filter(), budget::Filter::BudgetableOnly);
    EXPECT_EQ(info(), "Text 4\n");
    c<QPushButton>("quitButton")->click();
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(head->isEnabled());
    EXPECT_EQ(head->procedureCode(), "");
    // The window's place went to its pair in PosFil.
    EXPECT_TRUE(std::isdigit(static_cast<unsigned char>(readFile(t.ctx.paths.posFil())[6 * 7])));

    control<QComboBox>(*head, "accountPicker")->setCurrentIndex(1);
    head->openChosenAccount();
    EXPECT_FALSE(head->findChild<QAction*>("bupl_mn")->isEnabled());
    head->bupl_mn_Click();
    EXPECT_EQ(head->budgAltForm(), nullptr) << "never for a cash book";
}

TEST_F(BudgAltFormTest, FiltersExcludesAndReadmitsThroughTheTemplateMark) {
    open();
    EXPECT_EQ(listed(), QStringList({"Kontostart", "Uttag"}));
    form->Option_Click(budget::Filter::ExcludedOnly);
    EXPECT_EQ(listed(), QStringList({"Insättning"}));
    choose("Insättning");
    EXPECT_EQ(c<QPushButton>("excludeButton")->text(), "Anslut transaktion");
    EXPECT_EQ(info(), "Text 20\n");
    t.dialogs.answerYes();
    form->excludeOrReadmit();
    EXPECT_EQ(t.dialogs.calls()[0].text,
              "Du försöker återställa den uteslutna transaktionen:\n\nInsättning!\n\nVill du fortsätta ?");
    EXPECT_EQ(t.dialogs.lastText(), "Transaktionen är återställd, kan hämtas och budgeteras !");
    EXPECT_EQ(readFile(folder() / "B-mall"),
              mallRec("3", "110", "01", "16") + mallRec("2", "90", "01", "05") +
                  mallRec("3", "220", "02", "07") + mallRec("3", "330", "03", "10"));
    EXPECT_EQ(form->filter(), budget::Filter::All);
    EXPECT_EQ(info(), "Text 3\n");

    // Not budgeted: the button excludes instead.
    t.dialogs.clear().answerNo().answerYes();
    choose("Uttag");
    EXPECT_EQ(c<QPushButton>("excludeButton")->text(), "Uteslut transaktion");
    form->excludeOrReadmit();
    EXPECT_EQ(t.dialogs.lastText(), "Transaktionen är utesluten !");
    EXPECT_EQ(readFile(folder() / "B-mall"),
              mallRec("3", "110", "01", "16", true) + mallRec("2", "90", "01", "05") +
                  mallRec("3", "220", "02", "07", true) + mallRec("3", "330", "03", "10", true));
    EXPECT_EQ(form->filter(), budget::Filter::BudgetableOnly);
    EXPECT_EQ(listed(), QStringList({"Kontostart", "Insättning"}));

    // A transaction without template records cannot be excluded; a failed save changes nothing.
    t.dialogs.answerNo().answerYes();
    choose("Kontostart");
    form->excludeOrReadmit();
    EXPECT_EQ(t.dialogs.lastText(), "Transaktionen förekommer inte i budgetmallen !");
    const std::string before = readFile(folder() / "B-mall");
    uitest::failSavesOf("B-mall");
    t.dialogs.answerNo().answerYes().answerNo();
    choose("Insättning");
    form->excludeOrReadmit();
    store::setCommitFaultHook({});
    EXPECT_EQ(readFile(folder() / "B-mall"), before);
    EXPECT_TRUE(t.ctx.error.headline.starts_with("Ett fel har uppstått i subrutinen Command3 (Uteslut"));
    EXPECT_FALSE(head->catalogueAccess().budgetMall()->dirty()) << "the image is the file again";

    // A new transaction from newTransactionBox: the window waits for the transactions window.
    form->reloadList();
    t.dialogs.answerYes();
    form->newTransaction();
    QWidget* trans = uitest::shownWindow("", "TransForm");
    ASSERT_NE(trans, nullptr);
    EXPECT_FALSE(form->isEnabled());
    control<QPushButton>(*trans, "cancelButton")->click();
    EXPECT_TRUE(form->isEnabled());
    closeAndCheck();
}

TEST_F(BudgAltFormTest, APeriodEndingInDecemberBeyondTheRedDaysIsWarnedAbout) {
    writeFile(t.ctx.paths.redDayFil(), redDayRec("Nyårsdagen", "2027-01-01"));
    open();
    const QString partly = "Inställd budgetperiod ligger helt eller delvis utanför möjlig täckning";
    const QString wholly = "Inställd budgetperiod ligger helt utanför möjlig täckning";
    const struct {
        int yearRow, endMonth;
        QString warning;
    } cases[] = {{0, 12, ""}, {1, 11, ""}, {1, 12, partly}, {2, 12, wholly}};
    for (const auto& k : cases) {
        t.dialogs.clear();
        form->yearLabel_Click(c<QLabel>("yearLabel"));
        form->chooseYear(k.yearRow);
        form->chooseEndMonth();
        form->chooseMonth(k.endMonth - 1);
        EXPECT_EQ(c<QLabel>("endYearLabel")->text(), QString::number(2026 + k.yearRow));
        if (k.warning.isEmpty()) {
            EXPECT_TRUE(t.dialogs.calls().empty()) << k.yearRow << " " << k.endMonth;
            continue;
        }
        ASSERT_EQ(t.dialogs.calls().size(), 1u);
        EXPECT_EQ(t.dialogs.calls()[0].title, "Undvik budg.dag på 'Röd dag' !");
        EXPECT_TRUE(t.dialogs.calls()[0].text.startsWith(k.warning));
    }
    // A start month after the end month is taken as the end month.
    form->chooseEndMonth();
    form->chooseMonth(2);
    form->chooseStartMonth();
    form->chooseMonth(5);
    EXPECT_EQ(c<QLabel>("startMonthLabel")->text() + c<QLabel>("endMonthLabel")->text() +
                  c<QLabel>("endDayLabel")->text(),
              "030331");
    // From the keyboard: Enter on a label opens its list, Enter in the list chooses.
    uitest::pressEnter(c<QLabel>("endMonthLabel"));
    ASSERT_TRUE(c<QListWidget>("monthList")->isVisibleTo(form));
    c<QListWidget>("monthList")->setCurrentRow(11);
    uitest::pressEnter(c<QListWidget>("monthList"));
    EXPECT_EQ(c<QLabel>("endMonthLabel")->text(), "12");
    closeAndCheck();
}

TEST_F(BudgAltFormTest, FillsThePeriodFromTheTemplateAndPostsEveryMonth) {
    open();
    t.dialogs.answerYes();
    choose("Uttag");
    EXPECT_TRUE(form->budgeting());
    EXPECT_EQ(c<QPushButton>("excludeButton")->text(), "Avbryt transaktion");
    // Saturday the 16th goes back to Friday, Sunday the 7th on to Monday.
    EXPECT_EQ(day(1) + day(2) + day(3) + day(4), "150810");
    EXPECT_EQ(box(1)->text() + "|" + box(2)->text() + "|" + box(3)->text(), "110|220|330");
    EXPECT_EQ(box(1)->palette().color(QPalette::Base), budget::BudgAltForm::Accepted);
    EXPECT_FALSE(box(4)->isEnabled());
    EXPECT_EQ(info(), "Text 8\n");

    // A failed save writes nothing and keeps every month for another try.
    uitest::failSavesOf("KontoData");
    t.dialogs.answerNo(); // no error report
    c<QPushButton>("budgetButton")->click();
    store::setCommitFaultHook({});
    EXPECT_EQ(readFile(folder() / "KontoData"), budgetPosts(3));
    EXPECT_TRUE(
        t.ctx.error.headline.starts_with("Ett fel har uppstått i subrutinen Command2 (Budgetera...)"));
    EXPECT_EQ(head->postCount(), 3);
    EXPECT_FALSE(head->catalogueAccess().kontoData().dirty()) << "the image is the file again";
    EXPECT_EQ(day(1), "15");

    c<QPushButton>("budgetButton")->click();
    const auto post = [](const char* date, long long a, long long b) {
        return budgetPost(date, 3, a, a, b, b - 5, false);
    };
    EXPECT_EQ(readFile(folder() / "KontoData"), budgetPosts(3) + post("2027-01-15", -110, -160) +
                                                    post("2027-02-08", -220, -380) +
                                                    post("2027-03-10", -330, -710));
    EXPECT_EQ(head->postCount(), 6);
    auto* budgetGrid = control<QTableWidget>(*head, "budgetGrid");
    bool shown = false;
    for (int r = 0; r < budgetGrid->rowCount(); ++r)
        if (budgetGrid->item(r, 0) && budgetGrid->item(r, 0)->text() == "2027-03-10")
            shown = budgetGrid->item(r, 3)->foreground().color() == QColor(0, 0, 255);
    EXPECT_TRUE(shown) << "the future post is in the grid, in blue";
    EXPECT_FALSE(form->budgeting());
    EXPECT_FALSE(c<QPushButton>("budgetButton")->isEnabled());
    EXPECT_EQ(day(1), "");
    closeAndCheck();
}

TEST_F(BudgAltFormTest, AMonthSetByHandTakesTheFirstAmountAndAMissingAmountIsAskedFor) {
    open(budgetPosts(3, false), ""); // no confirmed post: an empty template
    choose("Uttag");                 // without a template no question: the days are set by hand
    EXPECT_EQ(info(), "Text 9\n");
    t.dialogs.answerNo();
    setDay(2, 28);
    EXPECT_EQ(t.dialogs.lastText(), "Belopp saknas för månad Februari\nVill du också radera datumet ?");
    EXPECT_EQ(day(2), "28");
    box(2)->setText("1 234,60");
    form->amount_Enter(2);
    EXPECT_EQ(box(2)->text(), "1 235");
    setDay(5, 2);
    EXPECT_EQ(box(5)->text(), "1 235");
    // A day without an amount: Yes lets the day go and the later months are still taken.
    t.dialogs.answerYes();
    setDay(3, 1);
    box(3)->clear();
    c<QPushButton>("budgetButton")->click();
    EXPECT_EQ(day(3), "");
    EXPECT_EQ(readFile(folder() / "KontoData"),
              budgetPosts(3, false) + budgetPost("2027-02-28", 3, -1235, -1235, -1285, -1290, false) +
                  budgetPost("2027-05-02", 3, -1235, -1235, -2520, -2525, false));
    closeAndCheck();
}

TEST_F(BudgAltFormTest, ALimitReachedInTheThirdMonthLeavesTheFirstTwoWritten) {
    std::string mall;
    for (const char* m : {"01", "02", "03", "04", "05", "06"})
        mall += mallRec("2", "400", m, "11");
    open(budgetPost("2026-01-05", 2, 99999000, 99999000, 99999000, 99999000, true), mall);
    form->chooseEndMonth();
    form->chooseMonth(5);
    t.dialogs.answerYes();
    choose("Insättning");
    c<QPushButton>("budgetButton")->click();
    const auto post = [](const char* date, long long b) {
        return budgetPost(date, 2, 400, 400, b, b, false);
    };
    EXPECT_EQ(readFile(folder() / "KontoData"),
              budgetPost("2026-01-05", 2, 99999000, 99999000, 99999000, 99999000, true) +
                  post("2027-01-11", 99999400) + post("2027-02-11", 99999800));
    EXPECT_EQ(t.dialogs.calls().back().title, "Överskriden max-nivå");
    EXPECT_TRUE(
        t.dialogs.lastText().endsWith("\n\nMånaden Mars och de följande månaderna budgeterades inte."));
    EXPECT_EQ(head->postCount(), 3);
    // The written months leave the window; the refused ones stay to be changed.
    EXPECT_EQ(day(1) + day(2) + day(3), "11");
    closeAndCheck();
}

TEST_F(BudgAltFormTest, RedDaysRegisteredFromTheWindowMoveTheNextFill) {
    open();
    form->excludeDates();
    calendar::HolidayForm* holidays = form->holidayForm();
    ASSERT_NE(holidays, nullptr);
    EXPECT_FALSE(form->isEnabled());
    control<QLineEdit>(*holidays, "nameBox")->setText("Klämdag");
    holidays->nameEntered();
    holidays->YearPos_Click();
    holidays->YearLabel_Click();
    holidays->MonthLabel_Click();
    for (int d = 1; d < 15; ++d)
        holidays->DayPos_Click();
    holidays->DayLabel_Click();
    holidays->storeEntry();
    holidays->quit();
    EXPECT_TRUE(form->isEnabled());
    t.dialogs.answerYes();
    choose("Uttag");
    EXPECT_EQ(day(1), "14") << "Saturday the 16th, with Friday the 15th red";
    // Cancelling the transaction empties the rows and keeps the window.
    form->excludeOrReadmit();
    EXPECT_FALSE(form->budgeting());
    EXPECT_EQ(day(1), "");
    closeAndCheck();
}

} // namespace
