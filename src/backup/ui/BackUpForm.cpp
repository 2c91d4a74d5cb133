#include "backup/ui/BackUpForm.h"

#include "backup/Backup.h"
#include "backup/Drives.h"
#include "store/History.h"
#include "support/ui/Context.h"
#include "support/ui/Trap.h"
#include "support/ui/WindowPosition.h"

#include <QApplication>
#include <QCloseEvent>
#include <QEventLoop>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QShortcut>
#include <QShowEvent>
#include <QTimer>

#include <algorithm>
#include <vector>

namespace fs = std::filesystem;

namespace backup {

namespace {

const QString CRLF = QStringLiteral("\r\n");
const QString BackupMode = QStringLiteral("BU");
const QString RestoreMode = QStringLiteral("RE");
const QString ThisAccount = QStringLiteral("1");
const QString AllAccounts = QStringLiteral("0");

constexpr int KindRole = Qt::UserRole;
constexpr int PathRole = Qt::UserRole + 1;

// The window's texts, in one place, with CR LF as they are written.
namespace text {

QString intro() {
    return QStringLiteral("Programmets arbetsfiler kan säkerhetskopieras och förvaras på annan") +
           QStringLiteral(" hårddisk eller på ett USB-minne !") + CRLF +
           QStringLiteral("Om USB-minne föredras, ska detta sättas in i avsedd port.") +
           QStringLiteral(" Därefter klickas på kommandoknappen 'BackUp !") + CRLF + CRLF +
           QStringLiteral("Har filerna tidigare säkerhetskopierats, kan de med några klick") +
           QStringLiteral(" återställas, i de fall någon eller några har skadats eller efter") +
           QStringLiteral(" en ominstallation av programmet.") + CRLF +
           QStringLiteral("Det är fördelaktigt om säkerhetskopiorna då är någorlunda aktuella !") + CRLF +
           CRLF + QStringLiteral("Med nedanstående kontrollknappar kan väljas 'BackUp' eller") +
           QStringLiteral(" 'Återställ' !");
}

QString cancelled() {
    return QStringLiteral("Det finns möjligheter att säkerhetskopiera de arbetsfiler som programmet") +
           QStringLiteral(" använder, och förvara dem på annan hårddisk, eller på ett USB-minne.") + CRLF +
           CRLF + QStringLiteral("Föredrar du USB-minne, sätter du in detta i avsedd port !") + CRLF + CRLF +
           QStringLiteral("Om du tidigare har säkerhetskopierat filerna, kan du med några klick") +
           QStringLiteral(" återställa dem, för den händelse att någon eller några blivit skadade,") +
           QStringLiteral(" eller efter ett byte av dator.") + CRLF +
           QStringLiteral("Viktigt är då att din backup är någorlunda aktuell !") + CRLF + CRLF +
           QStringLiteral("Via nedanstående kontroller kan du välja 'BackUp' eller 'Återställ' !");
}

QString backupGuide() {
    return QStringLiteral("Listan visar samtliga drive-enheter användbara") +
           QStringLiteral(" för kopiering, inklusive ev. USB-enhet.") + CRLF +
           QStringLiteral("Klicka i listan på den enhet som avses för säkerhetskopieringen.") + CRLF + CRLF;
}

QString restoreGuide() {
    return QStringLiteral("Listan nedan visar möjliga drive-enheter för tidigare utförd BackUp,") +
           QStringLiteral("  inkl. ev. USB-enhet.") + CRLF +
           QStringLiteral("Klicka i listan på antagen enhetsbeteckning !") + CRLF + CRLF +
           QStringLiteral("En sammanställning visas av enhetens katalogstruktur, där någon") +
           QStringLiteral(" av de tidigare skapade BackUp-katalogerna bör återfinnas !") + CRLF + CRLF;
}

QString backupWait() {
    return QStringLiteral("Vänta !") + CRLF + QStringLiteral("Säkerhets-") + CRLF +
           QStringLiteral("kopiering...");
}

QString restoreWait() {
    return QStringLiteral("Vänta !") + CRLF + QStringLiteral("Återställning...");
}

QString driveDescription(bool backup, int kind) {
    const QString drive = backup ? QStringLiteral("Driveenheten") : QStringLiteral("Diskenheten");
    if (kind == static_cast<int>(DriveKind::Removable))
        return backup ? QStringLiteral("Den valda driveenheten är flyttbar (ex. USB) !")
                      : QStringLiteral("Den valda diskenheten är flyttbar (ex. USB) !");
    if (kind == static_cast<int>(DriveKind::Network))
        return drive + QStringLiteral(" är ansluten till annan dator i nätverket") + CRLF +
               QStringLiteral("och därmed kanske inte tillgänglig f n (?)");
    return drive + QStringLiteral(" är en hårddiskdrive (HDD) i denna dator.");
}

const QString DriveTitle = QStringLiteral("Vald diskenhet ?");
QString useDrive(bool backup) {
    return backup ? QStringLiteral("Använd denna diskenhet för BackUp ?")
                  : QStringLiteral("Använd denna diskenhet för Återställning ?");
}

QString scopeTitle(bool backup) {
    return backup ? QStringLiteral("Välj BackUp-omfattning")
                  : QStringLiteral("Välj återställningens omfattning !");
}
QString chooseScope() {
    return QStringLiteral("Markera ett av alternativen 'Detta konto' eller") +
           QStringLiteral(" 'Alla konton' !");
}

const QString StorageTitle = QStringLiteral("Lagringsenhet");
QString backUpAccountQuestion(const QString& drive, const QString& account) {
    return QStringLiteral("Är diskenhet") + drive + QStringLiteral(" för säkerhetskopieringen") +
           QStringLiteral(" av kontot '") + account + QStringLiteral("' OK ?");
}
QString backUpAllQuestion(const QString& drive) {
    return QStringLiteral("Är diskenhet ") + drive + QStringLiteral(" för säkerhetskopieringen") +
           QStringLiteral(" av samtliga konton OK ?");
}
QString restoreAccountQuestion(const QString& drive, const QString& account) {
    return CRLF + CRLF + QStringLiteral("Är diskenhet ") + drive + QStringLiteral(" för återställning") +
           QStringLiteral(" av kontot '") + account + QStringLiteral("'  OK ?");
}
QString restoreAllQuestion(const QString& drive) {
    return CRLF + CRLF + QStringLiteral("Är diskenhet ") + drive + QStringLiteral(" för återställning") +
           QStringLiteral(" av säkerhetskopierade konton  OK ?");
}

QString accountDone(const QString& account, const QString& drive) {
    return QStringLiteral("En säkerhetskopia av ") + account + QStringLiteral(", försedd med datum och") +
           QStringLiteral(" klockslag,  har nu skapats på den angivna drive-enheten,") +
           QStringLiteral(" (") + drive + QStringLiteral(")");
}
QString allDone(const QString& folder, const QString& drive) {
    return QStringLiteral("En säkerhetskopia av samtliga konton,") + CRLF + folder + CRLF +
           QStringLiteral("försedd med datum och klockslag,") +
           QStringLiteral("  har nu skapats på den angivna drive-enheten,") + QStringLiteral(" (") + drive +
           QStringLiteral(")");
}

const QString WrongDriveTitle = QStringLiteral("Felvald drive-enhet");
const QString NoAccountBackup =
    QStringLiteral("Vald diskenhet innehåller tyvärr ingen användbar BackUp för återställn. !");
const QString NoAllBackup =
    QStringLiteral("Vald enhet innehåller tyvärr ingen användbar BackUp för återställn. !");
const QString PickTitle = QStringLiteral("Välj ut BackUp !");
const QString Pick = QStringLiteral("Klicka på den avsedda BackUp-katalogen !");

const QString MissingTitle = QStringLiteral("Saknad kontokatalog i BackUp");
QString missing(const QString& name) {
    return QStringLiteral("Vald BackUp-mapp saknar kontokatalogen ") + name + QStringLiteral(" !") + CRLF +
           QStringLiteral("Anledning: Fel BackUp-mapp kan vara vald ?") + CRLF + CRLF +
           QStringLiteral("Vill du fortsätta återställning från denna BackUp-mapp ?");
}

const QString ConfirmTitle = QStringLiteral("Bekräfta återställning");
QString from(const QString& moment, const QString& folder) {
    return QStringLiteral("säkerhetskopian från ") +
           (moment.isEmpty() ? QStringLiteral("okänd tidpunkt") : moment) +
           QStringLiteral(" (BackUp-katalogen ") + folder + QStringLiteral(")");
}
const QString KeptNote = QStringLiteral("De nuvarande filerna sparas först i en mapp bredvid MoniData,") +
                         QStringLiteral(" så att återställningen kan göras ogjord för hand.");
QString replaceAccount(const QString& account, const QString& moment, const QString& folder) {
    return QStringLiteral("Kontot '") + account + QStringLiteral("' ersätts nu med ") + from(moment, folder) +
           QStringLiteral(" !") + CRLF + CRLF + KeptNote + CRLF + CRLF +
           QStringLiteral("Vill du återställa kontot ?");
}
QString replaceAll(const QStringList& accounts, const QString& moment, const QString& folder) {
    QString t =
        QStringLiteral("Registret och programmets arbetsfiler ersätts nu med ") + from(moment, folder);
    if (!accounts.isEmpty())
        t += QStringLiteral(", och likaså kontona:") + CRLF + CRLF + accounts.join(CRLF);
    return t + CRLF + CRLF + KeptNote + CRLF + CRLF + QStringLiteral("Vill du återställa samtliga konton ?");
}

const QString DoneTitle = QStringLiteral("Återställning utförd");
QString restoreDone(const QString& account, const QString& open, const fs::path& kept,
                    const std::vector<std::string>& removed) {
    QString t = QStringLiteral("Säkerhetskopierade arbetsfiler från BackUp,") +
                QStringLiteral(" är nu återställda till registerkatalogen !") + CRLF + CRLF +
                QStringLiteral("Filerna har lästs in på nytt");
    if (open.isEmpty())
        t += QStringLiteral(".");
    else if (open == account)
        t += QStringLiteral(", och kontot '") + open + QStringLiteral("' är öppnat igen.");
    else
        t += QStringLiteral(", och kontot '") + open + QStringLiteral("' är öppnat.");
    t += CRLF + CRLF;
    if (kept.empty())
        t += QStringLiteral("Inga befintliga filer behövde ersättas.");
    else
        t += QStringLiteral("De ersatta filerna finns sparade i mappen") + CRLF +
             QString::fromStdString(kept.string()) + CRLF +
             QStringLiteral("om du vill gå tillbaka till dem.");
    if (removed.empty())
        return t;
    t += CRLF + CRLF + QStringLiteral("Bara de tre senaste mapparna med ersatta filer sparas; de här äldre") +
         QStringLiteral(" har tagits bort:");
    for (const std::string& name : removed)
        t += CRLF + QString::fromStdString(name);
    return t;
}

} // namespace text

QString shown(QString text) {
    return text.replace(CRLF, QStringLiteral("\n"));
}

QString fromPath(const fs::path& path) {
    return QString::fromStdString(path.string());
}

} // namespace

BackUpForm::BackUpForm(support::Context& ctx, QWidget* parent, std::function<QString()> openAccount,
                       std::function<QString()> restored)
    : QWidget(parent, Qt::Window), ctx_(ctx), openAccount_(std::move(openAccount)),
      restored_(std::move(restored)), infoBox_(new QPlainTextEdit(this)),
      backupButton_(new QPushButton(QStringLiteral("BackUp"), this)),
      restoreButton_(new QPushButton(QStringLiteral("Återställ"), this)),
      driveTitle_(new QLabel(QStringLiteral("Drive-enheter"), this)), drvList_(new QListWidget(this)),
      thisAccountOption_(new QRadioButton(QStringLiteral("Detta konto"), this)),
      allAccountsOption_(new QRadioButton(QStringLiteral("Alla konton"), this)),
      folderList_(new QListWidget(this)), waitLabel_(new QLabel(this)),
      cancelButton_(new QPushButton(QStringLiteral("Avbryt"), this)),
      quitButton_(new QPushButton(QStringLiteral("Avsluta"), this)) {
    setObjectName(QStringLiteral("BackUpForm"));
    setWindowTitle(QStringLiteral("Backup / Äterställ"));
    setWindowModality(Qt::ApplicationModal);
    infoBox_->setObjectName(QStringLiteral("infoBox"));
    backupButton_->setObjectName(QStringLiteral("backupButton"));
    restoreButton_->setObjectName(QStringLiteral("restoreButton"));
    driveTitle_->setObjectName(QStringLiteral("driveTitle"));
    drvList_->setObjectName(QStringLiteral("DrvList"));
    thisAccountOption_->setObjectName(QStringLiteral("thisAccountOption"));
    allAccountsOption_->setObjectName(QStringLiteral("allAccountsOption"));
    folderList_->setObjectName(QStringLiteral("folderList"));
    waitLabel_->setObjectName(QStringLiteral("waitLabel"));
    cancelButton_->setObjectName(QStringLiteral("cancelButton"));
    quitButton_->setObjectName(QStringLiteral("quitButton"));
    driveTitle_->setBuddy(drvList_);
    folderList_->setAccessibleName(QStringLiteral("Säkerhetskopior"));
    infoBox_->setAccessibleName(QStringLiteral("Information"));

    // Placed as on the designed form: the drive list, options and folders lie below the text and
    // are shown only while a drive is chosen, when the window has its full height.
    infoBox_->setReadOnly(true);
    infoBox_->setGeometry(10, 10, 410, 210);
    backupButton_->setGeometry(430, 10, 160, 30);
    restoreButton_->setGeometry(430, 46, 160, 30);
    cancelButton_->setGeometry(430, 82, 160, 30);
    quitButton_->setGeometry(430, 118, 160, 30);
    waitLabel_->setGeometry(430, 160, 160, 80);
    waitLabel_->setAlignment(Qt::AlignCenter);
    driveTitle_->setGeometry(10, 230, 160, 20);
    drvList_->setGeometry(10, 252, 160, 158);
    thisAccountOption_->setGeometry(180, 252, 120, 24);
    allAccountsOption_->setGeometry(180, 280, 120, 24);
    folderList_->setGeometry(310, 252, 280, 158);
    resize(DesignWidth, idleHeight());

    connect(cancelButton_, &QPushButton::clicked, this, &BackUpForm::cancel);
    connect(quitButton_, &QPushButton::clicked, this, &BackUpForm::quit);
    connect(backupButton_, &QPushButton::clicked, this, &BackUpForm::startBackup);
    connect(restoreButton_, &QPushButton::clicked, this, &BackUpForm::startRestore);
    connect(thisAccountOption_, &QRadioButton::clicked, this, &BackUpForm::chooseThisAccount);
    connect(allAccountsOption_, &QRadioButton::clicked, this, &BackUpForm::chooseAllAccounts);
    connect(drvList_, &QListWidget::itemClicked, this,
            [this](QListWidgetItem* item) { DrvList_MouseDown(drvList_->row(item)); });
    connect(folderList_, &QListWidget::itemClicked, this,
            [this](QListWidgetItem* item) { restoreFrom(folderList_->row(item)); });
    // Esc cancels a drive choice under way ("Avbryt"), else closes the window ("Avsluta").
    connect(new QShortcut(QKeySequence(Qt::Key_Escape), this), &QShortcut::activated, this,
            [this] { (cancelButton_->isEnabled() ? cancelButton_ : quitButton_)->click(); });

    showIdle();
}

BackUpForm::~BackUpForm() {
    if (waiting_)
        QApplication::restoreOverrideCursor();
}

void BackUpForm::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (loaded_)
        return;
    loaded_ = true;
    Form_Load();
}

