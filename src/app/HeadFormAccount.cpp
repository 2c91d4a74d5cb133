// Choosing, opening and showing an account.

#include "app/HeadForm.h"

#include "app/DateSelector.h"
#include "catalogue/Catalogue.h"
#include "ledger/ui/BudgetFrame.h"
#include "ledger/ui/CashFrame.h"
#include "store/Cp1252.h"
#include "store/History.h"
#include "store/Records.h"
#include "support/ErrorReport.h"
#include "support/ui/Trap.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>

#include <filesystem>

namespace app {

namespace fs = std::filesystem;

namespace {
const QString CRLF = QStringLiteral("\r\n");

} // namespace

void HeadForm::openChosenAccount() {
    if (accountPicker_->currentIndex() < 0)
        return;
    QString name;
    const bool opened = support::trapped(
        ctx_, this,
        [&] {
            previousKontoNum_ = kontoNum_;
            kontoNum_ = accountPicker_->currentData().toInt();
            accountBox_->setText(accountPicker_->currentText().trimmed());
            store::RecordFile kontoFil(ctx_.paths.kontoFil(), store::KontoRec::Length);
            const auto rec = kontoFil.read<store::KontoRec>(static_cast<std::size_t>(kontoNum_));
            name = QString::fromStdString(store::cp1252ToUtf8(rec.name()));
            closeAccountFiles();
            const fs::path postFile = ctx_.paths.kontoData(rec.name());
            std::error_code ec;
            if (fs::is_regular_file(postFile, ec) && fs::file_size(postFile, ec) == 0) {
                const QString time = QString::fromStdString(ctx_.clockTime());
                const QString folder = QString::fromStdString(ctx_.paths.accountFolder(rec.name()).string());
                QString logFailure;
                try {
                    support::appendErrLog(ctx_.startupDir, support::emptyPostFileLogLines(
                                                               ctx_.today, time.toStdString(), kontoNum_,
                                                               name.toStdString(), folder.toStdString()));
                } catch (const std::exception& e) {
                    // The log is a record for later: a disk too full for it, or a link in its
                    // place, must not keep the message from the user nor the account from opening;
                    // the user is told after it that the log was not written.
                    logFailure = QString::fromStdString(e.what());
                }
                ctx_.dialogs.message(this, QStringLiteral("Saknas Data"),
                                     QStringLiteral("Ett fel har upptäckts i subrutinen Combo3_Click\n"
                                                    "vid försök att välja ett konto\n\n"
                                                    "Filen 'KontoData' i kontot [") +
                                         name + QStringLiteral("]\ninnehåller inga data !\n"),
                                     support::Dialogs::Icon::Exclamation);
                if (!logFailure.isEmpty())
                    ctx_.dialogs.message(
                        this, QStringLiteral("Loggfilen ErrLog"),
                        QStringLiteral("Händelsen kunde inte skrivas i loggfilen ErrLog:\n\n") + logFailure,
                        support::Dialogs::Icon::Exclamation);
            }
            Konto_Konfig();
        },
        [&] {
            return support::ErrorDescription{
                QStringLiteral("Ett fel har upptäckts i subrutinen Combo3_Click") + CRLF +
                    QStringLiteral(" vid försök att välja ett konto.") + CRLF + CRLF,
                {QStringLiteral("Fel i rutinen Combo3_Click"),
                 QStringLiteral("vid försök att välja ett konto"),
                 QStringLiteral("Klickat KontoNum = ") + QString::number(kontoNum_),
                 QStringLiteral("Felet uppstod i konto ") + name}};
        });
    // An account whose files cannot be opened can at least leave the register.
    if (!opened && kontoNum_ > 0 &&
        ctx_.dialogs.question(this, QStringLiteral("Radera kontonamn"),
                              QStringLiteral("Vill du radera kontonamnet ? ?")))
        Radera_KontoNamn();
}

void HeadForm::Konto_Konfig() {
    store::RecordFile kontoFil(ctx_.paths.kontoFil(), store::KontoRec::Length);
    const auto rec = kontoFil.read<store::KontoRec>(static_cast<std::size_t>(kontoNum_));
    accountNameBytes_ = rec.name();
    accountName_ = QString::fromStdString(store::cp1252ToUtf8(accountNameBytes_));
    infoDismissed_ = rec.infoDismissed();
    accountNumber_ = QString::fromStdString(store::cp1252ToUtf8(rec.text(store::KontoRec::KontoNr)));
    kind_ = QString::fromStdString(rec.text(store::KontoRec::KontoTyp));
    closeAccountFiles();
    markedRow_ = -1;

    Arr_Kontroller();
    ledger::LedgerFrame* frame = shownFrame();
    if (!frame)
        return; // an unknown kind shows no grid
    frame->mainOption()->setChecked(true);
    balanceMode_ = false;
    frame->showAccount(accountName_, accountNumber_);

    try {
        Inläs();
        postCount_ = ledger::findPostCount(*kontoData_);
        setCurrentPostForWorkingDate();
        showViewAroundCurrentPost();
        AllReset();
    } catch (...) {
        // Nothing may go on working on an account that did not open.
        showNoAccount();
        throw;
    }
}

void HeadForm::showNoAccount() {
    closeAccountFiles();
    for (ledger::LedgerFrame* frame :
         {static_cast<ledger::LedgerFrame*>(cashFrame_), static_cast<ledger::LedgerFrame*>(budgetFrame_)}) {
        frame->resetEntry();
        frame->clearGrid();
        frame->setAllBackgrounds(ledger::UnmarkedBackground);
        frame->showAccount(QString(), QString());
        frame->scrollBar()->setEnabled(false);
    }
    postCount_ = currentPost_ = 0;
    scroll_ = {};
    cashView_.clear();
    budgetView_.clear();
    forgetMarkAndChoice();
    balanceMode_ = moveMode_ = false;
    resetArmed_ = false;
    setProcedureCode(QString());
    actionMode_.clear();
    Lock_Kontroller();
}

void HeadForm::setCurrentPostForWorkingDate() {
    currentPost_ = ledger::findCurrentPost(*kontoData_, postCount_, workingDate().toStdString());
}

void HeadForm::Inläs() {
    const auto kind = ledger::kindFromCode(kind_.toStdString());
    store::removeLeftoverTempFiles(ctx_.paths.accountFolder(accountNameBytes_));
    transakt_.emplace(ctx_.paths.transakt(accountNameBytes_), store::TransRec::Length,
                      store::RecordFile::Missing::Fail);
    ledger::LedgerFrame* frame = shownFrame();
    if (frame == cashFrame_)
        cashFrame_->Ladda_H_Trans_Enkel();
    else
        budgetFrame_->Ladda_H_Trans_Budg();
    kontoData_.emplace(ctx_.paths.kontoData(accountNameBytes_), ledger::recordLength(*kind),
                       store::RecordFile::Missing::Fail);
    if (*kind == ledger::Kind::Budget) {
        bMall_.emplace(ctx_.paths.bMall(accountNameBytes_), store::MallRec::Length);
        template_ = std::make_unique<budget::BudgetTemplate>(*bMall_);
        if (template_->open(*kontoData_, ledger::findPostCount(*kontoData_), ctx_.today)) {
            store::describeChange("ny budgetmall");
            bMall_->commit();
        }
    }
}

void HeadForm::applyScrollState(ledger::LedgerFrame* frame) {
    QScrollBar* bar = frame->scrollBar();
    scrollSetting_ = true;
    bar->setEnabled(true);
    bar->setRange(scroll_.minimum, scroll_.maximum);
    bar->setValue(scroll_.value);
    bar->setEnabled(scroll_.enabled);
    scrollSetting_ = false;
}

void HeadForm::ScrollSet_Enkel() {
    scroll_ = ledger::scrollSet(postCount_, currentPost_);
    applyScrollState(cashFrame_);
}

void HeadForm::ScrollSet_Budget() {
    scroll_ = ledger::scrollSet(postCount_, currentPost_);
    applyScrollState(budgetFrame_);
}

void HeadForm::Inläs_G1() {
    cashView_ = ledger::readCashView(*kontoData_, *transakt_, scroll_.value, scroll_.lastShown);
}

void HeadForm::Inläs_G2() {
    budgetView_ = ledger::readBudgetView(*kontoData_, *transakt_, scroll_.value, scroll_.lastShown);
}

void HeadForm::OmLista_Enkel() {
    cashFrame_->OmLista_Enkel(cashView_, markedRow_);
    showImportTips();
}

void HeadForm::OmLista_Budget() {
    budgetFrame_->OmLista_Budget(budgetView_, markedRow_);
    showImportTips();
}

void HeadForm::cashScrolled(int value) {
    scrollChanged(cashFrame_, value);
}

void HeadForm::budgetScrolled(int value) {
    scrollChanged(budgetFrame_, value);
}

void HeadForm::scrollChanged(ledger::LedgerFrame* frame, int value) {
    if (scrollSetting_ || !kontoData_ || frame != shownFrame())
        return;
    const bool reread = ledger::scrollTo(scroll_, postCount_, value);
    applyScrollState(frame);
    const QString procedure =
        frame == cashFrame_ ? QStringLiteral("VScroll1_Change") : QStringLiteral("VScroll2_Change");
    if (reread && !support::trapped(
                      ctx_, this,
                      [&] {
                          if (frame == cashFrame_) {
                              Inläs_G1();
                              OmLista_Enkel();
                          } else {
                              Inläs_G2();
                              OmLista_Budget();
                          }
                      },
                      [&] {
                          return support::ErrorDescription{
                              QStringLiteral("Ett fel har uppstått i subrutinen ") + procedure + CRLF +
                                  QStringLiteral(" vid läsning av kontoposter till listan.") + CRLF + CRLF,
                              {QStringLiteral("Fel i rutinen ") + procedure,
                               QStringLiteral("Första post i listan = ") + QString::number(scroll_.value),
                               QStringLiteral("Antal poster = ") + QString::number(postCount_),
                               QStringLiteral("Felet uppstod i konto ") + accountName_}};
                      }))
        return;
    // A marked post scrolled out of reach is no longer marked.
    if (procedureCode_ == (frame == cashFrame_ ? QLatin1String("mkg1") : QLatin1String("mkg2"))) {
        armReset();
        cancel();
    }
}

void HeadForm::showViewAroundCurrentPost() {
    if (kind_ == QLatin1String("Ek")) {
        ScrollSet_Enkel();
        Inläs_G1();
        OmLista_Enkel();
    } else if (kind_ == QLatin1String("Bg")) {
        ScrollSet_Budget();
        Inläs_G2();
        OmLista_Budget();
    }
}

void HeadForm::Finder() {
    if (!kontoData_)
        return;
    support::trapped(
        ctx_, this,
        [&] {
            setCurrentPostForWorkingDate();
            showViewAroundCurrentPost();
        },
        [&] {
            return support::ErrorDescription{
                QStringLiteral("Ett fel har uppstått i subrutinen Finder") + CRLF +
                    QStringLiteral(" vid sökning av kontopost för valt datum.") + CRLF + CRLF,
                {QStringLiteral("Fel i rutinen Finder"), QStringLiteral("Datum = ") + workingDate(),
                 QStringLiteral("Felet uppstod i konto ") + accountName_}};
        });
    dateSelector_->setWorkingDateOnly(QString::fromStdString(ctx_.today));
    cancelButton_->setFocus();
}

} // namespace app
