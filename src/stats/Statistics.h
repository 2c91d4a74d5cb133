#pragma once

// Statistics of one main transaction over a period: every post of it with its sub-transaction
// and amount, the count, the total and the mean.

#include "stats/AccountFiles.h"
#include "stats/Period.h"
#include "store/Amount.h"

#include <string>
#include <string_view>
#include <vector>

namespace stats {

// One hit, as the statistics table holds it (texts in UTF-8).
struct StatRow {
    std::string datum;          // the ten characters as stored
    std::string subTransaction; // trimmed name, empty when the post has none
    std::string amount;         // display text: "-" for a stored minus sign, then "### ### ##0.#0"
    store::Amount value;        // the signed amount, for the diagram
};

struct Statistics {
    int transNr = 0;
    std::vector<StatRow> rows;
    store::Amount total;
    std::string totalText; // "-" for a negative total, then the absolute total formatted
    std::string meanText;  // the same for the mean; empty without hits
    std::string summary;   // "Antal = 3, Totalbel. = 70,00, Medel = 23,33"; empty without hits

    int hits() const { return static_cast<int>(rows.size()); }
    bool noHits() const { return rows.empty(); }
};

// The posts of the range whose |TransNr| equals transNr, in file order, in one pass over the
// file image. The amount is Belopp of a cash-book post and VerklBelopp (the actual amount) of a
// budget post. Transaction 0 (none chosen) has no hits. A field that does not decode is a
// store::DataError.
Statistics computeStatistics(const AccountFiles& files, const PostRange& range, int transNr);

// The mean total ÷ hits rounded to whole hundredths, a half away from zero, computed exactly (no
// intermediate rounding to four decimals): shown as the absolute value with "-" in front when the
// total is negative. Empty for no hits.
std::string meanText(store::Amount total, int hits);
// The absolute total formatted, with "-" in front when it is negative.
std::string totalText(store::Amount total);

// Texts shown when the period holds no post of the transaction (UTF-8).
inline constexpr std::string_view NoHitsScreenText = "Ingen förekomst av transaktionen under tidsperioden !";
inline constexpr std::string_view NoHitsMessageText =
    "Ingen förekomst av transaktionen under angiven tidsperiod !";
// "Statistikupptagning av " + name: title of the no-hits message box.
std::string noHitsMessageTitle(std::string_view utf8TransactionName);
// "Statistik " + name: the heading over the statistics on screen.
std::string statisticsHeading(std::string_view utf8TransactionName);

} // namespace stats
