// The import wizard driven as a person would: a bank's file into a cash book and a budget account,
// a second file overlapping the first, rules taken the second time, an unknown layout mapped and
// known again, nothing written on "Avbryt", and the whole import undone in one step.

#include "statements/ui/ImportWizard.h"
#include "TestContext.h"
#include "UiHelpers.h"
#include "app/HeadForm.h"
#include "fixtures/AccountFiles.h"
#include "ledger/LedgerView.h"
#include "ledger/ui/CashFrame.h"

#include <QAbstractButton>
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QTableWidget>

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

using namespace fixtures;
using statements::ImportWizard;
using uitest::control;

namespace {

// Swedbank's layout, newest first, Windows-1252.
const std::string SwedbankHead = "* Transaktioner Period 2026-11-01 - 2026-11-30 Skapad 2026-12-01 08:00\r\n"
                                 "Radnummer,Clearingnummer,Kontonummer,Produkt,Valuta,Bokf\xF6ringsdag,"
                                 "Transaktionsdag,Valutadag,Referens,Beskrivning,Belopp,Bokf\xF6rt saldo\r\n";
std::string swedbankRow(int n, const char* date, const char* text, const char* amount, const char* balance) {
    return std::to_string(n) + ",8327-9,1234567,Privatkonto,SEK," + date + "," + date + "," + date + ",," +
           text + "," + amount + "," + balance + "\r\n";
}
const std::string Salary = swedbankRow(4, "2026-11-25", "L\xD6N", "25000.00", "34479.50");
const std::string Shop3 =
    swedbankRow(3, "2026-11-20", "KORTK\xD6P 261119 ICA NARA SOLNA", "-312.00", "9479.50");
const std::string Shop2 =
    swedbankRow(2, "2026-11-12", "KORTK\xD6P 261111 ICA NARA SOLNA", "-88.50", "9791.50");
const std::string Shop1 =
    swedbankRow(1, "2026-11-05", "KORTK\xD6P 261104 ICA NARA SOLNA", "-120.00", "9880.00");

// One of the banks' sample files.
std::string bankFile(const std::string& name) {
    std::ifstream in(std::filesystem::path(__FILE__).parent_path().parent_path() / "fixtures" / "statements" /
                         name,
                     std::ios::binary);
    EXPECT_TRUE(in) << name;
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

struct ImportWizardTest : ::testing::Test {
    uitest::TestContext t;
    std::unique_ptr<app::HeadForm> head;
    ImportWizard* wizard = nullptr;
    std::filesystem::path root = t.ctx.paths.dataRoot();

    void SetUp() override {
        writeRegister(root, kontoRec("Kassa", "1", "Ek") + kontoRec("Budget", "2", "Bg"));
        writeAccount(root, "Kassa", cashPosts(3));
        writeFile(root / "Kassa" / "Transakt",
                  standardTransakt() + transRec("Mat", '-') + transRec("L\xF6n", '+'));
        // A planned grocery post of -300 on 2026-11-21, unconfirmed.
        writeAccount(root, "Budget",
                     budgetPost("2026-01-01", 1, 0, 0, 0, 0, true) +
                         budgetPost("2026-11-21", 4, -300, 0, -300, 0, false));
        writeFile(root / "Budget" / "Transakt", standardTransakt() + transRec("Mat", '-'));
        head = std::make_unique<app::HeadForm>(t.ctx);
        head->Form_Load();
    }
    void TearDown() override {
        if (wizard)
            wizard->reject();
    }
    std::filesystem::path sample(const std::string& name, const std::string& bytes) {
        const auto path = t.drive.path() / "Hämtat" / name;
        writeFile(path, bytes);
        return path;
    }
    void open(const std::filesystem::path& file) {
        QAction* entry = head->findChild<QAction*>("Import_mn");
        ASSERT_TRUE(entry->isEnabled());
        t.dialogs.answerOpen(QString::fromStdString(file.string()));
        entry->trigger();
        wizard = nullptr;
        for (ImportWizard* w : head->findChildren<ImportWizard*>())
            if (w->isVisible())
                wizard = w; // one closed before waits for the event loop to delete it
        ASSERT_NE(wizard, nullptr);
    }
    template <typename T> T* c(const char* name) { return control<T>(*wizard, name); }
    QTableWidget* table() { return c<QTableWidget>("rowsTable"); }
    QStringList column(int column) {
        QStringList out;
        for (int r = 0; r < table()->rowCount(); ++r)
            out << table()->item(r, column)->text();
        return out;
    }
    QString ticks() {
        QString out;
        for (int r = 0; r < table()->rowCount(); ++r)
            out += table()->item(r, 0)->checkState() == Qt::Checked ? QLatin1Char('x') : QLatin1Char('-');
        return out;
    }
    QStringList offered() {
        QStringList out;
        auto* box = c<QComboBox>("transactionCombo");
        for (int i = 1; i < box->count(); ++i)
            out << box->itemText(i);
        return out;
    }
    void choose(int row, const QString& transaction) {
        table()->setCurrentCell(row, 1);
        auto* box = c<QComboBox>("transactionCombo");
        const int i = box->findText(transaction);
        ASSERT_GE(i, 0) << transaction.toStdString();
        box->setCurrentIndex(i);
        emit box->activated(i);
    }
    void finish() { wizard->button(QWizard::FinishButton)->click(); }
    void openAccount(int index) {
        control<QComboBox>(*head, "accountPicker")->setCurrentIndex(index);
        head->openChosenAccount();
    }
    std::size_t postsOnDisk(const char* account, ledger::Kind kind) {
        return readFile(root / account / "KontoData").size() / ledger::recordLength(kind);
    }
    // Every row still without a transaction gets the standard one of its direction, one by one.
    void chooseByDirection() {
        c<QCheckBox>("rememberBox")->setChecked(false);
        for (int r = 0; r < table()->rowCount(); ++r)
            if (table()->item(r, 4)->text().isEmpty() &&
                (table()->item(r, 0)->flags() & Qt::ItemIsUserCheckable))
                choose(r, table()->item(r, 3)->text().startsWith('-') ? "Uttag" : "Insättning");
    }
    QString undoText() { return head->findChild<QAction*>("Undo_mn")->text(); }
};

TEST_F(ImportWizardTest, SwedbankIntoCashBookThenOverlappingFileTakesRulesAndSkipsImportedRows) {
    const auto before = filesUnder(root);
    open(sample("nov.csv", SwedbankHead + Salary + Shop3 + Shop2 + Shop1));
    EXPECT_FALSE(head->isEnabled());
    ASSERT_EQ(wizard->currentId(), ImportWizard::FormatPage);
    EXPECT_EQ(c<QLabel>("formatLabel")->text(), "Swedbank, kontoutdrag CSV");
    EXPECT_EQ(wizard->focusWidget(), wizard->button(QWizard::NextButton)); // Enter goes on
    wizard->next();
    ASSERT_EQ(wizard->currentId(), ImportWizard::RowsPage);
    EXPECT_EQ(column(1), QStringList({"2026-11-05", "2026-11-12", "2026-11-20", "2026-11-25"}));
    EXPECT_EQ(column(3), QStringList({"-120,00", "-88,50", "-312,00", "25 000,00"}));
    EXPECT_EQ(column(6), QStringList({"Ny", "Ny", "Ny", "Ny"}));

    table()->setCurrentCell(0, 1);
    EXPECT_EQ(offered(), QStringList({"Uttag", "Mat"})); // money out: never income, never the start
    choose(0, "Mat");
    EXPECT_EQ(column(4), QStringList({"Mat", "Mat", "Mat", ""}));
    EXPECT_EQ(column(6),
              QStringList({"Regel: ICA NARA SOLNA", "Regel: ICA NARA SOLNA", "Regel: ICA NARA SOLNA", "Ny"}));
    table()->setCurrentCell(3, 1);
    EXPECT_EQ(offered(), QStringList({"Insättning", "Lön"}));
    choose(3, "Lön");
    wizard->next();
    EXPECT_EQ(c<QLabel>("summary")->text(), "4 poster läses in");
    EXPECT_EQ(c<QLabel>("balanceCheck")->text(), "Banken 34 479,50 — kontot 24 589,50: skillnad 9 890,00");
    EXPECT_EQ(filesUnder(root), before); // nothing written before "Slutför"
    finish();
    EXPECT_FALSE(wizard->isVisible());
    wizard = nullptr;
    EXPECT_TRUE(head->isEnabled());
    EXPECT_EQ(head->postCount(), 7);
    EXPECT_EQ(undoText(), "Ångra: import av 4 poster från Swedbank");
    EXPECT_EQ(readFile(root / "Kassa" / "Importlogg").size(), 4u * 113);
    QStringList tips; // the bank's text on the rows of imported posts
    for (int r = 0; r < 10; ++r)
        tips << head->cashFrame()->grid()->item(r, 1)->toolTip();
    EXPECT_TRUE(tips.contains("KORTKÖP 261119 ICA NARA SOLNA")) << tips.join('|').toStdString();
    EXPECT_EQ(tips.count(""), 10 - 4);
    const auto afterFirst = filesUnder(root);

    // A statement of the next days overlaps the first: its old rows wait unticked, the new one takes
    // the rule.
    open(sample("dec.csv",
                SwedbankHead +
                    swedbankRow(5, "2026-11-28", "KORTK\xD6P 261127 ICA NARA SOLNA", "-45.00", "34434.50") +
                    Salary + Shop3));
    wizard->next();
    EXPECT_EQ(column(6), QStringList({"Redan inläst", "Redan inläst", "Regel: ICA NARA SOLNA"}));
    EXPECT_EQ(ticks(), "--x");
    EXPECT_EQ(column(4), QStringList({"Mat", "Lön", "Mat"}));
    wizard->next();
    EXPECT_EQ(c<QLabel>("summary")->text(), "1 post läses in, 2 hoppas över (2 redan inlästa)");
    finish();
    wizard = nullptr;
    EXPECT_EQ(head->postCount(), 8);
    EXPECT_EQ(undoText(), "Ångra: import av 1 post från Swedbank");

    // Each import is one step back.
    head->findChild<QAction*>("Undo_mn")->trigger();
    EXPECT_EQ(filesUnder(root), afterFirst);
    head->findChild<QAction*>("Undo_mn")->trigger();
    EXPECT_EQ(filesUnder(root), before);
}

TEST_F(ImportWizardTest, EachBanksSampleIntoACashBookAndABudgetAccountThenAgainAsAlreadyImported) {
    const QString fel = "Fel: ";
    const struct {
        std::string file;
        QString format;
        QStringList statuses; // oldest first; "Fel: " stands for any reason
        std::size_t posts;
    } cases[] = {
        {"swedbank.csv", "Swedbank, kontoutdrag CSV", {"Ny", "Ny", "Ny", "Ny"}, 4},
        {"swedbank-tabs.txt", "Swedbank, kontoutdrag CSV", {"Ny", fel}, 1},
        {"swedbank-english.csv", "Swedbank, kontoutdrag CSV (äldre engelsk layout)", {"Ny", "Ny", fel}, 2},
        {"nordea.csv", "Nordea, kontoutdrag CSV", {"Ny", "Ny", "Reserverad — hoppas över"}, 2},
        {"nordea-old.csv", "Nordea, kontoutdrag CSV (äldre layout)", {"Ny", "Ny"}, 2},
        {"seb.csv", "SEB, kontoutdrag CSV", {"Ny", "Ny", "Ny"}, 3},
        {"handelsbanken.xls", "Handelsbanken, kontoutdrag XLS", {"Ny", "Ny"}, 2},
        {"lansforsakringar.csv", "Länsförsäkringar, kontoutdrag CSV", {"Ny", "Ny"}, 2},
        {"ica.csv", "ICA Banken, kontoutdrag CSV", {fel, "Ny", "Ny"}, 2},
        {"statement1.ofx", "Nordbank, kontoutdrag OFX", {fel, "Ny", "Ny"}, 2},
        {"statement2.ofx", "Kontoutdrag OFX", {"Ny", fel}, 1},
        {"daymonth.qif", "Kontoutdrag QIF", {"Ny", "Ny"}, 2},
    };
    const struct {
        const char* account;
        int index;
        ledger::Kind kind;
    } accounts[] = {{"Kassa", 0, ledger::Kind::Cash}, {"Budget", 1, ledger::Kind::Budget}};
    for (const auto& a : accounts) {
        openAccount(a.index);
        for (const auto& c : cases) {
            SCOPED_TRACE(c.file + " into " + a.account);
            const std::size_t before = postsOnDisk(a.account, a.kind);
            open(sample(c.file, bankFile(c.file)));
            ASSERT_EQ(wizard->currentId(), ImportWizard::FormatPage);
            EXPECT_EQ(this->c<QLabel>("formatLabel")->text(), c.format);
            wizard->next();
            ASSERT_EQ(wizard->currentId(), ImportWizard::RowsPage);
            QStringList statuses = column(6);
            for (QString& s : statuses)
                if (s.startsWith(fel))
                    s = fel;
            EXPECT_EQ(statuses, c.statuses);
            chooseByDirection();
            wizard->next();
            finish();
            ASSERT_FALSE(wizard->isVisible());
            wizard = nullptr;
            EXPECT_EQ(postsOnDisk(a.account, a.kind), before + c.posts);

            // The same file again: what was read in is known, nothing is offered twice.
            open(sample(c.file, bankFile(c.file)));
            wizard->next();
            EXPECT_EQ(column(6).count("Redan inläst"), static_cast<int>(c.posts));
            EXPECT_EQ(ticks().count('x'), 0);
            wizard->reject();
            wizard = nullptr;
        }
    }
}

TEST_F(ImportWizardTest, QifDatesReadInTheOrderChosenOnTheFormatPage) {
    const struct {
        int order; // the combo's index
        QStringList dates;
    } cases[] = {
        {0, {"2023-04-03", "2023-04-05"}}, // day before month
        {1, {"2023-03-04", "2023-05-04"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.order);
        open(sample("kort.qif", bankFile("ambiguous.qif")));
        ASSERT_TRUE(this->c<QComboBox>("qifOrderCombo")->isVisible());
        this->c<QComboBox>("qifOrderCombo")->setCurrentIndex(c.order);
        wizard->next();
        EXPECT_EQ(column(1), c.dates);
        choose(0, "Uttag");
        choose(1, "Uttag");
        wizard->next();
        finish();
        wizard = nullptr;
        const std::string posts = readFile(root / "Kassa" / "KontoData");
        for (const QString& date : c.dates)
            EXPECT_NE(posts.find(date.toStdString()), std::string::npos) << date.toStdString();
        head->findChild<QAction*>("Undo_mn")->trigger();
    }
}

TEST_F(ImportWizardTest, RuleSavedWithASubTransactionGivesBothNextTime) {
    writeFile(root / "Kassa" / "Kategori", field("Lunch", 35));
    open(sample("nov.csv", SwedbankHead + Shop1));
    wizard->next();
    choose(0, "Mat");
    auto* sub = c<QComboBox>("subTransactionCombo");
    sub->setCurrentIndex(sub->findText("Lunch"));
    emit sub->activated(sub->currentIndex());
    wizard->next();
    finish();
    wizard = nullptr;

    open(sample("dec.csv", SwedbankHead + Shop2));
    wizard->next();
    EXPECT_EQ(column(4), QStringList{"Mat"});
    EXPECT_EQ(column(5), QStringList{"Lunch"});
    EXPECT_EQ(column(6), QStringList{"Regel: ICA NARA SOLNA"});
    wizard->next();
    finish();
    wizard = nullptr;
    const std::string posts = readFile(root / "Kassa" / "KontoData");
    const std::size_t length = ledger::recordLength(ledger::Kind::Cash);
    ASSERT_EQ(posts.size(), 5 * length);
    for (std::size_t n : {3u, 4u}) // the two imported posts, after the three of the account
        EXPECT_EQ(posts.substr(n * length + 37, 4), field("1", 4)) << n;
}

TEST_F(ImportWizardTest, ClosingTheMainWindowWithTheWizardOpenWritesNothing) {
    const struct {
        const char* state;
        std::function<void()> reach;
    } cases[] = {
        {"a rule and a new transaction staged on the rows page",
         [&] {
             open(sample("nov.csv", SwedbankHead + Shop1));
             wizard->next();
             choose(0, "Mat");
             t.dialogs.answerInput("Hyra");
             uitest::click(c<QWidget>("newTransactionButton"));
         }},
        {"a mapping to be saved on the format page",
         [&] {
             open(sample("eget.txt", "Dag;Vad;Summa\n2026-11-03;Hyra;-6500,00\n"));
             c<QCheckBox>("saveMappingBox")->setChecked(true);
             c<QLineEdit>("mappingName")->setText("Hushållskassan");
         }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.state);
        TearDown();
        SetUp();
        const auto before = filesUnder(root / "Kassa");
        c.reach();
        QPointer<ImportWizard> open = wizard;
        wizard = nullptr;
        const std::size_t told = t.dialogs.calls().size();
        head->close();
        QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        EXPECT_TRUE(!open || !open->isVisible());
        EXPECT_TRUE(head->ended());
        EXPECT_EQ(t.dialogs.calls().size(), told); // no error report
        EXPECT_EQ(filesUnder(root / "Kassa"), before);
        EXPECT_FALSE(std::filesystem::exists(root / "Importprofiler"));
    }
}

TEST_F(ImportWizardTest, AccountWithoutKategoriHasNoSubTransactionsToOffer) {
    std::filesystem::remove(root / "Kassa" / "Kategori");
    const std::size_t told = t.dialogs.calls().size();
    open(sample("nov.csv", SwedbankHead + Shop1));
    wizard->next();
    ASSERT_EQ(wizard->currentId(), ImportWizard::RowsPage);
    EXPECT_EQ(t.dialogs.calls().size(), told + 1);                      // the file dialog only
    EXPECT_EQ(c<QComboBox>("subTransactionCombo")->count(), 1);         // "(ingen)"
    EXPECT_FALSE(std::filesystem::exists(root / "Kassa" / "Kategori")); // nothing written yet
    choose(0, "Mat");
    wizard->next();
    EXPECT_FALSE(std::filesystem::exists(root / "Kassa" / "Kategori")); // not by the summary either
    finish();
    wizard = nullptr;
    EXPECT_EQ(head->postCount(), 4);
}

TEST_F(ImportWizardTest, BudgetAccountRowConfirmsThePlannedPostAndOthersComeConfirmed) {
    openAccount(1);
    ASSERT_EQ(head->accountName(), "Budget");
    open(sample("nov.csv", SwedbankHead + Shop3 + Shop2));
    wizard->next();
    choose(0, "Mat"); // the rule then gives the row of 2026-11-20 the planned post a day later
    EXPECT_EQ(column(6),
              QStringList({"Regel: ICA NARA SOLNA", "Bekräftar budgeterad post 2026-11-21 -300,00"}));
    wizard->next();
    EXPECT_EQ(c<QLabel>("summary")->text(), "2 poster läses in");
    EXPECT_EQ(c<QLabel>("budgetCheck")->text(),
              "1 budgeterad post bekräftas, verkligt mot budgeterat: -12,00");
    finish();
    wizard = nullptr;
    EXPECT_EQ(head->postCount(), 3);
    const std::string posts = readFile(root / "Budget" / "KontoData");
    EXPECT_NE(posts.find(budgetPost("2026-11-20", 4, -300, -312, -300, -400.5, true).substr(0, 36)),
              std::string::npos);
}

TEST_F(ImportWizardTest, RefusalAtFinishNamesTheRowAndKeepsTheWizardOpen) {
    const auto before = filesUnder(root);
    open(sample("stor.csv", SwedbankHead + swedbankRow(2, "2026-11-26", "ARV", "60000000.00", "") +
                                swedbankRow(1, "2026-11-25", "ARV", "60000000.00", "")));
    wizard->next();
    choose(0, "Insättning");
    wizard->next();
    finish();
    EXPECT_TRUE(wizard->isVisible());
    EXPECT_EQ(t.dialogs.calls().back().title, "Importen kan inte göras");
    EXPECT_TRUE(t.dialogs.lastText().startsWith("Raden 2026-11-26 60 000 000,00 ARV"))
        << t.dialogs.lastText().toStdString();
    EXPECT_EQ(filesUnder(root), before);
}

TEST_F(ImportWizardTest, UnknownLayoutMappedSavedAtFinishOnlyAndKnownNextTime) {
    const std::string bytes = "Dag;Vad;Summa\n2026-11-03;Hyra;-6500,00\n2026-11-04;Bidrag;1250,00\n";
    const auto before = filesUnder(root);
    open(sample("eget.txt", bytes));
    ASSERT_EQ(wizard->currentId(), ImportWizard::FormatPage);
    EXPECT_TRUE(c<QWidget>("mappingBox")->isVisible());
    EXPECT_EQ(c<QTableWidget>("previewTable")->rowCount(), 3);
    c<QCheckBox>("saveMappingBox")->setChecked(true);
    EXPECT_EQ(c<QLabel>("mappingError")->text(), "Skriv ett namn för formatet.");
    EXPECT_FALSE(wizard->button(QWizard::NextButton)->isEnabled());
    c<QLineEdit>("mappingName")->setText("Hushållskassan");
    EXPECT_EQ(c<QLabel>("mappingError")->text(), "");
    wizard->next();
    ASSERT_EQ(wizard->currentId(), ImportWizard::RowsPage);
    EXPECT_EQ(column(2), QStringList({"Hyra", "Bidrag"}));

    // A new transaction is staged: offered at once, written only with the import.
    t.dialogs.answerInput("Hyra");
    table()->setCurrentCell(0, 1);
    uitest::click(c<QWidget>("newTransactionButton"));
    EXPECT_EQ(column(4).at(0), "Hyra");
    uitest::pressKey(wizard, Qt::Key_Escape); // Avbryt
    wizard = nullptr;
    EXPECT_TRUE(head->isEnabled());
    EXPECT_EQ(filesUnder(root), before);

    open(sample("eget.txt", bytes));
    EXPECT_TRUE(c<QWidget>("mappingBox")->isVisible()); // the Avbryt above saved nothing
    c<QCheckBox>("saveMappingBox")->setChecked(true);
    c<QLineEdit>("mappingName")->setText("Hushållskassan");
    wizard->next();
    choose(1, "Insättning");
    wizard->next();
    EXPECT_EQ(c<QLabel>("summary")->text(), "1 post läses in, 1 hoppas över (1 ej vald)");
    finish();
    wizard = nullptr;
    EXPECT_EQ(undoText(), "Ångra: import av 1 post från Hushållskassan");

    open(sample("eget2.txt", "Dag;Vad;Summa\n2026-12-01;Hyra;-6500,00\n"));
    EXPECT_FALSE(c<QWidget>("mappingBox")->isVisible());
    EXPECT_EQ(c<QLabel>("formatLabel")->text(), "Hushållskassan, sparat format");
}

TEST_F(ImportWizardTest, FileThatCannotBeReadIsToldOnTheFilePage) {
    const struct {
        std::string name, bytes;
        QString told;
    } cases[] = {
        {"tom.csv", "", "Filen är tom."},
    };
    for (const auto& c : cases) {
        open(sample(c.name, c.bytes));
        EXPECT_EQ(wizard->currentId(), ImportWizard::FilePage) << c.name;
        EXPECT_EQ(control<QLabel>(*wizard, "fileError")->text(), c.told);
        EXPECT_FALSE(wizard->button(QWizard::NextButton)->isEnabled());
        wizard->reject();
        wizard = nullptr;
    }
}

} // namespace
