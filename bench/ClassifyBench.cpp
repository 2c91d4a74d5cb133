// Reading and classifying a statement of 10 000 rows against an account of 100 000 posts: the file
// read, the posts decoded from the account's image, 150 rules, a log of the 5 000 rows imported
// before, duplicates and planned budget posts looked for around every row.

#include "statements/Classify.h"
#include "statements/Reader.h"
#include "store/RecordFile.h"
#include "store/Records.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <filesystem>
#include <random>

namespace {

using store::Amount;

constexpr int Posts = 100'000;
constexpr int Rows = 10'000;
constexpr int Payees = 300;

// The same few hundred amounts come back again and again, as grocery bills and rents do.
Amount amountOf(std::mt19937& rng) {
    return Amount::fromUnits(-static_cast<std::int64_t>(rng() % 2000 + 1) * 2500);
}

store::Date dayBack(int days) {
    return store::stepDay({2024, 12, 31}, -days);
}

std::string kontoData(ledger::Kind kind) {
    std::mt19937 rng(1);
    std::string image;
    for (int i = 0; i < Posts; ++i) {
        const std::string date = store::dateText(dayBack((Posts - i) / 8));
        const Amount a = amountOf(rng);
        const std::string trans = std::to_string(2 + static_cast<int>(rng() % 40));
        if (kind == ledger::Kind::Cash) {
            store::PostRec_Enkel r;
            r.set(store::PostRec_Enkel::Datum, date);
            r.set(store::PostRec_Enkel::TransNr, trans);
            r.setAmount(store::PostRec_Enkel::Belopp, a);
            r.setAmount(store::PostRec_Enkel::Saldo, Amount());
            image += r.bytes();
        } else {
            store::PostRec_Budget r;
            r.set(store::PostRec_Budget::Datum, date);
            r.set(store::PostRec_Budget::TransNr, trans);
            r.setAmount(store::PostRec_Budget::BudgBelopp, a);
            r.setAmount(store::PostRec_Budget::VerklBelopp, a);
            r.set(store::PostRec_Budget::BStatus, i % 4 ? "*" : " ");
            image += r.bytes();
        }
    }
    return image;
}

std::string payee(int p) {
    return "BUTIK NUMMER " + std::string(1, static_cast<char>('A' + p % 26)) +
           std::to_string(p * 7919 % 1000) + " STOCKHOLM";
}

struct Fixture {
    store::RecordFile file;
    statements::AccountView view;
    std::string csv;
    statements::Statement statement;

    explicit Fixture(ledger::Kind kind) : file(makeFile(kind)) {
        std::mt19937 rng(2);
        view.budget = kind == ledger::Kind::Budget;
        view.transactions.push_back({1, "Kontostart", ' '});
        for (int t = 2; t < 42; ++t)
            view.transactions.push_back({t, "T" + std::to_string(t), '-'});
        for (int r = 0; r < 150; ++r)
            view.rules.push_back({r + 1, payee(r * 2).substr(0, 20), 2 + r % 40, 0});
        // Swedbank's layout, newest first, in Windows-1252.
        csv = "* Transaktioner Period 2020-01-01 \x96 2024-12-31 Skapad 2024-12-31 10:11 CET\r\n"
              "Radnummer,Clearingnummer,Kontonummer,Produkt,Valuta,Bokf\xF6ringsdag,Transaktionsdag,"
              "Valutadag,Referens,Beskrivning,Belopp,Bokf\xF6rt saldo\r\n";
        for (int i = Rows - 1; i >= 0; --i) {
            const std::string date = store::dateText(dayBack((Rows - i) / 8));
            const std::string units = std::to_string(-amountOf(rng).units() / 100);
            csv += std::to_string(i + 1) + ",8327-9,123456789,Privatkonto,SEK," + date + "," + date + "," +
                   date + ",,KORTK\xD6P " + std::to_string(231200 + i % 31) + " " +
                   payee(static_cast<int>(rng() % Payees)) + ",-" + units.substr(0, units.size() - 2) + "." +
                   units.substr(units.size() - 2) + ",0.00\r\n";
        }
        statement = statements::readStatement(csv, {});
        // Half the statement was imported before.
        const auto first = statements::classify(statement, view);
        for (int i = 0; i < Rows; i += 2)
            view.log.push_back(first[static_cast<std::size_t>(i)].logEntry());
    }

