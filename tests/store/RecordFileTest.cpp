#include "store/RecordFile.h"
#include "fixtures/Faults.h"
#include "fixtures/TempDrive.h"
#include "fixtures/Unprivileged.h"
#include "store/Errors.h"
#include "store/FileIo.h"

#include <gtest/gtest.h>

#include <chrono>
#include <random>
#include <stdexcept>
#include <string>
#include <thread>

#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace store;
namespace fs = std::filesystem;
using namespace std::string_literals;
using fixtures::failureText;

namespace {

std::string randomBytes(std::size_t n, unsigned seed) {
    std::mt19937_64 gen(seed);
    std::string s(n, '\0');
    for (std::size_t i = 0; i < n; i += 8) {
        const auto v = gen();
        for (std::size_t k = 0; k < 8 && i + k < n; ++k)
            s[i + k] = static_cast<char>(v >> (8 * k));
    }
    return s;
}

} // namespace

TEST(RecordFile, ImageRulesAreByteExact) {
    TempDrive drive;
    drive.writeFile("F", "AAAAABBBBB");
    RecordFile f(drive / "F", 5);
    EXPECT_EQ(f.count(), 2u);
    EXPECT_EQ(f.readRaw(2), "BBBBB");
    EXPECT_EQ(f.readRaw(7), std::string(5, '\0'));

    f.writeRaw(3, "CCCCC"); // count + 1 appends
    f.writeRaw(1, "aaaaa"); // overwrites in place
    f.writeRaw(5, "EEEEE"); // beyond the end: record 4 becomes zero bytes
    EXPECT_EQ(f.count(), 5u);
    EXPECT_EQ(drive.readFile("F"), "AAAAABBBBB") << "nothing reaches the disk before commit";
    f.commit();
    EXPECT_FALSE(f.dirty());
    EXPECT_EQ(drive.readFile("F"), "aaaaaBBBBBCCCCC"s + std::string(5, '\0') + "EEEEE");

    EXPECT_THROW(f.writeRaw(1, "four"), std::invalid_argument);
    EXPECT_THROW(f.readRaw(0), std::out_of_range);
}

// A large file is read in two halves at once: around the size where that begins, with a page or an
// odd number of bytes over, every byte comes back in its place, and so after a reload.
TEST(RecordFile, LargeFilesReadWhole) {
    TempDrive drive;
    for (const std::size_t size : {(std::size_t(2) << 20) - 1, std::size_t(2) << 20,
                                   (std::size_t(3) << 20) + 77, (std::size_t(8) << 20) + 4096}) {
        const std::string bytes = randomBytes(size, static_cast<unsigned>(size));
        drive.writeFile("F", bytes);
        RecordFile f(drive / "F", 77);
        EXPECT_TRUE(f.image() == bytes) << size;
        f.writeRaw(1, std::string(77, 'x'));
        f.reload();
        EXPECT_TRUE(f.image() == bytes) << size;
    }
}

TEST(RecordFile, CountRoundsAndPartialRecordsNeverShrink) {
    TempDrive drive;
    // (length, record length) -> count: the nearest whole number, a half rounding up.
    const struct {
        std::size_t length, recordLength, count;
    } cases[] = {{0, 5, 0}, {2, 5, 0},    {3, 5, 1},    {7, 5, 1},   {8, 5, 2},
                 {2, 4, 1}, {129, 43, 3}, {150, 43, 3}, {151, 43, 4}};
    for (const auto& c : cases) {
        drive.writeFile("F", std::string(c.length, 'x'));
        EXPECT_EQ(RecordFile(drive / "F", c.recordLength).count(), c.count)
            << c.length << " / " << c.recordLength;
    }

    // A trailing partial record reads with zero bytes after it; rewriting an earlier record keeps
    // the file's length, and writing the partial one completes it.
    drive.writeFile("F", "AAAAABBBBBCCC");
    RecordFile f(drive / "F", 5);
    EXPECT_EQ(f.readRaw(3), "CCC\0\0"s);
    f.writeRaw(1, "11111");
    f.commit();
    EXPECT_EQ(drive.readFile("F"), "11111BBBBBCCC");
    f.writeRaw(3, "33333");
    f.commit();
    EXPECT_EQ(drive.readFile("F"), "11111BBBBB33333");
}

TEST(RecordFile, ReloadDropsChangesAndCleanCommitTouchesNothing) {
    TempDrive drive;
    drive.writeFile("F", "AAAAA");
    RecordFile f(drive / "F", 5);
    f.writeRaw(2, "BBBBB");
    f.mutableImage()[0] = 'z';
    f.reload();
    EXPECT_FALSE(f.dirty());
    EXPECT_EQ(f.image(), "AAAAA");

    fixtures::FaultHook reset;
    int steps = 0;
    setCommitFaultHook([&](CommitStep, const fs::path&) { ++steps; });
    f.commit();
    EXPECT_EQ(steps, 0);
    f.writeRaw(1, "CCCCC");
    f.commit();
    EXPECT_EQ(steps, 5);
}

