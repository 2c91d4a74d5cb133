#include "reliability/Driver.h"

#include "accounts/NewAccount.h"
#include "accounts/Register.h"
#include "accounts/RemoveAccount.h"
#include "budget/BudgetTemplate.h"
#include "budget/PeriodPosting.h"
#include "budget/TemplateEdits.h"
#include "calendar/RedDays.h"
#include "catalogue/Catalogue.h"
#include "catalogue/MainTransactions.h"
#include "catalogue/Replacement.h"
#include "catalogue/SubTransactions.h"
#include "ledger/BudgetLedger.h"
#include "ledger/Cashbook.h"
#include "ledger/LedgerView.h"
#include "statements/Apply.h"
#include "statements/Rules.h"
#include "store/Cp1252.h"
#include "store/DateText.h"
#include "store/GroupCommit.h"
#include "store/Paths.h"
#include "store/Records.h"

#include <algorithm>
#include <cstdlib>
#include <optional>
#include <random>
#include <vector>

#include <unistd.h>

namespace fs = std::filesystem;

namespace reliability {

namespace {

// A kill ends the process, not the machine: what reaches the file system is the same on a memory
// file system, where the thousands of syncs of these tests cost nothing. TMPDIR set by hand wins.
const bool onMemory = [] {
    if (::access("/dev/shm", W_OK) == 0)
        ::setenv("TMPDIR", "/dev/shm", 0);
    return true;
}();

#define RELIABILITY_NAME(name, weight) #name,
#define RELIABILITY_WEIGHT(name, weight) weight,
const char* const Names[] = {RELIABILITY_OPERATIONS(RELIABILITY_NAME)};
const int Weights[] = {RELIABILITY_OPERATIONS(RELIABILITY_WEIGHT)};
#undef RELIABILITY_NAME
#undef RELIABILITY_WEIGHT

// UTF-8; one with a letter Windows-1252 holds as a single byte.
const char* const AccountNames[] = {"Hushåll", "Bil", "Resor", "Spar", "Mat", "Semester"};

} // namespace

const char* opName(Op op) {
    return Names[static_cast<int>(op)];
}

struct Driver::Rng {
    std::mt19937_64 gen;
    int pick(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(gen); }
    bool chance(int percent) { return pick(1, 100) <= percent; }
    std::string date() {
        return std::to_string(pick(2025, 2027)) + "-" + store::twoDigits(pick(1, 12)) + "-" +
               store::twoDigits(pick(1, 28));
    }
    // Whole kronor mostly, sometimes with öre.
    store::Amount amount() {
        return store::Amount::fromUnits(std::int64_t(pick(1, 2'000'000)) * (chance(70) ? 10000 : 100));
    }
    template <typename T> const T& of(const std::vector<T>& items) {
        return items[static_cast<std::size_t>(pick(0, static_cast<int>(items.size()) - 1))];
    }
};

// The open account as the main window holds it.
struct Driver::Account {
    std::string name; // Windows-1252
    int kontoNum = 0;
    bool budget = false;
    fs::path folder;
    store::RecordFile transakt;
    store::RecordFile kontoData;
    store::RecordFile kategori;
    std::optional<store::RecordFile> mall;
    std::unique_ptr<budget::BudgetTemplate> plan;

    Account(const store::DataPaths& paths, std::string n, int num, bool b)
        : name(std::move(n)), kontoNum(num), budget(b), folder(paths.accountFolder(name)),
          transakt(folder / "Transakt", store::TransRec::Length, store::RecordFile::Missing::Fail),
          kontoData(folder / "KontoData", ledger::recordLength(b ? ledger::Kind::Budget : ledger::Kind::Cash),
                    store::RecordFile::Missing::Fail),
          kategori(folder / "Kategori", store::KatRec::Length) {}

