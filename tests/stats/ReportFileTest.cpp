// Report files go where the user chose: whole or not at all, and an ordinary problem of the place
// is told in plain words that name it.

#include "stats/ReportFile.h"

#include "fixtures/Faults.h"
#include "fixtures/TempDrive.h"
#include "fixtures/Unprivileged.h"

#include <gtest/gtest.h>

#include <csignal>
#include <functional>

#include <sys/resource.h>

using namespace stats;
namespace fs = std::filesystem;

namespace {

// The plain message of what fn failed with; "error report" for a failure that is no ordinary file
// problem, "saved" when it did not fail.
std::string toldOf(const std::function<void()>& fn) {
    try {
        fn();
    } catch (const store::FileError& e) {
        return plainFileProblem(e).value_or("error report");
    }
    return "saved";
}

std::string told(const fs::path& path, const std::string& reason) {
    return "Utskriften kunde inte sparas som\n" + path.string() + "\n\n" + reason +
           "\n\nVälj en annan plats och försök igen.";
}

// A PDF as a printer writes it: objects, the cross-reference table, the trailer pointing at it.
std::string pdf() {
    const std::string body = "%PDF-1.4\n1 0 obj\n<< /Type /Catalog >>\nendobj\n";
    return body +
           "xref\n0 2\n0000000000 65535 f \n0000000009 00000 n \ntrailer\n<< /Size 2 /Root 1 0 R >>\n" +
           "startxref\n" + std::to_string(body.size()) + "\n%%EOF\n";
}

} // namespace

TEST(ReportFile, ReplacesTheChosenFileOnlyWithAWholeReport) {
    TempDrive drive;
    drive.writeFile("rapport.txt", "old");
    writeReportFile(drive / "rapport.txt", "the report");
    EXPECT_EQ(drive.readFile("rapport.txt"), "the report");

    // The disk takes four bytes more (a file size limit): the older report stays, nothing is left
    // beside it, and the user is told in plain words.
    const int code = fixtures::inChild([&] {
        std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit{};
        ::getrlimit(RLIMIT_FSIZE, &limit);
        limit.rlim_cur = 4;
        ::setrlimit(RLIMIT_FSIZE, &limit);
        if (toldOf([&] { writeReportFile(drive / "rapport.txt", "a longer report"); }) !=
            told(drive / "rapport.txt", "Det finns inte plats för filen på disken."))
            throw 1;
    });
    EXPECT_EQ(code, 0);
    EXPECT_EQ(drive.readFile("rapport.txt"), "the report");
    EXPECT_EQ(drive.list(), std::vector<std::string>{"rapport.txt"});
}

TEST(ReportFile, OrdinaryProblemsOfThePlaceAreToldWithThePath) {
    TempDrive drive;
    fs::create_directories(drive / "mapp");
    const std::pair<fs::path, std::string> places[] = {
        {drive / "saknas" / "r.txt", "Mappen finns inte."},
        {drive / "mapp", "Det finns en mapp med det namnet."},
    };
    for (const auto& [path, reason] : places)
        EXPECT_EQ(toldOf([&] { writeReportFile(path, "x"); }), told(path, reason));

    // Where permissions apply: a folder the user may not write in, a file he made read-only.
    drive.writeFile("skyddad/r.txt", "keep");
    fs::permissions(drive / "skyddad/r.txt",
                    fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    fs::permissions(drive / "mapp", fs::perms::owner_read | fs::perms::owner_exec | fs::perms::group_read |
                                        fs::perms::group_exec | fs::perms::others_read |
                                        fs::perms::others_exec);
    const auto result = fixtures::asUnprivileged(drive.path(), [&] {
        return toldOf([&] { writeReportFile(drive / "mapp/r.txt", "x"); }) + "|" +
               toldOf([&] { writeReportFile(drive / "skyddad/r.txt", "x"); });
    });
    ASSERT_TRUE(result.ran) << result.output;
    const std::string denied = "Du har inte behörighet att skriva där, eller så är filen skrivskyddad.";
    EXPECT_EQ(result.output,
              told(drive / "mapp/r.txt", denied) + "|" + told(drive / "skyddad/r.txt", denied));
    EXPECT_EQ(drive.readFile("skyddad/r.txt"), "keep");

    // A failure of another kind is a fault for the error report.
    EXPECT_EQ(toldOf([] { throw store::FileError(std::error_code(EIO, std::system_category()), "/x"); }),
              "error report");
    EXPECT_EQ(toldOf([] { throw store::FileError("Okänt", "/x"); }), "error report");
}

TEST(ReportFile, APdfIsWholeOnlyWithItsTrailerAndTableInPlace) {
    TempDrive drive;
    const std::string whole = pdf();
    const std::size_t table = whole.find("xref");
    const std::pair<std::string, bool> cases[] = {
        {whole, true},
        {whole.substr(0, whole.size() / 2), false},                 // cut short
        {whole.substr(0, table - 6) + whole.substr(table), false},  // a piece of the middle lost
        {whole.substr(0, whole.size() - 7) + "%%EOF\nrest", false}, // something after the end
        {"", false},
    };
    for (const auto& [bytes, complete] : cases) {
        drive.writeFile("r.pdf", bytes);
        EXPECT_EQ(toldOf([&] { checkPdfFile(drive / "r.pdf", drive / "vald.pdf"); }),
                  complete
                      ? "saved"
                      : told(drive / "vald.pdf", "Filen blev inte färdigskriven. Disken är troligen full."))
            << bytes.size();
    }
}
