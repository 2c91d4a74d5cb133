#include "support/ErrorReport.h"

#include "fixtures/Faults.h"
#include "fixtures/TempDrive.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

using namespace support;

namespace {

ErrorState transChangeError() {
    ErrorState e;
    e.headline =
        "Ett fel har uppstått i subrutinen TransChange\r\n vid försök att ändra en transaktion.\r\n\r\n";
    e.details = joinDetails(
        {"Fel i rutinen TransChange", " vid försök att ändra en transaktion", "Transaktionsreferens = 7"});
    e.errorText = "No such file or directory";
    return e;
}

ReportFacts facts(std::string message) {
    return {"2026-12-06", "10:11:12", "Åsa Öberg", "2025-01-31", std::move(message)};
}

} // namespace

TEST(ErrorReport, FileIsWrittenLineByLineInWindows1252) {
    TempDrive dir;
    const auto file =
        writeErrorReport(dir.path(), transChangeError(), facts("Första raden\nAndra 😀 raden\r\nSista"));
    EXPECT_EQ(file.filename(), "FelRapport_Moniva20261206101112");
    EXPECT_EQ(dir.readFile(file), "Systemrapporterat fel = No such file or directory\r\n"
                                  "Datum = 2026-12-06, Tidpunkt = 10:11:12\r\n\r\n"
                                  "Anv\xE4ndare = \xC5sa \326berg\r\n\r\n"
                                  "Installationsdatum = 2025-01-31\r\n\r\n"
                                  "Programversion = " MONIVA_VERSION "\r\n\r\n"
                                  "Meddelande fr\xE5n anv\xE4ndaren:\r\n\r\n"
                                  "F\xF6rsta raden\r\n"
                                  "Andra ? raden\r\n"
                                  "Sista\r\n\r\n"
                                  "Data samlade vid felk\xE4llan: \r\n\r\n"
                                  "Fel i rutinen TransChange\r\n"
                                  " vid f\xF6rs\xF6k att \xE4ndra en transaktion\r\n"
                                  "Transaktionsreferens = 7\r\n");
}

TEST(ErrorReport, NoMessageAndSameSecondOverwrite) {
    TempDrive dir;
    ErrorState e = transChangeError();
    e.details = "Fel i rutinen X";
    const auto first = writeErrorReport(dir.path(), e, facts(""));
    std::vector<std::string> lines = errorReportLines(e, facts(" \r\n "));
    ASSERT_EQ(lines.size(), 14u);
    EXPECT_EQ(lines[9], "Inget meddelande från användaren !");
    EXPECT_EQ(lines[10], "");
    EXPECT_EQ(lines[13], "Fel i rutinen X");

    // A second report in the same second takes the same name and replaces the first.
    e.errorText = "Permission denied";
    const auto second = writeErrorReport(dir.path(), e, facts(""));
    EXPECT_EQ(first, second);
    EXPECT_EQ(dir.list().size(), 1u);
    EXPECT_EQ(dir.readFile(second).substr(0, 43), "Systemrapporterat fel = Permission denied\r\n");
}

TEST(ErrorReport, DetailsSplitAtEverySeparator) {
    EXPECT_EQ(splitDetails("a\302\246b\302\246c"), (std::vector<std::string>{"a", "b", "c"}));
    EXPECT_EQ(splitDetails("utan avskiljare"), (std::vector<std::string>{"utan avskiljare"}));
    EXPECT_EQ(splitDetails("\xC2\xA6"), (std::vector<std::string>{"", ""}));
    // The separator is the whole two-byte character: a lone 0xA6 continuation elsewhere is text.
    EXPECT_EQ(splitDetails("x = \xC3\xA6t\xC2\xA6y"), (std::vector<std::string>{"x = \xC3\xA6t", "y"}));
    const std::vector<std::string> items = {"Fel i rutinen G1_Click", "PostNr = 3", ""};
    EXPECT_EQ(splitDetails(joinDetails(items)), items);
}

TEST(ErrorReport, ErrLogBlocksAreAppended) {
    TempDrive dir;
    appendErrLog(dir.path(), emptyPostFileLogLines("2026-12-06", "10:11:12", 3, "Hushåll",
                                                   "/media/usb/MoniData/Hushåll"));
    appendErrLog(dir.path(), emptyPostFileLogLines("2026-12-06", "10:12:00", 4, "Bil", "/x"));
    const std::string first = "Fel: Kontokatalogen inneh\xE5ller inga data !\r\n"
                              "Datum = 2026-12-06, Tidpunkt = 10:11:12\r\n\r\n"
                              "Filen 'KontoData'saknar inneh\xE5ll !\r\n\r\n"
                              "Klickat KontoNum: 3\r\n"
                              "KontoNamn: Hush\xE5ll\r\n"
                              "S\xF6kv\xE4g: /media/usb/MoniData/Hush\xE5ll\r\n\r\n";
    const std::string log = dir.readFile("ErrLog");
    ASSERT_GT(log.size(), first.size());
    EXPECT_EQ(log.substr(0, first.size()), first);
    EXPECT_EQ(log.substr(first.size(), 22), "Fel: Kontokatalogen in");
    EXPECT_NE(log.find("Klickat KontoNum: 4\r\nKontoNamn: Bil\r\n"), std::string::npos);
}

TEST(ErrorReport, TextThatTheCodePageCannotHoldBecomesQuestionMarks) {
    EXPECT_EQ(reportTextToCp1252("€ å"), "\x80 \xE5");
    EXPECT_EQ(reportTextToCp1252("α😀b"), "??b");
    // A broken sequence costs one byte; the character after it survives.
    EXPECT_EQ(reportTextToCp1252("\xC3("), "?(");
    EXPECT_EQ(reportTextToCp1252("\xE5\xE4"), "??");
}

// The start-up folder is no folder of the program's own, and the next report's name is known to the
// second: a link, a second name of another file or a FIFO by the name of the log or the report is
// refused with a message naming it, and nothing is written anywhere.
TEST(ErrorReport, NeverWrittenThroughALinkOrASecondName) {
    namespace fs = std::filesystem;
    TempDrive dir;
    dir.writeFile("victim", "export PS1=x\n");
    const std::string report = errorReportFileName("2026-12-06", "10:11:12");
    for (const char* how : {"link", "dangling link", "second name", "fifo"}) {
        for (const std::string& name : {std::string("ErrLog"), report}) {
            SCOPED_TRACE(how + (" " + name));
            const fs::path path = dir / name;
            const std::string kind = how;
            if (kind == "link")
                fs::create_symlink(dir / "victim", path);
            else if (kind == "dangling link")
                fs::create_symlink(dir / "made-through-the-link", path);
            else if (kind == "second name")
                fs::create_hard_link(dir / "victim", path);
            else
                ASSERT_EQ(::mkfifo(path.c_str(), 0600), 0);
            const auto names = dir.list();
            const std::string text = fixtures::failureText([&] {
                if (name == "ErrLog")
                    appendErrLog(dir.path(), {"$(touch PWNED)"});
                else
                    writeErrorReport(dir.path(), transChangeError(), facts(""));
            });
            EXPECT_EQ(text.rfind("Filen " + path.string() + " \xC3\xA4r en l\xC3\xA4nk", 0), 0u) << text;
            EXPECT_EQ(dir.readFile("victim"), "export PS1=x\n");
            EXPECT_EQ(dir.list(), names);
            fs::remove(path);
        }
    }
}
