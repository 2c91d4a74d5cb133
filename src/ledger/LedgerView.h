#pragma once

// The ten-post window of the ledger grids: how many posts an account has, which post is current,
// where the scroll bar stands and the texts of the shown rows. Both account kinds share the rules;
// only the record layout and the columns differ.

#include "store/RecordFile.h"
#include "store/Records.h"

#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace ledger {

// "Ek" is a cash-book account, "Bg" a budget account.
enum class Kind { Cash, Budget };
// The kind of a KontoTyp text (surrounding spaces ignored); empty for any other code.
std::optional<Kind> kindFromCode(std::string_view code);
// Record length of the account's KontoData: 43 for a cash book, 77 for a budget.
std::size_t recordLength(Kind kind);

// Number of posts N: from the record count walk down to the highest record whose Datum is not ten
// spaces; records above it are left-overs of deletions. 0 when there is none.
int findPostCount(const store::RecordFile& kontoData);

// The current post S: walking down from N, the first post dated on or before the working date
// (dates compare as text). When every post is dated later the first post is current; 0 when the
// account has no posts.
int findCurrentPost(const store::RecordFile& kontoData, int postCount, std::string_view workingDate);

// The ten-post window and its scroll bar. value = record number in the top row.
struct ScrollState {
    int value = 1;
    int lastShown = 0;
    int minimum = 1;
    int maximum = 1;
    bool enabled = false;
};

// Places the window so that post S shows (ScrollSet_Enkel / ScrollSet_Budget): S in the second
// row where the posts after it fill the window, else the last ten posts; all posts with the bar
// disabled for ten or fewer. The range is narrowed around the value.
ScrollState scrollSet(int postCount, int currentPost);

// VSC1_MaxMin / VSC2_MaxMin: one movement of the bar reaches at most ten posts away, so the range
// is re-centred on the value after every movement.
void narrowRange(ScrollState& s, int postCount);

// The user moved the bar to `value` (the scroll bar of either ledger frame). The window never runs
// past the last post. Returns false when the shown posts stay the same (already at the end, or
// ten posts or fewer), true when the view must be read again.
bool scrollTo(ScrollState& s, int postCount, int value);

// One row of the cash-book grid, texts in UTF-8.
struct CashRow {
    std::string datum, transaktion, belopp, saldo, markering;
    bool beloppNegative = false, saldoNegative = false; // stored text begins with "-": red
};

// Inläs_G1: posts first..last (at most ten, none past the file) as the cash-book grid shows them.
std::vector<CashRow> readCashView(const store::RecordFile& kontoData, const store::RecordFile& transakt,
                                  int first, int last);

// One row of the budget grid, texts in UTF-8.
struct BudgetRow {
    std::string datum, transaktion, budgBelopp, verklBelopp, budgSaldo, verklSaldo, diffSaldo, markering;
    bool confirmed = false;         // BStatus "*"; unconfirmed amounts are blue
    std::array<bool, 5> negative{}; // per amount column: stored text begins with "-"
};

// Inläs_G2: posts first..last (at most ten, none past the file) as the budget grid shows them.
std::vector<BudgetRow> readBudgetView(const store::RecordFile& kontoData, const store::RecordFile& transakt,
                                      int first, int last);

// The trimmed name (UTF-8) of main transaction |transNr| in Transakt. Empty for a free slot, a
// number beyond the file, no number or a field that is no number: the grid shows the post anyway.
std::string transactionName(const store::RecordFile& transakt, std::string_view transNrField);

} // namespace ledger
