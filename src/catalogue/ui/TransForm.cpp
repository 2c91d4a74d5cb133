#include "catalogue/ui/TransForm.h"

#include "catalogue/Catalogue.h"
#include "catalogue/MainTransactions.h"
#include "catalogue/ui/CatalogueProcedures.h"
#include "store/Cp1252.h"
#include "store/Errors.h"
#include "store/History.h"
#include "store/Records.h"
#include "support/ui/Context.h"
#include "support/ui/Trap.h"
#include "support/ui/WindowPosition.h"

#include <QAction>
#include <QCloseEvent>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QShortcut>

namespace catalogue {

namespace {

const QString CRLF = QStringLiteral("\r\n");
const QString LF = QStringLiteral("\n");
const QChar Quote = QLatin1Char('"');

// The window's messages, in one place.
namespace text {

const QString StdTitle = QStringLiteral("Standardtransaktion för fondkonto");
QString standardInfo() {
    return QStringLiteral("Om kontot är ett fondkonto, och transaktionen avser ett regelbundet") +
           QStringLiteral(" uppdaterande av  kontot från ex.vis kontoutdrag på internet,") +
           QStringLiteral(" kan en standardtransaktion skapas:") + CRLF + CRLF +
           QStringLiteral("Förslag: ex. ") + Quote + QStringLiteral("Ändr. andelar & kurs") + Quote +
           QStringLiteral("eller något liknande adekvat namn.") + CRLF + CRLF +
           QStringLiteral("Då behöver transaktionen inte bindas till utgift eller inkomst,") +
           QStringLiteral(" vilket ju kan variera från gång till annan !") + CRLF + CRLF +
           QStringLiteral("Ett klick på rubriken") + Quote + QStringLiteral("Saldo") + Quote +
           QStringLiteral(", sedan") +
           QStringLiteral(" kopiera och klistra in ett nytt saldo från internet, och") +
           QStringLiteral(" programmet räknar fram och presenterar ändringen med denna") +
           QStringLiteral(" standardtransaktion !") + CRLF + CRLF +
           QStringLiteral("OBS - fungerar endast med en enda sådan transaktion !") +
           QStringLiteral(" Övriga måste ha en koppling till utgift eller inkomst !");
}

const QString MissingTitle = QStringLiteral("Saknat transaktionsnamn");
QString missing() {
    return QStringLiteral("Inget namn har angivits på transaktionen !") + CRLF + CRLF +
           QStringLiteral("Vill du avsluta och återvända till huvudformuläret ?");
}

const QString CheckTitle = QStringLiteral("Kontokontroll vid transaktionsändring");
QString changeQuestion(const QString& name) {
    return QStringLiteral("Du kan förändra transaktionen") + CRLF + CRLF + name + CRLF + CRLF +
           QStringLiteral("till annan text, genom att skriva in en ny sådan / editera") +
           QStringLiteral(" i textfältet !") + CRLF + CRLF +
           QStringLiteral("Ändringen kommer också att omfatta alla tidigare poster") +
           QStringLiteral(" som har denna transaktion !") + CRLF + CRLF +
           QStringLiteral("Vill du ändra denna transaktionstext ?");
}

const QString SignTitle = QStringLiteral("Teckenbyte");
QString signQuestion() {
    return QStringLiteral("Alternativt är också möjligt ändra transaktionens identitet,d v s") +
           QStringLiteral(" att skifta dess Inkomst till Utgift eller omvänt.") + CRLF + CRLF +
           QStringLiteral("Hela kontot kommer därefter genomsökas efter transaktionen") +
           QStringLiteral(" och för varje påträffad post omräknas") +
           QStringLiteral(" efterföljande saldon !") + CRLF + CRLF +
           QStringLiteral("Beroende på kontots storlek, kan detta ta längre eller") +
           QStringLiteral(" kortare tid.") + CRLF + CRLF +
           QStringLiteral("Resultat meddelas efter genomgången !") + CRLF + CRLF +
           QStringLiteral("Vill du  ändra transaktionens teckenidentitet ?");
}
QString signAfterRename() {
    return QStringLiteral("Ändringen kan också omfatta transaktionens") + CRLF +
           QStringLiteral("identitet,d v s att den skiftar Inkomst till") + CRLF +
           QStringLiteral("Utgift eller omvänt.") + CRLF + CRLF +
           QStringLiteral("Det betyder att hela kontot kommer genomsökas") +
           QStringLiteral(" efter transaktionen och för varje påträffad") +
           QStringLiteral(" post måste efterföljande saldon omräknas !") + CRLF + CRLF +
           QStringLiteral("Beroende på kontots storlek, kan detta ta längre") +
           QStringLiteral(" eller kortare tid.") + CRLF + CRLF +
           QStringLiteral("Resultat meddelas efter genomgången !") + CRLF + CRLF +
           QStringLiteral("Vill du fortsätta med att också ändra") +
           QStringLiteral(" transaktionens teckenidentitet ?");
}

const QString RenamedTitle = QStringLiteral("Ändrat transaktionsnamn");
QString renamed(const QString& oldName, const QString& newName) {
    return QStringLiteral("Transaktionsnamnet har ändrats från") + CRLF + CRLF + oldName + CRLF + CRLF +
           QStringLiteral("till") + CRLF + CRLF + newName + CRLF + CRLF +
           QStringLiteral("Är ändringen OK ?") + QStringLiteral(" (Återgå med 'Avbryt' !)");
}

const QString ChangeTitle = QStringLiteral("Transaktionsändring");
QString nameChanged(const QString& oldName, const QString& newName) {
    return QStringLiteral("Transaktionen  '") + oldName + QStringLiteral("'") + CRLF + CRLF +
           QStringLiteral("har nu bytts ut mot") + CRLF + CRLF + QStringLiteral("'") + newName +
           QStringLiteral("'") + CRLF + CRLF + QStringLiteral("i transaktionslistan") + CRLF + CRLF;
}
QString signNotUsed() {
    return QStringLiteral("Den ändrade transaktionen med teckenbyte, hittades inte i") +
           QStringLiteral(" någon av kontoposterna....") + CRLF + CRLF +
           QStringLiteral("Ändringen är enbart genomförd i transaktionslistan !");
}
const QString SignDoneTitle = QStringLiteral("Ändring av transaktion ");
QString signDone() {
    return QStringLiteral("Kontoposterna har kontrollräknats efter operationen, och är korrekta !") + CRLF;
}

QString deleteQuestion(const QString& name) {
    return QStringLiteral("Du vill radera transaktionen") + CRLF + CRLF + name + CRLF + CRLF +
           QStringLiteral("från detta konto ! ?") + CRLF + CRLF +
           QStringLiteral("Eftersom du därmed tar bort en transaktion, som kan ha använts") +
           QStringLiteral(" tidigare i dina kontoposter, måste programmet söka igenom") +
           QStringLiteral(" dessa efter transaktionen.") + CRLF + CRLF +
           QStringLiteral("(Bör påpekas att om transaktionen förekommer aktivt i kontot och") +
           QStringLiteral(" raderas, med åtföljande omräkningar av saldo, riskerar kontot") +
           QStringLiteral(" att bli missvisande relativt verkligheten !") + CRLF +
           QStringLiteral("Enstaka felaktigt inlagd transaktion kan, med fördel, alltid") +
           QStringLiteral(" tas bort genom att den markeras och 'Ta bort' klickas.") + CRLF +
           QStringLiteral("Då omräknas också efterföljande saldon !)") + CRLF + CRLF +
           QStringLiteral("Beroende på kontots storlek, kan det ta mer eller mindre tid.") + CRLF + CRLF +
           QStringLiteral("Utfallet meddelas efter genomgången !") + CRLF + CRLF +
           QStringLiteral("Vill du ta bort transaktionen från kontot nu ?") + CRLF;
}

const QString NotUsedTitle = QStringLiteral("Transaktionsradering");
QString deletedNotUsed(const QString& name) {
    return QStringLiteral("Transaktionen") + CRLF + CRLF + name + CRLF + CRLF +
           QStringLiteral("är nu raderad från listan !") + CRLF + CRLF +
           QStringLiteral("Transaktionen hittades dock inte i någon av kontoposterna....");
}

const QString OnlyPostTitle = QStringLiteral("Ta bort konto ? ?");
QString onlyPost(bool budget) {
    return (budget ? QStringLiteral("Du tar bort den enda posten på kontot.")
                   : QStringLiteral("Du tar bort den enda posten på kontot !")) +
           CRLF + CRLF + QStringLiteral("Därmed avslutar du också hela kontot !") + CRLF + CRLF + LF +
           QStringLiteral("Vill du fortsätta ?");
}
// Every one of several posts uses the transaction: deleting it takes them all, and the account.
QString everyPost(int count, const QString& name) {
    return QStringLiteral("Samtliga ") + QString::number(count) +
           QStringLiteral(" poster på kontot innehåller transaktionen") + CRLF + CRLF + name + CRLF + CRLF +
           QStringLiteral("Raderas transaktionen, tas alla kontots poster bort.") + CRLF + CRLF +
           QStringLiteral("Därmed avslutar du också hela kontot !") + CRLF + CRLF + LF +
           QStringLiteral("Vill du fortsätta ?");
}

QString deletedTitle(bool budget) {
    return budget ? QStringLiteral("Radering av transaktion ") : QStringLiteral("Radering av transaktion");
}
QString deleted(bool budget, int count, const QString& name, const QString& total,
                const QString& totalActual) {
    QString t = QString::number(count) + QStringLiteral(" st. kontopost(er) innehållande transaktionen") +
                CRLF + CRLF + name + CRLF + CRLF +
                (budget ? QStringLiteral("har nu avlägsnats !") : QStringLiteral("har avlägsnats !")) + CRLF +
                CRLF;
    if (budget)
        t += QStringLiteral("(Totalsumman av borttagna Budgetbelopp är ") + total + QStringLiteral(")") +
             CRLF + CRLF + QStringLiteral("(Totalsumman av borttagna Verkl.belopp är ") + totalActual +
             QStringLiteral(")") + CRLF + CRLF;
    else
        t += QStringLiteral("(Totalsumman av borttagna belopp är ") + total + QStringLiteral(")") + CRLF +
             CRLF;
    return t + QStringLiteral("Övriga kontoposter har kontrollräknats efter operationen,") +
           QStringLiteral(" och är korrekta !") + CRLF + LF;
}

} // namespace text

QString signWord(const QString& sign) {
    return sign == QLatin1String("+")   ? QStringLiteral("Inkomst")
           : sign == QLatin1String("-") ? QStringLiteral("Utgift")
                                        : QString();
}

support::ErrorDescription describe(const QString& routine, const QString& situation, QStringList values) {
    values.prepend(QStringLiteral("Fel i rutinen ") + routine);
    return {support::failureHeadline(routine, situation), values};
}

} // namespace

TransForm::TransForm(CatalogueHost& host, const QString& mode, const QString& caller)
    : QWidget(nullptr), host_(host), mode_(mode), caller_(caller) {
    setObjectName(QStringLiteral("TransForm"));
    setWindowTitle(QStringLiteral("Ny/Ändrad huvudtransaktion"));
    support::keepAbove(*this, caller_ == QLatin1String("budg") ? host_.budgAltWindow() : host_.hostWindow());

    auto* menu = new QMenuBar(this);
    hlp_mn_ = menu->addAction(QStringLiteral("Hjälp"));
    hlp_mn_->setObjectName(QStringLiteral("hlp_mn"));

    nameLabel_ = new QLabel(QStringLiteral("Transaktionsnamn"), this);
    nameLabel_->setObjectName(QStringLiteral("nameLabel"));
    nameBox_ = new QLineEdit(this);
    nameBox_->setObjectName(QStringLiteral("nameBox"));
    nameLabel_->setBuddy(nameBox_);
    nameBox_->setMaxLength(static_cast<int>(store::TransRec::TransNamn.width));
    changeOption_ = new QRadioButton(QStringLiteral("Ändra"), this);
    changeOption_->setObjectName(QStringLiteral("changeOption"));
    changeOption_->setToolTip(QStringLiteral("Byt text och/eller tecken"));
    deleteOption_ = new QRadioButton(QStringLiteral("Radera"), this);
    deleteOption_->setObjectName(QStringLiteral("deleteOption"));
    deleteOption_->setToolTip(QStringLiteral("Ta bort transaktion"));
    incomeOption_ = new QRadioButton(QStringLiteral("Inkomst"), this);
    incomeOption_->setObjectName(QStringLiteral("incomeOption"));
    incomeOption_->setToolTip(QStringLiteral("Inkomstpost"));
    expenseOption_ = new QRadioButton(QStringLiteral("Utgift"), this);
    expenseOption_->setObjectName(QStringLiteral("expenseOption"));
    expenseOption_->setToolTip(QStringLiteral("Utgiftspost"));
    for (QRadioButton* o : {changeOption_, deleteOption_, incomeOption_, expenseOption_})
        o->setAutoExclusive(false); // the window clears and sets them itself
    okButton_ = new QPushButton(QStringLiteral("OK"), this);
    okButton_->setObjectName(QStringLiteral("okButton"));
    okButton_->setEnabled(false);
    cancelButton_ = new QPushButton(QStringLiteral("Avbryt transaktion"), this);
    cancelButton_->setObjectName(QStringLiteral("cancelButton"));
    hintLabel_ = new QLabel(this);
    hintLabel_->setObjectName(QStringLiteral("hintLabel"));
    hintLabel_->setWordWrap(true);
    hintLabel_->setMinimumWidth(360);

    auto* layout = new QGridLayout(this);
    layout->setMenuBar(menu);
    layout->addWidget(nameLabel_, 0, 0, 1, 2);
    layout->addWidget(nameBox_, 1, 0, 1, 2);
    layout->addWidget(changeOption_, 2, 0);
    layout->addWidget(incomeOption_, 2, 1);
    layout->addWidget(deleteOption_, 3, 0);
    layout->addWidget(expenseOption_, 3, 1);
    layout->addWidget(hintLabel_, 4, 0, 1, 2);
    layout->addWidget(okButton_, 5, 0);
    layout->addWidget(cancelButton_, 5, 1);

    connect(nameBox_, &QLineEdit::returnPressed, this, &TransForm::nameEntered);
    connect(changeOption_, &QRadioButton::clicked, this, &TransForm::chooseChange);
    connect(deleteOption_, &QRadioButton::clicked, this, &TransForm::chooseDelete);
    connect(incomeOption_, &QRadioButton::clicked, this, &TransForm::chooseIncome);
    connect(expenseOption_, &QRadioButton::clicked, this, &TransForm::chooseExpense);
    connect(okButton_, &QPushButton::clicked, this, &TransForm::confirm);
    connect(cancelButton_, &QPushButton::clicked, this, &TransForm::cancel);
    // Esc is the cancel button.
    connect(new QShortcut(QKeySequence(Qt::Key_Escape), this), &QShortcut::activated, cancelButton_,
            &QPushButton::click);
    connect(hlp_mn_, &QAction::triggered, this, &TransForm::hlp_mn_Click);
}

void TransForm::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (loaded_)
        return;
    loaded_ = true;
    Form_Load();
}

