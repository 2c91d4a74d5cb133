#pragma once

// The accounts the statistics and printing benchmarks work on: n posts, three a day from
// 1990-01-01, five main and three sub-transactions in turn, written as the program stores them.

#include "ledger/LedgerView.h"
#include "stats/AccountFiles.h"
#include "store/Amount.h"
#include "store/DateText.h"
#include "store/Paths.h"

#include <filesystem>
#include <fstream>
#include <string>

namespace benchdata {

inline std::string pad(std::string s, std::size_t w) {
    s.resize(w, ' ');
    return s;
}

inline void write(const std::filesystem::path& p, const std::string& bytes) {
    std::filesystem::create_directories(p.parent_path());
    std::ofstream(p, std::ios::binary | std::ios::trunc)
        .write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

// Writes the account under dataRoot unless it is there already, and opens it.
inline stats::AccountFiles statsAccount(const std::filesystem::path& dataRoot, ledger::Kind kind, int n) {
    const std::string name = std::string(kind == ledger::Kind::Cash ? "Kassa" : "Budget") + std::to_string(n);
    const store::DataPaths paths(dataRoot);
    if (!std::filesystem::exists(paths.kontoData(name))) {
        std::string posts, transakt, kategori;
        for (int t = 1; t <= 5; ++t)
            transakt += pad("Transaktion " + std::to_string(t), 35) + (t % 2 ? "-" : "+");
        for (int s = 1; s <= 3; ++s)
            kategori += pad("Sub " + std::to_string(s), 35);
        store::Date date{1990, 1, 1};
        store::Amount balance;
        for (int i = 0; i < n; ++i) {
            if (i > 0 && i % 3 == 0)
                date = store::stepDay(date, 1);
            const store::Amount amount = store::Amount::fromUnits(i % 2 ? -4117500 : 12345000);
            balance += amount;
            const std::string a = amount.amountText();
            const std::string b = balance.amountText();
            const std::string head = store::dateText(date) + pad(std::to_string(i % 5 + 1), 4);
            const std::string sub = pad(i % 4 ? std::to_string(i % 4) : "", 4);
            if (kind == ledger::Kind::Cash)
                posts += head + pad(a, 11) + pad(b, 11) + " " + sub + "  ";
            else
                posts += head + pad(a, 11) + pad(a, 11) + pad(b, 11) + pad(b, 11) + pad("0", 11) + " *" +
                         sub + "  ";
        }
        write(paths.kontoData(name), posts);
        write(paths.transakt(name), transakt);
        write(paths.kategori(name), kategori);
    }
    return stats::openAccountFiles(paths, name, kind);
}

} // namespace benchdata
