#include "accounts/ui/NyKontoForm.h"

#include "accounts/NewAccount.h"
#include "store/History.h"
#include "support/ui/Context.h"
#include "support/ui/Trap.h"
#include "support/ui/WindowPosition.h"

#include <QCloseEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QShortcut>
#include <QShowEvent>
#include <QTimer>
#include <QVBoxLayout>

#include <optional>

namespace accounts {

namespace {

const QString CRLF = QStringLiteral("\r\n");

// The window's texts, in one place. CR LF as the messages have them; hintLabel shows them with
// plain line feeds.
namespace text {

QString instruction() {
    return QStringLiteral("Skriv in uppgifter om Kontonamn, Kontonummer, samt vilken kontotyp") +
           QStringLiteral(" (Budget eller Enkel) som du avser.") + CRLF + CRLF +
           QStringLiteral("När du är klar klickar du på OK !");
}

QString noName() {
    return QStringLiteral("Du har inte skrivit in något kontonamn till ditt nya konto !") + CRLF + CRLF +
           QStringLiteral("Återvänd till namnfältet och skriv in ett unikt kontonamn,") +
           QStringLiteral(" eller avbryt 'Skapa nytt konto' !");
}

QString noNumber() {
    return QStringLiteral("Du har inte skrivit in något kontonummer till ditt nya konto !") + CRLF + CRLF +
           QStringLiteral("Kontonummer är inte obligatoriskt att använda i programmet,") +
           QStringLiteral(" men kan vara till god hjälp att definiera t ex ett") +
           QStringLiteral(" bankkonto e dyl !") + CRLF + CRLF +
           QStringLiteral("Återvänd gärna till nummerfältet och skriv in ett kontonummer !");
}

QString noKind() {
    return QStringLiteral("Du har inte gjort något val av kontotyp (Budget- eller Enkelt konto) !") + CRLF +
           CRLF + QStringLiteral("Klicka på endera kontotyp,") +
           QStringLiteral(" eller avbryt 'Nytt konto' !");
}

const QString ExistsTitle = QStringLiteral("Redan befintligt konto");
QString exists(const QString& name) {
    return QStringLiteral("Kontot, '") + name + QStringLiteral("', som du försöker skapa") +
           QStringLiteral(", existerar redan !") + CRLF + CRLF + QStringLiteral("Välj annat kontonamn") +
           QStringLiteral(" eller avbryt 'Nytt konto' !");
}

const QString SummaryTitle = QStringLiteral("Nytt konto");
QString summary(const QString& name, const QString& number, const QString& kind, const QString& folder) {
    return QStringLiteral("Sammanfattning av ditt nya konto:") + CRLF + CRLF +
           QStringLiteral("Nytt kontonamn = ") + name + CRLF + CRLF + QStringLiteral("Nytt kontonummer = ") +
           number + CRLF + CRLF + QStringLiteral("Du har valt kontotyp: ") +
           (kind == QLatin1String("Bg") ? QStringLiteral("Budget") : QStringLiteral("Enkel")) + CRLF + CRLF +
           QStringLiteral("Ditt nya konto placeras på:") + CRLF + CRLF + QStringLiteral("\n") + folder +
           CRLF + CRLF + QStringLiteral("Är uppgifterna riktiga ?");
}

QString correct() {
    return QStringLiteral("Rätta felaktiga uppgifter och klicka återigen på OK,") +
           QStringLiteral(" eller avbryt 'Skapa nytt konto' !");
}

const QString MoreTitle = QStringLiteral("Fortsätt skapa konton");
const QString More = QStringLiteral("Vill du lägga till ytterligare ett konto ?");

} // namespace text

support::ErrorDescription positionError(const QString& routine) {
    return {QStringLiteral("Ett fel har uppstått i subrutinen ") + routine + CRLF +
                QStringLiteral(" vid placering av fönstret Nytt konto.") + CRLF + CRLF,
            {QStringLiteral("Fel i rutinen ") + routine,
             QStringLiteral(" vid placering av fönstret Nytt konto")}};
}

} // namespace

NyKontoForm::NyKontoForm(support::Context& ctx, NyKontoHost& host)
    : ctx_(ctx), host_(host), nameTitle_(new QLabel(QStringLiteral("Nytt Kontonamn"), this)),
      nameBox_(new QLineEdit(this)), numberTitle_(new QLabel(QStringLiteral("Nytt Kontonummer"), this)),
      numberBox_(new QLineEdit(this)),
      budgetOption_(new QRadioButton(QStringLiteral("Budgetbokföring"), this)),
      cashOption_(new QRadioButton(QStringLiteral("Enkel bokföring"), this)),
      okButton_(new QPushButton(QStringLiteral("OK"), this)),
      cancelButton_(new QPushButton(QStringLiteral("Avbryt Nytt konto"), this)),
      hintLabel_(new QLabel(this)) {
    setObjectName(QStringLiteral("NyKontoForm"));
    setWindowTitle(QStringLiteral("Nytt konto"));
    nameTitle_->setObjectName(QStringLiteral("nameTitle"));
    nameBox_->setObjectName(QStringLiteral("nameBox"));
    numberTitle_->setObjectName(QStringLiteral("numberTitle"));
    numberBox_->setObjectName(QStringLiteral("numberBox"));
    budgetOption_->setObjectName(QStringLiteral("budgetOption"));
    cashOption_->setObjectName(QStringLiteral("cashOption"));
    okButton_->setObjectName(QStringLiteral("okButton"));
    cancelButton_->setObjectName(QStringLiteral("cancelButton"));
    hintLabel_->setObjectName(QStringLiteral("hintLabel"));
    nameTitle_->setBuddy(nameBox_);
    numberTitle_->setBuddy(numberBox_);

    numberBox_->setToolTip(QStringLiteral("Skriv ev befintligt kontonummer"));
    budgetOption_->setToolTip(QStringLiteral("Nytt konto för Budgetbokföring"));
    cashOption_->setToolTip(QStringLiteral("Nytt konto för enkel bokföring"));
    okButton_->setToolTip(QStringLiteral("Spara nytt konto"));
    // The register's name field holds 35 characters, one of them kept for the hint flag.
    nameBox_->setMaxLength(static_cast<int>(MaxAccountNameLength));

    hintLabel_->setWordWrap(true);
    hintLabel_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    hintLabel_->setMinimumHeight(130);
    hintLabel_->setFrameShape(QFrame::Panel);
    hintLabel_->setFrameShadow(QFrame::Sunken);
    hintLabel_->setMargin(6);
    instructionColour_ = hintLabel_->palette().color(QPalette::WindowText);

    auto* fields = new QGridLayout;
    fields->addWidget(nameTitle_, 0, 0);
    fields->addWidget(nameBox_, 1, 0);
    fields->addWidget(numberTitle_, 0, 1);
    fields->addWidget(numberBox_, 1, 1);
    auto* kinds = new QHBoxLayout;
    kinds->addWidget(budgetOption_);
    kinds->addWidget(cashOption_);
    kinds->addStretch();
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(okButton_);
    buttons->addStretch();
    buttons->addWidget(cancelButton_);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(fields);
    layout->addLayout(kinds);
    layout->addWidget(hintLabel_, 1);
    layout->addLayout(buttons);
    resize(520, 330);

    // Clearing the options after a creation unchecks them; only a checked option sets the kind.
    connect(budgetOption_, &QRadioButton::toggled, this, [this](bool on) {
        if (on)
            kind_ = QStringLiteral("Bg");
    });
    connect(cashOption_, &QRadioButton::toggled, this, [this](bool on) {
        if (on)
            kind_ = QStringLiteral("Ek");
    });
    connect(okButton_, &QPushButton::clicked, this, &NyKontoForm::saveAccount);
    connect(cancelButton_, &QPushButton::clicked, this, &NyKontoForm::cancel);
    // Esc is "Avbryt Nytt konto".
    connect(new QShortcut(QKeySequence(Qt::Key_Escape), this), &QShortcut::activated, cancelButton_,
            &QPushButton::click);
}

void NyKontoForm::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (loaded_)
        return;
    loaded_ = true;
    Form_Load();
}