bool TransForm::hasStandardTransaction() {
    return neutralStandardTransaction(host_.transakt()) != 0;
}

void TransForm::clearOption(QRadioButton* option) {
    option->setChecked(false);
}

void TransForm::setCallerEnabled(bool enabled) {
    QWidget* caller = caller_ == QLatin1String("budg") ? host_.budgAltWindow() : host_.hostWindow();
    if (caller)
        caller->setEnabled(enabled);
}

void TransForm::setHint(const QString& message, const QColor& colour) {
    hintLabel_->setText(QString(message).replace(CRLF, LF));
    QPalette palette = hintLabel_->palette();
    palette.setColor(QPalette::WindowText, colour.isValid() ? colour : QColor(Qt::black));
    hintLabel_->setPalette(palette);
}

void TransForm::Form_Load() {
    support::trapped(
        host_.context(), this,
        [this] { support::restoreWindowPosition(host_.context(), *this, store::WindowPair::TransForm); },
        [] {
            return describe(QStringLiteral("Form_Load"),
                            QStringLiteral(" vid försök att läsa fönstrets position."), {});
        });
    setCallerEnabled(false);
    for (QRadioButton* o : {changeOption_, deleteOption_, incomeOption_, expenseOption_})
        clearOption(o);
    if (mode_ == QLatin1String("ny")) {
        setWindowTitle(QStringLiteral("Nytt transaktionsnamn"));
        changeOption_->setEnabled(false);
        deleteOption_->setEnabled(false);
        incomeOption_->setEnabled(false);
        expenseOption_->setEnabled(false);
        setHint(QStringLiteral("Skriv ett namn på transaktionen. Avsluta med Enter !"));
        nameBox_->clear();
        nameBox_->setFocus();
        cancelButton_->setText(QStringLiteral("Avbryt ny transaktion"));
        if (host_.listMode() == QLatin1String("1") && !hasStandardTransaction())
            host_.context().dialogs.message(this, text::StdTitle, text::standardInfo());
        return;
    }
    current_ = host_.chosenMain();
    setWindowTitle(QStringLiteral("Ändra/Radera transaktionsnamn"));
    nameBox_->setText(current_.name);
    nameBox_->setReadOnly(true);
    changeOption_->setEnabled(true);
    deleteOption_->setEnabled(true);
    incomeOption_->setEnabled(false);
    expenseOption_->setEnabled(false);
    setHint(QStringLiteral("Markera ett alternativ 'Ändra' eller 'Radera'"));
    cancelButton_->setText(QStringLiteral("Avbryt transaktionsändr."));
}