void BackUpForm::Form_Load() {
    support::trapped(
        ctx_, this, [this] { support::restoreWindowPosition(ctx_, *this, store::WindowPair::BackUpForm); },
        [] {
            return support::describeFailure(QStringLiteral("Form_Load"),
                                            QStringLiteral(" vid placering av fönstret Backup."));
        });
    showIdle();
    setInfo(text::intro());
}

QString BackUpForm::accountName() const {
    return openAccount_ ? openAccount_() : QString();
}

void BackUpForm::setInfo(const QString& message) {
    info_ = message;
    infoBox_->setPlainText(shown(message));
}

void BackUpForm::clearOptions() {
    // Exclusive radio buttons cannot all be unchecked while they are exclusive.
    for (QRadioButton* option : {thisAccountOption_, allAccountsOption_}) {
        option->setAutoExclusive(false);
        option->setChecked(false);
        option->setAutoExclusive(true);
    }
}

void BackUpForm::showIdle() {
    mode_.clear();
    restoreScope_.clear();
    cancelButton_->setEnabled(false);
    backupButton_->setEnabled(true);
    restoreButton_->setEnabled(true);
    for (QWidget* w : std::initializer_list<QWidget*>{driveTitle_, drvList_, thisAccountOption_,
                                                      allAccountsOption_, folderList_, waitLabel_}) {
        w->setEnabled(false);
        w->hide();
    }
    resize(width(), idleHeight());
}

