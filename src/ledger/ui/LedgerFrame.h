#pragma once

#include "catalogue/Catalogue.h"
#include "ledger/PostShift.h"
#include "ledger/ui/LedgerKind.h"
#include "support/ui/Dialogs.h"
#include "support/ui/Trap.h"

#include <QColor>
#include <QGroupBox>
#include <QString>

#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include <vector>

class QComboBox;
class QLabel;
class QLineEdit;
class QRadioButton;
class QScrollBar;
class QTableWidget;

namespace ledger {

class LedgerHost;

// Colours of the ledger grids.
inline const QColor UnmarkedBackground{255, 255, 192};
inline const QColor MarkedBackground{255, 192, 192};
inline const QColor MoveRangeBackground{0, 255, 0};
inline const QColor NegativeText{255, 0, 0};
inline const QColor UnconfirmedText{0, 0, 255};
inline const QColor NormalText{0, 0, 0};

// What the cash-book frame and the budget frame share: the ten-row grid with its scroll bar and
// column titles, the account name and number labels, and the transaction controls. The frames
// only show; the main window owns the state and runs the procedures.
class LedgerFrame : public QGroupBox {
    Q_OBJECT
public:
    static constexpr int Rows = 10;

    struct Names {
        QString frame, grid, scroll, transText, transCombo, hOption, sOption, transLabel, nameLabel,
            numberLabel;
    };

    // Column widths and titles in twips; amountBoxes are placed above the columns named by index.
    LedgerFrame(const QString& caption, const LedgerKind& kind, const Names& names,
                const std::vector<int>& columnTwips, const std::vector<std::pair<QString, QString>>& titles,
                QWidget* parent);

    const LedgerKind& kind() const { return kind_; }

    QTableWidget* grid() const { return grid_; }
    QScrollBar* scrollBar() const { return scroll_; }
    QLineEdit* transText() const { return transText_; }
    QComboBox* transCombo() const { return transCombo_; }
    QRadioButton* mainOption() const { return hOption_; }
    QRadioButton* subOption() const { return sOption_; }
    QLabel* transLabel() const { return transLabel_; }
    QLabel* nameLabel() const { return nameLabel_; }
    QLabel* numberLabel() const { return numberLabel_; }
    const std::vector<QLabel*>& columnTitles() const { return titles_; }
    QLabel* columnTitle(const QString& objectName) const;

    // The account's name and number in the frame's labels.
    void showAccount(const QString& name, const QString& number);
    // Empties every cell.
    void clearGrid();
    void setAllBackgrounds(const QColor& colour);
    // Every row the unmarked background, the marked row (0-9) the marked one.
    void markRow(int row);
    // Fills the transaction list (main or sub-transactions), the record number as item data.
    void loadTransactionList(const std::vector<catalogue::CatalogueItem>& items, const QString& tooltip);

    // Left edge of the grid's column in frame coordinates, for controls that stand above a column.
    int columnLeft(int column) const;
    int columnWidth(int column) const;

    // TransText_Enkel_Click / TransText_Budget_Click: a name in the box is offered for change or
    // removal in the catalogue windows; an empty box offers a new main or sub-transaction.
    void TransText_Click();
    // TransCombo_Enkel_Click / TransCombo_Budget_Click: a choice in the list, for a new entry, for
    // the marked post's sub-transaction, or as the marked post's new main transaction.
    void TransCombo_Click();
    // The help title, tooltip and help line of the transaction box and the option buttons.
    void transTextHelp();
    void optionHelp(bool mainOption);
    // The row of the transaction box's help table for the frame's state.
    TransTextSituation transTextSituation() const;

    // Connects the frame's procedures to the main window whose open account it works on.
    virtual void attach(LedgerHost* host);
    // Forgets what the frame's procedures had going (a typed amount, a move).
    virtual void resetEntry() { resetMove(); }
    // The box clicked with a post marked and main transactions listed: the replacement of the
    // post's transaction is offered, in that post or in every post using it.
    void offerReplacement();
    // The new transaction picked in the list during a replacement: confirmed, then done.
    void confirmReplacement(int number);
    // A change of a marked post given up: its stored amounts are shown and pending again.
    virtual void restoreMarkedEntry() {}
    // The marked post marked again from its record, as the click on its row left it.
    void remark();
    // A click in the grid: a tick toggled, a post marked, or a row of a move chosen.
    void gridClicked(int row, int column);