void TransForm::nameEntered() {
    support::Context& ctx = host_.context();
    const QString typed = nameBox_->text().trimmed();
    if (mode_ == QLatin1String("ny")) {
        if (typed.isEmpty()) {
            if (ctx.dialogs.question(this, text::MissingTitle, text::missing())) {
                cancel();
                return;
            }
            clearOption(incomeOption_);
            clearOption(expenseOption_);
            nameBox_->setFocus();
            return;
        }
        if (!storableName(host_, this, typed)) {
            nameBox_->setFocus();
            return;
        }
        setHint(QStringLiteral("Markera ev. transaktionen för 'Inkomst' eller 'Utgift'"));
        incomeOption_->setEnabled(true);
        expenseOption_->setEnabled(true);
        if (host_.listMode() == QLatin1String("1") && !hasStandardTransaction()) {
            current_.sign.clear();
            okButton_->setEnabled(true);
            okButton_->setFocus();
        }
        return;
    }
    if (mode_ != QLatin1String("chg") || nameBox_->isReadOnly())
        return;
    // A rename to nothing would turn the transaction into a free slot under its posts.
    if (typed.isEmpty() || !storableName(host_, this, typed)) {
        nameBox_->setFocus();
        return;
    }
    switch (ctx.dialogs.questionOrCancel(this, text::RenamedTitle, text::renamed(current_.name, typed))) {
    case support::Dialogs::Answer::No:
        nameBox_->setFocus();
        return;
    case support::Dialogs::Answer::Yes:
        break;
    case support::Dialogs::Answer::Cancel:
        nameBox_->setText(current_.name);
        cancelButton_->setFocus();
        return;
    }
    if (ctx.dialogs.question(this, text::SignTitle, text::signAfterRename())) {
        signChoice(true);
        return;
    }
    current_.name = typed;
    TransChange();
}

