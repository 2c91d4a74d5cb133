// Random bytes as the files of a data folder: the post file of an account of either kind opened
// and scrolled through like the main window does, its budget template built, the register
// listed, the start-up file read, the catalogue listed. Only store::DataError and
// store::FileError may come out; anything else is a fault.

#include "FuzzFiles.h"

#include "accounts/Register.h"
#include "budget/BudgetTemplate.h"
#include "catalogue/Catalogue.h"
#include "ledger/LedgerView.h"
#include "store/Cp1252.h"
#include "store/Errors.h"
#include "store/Paths.h"
#include "store/RecordFile.h"
#include "store/Records.h"

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <set>
#include <string>
#include <string_view>

namespace fs = std::filesystem;

namespace {

constexpr std::string_view Today = "2026-06-15";
constexpr std::string_view AccountName = "Fuzz";
constexpr std::string_view CatalogueAccount = "Katalog";

std::string transRec(std::string_view cp1252Name, char sign) {
    store::TransRec rec;
    rec.set(store::TransRec::TransNamn, cp1252Name);
    rec.set(store::TransRec::Tecken, std::string_view(&sign, 1));
    return std::string(rec.bytes());
}

// A drive folder with an account and a catalogue, made once per process.
const store::DataPaths& paths() {
    static const fuzz::Workspace w("moniva-fuzz");
    static const store::DataPaths p = [] {
        const store::DataPaths d(w.path());
        fs::create_directories(d.accountFolder(AccountName));
        fs::create_directories(d.accountFolder(CatalogueAccount));
        // A catalogue with a freed slot among the standard transactions.
        fuzz::writeFile(d.transakt(AccountName), transRec("Kontostart", ' ') +
                                                     transRec("Ins\xE4ttning", '+') + transRec("Uttag", '-') +
                                                     transRec("", ' ') + transRec("L\xF6n", '+'));
        // Left empty on disk: every run builds its template in memory and never commits it.
        fuzz::writeFile(d.bMall(AccountName), "");
        return d;
    }();
    return p;
}

void checkScroll(const ledger::ScrollState& s, int postCount) {
    FUZZ_REQUIRE(s.value >= 1);
    FUZZ_REQUIRE(s.minimum <= s.value && s.value <= s.maximum);
    if (postCount <= 10) {
        FUZZ_REQUIRE(s.value == 1 && s.lastShown == postCount);
    } else {
        FUZZ_REQUIRE(s.lastShown - s.value + 1 == 10);
        FUZZ_REQUIRE(s.lastShown <= postCount);
    }
}

void readView(ledger::Kind kind, const store::RecordFile& kontoData, const store::RecordFile& transakt,
              const ledger::ScrollState& s) {
    fuzz::allowingDataErrors([&] {
        const std::size_t rows =
            kind == ledger::Kind::Cash
                ? ledger::readCashView(kontoData, transakt, s.value, s.lastShown).size()
                : ledger::readBudgetView(kontoData, transakt, s.value, s.lastShown).size();
        FUZZ_REQUIRE(rows == static_cast<std::size_t>(s.lastShown - s.value + 1));
    });
}

// The budget template built on opening the account: one record per transaction and month.
void buildTemplate(const store::RecordFile& kontoData, int postCount) {
    store::RecordFile mall(paths().bMall(AccountName), store::MallRec::Length,
                           store::RecordFile::Missing::Fail);
    budget::BudgetTemplate tmpl(mall);
    FUZZ_REQUIRE(tmpl.count() == 0);
    fuzz::allowingDataErrors([&] {
        const bool built = tmpl.open(kontoData, postCount, Today);
        FUZZ_REQUIRE(built == (postCount > 1));
        FUZZ_REQUIRE(static_cast<std::size_t>(tmpl.count()) == mall.count());
        FUZZ_REQUIRE(mall.byteLength() == mall.count() * store::MallRec::Length);
        std::set<std::string> keys;
        for (std::size_t n = 1; n <= mall.count(); ++n) {
            const auto rec = mall.read<store::MallRec>(n);
            FUZZ_REQUIRE(rec.amount(store::MallRec::Amount).floorWhole() % 10 == 0);
            FUZZ_REQUIRE(keys.insert(rec.text(store::MallRec::TransNr) + '|' +
                                     std::string(rec.raw(store::MallRec::Month)))
                             .second);
        }
        budget::BudgetTemplate reopened(mall);
        FUZZ_REQUIRE(reopened.count() == tmpl.count());
        if (tmpl.count() > 0)
            FUZZ_REQUIRE(!tmpl.open(kontoData, postCount, Today));
    });
}

void openAccount(ledger::Kind kind, const store::RecordFile& transakt) {
    const store::RecordFile kontoData(paths().kontoData(AccountName), ledger::recordLength(kind),
                                      store::RecordFile::Missing::Fail);
    const int postCount = ledger::findPostCount(kontoData);
    FUZZ_REQUIRE(postCount >= 0 && static_cast<std::size_t>(postCount) <= kontoData.count());

    for (const std::string_view date :
         {Today, std::string_view("0000-00-00"), std::string_view("9999-12-31")}) {
        const int current = ledger::findCurrentPost(kontoData, postCount, date);
        FUZZ_REQUIRE(postCount == 0 ? current == 0 : current >= 1 && current <= postCount);
        const ledger::ScrollState s = ledger::scrollSet(postCount, current);
        checkScroll(s, postCount);
        FUZZ_REQUIRE(current == 0 || (s.value <= current && current <= s.lastShown));
        readView(kind, kontoData, transakt, s);
    }

    // Scroll through every window, then past both ends.
    ledger::ScrollState s =
        ledger::scrollSet(postCount, ledger::findCurrentPost(kontoData, postCount, Today));
    for (int value = 1; value <= postCount + 10; value += 10) {
        ledger::scrollTo(s, postCount, value);
        checkScroll(s, postCount);
        readView(kind, kontoData, transakt, s);
    }
    for (const int value : {-5, 0, postCount + 100}) {
        ledger::scrollTo(s, postCount, value);
        checkScroll(s, postCount);
    }

    if (kind == ledger::Kind::Budget)
        buildTemplate(kontoData, postCount);
}

void listRegister() {
    const store::RecordFile kontoFil(paths().kontoFil(), store::KontoRec::Length,
                                     store::RecordFile::Missing::Fail);
    const auto entries = accounts::listAccounts(kontoFil);
    int previous = 0;
    for (const auto& entry : entries) {
        FUZZ_REQUIRE(entry.recordNumber > previous &&
                     static_cast<std::size_t>(entry.recordNumber) <= kontoFil.count());
        previous = entry.recordNumber;
        FUZZ_REQUIRE(!entry.name.empty());
        FUZZ_REQUIRE(entry.listText.size() >= entry.name.size() &&
                     entry.listText.compare(entry.listText.size() - entry.name.size(), std::string::npos,
                                            entry.name) == 0);
        const auto rec = kontoFil.read<store::KontoRec>(static_cast<std::size_t>(entry.recordNumber));
        FUZZ_REQUIRE(store::cp1252ToUtf8(rec.name()) == entry.name);
        (void)ledger::kindFromCode(rec.text(store::KontoRec::KontoTyp));
        // Whatever the register says, the account's folder lies directly in the data root.
        fuzz::allowingDataErrors([&] {
            const fs::path folder = paths().accountFolder(rec.name());
            FUZZ_REQUIRE(folder.parent_path() == paths().dataRoot());
            const fs::path leaf = folder.filename();
            FUZZ_REQUIRE(!leaf.empty() && leaf != "." && leaf != "..");
            FUZZ_REQUIRE(folder.lexically_normal() == folder);
        });
    }
    const int freeSlot = accounts::findFreeSlot(kontoFil);
    FUZZ_REQUIRE(freeSlot >= 1 && static_cast<std::size_t>(freeSlot) <= kontoFil.count() + 1);
    for (const auto& entry : entries)
        FUZZ_REQUIRE(entry.recordNumber != freeSlot);
}

void readStartupFile() {
    const auto ini = accounts::readKontoIni(paths().kontoIni());
    if (!ini)
        return;
    FUZZ_REQUIRE(ini->kontoNum >= 0 && ini->kontoNum <= 32767);
    FUZZ_REQUIRE(!ini->userName.empty());
    FUZZ_REQUIRE(store::utf8ToCp1252(ini->userName).has_value());
    // What was read is written back and reads the same.
    accounts::writeKontoIni(paths().kontoIni(), *ini);
    const auto again = accounts::readKontoIni(paths().kontoIni());
    FUZZ_REQUIRE(again && again->kontoNum == ini->kontoNum && again->userName == ini->userName);
}

void listCatalogue() {
    const store::RecordFile transakt(paths().transakt(CatalogueAccount), store::TransRec::Length,
                                     store::RecordFile::Missing::Fail);
    for (const auto& item : catalogue::mainTransactions(transakt)) {
        FUZZ_REQUIRE(item.recordNumber >= 1 &&
                     static_cast<std::size_t>(item.recordNumber) <= transakt.count());
        FUZZ_REQUIRE(item.sign == '+' || item.sign == '-' || item.sign == ' ');
        FUZZ_REQUIRE(!item.name.empty());
        // The grid names a post's transaction exactly as the list does.
        FUZZ_REQUIRE(ledger::transactionName(transakt, std::to_string(item.recordNumber)) == item.name);
    }
    const int neutral = catalogue::neutralStandardTransaction(transakt);
    FUZZ_REQUIRE(neutral == 0 || (neutral >= 2 && static_cast<std::size_t>(neutral) <= transakt.count()));

    const store::RecordFile kategori(paths().kategori(CatalogueAccount), store::KatRec::Length,
                                     store::RecordFile::Missing::Fail);
    for (const auto& item : catalogue::subTransactions(kategori))
        FUZZ_REQUIRE(item.recordNumber >= 1 &&
                     static_cast<std::size_t>(item.recordNumber) <= kategori.count());
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    const store::DataPaths& p = paths();

    fuzz::writeFile(p.kontoData(AccountName), input);
    fuzz::allowingDataErrors([&] {
        const store::RecordFile transakt(p.transakt(AccountName), store::TransRec::Length,
                                         store::RecordFile::Missing::Fail);
        openAccount(ledger::Kind::Cash, transakt);
        openAccount(ledger::Kind::Budget, transakt);
    });

    fuzz::writeFile(p.kontoFil(), input);
    fuzz::allowingDataErrors(listRegister);

    fuzz::writeFile(p.kontoIni(), input);
    fuzz::allowingDataErrors(readStartupFile);

    fuzz::writeFile(p.transakt(CatalogueAccount), input);
    fuzz::writeFile(p.kategori(CatalogueAccount), input);
    fuzz::allowingDataErrors(listCatalogue);
    return 0;
}
