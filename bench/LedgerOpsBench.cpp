// The post operations of both ledgers at 1 000, 10 000 and 100 000 posts, on the file image in
// memory (the commit that follows is measured by CommitBench): a new post at the start, in the
// middle and at the end, deleting the first post, changing the first post's amount, moving a
// hundred posts from the start to after the last post (every other post passes them), the recount
// from the first post after its amount was changed behind the ledger's back (every balance
// changes), checking every balance of the file, and a year's budget posted by the planning window.
// Each round starts from the same image, restored outside the timing. The machine is shared, so
// every figure is also given as the least of the repetitions (run with --benchmark_repetitions).
// Long passes run in two halves on two cores where the machine has them.

#include "budget/BudgetTemplate.h"
#include "budget/PeriodPosting.h"
#include "ledger/BudgetLedger.h"
#include "ledger/Cashbook.h"
#include "ledger/LedgerView.h"
#include "store/DateText.h"
#include "store/Records.h"
#include "support/Halves.h"

#include "PostImages.h"
#include "ScratchFolder.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <limits>
#include <random>
#include <string>
#include <vector>

namespace fs = std::filesystem;

using benchdata::dateOf;
using store::Amount;

namespace {

// MONIVA_BENCH_ONE_CORE=1 keeps every pass on one core, for the figures of one core alone.
const bool oneCore = [] {
    if (std::getenv("MONIVA_BENCH_ONE_CORE"))
        support::longRun = std::numeric_limits<int>::max();
    return true;
}();

const fs::path& folder() {
    static const benchdata::ScratchFolder f(fs::temp_directory_path(), "moniva-opsbench");
    return f.path();
}

fs::path kontoDataFile(ledger::Kind kind, int n) {
    return benchdata::postFile(folder(), kind, n);
}

enum Where { Start, Middle, End };

std::string dateFor(Where where, int n) {
    switch (where) {
    case Start:
        return "1989-12-31";
    case Middle:
        return dateOf(n / 2);
    case End:
        break;
    }
    return store::dateText(store::stepDay(*store::parseDate(dateOf(n - 1)), 1));
}

// An account image restored before every round, outside the timing.
struct Fixture {
    store::RecordFile file;
    std::string original;
    int n;
    Fixture(ledger::Kind kind, int posts)
        : file(kontoDataFile(kind, posts), ledger::recordLength(kind), store::RecordFile::Missing::Fail),
          original(file.image()), n(posts) {}
    // A refused operation would measure nothing worth knowing.
    void require(benchmark::State& state, const ledger::PostResult& r) {
        if (r.outcome != ledger::Outcome::Done)
            state.SkipWithError("the operation was refused");
    }
    void restore(benchmark::State& state) {
        state.PauseTiming();
        file.mutableImage() = original;
        state.ResumeTiming();
    }
    // Times `change` (which returns its PostResult) on the image restored before every round.
    template <class Change> void time(benchmark::State& state, const Change& change) {
        ledger::PostResult last;
        for (auto _ : state) {
            restore(state);
            last = change();
            benchmark::DoNotOptimize(last);
        }
        require(state, last);
    }
};

void BM_CashInsert(benchmark::State& state) {
    Fixture f(ledger::Kind::Cash, static_cast<int>(state.range(0)));
    const ledger::CashEntry entry{dateFor(static_cast<Where>(state.range(1)), f.n), 3, 0,
                                  Amount::parseStored("-99,95")};
    f.time(state, [&] { return ledger::Cashbook(f.file, f.n).insert(entry); });
}

void BM_CashDeleteFirst(benchmark::State& state) {
    Fixture f(ledger::Kind::Cash, static_cast<int>(state.range(0)));
    f.time(state, [&] { return ledger::Cashbook(f.file, f.n).remove(1); });
}

void BM_CashMoveHundred(benchmark::State& state) {
    Fixture f(ledger::Kind::Cash, static_cast<int>(state.range(0)));
    const std::string date = dateFor(End, f.n);
    f.time(state, [&] { return ledger::Cashbook(f.file, f.n).move(1, 100, date); });
}

void BM_CashChangeFirst(benchmark::State& state) {
    Fixture f(ledger::Kind::Cash, static_cast<int>(state.range(0)));
    f.time(state,
           [&] { return ledger::Cashbook(f.file, f.n).changeAmount(1, Amount::parseStored("2000,25")); });
}

// The first post's amount raised by a krona in the file itself, as an edit outside the program
// leaves it: the recount rewrites every balance.
void editFirstAmount(Fixture& f, store::Field amount) {
    std::string& image = f.file.mutableImage();
    const Amount raised = Amount::parseStored(image.substr(amount.offset, amount.width)) + Amount::whole(1);
    std::string text = raised.amountText();
    text.resize(amount.width, ' ');
    image.replace(amount.offset, amount.width, text);
    f.original = image;
}

void BM_CashRecount(benchmark::State& state) {
    Fixture f(ledger::Kind::Cash, static_cast<int>(state.range(0)));
    editFirstAmount(f, store::PostRec_Enkel::Belopp);
    f.time(state, [&] { return ledger::PostResult{ledger::Cashbook(f.file, f.n).recount(1)}; });
}

void BM_CashCheck(benchmark::State& state) {
    Fixture f(ledger::Kind::Cash, static_cast<int>(state.range(0)));
    const ledger::Cashbook book(f.file, f.n);
    for (auto _ : state)
        benchmark::DoNotOptimize(book.checkBalances(1));
}

void BM_BudgetInsert(benchmark::State& state) {
    Fixture f(ledger::Kind::Budget, static_cast<int>(state.range(0)));
    const ledger::BudgetEntry entry{dateFor(static_cast<Where>(state.range(1)), f.n), 3, 0, "-100", "-99,95"};
    f.time(state, [&] { return ledger::BudgetLedger(f.file, f.n, "2100-01-01").insert(entry); });
}

void BM_BudgetDeleteFirst(benchmark::State& state) {
    Fixture f(ledger::Kind::Budget, static_cast<int>(state.range(0)));
    f.time(state, [&] { return ledger::BudgetLedger(f.file, f.n, "2100-01-01").remove(1); });
}

// Confirmed posts are recorded in the template as well.
void BM_BudgetMoveHundred(benchmark::State& state) {
    Fixture f(ledger::Kind::Budget, static_cast<int>(state.range(0)));
    const std::string date = dateFor(End, f.n);
    store::RecordFile mall(folder() / ("B-mall-move-" + std::to_string(f.n)), 18);
    budget::BudgetTemplate tmpl(mall);
    f.time(state, [&] { return ledger::BudgetLedger(f.file, f.n, "2100-01-01", &tmpl).move(1, 100, date); });
}

void BM_BudgetChangeFirst(benchmark::State& state) {
    Fixture f(ledger::Kind::Budget, static_cast<int>(state.range(0)));
    f.time(state, [&] {
        return ledger::BudgetLedger(f.file, f.n, "2100-01-01").changeAmounts(1, "1300", "2000,25");
    });
}

void BM_BudgetRecount(benchmark::State& state) {
    Fixture f(ledger::Kind::Budget, static_cast<int>(state.range(0)));
    editFirstAmount(f, store::PostRec_Budget::VerklBelopp);
    f.time(state,
           [&] { return ledger::PostResult{ledger::BudgetLedger(f.file, f.n, "2100-01-01").recount(1)}; });
}

void BM_BudgetCheck(benchmark::State& state) {
    Fixture f(ledger::Kind::Budget, static_cast<int>(state.range(0)));
    const ledger::BudgetLedger book(f.file, f.n, "2100-01-01");
    for (auto _ : state)
        benchmark::DoNotOptimize(book.checkBalances(1));
}

// The reference for the planning window's posting: one budget post at the start of the file and
// the balance check that follows it in the main window.
void BM_BudgetInsertAndCheck(benchmark::State& state) {
    Fixture f(ledger::Kind::Budget, static_cast<int>(state.range(0)));
    const ledger::BudgetEntry entry{dateFor(Start, f.n), 3, 0, "-500", "-500"};
    ledger::PostResult last;
    for (auto _ : state) {
        f.restore(state);
        ledger::BudgetLedger book(f.file, f.n, "2100-01-01");
        last = book.insert(entry);
        benchmark::DoNotOptimize(book.checkBalances(last.position));
    }
    f.require(state, last);
}

// A year's budget of one transaction posted before every other post: twelve insertions, each
// followed by the balance check from its post. Compare with 12 x BM_BudgetInsertAndCheck.
void BM_BudgetPeriodOfTwelve(benchmark::State& state) {
    Fixture f(ledger::Kind::Budget, static_cast<int>(state.range(0)));
    std::vector<budget::ScannedMonth> months;
    for (int m = 1; m <= 12; ++m)
        months.push_back({m, 10, "-500", Amount::whole(-500)});
    budget::PeriodPosting last;
    for (auto _ : state) {
        f.restore(state);
        last = budget::postPeriod(f.file, f.n, "2100-01-01", 1989, 3, months,
                                  [&](const budget::PeriodPosting& step) {
                                      const ledger::BudgetLedger book(f.file, step.postCount, "2100-01-01");
                                      benchmark::DoNotOptimize(book.checkBalances(step.recountStart));
                                  });
    }
    if (last.posted != 12)
        state.SkipWithError("a month was refused");
}

} // namespace

