// The menus, the help texts at the bottom of the window and the windows opened from them.

#include "app/HeadForm.h"

#include "accounts/RemoveAccount.h"
#include "app/DateSelector.h"
#include "backup/ui/BackUpForm.h"
#include "budget/ui/BudgAltForm.h"
#include "catalogue/Catalogue.h"
#include "ledger/ui/BudgetFrame.h"
#include "ledger/ui/CashFrame.h"
#include "stats/ui/UtskrStatForm.h"
#include "store/Cp1252.h"
#include "store/History.h"
#include "support/ErrorReport.h"
#include "support/Version.h"
#include "support/ui/DonateForm.h"
#include "support/ui/HelpViewer.h"
#include "support/ui/MsgForm.h"
#include "support/ui/Trap.h"
#include "support/ui/WindowPosition.h"

#include <QAction>
#include <QComboBox>
#include <QEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QShortcut>
#include <QTableWidget>

namespace app {

namespace {
const QString Sep =
    QString::fromUtf8(support::DetailSeparator.data(), static_cast<int>(support::DetailSeparator.size()));
const QString CRLF = QStringLiteral("\r\n");

} // namespace

void HeadForm::buildMenus() {
    arkMenu_ = menuBar()->addMenu(QStringLiteral("Arkiv"));
    arkMenu_->setObjectName(QStringLiteral("Ark_mn"));
    undoAction_ = arkMenu_->addAction(QStringLiteral("Ångra"));
    undoAction_->setObjectName(QStringLiteral("Undo_mn"));
    undoAction_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Z));
    connect(undoAction_, &QAction::triggered, this, &HeadForm::Undo_mn_Click);
    redoAction_ = arkMenu_->addAction(QStringLiteral("Gör om"));
    redoAction_->setObjectName(QStringLiteral("Redo_mn"));
    redoAction_->setShortcuts(
        {QKeySequence(Qt::CTRL | Qt::Key_Y), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)});
    connect(redoAction_, &QAction::triggered, this, &HeadForm::Redo_mn_Click);
    arkMenu_->addSeparator();
    refreshUndoActions();
    nykontoAction_ = arkMenu_->addAction(QStringLiteral("Nytt konto"));
    nykontoAction_->setObjectName(QStringLiteral("Nykonto_mn"));
    connect(nykontoAction_, &QAction::triggered, this, &HeadForm::Nykonto_mn_Click);
    radkoAction_ = arkMenu_->addAction(QStringLiteral("Radera inloggat Konto"));
    radkoAction_->setObjectName(QStringLiteral("Radko_mn"));
    radkoAction_->setEnabled(false);
    connect(radkoAction_, &QAction::triggered, this, &HeadForm::Radko_mn_Click);
    exAction_ = arkMenu_->addAction(QStringLiteral("Avsluta"));
    exAction_->setObjectName(QStringLiteral("Ex_mn"));
    connect(exAction_, &QAction::triggered, this, &HeadForm::Exit_Konto);

    buplAction_ = menuBar()->addAction(QStringLiteral("Budgetplanering"));
    buplAction_->setObjectName(QStringLiteral("bupl_mn"));
    buplAction_->setEnabled(false);
    connect(buplAction_, &QAction::triggered, this, &HeadForm::bupl_mn_Click);
    utskrstatAction_ = menuBar()->addAction(QStringLiteral("Utskrift o Statistik"));
    utskrstatAction_->setObjectName(QStringLiteral("utskrstat_mn"));
    utskrstatAction_->setEnabled(false);
    connect(utskrstatAction_, &QAction::triggered, this, &HeadForm::Utskrstat_mn_Click);
    overviewAction_ = menuBar()->addAction(QStringLiteral("Sammanställning"));
    overviewAction_->setObjectName(QStringLiteral("overview_mn"));
    overviewAction_->setShortcut(QKeySequence(Qt::Key_F6));
    overviewAction_->setEnabled(false);
    // Both windows read the accounts as they stand, so the overview opens exactly when the
    // statistics window may.
    connect(utskrstatAction_, &QAction::enabledChanged, overviewAction_, &QAction::setEnabled);
    connect(overviewAction_, &QAction::triggered, this, &HeadForm::Overview_mn_Click);
    importAction_ = new QAction(QStringLiteral("Importera kontoutdrag…"), arkMenu_);
    importAction_->setObjectName(QStringLiteral("Import_mn"));
    importAction_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_I));
    importAction_->setEnabled(false);
    arkMenu_->insertAction(exAction_, importAction_);
    // An import needs an open account and no procedure running, as the statistics window does.
    connect(utskrstatAction_, &QAction::enabledChanged, importAction_, &QAction::setEnabled);
    connect(importAction_, &QAction::triggered, this, &HeadForm::Import_mn_Click);
    buAction_ = menuBar()->addAction(QStringLiteral("Back-up"));
    buAction_->setObjectName(QStringLiteral("Bu_mn"));
    connect(buAction_, &QAction::triggered, this, &HeadForm::Bu_mn_Click);

    helpMenu_ = menuBar()->addMenu(QStringLiteral("Info/Hjälp (F1)"));
    helpMenu_->setObjectName(QStringLiteral("KB_InfAnv_mn"));
    for (const support::HelpTopic& topic : support::helpTopics()) {
        if (topic.menuObjectName.isEmpty())
            continue; // opened from its own window
        // A menu takes "&" for a shortcut letter; the title's own "&" is written twice.
        QAction* action =
            helpMenu_->addAction(QString(topic.title).replace(QLatin1Char('&'), QStringLiteral("&&")));
        action->setObjectName(topic.menuObjectName);
        const int context = topic.contextNumber;
        connect(action, &QAction::triggered, this, [this, context] { ctx_.platform.showHelp(context); });
    }
    helpMenu_->addSeparator();
    updateAction_ = helpMenu_->addAction(QStringLiteral("Uppdaterat"));
    updateAction_->setObjectName(QStringLiteral("Update_mn"));
    connect(updateAction_, &QAction::triggered, this, &HeadForm::Update_mn_Click);
    kritiskAction_ = helpMenu_->addAction(QStringLiteral("Har du kritik ?"));
    kritiskAction_->setObjectName(QStringLiteral("kritisk_mn"));
    connect(kritiskAction_, &QAction::triggered, this, &HeadForm::kritisk_mn_Click);
    doneraAction_ = helpMenu_->addAction(QStringLiteral("Donera"));
    doneraAction_->setObjectName(QStringLiteral("Donera_mn"));
    connect(doneraAction_, &QAction::triggered, this, &HeadForm::Donera_Click);

    auto* f1 = new QShortcut(QKeySequence(Qt::Key_F1), this);
    connect(f1, &QShortcut::activated, this, [this] { ctx_.platform.showHelp(support::HelpOverview); });
}

