#pragma once

// Rules that give a bank row its transaction, and the matching form of a bank's text they work on.

#include "catalogue/Catalogue.h"
#include "statements/ImportFiles.h"
#include "store/Amount.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace statements {

// The matching form of a bank text (UTF-8): letters without accents and in upper case, every
// character that is no letter or digit a single space, and what changes from row to row of the
// same payee left out: dates, card numbers and reference digits (a token of digits alone, digits
// masked by X, a run of four digits or more inside a word) and a leading word of the card purchase
// ("Kortköp"). "KORTKÖP 231205 ICA NARA SOLNA" -> "ICA NARA SOLNA". Characters Windows-1252 cannot
// hold are dropped. Fingerprints are made of it, so the form must never change.
std::string normaliseText(std::string_view utf8);
// The same into `out`, whose room is kept for the next text.
void normaliseText(std::string_view utf8, std::string& out);

// The pattern offered for a rule made from a row: the bank's words as they stand (case and accents
// kept) without the parts normaliseText leaves out, at most MaxPatternLength characters, cut
// between words. Empty when nothing is left (a text of digits alone).
std::string suggestPattern(std::string_view bankText);

// Whether the rule's pattern is found in a row's text, both taken in their matching form; a pattern
// with nothing left in that form matches nothing.
bool patternMatches(std::string_view pattern, std::string_view normalisedText);

// Whether a transaction's sign ("+", "-", blank) agrees with an amount: "-" money out, "+" money
// in; a blank sign (the account's start) agrees with none, as such a transaction is never offered.
bool signAgrees(char sign, store::Amount amount);

// The main transactions offered for a row: those whose sign agrees with the amount's.
std::vector<catalogue::CatalogueItem>
offeredTransactions(const std::vector<catalogue::CatalogueItem>& transactions, store::Amount amount);

// The rules prepared once for many rows (patterns in their matching form, longest first).
class RuleSet {
public:
    RuleSet(const std::vector<Rule>& rules, const std::vector<catalogue::CatalogueItem>& transactions,
            const std::vector<catalogue::CatalogueItem>& subTransactions);

    struct Match {
        const Rule* rule = nullptr; // nullptr: no rule matches
        bool signAgrees = false;    // false: the row is "Ny" though a rule matched
        int subNr = 0;              // the rule's sub-transaction while it still exists, else 0
    };
    // The longest matching pattern wins; among patterns as long, one whose transaction's sign
    // agrees with the amount, then the first in the file. A rule for a transaction that no longer
    // exists is passed over.
    Match match(std::string_view normalisedText, store::Amount amount) const;

private:
    struct Entry {
        std::string folded;
        const Rule* rule;
        char sign;
        int subNr;
        std::size_t anchor; // where its anchor pair of characters lies in `folded`
    };
    // Each pattern of two characters or more is looked for only where the text has its anchor: the
    // pair of neighbouring characters in it that the fewest patterns share. A statement's row then
    // meets a handful of candidates, not every rule.
    static unsigned pairAt(std::string_view s, std::size_t i) {
        return static_cast<unsigned char>(s[i]) << 8 | static_cast<unsigned char>(s[i + 1]);
    }
    std::vector<Entry> entries_;                             // longest pattern first
    std::vector<std::pair<unsigned, std::size_t>> anchored_; // (anchor pair, entry), by pair
    std::vector<std::size_t> single_;                        // entries of one character
    std::vector<std::uint64_t> anchorBits_ = std::vector<std::uint64_t>(1024); // the anchor pairs there are
};

// A rule saved from a row: one with the same pattern (in its matching form) for a transaction of
// the same sign is replaced, so a payee has one rule per direction of money; else it is added.
void addRule(std::vector<Rule>& rules, Rule rule, const std::vector<catalogue::CatalogueItem>& transactions);

} // namespace statements
