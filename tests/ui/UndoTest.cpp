// "Ångra" and "Gör om" in the main window: the entries name the change, the keys take the step,
// every file comes back byte for byte and the window shows the account at the changed post.

#include "TestContext.h"
#include "UiHelpers.h"
#include "accounts/ui/NyKontoForm.h"
#include "app/DateSelector.h"
#include "app/HeadForm.h"
#include "fixtures/AccountFiles.h"
#include "ledger/ui/CashFrame.h"

#include <QAction>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include <gtest/gtest.h>

#include <map>

using namespace fixtures;
using uitest::control;
namespace fs = std::filesystem;

namespace {

struct UndoTest : ::testing::Test {
    uitest::TestContext t;
    std::unique_ptr<app::HeadForm> form;
    fs::path root() const { return t.ctx.paths.dataRoot(); }

    void start() {
        form = std::make_unique<app::HeadForm>(t.ctx);
        form->Form_Load();
        form->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    }
    QAction* undo() { return form->findChild<QAction*>("Undo_mn"); }
    QAction* redo() { return form->findChild<QAction*>("Redo_mn"); }
    void key(int k, Qt::KeyboardModifiers mods = Qt::ControlModifier) {
        QTest::keyClick(form.get(), static_cast<Qt::Key>(k), mods);
    }
    // Every file of the data root with its bytes (KontoIni, the window places, names the account
    // of the last exit and follows the window, not the data).
    std::map<std::string, std::string> files() const {
        auto all = t.drive.tree("MoniData");
        all.erase("MoniData/KontoIni");
        all.erase("MoniData/PosFil");
        return all;
    }
};

TEST_F(UndoTest, ANewPostAndARemovedAccountComeBackAndGoAgain) {
    writeFile(root() / "KontoFil", kontoRec("Kassa", "1", "Ek") + kontoRec("Bil", "2", "Ek"));
    writeFile(root() / "KontoIni", "2\r\nAnna\r\n");
    writeAccount(root(), "Kassa", cashPosts(40));
    writeAccount(root(), "Bil", cashPosts(3));
    start();
    EXPECT_EQ(undo()->text().toStdString(), "Ångra");
    EXPECT_FALSE(undo()->isEnabled() || redo()->isEnabled());
    const auto original = files();

    // A new post in Kassa, then Bil removed.
    form->findChild<QComboBox*>("accountPicker")->setCurrentIndex(0);
    form->openChosenAccount();
    ASSERT_EQ(form->accountName(), "Kassa");
    form->dateSelector()->datumset("2026-01-05");
    ledger::CashFrame* frame = form->cashFrame();
    frame->transCombo()->setCurrentIndex(frame->transCombo()->findText("Uttag"));
    frame->TransCombo_Enkel_Click();
    EXPECT_EQ(form->procedureCode(), "cbonomark");
    EXPECT_FALSE(undo()->isEnabled()) << "a procedure is running";
    uitest::typeText(frame->amountBox(), "9500");
    uitest::pressEnter(frame->amountBox());
    control<QPushButton>(*form, "actionButton")->click();
    ASSERT_EQ(form->procedureCode(), "");
    EXPECT_EQ(undo()->text().toStdString(), "Ångra: ny post 2026-01-05 Uttag -9 500,00");
    EXPECT_TRUE(undo()->isEnabled());
    const int newPost = form->currentPost();
    const auto withPost = files();

    form->findChild<QComboBox*>("accountPicker")->setCurrentIndex(1);
    form->openChosenAccount();
    t.dialogs.answerYes().answerYes();
    form->findChild<QAction*>("Radko_mn")->trigger();
    ASSERT_FALSE(fs::exists(root() / "Bil"));
    EXPECT_EQ(undo()->text().toStdString(), "Ångra: borttaget konto Bil");
    const auto removed = files();

    // Ctrl+Z twice: the account comes back and is shown, then the post goes and Kassa is shown.
    key(Qt::Key_Z);
    EXPECT_EQ(files(), withPost);
    EXPECT_EQ(form->accountName(), "Bil");
    EXPECT_EQ(redo()->text().toStdString(), "Gör om: borttaget konto Bil");
    key(Qt::Key_Z);
    EXPECT_EQ(files(), original);
    EXPECT_EQ(form->accountName(), "Kassa");
    EXPECT_EQ(form->currentPost(), std::min(newPost, form->postCount()));
    EXPECT_EQ(form->postCount(), 40);
    EXPECT_FALSE(undo()->isEnabled());

    // Ctrl+Y and Ctrl+Shift+Z make them again.
    key(Qt::Key_Y);
    EXPECT_EQ(files(), withPost);
    EXPECT_EQ(form->accountName(), "Kassa");
    EXPECT_EQ(form->currentPost(), newPost);
    key(Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(files(), removed);
    EXPECT_FALSE(redo()->isEnabled());

    // The history outlives the window.
    form.reset();
    start();
    EXPECT_EQ(undo()->text().toStdString(), "Ångra: borttaget konto Bil");
    form->setProcedureCode("budg");
    EXPECT_FALSE(undo()->isEnabled());
    form->setProcedureCode(QString());
    undo()->trigger();
    EXPECT_EQ(files(), withPost);
    EXPECT_TRUE(t.dialogs.calls().size() == 3u) << "only the removal's questions and message";
}

TEST_F(UndoTest, FilesChangedOutsideTheProgramDropTheHistoryWithAMessage) {
    writeRegister(root(), kontoRec("Kassa", "1", "Ek"));
    writeAccount(root(), "Kassa", cashPosts(5));
    start();
    form->cashFrame()->gridClicked(0, 4); // a tick
    EXPECT_EQ(undo()->text().toStdString(), "Ångra: bock i post 2026-01-01");
    // The post file is put back from elsewhere.
    const std::string data = readFile(root() / "Kassa" / "KontoData");
    fs::remove(root() / "Kassa" / "KontoData");
    writeFile(root() / "Kassa" / "KontoData", data);
    undo()->trigger();
    EXPECT_EQ(readFile(root() / "Kassa" / "KontoData"), data);
    ASSERT_EQ(t.dialogs.calls().size(), 1u);
    EXPECT_EQ(t.dialogs.calls()[0].title, "Ångra");
    EXPECT_FALSE(undo()->isEnabled());
    EXPECT_FALSE(fs::exists(t.ctx.paths.historyFolder()));
}

// The window makes the account and opens it (which gives a budget account its template): all of
// it goes with one Ctrl+Z, comes back with Ctrl+Y, and the name can be taken again.
TEST_F(UndoTest, ANewBudgetAccountGoesWholeAndComesBack) {
    writeRegister(root(), kontoRec("Kassa", "1", "Ek"));
    writeAccount(root(), "Kassa", cashPosts(5));
    start();
    const auto original = files();
    const auto create = [&] {
        t.dialogs.answerYes(); // "Vill du lägga till ett nytt konto ?"
        form->Nykonto_mn_Click();
        accounts::NyKontoForm* nyKonto = form->newAccountForm();
        ASSERT_NE(nyKonto, nullptr);
        control<QLineEdit>(*nyKonto, "nameBox")->setText("Bud");
        control<QLineEdit>(*nyKonto, "numberBox")->setText("1");
        control<QRadioButton>(*nyKonto, "budgetOption")->click();
        t.dialogs.answerYes().answerNo(); // the summary, no more accounts
        control<QPushButton>(*nyKonto, "okButton")->click();
        ASSERT_EQ(form->accountName(), "Bud");
    };
    create();
    const auto made = files();
    ASSERT_EQ(made.count("MoniData/Bud/B-mall"), 1u);
    EXPECT_EQ(undo()->text().toStdString(), "Ångra: nytt konto Bud");

    key(Qt::Key_Z);
    EXPECT_EQ(files(), original);
    key(Qt::Key_Y);
    EXPECT_EQ(files(), made);
    key(Qt::Key_Z);
    create();
    EXPECT_EQ(files(), made);
    EXPECT_FALSE(t.dialogs.titles().contains("Ångra"));
}

// A history that cannot be used (here a link in its place, as on a stick someone else prepared)
// is said once at the start; the entries offer nothing and nothing is written through the link.
TEST_F(UndoTest, AHistoryThatCannotBeUsedIsSaidOnceAndOffersNothing) {
    writeRegister(root(), kontoRec("Kassa", "1", "Ek"));
    writeAccount(root(), "Kassa", cashPosts(5));
    writeFile(t.drive / "Arkiv" / "0000000001" / "manifest", "kvitto");
    fs::create_directory_symlink(t.drive / "Arkiv", t.ctx.paths.historyFolder());
    const auto elsewhere = t.drive.tree("Arkiv");
    start();
    ASSERT_EQ(t.dialogs.titles(), QStringList{"Ångra"});
    EXPECT_TRUE(t.dialogs.calls()[0].text.contains("länk"));
    form->cashFrame()->gridClicked(0, 4); // a tick is saved as always
    EXPECT_NE(readFile(root() / "Kassa" / "KontoData"), cashPosts(5));
    EXPECT_FALSE(undo()->isEnabled() || redo()->isEnabled());
    EXPECT_EQ(undo()->text().toStdString(), "Ångra (ångrahistoriken används inte)");
    EXPECT_EQ(t.drive.tree("Arkiv"), elsewhere);
    EXPECT_EQ(t.dialogs.calls().size(), 1u);
}

} // namespace
