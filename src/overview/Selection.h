#pragma once

// What the overview sums: which accounts, which days, and income, expenses or both. The accounts
// are read once when the window opens; every report after that is one pass over their images.

#include "ledger/LedgerView.h"
#include "stats/AccountFiles.h"
#include "store/Amount.h"
#include "store/Paths.h"

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

// An account's files and catalogue, read once.
struct OpenAccount {
    AccountInfo info;
    stats::AccountFiles files;
    int postCount = 0;
    std::vector<MainTransaction> mains; // by record number; [0] unused
    std::vector<std::string> subs;      // by record number; [0] unused, "" for a free slot

    // The main transaction a post names; a number outside the catalogue names nothing (no name,
    // no sign), so its posts are never counted as income or expense.
    const MainTransaction& main(int transNr) const;
    // "" for no sub-transaction or one outside the catalogue.
    const std::string& sub(int subNr) const;
};

// Throws store::FileError when a file of the account cannot be read, store::DataError for a name
// that cannot be a folder.
OpenAccount openAccount(const store::DataPaths& paths, const AccountInfo& info);

// One post as the reports see it, read from the image without copying the record.
struct PostView {
    int record;
    std::string_view date;
    int transNr;
    int subNr;
    store::Amount amount;   // a cash-book post's Belopp, a budget post's actual amount
    store::Amount budgeted; // a budget post's budgeted amount; 0 in a cash book
    bool confirmed;         // always true in a cash book
};

// Calls take(post) for every post 1..N in file order. store::DataError for a field that does not
// decode.
template <typename Take> void forEachPost(const OpenAccount& account, Take&& take);

// Implementation detail of forEachPost.
PostView readPost(const OpenAccount& account, int record);

template <typename Take> void forEachPost(const OpenAccount& account, Take&& take) {
    for (int n = 1; n <= account.postCount; ++n) {
        const PostView post = readPost(account, n);
        if (post.date == "          ")
            continue;
        take(post);
    }
}

} // namespace overview
