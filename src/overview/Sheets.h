#pragma once

// The overview's reports as sheets for the spreadsheet export, with the same figures as on
// screen.

#include "overview/Export.h"
#include "overview/Search.h"
#include "overview/Sums.h"

#include <string_view>

namespace overview {

// "Inkomst", "Utgift" or "Utan tecken".
std::string_view signText(char sign);

// Each main transaction followed by its sub-transactions, a sum row after the expenses and after
// the income, then the transactions without a sign.
Sheet perTransactionSheet(const PerTransaction& report);
// A row per transaction and the sum rows; a column per month and the total. The budget form has
// three columns a month (budgeted, actual, difference) and the accumulated difference, the other
// the actual amounts and the closing balance.
Sheet monthSheet(const MonthReport& report);
// Account, date, transactions and amount of every hit.
Sheet hitsSheet(const std::vector<Hit>& hits, const std::vector<OpenAccount>& accounts);

// The account's posts in the period as the account report lists them, read as they are written
// (the account is never held as rows): a cash book's amount and balance, a budget account's
// budgeted and actual amounts, their balances and the balance difference. The sheet is named after
// the account, and reads it when it is written: it must not outlive the account.
Sheet postsSheet(const OpenAccount& account, const Period& period);

// A name a spreadsheet takes for a sheet: at most 31 characters, none of [ ] : * ? / and backslash
// (each becomes "_").
std::string sheetName(std::string_view utf8Name);

} // namespace overview
