#include "catalogue/ui/CatalogueProcedures.h"

#include "catalogue/Catalogue.h"
#include "catalogue/MainTransactions.h"
#include "ledger/ui/LedgerFrame.h"
#include "store/Cp1252.h"
#include "store/Errors.h"
#include "store/History.h"
#include "store/Records.h"
#include "support/ui/Context.h"
#include "support/ui/InsetBox.h"
#include "support/ui/Trap.h"

#include <QWidget>

#include <span>

namespace catalogue {

namespace {

const QString CRLF = QStringLiteral("\r\n");

char signByte(const QString& sign) {
    return sign == QLatin1String("+") ? '+' : sign == QLatin1String("-") ? '-' : ' ';
}

QString accountName(CatalogueHost& host) {
    return QString::fromStdString(store::cp1252ToUtf8(host.accountNameBytes()));
}

// A field of a post record as the report shows it; "" for a record not read.
QString fieldText(const std::string& record, store::Field f) {
    if (record.size() < f.offset + f.width)
        return {};
    return QString::fromStdString(store::cp1252ToUtf8(store::trimField(record.substr(f.offset, f.width))));
}

} // namespace

QStringList traceLines(const PostTrace& trace, bool budget) {
    using store::PostRec_Budget;
    using store::PostRec_Enkel;
    struct Label {
        const char* before;
        const char* after;
        store::Field field;
    };
    static const Label cash[] = {{"Belopp för ändr ", "Res Belopp efter ändr ", PostRec_Enkel::Belopp},
                                 {"Saldo för ändr. ", "Res Saldo efter ändr. ", PostRec_Enkel::Saldo}};
    static const Label budg[] = {
        {"Budgetbelopp för ändr ", "Res Budgetbelopp efter ändr ", PostRec_Budget::BudgBelopp},
        {"Verkl.belopp för ändr ", "Res Verkl.belopp efter ändr ", PostRec_Budget::VerklBelopp},
        {"Budg.saldo före ändr. ", "Res Budg.saldo efter ändr. ", PostRec_Budget::BudgSaldo},
        {"Verkl.saldo före ändr ", "Res verkl.saldo efter ändr ", PostRec_Budget::VerklSaldo}};
    QStringList lines{QStringLiteral("PostNr ") + QString::number(trace.post)};
    if (trace.post == 0)
        return lines;
    const auto table = budget ? std::span<const Label>(budg) : std::span<const Label>(cash);
    for (const Label& l : table)
        lines << QString::fromUtf8(l.before) + fieldText(trace.before, l.field);
    if (!trace.after.empty())
        for (const Label& l : table)
            lines << QString::fromUtf8(l.after) + fieldText(trace.after, l.field);
    return lines;
}

std::optional<std::string> storableName(CatalogueHost& host, QWidget* parent, const QString& name) {
    auto bytes = store::utf8ToCp1252(name.toStdString());
    if (!bytes)
        host.context().dialogs.message(parent, QStringLiteral("Transaktionsnamn"),
                                       QStringLiteral("Namnet innehåller tecken som inte kan sparas !\n"
                                                      "Skriv namnet med andra tecken."),
                                       support::Dialogs::Icon::Exclamation);
    return bytes;
}

void showLimitRefusal(CatalogueHost& host, QWidget* parent) {
    host.context().dialogs.message(parent, QStringLiteral("Överskriden max-nivå"),
                                   ledger::LedgerFrame::amountLimitText());
}

int TransSpar(CatalogueHost& host, QWidget* parent, const QString& name, const QString& sign,
              const QString& caller) {
    int number = 0;
    const bool saved = support::trapped(
        host.context(), parent,
        [&] {
            const auto bytes = store::utf8ToCp1252(name.toStdString());
            if (!bytes)
                throw store::DataError("Namnet innehåller tecken som inte kan sparas");
            store::describeChange("ny transaktion " + name.toStdString());
            number = createMainTransaction(host.transakt(), *bytes, signByte(sign));
        },
        [&] {
            return support::ErrorDescription{
                QStringLiteral("Ett fel har uppstått i subrutinen TransSpar") + CRLF +
                    QStringLiteral(" vid försök att spara ny eller ändrad transaktion.") + CRLF + CRLF,
                {QStringLiteral("Fel i rutinen TransSpar"), QStringLiteral("TransNamn = ") + name,
                 QStringLiteral("Tecken = [") + sign + QStringLiteral("]"),
                 QStringLiteral("Antal poster i Transakt = ") + QString::number(host.transakt().count()),
                 QStringLiteral("Felet uppstod i konto ") + accountName(host)}};
        });
    if (!saved)
        return 0;
    host.setChosenMain({name, number, sign});
    if (caller == QLatin1String("budg")) {
        host.budgAltConditions();
        if (QWidget* budgAlt = host.budgAltWindow())
            budgAlt->setEnabled(true);
        return number;
    }
    if (QWidget* main = host.hostWindow())
        main->setEnabled(true);
    host.disableActionButton();
    host.reloadTransactionList();
    host.setTransactionBox(name);
    host.unlockAmountBox();
    host.pressCancel();
    return number;
}

void Skapa_StdTrans(CatalogueHost& host, QWidget* parent) {
    support::Context& ctx = host.context();
    int number = 0;
    for (;;) {
        number = neutralStandardTransaction(host.transakt());
        if (number != 0)
            break;
        const QString answer = support::InmatningsBox(
            ctx, parent,
            QStringLiteral("Neutral transaktion används för uppdateringen av fondkontot,"
                           " gällande såväl positiva som negativa förändringar.") +
                CRLF +
                QStringLiteral("Transaktionen hämtas i samband med att saldo skrivs, alt. kopieras"
                               " in från ex. kontoutdrag !") +
                CRLF +
                QStringLiteral("Transaktionsbeloppet framräknas, teckensätts och läggs"
                               " in automatiskt !") +
                CRLF + CRLF + QStringLiteral("(Förslag på transaktionens benämning nedan:)"),
            QStringLiteral("Standardtransaktion för fondkonto"), QStringLiteral("Ändrad andel / kurs"));
        const QString name = answer.trimmed();
        if (name.isEmpty()) {
            host.pressCancel();
            return;
        }
        if (!storableName(host, parent, name))
            continue;
        if (!TransSpar(host, parent, name.left(static_cast<int>(store::TransRec::TransNamn.width)), QString(),
                       QStringLiteral("head")))
            return;
        host.markSaldoHeading();
    }
    const auto rec = host.transakt().read<store::TransRec>(static_cast<std::size_t>(number));
    const QString name = QString::fromStdString(store::cp1252ToUtf8(rec.text(store::TransRec::TransNamn)));
    host.setChosenMain({name, number, QString()});
    host.setTransactionBox(name);
    host.unlockAmountBox();
    ctx.dialogs.message(parent, QString(),
                        QStringLiteral("Skriv eller kopiera in ett nytt uppdaterat Saldo !"));
    host.startBalanceEntry();
}

std::optional<ReplaceResult> ChgAccountTrans(CatalogueHost& host, QWidget* parent, const Replacement& r) {
    const bool budget = host.accountKind() == QLatin1String("Bg");
    ReplaceResult result;
    PostTrace trace;
    const bool done = support::trapped(
        host.context(), parent,
        [&] {
            const ReplaceTarget target{host.kontoData(),
                                       host.postCount(),
                                       budget,
                                       budget ? host.budgetMall() : nullptr,
                                       host.workingDate().toStdString(),
                                       host.context().today,
                                       host.context().paths.journalFolder(),
                                       &trace};
            store::describeChange(r.all ? "transaktionsbyte i alla poster" : "transaktionsbyte i en post");
            result = replaceMainTransaction(target, r);
        },
        [&] {
            support::ErrorDescription description{
                QStringLiteral("Ett fel har uppstått i subrutinen ChgAccountTrans") + CRLF +
                    QStringLiteral("vid försök att ändra transaktion i kontopost.") + CRLF + CRLF,
                {QStringLiteral("Fel i rutinen ChgAccountTrans"),
                 QStringLiteral("vid försök att ändra transaktion i kontopost"),
                 QStringLiteral("Tecken före ändring [") + QChar(r.oldSign) + QStringLiteral("]"),
                 QStringLiteral("Tecken ändras till [") + QChar(r.newSign) + QStringLiteral("]")}};
            if (trace.post == 0)
                trace.post = r.all ? 0 : r.markedPost;
            QStringList lines = traceLines(trace, budget);
            // This report names the post after its amounts.
            lines.append(lines.takeFirst());
            description.details += lines;
            description.details << QStringLiteral("Felet uppstod i konto ") + accountName(host);
            return description;
        });
    if (!done)
        return std::nullopt;
    if (result.outcome != ledger::Outcome::Done) {
        showLimitRefusal(host, parent);
        return result;
    }
    if (budget && result.signChanged)
        host.budgetMallChanged();
    if (result.signChanged && result.changedPosts > 0)
        host.balanceCheck(result.recountStart);
    host.setRecountStart(r.markedPost);
    host.reloadLedgerView();
    if (budget)
        host.pressCancel(true);
    return result;
}

} // namespace catalogue
