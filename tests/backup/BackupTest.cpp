#include "backup/Backup.h"

#include "fixtures/AccountFiles.h"
#include "fixtures/Faults.h"
#include "fixtures/TempDrive.h"
#include "store/Errors.h"
#include "store/Paths.h"
#include "store/RecordFile.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <ctime>
#include <fstream>
#include <string>
#include <vector>

#include <sys/resource.h>
#include <sys/statvfs.h>
#include <unistd.h>

namespace {

#if defined(__SANITIZE_ADDRESS__)
constexpr bool AddressSanitizerBuild = true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr bool AddressSanitizerBuild = true;
#else
constexpr bool AddressSanitizerBuild = false;
#endif
#else
constexpr bool AddressSanitizerBuild = false;
#endif

namespace fs = std::filesystem;
using fixtures::filesUnder;
using fixtures::kontoRec;
using fixtures::readFile;
using fixtures::writeFile;
using fixtures::writeRegister;

const std::string Today = "2026-12-04";
const std::string Clock = "15:30:59";
// "Hushåll" as the register holds it and as its folder is named.
const std::string HushallCp = "Hush\xE5ll";
const std::string Hushall = "Hush\xC3\xA5ll";

// A budget template of two records with a zero byte and Windows-1252 letters.
const std::string Mall = std::string("2026-01-01\x00", 11) + "Bo\xE5" + "    " + "2026-02-01" + "       1";

class BackupTest : public ::testing::Test {
protected:
    void SetUp() override {
        fs::create_directories(paths.dataRoot());
        writeRegister(paths.dataRoot(), kontoRec(HushallCp, "1234", "Bg") + kontoRec("Bil", "", "Ek"));
        writeFile(paths.posFil(), std::string(140, '\0'));
        fixtures::writeAccount(paths.dataRoot(), Hushall, fixtures::budgetPosts(3));
        writeFile(paths.dataRoot() / Hushall / "B-mall", Mall);
        fixtures::writeAccount(paths.dataRoot(), "Bil", fixtures::cashPosts(5));
        fs::create_directories(stick.path());
    }
    void TearDown() override { store::setCommitFaultHook({}); }

