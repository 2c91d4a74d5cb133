#pragma once

// What the overview sums: which accounts, which days, and income, expenses or both. The accounts
// are read once when the window opens; every report after that is one pass over their images.

#include "ledger/LedgerView.h"
#include "stats/AccountFiles.h"
#include "store/Amount.h"
#include "store/Paths.h"
#include "store/Records.h"

#include <algorithm>
#include <string>
#include <string_view>
#include <vector>

namespace overview {

// Every day from `from` to `to`, both included ("yyyy-mm-dd"; they compare as text).
struct Period {
    std::string from, to;
    bool contains(std::string_view date) const { return from <= date && date <= to; }
    friend bool operator==(const Period&, const Period&) = default;
};

Period monthPeriod(int year, int month);
// Quarter 1 is January to March.
Period quarterPeriod(int year, int quarter);
Period yearPeriod(int year);
// A from-to period; store::DataError for a date that names no real day or a start after the end.
Period rangePeriod(std::string_view from, std::string_view to);

// Income and expenses are the posts of transactions signed "+" and "-"; posts of a transaction
// without a sign (the account's start) are never either.
enum class Flow { Income, Expenses, Both };
inline bool counts(Flow flow, char sign) {
    return (sign == '+' && flow != Flow::Expenses) || (sign == '-' && flow != Flow::Income);
}

// An account of the register with a kind this program keeps.
struct AccountInfo {
    std::string name; // UTF-8
    ledger::Kind kind;
};
// The register's accounts in record order; accounts of an unknown kind are left out. A data root
// without a register has none.
std::vector<AccountInfo> registeredAccounts(const store::DataPaths& paths);

struct MainTransaction {
    std::string name; // UTF-8, trimmed; empty for a free slot
    char sign = ' ';  // '+', '-' or ' '
};

// The names of an account's transactions by record number.
struct Catalogue {
    std::vector<MainTransaction> mains; // [0] unused
    std::vector<std::string> subs;      // [0] unused, "" for a free slot

    // The main transaction a post names; a number outside the catalogue names nothing (no name,
    // no sign), so its posts are never counted as income or expense.
    const MainTransaction& main(int transNr) const;
    // "" for no sub-transaction or one outside the catalogue.
    const std::string& sub(int subNr) const;
};

Catalogue readCatalogue(const stats::AccountFiles& files);

// An account's files and catalogue, read once.
struct OpenAccount : Catalogue {
    AccountInfo info;
    stats::AccountFiles files;
    int postCount = 0;
};

// Throws store::FileError when a file of the account cannot be read, store::DataError for a name
// that cannot be a folder.
OpenAccount openAccount(const store::DataPaths& paths, const AccountInfo& info);

// One post as the reports see it: a view of its record in the file image. Each field is decoded
// only when asked for, so a pass decodes nothing of the posts outside its period. A field that
// does not decode is a store::DataError.
class PostView {
public:
    PostView(int record, std::string_view bytes, ledger::Kind kind)
        : record_(record), bytes_(bytes), kind_(kind) {}
    int record() const { return record_; }
    std::string_view date() const { return bytes_.substr(0, 10); }
    int transNr() const;
    int subNr() const;
    store::Amount amount() const;   // a cash-book post's Belopp, a budget post's actual amount
    store::Amount budgeted() const; // a budget post's budgeted amount; 0 in a cash book
    bool confirmed() const;         // always true in a cash book
    // Any amount field of the post's record (a balance).
    store::Amount amountAt(store::Field field) const;

private:
    int record_;
    std::string_view bytes_;
    ledger::Kind kind_;
};

// Calls take(post) for the posts first..last of the files in file order (none past the file),
// records out of use left out.
template <typename Take>
void forEachPost(const stats::AccountFiles& files, int first, int last, Take&& take) {
    const std::size_t length = files.kontoData.recordLength();
    last = std::min(last, static_cast<int>(files.kontoData.count()));
    std::string padded;
    for (int n = std::max(first, 1); n <= last; ++n) {
        std::string_view bytes = stats::recordView(files.kontoData, n);
        if (bytes.size() < length) { // the last record of a file cut short: zero bytes, as read
            padded.assign(bytes);
            padded.resize(length, '\0');
            bytes = padded;
        }
        if (bytes.substr(0, 10) != "          ")
            take(PostView(n, bytes, files.kind));
    }
}

// Every post 1..N of the account.
template <typename Take> void forEachPost(const OpenAccount& account, Take&& take) {
    forEachPost(account.files, 1, account.postCount, std::forward<Take>(take));
}

} // namespace overview
