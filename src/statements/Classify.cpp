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
#include <unordered_map>
#include <unordered_set>

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

// FNV-1a on 128 bits: the fingerprint must stay the same in every version and on every machine,
// which std::hash does not promise.
std::string hash128(std::string_view key) {
    __extension__ using U128 = unsigned __int128;
    const U128 prime = (U128{1} << 88) + 0x13B;
    U128 h = (U128{0x6c62272e07bb0142} << 64) + 0x62b821756295c58d;
    for (const char c : key) {
        h ^= static_cast<unsigned char>(c);
        h *= prime;
    }
    static constexpr char hex[] = "0123456789abcdef";
    std::string out(32, '0');
    for (int i = 31; i >= 0; --i, h >>= 4)
        out[static_cast<std::size_t>(i)] = hex[static_cast<unsigned>(h & 0xF)];
    return out;
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
    field(row.bookingDate ? store::dateText(*row.bookingDate) : std::string());
    field(row.amount.amountText());
    field(matchText);
    return key;
}

std::string fingerprintOf(const std::string& identityKey, const BankRow& row, int occurrence) {
    return hash128(row.fitid.empty() ? identityKey + std::to_string(occurrence) : identityKey);
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

// The posts an earlier import made are accounted for by its log; any other post of the same amount
// near a row may be the same money typed by hand.
void markDuplicates(std::vector<ClassifiedRow>& rows, const std::vector<int>& rowDays,
                    const AccountView& view) {
    std::unordered_map<std::int64_t, std::vector<std::size_t>> postsByAmount; // indexes into view.posts
    for (const ClassifiedRow& c : rows)
        if (imports(c.status))
            postsByAmount.try_emplace(c.row.amount.units());
    if (postsByAmount.empty())
        return;
    std::vector<int> postDays(view.posts.size());
    for (std::size_t i = 0; i < view.posts.size(); ++i) {
        const AccountPost& p = view.posts[i];
        if (p.planned)
            continue;
        if (const auto it = postsByAmount.find(p.amount.units()); it != postsByAmount.end()) {
            postDays[i] = dayNumber(p.date);
            it->second.push_back(i);
        }
    }
    for (auto& [units, list] : postsByAmount)
        std::sort(list.begin(), list.end(), [&](std::size_t a, std::size_t b) {
            return std::tie(postDays[a], view.posts[a].record) < std::tie(postDays[b], view.posts[b].record);
        });

    std::vector<bool> accounted(view.posts.size());
    for (const LogEntry& e : view.log) {
        const auto it = postsByAmount.find(e.amount.units());
        if (it == postsByAmount.end())
            continue;
        const int day = dayNumber(e.date);
        const auto& list = it->second;
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
        const auto& list = postsByAmount.at(rows[r].row.amount.units());
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
    std::unordered_map<int, std::vector<std::size_t>> plannedByTransaction;
    for (const ClassifiedRow& c : rows)
        if (imports(c.status) && c.transNr > 0)
            plannedByTransaction.try_emplace(c.transNr);
    if (plannedByTransaction.empty())
        return;
    for (std::size_t i = 0; i < view.posts.size(); ++i)
        if (view.posts[i].planned)
            if (const auto it = plannedByTransaction.find(view.posts[i].transNr);
                it != plannedByTransaction.end())
                it->second.push_back(i);
    std::vector<Candidate> pairs;
    for (std::size_t r = 0; r < rows.size(); ++r) {
        const ClassifiedRow& c = rows[r];
        if (!imports(c.status) || c.transNr <= 0)
            continue;
        const int day = dayNumber(*c.row.bookingDate);
        for (const std::size_t i : plannedByTransaction.at(c.transNr)) {
            const int distance = std::abs(dayNumber(view.posts[i].date) - day);
            if (distance <= BudgetWindow)
                pairs.push_back({distance, r, i});
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
    const RecordFile kategori(paths.kategori(cp1252Account), store::KatRec::Length,
                              RecordFile::Missing::Fail);
    AccountView view;
    view.budget = kind == ledger::Kind::Budget;
    view.posts = accountPosts(kontoData, kind);
    view.transactions = catalogue::mainTransactions(transakt);
    view.subTransactions = catalogue::subTransactions(kategori);
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
    return fingerprintOf(identity(bank, row, normaliseText(row.text)), row, occurrence);
}

std::vector<ClassifiedRow> classify(const Statement& statement, const AccountView& view) {
    std::vector<ClassifiedRow> rows;
    rows.reserve(statement.rows.size());
    std::vector<int> rowDays(statement.rows.size());
    std::unordered_map<std::string, int> occurrences;
    std::unordered_set<std::string_view> logged;
    logged.reserve(view.log.size());
    for (const LogEntry& e : view.log)
        logged.insert(e.fingerprint);
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
        c.occurrence = ++occurrences[key];
        c.fingerprint = fingerprintOf(key, row, c.occurrence);
        applyRule(c, rules, matchText);
        if (logged.contains(c.fingerprint))
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
            c.pattern.clear();
            if (imports(c.status))
                c.status = RowStatus::New;
            continue;
        }
        applyRule(c, rules, normaliseText(c.row.text));
    }
    matchPlanned(rows, view);
}

} // namespace statements
