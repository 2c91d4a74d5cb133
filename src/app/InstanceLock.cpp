#include "app/InstanceLock.h"

#include <filesystem>

namespace app {

std::unique_ptr<QLockFile> lockDataRoot(const store::DataPaths& paths) {
    std::filesystem::create_directories(paths.driveFolder());
    auto lock = std::make_unique<QLockFile>(QString::fromStdString(paths.lockFile().string()));
    // Only a lock whose process is gone counts as stale, however old it is: a program left open
    // for days keeps its data.
    lock->setStaleLockTime(0);
    if (!lock->tryLock(0))
        return nullptr;
    return lock;
}

} // namespace app
