#pragma once

// The messages and questions of the planning window, in one place.

#include "store/Cp1252.h"
#include "support/ui/Trap.h"

#include <QString>

namespace budget::alttext {

// Windows-1252 bytes of the account's files as shown text.
inline QString fromBytes(std::string_view bytes) {
    return QString::fromStdString(store::cp1252ToUtf8(bytes));
}

// A failure description whose details are the system's own sentence.
inline support::ErrorDescription ErrorDescriptionFor(const QString& routine, const QString& situation,
                                                     const QString& detail, const QStringList& values = {}) {
    return {support::failureHeadline(routine, situation), QStringList{detail} + values};
}

inline QString caption(const QString& account) {
    return QStringLiteral("Budgetering av konto: ") + account;
}

inline const QString NewTransaction = QStringLiteral("Skapa ny transaktion");

inline const QString BudgetTitle = QStringLiteral("Budgetera transaktion");
inline QString budgetQuestion() {
    return QStringLiteral(
        "Vill du budgetera den utvalda transaktionen, klickar du 'Ja' !\n\n"
        "Om du avstår eller vill utesluta transaktionen från budgeterbar, klickar du 'Nej' !");
}

inline const QString ExcludeTitle = QStringLiteral("Uteslut transaktion från listan");
// The question before a transaction is excluded or re-admitted: the intro, the list entry.
inline QString markQuestion(const QString& intro, const QString& entry) {
    return intro + QStringLiteral("\n\n") + entry + QStringLiteral("!\n\nVill du fortsätta ?");
}
inline QString excludeQuestion(const QString& entry) {
    return markQuestion(QStringLiteral("Du försöker utesluta transaktionen:"), entry);
}
inline const QString NotInTemplate = QStringLiteral("Transaktionen förekommer inte i budgetmallen !");
inline const QString Excluded = QStringLiteral("Transaktionen är utesluten !");

inline const QString ReadmitTitle = QStringLiteral("Återställ transaktion till budgeterbar");
inline QString readmitQuestion(const QString& entry) {
    return markQuestion(QStringLiteral("Du försöker återställa den uteslutna transaktionen:"), entry);
}
inline const QString Readmitted = QStringLiteral("Transaktionen är återställd, kan hämtas och budgeteras !");

inline const QString EmptyListTitle = QStringLiteral("Tom transaktionslista");
inline QString emptyList(const QString& filterName) {
    return QStringLiteral("Listan för ") + filterName + QStringLiteral(" transaktioner") +
           QStringLiteral(" saknar f n innehåll !");
}

inline const QString NewTransactionTitle = QStringLiteral("Ny transaktion (?)");
inline const QString NewTransactionQuestion =
    QStringLiteral("Har du kontrollerat om den transaktion\nsom du tänker skriva in, kanske\nredan finns i "
                   "den här listan ?");

inline const QString ClearTitle = QStringLiteral("Rensa skrivfält");
inline const QString ClearQuestion = QStringLiteral("Vill du tömma alla datum- och beloppsfält ?");

inline const QString MissingTitle = QStringLiteral("Saknat belopp");
inline QString missingAmount(const QString& month) {
    return QStringLiteral("Belopp saknas för månad ") + month +
           QStringLiteral("\nVill du också radera datumet ?");
}

inline const QString RedDayTitle = QStringLiteral("Undvik budg.dag på 'Röd dag' !");
inline QString whollyOutside() {
    return QStringLiteral("Inställd budgetperiod ligger helt utanför möjlig täckning"
                          " av registrerade 'Röda dagar', varför ingen parering av dem är"
                          " möjlig vid föreslagna budgeteringsdagar !\n"
                          "Du får därför själv kontrollera om budgeteringsdagar inträffar på"
                          " 'Röda dagar' !");
}
inline QString partlyOutside() {
    return QStringLiteral("Inställd budgetperiod ligger helt eller delvis utanför möjlig täckning"
                          " av registrerade 'Röda dagar', varför parering av dem inte kan"
                          " garanteras vid föreslagna budgeteringsdagar !\n"
                          "Du bör därför själv kontrollera om budgeteringsdagar inträffar på"
                          " 'Röda dagar' !");
}

// Appended to the main window's limit message: the month whose post was refused and, when there
// are any, the months after it, none of which was written.
inline QString notBudgeted(const QString& month, bool laterMonths) {
    return QStringLiteral("\n\nMånaden ") + month +
           (laterMonths ? QStringLiteral(" och de följande månaderna budgeterades inte.")
                        : QStringLiteral(" budgeterades inte."));
}

} // namespace budget::alttext