void TransForm::chooseChange() {
    if (mode_ != QLatin1String("chg"))
        return;
    support::Context& ctx = host_.context();
    if (ctx.dialogs.question(this, text::CheckTitle, text::changeQuestion(current_.name))) {
        deleteOption_->setEnabled(false);
        nameBox_->setReadOnly(false);
        nameBox_->setToolTip(QStringLiteral("Ändra eller ange nytt transaktionsnamn"));
        setHint(QStringLiteral("Ändra befintligt namn, eller skriv ett nytt") + LF +
                    QStringLiteral("Tryck därefter ENTER !"),
                DarkGreen);
        nameBox_->setFocus();
        return;
    }
    if (ctx.dialogs.question(this, text::SignTitle, text::signQuestion())) {
        signChoice(false);
        return;
    }
    setCallerEnabled(true);
    host_.setTransactionBox(current_.name);
    host_.pressCancel();
    mode_.clear();
    cancel();
}

void TransForm::signChoice(bool renamed) {
    changeOption_->setEnabled(false);
    deleteOption_->setEnabled(false);
    clearOption(incomeOption_);
    clearOption(expenseOption_);
    incomeOption_->setEnabled(true);
    expenseOption_->setEnabled(true);
    incomeOption_->setToolTip(QStringLiteral("Sätt som Inkomstpost !"));
    expenseOption_->setToolTip(QStringLiteral("Sätt som Utgiftspost !"));
    setHint((renamed ? QStringLiteral("Transaktionsnamn ändrat, har hittills gällt som ")
                     : QStringLiteral("Transaktionen har hittills gällt som ")) +
            signWord(current_.sign) + LF +
            QStringLiteral("Klicka på fortsatt tillämpning, Inkomst eller Utgift !"));
}

