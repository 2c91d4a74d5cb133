// The overview over 1 000, 10 000 and 100 000 posts: sums per transaction and month by month over
// the whole file (every post in the period) and over one year, a search over ten such accounts,
// and the XLSX of the account's posts.

#include "StatsAccounts.h"
#include "overview/Export.h"
#include "overview/Search.h"
#include "overview/Sheets.h"
#include "overview/Sums.h"

#include "ScratchFolder.h"

#include <benchmark/benchmark.h>

#include <filesystem>

namespace fs = std::filesystem;
using namespace overview;

namespace {

const fs::path& folder() {
    static const benchdata::ScratchFolder f(fs::temp_directory_path(), "moniva-overviewbench");
    return f.path();
}

std::vector<OpenAccount> accounts(ledger::Kind kind, int n, int copies = 1) {
    benchdata::statsAccount(folder(), kind, n);
    const std::string name = std::string(kind == ledger::Kind::Cash ? "Kassa" : "Budget") + std::to_string(n);
    std::vector<OpenAccount> out;
    for (int i = 0; i < copies; ++i)
        out.push_back(openAccount(store::DataPaths(folder()), {name, kind}));
    return out;
}

// Posts are three a day from 1990-01-01.
const Period wholeFile = rangePeriod("1990-01-01", "2099-12-31");
const Period oneYear = yearPeriod(1990);

void BM_PerTransaction(benchmark::State& state, const Period* period) {
    const auto list = accounts(ledger::Kind::Cash, static_cast<int>(state.range(0)));
    for (auto _ : state)
        benchmark::DoNotOptimize(perTransaction(list, *period, Flow::Both));
}

void BM_MonthByMonth(benchmark::State& state, const Period* period) {
    const auto list = accounts(ledger::Kind::Budget, static_cast<int>(state.range(0)));
    for (auto _ : state)
        benchmark::DoNotOptimize(monthByMonth(list, *period, Flow::Both));
}

void BM_SearchTenAccounts(benchmark::State& state) {
    const auto list = accounts(ledger::Kind::Cash, static_cast<int>(state.range(0)), 10);
    SearchQuery query;
    query.main = "Transaktion 3";
    query.amountFrom = store::Amount::whole(400);
    for (auto _ : state)
        benchmark::DoNotOptimize(search(list, query));
}

void BM_XlsxOfEveryPost(benchmark::State& state) {
    const auto list = accounts(ledger::Kind::Cash, static_cast<int>(state.range(0)));
    for (auto _ : state)
        writeXlsx(folder() / "poster.xlsx", {postsSheet(list.front(), wholeFile)});
}

} // namespace

BENCHMARK_CAPTURE(BM_PerTransaction, whole_file, &wholeFile)
    ->Arg(1000)
    ->Arg(10000)
    ->Arg(100000)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_PerTransaction, one_year, &oneYear)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_MonthByMonth, whole_file, &wholeFile)
    ->Arg(1000)
    ->Arg(10000)
    ->Arg(100000)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_MonthByMonth, one_year, &oneYear)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SearchTenAccounts)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_XlsxOfEveryPost)->Arg(1000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
