// The window "Sammanställning" on three accounts whose totals are known: opened from the main
// window, its tables and charts, the posts behind a row, the search that opens a post, printing and
// the spreadsheet files.

#include "overview/ui/OverviewWindow.h"
#include "TestContext.h"
#include "UiHelpers.h"
#include "app/HeadForm.h"
#include "overview/OverviewFiles.h"
#include "overview/ui/ChartWidget.h"

#include <QAbstractItemView>
#include <QAction>
#include <QComboBox>
#include <QDateEdit>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QTableView>
#include <QTableWidget>
#include <QTest>

#include <gtest/gtest.h>

using uitest::control;

namespace {

QString run(const QString& program, const QStringList& args) {
    QProcess p;
    p.start(program, args);
    EXPECT_TRUE(p.waitForFinished(30000)) << program.toStdString();
    return QString::fromUtf8(p.readAllStandardOutput());
}

struct OverviewWindowTest : ::testing::Test {
    uitest::TestContext t;
    std::unique_ptr<app::HeadForm> head;
    QPointer<overview::OverviewWindow> window;

    // Hem (open in the main window), Kort and Bud: see threeAccounts.
    void SetUp() override {
        overviewtest::threeAccounts(t.drive);
        fixtures::writeRegister(t.ctx.paths.dataRoot(), fixtures::kontoRec("Hem", "", "Ek") +
                                                            fixtures::kontoRec("Kort", "", "Ek") +
                                                            fixtures::kontoRec("Bud", "", "Bg"));
        head = std::make_unique<app::HeadForm>(t.ctx);
        head->Form_Load();
    }
    void TearDown() override {
        if (window)
            window->close();
    }
    void open() {
        QAction* entry = head->findChild<QAction*>("overview_mn");
        ASSERT_TRUE(entry->isEnabled());
        entry->trigger();
        window = head->findChild<overview::OverviewWindow*>();
        ASSERT_TRUE(window && window->isVisible());
    }
    template <typename T> T* c(const char* name) { return control<T>(*window, name); }
    void select(const QString& account, int periodKind) {
        c<QComboBox>("accountBox")->setCurrentText(account);
        c<QComboBox>("periodKindBox")->setCurrentIndex(periodKind);
    }
    // January 2026 (kind 0) or 2026-01-01 to 2026-02-28 (kind 3).
    void january(const QString& account) {
        select(account, 0);
        c<QSpinBox>("yearBox")->setValue(2026);
        c<QComboBox>("monthBox")->setCurrentIndex(0);
    }
    void twoMonths(const QString& account) {
        select(account, 3);
        c<QDateEdit>("fromDate")->setDate(QDate(2026, 1, 1));
        c<QDateEdit>("toDate")->setDate(QDate(2026, 2, 28));
    }
    static QStringList rows(const QAbstractItemModel& model, int from = 0, int to = -1) {
        QStringList out;
        for (int r = from; r < (to < 0 ? model.rowCount() : to); ++r) {
            QStringList cells;
            for (int col = 0; col < model.columnCount(); ++col)
                cells << model.index(r, col).data().toString();
            out << cells.join('|');
        }
        return out;
    }
    QStringList hits() { return rows(*c<QTableView>("hitsTable")->model()); }
    QString path(const char* name) { return QString::fromStdString((t.drive.path() / name).string()); }
};

TEST_F(OverviewWindowTest, OpensOverTheDisabledMainWindowOnTheCurrentMonthAndEscGivesItBack) {
    QAction* entry = head->findChild<QAction*>("overview_mn");
    QAction* statistics = head->findChild<QAction*>("utskrstat_mn");
    EXPECT_EQ(entry->shortcut(), QKeySequence(Qt::Key_F6));
    for (bool locked : {true, false}) {
        locked ? head->Lock_menues() : head->Unlock_menues();
        EXPECT_EQ(entry->isEnabled(), !locked);
        EXPECT_EQ(statistics->isEnabled(), !locked);
    }
    open();
    EXPECT_EQ(window->windowTitle(), "Sammanställning");
    EXPECT_FALSE(head->isEnabled());
    EXPECT_EQ(c<QComboBox>("accountBox")->currentText(), "Hem");
    EXPECT_EQ(c<QLabel>("periodText")->text(), "2026-12-01 – 2026-12-31");
    EXPECT_EQ(window->period(), (overview::Period{"2026-12-01", "2026-12-31"}));
    EXPECT_EQ(uitest::visibleOf(*window, {"monthBox", "quarterBox", "fromDate"}), "100");
    select("Hem", 1);
    EXPECT_EQ(window->period(), (overview::Period{"2026-10-01", "2026-12-31"}));
    EXPECT_EQ(uitest::visibleOf(*window, {"monthBox", "quarterBox", "fromDate"}), "010");

    // Every control is named for a screen reader, every label leads to its control.
    for (QWidget* w : window->findChildren<QWidget*>()) {
        if (w->focusPolicy() != Qt::NoFocus && !w->objectName().isEmpty() &&
            !w->objectName().startsWith("qt_")) {
            EXPECT_FALSE(w->accessibleName().isEmpty()) << w->objectName().toStdString();
        }
    }
    for (QLabel* l : window->findChildren<QLabel*>()) {
        if (l->objectName().endsWith("Label")) {
            EXPECT_NE(l->buddy(), nullptr) << l->objectName().toStdString();
        }
    }

    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window));
    QTest::keyClick(QApplication::focusWidget() ? QApplication::focusWidget() : window.data(),
                    Qt::Key_Escape);
    EXPECT_FALSE(window && window->isVisible());
    EXPECT_TRUE(head->isEnabled());
}

