// Moniva: household bookkeeping.

#include "app/HeadForm.h"
#include "app/InstanceLock.h"
#include "app/Screenshot.h"
#include "store/DriveFolder.h"
#include "support/ProgramData.h"
#include "support/Version.h"
#include "support/ui/Context.h"
#include "support/ui/Dialogs.h"
#include "support/ui/QtPlatform.h"
#include "support/ui/SafeApplication.h"
#include "support/ui/ScreenFit.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDate>
#include <QDir>
#include <QLibraryInfo>
#include <QTime>
#include <QTimer>
#include <QTranslator>

#include <cstdio>
#include <filesystem>
#include <optional>
#include <string_view>

namespace {

void loadSwedishTranslation(QCoreApplication& app) {
    static QTranslator translator;
    const QString folder = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
    if (translator.load(QStringLiteral("qt_sv"), folder) ||
        translator.load(QStringLiteral("qtbase_sv"), folder))
        app.installTranslator(&translator);
}

// The options of the command line, for --help and the program alike.
struct Options {
    QCommandLineParser parser;
    const QCommandLineOption drive{
        QStringLiteral("drive"),
        QStringLiteral("Mappen som spelar enhetens rot; data ligger i DIR/MoniData."), QStringLiteral("DIR")};
    const QCommandLineOption screenshot{
        QStringLiteral("screenshot"),
        QStringLiteral(
            "Starta som vanligt, spara en bild av huvudfönstret (med öppna dialoger) i FILE och avsluta."),
        QStringLiteral("FILE")};

    Options() {
        parser.setApplicationDescription(QStringLiteral("Moniva – hushållsekonomi med kassabok och budget."));
        parser.addHelpOption();
        parser.addVersionOption();
        parser.addOption(drive);
        parser.addOption(screenshot);
    }
};

void nameTheApplication() {
    QCoreApplication::setApplicationName(QStringLiteral("Moniva"));
    QCoreApplication::setApplicationVersion(
        QString::fromUtf8(support::ProgramVersion.data(), support::ProgramVersion.size()));
}

// --help and --version answer without a display, so they work in a terminal, a package build or
// a man-page tool as well.
void answerWithoutWindows(int argc, char* argv[]) {
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg == "-h" || arg == "--help" || arg == "--help-all" || arg == "-v" || arg == "--version") {
            QCoreApplication core(argc, argv);
            nameTheApplication();
            loadSwedishTranslation(core);
            Options options;
            options.parser.process(core); // prints and exits
        }
    }
}

} // namespace

int main(int argc, char* argv[]) {
    answerWithoutWindows(argc, argv);
    support::SafeApplication app(argc, argv);
    nameTheApplication();
    QApplication::setFont(QFont(QStringLiteral("Arial"), 9));
    support::fitLayoutToScreen(app::HeadForm::largestClientTwips());
    loadSwedishTranslation(app);

    Options options;
    QCommandLineParser& parser = options.parser;
    const QCommandLineOption& driveOption = options.drive;
    const QCommandLineOption& screenshotOption = options.screenshot;
    parser.process(app);

    const std::filesystem::path startupDir = QDir::currentPath().toStdString();
    std::optional<std::filesystem::path> given;
    if (parser.isSet(driveOption))
        given = parser.value(driveOption).toStdString();
    const auto drive = store::chooseDriveFolder(given, startupDir, QDir::homePath().toStdString(),
                                                store::systemMountPoints());

    support::QtDialogs dialogs;
    support::QtPlatform platform{support::Settings{}};
    support::Context ctx(
        store::DataPaths(drive), startupDir,
        QDate::currentDate().toString(QStringLiteral("yyyy-MM-dd")).toStdString(),
        [] { return QTime::currentTime().toString(QStringLiteral("hh:mm:ss")).toStdString(); }, dialogs,
        platform);

    ctx.programDataDir = support::programDataFolder(QCoreApplication::applicationDirPath().toStdString());

    const auto lock = app::lockDataRoot(ctx.paths);
    if (!lock) {
        dialogs.message(nullptr, QStringLiteral("Moniva körs redan"),
                        QStringLiteral("Moniva är redan igång med datamappen\n") +
                            QString::fromStdString(ctx.paths.dataRoot().string()) +
                            QStringLiteral("\n\nAvsluta det andra programmet först, eller växla till det !"),
                        support::Dialogs::Icon::Exclamation);
        return 1;
    }

    app.setErrorContext(&ctx);
    app::HeadForm form(ctx);
    QObject::connect(&form, &app::HeadForm::programEnded, &app, &QApplication::quit, Qt::QueuedConnection);

    if (parser.isSet(screenshotOption)) {
        const QString file = parser.value(screenshotOption);
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
