#pragma once

// The month rows of the planning window: the transactions to choose from, the rows filled from the
// budget template, and the scan of the rows into the months to post.

#include "budget/Period.h"
#include "budget/TemplateEdits.h"
#include "store/Amount.h"
#include "store/RecordFile.h"

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace budget {

// The transaction list filter: "Alla", "B-bara", "Uteslutna".
enum class Filter { All, BudgetableOnly, ExcludedOnly };

// One main transaction of the account with its template records.
struct PlanTransaction {
    int transNr = 0;
    std::string name; // trimmed, Windows-1252 bytes
    char sign = ' ';  // '+', '-' or what the record holds
    bool excluded = false;
    // The first template record of each month, January first (a lookup takes the first match).
    std::array<std::optional<TemplateRecord>, 12> months;
};

// ListUpDate: every record of Transakt with a name, in record order, that the filter lets
// through. Without exclusions in the template every transaction counts as budgetable.
std::vector<PlanTransaction> listTransactions(const store::RecordFile& transakt,
                                              const std::vector<TemplateRecord>& mall, Filter filter);

// One month row of the window: the day label ("" or two digits) and the amount box text.
struct MonthRow {
    std::string day;
    std::string amount;
    bool fromTemplate = false; // filled from the template (its box is shown as accepted)
};
using MonthRows = std::array<MonthRow, 12>;

// The amount text of a template value in its box: "#### #### ##0".
std::string boxAmountText(std::int64_t value);

// Filling the period from the template: the records of the transaction in file order, up to the
// first one with a blank month; months outside the period are passed over. Each record's day in
// the budget year is moved off weekends and red days and, with the record's amount, goes into the
// row of the month it lands in. A date that would move into a month with a record of its own (or
// one already filled) is moved within its own month instead, so every month of the template keeps
// its budget; a record whose day or amount does not read is passed over (its month stays empty for
// the user to fill), and a day beyond the end of the month (29 February outside a leap year)
// becomes the month's last day. Rows outside the result stay empty.
MonthRows fillFromTemplate(const std::vector<TemplateRecord>& mall, int transNr, const Period& period,
                           const RedDaySet& redDays);

// A month taken by the scan: the day, the stored amount text (the sign of the transaction and the
// whole number) and its value.
struct ScannedMonth {
    int month = 0;
    int day = 0;
    std::string amountText;
    store::Amount amount;
    friend bool operator==(const ScannedMonth&, const ScannedMonth&) = default;
};

struct ScanResult {
    std::vector<ScannedMonth> months; // January first
    // The first month that has a day but no readable amount ("Belopp saknas för månad ..."); 0
    // when every month with a day has one. The scan stops there: the window asks, and when the
    // user lets the day go it empties the day and scans again, so no later month is lost.
    int missingAmount = 0;
};

// BudgScanna: the months with a day, with the box value read with its grouping blanks ignored and
// rounded to a whole number (a half to the even neighbour). For an expense (sign '-') the amount is
// the value with "-" in front: the sign comes from the transaction, so a "-" typed in the box is
// dropped, as in the main window. An income keeps the value's own sign (a template value may be
// below zero).
ScanResult scanRows(const MonthRows& rows, char sign);

// The Swedish month name in the "Belopp saknas" question: "Januari" ... "December".
std::string_view monthName(int month);

// A section of the guiding texts file (BudgInfoFil.txt): the lines after the line "<n>§" up to the
// next line beginning with "§", each followed by "\n". Empty when the section is missing. The "§"
// may be one Windows-1252 byte or its UTF-8 form; a carriage return ending a line is dropped. The
// lines are returned as they stand in the file.
std::string infoSection(std::string_view fileBytes, int section);

} // namespace budget