void HeadForm::noAddressMessage(const QString& what, const QString& more) {
    ctx_.dialogs.message(this, QStringLiteral("Ingen webbadress"),
                         what +
                             QStringLiteral(" skulle ha öppnats i webbläsaren, men ingen webbadress är "
                                            "inställd i den här versionen av programmet.") +
                             more);
}

void HeadForm::Update_mn_Click() {
    const QString url = ctx_.settings.page(QStringLiteral("Bugfix/BuggFix_Moniva.php"));
    if (url.isEmpty())
        noAddressMessage(
            QStringLiteral("Uppdateringssidan"),
            QStringLiteral("\n\nDu använder Moniva ") +
                QString::fromUtf8(support::ProgramVersion.data(), support::ProgramVersion.size()) +
                QStringLiteral("."));
    else
        ctx_.platform.openUrl(url);
}

void HeadForm::openHomePage() {
    if (ctx_.settings.homePage.isEmpty())
        noAddressMessage(QStringLiteral("Hemsidan"));
    else
        ctx_.platform.openUrl(ctx_.settings.homePage);
}

QString HeadForm::feedbackText() const {
    const QString email = ctx_.settings.feedbackEmail.isEmpty()
                              ? QStringLiteral("(ingen e-postadress är inställd i den här versionen)")
                              : ctx_.settings.feedbackEmail;
    return QStringLiteral("                         Hej !\n\n") +
           QStringLiteral("Om Du är missnöjd med programmet och inte vill fortsätta att använda det,") +
           QStringLiteral(" vill jag gärna be Dig att Du så utförligt som möjligt skriver några rader om") +
           QStringLiteral(" vad det är som Du saknar i programmet, vilka fel som Du stött på och vad") +
           QStringLiteral(" Du tycker borde kunna göras bättre !\n") +
           QStringLiteral("Det skulle ge en bra feedback och vara en möjlighet för mig att förbättra det.") +
           QStringLiteral(" Som programmerare är det inte lätt att förutse alla typer av driftsfall som") +
           QStringLiteral(" kan uppkomma. Därför sätter jag ett stort värde på all respons från Dig,") +
           QStringLiteral(" och tackar för Din medverkan !\n\n") +
           QStringLiteral("Skriv ett mail till:\n\n") + email + QStringLiteral("\n\n") +
           QStringLiteral("Är du helnöjd med programmet, så vet jag ett bra sätt som du kan visa det på,") +
           QStringLiteral(" och samtidigt skicka en uppmuntrande signal till undertecknad !\n\n") +
           QStringLiteral("Använd Donera-knappen !\n\n") + QStringLiteral("Med vänlig hälsning\n\n") +
           QStringLiteral("         /Ollon");
}

