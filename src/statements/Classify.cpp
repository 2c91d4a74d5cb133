#include "statements/Classify.h"

#include "statements/Rules.h"
#include "store/AmountField.h"
#include "store/Errors.h"
#include "store/Records.h"
#include "store/SecondThread.h"

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <cstdlib>
#include <exception>
#include <optional>
#include <span>
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

store::Amount amountAt(std::string_view record, store::Field f) {
    std::int64_t units = 0;
    if (store::field::read(record.data() + f.offset, units))
        return store::Amount::fromUnits(units);
    return store::Amount::parseStored(store::trimField(record.substr(f.offset, f.width)));
}

// A post's TransNr: digits between spaces read at once, anything else by the record rules.
int transNrOf(std::string_view field) {
    std::size_t i = 0;
    while (i < field.size() && field[i] == ' ')
        ++i;
    int n = 0;
    for (; i < field.size() && field[i] != ' '; ++i) {
        const auto digit = static_cast<unsigned>(static_cast<unsigned char>(field[i]) - '0');
        if (digit > 9)
            return store::parseRecordNumber(store::trimField(field));
        n = n * 10 + static_cast<int>(digit);
    }
    while (i < field.size() && field[i] == ' ')
        ++i;
    return i == field.size() ? n : store::parseRecordNumber(store::trimField(field));
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
// It runs in two steps, so a key and the key with a few characters more share their whole blocks.
class Murmur128 {
public:
    // Takes in the whole 16-byte blocks of `bytes` and returns how many bytes that was.
    std::size_t blocks(std::string_view bytes) {
        const std::size_t count = bytes.size() / 16;
        for (std::size_t b = 0; b < count; ++b) {
            h1_ ^= mix1(word(bytes, b * 16, 8));
            h1_ = rotl(h1_, 27) + h2_;
            h1_ = h1_ * 5 + 0x52dce729;
            h2_ ^= mix2(word(bytes, b * 16 + 8, 8));
            h2_ = rotl(h2_, 31) + h1_;
            h2_ = h2_ * 5 + 0x38495ab5;
        }
        return count * 16;
    }
    // The hash of everything taken in before and then `rest`, `length` bytes in all.
    Hash128 finish(std::string_view rest, std::size_t length) const {
        Murmur128 m = *this;
        rest.remove_prefix(m.blocks(rest));
        std::uint64_t h1 = m.h1_, h2 = m.h2_;
        if (rest.size() > 8)
            h2 ^= mix2(word(rest, 8, rest.size() - 8));
        if (!rest.empty())
            h1 ^= mix1(word(rest, 0, std::min<std::size_t>(rest.size(), 8)));
        h1 ^= length;
        h2 ^= length;
        h1 += h2;
        h2 += h1;
        h1 = finalMix(h1);
        h2 = finalMix(h2);
        h1 += h2;
        h2 += h1;
        return {h1, h2};
    }

private:
    static constexpr std::uint64_t c1 = 0x87c37b91114253d5ULL, c2 = 0x4cf5ad432745937fULL;
    static std::uint64_t word(std::string_view bytes, std::size_t at, std::size_t count) {
        std::uint64_t w = 0;
        for (std::size_t i = count; i > 0; --i)
            w = (w << 8) | static_cast<unsigned char>(bytes[at + i - 1]);
        return w;
    }
    static std::uint64_t mix1(std::uint64_t k) { return rotl(k * c1, 31) * c2; }
    static std::uint64_t mix2(std::uint64_t k) { return rotl(k * c2, 33) * c1; }
    std::uint64_t h1_ = 0, h2_ = 0;
};

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

// The row's identity in `key` (its old content replaced: one buffer serves every row).
void identity(std::string& key, std::string_view bank, const BankRow& row, std::string_view matchText) {
    key.clear();
    const auto field = [&](std::string_view s) {
        key += s;
        key += '\x1f';
    };
    field(bank);
    field(row.accountNumber);
    if (!row.fitid.empty()) {
        field("FITID");
        field(row.fitid);
        return;
    }
    // The transaction date where the file has one: the reader puts the date the bank's posts take
    // in bookingDate, and a row must stay known when that choice changes.
    const auto& date = row.transactionDate ? row.transactionDate : row.bookingDate;
    field(date ? store::dateText(*date) : std::string());
    char amount[store::Amount::MaxTextLength];
    field(std::string_view(amount, static_cast<std::size_t>(row.amount.writeText(amount) - amount)));
    field(matchText);
}

// The hashes of a row's identity key: its own, which counts the rows of the file with the same
// identity, and its fingerprint's: an OFX row's is its FITID's, any other's the identity's with the
// occurrence number after it. The key's whole blocks are hashed once for both.
class RowHashes {
public:
    RowHashes() = default;
    RowHashes(std::string_view identityKey, const BankRow& row)
        : fitid_(!row.fitid.empty()), length_(identityKey.size()) {
        const std::string_view rest = identityKey.substr(blocks_.blocks(identityKey));
        restSize_ = rest.size();
        std::copy(rest.begin(), rest.end(), rest_);
        identity_ = blocks_.finish(rest, length_);
    }
    const Hash128& identity() const { return identity_; }
    Hash128 fingerprint(int occurrence) const {
        if (fitid_)
            return identity_;
        char tail[16 + 12];
        std::copy(rest_, rest_ + restSize_, tail);
        const char* end = std::to_chars(tail + restSize_, tail + sizeof tail, occurrence).ptr;
        const auto size = static_cast<std::size_t>(end - tail);
        return blocks_.finish(std::string_view(tail, size), length_ - restSize_ + size);
    }

private:
    bool fitid_ = false;
    std::size_t length_ = 0;
    Murmur128 blocks_;
    char rest_[16] = {}; // the bytes after the key's whole blocks
    std::size_t restSize_ = 0;
    Hash128 identity_;
};

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
// addressing, kept at most half full as it grows: a few thousand amounts stay in the fast caches.
class KeyNumbers {
public:
    KeyNumbers() : slots_(std::size_t{1} << bits_) {}
    // The key's number, a new one for a new key.
    int add(std::int64_t key) {
        Slot* s = &slots_[indexOf(key)];
        if (s->number >= 0)
            return s->number;
        if (2 * (static_cast<std::size_t>(count_) + 1) > slots_.size()) {
            grow();
            s = &slots_[indexOf(key)];
        }
        *s = {key, count_++};
        return s->number;
    }
    // -1 for a key never added.
    int find(std::int64_t key) const { return slots_[indexOf(key)].number; }
    int count() const { return count_; }

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
    void grow() {
        std::vector<Slot> old(std::size_t{1} << ++bits_);
        old.swap(slots_);
        for (const Slot& s : old)
            if (s.number >= 0)
                slots_[indexOf(s.key)] = s;
    }
    int bits_ = 6;
    int count_ = 0;
    std::vector<Slot> slots_;
};

// Posts (indexes into the view's posts) listed by a key: an amount, a transaction. The keys come
// first; then every post is counted and placed in one flat array, so no list grows by copying,
// and each list is in date order.
class PostLists {
public:
    void addKey(std::int64_t key) { numbers_.add(key); }
    bool empty() const { return numbers_.count() == 0; }

    // Lists every post for which `keyOf(post)` gives a key added before (std::nullopt: none), and
    // keeps its day number for dayOf().
    template <typename KeyOf> void fill(const AccountView& view, KeyOf keyOf) {
        const std::size_t n = view.posts.size();
        std::vector<int> listOf(n, -1);
        starts_.assign(static_cast<std::size_t>(numbers_.count()) + 1, 0);
        postDays_.assign(n, 0);
        for (std::size_t i = 0; i < n; ++i)
            if (const std::optional<std::int64_t> key = keyOf(view.posts[i]))
                if (const int list = numbers_.find(*key); list >= 0) {
                    listOf[i] = list;
                    ++starts_[static_cast<std::size_t>(list) + 1];
                }
        for (std::size_t k = 1; k < starts_.size(); ++k)
            starts_[k] += starts_[k - 1];
        posts_.resize(starts_.back());
        std::vector<std::size_t> next(starts_.begin(), starts_.end() - 1);
        for (std::size_t i = 0; i < n; ++i)
            if (listOf[i] >= 0) {
                posts_[next[static_cast<std::size_t>(listOf[i])]++] = i;
                postDays_[i] = store::dayNumber(view.posts[i].date);
            }
        // Posts are kept in date order in the file: a list is sorted only when an odd file has it
        // otherwise.
        const auto byDay = [&](std::size_t a, std::size_t b) { return postDays_[a] < postDays_[b]; };
        for (std::size_t k = 0; k + 1 < starts_.size(); ++k) {
            const auto first = posts_.begin() + static_cast<std::ptrdiff_t>(starts_[k]);
            const auto last = posts_.begin() + static_cast<std::ptrdiff_t>(starts_[k + 1]);
            if (!std::is_sorted(first, last, byDay))
                std::sort(first, last, [&](std::size_t a, std::size_t b) {
                    return std::tie(postDays_[a], view.posts[a].record) <
                           std::tie(postDays_[b], view.posts[b].record);
                });
        }
    }

    // The posts of the key dated from `fromDay` on, in date order; empty for a key never added.
    std::span<const std::size_t> from(std::int64_t key, int fromDay) const {
        const int list = numbers_.find(key);
        if (list < 0)
            return {};
        const auto first =
            posts_.begin() + static_cast<std::ptrdiff_t>(starts_[static_cast<std::size_t>(list)]);
        const auto last =
            posts_.begin() + static_cast<std::ptrdiff_t>(starts_[static_cast<std::size_t>(list) + 1]);
        return {
            std::lower_bound(first, last, fromDay, [&](std::size_t p, int d) { return postDays_[p] < d; }),
            last};
    }
    int dayOf(std::size_t post) const { return postDays_[post]; }

private:
    KeyNumbers numbers_;
    std::vector<std::size_t> starts_; // list k is posts_[starts_[k] .. starts_[k + 1])
    std::vector<std::size_t> posts_;
    std::vector<int> postDays_;
};

// The posts an earlier import made are accounted for by its log; any other post of the same amount
// near a row may be the same money typed by hand.
void markDuplicates(std::vector<ClassifiedRow>& rows, const std::vector<int>& rowDays,
                    const AccountView& view) {
    PostLists postsByAmount; // indexes into view.posts
    for (const ClassifiedRow& c : rows)
        if (imports(c.status))
            postsByAmount.addKey(c.row.amount.units());
    if (postsByAmount.empty())
        return;
    postsByAmount.fill(view, [](const AccountPost& p) {
        return p.planned ? std::nullopt : std::optional<std::int64_t>(p.amount.units());
    });

    std::vector<bool> accounted(view.posts.size());
    for (const LogEntry& e : view.log) {
        const int day = store::dayNumber(e.date);
        std::size_t best = view.posts.size();
        int bestDistance = 0;
        for (const std::size_t p : postsByAmount.from(e.amount.units(), day - LogWindow)) {
            const int distance = postsByAmount.dayOf(p) - day;
            if (distance > LogWindow)
                break;
            if (!accounted[p] && (best == view.posts.size() || std::abs(distance) < bestDistance)) {
                best = p;
                bestDistance = std::abs(distance);
            }
        }
        if (best != view.posts.size())
            accounted[best] = true;
    }

    std::vector<Candidate> pairs;
    for (std::size_t r = 0; r < rows.size(); ++r) {
        if (!imports(rows[r].status))
            continue;
        for (const std::size_t p :
             postsByAmount.from(rows[r].row.amount.units(), rowDays[r] - DuplicateBefore)) {
            const int distance = postsByAmount.dayOf(p) - rowDays[r];
            if (distance > DuplicateAfter)
                break;
            if (!accounted[p])
                pairs.push_back({std::abs(distance), r, p});
        }
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
    PostLists plannedByTransaction;
    for (const ClassifiedRow& c : rows)
        if (imports(c.status) && c.transNr > 0)
            plannedByTransaction.addKey(c.transNr);
    if (plannedByTransaction.empty())
        return;
    plannedByTransaction.fill(view, [](const AccountPost& p) {
        return p.planned ? std::optional<std::int64_t>(p.transNr) : std::nullopt;
    });
    std::vector<Candidate> pairs;
    for (std::size_t r = 0; r < rows.size(); ++r) {
        const ClassifiedRow& c = rows[r];
        if (!imports(c.status) || c.transNr <= 0)
            continue;
        const int day = store::dayNumber(*c.row.bookingDate);
        for (const std::size_t p : plannedByTransaction.from(c.transNr, day - BudgetWindow)) {
            const int distance = plannedByTransaction.dayOf(p) - day;
            if (distance > BudgetWindow)
                break;
            pairs.push_back({std::abs(distance), r, p});
        }
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
    const std::string& image = kontoData.image();
    // A last record cut short reads as zero bytes.
    std::string padded;
    if (const std::size_t whole = image.size() / length; whole < static_cast<std::size_t>(count))
        padded = image.substr(std::min(whole * length, image.size())) +
                 std::string(length - image.size() % length, '\0');
    // Posts from..to-1 (numbered from 1) appended to `posts`.
    const auto decode = [&](int from, int to, std::vector<AccountPost>& posts) {
        posts.reserve(posts.size() + static_cast<std::size_t>(std::max(to - from, 0)));
        for (int n = from; n < to; ++n) {
            const std::size_t offset = static_cast<std::size_t>(n - 1) * length;
            const std::string_view record = offset + length <= image.size()
                                                ? std::string_view(image.data() + offset, length)
                                                : std::string_view(padded);
            const std::string_view datum = record.substr(0, 10);
            if (datum == "          ")
                continue;
            const auto date = store::parseDate(datum);
            if (!date)
                throw store::DataError("KontoData: " + std::string(datum));
            AccountPost& p = posts.emplace_back();
            p.record = n;
            p.date = *date;
            using Cash = store::PostRec_Enkel;
            using Budget = store::PostRec_Budget;
            static_assert(Cash::TransNr.offset == Budget::TransNr.offset &&
                          Cash::TransNr.width == Budget::TransNr.width);
            p.transNr = transNrOf(record.substr(Cash::TransNr.offset, Cash::TransNr.width));
            if (kind == ledger::Kind::Cash) {
                p.amount = amountAt(record, Cash::Belopp);
            } else {
                p.planned = record[Budget::BStatus.offset] != '*';
                p.amount = amountAt(record, p.planned ? Budget::BudgBelopp : Budget::VerklBelopp);
            }
        }
    };
    std::vector<AccountPost> posts;
    if (count < 2 || static_cast<std::size_t>(count) < parallelPosts) {
        decode(1, count + 1, posts);
        return posts;
    }
    // The later half on the second core; an error in it counts only when the first half had none.
    const int middle = count / 2 + 1;
    std::vector<AccountPost> later;
    std::exception_ptr failed;
    store::alongside([&] { decode(1, middle, posts); },
                     [&] {
                         try {
                             decode(middle, count + 1, later);
                         } catch (...) {
                             failed = std::current_exception();
                         }
                     });
    if (failed)
        std::rethrow_exception(failed);
    posts.insert(posts.end(), later.begin(), later.end());
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
    view.subTransactions = catalogue::subTransactions(
        RecordFile(paths.kategori(cp1252Account), store::KatRec::Length, RecordFile::Missing::Empty));
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
    std::string key;
    identity(key, bank, row, normaliseText(row.text));
    return hexOf(RowHashes(key, row).fingerprint(occurrence));
}

std::vector<ClassifiedRow> classify(const Statement& statement, const AccountView& view) {
    Statement copy = statement;
    return classify(std::move(copy), view);
}

std::vector<ClassifiedRow> classify(Statement&& statement, const AccountView& view) {
    const std::size_t count = statement.rows.size();
    std::vector<ClassifiedRow> rows;
    rows.reserve(count);
    for (BankRow& row : statement.rows)
        rows.emplace_back(std::move(row));
    statement.rows.clear();
    std::vector<int> rowDays(count);
    std::vector<RowHashes> hashes(count);
    const RuleSet rules(view.rules, view.transactions, view.subTransactions);

    // What each row is by itself, half the rows on the second core.
    const auto byItself = [&](std::size_t from, std::size_t to) {
        std::string key, matchText; // reused row after row
        for (std::size_t r = from; r < to; ++r) {
            ClassifiedRow& c = rows[r];
            c.error = errorOf(c.row);
            if (!c.error.empty()) {
                c.status = RowStatus::Error;
                continue;
            }
            if (c.row.reserved) {
                c.status = RowStatus::Reserved;
                continue;
            }
            rowDays[r] = store::dayNumber(*c.row.bookingDate);
            normaliseText(c.row.text, matchText);
            identity(key, statement.bank, c.row, matchText);
            hashes[r] = RowHashes(key, c.row);
            applyRule(c, rules, matchText);
        }
    };
    if (count >= parallelRows && count >= 2) {
        std::exception_ptr failed;
        store::alongside([&] { byItself(0, count / 2); },
                         [&] {
                             try {
                                 byItself(count / 2, count);
                             } catch (...) {
                                 failed = std::current_exception();
                             }
                         });
        if (failed)
            std::rethrow_exception(failed);
    } else {
        byItself(0, count);
    }

    // Then in the file's order: the how-manieth of its identity each row is, and whether the log
    // has it. The log is looked up by the first 64 bits of each fingerprint, the whole text
    // compared on a hit.
    KeyNumbers logged;
    std::vector<std::size_t> loggedEntry;
    for (std::size_t i = 0; i < view.log.size(); ++i)
        if (logged.add(prefixOf(view.log[i].fingerprint)) == static_cast<int>(loggedEntry.size()))
            loggedEntry.push_back(i);
    KeyNumbers identities;
    std::vector<int> occurrences;
    for (std::size_t r = 0; r < count; ++r) {
        ClassifiedRow& c = rows[r];
        if (c.status == RowStatus::Error || c.status == RowStatus::Reserved)
            continue;
        const auto number =
            static_cast<std::size_t>(identities.add(static_cast<std::int64_t>(hashes[r].identity().high)));
        occurrences.resize(std::max(occurrences.size(), number + 1));
        c.occurrence = ++occurrences[number];
        const Hash128 print = hashes[r].fingerprint(c.occurrence);
        c.fingerprint = hexOf(print);
        // A fingerprint's first 16 digits are the high half of its hash.
        if (const int hit = logged.find(static_cast<std::int64_t>(print.high));
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
