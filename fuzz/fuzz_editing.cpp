// Random bytes as an account's files and a short list of edits made on them as the windows make
// them: the parts KontoData, Transakt, Kategori, B-mall, KontoFil and the edits, separated by
// lines "##". The edits' first byte chooses the account kind; then each edit is a byte choosing
// the operation and three bytes for its arguments (a post, a transaction, a date, an amount):
// posts inserted, deleted, changed, moved, ticked, confirmed, checked and recounted; main
// transactions renamed with a new sign, replaced and deleted; sub-transactions deleted; accounts
// created and removed.
//
// Only store::DataError and store::FileError may come out, and a failed or refused edit leaves
// every file of the data folder as it was (a ledger edit refused also leaves the image).

#include "FuzzFiles.h"

#include "accounts/NewAccount.h"
#include "accounts/RemoveAccount.h"
#include "budget/BudgetTemplate.h"
#include "catalogue/MainTransactions.h"
#include "catalogue/Replacement.h"
#include "catalogue/SubTransactions.h"
#include "ledger/BudgetLedger.h"
#include "ledger/Cashbook.h"
#include "ledger/LedgerView.h"
#include "store/GroupCommit.h"
#include "store/Paths.h"
#include "store/RecordFile.h"
#include "store/Records.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>

namespace {

constexpr std::string_view Today = "2026-06-15";
constexpr std::string_view Name = "Konto";
constexpr int MaxEdits = 12;

const store::DataPaths& paths() {
    static fuzz::Workspace w("moniva-fuzz-edit");
    static const store::DataPaths p(w.path());
    return p;
}

// Every file under the drive folder with its bytes.
std::map<std::string, std::string> tree() {
    std::map<std::string, std::string> all;
    std::error_code ec;
    for (auto it = fuzz::fs::recursive_directory_iterator(paths().driveFolder(), ec);
         !ec && it != decltype(it)(); it.increment(ec))
        all[it->path().string()] = it->is_directory() ? "<folder>" : fuzz::readFile(it->path());
    FUZZ_REQUIRE(!ec);
    return all;
}

// The arguments of one edit, decoded as a window would offer them: only posts and transactions
// that exist, only real dates.
struct Args {
    std::uint8_t a, b, c;
    int post(int postCount) const { return postCount > 0 ? 1 + a % postCount : 1; }
    int other(int postCount) const { return postCount > 0 ? 1 + b % postCount : 1; }
    int trans(std::size_t count) const { return count > 0 ? 1 + static_cast<int>(b % count) : 1; }
    std::string date() const {
        const int year = 2024 + c % 4, month = 1 + (c / 4) % 12, day = 1 + b % 28;
        std::string d = std::to_string(year) + "-" + (month < 10 ? "0" : "") + std::to_string(month) + "-" +
                        (day < 10 ? "0" : "") + std::to_string(day);
        return d;
    }
    // Small and large amounts of either sign, up to the edge of the amount limit.
    store::Amount amount() const {
        const std::int64_t whole = (c & 0x80) ? 99'999'990 + (a % 20) : (a * 37 + b) % 5000;
        return store::Amount::fromUnits((c & 1 ? -whole : whole) * store::Amount::Scale + (b % 4) * 2500);
    }
    std::string amountText() const {
        const std::string text = amount().amountText();
        return c & 2 ? text : "-0";
    }
    char sign() const { return "+- "[c % 3]; }
    std::string_view name() const {
        static constexpr std::string_view Names[] = {"Hyra", "Mat", "L\xF6n", "Kontostart", "Ins\xE4ttning"};
        return Names[a % 5];
    }
};

struct Account {
    bool budget = false;
    std::optional<store::RecordFile> kontoData, transakt, kategori, mall;
    int postCount = 0;