void HeadForm::kritisk_mn_Click() {
    ctx_.dialogs.message(this, QStringLiteral("ProgramKritik"), feedbackText());
}

void HeadForm::Donera_Click() {
    auto* form = new support::DonateForm(ctx_, this);
    form->setAttribute(Qt::WA_DeleteOnClose);
    form->setWindowFlag(Qt::Window);
    setEnabled(false);
    form->setEnabled(true);
    form->show();
}

// --- Help texts

void HeadForm::setHelp(const QString& title, const QString& line) {
    helpTitle_->setText(title);
    helpLine_->setText(line);
}

void HeadForm::installHelp() {
    for (QWidget* w : std::initializer_list<QWidget*>{
             centralWidget(), cashFrame_, budgetFrame_, dateSelector_, confirmButton_, logo_, accountBox_,
             cashFrame_->saldoTitle(), dateSelector_->findChild<QWidget*>(QStringLiteral("YearShow")),
             dateSelector_->findChild<QWidget*>(QStringLiteral("MonthShow")),
             dateSelector_->findChild<QWidget*>(QStringLiteral("DayShow")), cancelButton_})
        w->installEventFilter(this);
    cashFrame_->saldoTitle()->setMouseTracking(true);
}

bool HeadForm::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress && commandKey(watched, *static_cast<QKeyEvent*>(event)))
        return true;
    if (event->type() == QEvent::MouseButtonPress) {
        if (watched == cancelButton_ && cancelButton_->isEnabled())
            cancelPressed();
        else if (watched == accountBox_ && accountBox_->isEnabled())
            Nykonto_mn_Click();
        else if (watched == logo_ && logo_->isEnabled())
            openHomePage();
        return false;
    }
    if (event->type() != QEvent::Enter || moveMode_)
        return QMainWindow::eventFilter(watched, event);

    const QString name = watched->objectName();
    if (watched == centralWidget() || watched == cashFrame_ || watched == budgetFrame_) {
        setHelp(QString(), QString());
    } else if (watched == dateSelector_) {
        setHelp(QStringLiteral("Datumenhet"),
                QStringLiteral("Ändra valfritt  ") + Sep + QStringLiteral("År") + Sep +
                    QStringLiteral(" - ") + Sep + QStringLiteral("Månad") + Sep + QStringLiteral(" - ") +
                    Sep + QStringLiteral("Dag") + Sep + QStringLiteral("  var för sig !"));
    } else if (name == QLatin1String("YearShow") || name == QLatin1String("MonthShow") ||
               name == QLatin1String("DayShow")) {
        setHelp(QStringLiteral("Datumsökning"),
                QStringLiteral("Klicka och sök data på inställt datum. Återställ med 'Avbryt' !"));
    } else if (watched == confirmButton_) {
        setHelp(QStringLiteral("Multiknapp 1"), QStringLiteral("Godkänn nuvarande belopp på markerad rad !"));
    } else if (watched == logo_) {
        setHelp(QStringLiteral("Logo"), QStringLiteral("Välkommen titta in på min hemsida !\n/Ollon"));
    } else if (watched == accountBox_) {
        if (hasAccounts()) {
            setHelp(QStringLiteral("Konto"),
                    QStringLiteral("Klicka för att skapa ett nytt konto, eller välj") +
                        QStringLiteral(" ett befintligt från listan !"));
            accountBox_->setToolTip(QStringLiteral("Klicka för att lägga in nytt konto !"));
        } else {
            setHelp(QStringLiteral("Konto"), QStringLiteral("Klicka för att skapa ett första konto !"));
            accountBox_->setToolTip(QStringLiteral("Klicka för att lägga in första kontot !"));
        }
    } else if (watched == cashFrame_->saldoTitle()) {
        saldoTitleHover();
    }
    return QMainWindow::eventFilter(watched, event);
}

