#include "calendar/ui/HolidayForm.h"

#include "TestContext.h"
#include "UiHelpers.h"
#include "calendar/RedDays.h"
#include "fixtures/AccountFiles.h"
#include "store/Errors.h"
#include "store/RecordFile.h"
#include "store/Records.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>

namespace {

using fixtures::redDayRec;

namespace fs = std::filesystem;
using uitest::control;

const QString Q = "\"";

// guidanceLabel shows the guidance with plain line feeds.
const QString Entries = "Skriv in en ny \"Röd dag\" i textfält nedan och tryck på Enter, eller klicka"
                        " på befintlig i listan för  borttagning / ev. ändring !";
const QString FirstEntry = "Skriv in namnet på en \"Röd dag\" i nedanstående textfält och tryck på Enter !";

class HolidayFormTest : public ::testing::Test {
protected:
    void TearDown() override { store::setCommitFaultHook({}); }

    // Opens the window on a red-day file of these records, with today's date as given.
    void open(const std::string& today, const std::string& file = {}) {
        tc.ctx.today = today;
        if (!file.empty())
            tc.drive.writeFile("MoniData/RedDayFil", file);
        opener.show();
        days = std::make_unique<calendar::RedDays>(tc.ctx.paths.redDayFil());
        form = std::make_unique<calendar::HolidayForm>(tc.ctx, &opener, *days);
        form->show();
    }
    std::string onDisk() const { return tc.drive.readFile("MoniData/RedDayFil"); }

    QLabel* label(const char* name) { return control<QLabel>(*form, name); }
    QPushButton* button(const char* name) { return control<QPushButton>(*form, name); }
    QLineEdit* nameBox() { return control<QLineEdit>(*form, "nameBox"); }
    QTableWidget* grid() { return control<QTableWidget>(*form, "redDayGrid"); }
    QString guidance() { return label("guidanceLabel")->text(); }
    QString picked() {
        return label("YearLabel")->text() + "-" + label("MonthLabel")->text() + "-" +
               label("DayLabel")->text();
    }
    void press(const char* name, int times = 1) {
        for (int i = 0; i < times; ++i)
            button(name)->click();
    }
    void enterName(const QString& name) {
        nameBox()->setText(name);
        uitest::pressEnter(nameBox());
    }
    void clickRow(int row) {
        uitest::click(grid()->viewport(), grid()->visualItemRect(grid()->item(row, 1)).center());
    }
    // The year, month and day taken in turn, with the given steps after each.
    void pick(int yearSteps, int monthSteps, int daySteps) {
        press(yearSteps >= 0 ? "YearPos" : "YearNeg", std::abs(yearSteps));
        uitest::click(label("YearLabel"));
        press(monthSteps >= 0 ? "MonthPos" : "MonthNeg", std::abs(monthSteps));
        uitest::click(label("MonthLabel"));
        press(daySteps >= 0 ? "DayPos" : "DayNeg", std::abs(daySteps));
        uitest::click(label("DayLabel"));
    }
    bool pickersShown() {
        for (const char* name : {"yearTitle", "YearLabel", "YearPos", "YearNeg", "monthTitle", "MonthLabel",
                                 "MonthPos", "MonthNeg", "dayTitle", "DayLabel", "DayPos", "DayNeg"})
            if (!form->findChild<QWidget*>(QString::fromLatin1(name))->isVisible())
                return false;
        return true;
    }
    bool all(bool enabled, std::initializer_list<const char*> names) {
        for (const char* name : names)
            if (form->findChild<QWidget*>(QString::fromLatin1(name))->isEnabled() != enabled)
                return false;
        return true;
    }
    bool enabled(std::initializer_list<const char*> names) { return all(true, names); }
    bool disabled(std::initializer_list<const char*> names) { return all(false, names); }

