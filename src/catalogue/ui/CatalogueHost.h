#pragma once

#include "store/RecordFile.h"

#include <QString>

#include <string>

class QWidget;

namespace support {
class Context;
}

namespace catalogue {

// A transaction as the main window holds it: the chosen main transaction or sub-transaction.
struct TransactionChoice {
    QString name;
    int number = 0;
    QString sign; // main transactions: "+", "-" or "" for blank
};

// What the catalogue windows and procedures need of the main window, and all they may touch
// there. The main window implements it; the windows never reach its controls directly.
class CatalogueHost {
public:
    virtual ~CatalogueHost() = default;

    virtual support::Context& context() = 0;
    // Disabled while a catalogue window is open, enabled again when it closes.
    virtual QWidget* hostWindow() = 0;

    // The open account's files and facts.
    virtual store::RecordFile& transakt() = 0;
    virtual store::RecordFile& kontoData() = 0;
    // Budget accounts: B-mall, or null when it is not open.
    virtual store::RecordFile* budgetMall() = 0;
    // The template read again after a procedure changed B-mall.
    virtual void budgetMallChanged() = 0;
    virtual std::string accountNameBytes() const = 0; // Windows-1252, as in the register
    virtual QString accountKind() const = 0;          // "Ek" or "Bg"
    virtual int postCount() const = 0;
    virtual void setPostCount(int n) = 0;
    // The recount start of the main window (the post the balance check starts from).
    virtual void setRecountStart(int post) = 0;
    virtual QString workingDate() const = 0;

    // "1" while the frame lists main transactions (option "Huvud-"), "0" for sub-transactions.
    virtual QString listMode() const = 0;
    virtual TransactionChoice chosenMain() const = 0;
    virtual void setChosenMain(const TransactionChoice& choice) = 0;
    virtual TransactionChoice chosenSub() const = 0;
    virtual void setChosenSub(const TransactionChoice& choice) = 0;

    // The frame's transaction list rebuilt from the catalogue it shows (TransCombo_Enkel /
    // TransCombo_Budget; main transactions or sub-transactions after the list mode).
    virtual void reloadTransactionList() = 0;
    // The frame's transaction box (TransText_Enkel / TransText_Budget).
    virtual void setTransactionBox(const QString& text) = 0;
    virtual void focusTransactionBox() = 0;
    // Main transaction `number` chosen in the frame's list as the user would choose it, so a new
    // transaction made for an entry is the entry's transaction.
    virtual void chooseMainTransaction(int number) = 0;
    // The amount box (Bel_Enkel; budget: BudgBel_Budget and VerklBel_Budget) unlocked, focused.
    virtual void unlockAmountBox() = 0;
    // The main window's action button (move, insert, change, remove) disabled.
    virtual void disableActionButton() = 0;
    // The main window's cancel button reads "Avbryt" and the procedure code is cleared.
    virtual void resetCancelButton() = 0;
    // Presses the main window's cancel button (with the reset armed when asked).
    virtual void pressCancel(bool armReset = false) = 0;

    // SaldoKontroll_Enkel / Saldokontroll_Budget from a post, with its own messages.
    virtual void balanceCheck(int from) = 0;
    // ScrollSet, Inläs_G1/Inläs_G2, OmLista: the ledger view read again.
    virtual void reloadLedgerView() = 0;

    // Fund accounts: the "Saldo" heading turned green, and the cash-book entry switched into
    // balance entry (heading "Nytt Saldo", the action button empty and inserting, the
    // cancel button "Avbryt Saldo-In", procedure code "saldo", reset armed).
    virtual void markSaldoHeading() = 0;
    virtual void startBalanceEntry() = 0;

    // Reducera_Konto: clears the ledger grid and the frame's account labels, closes the account's
    // files and removes the account; then, as after the menu's removal, reports it ("Konto
    // borttaget" or "Alla konton raderade") and opens the next account or offers a first one.
    // True when the account was removed. False when it was not: the failure has been reported,
    // every file is as it was and the account is open again.
    virtual bool Reducera_Konto() = 0;

    // The budget alternatives window, when it opened the main transactions window (caller "budg"):
    // the window to disable, and its condition refresh.
    virtual QWidget* budgAltWindow() { return nullptr; }
    virtual void budgAltConditions() {}
};

} // namespace catalogue
