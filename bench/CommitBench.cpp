// A change of an account as the program makes it - open the post file, put a new post before every
// other post, commit the file durably - against the floor of any durable save of the same bytes: one
// sequential write and fsync of a new file of that size. Both are timed in every round, one right
// after the other, so the load of a shared machine falls on both alike. The counters give the
// medians of the rounds in milliseconds and the median of the rounds' ratios (change / floor);
// open_ms and edit_ms are the parts of the change before its commit.
// The change is committed as the program commits it, its undo history recording the replaced file
// (history:1), and without a history (history:0). A third figure is the floor of any save that replaces a
// file atomically: the same write and fsync of a new file, renamed over the old one and its folder synced, so
// the rename is durable too.

#include "ledger/BudgetLedger.h"
#include "ledger/Cashbook.h"
#include "ledger/LedgerView.h"
#include "store/DateText.h"
#include "store/History.h"
#include "store/Paths.h"
#include "store/Records.h"

#include "DiskFloor.h"
#include "PostImages.h"
#include "ScratchFolder.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <random>
#include <stdexcept>
#include <string>
#include <vector>

#include <fcntl.h>
#include <unistd.h>

namespace fs = std::filesystem;

using store::Amount;

namespace {

using benchdata::writeAndSync;

// Beside the build, not in /tmp: the figures are for the disk the data lives on.
const fs::path& folder() {
    static const benchdata::ScratchFolder f(fs::current_path(), "moniva-commitbench");
    return f.path();
}

// The floor of an atomic replace: a new file written and synced, renamed over `path`, its folder synced.
void replaceAndSync(const fs::path& path, const std::string& bytes) {
    const fs::path temp = path.string() + ".new";
    writeAndSync(temp, bytes);
    fs::rename(temp, path);
    const int fd = ::open(path.parent_path().c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    const bool ok = fd >= 0 && ::fsync(fd) == 0;
    if (fd >= 0)
        ::close(fd);
    if (!ok)
        throw std::runtime_error("sync " + path.parent_path().string());
}

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

double msSince(std::chrono::steady_clock::time_point t) {
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t).count();
}

void BM_ChangeAgainstWriteFloor(benchmark::State& state) {
    const auto kind = state.range(0) == 0 ? ledger::Kind::Cash : ledger::Kind::Budget;
    const std::string original = benchdata::consistentPosts(kind, static_cast<int>(state.range(1)));
    // The program keeps the replaced file in its undo history, so its blocks are not freed within
    // the commit; history:0 commits as a program without one would.
    const store::DataPaths paths(folder() / ("drive-" + std::to_string(state.range(2))));
    const fs::path data = paths.dataRoot() / "Kassa" / "KontoData";
    fs::create_directories(data.parent_path());
    store::History history(paths);
    if (state.range(2) != 0)
        history.activate();
    const fs::path floorFile = folder() / "floor";
    const fs::path atomicFile = folder() / "atomic";
    std::vector<double> floor, atomic, change, ratio, opened, edited;
    for (auto _ : state) {
        writeAndSync(data, original); // every round starts from the same file, on disk
        fs::remove(floorFile);
        ::sync();

        auto t = std::chrono::steady_clock::now();
        writeAndSync(floorFile, original);
        floor.push_back(msSince(t));

        t = std::chrono::steady_clock::now();
        replaceAndSync(atomicFile, original);
        atomic.push_back(msSince(t));

        t = std::chrono::steady_clock::now();
        const store::ChangeScope scope;
        store::RecordFile file(data, ledger::recordLength(kind), store::RecordFile::Missing::Fail);
        const int n = ledger::findPostCount(file);
        const double openMs = msSince(t);
        const auto outcome = kind == ledger::Kind::Cash
                                 ? ledger::Cashbook(file, n)
                                       .insert({"1989-12-31", 3, 0, Amount::parseStored("-99,95")})
                                       .outcome
                                 : ledger::BudgetLedger(file, n, "2100-01-01")
                                       .insert({"1989-12-31", 3, 0, "-100", "-99,95"})
                                       .outcome;
        const double editMs = msSince(t);
        file.commit();
        change.push_back(msSince(t));
        opened.push_back(openMs);
        edited.push_back(editMs - openMs);
        state.SetIterationTime(change.back() / 1000);
        ratio.push_back(change.back() / floor.back());
        if (outcome != ledger::Outcome::Done)
            state.SkipWithError("the insert was refused");
    }
    state.counters["floor_ms"] = median(floor);
    state.counters["atomic_ms"] = median(atomic);
    state.counters["change_ms"] = median(change);
    state.counters["ratio"] = median(ratio);
    state.counters["open_ms"] = median(opened);
    state.counters["edit_ms"] = median(edited);
}

} // namespace

BENCHMARK(BM_ChangeAgainstWriteFloor)
    ->ArgsProduct({{0, 1}, {10000, 100000}, {0, 1}})
    ->ArgNames({"budget", "posts", "history"})
    ->Iterations(40)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
