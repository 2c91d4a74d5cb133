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
#include <QPlainTextEdit>
#include <QPushButton>

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

// A running server with its own home folder; port 0 when it could not be started.
struct LocalFtp {
    TempDrive home;
    std::unique_ptr<uitest::ChildProcess> process;
    int port = 0;

    explicit LocalFtp(const std::string& python) {
        process = std::make_unique<uitest::ChildProcess>(std::vector<std::string>{
            python, uitest::supportScript("ftp_server.py").string(), home.path().string()});
        const std::string line = process->readLine(15000);
        if (!line.empty() && line.find_first_not_of("0123456789") == std::string::npos)
            port = std::stoi(line);
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

#define START_LOCAL_FTP(server)                                                                              \
    const std::string python = uitest::pythonWith("pyftpdlib");                                              \
    if (python.empty())                                                                                      \
        GTEST_SKIP() << "python3 with pyftpdlib is not installed";                                           \
    LocalFtp server(python);                                                                                 \
    ASSERT_GT(server.port, 0) << "the local FTP server did not start"

} // namespace

TEST(FtpUpload, StoresTheFileUnderItsOwnNameByteForByte) {
    START_LOCAL_FTP(server);
    TempDrive local;
    const std::string name = "FelRapport_Moniva20261206101112";
    local.writeFile(name, everyByte());

    UploadResult r = ftpUpload({"127.0.0.1", server.port, User, Password}, local / name);
    ASSERT_TRUE(r.ok) << r.error.toStdString();
    EXPECT_EQ(server.home.readFile(name), everyByte());

    // Two reports of the same second: the second replaces the first on the server.
    local.writeFile(name, "andra rapporten\r\n");
    r = ftpUpload({"ftp://127.0.0.1/", server.port, User, Password}, local / name);
    ASSERT_TRUE(r.ok) << r.error.toStdString();
    EXPECT_EQ(server.home.readFile(name), "andra rapporten\r\n");
    EXPECT_EQ(server.home.list(), std::vector<std::string>{name});
}

TEST(FtpUpload, EveryFailureIsReportedAsOne) {
    START_LOCAL_FTP(server);
    TempDrive local;
    local.writeFile("rapport", "text");

    const UploadResult refused = ftpUpload({"127.0.0.1", server.port, User, "fel"}, local / "rapport");
    EXPECT_FALSE(refused.ok);
    EXPECT_FALSE(refused.error.isEmpty());
    EXPECT_TRUE(server.home.list().empty());

    const UploadResult closed = ftpUpload({"127.0.0.1", closedPort(), User, Password}, local / "rapport", 10);
    EXPECT_FALSE(closed.ok);
    EXPECT_FALSE(closed.error.isEmpty());

    const UploadResult noHost = ftpUpload({QString(), 21, User, Password}, local / "rapport");
    EXPECT_FALSE(noHost.ok);
    EXPECT_EQ(noHost.error, NoFtpHostText);

    const UploadResult noFile = ftpUpload({"127.0.0.1", server.port, User, Password}, local / "saknas");
    EXPECT_FALSE(noFile.ok);
    EXPECT_TRUE(server.home.list().empty());
}

// The whole way: a trapped failure, the question, the form, the real platform and the server.
TEST(FtpUpload, ReportReachesTheServerAndLeavesNoLocalCopy) {
    START_LOCAL_FTP(server);
    TempDrive drive;
    std::filesystem::create_directories(drive / "Program");
    Settings settings;
    settings.ftpHost = "127.0.0.1";
    settings.ftpPort = server.port;
    QtPlatform platform(settings);
    uitest::ScriptedDialogs dialogs;
    support::Context ctx(
        store::DataPaths(drive.path()), drive / "Program", "2026-12-06", [] { return "10:11:12"; }, dialogs,
        platform);
    ctx.userName = "Åsa";
    ctx.installDate = "2025-01-31";
    ctx.error = {"Ett fel har uppstått i subrutinen G1_Click\r\n\r\n", "Fel i rutinen G1_Click", "Disk full"};

    dialogs.answerYes().onExec([](QDialog& form) {
        uitest::control<QPlainTextEdit>(form, "Text1")->setPlainText("Hände vid klick");
        uitest::control<QPushButton>(form, "Command1")->click();
        return form.result();
    });
    Felhantering(ctx, nullptr);

    EXPECT_EQ(dialogs.titles().last(), RappForm::SentTitle);
    EXPECT_TRUE(drive.list("Program").empty());
    const std::string uploaded = server.home.readFile("FelRapport_Moniva20261206101112");
    EXPECT_EQ(uploaded.substr(0, 26), "Systemrapporterat fel = Di");
    EXPECT_NE(uploaded.find("Anv\xE4ndare = \xC5sa\r\n"), std::string::npos);
    EXPECT_NE(uploaded.find("H\xE4nde vid klick\r\n"), std::string::npos);
}