    TempDrive drive;
    TempDrive stick;
    store::DataPaths paths{drive.path()};
};

TEST_F(BackupTest, FolderNamesCarryDateAndMinuteWithoutSeparators) {
    EXPECT_EQ(backup::timeStamp(Today, Clock), "202612041530");
    EXPECT_EQ(backup::accountBackupName(Hushall, Today, Clock), Hushall + "202612041530");
    EXPECT_EQ(backup::allAccountsBackupName("2027-01-09", "08:05:00"), "MonivaBU202701090805");

    for (const auto& [today, clock] : std::vector<std::pair<std::string, std::string>>{
             {"2026-12-4", Clock}, {"2026/12/04", Clock}, {Today, "1530"}, {Today, "15.30.00"}, {"", ""}})
        EXPECT_THROW(backup::timeStamp(today, clock), store::DataError) << today << " " << clock;
    for (const char* name : {"", "..", "a/b", "a\\b"})
        EXPECT_THROW(backup::accountBackupName(name, Today, Clock), store::DataError) << name;

    // The folder of the files a restore replaces carries the second as well.
    EXPECT_EQ(backup::replacedFolderName(Today, Clock), "MoniData-ersatt-20261204-153059");
    EXPECT_THROW(backup::replacedFolderName(Today, "15:30"), store::DataError);
}

TEST_F(BackupTest, AccountBackupIsAByteExactCopyOfTheAccountFolder) {
    // The leftover of a save cut short is no data and stays behind.
    writeFile(paths.dataRoot() / Hushall / ".KontoData.tmp-99999", "half");
    const auto before = filesUnder(paths.dataRoot() / Hushall);

    const fs::path made = backup::backUpAccount(paths, Hushall, stick.path(), Today, Clock);

    EXPECT_EQ(made, stick.path() / (Hushall + "202612041530"));
    EXPECT_EQ(stick.list(), std::vector<std::string>{Hushall + "202612041530"}); // no temporary folder
    auto expected = before;
    std::erase_if(expected, [](const auto& f) { return f.first.front() == '.'; });
    ASSERT_EQ(expected.size(), 4u); // B-mall, Kategori (empty), KontoData, Transakt
    EXPECT_EQ(filesUnder(made), expected);
    EXPECT_EQ(readFile(made / "B-mall"), Mall);
    EXPECT_EQ(filesUnder(paths.dataRoot() / Hushall), before); // the source is untouched
}

TEST_F(BackupTest, SecondBackupInTheSameMinuteReplacesTheFirst) {
    const fs::path first = backup::backUpAccount(paths, "Bil", stick.path(), Today, "15:30:01");
    writeFile(first / "Extra", "only in the first");
    writeFile(paths.dataRoot() / "Bil" / "KontoData", fixtures::cashPosts(7));

    const fs::path second = backup::backUpAccount(paths, "Bil", stick.path(), Today, "15:30:58");

    EXPECT_EQ(second, first);
    EXPECT_EQ(filesUnder(second), filesUnder(paths.dataRoot() / "Bil"));
    EXPECT_EQ(stick.list(), std::vector<std::string>{"Bil202612041530"});
}

TEST_F(BackupTest, AllAccountsBackupCopiesTheDataRootButNoLinks) {
    writeFile(drive / "outside.txt", "private");
    fs::create_symlink(drive / "outside.txt", paths.dataRoot() / "Link");
    fs::create_directory_symlink(drive.path(), paths.dataRoot() / "LinkedFolder");
    fs::create_directories(paths.dataRoot() / "Empty");

    const fs::path made = backup::backUpAll(paths, stick.path(), Today, Clock);

    EXPECT_EQ(made, stick.path() / "MonivaBU202612041530");
    auto expected = filesUnder(paths.dataRoot());
    std::erase_if(expected, [](const auto& f) { return f.first.rfind("Link", 0) == 0; });
    EXPECT_EQ(filesUnder(made), expected);
    EXPECT_TRUE(fs::is_directory(made / "Empty"));
    EXPECT_FALSE(fs::exists(fs::symlink_status(made / "Link")));
    EXPECT_FALSE(fs::exists(fs::symlink_status(made / "LinkedFolder")));

    // A target inside the copied folder would copy itself.
    EXPECT_THROW(backup::backUpAll(paths, paths.dataRoot(), Today, Clock), store::DataError);
}

TEST_F(BackupTest, FailedCopyLeavesNoBackupAndKeepsTheEarlierOne) {
    const fs::path earlier = backup::backUpAll(paths, stick.path(), Today, Clock);
    const auto earlierFiles = filesUnder(earlier);
    writeFile(paths.kontoIni(), "2\r\nAnna\r\n");

    int writes = 0;
    store::setCommitFaultHook([&](store::CommitStep step, const fs::path& path) {
        if (step == store::CommitStep::Write && ++writes == 3)
            throw store::FileError("No space left on device", path.string());
    });
    EXPECT_THROW(backup::backUpAll(paths, stick.path(), Today, Clock), store::FileError);
    EXPECT_EQ(stick.list(), std::vector<std::string>{"MonivaBU202612041530"});
    EXPECT_EQ(filesUnder(earlier), earlierFiles);

    writes = 0;
    EXPECT_THROW(backup::backUpAccount(paths, "Bil", stick.path(), Today, "16:00:00"), store::FileError);
    EXPECT_EQ(stick.list(), std::vector<std::string>{"MonivaBU202612041530"});

    // A file in the way of the folder name is not the user's to lose.
    store::setCommitFaultHook({});
    writeFile(stick / "Bil202612041700", "a file of the user");
    EXPECT_THROW(backup::backUpAccount(paths, "Bil", stick.path(), Today, "17:00:00"), store::FileError);
    EXPECT_EQ(stick.readFile("Bil202612041700"), "a file of the user");
}

TEST_F(BackupTest, RestoreCandidatesAreBackupsWhoseNameBeginsWithTheAccount) {
    backup::backUpAccount(paths, "Bil", stick.path(), Today, Clock);
    writeFile(stick / "Bilresor202601011200" / "KontoData", "x"); // another account's backup counts
    writeFile(stick / "Bilder" / "semester.jpg", "jpeg");         // no backup at all
    writeFile(stick / ".Bil202612041531.tmp-77" / "KontoData", "being made");
    writeFile(stick / "Bil202612041532", "a file, not a folder");
    backup::backUpAll(paths, stick.path(), Today, Clock);
    fs::create_directories(stick / "MonivaBU-tom");

    const auto names = [](const std::vector<fs::path>& found) {
        std::vector<std::string> out;
        for (const fs::path& p : found)
            out.push_back(p.filename().string());
        return out;
    };
    EXPECT_EQ(names(backup::restoreCandidates(stick.path(), backup::Scope::Account, "Bil")),
              (std::vector<std::string>{"Bil202612041530", "Bilresor202601011200"}));
    EXPECT_EQ(names(backup::restoreCandidates(stick.path(), backup::Scope::All, "Bil")),
              std::vector<std::string>{"MonivaBU202612041530"});
    EXPECT_TRUE(backup::restoreCandidates(stick.path(), backup::Scope::Account, "").empty());
    EXPECT_TRUE(backup::restoreCandidates(stick.path(), backup::Scope::Account, Hushall).empty());
    EXPECT_TRUE(backup::restoreCandidates(stick / "missing", backup::Scope::All, "").empty());
}

TEST_F(BackupTest, AccountRestoreOverwritesSameNamesAndKeepsTheRest) {
    const fs::path made = backup::backUpAccount(paths, "Bil", stick.path(), Today, Clock);
    const std::string savedPosts = readFile(made / "KontoData");
    writeFile(paths.dataRoot() / "Bil" / "KontoData", fixtures::cashPosts(9));
    writeFile(paths.dataRoot() / "Bil" / "Anteckning", "only here");
    fs::remove(paths.dataRoot() / "Bil" / "Kategori");

    const fs::path kept = backup::restoreAccount(paths, "Bil", made, Today, "16:00:01");

    EXPECT_EQ(readFile(paths.dataRoot() / "Bil" / "KontoData"), savedPosts);
    EXPECT_EQ(readFile(paths.dataRoot() / "Bil" / "Kategori"), "");
    EXPECT_EQ(readFile(paths.dataRoot() / "Bil" / "Anteckning"), "only here");
    EXPECT_FALSE(fs::exists(paths.journalFolder()));
    // What it replaced is kept beside the data root, in its place below it; nothing else is.
    EXPECT_EQ(kept, drive / "MoniData-ersatt-20261204-160001");
    EXPECT_EQ(filesUnder(kept), (std::vector<std::pair<std::string, std::string>>{
                                    {"Bil/KontoData", fixtures::cashPosts(9)},
                                    {"Bil/Transakt", fixtures::standardTransakt()}}));

    // In the same second again: a folder of its own.
    EXPECT_EQ(backup::restoreAccount(paths, "Bil", made, Today, "16:00:01"),
              drive / "MoniData-ersatt-20261204-160001-2");
    EXPECT_EQ(filesUnder(kept).front().second, fixtures::cashPosts(9));

    // An account whose folder is gone gets it back, and nothing was replaced.
    fs::remove_all(paths.dataRoot() / "Bil");
    EXPECT_EQ(backup::restoreAccount(paths, "Bil", made, Today, "16:00:02"), fs::path());
    EXPECT_EQ(filesUnder(paths.dataRoot() / "Bil"), filesUnder(made));
    EXPECT_EQ(drive.list(), (std::vector<std::string>{"MoniData", "MoniData-ersatt-20261204-160001",
                                                      "MoniData-ersatt-20261204-160001-2"}));
}

TEST_F(BackupTest, AllRestoreIsAllOrNothing) {
    const fs::path made = backup::backUpAll(paths, stick.path(), Today, Clock);
    writeFile(paths.kontoIni(), "2\r\nBertil\r\n");
    writeFile(paths.dataRoot() / "Bil" / "KontoData", fixtures::cashPosts(2));
    fs::remove_all(paths.dataRoot() / Hushall);
    const auto before = filesUnder(paths.dataRoot());

    // The fourth data file to be replaced fails, after three have been; or keeping the replaced
    // files fails. Either way nothing changes, and no folder of replaced files is left.
    const std::string root = fs::absolute(paths.dataRoot()).string() + "/";
    for (const bool failKeeping : {false, true}) {
        int replaced = 0;
        store::setCommitFaultHook([&](store::CommitStep step, const fs::path& path) {
            const bool data = path.string().rfind(root, 0) == 0;
            if (step == store::CommitStep::Rename && data != failKeeping && ++replaced == 4)
                throw store::FileError("Input/output error", path.string());
        });
        EXPECT_THROW(backup::restoreAll(paths, made, Today, Clock), store::FileError);
        EXPECT_GE(replaced, 4);
        EXPECT_EQ(filesUnder(paths.dataRoot()), before);
        EXPECT_FALSE(fs::exists(paths.dataRoot() / Hushall)); // the folder the restore made is gone again
        EXPECT_EQ(drive.list(), std::vector<std::string>{"MoniData"}) << failKeeping;
    }

    store::setCommitFaultHook({});
    const fs::path kept = backup::restoreAll(paths, made, Today, Clock);
    EXPECT_EQ(filesUnder(paths.dataRoot()), filesUnder(made));
    // Every file there was is replaced (the backup holds them all), so all are kept, byte for byte.
    EXPECT_EQ(kept, drive / "MoniData-ersatt-20261204-153059");
    EXPECT_EQ(filesUnder(kept), before);
}

// The import files travel with the data; a restore from a backup made before the first import
// takes them away again (kept with the other replaced files), or rows that the restored ledger no
// longer holds would read as imported.
TEST_F(BackupTest, ImportFilesFollowTheBackupBothWays) {
    const fs::path without = backup::backUpAccount(paths, "Bil", stick.path(), Today, Clock);
    const std::string log(113, 'l');
    writeFile(paths.dataRoot() / "Bil" / "Importregler", std::string(48, 'r'));
    writeFile(paths.dataRoot() / "Bil" / "Importlogg", log);
    writeFile(paths.dataRoot() / "Importprofiler", std::string(86, 'p'));
    const fs::path with = backup::backUpAll(paths, stick.path(), Today, "15:31:00");
    writeFile(paths.dataRoot() / "Bil" / "Importlogg", log + log);

    backup::restoreAll(paths, with, Today, "16:00:00");
    EXPECT_EQ(filesUnder(paths.dataRoot()), filesUnder(with));
    const fs::path kept = backup::restoreAccount(paths, "Bil", without, Today, "16:00:01");
    EXPECT_FALSE(fs::exists(paths.dataRoot() / "Bil" / "Importregler"));
    EXPECT_FALSE(fs::exists(paths.dataRoot() / "Bil" / "Importlogg"));
    EXPECT_EQ(readFile(kept / "Bil" / "Importlogg"), log);
    EXPECT_EQ(filesUnder(paths.dataRoot() / "Bil"), filesUnder(without));
}

TEST_F(BackupTest, BackupMomentAndAccountsForTheQuestionBeforeARestore) {
    const fs::path made = backup::backUpAll(paths, stick.path(), Today, Clock);
    EXPECT_EQ(backup::backupMoment(made), "2026-12-04 15:30");
    EXPECT_EQ(backup::backupAccounts(made), (std::vector<std::string>{"Bil", Hushall}));
    fs::create_directories(stick / "Bilresor202601011200");
    EXPECT_EQ(backup::backupMoment(stick / "Bilresor202601011200"), "2026-01-01 12:00");

    // A folder named otherwise: its last change, in local time.
    fs::create_directories(stick / "MonivaBU-gammal");
    fs::create_directories(stick / "Bil202613011200"); // no month 13
    std::tm local{};
    local.tm_year = 2025 - 1900;
    local.tm_mon = 2;
    local.tm_mday = 4;
    local.tm_hour = 5;
    local.tm_min = 6;
    local.tm_isdst = -1;
    const auto when =
        std::chrono::file_clock::from_sys(std::chrono::system_clock::from_time_t(std::mktime(&local)));
    fs::last_write_time(stick / "MonivaBU-gammal", when);
    fs::last_write_time(stick / "Bil202613011200", when);
    EXPECT_EQ(backup::backupMoment(stick / "MonivaBU-gammal"), "2025-03-04 05:06");
    EXPECT_EQ(backup::backupMoment(stick / "Bil202613011200"), "2025-03-04 05:06");
    EXPECT_EQ(backup::backupMoment(stick / "missing"), "");
}

TEST_F(BackupTest, RestoreRefusesUnsafeNamesAndLinksBeforeWritingAnything) {
    const fs::path made = backup::backUpAll(paths, stick.path(), Today, Clock);
    writeFile(paths.kontoIni(), "2\r\nBertil\r\n");
    const auto before = filesUnder(paths.dataRoot());

    writeFile(made / "Bad\x01Name" / "KontoData", "x");
    EXPECT_THROW(backup::restoreAll(paths, made, Today, Clock), store::DataError);
    fs::remove_all(made / "Bad\x01Name");
    EXPECT_THROW(backup::restoreAccount(paths, "../Bil", made / "Bil", Today, Clock), store::DataError);
    EXPECT_EQ(filesUnder(paths.dataRoot()), before);

    // A data file that is a link to a file outside: the restore would write there.
    writeFile(drive / "outside.txt", "private");
    fs::remove(paths.dataRoot() / "Bil" / "Transakt");
    fs::create_symlink(drive / "outside.txt", paths.dataRoot() / "Bil" / "Transakt");
    EXPECT_THROW(backup::restoreAccount(paths, "Bil", made / "Bil", Today, Clock), store::DataError);
    EXPECT_EQ(drive.readFile("outside.txt"), "private");
    // An account folder that is a link leads outside just as well.
    fs::remove(paths.dataRoot() / "Bil" / "Transakt");
    writeFile(paths.dataRoot() / "Bil" / "Transakt", fixtures::standardTransakt());
    fs::remove_all(paths.dataRoot() / Hushall);
    fs::create_directory_symlink(drive.path(), paths.dataRoot() / Hushall);
    EXPECT_THROW(backup::restoreAll(paths, made, Today, Clock), store::DataError);
    EXPECT_FALSE(drive.exists("KontoData"));
    EXPECT_EQ(readFile(paths.kontoIni()), "2\r\nBertil\r\n");
}

// A backup folder is often a stick someone else prepared: a file that cannot be what its name says
// is refused before anything changes, one of a kind the program does not keep is left out, and the
// copies stream, so a huge sparse file never fills the memory.
TEST_F(BackupTest, RestoreRefusesFilesThatCannotBeWhatTheyClaim) {
    const fs::path made = backup::backUpAll(paths, stick.path(), Today, Clock);
    writeFile(paths.kontoIni(), "2\r\nBertil\r\n");
    const auto before = filesUnder(paths.dataRoot());
    struct statvfs disk {};
    ASSERT_EQ(::statvfs(paths.dataRoot().c_str(), &disk), 0);
    const std::uint64_t free = std::uint64_t(disk.f_bavail) * disk.f_frsize;
    const struct {
        const char* file;
        std::uint64_t size; // made sparse; 0: the text below
        std::string text;
        const char* why;
    } cases[] = {
        {"Bil/Kategori", (std::uint64_t(1) << 30) / 35 * 35, "", "fler än 9999 poster"},
        {"Bil/Transakt", 36 * 10000, "", "fler än 9999 poster"},
        {"Bil/KontoData", 43 * 3 + 1, "", "inte ett helt antal poster"},
        {"Bil/KontoData", 77 * 2, "", "inte ett helt antal poster"}, // budget posts of a cash-book account
        {"RedDayFil", 36, "", "inte ett helt antal poster"},
        {"PosFil", 280, "", "större än en post"},
        {"KontoIni", 0, "1\r\nA\r\nB\r\nC\r\nD\r\n", "fler rader"},
        // A margin, since others may free room on the disk meanwhile.
        {"Bil/KontoData", ((free + (std::uint64_t(1) << 30)) / 43 + 1) * 43, "", "ledigt"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        const fs::path file = made / c.file;
        const bool existed = fs::exists(file);
        const std::string saved = existed ? readFile(file) : "";
        writeFile(file, c.text);
        if (c.size != 0 && ::truncate(file.c_str(), static_cast<off_t>(c.size)) != 0) {
            ADD_FAILURE() << "this file system makes no sparse file of " << c.size;
            continue;
        }
        for (const bool all : {true, false}) {
            if (!all && std::string(c.file).rfind("Bil/", 0) != 0)
                continue;
            // In a child that cannot write a large file: a restore let through must not fill the disk.
            const int code = fixtures::inChild([&] {
                const rlimit size{64 << 20, 64 << 20};
                ::setrlimit(RLIMIT_FSIZE, &size);
                try {
                    all ? backup::restoreAll(paths, made, Today, Clock)
                        : backup::restoreAccount(paths, "Bil", made / "Bil", Today, Clock);
                } catch (const store::DataError& e) {
                    const std::string text = e.what();
                    ::_exit(
                        (text.find(file.string()) != std::string::npos || c.why == std::string("ledigt")) &&
                                text.find(c.why) != std::string::npos
                            ? 0
                            : 3);
                }
                ::_exit(4);
            });
            EXPECT_EQ(code, 0) << "3: another text; 4: restored";
            EXPECT_EQ(filesUnder(paths.dataRoot()), before);
            EXPECT_EQ(drive.list(), std::vector<std::string>{"MoniData"});
        }
        existed ? writeFile(file, saved) : (void)fs::remove(file);
    }

    // Kinds the program does not keep are not copied. The copies stream: under a limit of memory far
    // below the size of the posts the restore still goes through.
    writeFile(made / "ErrLog", "log");
    writeFile(made / "Bil" / "Anteckning", "note");
    writeFile(made / "Bil" / "Kontodata\x7F", "x");
    const std::uint64_t large = 43 * 1000000;
    ASSERT_EQ(::truncate((made / "Bil" / "KontoData").c_str(), static_cast<off_t>(large)), 0);
    const int code = fixtures::inChild([&] {
        // AddressSanitizer maps its own memory as it goes and cannot live under such a limit: there
        // the restore runs unlimited, and only the plain build checks the memory.
        if (!AddressSanitizerBuild) {
            std::ifstream status("/proc/self/statm");
            std::uint64_t pages = 0;
            status >> pages;
            const rlim_t limit = pages * ::sysconf(_SC_PAGESIZE) + (std::uint64_t(16) << 20);
            const rlimit memory{limit, limit};
            ::setrlimit(RLIMIT_AS, &memory);
        }
        backup::restoreAll(paths, made, Today, Clock);
    });
    EXPECT_EQ(code, 0);
    EXPECT_EQ(fs::file_size(paths.dataRoot() / "Bil" / "KontoData"), large);
    for (const char* absent : {"ErrLog", "Bil/Anteckning", "Bil/Kontodata\x7F"})
        EXPECT_FALSE(fs::exists(paths.dataRoot() / absent)) << absent;
    EXPECT_EQ(filesUnder(paths.dataRoot() / Hushall), filesUnder(made / Hushall));
}

// Each restore keeps the files it replaced in a folder of their own; the newest three stay. Only real
// folders named exactly so go, never a link, a file or a name that only looks alike.
TEST_F(BackupTest, OnlyTheNewestThreeFoldersOfReplacedFilesStay) {
    const std::vector<std::string> ours = {
        "MoniData-ersatt-20261202-100000-10", "MoniData-ersatt-20261201-100000",
        "MoniData-ersatt-20261202-100000-2", "MoniData-ersatt-20261203-090000",
        "MoniData-ersatt-20261202-100000"};
    for (const std::string& name : ours)
        writeFile(drive / name / "Bil" / "KontoData", "old");
    writeFile(drive / "victim" / "thesis.odt", "keep");
    fs::create_directory_symlink(drive / "victim", drive / "MoniData-ersatt-20200101-000000");
    writeFile(drive / "MoniData-ersatt-20200101-000001", "a file");
    for (const char* alike : {"MoniData-ersatt-2020-01-01", "MoniData-ersatt-20200101-000000-01",
                              "MoniData-ersatt-20200101-000000-x", "MoniData-ersatt-20200101-0000000",
                              "monidata-ersatt-20200101-000000"})
        fs::create_directories(drive / alike);
    auto expected = drive.list();
    std::erase(expected, "MoniData-ersatt-20261201-100000");
    std::erase(expected, "MoniData-ersatt-20261202-100000");

    EXPECT_EQ(
        backup::pruneReplacedFolders(paths),
        (std::vector<std::string>{"MoniData-ersatt-20261201-100000", "MoniData-ersatt-20261202-100000"}));
    EXPECT_EQ(drive.list(), expected);
    EXPECT_EQ(drive.readFile("victim/thesis.odt"), "keep");
    EXPECT_TRUE(backup::pruneReplacedFolders(paths).empty());
}

TEST_F(BackupTest, MissingAccountFoldersFollowTheRegister) {
    // Hushåll carries the flag byte; a freed slot names nothing.
    writeFile(paths.kontoFil(), kontoRec(HushallCp + "\x06", "", "Bg") + kontoRec("", "", "Ek") +
                                    kontoRec("Bil", "", "Ek") + kontoRec("Semester", "", "Ek"));
    writeFile(stick / "MonivaBU1" / "KontoFil", "");
    fs::create_directories(stick / "MonivaBU1" / "Bil");
    writeFile(stick / "MonivaBU1" / "Semester", "a file, not a folder");

    EXPECT_EQ(backup::missingAccountFolders(paths, stick / "MonivaBU1"),
              (std::vector<std::string>{Hushall, "Semester"}));
    fs::remove(paths.kontoFil());
    EXPECT_TRUE(backup::missingAccountFolders(paths, stick / "MonivaBU1").empty());
    EXPECT_FALSE(fs::exists(paths.kontoFil()));
}

} // namespace