void TransForm::chooseIncome() {
    chooseSign(QStringLiteral("+"));
}

void TransForm::chooseExpense() {
    chooseSign(QStringLiteral("-"));
}

void TransForm::chooseSign(const QString& sign) {
    const bool income = sign == QLatin1String("+");
    (income ? incomeOption_ : expenseOption_)->setChecked(true);
    (income ? expenseOption_ : incomeOption_)->setEnabled(false);
    const QString as = income ? QStringLiteral(" som Inkomst") : QStringLiteral(" som Utgift");
    if (mode_ == QLatin1String("ny")) {
        current_.sign = sign;
        setHint(QStringLiteral("Nytt transaktionsnamn är ") + nameBox_->text().trimmed() + as + CRLF +
                QStringLiteral("Bekräfta med OK,") +
                QStringLiteral(" eller avbryt med 'Avbryt ny transaktion'"));
    } else {
        targetSign_ = sign;
        setHint(QStringLiteral("Slutför ändringen av transaktionen till ") + nameBox_->text() + as +
                QStringLiteral(" genom att klicka på OK.") + CRLF +
                QStringLiteral("Eller avbryt ändringen genom att klicka på 'Avbryt transaktion'"));
    }
    okButton_->setEnabled(true);
    okButton_->setFocus();
}

