// A child process runs random operations and is killed at a random moment; start-up recovery then
// has to find the data whole and each operation either wholly done or not done at all.
//
// One reference run records the drive after every change that stands on its own, and how many
// commit steps it took to get there. Each round puts the drive back to the state before a random
// operation, lets a child run from there with the same seeds, and kills it: half the rounds at a
// random commit step (the fault hook raises SIGKILL, so kills land inside commits for certain),
// half after a random delay. MONIVA_KILLS sets the number of rounds (thousands by hand),
// MONIVA_KILL_SEED another sequence of operations.

#include "accounts/NewAccount.h"
#include "accounts/RemoveAccount.h"
#include "fixtures/DataRootCheck.h"
#include "fixtures/TempDrive.h"
#include "reliability/Driver.h"
#include "store/Errors.h"
#include "store/GroupCommit.h"
#include "store/Paths.h"
#include "store/RecordFile.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <map>
#include <random>

#include <sys/mman.h>
#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;
using namespace reliability;

namespace {

int envCount(const char* name, int fallback) {
    const char* value = std::getenv(name);
    return value && std::atoi(value) > 0 ? std::atoi(value) : fallback;
}

// Start-up as the program does it, and every account opened once.
void recoverAsStartUp(const fs::path& drive) {
    const store::DataPaths paths(drive);
    store::recoverGroupCommit(paths.journalFolder());
    store::removeLeftoverTempFiles(paths.dataRoot());
    for (const auto& entry : fs::directory_iterator(paths.dataRoot()))
        if (entry.is_directory())
            store::removeLeftoverTempFiles(entry.path());
}

struct Reference {
    std::vector<fixtures::DriveSnapshot> states; // after each change that stands on its own
    std::vector<long> stepsAt;                   // commit steps taken to reach each state
    std::vector<std::size_t> opStart;            // the state each operation starts from
    std::vector<std::uint64_t> seeds;
    std::vector<Op> kinds;
    std::vector<std::chrono::microseconds> took;
};

Reference recordReference(const fs::path& drive, int operations, std::uint64_t seed) {
    Reference ref;
    long steps = 0;
    store::setCommitFaultHook([&](store::CommitStep, const fs::path&) { ++steps; });
    auto record = [&] {
        ref.states.push_back(fixtures::snapshotDrive(drive));
        ref.stepsAt.push_back(steps);
    };
    record();
    Driver driver(drive, record);
    std::mt19937_64 gen(seed);
    for (int i = 0; i < operations; ++i) {
        ref.opStart.push_back(ref.states.size() - 1);
        ref.seeds.push_back(gen());
        driver.close();
        const auto start = std::chrono::steady_clock::now();
        ref.kinds.push_back(driver.runAny(ref.seeds.back()));
        ref.took.push_back(
            std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now() - start));
        const std::vector<std::string> faults = fixtures::dataRootFaults(drive);
        EXPECT_TRUE(faults.empty()) << "after " << opName(ref.kinds.back()) << ": " << faults.front();
    }
    ref.opStart.push_back(ref.states.size() - 1);
    store::setCommitFaultHook({});
    return ref;
}

} // namespace