TEST(RecordFile, MissingFileIsCreatedRefusedOrLeftToTheCommit) {
    TempDrive drive;
    RecordFile created(drive / "New", 36);
    EXPECT_EQ(created.count(), 0u);
    EXPECT_EQ(drive.readFile("New"), "");

    try {
        RecordFile missing(drive / "Gone", 36, RecordFile::Missing::Fail);
        FAIL() << "opened a missing file";
    } catch (const FileError& e) {
        EXPECT_STREQ(e.what(), "No such file or directory");
        EXPECT_EQ(e.path(), (drive / "Gone").string());
    }
    EXPECT_FALSE(drive.exists("Gone"));
    EXPECT_EQ(failureText([&] { RecordFile f(drive / "NoFolder" / "F", 36); }), "No such file or directory");

    // Looked at only: empty, made by nothing but its commit, and empty again after a dropped change.
    RecordFile looked(drive / "Later", 36, RecordFile::Missing::Empty);
    looked.writeRaw(1, std::string(36, 'a'));
    looked.reload();
    EXPECT_EQ(looked.count(), 0u);
    EXPECT_FALSE(drive.exists("Later"));
    looked.writeRaw(1, std::string(36, 'b'));
    looked.commit();
    EXPECT_EQ(drive.readFile("Later"), std::string(36, 'b'));
}

TEST(RecordFile, CommitCutAtEveryStepLeavesTheOldFile) {
    TempDrive drive;
    const std::string old = "AAAAABBBBBCCC";
    fixtures::FaultHook reset;
    for (CommitStep failing : {CommitStep::OpenTemp, CommitStep::Write, CommitStep::Fsync, CommitStep::Rename,
                               CommitStep::SyncFolder}) {
        SCOPED_TRACE(static_cast<int>(failing));
        drive.writeFile("Konto/KontoData", old);
        RecordFile f(drive / "Konto/KontoData", 5);
        f.writeRaw(1, "11111");
        f.writeRaw(6, "66666");
        setCommitFaultHook([&](CommitStep s, const fs::path& p) {
            EXPECT_EQ(p.parent_path(), drive / "Konto");
            if (s == failing)
                throw std::runtime_error("cut");
        });
        EXPECT_THROW(f.commit(), std::runtime_error);
        EXPECT_EQ(drive.readFile("Konto/KontoData"), old);
        EXPECT_EQ(drive.list("Konto"), std::vector<std::string>{"KontoData"});
        EXPECT_TRUE(f.dirty());

        // A file that did not exist before does not exist after a failed first save either.
        EXPECT_THROW(replaceFileAtomically(drive / "Konto/Fresh", "x"), std::runtime_error);
        EXPECT_EQ(drive.list("Konto"), std::vector<std::string>{"KontoData"});

        setCommitFaultHook({});
        f.commit();
        EXPECT_EQ(f.image(), readWholeFile(drive / "Konto/KontoData"));
    }
}

