// A bank statement of 1 000 rows imported into an account of 100 000 posts as "Slutför" does it -
// the rows merged into the open post file, the file and the log of imported rows committed as one
// group, the undo history recording it - against the floor of any durable save of the result: one
// sequential write and fsync of a new file of the post file's new size. Both are timed in every
// round, one right after the other, so the load of a shared machine falls on both alike. The counters
// give the medians in milliseconds and the median of the rounds' ratios (import / floor); merge_ms is
// the part before the commit. The rows lie in the account's last month (a statement of the latest
// weeks, spread:0) or are spread over all its years (spread:1, every post moves).

#include "ledger/LedgerView.h"
#include "statements/Apply.h"
#include "statements/Merge.h"
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
#include <stdexcept>
#include <string>
#include <vector>

#include <fcntl.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

using benchdata::writeAndSync;

const fs::path& folder() {
    static const benchdata::ScratchFolder f(fs::current_path(), "moniva-importbench");
    return f.path();
}

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

double msSince(std::chrono::steady_clock::time_point t) {
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t).count();
}

// The statement: rows oldest first, each placed by a rule.
statements::ImportPlan statementOf(int posts, int rows, bool spread) {
    statements::ImportPlan plan;
    plan.bank = "Testbanken";
    for (int i = 0; i < rows; ++i) {
        statements::ClassifiedRow r;
        const int at =
            spread ? static_cast<int>(static_cast<long long>(posts) * i / rows) : posts - 90 + i % 90;
        r.row.bookingDate = store::parseDate(benchdata::dateOf(at));
        r.row.amount = store::Amount::fromUnits(-(1000 + i) * 100);
        r.row.text = "KORTK\xC3\x96P ICA NARA " + std::to_string(i);
        r.status = statements::RowStatus::Rule;
        r.transNr = 3;
        r.fingerprint = statements::fingerprint(plan.bank, r.row, 1);
        plan.rows.push_back(r);
    }
    std::stable_sort(plan.rows.begin(), plan.rows.end(),
                     [](const auto& a, const auto& b) { return a.row.bookingDate < b.row.bookingDate; });
    return plan;
}

void BM_ImportAgainstWriteFloor(benchmark::State& state) {
    const auto kind = state.range(0) == 0 ? ledger::Kind::Cash : ledger::Kind::Budget;
    const int posts = static_cast<int>(state.range(1));
    const int rows = 1000;
    const std::string original = benchdata::consistentPosts(kind, posts);
    const statements::ImportPlan plan = statementOf(posts, rows, state.range(2) != 0);
    // A drive of its own for each case: the undo history of the cases before would otherwise be
    // pruned in the background while this one is timed.
    const store::DataPaths paths(
        folder() / ("drive-" + std::to_string(state.range(0)) + "-" + std::to_string(state.range(2))));
    const std::string account = "Kassa";
    fs::create_directories(paths.accountFolder(account));
    benchdata::writeFile(paths.transakt(account), std::string(36 * 3, ' '));
    benchdata::writeFile(paths.kategori(account), "");
    store::History history(paths);
    history.activate();
    const fs::path floorFile = folder() / "floor";
    const std::string result(original.size() + static_cast<std::size_t>(rows) * ledger::recordLength(kind),
                             'x');
    std::vector<double> floor, import, merge, ratio;
    for (auto _ : state) {
        writeAndSync(paths.kontoData(account), original);
        fs::remove(paths.importlogg(account));
        fs::remove(floorFile);
        ::sync();
        store::RecordFile kontoData(paths.kontoData(account), ledger::recordLength(kind),
                                    store::RecordFile::Missing::Fail);
        store::RecordFile transakt(paths.transakt(account), store::TransRec::Length);
        store::RecordFile kategori(paths.kategori(account), store::KatRec::Length);
        const int n = ledger::findPostCount(kontoData);

        auto t = std::chrono::steady_clock::now();
        writeAndSync(floorFile, result);
        floor.push_back(msSince(t));

        // The merge alone on a copy of the image, then the whole import on the file.
        store::RecordFile copy(paths.kontoData(account), ledger::recordLength(kind),
                               store::RecordFile::Missing::Fail);
        t = std::chrono::steady_clock::now();
        std::vector<statements::MergedPost> merged;
        for (std::size_t i = 0; i < plan.rows.size(); ++i)
            merged.push_back({store::dateText(*plan.rows[i].row.bookingDate), 3, 0, plan.rows[i].row.amount,
                              0, static_cast<int>(i)});
        statements::mergePosts(copy, n, merged);
        merge.push_back(msSince(t));

        t = std::chrono::steady_clock::now();
        const statements::ImportResult r = statements::applyImport(
            plan, {paths, account, kontoData, n, transakt, kategori, nullptr, nullptr, "2100-01-01"});
        import.push_back(msSince(t));
        state.SetIterationTime(import.back() / 1000);
        ratio.push_back(import.back() / floor.back());
        if (r.outcome != ledger::Outcome::Done || r.postCount != posts + rows)
            state.SkipWithError("the import was refused");
    }
    state.counters["floor_ms"] = median(floor);
    state.counters["import_ms"] = median(import);
    state.counters["merge_ms"] = median(merge);
    state.counters["ratio"] = median(ratio);
}

} // namespace

BENCHMARK(BM_ImportAgainstWriteFloor)
    ->ArgsProduct({{0, 1}, {100000}, {0, 1}})
    ->ArgNames({"budget", "posts", "spread"})
    ->Iterations(20)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