void NyKontoForm::Form_Load() {
    support::trapped(
        ctx_, this, [this] { support::restoreWindowPosition(ctx_, *this, store::WindowPair::NyKontoForm); },
        [] { return positionError(QStringLiteral("Form_Load")); });
    if (QWidget* main = host_.hostWindow())
        main->setEnabled(false);
    setHint(text::instruction(), instructionColour_);
    nameBox_->setFocus();
}

void NyKontoForm::setHint(const QString& message, const QColor& colour) {
    QString shown = message;
    shown.replace(CRLF, QStringLiteral("\n"));
    hintLabel_->setText(shown);
    QPalette palette = hintLabel_->palette();
    palette.setColor(QPalette::WindowText, colour);
    hintLabel_->setPalette(palette);
}

void NyKontoForm::saveAccount() {
    const QString name = nameBox_->text().trimmed();
    const QString number = numberBox_->text().trimmed();
    if (name.isEmpty()) {
        setHint(text::noName(), Red);
        return;
    }
    // The name becomes a folder under the data root and a register field.
    if (const auto problem = accountNameProblem(name.toStdString())) {
        setHint(QString::fromStdString(*problem), Red);
        return;
    }
    if (number.isEmpty()) {
        setHint(text::noNumber(), DarkBlue);
        return;
    }
    if (const auto problem = accountNumberProblem(number.toStdString())) {
        setHint(QString::fromStdString(*problem), Red);
        return;
    }
    if (kind_.isEmpty()) {
        setHint(text::noKind(), Red);
        return;
    }
    if (accountFolderExists(ctx_.paths, name.toStdString())) {
        ctx_.dialogs.message(this, text::ExistsTitle, text::exists(name),
                             support::Dialogs::Icon::Exclamation);
        return;
    }
    const QString folder =
        QString::fromStdString(ctx_.paths.dataRoot().string()) + QStringLiteral("/") + name;
    if (!ctx_.dialogs.question(this, text::SummaryTitle, text::summary(name, number, kind_, folder))) {
        setHint(text::correct(), DarkBlue);
        return;
    }
    Skapa_Konto();
}

