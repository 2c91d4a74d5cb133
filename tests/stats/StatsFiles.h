#pragma once

// Account files for the statistics tests, written byte by byte with every field spelled out.

#include "fixtures/AccountFiles.h"
#include "fixtures/TempDrive.h"
#include "stats/AccountFiles.h"

#include <string>
#include <string_view>
#include <vector>

namespace statstest {

using fixtures::budg;
using fixtures::cash;
using fixtures::field;
using fixtures::transRec;

// Kontostart, Insättning (+), Uttag (-), Mat (-).
inline std::string transakt() {
    return transRec("Kontostart", ' ') + transRec("Ins\xE4ttning", '+') + transRec("Uttag", '-') +
           transRec("Mat", '-');
}

// Hyra, (free slot), Bröd.
inline std::string kategori() {
    return field("Hyra", 35) + field("", 35) + field("Br\366d", 35);
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