// A click on a row or a bar shows the posts behind it in the hit table.
TEST_F(OverviewWindowTest, PerTransactionTableAndChartOfAllAccounts) {
    open();
    january("Alla konton");
    auto* table = c<QTableWidget>("transactionTable");
    EXPECT_EQ(
        rows(*table->model()),
        (QStringList{"Utgift|Hyra||-8 000,00|1|83,33 %", "Utgift|Mat||-1 600,00|5|16,67 %",
                     "Utgift|Mat|Bröd|-920,00|2|9,59 %", "Utgift|Mat|Utan subtransaktion|-630,00|2|6,56 %",
                     "Utgift|Mat|Mjölk|-50,00|1|0,52 %", "Utgift|Summa||-9 600,00|6|100,00 %",
                     "Inkomst|Lön||21 000,00|2|100,00 %", "Inkomst|Summa||21 000,00|2|100,00 %",
                     "Utan tecken|Kontostart||5 000,00|3|"}));
    EXPECT_EQ(c<QLabel>("startBalanceText")->text(), "Utan tecken, ej med i summorna: Kontostart: 5 000,00");

    const auto& chart = window->transactionChart()->chart();
    ASSERT_TRUE(chart);
    ASSERT_EQ(chart->bars.size(), 3u);
    EXPECT_EQ(chart->bars[1].category, "Mat");
    EXPECT_EQ(chart->bars[1].value, store::Amount::whole(-1600));
    EXPECT_EQ(chart->bars[2].tip, "Lön: 21 000,00 kr (100,00 %)");
    const overview::ChartBox bar = chart->bars[2].box;
    const double px = window->transactionChart()->logicalDpiX() / 72.0;
    EXPECT_EQ(window->transactionChart()->barAt(
                  QPoint(int((bar.x + bar.w / 2) * px), int((bar.y + bar.h / 2) * px))),
              &chart->bars[2]);

    const struct {
        int row;
        QStringList hits;
    } clicks[] = {
        {3, {"Hem|2026-01-07|Mat|-30,00", "Bud|2026-01-10|Mat|-600,00"}},
        {6, {"Hem|2026-01-25|Lön|20 000,00", "Kort|2026-01-15|Lön|1 000,00"}},
        {0, {"Hem|2026-01-28|Hyra|-8 000,00"}},
    };
    for (const auto& click : clicks) {
        c<QTabWidget>("tabs")->setCurrentIndex(0);
        emit table->cellClicked(click.row, 1);
        EXPECT_EQ(c<QTabWidget>("tabs")->currentIndex(), overview::OverviewWindow::SearchTab);
        EXPECT_EQ(hits(), click.hits) << click.row;
    }
    emit window->transactionChart()->barClicked(chart->bars[1]);
    EXPECT_EQ(hits().size(), 5); // Bud's unconfirmed post is no money yet
}

