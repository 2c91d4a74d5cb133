#pragma once

#include "catalogue/Catalogue.h"
#include "ledger/PostShift.h"
#include "support/ui/Trap.h"

#include <QColor>
#include <QGroupBox>
#include <QString>

#include <functional>
#include <string>
#include <string_view>

#include <vector>

class QComboBox;
class QLabel;
class QLineEdit;
class QRadioButton;
class QScrollBar;
class QTableWidget;

namespace app {
class HeadForm;
}

namespace ledger {

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
    LedgerFrame(const QString& caption, const Names& names, const std::vector<int>& columnTwips,
                const std::vector<std::pair<QString, QString>>& titles, QWidget* parent);

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

    // Connects the frame's procedures to the main window whose open account it works on.
    virtual void attach(app::HeadForm* head) { head_ = head; }
    // Forgets what the frame's procedures had going (a typed amount, a move).
    virtual void resetEntry() { resetMove(); }
    // The box clicked with a post marked and main transactions listed: the replacement of the
    // post's transaction is offered.
    virtual void offerReplacement() {}
    // A change of a marked post given up: its stored amounts are shown and pending again.
    virtual void restoreMarkedEntry() {}
    // The marked post marked again from its record, as the click on its row left it.
    virtual void remark() = 0;

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
    // A sub-transaction chosen before any main transaction: the window is held for the entry.
    void subChosenWithoutMark(bool amountPending, QWidget* amountBox);
    // A click below the last post marks nothing; true when that is what happened.
    bool clickedBelowLastPost(int post);
    // Marking a post: the locks, the marked row, "Ta bort"; then its transactions; then its date
    // as the working date and the marking code.
    void beginMark(int row);
    void takeMarkedTransactions(std::string_view transNrField, std::string_view subTransField);
    void endMark(const std::string& date, const QString& markCode);
    // Deleting the account's only post removes the account, after a second question.
    void removeOnlyPost();

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
    virtual void afterChange(int postCount, int recountStart) = 0;
    // A change refused at the limit is told; a done one is saved and followed up from
    // `recountStart`. True when it was done.
    bool finishChange(const PostResult& result, int recountStart);

    app::HeadForm* head_ = nullptr;

    void setCell(int row, int column, const QString& text, Qt::Alignment alignment, const QColor& colour);
    // A line edit placed above a grid column (the amount boxes).
    QLineEdit* addAmountBox(const QString& objectName, int column);

    int gridTop() const;

private:
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
};

} // namespace ledger