void HeadForm::saldoTitleHover() {
    QLabel* title = cashFrame_->saldoTitle();
    if (infoDismissed_ || !transakt_ || kind_ != QLatin1String("Ek")) {
        title->setToolTip(QString());
        return;
    }
    if (catalogue::neutralStandardTransaction(*transakt_) != 0) {
        title->setToolTip(support::MsgForm::SaldoTipStandard);
        return;
    }
    title->setToolTip(support::MsgForm::SaldoTipHint);
    if (msgForm_ && msgForm_->isVisible())
        return;
    if (!msgForm_) {
        // Without a parent, so that its controls never mix with the main window's own.
        msgForm_ = new support::MsgForm(ctx_, nullptr);
        support::keepAbove(*msgForm_, this);
        connect(msgForm_, &support::MsgForm::hintSwitchedOff, this, [this] {
            support::trapped(
                ctx_, this,
                [&] {
                    store::RecordFile kontoFil(ctx_.paths.kontoFil(), store::KontoRec::Length);
                    auto rec = kontoFil.read<store::KontoRec>(static_cast<std::size_t>(kontoNum_));
                    rec.setName(rec.name(), true);
                    kontoFil.write(static_cast<std::size_t>(kontoNum_), rec);
                    kontoFil.commit();
                    infoDismissed_ = true;
                },
                [&] {
                    return support::ErrorDescription{
                        QStringLiteral("Ett fel har uppstått i subrutinen MsgForm") + CRLF +
                            QStringLiteral(" vid försök att spara valet 'Visa inte igen'.") + CRLF + CRLF,
                        {QStringLiteral("Fel i rutinen MsgForm"),
                         QStringLiteral("KontoNum = ") + QString::number(kontoNum_),
                         QStringLiteral("Felet uppstod i konto ") + accountName_}};
                });
        });
    }
    msgForm_->showHint(support::MsgForm::FundHintCaption, support::MsgForm::fundHintText());
}

void HeadForm::Bu_mn_Click() {
    auto* form = new backup::BackUpForm(
        ctx_, this, [this] { return accountName_; }, [this] { return reloadAfterRestore(); });
    form->setAttribute(Qt::WA_DeleteOnClose);
    // Shown disabled while the backup window is open (the window gives it back as it closes);
    // the window itself is a child and stays enabled.
    setEnabled(false);
    form->setEnabled(true);
    form->show();
}

void HeadForm::Utskrstat_mn_Click() {
    if (!kontoData_)
        return;
    auto* form = new stats::UtskrStatForm(ctx_, this, {accountName_, kind_, kontoNum_});
    form->setAttribute(Qt::WA_DeleteOnClose);
    // The window disables this one as it opens and enables it on every way out.
    form->show();
}

void HeadForm::bupl_mn_Click() {
    if (!kontoData_ || kind_ != QLatin1String("Bg") || budgAltForm_)
        return;
    setProcedureCode(QStringLiteral("budg"));
    armReset();
    auto* form = new budget::BudgAltForm(catalogueAccess());
    form->setAttribute(Qt::WA_DeleteOnClose);
    support::keepAbove(*form, this);
    budgAltForm_ = form;
    // The window disables this one as it opens and gives it back, with the procedure ended, on
    // every way out.
    form->show();
}

QString HeadForm::reloadAfterRestore() {
    return reloadAccounts(accountName_.toStdString());
}

