#pragma once

// Finding posts across accounts: by main or sub-transaction, amount, sign and date.

#include "overview/Selection.h"

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
};

struct Hit {
    std::size_t account; // index into the searched accounts
    int record;          // the post's number in KontoData
    std::string date;
    std::string main, sub; // UTF-8
    char sign = ' ';
    store::Amount amount;   // Belopp, or a budget post's actual amount
    store::Amount budgeted; // a budget post's budgeted amount
    bool confirmed = true;
};

// The hits account by account in file order (so by date within an account).
std::vector<Hit> search(const std::vector<OpenAccount>& accounts, const SearchQuery& query);

} // namespace overview
