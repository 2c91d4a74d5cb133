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

    nameLabel_ = new QLabel(QStringLiteral("SubTransaktionsNamn"), this);
    nameLabel_->setObjectName(QStringLiteral("nameLabel"));
    nameBox_ = new QLineEdit(this);
    nameBox_->setObjectName(QStringLiteral("nameBox"));
    nameLabel_->setBuddy(nameBox_);
    nameBox_->setMaxLength(static_cast<int>(store::KatRec::SubTransNamn.width));
    changeOption_ = new QRadioButton(QStringLiteral("Ändra"), this);
    changeOption_->setObjectName(QStringLiteral("changeOption"));
    deleteOption_ = new QRadioButton(QStringLiteral("Radera"), this);
    deleteOption_->setObjectName(QStringLiteral("deleteOption"));
    for (QRadioButton* o : {changeOption_, deleteOption_})
        o->setAutoExclusive(false);
    okButton_ = new QPushButton(QStringLiteral("OK"), this);
    okButton_->setObjectName(QStringLiteral("okButton"));
    okButton_->setEnabled(false);
    cancelButton_ = new QPushButton(QStringLiteral("Avbryt"), this);
    cancelButton_->setObjectName(QStringLiteral("cancelButton"));
    hintLabel_ = new QLabel(this);
    hintLabel_->setObjectName(QStringLiteral("hintLabel"));
    hintLabel_->setWordWrap(true);
    hintLabel_->setMinimumWidth(320);

    auto* layout = new QGridLayout(this);
    layout->setMenuBar(menu);
    layout->addWidget(nameLabel_, 0, 0, 1, 2);
    layout->addWidget(nameBox_, 1, 0, 1, 2);
    layout->addWidget(changeOption_, 2, 0);
    layout->addWidget(deleteOption_, 2, 1);
    layout->addWidget(hintLabel_, 3, 0, 1, 2);
    layout->addWidget(okButton_, 4, 0);
    layout->addWidget(cancelButton_, 4, 1);

    connect(nameBox_, &QLineEdit::returnPressed, this, &SubTransForm::nameEntered);
    connect(changeOption_, &QRadioButton::clicked, this, &SubTransForm::chooseChange);
    connect(deleteOption_, &QRadioButton::clicked, this, &SubTransForm::chooseDelete);
    connect(okButton_, &QPushButton::clicked, this, &SubTransForm::confirm);
    connect(cancelButton_, &QPushButton::clicked, this, &SubTransForm::cancel);
    // Esc is the cancel button.
    connect(new QShortcut(QKeySequence(Qt::Key_Escape), this), &QShortcut::activated, cancelButton_,
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

void SubTransForm::setHint(const QString& message, const QColor& colour) {
    hintLabel_->setText(QString(message).replace(CRLF, LF));
    QPalette palette = hintLabel_->palette();
    palette.setColor(QPalette::WindowText, colour.isValid() ? colour : QColor(Qt::black));
    hintLabel_->setPalette(palette);
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
    changeOption_->setChecked(false);
    deleteOption_->setChecked(false);
    renameFlag_ = QStringLiteral("0");
    if (mode_ == QLatin1String("ny")) {
        setWindowTitle(QStringLiteral("Nytt namn subtransaktion"));
        changeOption_->setEnabled(false);
        deleteOption_->setEnabled(false);
        setHint(QStringLiteral("Sätt namn på ny subtransaktion. Avsluta med Enter !"));
        nameBox_->clear();
        nameBox_->setFocus();
        cancelButton_->setText(QStringLiteral("Avbryt ny subtransaktion"));
        return;
    }
    current_ = host_.chosenSub();
    setWindowTitle(QStringLiteral("Ändra/Radera namn på subtransaktion"));
    nameBox_->setText(current_.name);
    nameBox_->setEnabled(false);
    changeOption_->setEnabled(true);
    deleteOption_->setEnabled(true);
    setHint(QStringLiteral("Markera ett alternativ 'Ändra' eller 'Radera'"));
    cancelButton_->setText(QStringLiteral("Avbryt ändra subtrans."));
    cancelButton_->setFocus();
}

void SubTransForm::nameEntered() {
    if (nameBox_->isReadOnly())
        return;
    support::Context& ctx = host_.context();
    const QString typed = nameBox_->text().trimmed();
    if (mode_ == QLatin1String("ny")) {
        if (typed.isEmpty()) {
            if (ctx.dialogs.question(this, text::MissingTitle, text::missing())) {
                nameBox_->setReadOnly(true);
                cancel();
                return;
            }
            nameBox_->setFocus();
            return;
        }
        if (!storableName(host_, this, typed)) {
            nameBox_->setFocus();
            return;
        }
        nameBox_->setReadOnly(true);
        okButton_->setEnabled(true);
        okButton_->setFocus();
        return;
    }
    // A rename to nothing would free the record under the posts that use it.
    if (typed.isEmpty() || !storableName(host_, this, typed)) {
        nameBox_->setFocus();
        return;
    }
    if (!ctx.dialogs.question(this, text::RenamedTitle, text::renamed(current_.name, typed))) {
        nameBox_->setFocus();
        return;
    }
    nameBox_->setReadOnly(true);
    changeOption_->setEnabled(false);
    deleteOption_->setEnabled(false);
    setHint(QStringLiteral("Transaktionsnamn ändras. Klicka på OK !"));
    renameFlag_ = QStringLiteral("1");
    okButton_->setEnabled(true);
    okButton_->setFocus();
}

void SubTransForm::chooseChange() {
    if (mode_ != QLatin1String("chg"))
        return;
    if (!host_.context().dialogs.question(this, text::RenameTitle, text::rename(current_.name))) {
        changeOption_->setChecked(false);
        return;
    }
    deleteOption_->setEnabled(false);
    nameBox_->setEnabled(true);
    nameBox_->setReadOnly(false);
    nameBox_->setToolTip(QStringLiteral("Ändra/ange nytt namn på subtransaktion"));
    setHint(QStringLiteral("Ändra namn, eller skriv ett nytt, sedan ENTER") + CRLF + CRLF +
                QStringLiteral("(Alla poster med subtransaktionen ändras !)"),
            DarkGreen);
    nameBox_->setFocus();
}

void SubTransForm::chooseDelete() {
    if (mode_ != QLatin1String("chg"))
        return;
    deleteOption_->setChecked(true);
    nameBox_->setEnabled(true);
    nameBox_->setReadOnly(true);
    setHint(QStringLiteral("Klicka OK för att radera subtransaktionen '") + current_.name +
            QStringLiteral("'") + LF + QStringLiteral(" Eller klicka på knappen 'Avbryt....'"));
    okButton_->setEnabled(true);
    okButton_->setFocus();
}

void SubTransForm::confirm() {
    okButton_->setEnabled(false);
    const QString typed = nameBox_->text().trimmed();
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
        host_.resetCancelButton();
        if (!host_.chosenMain().name.isEmpty()) {
            host_.setTransactionBox(current_.name);
            host_.focusTransactionBox();
        }
        mode_.clear();
    } else {
        host_.setTransactionBox(QString());
        host_.reloadLedgerView(); // the posts show the new name
    }
    cancel();
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
    cancel();
}

void SubTransForm::cancel() {
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
    host_.pressCancel();
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
