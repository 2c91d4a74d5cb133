#pragma once

// What the files of the statistics window share: its texts and the pieces of its error reports.

#include "stats/PrintLayout.h"
#include "stats/Reports.h"
#include "store/Cp1252.h"
#include "support/ui/Trap.h"

#include <QString>
#include <QStringList>

#include <string_view>

namespace stats::statform {

inline const QString ClickForTransactions = QStringLiteral("Klicka för transaktioner !");
inline constexpr int HelpContext = 70000;

inline QString q(std::string_view utf8) {
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

// The heading labels over the report's columns, by their object names.
inline constexpr const char* HeadingNames[10] = {
    "dateHeading",         "mainTransactionHeading", "subTransactionHeading", "budgetAmountHeading",
    "actualAmountHeading", "budgetBalanceHeading",   "actualBalanceHeading",  "balanceDifferenceHeading",
    "amountHeading",       "balanceHeading"};

// The heading label of a column: its place in HeadingNames.
inline int headingIndex(Column c) {
    switch (c) {
    case Column::Datum:
        return 0;
    case Column::Huvudtransaktion:
        return 1;
    case Column::Subtransaktion:
        return 2;
    case Column::BudgBelopp:
        return 3;
    case Column::VerklBelopp:
        return 4;
    case Column::BudgSaldo:
        return 5;
    case Column::VerklSaldo:
        return 6;
    case Column::DiffSaldo:
        return 7;
    case Column::Belopp:
        return 8;
    case Column::Saldo:
        return 9;
    }
    return 0;
}

inline Qt::Alignment qtAlign(Align a) {
    switch (a) {
    case Align::Left:
        return Qt::AlignLeft | Qt::AlignVCenter;
    case Align::Centre:
        return Qt::AlignCenter;
    case Align::Right:
        return Qt::AlignRight | Qt::AlignVCenter;
    }
    return Qt::AlignLeft;
}

// An error description whose details begin with the procedure's own diagnostic line, not with the
// routine and the situation as two lines, followed by the values.
inline support::ErrorDescription diagnosed(const QString& routine, const QString& situation,
                                           const QString& diagnostic, const QStringList& values) {
    return {support::failureHeadline(routine, situation), QStringList{diagnostic} + values};
}

inline int kindNumber(ReportKind kind) {
    return static_cast<int>(kind) + 1;
}

// How the error report names a report kind after "vid utskriftsförsök skärm" and after
// "vid utskriftsförsök textfil " (the text file's kind 2 has no trap of its own: see FilePrint).
inline constexpr const char* ScreenKindWords[7] = {" (exkl. subtr & budget)",
                                                   " (inkl. subtr exkl. budget)",
                                                   " (exkl. subtr, exkl. diff, inkl budg.)",
                                                   " (exkl. subtr, inkl. diff, inkl budg.)",
                                                   " (inkl. subtr, inkl. diff, inkl budg.)",
                                                   " (inkl subtr, inkl budg, exkl diff.)",
                                                   " av trans.statistik"};
inline constexpr const char* FileKindWords[7] = {"(exkl. subtr & budget)",
                                                 "",
                                                 "(exkl. subtr inkl budget)",
                                                 "(exkl. subtr inkl budget & diff)",
                                                 "(inkl. subtr inkl budget & diff)",
                                                 "(inkl subtr inkl budget exkl diff)",
                                                 ""};

// The last post a failed output read, as the error report tells it.
inline QStringList fetched(const ReadTrace& trace) {
    return {QStringLiteral("Hämtad bokföringsdag: ") + q(store::cp1252ToUtf8(trace.datum)),
            QStringLiteral("Hämtat belopp: ") + q(store::cp1252ToUtf8(trace.amount)).trimmed()};
}

// Texts of the window and its messages, in one place.
namespace text {
inline const QString PdfTitle = QStringLiteral("Ingen skrivare finns: spara utskriften som PDF-fil");
inline const QString PdfFilter = QStringLiteral("PDF-filer (*.pdf)");
inline const QString SaveTitle = QStringLiteral("Spara utskriften som textfil");
inline const QString SaveFilter = QStringLiteral("Textfiler (*.txt)");
inline const QString AccountMode = QStringLiteral("Skriv ut Kontofil till:");
inline const QString StatisticsMode = QStringLiteral("Skriv ut statistik till:");
inline const QString SheetButton = QStringLiteral("Spara som kalkylblad…");
inline const QString SheetTitle = QStringLiteral("Spara som kalkylblad");
inline const QString XlsxFilter = QStringLiteral("Excel-arbetsbok (*.xlsx)");
inline const QString CsvSheetFilter = QStringLiteral("CSV för kalkylprogram (*.csv)");
inline const QString CsvStandardFilter = QStringLiteral("CSV standard (*.csv)");
inline const QString SheetSaved = QStringLiteral("Kalkylbladet har sparats i\n");
} // namespace text

} // namespace stats::statform
