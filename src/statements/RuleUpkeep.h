#pragma once

// The catalogue renumbers and reuses the numbers it frees, so the import rules that name its
// transactions are kept true in the same commit as the catalogue change: a rule must never come to
// give a row a transaction the user did not choose.

#include "store/RecordFile.h"

#include <optional>

namespace statements {

// The account's Importregler (beside its KontoData) opened for a change; empty when the account
// has none, which a catalogue change then never creates.
std::optional<store::RecordFile> openRulesBeside(const store::RecordFile& kontoData);

// A deleted main transaction takes its rules with it (their records are freed).
void dropRulesOf(store::RecordFile& rules, int transNr);
// A deleted sub-transaction is cleared from the rules that name it; the rules stay.
void clearSubInRules(store::RecordFile& rules, int subTransNr);
// A replacement in every post moves the rules along to the new transaction.
void moveRules(store::RecordFile& rules, int fromTransNr, int toTransNr);

// The rules file among the files a catalogue change commits, or nullptr when there is none.
inline store::RecordFile* orNull(std::optional<store::RecordFile>& rules) {
    return rules ? &*rules : nullptr;
}

} // namespace statements
