// The statistics and report window opened from the main window: any account of the register, the
// period pickers, the modes of the cancel button, the screen report and its scrolling, the text
// file, the statistics, and the main window given back on every way out.

#include "stats/ui/UtskrStatForm.h"
#include "ChildProcess.h"
#include "TestContext.h"
#include "UiHelpers.h"
#include "app/HeadForm.h"
#include "fixtures/AccountFiles.h"
#include "overview/Sheets.h"
#include "stats/TextReport.h"
#include "stats/ui/DiagramWidget.h"
#include "store/Records.h"
#include "support/ui/Twips.h"

#include <QAccessible>
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QTableWidget>
#include <QWheelEvent>

#include <gtest/gtest.h>

#include <csignal>
#include <tuple>

#include <sys/resource.h>

using namespace fixtures;
using uitest::control;
using Part = stats::UtskrStatForm::DatePart;

namespace {

struct UtskrStatTest : ::testing::Test {
    uitest::TestContext t;
    std::unique_ptr<app::HeadForm> head;
    stats::UtskrStatForm* form = nullptr;

    // Kassa (cash book, 40 posts, open in the main window), Budget (12 posts), Trasig (no folder).
    void SetUp() override {
        const auto root = t.ctx.paths.dataRoot();
        writeRegister(root, kontoRec("Kassa", "1", "Ek") + kontoRec("Budget", "2", "Bg") +
                                kontoRec("Trasig", "3", "Ek"));
        writeAccount(root, "Kassa", cashPosts(40));
        writeFile(root / "Kassa" / "Transakt", standardTransakt() + transRec("Tom", '-'));
        writeAccount(root, "Budget", budgetPosts(12));
        head = std::make_unique<app::HeadForm>(t.ctx);
        head->Form_Load();
    }
    void TearDown() override {
        if (form)
            form->close();
    }
    void open() {
        QAction* entry = head->findChild<QAction*>("utskrstat_mn");
        ASSERT_TRUE(entry->isEnabled());
        entry->trigger();
        form = head->findChild<stats::UtskrStatForm*>();
        ASSERT_NE(form, nullptr);
        ASSERT_TRUE(form->isVisible());
    }
    template <typename T> T* c(const char* name) { return control<T>(*form, name); }
    QString label(const char* name) { return c<QLabel>(name)->text(); }
    QString caption() { return c<QPushButton>("cancelButton")->text(); }
    void chooseAccount(const QString& name) {
        auto* combo = c<QComboBox>("accountPicker");
        const int i = combo->findText(name);
        combo->setCurrentIndex(i);
        form->chooseAccount(i);
    }
    void pick(Part part, const QString& value) {
        form->openDatePicker(part);
        const int i = static_cast<int>(part) % 3;
        auto* picker = c<QListWidget>(i == 0 ? "yearPicker" : i == 1 ? "monthPicker" : "dayPicker");
        EXPECT_TRUE(picker->isVisible());
        const auto found = picker->findItems(value, Qt::MatchExactly);
        ASSERT_EQ(found.size(), 1) << value.toStdString();
        form->takePickedDate(picker, picker->row(found[0]));
    }
    void output(const char* option) {
        c<QRadioButton>(option)->click();
        c<QPushButton>("printButton")->click();
    }
    void statistics(const QString& transaction) {
        form->enterStatistics();
        auto* list = c<QListWidget>("transactionList");
        form->chooseStatisticsTransaction(list->row(list->findItems(transaction, Qt::MatchExactly).value(0)));
    }
    QString cell(int row, int column) {
        QTableWidgetItem* item = c<QTableWidget>("reportGrid")->item(row, column);
        return item ? item->text() : QString();
    }
    std::filesystem::path out() const { return t.drive.path() / "rapport.txt"; }
    // The plain message of a report that could not be saved at path.
    static QString notSaved(const QString& path, const char* reason) {
        return "Utskriften kunde inte sparas som\n" + path + "\n\n" + QString::fromUtf8(reason) +
               "\n\nVälj en annan plats och försök igen.";
    }
    stats::AccountFiles files(const std::string& name, ledger::Kind kind) {
        return stats::openAccountFiles(t.ctx.paths, name, kind);
    }
};

TEST_F(UtskrStatTest, TheMainWindowIsDisabledWhileItIsOpenAndTheWindowOnlyWritesItsPlace) {
    open();
    EXPECT_TRUE(!head->isEnabled() && form->isEnabled());
    EXPECT_EQ(form->windowTitle(), "Utskrift KontoData och Statistik");
    const store::PosRec pos(readFile(t.ctx.paths.posFil()));
    EXPECT_TRUE(pos.position(static_cast<int>(store::WindowPair::UtskrStatForm)).has_value());
    c<QCheckBox>("subTransactionBox")->click();
    output("screenOption");
    c<QPushButton>("closeButton")->click();
    form = nullptr;
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(head->isEnabled());
    EXPECT_EQ(head->findChild<stats::UtskrStatForm*>(), nullptr);
    EXPECT_EQ(readFile(t.ctx.paths.dataRoot() / "Kassa" / "KontoData"), cashPosts(40));
}

// Every control the keyboard reaches is named for a screen reader.
TEST_F(UtskrStatTest, EveryControlTheKeyboardReachesHasAName) {
    open();
    QStringList unnamed;
    for (QWidget* w : form->findChildren<QWidget*>()) {
        if (!(w->focusPolicy() & Qt::TabFocus) || w->objectName().isEmpty())
            continue;
        QAccessibleInterface* a = QAccessible::queryAccessibleInterface(w);
        if (!a || a->text(QAccessible::Name).trimmed().isEmpty())
            unnamed << w->objectName();
    }
    EXPECT_EQ(unnamed.join(' '), "");
}

TEST_F(UtskrStatTest, AnyAccountOfTheRegisterCanBeChosenAndOneWithoutFilesKeepsThePrevious) {
    open();
    auto* combo = c<QComboBox>("accountPicker");
    ASSERT_EQ(combo->count(), 3);
    EXPECT_EQ(combo->currentText(), "Kassa");
    EXPECT_EQ(c<QLineEdit>("accountBox")->text(), "Kassa");
    EXPECT_EQ(label("startYearLabel") + label("startMonthLabel") + label("startDayLabel"), "20260101");
    EXPECT_EQ(label("endYearLabel") + label("endMonthLabel") + label("endDayLabel"), "20260212");
    EXPECT_EQ(label("coverageLabel"), "Hela Kontofilen !");
    EXPECT_FALSE(c<QCheckBox>("budgetBox")->isEnabled());

    chooseAccount("Budget");
    EXPECT_EQ(c<QLineEdit>("accountBox")->text(), "Budget");
    EXPECT_EQ(c<QLineEdit>("accountBox")->toolTip(), "Budgetbokföring");
    EXPECT_EQ(label("endYearLabel") + label("endMonthLabel") + label("endDayLabel"), "20260112");
    EXPECT_EQ(uitest::enabledOf(*form, {"budgetBox", "differenceBox"}), "10");
    c<QCheckBox>("budgetBox")->click();
    EXPECT_EQ(uitest::enabledOf(*form, {"budgetBox", "differenceBox"}), "11");
    c<QCheckBox>("budgetBox")->click();
    EXPECT_EQ(uitest::enabledOf(*form, {"budgetBox", "differenceBox"}), "10");

    t.dialogs.answerNo(); // no error report
    chooseAccount("Trasig");
    ASSERT_FALSE(t.dialogs.calls().empty());
    EXPECT_TRUE(t.dialogs.calls()[0].text.startsWith(
        "Ett fel har uppstått i subrutinen Combo1_Click i UtskriftsForm\r\n vid försök att välja konto"));
    EXPECT_EQ(combo->currentText(), "Budget");
    EXPECT_EQ(c<QLineEdit>("accountBox")->text(), "Budget");
    output("screenOption"); // still usable
    EXPECT_EQ(cell(0, 0).toStdString(), nthDate(1));
    EXPECT_EQ(cell(11, 0).toStdString(), nthDate(12));
}

TEST_F(UtskrStatTest, PickersSetThePeriodAndARefusedPeriodBringsBackTheLastAccepted) {
    open();
    form->openDatePicker(Part::StartYear);
    QStringList years;
    for (int i = 0; i < c<QListWidget>("yearPicker")->count(); ++i)
        years << c<QListWidget>("yearPicker")->item(i)->text();
    EXPECT_EQ(years, QStringList({"2026", "2027"}));
    pick(Part::StartMonth, "02");
    form->openDatePicker(Part::StartDay);
    EXPECT_EQ(c<QListWidget>("dayPicker")->count(), 28); // February 2026
    pick(Part::StartDay, "03");
    EXPECT_EQ(label("coverageLabel"), "Del av Kontofilen !");
    EXPECT_EQ(form->period()->range(), (stats::PostRange{31, 40}));

    pick(Part::StartYear, "2027");
    ASSERT_EQ(t.dialogs.calls().size(), 1u);
    EXPECT_TRUE(uitest::showed(t.dialogs, 0, "Felaktig datumsättning för tidsperiod",
                               "Startdatum får inte vara > Slutdatum !\n\n Datumändringen återtas !"));
    EXPECT_EQ(label("startYearLabel") + label("startMonthLabel") + label("startDayLabel"), "20260203");
    EXPECT_EQ(form->period()->range(), (stats::PostRange{31, 40}));

    pick(Part::StartMonth, "01");
    // From the keyboard: Enter on the day label opens its picker at the day shown, Enter chooses.
    uitest::pressEnter(c<QLabel>("startDayLabel"));
    auto* days = c<QListWidget>("dayPicker");
    ASSERT_TRUE(days->isVisible());
    EXPECT_EQ(days->currentItem()->text(), "03");
    uitest::pressKey(days, Qt::Key_Up);
    uitest::pressKey(days, Qt::Key_Up);
    uitest::pressEnter(days);
    EXPECT_FALSE(days->isVisible());
    EXPECT_EQ(label("coverageLabel"), "Hela Kontofilen !");
}

TEST_F(UtskrStatTest, EachModeHasItsCancelCaptionAndTheCancelGoesBackToTheAccount) {
    open();
    struct Case {
        const char* enter;
        const char* mode;
        const char* caption;
    };
    for (const Case& k : {Case{"screenOption", "sku", "Avbryt Skärmutskr."},
                          Case{"textFileOption", "fusk", "Avbryt Filutskr."},
                          Case{"printerOption", "prusk", "Avbryt Printerutskr."},
                          Case{"statisticsBox", "stk", "Avbryt Statistik"}}) {
        if (std::string(k.enter) == "statisticsBox")
            form->enterStatistics();
        else
            c<QRadioButton>(k.enter)->click();
        EXPECT_EQ(form->mode(), k.mode);
        EXPECT_EQ(caption(), k.caption);
        c<QPushButton>("cancelButton")->click();
        EXPECT_EQ(form->mode(), "kto") << k.enter;
        EXPECT_EQ(caption(), "Avbryt Konto") << k.enter;
        EXPECT_EQ(uitest::enabledOf(*form, {"statisticsBox", "printButton"}), "10") << k.enter;
    }
    // Cancelling the account empties the choice; another account can be chosen then.
    c<QPushButton>("cancelButton")->click();
    c<QPushButton>("cancelButton")->click();
    EXPECT_EQ(form->mode(), "");
    EXPECT_EQ(caption(), "Avbryt");
    EXPECT_EQ(uitest::enabledOf(*form, {"cancelButton", "screenOption"}), "00");
    EXPECT_EQ(label("startYearLabel"), "");
    chooseAccount("Kassa");
    EXPECT_EQ(form->mode(), "kto");
    EXPECT_TRUE(c<QRadioButton>("screenOption")->isEnabled());
}

TEST_F(UtskrStatTest, TheScreenReportScrollsToTheEndOfFortyPostsAndBack) {
    open();
    form->move(0, 300); // low on the screen: the grown window is pulled up onto it
    c<QCheckBox>("subTransactionBox")->click();
    output("screenOption");
    EXPECT_TRUE(form->expanded());
    EXPECT_LE(form->y() + form->height(), form->screen()->availableGeometry().bottom() + 1);
    EXPECT_EQ(form->shownKind(), stats::ReportKind::Pr_2);
    EXPECT_EQ(uitest::visibleOf(*form, {"subTransactionHeading", "budgetAmountHeading"}), "10");
    EXPECT_EQ(label("amountHeading"), "Belopp");
    EXPECT_EQ(cell(1, 1), "Insättning");
    EXPECT_EQ(cell(1, 3), "200,00");
    EXPECT_EQ(cell(2, 3), "-90,00");
    const auto buttons = [&] {
        return uitest::enabledOf(
            *form, {"stepBackButton", "pageBackButton", "stepForwardButton", "pageForwardButton"});
    };
    struct Step {
        const char* button;
        int first;
        const char* enabled;
    };
    EXPECT_EQ(buttons(), "0011");
    for (const Step& s : {Step{"pageForwardButton", 16, "1111"}, Step{"pageForwardButton", 26, "1100"},
                          Step{"pageBackButton", 11, "1111"}, Step{"pageBackButton", 1, "0011"},
                          Step{"stepForwardButton", 2, "1111"}, Step{"stepBackButton", 1, "0011"}}) {
        c<QPushButton>(s.button)->click();
        EXPECT_EQ(form->shownFrom(), s.first) << s.button;
        EXPECT_EQ(cell(0, 0).toStdString(), nthDate(s.first)) << s.button;
        EXPECT_EQ(buttons(), s.enabled) << s.button << " " << s.first;
    }
    c<QPushButton>("pageForwardButton")->click();
    c<QPushButton>("pageForwardButton")->click();
    EXPECT_EQ(cell(14, 0).toStdString(), nthDate(40));
    pick(Part::StartDay, "05"); // the report shown follows the new period at once: posts 5 ... 40
    EXPECT_EQ(label("coverageLabel"), "Del av Kontofilen !");
    EXPECT_EQ(form->shownFrom(), 5);
    EXPECT_EQ(cell(0, 0).toStdString(), nthDate(5));
    EXPECT_EQ(buttons(), "0011");

    // The wheel and the keys move the report as the buttons do, never past what they offer.
    auto* grid = c<QTableWidget>("reportGrid");
    const auto wheel = [&](int notches) {
        QWheelEvent e(QPointF(5, 5), grid->mapToGlobal(QPointF(5, 5)), QPoint(), QPoint(0, 120 * notches),
                      Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(grid->viewport(), &e);
    };
    const std::pair<std::function<void()>, int> moves[] = {
        {[&] { wheel(-1); }, 6},
        {[&] { uitest::pressKey(grid, Qt::Key_PageDown); }, 21},
        {[&] { uitest::pressKey(grid, Qt::Key_PageDown); }, 26},
        {[&] { uitest::pressKey(grid, Qt::Key_Down); }, 26},
        {[&] { uitest::pressKey(grid, Qt::Key_Up); }, 25},
        {[&] { wheel(2); }, 23},
        {[&] { uitest::pressKey(grid, Qt::Key_PageUp); }, 8},
        {[&] { uitest::pressKey(grid, Qt::Key_PageUp); }, 5},
        {[&] { uitest::pressKey(grid, Qt::Key_Up); }, 5},
    };
    for (const auto& [move, first] : moves) {
        move();
        EXPECT_EQ(form->shownFrom(), first);
        EXPECT_EQ(cell(0, 0).toStdString(), nthDate(first));
    }

    c<QPushButton>("cancelButton")->click(); // Avbryt Skärmutskr.
    EXPECT_FALSE(form->expanded());
    EXPECT_FALSE(c<QWidget>("reportFrame")->isVisible());
    EXPECT_FALSE(c<QCheckBox>("subTransactionBox")->isChecked());
}

TEST_F(UtskrStatTest, TheBoxesChooseTheBudgetReportsWithTheirHeadingsOnScreenAndInTheFile) {
    open();
    chooseAccount("Budget");
    struct Case {
        bool sub, budget, diff;
        stats::ReportKind kind;
        const char* headings; // the heading labels shown
        int column;           // of the second post's cell checked
        const char* text;
    };
    using K = stats::ReportKind;
    for (const Case& k :
         {Case{false, false, false, K::Pr_1, "date main amount balance", 2, "-22,00"},
          Case{true, false, false, K::Pr_2, "date main sub amount balance", 4, "-22,00"},
          Case{false, true, false, K::Pr_3, "date main budget actual budgetBalance actualBalance", 2,
               "-20,00"},
          Case{false, true, true, K::Pr_4, "date main budget actual budgetBalance actualBalance difference",
               6, "-2,00"},
          Case{true, true, true, K::Pr_5,
               "date main sub budget actual budgetBalance actualBalance difference", 7, "-2,00"},
          Case{true, true, false, K::Pr_6, "date main sub budget actual budgetBalance actualBalance", 3,
               "-20,00"}}) {
        const std::string name(stats::kindCode(k.kind));
        for (const auto& [box, want] :
             {std::pair{"subTransactionBox", k.sub}, {"budgetBox", k.budget}, {"differenceBox", k.diff}})
            if (c<QCheckBox>(box)->isChecked() != want)
                c<QCheckBox>(box)->click();
        output("screenOption");
        EXPECT_EQ(form->shownKind(), k.kind) << name;
        QStringList shown;
        // Each heading label by its object name and a short tag.
        for (const auto& [name, tag] : {std::pair{"dateHeading", "date"},
                                        {"mainTransactionHeading", "main"},
                                        {"subTransactionHeading", "sub"},
                                        {"budgetAmountHeading", "budget"},
                                        {"actualAmountHeading", "actual"},
                                        {"budgetBalanceHeading", "budgetBalance"},
                                        {"actualBalanceHeading", "actualBalance"},
                                        {"balanceDifferenceHeading", "difference"},
                                        {"amountHeading", "amount"},
                                        {"balanceHeading", "balance"}})
            if (auto* l = form->findChild<QLabel*>(name); l && l->isVisible())
                shown << tag;
        EXPECT_EQ(shown.join(' '), k.headings) << name;
        EXPECT_EQ(cell(1, k.column), k.text) << name;
        if (k.kind == K::Pr_5) {
            c<QPushButton>("cancelButton")->click();
            for (const char* box : {"subTransactionBox", "budgetBox", "differenceBox"})
                c<QCheckBox>(box)->click();
            t.dialogs.answerSave(QString::fromStdString(out().string()));
            output("textFileOption");
            EXPECT_EQ(readFile(out()), stats::accountReportFile(files("Budget", ledger::Kind::Budget), k.kind,
                                                                {1, 12}, "Budget", "2026-12-06"));
            EXPECT_FALSE(c<QCheckBox>("subTransactionBox")->isChecked()); // the file unticks the boxes
            continue;
        }
        c<QPushButton>("cancelButton")->click(); // every box unticked again
    }
}

TEST_F(UtskrStatTest, TheTextFileIsWrittenWhereTheSaveDialogSaysAndNothingWhenCancelled) {
    open();
    t.dialogs.answerSave("");
    output("textFileOption");
    EXPECT_FALSE(std::filesystem::exists(out()));
    EXPECT_EQ(form->mode(), "kto");
    ASSERT_EQ(t.dialogs.calls().size(), 1u);
    EXPECT_EQ(t.dialogs.calls()[0].text.toStdString(), (t.drive.path() / "Kassa.txt").string());
    EXPECT_EQ(t.dialogs.calls()[0].filter, "Textfiler (*.txt)");

    t.dialogs.clear().answerSave(QString::fromStdString(out().string()));
    output("textFileOption");
    const std::string bytes = readFile(out());
    EXPECT_EQ(bytes, stats::accountReportFile(files("Kassa", ledger::Kind::Cash), stats::ReportKind::Pr_1,
                                              {1, 40}, "Kassa", "2026-12-06"));
    EXPECT_EQ(bytes.substr(0, 50), "Utskrift av Kassa 2026-12-06              Sida 1\r\n");
    ASSERT_EQ(t.dialogs.calls().size(), 2u);
    EXPECT_EQ(t.dialogs.calls()[1].title, "Konto- eller statistikutskrift ");
    EXPECT_TRUE(t.dialogs.calls()[1].text.startsWith(QString::fromStdString(
        "Utskriften finns nu tillgänglig på anvisad sökväg: " + out().string() + " !")));
    EXPECT_EQ(form->mode(), "kto");
    EXPECT_FALSE(c<QRadioButton>("textFileOption")->isChecked());

    // A period without posts: the heading of page 1 and no post line; the screen shows no row.
    pick(Part::EndMonth, "01");
    pick(Part::EndDay, "31");
    pick(Part::StartDay, "29"); // 2026-01-29 .. 31: no post
    t.dialogs.clear().answerSave(QString::fromStdString(out().string()));
    output("textFileOption");
    const std::string empty = readFile(out());
    EXPECT_EQ(std::count(empty.begin(), empty.end(), '\n'), 3);
    EXPECT_EQ(empty.substr(0, 50), "Utskrift av Kassa 2026-12-06              Sida 1\r\n");
    output("screenOption");
    EXPECT_TRUE(c<QWidget>("reportFrame")->isVisible());
    EXPECT_EQ(cell(0, 0), "");
    EXPECT_EQ(readFile(t.ctx.paths.dataRoot() / "Kassa" / "KontoData"), cashPosts(40));
}

// A place the report cannot go is told in plain words naming it, never as a fault of the program.
TEST_F(UtskrStatTest, AReportFileThatCannotBeSavedIsToldPlainlyWithItsPath) {
    open();
    const QString missing = QString::fromStdString((t.drive.path() / "nosuchdir" / "hushall.txt").string());
    t.dialogs.answerSave(missing);
    output("textFileOption");
    ASSERT_EQ(t.dialogs.calls().size(), 2u);
    EXPECT_TRUE(
        uitest::showed(t.dialogs, 1, "Filen kunde inte sparas", notSaved(missing, "Mappen finns inte.")));
    EXPECT_EQ(t.dialogs.calls()[1].icon, support::Dialogs::Icon::Exclamation);
    statistics("Uttag");
    t.dialogs.clear().answerSave(missing);
    output("textFileOption");
    EXPECT_TRUE(
        uitest::showed(t.dialogs, -1, "Filen kunde inte sparas", notSaved(missing, "Mappen finns inte.")));
    EXPECT_TRUE(form->statisticsMode());
    EXPECT_FALSE(std::filesystem::exists(t.drive.path() / "nosuchdir"));
}

// Each report as XLSX or either CSV form, by the filter chosen or the ending typed; afterwards the
// window is ready for the next report as after a text file.
TEST_F(UtskrStatTest, ReportsAndStatisticsAreSavedAsSpreadsheetsInTheChosenForm) {
    open();
    auto* button = c<QPushButton>("spreadsheetButton");
    const QString sheetFilters =
        "Excel-arbetsbok (*.xlsx);;CSV för kalkylprogram (*.csv);;CSV standard (*.csv)";
    const std::string drive = t.drive.path().string() + "/";
    const stats::AccountFiles kassa = files("Kassa", ledger::Kind::Cash);
    const stats::Statistics uttag = stats::computeStatistics(kassa, {1, 40}, 3);
    const struct {
        const char* account;
        std::vector<const char*> checks;
        const char* transaction; // statistics instead of the account report
        QString answer, filter;
        std::string file, csv; // csv "" for an XLSX file
    } cases[] = {
        {"Kassa",
         {"subTransactionBox"},
         nullptr,
         "kassa",
         "CSV för kalkylprogram (*.csv)",
         "kassa.csv",
         overview::csvText(overview::accountReportSheet(kassa, stats::ReportKind::Pr_2, {1, 40}, "Kassa"),
                           overview::CsvForm::Spreadsheet)},
        {"Kassa",
         {},
         "Uttag",
         "stat.csv",
         "CSV standard (*.csv)",
         "stat.csv",
         overview::csvText(overview::statisticsSheet(uttag, "Uttag"), overview::CsvForm::Standard)},
        {"Budget",
         {"budgetBox", "differenceBox"},
         nullptr,
         "budget.xlsx",
         "CSV standard (*.csv)",
         "budget.xlsx",
         ""},
    };
    for (const auto& k : cases) {
        chooseAccount(k.account);
        for (const char* check : k.checks)
            c<QCheckBox>(check)->click();
        if (k.transaction) {
            form->enterStatistics();
            EXPECT_FALSE(button->isEnabled()); // no transaction chosen yet
            statistics(k.transaction);
        }
        ASSERT_TRUE(button->isEnabled()) << k.file;
        t.dialogs.clear().answerSave(QString::fromStdString(drive) + k.answer, k.filter);
        button->click();
        ASSERT_EQ(t.dialogs.calls().size(), 2u) << k.file;
        EXPECT_EQ(t.dialogs.calls()[0].filter, sheetFilters);
        EXPECT_TRUE(uitest::showed(t.dialogs, 1, "Spara som kalkylblad",
                                   QString::fromStdString("Kalkylbladet har sparats i\n" + drive + k.file)));
        if (!k.csv.empty()) {
            EXPECT_EQ(readFile(t.drive.path() / k.file), k.csv);
        }
        EXPECT_FALSE(form->statisticsMode());
        EXPECT_EQ(form->mode(), "kto");
        EXPECT_FALSE(c<QCheckBox>("subTransactionBox")->isChecked());
    }
    const std::string python = uitest::pythonWith("openpyxl");
    if (!python.empty()) {
        QProcess p;
        p.start(QString::fromStdString(python),
                {"-c",
                 "import openpyxl, sys; ws = openpyxl.load_workbook(sys.argv[1]).active; "
                 "print(ws.title, ws.max_row, [c.value for c in ws[1]], [c.value for c in ws[13]])",
                 QString::fromStdString(drive + "budget.xlsx")});
        p.waitForFinished();
        EXPECT_EQ(p.readAllStandardOutput().toStdString(),
                  "Budget 13 ['Datum', 'Huvudtransaktion', 'Budg.belopp', 'Verkl.belopp', 'Budg.saldo', "
                  "'Verkl.saldo', 'Saldodiff.'] [datetime.datetime(2026, 1, 12, 0, 0), 'Uttag', -120, -132, "
                  "-770, -847, -77]\n");
    }

    // A cancelled dialog leaves the window as it was; a place the file cannot go is told plainly.
    c<QCheckBox>("subTransactionBox")->click();
    t.dialogs.clear().answerSave("");
    button->click();
    EXPECT_TRUE(c<QCheckBox>("subTransactionBox")->isChecked());
    const std::string missing = drive + "saknas/r.xlsx";
    t.dialogs.clear().answerSave(QString::fromStdString(missing));
    button->click();
    EXPECT_TRUE(uitest::showed(t.dialogs, -1, "Filen kunde inte sparas",
                               QString::fromStdString("Filen kunde inte sparas som\n" + missing +
                                                      "\n\nMappen finns inte.\n\nVälj en annan plats och "
                                                      "försök igen.")));
    EXPECT_FALSE(std::filesystem::exists(t.drive.path() / "saknas"));
    c<QPushButton>("cancelButton")->click(); // Avbryt Konto
    c<QPushButton>("cancelButton")->click();
    EXPECT_FALSE(button->isEnabled());
}

TEST_F(UtskrStatTest, StatisticsOfATransactionOnScreenFollowTheDatesAndGoToAFile) {
    open();
    form->enterStatistics();
    auto* list = c<QListWidget>("transactionList");
    EXPECT_TRUE(list->isVisible());
    ASSERT_EQ(list->count(), 4);
    EXPECT_FALSE(c<QComboBox>("accountPicker")->isEnabled());
    statistics("Insättning"); // the statistics box again: already in statistics mode, nothing changes
    EXPECT_EQ(c<QLineEdit>("statisticsBox")->text(), "Insättning");
    EXPECT_EQ(label("outputLabel"), "Skriv ut statistik till:");
    output("screenOption");
    EXPECT_EQ(form->mode(), "stk");
    EXPECT_EQ(label("reportTitle"), "Statistik Insättning");
    EXPECT_EQ(label("reportSummary"), "Antal = 20, Totalbel. = 42 000,00, Medel = 2 100,00");
    EXPECT_EQ(cell(0, 0).toStdString(), nthDate(2));
    EXPECT_EQ(cell(0, 2), "200,00");
    EXPECT_TRUE(c<QPushButton>("pageForwardButton")->isEnabled());

    pick(Part::StartMonth, "02"); // from 2026-02-01: posts 29..40
    EXPECT_EQ(label("reportSummary"), "Antal = 6, Totalbel. = 21 000,00, Medel = 3 500,00");
    EXPECT_EQ(cell(0, 0).toStdString(), nthDate(30));
    EXPECT_FALSE(c<QPushButton>("pageForwardButton")->isEnabled());

    c<QPushButton>("cancelButton")->click(); // Avbryt Statistik
    EXPECT_FALSE(form->statisticsMode());
    statistics("Uttag");
    t.dialogs.answerSave(QString::fromStdString(out().string()));
    output("textFileOption");
    const stats::AccountFiles f = files("Kassa", ledger::Kind::Cash);
    stats::PeriodSelection period(f.kontoData);
    period.change(f.kontoData, form->period()->parts());
    EXPECT_EQ(readFile(out()), stats::statisticsReportFile(stats::computeStatistics(f, period.range(), 3),
                                                           "Kassa", "Uttag", "2026-12-06"));
    EXPECT_EQ(t.dialogs.calls()[0].text.toStdString(), (t.drive.path() / "Kassa_Uttag.txt").string());
    EXPECT_FALSE(form->statisticsMode());
    EXPECT_EQ(form->mode(), "kto");
}

TEST_F(UtskrStatTest, StatisticsWithoutHitsSayItOnScreenOrInAMessage) {
    open();
    statistics("Tom");
    output("screenOption");
    EXPECT_EQ(label("reportTitle"), "Statistik Tom");
    EXPECT_EQ(label("reportSummary"), "Ingen förekomst av transaktionen under tidsperioden !");
    EXPECT_EQ(cell(0, 0), "");
    c<QPushButton>("cancelButton")->click();
    statistics("Tom");
    output("textFileOption");
    ASSERT_EQ(t.dialogs.calls().size(), 1u);
    EXPECT_TRUE(uitest::showed(t.dialogs, 0, "Statistikupptagning av Tom",
                               "Ingen förekomst av transaktionen under angiven tidsperiod !"));
    EXPECT_FALSE(form->statisticsMode());
    EXPECT_FALSE(std::filesystem::exists(out()));

    c<QWidget>("helpLink")->setFocus();
    uitest::mouseUp(c<QLabel>("helpLink"));
    EXPECT_EQ(t.platform.helpContexts, std::vector<int>{70000});
}

// Pixels of the shown diagram that are mostly red (or blue).
int colourPixels(const QImage& image, bool red) {
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QColor c = image.pixelColor(x, y);
            const int main = red ? c.red() : c.blue(), other = red ? c.blue() : c.red();
            n += main > 180 && other < 100 && c.green() < 100;
        }
    return n;
}

TEST_F(UtskrStatTest, TheDiagramDrawsTheStatisticsPageByPageInTheTransactionsColour) {
    writeAccount(t.ctx.paths.dataRoot(), "Kassa", cashPosts(120)); // Insättning: 60 hits, 200 ... 12 000
    open();
    statistics("Insättning");
    output("screenOption");
    auto* command8 = c<QPushButton>("showDiagramButton");
    ASSERT_TRUE(command8->isVisible());
    EXPECT_EQ(command8->text(), "Visa diagram");
    command8->click();
    EXPECT_FALSE(command8->isEnabled());
    auto* picture = c<stats::DiagramWidget>("diagramPicture");
    ASSERT_TRUE(picture->isVisible());
    EXPECT_EQ(label("diagramTitle"),
              "Transaktion: 'Insättning' i konto: Kassa under tidsperiod 2026-01-01 - 2026-05-08");
    EXPECT_EQ(label("diagramYear"), "År 2026");

    // Rows 1-25, 200 ... 5 000 on scale 5 000: a blue line, the grid, and the mean 2 600 at its height.
    const QImage image = picture->grab().toImage();
    const auto x = [&](int twips) { return support::twipsX(*picture, twips); };
    const auto y = [&](int twips) { return support::twipsY(*picture, twips); };
    EXPECT_GT(colourPixels(image, false), 50);
    EXPECT_EQ(colourPixels(image, true), 0);
    EXPECT_LT(qGray(image.pixel(x(1000), y(1200))), 80); // a grid line
    EXPECT_GT(qGray(image.pixel(x(1000), y(1200) + 3)), 200);
    ASSERT_EQ(form->diagram()->meanY(), 3840 - 1716);
    EXPECT_LT(qGray(image.pixel(x(11730), y(3840 - 1716))), 80);
    EXPECT_GT(qGray(image.pixel(x(11730), y(3840 - 1716) - 3)), 200);
    // Only the grid is black: the scale values, the dates under the points and "MV" are in the line's
    // colour, and the full-scale value stands clear of the doubled right edge (11855).
    const auto ink = [&](int x1, int y1, int x2, int y2) {
        std::pair<int, int> blueDark;
        for (int py = y(y1); py <= y(y2); ++py)
            for (int px = x(x1); px <= x(x2); ++px) {
                const QColor c = image.pixelColor(px, py);
                blueDark.first += c.blue() > 150 && c.red() < 120 && c.green() < 120;
                blueDark.second += c.red() < 100 && c.green() < 100 && c.blue() < 100;
            }
        return blueDark;
    };
    for (const auto& [what, x1, y1, x2, y2] :
         {std::tuple{"5000", 11880, 390, 12500, 520},
          std::tuple{"MV", 500, 3840 - 1716 - 150, 800, 3840 - 1716 - 20},
          std::tuple{"dates", 900, 3915, 11800, 4100}}) {
        const auto [blue, dark] = ink(x1, y1, x2, y2);
        EXPECT_GT(blue, 5) << what;
        EXPECT_EQ(dark, 0) << what;
    }
    for (int py = y(420); py <= y(520); ++py)
        EXPECT_GT(qGray(image.pixel(x(11855) + 2, py)), 200) << py;

    auto* command9 = c<QPushButton>("nextDiagramPageButton");
    const std::pair<int, const char*> pages[] = {
        {1, "Nästa"}, {26, "Nästa"}, {36, "Från början"}, {1, "Nästa"}};
    for (const auto& [first, caption] : pages) {
        EXPECT_EQ(form->diagram()->entries().front().row, first);
        EXPECT_EQ(command9->text(), QString::fromUtf8(caption));
        EXPECT_TRUE(command9->isVisible());
        command9->click();
    }
    c<QPushButton>("closeDiagramButton")->click();
    EXPECT_TRUE(!picture->isVisible() && command8->isEnabled());
    EXPECT_EQ(label("diagramYear") + label("diagramTitle"), "");

    // A new period closes a diagram shown; cancelling the statistics withdraws the button.
    command8->click();
    pick(Part::StartMonth, "02");
    EXPECT_FALSE(form->diagram().has_value());
    EXPECT_TRUE(command8->isVisible() && command8->isEnabled());
    c<QPushButton>("cancelButton")->click();
    EXPECT_FALSE(command8->isVisible());

    statistics("Uttag"); // an expense
    output("screenOption");
    command8->click();
    EXPECT_GT(colourPixels(picture->grab().toImage(), true), 50);
    EXPECT_EQ(colourPixels(picture->grab().toImage(), false), 0);
    c<QPushButton>("cancelButton")->click();
    EXPECT_FALSE(picture->isVisible());
    EXPECT_FALSE(form->diagram().has_value());
}

// What a tool of poppler-utils prints about a PDF.
QString poppler(const QString& tool, QStringList args) {
    QProcess p;
    p.start(tool, args);
    EXPECT_TRUE(p.waitForFinished(30000)) << tool.toStdString();
    return QString::fromUtf8(p.readAllStandardOutput());
}

// A printed PDF as read back: its page count, page size in points ("595 x 842") and text pages.
struct Pdf {
    int pages = 0;
    QString size;
    QStringList text;
};
Pdf readPdf(const QString& path) {
    const QString info = poppler("pdfinfo", {path});
    static const QRegularExpression pages("Pages:\\s+(\\d+)\\n"), size("Page size:\\s+(\\d+ x \\d+)");
    return {pages.match(info).captured(1).toInt(), size.match(info).captured(1),
            poppler("pdftotext", {"-layout", path, "-"}).split('\f')};
}

// The words of each page with their right edges (points), read back from the PDF.
struct Word {
    QString text;
    double xMax;
};
std::vector<std::vector<Word>> pdfWords(const QString& pdf) {
    const QString html = poppler("pdftotext", {"-bbox", pdf, "-"});
    std::vector<std::vector<Word>> pages;
    static const QRegularExpression page("<page "),
        word("<word xMin=\"[0-9.]+\" yMin=\"[0-9.]+\" xMax=\"([0-9.]+)\"[^>]*>([^<]*)</word>");
    for (const QString& part : html.split(page).mid(1)) {
        pages.emplace_back();
        for (const auto& m : word.globalMatch(part))
            pages.back().push_back({m.captured(2), m.captured(1).toDouble()});
    }
    return pages;
}

// Printing goes to the printer the dialog chose, here a PDF: a cancelled dialog prints nothing
// and the window returns to "kto"; 64 posts give two portrait pages with their headings and page
// numbers, and amounts of every width end at their column's edge; a budget report with the
// difference is landscape; without a printer the report is offered as a PDF named after the account.
TEST_F(UtskrStatTest, ThePrinterPrintsTheReportAsTheDialogSaysAndACancelPrintsNothing) {
    writeAccount(t.ctx.paths.dataRoot(), "Kassa", cashPosts(64));
    open();
    const QString pdf = QString::fromStdString((t.drive.path() / "rapport.pdf").string());
    const auto print = [&](const QString& to) {
        t.dialogs.clear().answerPrint(to);
        output("printerOption");
    };
    print("");
    EXPECT_FALSE(QFile::exists(pdf));
    EXPECT_EQ(form->mode(), "kto");
    ASSERT_EQ(t.dialogs.calls().size(), 1u);
    EXPECT_EQ(t.dialogs.calls()[0].kind, uitest::ScriptedDialogs::Kind::Print);
    EXPECT_FALSE(c<QRadioButton>("printerOption")->isChecked());

    print(pdf);
    EXPECT_EQ(form->mode(), "kto");
    ASSERT_EQ(t.dialogs.calls().size(), 2u);
    EXPECT_TRUE(uitest::showed(t.dialogs, 1, "Printerutskrift",
                               "Utskrift har skickats till printer för konto:\n\nKassa\n"));
    const Pdf report = readPdf(pdf);
    EXPECT_EQ(report.pages, 2);
    EXPECT_EQ(report.size, "595 x 842"); // A4 portrait
    ASSERT_GE(report.text.size(), 2);
    EXPECT_TRUE(report.text[0].contains("Utskrift av Kassa, datum: 2026-12-06 Sida 1"))
        << report.text[0].toStdString();
    EXPECT_TRUE(report.text[1].contains("Sida 2"));
    for (const char* heading : {"Datum", "Huvudtransaktion", "Belopp", "Saldo"})
        EXPECT_TRUE(report.text[1].contains(QString::fromLatin1(heading))) << heading;
    // Amounts end in ",00": on page 1 they end at two edges only (Belopp and Saldo), the
    // column heading "Belopp" at the first; "6 400,00" and "-1 890,00" are of different widths.
    const auto words = pdfWords(pdf);
    ASSERT_EQ(words.size(), 2u);
    std::vector<double> edges;
    double belopp = 0;
    int amounts = 0;
    for (const Word& w : words[0]) {
        if (w.text == "Belopp")
            belopp = w.xMax;
        if (!w.text.endsWith(",00"))
            continue;
        ++amounts;
        if (std::none_of(edges.begin(), edges.end(), [&](double e) { return std::abs(e - w.xMax) < 0.5; }))
            edges.push_back(w.xMax);
    }
    EXPECT_EQ(amounts, 2 * 63);
    ASSERT_EQ(edges.size(), 2u);
    EXPECT_NEAR(std::min(edges[0], edges[1]), belopp, 0.5);

    // Budget, sub-transaction and difference: landscape.
    chooseAccount("Budget");
    for (const char* box : {"subTransactionBox", "budgetBox", "differenceBox"})
        c<QCheckBox>(box)->click();
    print(pdf);
    EXPECT_EQ(readPdf(pdf).size, "842 x 595");
    EXPECT_TRUE(readPdf(pdf).text.join('\f').contains("Saldodiff."));

    // Statistics: their own headings; the window stays in statistics mode afterwards.
    chooseAccount("Kassa");
    statistics("Insättning");
    print(pdf);
    const QString statistics = readPdf(pdf).text.join('\f');
    EXPECT_TRUE(statistics.contains("Statistik, transaktionen: 'Insättning'"));
    EXPECT_TRUE(statistics.contains("Sida: 1"));
    EXPECT_EQ(form->mode(), "stk");
    EXPECT_EQ(t.dialogs.titles().value(1), "Printerutskrift");
    c<QPushButton>("cancelButton")->click();

    // No printer on the desktop: the save dialog offers "<account>.pdf".
    QFile::remove(pdf);
    t.platform.printers = false;
    chooseAccount("Kassa");
    t.dialogs.clear().answerSave(pdf);
    output("printerOption");
    ASSERT_EQ(t.dialogs.calls().size(), 2u);
    EXPECT_EQ(t.dialogs.calls()[0].text.toStdString(), (t.drive.path() / "Kassa.pdf").string());
    EXPECT_EQ(t.dialogs.calls()[0].filter, "PDF-filer (*.pdf)");
    EXPECT_EQ(readPdf(pdf).pages, 2);

    // A PDF into a folder that does not exist is told plainly; no success is claimed.
    const QString missing = QString::fromStdString((t.drive.path() / "saknas" / "x.pdf").string());
    t.dialogs.clear().answerSave(missing);
    output("printerOption");
    ASSERT_EQ(t.dialogs.calls().size(), 2u);
    EXPECT_TRUE(
        uitest::showed(t.dialogs, 1, "Filen kunde inte sparas", notSaved(missing, "Mappen finns inte.")));
    EXPECT_EQ(form->mode(), "kto");
}

// A disk that fills while the PDF is written (here a file size limit of 8 KB): no success is
// claimed, nothing half is left, and a PDF of the same name from before stays as it was (the whole
// PDF takes some 14 KB).
TEST_F(UtskrStatTest, APdfCutShortByAFullDiskIsToldAndLeavesNoHalfFile) {
    open();
    const std::filesystem::path pdf = t.drive.path() / "rapport.pdf";
    writeFile(pdf, "%PDF older");
    t.dialogs.answerPrint(QString::fromStdString(pdf.string()));
    const auto handler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit old{};
    ::getrlimit(RLIMIT_FSIZE, &old);
    const rlimit full{8192, old.rlim_max};
    ::setrlimit(RLIMIT_FSIZE, &full);
    output("printerOption");
    ::setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, handler);
    ASSERT_EQ(t.dialogs.calls().size(), 2u);
    EXPECT_TRUE(uitest::showed(t.dialogs, 1, "Filen kunde inte sparas",
                               notSaved(QString::fromStdString(pdf.string()),
                                        "Filen blev inte färdigskriven. Disken är troligen full.")));
    EXPECT_TRUE(readFile(pdf) == "%PDF older");
    for (const std::string& name : t.drive.list())
        EXPECT_TRUE(name.find("rapport") == std::string::npos || name == "rapport.pdf") << name;
}

