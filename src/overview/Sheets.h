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

} // namespace overview