    void open() {
        const store::DataPaths& p = paths();
        kontoData.emplace(p.kontoData(Name),
                          budget ? store::PostRec_Budget::Length : store::PostRec_Enkel::Length,
                          store::RecordFile::Missing::Fail);
        transakt.emplace(p.transakt(Name), store::TransRec::Length, store::RecordFile::Missing::Fail);
        kategori.emplace(p.kategori(Name), store::KatRec::Length, store::RecordFile::Missing::Fail);
        mall.emplace(p.bMall(Name), store::MallRec::Length);
        postCount = ledger::findPostCount(*kontoData);
    }
    catalogue::AccountFiles catalogueFiles() {
        return {*transakt, *kontoData, postCount, budget, paths().journalFolder()};
    }
    void save() {
        store::GroupCommit group(paths().journalFolder());
        group.stage(*kontoData);
        if (mall->dirty())
            group.stage(*mall);
        group.commit();
    }
};

// A post edit of either ledger: refused ones leave the image, done ones are saved.
ledger::PostResult ledgerEdit(Account& acc, int op, const Args& x) {
    const int n = acc.postCount;
    // Without posts the window offers nothing but a new one.
    if (n == 0 && op != 0)
        return {ledger::Outcome::NoChange, 0, 0, 0};
    if (!acc.budget) {
        ledger::Cashbook book(*acc.kontoData, n);
        switch (op) {
        case 0:
            return book.insert({x.date(), x.trans(acc.transakt->count()), x.a % 3, x.amount()});
        case 1:
            return book.remove(x.post(n));
        case 2:
            return book.changeAmount(x.post(n), x.amount());
        case 3:
            return book.move(x.post(n), x.other(n), x.date());
        case 4:
            (void)book.balanceEntry(x.date(), x.amount(), x.sign());
            return {ledger::Outcome::Done, n, 1, 0};
        default:
            if (x.a & 1) {
                book.toggleTick(x.post(n));
                return {ledger::Outcome::Done, n, 0, 0};
            }
            return {book.recount(x.post(n)), n, x.post(n), 0};
        }
    }
    budget::BudgetTemplate tmpl(*acc.mall);
    ledger::BudgetLedger book(*acc.kontoData, n, std::string(Today), &tmpl);
    switch (op) {
    case 0:
        return book.insert(
            {x.date(), x.trans(acc.transakt->count()), x.a % 3, x.amountText(), x.amount().amountText()});
    case 1:
        return book.remove(x.post(n));
    case 2:
        return book.changeAmounts(x.post(n), x.amountText(), x.amount().amountText());
    case 3:
        return book.move(x.post(n), x.other(n), x.date());
    case 4:
        return {book.confirm(x.post(n)), n, 1, 0};
    default:
        if (x.a & 1) {
            book.toggleTick(x.post(n));
            return {ledger::Outcome::Done, n, 0, 0};
        }
        return {book.recount(x.post(n)), n, x.post(n), 0};
    }
}

bool balancesAgree(Account& acc, int from) {
    if (acc.budget)
        return !ledger::BudgetLedger(*acc.kontoData, acc.postCount, std::string(Today)).checkBalances(from);
    return !ledger::Cashbook(*acc.kontoData, acc.postCount).checkBalances(from);
}

char signOf(const store::RecordFile& transakt, int transNr) {
    return transakt.read<store::TransRec>(static_cast<std::size_t>(transNr)).raw(store::TransRec::Tecken)[0];
}

// The files before the edit now under way.
std::map<std::string, std::string>& filesBefore() {
    static std::map<std::string, std::string> before;
    return before;
}

bool refusedLeavesFiles(ledger::Outcome outcome) {
    if (outcome != ledger::Outcome::Done)
        FUZZ_REQUIRE(tree() == filesBefore());
    return true;
}

// One edit; false when the account is gone and the list ends.
bool edit(Account& acc, std::uint8_t op, const Args& x) {
    const store::DataPaths& p = paths();
    // The catalogue windows list only what Transakt holds.
    if ((op % 12 == 6 || op % 12 == 7) && acc.transakt->count() == 0)
        return true;
    switch (op % 12) {
    case 6:
        return refusedLeavesFiles(catalogue::changeMainTransaction(acc.catalogueFiles(),
                                                                   x.trans(acc.transakt->count()), x.name(),
                                                                   x.sign())
                                      .outcome);
    case 7: {
        const auto r = catalogue::deleteMainTransaction(acc.catalogueFiles(), x.trans(acc.transakt->count()));
        if (r.outcome == ledger::Outcome::Done)
            acc.postCount = r.postCount;
        return refusedLeavesFiles(r.outcome);
    }
    case 8: {
        // As the window offers it: the old transaction's own sign, a post of the account marked.
        const auto count = acc.transakt->count();
        const int from = x.trans(count), to = 1 + static_cast<int>(x.a % std::max<std::size_t>(count, 1));
        if (acc.postCount == 0 || count == 0)
            return true;
        const catalogue::Replacement r{
            from,           signOf(*acc.transakt, from), to, signOf(*acc.transakt, to),
            (x.c & 4) != 0, x.post(acc.postCount)};
        return refusedLeavesFiles(
            catalogue::replaceMainTransaction({*acc.kontoData, acc.postCount, acc.budget, &*acc.mall,
                                               x.date(), std::string(Today), p.journalFolder()},
                                              r)
                .outcome);
    }
    case 9:
        // The window lists only the records Kategori holds.
        if (acc.kategori->count() > 0)
            catalogue::deleteSubTransaction(*acc.kategori, *acc.kontoData, acc.postCount, acc.budget,
                                            x.trans(acc.kategori->count()), p.journalFolder());
        return true;
    case 10:
        accounts::createAccount(p, {x.c & 1 ? "Konto" : "Nytt", "1234", x.c & 2 ? "Bg" : "Ek"}, x.date(),
                                "\xC5sa");
        return true;
    case 11: {
        const store::RecordFile kontoFil(p.kontoFil(), store::KontoRec::Length);
        accounts::reduceAccount(p, 1 + x.a % static_cast<int>(kontoFil.count() + 1), Name, x.b & 1);
        return false;
    }
    default: {
        const std::string before = acc.kontoData->image(), mallBefore = acc.mall->image();
        const ledger::PostResult r = ledgerEdit(acc, op % 12, x);
        if (r.outcome != ledger::Outcome::Done) {
            FUZZ_REQUIRE(acc.kontoData->image() == before && acc.mall->image() == mallBefore);
            return true;
        }
        FUZZ_REQUIRE(r.postCount >= 0 && static_cast<std::size_t>(r.postCount) <= acc.kontoData->count());
        acc.postCount = r.postCount;
        acc.save();
        // A recount that went through leaves no balance for the check to find.
        if (op % 12 == 5 && r.recountStart > 0)
            FUZZ_REQUIRE(balancesAgree(acc, r.recountStart));
        return true;
    }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    const store::DataPaths& p = paths();
    std::error_code ec;
    fuzz::fs::remove_all(p.dataRoot(), ec);
    fuzz::fs::create_directories(p.accountFolder(Name));
    fuzz::writeFile(p.kontoData(Name), fuzz::part(input, 0));
    fuzz::writeFile(p.transakt(Name), fuzz::part(input, 1));
    fuzz::writeFile(p.kategori(Name), fuzz::part(input, 2));
    fuzz::writeFile(p.bMall(Name), fuzz::part(input, 3));
    fuzz::writeFile(p.kontoFil(), fuzz::part(input, 4));
    const std::string_view edits = fuzz::part(input, 5);

    Account acc;
    acc.budget = !edits.empty() && (edits[0] & 1);
    bool open = false;
    fuzz::allowingDataErrors([&] {
        acc.open();
        open = true;
    });
    for (std::size_t i = 1; open && i + 3 < edits.size() && i < 1 + 4 * MaxEdits; i += 4) {
        const auto byte = [&](std::size_t k) { return static_cast<std::uint8_t>(edits[k]); };
        const auto& before = filesBefore() = tree();
        bool failed = true;
        fuzz::allowingDataErrors([&] {
            open = edit(acc, byte(i), {byte(i + 1), byte(i + 2), byte(i + 3)});
            failed = false;
        });
        if (!failed)
            continue;
        FUZZ_REQUIRE(tree() == before);
        // As the window does after a failure: the files read again.
        fuzz::allowingDataErrors([&] {
            open = false;
            acc.open();
            open = true;
        });
    }
    return 0;
}