    uitest::TestContext tc;
    QWidget opener;
    std::unique_ptr<calendar::RedDays> days;
    std::unique_ptr<calendar::HolidayForm> form;
};

TEST_F(HolidayFormTest, OpensWithItsTextsAndClosedFieldsAndGivesTheOpenerBackOnClose) {
    open("2026-12-06");
    EXPECT_EQ(form->windowTitle(), "\"Röda dagar\"");
    EXPECT_EQ(
        uitest::textsOf(*form, {"nameTitle", "yearTitle", "monthTitle", "dayTitle", "listTitle", "okButton",
                                "cancelButton", "deleteButton", "quitButton", "guidanceLabel"}),
        (QStringList{"Ny / Mark. Röd dag", "Budg.år", "-mån.", "-dag", "Daterade helgdagar \"Röda dagar\"",
                     "OK", "Avbryt", "Ta bort", "Avsluta", FirstEntry}));
    EXPECT_EQ(grid()->columnCount(), 3);
    EXPECT_EQ(grid()->rowCount(), 5);
    EXPECT_FALSE(pickersShown());
    EXPECT_TRUE(
        disabled({"YearLabel", "YearPos", "MonthPos", "DayNeg", "okButton", "cancelButton", "deleteButton"}));
    EXPECT_FALSE(button("okButton")->isVisible());
    EXPECT_TRUE(tc.dialogs.calls().empty());
    EXPECT_FALSE(opener.isEnabled());
    EXPECT_TRUE(fs::exists(tc.ctx.paths.redDayFil()));
    EXPECT_EQ(onDisk(), "");

    // Pair 10 of PosFil holds the window's place from the first opening on; a moved window
    // stores its new place on Avsluta.
    const auto placed = store::RecordFile(tc.ctx.paths.posFil(), store::PosRec::Length)
                            .read<store::PosRec>(1)
                            .position(static_cast<int>(store::WindowPair::HolidayForm));
    ASSERT_TRUE(placed);
    form->move(form->pos() + QPoint(45, 30));
    bool closed = false;
    QObject::connect(form.get(), &calendar::HolidayForm::closed, [&] { closed = true; });
    press("quitButton");
    EXPECT_TRUE(closed);
    EXPECT_TRUE(!form->isVisible() && opener.isEnabled());
    EXPECT_NE(store::RecordFile(tc.ctx.paths.posFil(), store::PosRec::Length)
                  .read<store::PosRec>(1)
                  .position(static_cast<int>(store::WindowPair::HolidayForm)),
              placed);
}

TEST_F(HolidayFormTest, NewRedDayInTheAutumnStepsThroughNextYearsFirstHalf) {
    open("2026-12-06");
    enterName("   ");
    EXPECT_EQ(guidance(), "Textfältet saknar en benämning för 'Röd dag' !");
    EXPECT_FALSE(pickersShown());

    enterName("  Trettondedag jul ");
    EXPECT_TRUE(pickersShown());
    EXPECT_TRUE(enabled({"YearLabel", "YearPos", "YearNeg"}));
    EXPECT_TRUE(disabled(
        {"MonthLabel", "MonthPos", "DayLabel", "DayPos", "okButton", "cancelButton", "deleteButton"}));
    EXPECT_EQ(picked(), "2026----");
    EXPECT_EQ(guidance(), "'Röda dagar' kan även (om)registreras för de första sex månaderna nästa år !\n"
                          "Ställ in och klicka på¨avsett årtal för att gå vidare !");

    press("YearNeg");
    EXPECT_EQ(label("YearLabel")->text(), "2026");
    press("YearPos", 3);
    EXPECT_EQ(label("YearLabel")->text(), "2027");
    uitest::click(label("YearLabel"));
    EXPECT_EQ(picked(), "2027-01-");
    EXPECT_EQ(
        guidance(),
        "Ställ in månad för 'Röd dag' under första halvåret nästa år och klicka sedan på månadssiffran !");
    press("MonthNeg");
    press("MonthPos", 9);
    EXPECT_EQ(label("MonthLabel")->text(), "06");
    press("MonthNeg", 5);
    uitest::click(label("MonthLabel"));
    EXPECT_EQ(picked(), "2027-01-01");
    EXPECT_EQ(guidance(), "Ställ in dagsdatumet för 'Röd dag' och klicka sedan på dagssiffran !\n");
    EXPECT_TRUE(disabled({"okButton", "cancelButton"}));
    press("DayPos", 5);
    uitest::click(label("DayLabel"));
    EXPECT_TRUE(enabled({"okButton", "cancelButton"}));
    EXPECT_EQ(guidance(), "Klicka på 'OK' för att registrera inställningen, eller Klicka på 'Avbryt' om du "
                          "behöver göra om inställningen !");
    EXPECT_EQ(onDisk(), ""); // nothing is written before OK

    press("okButton");
    EXPECT_EQ(onDisk(), redDayRec("Trettondedag jul", "2027-01-06"));
    EXPECT_EQ(form->redDayCount(), 1);
    EXPECT_EQ(days->count(), 1);
    EXPECT_EQ(grid()->item(0, 0)->text(), "1");
    EXPECT_EQ(grid()->item(0, 1)->text(), "Trettondedag jul");
    EXPECT_EQ(grid()->item(0, 2)->text(), "2027-01-06");
    EXPECT_FALSE(pickersShown());
    EXPECT_EQ(nameBox()->text(), "");
    EXPECT_EQ(form->editedRecord(), 0);
    EXPECT_EQ(guidance(), Entries);

    // In the autumn the current year offers July to December only.
    enterName("Julafton");
    uitest::click(label("YearLabel"));
    EXPECT_EQ(
        guidance(),
        "Ställ in månad för 'Röd dag' under andra halvåret detta år och klicka sedan på månadssiffran !");
    EXPECT_EQ(label("MonthLabel")->text(), "07");
    press("MonthNeg");
    EXPECT_EQ(label("MonthLabel")->text(), "07");
    press("MonthPos", 8);
    uitest::click(label("MonthLabel"));
    press("DayPos", 40);
    EXPECT_EQ(label("DayLabel")->text(), "31");
    press("DayNeg", 7);
    uitest::click(label("DayLabel"));
    press("okButton");
    EXPECT_EQ(onDisk(), redDayRec("Julafton", "2026-12-24") + redDayRec("Trettondedag jul", "2027-01-06"));
}

TEST_F(HolidayFormTest, TheDateIsPickedFromTheKeyboardInsideItsBounds) {
    open("2026-12-06");
    form->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    // Keys on the focused control: digits, u/d Up/Down, U/D PageUp/PageDown, n Enter.
    const auto keys = [](const char* sequence) {
        for (const char* k = sequence; *k; ++k) {
            const std::string special = "udUDn";
            const Qt::Key codes[] = {Qt::Key_Up, Qt::Key_Down, Qt::Key_PageUp, Qt::Key_PageDown,
                                     Qt::Key_Return};
            const auto at = special.find(*k);
            QTest::keyClick(QApplication::focusWidget(),
                            at == std::string::npos ? Qt::Key(Qt::Key_0 + (*k - '0')) : codes[at]);
        }
        return QApplication::focusWidget()->objectName();
    };
    nameBox()->setFocus();
    enterName("Juldagen");
    // 2028 lies beyond the budget year and December beyond next year's first half; the 32nd is no day.
    EXPECT_EQ(keys("u2028d"), "YearLabel");
    EXPECT_EQ(picked(), "2026----");
    EXPECT_EQ(keys("n13"), "MonthLabel");
    EXPECT_EQ(picked(), "2026-07-");
    EXPECT_EQ(keys("12n"), "DayLabel");
    EXPECT_EQ(keys("3225"), "DayLabel");
    EXPECT_EQ(picked(), "2026-12-25");
    keys("D");
    EXPECT_EQ(picked(), "2026-11-25");
    keys("U");
    EXPECT_EQ(picked(), "2026-12-25");
    EXPECT_EQ(keys("n"), "okButton");
    keys("n");
    EXPECT_EQ(onDisk(), redDayRec("Juldagen", "2026-12-25"));
}

TEST_F(HolidayFormTest, InTheSpringOnlyThisYearAndAnEqualDateGoesFirst) {
    open("2026-03-15", redDayRec("Nationaldagen", "2026-06-06") + redDayRec("Julafton", "2026-12-24"));
    EXPECT_EQ(guidance(), Entries);
    EXPECT_EQ(grid()->item(1, 1)->text(), "Julafton");

    enterName("Svenska flaggans dag");
    EXPECT_EQ(guidance(), "Endast innevarande budgetår visas !\nKlicka på årtalet för att gå vidare !");
    press("YearPos");
    EXPECT_EQ(label("YearLabel")->text(), "2026");
    uitest::click(label("YearLabel"));
    EXPECT_EQ(guidance(), "Ställ in månad för 'Röd dag' under detta år, och klicka sedan på månadssiffran !");
    EXPECT_EQ(label("MonthLabel")->text(), "01");
    press("MonthPos", 20);
    EXPECT_EQ(label("MonthLabel")->text(), "12");
    press("MonthNeg", 6);
    uitest::click(label("MonthLabel"));
    press("DayPos", 5);
    uitest::click(label("DayLabel"));
    EXPECT_EQ(picked(), "2026-06-06");
    press("okButton");
    EXPECT_EQ(onDisk(), redDayRec("Svenska flaggans dag", "2026-06-06") +
                            redDayRec("Nationaldagen", "2026-06-06") + redDayRec("Julafton", "2026-12-24"));
    EXPECT_EQ(grid()->item(0, 1)->text(), "Svenska flaggans dag");
    EXPECT_EQ(grid()->item(2, 0)->text(), "3");
}

TEST_F(HolidayFormTest, FebruaryOffersItsLeapYearLength) {
    struct Case {
        const char* today;
        const char* last;
    };
    for (const Case c : {Case{"2029-09-01", "28"}, Case{"2035-08-20", "29"}}) {
        open(c.today);
        enterName("Fettisdagen");
        pick(1, 1, 40);
        EXPECT_EQ(label("DayLabel")->text(), c.last) << c.today;
    }
}

TEST_F(HolidayFormTest, OutdatedRedDaysAreNamedEveryTimeTheWindowOpens) {
    const std::string file = redDayRec("Annandag jul", "2025-12-26") +
                             redDayRec("Ny\xe5rsafton", "2025-12-31") + redDayRec("Julafton", "2026-12-24");
    for (int opening = 0; opening < 2; ++opening) {
        tc.dialogs.clear();
        open("2026-12-06", file);
        ASSERT_EQ(tc.dialogs.calls().size(), 1u);
        const auto& warning = tc.dialogs.calls()[0];
        EXPECT_EQ(warning.title, "Utdaterade 'röda dagar'");
        EXPECT_EQ(warning.icon, support::Dialogs::Icon::Exclamation);
        EXPECT_EQ(warning.text,
                  "Följande reg. 'Röd(a) dag(ar)' är utdaterad(e) och kan behöva datumjusteras:\r\n"
                  "Annandag jul  2025-12-26\r\nNyårsafton  2025-12-31\r\n");
        EXPECT_EQ(guidance(), Entries);
        EXPECT_EQ(grid()->item(1, 1)->text(), "Nyårsafton");
    }
}

TEST_F(HolidayFormTest, ChangingARecordInPlaceOrByDateNeverStoresAnImpossibleDay) {
    open("2026-12-06", redDayRec("Julafton", "2026-12-24") + redDayRec("Ny\xe5rsdagen", "2027-01-31"));

    clickRow(0);
    EXPECT_EQ(form->editedRecord(), 1);
    EXPECT_EQ(nameBox()->text(), "Julafton");
    EXPECT_EQ(picked(), "2026-12-24");
    EXPECT_TRUE(pickersShown());
    EXPECT_TRUE(enabled({"YearPos", "MonthLabel", "DayNeg", "okButton", "cancelButton", "deleteButton"}));
    EXPECT_EQ(guidance(), "Justera text och / eller datum + OK, alternativt Avbryt, eller Ta bort !");
    EXPECT_TRUE(tc.dialogs.calls().empty());

    // The same date: only the name changes, in the same record.
    nameBox()->setText("Julafton (halvdag)");
    press("okButton");
    EXPECT_EQ(onDisk(),
              redDayRec("Julafton (halvdag)", "2026-12-24") + redDayRec("Ny\xe5rsdagen", "2027-01-31"));
    EXPECT_EQ(form->editedRecord(), 0);
    EXPECT_FALSE(pickersShown());

    // A month with fewer days pulls the day in: 31 January becomes 28 February, never 31.
    clickRow(1);
    press("MonthPos");
    EXPECT_EQ(picked(), "2027-02-28");
    press("okButton");
    EXPECT_EQ(onDisk(),
              redDayRec("Julafton (halvdag)", "2026-12-24") + redDayRec("Ny\xe5rsdagen", "2027-02-28"));

    // Next year keeps its months within January to June; the record moves to its new place.
    clickRow(0);
    press("YearPos");
    EXPECT_EQ(picked(), "2027-06-24");
    press("MonthNeg", 2);
    press("okButton");
    EXPECT_EQ(onDisk(),
              redDayRec("Ny\xe5rsdagen", "2027-02-28") + redDayRec("Julafton (halvdag)", "2027-04-24"));
    EXPECT_EQ(form->redDayCount(), 2);
    EXPECT_EQ(grid()->item(1, 2)->text(), "2027-04-24");
}

TEST_F(HolidayFormTest, APassedRecordCannotMoveToNextYear) {
    open("2026-12-06", redDayRec("Nationaldagen", "2026-06-06"));
    clickRow(0);
    ASSERT_EQ(tc.dialogs.calls().size(), 1u);
    EXPECT_TRUE(uitest::showed(tc.dialogs, 0, "Ej passerat datum",
                               "Ej möjligt ändra datum till nästa år på hämtad post !"));
    EXPECT_EQ(tc.dialogs.calls()[0].icon, support::Dialogs::Icon::Exclamation);
    press("YearPos");
    EXPECT_EQ(picked(), "2026-06-06");

    press("cancelButton");
    EXPECT_FALSE(pickersShown());
    EXPECT_EQ(nameBox()->text(), "");
    EXPECT_EQ(form->editedRecord(), 0);
    EXPECT_TRUE(grid()->selectedItems().isEmpty());
    EXPECT_EQ(onDisk(), redDayRec("Nationaldagen", "2026-06-06"));

    // The title bar's close button gives the opener back as Avsluta does.
    form->close();
    EXPECT_TRUE(opener.isEnabled());
}

TEST_F(HolidayFormTest, DeletingAsksFirstAndTheLastDeletionLeavesAFreeRecord) {
    open("2026-12-06", redDayRec("Annandag jul", "2025-12-26") + redDayRec("Julafton", "2026-12-24"));
    tc.dialogs.clear();

    clickRow(1);
    tc.dialogs.answerNo();
    press("deleteButton");
    EXPECT_TRUE(uitest::showed(tc.dialogs, -1, "Radera filposten ?",
                               "Vill du verkligen radera 'Röd dag': Julafton med datumet: 2026-12-24 ?"));
    EXPECT_EQ(form->redDayCount(), 2);

    // The outdated one left is named again after the deletion.
    tc.dialogs.clear().answerYes();
    press("deleteButton");
    ASSERT_EQ(tc.dialogs.calls().size(), 2u);
    EXPECT_EQ(tc.dialogs.calls()[1].title, "Utdaterade 'röda dagar'");
    EXPECT_EQ(onDisk(), redDayRec("Annandag jul", "2025-12-26") + redDayRec("*", "2026-12-24"));
    EXPECT_EQ(form->redDayCount(), 1);
    EXPECT_EQ(guidance(), Entries);
    EXPECT_EQ(grid()->item(1, 1), nullptr);

    clickRow(0);
    tc.dialogs.clear().answerYes();
    press("deleteButton");
    EXPECT_EQ(tc.dialogs.calls()[0].title, "Radera enda filposten ?");
    EXPECT_EQ(onDisk(), redDayRec("*", "2025-12-26") + redDayRec("*", "2026-12-24"));
    EXPECT_EQ(form->redDayCount(), 0);
    EXPECT_EQ(form->editedRecord(), 0);
    EXPECT_EQ(nameBox()->text(), "");
    EXPECT_FALSE(pickersShown());
    EXPECT_EQ(guidance(),
              "Sista registreringen av 'Röd dag' har raderats !\nSkriv in namnet på en ny \"Röd dag\" i "
              "nedanstående textfält  och tryck på Enter, eller Avsluta !");
    EXPECT_EQ(calendar::RedDays(tc.ctx.paths.redDayFil()).count(), 0);
}

TEST_F(HolidayFormTest, NamesTheFileCannotHoldAreRefused) {
    open("2026-12-06");
    enterName("Fest \U0001F389");
    EXPECT_FALSE(pickersShown());
    EXPECT_EQ(guidance(), "Namnet på 'Röd dag' innehåller tecken som inte kan sparas !\n"
                          "Använd bokstäver, siffror och vanliga skiljetecken.");
    // "*" alone marks a free record: a red day by that name would drop out of the list.
    enterName(" * ");
    EXPECT_FALSE(pickersShown());
    EXPECT_EQ(guidance(), "Namnet '*' kan inte användas för en 'Röd dag' !\nVälj ett annat namn.");

    // Typed in over an accepted name before OK: still refused, nothing written.
    enterName("Midsommarafton");
    pick(1, 5, 25);
    nameBox()->setText("Midsommar \u03A9");
    press("okButton");
    EXPECT_TRUE(guidance().startsWith("Namnet på 'Röd dag' innehåller tecken som inte kan sparas !"));
    EXPECT_EQ(onDisk(), "");
    EXPECT_TRUE(button("okButton")->isEnabled());

    // 25 characters fit; the box takes no more.
    EXPECT_EQ(nameBox()->maxLength(), 25);
}

TEST_F(HolidayFormTest, AFailedSaveIsReportedAndLeavesTheFileAndCountAsTheyWere) {
    open("2026-12-06", redDayRec("Julafton", "2026-12-24"));
    uitest::failSavesOf("RedDayFil");
    enterName("Juldagen");
    pick(0, 5, 24);
    tc.dialogs.answerNo(); // the error report offer
    press("okButton");
    store::setCommitFaultHook({});

    EXPECT_EQ(tc.ctx.error.errorText, "Input/output error");
    EXPECT_EQ(tc.ctx.error.headline.rfind("Ett fel har uppstått i subrutinen Command1_MouseDown", 0), 0u);
    EXPECT_EQ(onDisk(), redDayRec("Julafton", "2026-12-24"));
    EXPECT_EQ(days->file().image(), redDayRec("Julafton", "2026-12-24"));
    EXPECT_EQ(form->redDayCount(), 1);
    EXPECT_EQ(grid()->item(1, 1), nullptr);
}

} // namespace
