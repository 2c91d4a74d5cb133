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

// Hem and Kort are cash books naming Mat and Lön under different numbers; Bud is a budget account
// with two unconfirmed posts.
inline std::vector<overview::OpenAccount> threeAccounts(const TempDrive& drive) {
    const std::string hem =
        cash("2026-01-01", "1", "5000", "5000") + cash("2026-01-05", "3", "-100", "4900", "1") +
        cash("2026-01-06", "3", "-50", "4850", "2") + cash("2026-01-07", "3", "-30", "4820") +
        cash("2026-01-25", "2", "20000", "24820") + cash("2026-01-28", "4", "-8000", "16820") +
        cash("2026-02-03", "3", "-70", "16750", "1");
    const std::string kort = cash("2026-01-01", "1", "0", "0") +
                             cash("2026-01-10", "2", "-820", "-820", "1") +
                             cash("2026-01-15", "3", "1000", "180");
    const std::string bud = budg("2026-01-01", "1", "0", "0", "0", "0", "0") +
                            budg("2026-01-10", "3", "-500", "-600", "-500", "-600", "-100") +
                            budg("2026-01-20", "3", "-400", "-400", "-900", "-1000", "-100", ' ', ' ') +
                            budg("2026-02-02", "2", "3000", "2800", "2100", "1800", "-300") +
                            budg("2026-02-10", "4", "-1000", "-1000", "1100", "800", "-300", ' ', ' ');
    return open(
        drive,
        {{"Hem", "Ek", hem, "", ""}, {"Kort", "Ek", kort, otherTransakt(), ""}, {"Bud", "Bg", bud, "", ""}});
}

} // namespace overviewtest
