#pragma once

#include <QString>
#include <QStringList>

#include <array>

namespace ledger {

// Where the transaction box's help stands: the rows of its help table, in the order they are
// tried.
enum class TransTextSituation {
    MarkedMain,   // a name shown, a post marked, main transactions listed
    MarkedSub,    // the same with sub-transactions listed
    Main,         // a name shown, no post marked
    Sub,          // a sub-transaction's name shown
    SubBeingMade, // the same while a new sub-transaction is written
    EmptyMain,    // no name, main transactions listed
    EmptySubNone, // no name, the sub-transactions' list empty
    EmptySub,     // no name, sub-transactions listed
};

// The steps of a choice in the transaction list, each with its own error report.
enum class ListStep { Fetch, MainForEntry, Replace, SubForMarkedPost, SubForEntry };

struct Help {
    QString tooltip, line;
};

struct ErrorText {
    QString heading;         // the lines under "Ett fel har uppstått i subrutinen <procedure>"
    QStringList description; // the first lines of the error state
};

// What one kind of ledger says and names where the cash-book and the budget frame run the same
// procedure: the rule is written once, the words are data. In the texts "{1}" and "{2}" stand for
// names filled in when the text is shown.
struct LedgerKind {
    QString suffix;         // of the procedure names: "Enkel" or "Budget"
    QString markCode;       // the procedure code of a marked post
    QString gridReportName; // the grid as error reports name it: "G1" or "G2"
    QString gridHelp;       // the help line over the grid
    int tickColumn;
    ErrorText gridError;        // a click in the grid failed
    ErrorText removeError;      // UtPost_Enkel / UtPost_Budget
    ErrorText moveError;        // PostMover_Enkel / PostMover_Budget
    bool wholeMoveRows;         // a range chosen for a move is green in every cell, else the dates only
    bool gridOpenForChange;     // the grid stays usable while the catalogue window changes a transaction
    bool askNewWithEmptyList;   // the "Ny transaktion" questions even when the list is empty
    bool oldSignBlankIsExpense; // a replaced neutral transaction is named an expense
    bool optionHelp;            // the option buttons have help texts
    QStringList reportLines;    // state lines every error report of the frame ends with, before the account

    // A marked post's main transaction replaced: the questions, the confirmation and the report.
    QString replaceOne, explainOne, replaceAll, explainAll, confirmReplace, replaced;
    // The sub-transaction of a marked post: replaced ({1} old, {2} new) or added ({1} new).
    QString subReplace, subAdd;
    // The transaction box: a name offered for change, a new transaction after a look in the list.
    QString changeMain, newMain, newSub;

    std::array<Help, 8> transTextHelp;   // by TransTextSituation
    std::array<ErrorText, 5> listErrors; // by ListStep
};

const LedgerKind& cashKind();
const LedgerKind& budgetKind();

// `pattern` with "{1}" and "{2}" replaced in one pass (a name holding "{2}" stays as it is).
QString fill(const QString& pattern, const QString& first, const QString& second = QString());

} // namespace ledger
