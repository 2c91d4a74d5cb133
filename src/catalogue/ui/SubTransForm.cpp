#include "catalogue/ui/SubTransForm.h"

#include "catalogue/Catalogue.h"
#include "catalogue/SubTransactions.h"
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

namespace text {

const QString MissingTitle = QStringLiteral("Saknat transaktionsnamn");
QString missing() {
    return QStringLiteral("Inget namn har angivits på subtransaktionen !") + CRLF + CRLF +
           QStringLiteral("Vill du avsluta och återvända till huvudformuläret ?");
}
const QString RenameTitle = QStringLiteral("Nytt eller ändrat namn på subtransaktion");
QString rename(const QString& name) {
    return QStringLiteral("Vill du ändra namnet på subtransaktionen ") + name;
}
const QString RenamedTitle = QStringLiteral("Ändrat transaktionsnamn");
QString renamed(const QString& oldName, const QString& newName) {
    return QStringLiteral("Namnet på subtransaktionen föreslås ändrat från:") + CRLF + oldName +
           QStringLiteral("  till  ") + newName + CRLF + CRLF + QStringLiteral("Är ändringen OK ?");
}
const QString DeletedTitle = QStringLiteral("Radering subtransaktion");
QString deleted(const QString& name, int count) {
    return QStringLiteral("SubTransaktionen") + CRLF + CRLF + name + CRLF + CRLF +
           QStringLiteral("är nu raderad från listan !") + CRLF + CRLF +
           (count >= 1 ? QStringLiteral("SubTransaktionen hittades i ") + QString::number(count) +
                             QStringLiteral(" kontoposter") + QStringLiteral(" och raderades från dessa !")
                       : QStringLiteral("SubTransaktionen hittades dock inte i någon av kontoposterna...."));
}

} // namespace text

support::ErrorDescription describe(const QString& headline, const QString& routineLine, QStringList values) {
    values.prepend(routineLine);
    return {headline + CRLF + CRLF, values};
}

} // namespace

SubTransForm::SubTransForm(CatalogueHost& host, const QString& mode)
    : QWidget(nullptr), host_(host), mode_(mode) {
    setObjectName(QStringLiteral("SubTransForm"));
    setWindowTitle(QStringLiteral("Subtransaktion"));
    support::keepAbove(*this, host_.hostWindow());

    auto* menu = new QMenuBar(this);
    hlp_mn_ = menu->addAction(QStringLiteral("Hjälp"));
    hlp_mn_->setObjectName(QStringLiteral("hlp_mn"));

    label1_ = new QLabel(QStringLiteral("SubTransaktionsNamn"), this);
    label1_->setObjectName(QStringLiteral("Label1"));
    text1_ = new QLineEdit(this);
    text1_->setObjectName(QStringLiteral("Text1"));
    text1_->setMaxLength(static_cast<int>(store::KatRec::SubTransNamn.width));
    option1_ = new QRadioButton(QStringLiteral("Ändra"), this);
    option1_->setObjectName(QStringLiteral("Option1"));
    option2_ = new QRadioButton(QStringLiteral("Radera"), this);
    option2_->setObjectName(QStringLiteral("Option2"));
    for (QRadioButton* o : {option1_, option2_})
        o->setAutoExclusive(false);
    command2_ = new QPushButton(QStringLiteral("OK"), this);
    command2_->setObjectName(QStringLiteral("Command2"));
    command2_->setEnabled(false);
    command1_ = new QPushButton(QStringLiteral("Avbryt"), this);
    command1_->setObjectName(QStringLiteral("Command1"));
    label2_ = new QLabel(this);
    label2_->setObjectName(QStringLiteral("Label2"));
    label2_->setWordWrap(true);
    label2_->setMinimumWidth(320);

    auto* layout = new QGridLayout(this);
    layout->setMenuBar(menu);
    layout->addWidget(label1_, 0, 0, 1, 2);
    layout->addWidget(text1_, 1, 0, 1, 2);
    layout->addWidget(option1_, 2, 0);
    layout->addWidget(option2_, 2, 1);
    layout->addWidget(label2_, 3, 0, 1, 2);
    layout->addWidget(command2_, 4, 0);
    layout->addWidget(command1_, 4, 1);

    connect(text1_, &QLineEdit::returnPressed, this, &SubTransForm::Text1_Enter);
    connect(option1_, &QRadioButton::clicked, this, &SubTransForm::Option1_MouseUp);
    connect(option2_, &QRadioButton::clicked, this, &SubTransForm::Option2_MouseUp);
    connect(command2_, &QPushButton::clicked, this, &SubTransForm::Command2_Click);
    connect(command1_, &QPushButton::clicked, this, &SubTransForm::Command1_Click);
    // Esc is the cancel button.
    connect(new QShortcut(QKeySequence(Qt::Key_Escape), this), &QShortcut::activated, command1_,
            &QPushButton::click);
    connect(hlp_mn_, &QAction::triggered, this, &SubTransForm::hlp_mn_Click);
}

void SubTransForm::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (loaded_)
        return;
    loaded_ = true;
    Form_Load();
}

