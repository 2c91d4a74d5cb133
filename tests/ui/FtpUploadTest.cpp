// The error report upload against a local FTP server (tests/support/ftp_server.py, pyftpdlib).

#include "support/ui/FtpUpload.h"
#include "ChildProcess.h"
#include "ScriptedDialogs.h"
#include "UiHelpers.h"
#include "fixtures/TempDrive.h"
#include "support/ui/Context.h"
#include "support/ui/Felhantering.h"
#include "support/ui/QtPlatform.h"
#include "support/ui/RappForm.h"

#include <QDialog>
#include <QElapsedTimer>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>

#include <gtest/gtest.h>

#include <memory>
#include <optional>

#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

using namespace support;

namespace {

const QString User = "Qm4tZ8wLp2";
const QString Password = "Hx7Rb3Nc9V";

// A running server with its own home folder; port 0 when it could not be started. The modes are
// those of ftp_server.py: "plain", "tls" (TLS required; its certificate lands in caFile) and "stall".
struct LocalFtp {
    TempDrive folder;
    std::unique_ptr<uitest::ChildProcess> process;
    int port = 0;
    const std::filesystem::path caFile = folder / "ftp-ca.pem";

    LocalFtp(const std::string& python, const std::string& mode) {
        std::filesystem::create_directories(folder / "home");
        process = std::make_unique<uitest::ChildProcess>(std::vector<std::string>{
            python, uitest::supportScript("ftp_server.py").string(), (folder / "home").string(), mode});
        const std::string line = process->readLine(15000);
        if (!line.empty() && line.find_first_not_of("0123456789") == std::string::npos)
            port = std::stoi(line);
    }
    std::string read(const std::string& name) const { return folder.readFile("home/" + name); }
    std::vector<std::string> files() const { return folder.list("home"); }
    FtpTarget target(const QString& password = Password) const {
        return {"127.0.0.1", port, User, password, caFile};
    }
};

// A port on which nothing listens (bound once, then released).
int closedPort() {
    const int s = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ::bind(s, reinterpret_cast<sockaddr*>(&addr), sizeof addr);
    socklen_t len = sizeof addr;
    ::getsockname(s, reinterpret_cast<sockaddr*>(&addr), &len);
    ::close(s);
    return ntohs(addr.sin_port);
}

std::string everyByte() {
    std::string bytes;
    for (int round = 0; round < 40; ++round)
        for (int b = 0; b < 256; ++b)
            bytes.push_back(static_cast<char>(b));
    return bytes + "\r\n\n\r";
}

#define START_LOCAL_FTP(server, mode)                                                                        \
    const std::string python = uitest::pythonWith("pyftpdlib");                                              \
    if (python.empty())                                                                                      \
        GTEST_SKIP() << "python3 with pyftpdlib is not installed";                                           \
    LocalFtp server(python, mode);                                                                           \
    ASSERT_GT(server.port, 0) << "the local FTP server did not start"

// The report as the program sends it: through the question, the form, the real platform and the
// progress window, to a server on this machine.
struct ReportThroughTheForm {
    TempDrive drive;
    Settings settings;
    std::unique_ptr<QtPlatform> platform;
    uitest::ScriptedDialogs dialogs;
    std::unique_ptr<support::Context> ctx;

    explicit ReportThroughTheForm(int port) {
        std::filesystem::create_directories(drive / "Program");
        settings.ftpHost = "127.0.0.1";
        settings.ftpPort = port;
        settings.ftpUser = User;
        settings.ftpPassword = Password;
        platform = std::make_unique<QtPlatform>(settings);
        ctx = std::make_unique<support::Context>(
            store::DataPaths(drive.path()), drive / "Program", "2026-12-06", [] { return "10:11:12"; },
            dialogs, *platform);
        ctx->userName = "Åsa";
        ctx->installDate = "2025-01-31";
        ctx->error = {"Ett fel har uppstått i subrutinen G1_Click\r\n\r\n", "Fel i rutinen G1_Click",
                      "Disk full"};
    }
    void send() {
        dialogs.answerYes().onExec([](QDialog& form) {
            uitest::control<QPlainTextEdit>(form, "reportBox")->setPlainText("Hände vid klick");
            uitest::control<QPushButton>(form, "sendButton")->click();
            return form.result();
        });
        Felhantering(*ctx, nullptr);
    }
};

} // namespace