QString HeadForm::reloadAccounts(const std::string& open) {
    // The files on disk are the restored ones now: read everything again, with the account that
    // was open opened again. KontoIni names the account of the last exit (and a restore of all
    // accounts brings back the backup's), so the open account is written there first, looked up
    // by name, since the restored register may hold it in another record.
    closeAccountFiles();
    support::trapped(
        ctx_, this,
        [&] {
            if (open.empty())
                return;
            const store::RecordFile kontoFil(ctx_.paths.kontoFil(), store::KontoRec::Length);
            for (const accounts::RegisterEntry& entry : accounts::listAccounts(kontoFil)) {
                if (entry.name == open) {
                    kontoNum_ = entry.recordNumber;
                    writeKontoIni();
                    return;
                }
            }
        },
        [&] {
            return support::ErrorDescription{
                QStringLiteral("Ett fel har uppstått i subrutinen Bu_mn_Click") + CRLF +
                    QStringLiteral(" vid försök att läsa in kontona efter återställningen.") + CRLF + CRLF,
                {QStringLiteral("Fel i rutinen Bu_mn_Click"),
                 QStringLiteral("vid försök att läsa in kontona efter återställningen"),
                 QStringLiteral("Felet uppstod i konto ") + QString::fromStdString(open)}};
        });
    Inläs_Kontofil();
    return kontoData_ ? accountName_ : QString();
}

// --- Undo and redo

void HeadForm::refreshUndoActions() {
    if (!undoAction_ || !history_)
        return;
    const bool free = procedureCode_.isEmpty();
    const auto undo = history_->undoDescription();
    const auto redo = history_->redoDescription();
    undoAction_->setText(undo ? QStringLiteral("Ångra: ") + QString::fromStdString(*undo)
                              : QStringLiteral("Ångra"));
    redoAction_->setText(redo ? QStringLiteral("Gör om: ") + QString::fromStdString(*redo)
                              : QStringLiteral("Gör om"));
    undoAction_->setEnabled(free && undo.has_value());
    redoAction_->setEnabled(free && redo.has_value());
    // Where nothing can be undone the entries say so rather than offer it.
    const auto& why = history_->unavailable();
    const QString reason = why ? QString::fromStdString(*why) : QString();
    for (QAction* action : {undoAction_, redoAction_}) {
        if (why)
            action->setText(action->text() + QStringLiteral(" (ångrahistoriken används inte)"));
        action->setToolTip(reason);
        action->setStatusTip(reason);
    }
}

void HeadForm::Undo_mn_Click() {
    takeStep(false);
}

void HeadForm::Redo_mn_Click() {
    takeStep(true);
}

void HeadForm::takeStep(bool redo) {
    refreshUndoActions();
    QAction* action = redo ? redoAction_ : undoAction_;
    if (!action->isEnabled() || !isEnabled())
        return;
    const QString what = action->text();
    std::optional<store::ChangeView> view;
    QString mismatch;
    closeFundHint();
    // The open files are read again below; nothing may be kept of them across the step. What
    // opening them writes is no change of its own (it would end what can be redone).
    store::ChangeScope step;
    closeAccountFiles();
    support::trapped(
        ctx_, this,
        [&] {
            try {
                view = redo ? history_->redo() : history_->undo();
            } catch (const store::HistoryMismatch& e) {
                mismatch = QString::fromStdString(e.what());
            }
        },
        [&] {
            return support::describeFailure(redo ? QStringLiteral("Redo_mn") : QStringLiteral("Undo_mn"),
                                            QStringLiteral(" vid försök att ") +
                                                (redo ? QStringLiteral("göra om") : QStringLiteral("ångra")) +
                                                QStringLiteral(" en ändring."),
                                            {what});
        });
    if (!mismatch.isEmpty())
        ctx_.dialogs.message(
            this, QStringLiteral("Ångra"),
            QStringLiteral("Filerna stämmer inte med ångrahistoriken (de har ändrats utanför "
                           "programmet eller lagts tillbaka från annat håll).\n\n") +
                mismatch + QStringLiteral("\n\nHistoriken har tagits bort och ingenting har ändrats."));
    // Read again in every case: after a failed step the files are as they were, after a done one
    // the account it concerned opens at the changed post.
    reloadAccounts(view && !view->account.empty() ? view->account : accountName_.toStdString());
    if (view && kontoData_ && view->post > 0 && QString::fromStdString(view->account) == accountName_) {
        support::trapped(
            ctx_, this,
            [&] {
                currentPost_ = std::min(view->post, std::max(postCount_, 1));
                showViewAroundCurrentPost();
            },
            [&] {
                return support::describeFailure(QStringLiteral("Undo_mn"),
                                                QStringLiteral(" vid visning av posten."));
            });
    }
    refreshUndoActions();
}