void SubTransForm::setLabel2(const QString& message, const QColor& colour) {
    label2_->setText(QString(message).replace(CRLF, LF));
    QPalette palette = label2_->palette();
    palette.setColor(QPalette::WindowText, colour.isValid() ? colour : QColor(Qt::black));
    label2_->setPalette(palette);
}

void SubTransForm::Form_Load() {
    if (QWidget* main = host_.hostWindow())
        main->setEnabled(false);
    support::trapped(
        host_.context(), this,
        [this] { support::restoreWindowPosition(host_.context(), *this, store::WindowPair::SubTransForm); },
        [] {
            return describe(QStringLiteral("Ett fel har uppstått i subrutinen Form_Load") + CRLF +
                                QStringLiteral(" vid försök att läsa fönstrets position."),
                            QStringLiteral("Fel i rutinen Form_Load"), {});
        });
    option1_->setChecked(false);
    option2_->setChecked(false);
    renameFlag_ = QStringLiteral("0");
    if (mode_ == QLatin1String("ny")) {
        setWindowTitle(QStringLiteral("Nytt namn subtransaktion"));
        option1_->setEnabled(false);
        option2_->setEnabled(false);
        setLabel2(QStringLiteral("Sätt namn på ny subtransaktion. Avsluta med Enter !"));
        text1_->clear();
        text1_->setFocus();
        command1_->setText(QStringLiteral("Avbryt ny subtransaktion"));
        return;
    }
    current_ = host_.chosenSub();
    setWindowTitle(QStringLiteral("Ändra/Radera namn på subtransaktion"));
    text1_->setText(current_.name);
    text1_->setEnabled(false);
    option1_->setEnabled(true);
    option2_->setEnabled(true);
    setLabel2(QStringLiteral("Markera ett alternativ 'Ändra' eller 'Radera'"));
    command1_->setText(QStringLiteral("Avbryt ändra subtrans."));
    command1_->setFocus();
}

void SubTransForm::Text1_Enter() {
    if (text1_->isReadOnly())
        return;
    support::Context& ctx = host_.context();
    const QString typed = text1_->text().trimmed();
    if (mode_ == QLatin1String("ny")) {
        if (typed.isEmpty()) {
            if (ctx.dialogs.question(this, text::MissingTitle, text::missing())) {
                text1_->setReadOnly(true);
                Command1_Click();
                return;
            }
            text1_->setFocus();
            return;
        }
        if (!storableName(host_, this, typed)) {
            text1_->setFocus();
            return;
        }
        text1_->setReadOnly(true);
        command2_->setEnabled(true);
        command2_->setFocus();
        return;
    }
    // A rename to nothing would free the record under the posts that use it.
    if (typed.isEmpty() || !storableName(host_, this, typed)) {
        text1_->setFocus();
        return;
    }
    if (!ctx.dialogs.question(this, text::RenamedTitle, text::renamed(current_.name, typed))) {
        text1_->setFocus();
        return;
    }
    text1_->setReadOnly(true);
    option1_->setEnabled(false);
    option2_->setEnabled(false);
    setLabel2(QStringLiteral("Transaktionsnamn ändras. Klicka på OK !"));
    renameFlag_ = QStringLiteral("1");
    command2_->setEnabled(true);
    command2_->setFocus();
}

void SubTransForm::Option1_MouseUp() {
    if (mode_ != QLatin1String("chg"))
        return;
    if (!host_.context().dialogs.question(this, text::RenameTitle, text::rename(current_.name))) {
        option1_->setChecked(false);
        return;
    }
    option2_->setEnabled(false);
    text1_->setEnabled(true);
    text1_->setReadOnly(false);
    text1_->setToolTip(QStringLiteral("Ändra/ange nytt namn på subtransaktion"));
    setLabel2(QStringLiteral("Ändra namn, eller skriv ett nytt, sedan ENTER") + CRLF + CRLF +
                  QStringLiteral("(Alla poster med subtransaktionen ändras !)"),
              DarkGreen);
    text1_->setFocus();
}

void SubTransForm::Option2_MouseUp() {
    if (mode_ != QLatin1String("chg"))
        return;
    option2_->setChecked(true);
    text1_->setEnabled(true);
    text1_->setReadOnly(true);
    setLabel2(QStringLiteral("Klicka OK för att radera subtransaktionen '") + current_.name +
              QStringLiteral("'") + LF + QStringLiteral(" Eller klicka på knappen 'Avbryt....'"));
    command2_->setEnabled(true);
    command2_->setFocus();
}

void SubTransForm::Command2_Click() {
    command2_->setEnabled(false);
    const QString typed = text1_->text().trimmed();
    if (mode_ == QLatin1String("ny") || renameFlag_ == QLatin1String("1")) {
        current_.name = typed;
        SubTransSpar();
    } else if (mode_ == QLatin1String("chg")) {
        if (host_.accountKind() == QLatin1String("Bg"))
            SubTransRadera_Budget();
        else
            SubTransRadera_Enkel();
    }
}