    static store::RecordFile makeFile(ledger::Kind kind) {
        static const std::string path = std::filesystem::temp_directory_path() / "moniva-classifybench";
        const std::string image = kontoData(kind);
        store::replaceFileAtomically(path, image);
        store::RecordFile f(path, ledger::recordLength(kind), store::RecordFile::Missing::Fail);
        std::filesystem::remove(path);
        return f;
    }
};

// The rows as the wizard gets them: the file read, the account's posts decoded, every row classified.
void BM_ReadAndClassify(benchmark::State& state, ledger::Kind kind) {
    Fixture fx(kind);
    for (auto _ : state) {
        statements::Statement read = statements::readStatement(fx.csv, {});
        fx.view.posts = statements::accountPosts(fx.file, kind);
        benchmark::DoNotOptimize(statements::classify(std::move(read), fx.view));
    }
}

// The same once the wizard has the account: it decodes the posts once, when the format page is
// left, and classifies anew each time the statement is read again.
void BM_ReadAndClassifyAccountRead(benchmark::State& state, ledger::Kind kind) {
    Fixture fx(kind);
    fx.view.posts = statements::accountPosts(fx.file, kind);
    for (auto _ : state) {
        statements::Statement read = statements::readStatement(fx.csv, {});
        benchmark::DoNotOptimize(statements::classify(std::move(read), fx.view));
    }
}

void BM_ClassifyOnly(benchmark::State& state) {
    Fixture fx(ledger::Kind::Cash);
    fx.view.posts = statements::accountPosts(fx.file, ledger::Kind::Cash);
    std::vector<statements::ClassifiedRow> rows;
    for (auto _ : state)
        benchmark::DoNotOptimize(rows = statements::classify(fx.statement, fx.view));
    // What the rows became, so a change that classifies them otherwise shows.
    for (const auto& r : rows)
        state.counters[r.statusWord()] += 1;
}

// The parts of the whole, to see where the time goes.
void BM_ReadOnly(benchmark::State& state) {
    Fixture fx(ledger::Kind::Cash);
    for (auto _ : state)
        benchmark::DoNotOptimize(statements::readStatement(fx.csv, {}));
}

void BM_AccountPostsOnly(benchmark::State& state, ledger::Kind kind) {
    Fixture fx(kind);
    for (auto _ : state)
        benchmark::DoNotOptimize(statements::accountPosts(fx.file, kind));
}

// On a shared machine the fastest of several repetitions tells the work done; the median tells
// what a user meets. Run with --benchmark_repetitions=8.
double fastest(const std::vector<double>& times) {
    return *std::min_element(times.begin(), times.end());
}

} // namespace

// Every case in milliseconds, with the fastest repetition beside the median.
void registerAll() {
    const auto timed = [](benchmark::internal::Benchmark* b) {
        b->Unit(benchmark::kMillisecond)->ComputeStatistics("min", fastest);
    };
    timed(benchmark::RegisterBenchmark("BM_ReadOnly", BM_ReadOnly));
    for (const auto& [name, kind] :
         {std::pair{"cash", ledger::Kind::Cash}, {"budget", ledger::Kind::Budget}}) {
        const std::string suffix = std::string("/") + name;
        timed(benchmark::RegisterBenchmark(("BM_AccountPostsOnly" + suffix).c_str(), BM_AccountPostsOnly,
                                           kind));
        timed(
            benchmark::RegisterBenchmark(("BM_ReadAndClassify" + suffix).c_str(), BM_ReadAndClassify, kind));
        timed(benchmark::RegisterBenchmark(("BM_ReadAndClassifyAccountRead" + suffix).c_str(),
                                           BM_ReadAndClassifyAccountRead, kind));
    }
    timed(benchmark::RegisterBenchmark("BM_ClassifyOnly", BM_ClassifyOnly));
}

int main(int argc, char** argv) {
    registerAll();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
}
