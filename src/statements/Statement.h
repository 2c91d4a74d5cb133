#pragma once

#include "store/Amount.h"
#include "store/DateText.h"

#include <optional>
#include <string>
#include <vector>

namespace statements {

// One row of a bank's statement as the file gives it, before any rule or duplicate check.
struct BankRow {
    int line = 0;                          // line (or table row) in the file, for messages
    std::optional<store::Date> bookingDate; // empty for a pending ("Reserverat") row
    std::optional<store::Date> transactionDate;
    store::Amount amount;                  // income positive, expense negative
    std::string text;                      // the bank's text, UTF-8
    std::optional<store::Amount> balance;  // the bank's balance after the row, where given
    std::string currency = "SEK";
    std::string accountNumber;             // the file's account column, where there is one
    std::string fitid;                     // the row's identity in OFX files, else empty
    bool reserved = false;                 // pending at the bank: skipped, never imported
    std::string error;                     // non-empty: the row cannot be read ("Fel: <error>")
};

// A statement read from one file: the rows oldest first, whatever order the file has them in.
struct Statement {
    std::string bank;   // "Swedbank", or the saved mapping's name
    std::string format; // shown on the format page: "Swedbank, kontoutdrag CSV"
    bool hasBalance = false;
    std::vector<BankRow> rows;
};

} // namespace statements
