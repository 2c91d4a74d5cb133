#pragma once

#include "accounts/Register.h"
#include "accounts/ui/NyKontoForm.h"
#include "accounts/ui/NyKontoHost.h"
#include "budget/BudgetTemplate.h"
#include "ledger/LedgerView.h"
#include "store/RecordFile.h"
#include "support/ui/Context.h"

#include <QMainWindow>
#include <QPointer>

#include <memory>
#include <optional>
#include <vector>

class QAction;
class QComboBox;
class QKeyEvent;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;

namespace ledger {
class BudgetFrame;
class CashFrame;
class LedgerFrame;
} // namespace ledger

namespace store {
class GroupCommit;
class History;
} // namespace store

namespace support {
class MsgForm;
}

namespace catalogue {
class CatalogueHost;
}

namespace app {

class DateSelector;

// The main window. It owns the state of the open account and the account's open files, the
// account box, the date selector, the two ledger frames, the command buttons, the menus and the
// help labels; every other window is opened from here and calls back through the named
// procedures below.
class HeadForm : public QMainWindow, public accounts::NyKontoHost {
    Q_OBJECT

public:
    explicit HeadForm(support::Context& ctx);
    ~HeadForm() override;

    // The client area of the widest arrangement (a budget account), in twips: what the screen
    // must hold.
    static QSize largestClientTwips();

    // The start-up sequence (Form_Load): places and shows the window, asks for the user name when
    // needed, reads the register and opens the account that was open at the last exit.
    void Form_Load();

    // --- Start-up and register
    void Inläs_Kontofil();
    // Asks for the user name until one is given; false when the user chose to quit instead.
    bool NamnReg();
    void First_account();
    void NoAccount() override;
    void FolderTransfer(store::RecordFile& kontoFil, store::GroupCommit& group);
    void InstallDag();
    // Writes KontoIni and the window position and ends the program.
    void Exit_Konto();
    bool ended() const { return ended_; }

    // --- Account selection and loading
    void openChosenAccount();
    void Konto_Konfig();
    void Inläs();
    void GridSetting();
    void ScrollSet_Enkel();
    void ScrollSet_Budget();
    void Inläs_G1();
    void Inläs_G2();
    void OmLista_Enkel();
    void OmLista_Budget();
    void cashScrolled(int value);
    void budgetScrolled(int value);

    // --- Controls
    void Arr_Kontroller();
    void AllReset();
    void Lock_Kontroller();
    // The window without an open account: the files closed, the panels emptied, the controls
    // locked until another account is chosen.
    void showNoAccount();
    void Finder();
    void Nykonto_mn_Click();
    // The action button: by account kind and command mode (insert, change, delete, move).
    void runAction();
    const QString& actionMode() const { return actionMode_; }
    int markedPost() const { return markedPost_; }
    int markedRow() const { return markedRow_; }

    // --- Procedures and the cancel button
    // Starts or changes the procedure in progress; the cancel button's tooltip follows the code.
    void setProcedureCode(const QString& code);
    void armReset() { resetArmed_ = true; }
    bool resetArmed() const { return resetArmed_; }
    void Lock_menues();
    void Unlock_menues();
    void Lock_trans();
    void Unlock_trans();
    void Lock_Konto();
    void Unlock_Konto();
    // The cancel button clicked: runs resetProcedure when a procedure armed the reset.
    void cancel();
    // The user's own press on the cancel button.
    void cancelPressed();
    // Undoes the procedure the code names.
    void resetProcedure();
    // Clears a marked post and returns the frame to idle.
    void Rensa_Mark_G1();
    void Rensa_Mark_G2();

    // --- The catalogue windows (TransForm, SubTransForm) for the open account
    void openTransForm(const QString& mode);
    void openSubTransForm(const QString& mode);
    catalogue::CatalogueHost& catalogueAccess();