TEST(Kills, EveryOperationIsWhollyDoneOrNotAtAll) {
    const int rounds = envCount("MONIVA_KILLS", 800);
    const auto seed = static_cast<std::uint64_t>(envCount("MONIVA_KILL_SEED", 11));
    const int operations = 120, run = 3;
    TempDrive refDrive, drive;
    Driver::makeStartData(refDrive.path(), 40, seed + 1);
    const Reference ref = recordReference(refDrive.path(), operations, seed);
    ASSERT_FALSE(HasFailure());

    // Shared with the children: how many changes of the round stood before the kill.
    auto* done = static_cast<int*>(
        ::mmap(nullptr, sizeof(int), PROT_READ | PROT_WRITE, MAP_SHARED | MAP_ANONYMOUS, -1, 0));
    ASSERT_NE(done, MAP_FAILED);

    std::mt19937_64 gen(seed * 7919);
    std::map<std::string, int> killsIn;
    int killed = 0, finished = 0, emptyFolders = 0, recoveriesKilled = 0;
    for (int round = 0; round < rounds && !HasFailure(); ++round) {
        const int first = std::uniform_int_distribution<int>(0, operations - run)(gen);
        const std::size_t from = ref.opStart[static_cast<std::size_t>(first)];
        const std::size_t to = ref.opStart[static_cast<std::size_t>(first + run)];
        const long steps = ref.stepsAt[to] - ref.stepsAt[from];
        const bool byStep = round % 2 == 0 && steps > 0;
        const long killStep = byStep ? std::uniform_int_distribution<long>(1, steps)(gen) : 0;
        std::chrono::microseconds span{0};
        for (int i = first; i < first + run; ++i)
            span += ref.took[static_cast<std::size_t>(i)];
        const auto delay = std::chrono::microseconds(
            std::uniform_int_distribution<long>(0, static_cast<long>(span.count()))(gen));

        fixtures::restoreDrive(drive.path(), ref.states[from]);
        *done = 0;
        int ready[2];
        ASSERT_EQ(::pipe(ready), 0);
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            long step = 0;
            if (byStep)
                store::setCommitFaultHook([&](store::CommitStep, const fs::path&) {
                    if (++step == killStep)
                        ::raise(SIGKILL);
                });
            try {
                Driver driver(drive.path(), [&] { ++*done; });
                // The clock starts once the child is ready: the delay falls inside the operations.
                if (::write(ready[1], "r", 1) != 1)
                    ::_exit(4);
                for (int i = first; i < first + run; ++i) {
                    driver.close();
                    if (driver.runAny(ref.seeds[static_cast<std::size_t>(i)]) !=
                        ref.kinds[static_cast<std::size_t>(i)])
                        ::_exit(3);
                }
            } catch (...) {
                ::_exit(2);
            }
            ::_exit(0);
        }
        ::close(ready[1]);
        char r;
        const bool started = ::read(ready[0], &r, 1) == 1;
        ::close(ready[0]);
        if (!byStep && started) {
            // Spinning rather than sleeping: the operations take microseconds, a sleep oversleeps.
            const auto until = std::chrono::steady_clock::now() + delay;
            while (std::chrono::steady_clock::now() < until) {
            }
            ::kill(child, SIGKILL);
        }
        int status = 0;
        ::waitpid(child, &status, 0);
        const bool wasKilled = WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL;
        ASSERT_TRUE(wasKilled || (WIFEXITED(status) && WEXITSTATUS(status) == 0))
            << "round " << round << ": the child ended with " << status;
        const std::size_t reached = std::min(from + static_cast<std::size_t>(*done), to);
        int op = first;
        while (op + 1 < first + run && ref.opStart[static_cast<std::size_t>(op + 1)] <= reached)
            ++op;
        const std::string during = opName(ref.kinds[static_cast<std::size_t>(op)]);
        SCOPED_TRACE("round " + std::to_string(round) + ", killed during " + during +
                     (byStep ? " at commit step " + std::to_string(killStep) : " after a delay"));

        // Every third round the first start is killed too, somewhere inside its recovery.
        if (round % 3 == 1 && fs::exists(store::DataPaths(drive.path()).journalFolder())) {
            const auto spin = std::chrono::microseconds(std::uniform_int_distribution<long>(0, 400)(gen));
            const pid_t start = ::fork();
            ASSERT_GE(start, 0);
            if (start == 0) {
                try {
                    recoverAsStartUp(drive.path());
                } catch (...) {
                    ::_exit(2);
                }
                ::_exit(0);
            }
            for (const auto until = std::chrono::steady_clock::now() + spin;
                 std::chrono::steady_clock::now() < until;) {
            }
            ::kill(start, SIGKILL);
            ::waitpid(start, &status, 0);
            ASSERT_FALSE(WIFEXITED(status) && WEXITSTATUS(status) != 0)
                << "the first start's recovery failed";
            recoveriesKilled += WIFSIGNALED(status) ? 1 : 0;
        }
        ASSERT_NO_THROW(recoverAsStartUp(drive.path()));
        fixtures::DriveSnapshot now = fixtures::snapshotDrive(drive.path());
        emptyFolders += fixtures::dropUnregisteredEmptyFolders(now);
        fixtures::dropTempFilesOfRunningProcesses(now);
        if (wasKilled) {
            ++killed;
            ++killsIn[during];
            const fixtures::DriveSnapshot& before = ref.states[reached];
            const fixtures::DriveSnapshot& after = ref.states[std::min(reached + 1, to)];
            EXPECT_TRUE(now == before || now == after)
                << "neither before nor after: " << fixtures::firstDifference(now, before) << " / "
                << fixtures::firstDifference(now, after);
        } else {
            ++finished;
            EXPECT_EQ(fixtures::firstDifference(now, ref.states[to]), "");
        }
        const std::vector<std::string> faults = fixtures::dataRootFaults(drive.path());
        EXPECT_TRUE(faults.empty()) << faults.front();
    }
    ::munmap(done, sizeof(int));
    if (!HasFailure()) {
        EXPECT_GT(killed, rounds / 2) << "too few kills landed";
    }
    RecordProperty("kills", killed);
    RecordProperty("finished_before_the_kill", finished);
    RecordProperty("empty_folders_left_by_removal", emptyFolders);
    RecordProperty("recoveries_killed", recoveriesKilled);
    std::string spread;
    for (const auto& [name, count] : killsIn)
        spread += name + "=" + std::to_string(count) + " ";
    RecordProperty("kills_by_operation", spread);
    std::printf("%d kills (%d rounds finished first, %d recoveries killed too), %d empty folders left by a "
                "removal; %s\n",
                killed, finished, recoveriesKilled, emptyFolders, spread.c_str());
}

// An account removal killed after its commit leaves the account's folder behind, empty and named
// by no register record: the name is free for a new account again. A folder holding anything, or
// one the register names, still keeps it.
TEST(Kills, RemovalCutOffAfterItsCommitLeavesTheNameFree) {
    TempDrive drive;
    const store::DataPaths paths(drive.path());
    fs::create_directories(paths.dataRoot());
    for (const char* name : {"Bil", "Mat", "Resor"})
        accounts::createAccount(paths, {name, "1", "Ek"}, "2026-01-01", "Provare");
    accounts::reduceAccount(paths, 1, "Bil", false);
    accounts::reduceAccount(paths, 3, "Resor", false);
    fs::create_directory(paths.dataRoot() / "Bil"); // as the kill left it
    fs::create_directory(paths.dataRoot() / "Resor");
    drive.writeFile("MoniData/Resor/anteckning.txt", "x");
    fs::remove_all(paths.dataRoot() / "Mat");
    fs::create_directory(paths.dataRoot() / "Mat");

    EXPECT_FALSE(accounts::accountFolderExists(paths, "Bil"));
    EXPECT_TRUE(accounts::accountFolderExists(paths, "Resor"));
    EXPECT_TRUE(accounts::accountFolderExists(paths, "Mat"));
    EXPECT_NO_THROW(accounts::createAccount(paths, {"Bil", "2", "Bg"}, "2026-02-01", "Provare"));
    EXPECT_THROW(accounts::createAccount(paths, {"Resor", "2", "Bg"}, "2026-02-01", "Provare"),
                 store::FileError);
    EXPECT_TRUE(fs::exists(paths.kontoData("Bil")));
}
