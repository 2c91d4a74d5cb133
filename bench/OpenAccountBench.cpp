// Opening an account and scrolling its ledger at 1 000, 10 000 and 100 000 posts (opening also at
// 1 000 000: 43 MB of cash-book posts, 77 MB of budget posts).
// "Open" is what loading an account costs before the grid is filled: reading KontoData and
// Transakt, finding N and S, placing the window and reading its ten rows. The second argument
// puts the working date after the last post (the usual case) or before the first post (S found
// only after walking every post).

#include "budget/BudgetTemplate.h"
#include "ledger/LedgerView.h"
#include "store/DateText.h"
#include "store/Records.h"

#include "PostImages.h"
#include "ScratchFolder.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <random>
#include <string>
#include <vector>

namespace fs = std::filesystem;

using benchdata::dateOf;

namespace {

const fs::path& folder() {
    static const benchdata::ScratchFolder f(fs::temp_directory_path(), "moniva-openbench");
    return f.path();
}

fs::path transaktFile() {
    const fs::path p = folder() / "Transakt";
    if (!fs::exists(p)) {
        std::string image;
        for (const auto& [name, sign] : {std::pair("Kontostart", " "), std::pair("Ins\xE4ttning", "+"),
                                         std::pair("Uttag", "-"), std::pair("Hyra", "-")}) {
            store::TransRec t;
            t.set(store::TransRec::TransNamn, name);
            t.set(store::TransRec::Tecken, sign);
            image += t.bytes();
        }
        benchdata::writeFile(p, image);
    }
    return p;
}

// KontoData of n posts of the kind, written once per size. Not the consistent posts of the other
// benchmarks: their balances outgrow the field long before a million posts.
fs::path kontoDataFile(ledger::Kind kind, int n) {
    const fs::path p = folder() / ((kind == ledger::Kind::Cash ? "cash-" : "budget-") + std::to_string(n));
    if (fs::exists(p))
        return p;
    std::string image;
    image.reserve(static_cast<std::size_t>(n) * ledger::recordLength(kind));
    for (int i = 0; i < n; ++i) {
        const std::string transNr = std::to_string(i % 4 + 1);
        const std::string saldo = std::to_string(1000 - i) + ",5";
        if (kind == ledger::Kind::Cash) {
            store::PostRec_Enkel r;
            r.set(store::PostRec_Enkel::Datum, dateOf(i));
            r.set(store::PostRec_Enkel::TransNr, transNr);
            r.set(store::PostRec_Enkel::Belopp, "-1");
            r.set(store::PostRec_Enkel::Saldo, saldo);
            image += r.bytes();
        } else {
            store::PostRec_Budget r;
            r.set(store::PostRec_Budget::Datum, dateOf(i));
            r.set(store::PostRec_Budget::TransNr, transNr);
            r.set(store::PostRec_Budget::BudgBelopp, "-1,25");
            r.set(store::PostRec_Budget::VerklBelopp, "-1");
            r.set(store::PostRec_Budget::BudgSaldo, saldo);
            r.set(store::PostRec_Budget::VerklSaldo, saldo);
            r.set(store::PostRec_Budget::DiffSaldo, "12345,25");
            r.set(store::PostRec_Budget::BStatus, "*");
            image += r.bytes();
        }
    }
    benchdata::writeFile(p, image);
    return p;
}

std::string workingDate(int n, bool beforeFirst) {
    return beforeFirst ? "1989-12-31" : dateOf(n - 1);
}

void BM_OpenCash(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    const fs::path data = kontoDataFile(ledger::Kind::Cash, n);
    const fs::path trans = transaktFile();
    const std::string date = workingDate(n, state.range(1) != 0);
    for (auto _ : state) {
        store::RecordFile transakt(trans, 36, store::RecordFile::Missing::Fail);
        store::RecordFile kontoData(data, 43, store::RecordFile::Missing::Fail);
        const int postCount = ledger::findPostCount(kontoData);
        const int current = ledger::findCurrentPost(kontoData, postCount, date);
        const auto s = ledger::scrollSet(postCount, current);
        auto rows = ledger::readCashView(kontoData, transakt, s.value, s.lastShown);
        benchmark::DoNotOptimize(rows);
    }
}

void BM_OpenBudget(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    const fs::path data = kontoDataFile(ledger::Kind::Budget, n);
    const fs::path trans = transaktFile();
    const std::string date = workingDate(n, state.range(1) != 0);
    for (auto _ : state) {
        store::RecordFile transakt(trans, 36, store::RecordFile::Missing::Fail);
        store::RecordFile kontoData(data, 77, store::RecordFile::Missing::Fail);
        const int postCount = ledger::findPostCount(kontoData);
        const int current = ledger::findCurrentPost(kontoData, postCount, date);
        const auto s = ledger::scrollSet(postCount, current);
        auto rows = ledger::readBudgetView(kontoData, transakt, s.value, s.lastShown);
        benchmark::DoNotOptimize(rows);
    }
}

// One step of the scroll bar down the account, from the top to the end and round again.
void BM_ScrollStepCash(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    store::RecordFile transakt(transaktFile(), 36, store::RecordFile::Missing::Fail);
    store::RecordFile kontoData(kontoDataFile(ledger::Kind::Cash, n), 43, store::RecordFile::Missing::Fail);
    const int postCount = ledger::findPostCount(kontoData);
    auto s = ledger::scrollSet(postCount, 1);
    for (auto _ : state) {
        const int next = s.lastShown == postCount ? 1 : s.value + 1;
        if (ledger::scrollTo(s, postCount, next)) {
            auto rows = ledger::readCashView(kontoData, transakt, s.value, s.lastShown);
            benchmark::DoNotOptimize(rows);
        }
    }
}

void BM_ScrollStepBudget(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    store::RecordFile transakt(transaktFile(), 36, store::RecordFile::Missing::Fail);
    store::RecordFile kontoData(kontoDataFile(ledger::Kind::Budget, n), 77, store::RecordFile::Missing::Fail);
    const int postCount = ledger::findPostCount(kontoData);
    auto s = ledger::scrollSet(postCount, 1);
    for (auto _ : state) {
        const int next = s.lastShown == postCount ? 1 : s.value + 1;
        if (ledger::scrollTo(s, postCount, next)) {
            auto rows = ledger::readBudgetView(kontoData, transakt, s.value, s.lastShown);
            benchmark::DoNotOptimize(rows);
        }
    }
}

// The first opening of a budget account with posts: the template is built from the confirmed posts
// of the previous year. Today in 1991 makes the walk pass over every later post before it reaches
// the posts of 1990, the longest walk there is.
void BM_BuildTemplate(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    store::RecordFile kontoData(kontoDataFile(ledger::Kind::Budget, n), 77, store::RecordFile::Missing::Fail);
    const fs::path mallPath = folder() / ("B-mall-" + std::to_string(n));
    for (auto _ : state) {
        state.PauseTiming();
        fs::remove(mallPath);
        store::RecordFile mall(mallPath, 18);
        state.ResumeTiming();
        budget::BudgetTemplate t(mall);
        t.open(kontoData, n, "1991-01-01");
        benchmark::DoNotOptimize(t.count());
    }
}

} // namespace

BENCHMARK(BM_OpenCash)
    ->ArgsProduct({{1000, 10000, 100000, 1000000}, {0, 1}})
    ->ArgNames({"posts", "early"})
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OpenBudget)
    ->ArgsProduct({{1000, 10000, 100000, 1000000}, {0, 1}})
    ->ArgNames({"posts", "early"})
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ScrollStepCash)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ScrollStepBudget)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_BuildTemplate)->Arg(1000)->Arg(10000)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
