#include "accounts/ui/NyKontoForm.h"

#include "TestContext.h"
#include "UiHelpers.h"
#include "store/Errors.h"
#include "store/RecordFile.h"
#include "store/Records.h"

#include <QApplication>
#include <QCloseEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

#include <gtest/gtest.h>

#include <memory>

// QEvent lets a class of this name mark an event as coming from the window system, as QtTest
// does for its key events; the close button of the title bar sends such a close event.
class QSpontaneKeyEvent {
public:
    static void mark(QEvent& event) { event.setSpontaneous(); }
};

namespace {

namespace fs = std::filesystem;
using uitest::control;

const QString CRLF = "\r\n";

// hintLabel shows the texts with plain line feeds.
QString shown(QString text) {
    return text.replace(CRLF, "\n");
}

const QString Instruction =
    "Skriv in uppgifter om Kontonamn, Kontonummer, samt vilken kontotyp (Budget eller Enkel)"
    " som du avser.\r\n\r\nNär du är klar klickar du på OK !";

// The main window as the form sees it: records what it is asked to do.
class FakeHost : public accounts::NyKontoHost {
public:
    QWidget window;
    QStringList calls;
    bool accounts = false;

    QWidget* hostWindow() override { return &window; }
    QString workingDate() const override { return "2026-11-30"; }
    QString userName() const override { return "Åsa"; }
    bool hasAccounts() const override { return accounts; }
    void closeAccountFiles() override { calls << "closeAccountFiles"; }
    void Inläs_Kontofil() override {
        calls << "Inläs_Kontofil";
        accounts = true;
    }
    void NoAccount() override { calls << "NoAccount"; }
};

class NyKontoFormTest : public ::testing::Test {
protected:
    void SetUp() override {
        host.window.show();
        form = std::make_unique<accounts::NyKontoForm>(tc.ctx, host);
        form->show();
    }
    void TearDown() override { store::setCommitFaultHook({}); }

    QLineEdit* text1() { return control<QLineEdit>(*form, "nameBox"); }
    QLineEdit* text2() { return control<QLineEdit>(*form, "numberBox"); }
    QRadioButton* option(const char* name) { return control<QRadioButton>(*form, name); }
    QLabel* label4() { return control<QLabel>(*form, "hintLabel"); }
    QColor label4Colour() { return label4()->palette().color(QPalette::WindowText); }
    void ok() { control<QPushButton>(*form, "okButton")->click(); }
    void fill(const QString& name, const QString& number, const char* optionName) {
        text1()->setText(name);
        text2()->setText(number);
        if (optionName)
            option(optionName)->click();
    }
    std::vector<std::string> dataRoot() const { return tc.drive.list("MoniData"); }
    QString summary(const QString& name, const QString& number, const QString& kind) const {
        return "Sammanfattning av ditt nya konto:\r\n\r\nNytt kontonamn = " + name +
               "\r\n\r\nNytt kontonummer = " + number + "\r\n\r\nDu har valt kontotyp: " + kind +
               "\r\n\r\nDitt nya konto placeras på:\r\n\r\n\n" +
               QString::fromStdString(tc.drive.path().string()) + "/MoniData/" + name +
               "\r\n\r\nÄr uppgifterna riktiga ?";
    }

