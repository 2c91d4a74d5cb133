#pragma once

// Changing the catalogue of main transactions (Transakt) and the posts that use them.
//
// Posts name their main transaction by its record number (TransNr), so a rename touches only the
// Transakt record; a change of sign rewrites the amounts of every post using the transaction and
// moves the later balances; a deletion removes every such post.
//
// Each function changes the images of the files it is given and commits them before it returns:
// Transakt and KontoData together through one group commit when both change. Every limit is
// checked before the first byte is written, so an outcome other than Done leaves every file as it
// was. A file that cannot be written, or a field that does not decode, throws (store::FileError,
// store::DataError); the images are then reloaded, so nothing half-done stays in memory either.

#include "catalogue/PostPass.h"
#include "ledger/PostShift.h"
#include "store/Amount.h"
#include "store/RecordFile.h"

#include <filesystem>
#include <initializer_list>
#include <string_view>

namespace catalogue {

// The open account's files as the catalogue procedures need them.
struct AccountFiles {
    store::RecordFile& transakt;
    store::RecordFile& kontoData;
    int postCount = 0;
    bool budget = false; // "Bg": PostRec_Budget posts; else PostRec_Enkel
    std::filesystem::path journalFolder;
    // Follows the posts changed or removed, for the error report (may be null).
    PostTrace* trace = nullptr;
};

// A name fits TransNamn (35 bytes of Windows-1252) and is not empty after trimming.
bool fitsTransactionName(std::string_view cp1252Name);

// TransSpar: the name and sign ('+', '-' or ' ') go into the first free record (trimmed name
// empty), or after the last record when there is none. Returns the record number.
int createMainTransaction(store::RecordFile& transakt, std::string_view cp1252Name, char sign);

// The standard transaction of a fund account: the existing neutral one, or a new one with a blank
// sign and this name. Returns its record number.
int ensureStandardTransaction(store::RecordFile& transakt, std::string_view cp1252Name);

struct ChangeResult {
    ledger::Outcome outcome = ledger::Outcome::Done; // AmountLimit / DoesNotFit: nothing written
    bool signChanged = false;
    int firstPost = 0;    // the first post using the transaction (the recount start); 0 for none
    int changedPosts = 0; // posts whose amounts took the new sign
};

// TransChange: a new name and sign for the transaction. When the sign changes, every post using
// it gets its amounts with the new sign ('-' negative, anything else positive), and the balances
// from that post on move by the change. The change is taken from the amount each post actually
// holds, so a post whose amount already had the new sign keeps it and the balances stay right.
ChangeResult changeMainTransaction(const AccountFiles& files, int transNr, std::string_view cp1252Name,
                                   char sign);

struct DeleteResult {
    ledger::Outcome outcome = ledger::Outcome::Done; // OnlyPost: nothing written, see below
    int removedPosts = 0;
    int postCount = 0;         // N after the deletion
    int recountStart = 0;      // where the first removed post stood; 0 when none was removed
    store::Amount total;       // cash-book: sum of the removed Belopp; budget: of BudgBelopp
    store::Amount totalActual; // budget: sum of the removed VerklBelopp
};

// TransRadera_Enkel / TransRadera_Budget: the record is freed (35 blanks and a blank sign) and
// every post using the transaction is removed in one pass; the posts after each removed one move
// down and lose its amounts from their balances; the records freed at the end get a blank date.
// An account is never left without posts: when every post uses the transaction, nothing is written
// and the outcome is OnlyPost, for the caller to offer removing the whole account; postCount then
// tells whether that was the only post (1) or all of several.
// The transaction's import rules go in the same commit.
DeleteResult deleteMainTransaction(const AccountFiles& files, int transNr);

// The first post (from 1) whose TransNr names the transaction; 0 when none does.
int firstPostUsing(const store::RecordFile& kontoData, int postCount, bool budget, int transNr);

namespace detail {
// Commits the dirty files among them (a null one is left out): one alone directly, several through
// one group commit.
// On failure every one of them is reloaded and the failure rethrown.
void commitTogether(const std::filesystem::path& journalFolder,
                    std::initializer_list<store::RecordFile*> files);
} // namespace detail

} // namespace catalogue
