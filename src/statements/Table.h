#pragma once

#include "statements/Csv.h"
#include "statements/Reader.h"
#include "statements/Values.h"

#include <optional>
#include <string>
#include <vector>

namespace statements {

// Where a table's values are, by column from 0 (-1: not in the file), and how they are written.
struct TableLayout {
    int bookingDate = -1;
    int transactionDate = -1;
    std::vector<int> text; // the first of these that is not empty, or all of them joined
    bool joinText = false;
    int amount = -1;
    int debit = -1;
    int credit = -1;
    int sign = -1;
    int balance = -1;
    int currency = -1;
    std::vector<int> account; // joined by "-" (clearing number, account number)
    std::string fixedAccount; // the account number when the file gives it once, above the table
    DecimalSign decimal = DecimalSign::Either;
    std::optional<DateFormat> dateFormat; // empty: any of the banks' own forms
    std::string reservedWord;             // folded; a booking date cell saying this is a pending row
    int rowType = -1;                     // summary rows of types 10, 82 and 86 are no transactions
};

// Fills the fresh `row` from the record and returns true, unless the record is blank or a summary;
// a value that cannot be read is the row's error, never a reason to leave the row out.
bool rowOf(const CsvRecord& record, const TableLayout& layout, const ReadOptions& options, BankRow& row);

// One BankRow per record from `first` on, in the file's order.
std::vector<BankRow> rowsOfTable(const std::vector<CsvRecord>& records, std::size_t first,
                                 const TableLayout& layout, const ReadOptions& options);

// True when the rows' dates fall from the first dated row to the last; `otherwise` when they are
// all of one day or undated.
bool datesFall(const std::vector<BankRow>& rows, bool otherwise);

} // namespace statements