void HeadForm::closeFundHint() {
    if (msgForm_ && msgForm_->isVisible())
        msgForm_->closeHint();
}

// --- Removing accounts

void HeadForm::Radko_mn_Click() {
    if (kontoNum_ <= 0 || accountName_.isEmpty())
        return;
    const QString name = accountName_;
    if (!ctx_.dialogs.question(this, QStringLiteral("Ta bort konto ? ?"),
                               QStringLiteral("Vill du radera konto:\n\n[") + name +
                                   QStringLiteral("]\n\ni sin helhet ?\n")))
        return;
    closeAccountFiles();
    const auto inUse = accounts::filesInUse(ctx_.paths, accountNameBytes_);
    QString title = QStringLiteral("Ta bort konto ? ?");
    QString lead, list;
    if (inUse.transakt) {
        title = QStringLiteral("Kontot används");
        lead = QStringLiteral("Konto [") + name + QStringLiteral("] är i användbart skick, då\n");
        list += QStringLiteral("\nfilen 'Transakt' finns och har innehåll !\n");
    }
    if (inUse.kontoData) {
        title = QStringLiteral("Kontot används");
        lead = QStringLiteral("Konto [") + name + QStringLiteral("] är i användbart skick, då\n");
        list += QStringLiteral("\nfilen 'KontoData' finns och har innehåll !\n");
    }
    if (!ctx_.dialogs.question(this, title,
                               lead + list + QStringLiteral("\nÄr du säker på att du vill radera\nkontot [") +
                                   name + QStringLiteral("] ?"))) {
        // The account stays: open it again so the window keeps working on it.
        support::trapped(
            ctx_, this, [&] { Konto_Konfig(); },
            [&] {
                return support::ErrorDescription{
                    QStringLiteral("Ett fel har uppstått i subrutinen Radko_mn") + CRLF +
                        QStringLiteral(" vid försök att öppna kontot igen.") + CRLF + CRLF,
                    {QStringLiteral("Fel i rutinen Radko_mn"),
                     QStringLiteral("Felet uppstod i konto ") + name}};
            });
        return;
    }
    if (ledger::LedgerFrame* frame = shownFrame()) {
        frame->clearGrid();
        frame->showAccount(QString(), QString());
    }
    Reducera_Konto();
}