void BackUpForm::showChoosing() {
    clearOptions();
    waitLabel_->setText(shown(waitText_));
    waitLabel_->hide();
    chosenDrive_.clear();
    chosenRoot_.clear();
    restoreScope_.clear();
    Enhetslista();
    cancelButton_->setEnabled(true);
    backupButton_->setEnabled(false);
    restoreButton_->setEnabled(false);
    resize(width(), DesignHeight);
    driveTitle_->show();
    driveTitle_->setEnabled(true);
    drvList_->show();
    drvList_->setEnabled(true);
    thisAccountOption_->show();
    allAccountsOption_->show();
    thisAccountOption_->setEnabled(false);
    allAccountsOption_->setEnabled(false);
    folderList_->clear();
    folderList_->setEnabled(false);
    folderList_->setVisible(mode_ == RestoreMode);
}

void BackUpForm::startBackup() {
    mode_ = BackupMode;
    waitText_ = text::backupWait();
    setInfo(text::backupGuide());
    showChoosing();
}

void BackUpForm::startRestore() {
    mode_ = RestoreMode;
    waitText_ = text::restoreWait();
    setInfo(text::restoreGuide());
    showChoosing();
}

void BackUpForm::Enhetslista() {
    drvList_->clear();
    support::trapped(
        ctx_, this,
        [this] {
            for (const Drive& drive : usableDrives(ctx_.platform.mountedDrives())) {
                auto* item = new QListWidgetItem(QString::fromStdString(driveText(drive.root)), drvList_);
                item->setData(KindRole, static_cast<int>(drive.kind));
                item->setData(PathRole, fromPath(drive.root));
            }
        },
        [] {
            return support::describeFailure(QStringLiteral("Enhetslista"),
                                            QStringLiteral(" vid listning av drive-enheter."));
        });
    drvList_->show();
}