    // --- Menus and their windows
    void Radko_mn_Click();
    // Removes the open account and reports the outcome itself; true when it was removed. When it
    // was not, the failure has been reported and the account is open again.
    bool Reducera_Konto();
    void Radera_KontoNamn();
    // "Ångra" and "Gör om": the newest change of the data undone, or the undone one made again;
    // the account it concerned is shown at the changed post.
    void Undo_mn_Click();
    void Redo_mn_Click();
    // The two entries name what they would do, and are open only while no procedure runs.
    void refreshUndoActions();
    store::History& history() { return *history_; }
    void Donera_Click();
    void Bu_mn_Click();
    // Opens the statistics and report window on the open account.
    void Utskrstat_mn_Click();
    // Opens the overview window ("Sammanställning") over every account.
    void Overview_mn_Click();
    // Opens the import wizard for a bank statement into the open account.
    void Import_mn_Click();
    // Opens the planning window of the open budget account (procedure "budg").
    void bupl_mn_Click();
    QWidget* budgAltForm() const { return budgAltForm_; }
    void openHomePage();
    void kritisk_mn_Click();
    void Update_mn_Click();
    // The feedback text of "Har du kritik ?".
    QString feedbackText() const;
    // Mouse over the "Saldo" heading of the cash-book grid.
    void saldoTitleHover();
    // Closes the fund-account hint when it is shown.
    void closeFundHint();

    // --- NyKontoHost
    QWidget* hostWindow() override { return this; }
    QString workingDate() const override;
    QString userName() const override { return userName_; }
    bool hasAccounts() const override;
    void closeAccountFiles() override;

    // --- State, for the other windows and for tests
    support::Context& context() { return ctx_; }
    int kontoNum() const { return kontoNum_; }
    const QString& accountName() const { return accountName_; }
    const QString& accountNumber() const { return accountNumber_; }
    const QString& accountKind() const { return kind_; }
    bool infoDismissed() const { return infoDismissed_; }
    int postCount() const { return postCount_; }
    int currentPost() const { return currentPost_; }
    const ledger::ScrollState& scrollState() const { return scroll_; }
    const QString& installDate() const { return installDate_; }
    QString procedureCode() const { return procedureCode_; }
    ledger::CashFrame* cashFrame() const { return cashFrame_; }
    ledger::BudgetFrame* budgetFrame() const { return budgetFrame_; }
    DateSelector* dateSelector() const { return dateSelector_; }
    accounts::NyKontoForm* newAccountForm() const { return nyKontoForm_; }

signals:
    // Exit_Konto has run: the program ends.
    void programEnded();

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void buildControls();
    void buildMenus();
    void placeWindow();
    // The window width and the left edges of the controls for a cash-book or a budget account.
    void placeControls(bool cash);
    void openNewAccountForm();
    // Ends every window opened from this one as its cancel does; false when one stays open.
    bool endOpenedWindows();
    void fillAccountList(const store::RecordFile& kontoFil);
    // Reads KontoIni of the data root or the older layout; false when neither is complete. level
    // becomes 2 while the older file is taken over, for the error report.
    bool readStartupFile(int& level);
    void moveOlderRegister(store::RecordFile& kontoFil);
    ledger::LedgerFrame* shownFrame() const;
    void applyScrollState(ledger::LedgerFrame* frame);
    void setCurrentPostForWorkingDate();
    // ScrollSet, Inläs_G and OmLista of the open account's kind: the view placed around S.
    void showViewAroundCurrentPost();
    void scrollChanged(ledger::LedgerFrame* frame, int value);
    void writeKontoIni();
    // The general restoration after a catalogue procedure.
    void restoreEntryControls();
    // After a restore: the register and the account that was open read again; the name of the
    // account then open ("" when none).
    QString reloadAfterRestore();
    // The register read again with the named account (UTF-8) open, when it is there.
    QString reloadAccounts(const std::string& account);
    void takeStep(bool redo);
    // The bank's text of each imported post shown as the tooltip of its row.
    void showImportTips();
    void Rensa_Mark(ledger::LedgerFrame* frame);
    // No post marked, no transaction chosen, nothing being typed.
    void forgetMarkAndChoice();
    void setHelp(const QString& title, const QString& line);
    void installHelp();
    // Esc, and Enter on a focused command button, as a person expects them; the tab order.
    void installKeyboard();
    void setTabOrderFor(bool cash);
    // A key on a command button: Enter presses it; on "Avbryt" Space and Enter are the user's
    // own press. True when the key was used.
    bool commandKey(QObject* watched, const QKeyEvent& key);
    // The cancel button pressed by the user (mouse, Esc or keyboard).
    void userCancel();
    // Says plainly that no address is configured where a page would have been shown.
    void noAddressMessage(const QString& what, const QString& more = QString());

