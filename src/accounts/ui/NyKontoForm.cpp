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

// The window's texts, in one place. CR LF as the messages have them; Label4 shows them with
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
    : ctx_(ctx), host_(host), label1_(new QLabel(QStringLiteral("Nytt Kontonamn"), this)),
      text1_(new QLineEdit(this)), label2_(new QLabel(QStringLiteral("Nytt Kontonummer"), this)),
      text2_(new QLineEdit(this)), option1_(new QRadioButton(QStringLiteral("Budgetbokföring"), this)),
      option2_(new QRadioButton(QStringLiteral("Enkel bokföring"), this)),
      command1_(new QPushButton(QStringLiteral("OK"), this)),
      command2_(new QPushButton(QStringLiteral("Avbryt Nytt konto"), this)), label4_(new QLabel(this)) {
    setObjectName(QStringLiteral("NyKontoForm"));
    setWindowTitle(QStringLiteral("Nytt konto"));
    label1_->setObjectName(QStringLiteral("Label1"));
    text1_->setObjectName(QStringLiteral("Text1"));
    label2_->setObjectName(QStringLiteral("Label2"));
    text2_->setObjectName(QStringLiteral("Text2"));
    option1_->setObjectName(QStringLiteral("Option1"));
    option2_->setObjectName(QStringLiteral("Option2"));
    command1_->setObjectName(QStringLiteral("Command1"));
    command2_->setObjectName(QStringLiteral("Command2"));
    label4_->setObjectName(QStringLiteral("Label4"));

    text2_->setToolTip(QStringLiteral("Skriv ev befintligt kontonummer"));
    option1_->setToolTip(QStringLiteral("Nytt konto för Budgetbokföring"));
    option2_->setToolTip(QStringLiteral("Nytt konto för enkel bokföring"));
    command1_->setToolTip(QStringLiteral("Spara nytt konto"));
    // The register's name field holds 35 characters, one of them kept for the hint flag.
    text1_->setMaxLength(static_cast<int>(MaxAccountNameLength));

    label4_->setWordWrap(true);
    label4_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    label4_->setMinimumHeight(130);
    label4_->setFrameShape(QFrame::Panel);
    label4_->setFrameShadow(QFrame::Sunken);
    label4_->setMargin(6);
    instructionColour_ = label4_->palette().color(QPalette::WindowText);

    auto* fields = new QGridLayout;
    fields->addWidget(label1_, 0, 0);
    fields->addWidget(text1_, 1, 0);
    fields->addWidget(label2_, 0, 1);
    fields->addWidget(text2_, 1, 1);
    auto* kinds = new QHBoxLayout;
    kinds->addWidget(option1_);
    kinds->addWidget(option2_);
    kinds->addStretch();
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(command1_);
    buttons->addStretch();
    buttons->addWidget(command2_);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(fields);
    layout->addLayout(kinds);
    layout->addWidget(label4_, 1);
    layout->addLayout(buttons);
    resize(520, 330);

    // Clearing the options after a creation unchecks them; only a checked option sets the kind.
    connect(option1_, &QRadioButton::toggled, this, [this](bool on) {
        if (on)
            kind_ = QStringLiteral("Bg");
    });
    connect(option2_, &QRadioButton::toggled, this, [this](bool on) {
        if (on)
            kind_ = QStringLiteral("Ek");
    });
    connect(command1_, &QPushButton::clicked, this, &NyKontoForm::Command1_Click);
    connect(command2_, &QPushButton::clicked, this, &NyKontoForm::Command2_Click);
    // Esc is "Avbryt Nytt konto".
    connect(new QShortcut(QKeySequence(Qt::Key_Escape), this), &QShortcut::activated, command2_,
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
    setLabel4(text::instruction(), instructionColour_);
    text1_->setFocus();
}

void NyKontoForm::setLabel4(const QString& message, const QColor& colour) {
    QString shown = message;
    shown.replace(CRLF, QStringLiteral("\n"));
    label4_->setText(shown);
    QPalette palette = label4_->palette();
    palette.setColor(QPalette::WindowText, colour);
    label4_->setPalette(palette);
}

void NyKontoForm::Command1_Click() {
    const QString name = text1_->text().trimmed();
    const QString number = text2_->text().trimmed();
    if (name.isEmpty()) {
        setLabel4(text::noName(), Red);
        return;
    }
    // The name becomes a folder under the data root and a register field.
    if (const auto problem = accountNameProblem(name.toStdString())) {
        setLabel4(QString::fromStdString(*problem), Red);
        return;
    }
    if (number.isEmpty()) {
        setLabel4(text::noNumber(), DarkBlue);
        return;
    }
    if (const auto problem = accountNumberProblem(number.toStdString())) {
        setLabel4(QString::fromStdString(*problem), Red);
        return;
    }
    if (kind_.isEmpty()) {
        setLabel4(text::noKind(), Red);
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
        setLabel4(text::correct(), DarkBlue);
        return;
    }
    Skapa_Konto();
}

void NyKontoForm::Skapa_Konto() {
    const NewAccount account{text1_->text().trimmed().toStdString(), text2_->text().trimmed().toStdString(),
                             kind_.toStdString()};
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
        setLabel4(text::instruction(), instructionColour_);
        text1_->setFocus();
        return;
    }
    enableHost();
    closeWindow();
}

void NyKontoForm::clearInput() {
    text1_->clear();
    text2_->clear();
    // Exclusive radio buttons cannot all be unchecked while they are exclusive.
    for (QRadioButton* option : {option1_, option2_}) {
        option->setAutoExclusive(false);
        option->setChecked(false);
        option->setAutoExclusive(true);
    }
    kind_.clear();
}

void NyKontoForm::Command2_Click() {
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