// What a failed output tells the error report: the procedure's own diagnostic line and the post it
// had read last (post 3's amount does not decode).
TEST_F(UtskrStatTest, ErrorReportsNameTheProcedureAndThePostReadLast) {
    writeFile(t.ctx.paths.dataRoot() / "Kassa" / "KontoData",
              cashPosts(2) + cash(nthDate(3), "3", "1x", "50") + cashPost(nthDate(4), 2, 400, 450) +
                  cashPost(nthDate(5), 3, -150, 300));
    const QString path = QString::fromStdString(out().string());
    struct Case {
        std::function<void()> run;
        bool save;
        QString routine, situation, details;
    };
    const Case cases[] = {
        {[&] { output("screenOption"); }, false, "ScPr_1", " vid utskriftsförsök till skärm.",
         "Fel i rutinen ScPr_1 vid utskriftsförsök skärm (exkl. subtr & budget)|GridSetting: 15 rader, "
         "kolumnbredd 1100;2300;1300;1300|Bokföringsval: Ek|Senaste sökrecord i filen: 3|Stopprecord i "
         "filen: 5|Hämtad bokföringsdag: 2026-01-03|Hämtat belopp: 1x"},
        {[&] { output("textFileOption"); }, true, "FilPr_1", " vid utskriftsförsök till textfil.",
         "Fel i rutinen FilPr_1 vid utskriftsförsök textfil (exkl. subtr & budget)|RubrikSetting: Utskrift "
         "av "
         "Kassa 2026-12-06              Sida |Tab verkl.belopp: 45|Bokföringsval: Ek|Senaste sökrecord i "
         "filen: 3|Sista record i filen: 5|Hämtad bokföringsdag: 2026-01-03|Hämtat belopp: 1x"},
        {[&] {
             c<QCheckBox>("subTransactionBox")->click();
             output("textFileOption");
         },
         true, "FilePrint", " vid utskriftssortering till textfil.",
         "Fel i rutinen FilePrint vid utskriftssortering textfil.|Filbenämning: " + path +
             "|Bokföringsval: Ek|Senaste sökrecord i filen: 3|Hämtad bokföringsdag: 2026-01-03|Hämtat "
             "belopp: "
             "1x"},
        {[&] {
             statistics("Uttag");
             output("screenOption");
         },
         false, "Trans_Stat", " vid utskriftsförsök av statistik till skärm.",
         "Fel i rutinen Trans_Stat vid utskriftsförsök skärm av trans.statistik|Antal poster i matrisen: "
         "0|Bokföringsval: Ek|Skapad summering: "},
    };
    open();
    for (const Case& k : cases) {
        t.dialogs.clear();
        if (k.save)
            t.dialogs.answerSave(path);
        t.dialogs.answerNo(); // the error report is not wanted
        k.run();
        EXPECT_EQ(t.dialogs.pendingAnswers(), 0u) << k.routine.toStdString();
        EXPECT_EQ(QString::fromStdString(t.ctx.error.headline),
                  "Ett fel har uppstått i subrutinen " + k.routine + "\r\n" + k.situation + "\r\n\r\n");
        EXPECT_EQ(
            QString::fromStdString(t.ctx.error.details).replace(QStringLiteral("¦"), QStringLiteral("|")),
            k.details);
        c<QPushButton>("cancelButton")->click();
    }
    EXPECT_FALSE(std::filesystem::exists(out()));

    // A window opened on an account whose files are gone.
    t.dialogs.clear().answerNo();
    stats::UtskrStatForm other(t.ctx, nullptr, {"Trasig", "Ek", 3});
    other.show();
    EXPECT_TRUE(QString::fromStdString(t.ctx.error.headline)
                    .startsWith("Ett fel har uppstått i subrutinen InitDatum i Utskriftsformulär\r\n vid "
                                "hämtning av tidsbestämd fildel."));
}

