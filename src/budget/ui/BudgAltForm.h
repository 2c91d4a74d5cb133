#pragma once

#include "budget/Period.h"
#include "budget/PeriodFill.h"
#include "calendar/RedDays.h"
#include "calendar/ui/HolidayForm.h"

#include <QColor>
#include <QPointer>
#include <QString>
#include <QWidget>

#include <array>
#include <optional>
#include <string>
#include <vector>

class QAction;
class QLabel;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;

namespace catalogue {
class CatalogueHost;
}

namespace budget {

// The planning window of a budget account ("Budgetering av konto: " + name): one transaction of
// the account, a budget year and a run of months, a day and an amount for each month (proposed
// from the budget template), and one budget post per month written into the account. It also
// excludes a transaction from budgeting and brings it back (a mark in B-mall), and opens the
// red-day window.
//
// The rules live in the budget core; this window keeps its controls and the state of the choice.
// The main window (the host) is disabled while it is open and enabled again on every way out,
// which also runs the host's cancel routine for the procedure code "budg". A top-level window
// without a parent, owned by whoever opens it (Qt::WA_DeleteOnClose).
class BudgAltForm : public QWidget {
    Q_OBJECT
public:
    explicit BudgAltForm(catalogue::CatalogueHost& host);
    ~BudgAltForm() override;

    // Chooses the filter and the first guiding text; run again when the transactions window
    // returns.
    void Conditions();
    void Option_Click(Filter filter);
    void chooseTransaction(int row);
    // Avsluta budgetering: stores the window's place and closes.
    void quit();
    // Budgetera ovanstående.
    void postBudget();
    // Exclude, re-admit, or cancel the transaction being budgeted, after the button's caption.
    void excludeOrReadmit();
    // Opens the red-day window.
    void excludeDates();
    // Avbryt datum: the month whose day list is open loses its day.
    void cancelDay();
    // "Rensa": after a yes, the month rows emptied and nothing left to post.
    void clearMonths();
    // Back to choosing: the list read again.
    void reloadList();
    void newTransaction();
    void yearLabel_Click(QLabel* label);
    void chooseStartMonth();
    void chooseEndMonth();
    // A month's day label (month 1..12) opens the day list.
    void dayLabel_Click(int month);
    void chooseDay(int row);
    void chooseYear(int row);
    void chooseMonth(int row);
    // Enter in a month's amount box.
    void amount_Enter(int month);
    void hlp_mn_Click();

    Filter filter() const { return filter_; }
    const Period& period() const { return period_; }
    bool budgeting() const { return budgeting_; }
    int chosenTransaction() const { return chosenNr_; }
    const QString& defaultAmount() const { return defaultAmount_; }
    calendar::HolidayForm* holidayForm() const { return holidayForm_; }

    // Backgrounds of the amount boxes.
    inline static const QColor Accepted{192, 255, 192};
    inline static const QColor Defaulted{255, 255, 192};
    inline static const QColor Cancelled{255, 192, 192};

signals:
    void closed();

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    enum class Opener { None, Year, StartMonth, EndMonth, Day };

    void buildControls();
    void Form_Load();
    // Shows a section of the guiding text (BudgInfoFil.txt) in the information box.
    void InfoBox(int section);
    // Proposes the budget period from today and the template.
    void PeriodSuggest();
    void showPeriod();
    // Fills the transaction list after the filter.
    void ListUpDate();
    // Locks the day labels and amount boxes of every month.
    void Close_Fields();
    // Locks the period labels and the filter options while a transaction is budgeted.
    void Close_Period();
    // Unlocks the year and month labels of the period.
    void Open_Period();
    // Empties the day labels and amount boxes of every month.
    void Rensa();
    // BudgetPeriod: the rows emptied and closed, the day labels of the period opened while a
    // transaction is being budgeted; with `warn` the red-day coverage warning follows.
    void BudgetPeriod(bool warn);
    // Fills each month of the period with its proposed day and amount.
    void Fyll_Månader();
    // BudgScanna: false when the user kept a day without an amount; the scanned months otherwise.
    bool BudgScanna();
    MonthRows currentRows() const;
    void setBox(int month, const QString& text, const QColor& background, bool enabled);
    void startBudgeting();
    // After a transaction was budgeted or given up: back to choosing one.
    void backToChoosing();
    // After a mark in the template changed: the filter that fits the marks now, the list again.
    void filterAfterMarks();
    // Writes the template's changed marks; a failed save puts the file back and is reported.
    bool commitMall(const QString& routine, const QString& situation);
    // The postings that did go in leave the rows, so a second press cannot post them again.
    void dropPostedRows(int posted);
    // The start month ("01"-"11") or the end month ("01"-"12") list beside its label.
    void monthLabel_Click(QLabel* label, int lastMonth, Opener opener);
    void showChoiceList(QListWidget* list, QLabel* beside, const QStringList& items, Opener opener,
                        int month = 0);
    void hideChoiceLists();
    void openRedDays();
    // A click on a label that opens a list, or on newTransactionBox; false for any other control.
    bool press(QObject* watched);
    void leave(bool storePlace);
    std::vector<TemplateRecord> mall() const;
    QString filterName() const;

    catalogue::CatalogueHost& host_;
    std::string infoFile_; // BudgInfoFil.txt as read at opening; empty when missing
    std::optional<calendar::RedDays> redDays_;
    QPointer<calendar::HolidayForm> holidayForm_;

    Filter filter_ = Filter::All;
    Period period_;
    int todayYear_ = 0;
    int chosenNr_ = 0;
    int chosenRow_ = -1;
    QString chosenName_;
    char chosenSign_ = ' ';
    bool budgeting_ = false;
    QString defaultAmount_;
    std::vector<ScannedMonth> scanned_;
    Opener opener_ = Opener::None;
    int openerMonth_ = 0;
    bool loaded_ = false;
    bool left_ = false;

    QListWidget* transactionList_;
    QRadioButton* allOption_;
    QRadioButton* budgetedOption_;
    QRadioButton* excludedOption_;
    QPlainTextEdit* infoText_;
    QLineEdit* newTransactionBox_;
    QLabel* signLabel_;
    QLabel* yearLabel_;
    QLabel* endYearLabel_;
    QLabel* startMonthLabel_;
    QLabel* endMonthLabel_;
    QLabel* endDayLabel_; // the end day
    std::array<QLabel*, 12> monthLabels_{};
    std::array<QLabel*, 12> dayLabels_{};
    std::array<QLineEdit*, 12> amountBoxes_{};
    QListWidget* dayList_;
    QListWidget* yearList_;
    QListWidget* monthList_;
    QPushButton* quitButton_;
    QPushButton* budgetButton_;
    QPushButton* excludeButton_;
    QPushButton* redDaysButton_;
    QPushButton* cancelDayButton_;
    QPushButton* clearButton_;
    QPushButton* reloadButton_;
    QAction* hlp_mn_;
};

} // namespace budget
