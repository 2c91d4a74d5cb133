// The windows beside the main window: the main window shows itself disabled while one of them
// has taken over, Esc does what each one's cancel or close button does, and captions and box
// titles are shown whole.

#include "TestContext.h"
#include "UiHelpers.h"
#include "app/HeadForm.h"
#include "backup/ui/BackUpForm.h"
#include "calendar/RedDays.h"
#include "calendar/ui/HolidayForm.h"
#include "fixtures/AccountFiles.h"
#include "ledger/ui/CashFrame.h"
#include "support/ui/Dialogs.h"
#include "support/ui/HelpViewer.h"
#include "support/ui/InsetBox.h"
#include "support/ui/MsgForm.h"
#include "support/ui/RappForm.h"

#include <QAction>
#include <QFontMetrics>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>
#include <memory>

namespace {

using uitest::control;
using uitest::shownWindow;

// Esc as a person types it: to the focused control of the active window.
void pressEscape(QWidget& window) {
    window.activateWindow();
    EXPECT_TRUE(QTest::qWaitForWindowActive(&window));
    QWidget* target = QApplication::focusWidget();
    QTest::keyClick(target && target->window() == &window ? target : &window, Qt::Key_Escape);
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

bool gone(const QPointer<QWidget>& w) {
    return !w || !w->isVisible();
}

struct MainWindowTest : ::testing::Test {
    void SetUp() override {
        using namespace fixtures;
        writeRegister(root(), kontoRec("Hush\xe5ll", "8327-9", "Ek"));
        writeAccount(root(), "Hushåll", cashPosts(3));
        head = std::make_unique<app::HeadForm>(t.ctx);
        head->Form_Load();
    }
    void TearDown() override {
        head.reset();
        QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    std::filesystem::path root() const { return t.ctx.paths.dataRoot(); }

    uitest::TestContext t;
    std::unique_ptr<app::HeadForm> head;
};

TEST_F(MainWindowTest, AWindowThatTakesOverShowsTheMainWindowDisabledUntilItClosesAnyWay) {
    const struct {
        const char* window;
        std::function<void()> open;
        const char* closeButton;
    } windows[] = {
        {"NyKontoForm",
         [&] {
             t.dialogs.answerYes(); // "Vill du lägga till ett nytt konto ?"
             head->Nykonto_mn_Click();
         },
         "cancelButton"},
        {"TransForm", [&] { head->openTransForm("ny"); }, "cancelButton"},
        {"SubTransForm", [&] { head->openSubTransForm("ny"); }, "cancelButton"},
        {"BackUpForm", [&] { head->Bu_mn_Click(); }, "quitButton"},
        {"DonateForm", [&] { head->Donera_Click(); }, "cancelButton"},
        {"UtskrStatForm", [&] { head->Utskrstat_mn_Click(); }, "closeButton"},
    };
    enum class Way { Button, Escape, WindowClose };
    for (const auto& w : windows) {
        for (const Way way : {Way::Button, Way::Escape, Way::WindowClose}) {
            SCOPED_TRACE(std::string(w.window) + " closed by " +
                         (way == Way::Button   ? "its button"
                          : way == Way::Escape ? "Esc"
                                               : "the window"));
            w.open();
            QPointer<QWidget> window = shownWindow(QString(), QString::fromLatin1(w.window));
            ASSERT_TRUE(window);
            EXPECT_TRUE(!head->isEnabled() && window->isEnabled());
            switch (way) {
            case Way::Button:
                control<QPushButton>(*window, w.closeButton)->click();
                break;
            case Way::Escape:
                pressEscape(*window);
                break;
            case Way::WindowClose:
                window->close();
                break;
            }
            QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
            EXPECT_TRUE(gone(window));
            EXPECT_TRUE(head->isEnabled());
        }
    }
}

TEST_F(MainWindowTest, ClosingTheMainWindowFirstEndsTheOpenWindowAsItsCancelDoes) {
    const struct {
        const char* window;
        std::function<void()> open;
    } windows[] = {
        {"TransForm", [&] { head->openTransForm("ny"); }},
        {"SubTransForm", [&] { head->openSubTransForm("ny"); }},
        {"DonateForm", [&] { head->Donera_Click(); }},
        {"MsgForm", [&] { uitest::hover(head->cashFrame()->saldoTitle()); }},
    };
    for (const auto& w : windows) {
        SCOPED_TRACE(w.window);
        TearDown();
        SetUp();
        w.open();
        QPointer<QWidget> window = shownWindow(QString(), QString::fromLatin1(w.window));
        ASSERT_TRUE(window);
        head->close();
        QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        EXPECT_TRUE(gone(window));
        EXPECT_TRUE(head->ended());
    }

    // Without accounts the new-account window's cancel asks whether to end the program: "Nej"
    // keeps it open, "Ja" ends it.
    for (const bool end : {false, true}) {
        TearDown();
        fixtures::writeFile(root() / "KontoFil", "");
        t.dialogs.clear();
        t.dialogs.answerYes(); // "Vill du lägga upp ett första konto nu ?"
        head = std::make_unique<app::HeadForm>(t.ctx);
        head->Form_Load();
        QPointer<QWidget> window = shownWindow(QString(), "NyKontoForm");
        ASSERT_TRUE(window);
        end ? t.dialogs.answerYes() : t.dialogs.answerNo();
        head->close();
        QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        EXPECT_TRUE(gone(window));
        EXPECT_EQ(t.dialogs.titles().value(1), "KONTOUPPGIFT");
        EXPECT_EQ(head->ended(), end);
        EXPECT_EQ(head->isVisible(), !end);
    }
}

TEST_F(MainWindowTest, EscInTheBackupWindowCancelsTheDriveChoiceBeforeItCloses) {
    head->Bu_mn_Click();
    QPointer<QWidget> window = shownWindow(QString(), "BackUpForm");
    ASSERT_TRUE(window);
    auto* form = static_cast<backup::BackUpForm*>(window.data());
    control<QPushButton>(*window, "backupButton")->click(); // BackUp: the drive list is shown
    EXPECT_EQ(form->mode(), "BU");
    pressEscape(*window);
    EXPECT_EQ(form->mode(), ""); // as "Avbryt"
    EXPECT_TRUE(window->isVisible());
    pressEscape(*window);
    EXPECT_TRUE(gone(window)); // as "Avsluta"
    EXPECT_TRUE(head->isEnabled());
}

TEST_F(MainWindowTest, MenuCaptionsShowTheirAmpersand) {
    const QMenu* help = head->findChild<QMenu*>("KB_InfAnv_mn");
    ASSERT_NE(help, nullptr);
    int shown = 0;
    for (const support::HelpTopic& topic : support::helpTopics()) {
        if (topic.menuObjectName.isEmpty())
            continue;
        const QAction* action = help->findChild<QAction*>(topic.menuObjectName);
        ASSERT_NE(action, nullptr) << topic.menuObjectName.toStdString();
        EXPECT_EQ(action->iconText(), topic.title); // the caption as the menu shows it
        ++shown;
    }
    EXPECT_GT(shown, 0);
    const QAction* stats = help->findChild<QAction*>("utstat_mn");
    ASSERT_NE(stats, nullptr);
    EXPECT_EQ(stats->iconText(), "Statistik & Utskrift");
}

TEST(WindowKeys, EscDoesWhatTheCancelOrCloseButtonDoes) {
    uitest::TestContext t;
    QWidget opener;
    calendar::RedDays days(t.ctx.paths.redDayFil());

    // The red-day window: Esc undoes the red day being set ("Avbryt"), then closes ("Avsluta").
    auto* holiday = new calendar::HolidayForm(t.ctx, &opener, days);
    holiday->setAttribute(Qt::WA_DeleteOnClose);
    holiday->show();
    QPointer<QWidget> holidayWindow = holiday;
    auto* name = control<QLineEdit>(*holiday, "nameBox");
    name->setText("Nationaldagen");
    holiday->nameEntered();
    holiday->YearLabel_Click();
    holiday->MonthLabel_Click();
    holiday->DayPos_Click();
    holiday->DayLabel_Click();
    EXPECT_TRUE(control<QPushButton>(*holiday, "cancelButton")->isEnabled());
    pressEscape(*holiday);
    EXPECT_TRUE(holidayWindow->isVisible());
    EXPECT_TRUE(name->text().isEmpty());
    EXPECT_FALSE(opener.isEnabled());
    pressEscape(*holiday);
    EXPECT_TRUE(gone(holidayWindow));
    EXPECT_TRUE(opener.isEnabled());

    // The hint, the input box, the report form and the help window close as their buttons do.
    support::MsgForm hint(t.ctx, nullptr);
    hint.showHint(support::MsgForm::FundHintCaption, support::MsgForm::fundHintText());
    pressEscape(hint);
    EXPECT_FALSE(hint.isVisible());

    support::InsetBox input(nullptr, "Namn ?", "Titel", "Anna");
    input.show();
    uitest::pressEnter(control<QLineEdit>(input, "answerBox"));
    pressEscape(input);
    EXPECT_FALSE(input.isVisible());
    EXPECT_EQ(input.result(), QDialog::Rejected);
    EXPECT_EQ(input.answer(), "");

    support::RappForm report(t.ctx, nullptr);
    report.show();
    pressEscape(report);
    EXPECT_FALSE(report.isVisible());
    EXPECT_EQ(report.result(), QDialog::Rejected);

    support::HelpViewer help;
    help.showHelpTopic(support::HelpOverview);
    pressEscape(help);
    EXPECT_FALSE(help.isVisible());
}

// The box on screen once exec() has shown it; the action closes it.
void whenShown(std::function<void(QMessageBox&)> act) {
    QTimer::singleShot(0, [act] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        act(*box);
        box->done(QMessageBox::No);
    });
}

TEST(WindowKeys, AMessageBoxIsWideEnoughForItsTitle) {
    // The title bar writes the title in bold beside the window's icon and three buttons.
    const auto fits = [](QMessageBox& box) {
        QFont bold = box.font();
        bold.setBold(true);
        const int title = QFontMetrics(bold).horizontalAdvance(box.windowTitle());
        EXPECT_GE(box.width(), title + 100) << box.windowTitle().toStdString();
    };
    support::QtDialogs dialogs;
    whenShown(fits);
    dialogs.question(nullptr, "Inget konto finns upplagt !", "Vill du lägga upp ett första konto nu ?",
                     support::Dialogs::Icon::Question);
    whenShown(fits);
    dialogs.message(nullptr, "Ändring av transaktionens belopp", "OK ?", support::Dialogs::Icon::Information);
}

} // namespace