    uitest::TestContext tc;
    FakeHost host;
    std::unique_ptr<accounts::NyKontoForm> form;
};

TEST_F(NyKontoFormTest, OpensWithItsControlsAndDisablesTheMainWindow) {
    EXPECT_EQ(form->windowTitle(), "Nytt konto");
    EXPECT_EQ(uitest::textsOf(*form, {"nameTitle", "numberTitle", "budgetOption", "cashOption", "okButton",
                                      "cancelButton"}),
              (QStringList{"Nytt Kontonamn", "Nytt Kontonummer", "Budgetbokföring", "Enkel bokföring", "OK",
                           "Avbryt Nytt konto"}));
    EXPECT_EQ(text2()->toolTip(), "Skriv ev befintligt kontonummer");
    EXPECT_EQ(option("budgetOption")->toolTip(), "Nytt konto för Budgetbokföring");
    EXPECT_EQ(option("cashOption")->toolTip(), "Nytt konto för enkel bokföring");
    EXPECT_EQ(control<QPushButton>(*form, "okButton")->toolTip(), "Spara nytt konto");
    EXPECT_EQ(label4()->text(), shown(Instruction));
    EXPECT_TRUE(!host.window.isEnabled() && form->isEnabled());
    EXPECT_EQ(form->kind(), "");

    // An unset pair 5 gets the window's position on first opening.
    const store::RecordFile posFil(tc.ctx.paths.posFil(), store::PosRec::Length);
    EXPECT_TRUE(posFil.read<store::PosRec>(1).position(5).has_value());
}

TEST_F(NyKontoFormTest, ChecksStopAtTheFirstFaultWithItsTextAndColour) {
    struct Case {
        QString name;
        QString number;
        const char* option;
        QString text;
        QColor colour;
    };
    const QString noName =
        "Du har inte skrivit in något kontonamn till ditt nya konto !\r\n\r\n"
        "Återvänd till namnfältet och skriv in ett unikt kontonamn, eller avbryt 'Skapa nytt konto' !";
    const QString noNumber =
        "Du har inte skrivit in något kontonummer till ditt nya konto !\r\n\r\n"
        "Kontonummer är inte obligatoriskt att använda i programmet, men kan vara till god hjälp att "
        "definiera t ex ett bankkonto e dyl !\r\n\r\n"
        "Återvänd gärna till nummerfältet och skriv in ett kontonummer !";
    const QString noKind = "Du har inte gjort något val av kontotyp (Budget- eller Enkelt konto) !\r\n\r\n"
                           "Klicka på endera kontotyp, eller avbryt 'Nytt konto' !";
    // Options are clicked only from the case that needs one on: a chosen kind stays chosen.
    const Case cases[] = {
        {"   ", "123", nullptr, noName, accounts::NyKontoForm::Red},
        {"Mat/Hyra", "", nullptr, "Kontonamnet får inte innehålla tecknen / eller \\ !",
         accounts::NyKontoForm::Red},
        {"..", "1", nullptr, "Kontonamnet får inte vara . eller .. !", accounts::NyKontoForm::Red},
        {"Pengar 💰", "1", nullptr,
         "Kontonamnet innehåller tecken som inte kan sparas !\r\n\r\n"
         "Använd bokstäver, siffror och vanliga skiljetecken.",
         accounts::NyKontoForm::Red},
        {" Hushåll ", "  ", nullptr, noNumber, accounts::NyKontoForm::DarkBlue},
        {"Hushåll", "1234", nullptr, noKind, accounts::NyKontoForm::Red},
        {"Hushåll", "💰", "cashOption", "Kontonumret innehåller tecken som inte kan sparas !",
         accounts::NyKontoForm::Red},
        {"", "1234", nullptr, noName, accounts::NyKontoForm::Red},
    };
    for (const Case& c : cases) {
        fill(c.name, c.number, c.option);
        ok();
        EXPECT_EQ(label4()->text(), shown(c.text)) << c.name.toStdString();
        EXPECT_EQ(label4Colour(), c.colour) << c.name.toStdString();
        // The input stays as typed.
        EXPECT_EQ(text1()->text(), c.name);
        EXPECT_EQ(text2()->text(), c.number);
    }
    EXPECT_TRUE(tc.dialogs.calls().empty());
    EXPECT_EQ(dataRoot(), std::vector<std::string>{"PosFil"});
    EXPECT_TRUE(host.calls.isEmpty());
}

TEST_F(NyKontoFormTest, RefusesANameWhoseFolderExistsEvenWithoutARegisterRecord) {
    tc.drive.writeFile("MoniData/Semester/KontoData", "rester");
    fill("Semester", "1", "cashOption");
    ok();
    ASSERT_EQ(tc.dialogs.calls().size(), 1u);
    const auto& box = tc.dialogs.calls()[0];
    EXPECT_EQ(box.kind, uitest::ScriptedDialogs::Kind::Message);
    EXPECT_EQ(box.icon, support::Dialogs::Icon::Exclamation);
    EXPECT_EQ(box.title, "Redan befintligt konto");
    EXPECT_EQ(box.text, "Kontot, 'Semester', som du försöker skapa, existerar redan !\r\n\r\n"
                        "Välj annat kontonamn eller avbryt 'Nytt konto' !");
    EXPECT_EQ(dataRoot(), (std::vector<std::string>{"PosFil", "Semester"}));
    EXPECT_EQ(tc.drive.readFile("MoniData/Semester/KontoData"), "rester");
    EXPECT_TRUE(host.calls.isEmpty());
    EXPECT_TRUE(form->isVisible());
}

TEST_F(NyKontoFormTest, SummaryAnsweredNoAsksForCorrections) {
    fill("  Bil ", " 8327-9 ", "budgetOption");
    tc.dialogs.answerNo();
    ok();
    ASSERT_EQ(tc.dialogs.calls().size(), 1u);
    EXPECT_TRUE(uitest::showed(tc.dialogs, 0, "Nytt konto", summary("Bil", "8327-9", "Budget")));
    EXPECT_EQ(label4()->text(),
              "Rätta felaktiga uppgifter och klicka återigen på OK, eller avbryt 'Skapa nytt konto' !");
    EXPECT_EQ(label4Colour(), accounts::NyKontoForm::DarkBlue);
    EXPECT_EQ(dataRoot(), std::vector<std::string>{"PosFil"});
    EXPECT_TRUE(host.calls.isEmpty());
}

TEST_F(NyKontoFormTest, CreatesTheAccountAndClosesWhenNoMoreAreWanted) {
    fill("Hushåll", "1234-5678", "cashOption");
    EXPECT_EQ(form->kind(), "Ek");
    tc.dialogs.answerYes().answerNo();
    ok();

    EXPECT_EQ(tc.dialogs.titles(), (QStringList{"Nytt konto", "Fortsätt skapa konton"}));
    EXPECT_EQ(tc.dialogs.texts()[0], summary("Hushåll", "1234-5678", "Enkel"));
    EXPECT_EQ(tc.dialogs.texts()[1], "Vill du lägga till ytterligare ett konto ?");
    EXPECT_EQ(host.calls, (QStringList{"closeAccountFiles", "Inläs_Kontofil"}));
    EXPECT_EQ(tc.drive.readFile("MoniData/Hushåll/KontoData"), "2026-11-30"
                                                               "1   "
                                                               "0          "
                                                               "0          "
                                                               "       ");
    EXPECT_EQ(tc.drive.readFile("MoniData/KontoIni"), "1\r\n\xC5sa\r\n");
    EXPECT_EQ(tc.drive.readFile("MoniData/KontoFil").substr(0, 67),
              std::string("Hush\xE5ll") + std::string(28, ' ') + "1234-5678" + std::string(21, ' ') + "Ek");
    EXPECT_TRUE(host.window.isEnabled() && !form->isVisible());
}

TEST_F(NyKontoFormTest, AnotherAccountKeepsTheWindowOpenWithEmptyInput) {
    fill("Budget", "1", "budgetOption");
    label4()->setText("gammal text");
    tc.dialogs.answerYes().answerYes();
    ok();

    EXPECT_TRUE(form->isVisible() && !host.window.isEnabled());
    EXPECT_EQ(text1()->text(), "");
    EXPECT_EQ(text2()->text(), "");
    EXPECT_FALSE(option("budgetOption")->isChecked());
    EXPECT_FALSE(option("cashOption")->isChecked());
    EXPECT_EQ(form->kind(), "");
    EXPECT_EQ(label4()->text(), shown(Instruction));

    // The kind must be chosen again; the next account takes the next register record.
    fill("Kassa", "2", nullptr);
    ok();
    EXPECT_EQ(label4Colour(), accounts::NyKontoForm::Red);
    option("cashOption")->click();
    tc.dialogs.answerYes().answerNo();
    ok();
    EXPECT_EQ(tc.drive.readFile("MoniData/KontoIni"), "2\r\n\xC5sa\r\n");
    EXPECT_EQ(tc.drive.readFile("MoniData/KontoFil").size(), 2u * 82u);
    EXPECT_EQ(tc.drive.readFile("MoniData/Budget/KontoData").size(), 77u);
    EXPECT_EQ(tc.drive.readFile("MoniData/Kassa/KontoData").size(), 43u);
    EXPECT_TRUE(!form->isVisible() && host.window.isEnabled());
}

TEST_F(NyKontoFormTest, FailedCreationIsReportedAndLeavesTheOpenAccountAlone) {
    uitest::failSavesOf("KontoFil");
    fill("Hushåll", "1", "cashOption");
    tc.dialogs.answerYes().answerNo(); // the summary, then the error report offer
    ok();
    store::setCommitFaultHook({});

    EXPECT_EQ(tc.ctx.error.errorText, "Input/output error");
    EXPECT_EQ(tc.ctx.error.headline.rfind("Ett fel har uppstått i subrutinen Skapa_Konto", 0), 0u);
    EXPECT_EQ(tc.ctx.error.details.rfind("Fel i rutinen Skapa_Konto", 0), 0u);
    EXPECT_TRUE(host.calls.isEmpty());
    EXPECT_EQ(dataRoot(), std::vector<std::string>{"PosFil"});
    EXPECT_TRUE(form->isVisible());
    EXPECT_EQ(text1()->text(), "Hushåll");
    EXPECT_FALSE(host.window.isEnabled());
}

TEST_F(NyKontoFormTest, CancelGivesTheMainWindowBackAndOffersToEndWithoutAccounts) {
    const store::RecordFile before(tc.ctx.paths.posFil(), store::PosRec::Length);
    const auto placed = before.read<store::PosRec>(1).position(5);
    ASSERT_TRUE(placed);
    form->move(form->pos() + QPoint(40, 30));
    control<QPushButton>(*form, "cancelButton")->click();
    EXPECT_TRUE(host.window.isEnabled() && !form->isVisible());
    EXPECT_EQ(host.calls, QStringList{"NoAccount"});
    const store::RecordFile after(tc.ctx.paths.posFil(), store::PosRec::Length);
    EXPECT_NE(after.read<store::PosRec>(1).position(5), placed);

    // With accounts in the list the main window simply takes over again.
    FakeHost other;
    other.accounts = true;
    accounts::NyKontoForm second(tc.ctx, other);
    second.show();
    EXPECT_FALSE(other.window.isEnabled());
    control<QPushButton>(second, "cancelButton")->click();
    EXPECT_TRUE(other.window.isEnabled());
    EXPECT_TRUE(other.calls.isEmpty());
}

TEST_F(NyKontoFormTest, ClosingTheWindowNeverLeavesTheMainWindowDisabled) {
    // The user's close button acts as a cancel.
    QCloseEvent closeButton;
    QSpontaneKeyEvent::mark(closeButton);
    // Straight to the window: sendEvent would clear the mark.
    static_cast<QObject*>(form.get())->event(&closeButton);
    EXPECT_TRUE(closeButton.isAccepted());
    EXPECT_TRUE(host.window.isEnabled());
    EXPECT_TRUE(host.calls.isEmpty()); // asked once the window is gone
    QApplication::processEvents();
    EXPECT_EQ(host.calls, QStringList{"NoAccount"});

    // Closed by the program (at its end): only the main window is given back.
    FakeHost other;
    accounts::NyKontoForm second(tc.ctx, other);
    second.show();
    second.close();
    QApplication::processEvents();
    EXPECT_TRUE(other.window.isEnabled());
    EXPECT_TRUE(other.calls.isEmpty());
}

} // namespace