TEST_F(OverviewWindowTest, MonthByMonthOfABudgetAccountColoursWhatBrokeTheBudget) {
    open();
    twoMonths("Bud");
    auto* table = c<QTableWidget>("monthTable");
    ASSERT_EQ(table->columnCount(), 11);
    EXPECT_EQ(rows(*table->model(), 0, 3),
              (QStringList{"Inkomst|Lön|0,00|0,00|0,00|3 000,00|2 800,00|-200,00|3 000,00|2 800,00|-200,00",
                           "Utgift|Hyra|0,00|0,00|0,00|-1 000,00|0,00|1 000,00|-1 000,00|0,00|1 000,00",
                           "Utgift|Mat|-900,00|-600,00|300,00|0,00|0,00|0,00|-900,00|-600,00|300,00"}));
    const auto coloured = [&](int row) {
        QString out;
        for (int col = 2; col < table->columnCount(); ++col)
            out += table->item(row, col)->background().style() == Qt::NoBrush ? '.' : 'x';
        return out;
    };
    EXPECT_EQ(coloured(0), "....xx.xx"); // the wage fell short in February
    EXPECT_EQ(coloured(2), "........."); // less spent on food than budgeted
    const auto& chart = window->monthChart()->chart();
    ASSERT_TRUE(chart);
    EXPECT_EQ(chart->lines.back().series, "Ackumulerad differens");
    EXPECT_EQ(chart->lines.back().values,
              (std::vector<store::Amount>{store::Amount::whole(300), store::Amount::whole(1100)}));

    // A cash book: income and expenses a month, under the closing balance.
    twoMonths("Hem");
    EXPECT_EQ(table->columnCount(), 5);
    ASSERT_TRUE(chart);
    EXPECT_EQ(chart->lines.back().series, "Utgående saldo");
    EXPECT_EQ(chart->bars.size(), 4u);
    emit table->cellClicked(0, 1); // Lön
    EXPECT_EQ(hits(), QStringList{"Hem|2026-01-25|Lön|20 000,00"});
}

TEST_F(OverviewWindowTest, SearchAcrossAccountsAndEnterOpensThePostUnmarked) {
    open();
    select("Alla konton", 0);
    c<QTabWidget>("tabs")->setCurrentIndex(overview::OverviewWindow::SearchTab);
    c<QLineEdit>("amountFromBox")->setText("5OO");
    c<QPushButton>("searchButton")->click();
    EXPECT_EQ(t.dialogs.lastText(), "Skriv beloppet med siffror, till exempel 450 eller 450,50.");
    c<QLineEdit>("amountFromBox")->setText("500");
    c<QLineEdit>("amountToBox")->setText("820");
    c<QComboBox>("mainBox")->setCurrentText("Mat");
    uitest::pressEnter(c<QLineEdit>("amountToBox")); // Enter in a filter searches
    EXPECT_EQ(hits(), (QStringList{"Kort|2026-01-10|Mat / Bröd|-820,00", "Bud|2026-01-10|Mat|-600,00"}));
    EXPECT_EQ(c<QLabel>("hitsText")->text(), "Funna poster: 2 st.");
    c<QLineEdit>("dateFromBox")->setText("2026-02-30");
    c<QPushButton>("searchButton")->click();
    EXPECT_EQ(t.dialogs.lastText(), "Skriv datumet som ÅÅÅÅ-MM-DD, till exempel 2026-03-31.");
    EXPECT_EQ(hits().size(), 2);

    auto* view = c<QTableView>("hitsTable");
    view->setCurrentIndex(view->model()->index(0, 0));
    uitest::pressEnter(view);
    EXPECT_FALSE(window && window->isVisible());
    EXPECT_TRUE(head->isEnabled());
    EXPECT_EQ(head->accountName(), "Kort");
    EXPECT_EQ(head->currentPost(), 2);
    EXPECT_EQ(head->markedPost(), 0);
}

