// What the undo history costs at 1 000, 10 000 and 100 000 posts of 43 bytes:
//   Commit         one post file committed as the program does (temp file, fsync, rename, folder
//                  sync), by turns without and with the history recording it; the counters give
//                  both and the history's share
//   Write          one plain sequential write of the file with fsync, the yardstick of an undo
//   UndoRedo       one undo and one redo of that change (two steps per iteration)
// The history may cost 5 % of a commit; an undo or redo three writes.

#include "store/History.h"
#include "store/RecordFile.h"

#include "DiskFloor.h"

#include <benchmark/benchmark.h>

#include <chrono>

#include <fcntl.h>
#include <unistd.h>

#include <filesystem>
#include <random>
#include <string>

namespace fs = std::filesystem;

namespace {

struct Drive {
    fs::path path;
    store::DataPaths paths;
    Drive() {
        std::random_device rd;
        path = fs::temp_directory_path() / ("moniva-undobench-" + std::to_string(rd()));
        paths = store::DataPaths(path);
        fs::create_directories(paths.dataRoot() / "Kassa");
    }
    ~Drive() {
        std::error_code ec;
        fs::remove_all(path, ec);
    }
    fs::path kontoData() const { return paths.dataRoot() / "Kassa" / "KontoData"; }
};

std::string image(int posts) {
    std::string bytes(static_cast<std::size_t>(posts) * 43, ' ');
    for (std::size_t i = 0; i < bytes.size(); i += 43)
        bytes[i] = static_cast<char>('0' + i % 10);
    return bytes;
}

// Commits with and without the history alternate, so the disk's moods touch both alike.
void Commit(benchmark::State& state) {
    Drive drive;
    std::string bytes = image(static_cast<int>(state.range(0)));
    store::replaceFileAtomically(drive.kontoData(), bytes);
    store::History history(drive.paths);
    using Clock = std::chrono::steady_clock;
    Clock::duration spent[2] = {};
    char n = 0;
    for (auto _ : state) {
        for (int kept = 0; kept < 2; ++kept) {
            if (kept)
                history.activate();
            else
                history.deactivate();
            bytes[bytes.size() / 2] = ++n;
            const auto start = Clock::now();
            {
                store::ChangeScope change;
                store::describeChange("bench");
                store::replaceFileAtomically(drive.kontoData(), bytes);
            }
            spent[kept] += Clock::now() - start;
        }
    }
    const auto ms = [&](Clock::duration d) {
        return std::chrono::duration<double, std::milli>(d).count() / static_cast<double>(state.iterations());
    };
    state.counters["plain_ms"] = ms(spent[0]);
    state.counters["history_ms"] = ms(spent[1]);
    state.counters["overhead_pct"] = 100.0 * (ms(spent[1]) - ms(spent[0])) / ms(spent[0]);
}

void Write(benchmark::State& state) {
    Drive drive;
    const std::string bytes = image(static_cast<int>(state.range(0)));
    const fs::path file = drive.kontoData();
    for (auto _ : state) {
        try {
            benchdata::writeAndSync(file, bytes);
        } catch (const std::exception&) {
            state.SkipWithError("write failed");
        }
    }
}

void UndoRedo(benchmark::State& state) {
    Drive drive;
    std::string bytes = image(static_cast<int>(state.range(0)));
    store::replaceFileAtomically(drive.kontoData(), bytes);
    store::History history(drive.paths);
    history.activate();
    {
        store::ChangeScope change;
        bytes[0] = 'x';
        store::replaceFileAtomically(drive.kontoData(), bytes);
    }
    for (auto _ : state) {
        history.undo();
        history.redo();
    }
    state.SetItemsProcessed(2 * state.iterations());
}

} // namespace

// The time is the clock's: what counts is the wait for the disk, not the processor.
BENCHMARK(Commit)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(Write)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(UndoRedo)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond)->UseRealTime();

BENCHMARK_MAIN();