void NyKontoForm::Skapa_Konto() {
    const NewAccount account{nameBox_->text().trimmed().toStdString(),
                             numberBox_->text().trimmed().toStdString(), kind_.toStdString()};
    // Everything is written in one group commit; the open account is released only once the new
    // one exists, so a failure leaves the main window as it was. What opening the new account
    // writes belongs to the same change: undone, the account goes whole.
    std::optional<store::ChangeScope> change(std::in_place);
    const bool created = support::trapped(
        ctx_, this,
        [&] {
            store::describeChange("nytt konto " + account.name);
            createAccount(ctx_.paths, account, host_.workingDate().toStdString(),
                          host_.userName().toStdString());
            host_.closeAccountFiles();
        },
        [&] {
            return support::ErrorDescription{
                QStringLiteral("Ett fel har uppstått i subrutinen Skapa_Konto") + CRLF +
                    QStringLiteral(" vid försök att skapa ett nytt konto.") + CRLF + CRLF,
                {QStringLiteral("Fel i rutinen Skapa_Konto"),
                 QStringLiteral("Kontonamn = ") + QString::fromStdString(account.name),
                 QStringLiteral("Kontonummer = ") + QString::fromStdString(account.number),
                 QStringLiteral("Kontotyp = ") + kind_,
                 QStringLiteral("Datamapp = ") + QString::fromStdString(ctx_.paths.dataRoot().string())}};
        });
    if (!created)
        return;

    clearInput();
    host_.Inläs_Kontofil();
    change.reset();
    if (ctx_.dialogs.question(this, text::MoreTitle, text::More)) {
        setHint(text::instruction(), instructionColour_);
        nameBox_->setFocus();
        return;
    }
    enableHost();
    closeWindow();
}

void NyKontoForm::clearInput() {
    nameBox_->clear();
    numberBox_->clear();
    // Exclusive radio buttons cannot all be unchecked while they are exclusive.
    for (QRadioButton* option : {budgetOption_, cashOption_}) {
        option->setAutoExclusive(false);
        option->setChecked(false);
        option->setAutoExclusive(true);
    }
    kind_.clear();
}

void NyKontoForm::cancel() {
    support::trapped(
        ctx_, this, [this] { support::storeWindowPosition(ctx_, *this, store::WindowPair::NyKontoForm); },
        [] { return positionError(QStringLiteral("Command2_Click")); });
    enableHost();
    NyKontoHost& host = host_; // the window may be gone once the main window takes over
    closeWindow();
    if (!host.hasAccounts())
        host.NoAccount();
}

void NyKontoForm::enableHost() {
    if (QWidget* main = host_.hostWindow())
        main->setEnabled(true);
}

void NyKontoForm::closeWindow() {
    closing_ = true;
    close();
    closing_ = false;
}

void NyKontoForm::closeEvent(QCloseEvent* event) {
    // The user's close button is a cancel; a close by the program (at its end) only has to give
    // the main window back. Either way the main window must never stay disabled.
    if (!closing_) {
        if (event->spontaneous()) {
            support::trapped(
                ctx_, this,
                [this] { support::storeWindowPosition(ctx_, *this, store::WindowPair::NyKontoForm); },
                [] { return positionError(QStringLiteral("Form_Unload")); });
            enableHost();
            // Asked once this window is gone, as after "Avbryt".
            if (!host_.hasAccounts()) {
                NyKontoHost* host = &host_;
                if (QWidget* main = host_.hostWindow())
                    QTimer::singleShot(0, main, [host] { host->NoAccount(); });
                else
                    host->NoAccount();
            }
        } else {
            enableHost();
        }
    }
    event->accept();
}

} // namespace accounts