TEST(RecordFile, FailuresCarryTheSystemText) {
    TempDrive drive;
    drive.writeFile("plain", "x");
    EXPECT_EQ(failureText([&] { replaceFileAtomically(drive / "plain/F", "x"); }), "Not a directory");
    EXPECT_EQ(failureText([&] { readWholeFile(drive / "missing"); }), "No such file or directory");
    EXPECT_EQ(failureText([&] { readWholeFile(drive.path()); }), "Is a directory");

    // Permission: a read-only file is not replaced behind the user's back, a read-only folder
    // takes no temporary file, an unreadable file is not read.
    fs::permissions(drive.path(), fs::perms::all);
    drive.writeFile("open/ReadOnly", "keep");
    drive.writeFile("shut/Writable", "keep");
    drive.writeFile("Secret", "keep");
    fs::permissions(drive / "open", fs::perms::all);
    fs::permissions(drive / "open/ReadOnly",
                    fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    fs::permissions(drive / "shut", fs::perms::owner_read | fs::perms::owner_exec | fs::perms::group_read |
                                        fs::perms::group_exec | fs::perms::others_read |
                                        fs::perms::others_exec);
    fs::permissions(drive / "shut/Writable", fs::perms::all & ~fs::perms::owner_exec &
                                                 ~fs::perms::group_exec & ~fs::perms::others_exec);
    fs::permissions(drive / "Secret", fs::perms::none);

    const auto result = fixtures::asUnprivileged(drive.path(), [&] {
        return failureText([&] { replaceFileAtomically(drive / "open/ReadOnly", "new"); }) + "|" +
               failureText([&] { replaceFileAtomically(drive / "shut/Writable", "new"); }) + "|" +
               failureText([&] { RecordFile f(drive / "Secret", 4); });
    });
    ASSERT_TRUE(result.ran) << result.output;
    EXPECT_EQ(result.output, "Permission denied|Permission denied|Permission denied");
    EXPECT_EQ(drive.readFile("open/ReadOnly"), "keep");
    EXPECT_EQ(drive.readFile("shut/Writable"), "keep");
    EXPECT_EQ(drive.list("open"), std::vector<std::string>{"ReadOnly"});
}

TEST(RecordFile, ReplacementKeepsLinksAndModes) {
    TempDrive drive;
    drive.writeFile("real/Transakt", "old");
    fs::permissions(drive / "real/Transakt",
                    fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    fs::create_symlink(drive / "real/Transakt", drive / "Transakt");

    replaceFileAtomically(drive / "Transakt", "new");
    EXPECT_TRUE(fs::is_symlink(drive / "Transakt"));
    EXPECT_EQ(drive.readFile("real/Transakt"), "new");
    EXPECT_EQ(fs::status(drive / "real/Transakt").permissions(),
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
}

// A process killed at any moment of a commit leaves the whole old or the whole new image.
TEST(RecordFile, KilledCommitLeavesOneWholeImage) {
    TempDrive drive;
    const fs::path file = drive / "KontoData";
    const std::string images[2] = {randomBytes(50u << 20, 1), randomBytes((50u << 20) + 43 * 1000, 2)};
    drive.writeFile("KontoData", images[0]);

    const auto start = std::chrono::steady_clock::now();
    replaceFileAtomically(file, images[1]);
    replaceFileAtomically(file, images[0]);
    const auto oneCommit = (std::chrono::steady_clock::now() - start) / 2;

    std::mt19937 gen(20240611);
    int onDisk = 0;
    int sawOld = 0, sawNew = 0;
    for (int round = 0; round < 6; ++round) {
        SCOPED_TRACE(round);
        const int next = 1 - onDisk;
        int ready[2];
        ASSERT_EQ(::pipe(ready), 0);
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            try {
                RecordFile f(file, 43);
                f.mutableImage() = images[next];
                // The clock starts once the file is loaded and changed: only the commit is cut.
                if (::write(ready[1], "r", 1) != 1)
                    ::_exit(3);
                f.commit();
            } catch (...) {
                ::_exit(2);
            }
            ::_exit(0);
        }
        ::close(ready[1]);
        char r;
        ASSERT_EQ(::read(ready[0], &r, 1), 1);
        ::close(ready[0]);
        const auto delay = std::chrono::duration_cast<std::chrono::microseconds>(oneCommit) *
                           std::uniform_real_distribution<>(0.0, 1.5)(gen);
        std::this_thread::sleep_for(delay);
        ::kill(child, SIGKILL);
        int status = 0;
        ::waitpid(child, &status, 0);
        ASSERT_FALSE(WIFEXITED(status) && WEXITSTATUS(status) != 0) << "the child's commit failed";

        const std::string content = readWholeFile(file);
        const bool isOld = content == images[onDisk];
        const bool isNew = content == images[next];
        ASSERT_TRUE(isOld || isNew) << "a mixture of " << content.size() << " bytes";
        if (WIFEXITED(status)) {
            EXPECT_TRUE(isNew) << "a finished commit was lost";
        }
        (isNew ? sawNew : sawOld)++;
        if (isNew)
            onDisk = next;

        removeLeftoverTempFiles(drive.path());
        EXPECT_EQ(drive.list(), std::vector<std::string>{"KontoData"});
        RecordFile reopened(file, 43);
        EXPECT_EQ(reopened.count(), images[onDisk].size() / 43);
    }
    RecordProperty("old_kept", sawOld);
    RecordProperty("new_landed", sawNew);
}

TEST(RecordFile, OnlyTemporaryFilesOfEndedProcessesAreLeftOvers) {
    TempDrive drive;
    const pid_t ended = ::fork();
    if (ended == 0)
        ::_exit(0);
    ::waitpid(ended, nullptr, 0);
    const std::string dead = std::to_string(ended);
    const std::string alive = std::to_string(::getpid());
    for (const std::string& name :
         std::vector<std::string>{".KontoData.tmp-" + dead, ".Transakt.tmp-" + alive, "Kategori.tmp-" + dead,
                                  ".Konto.tmp-" + dead + "x", "KontoData"})
        drive.writeFile(name, "x");
    EXPECT_EQ(removeLeftoverTempFiles(drive.path()), 1u);
    EXPECT_EQ(drive.list(), (std::vector<std::string>{".Konto.tmp-" + dead + "x", ".Transakt.tmp-" + alive,
                                                      "Kategori.tmp-" + dead, "KontoData"}));
}

// A FIFO or a device where a data file should be is a damaged file at once: reading it would wait
// for a writer that never comes, or never end.
TEST(RecordFile, OnlyARegularFileIsRead) {
    TempDrive drive;
    ASSERT_EQ(::mkfifo((drive / "KontoData").c_str(), 0600), 0);
    fs::create_symlink("/dev/zero", drive / "Transakt");
    for (const char* name : {"KontoData", "Transakt"}) {
        const int code = fixtures::inChild([&] {
            ::alarm(5);
            const std::string opened = failureText([&] { RecordFile(drive / name, 43); });
            const std::string read = failureText([&] { readWholeFile(drive / name); });
            ::_exit(opened == io::systemText(io::NotRegular) && read == opened ? 0 : 3);
        });
        EXPECT_EQ(code, 0) << name << (code == 128 + SIGALRM ? ": it hung" : "");
    }
}
