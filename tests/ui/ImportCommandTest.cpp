// Statements imported from a script: the program itself run without a display, its output and
// files read back.

#include "app/InstanceLock.h"
#include "fixtures/AccountFiles.h"
#include "fixtures/TempDrive.h"
#include "store/History.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <string>

#include <sys/wait.h>

namespace {

using namespace fixtures;

struct ProgramRun {
    int status = -1;
    std::string out, err;
};

ProgramRun runImport(const TempDrive& drive, const std::string& arguments) {
    const std::string command = "env -u DISPLAY -u WAYLAND_DISPLAY QT_QPA_PLATFORM= " MONIVA_PROGRAM
                                " --drive " +
                                drive.path().string() + " " + arguments + " 2>" + (drive / "err").string();
    ProgramRun run;
    FILE* pipe = ::popen(command.c_str(), "r");
    std::array<char, 4096> buffer{};
    while (std::size_t n = std::fread(buffer.data(), 1, buffer.size(), pipe))
        run.out.append(buffer.data(), n);
    const int raw = ::pclose(pipe);
    run.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    run.err = drive.readFile("err");
    return run;
}

// Newest first, Windows-1252, amounts with a decimal point, as the bank writes it.
const std::string Statement =
    "* Transaktioner Period 2026-01-01 - 2026-01-31 Skapad 2026-02-01 10:00\r\n"
    "Radnummer,Clearingnummer,Kontonummer,Produkt,Valuta,Bokf\xF6ringsdag,Transaktionsdag,Valutadag,"
    "Referens,Beskrivning,Belopp,Bokf\xF6rt saldo\r\n"
    "2,8327-9,1234567,Privatkonto,SEK,2026-01-25,2026-01-24,2026-01-25,ICA,KORTK\xD6P 260124 ICA NARA "
    "SOLNA,-30.40,5969.60\r\n"
    "1,8327-9,1234567,Privatkonto,SEK,2026-01-20,2026-01-20,2026-01-20,L\xD6N,L\xD6N,1000.00,6000.00\r\n";

std::string rule(std::string_view pattern, int transNr) {
    return field(pattern, 40) + field(std::to_string(transNr), 4) + field("", 4);
}

} // namespace

TEST(ImportCommand, PrintsTheRowsAndImportsWhatARulePlaces) {
    TempDrive drive;
    const auto root = drive / "MoniData";
    writeRegister(root, kontoRec("Hem", "1", "Ek"));
    const std::string start = cashPost("2026-01-01", 1, 5000, 5000);
    writeAccount(root, "Hem", start);
    drive.writeFile("MoniData/Hem/Importregler", rule("ICA NARA", 3));
    drive.writeFile("kontoutdrag.csv", Statement);
    const std::string import = "--import " + (drive / "kontoutdrag.csv").string() + " --account Hem";

    ProgramRun run = runImport(drive, import + " --dry-run");
    EXPECT_EQ(run.status, 3) << run.err;
    EXPECT_EQ(run.out, "2026-01-20\t1000,00\tL\xC3\x96N\t\tny\n"
                       "2026-01-25\t-30,40\tKORTK\xC3\x96P 260124 ICA NARA SOLNA\tUttag\tregel\n");
    EXPECT_EQ(drive.readFile("MoniData/Hem/KontoData"), start);
    EXPECT_FALSE(drive.exists("MoniData/Hem/Importlogg"));

    // The rule's row goes in as one undo step; the other waits for the window.
    run = runImport(drive, import);
    EXPECT_EQ(run.status, 3) << run.err;
    EXPECT_EQ(drive.readFile("MoniData/Hem/KontoData"), start + cash("2026-01-25", "3", "-30,4", "4969,6"));
    {
        store::History history{store::DataPaths(drive.path())};
        history.recover();
        EXPECT_EQ(history.undoDescription(), "import av 1 post från Swedbank");
    }

    // Again with a rule for the other row: the first is known, the second placed; every row is done.
    drive.writeFile("MoniData/Hem/Importregler", rule("ICA NARA", 3) + rule("L\xD6N", 2));
    run = runImport(drive, import);
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "2026-01-20\t1000,00\tL\xC3\x96N\tIns\xC3\xA4ttning\tregel\n"
                       "2026-01-25\t-30,40\tKORTK\xC3\x96P 260124 ICA NARA SOLNA\tUttag\tredan\n");
    EXPECT_EQ(drive.readFile("MoniData/Hem/KontoData"),
              start + cash("2026-01-20", "2", "1000", "6000") + cash("2026-01-25", "3", "-30,4", "5969,6"));

    // Refused: an unknown account, a file that is no statement, and the program running on the drive.
    const std::string before = drive.readFile("MoniData/Hem/KontoData");
    drive.writeFile("bild.csv", "GIF89a");
    const struct {
        std::string arguments;
        int status;
        std::string said;
    } refusals[] = {
        {"--import " + (drive / "kontoutdrag.csv").string() + " --account Borta", 2,
         "moniva: kontot finns inte: Borta\n"},
        {"--import " + (drive / "bild.csv").string() + " --account Hem", 2, "moniva: "},
        {"--dry-run --account Hem", 2, "moniva: --dry-run hör till --import\n"},
        {import, 1, "moniva: Moniva arbetar redan med data i " + root.string()},
    };
    const auto lock = app::lockDataRoot(store::DataPaths(drive.path()));
    for (const auto& r : refusals) {
        if (r.status == 1) {
            ASSERT_TRUE(lock);
        }
        run = runImport(drive, r.arguments);
        EXPECT_EQ(run.status, r.status) << r.arguments;
        EXPECT_TRUE(run.err.starts_with(r.said)) << run.err;
        EXPECT_EQ(run.out, "");
    }
    EXPECT_EQ(drive.readFile("MoniData/Hem/KontoData"), before);
}