void TransForm::chooseDelete() {
    if (mode_ != QLatin1String("chg"))
        return;
    if (host_.context().dialogs.question(this, text::CheckTitle, text::deleteQuestion(current_.name))) {
        TransRadera();
        return;
    }
    current_ = {};
    host_.setChosenMain({});
    nameBox_->clear();
    cancel();
}

void TransForm::confirm() {
    okButton_->setEnabled(false);
    if (mode_ == QLatin1String("ny")) {
        incomeOption_->setEnabled(false);
        expenseOption_->setEnabled(false);
        current_.name = nameBox_->text().trimmed();
        TransSpar();
        return;
    }
    if (mode_ == QLatin1String("chg")) {
        current_.name = nameBox_->text().trimmed();
        TransChange();
    }
}

void TransForm::TransSpar() {
    if (!storableName(host_, this, current_.name))
        return;
    const int number = catalogue::TransSpar(host_, this, current_.name, current_.sign, caller_);
    if (number == 0)
        return;
    current_ = host_.chosenMain();
    mode_.clear();
    cancel();
    // Made for an entry in the ledger: the new transaction is the entry's, not an empty box.
    if (caller_ != QLatin1String("budg"))
        host_.chooseMainTransaction(number);
}

void TransForm::TransChange() {
    support::Context& ctx = host_.context();
    const bool budget = host_.accountKind() == QLatin1String("Bg");
    const QString newSign = targetSign_.isEmpty() ? current_.sign : targetSign_;
    QString oldName;
    ChangeResult result;
    PostTrace trace;
    const bool done = support::trapped(
        ctx, this,
        [&] {
            const auto rec =
                host_.transakt().read<store::TransRec>(static_cast<std::size_t>(current_.number));
            oldName = QString::fromStdString(store::cp1252ToUtf8(rec.text(store::TransRec::TransNamn)));
            const auto name = store::utf8ToCp1252(current_.name.toStdString());
            if (!name)
                throw store::DataError("Namnet innehåller tecken som inte kan sparas");
            const AccountFiles files{host_.transakt(), host_.kontoData(),         host_.postCount(),
                                     budget,           ctx.paths.journalFolder(), &trace};
            const char sign = newSign == QLatin1String("+") ? '+' : newSign == QLatin1String("-") ? '-' : ' ';
            store::describeChange((oldName == current_.name
                                       ? QStringLiteral("ändrat tecken för ") + oldName
                                       : QStringLiteral("omdöpt transaktion ") + oldName +
                                             QStringLiteral(" till ") + current_.name)
                                      .toStdString());
            result = changeMainTransaction(files, current_.number, *name, sign);
        },
        [&] {
            return describe(
                QStringLiteral("TransChange"), QStringLiteral(" vid försök att ändra en transaktion."),
                QStringList{QStringLiteral("TransNr = ") + QString::number(current_.number),
                            QStringLiteral("TransNamn = ") + current_.name,
                            QStringLiteral("Tecken före ändring [") + current_.sign + QStringLiteral("]"),
                            QStringLiteral("Tecken ändras till [") + newSign + QStringLiteral("]"),
                            QStringLiteral("Antal poster = ") + QString::number(host_.postCount()),
                            QStringLiteral("Antal poster i Transakt = ") +
                                QString::number(host_.transakt().count())} +
                    traceLines(trace, budget));
        });
    if (!done)
        return;
    if (result.outcome != ledger::Outcome::Done) {
        showLimitRefusal(host_, this);
        cancel();
        return;
    }
    current_.sign = newSign;
    host_.setChosenMain(current_);
    host_.reloadTransactionList();
    if (!result.signChanged) {
        host_.reloadLedgerView();
        ctx.dialogs.message(this, text::ChangeTitle, text::nameChanged(oldName, current_.name));
    } else if (result.firstPost == 0) {
        ctx.dialogs.message(this, text::ChangeTitle, text::signNotUsed());
    } else {
        host_.setRecountStart(result.firstPost);
        host_.balanceCheck(result.firstPost);
        host_.reloadLedgerView();
        ctx.dialogs.message(this, text::SignDoneTitle, text::signDone());
    }
    setCallerEnabled(true);
    host_.setTransactionBox(current_.name);
    host_.pressCancel();
    mode_.clear();
    cancel();
}

