#pragma once

#include "catalogue/ui/CatalogueHost.h"
#include "store/RecordFile.h"

#include <QString>

#include <string>

class QPushButton;
class QWidget;

namespace support {
class Context;
}

namespace budget {
class BudgetTemplate;
}

namespace ledger {

class LedgerFrame;

// What the ledger frames need of the main window, and all they may touch there: the open
// account, the entry state the main window keeps for it, the controls a procedure drives and the
// steps that follow a change. The main window implements it; the frames never reach its members.
class LedgerHost {
public:
    virtual ~LedgerHost() = default;

    virtual support::Context& context() = 0;
    // The parent of the frames' questions and error reports.
    virtual QWidget* hostWindow() = 0;
    // The frames hand this on to the catalogue procedures they start.
    virtual catalogue::CatalogueHost& catalogueHost() = 0;

    // --- The open account
    // False while no account's files are open.
    virtual bool accountOpen() const = 0;
    virtual store::RecordFile& transakt() = 0;
    virtual store::RecordFile& kontoData() = 0;
    // Budget accounts: B-mall and its template, or null when they are not open.
    virtual store::RecordFile* budgetMall() = 0;
    virtual budget::BudgetTemplate* budgetTemplate() = 0;
    // The template read again after B-mall changed.
    virtual void budgetMallChanged() = 0;
    virtual QString accountName() const = 0;
    virtual std::string accountNameBytes() const = 0; // Windows-1252, as in the register
    virtual int postCount() const = 0;                // N
    virtual void setPostCount(int n) = 0;
    // S: the post the balance check starts from and the view is placed around.
    virtual int recountStart() const = 0;
    virtual void setRecountStart(int post) = 0;
    // The first post the grid shows.
    virtual int firstShownPost() const = 0;
    virtual QString workingDate() const = 0;
    // The date selector set to a date of the ledger ("YYYY-MM-DD").
    virtual void setWorkingDate(const QString& date) = 0;

    // --- The entry state of the open account
    virtual int markedPost() const = 0; // 0: none
    virtual void setMarkedPost(int post) = 0;
    // The marked post's row in the grid, -1 for none.
    virtual int markedRow() const = 0;
    virtual void setMarkedRow(int row) = 0;
    // The marked post's stored amounts (budget accounts: budgeted and actual).
    virtual QString markedAmount() const = 0;
    virtual void setMarkedAmount(const QString& amount) = 0;
    virtual QString markedActual() const = 0;
    virtual void setMarkedActual(const QString& amount) = 0;
    virtual catalogue::TransactionChoice chosenMain() const = 0;
    virtual void setChosenMain(const catalogue::TransactionChoice& choice) = 0;
    virtual catalogue::TransactionChoice chosenSub() const = 0;
    virtual void setChosenSub(const catalogue::TransactionChoice& choice) = 0;
    // An amount is being typed.
    virtual bool typing() const = 0;
    virtual void setTyping(bool on) = 0;
    // The next amount is the account's new balance.
    virtual bool balanceMode() const = 0;
    virtual void setBalanceMode(bool on) = 0;
    // Posts are being moved to a new date.
    virtual bool moveMode() const = 0;
    virtual void setMoveMode(bool on) = 0;
    // What the action button does: "inl", "chg", "rem", "flt" or "" for nothing.
    virtual QString actionMode() const = 0;
    virtual void setActionMode(const QString& mode) = 0;

    // --- The main window's controls
    virtual QPushButton* confirmButton() = 0;
    virtual QPushButton* actionButton() = 0;
    virtual QPushButton* cancelButton() = 0;
    virtual void setPictureEnabled(bool on) = 0;
    virtual void setHelp(const QString& title, const QString& line) = 0;
    virtual void setHelpTitle(const QString& title) = 0;
    virtual void setHelpLine(const QString& line) = 0;
    virtual QString procedureCode() const = 0;
    virtual void setProcedureCode(const QString& code) = 0;
    virtual void armReset() = 0;
    virtual void pressCancel() = 0;
    virtual void Lock_menues() = 0;
    virtual void Unlock_menues() = 0;
    virtual void Lock_Konto() = 0;
    virtual void Unlock_Konto() = 0;
    virtual void Lock_trans() = 0;
    // The marked post of the frame cleared and the frame back to idle.
    virtual void Rensa_Mark(LedgerFrame* frame) = 0;
    virtual void closeFundHint() = 0;
    // The catalogue windows ("ny" or "chg").
    virtual void openTransForm(const QString& mode) = 0;
    virtual void openSubTransForm(const QString& mode) = 0;
    // Removes the open account and reports the outcome; true when it was removed.
    virtual bool Reducera_Konto() = 0;

    // --- The follow-up steps of a change
    virtual void ScrollSet_Enkel() = 0;
    virtual void ScrollSet_Budget() = 0;
    virtual void Inläs_G1() = 0;
    virtual void Inläs_G2() = 0;
    virtual void OmLista_Enkel() = 0;
    virtual void OmLista_Budget() = 0;
};

} // namespace ledger
