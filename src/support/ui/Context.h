#pragma once

#include "store/Paths.h"
#include "support/ErrorReport.h"
#include "support/ui/Dialogs.h"
#include "support/ui/Platform.h"
#include "support/ui/Settings.h"

#include <filesystem>
#include <functional>
#include <string>

namespace support {

// What the environment decides, handed to every window: where the data lives, the start-up
// folder, today's date and the clock, the dialogs and the platform. Nothing reads the system
// date, the working directory or the screen behind its back; tests build a Context on a
// temporary folder with a fixed date.
class Context {
public:
    Context(store::DataPaths paths, std::filesystem::path startupDir, std::string today,
            std::function<std::string()> clockTime, Dialogs& dialogs, Platform& platform)
        : paths(std::move(paths)), startupDir(std::move(startupDir)), today(std::move(today)),
          clockTime(std::move(clockTime)), dialogs(dialogs), platform(platform) {}

    store::DataPaths paths;
    std::filesystem::path startupDir;       // ErrLog and error reports are written here
    std::string today;                      // "yyyy-mm-dd", taken once at start-up
    std::function<std::string()> clockTime; // "hh:mm:ss" now
    Dialogs& dialogs;
    Platform& platform;
    Settings settings;

    // The shared error state a trapping procedure fills before the error routine runs.
    ErrorState error;
    // Facts of the session the error report tells (kept up to date by the main window).
    std::string userName;
    std::string installDate;

    // The folder of the program's own read-only files (the planning window's guiding texts): the
    // installed share folder, or the build folder when run from there. Empty: none are found.
    std::filesystem::path programDataDir;
};

} // namespace support
