// The main window of the widest kind (a budget account) on the screen it is shown on: the frame
// inside the available area and every command button in sight. Run at the normal scale on a large
// screen, and (test "wm_scaled") at scale 1.5 on a 1280 x 800 screen, where the window shrinks
// to fit.
#include "TestContext.h"
#include "WmSession.h"
#include "app/HeadForm.h"
#include "fixtures/AccountFiles.h"

#include <QPixmap>
#include <QPushButton>
#include <QScreen>

#include <gtest/gtest.h>

#include <cstdlib>

TEST(ScreenFit, TheWidestMainWindowAndItsButtonsAreOnTheScreen) {
    uitest::TestContext t;
    support::Context& ctx = t.ctx;
    const auto root = ctx.paths.dataRoot();
    fixtures::writeRegister(root, fixtures::kontoRec("Budget", "1", "Bg"));
    fixtures::writeAccount(root, "Budget", fixtures::budgetPosts(20));

    app::HeadForm form(ctx);
    form.Form_Load();
    ASSERT_EQ(form.accountKind(), "Bg");
    ASSERT_TRUE(wmtest::waitFramed(form));

    const QRect area = form.screen()->availableGeometry();
    const QRect frame = wmtest::frameOf(form);
    EXPECT_TRUE(area.contains(frame))
        << "frame " << frame.width() << "x" << frame.height() << " at " << frame.x() << "," << frame.y()
        << " on " << area.width() << "x" << area.height();
    for (const char* name : {"confirmButton", "actionButton", "cancelButton", "quitButton", "donateButton"}) {
        const auto* button = form.findChild<QPushButton*>(name);
        ASSERT_NE(button, nullptr) << name;
        const QRect onScreen(button->mapToGlobal(QPoint(0, 0)), button->size());
        EXPECT_TRUE(area.contains(onScreen)) << name;
        EXPECT_TRUE(form.geometry().contains(onScreen)) << name << " lies inside the window";
    }
    // For a look by eye: MONIVA_WM_SHOT=file.png saves the whole screen.
    if (const char* shot = std::getenv("MONIVA_WM_SHOT"))
        form.screen()->grabWindow(0).save(QString::fromLocal8Bit(shot));
    form.close();
}
