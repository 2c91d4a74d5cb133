#include "catalogue/ui/TransForm.h"

#include "FakeCatalogueHost.h"
#include "UiHelpers.h"
#include "app/HeadForm.h"
#include "catalogue/ui/CatalogueProcedures.h"
#include "store/Errors.h"
#include "store/RecordFile.h"
#include "store/Records.h"
#include "support/ErrorReport.h"

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

#include <gtest/gtest.h>

#include <memory>

namespace {

using fixtures::cashPost;
using fixtures::field;
using fixtures::transRec;
using uitest::control;
using uitest::FakeCatalogueHost;

struct Window {
    Window(FakeCatalogueHost& host, const QString& mode)
        : form(std::make_unique<catalogue::TransForm>(host, mode)) {
        form->show();
    }
    QLineEdit* nameBox() { return control<QLineEdit>(*form, "nameBox"); }
    QRadioButton* option(const char* name) { return control<QRadioButton>(*form, name); }
    QPushButton* ok() { return control<QPushButton>(*form, "okButton"); }
    QPushButton* cancel() { return control<QPushButton>(*form, "cancelButton"); }
    QString hint() { return control<QLabel>(*form, "hintLabel")->text(); }
    std::string enabled(std::initializer_list<const char*> names) { return uitest::enabledOf(*form, names); }
    void enter(const QString& text) {
        nameBox()->setText(text);
        uitest::pressEnter(nameBox());
    }
    std::unique_ptr<catalogue::TransForm> form;
};

const std::string Posts = cashPost("2026-01-01", 1, 0, 0) + cashPost("2026-01-02", 2, 100, 100) +
                          cashPost("2026-01-03", 3, -50, 50) + cashPost("2026-01-04", 2, 30, 80);

TEST(TransForm, NewTransactionWithSign) {
    FakeCatalogueHost host("Ek", Posts, fixtures::standardTransakt() + transRec("Fond", ' '));
    Window w(host, "ny");
    EXPECT_EQ(w.form->windowTitle(), "Nytt transaktionsnamn");
    EXPECT_FALSE(host.window.isEnabled());
    EXPECT_EQ(w.enabled({"changeOption", "deleteOption", "incomeOption", "expenseOption", "okButton"}),
              "00000");
    EXPECT_EQ(w.cancel()->text(), "Avbryt ny transaktion");
    EXPECT_EQ(w.hint(), "Skriv ett namn på transaktionen. Avsluta med Enter !");
    EXPECT_EQ(w.option("incomeOption")->toolTip(), "Inkomstpost");
    EXPECT_TRUE(host.tc.dialogs.calls().empty()); // a standard transaction exists: no hint

    w.enter(" Hyra ");
    EXPECT_EQ(w.hint(), "Markera ev. transaktionen för 'Inkomst' eller 'Utgift'");
    EXPECT_EQ(w.enabled({"incomeOption", "expenseOption", "okButton"}), "110");

    w.option("expenseOption")->click();
    EXPECT_EQ(w.hint(), "Nytt transaktionsnamn är Hyra som Utgift\nBekräfta med OK, eller avbryt med "
                        "'Avbryt ny transaktion'");
    EXPECT_EQ(w.enabled({"incomeOption", "okButton"}), "01");
    w.ok()->click();

    EXPECT_EQ(host.file("Transakt"),
              fixtures::standardTransakt() + transRec("Fond", ' ') + transRec("Hyra", '-'));
    EXPECT_EQ(host.main.name, "Hyra");
    EXPECT_EQ(host.main.number, 5);
    EXPECT_EQ(host.calls, (QStringList{"disableActionButton", "reloadTransactionList", "box Hyra",
                                       "unlockAmountBox", "pressCancel", "box ", "pressCancel", "choose 5"}));
    EXPECT_TRUE(host.window.isEnabled() && !w.form->isVisible());
    EXPECT_TRUE(w.form->mode().isEmpty());
    // The window's place went into its pair of PosFil.
    const store::PosRec pos(fixtures::readFile(host.tc.ctx.paths.posFil()));
    EXPECT_TRUE(pos.position(static_cast<int>(store::WindowPair::TransForm)).has_value());
}

TEST(TransForm, NewNeutralTransactionOfferedWhileNoneExists) {
    FakeCatalogueHost host("Ek", Posts);
    Window w(host, "ny");
    ASSERT_EQ(host.tc.dialogs.calls().size(), 1u);
    EXPECT_TRUE(uitest::showed(
        host.tc.dialogs, 0, "Standardtransaktion för fondkonto",
        "Om kontot är ett fondkonto, och transaktionen avser ett regelbundet uppdaterande av  "
        "kontot från ex.vis kontoutdrag på internet, kan en standardtransaktion skapas:\r\n\r\n"
        "Förslag: ex. \"Ändr. andelar & kurs\"eller något liknande adekvat namn.\r\n\r\n"
        "Då behöver transaktionen inte bindas till utgift eller inkomst, vilket ju kan variera "
        "från gång till annan !\r\n\r\nEtt klick på rubriken\"Saldo\", sedan kopiera och klistra "
        "in ett nytt saldo från internet, och programmet räknar fram och presenterar ändringen "
        "med denna standardtransaktion !\r\n\r\nOBS - fungerar endast med en enda sådan "
        "transaktion ! Övriga måste ha en koppling till utgift eller inkomst !"));
    w.enter("Ändrad kurs");
    EXPECT_TRUE(w.ok()->isEnabled()); // OK now makes a neutral one
    w.ok()->click();
    EXPECT_EQ(host.file("Transakt"), fixtures::standardTransakt() + transRec("\xC4ndrad kurs", ' '));
    EXPECT_EQ(host.main.sign, QString());

    // Once one exists, the hint is not shown again; nor is it while sub-transactions are listed.
    host.tc.dialogs.clear();
    Window again(host, "ny");
    FakeCatalogueHost other("Ek", Posts);
    other.mode = "0";
    Window sub(other, "ny");
    EXPECT_TRUE(host.tc.dialogs.calls().empty());
    EXPECT_TRUE(other.tc.dialogs.calls().empty());
}

TEST(TransForm, EmptyNameAsksWhetherToLeave) {
    FakeCatalogueHost host("Ek", Posts);
    host.mode = "0";
    Window w(host, "ny");
    host.tc.dialogs.answerNo().answerYes();
    w.enter("   ");
    EXPECT_TRUE(uitest::showed(host.tc.dialogs, -1, "Saknat transaktionsnamn",
                               "Inget namn har angivits på transaktionen !\r\n\r\nVill "
                               "du avsluta och återvända till huvudformuläret ?"));
    EXPECT_TRUE(w.form->isVisible());
    uitest::pressEnter(w.nameBox());
    EXPECT_FALSE(w.form->isVisible());
    EXPECT_EQ(host.file("Transakt"), fixtures::standardTransakt());
    EXPECT_TRUE(host.window.isEnabled());
}

TEST(TransForm, RenameTouchesNoPost) {
    FakeCatalogueHost host("Ek", Posts);
    host.main = {"Insättning", 2, "+"};
    Window w(host, "chg");
    EXPECT_EQ(w.form->windowTitle(), "Ändra/Radera transaktionsnamn");
    EXPECT_TRUE(w.nameBox()->isReadOnly());
    EXPECT_EQ(w.nameBox()->text(), "Insättning");
    EXPECT_EQ(w.enabled({"changeOption", "incomeOption"}), "10");
    EXPECT_EQ(w.cancel()->text(), "Avbryt transaktionsändr.");

    host.tc.dialogs.answerYes();
    w.option("changeOption")->click();
    EXPECT_EQ(host.tc.dialogs.calls().back().text,
              "Du kan förändra transaktionen\r\n\r\nInsättning\r\n\r\ntill annan text, genom att skriva "
              "in en ny sådan / editera i textfältet !\r\n\r\nÄndringen kommer också att omfatta alla "
              "tidigare poster som har denna transaktion !\r\n\r\nVill du ändra denna transaktionstext ?");
    EXPECT_FALSE(w.nameBox()->isReadOnly());
    EXPECT_FALSE(w.option("deleteOption")->isEnabled());
    EXPECT_EQ(w.hint(), "Ändra befintligt namn, eller skriv ett nytt\nTryck därefter ENTER !");
    EXPECT_EQ(w.nameBox()->toolTip(), "Ändra eller ange nytt transaktionsnamn");

    // Nej leaves the new text for more editing, Avbryt gives the old name back; neither changes anything.
    host.tc.dialogs.answerNo().answerCancel();
    w.enter("Utgifter");
    EXPECT_EQ(w.nameBox()->text(), "Utgifter");
    uitest::pressEnter(w.nameBox());
    EXPECT_EQ(w.nameBox()->text(), "Insättning");
    EXPECT_EQ(host.file("Transakt"), fixtures::standardTransakt());
    EXPECT_TRUE(w.form->isVisible());

    host.tc.dialogs.clear().answerYes().answerNo();
    w.enter("Lön");
    EXPECT_EQ(host.tc.dialogs.calls()[0].title, "Ändrat transaktionsnamn");
    EXPECT_TRUE(host.tc.dialogs.calls()[0].cancelButton);
    EXPECT_EQ(host.tc.dialogs.calls()[0].text,
              "Transaktionsnamnet har ändrats från\r\n\r\nInsättning\r\n\r\ntill\r\n\r\n"
              "Lön\r\n\r\nÄr ändringen OK ? (Återgå med 'Avbryt' !)");
    EXPECT_EQ(host.file("Transakt"),
              transRec("Kontostart", ' ') + transRec("L\xF6n", '+') + transRec("Uttag", '-'));
    EXPECT_EQ(host.file("KontoData"), Posts);
    EXPECT_TRUE(uitest::showed(host.tc.dialogs, -1, "Transaktionsändring",
                               "Transaktionen  'Insättning'\r\n\r\nhar nu bytts ut mot\r\n\r\n'Lön'\r\n\r\n"
                               "i transaktionslistan\r\n\r\n"));
    EXPECT_FALSE(w.form->isVisible());
}

// A failed commit first: it is reported with the last post the change reached, that post's amount
// and balance before and after, and nothing changes; the second attempt goes through.
TEST(TransForm, SignChangeRewritesThePosts) {
    FakeCatalogueHost host("Ek", Posts);
    host.main = {"Insättning", 2, "+"};
    for (const bool failing : {true, false}) {
        Window w(host, "chg");
        host.tc.dialogs.answerNo().answerYes();
        w.option("changeOption")->click();
        EXPECT_EQ(host.tc.dialogs.calls().back().title, "Teckenbyte");
        EXPECT_EQ(w.hint(), "Transaktionen har hittills gällt som Inkomst\nKlicka på fortsatt "
                            "tillämpning, Inkomst eller Utgift !");
        EXPECT_EQ(w.enabled({"incomeOption", "changeOption"}), "10");
        EXPECT_EQ(w.option("expenseOption")->toolTip(), "Sätt som Utgiftspost !");

        w.option("expenseOption")->click();
        EXPECT_EQ(w.hint(), "Slutför ändringen av transaktionen till Insättning som Utgift genom att "
                            "klicka på OK.\nEller avbryt ändringen genom att klicka på 'Avbryt transaktion'");
        host.calls.clear();
        if (failing)
            uitest::failSavesOf("KontoData");
        if (failing)
            host.tc.dialogs.answerNo(); // no error report
        w.ok()->click();
        store::setCommitFaultHook({});
        if (failing) {
            EXPECT_EQ(host.tc.ctx.error.errorText, "Input/output error");
            EXPECT_EQ(host.tc.ctx.error.headline.rfind("Ett fel har uppstått i subrutinen TransChange", 0),
                      0u);
            const auto details = support::splitDetails(host.tc.ctx.error.details);
            ASSERT_GE(details.size(), 5u);
            EXPECT_EQ(details[0], "Fel i rutinen TransChange");
            EXPECT_EQ(std::vector<std::string>(details.end() - 5, details.end()),
                      (std::vector<std::string>{"PostNr 4", "Belopp för ändr 30", "Saldo för ändr. 80",
                                                "Res Belopp efter ändr -30", "Res Saldo efter ändr. -180"}));
            EXPECT_EQ(host.file("KontoData"), Posts);
            EXPECT_EQ(host.kontoData().image(), Posts);
            EXPECT_EQ(host.file("Transakt"), fixtures::standardTransakt());
            EXPECT_FALSE(host.calls.contains("reloadTransactionList"));
            EXPECT_TRUE(w.form->isVisible()); // Avbryt gives the main window back
            continue;
        }
        EXPECT_EQ(host.file("KontoData"),
                  cashPost("2026-01-01", 1, 0, 0) + cashPost("2026-01-02", 2, -100, -100) +
                      cashPost("2026-01-03", 3, -50, -150) + cashPost("2026-01-04", 2, -30, -180));
        EXPECT_EQ(host.file("Transakt"),
                  transRec("Kontostart", ' ') + transRec("Ins\xE4ttning", '-') + transRec("Uttag", '-'));
        EXPECT_TRUE(
            uitest::showed(host.tc.dialogs, -1, "Ändring av transaktion ",
                           "Kontoposterna har kontrollräknats efter operationen, och är korrekta !\r\n"));
        EXPECT_TRUE(host.calls.contains("balanceCheck 2"));
        EXPECT_TRUE(host.calls.contains("reloadLedgerView"));
        EXPECT_EQ(host.main.sign, "-");
    }
}

TEST(TransForm, DeleteRemovesThePostsAndReportsTheTotal) {
    FakeCatalogueHost host("Ek", Posts);
    host.main = {"Insättning", 2, "+"};
    Window w(host, "chg");
    host.tc.dialogs.answerYes();
    w.option("deleteOption")->click();
    EXPECT_TRUE(host.tc.dialogs.calls()[0].text.startsWith(
        "Du vill radera transaktionen\r\n\r\nInsättning\r\n\r\nfrån detta konto ! ?\r\n\r\n"));
    EXPECT_TRUE(host.tc.dialogs.calls()[0].text.endsWith(
        "Utfallet meddelas efter genomgången !\r\n\r\nVill du ta bort transaktionen från kontot nu ?\r\n"));
    EXPECT_EQ(host.file("KontoData"), cashPost("2026-01-01", 1, 0, 0) + cashPost("2026-01-03", 3, -50, -50) +
                                          "          " + cashPost("2026-01-03", 3, -50, 50).substr(10) +
                                          "          " + cashPost("2026-01-04", 2, 30, 80).substr(10));
    EXPECT_EQ(host.file("Transakt"),
              transRec("Kontostart", ' ') + std::string(36, ' ') + transRec("Uttag", '-'));
    EXPECT_EQ(host.postCount(), 2);
    EXPECT_TRUE(host.calls.contains("balanceCheck 2"));
    EXPECT_TRUE(uitest::showed(
        host.tc.dialogs, -1, "Radering av transaktion",
        "2 st. kontopost(er) innehållande transaktionen\r\n\r\nInsättning\r\n\r\nhar avlägsnats "
        "!\r\n\r\n(Totalsumman av borttagna belopp är 130)\r\n\r\nÖvriga kontoposter har "
        "kontrollräknats efter operationen, och är korrekta !\r\n\n"));
    EXPECT_FALSE(w.form->isVisible());
}

// When every post uses the transaction, deleting it takes the whole account or nothing: No and a
// failed removal leave the account and its catalogue as they were.
TEST(TransForm, DeletingATransactionEveryPostUsesAsksToRemoveTheAccount) {
    const struct {
        std::string posts;
        catalogue::TransactionChoice main;
        QString question;
    } cases[] = {
        {cashPost("2026-01-01", 1, 0, 0),
         {"Kontostart", 1, QString()},
         "Du tar bort den enda posten på kontot !"},
        {cashPost("2026-01-01", 2, 100, 100) + cashPost("2026-01-02", 2, 50, 150) +
             cashPost("2026-01-03", 2, 30, 180),
         {"Insättning", 2, "+"},
         "Samtliga 3 poster på kontot innehåller transaktionen\r\n\r\nInsättning\r\n\r\n"
         "Raderas transaktionen, tas alla kontots poster bort."},
    };
    for (const auto& c : cases) {
        FakeCatalogueHost host("Ek", c.posts);
        host.main = c.main;
        const std::string kontoFil = fixtures::readFile(host.tc.ctx.paths.kontoFil());
        const auto deleteAnswering = [&](bool removal, const char* failingFile) {
            host.tc.dialogs.clear();
            Window w(host, "chg");
            host.tc.dialogs.answerYes();
            removal ? host.tc.dialogs.answerYes() : host.tc.dialogs.answerNo();
            if (failingFile)
                host.tc.dialogs.answerNo(); // no error report
            if (failingFile)
                uitest::failSavesOf(failingFile);
            w.option("deleteOption")->click();
            store::setCommitFaultHook({});
            EXPECT_TRUE(!w.form->isVisible() && host.window.isEnabled());
            return host.tc.dialogs.titles();
        };
        const auto unchanged = [&](const char* answer) {
            EXPECT_EQ(host.file("KontoData"), c.posts) << answer;
            EXPECT_EQ(host.kontoData().image(), c.posts) << answer; // the account is open again
            EXPECT_EQ(host.file("Transakt"), fixtures::standardTransakt()) << answer;
            EXPECT_EQ(fixtures::readFile(host.tc.ctx.paths.kontoFil()), kontoFil) << answer;
        };

        EXPECT_EQ(deleteAnswering(false, nullptr).back(), "Ta bort konto ? ?");
        EXPECT_EQ(host.tc.dialogs.lastText(), c.question +
                                                  "\r\n\r\nDärmed avslutar du också hela kontot !\r\n\r\n\n"
                                                  "Vill du fortsätta ?");
        unchanged("No");
        EXPECT_FALSE(host.calls.contains("Reducera_Konto"));

        // Yes, and the removal fails: it is reported as the failure it is.
        EXPECT_EQ(deleteAnswering(true, "KontoFil"),
                  (QStringList{"Kontokontroll vid transaktionsändring", "Ta bort konto ? ?",
                               "Felspec. = Input/output error"}));
        unchanged("Yes, failing");

        // The removal says it once; the window adds nothing.
        EXPECT_EQ(deleteAnswering(true, nullptr), (QStringList{"Kontokontroll vid transaktionsändring",
                                                               "Ta bort konto ? ?", "Konto borttaget"}));
        EXPECT_EQ(host.calls.last(), "Reducera_Konto");
        EXPECT_FALSE(std::filesystem::exists(host.tc.ctx.paths.accountFolder(host.name)));
        EXPECT_EQ(fixtures::readFile(host.tc.ctx.paths.kontoFil()),
                  std::string(35, ' ') + kontoFil.substr(35));
    }
}

// Through the main window: the removal of the account is told once, by the removal itself, and a
// failed removal is told as the failure it is, with the account open again as it was.
TEST(TransForm, RemovingTheLastAccountThroughTheMainWindowIsToldOnce) {
    uitest::TestContext t;
    const auto root = t.ctx.paths.dataRoot();
    fixtures::writeRegister(t.ctx.paths.dataRoot(), fixtures::kontoRec("Ensam", "1", "Ek"));
    fixtures::writeAccount(root, "Ensam",
                           cashPost("2026-01-01", 2, 100, 100) + cashPost("2026-01-02", 2, 50, 150));
    app::HeadForm head(t.ctx);
    head.Form_Load();
    ASSERT_EQ(head.postCount(), 2);
    const auto before = fixtures::readFile(root / "Ensam" / "KontoData");
    head.catalogueAccess().setChosenMain({"Insättning", 2, "+"});
    {
        catalogue::TransForm failing(head.catalogueAccess(), "chg");
        failing.show();
        t.dialogs.clear().answerYes().answerYes().answerNo(); // no error report
        uitest::failSavesOf("");
        failing.findChild<QRadioButton*>("deleteOption")->click();
        store::setCommitFaultHook({});
        EXPECT_EQ(t.dialogs.titles(), (QStringList{"Kontokontroll vid transaktionsändring",
                                                   "Ta bort konto ? ?", "Felspec. = Input/output error"}));
        EXPECT_EQ(fixtures::readFile(root / "Ensam" / "KontoData"), before);
        EXPECT_EQ(fixtures::readFile(t.ctx.paths.kontoFil()), fixtures::kontoRec("Ensam", "1", "Ek"));
        EXPECT_EQ(head.accountName(), "Ensam");
        EXPECT_EQ(head.postCount(), 2);
        EXPECT_TRUE(head.isEnabled());
    }
    head.catalogueAccess().setChosenMain({"Insättning", 2, "+"});
    catalogue::TransForm form(head.catalogueAccess(), "chg");
    form.show();
    t.dialogs.clear().answerYes().answerYes().answerNo().answerNo();
    form.findChild<QRadioButton*>("deleteOption")->click();
    EXPECT_EQ(t.dialogs.titles(), (QStringList{"Kontokontroll vid transaktionsändring", "Ta bort konto ? ?",
                                               "Alla konton raderade", "Inget konto finns upplagt !",
                                               "KONTOUPPGIFT", "KONTOUPPGIFT"}));
    EXPECT_FALSE(std::filesystem::exists(root / "Ensam"));
    EXPECT_FALSE(std::filesystem::exists(t.ctx.paths.kontoFil()));
    EXPECT_TRUE(!form.isVisible() && head.isEnabled());
}

TEST(TransForm, BudgetDeleteReportsBothTotalsAndUnstorableNamesAreRefused) {
    const std::string posts = fixtures::budgetPost("2026-01-01", 1, 0, 0, 0, 0, true) +
                              fixtures::budgetPost("2026-01-02", 3, -100, -90, -100, -90, true) +
                              fixtures::budgetPost("2026-01-03", 2, 40, 50, -60, -40, false);
    FakeCatalogueHost host("Bg", posts);
    host.main = {"Uttag", 3, "-"};
    Window w(host, "chg");
    host.tc.dialogs.answerYes();
    w.option("deleteOption")->click();
    EXPECT_TRUE(
        uitest::showed(host.tc.dialogs, -1, "Radering av transaktion ",
                       "1 st. kontopost(er) innehållande transaktionen\r\n\r\nUttag\r\n\r\nhar nu avlägsnats "
                       "!\r\n\r\n(Totalsumman av borttagna Budgetbelopp är -100)\r\n\r\n(Totalsumman av "
                       "borttagna Verkl.belopp är -90)\r\n\r\nÖvriga kontoposter har kontrollräknats efter "
                       "operationen, och är korrekta !\r\n\n"));
    EXPECT_EQ(host.file("KontoData").substr(77, 77),
              fixtures::budgetPost("2026-01-03", 2, 40, 50, 40, 50, false));

    // A character Windows-1252 cannot hold is refused before anything is stored.
    FakeCatalogueHost other("Ek", Posts);
    other.mode = "0";
    Window n(other, "ny");
    n.enter("Resa \u2708");
    EXPECT_EQ(other.tc.dialogs.calls().back().text,
              "Namnet innehåller tecken som inte kan sparas !\nSkriv namnet med andra tecken.");
    EXPECT_FALSE(n.option("incomeOption")->isEnabled());
    EXPECT_EQ(other.file("Transakt"), fixtures::standardTransakt());
}

TEST(TransForm, HelpAndUserClose) {
    FakeCatalogueHost host("Ek", Posts);
    Window w(host, "ny");
    host.tc.dialogs.clear();
    w.form->findChild<QAction*>("hlp_mn")->trigger();
    EXPECT_EQ(host.tc.platform.helpContexts, std::vector<int>{20000});
    w.form->close();
    EXPECT_TRUE(host.window.isEnabled());
    EXPECT_EQ(host.calls, (QStringList{"box ", "pressCancel"}));
}

TEST(CatalogueProcedures, ChgAccountTransChecksOnlyOnASignChange) {
    FakeCatalogueHost host("Ek", Posts);
    auto result = catalogue::ChgAccountTrans(host, &host.window, {2, '+', 3, '-', true, 4});
    ASSERT_TRUE(result);
    EXPECT_EQ(result->changedPosts, 2);
    EXPECT_EQ(host.file("KontoData"),
              cashPost("2026-01-01", 1, 0, 0) + cashPost("2026-01-02", 3, -100, -100) +
                  cashPost("2026-01-03", 3, -50, -150) + cashPost("2026-01-04", 3, -30, -180));
    EXPECT_EQ(host.calls, (QStringList{"balanceCheck 2", "setRecountStart 4", "reloadLedgerView"}));
    host.calls.clear();
    result = catalogue::ChgAccountTrans(host, &host.window, {3, '-', 3, '-', false, 2});
    EXPECT_EQ(host.calls, (QStringList{"setRecountStart 2", "reloadLedgerView"}));
}

// A replacement that fails is reported with the post it stood at, that post's amounts and balances
// before and after the change, and the account's files stay as they were.
TEST(CatalogueProcedures, FailedChgAccountTransReportsThePostBeforeAndAfter) {
    const std::string budgetPosts = fixtures::budgetPost("2026-01-01", 1, 0, 0, 0, 0, true) +
                                    fixtures::budgetPost("2026-01-02", 2, 100, 90, 100, 90, true);
    const struct {
        const char* kind;
        std::string posts;
        std::vector<std::string> lines;
    } cases[] = {
        {"Ek",
         Posts,
         {"Belopp för ändr 100", "Saldo för ändr. 100", "Res Belopp efter ändr -100",
          "Res Saldo efter ändr. -100"}},
        {"Bg",
         budgetPosts,
         {"Budgetbelopp för ändr 100", "Verkl.belopp för ändr 90", "Budg.saldo före ändr. 100",
          "Verkl.saldo före ändr 90", "Res Budgetbelopp efter ändr -100", "Res Verkl.belopp efter ändr -90",
          "Res Budg.saldo efter ändr. -100", "Res verkl.saldo efter ändr -90"}},
    };
    for (const auto& c : cases) {
        FakeCatalogueHost host(QString::fromLatin1(c.kind), c.posts);
        uitest::failSavesOf("", store::CommitStep::Write);
        host.tc.dialogs.answerNo(); // no error report
        const auto result = catalogue::ChgAccountTrans(host, &host.window, {2, '+', 3, '-', false, 2});
        store::setCommitFaultHook({});
        EXPECT_FALSE(result) << c.kind;
        std::vector<std::string> expected{"Fel i rutinen ChgAccountTrans",
                                          "vid försök att ändra transaktion i kontopost",
                                          "Tecken före ändring [+]", "Tecken ändras till [-]"};
        expected.insert(expected.end(), c.lines.begin(), c.lines.end());
        expected.insert(expected.end(), {"PostNr 2", "Felet uppstod i konto Hushåll"});
        EXPECT_EQ(support::splitDetails(host.tc.ctx.error.details), expected) << c.kind;
        EXPECT_EQ(host.file("KontoData"), c.posts) << c.kind;
    }
}

} // namespace
