#pragma once

// The import itself, at "Slutför": the chosen rows become posts, the planned budget posts the bank
// confirms take its amounts, and the posts, the catalogue's new transactions, the rules, the
// fingerprints and the saved mappings are written as one group commit, which the undo history
// keeps as one change ("import av 57 poster från Swedbank").

#include "budget/BudgetTemplate.h"
#include "ledger/PostShift.h"
#include "statements/Classify.h"
#include "statements/ImportFiles.h"
#include "store/Amount.h"
#include "store/Paths.h"
#include "store/RecordFile.h"

#include <optional>
#include <string>
#include <vector>

namespace statements {

// A transaction made with "Ny transaktion…" while the rows were chosen: written with the import,
// never on "Avbryt".
struct StagedTransaction {
    std::string name; // UTF-8
    char sign = '-';  // '+' or '-'
};

struct ImportPlan {
    std::string bank; // the statement's bank, named in the undo step
    bool hasBalance = false;
    std::vector<ClassifiedRow> rows; // oldest first, as classify() gave them
    std::vector<bool> ticked;        // per row; empty: each row as tickedByDefault()
    // A transaction number -k (in a row or a rule) names newTransactions[k-1], a sub-transaction
    // number -k newSubTransactions[k-1].
    std::vector<StagedTransaction> newTransactions;
    std::vector<std::string> newSubTransactions; // UTF-8
    // The account's whole list of rules to write, when a row's rule was saved; else Importregler
    // stays as it is.
    std::optional<std::vector<Rule>> rules;
    // Every saved mapping and date choice, when one changed; else Importprofiler stays.
    std::optional<std::vector<Profile>> profiles;
};

// The open account as the main window holds it.
struct ImportTarget {
    store::DataPaths paths;
    std::string account; // Windows-1252
    store::RecordFile& kontoData;
    int postCount = 0;
    store::RecordFile& transakt;
    store::RecordFile& kategori;
    store::RecordFile* mall = nullptr;      // budget accounts: B-mall
    budget::BudgetTemplate* plan = nullptr; // the template over it
    std::string today;                      // "yyyy-mm-dd"
};

// What the summary page and the command line tell before and after the import.
struct ImportSummary {
    int imported = 0; // posts made or confirmed
    int alreadyImported = 0, possibleDuplicates = 0, reserved = 0, errors = 0, notChosen = 0;
    int confirmed = 0;                 // planned budget posts the bank confirms
    store::Amount actualMinusBudgeted; // summed over them
    // The bank's balance at the end of the last imported day, where the file has balances, and the
    // account's on that day once the posts are in.
    std::optional<store::Amount> bankBalance, accountBalance;

    int skipped() const { return alreadyImported + possibleDuplicates + reserved + errors + notChosen; }
    // "57 poster läses in, 3 hoppas över (2 redan inlästa, 1 reserverad)"
    std::string countsText() const;
    // "2 budgeterade poster bekräftas, verkligt mot budgeterat: -120,00"; empty when none is.
    std::string confirmedText() const;
    // "Banken 10 234,10 — kontot 10 100,00: skillnad 134,10"; empty without a bank balance.
    std::string balanceText() const;
};

// Whether the row goes in: ticked, importable, with a transaction.
bool importsRow(const ImportPlan& plan, std::size_t row);

// Worked out on the account as it stands; nothing is written.
ImportSummary summarise(const ImportPlan& plan, const ImportTarget& target);

struct ImportResult {
    // AmountLimit / DoesNotFit: refused before anything was written; `row` (index in plan.rows) and
    // `refusal` name the row.
    ledger::Outcome outcome = ledger::Outcome::Done;
    int row = -1;
    std::string refusal; // UTF-8
    ImportSummary summary;
    int postCount = 0;    // N after the import
    int recountStart = 0; // the first changed post; 0 when no post changed
    std::string description;
};

// "import av 57 poster från Swedbank"
std::string importDescription(int posts, std::string_view bank);

// Writes the import as one group commit inside one change of the undo history. Staged
// transactions take the catalogue's free records as "Ny transaktion…" would. A failure to write
// throws (store::FileError); every file is then as it was and the images are read again. A plan
// with nothing to write writes nothing.
ImportResult applyImport(const ImportPlan& plan, const ImportTarget& target);

} // namespace statements