    // The move of posts to a new date: "" idle, then "First", "Last" and "Markerat".
    const QString& moveState() const { return moveState_; }
    int moveFirst() const { return moveFirst_; }
    int moveLast() const { return moveLast_; }

    static QString amountLimitText();
    static QString doesNotFitText();

signals:
    // The user moved the scroll bar (not emitted while the program sets it).
    void scrolled(int value);

protected:
    // The keyboard and the wheel reach what the mouse reaches: arrows move in the grid and
    // scroll at its edges, Space or Enter click the current cell, the wheel moves the scroll bar,
    // the transaction list opens from the keyboard and the option buttons switch it.
    bool eventFilter(QObject* watched, QEvent* event) override;
    // The transaction list about to open (TransCombo_Enkel_DropDown / TransCombo_Budget_DropDown).
    virtual void dropDownTransactions() = 0;
    // "Huvud-" or "Sub-" pressed.
    virtual void optionPressed(bool mainList) = 0;

    // UtPost_Enkel / UtPost_Budget: the marked post deleted after the question.
    void UtPost();
    // PostMover_Enkel / PostMover_Budget: "Flytta", then "Nytt datum" once a range is chosen.
    void PostMover();
    // TransCombo_Enkel_DropDown / TransCombo_Budget_DropDown: without a marked post the earlier
    // choice is forgotten; with no amount typed "Flytta" is offered.
    void TransCombo_DropDown();
    // The first key in an amount box with a post marked: the post's amounts are being changed.
    void startChangeOfMarked();
    // A change of the marked post's amounts done or refused: the cancel button ends the marking.
    void endChangeOfMarked();
    // The text of an amount box as typed: without its sign, cleaned; an empty or odd text is zero
    // after the message. Empty when the amount is at the limit (told, the entry reset).
    std::optional<std::string> typedAmount(const QLineEdit* box);
    // The marked post's amounts as the delete question names them.
    virtual QString markedAmountsText() const = 0;
    virtual PostResult removeInBook(int post) = 0;
    virtual PostResult moveInBook(int first, int last, const std::string& date) = 0;
    // The controls a move locks besides the common ones.
    virtual std::vector<QWidget*> moveLockedControls() const = 0;

    // A click on a post's row marks it: its values in the entry controls.
    virtual void markPost(int row) = 0;
    // The tick of a post toggled in the file (not yet saved).
    virtual void toggleTick(int post) = 0;
    // Inläs_G and OmLista: the view read again and shown.
    virtual void refillView() = 0;
    // The frame's amount boxes, the first one taking the focus.
    virtual std::vector<QLineEdit*> amountBoxes() const = 0;
    // An amount typed and taken with Enter is waiting for its post.
    virtual bool amountPending() const = 0;
    // A main transaction chosen for a new entry (no post marked): the kind's own steps.
    virtual void mainChosenForEntry() = 0;

    // The main window presses its cancel button with the reset armed: the procedure ends.
    void pressCancel();
    // "Flytta": the controls are locked, the help lines ask for the first row.
    void startMove(const std::vector<QWidget*>& entryControls);
    // A grid click during a move: the first row, then the last row and the question.
    void moveClick(int row);
    // "Nytt datum": the chosen range is taken for the move; false when no range is ready.
    bool takeMoveRange();
    void resetMove();