// The diagram on paper: a cancelled dialog prints nothing, else each diagram page is a page.
TEST_F(UtskrStatTest, TheDiagramPrintsEachOfItsPages) {
    writeAccount(t.ctx.paths.dataRoot(), "Kassa", cashPosts(120)); // Uttag: 59 hits, three pages
    open();
    statistics("Uttag");
    output("screenOption");
    c<QPushButton>("showDiagramButton")->click();
    const QString pdf = QString::fromStdString((t.drive.path() / "diagram.pdf").string());
    t.dialogs.answerPrint("");
    c<QPushButton>("printDiagramButton")->click();
    EXPECT_FALSE(QFile::exists(pdf));
    EXPECT_EQ(t.dialogs.calls().back().title, "Kassa_Uttag_diagram");
    t.dialogs.answerPrint(pdf);
    c<QPushButton>("printDiagramButton")->click();
    EXPECT_EQ(t.dialogs.titles().last(), "Printerutskrift");
    const Pdf diagram = readPdf(pdf);
    EXPECT_EQ(diagram.pages, 3);
    EXPECT_EQ(diagram.size, "842 x 595");
    // Each page carries the title, its scale, the years and the mean line's label.
    ASSERT_GE(diagram.text.size(), 3);
    for (const QString& page : diagram.text.mid(0, 3))
        EXPECT_TRUE(page.contains("Transaktion: 'Uttag' i konto: Kassa") && page.contains("MV") &&
                    page.contains("År 2026"))
            << page.toStdString();
    EXPECT_TRUE(form->diagram().has_value()); // the diagram stays on screen
}

TEST(UtskrStatEntry, IsOffWithoutAnOpenAccount) {
    uitest::TestContext t;
    app::HeadForm head(t.ctx);
    std::filesystem::remove_all(t.ctx.paths.dataRoot());
    t.dialogs.answerInput("Anna").answerNo().answerNo(); // a first start, no first account now
    head.Form_Load();
    EXPECT_FALSE(head.findChild<QAction*>("utskrstat_mn")->isEnabled());
}

} // namespace
