// Every text the two ledger frames say through the procedures they share, one kind beside the
// other, so a difference between them is a difference of words and never of rules.

#include "ledger/ui/LedgerKind.h"

namespace ledger {

namespace {

const QString Combo = QStringLiteral("TransCombo_Budget_Click");

// The empty transaction box says the same in both frames.
const Help EmptyBox[] = {
    {QStringLiteral("Ny huvudtransaktion ! ?"),
     QStringLiteral("Klicka för att lägga till en ny transaktion,\neller välj en befintlig från listan !")},
    {QStringLiteral("Lägg till en subtransaktion !"),
     QStringLiteral("Klicka för att skapa en första subtransaktion !")},
    {QStringLiteral("Ny subtransaktion ! ?"),
     QStringLiteral(
         "Klicka för att lägga till en ny subtransaktion,\neller välj en befintlig från listan !")},
};

LedgerKind makeCash() {
    LedgerKind k;
    k.suffix = QStringLiteral("Enkel");
    k.markCode = QStringLiteral("mkg1");
    k.gridReportName = QStringLiteral("G1");
    k.gridHelp =
        QStringLiteral(" Markera rad för borttagn. eller ändring.\n Flytta post ? Klicka först på [Flytta].");
    k.tickColumn = 4;
    k.gridError = {QStringLiteral(" vid markering av kontopost."),
                   {QStringLiteral("Fel i rutinen G1_Click")}};
    k.removeError = {QStringLiteral(" vid radering av post från datafilen."),
                     {QStringLiteral("Fel i rutinen UtPost_Enkel"),
                      QStringLiteral("vid radering av post från datafilen")}};
    k.moveError = {QStringLiteral(" vid försök att flytta post(er) till nytt datum."),
                   {QStringLiteral("Fel i rutinen PostMover_Enkel"),
                    QStringLiteral("vid försök att flytta post(er) till nytt datum")}};
    k.wholeMoveRows = true;
    k.gridOpenForChange = true;
    k.askNewWithEmptyList = false;
    k.oldSignBlankIsExpense = true;
    k.optionHelp = false;
    k.replaceOne =
        QStringLiteral("Vill du byta ut transaktionen\r\n\r\n{1}\r\n\r\ni ENBART denna kontopost ?");
    k.explainOne = QStringLiteral(
        "Du kan byta ut transaktionen\r\n\r\n{1}\r\n\r\ni endast denna kontopost, mot en annan befintlig i "
        "listan, genom att du klickar ned denna och väljer en ny transaktion.\r\n\r\nOm den nya "
        "transaktionen har samma tecken som den tidigare, behövs ingen omräkning.\r\nÄr däremot den nya "
        "av annat tecken (utgift blir = inkomst eller vice versa), måste omräkningar av saldon "
        "genomföras fr o m denna kontopost.\r\n\r\nBeroende på postens läge i kontot och kontots "
        "storlek, kan det ta mer eller mindre tid. Utfallet meddelas efter genomförandet !\r\n\r\nVill du "
        "byta ut transaktionen ?");
    k.replaceAll =
        QStringLiteral("Vill du byta ut transaktionen\r\n\r\n{1}\r\n\r\ni ALLA förekommande kontoposter ?");
    k.explainAll = QStringLiteral(
        "Du kan byta ut transaktionen\r\n\r\n{1}\r\n\r\ni samtliga förekommande kontoposter mot en annan "
        "befintlig i listan genom att du klickar ned denna och väljer en ny transaktion.\r\n\r\nPogrammet "
        "kommer att söka igenom och åtgärda alla kontoposterna som har den tidigare transaktionen "
        "!\r\nOm utbytet även innebär ett teckenbyte\r\n(utgift har blivit inkomst eller "
        "omvänt)\r\nmåste även en ny saldoberäkning utföras.\r\nBeroende på kontots storlek kan detta ta "
        "mer eller mindre tid.\r\n\r\nUtfallet meddelas efter genomgången !\r\n\r\nVill du byta "
        "transaktionen i alla förekommande kontoposter ?");
    k.confirmReplace = QStringLiteral(
        "Vill du verkligen byta transaktionen till den föreslagna:\r\n\r\n{1}\r\n\r\nsom ersättning "
        "för:\r\n\r\n{2}  ? ?\r\n\r\nOBS att beloppet ej ändras i denna operation !\r\n(Ev. teckenändring "
        "medför dock omräkning !)\r\n");
    k.replaced = QStringLiteral(
        "Transaktionen\r\n\r\n{1}\r\n\r\nhar nu bytts ut mot föreslagen\r\n\r\n{2}\r\n\r\n\ni en eller "
        "flera poster, enligt önskemål !\r\n\r\nVid ev. teckenbyte har omräkning och efterföljande "
        "saldokontroll skett !\r\n\r\n");
    k.subReplace =
        QStringLiteral("Vill du ersätta texten:\r\n\r\n{1}\r\n\r\nmed texten:\r\n\r\n{2}\r\n\r\nför "
                       "att förtydliga transaktionen ?");
    k.subAdd = QStringLiteral(
        "Vill du lägga in subtransaktionen\r\n\r\n{1}\r\n\r\nför att komplettera transaktionen ?");
    k.changeMain = QStringLiteral(
        "Vill du ändra eller radera denna transaktion ?\r\n\r\n{1}\r\n\r\nKlicka då 'Ja' och sedan på "
        "något av alternativen [Ändra] eller [Radera] !\r\n\r\nEller avstå genom att klicka 'Nej' !");
    k.newMain = QStringLiteral("Har du kontrollerat om den transaktion\nsom du tänker skapa, kanske\nredan "
                               "finns i den här listan ?");
    k.newSub = QStringLiteral("Har du kontrollerat om den transaktion som du tänker skapa, kanske redan "
                              "finns på den här listan ?");
    k.transTextHelp = {{
        {QStringLiteral("Byt ev. ut huvudtransaktion för denna post"),
         QStringLiteral("Klicka för att ev. byta huvudtransaktion för kontoposten")},
        {QStringLiteral("Klicka för ev. radering av subtransaktionen"),
         QStringLiteral("Klicka för att ev. avlägsna subtransaktionen från kontopost !")},
        {QStringLiteral("Ändra eller ta bort huvudtransaktion !"),
         QStringLiteral("Klicka för att ändra / radera huvudtransaktion")},
        {QStringLiteral("Klicka för ev. radering av subtransaktionen"),
         QStringLiteral("Klicka för att ev. avlägsna subtransaktionen från listan !")},
        {QStringLiteral("Inskrivning av ny subtransaktion pågår"),
         QStringLiteral("Ny subtransaktion under inskrivning !")},
        EmptyBox[0],
        EmptyBox[1],
        EmptyBox[2],
    }};
    const ErrorText any{QStringLiteral(" vid val på transaktionslistan."),
                        {QStringLiteral("Fel i rutinen TransCombo_Enkel_Click")}};
    k.listErrors = {any, any, any, any, any};
    return k;
}

LedgerKind makeBudget() {
    LedgerKind k;
    k.suffix = QStringLiteral("Budget");
    k.markCode = QStringLiteral("mkg2");
    k.gridReportName = QStringLiteral("G2");
    k.gridHelp = QStringLiteral(" Markera rad innan klick på [Ta bort] eller [Bekräfta]. \n För att flytta "
                                "post, klicka först på [Flytta].");
    k.tickColumn = 7;
    k.gridError = {
        QStringLiteral("vid markering av kontopost Budgetbokf."),
        {QStringLiteral("Fel i rutinen G2_Click"), QStringLiteral("vid markering av kontopost Budget")}};
    k.removeError = {QStringLiteral("vid radering av post från datafilen."),
                     {QStringLiteral("Fel i rutinen UtPost_Budget")}};
    k.moveError = {QStringLiteral("vid försök att flytta post(er) till nytt datum."),
                   {QStringLiteral("Fel i rutinen PostMover_Budget"),
                    QStringLiteral("vid försök att flytta post(er) till nytt datum..")}};
    k.wholeMoveRows = false;
    k.gridOpenForChange = false;
    k.askNewWithEmptyList = true;
    k.oldSignBlankIsExpense = false;
    k.optionHelp = true;
    k.reportLines = {QStringLiteral("Kontoslag = BudgetKonto")};
    k.replaceOne = QStringLiteral("Vill du byta ut transaktionen\ni ENBART denna kontopost ?");
    k.explainOne = QStringLiteral(
        "Du kan byta ut transaktionen\ni endast denna kontopost, mot en annan befintlig i listan,\n genom "
        "att du klickar ned denna och väljer en ny\n transaktion.\n\nOm den nya transaktionen har samma "
        "tecken som den tidigare,\n behövs ingen omräkning.\nÄr däremot den nya av annat "
        "tecken\n(utgift blir = inkomst eller vice versa)\nmåste omräkningar av saldon genomföras fr o m "
        "denna\n kontopost.\n\nBeroende på postens läge i kontot och kontots storlek,\n kan det ta mer "
        "eller mindre tid.\nUtfallet meddelas efter genomförandet !\n\nVill du byta ut transaktionen ?");
    k.replaceAll = QStringLiteral("Vill du byta ut transaktionen\ni ALLA förekommande kontoposter ?");
    k.explainAll = QStringLiteral(
        "Du kan byta ut transaktionen\ni samtliga förekommande kontoposter mot en annan befintlig\n i "
        "listan genom att du klickar ned denna och väljer en\n ny transaktion.\n\nPogrammet kommer att "
        "söka igenom och åtgärda alla\n kontoposterna som har den tidigare transaktionen.\nOm utbytet "
        "även innebär ett teckenbyte\n(utgift har blivit inkomst eller omvänt)\nmåste även en ny "
        "saldoberäkning utföras.\nBeroende på kontots storlek kan detta ta\n mer eller mindre "
        "tid.\n\nUtfallet meddelas efter genomgången !\n\nVill du byta transaktionen i alla "
        "förekommande kontoposter ?");
    k.confirmReplace = QStringLiteral(
        "Vill du verkligen byta transaktionen\ntill den föreslagna:\n\n{1}\n\nsom ersättning för:\n\n{2}  "
        "? ?\n\nOBS att beloppet ej ändras i\ndenna operation ! (Ev. tecken-\nändring medför dock "
        "omräkning !)");
    k.replaced = QStringLiteral(
        "Transaktionen\n\n{1}\n\nhar nu bytts ut mot föreslagen\n\n{2}\n\ni en eller flera poster, "
        "enligt\nönskemål !\n\nVid ev. teckenbyte har omräkning\noch efterföljande saldokontroll\nskett !");
    k.subReplace = QStringLiteral(
        "Vill du ersätta texten:\n\n{1}\n\nmed texten:\n\n{2}\n\nför att precisera transaktionen ?");
    k.subAdd =
        QStringLiteral("Vill du lägga in subtransaktionen\n\n{1}\n\nför att precisera transaktionen ?");
    k.changeMain = QStringLiteral(
        "Vill du ändra eller radera denna transaktion ?\n\nKlicka då 'Ja' och sedan på något av "
        "alternativen [Ändra]\n eller [Radera] !\n\nEller avstå genom att klicka 'Nej' !");
    k.newMain = QStringLiteral(
        "Har du kontrollerat om den transaktion som du tänker skriva\n in, kanske redan finns i den här "
        "listan ?");
    k.newSub = QStringLiteral("Har du kontrollerat om den text\n som du tänker skriva in, kanske\n redan "
                              "finns på den här listan ?");
    k.transTextHelp = {{
        {QStringLiteral("Byt ev. ut transaktion för denna post"),
         QStringLiteral("Klicka för att ev. byta transaktion för kontoposten")},
        {QStringLiteral("Klicka för ev. radering av transaktionen"),
         QStringLiteral("Klicka för att ev. avlägsna transaktionen från kontopost !")},
        {QStringLiteral("Ändra eller ta bort transaktion !"),
         QStringLiteral("Klicka för att ändra / radera transaktion")},
        {QStringLiteral("Klicka för ev. radering av transaktionen"),
         QStringLiteral("Klicka för att ev. avlägsna transaktionen från listan !")},
        {QStringLiteral("Inskrivning av ny transaktion pågår"),
         QStringLiteral("Ny subtransaktion under inskrivning !")},
        EmptyBox[0],
        EmptyBox[1],
        EmptyBox[2],
    }};
    const auto numbered = [](int n) { return QStringLiteral("Fel nr %1 i rutinen ").arg(n) + Combo; };
    k.listErrors = {{
        {QStringLiteral("vid val på Transaktionslistan\r\noch hämtning av transaktion"),
         {QStringLiteral("Fel i rutinen ") + Combo}},
        {QStringLiteral("när transaktion har valts för\r\nkontopost i ett budgetkonto"), {numbered(3)}},
        {QStringLiteral(
             "när en kontopost har valts och en\r\nklickning har utförts i transak-\r\ntionslistan "
             "för att byta transak-\r\ntion"),
         {numbered(2), QStringLiteral("vid klickad transaktion i TransCombo_Budget för")}},
        {QStringLiteral("när subtransaktion ska tillföras\r\neller ersättas av annan i kontopost"),
         {numbered(6)}},
        {QStringLiteral("när subtransaktion har valts\r\nfrån listan"), {numbered(1)}},
    }};
    return k;
}

} // namespace

const LedgerKind& cashKind() {
    static const LedgerKind kind = makeCash();
    return kind;
}

const LedgerKind& budgetKind() {
    static const LedgerKind kind = makeBudget();
    return kind;
}

QString fill(const QString& pattern, const QString& first, const QString& second) {
    QString out;
    out.reserve(pattern.size() + first.size() + second.size());
    for (qsizetype i = 0; i < pattern.size(); ++i) {
        if (pattern.at(i) == '{' && i + 2 < pattern.size() && pattern.at(i + 2) == '}' &&
            (pattern.at(i + 1) == '1' || pattern.at(i + 1) == '2')) {
            out += pattern.at(i + 1) == '1' ? first : second;
            i += 2;
        } else {
            out += pattern.at(i);
        }
    }
    return out;
}

} // namespace ledger