// The least of the repetitions: on a shared machine the other figures carry the others' load. A fixed
// number of rounds: an operation of microseconds would otherwise run for a million rounds, each with
// its untimed restore of the whole image.
void common(benchmark::internal::Benchmark* b) {
    b->Unit(benchmark::kMillisecond)
        ->Iterations(50)
        ->ComputeStatistics(
            "min", [](const std::vector<double>& v) { return *std::min_element(v.begin(), v.end()); });
}

BENCHMARK(BM_CashInsert)
    ->ArgsProduct({{1000, 10000, 100000}, {Start, Middle, End}})
    ->ArgNames({"posts", "where"})
    ->Apply(common);
BENCHMARK(BM_CashDeleteFirst)->Arg(1000)->Arg(10000)->Arg(100000)->Apply(common);
BENCHMARK(BM_CashChangeFirst)->Arg(1000)->Arg(10000)->Arg(100000)->Apply(common);
BENCHMARK(BM_CashMoveHundred)->Arg(1000)->Arg(10000)->Arg(100000)->Apply(common);
BENCHMARK(BM_CashRecount)->Arg(1000)->Arg(10000)->Arg(100000)->Apply(common);
BENCHMARK(BM_CashCheck)->Arg(1000)->Arg(10000)->Arg(100000)->Apply(common);
BENCHMARK(BM_BudgetInsert)
    ->ArgsProduct({{1000, 10000, 100000}, {Start, Middle, End}})
    ->ArgNames({"posts", "where"})
    ->Apply(common);
BENCHMARK(BM_BudgetDeleteFirst)->Arg(1000)->Arg(10000)->Arg(100000)->Apply(common);
BENCHMARK(BM_BudgetChangeFirst)->Arg(1000)->Arg(10000)->Arg(100000)->Apply(common);
BENCHMARK(BM_BudgetMoveHundred)->Arg(1000)->Arg(10000)->Arg(100000)->Apply(common);
BENCHMARK(BM_BudgetRecount)->Arg(1000)->Arg(10000)->Arg(100000)->Apply(common);
BENCHMARK(BM_BudgetCheck)->Arg(1000)->Arg(10000)->Arg(100000)->Apply(common);
BENCHMARK(BM_BudgetInsertAndCheck)->Arg(10000)->Arg(100000)->Apply(common);
BENCHMARK(BM_BudgetPeriodOfTwelve)->Arg(10000)->Arg(100000)->Apply(common);

BENCHMARK_MAIN();
