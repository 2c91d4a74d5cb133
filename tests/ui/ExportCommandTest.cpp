// Reports written from a script: the program itself run without a display, its files read back.

#include "ChildProcess.h"
#include "fixtures/AccountFiles.h"
#include "fixtures/TempDrive.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <string>

#include <sys/wait.h>

namespace {

using namespace fixtures;

struct ProgramRun {
    int status = -1;
    std::string said; // standard output and error together
};

ProgramRun runProgram(const std::string& arguments) {
    const std::string command =
        "env -u DISPLAY -u WAYLAND_DISPLAY QT_QPA_PLATFORM= " MONIVA_PROGRAM " " + arguments + " 2>&1";
    ProgramRun run;
    FILE* pipe = ::popen(command.c_str(), "r");
    std::array<char, 4096> buffer{};
    while (std::size_t n = std::fread(buffer.data(), 1, buffer.size(), pipe))
        run.said.append(buffer.data(), n);
    const int raw = ::pclose(pipe);
    run.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    return run;
}

// Hem, a cash book over two months, and Bud, a budget account.
void twoAccounts(const TempDrive& drive) {
    const auto root = drive / "MoniData";
    writeRegister(root, kontoRec("Hem", "1", "Ek") + kontoRec("Bud", "2", "Bg"));
    writeAccount(root, "Hem",
                 cashPost("2026-01-01", 1, 5000, 5000) + cashPost("2026-01-05", 3, -100, 4900) +
                     cashPost("2026-01-20", 3, -300, 4600) + cashPost("2026-02-10", 2, 2000, 6600));
    writeAccount(root, "Bud",
                 budgetPost("2026-01-01", 1, 0, 0, 0, 0, true) +
                     budgetPost("2026-01-20", 3, -400, -450, -400, -450, true));
}

} // namespace

TEST(ExportCommand, WritesTheReportWithoutADisplay) {
    TempDrive drive;
    twoAccounts(drive);
    const std::string d = "--drive " + drive.path().string() + " ";
    ProgramRun run = runProgram(d + "--export per-transaktion --account Hem --to 2026-01-31 --out " +
                                (drive / "hem.csv").string());
    EXPECT_EQ(run.status, 0) << run.said;
    EXPECT_EQ(run.said,
              "Rapporten sparades i " + (drive / "hem.csv").string() + " (2026-01-01 – 2026-01-31)\n");
    EXPECT_EQ(drive.readFile("hem.csv"),
              "\xEF\xBB\xBFTyp;Huvudtransaktion;Subtransaktion;Belopp;Antal;Andel (%)\r\n"
              "Utgift;Uttag;;-400,00;2;100,00\r\n"
              "Utgift;Summa;;-400,00;2;100,00\r\n"
              "Utan tecken;Kontostart;;5000,00;1;\r\n");

    run = runProgram(d + "--export poster --account alla --out " + (drive / "alla.xlsx").string());
    EXPECT_EQ(run.status, 0) << run.said;
    const std::string python = uitest::pythonWith("openpyxl");
    if (python.empty())
        GTEST_SKIP() << "openpyxl is not installed";
    const std::string script =
        "import openpyxl, sys; wb = openpyxl.load_workbook(sys.argv[1]); "
        "print([(ws.title, ws.max_row, [c.value for c in ws[3]]) for ws in wb.worksheets])";
    FILE* pipe = ::popen((python + " -c \"" + script + "\" " + (drive / "alla.xlsx").string()).c_str(), "r");
    std::array<char, 256> buffer{};
    const std::string read(buffer.data(), std::fread(buffer.data(), 1, buffer.size(), pipe));
    ::pclose(pipe);
    EXPECT_EQ(
        read,
        "[('Hem', 5, [datetime.datetime(2026, 1, 5, 0, 0), 'Uttag', None, -100, 4900]), "
        "('Bud', 3, [datetime.datetime(2026, 1, 20, 0, 0), 'Uttag', None, -400, -450, -400, -450, -50])]\n");
}

TEST(ExportCommand, ABadAccountOrFileIsToldAndLeavesNoFile) {
    TempDrive drive;
    twoAccounts(drive);
    const std::string d = "--drive " + drive.path().string() + " --export ";
    const std::string out = (drive / "r.csv").string();
    const struct {
        std::string args;
        int status;
        std::string said;
    } cases[] = {
        {"manad --account Hem --account Saknas --out " + out, 2, "moniva: kontot finns inte: Saknas\n"},
        {"poster --account Hem --account Bud --out " + out, 2,
         "moniva: poster från flera konton kräver en .xlsx-fil (ett blad per konto)\n"},
        {"manad --account alla --out " + out + ".txt", 2,
         "moniva: --out ska sluta på .xlsx eller .csv: " + out + ".txt\n"},
        {"manad --account alla --out " + (drive / "saknas/r.csv").string(), 1,
         "moniva: Filen kunde inte sparas som\n" + (drive / "saknas/r.csv").string() +
             "\n\nMappen finns inte.\n\nVälj en annan plats och försök igen.\n"},
    };
    for (const auto& c : cases) {
        const ProgramRun run = runProgram(d + c.args);
        EXPECT_EQ(run.status, c.status) << c.args;
        EXPECT_TRUE(run.said.starts_with(c.said)) << run.said;
    }
    EXPECT_EQ(drive.list(), std::vector<std::string>{"MoniData"});
}