void BackUpForm::DrvList_MouseDown(int row) {
    QListWidgetItem* item = drvList_->item(row);
    if (!item || mode_.isEmpty() || busy_)
        return;
    const bool backup = mode_ == BackupMode;
    const QString question =
        text::driveDescription(backup, item->data(KindRole).toInt()) + CRLF + CRLF + text::useDrive(backup);
    // The restore's drive is asked with a Cancel button beside Yes and No; only Yes goes on.
    const bool yes = backup ? ctx_.dialogs.question(this, text::DriveTitle, question)
                            : ctx_.dialogs.questionOrCancel(this, text::DriveTitle, question) ==
                                  support::Dialogs::Answer::Yes;
    if (!yes) {
        clearOptions();
        thisAccountOption_->setEnabled(false);
        allAccountsOption_->setEnabled(false);
        mode_.clear();
        return;
    }
    chosenDrive_ = item->text();
    chosenRoot_ = fs::path(item->data(PathRole).toString().toStdString());
    // "Detta konto" needs an open account.
    thisAccountOption_->setEnabled(!accountName().isEmpty());
    allAccountsOption_->setEnabled(true);
    ctx_.dialogs.message(this, text::scopeTitle(backup), text::chooseScope());
}

void BackUpForm::chooseThisAccount() {
    if (chosenDrive_.isEmpty() || busy_ || accountName().isEmpty())
        return;
    if (mode_ == BackupMode) {
        if (!ctx_.dialogs.question(this, text::StorageTitle,
                                   text::backUpAccountQuestion(chosenDrive_, accountName()))) {
            clearOptions();
            return;
        }
        showWait();
        if (!Backp(2))
            return;
        KontoBackUp();
    } else if (mode_ == RestoreMode) {
        if (!ctx_.dialogs.question(this, text::StorageTitle,
                                   text::restoreAccountQuestion(chosenDrive_, accountName())))
            return;
        armRestore(true);
    }
}

