#pragma once

// Post files for the ledger benchmarks: three posts a day from 1990-01-01 (the dates stay in order
// as the ledger requires), amounts that leave fractions in the balances as real accounts have.

#include "ledger/LedgerView.h"
#include "store/Amount.h"
#include "store/DateText.h"
#include "store/Records.h"

#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>
#include <vector>

namespace benchdata {

inline std::string dateOf(int i) {
    static std::vector<std::string> dates{store::dateText({1990, 1, 1})};
    while (static_cast<int>(dates.size()) * 3 <= i)
        dates.push_back(store::dateText(store::stepDay(*store::parseDate(dates.back()), 1)));
    return dates[static_cast<std::size_t>(i / 3)];
}

inline store::Amount amountOf(int i) {
    return i % 3 == 0 ? store::Amount::parseStored("1234,5") : store::Amount::parseStored("-411,75");
}

// The image of n consistent, confirmed posts: every balance agrees with the amounts.
inline std::string consistentPosts(ledger::Kind kind, int n) {
    using store::Amount;
    std::string image;
    image.reserve(static_cast<std::size_t>(n) * ledger::recordLength(kind));
    Amount budget, actual;
    for (int i = 0; i < n; ++i) {
        const Amount a = amountOf(i);
        const Amount b = a + Amount::whole(10);
        actual += a;
        budget += b;
        const std::string transNr = a.isNegative() ? "3" : "2";
        if (kind == ledger::Kind::Cash) {
            store::PostRec_Enkel r;
            r.set(store::PostRec_Enkel::Datum, dateOf(i));
            r.set(store::PostRec_Enkel::TransNr, transNr);
            r.setAmount(store::PostRec_Enkel::Belopp, a);
            r.setAmount(store::PostRec_Enkel::Saldo, actual);
            image += r.bytes();
        } else {
            store::PostRec_Budget r;
            r.set(store::PostRec_Budget::Datum, dateOf(i));
            r.set(store::PostRec_Budget::TransNr, transNr);
            r.setAmount(store::PostRec_Budget::BudgBelopp, b);
            r.setAmount(store::PostRec_Budget::VerklBelopp, a);
            r.setAmount(store::PostRec_Budget::BudgSaldo, budget);
            r.setAmount(store::PostRec_Budget::VerklSaldo, actual);
            r.setAmount(store::PostRec_Budget::DiffSaldo, actual - budget);
            r.set(store::PostRec_Budget::BStatus, "*");
            image += r.bytes();
        }
    }
    return image;
}

inline void writeFile(const std::filesystem::path& p, std::string_view bytes) {
    std::ofstream out(p, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

// KontoData of n consistent posts of the kind in `folder`, written once per kind and size.
inline std::filesystem::path postFile(const std::filesystem::path& folder, ledger::Kind kind, int n) {
    const std::filesystem::path p =
        folder / ((kind == ledger::Kind::Cash ? "cash-" : "budget-") + std::to_string(n));
    if (!std::filesystem::exists(p))
        writeFile(p, consistentPosts(kind, n));
    return p;
}

} // namespace benchdata
