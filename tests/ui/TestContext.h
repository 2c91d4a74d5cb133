#pragma once

#include "FakePlatform.h"
#include "ScriptedDialogs.h"
#include "fixtures/TempDrive.h"
#include "support/ui/Context.h"

#include <filesystem>
#include <string>

namespace uitest {

// A Context for window tests: the drive folder is a fresh temporary folder (with MoniData made
// unless asked not to), the start-up folder is "Program" inside it, today is 2026-12-06 and the
// clock says `clock` (10:11:12 unless a test changes it). Dialogs answer from `dialogs`' script;
// the desktop is `platform`. Settings are the build's (empty addresses by default); tests may
// change ctx.settings. Another kind of Dialogs may script them differently.
template <typename Dialogs = ScriptedDialogs> struct BasicTestContext {
    explicit BasicTestContext(bool withDataRoot = true)
        : ctx(
              store::DataPaths(drive.path()), drive.path() / "Program", "2026-12-06",
              [this] { return clock; }, dialogs, platform) {
        std::filesystem::create_directories(ctx.startupDir);
        if (withDataRoot)
            std::filesystem::create_directories(ctx.paths.dataRoot());
    }
    BasicTestContext(const BasicTestContext&) = delete;
    BasicTestContext& operator=(const BasicTestContext&) = delete;

    TempDrive drive;
    Dialogs dialogs;
    FakePlatform platform;
    std::string clock = "10:11:12";
    support::Context ctx;
};
using TestContext = BasicTestContext<>;

} // namespace uitest