void BackUpForm::chooseAllAccounts() {
    if (chosenDrive_.isEmpty() || busy_)
        return;
    if (mode_ == BackupMode) {
        if (!ctx_.dialogs.question(this, text::StorageTitle, text::backUpAllQuestion(chosenDrive_))) {
            clearOptions();
            return;
        }
        showWait();
        if (!Backp(2))
            return;
        AllBackUp();
    } else if (mode_ == RestoreMode) {
        if (!ctx_.dialogs.question(this, text::StorageTitle, text::restoreAllQuestion(chosenDrive_)))
            return;
        armRestore(false);
    }
}

void BackUpForm::armRestore(bool thisAccount) {
    const Scope scope = thisAccount ? Scope::Account : Scope::All;
    const std::vector<fs::path> found = restoreCandidates(chosenRoot_, scope, accountName().toStdString());
    if (found.empty()) {
        ctx_.dialogs.message(this, text::WrongDriveTitle,
                             thisAccount ? text::NoAccountBackup : text::NoAllBackup);
        return;
    }
    // Only the backups are offered: a click on any other folder would copy it onto the data.
    folderList_->clear();
    for (const fs::path& folder : found) {
        auto* item = new QListWidgetItem(QString::fromStdString(folder.filename().string()), folderList_);
        item->setData(PathRole, fromPath(folder));
    }
    folderList_->show();
    folderList_->setEnabled(true);
    restoreScope_ = thisAccount ? ThisAccount : AllAccounts;
    ctx_.dialogs.message(this, text::PickTitle, text::Pick);
}