TEST_F(OverviewWindowTest, EveryTabPrintsAndSavesAsPdfAndASpreadsheet) {
    open();
    january("Alla konton");
    const QString pdf = path("sammanstallning.pdf");
    t.dialogs.answerSave(pdf);
    c<QPushButton>("pdfButton")->click();
    EXPECT_EQ(t.dialogs.titles().last(), "Sparat");
    EXPECT_TRUE(run("pdfinfo", {pdf}).contains("842 x 595")); // landscape
    QString text = run("pdftotext", {"-layout", pdf, "-"});
    EXPECT_TRUE(text.contains("Sammanställning – Per transaktion")) << text.toStdString();
    EXPECT_TRUE(text.contains("Inkomster")); // the chart's legend, drawn as text
    EXPECT_TRUE(text.contains("-9 600,00"));

    // Through the printer dialog, or as a PDF where there is no printer; a cancel prints nothing.
    c<QTabWidget>("tabs")->setCurrentIndex(overview::OverviewWindow::MonthTab);
    QFile::remove(pdf);
    t.dialogs.clear().answerPrint(pdf);
    c<QPushButton>("printButton")->click();
    EXPECT_TRUE(run("pdftotext", {pdf, "-"}).contains("Utgående saldo"));
    QFile::remove(pdf);
    t.platform.printers = false;
    t.dialogs.clear().answerSave("");
    c<QPushButton>("printButton")->click();
    EXPECT_EQ(t.dialogs.calls()[0].title, "Ingen skrivare finns: spara utskriften som PDF-fil");
    EXPECT_FALSE(QFile::exists(pdf));

    // A folder that is not there: said in plain words, no file left.
    const QString missing = path("saknas/x.pdf");
    t.dialogs.clear().answerSave(missing);
    c<QPushButton>("pdfButton")->click();
    EXPECT_EQ(t.dialogs.titles(), (QStringList{"Spara som PDF", "Filen kunde inte sparas"}));
    EXPECT_FALSE(QFile::exists(missing));

    // The spreadsheet forms of the tab's report, with the totals shown on screen.
    c<QTabWidget>("tabs")->setCurrentIndex(overview::OverviewWindow::PerTransactionTab);
    const struct {
        int form;
        const char* file;
        std::string start;
    } forms[] = {
        {1, "a.csv",
         "\xEF\xBB\xBFTyp;Huvudtransaktion;Subtransaktion;Belopp;Antal;Andel "
         "(%)\r\nUtgift;Hyra;;-8000,00;1;83,33\r\n"},
        {2, "b.csv",
         "Typ,Huvudtransaktion,Subtransaktion,Belopp,Antal,Andel (%)\r\nUtgift,Hyra,,-8000.00,1,83.33\r\n"},
    };
    for (const auto& f : forms) {
        c<QComboBox>("sheetFormatBox")->setCurrentIndex(f.form);
        t.dialogs.clear().answerSave(path(f.file));
        c<QPushButton>("sheetButton")->click();
        EXPECT_EQ(t.dialogs.calls()[0].filter, "CSV-filer (*.csv)");
        EXPECT_EQ(fixtures::readFile(t.drive.path() / f.file).substr(0, f.start.size()), f.start);
    }
    c<QComboBox>("sheetFormatBox")->setCurrentIndex(0);
    t.dialogs.clear().answerSave(path("c")); // the ending is added
    c<QPushButton>("sheetButton")->click();
    const QString cells =
        run("/usr/bin/python3", {"-c",
                                 "import sys, openpyxl\n"
                                 "ws = openpyxl.load_workbook(sys.argv[1]).active\n"
                                 "print(ws.title, ws['D2'].value, ws['D2'].number_format, ws['D7'].value)",
                                 path("c.xlsx")});
    EXPECT_EQ(cells.trimmed(), "Per transaktion -8000 #,##0.00 -9600");
    t.dialogs.clear().answerSave(path("saknas/c.xlsx"));
    c<QPushButton>("sheetButton")->click();
    EXPECT_EQ(t.dialogs.titles().last(), "Filen kunde inte sparas");
    EXPECT_FALSE(QFile::exists(path("saknas")));
}

} // namespace
