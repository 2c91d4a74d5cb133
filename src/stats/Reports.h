#pragma once

// The seven report kinds: which columns each has, where the screen grid and the text file put
// them, and the texts of their rows.

#include "stats/AccountFiles.h"
#include "stats/Period.h"
#include "stats/Statistics.h"

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace stats {

enum class ReportKind { Pr_1, Pr_2, Pr_3, Pr_4, Pr_5, Pr_6, Pr_7 };

// "Pr_1" ... "Pr_7".
std::string_view kindCode(ReportKind kind);

// The account report chosen by the three boxes (sub-transaction, budget amounts, balance
// difference). The difference without the budget amounts chooses nothing.
std::optional<ReportKind> kindFromChecks(bool subTransaction, bool budget, bool difference);
// Kinds 3 to 6 show budget amounts and exist for budget accounts only.
bool needsBudgetAccount(ReportKind kind);

enum class Column {
    Datum,
    Huvudtransaktion,
    Subtransaktion,
    Belopp,
    Saldo,
    BudgBelopp,
    VerklBelopp,
    BudgSaldo,
    VerklSaldo,
    DiffSaldo
};

enum class Align { Left, Centre, Right };

struct ReportColumn {
    Column column;
    std::string_view screenHeading; // UTF-8
    std::string_view fileHeading;   // UTF-8; the text file and paper name the budget columns in full
    Align align;                    // on screen; amounts are right-aligned in the file too
    int gridWidth;                  // twips
    int headingLeft;                // twips, inside the report frame
    int fileColumn;                 // text file: start column (left) or edge column (amounts)
    bool fileRightAligned;
};

struct ReportLayout {
    ReportKind kind;
    int frameWidth, frameLeft, gridWidth; // twips
    int postsPerFilePage;
    std::vector<ReportColumn> columns;
};

const ReportLayout& layoutOf(ReportKind kind);

// Rows of the screen grid: 15 a page.
inline constexpr int ScreenRows = 15;

// One report line: the cell texts of the kind's columns, left to right.
using ReportRow = std::vector<std::string>;

// How far a pass over the posts came: the record it reached last and that post's date and amount
// as stored (a budget post's actual amount), Windows-1252. A failed output tells them in its error
// report.
struct ReadTrace {
    int record = 0;
    std::string datum;
    std::string amount;
};

// The rows of an account report for the posts from..to (to is clamped to the file), texts in
// UTF-8: the date as stored, the names trimmed, every amount by the display rule. A budget
// account's "Belopp" and "Saldo" are its actual amount and balance. Throws std::invalid_argument
// for a budget kind on a cash-book account and for Pr_7 (see statisticsRows), store::DataError
// for a field that does not decode.
std::vector<ReportRow> reportRows(const AccountFiles& files, ReportKind kind, int from, int to,
                                  ReadTrace* trace = nullptr);
// The same in Windows-1252, as the text file writes them.
std::vector<ReportRow> reportRowsRaw(const AccountFiles& files, ReportKind kind, int from, int to);
// The rows of reportRowsRaw handed to `take` one at a time, in one pass over the file image
// without keeping them (the text file of a large account is written as it is read).
void forEachReportRowRaw(const AccountFiles& files, ReportKind kind, int from, int to,
                         const std::function<void(const ReportRow&)>& take, ReadTrace* trace = nullptr);

// Rows from..to (1-based) of the statistics table: date, sub-transaction, amount.
std::vector<ReportRow> statisticsRows(const Statistics& st, int from, int to);

// The four scroll buttons of the screen report.
enum class ScrollStep { Back1, Back15, Forward1, Forward15 };
// The new current post number. Fifteen back stops at the first post; fifteen forward stops where
// the last page is full (last - 14).
int scrolled(const PostRange& range, int current, ScrollStep step);
bool canScrollBack(const PostRange& range, int current);
bool canScrollForward(const PostRange& range, int current);

} // namespace stats