void BackUpForm::KontoBackUp() {
    const QString account = accountName();
    const QString drive = chosenDrive_;
    fs::path made;
    const bool ok = support::trapped(
        ctx_, this,
        [&] {
            made =
                backUpAccount(ctx_.paths, account.toStdString(), chosenRoot_, ctx_.today, ctx_.clockTime());
        },
        [&] {
            return support::describeFailure(QStringLiteral("KontoBackUp"),
                                            QStringLiteral(" vid säkerhetskopiering av kontot."),
                                            {QStringLiteral("Felet uppstod i konto ") + account,
                                             QStringLiteral("BackUp-media = ") + drive});
        });
    hideWait();
    if (ok) {
        lastBackup_ = made;
        setInfo(text::accountDone(account, drive));
    }
    showIdle();
}

void BackUpForm::AllBackUp() {
    const QString drive = chosenDrive_;
    fs::path made;
    const bool ok = support::trapped(
        ctx_, this, [&] { made = backUpAll(ctx_.paths, chosenRoot_, ctx_.today, ctx_.clockTime()); },
        [&] {
            return support::describeFailure(QStringLiteral("AllBackUp"),
                                            QStringLiteral(" vid säkerhetskopiering av samtliga konton."),
                                            {QStringLiteral("BackUp-media = ") + drive});
        });
    hideWait();
    if (ok) {
        lastBackup_ = made;
        setInfo(text::allDone(QString::fromStdString(made.filename().string()), drive));
    }
    showIdle();
}

