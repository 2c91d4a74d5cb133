// What happens before the main window: the command line, the lock on the data root, and the
// Swedish of Qt's own windows.

#include "ScriptedDialogs.h"
#include "app/CommandLine.h"
#include "app/InstanceLock.h"
#include "app/Translations.h"
#include "fixtures/TempDrive.h"
#include "support/ui/Dialogs.h"

#include <QApplication>
#include <QFileDialog>
#include <QLineEdit>
#include <QMenu>
#include <QPageSetupDialog>
#include <QPlainTextEdit>
#include <QPrinter>
#include <QPushButton>
#include <QRegularExpression>
#include <QTimer>
#include <QToolButton>

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>

#include <sys/stat.h>
#include <unistd.h>

namespace {

using Action = app::CommandLine::Action;

TEST(CommandLine, EachLineGivesItsActionOrARefusal) {
    TempDrive drive;
    drive.writeFile("fil", "x");
    const std::string dir = drive.path().string();
    struct Case {
        std::vector<std::string> args;
        Action action;
        std::string refusal;
    };
    const Case cases[] = {
        {{}, Action::Run, ""},
        {{"--drive", dir, "--screenshot", "bild.png"}, Action::Run, ""},
        {{"--drive=" + dir}, Action::Run, ""},
        {{"--screenshot", "bild.png", "-h"}, Action::Help, ""},
        {{"--version"}, Action::Version, ""},
        {{"--bogus"}, Action::Refuse, "okänd flagga: --bogus"},
        {{"-platform", "offscreen"}, Action::Refuse, "okänd flagga: -platform"},
        {{"hushall"}, Action::Refuse, "oväntat argument: hushall"},
        {{"--drive"}, Action::Refuse, "--drive saknar sitt värde"},
        {{"--screenshot="}, Action::Refuse, "--screenshot saknar sitt värde"},
        {{"--drive", "/no/such/dir"}, Action::Refuse, "mappen finns inte: /no/such/dir"},
        {{"--drive", dir + "/fil"}, Action::Refuse, "mappen finns inte: " + dir + "/fil"},
        {{"--export", "manad", "--account=alla", "--out", "a.XLSX"}, Action::Export, ""},
        {{"--export", "poster", "--account", "A", "--account", "B", "--from", "2026-01-01", "--to",
          "2026-01-01", "--out", "a.csv"},
         Action::Export,
         ""},
        {{"--export", "år", "--account", "A", "--out", "a.csv"},
         Action::Refuse,
         "okänd rapport: år (poster, per-transaktion eller manad)"},
        {{"--export", "manad", "--out", "a.csv"}, Action::Refuse, "--export saknar --account"},
        {{"--export", "manad", "--account", "A"}, Action::Refuse, "--export saknar --out"},
        {{"--account", "A", "--out", "a.csv"},
         Action::Refuse,
         "--account, --from, --to och --out hör till --export"},
        {{"--export", "manad", "--account", "alla", "--account", "A", "--out", "a.csv"},
         Action::Refuse,
         "--account alla går inte ihop med namngivna konton"},
        {{"--export", "manad", "--account", "A", "--from", "2026-02-30", "--out", "a.csv"},
         Action::Refuse,
         "--from är inget datum (ÅÅÅÅ-MM-DD): 2026-02-30"},
        {{"--export", "manad", "--account", "A", "--from", "2026-02-02", "--to", "2026-02-01", "--out",
          "a.csv"},
         Action::Refuse,
         "--from ligger efter --to"},
        {{"--export", "manad", "--account", "A", "--out", "a.ods"},
         Action::Refuse,
         "--out ska sluta på .xlsx eller .csv: a.ods"},
        {{"--export", "manad", "--account", "A", "--out", "a.csv", "--screenshot", "b.png"},
         Action::Refuse,
         "--screenshot går inte ihop med --export"},
    };
    for (const Case& c : cases) {
        const app::CommandLine line = app::parseCommandLine(c.args);
        EXPECT_EQ(line.action, c.action) << testing::PrintToString(c.args);
        EXPECT_EQ(line.refusal, c.refusal) << testing::PrintToString(c.args);
    }
    const app::CommandLine line = app::parseCommandLine({"--drive=" + dir, "--screenshot", "bild.png"});
    EXPECT_EQ(line.drive, drive.path());
    EXPECT_EQ(line.screenshot, "bild.png");
    const app::ExportRequest e =
        app::parseCommandLine({"--export", "per-transaktion", "--account", "Hem", "--account", "Bil", "--to",
                               "2026-03-31", "--out", "r.xlsx"})
            .exportRequest;
    EXPECT_EQ(e.kind, app::ExportRequest::Kind::PerTransaction);
    EXPECT_EQ(e.accounts, (std::vector<std::string>{"Hem", "Bil"}));
    EXPECT_EQ(e.from, std::nullopt);
    EXPECT_EQ(e.to, "2026-03-31");
    EXPECT_EQ(e.out, "r.xlsx");
    EXPECT_FALSE(std::filesystem::exists("/no/such/dir"));
}

// Two drive folders that reach one MoniData through a link are one data root.
TEST(InstanceLock, ALinkedDriveFolderMeetsTheSameLock) {
    TempDrive drives;
    std::filesystem::create_directories(drives / "a/MoniData");
    std::filesystem::create_directories(drives / "b");
    std::filesystem::create_directory_symlink("../a/MoniData", drives / "b/MoniData");
    const store::DataPaths first(drives / "a");
    const store::DataPaths second(drives / "b");

    const auto held = app::lockDataRoot(first);
    ASSERT_NE(held, nullptr);
    uitest::ScriptedDialogs dialogs;
    EXPECT_EQ(app::lockDataRootOrSay(second, dialogs), nullptr);
    ASSERT_EQ(dialogs.titles(), QStringList{"Moniva körs redan"});
    EXPECT_TRUE(dialogs.lastText().contains(QString::fromStdString((drives / "b/MoniData").string())));
}

// A lock of a program on another computer, or one that cannot be read: the user is told whose it
// is and may take it over; without a yes it stays as it was.
TEST(InstanceLock, AForeignLockIsNamedAndTakenOverOnlyWhenAsked) {
    const struct {
        std::string lockFile;
        QString told;
    } cases[] = {
        {"999999\nmoniva\nother-host", "är låst av Moniva på datorn other-host."},
        {"", "går inte att läsa."},
    };
    for (const auto& c : cases) {
        TempDrive drive;
        std::filesystem::create_directories(drive / "MoniData");
        const store::DataPaths paths(drive.path());
        drive.writeFile(app::lockFileFor(paths), c.lockFile);

        uitest::ScriptedDialogs dialogs;
        dialogs.answerNo().answerYes();
        EXPECT_EQ(app::lockDataRootOrSay(paths, dialogs), nullptr);
        EXPECT_EQ(drive.readFile(app::lockFileFor(paths)), c.lockFile);
        const auto lock = app::lockDataRootOrSay(paths, dialogs);
        ASSERT_NE(lock, nullptr) << c.lockFile;
        EXPECT_EQ(dialogs.titles(), (QStringList{"Datamappen är låst", "Datamappen är låst"}));
        EXPECT_TRUE(dialogs.texts().constFirst().contains(c.told))
            << dialogs.texts().constFirst().toStdString();
        EXPECT_TRUE(drive.readFile(app::lockFileFor(paths)).starts_with(std::to_string(::getpid()) + "\n"));
    }
}

// A FIFO would hold the start for ever, a link would be followed: neither is taken for a lock.
TEST(InstanceLock, ALockThatIsNoFileIsNeitherReadNorRemoved) {
    TempDrive drive;
    std::filesystem::create_directories(drive / "MoniData");
    const store::DataPaths paths(drive.path());
    const std::filesystem::path file = app::lockFileFor(paths);
    drive.writeFile("elsewhere", "999999\nmoniva\nother-host\n");
    for (const bool fifo : {true, false}) {
        std::filesystem::remove(file);
        if (fifo)
            ASSERT_EQ(::mkfifo(file.c_str(), 0600), 0);
        else
            std::filesystem::create_symlink(drive / "elsewhere", file);
        uitest::ScriptedDialogs dialogs;
        EXPECT_EQ(app::lockDataRootOrSay(paths, dialogs), nullptr);
        EXPECT_EQ(dialogs.titles(), QStringList{"Datamappen kan inte låsas"});
        EXPECT_FALSE(std::filesystem::is_regular_file(std::filesystem::symlink_status(file)));
    }
    EXPECT_EQ(drive.readFile("elsewhere"), "999999\nmoniva\nother-host\n");
}

TEST(InstanceLock, AFolderThatCannotBeWrittenIsToldAsSuch) {
    if (::geteuid() == 0)
        GTEST_SKIP() << "root writes in a read-only folder";
    TempDrive drive;
    std::filesystem::create_directories(drive / "MoniData");
    std::filesystem::permissions(drive.path(), std::filesystem::perms::owner_write,
                                 std::filesystem::perm_options::remove);
    uitest::ScriptedDialogs dialogs;
    EXPECT_EQ(app::lockDataRootOrSay(store::DataPaths(drive.path()), dialogs), nullptr);
    EXPECT_EQ(dialogs.titles(), QStringList{"Mappen kan inte skrivas"});
    EXPECT_TRUE(dialogs.lastText().contains(QString::fromStdString(drive.path().string())));
}

// Answers every text that no catalogue installed after it knew with nothing, and remembers it.
class Untranslated : public QTranslator {
public:
    bool isEmpty() const override { return false; }
    QString translate(const char* context, const char* source, const char*, int) const override {
        const QString text = QString::fromUtf8(source);
        // Key names are looked up by searching the whole table; those a menu shows (Ctrl, Shift)
        // read the same in Swedish. The layout direction is asked as each catalogue comes and goes.
        if (qstrcmp(context, "QShortcut") != 0 && qstrcmp(context, "QGuiApplication") != 0 &&
            text.contains(QRegularExpression(QStringLiteral("[A-Za-z]{2}"))))
            missing.append(QString::fromUtf8(context) + QStringLiteral(": ") + text);
        return {};
    }
    mutable QStringList missing;
};

// Clicks what `act` does in the modal window once it is up, then closes it.
void whenShown(std::function<void(QWidget&)> act) {
    QTimer::singleShot(100, [act] {
        QWidget* window = QApplication::activeModalWidget();
        ASSERT_NE(window, nullptr);
        act(*window);
        QTimer::singleShot(300, window, [window] { window->close(); });
    });
}

TEST(Translations, QtsOwnWindowsSayNothingInEnglish) {
    Untranslated untranslated;
    QCoreApplication::installTranslator(&untranslated);
    {
        const app::SwedishTranslations swedish;
        TempDrive folder;
        folder.writeFile("hushall.txt", "x");
        std::filesystem::create_directories(folder / "Arkiv");
        support::QtDialogs dialogs;

        // The save dialog in its detail view, where kinds, sizes and dates show.
        whenShown([](QWidget& dialog) {
            if (auto* detail = dialog.findChild<QToolButton*>(QStringLiteral("detailModeButton")))
                detail->click();
        });
        dialogs.saveFile(nullptr, "Spara", QString::fromStdString((folder / "hushall.txt").string()),
                         "Textfiler (*.txt)");

        // The print dialog with its options shown, and the page setup behind its "Egenskaper".
        whenShown([](QWidget& dialog) {
            for (QPushButton* button : dialog.findChildren<QPushButton*>())
                if (button->text().endsWith(QLatin1String(">>")))
                    button->click();
        });
        QPrinter printer;
        dialogs.printSetup(nullptr, printer);
        whenShown([](QWidget&) {});
        QPageSetupDialog(&printer).exec();

        // The context menu of every text field.
        QLineEdit line;
        QPlainTextEdit text;
        std::unique_ptr<QMenu>(line.createStandardContextMenu());
        std::unique_ptr<QMenu>(text.createStandardContextMenu());
    }
    QCoreApplication::removeTranslator(&untranslated);
    EXPECT_TRUE(untranslated.missing.isEmpty()) << untranslated.missing.join('\n').toStdString();
}

} // namespace
