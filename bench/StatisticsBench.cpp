// Statistics and reports over 1 000, 10 000 and 100 000 posts, on the file images in memory: the
// range of a period, the statistics of one transaction (one pass over the image), the first page of
// the screen report, and the whole text file of a report, built and written to disk.

#include "StatsAccounts.h"
#include "stats/Period.h"
#include "stats/Reports.h"
#include "stats/Statistics.h"
#include "stats/TextReport.h"
#include "store/Amount.h"
#include "store/DateText.h"
#include "store/RecordFile.h"

#include "ScratchFolder.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <string>

namespace fs = std::filesystem;

namespace {

const fs::path& folder() {
    static const benchdata::ScratchFolder f(fs::temp_directory_path(), "moniva-statsbench");
    fs::create_directories(f.path() / "MoniData");
    return f.path();
}

stats::AccountFiles account(ledger::Kind kind, int n) {
    return benchdata::statsAccount(folder() / "MoniData", kind, n);
}

void BM_Range(benchmark::State& state) {
    const auto files = account(ledger::Kind::Cash, static_cast<int>(state.range(0)));
    const auto span = *stats::findAccountSpan(files.kontoData);
    stats::PeriodParts p = stats::wholePeriod(span);
    p.startYear = std::to_string(std::stoi(p.startYear) + 1); // a period inside the file
    for (auto _ : state)
        benchmark::DoNotOptimize(stats::findRange(files.kontoData, span.postCount, p));
}

void BM_Statistics(benchmark::State& state, ledger::Kind kind) {
    const int n = static_cast<int>(state.range(0));
    const auto files = account(kind, n);
    for (auto _ : state)
        benchmark::DoNotOptimize(stats::computeStatistics(files, stats::PostRange{1, n}, 3));
    state.SetItemsProcessed(state.iterations() * n);
}

// The first page of a screen report as the window fills it: Datum_Reset finds the range of a
// period starting halfway through the file, then the widest kind's first 15 rows.
void BM_ScreenPage(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    const auto files = account(ledger::Kind::Budget, n);
    stats::PeriodSelection sel(files.kontoData);
    stats::PeriodParts half = sel.parts();
    const std::string_view mid = stats::recordView(files.kontoData, n / 2 + 1).substr(0, 10);
    half.startYear = mid.substr(0, 4);
    half.startMonth = mid.substr(5, 2);
    half.startDay = mid.substr(8, 2);
    if (!sel.change(files.kontoData, half))
        state.SkipWithError("period refused");
    for (auto _ : state) {
        sel.reset(files.kontoData);
        benchmark::DoNotOptimize(stats::reportRows(files, stats::ReportKind::Pr_5, sel.current,
                                                   sel.current + stats::ScreenRows - 1));
    }
}

// The whole account report as the text file's bytes: the cash book's widest kind and the budget
// account's widest kind.
void BM_TextFile(benchmark::State& state, ledger::Kind kind, stats::ReportKind report) {
    const int n = static_cast<int>(state.range(0));
    const auto files = account(kind, n);
    for (auto _ : state)
        benchmark::DoNotOptimize(
            stats::accountReportFile(files, report, stats::PostRange{1, n}, "Kassa", "2026-12-06"));
    state.SetItemsProcessed(state.iterations() * n);
}

// The same, written to disk the way a file the user named is replaced: complete or not at all.
void BM_TextFileToDisk(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    const auto files = account(ledger::Kind::Budget, n);
    const fs::path out = folder() / "rapport.txt";
    for (auto _ : state)
        store::replaceFileAtomically(out, stats::accountReportFile(files, stats::ReportKind::Pr_5,
                                                                   stats::PostRange{1, n}, "Budget",
                                                                   "2026-12-06"));
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(fs::file_size(out)));
}

} // namespace

BENCHMARK(BM_Range)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_Statistics, cash, ledger::Kind::Cash)
    ->Arg(1000)
    ->Arg(10000)
    ->Arg(100000)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Statistics, budget, ledger::Kind::Budget)
    ->Arg(1000)
    ->Arg(10000)
    ->Arg(100000)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ScreenPage)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_TextFile, cash_Pr_2, ledger::Kind::Cash, stats::ReportKind::Pr_2)
    ->Arg(1000)
    ->Arg(10000)
    ->Arg(100000)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_TextFile, budget_Pr_5, ledger::Kind::Budget, stats::ReportKind::Pr_5)
    ->Arg(1000)
    ->Arg(10000)
    ->Arg(100000)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TextFileToDisk)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