void BackUpForm::restoreFrom(int row) {
    QListWidgetItem* item = folderList_->item(row);
    if (!item || restoreScope_.isEmpty() || busy_)
        return;
    const fs::path folder(item->data(PathRole).toString().toStdString());
    const bool thisAccount = restoreScope_ == ThisAccount;
    // A restore declined or failed ends as a finished one does: the window closes, with nothing
    // copied (a failed restore leaves every file as it was) and no completion message.
    if (!confirmRestore(folder, thisAccount)) {
        quit();
        return;
    }
    showWait();
    if (!Backp(2))
        return;
    fs::path kept;
    const bool copied = thisAccount ? KontoRecover(folder, kept) : AllRecover(folder, kept);
    hideWait();
    if (!copied) {
        quit();
        return;
    }
    std::vector<std::string> removed;
    try {
        removed = pruneReplacedFolders(ctx_.paths);
    } catch (const std::exception&) {
        // Old folders that stay harm nobody; the restore itself is done.
    }
    // The main window reads the restored files before it is told what happened; the message then
    // belongs to it, since this window is closed by then.
    support::Context& ctx = ctx_;
    const QString account = accountName();
    const auto restored = restored_;
    const QPointer<QWidget> owner = parentWidget();
    quit();
    const QString open = restored ? restored() : QString();
    ctx.dialogs.message(owner, text::DoneTitle, text::restoreDone(account, open, kept, removed));
}

bool BackUpForm::confirmRestore(const fs::path& folder, bool thisAccount) {
    const auto describe = [&] {
        return thisAccount
                   ? support::describeFailure(QStringLiteral("KontoRecover"),
                                              QStringLiteral(" vid återställning av kontot."),
                                              {QStringLiteral("Felet uppstod i konto ") + accountName(),
                                               QStringLiteral("BackUp-katalog = ") + fromPath(folder)})
                   : support::describeFailure(QStringLiteral("AllRecover"),
                                              QStringLiteral(" vid återställning av samtliga konton."),
                                              {QStringLiteral("BackUp-katalog = ") + fromPath(folder)});
    };
    std::vector<std::string> absent, accounts;
    std::string moment;
    if (!support::trapped(
            ctx_, this,
            [&] {
                moment = backupMoment(folder);
                if (!thisAccount) {
                    absent = missingAccountFolders(ctx_.paths, folder);
                    accounts = backupAccounts(folder);
                }
            },
            describe))
        return false;
    for (const std::string& name : absent)
        if (!ctx_.dialogs.question(this, text::MissingTitle, text::missing(QString::fromStdString(name))))
            return false;
    const QString name = QString::fromStdString(folder.filename().string());
    const QString when = QString::fromStdString(moment);
    if (thisAccount)
        return ctx_.dialogs.question(this, text::ConfirmTitle,
                                     text::replaceAccount(accountName(), when, name));
    QStringList names;
    for (const std::string& account : accounts)
        names << QString::fromStdString(account);
    return ctx_.dialogs.question(this, text::ConfirmTitle, text::replaceAll(names, when, name));
}

