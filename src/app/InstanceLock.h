#pragma once

#include "store/Paths.h"

#include <QLockFile>

#include <filesystem>
#include <memory>

namespace support {
class Dialogs;
}

namespace app {

// One program per data folder: a second one would overwrite the first one's changes. The lock
// file lies beside the data root as its links resolve ("<parent>/.MoniData.lock" for an ordinary
// MoniData), so two drive folders that reach one MoniData through a link share one lock, and
// backups of MoniData never copy it.
std::filesystem::path lockFileFor(const store::DataPaths& paths);

// The held lock, or nullptr when another program holds it or it cannot be made. A lock left by a
// program of this computer that has ended is taken over.
std::unique_ptr<QLockFile> lockDataRoot(const store::DataPaths& paths);

// The same at start-up, saying why not: another program here holds the data; the lock is of a
// program on another computer (or cannot be read), which the user may take over after a question;
// the folder of the lock cannot be written.
std::unique_ptr<QLockFile> lockDataRootOrSay(const store::DataPaths& paths, support::Dialogs& dialogs);

} // namespace app
