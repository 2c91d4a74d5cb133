// Removing the open account and a register name whose files are gone, through the main window.

#include "TestContext.h"
#include "UiHelpers.h"
#include "accounts/NewAccount.h"
#include "app/HeadForm.h"
#include "fixtures/AccountFiles.h"

#include <QAction>
#include <QComboBox>
#include <QLineEdit>
#include <QTableWidget>

#include <gtest/gtest.h>

using namespace fixtures;
using uitest::control;

namespace {

struct RemoveTest : ::testing::Test {
    uitest::TestContext t;
    std::filesystem::path root() const { return t.ctx.paths.dataRoot(); }

    void writeThree() {
        writeFile(root() / "KontoFil",
                  kontoRec("Ett", "1", "Ek") + kontoRec("Tv\xE5", "2", "Bg") + kontoRec("Tre", "3", "Ek"));
        writeFile(root() / "KontoIni", "2\r\nAnna\r\n");
        writeAccount(root(), "Ett", cashPosts(4));
        writeAccount(root(), "Två", budgetPosts(5));
        writeAccount(root(), "Tre", cashPosts(6));
    }
    app::HeadForm& open() {
        head = std::make_unique<app::HeadForm>(t.ctx);
        head->Form_Load();
        return *head;
    }
    std::unique_ptr<app::HeadForm> head;
    QStringList listed(app::HeadForm& form) {
        QStringList names;
        auto* combo = control<QComboBox>(form, "accountPicker");
        for (int i = 0; i < combo->count(); ++i)
            names << combo->itemText(i).trimmed();
        return names;
    }
};

TEST_F(RemoveTest, TheOpenAccountOfThreeLeavesAFreeSlotThatTheNextAccountTakes) {
    writeThree();
    app::HeadForm& form = open();
    ASSERT_EQ(form.accountName(), "Två");
    t.dialogs.answerYes().answerYes();
    form.findChild<QAction*>("Radko_mn")->trigger();

    ASSERT_GE(t.dialogs.calls().size(), 3u);
    EXPECT_TRUE(uitest::showed(t.dialogs, 0, "Ta bort konto ? ?",
                               "Vill du radera konto:\n\n[Två]\n\ni sin helhet ?\n"));
    EXPECT_TRUE(uitest::showed(t.dialogs, 1, "Kontot används",
                               "Konto [Två] är i användbart skick, då\n\n"
                               "filen 'Transakt' finns och har innehåll !\n\n"
                               "filen 'KontoData' finns och har innehåll !\n\n"
                               "Är du säker på att du vill radera\nkontot [Två] ?"));
    EXPECT_TRUE(uitest::showed(t.dialogs, 2, "Konto borttaget", "Två konto har avlägsnats !"));

    EXPECT_EQ(readFile(root() / "KontoFil"), kontoRec("Ett", "1", "Ek") + std::string(35, ' ') +
                                                 kontoRec("Tv\xE5", "2", "Bg").substr(35) +
                                                 kontoRec("Tre", "3", "Ek"));
    EXPECT_FALSE(std::filesystem::exists(root() / "Två"));
    EXPECT_EQ(listed(form), (QStringList{"Ett", "Tre"}));
    EXPECT_EQ(form.kontoNum(), 1);
    EXPECT_EQ(form.accountName(), "Ett");

    EXPECT_EQ(accounts::createAccount(t.ctx.paths, {"Fyra", "4", "Ek"}, "2026-12-06", "Anna"), 2);
}

TEST_F(RemoveTest, NoToTheSecondQuestionKeepsEverythingAndTheAccountOpen) {
    writeThree();
    app::HeadForm& form = open();
    const std::string before = readFile(root() / "KontoFil");
    t.dialogs.answerYes().answerNo();
    form.findChild<QAction*>("Radko_mn")->trigger();
    EXPECT_EQ(readFile(root() / "KontoFil"), before);
    EXPECT_TRUE(std::filesystem::exists(root() / "Två" / "KontoData"));
    EXPECT_EQ(form.postCount(), 5);
}

TEST_F(RemoveTest, TheLastAccountTakesTheRegisterWithItAndAFirstAccountIsOffered) {
    writeRegister(root(), kontoRec("Ensam", "1", "Ek"));
    writeAccount(root(), "Ensam", cashPosts(2));
    app::HeadForm& form = open();
    t.dialogs.answerYes().answerYes().answerNo().answerNo();
    form.findChild<QAction*>("Radko_mn")->trigger();

    EXPECT_FALSE(std::filesystem::exists(root() / "KontoFil"));
    EXPECT_FALSE(std::filesystem::exists(root() / "Ensam"));
    EXPECT_EQ(t.dialogs.titles(),
              (QStringList{"Ta bort konto ? ?", "Kontot används", "Alla konton raderade",
                           "Inget konto finns upplagt !", "KONTOUPPGIFT", "KONTOUPPGIFT"}));
    EXPECT_EQ(t.dialogs.calls()[2].text, "Det sista kvarvarande kontot\nhar avslutats !");
    EXPECT_EQ(t.dialogs.calls()[4].text, "Uppgifter om konton saknas och har\ninte lästs in till programmet "
                                         "!\nVill du avsluta programmet nu ?");
    EXPECT_EQ(control<QLineEdit>(form, "accountBox")->text(), "Kontouppgift saknas");
    EXPECT_FALSE(form.findChild<QAction*>("Radko_mn")->isEnabled());
    EXPECT_TRUE(listed(form).isEmpty());
}

TEST_F(RemoveTest, ANameWhoseFilesAreGoneIsOfferedForRemovalWhenOpeningFails) {
    writeThree();
    app::HeadForm& form = open();
    std::filesystem::remove_all(root() / "Tre");
    // The error routine explains the failure (No to the report), then the name can go.
    t.dialogs.answerNo().answerYes();
    control<QComboBox>(form, "accountPicker")->setCurrentIndex(2);
    form.openChosenAccount();
    ASSERT_EQ(t.dialogs.titles(), (QStringList{"Felspec. = No such file or directory", "Radera kontonamn",
                                               "Kontonamn borttaget"}));
    EXPECT_EQ(t.dialogs.texts().mid(1), (QStringList{"Vill du radera kontonamnet ? ?",
                                                     "Kontonamnet Tre har nu avlägsnats\nur registret !"}));
    EXPECT_EQ(readFile(root() / "KontoFil"), kontoRec("Ett", "1", "Ek") + kontoRec("Tv\xE5", "2", "Bg") +
                                                 std::string(35, ' ') +
                                                 kontoRec("Tre", "3", "Ek").substr(35));
    EXPECT_EQ(listed(form), (QStringList{"Ett", "Två"}));
    EXPECT_EQ(form.accountName(), "Ett");
}

TEST_F(RemoveTest, ANameWhoseTransactionsRemainIsNotRemoved) {
    writeThree();
    app::HeadForm& form = open();
    std::filesystem::remove(root() / "Tre" / "KontoData");
    const std::string before = readFile(root() / "KontoFil");
    t.dialogs.answerNo().answerYes();
    control<QComboBox>(form, "accountPicker")->setCurrentIndex(2);
    form.openChosenAccount();
    ASSERT_EQ(t.dialogs.calls().size(), 3u);
    EXPECT_TRUE(uitest::showed(t.dialogs, 2, "Kontot befintligt",
                               "Kontonamnet Tre kan inte\navlägsnas ur registret, eftersom\nfilen "
                               "'Transakt' finns\noch har innehåll !"));
    EXPECT_EQ(readFile(root() / "KontoFil"), before);
}

TEST_F(RemoveTest, AHostileNameInTheRegisterNeverReachesOutsideTheDataFolder) {
    writeThree();
    writeFile(t.drive.path() / "Utanför" / "KontoData", "ska stå kvar");
    writeRegister(root(), kontoRec("Ett", "1", "Ek") + kontoRec("../Utanf\xF6r", "2", "Ek") +
                              kontoRec("Tre", "3", "Ek"));
    app::HeadForm& form = open();
    // Opening it is refused by the error routine; removing its name touches only the register.
    t.dialogs.answerNo().answerYes();
    control<QComboBox>(form, "accountPicker")->setCurrentIndex(1);
    form.openChosenAccount();
    EXPECT_EQ(readFile(t.drive.path() / "Utanför" / "KontoData"), "ska stå kvar");
    EXPECT_EQ(t.dialogs.titles().back(), "Kontonamn borttaget");
    EXPECT_EQ(readFile(root() / "KontoFil").substr(82, 35), std::string(35, ' '));
}

} // namespace