TEST(FtpUpload, StoresTheFileUnderItsOwnNameByteForByte) {
    START_LOCAL_FTP(server, "plain");
    TempDrive local;
    const std::string name = "FelRapport_Moniva20261206101112";
    local.writeFile(name, everyByte());

    UploadResult r = ftpUpload(server.target(), local / name);
    ASSERT_TRUE(r.ok) << r.error.toStdString();
    EXPECT_EQ(server.read(name), everyByte());

    // Two reports of the same second: the second replaces the first on the server.
    local.writeFile(name, "andra rapporten\r\n");
    r = ftpUpload({"ftp://127.0.0.1/", server.port, User, Password, {}}, local / name);
    ASSERT_TRUE(r.ok) << r.error.toStdString();
    EXPECT_EQ(server.read(name), "andra rapporten\r\n");
    EXPECT_EQ(server.files(), std::vector<std::string>{name});
}

// A server that refuses anything before TLS: the login and the report go encrypted.
TEST(FtpUpload, GoesOverTlsWhenTheServerOffersIt) {
    START_LOCAL_FTP(server, "tls");
    TempDrive local;
    local.writeFile("rapport", everyByte());
    const UploadResult r = ftpUpload(server.target(), local / "rapport");
    ASSERT_TRUE(r.ok) << r.error.toStdString();
    EXPECT_EQ(server.read("rapport"), everyByte());
}

TEST(FtpUpload, EveryFailureIsReportedAsOne) {
    START_LOCAL_FTP(server, "plain");
    TempDrive local;
    local.writeFile("rapport", "text");

    const UploadResult refused = ftpUpload(server.target("fel"), local / "rapport");
    EXPECT_FALSE(refused.ok);
    EXPECT_FALSE(refused.error.isEmpty());
    EXPECT_TRUE(server.files().empty());

    const UploadResult closed =
        ftpUpload({"127.0.0.1", closedPort(), User, Password, {}}, local / "rapport", 10);
    EXPECT_FALSE(closed.ok);
    EXPECT_FALSE(closed.error.isEmpty());

    const UploadResult noHost = ftpUpload({QString(), 21, User, Password, {}}, local / "rapport");
    EXPECT_FALSE(noHost.ok);
    EXPECT_EQ(noHost.error, NoFtpHostText);

    const UploadResult noFile = ftpUpload(server.target(), local / "saknas");
    EXPECT_FALSE(noFile.ok);
    EXPECT_TRUE(server.files().empty());

    // A server that takes the login and then never answers: the timeout ends the wait.
    LocalFtp stalling(python, "stall");
    ASSERT_GT(stalling.port, 0);
    QElapsedTimer clock;
    clock.start();
    const UploadResult stalled = ftpUpload(stalling.target(), local / "rapport", 2);
    EXPECT_FALSE(stalled.ok);
    EXPECT_FALSE(stalled.error.isEmpty());
    EXPECT_LT(clock.elapsed(), 6000);
}

TEST(FtpUpload, ReportReachesTheServerAndLeavesNoLocalCopy) {
    START_LOCAL_FTP(server, "plain");
    ReportThroughTheForm report(server.port);
    report.send();

    EXPECT_EQ(report.dialogs.titles().last(), RappForm::SentTitle);
    EXPECT_TRUE(report.drive.list("Program").empty());
    const std::string uploaded = server.read("FelRapport_Moniva20261206101112");
    EXPECT_EQ(uploaded.substr(0, 26), "Systemrapporterat fel = Di");
    EXPECT_NE(uploaded.find("Anv\xE4ndare = \xC5sa\r\n"), std::string::npos);
    EXPECT_NE(uploaded.find("H\xE4nde vid klick\r\n"), std::string::npos);
}

// The window goes on while the server stalls, and "Avbryt" in the progress window ends the wait
// at once; the report is kept and the user told why it was not sent.
TEST(FtpUpload, AvbrytEndsAStalledUploadAndKeepsTheReport) {
    START_LOCAL_FTP(server, "stall");
    ReportThroughTheForm report(server.port);
    bool progressShown = false;
    QTimer::singleShot(500, [&progressShown] {
        QWidget* progress = uitest::shownWindow({}, "UploadProgress");
        progressShown = progress != nullptr;
        if (progress)
            uitest::control<QPushButton>(*progress, "cancelButton")->click();
    });
    QElapsedTimer clock;
    clock.start();
    report.send();

    EXPECT_TRUE(progressShown);
    EXPECT_LT(clock.elapsed(), 5000);
    const std::filesystem::path kept = report.drive / "Program" / "FelRapport_Moniva20261206101112";
    EXPECT_TRUE(uitest::showed(report.dialogs, -1, RappForm::NotSentTitle,
                               RappForm::notSentText(UploadStoppedText, kept)));
    EXPECT_TRUE(std::filesystem::exists(kept));
}
