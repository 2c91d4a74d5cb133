#pragma once

// Accounts for the overview tests: a register and account folders written byte by byte.

#include "fixtures/AccountFiles.h"
#include "fixtures/TempDrive.h"
#include "overview/Selection.h"

#include <string>
#include <vector>

namespace overviewtest {

using fixtures::budg;
using fixtures::cash;
using fixtures::field;
using fixtures::transRec;

struct TestAccount {
    std::string name; // Windows-1252 (plain ASCII in these tests)
    std::string kind; // "Ek" or "Bg"
    std::string posts, transakt, kategori;
};

// Kontostart, Lön (+), Mat (-), Hyra (-).
inline std::string transakt() {
    return transRec("Kontostart", ' ') + transRec("L\xF6n", '+') + transRec("Mat", '-') +
           transRec("Hyra", '-');
}
// Kontostart, Mat (-), Lön (+): the same names under other numbers.
inline std::string otherTransakt() {
    return transRec("Kontostart", ' ') + transRec("Mat", '-') + transRec("L\xF6n", '+');
}
// Bröd, Mjölk.
inline std::string kategori() {
    return field("Br\xF6"
                 "d",
                 35) +
           field("Mj\xF6lk", 35);
}

// Writes the register and every account, and opens them all.
inline std::vector<overview::OpenAccount> open(const TempDrive& drive, const std::vector<TestAccount>& list) {
    std::string kontoFil;
    for (const TestAccount& s : list) {
        kontoFil += fixtures::kontoRec(s.name, "", s.kind);
        drive.writeFile("MoniData/" + s.name + "/KontoData", s.posts);
        drive.writeFile("MoniData/" + s.name + "/Transakt", s.transakt.empty() ? transakt() : s.transakt);
        drive.writeFile("MoniData/" + s.name + "/Kategori", s.kategori.empty() ? kategori() : s.kategori);
    }
    drive.writeFile("MoniData/KontoFil", kontoFil);
    const store::DataPaths paths(drive.path());
    std::vector<overview::OpenAccount> out;
    for (const overview::AccountInfo& info : overview::registeredAccounts(paths))
        out.push_back(overview::openAccount(paths, info));
    return out;
}

} // namespace overviewtest