bool HeadForm::Reducera_Konto() {
    const QString name = accountName_;
    bool removed = false;
    support::trapped(
        ctx_, this,
        [&] {
            closeAccountFiles();
            const bool last = accounts::reduceAccount(ctx_.paths, kontoNum_, accountNameBytes_,
                                                      accountPicker_->count() < 2) ==
                              accounts::RemovalResult::RegisterDeleted;
            store::describeChange("borttaget konto " + name.toStdString());
            removed = true;
            if (ledger::LedgerFrame* frame = shownFrame()) {
                frame->transCombo()->clear();
                frame->clearGrid();
                frame->showAccount(QString(), QString());
            }
            accountPicker_->clear();
            kontoNum_ = 0;
            accountName_.clear();
            accountNameBytes_.clear();
            if (last) {
                ctx_.dialogs.message(this, QStringLiteral("Alla konton raderade"),
                                     QStringLiteral("Det sista kvarvarande kontot\nhar avslutats !"));
            } else {
                store::RecordFile kontoFil(ctx_.paths.kontoFil(), store::KontoRec::Length);
                fillAccountList(kontoFil);
                if (accountPicker_->count() > 0)
                    kontoNum_ = accountPicker_->itemData(0).toInt();
                ctx_.dialogs.message(this, QStringLiteral("Konto borttaget"),
                                     name + QStringLiteral(" konto har avlägsnats !"));
            }
            if (kontoNum_ > 0) {
                accountPicker_->setCurrentIndex(accountPicker_->findData(kontoNum_));
                openChosenAccount();
                return;
            }
            radkoAction_->setEnabled(false);
            kind_.clear();
            if (ctx_.dialogs.question(this, QStringLiteral("Inget konto finns upplagt !"),
                                      QStringLiteral("Vill du lägga upp ett första konto nu ?"))) {
                openNewAccountForm();
                return;
            }
            if (ctx_.dialogs.question(this, QStringLiteral("KONTOUPPGIFT"),
                                      QStringLiteral("Uppgifter om konton saknas och har\ninte lästs in till "
                                                     "programmet !\nVill du avsluta programmet nu ?"))) {
                Exit_Konto();
                return;
            }
            ctx_.dialogs.message(this, QStringLiteral("KONTOUPPGIFT"),
                                 QStringLiteral("Saknas uppgifter om konton !"));
            accountBox_->setText(QStringLiteral("Kontouppgift saknas"));
            Lock_Kontroller();
        },
        [&] {
            return support::ErrorDescription{
                QStringLiteral("Ett fel har uppstått i subrutinen Reducera_Konto") + CRLF +
                    QStringLiteral(" vid försök att ta bort kontot.") + CRLF + CRLF,
                {QStringLiteral("Fel i rutinen Reducera_Konto"),
                 QStringLiteral("vid försök att ta bort kontot"),
                 QStringLiteral("KontoNum = ") + QString::number(kontoNum_),
                 QStringLiteral("Felet uppstod i konto ") + name}};
        });
    if (!removed) {
        // Nothing was removed (the removal changes all its files or none): the account stays open.
        support::trapped(
            ctx_, this, [&] { Konto_Konfig(); },
            [&] {
                return support::ErrorDescription{
                    QStringLiteral("Ett fel har uppstått i subrutinen Reducera_Konto") + CRLF +
                        QStringLiteral(" vid försök att öppna kontot igen.") + CRLF + CRLF,
                    {QStringLiteral("Fel i rutinen Reducera_Konto"),
                     QStringLiteral("vid försök att öppna kontot igen"),
                     QStringLiteral("Felet uppstod i konto ") + name}};
            });
    }
    return removed;
}

void HeadForm::Radera_KontoNamn() {
    QString name;
    support::trapped(
        ctx_, this,
        [&] {
            {
                store::RecordFile kontoFil(ctx_.paths.kontoFil(), store::KontoRec::Length);
                name = QString::fromStdString(store::cp1252ToUtf8(
                    kontoFil.read<store::KontoRec>(static_cast<std::size_t>(kontoNum_)).name()));
            }
            showNoAccount();
            if (const auto refused = accounts::removeRegisterName(ctx_.paths, kontoNum_)) {
                const QString file = *refused == accounts::InUseFile::Transakt ? QStringLiteral("Transakt")
                                                                               : QStringLiteral("Kontodata");
                ctx_.dialogs.message(
                    this, QStringLiteral("Kontot befintligt"),
                    QStringLiteral("Kontonamnet ") + name +
                        QStringLiteral(" kan inte\navlägsnas ur registret, eftersom\nfilen '") + file +
                        QStringLiteral("' finns\noch har innehåll !"));
                return;
            }
            kontoNum_ = 0;
            store::RecordFile kontoFil(ctx_.paths.kontoFil(), store::KontoRec::Length);
            fillAccountList(kontoFil);
            if (accountPicker_->count() > 0)
                kontoNum_ = accountPicker_->itemData(0).toInt();
            ctx_.dialogs.message(this, QStringLiteral("Kontonamn borttaget"),
                                 QStringLiteral("Kontonamnet ") + name +
                                     QStringLiteral(" har nu avlägsnats\nur registret !"));
            if (kontoNum_ > 0) {
                accountPicker_->setCurrentIndex(0);
                openChosenAccount();
            } else {
                kind_.clear();
                accountBox_->clear();
                First_account();
            }
        },
        [&] {
            return support::ErrorDescription{
                QStringLiteral("Ett fel har inträffat i subrutinen Radera_Kontonamn") + CRLF +
                    QStringLiteral(" vid försök att ta bort ett kontonamn ur registret.") + CRLF + CRLF,
                {QStringLiteral("Fel i rutinen Radera_Kontonamn"),
                 QStringLiteral("KontoNum = ") + QString::number(kontoNum_),
                 QStringLiteral("Kontonamn = ") + name}};
        });
}

} // namespace app