    // "Huvud-" / "Sub-" pressed: the list switches and shows the chosen name of its kind.
    void switchList(bool toMain, const std::function<void()>& load, const QString& procedure);
    // Main transaction `number` of Transakt, or sub-transaction `number` of Kategori (0: none),
    // becomes the chosen one of the main window.
    void chooseMainTransaction(int number);
    void chooseSubTransaction(int number);
    // The trimmed name of sub-transaction `number`; empty for 0 or a number beyond the file.
    QString subTransactionName(int number) const;
    // A sub-transaction chosen before any main transaction: the window is held for the entry.
    void subChosenWithoutMark(bool amountPending, QWidget* amountBox);
    // A click below the last post marks nothing; true when that is what happened.
    bool clickedBelowLastPost(int post);
    // Marking a post: the locks, the marked row, "Ta bort"; then its transactions; then its date
    // as the working date and the marking code.
    void beginMark(int row);
    void takeMarkedTransactions(std::string_view transNrField, std::string_view subTransField);
    void endMark(const std::string& date, const QString& markCode);
    // The click on the transaction box, inside the error trap.
    void transTextClicked();
    // Deleting the account's only post removes the account, after a second question.
    void removeOnlyPost();

    // A question or a message over the main window.
    bool ask(const QString& title, const QString& text,
             support::Dialogs::Icon icon = support::Dialogs::Icon::Question);
    void tell(const QString& title, const QString& text,
              support::Dialogs::Icon icon = support::Dialogs::Icon::Information);
    // "Överskriden max-nivå": an amount or balance would reach the limit; nothing was written.
    void showAmountLimit();
    // An amount or balance whose text would not fit its field; nothing was written.
    void showDoesNotFit();
    // The post file (and what changes with it) saved. A failed save drops the changes in memory
    // as well, so nothing the user was told had failed is written by a later save.
    void commitPosts();
    // Runs a procedure that changes the account's files inside the error trap; when it fails,
    // the changes it made in memory are dropped. True when it ran through.
    bool runChange(const std::function<void()>& body,
                   const std::function<support::ErrorDescription()>& describe);
    virtual void saveFiles() = 0;
    // The open files read back from disk: whatever was changed in memory is forgotten.
    virtual void dropChanges() = 0;
    // The follow-up steps of a change: the balance check from S, the view placed and filled.
    // The balances checked from S (SaldoKontroll_Enkel / Saldokontroll_Budget), and the view
    // placed around S and filled (ScrollSet, Inläs_G, OmLista).
    virtual void balanceCheck() = 0;
    // The balance check from `from` of an account of `postCount` posts started beside the save that
    // precedes it; balanceCheck() then takes its result. dropChanges() waits for it first.
    virtual void startBalanceCheck(int postCount, int from) = 0;
    virtual void showView() = 0;
    // The follow-up steps of a change: N, the balance check from `recountStart`, then the view
    // around `viewPost` (the recount start unless given).
    void afterChange(int postCount, int recountStart, int viewPost = 0);
    // A change refused at the limit is told; a done one is saved and followed up from
    // `recountStart`, the view around `viewPost`. True when it was done.
    bool finishChange(const PostResult& result, int recountStart, int viewPost = 0);
    // The closing lines of the frame's error reports: the kind's and the account's.
    QStringList reportEnd() const;
    // The sub-transaction chosen in the list for the marked post: added or replaced on Yes.
    void subChosenForMarkedPost();
    // SubTransNr of the marked post written.
    virtual store::Field subTransField() const = 0;

    LedgerHost* host_ = nullptr;

    void setCell(int row, int column, const QString& text, Qt::Alignment alignment, const QColor& colour);
    // A line edit placed above a grid column (the amount boxes).
    QLineEdit* addAmountBox(const QString& objectName, int column);

    int gridTop() const;

private:
    const LedgerKind& kind_;
    QTableWidget* grid_;
    QScrollBar* scroll_;
    QLineEdit* transText_;
    QComboBox* transCombo_;
    QRadioButton* hOption_;
    QRadioButton* sOption_;
    QLabel* transLabel_;
    QLabel* nameLabel_;
    QLabel* numberLabel_;
    std::vector<QLabel*> titles_;
    std::vector<int> columnTwips_;
    QString moveState_;
    int moveFirst_ = 0;
    int moveLast_ = 0;
    int moveFirstRow_ = -1;
    bool replaceAll_ = false;
};

} // namespace ledger
