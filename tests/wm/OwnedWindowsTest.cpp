// A window opened from another stays above it under a real window manager: raising its opener, as
// a click on the opener does, leaves it in front instead of hiding it behind a disabled window.
#include "TestContext.h"
#include "UiHelpers.h"
#include "WmSession.h"
#include "app/HeadForm.h"
#include "fixtures/AccountFiles.h"
#include "ledger/ui/CashFrame.h"
#include "support/ui/HelpViewer.h"

#include <QComboBox>
#include <QLabel>
#include <QPointer>
#include <QPushButton>

#include <gtest/gtest.h>

#include <functional>
#include <memory>

namespace {

using uitest::control;
using wmtest::waitFor;
using wmtest::waitFramed;

QWidget* shownWindow(const char* name) {
    return uitest::shownWindow(QString(), QString::fromLatin1(name));
}

// The window the X server shows at the middle of `upper`, which must also lie over `lower`.
QString seenAtMiddleOf(QWidget& upper, QWidget& lower) {
    const QPoint middle = upper.mapToGlobal(upper.rect().center());
    EXPECT_TRUE(lower.geometry().contains(middle)) << "the windows do not overlap";
    const QWindow* seen = QGuiApplication::topLevelAt(middle);
    for (QWidget* top : QApplication::topLevelWidgets())
        if (seen && top->windowHandle() == seen)
            return top->objectName();
    return QStringLiteral("(none)");
}

class OwnedWindows : public ::testing::Test {
protected:
    void SetUp() override {
        using namespace fixtures;
        const auto root = t.ctx.paths.dataRoot();
        writeRegister(root, kontoRec("Hush\xe5ll", "8327-9", "Ek") + kontoRec("Budget", "1", "Bg"));
        writeAccount(root, "Hushåll", cashPosts(3));
        writeAccount(root, "Budget", budgetPosts(3));
        head = std::make_unique<app::HeadForm>(t.ctx);
        head->Form_Load();
    }
    void TearDown() override {
        for (QWidget* top : QApplication::topLevelWidgets())
            if (top != head.get() && top->isVisible())
                top->close();
        head.reset();
        QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    // The program as it starts, with no other window open.
    void restart() {
        TearDown();
        SetUp();
    }

    uitest::TestContext t;
    std::unique_ptr<app::HeadForm> head;
};

TEST_F(OwnedWindows, StayAboveTheWindowTheyWereOpenedFromWhenItIsRaised) {
    const auto openBudget = [&] {
        control<QComboBox>(*head, "accountPicker")->setCurrentIndex(1);
        head->openChosenAccount();
        head->bupl_mn_Click();
    };
    const struct {
        const char* name;
        std::function<void()> open;
        const char* opener;
    } windows[] = {
        {"NyKontoForm",
         [&] {
             t.dialogs.answerYes(); // "Vill du lägga till ett nytt konto ?"
             head->Nykonto_mn_Click();
         },
         "HeadForm"},
        {"TransForm", [&] { head->openTransForm("ny"); }, "HeadForm"},
        {"SubTransForm", [&] { head->openSubTransForm("ny"); }, "HeadForm"},
        {"MsgForm", [&] { uitest::hover(head->cashFrame()->saldoTitle()); }, "HeadForm"},
        {"HelpViewer", [] { support::showHelpTopic(support::HelpOverview); }, "HeadForm"},
        {"DonateForm", [&] { head->Donera_Click(); }, "HeadForm"},
        {"BackUpForm", [&] { head->Bu_mn_Click(); }, "HeadForm"},
        {"UtskrStatForm", [&] { head->Utskrstat_mn_Click(); }, "HeadForm"},
        {"BudgAltForm", openBudget, "HeadForm"},
        {"HolidayForm",
         [&] {
             openBudget();
             QWidget* planning = shownWindow("BudgAltForm");
             ASSERT_NE(planning, nullptr);
             ASSERT_TRUE(waitFramed(*planning));
             control<QPushButton>(*planning, "redDaysButton")->click(); // "Uteslut datum"
         },
         "BudgAltForm"},
    };
    for (const auto& w : windows) {
        SCOPED_TRACE(w.name);
        restart();
        ASSERT_TRUE(waitFramed(*head));
        head->activateWindow();
        ASSERT_TRUE(waitFor([&] { return head->isActiveWindow(); }));
        w.open();
        QPointer<QWidget> window = shownWindow(w.name);
        QWidget* opener = shownWindow(w.opener);
        ASSERT_TRUE(window && opener);
        ASSERT_TRUE(waitFramed(*window));
        // Placed over its opener (centred on it, or where it stood): the middles overlap.
        EXPECT_EQ(seenAtMiddleOf(*window, *opener), w.name);

        opener->activateWindow();
        opener->windowHandle()->raise();    // as a click on it does
        waitFor([] { return false; }, 500); // the window manager restacks
        EXPECT_EQ(seenAtMiddleOf(*window, *opener), w.name);
    }
}

} // namespace
