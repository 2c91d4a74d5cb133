#pragma once

// Account files for the statistics tests, written byte by byte with every field spelled out.

#include "fixtures/TempDrive.h"
#include "stats/AccountFiles.h"

#include <string>
#include <string_view>
#include <vector>

namespace statstest {

inline std::string pad(std::string_view v, std::size_t w) {
    std::string s(v.substr(0, w));
    s.resize(w, ' ');
    return s;
}

// A cash-book post: every field as its text.
inline std::string cash(std::string_view date, std::string_view transNr, std::string_view amount,
                        std::string_view balance, std::string_view subNr = "") {
    return pad(date, 10) + pad(transNr, 4) + pad(amount, 11) + pad(balance, 11) + " " + pad(subNr, 4) + "  ";
}

// A budget post: budgeted, actual, their balances and the difference as texts.
inline std::string budget(std::string_view date, std::string_view transNr, std::string_view budg,
                          std::string_view verkl, std::string_view budgSaldo, std::string_view verklSaldo,
                          std::string_view diff, std::string_view subNr = "") {
    return pad(date, 10) + pad(transNr, 4) + pad(budg, 11) + pad(verkl, 11) + pad(budgSaldo, 11) +
           pad(verklSaldo, 11) + pad(diff, 11) + " *" + pad(subNr, 4) + "  ";
}

inline std::string trans(std::string_view name, char sign) {
    return pad(name, 35) + std::string(1, sign);
}

// Kontostart, Insättning (+), Uttag (-), Mat (-).
inline std::string transakt() {
    return trans("Kontostart", ' ') + trans("Ins\xE4ttning", '+') + trans("Uttag", '-') + trans("Mat", '-');
}

// Hyra, (free slot), Bröd.
inline std::string kategori() {
    return pad("Hyra", 35) + pad("", 35) +
           pad("Br\xF6"
               "d",
               35);
}

// Writes the account "Konto" under the drive's data root and opens its files.
inline stats::AccountFiles account(const TempDrive& drive, ledger::Kind kind, std::string_view posts,
                                   std::string_view transaktBytes = transakt(),
                                   std::string_view kategoriBytes = kategori()) {
    drive.writeFile("MoniData/Konto/KontoData", posts);
    drive.writeFile("MoniData/Konto/Transakt", transaktBytes);
    drive.writeFile("MoniData/Konto/Kategori", kategoriBytes);
    return stats::openAccountFiles(store::DataPaths(drive.path()), "Konto", kind);
}

} // namespace statstest
