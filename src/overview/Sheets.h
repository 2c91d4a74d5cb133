#pragma once

// The overview's reports as sheets for the spreadsheet export, with the same figures as on
// screen.

#include "overview/Export.h"
#include "overview/Search.h"
#include "overview/Sums.h"
#include "stats/Period.h"
#include "stats/Reports.h"
#include "stats/Statistics.h"

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

// The account's posts in the period as the account report lists them with every column: its
// sub-transaction, and for a budget account the budgeted and actual amounts, their balances and
// the difference (Pr_2 or Pr_5). Named after the account; reads it when it is written, so it must
// not outlive it.
Sheet postsSheet(const OpenAccount& account, const Period& period);

// An account report of the statistics window (kinds Pr_1 to Pr_6) over the posts of the range,
// with the kind's columns headed as in the text file. Reads the files when it is written: it must
// not outlive them. std::invalid_argument for Pr_7 or a budget kind on a cash book.
Sheet accountReportSheet(const stats::AccountFiles& files, stats::ReportKind kind,
                         const stats::PostRange& range, std::string_view utf8AccountName);
// The statistics of a transaction (Pr_7): date, sub-transaction and amount of every hit.
Sheet statisticsSheet(const stats::Statistics& st, std::string_view utf8TransactionName);

// A name a spreadsheet takes for a sheet: at most 31 characters, none of [ ] : * ? / and backslash
// (each becomes "_").
std::string sheetName(std::string_view utf8Name);

} // namespace overview