    int postCount() const { return ledger::findPostCount(kontoData); }
    // What the frames do when a change fails: the images are read again, the template with them.
    void drop() {
        kontoData.reload();
        if (mall && mall->dirty())
            mall->reload();
        if (mall)
            plan = std::make_unique<budget::BudgetTemplate>(*mall);
    }
};

Driver::Driver(fs::path drive, std::function<void()> checkpoint)
    : drive_(std::move(drive)), checkpoint_(std::move(checkpoint)) {}

Driver::~Driver() = default;

void Driver::close() {
    open_.reset();
}

namespace {

struct Registered {
    int kontoNum;
    std::string name; // Windows-1252
    bool budget;
};

std::vector<Registered> registered(const store::DataPaths& paths) {
    std::vector<Registered> out;
    if (!fs::exists(paths.kontoFil()))
        return out;
    const store::RecordFile kontoFil(paths.kontoFil(), store::KontoRec::Length,
                                     store::RecordFile::Missing::Fail);
    for (std::size_t n = 1; n <= kontoFil.count(); ++n) {
        const auto rec = kontoFil.read<store::KontoRec>(n);
        if (!rec.isFree())
            out.push_back({static_cast<int>(n), rec.name(), rec.text(store::KontoRec::KontoTyp) == "Bg"});
    }
    return out;
}

std::string signed_(std::string text, char sign) {
    return sign == '-' ? "-" + text : text;
}

} // namespace

Driver::Account* Driver::open(Rng& rng, int kind) {
    const store::DataPaths paths(drive_);
    std::vector<Registered> accounts = registered(paths);
    std::erase_if(accounts, [&](const Registered& r) { return kind >= 0 && r.budget != (kind == 1); });
    if (accounts.empty())
        return nullptr;
    const Registered& chosen = rng.of(accounts);
    if (open_ && open_->kontoNum == chosen.kontoNum && open_->name == chosen.name)
        return open_.get();
    // As the main window opens an account (Inläs): left-over temporary files go, a budget account
    // gets its template file and, when it has none yet, a template made from its posts.
    open_.reset();
    store::removeLeftoverTempFiles(paths.accountFolder(chosen.name));
    auto account = std::make_unique<Account>(paths, chosen.name, chosen.kontoNum, chosen.budget);
    if (account->budget) {
        const bool existed = fs::exists(account->folder / "B-mall");
        account->mall.emplace(account->folder / "B-mall", store::MallRec::Length);
        account->plan = std::make_unique<budget::BudgetTemplate>(*account->mall);
        const bool made = account->plan->open(account->kontoData, account->postCount(), Today);
        if (made)
            account->mall->commit();
        if (made || !existed)
            checkpoint();
    }
    open_ = std::move(account);
    return open_.get();
}

bool Driver::run(Op op, std::uint64_t seed) {
    Rng rng{std::mt19937_64(seed)};
    const bool ran = runOn(op, rng);
    checkpoint();
    return ran;
}

Op Driver::runAny(std::uint64_t seed) {
    std::mt19937_64 gen(seed);
    std::discrete_distribution<int> kind(std::begin(Weights), std::end(Weights));
    for (;;) {
        const Op op = static_cast<Op>(kind(gen));
        if (run(op, gen()))
            return op;
    }
}

bool Driver::runOn(Op op, Rng& rng) {
    switch (op) {
    case Op::NewMain:
    case Op::RenameMain:
    case Op::SignChange:
    case Op::DeleteMain:
    case Op::NewSub:
    case Op::RenameSub:
    case Op::DeleteSub:
    case Op::ReplaceOne:
    case Op::ReplaceAll:
        return catalogueOp(op, rng);
    case Op::NewAccount:
    case Op::RemoveAccount:
        return accountOp(op, rng);
    case Op::RedDayInsert:
    case Op::RedDayChange:
    case Op::RedDayRemove:
        return redDayOp(op, rng);
    case Op::Import:
        return importOp(rng);
    default:
        return ledgerOp(op, rng);
    }
}

bool Driver::ledgerOp(Op op, Rng& rng) {
    const bool budget = op >= Op::BudgetInsert;
    Account* a = open(rng, budget ? 1 : 0);
    if (!a)
        return false;
    const int n = a->postCount();
    const std::vector<catalogue::CatalogueItem> mains = catalogue::mainTransactions(a->transakt);
    const std::vector<catalogue::CatalogueItem> subs = catalogue::subTransactions(a->kategori);
    if (mains.empty() || n < 1)
        return false;
    const catalogue::CatalogueItem& main = rng.of(mains);
    const int sub = !subs.empty() && rng.chance(40) ? rng.of(subs).recordNumber : 0;
    const int post = rng.pick(1, n);
    const int last = std::min(n, post + rng.pick(0, 2));
    const std::string date = rng.date();
    const store::Amount amount = rng.amount();
    const store::Amount other = rng.amount();

    const store::DataPaths paths(drive_);
    bool changed = false;
    try {
        if (!budget) {
            ledger::Cashbook book(a->kontoData, n);
            const store::Amount value = main.sign == '-' ? -amount : amount;
            switch (op) {
            case Op::CashInsert:
                changed = book.insert({date, main.recordNumber, sub, value}).outcome == ledger::Outcome::Done;
                break;
            case Op::CashRemove:
                changed = book.remove(post).outcome == ledger::Outcome::Done;
                break;
            case Op::CashChange:
                changed =
                    book.changeAmount(post, rng.chance(50) ? value : -value).outcome == ledger::Outcome::Done;
                break;
            case Op::CashMove:
                changed = book.move(post, last, date).outcome == ledger::Outcome::Done;
                break;
            default:
                book.toggleTick(post);
                changed = true;
            }
            if (changed)
                a->kontoData.commit();
            return true;
        }

        a->plan = std::make_unique<budget::BudgetTemplate>(*a->mall);
        ledger::BudgetLedger book(a->kontoData, n, Today, a->plan.get());
        const std::string budgeted = signed_(amount.amountText(), main.sign);
        const std::string actual = signed_(rng.chance(30) ? "0" : other.amountText(), main.sign);
        switch (op) {
        case Op::BudgetInsert:
            changed = book.insert({date, main.recordNumber, sub, budgeted, actual}).outcome ==
                      ledger::Outcome::Done;
            break;
        case Op::BudgetConfirm:
            changed = book.confirm(post) == ledger::Outcome::Done;
            break;
        case Op::BudgetRemove:
            changed = book.remove(post).outcome == ledger::Outcome::Done;
            break;
        case Op::BudgetChange:
            changed = book.changeAmounts(post, budgeted, actual).outcome == ledger::Outcome::Done;
            break;
        case Op::BudgetMove:
            changed = book.move(post, last, date).outcome == ledger::Outcome::Done;
            break;
        case Op::BudgetTick:
            book.toggleTick(post);
            changed = true;
            break;
        case Op::Exclusion: {
            const std::vector<budget::TemplateRecord> records = budget::readTemplate(*a->mall);
            if (records.empty() ||
                budget::setExclusion(*a->mall, rng.of(records).transNr, rng.chance(60)) == 0)
                return true;
            a->mall->commit();
            return true;
        }
        default: {
            // "Budgetera ovanstående": every month is committed as soon as it is in.
            std::vector<budget::ScannedMonth> months;
            for (int m = rng.pick(1, 4); m <= 12; m += rng.pick(1, 5)) {
                const store::Amount monthly = rng.amount();
                const store::Amount value = main.sign == '-' ? -monthly : monthly;
                months.push_back({m, rng.pick(1, 28), value.amountText(), value});
            }
            budget::postPeriod(a->kontoData, n, Today, rng.pick(2025, 2027), main.recordNumber, months,
                               [&](const budget::PeriodPosting&) {
                                   a->kontoData.commit();
                                   checkpoint();
                               });
            return true;
        }
        }
        if (changed) {
            store::GroupCommit group(paths.journalFolder());
            group.stage(a->kontoData);
            if (a->mall->dirty())
                group.stage(*a->mall);
            group.commit();
        }
        return true;
    } catch (...) {
        a->drop();
        throw;
    }
}

bool Driver::catalogueOp(Op op, Rng& rng) {
    Account* a = open(rng, -1);
    if (!a)
        return false;
    const store::DataPaths paths(drive_);
    const int n = a->postCount();
    const std::vector<catalogue::CatalogueItem> mains = catalogue::mainTransactions(a->transakt);
    const std::vector<catalogue::CatalogueItem> subs = catalogue::subTransactions(a->kategori);
    const std::string name = (op < Op::NewSub ? "Post " : "Del ") + std::to_string(rng.pick(1, 999));
    const char signs[] = {'+', '-', ' '};
    const char sign = signs[rng.pick(0, 2)];
    const catalogue::AccountFiles files{a->transakt, a->kontoData, n, a->budget, paths.journalFolder()};
    switch (op) {
    case Op::NewMain:
        catalogue::createMainTransaction(a->transakt, name, sign);
        return true;
    case Op::RenameMain:
    case Op::SignChange: {
        const catalogue::CatalogueItem& t = rng.of(mains);
        std::vector<char> others;
        for (const char s : signs)
            if (s != t.sign)
                others.push_back(s);
        const char newSign = op == Op::RenameMain ? t.sign : rng.of(others);
        const std::string oldName = store::utf8ToCp1252(t.name).value_or("?");
        catalogue::changeMainTransaction(files, t.recordNumber, op == Op::RenameMain ? name : oldName,
                                         newSign);
        return true;
    }
    case Op::DeleteMain: {
        // "Kontostart" is the opening post's and stays.
        std::vector<int> deletable;
        for (const catalogue::CatalogueItem& m : mains)
            if (m.recordNumber > 1)
                deletable.push_back(m.recordNumber);
        if (deletable.empty())
            return false;
        catalogue::deleteMainTransaction(files, rng.of(deletable));
        return true;
    }
    case Op::NewSub:
        catalogue::createSubTransaction(a->kategori, name);
        return true;
    case Op::RenameSub:
    case Op::DeleteSub:
        if (subs.empty())
            return false;
        if (op == Op::RenameSub)
            catalogue::renameSubTransaction(a->kategori, rng.of(subs).recordNumber, name);
        else
            catalogue::deleteSubTransaction(a->kategori, a->kontoData, n, a->budget,
                                            rng.of(subs).recordNumber, paths.journalFolder());
        return true;
    default: {
        if (n < 1 || mains.size() < 2)
            return false;
        const bool all = op == Op::ReplaceAll;
        const int marked = rng.pick(1, n);
        const store::Field field = a->budget ? store::PostRec_Budget::TransNr : store::PostRec_Enkel::TransNr;
        const int oldNr =
            all ? rng.of(mains).recordNumber
                : store::parseRecordNumber(store::trimField(
                      std::string_view(a->kontoData.readRaw(marked)).substr(field.offset, field.width)));
        const catalogue::CatalogueItem& to = rng.of(mains);
        char oldSign = ' ';
        for (const catalogue::CatalogueItem& m : mains)
            if (m.recordNumber == oldNr)
                oldSign = m.sign;
        catalogue::replaceMainTransaction({a->kontoData, n, a->budget, a->mall ? &*a->mall : nullptr,
                                           rng.date(), Today, paths.journalFolder()},
                                          {oldNr, oldSign, to.recordNumber, to.sign, all, marked});
        return true;
    }
    }
}

bool Driver::accountOp(Op op, Rng& rng) {
    const store::DataPaths paths(drive_);
    const std::vector<Registered> accounts = registered(paths);
    if (op == Op::NewAccount) {
        const std::string name = AccountNames[rng.pick(0, std::ssize(AccountNames) - 1)];
        if (accounts::accountFolderExists(paths, name))
            return false;
        accounts::createAccount(
            paths, {name, std::to_string(rng.pick(1000, 9999)) + "-1", rng.chance(50) ? "Bg" : "Ek"},
            rng.date(), "Provare");
        return true;
    }
    if (accounts.size() < 3)
        return false;
    const Registered& gone = rng.of(accounts);
    close();
    accounts::reduceAccount(paths, gone.kontoNum, gone.name, false);
    return true;
}

bool Driver::redDayOp(Op op, Rng& rng) {
    calendar::RedDays days(store::DataPaths(drive_).redDayFil());
    if (op != Op::RedDayInsert && days.count() == 0)
        return false;
    const std::string name = "Dag " + std::to_string(rng.pick(1, 99));
    try {
        if (op == Op::RedDayInsert)
            days.insert(name, rng.date());
        else if (op == Op::RedDayChange)
            days.change(rng.pick(1, days.count()), name, rng.date());
        else
            days.remove(rng.pick(1, days.count()));
        days.commit();
    } catch (...) {
        days.reload();
        throw;
    }
    return true;
}

// A statement as the wizard imports it: payees that come back, so rules and fingerprints meet them
// again; a transaction picked for each row without one (now and then a new one), sometimes a rule
// remembered and a bank's date choice saved.
bool Driver::importOp(Rng& rng) {
    Account* a = open(rng, -1);
    if (!a || a->postCount() < 1)
        return false;
    const store::DataPaths paths(drive_);
    const char* const payees[] = {"KORTK\xC3\x96P 260105 ICA NARA", "HYRA", "L\xC3\x96N", "SWISH 0701234567",
                                  "COOP KONSUM"};
    statements::Statement statement;
    statement.bank = "Testbanken";
    for (int i = rng.pick(1, 6); i > 0; --i) {
        statements::BankRow row;
        row.bookingDate = store::parseDate(rng.date());
        row.amount = rng.chance(70) ? -rng.amount() : rng.amount();
        row.text = payees[rng.pick(0, std::ssize(payees) - 1)];
        statement.rows.push_back(row);
    }
    std::stable_sort(statement.rows.begin(), statement.rows.end(),
                     [](const auto& x, const auto& y) { return x.bookingDate < y.bookingDate; });

    const statements::AccountView view =
        statements::readAccountView(paths, a->name, a->budget ? ledger::Kind::Budget : ledger::Kind::Cash);
    statements::ImportPlan plan;
    plan.bank = statement.bank;
    plan.rows = statements::classify(statement, view);
    const std::vector<catalogue::CatalogueItem> mains = catalogue::mainTransactions(a->transakt);
    for (statements::ClassifiedRow& row : plan.rows) {
        if (row.transNr != 0 || !row.tickable())
            continue;
        const auto offered = statements::offeredTransactions(mains, row.row.amount);
        if (offered.empty() || rng.chance(15)) {
            plan.newTransactions.push_back(
                {"Ny " + std::to_string(rng.pick(1, 999)), row.row.amount.isNegative() ? '-' : '+'});
            row.transNr = -static_cast<int>(plan.newTransactions.size());
        } else {
            row.transNr = rng.of(offered).recordNumber;
        }
        row.chosen = true;
    }
    for (const statements::ClassifiedRow& row : plan.rows)
        if (row.transNr > 0 && rng.chance(30)) {
            std::vector<statements::Rule> rules = plan.rules.value_or(view.rules);
            const std::string pattern = statements::suggestPattern(row.row.text);
            if (!pattern.empty())
                statements::addRule(rules, {0, pattern, row.transNr, 0}, mains);
            plan.rules = rules;
        }
    if (rng.chance(20)) {
        std::vector<statements::Profile> profiles = statements::readProfiles(paths);
        statements::setTransactionDate(profiles, "Swedbank", rng.chance(50));
        plan.profiles = profiles;
    }
    if (a->mall)
        a->plan = std::make_unique<budget::BudgetTemplate>(*a->mall);
    try {
        statements::applyImport(plan, {paths, a->name, a->kontoData, a->postCount(), a->transakt, a->kategori,
                                       a->mall ? &*a->mall : nullptr, a->plan.get(), Today});
    } catch (...) {
        a->drop();
        throw;
    }
    return true;
}

void Driver::makeStartData(const fs::path& drive, int operations, std::uint64_t seed) {
    const store::DataPaths paths(drive);
    fs::create_directories(paths.dataRoot());
    const char* const kinds[] = {"Ek", "Bg", "Ek", "Bg"};
    for (int i = 0; i < 4; ++i)
        accounts::createAccount(paths, {AccountNames[i], "1", kinds[i]}, "2025-01-01", "Provare");
    calendar::RedDays days(paths.redDayFil());
    days.insert("Ny\xE5rsdagen", "2026-01-01");
    days.commit();
    Driver driver(drive);
    std::mt19937_64 gen(seed);
    for (int i = 0; i < operations; ++i)
        driver.runAny(gen());
}

} // namespace reliability
