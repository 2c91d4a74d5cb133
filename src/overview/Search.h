#pragma once

// Finding posts across accounts: by main or sub-transaction, amount, sign and date.

#include "overview/Selection.h"

#include <array>
#include <optional>
#include <string>
#include <vector>

namespace overview {

struct SearchQuery {
    std::optional<std::string> main = {}; // name (UTF-8); the same name in every account
    std::optional<std::string> sub = {};  // name; "" finds the posts without a sub-transaction
    // Bounds of the amount as shown, without its sign (a payment of 450 is found by 450).
    std::optional<store::Amount> amountFrom = {}, amountTo = {};
    // Income or expenses only; Both finds every post, those of unsigned transactions too.
    Flow flow = Flow::Both;
    std::string dateFrom = {}, dateTo = {}; // "yyyy-mm-dd"; empty: no bound
    // A budget account's confirmed posts only: the posts behind the actual sums.
    bool confirmedOnly = false;
};

struct Hit {
    std::size_t account;         // index into the searched accounts
    int record;                  // the post's number in KontoData
    std::array<char, 10> date{}; // "yyyy-mm-dd" as stored; kept inline, as a search may find every post
    std::string_view dateText() const { return {date.data(), date.size()}; }
    int transNr = 0, subNr = 0; // the names through the account's catalogue (mainName, subName)
    store::Amount amount;       // Belopp, or a budget post's actual amount
    store::Amount budgeted;     // a budget post's budgeted amount
    bool confirmed = true;
};

// The hits account by account in file order (so by date within an account).
std::vector<Hit> search(const std::vector<OpenAccount>& accounts, const SearchQuery& query);

inline const MainTransaction& mainOf(const std::vector<OpenAccount>& accounts, const Hit& h) {
    return accounts[h.account].main(h.transNr);
}
inline const std::string& subOf(const std::vector<OpenAccount>& accounts, const Hit& h) {
    return accounts[h.account].sub(h.subNr);
}

} // namespace overview