void TransForm::TransRadera_Enkel() {
    TransRadera();
}

void TransForm::TransRadera_Budget() {
    TransRadera();
}

void TransForm::TransRadera() {
    support::Context& ctx = host_.context();
    const bool budget = host_.accountKind() == QLatin1String("Bg");
    const QString routine =
        budget ? QStringLiteral("TransRadera_Budget") : QStringLiteral("TransRadera_Enkel");
    DeleteResult result;
    PostTrace trace;
    const bool done = support::trapped(
        ctx, this,
        [&] {
            const AccountFiles files{host_.transakt(), host_.kontoData(),         host_.postCount(),
                                     budget,           ctx.paths.journalFolder(), &trace};
            store::describeChange("borttagen transaktion " + current_.name.toStdString());
            result = deleteMainTransaction(files, current_.number);
        },
        [&] {
            return describe(
                routine,
                budget ? QStringLiteral(" vid försök att radera en transaktion för budgetkonto")
                       : QStringLiteral(" vid försök att radera en transaktion för Enkelt konto"),
                QStringList{QStringLiteral("TransNr = ") + QString::number(current_.number),
                            QStringLiteral("TransNamn = ") + current_.name,
                            QStringLiteral("Antal poster = ") + QString::number(host_.postCount()),
                            QStringLiteral("Antal poster i Transakt = ") +
                                QString::number(host_.transakt().count())} +
                    traceLines(trace, budget));
        });
    if (!done)
        return;

    if (result.outcome == ledger::Outcome::OnlyPost) {
        // Every post uses the transaction, and an account without posts would be taken for a
        // damaged one: the account goes as a whole or not at all. Nothing is written yet, so No
        // leaves the account and its catalogue as they were.
        const QString question =
            result.postCount > 1 ? text::everyPost(result.postCount, current_.name) : text::onlyPost(budget);
        if (!ctx.dialogs.question(this, text::OnlyPostTitle, question)) {
            cancel();
            return;
        }
        mode_.clear();
        setCallerEnabled(true);
        // The removal reports its outcome and reads the register again itself.
        if (host_.Reducera_Konto())
            closeWindow();
        else
            cancel();
        return;
    }
    if (result.outcome != ledger::Outcome::Done) {
        showLimitRefusal(host_, this);
        cancel();
        return;
    }

    host_.reloadTransactionList();
    host_.setTransactionBox(QString());
    if (result.removedPosts == 0) {
        ctx.dialogs.message(this, text::NotUsedTitle, text::deletedNotUsed(current_.name));
    } else {
        host_.setPostCount(result.postCount);
        host_.setRecountStart(result.recountStart);
        host_.balanceCheck(result.recountStart);
        host_.reloadLedgerView();
        ctx.dialogs.message(this, text::deletedTitle(budget),
                            text::deleted(budget, result.removedPosts, current_.name,
                                          QString::fromStdString(result.total.amountText()),
                                          QString::fromStdString(result.totalActual.amountText())));
    }
    host_.setChosenMain({});
    cancel();
}

void TransForm::cancel() {
    cancelSteps();
    closeWindow();
}

void TransForm::cancelSteps() {
    support::trapped(
        host_.context(), this,
        [this] { support::storeWindowPosition(host_.context(), *this, store::WindowPair::TransForm); },
        [] {
            return describe(QStringLiteral("Command2_Click"),
                            QStringLiteral(" vid försök att spara fönstrets position."), {});
        });
    if (caller_ == QLatin1String("budg")) {
        setCallerEnabled(true);
        host_.budgAltConditions();
    } else {
        setCallerEnabled(true);
        host_.setTransactionBox(QString());
        host_.pressCancel();
    }
    mode_.clear();
}

void TransForm::hlp_mn_Click() {
    host_.context().platform.showHelp(20000);
}

void TransForm::closeWindow() {
    closing_ = true;
    close();
    closing_ = false;
}

void TransForm::closeEvent(QCloseEvent* event) {
    // The close button of the title bar is a cancel; the calling window never stays disabled.
    if (!closing_)
        cancelSteps();
    event->accept();
}

} // namespace catalogue
