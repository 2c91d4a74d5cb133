#pragma once

// What becomes of each row of a statement: the transaction a rule gives it, whether it was imported
// before, may already be in the account, confirms a planned budget post, or cannot be imported.

#include "catalogue/Catalogue.h"
#include "ledger/LedgerView.h"
#include "statements/ImportFiles.h"
#include "statements/Statement.h"
#include "store/Amount.h"
#include "store/DateText.h"
#include "store/Paths.h"
#include "store/RecordFile.h"

#include <string>
#include <string_view>
#include <vector>

namespace statements {

enum class RowStatus { New, Rule, AlreadyImported, PossibleDuplicate, Reserved, Error, ConfirmsBudget };

// A post of the account as the classification sees it.
struct AccountPost {
    int record = 0; // record number in KontoData
    store::Date date;
    store::Amount amount; // cash book: Belopp; budget: the actual amount, or the budgeted one when planned
    int transNr = 0;
    bool planned = false; // an unconfirmed (blue) budget post
};

// Everything of the account a classification needs, read once.
struct AccountView {
    bool budget = false;
    std::vector<AccountPost> posts;
    std::vector<catalogue::CatalogueItem> transactions;
    std::vector<catalogue::CatalogueItem> subTransactions;
    std::vector<Rule> rules;
    std::vector<LogEntry> log;
};

// From this many rows of a statement, or records of an account, the work is shared with the second
// core; below it a thread costs more than it saves. Tests lower them to split short runs.
inline std::size_t parallelRows = 2000;
inline std::size_t parallelPosts = 16384;

// Posts 1..N of a KontoData image (findPostCount); a field that does not decode is a DataError.
std::vector<AccountPost> accountPosts(const store::RecordFile& kontoData, ledger::Kind kind);
// The account's KontoData, Transakt, Kategori, Importregler and Importlogg. Throws store::FileError
// when one of the first three cannot be read.
AccountView readAccountView(const store::DataPaths& paths, std::string_view cp1252Account, ledger::Kind kind);

struct ClassifiedRow {
    BankRow row;
    RowStatus status = RowStatus::New;
    int transNr = 0; // 0: none yet
    int subNr = 0;
    std::string pattern;     // the rule that gave the transaction (UTF-8); empty when none did
    bool chosen = false;     // the user picked the transaction: reclassify() keeps it and the pattern
    std::string fingerprint; // what Importlogg keeps of the row
    int occurrence = 1;      // among rows of the file with the same identity, oldest first
    int matchedPost = -1;    // record of the planned post it confirms, or of the post it may duplicate
    store::Date matchedDate;
    store::Amount matchedAmount; // the planned post's budgeted amount, or the duplicate's amount
    std::string error;           // the reason of an Error

    // "Ny", "Regel: <mönster>", "Redan inläst", "Möjlig dubblett av post <datum belopp>",
    // "Reserverad — hoppas över", "Fel: <reason>", "Bekräftar budgeterad post <datum> <belopp>".
    std::string statusText() const;
    // The command line's word: ny, regel, redan, dubblett, reserverad, fel (a confirming row says
    // how it got its transaction: regel or ny).
    std::string statusWord() const;
    // Rows imported before and possible duplicates wait for the user; errors cannot be imported.
    bool tickedByDefault() const;
    bool tickable() const;
    // What Importlogg keeps of the row once it is imported.
    LogEntry logEntry() const;
};

// The row's identity: the OFX FITID where there is one (with the bank and the account column),
// else bank + account column + date + amount + the text's matching form + occurrence, where the
// date is the transaction date when the file gives one (it does not change with the date the
// posts take), else the booking date. 32 hexadecimal digits.
std::string fingerprint(std::string_view bank, const BankRow& row, int occurrence);

// Classifies every row of the statement, in its order (oldest first):
//  - Error: the reader's error, no date, another currency than SEK, a zero amount, or an amount
//    beyond the amount limit or its field.
//  - Reserved: pending at the bank.
//  - AlreadyImported: its fingerprint is in Importlogg.
//  - PossibleDuplicate: the account has more posts of the same amount dated from 4 days before to
//    2 days after the row than Importlogg accounts for; the nearest such post is named. Planned
//    budget posts never count.
//  - ConfirmsBudget (budget accounts): the row's transaction has a planned post within 7 days of
//    the row; the nearest pair wins and a planned post confirms one row at most.
//  - Rule: the longest matching rule whose sign agrees gave the transaction; else New.
// The account's posts and log are indexed once, so a large account costs one pass.
// The statement's rows are moved into the result (its other fields stay); the first form copies them.
std::vector<ClassifiedRow> classify(const Statement& statement, const AccountView& view);
std::vector<ClassifiedRow> classify(Statement&& statement, const AccountView& view);

// After the user chose transactions (rows marked `chosen` keep their transaction, sub-transaction
// and pattern: "Regel: <mönster>" when the choice saved a rule, else "Ny") or saved a rule
// (view.rules): the other rows New, Rule or ConfirmsBudget take the rules anew, and the planned
// budget posts are matched anew over all rows.
void reclassify(std::vector<ClassifiedRow>& rows, const AccountView& view);

} // namespace statements