    support::Context& ctx_;

    // Session.
    QString userName_;
    int kontoNum_ = 0;
    int previousKontoNum_ = 0;
    QString installDate_;

    // The open account.
    QString accountName_;
    std::string accountNameBytes_; // Windows-1252, as the register holds it
    QString accountNumber_;
    QString kind_;
    bool infoDismissed_ = false;
    std::optional<store::RecordFile> transakt_;
    std::optional<store::RecordFile> kontoData_;
    std::optional<store::RecordFile> bMall_;
    std::unique_ptr<budget::BudgetTemplate> template_;
    int postCount_ = 0;
    int currentPost_ = 0;
    ledger::ScrollState scroll_;
    std::vector<ledger::CashRow> cashView_;
    std::vector<ledger::BudgetRow> budgetView_;
    int markedRow_ = -1;
    bool scrollSetting_ = false;

    // Procedures.
    QString procedureCode_;
    bool resetArmed_ = false;
    QString actionMode_;
    bool ended_ = false;
    bool moveMode_ = false;
    bool typing_ = false;
    bool balanceMode_ = false;
    int markedPost_ = 0;
    struct Chosen {
        QString name;
        int number = 0;
        QString sign;
    } chosenMain_, chosenSub_;
    QString markedAmount_, markedActual_;

    // Controls.
    QGroupBox* accountFrame_ = nullptr;
    QLineEdit* accountBox_ = nullptr;
    QComboBox* accountPicker_ = nullptr;
    QLabel* accountTitle_ = nullptr;
    DateSelector* dateSelector_ = nullptr;
    ledger::CashFrame* cashFrame_ = nullptr;
    ledger::BudgetFrame* budgetFrame_ = nullptr;
    QPushButton* confirmButton_ = nullptr;
    QPushButton* actionButton_ = nullptr;
    QPushButton* cancelButton_ = nullptr;
    QPushButton* quitButton_ = nullptr;
    QPushButton* donateButton_ = nullptr;
    QLabel* logo_ = nullptr;
    QWidget* productPage_ = nullptr;
    QLabel* helpTitle_ = nullptr;
    QLabel* helpLine_ = nullptr;

    QMenu* arkMenu_ = nullptr;
    QAction* nykontoAction_ = nullptr;
    QAction* radkoAction_ = nullptr;
    QAction* exAction_ = nullptr;
    QAction* importAction_ = nullptr;
    QAction* undoAction_ = nullptr;
    QAction* redoAction_ = nullptr;
    std::unique_ptr<store::History> history_;
    QAction* buplAction_ = nullptr;
    QAction* utskrstatAction_ = nullptr;
    QAction* overviewAction_ = nullptr;
    QAction* buAction_ = nullptr;
    QMenu* helpMenu_ = nullptr;
    QAction* doneraAction_ = nullptr;
    QAction* kritiskAction_ = nullptr;
    QAction* updateAction_ = nullptr;
    QPointer<class support::MsgForm> msgForm_;

    QPointer<accounts::NyKontoForm> nyKontoForm_;
    QPointer<QWidget> budgAltForm_;
    class CatalogueAccess;
    std::unique_ptr<CatalogueAccess> catalogueAccess_;
    class LedgerAccess;
    std::unique_ptr<LedgerAccess> ledgerAccess_;
};

} // namespace app