void SubTransForm::SubTransSpar() {
    support::Context& ctx = host_.context();
    const bool isNew = renameFlag_ != QLatin1String("1");
    const int renamedNumber = host_.chosenSub().number;
    int number = 0;
    std::size_t records = 0;
    const bool saved = support::trapped(
        ctx, this,
        [&] {
            const auto name = store::utf8ToCp1252(current_.name.toStdString());
            if (!name)
                throw store::DataError("Namnet innehåller tecken som inte kan sparas");
            store::RecordFile kategori(ctx.paths.kategori(host_.accountNameBytes()), store::KatRec::Length);
            records = kategori.count();
            store::describeChange((isNew ? "ny subtransaktion " : "omdöpt subtransaktion till ") +
                                  current_.name.toStdString());
            if (isNew) {
                number = createSubTransaction(kategori, *name);
            } else {
                number = renamedNumber;
                renameSubTransaction(kategori, number, *name);
            }
        },
        [&] {
            return describe(QStringLiteral("Ett fel har uppstått i subrutinen SubTransSpar") +
                                QStringLiteral(" vid försök spara ny subtransaktion"),
                            QStringLiteral("Fel i rutinen KateSpar vid sparförsök"),
                            {QStringLiteral("SubTransNamn = ") + current_.name,
                             QStringLiteral("SubTransNr = ") + QString::number(number),
                             QStringLiteral("Antal poster i Kategori = ") + QString::number(records)});
        });
    if (!saved)
        return;
    current_.number = number;
    host_.setChosenSub(current_);
    host_.reloadTransactionList();
    if (isNew) {
        if (QWidget* main = host_.hostWindow())
            main->setEnabled(true);
        host_.command3ToCancel();
        if (!host_.chosenMain().name.isEmpty()) {
            host_.setTransactionBox(current_.name);
            host_.focusTransactionBox();
        }
        mode_.clear();
    } else {
        host_.setTransactionBox(QString());
        host_.reloadLedgerView(); // the posts show the new name
    }
    Command1_Click();
}

void SubTransForm::SubTransRadera_Enkel() {
    SubTransRadera();
}

void SubTransForm::SubTransRadera_Budget() {
    SubTransRadera();
}

void SubTransForm::SubTransRadera() {
    support::Context& ctx = host_.context();
    const bool budget = host_.accountKind() == QLatin1String("Bg");
    const QString routine =
        budget ? QStringLiteral("SubTransRadera_Budget") : QStringLiteral("SubTransRadera_Enkel");
    int number = 0;
    int cleared = 0;
    const bool done = support::trapped(
        ctx, this,
        [&] {
            store::RecordFile kategori(ctx.paths.kategori(host_.accountNameBytes()), store::KatRec::Length);
            // The first entry of the list with this name: with two of the same name, the first goes.
            for (const auto& item : subTransactions(kategori))
                if (QString::fromStdString(item.name) == current_.name) {
                    number = item.recordNumber;
                    break;
                }
            if (number == 0)
                return;
            store::describeChange("borttagen subtransaktion " + current_.name.toStdString());
            cleared = deleteSubTransaction(kategori, host_.kontoData(), host_.postCount(), budget, number,
                                           ctx.paths.journalFolder());
        },
        [&] {
            return describe(
                QStringLiteral("Ett fel har uppstått i subrutinen ") + routine +
                    (budget ? QStringLiteral("vid försök att radera en subtransaktion för budgetkonto")
                            : QStringLiteral(" vid försök att radera en subtransaktion för") +
                                  QStringLiteral(" enkelkonto")),
                QStringLiteral("Fel i rutinen ") + routine,
                {QStringLiteral("SubTransNamn = ") + current_.name,
                 QStringLiteral("SubTransNr = ") + QString::number(number),
                 QStringLiteral("Antal poster = ") + QString::number(host_.postCount())});
        });
    if (!done)
        return;
    host_.reloadTransactionList();
    host_.setTransactionBox(QString());
    if (number != 0) {
        host_.setChosenSub({});
        host_.reloadLedgerView();
        ctx.dialogs.message(this, text::DeletedTitle, text::deleted(current_.name, cleared));
    }
    Command1_Click();
}

void SubTransForm::Command1_Click() {
    cancelSteps();
    closeWindow();
}

void SubTransForm::cancelSteps() {
    support::trapped(
        host_.context(), this,
        [this] { support::storeWindowPosition(host_.context(), *this, store::WindowPair::SubTransForm); },
        [] {
            return describe(QStringLiteral("Ett fel har uppstått i subrutinen Command1_Click") + CRLF +
                                QStringLiteral(" vid försök att spara fönstrets position."),
                            QStringLiteral("Fel i rutinen Command1_Click"), {});
        });
    if (QWidget* main = host_.hostWindow())
        main->setEnabled(true);
    host_.setTransactionBox(QString());
    host_.pressCommand3();
    mode_.clear();
}

void SubTransForm::hlp_mn_Click() {
    host_.context().platform.showHelp(30000);
}

void SubTransForm::closeWindow() {
    closing_ = true;
    close();
    closing_ = false;
}

void SubTransForm::closeEvent(QCloseEvent* event) {
    if (!closing_)
        cancelSteps();
    event->accept();
}

} // namespace catalogue
