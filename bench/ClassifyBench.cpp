// Classifying a statement of 10 000 rows against an account of 100 000 posts: the posts decoded from
// the account's image, 150 rules, a log of 10 000 rows imported before, duplicates and planned
// budget posts looked for around every row.

#include "statements/Classify.h"
#include "store/RecordFile.h"
#include "store/Records.h"

#include <benchmark/benchmark.h>

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
    statements::Statement statement;

    explicit Fixture(ledger::Kind kind) : file(makeFile(kind)) {
        std::mt19937 rng(2);
        view.budget = kind == ledger::Kind::Budget;
        view.transactions.push_back({1, "Kontostart", ' '});
        for (int t = 2; t < 42; ++t)
            view.transactions.push_back({t, "T" + std::to_string(t), '-'});
        for (int r = 0; r < 150; ++r)
            view.rules.push_back({r + 1, payee(r * 2).substr(0, 20), 2 + r % 40, 0});
        statement.bank = "Swedbank";
        for (int i = 0; i < Rows; ++i) {
            statements::BankRow row;
            row.bookingDate = dayBack((Rows - i) / 8);
            row.amount = amountOf(rng);
            row.text =
                "KORTKÖP " + std::to_string(231200 + i % 31) + " " + payee(static_cast<int>(rng() % Payees));
            statement.rows.push_back(std::move(row));
        }
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

void BM_Classify(benchmark::State& state, ledger::Kind kind) {
    Fixture fx(kind);
    for (auto _ : state) {
        fx.view.posts = statements::accountPosts(fx.file, kind);
        benchmark::DoNotOptimize(statements::classify(fx.statement, fx.view));
    }
}

} // namespace

BENCHMARK_CAPTURE(BM_Classify, cash, ledger::Kind::Cash)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Classify, budget, ledger::Kind::Budget)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
