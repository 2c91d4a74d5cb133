#pragma once

#include "store/Paths.h"

#include <QLockFile>

#include <memory>

namespace app {

// One program per data folder: a second one would overwrite the first one's changes. The lock
// file lies beside the data root, so backups of MoniData never copy it. A lock left by a program
// that crashed (its process is gone) is taken over.
// Returns the held lock, or nullptr when another running program holds it.
std::unique_ptr<QLockFile> lockDataRoot(const store::DataPaths& paths);

} // namespace app
