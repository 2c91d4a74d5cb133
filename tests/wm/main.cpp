// Window places can only be seen where a window manager frames the windows: this program starts
// its own X server (Xvfb) and window manager (openbox), and runs its tests against them, in-process
// on Qt's X11 platform.
#include "ChildProcess.h"
#include "WmSession.h"
#include "app/HeadForm.h"
#include "support/ui/ScreenFit.h"

#include <QApplication>
#include <QFont>
#include <QWidget>
#include <QWindow>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

// A program of the X session, run by a shell that ends it once its standard input closes: when
// the test ends, or crashes, the session goes with it. The X server terminates with its last
// client.
std::vector<std::string> sessionProgram(const std::string& command) {
    return {"/bin/sh", "-c",
            command + " 2>/dev/null & p=$!; trap 'kill $p 2>/dev/null' EXIT INT TERM HUP; cat >/dev/null"};
}

// The screen: 1280 x 1024 unless MONIVA_WM_SCREEN names another size ("1280x800").
std::string screenSize() {
    const char* size = std::getenv("MONIVA_WM_SCREEN");
    return size && *size ? size : "1280x1024";
}

} // namespace

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);

    // -displayfd: the server picks a free display and writes its number once it accepts clients.
    uitest::ChildProcess server(
        sessionProgram("Xvfb -displayfd 1 -screen 0 " + screenSize() + "x24 -nolisten tcp -terminate"));
    const std::string display = server.readLine(20000);
    if (display.empty()) {
        std::fprintf(stderr, "Xvfb did not start (packages xvfb and xauth, see scripts/setup)\n");
        return 1;
    }
    ::setenv("DISPLAY", (":" + display).c_str(), 1);
    ::unsetenv("WAYLAND_DISPLAY");
    ::setenv("QT_QPA_PLATFORM", "xcb", 1);
    uitest::ChildProcess windowManager(sessionProgram("openbox --sm-disable"));

    QApplication app(argc, argv);
    // As the program starts: its font, shrunk with the windows where the screen is too small at
    // the scale asked for (QT_SCALE_FACTOR).
    QApplication::setFont(QFont(QStringLiteral("Arial"), 9));
    support::fitLayoutToScreen(app::HeadForm::largestClientTwips());
    if (!wmtest::waitForWindowManager()) {
        std::fprintf(stderr, "openbox did not frame a window on :%s (package openbox, see scripts/setup)\n",
                     display.c_str());
        return 1;
    }
    return RUN_ALL_TESTS();
}