bool BackUpForm::KontoRecover(const fs::path& folder, fs::path& kept) {
    const QString account = accountName();
    return support::trapped(
        ctx_, this,
        [&] {
            store::describeChange("återställning av kontot " + account.toStdString());
            kept = restoreAccount(ctx_.paths, account.toStdString(), folder, ctx_.today, ctx_.clockTime());
        },
        [&] {
            return support::describeFailure(QStringLiteral("KontoRecover"),
                                            QStringLiteral(" vid återställning av kontot."),
                                            {QStringLiteral("Felet uppstod i konto ") + account,
                                             QStringLiteral("BackUp-katalog = ") + fromPath(folder)});
        });
}

bool BackUpForm::AllRecover(const fs::path& folder, fs::path& kept) {
    return support::trapped(
        ctx_, this,
        [&] {
            store::describeChange("återställning av alla konton");
            kept = restoreAll(ctx_.paths, folder, ctx_.today, ctx_.clockTime());
        },
        [&] {
            return support::describeFailure(QStringLiteral("AllRecover"),
                                            QStringLiteral(" vid återställning av samtliga konton."),
                                            {QStringLiteral("BackUp-katalog = ") + fromPath(folder)});
        });
}

void BackUpForm::showWait() {
    waitLabel_->setText(shown(waitText_));
    waitLabel_->setEnabled(true);
    waitLabel_->show();
    // The copy itself holds the event loop: the cursor says so over every window of the program.
    if (!waiting_) {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        waiting_ = true;
    }
}

void BackUpForm::hideWait() {
    waitLabel_->clear();
    waitLabel_->hide();
    if (waiting_) {
        QApplication::restoreOverrideCursor();
        waiting_ = false;
    }
}

bool BackUpForm::Backp(int seconds) {
    // The controls rest while the copy waits, so nothing starts a second procedure meanwhile.
    const std::initializer_list<QWidget*> controls{cancelButton_,      quitButton_, backupButton_,
                                                   restoreButton_,     drvList_,    thisAccountOption_,
                                                   allAccountsOption_, folderList_};
    std::vector<bool> enabled;
    for (QWidget* w : controls) {
        enabled.push_back(w->isEnabled());
        w->setEnabled(false);
    }
    busy_ = true;
    QPointer<BackUpForm> self(this);
    {
        // The timer runs on a steady clock, so a wait across midnight lasts what it should.
        QEventLoop loop;
        QTimer::singleShot(std::max(0, seconds) * secondLength_, &loop, &QEventLoop::quit);
        loop.exec();
    }
    if (!self)
        return false;
    busy_ = false;
    auto state = enabled.begin();
    for (QWidget* w : controls)
        w->setEnabled(*state++);
    return true;
}

void BackUpForm::cancel() {
    if (busy_)
        return;
    showIdle();
    setInfo(text::cancelled());
}

void BackUpForm::quit() {
    if (busy_)
        return;
    support::trapped(
        ctx_, this, [this] { support::storeWindowPosition(ctx_, *this, store::WindowPair::BackUpForm); },
        [] {
            return support::describeFailure(QStringLiteral("Command2_Click"),
                                            QStringLiteral(" vid placering av fönstret Backup."));
        });
    closeWindow();
}

void BackUpForm::closeWindow() {
    closing_ = true;
    close();
    closing_ = false;
}

void BackUpForm::closeEvent(QCloseEvent* event) {
    // A copy under way finishes first; the window cannot go from under it.
    if (busy_) {
        event->ignore();
        return;
    }
    if (!closing_ && loaded_) {
        support::trapped(
            ctx_, this, [this] { support::storeWindowPosition(ctx_, *this, store::WindowPair::BackUpForm); },
            [] {
                return support::describeFailure(QStringLiteral("Form_Unload"),
                                                QStringLiteral(" vid placering av fönstret Backup."));
            });
    }
    // The main window, disabled while this window is open, is given back on every way out.
    if (QWidget* main = parentWidget())
        main->setEnabled(true);
    event->accept();
}

} // namespace backup
