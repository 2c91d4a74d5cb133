#include "statements/Classify.h"

#include "statements/Rules.h"
#include "store/AmountField.h"
#include "store/Errors.h"
#include "store/Records.h"

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <tuple>

namespace statements {

namespace {

// Planning moves a post around weekends and red days, and banks book weekend payments late.
constexpr int BudgetWindow = 7;
// A post typed by hand is dated when the money went, a few days before the bank books it.
constexpr int DuplicateBefore = 4;
constexpr int DuplicateAfter = 2;
// How far a post may have been moved from the date of the row that made it.
constexpr int LogWindow = 7;

int dayNumber(const store::Date& d) {
    using namespace std::chrono;
    const year_month_day ymd{year(d.year), month(static_cast<unsigned>(d.month)),
                             day(static_cast<unsigned>(d.day))};
    return static_cast<int>(sys_days(ymd).time_since_epoch().count());
}

store::Amount amountAt(std::string_view record, store::Field f) {
    std::int64_t units = 0;
    if (store::field::read(record.data() + f.offset, units))
        return store::Amount::fromUnits(units);
    return store::Amount::parseStored(store::trimField(record.substr(f.offset, f.width)));
}

struct Hash128 {
    std::uint64_t high = 0, low = 0;
    friend bool operator==(const Hash128&, const Hash128&) = default;
};

std::uint64_t rotl(std::uint64_t x, int r) {
    return (x << r) | (x >> (64 - r));
}

std::uint64_t finalMix(std::uint64_t k) {
    k ^= k >> 33;
    k *= 0xff51afd7ed558ccdULL;
    k ^= k >> 33;
    k *= 0xc4ceb9fe1a85ec53ULL;
    return k ^ (k >> 33);
}

// MurmurHash3's 128-bit hash (x64, seed 0), bytes read little-endian on every machine: a
// fingerprint must stay the same in every version and everywhere, which std::hash does not promise.
Hash128 hash128(std::string_view key) {
    constexpr std::uint64_t c1 = 0x87c37b91114253d5ULL, c2 = 0x4cf5ad432745937fULL;
    const auto* bytes = reinterpret_cast<const unsigned char*>(key.data());
    const auto word = [&](std::size_t at, std::size_t count) {
        std::uint64_t w = 0;
        for (std::size_t i = count; i > 0; --i)
            w = (w << 8) | bytes[at + i - 1];
        return w;
    };
    const auto mix1 = [&](std::uint64_t k) { return rotl(k * c1, 31) * c2; };
    const auto mix2 = [&](std::uint64_t k) { return rotl(k * c2, 33) * c1; };
    std::uint64_t h1 = 0, h2 = 0;
    const std::size_t blocks = key.size() / 16;
    for (std::size_t b = 0; b < blocks; ++b) {
        h1 ^= mix1(word(b * 16, 8));
        h1 = rotl(h1, 27) + h2;
        h1 = h1 * 5 + 0x52dce729;
        h2 ^= mix2(word(b * 16 + 8, 8));
        h2 = rotl(h2, 31) + h1;
        h2 = h2 * 5 + 0x38495ab5;
    }
    const std::size_t tail = key.size() & 15, at = blocks * 16;
    if (tail > 8)
        h2 ^= mix2(word(at + 8, tail - 8));
    if (tail > 0)
        h1 ^= mix1(word(at, std::min<std::size_t>(tail, 8)));
    h1 ^= key.size();
    h2 ^= key.size();
    h1 += h2;
    h2 += h1;
    h1 = finalMix(h1);
    h2 = finalMix(h2);
    h1 += h2;
    h2 += h1;
    return {h1, h2};
}

std::string hexOf(Hash128 h) {
    static constexpr char hex[] = "0123456789abcdef";
    std::string out(32, '0');
    for (int i = 15; i >= 0; --i, h.high >>= 4, h.low >>= 4) {
        out[static_cast<std::size_t>(i)] = hex[h.high & 0xF];
        out[static_cast<std::size_t>(i) + 16] = hex[h.low & 0xF];
    }
    return out;
}

// The first 16 hexadecimal digits of a fingerprint as a number (anything else in them counts as 0).
std::int64_t prefixOf(std::string_view fingerprint) {
    std::uint64_t n = 0;
    for (std::size_t i = 0; i < 16 && i < fingerprint.size(); ++i) {
        const char c = fingerprint[i];
        n = (n << 4) | static_cast<unsigned>(c >= '0' && c <= '9'   ? c - '0'
                                             : c >= 'a' && c <= 'f' ? c - 'a' + 10
                                                                    : 0);
    }
    return static_cast<std::int64_t>(n);
}

std::string identity(std::string_view bank, const BankRow& row, std::string_view matchText) {
    std::string key;
    key.reserve(bank.size() + row.accountNumber.size() + matchText.size() + 48);
    const auto field = [&](std::string_view s) {
        key += s;
        key += '\x1f';
    };
    field(bank);
    field(row.accountNumber);
    if (!row.fitid.empty()) {
        field("FITID");
        field(row.fitid);
        return key;
    }
    // The transaction date where the file has one: the reader puts the date the bank's posts take
    // in bookingDate, and a row must stay known when that choice changes.
    const auto& date = row.transactionDate ? row.transactionDate : row.bookingDate;
    field(date ? store::dateText(*date) : std::string());
    field(row.amount.amountText());
    field(matchText);
    return key;
}

// An OFX row is its FITID; any other row its identity and how many rows of the file had it before.
std::string fingerprintOf(std::string& identityKey, Hash128 identityHash, const BankRow& row,
                          int occurrence) {
    if (!row.fitid.empty())
        return hexOf(identityHash);
    const std::size_t size = identityKey.size();
    identityKey += std::to_string(occurrence);
    const std::string print = hexOf(hash128(identityKey));
    identityKey.resize(size);
    return print;
}

// The reason a row cannot be imported, or empty.
std::string errorOf(const BankRow& row) {
    if (!row.error.empty())
        return row.error;
    if (row.reserved)
        return {};
    if (!row.bookingDate)
        return "datum saknas";
    if (row.currency != "SEK")
        return "beloppet är i " + row.currency + ", kontot förs i SEK";
    if (row.amount.isZero())
        return "beloppet är 0";
    if (!store::withinAmountLimit(row.amount) || !store::fitsAmountField(row.amount))
        return "beloppet är för stort för kontot";
    return {};
}

bool imports(RowStatus s) {
    return s == RowStatus::New || s == RowStatus::Rule || s == RowStatus::ConfirmsBudget;
}

void applyRule(ClassifiedRow& c, const RuleSet& rules, std::string_view matchText) {
    if (c.chosen)
        return;
    const RuleSet::Match m = rules.match(matchText, c.row.amount);
    const bool gives = m.rule && m.signAgrees;
    c.transNr = gives ? m.rule->transNr : 0;
    c.subNr = gives ? m.subNr : 0;
    c.pattern = gives ? m.rule->pattern : std::string();
    if (imports(c.status))
        c.status = gives ? RowStatus::Rule : RowStatus::New;
}

struct Candidate {
    int distance;
    std::size_t row;
    std::size_t post;
};

// Pairs rows with posts, nearest pairs first, each row and each post taken once at most.
template <typename Take>
void pairNearest(std::vector<Candidate>& pairs, std::size_t rows, std::size_t posts, Take take) {
    std::sort(pairs.begin(), pairs.end(), [](const Candidate& a, const Candidate& b) {
        return std::tie(a.distance, a.row, a.post) < std::tie(b.distance, b.row, b.post);
    });
    std::vector<bool> rowTaken(rows), postTaken(posts);
    for (const Candidate& p : pairs) {
        if (rowTaken[p.row] || postTaken[p.post])
            continue;
        rowTaken[p.row] = postTaken[p.post] = true;
        take(p.row, p.post);
    }
}

// Small numbers 0, 1, 2, ... for 64-bit keys in the order they are first added. Every post of a
// large account and every row of a statement is looked up, so it is a flat table with open
// addressing: a fraction of the cost of a node-based map.
class KeyNumbers {
public:
    explicit KeyNumbers(std::size_t keys) {
        while ((std::size_t{1} << bits_) < 2 * keys + 2)
            ++bits_;
        slots_.assign(std::size_t{1} << bits_, Slot{});
    }
    // The key's number, a new one for a new key.
    int add(std::int64_t key) {
        Slot& s = slots_[indexOf(key)];
        if (s.number < 0)
            s = {key, count_++};
        return s.number;
    }
    // -1 for a key never added.
    int find(std::int64_t key) const { return slots_[indexOf(key)].number; }

private:
    struct Slot {
        std::int64_t key = 0;
        int number = -1;
    };
    // The key's slot, or the free slot where it would go.
    std::size_t indexOf(std::int64_t key) const {
        const std::size_t mask = slots_.size() - 1;
        std::size_t i = static_cast<std::size_t>((static_cast<std::uint64_t>(key) * 0x9E3779B97F4A7C15ULL) >>
                                                 (64 - bits_));
        while (slots_[i].number >= 0 && slots_[i].key != key)
            i = (i + 1) & mask;
        return i;
    }
    int bits_ = 4;
    int count_ = 0;
    std::vector<Slot> slots_;
};

// Posts (indexes into the view's posts) listed by a key: an amount, a transaction.
class PostLists {
public:
    explicit PostLists(std::size_t keys) : numbers_(keys) {}
    void add(std::int64_t key) {
        if (numbers_.add(key) == static_cast<int>(lists_.size()))
            lists_.emplace_back();
    }
    // nullptr for a key never added.
    std::vector<std::size_t>* find(std::int64_t key) {
        const int n = numbers_.find(key);
        return n < 0 ? nullptr : &lists_[static_cast<std::size_t>(n)];
    }
    bool empty() const { return lists_.empty(); }
    std::vector<std::vector<std::size_t>>& lists() { return lists_; }

private:
    KeyNumbers numbers_;
    std::vector<std::vector<std::size_t>> lists_;
};

// Each list in date order. Posts are kept in date order in the file, so a list is sorted only when
// an odd file has it otherwise.
void sortByDay(PostLists& index, const std::vector<int>& postDays, const AccountView& view) {
    for (auto& list : index.lists())
        if (!std::is_sorted(list.begin(), list.end(),
                            [&](std::size_t a, std::size_t b) { return postDays[a] < postDays[b]; }))
            std::sort(list.begin(), list.end(), [&](std::size_t a, std::size_t b) {
                return std::tie(postDays[a], view.posts[a].record) <
                       std::tie(postDays[b], view.posts[b].record);
            });
}

// The posts an earlier import made are accounted for by its log; any other post of the same amount
// near a row may be the same money typed by hand.
void markDuplicates(std::vector<ClassifiedRow>& rows, const std::vector<int>& rowDays,
                    const AccountView& view) {
    PostLists postsByAmount(rows.size()); // indexes into view.posts
    for (const ClassifiedRow& c : rows)
        if (imports(c.status))
            postsByAmount.add(c.row.amount.units());
    if (postsByAmount.empty())
        return;
    std::vector<int> postDays(view.posts.size());
    for (std::size_t i = 0; i < view.posts.size(); ++i)
        if (!view.posts[i].planned)
            if (auto* list = postsByAmount.find(view.posts[i].amount.units())) {
                postDays[i] = dayNumber(view.posts[i].date);
                list->push_back(i);
            }
    sortByDay(postsByAmount, postDays, view);

    std::vector<bool> accounted(view.posts.size());
    for (const LogEntry& e : view.log) {
        const auto* found = postsByAmount.find(e.amount.units());
        if (!found)
            continue;
        const int day = dayNumber(e.date);
        const auto& list = *found;
        std::size_t best = view.posts.size();
        auto i = std::lower_bound(list.begin(), list.end(), day - LogWindow,
                                  [&](std::size_t p, int d) { return postDays[p] < d; });
        for (; i != list.end() && postDays[*i] <= day + LogWindow; ++i)
            if (!accounted[*i] &&
                (best == view.posts.size() || std::abs(postDays[*i] - day) < std::abs(postDays[best] - day)))
                best = *i;
        if (best != view.posts.size())
            accounted[best] = true;
    }

    std::vector<Candidate> pairs;
    for (std::size_t r = 0; r < rows.size(); ++r) {
        if (!imports(rows[r].status))
            continue;
        const auto& list = *postsByAmount.find(rows[r].row.amount.units());
        auto first = std::lower_bound(list.begin(), list.end(), rowDays[r] - DuplicateBefore,
                                      [&](std::size_t i, int day) { return postDays[i] < day; });
        for (; first != list.end() && postDays[*first] <= rowDays[r] + DuplicateAfter; ++first)
            if (!accounted[*first])
                pairs.push_back({std::abs(postDays[*first] - rowDays[r]), r, *first});
    }
    pairNearest(pairs, rows.size(), view.posts.size(), [&](std::size_t r, std::size_t i) {
        ClassifiedRow& c = rows[r];
        c.status = RowStatus::PossibleDuplicate;
        c.matchedPost = view.posts[i].record;
        c.matchedDate = view.posts[i].date;
        c.matchedAmount = view.posts[i].amount;
    });
}

// A bank row of a budget account is the actual amount of a planned post of its transaction.
void matchPlanned(std::vector<ClassifiedRow>& rows, const AccountView& view) {
    for (ClassifiedRow& c : rows)
        if (c.status == RowStatus::ConfirmsBudget) {
            c.status = c.pattern.empty() ? RowStatus::New : RowStatus::Rule;
            c.matchedPost = -1;
        }
    if (!view.budget)
        return;
    PostLists plannedByTransaction(rows.size());
    for (const ClassifiedRow& c : rows)
        if (imports(c.status) && c.transNr > 0)
            plannedByTransaction.add(c.transNr);
    if (plannedByTransaction.empty())
        return;
    std::vector<int> postDays(view.posts.size());
    for (std::size_t i = 0; i < view.posts.size(); ++i)
        if (view.posts[i].planned)
            if (auto* list = plannedByTransaction.find(view.posts[i].transNr)) {
                postDays[i] = dayNumber(view.posts[i].date);
                list->push_back(i);
            }
    sortByDay(plannedByTransaction, postDays, view);
    std::vector<Candidate> pairs;
    for (std::size_t r = 0; r < rows.size(); ++r) {
        const ClassifiedRow& c = rows[r];
        if (!imports(c.status) || c.transNr <= 0)
            continue;
        const int day = dayNumber(*c.row.bookingDate);
        const auto& list = *plannedByTransaction.find(c.transNr);
        auto i = std::lower_bound(list.begin(), list.end(), day - BudgetWindow,
                                  [&](std::size_t p, int d) { return postDays[p] < d; });
        for (; i != list.end() && postDays[*i] <= day + BudgetWindow; ++i)
            pairs.push_back({std::abs(postDays[*i] - day), r, *i});
    }
    pairNearest(pairs, rows.size(), view.posts.size(), [&](std::size_t r, std::size_t i) {
        ClassifiedRow& c = rows[r];
        c.status = RowStatus::ConfirmsBudget;
        c.matchedPost = view.posts[i].record;
        c.matchedDate = view.posts[i].date;
        c.matchedAmount = view.posts[i].amount;
    });
}

} // namespace

std::vector<AccountPost> accountPosts(const store::RecordFile& kontoData, ledger::Kind kind) {
    const int count = ledger::findPostCount(kontoData);
    const std::size_t length = ledger::recordLength(kind);
    std::vector<AccountPost> posts;
    posts.reserve(static_cast<std::size_t>(count));
    const std::string& image = kontoData.image();
    for (int n = 1; n <= count; ++n) {
        const std::size_t offset = static_cast<std::size_t>(n - 1) * length;
        std::string padded;
        std::string_view record = std::string_view(image).substr(std::min(offset, image.size()), length);
        if (record.size() < length) { // a last record cut short reads as zero bytes
            padded = std::string(record) + std::string(length - record.size(), '\0');
            record = padded;
        }
        const std::string_view datum = record.substr(0, 10);
        if (datum == "          ")
            continue;
        const auto date = store::parseDate(datum);
        if (!date)
            throw store::DataError("KontoData: " + std::string(datum));
        AccountPost p;
        p.record = n;
        p.date = *date;
        if (kind == ledger::Kind::Cash) {
            using Post = store::PostRec_Enkel;
            p.transNr = store::parseRecordNumber(
                store::trimField(record.substr(Post::TransNr.offset, Post::TransNr.width)));
            p.amount = amountAt(record, Post::Belopp);
        } else {
            using Post = store::PostRec_Budget;
            p.transNr = store::parseRecordNumber(
                store::trimField(record.substr(Post::TransNr.offset, Post::TransNr.width)));
            p.planned = record.substr(Post::BStatus.offset, 1) != "*";
            p.amount = amountAt(record, p.planned ? Post::BudgBelopp : Post::VerklBelopp);
        }
        posts.push_back(p);
    }
    return posts;
}

AccountView readAccountView(const store::DataPaths& paths, std::string_view cp1252Account,
                            ledger::Kind kind) {
    using store::RecordFile;
    const RecordFile kontoData(paths.kontoData(cp1252Account), ledger::recordLength(kind),
                               RecordFile::Missing::Fail);
    const RecordFile transakt(paths.transakt(cp1252Account), store::TransRec::Length,
                              RecordFile::Missing::Fail);
    AccountView view;
    view.budget = kind == ledger::Kind::Budget;
    view.posts = accountPosts(kontoData, kind);
    view.transactions = catalogue::mainTransactions(transakt);
    // An account without Kategori has no sub-transactions, as the ledger takes it; reading must
    // not make the file.
    std::error_code missing;
    const auto kategori = paths.kategori(cp1252Account);
    if (std::filesystem::symlink_status(kategori, missing).type() != std::filesystem::file_type::not_found)
        view.subTransactions = catalogue::subTransactions(
            RecordFile(kategori, store::KatRec::Length, RecordFile::Missing::Fail));
    view.rules = readRules(paths, cp1252Account);
    view.log = readLog(paths, cp1252Account);
    return view;
}

std::string ClassifiedRow::statusText() const {
    switch (status) {
    case RowStatus::New:
        return "Ny";
    case RowStatus::Rule:
        return "Regel: " + pattern;
    case RowStatus::AlreadyImported:
        return "Redan inläst";
    case RowStatus::PossibleDuplicate:
        return "Möjlig dubblett av post " + store::dateText(matchedDate) + " " +
               store::displayAmount(matchedAmount);
    case RowStatus::Reserved:
        return "Reserverad — hoppas över";
    case RowStatus::Error:
        return "Fel: " + error;
    case RowStatus::ConfirmsBudget:
        return "Bekräftar budgeterad post " + store::dateText(matchedDate) + " " +
               store::displayAmount(matchedAmount);
    }
    return {};
}

std::string ClassifiedRow::statusWord() const {
    switch (status) {
    case RowStatus::New:
        return "ny";
    case RowStatus::Rule:
        return "regel";
    case RowStatus::AlreadyImported:
        return "redan";
    case RowStatus::PossibleDuplicate:
        return "dubblett";
    case RowStatus::Reserved:
        return "reserverad";
    case RowStatus::Error:
        return "fel";
    case RowStatus::ConfirmsBudget:
        return pattern.empty() ? "ny" : "regel";
    }
    return {};
}

bool ClassifiedRow::tickedByDefault() const {
    return imports(status);
}

bool ClassifiedRow::tickable() const {
    return status != RowStatus::Error && status != RowStatus::Reserved;
}

LogEntry ClassifiedRow::logEntry() const {
    return {fingerprint, row.bookingDate.value_or(store::Date{}), row.amount, row.text};
}

std::string fingerprint(std::string_view bank, const BankRow& row, int occurrence) {
    std::string key = identity(bank, row, normaliseText(row.text));
    return fingerprintOf(key, hash128(key), row, occurrence);
}

std::vector<ClassifiedRow> classify(const Statement& statement, const AccountView& view) {
    std::vector<ClassifiedRow> rows;
    rows.reserve(statement.rows.size());
    std::vector<int> rowDays(statement.rows.size());
    KeyNumbers identities(statement.rows.size());
    std::vector<int> occurrences;
    // The log by the first 64 bits of each fingerprint (the whole text compared on a hit).
    KeyNumbers logged(view.log.size());
    std::vector<std::size_t> loggedEntry;
    for (std::size_t i = 0; i < view.log.size(); ++i)
        if (logged.add(prefixOf(view.log[i].fingerprint)) == static_cast<int>(loggedEntry.size()))
            loggedEntry.push_back(i);
    const RuleSet rules(view.rules, view.transactions, view.subTransactions);

    for (const BankRow& row : statement.rows) {
        ClassifiedRow& c = rows.emplace_back();
        c.row = row;
        c.error = errorOf(row);
        if (!c.error.empty()) {
            c.status = RowStatus::Error;
            continue;
        }
        if (row.reserved) {
            c.status = RowStatus::Reserved;
            continue;
        }
        rowDays[rows.size() - 1] = dayNumber(*row.bookingDate);
        const std::string matchText = normaliseText(row.text);
        std::string key = identity(statement.bank, row, matchText);
        const Hash128 identityHash = hash128(key);
        const auto number =
            static_cast<std::size_t>(identities.add(static_cast<std::int64_t>(identityHash.high)));
        occurrences.resize(std::max(occurrences.size(), number + 1));
        c.occurrence = ++occurrences[number];
        c.fingerprint = fingerprintOf(key, identityHash, row, c.occurrence);
        applyRule(c, rules, matchText);
        if (const int hit = logged.find(prefixOf(c.fingerprint));
            hit >= 0 && view.log[loggedEntry[static_cast<std::size_t>(hit)]].fingerprint == c.fingerprint)
            c.status = RowStatus::AlreadyImported;
    }
    markDuplicates(rows, rowDays, view);
    matchPlanned(rows, view);
    return rows;
}

void reclassify(std::vector<ClassifiedRow>& rows, const AccountView& view) {
    const RuleSet rules(view.rules, view.transactions, view.subTransactions);
    for (ClassifiedRow& c : rows) {
        if (c.status == RowStatus::Error || c.status == RowStatus::Reserved)
            continue;
        if (c.chosen) {
            if (imports(c.status))
                c.status = c.pattern.empty() ? RowStatus::New : RowStatus::Rule;
            continue;
        }
        applyRule(c, rules, normaliseText(c.row.text));
    }
    matchPlanned(rows, view);
}

} // namespace statements
