// Moniva: household bookkeeping.

#include "app/CommandLine.h"
#include "app/ExportCommand.h"
#include "app/HeadForm.h"
#include "app/ImportCommand.h"
#include "app/InstanceLock.h"
#include "app/Screenshot.h"
#include "app/Translations.h"
#include "store/DriveFolder.h"
#include "support/ProgramData.h"
#include "support/Version.h"
#include "support/ui/Context.h"
#include "support/ui/Dialogs.h"
#include "support/ui/QtPlatform.h"
#include "support/ui/SafeApplication.h"
#include "support/ui/ScreenFit.h"

#include <QApplication>
#include <QDate>
#include <QDir>
#include <QTime>
#include <QTimer>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

namespace {

void nameTheApplication() {
    QCoreApplication::setApplicationName(QStringLiteral("Moniva"));
    QCoreApplication::setApplicationVersion(
        QString::fromUtf8(support::ProgramVersion.data(), support::ProgramVersion.size()));
}

// Qt ends the program with an English message and an abort when it finds no display; where the
// environment names none at all, say so in Swedish and end plainly instead.
bool noDisplayNamed() {
    const auto set = [](const char* name) {
        const char* value = std::getenv(name);
        return value && *value;
    };
    return !set("QT_QPA_PLATFORM") && !set("DISPLAY") && !set("WAYLAND_DISPLAY");
}

} // namespace

int main(int argc, char* argv[]) {
    // The command line is read before any window exists: --help, --version and a mistake answer
    // in the terminal, with or without a display.
    const app::CommandLine line = app::parseCommandLine(std::vector<std::string>(argv + 1, argv + argc));
    switch (line.action) {
    case app::CommandLine::Action::Help:
        std::fputs(app::helpText().c_str(), stdout);
        return 0;
    case app::CommandLine::Action::Version:
        std::printf("Moniva %.*s\n", static_cast<int>(support::ProgramVersion.size()),
                    support::ProgramVersion.data());
        return 0;
    case app::CommandLine::Action::Refuse:
        std::fprintf(stderr, "moniva: %s\nSkriv \"moniva --help\" för att se flaggorna.\n",
                     line.refusal.c_str());
        return app::BadCommandLine;
    case app::CommandLine::Action::Export: {
        const auto drive =
            store::chooseDriveFolder(line.drive, QDir::currentPath().toStdString(),
                                     QDir::homePath().toStdString(), store::systemMountPoints());
        const app::ExportOutcome outcome = app::runExport(line.exportRequest, store::DataPaths(drive));
        std::fprintf(outcome.status == 0 ? stdout : stderr, "%s%s\n",
                     outcome.status == 0 ? "" : "moniva: ", outcome.message.c_str());
        return outcome.status;
    }
    case app::CommandLine::Action::Import: {
        const auto drive =
            store::chooseDriveFolder(line.drive, QDir::currentPath().toStdString(),
                                     QDir::homePath().toStdString(), store::systemMountPoints());
        const app::ImportOutcome outcome =
            app::runImport(line.importRequest, store::DataPaths(drive),
                           QDate::currentDate().toString(QStringLiteral("yyyy-MM-dd")).toStdString());
        std::fputs(outcome.rows.c_str(), stdout);
        if (!outcome.message.empty())
            std::fprintf(stderr, "%s%s\n",
                         outcome.status == app::ImportFailed || outcome.status == app::BadCommandLine
                             ? "moniva: "
                             : "",
                         outcome.message.c_str());
        return outcome.status;
    }
    case app::CommandLine::Action::Run:
        break;
    }
    if (noDisplayNamed()) {
        std::fputs(
            "moniva: ingen skärm att visa fönstren på (varken DISPLAY eller WAYLAND_DISPLAY är satt).\n"
            "Starta programmet i en grafisk session, eller under Xvfb (xvfb-run moniva).\n",
            stderr);
        return 1;
    }

    const app::SwedishDatesAtStart swedishDates;
    support::SafeApplication app(argc, argv);
    swedishDates.applicationMade();
    nameTheApplication();
    QApplication::setFont(QFont(QStringLiteral("Arial"), 9));
    support::fitLayoutToScreen(app::HeadForm::largestClientTwips());
    const app::SwedishTranslations swedish;

    const std::filesystem::path startupDir = QDir::currentPath().toStdString();
    const auto drive = store::chooseDriveFolder(line.drive, startupDir, QDir::homePath().toStdString(),
                                                store::systemMountPoints());

    support::QtDialogs dialogs;
    support::QtPlatform platform{support::Settings{}};
    support::Context ctx(
        store::DataPaths(drive), startupDir,
        QDate::currentDate().toString(QStringLiteral("yyyy-MM-dd")).toStdString(),
        [] { return QTime::currentTime().toString(QStringLiteral("hh:mm:ss")).toStdString(); }, dialogs,
        platform);

    ctx.programDataDir = support::programDataFolder(QCoreApplication::applicationDirPath().toStdString());

    const auto lock = app::lockDataRootOrSay(ctx.paths, dialogs);
    if (!lock)
        return 1;

    app.setErrorContext(&ctx);
    app::HeadForm form(ctx);
    QObject::connect(&form, &app::HeadForm::programEnded, &app, &QApplication::quit, Qt::QueuedConnection);

    if (line.screenshot) {
        const QString file = QString::fromStdString(line.screenshot->string());
        // Start-up may stop at a question or an input box; the picture is taken once things have
        // settled, whatever is open, and nothing is answered.
        QTimer::singleShot(1500, &form, [&form, file] {
            const bool saved = app::saveScreenshot(form, file);
            std::printf("%s\n", saved ? qPrintable(QStringLiteral("Bilden sparades i ") + file)
                                      : qPrintable(QStringLiteral("Bilden kunde inte sparas i ") + file));
            std::fflush(stdout);
            std::_Exit(saved ? 0 : 1);
        });
    }

    form.Form_Load();
    if (form.ended())
        return 0;
    const int code = app.exec();
    app.setErrorContext(nullptr); // the context ends before the application object
    return code;
}
