// Every window as a screen reader meets it: each control the user can reach has a name to read.

#include "TestContext.h"
#include "UiHelpers.h"
#include "app/HeadForm.h"
#include "fixtures/AccountFiles.h"
#include "support/ui/DonateForm.h"
#include "support/ui/HelpViewer.h"
#include "support/ui/InsetBox.h"
#include "support/ui/MsgForm.h"
#include "support/ui/RappForm.h"

#include <QAccessible>
#include <QAccessibleInterface>
#include <QComboBox>
#include <QPushButton>

#include <gtest/gtest.h>

#include <functional>
#include <memory>

namespace {

using uitest::control;

bool interactive(QAccessible::Role role) {
    switch (role) {
    case QAccessible::PushButton:
    case QAccessible::RadioButton:
    case QAccessible::CheckBox:
    case QAccessible::ComboBox:
    case QAccessible::EditableText:
    case QAccessible::SpinBox:
    case QAccessible::Slider:
    case QAccessible::ScrollBar:
    case QAccessible::List:
    case QAccessible::Table:
    case QAccessible::Tree:
    case QAccessible::PageTab:
    case QAccessible::MenuItem:
    case QAccessible::ButtonMenu:
    case QAccessible::ButtonDropDown:
        return true;
    default:
        return false;
    }
}

// Qt's own parts of a control (the scroll bars of a list, the line edit of a combo box) are read
// through the control that holds them.
bool qtInternal(QObject* o) {
    for (; o; o = o->parent())
        if (o->objectName().startsWith(QLatin1String("qt_")))
            return true;
    return false;
}

// The reachable controls without a name, as "objectName (role)".
void unnamed(QAccessibleInterface* node, QStringList& out, int depth = 0) {
    if (!node || depth > 40 || node->state().invisible)
        return;
    // A disabled control without a caption (a button whose caption waits for a choice) is skipped.
    QObject* object = node->object();
    if (interactive(node->role()) && !node->state().disabled && !qtInternal(object) &&
        node->text(QAccessible::Name).trimmed().isEmpty())
        out << (object ? object->objectName() : QStringLiteral("?")) +
                   QStringLiteral(" (%1)").arg(static_cast<int>(node->role()));
    if (node->role() == QAccessible::Table || node->role() == QAccessible::List)
        return; // the cells read their own text
    for (int i = 0; i < node->childCount(); ++i)
        unnamed(node->child(i), out, depth + 1);
}

struct AccessibilityTest : ::testing::Test {
    void SetUp() override {
        using namespace fixtures;
        writeRegister(root(), kontoRec("Hush\xe5ll", "8327-9", "Ek") + kontoRec("Budget", "1", "Bg"));
        writeAccount(root(), "Hushåll", cashPosts(3));
        writeAccount(root(), "Budget", budgetPosts(3));
        writeFile(t.ctx.paths.redDayFil(), redDayRec("Juldagen", "2026-12-25"));
    }
    std::filesystem::path root() const { return t.ctx.paths.dataRoot(); }
    void openBudget() {
        control<QComboBox>(*head, "accountPicker")->setCurrentIndex(1);
        head->openChosenAccount();
    }
    template <typename W> QWidget* own(std::unique_ptr<W> w) {
        w->show();
        standalone.reset(w.release());
        return standalone.get();
    }
    uitest::TestContext t;
    std::unique_ptr<app::HeadForm> head;
    std::unique_ptr<QWidget> standalone;
};

TEST_F(AccessibilityTest, EveryReachableControlOfEveryWindowHasAName) {
    const auto shown = [](const char* name) {
        return uitest::shownWindow(QString(), QString::fromLatin1(name));
    };
    const struct {
        const char* window;
        std::function<QWidget*()> open;
    } windows[] = {
        {"main window, cash book", [&] { return static_cast<QWidget*>(head.get()); }},
        {"main window, budget",
         [&] {
             openBudget();
             return static_cast<QWidget*>(head.get());
         }},
        {"TransForm",
         [&] {
             head->openTransForm("ny");
             return shown("TransForm");
         }},
        {"SubTransForm",
         [&] {
             head->openSubTransForm("ny");
             return shown("SubTransForm");
         }},
        {"NyKontoForm",
         [&] {
             t.dialogs.answerYes();
             head->Nykonto_mn_Click();
             return shown("NyKontoForm");
         }},
        {"BudgAltForm",
         [&] {
             openBudget();
             head->bupl_mn_Click();
             return shown("BudgAltForm");
         }},
        {"HolidayForm",
         [&] {
             openBudget();
             head->bupl_mn_Click();
             control<QPushButton>(*shown("BudgAltForm"), "redDaysButton")->click();
             return shown("HolidayForm");
         }},
        {"BackUpForm",
         [&] {
             head->Bu_mn_Click();
             return shown("BackUpForm");
         }},
        {"UtskrStatForm",
         [&] {
             head->Utskrstat_mn_Click();
             return shown("UtskrStatForm");
         }},
        {"OverviewWindow",
         [&] {
             head->Overview_mn_Click();
             for (QWidget* top : QApplication::topLevelWidgets())
                 if (top != head.get() && top->isVisible())
                     return top;
             return static_cast<QWidget*>(nullptr);
         }},
        {"ImportWizard",
         [&] {
             t.dialogs.answerOpen(QString()); // the file dialog it opens with, cancelled
             head->Import_mn_Click();
             for (QWidget* top : QApplication::topLevelWidgets())
                 if (top->inherits("QWizard") && top->isVisible())
                     return top;
             return static_cast<QWidget*>(nullptr);
         }},
        {"HelpViewer", [&] { return own(std::make_unique<support::HelpViewer>()); }},
        {"MsgForm",
         [&] {
             auto form = std::make_unique<support::MsgForm>(t.ctx);
             form->showHint(support::MsgForm::FundHintCaption, support::MsgForm::fundHintText());
             return own(std::move(form));
         }},
        {"RappForm", [&] { return own(std::make_unique<support::RappForm>(t.ctx)); }},
        {"DonateForm", [&] { return own(std::make_unique<support::DonateForm>(t.ctx)); }},
        {"InsetBox",
         [&] { return own(std::make_unique<support::InsetBox>(nullptr, "Namn ?", "Titel", "Anna")); }},
    };
    for (const auto& w : windows) {
        SCOPED_TRACE(w.window);
        head = std::make_unique<app::HeadForm>(t.ctx);
        head->Form_Load();
        QWidget* window = w.open();
        ASSERT_NE(window, nullptr);
        QStringList missing;
        unnamed(QAccessible::queryAccessibleInterface(window), missing);
        EXPECT_TRUE(missing.isEmpty()) << missing.join(QStringLiteral(", ")).toStdString();
        for (QWidget* top : QApplication::topLevelWidgets())
            if (top != head.get() && top->isVisible())
                top->close();
        standalone.reset();
        head.reset();
        QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
}

} // namespace
