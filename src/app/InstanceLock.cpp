#include "app/InstanceLock.h"

#include "support/ui/Dialogs.h"

#include <QSysInfo>

#include <exception>
#include <optional>
#include <string>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace app {

namespace {

QString shown(const std::filesystem::path& path) {
    return QString::fromStdString(path.string());
}

// A lock file on a drive folder someone else prepared may be a link, a FIFO or a folder: Qt's lock
// would follow the link or wait on the FIFO for ever. Only a regular file (or none) is a lock.
bool isRegularOrMissing(const std::filesystem::path& file) {
    struct stat st {};
    return ::lstat(file.c_str(), &st) != 0 || S_ISREG(st.st_mode);
}

std::unique_ptr<QLockFile> tryLock(const std::filesystem::path& file) {
    auto lock = std::make_unique<QLockFile>(shown(file));
    // Only a lock whose process is gone counts as stale, however old it is: a program left open
    // for days keeps its data.
    lock->setStaleLockTime(0);
    lock->tryLock(0);
    return lock;
}

// The computer a lock file names on its third line ("pid\nprogram\nhost"); nullopt when the file
// cannot be read as a lock. Read here rather than by Qt, which drops the last character of a
// last line that has no line break.
std::optional<QString> lockHost(const std::filesystem::path& file) {
    const int fd = ::open(file.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return std::nullopt;
    char buffer[1024];
    struct stat st {};
    const ssize_t n = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) ? ::read(fd, buffer, sizeof buffer) : -1;
    ::close(fd);
    if (n <= 0)
        return std::nullopt;
    const std::string text(buffer, static_cast<std::size_t>(n));
    const auto first = text.find('\n');
    const auto second = first == std::string::npos ? first : text.find('\n', first + 1);
    if (second == std::string::npos || first == 0 || text.find_first_not_of("0123456789") != first)
        return std::nullopt;
    const std::string host = text.substr(second + 1, text.find('\n', second + 1) - second - 1);
    return QString::fromUtf8(host.data(), static_cast<qsizetype>(host.size()));
}

} // namespace

std::filesystem::path lockFileFor(const store::DataPaths& paths) {
    std::filesystem::path root = paths.dataRoot();
    try {
        root = store::resolvedPath(root);
    } catch (const std::exception&) {
        // Unresolvable: the lock stays beside the root as written; opening the data says the rest.
    }
    return root.parent_path() / ("." + root.filename().string() + ".lock");
}

std::unique_ptr<QLockFile> lockDataRoot(const store::DataPaths& paths) {
    const std::filesystem::path file = lockFileFor(paths);
    if (!isRegularOrMissing(file))
        return nullptr;
    auto lock = tryLock(file);
    return lock->isLocked() ? std::move(lock) : nullptr;
}

std::unique_ptr<QLockFile> lockDataRootOrSay(const store::DataPaths& paths, support::Dialogs& dialogs) {
    using Icon = support::Dialogs::Icon;
    const QString root = shown(paths.dataRoot());
    const std::filesystem::path file = lockFileFor(paths);
    const QString cannotLock = QStringLiteral("Datamappen kan inte låsas");
    if (!isRegularOrMissing(file)) {
        dialogs.message(nullptr, cannotLock,
                        QStringLiteral("Låsfilen\n") + shown(file) +
                            QStringLiteral("\när ingen vanlig fil (utan en länk, en mapp eller en enhet)."
                                           "\n\nTa bort den och starta Moniva igen."),
                        Icon::Exclamation);
        return nullptr;
    }
    auto lock = tryLock(file);
    if (lock->isLocked())
        return lock;

    if (lock->error() == QLockFile::PermissionError) {
        dialogs.message(nullptr, QStringLiteral("Mappen kan inte skrivas"),
                        QStringLiteral("Moniva kan inte skriva i mappen\n") + shown(file.parent_path()) +
                            QStringLiteral("\n\nMappen är skrivskyddad, eller så saknar du rätt att skriva i"
                                           " den. Moniva behöver kunna spara där för att använda"
                                           " datamappen\n") +
                            root +
                            QStringLiteral("\n\nVälj en annan mapp med --drive, eller ändra rättigheterna."),
                        Icon::Exclamation);
        return nullptr;
    }
    if (lock->error() != QLockFile::LockFailedError) {
        dialogs.message(nullptr, cannotLock,
                        QStringLiteral("Låsfilen\n") + shown(file) + QStringLiteral("\nkunde inte skapas."),
                        Icon::Exclamation);
        return nullptr;
    }

    const std::optional<QString> host = lockHost(file);
    if (host && (host->isEmpty() || *host == QSysInfo::machineHostName())) {
        dialogs.message(nullptr, QStringLiteral("Moniva körs redan"),
                        QStringLiteral("Moniva är redan igång med datamappen\n") + root +
                            QStringLiteral("\n\nAvsluta det andra programmet först, eller växla till det !"),
                        Icon::Exclamation);
        return nullptr;
    }
    // Whether a program on another computer still runs cannot be seen from here: the user knows.
    const QString whose =
        host ? QStringLiteral("är låst av Moniva på datorn ") + *host +
                   QStringLiteral(".\n\nOm Moniva inte längre körs där kan du ta över låset; körs"
                                  " programmet fortfarande, kan ändringar gå förlorade.")
             : QStringLiteral("är låst, men låsfilen\n") + shown(file) +
                   QStringLiteral("\ngår inte att läsa.\n\nAnvänds datamappen inte av något annat"
                                  " Moniva kan du ta över låset; används den, kan ändringar gå förlorade.");
    if (!dialogs.question(nullptr, QStringLiteral("Datamappen är låst"),
                          QStringLiteral("Datamappen\n") + root + QStringLiteral("\n") + whose +
                              QStringLiteral("\n\nVill du ta över låset ?"),
                          Icon::Question))
        return nullptr;
    if (lock->removeStaleLockFile() && lock->tryLock(0))
        return lock;
    dialogs.message(nullptr, cannotLock, QStringLiteral("Låset kunde inte tas över:\n") + shown(file),
                    Icon::Exclamation);
    return nullptr;
}

} // namespace app
