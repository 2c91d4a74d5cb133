#include "app/InstanceLock.h"

#include "support/ui/Dialogs.h"

#include <QSysInfo>

#include <exception>

namespace app {

namespace {

QString shown(const std::filesystem::path& path) {
    return QString::fromStdString(path.string());
}

std::unique_ptr<QLockFile> tryLock(const store::DataPaths& paths) {
    auto lock = std::make_unique<QLockFile>(shown(lockFileFor(paths)));
    // Only a lock whose process is gone counts as stale, however old it is: a program left open
    // for days keeps its data.
    lock->setStaleLockTime(0);
    lock->tryLock(0);
    return lock;
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
    auto lock = tryLock(paths);
    return lock->isLocked() ? std::move(lock) : nullptr;
}

std::unique_ptr<QLockFile> lockDataRootOrSay(const store::DataPaths& paths, support::Dialogs& dialogs) {
    using Icon = support::Dialogs::Icon;
    auto lock = tryLock(paths);
    if (lock->isLocked())
        return lock;
    const QString root = shown(paths.dataRoot());
    const std::filesystem::path file = lockFileFor(paths);

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
        dialogs.message(nullptr, QStringLiteral("Datamappen kan inte låsas"),
                        QStringLiteral("Låsfilen\n") + shown(file) + QStringLiteral("\nkunde inte skapas."),
                        Icon::Exclamation);
        return nullptr;
    }

    qint64 pid = 0;
    QString host;
    QString program;
    const bool readable = lock->getLockInfo(&pid, &host, &program);
    if (readable && (host.isEmpty() || host == QSysInfo::machineHostName())) {
        dialogs.message(nullptr, QStringLiteral("Moniva körs redan"),
                        QStringLiteral("Moniva är redan igång med datamappen\n") + root +
                            QStringLiteral("\n\nAvsluta det andra programmet först, eller växla till det !"),
                        Icon::Exclamation);
        return nullptr;
    }
    // Whether a program on another computer still runs cannot be seen from here: the user knows.
    const QString text =
        readable
            ? QStringLiteral("är låst av Moniva på datorn ") + host +
                  QStringLiteral(".\n\nOm Moniva inte längre körs där kan du ta över låset; körs"
                                 " programmet fortfarande, kan ändringar gå förlorade.")
            : QStringLiteral("är låst, men låsfilen\n") + shown(file) +
                  QStringLiteral("\ngår inte att läsa.\n\nAnvänds datamappen inte av något annat"
                                 " Moniva kan du ta över låset; används den, kan ändringar gå förlorade.");
    if (!dialogs.question(nullptr, QStringLiteral("Datamappen är låst"),
                          QStringLiteral("Datamappen\n") + root + QStringLiteral("\n") + text +
                              QStringLiteral("\n\nVill du ta över låset ?"),
                          Icon::Question))
        return nullptr;
    if (lock->removeStaleLockFile() && lock->tryLock(0))
        return lock;
    dialogs.message(nullptr, QStringLiteral("Datamappen kan inte låsas"),
                    QStringLiteral("Låset kunde inte tas över:\n") + shown(file), Icon::Exclamation);
    return nullptr;
}

} // namespace app
