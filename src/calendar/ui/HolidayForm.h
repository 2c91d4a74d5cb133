#pragma once

#include <QPointer>
#include <QString>
#include <QWidget>

class QLabel;
class QLineEdit;
class QPushButton;
class QTableWidget;

namespace support {
class Context;
}

namespace calendar {

class RedDays;

// The red-day window ("Röda dagar" in double quotes): lists the user's red days and lets them add,
// change and delete one, with the date picked step by step (year, month, day) inside the budget
// year. The budget alternatives window opens it with its red-day file already open; this window
// reads and writes that file in place and keeps its count up to date, and the file stays open
// when the window closes.
//
// The opener is disabled while this window is open and enabled again when it closes. It is not
// the Qt parent (a disabled parent would disable this window too): the window is top-level and
// whoever opens it owns it, typically with Qt::WA_DeleteOnClose. The opener may be null.
class HolidayForm : public QWidget {
    Q_OBJECT
public:
    HolidayForm(support::Context& ctx, QWidget* opener, RedDays& redDays);

    // The open red-day file and its count, as the opener uses them afterwards.
    RedDays& redDays() { return days_; }
    int redDayCount() const;
    // The record being changed, 0 while a new one is entered.
    int editedRecord() const { return edited_; }

    // Days of the month in the year: 28 or 29 for February by the Gregorian leap-year rule.
    static int DagMon(int year, int month);

    // Hide and disable (show and enable) the year, month and day controls and the OK, cancel and
    // delete buttons.
    void Close_Fields();
    void Open_Fields();

    // Enter in the name box: takes the name and opens the year.
    void nameEntered();
    void YearLabel_Click();
    void MonthLabel_Click();
    void DayLabel_Click();
    void YearPos_Click();
    void YearNeg_Click();
    void MonthPos_Click();
    void MonthNeg_Click();
    void DayPos_Click();
    void DayNeg_Click();
    // A click on grid row `row` (0 for record 1) loads that record for changing.
    void chooseRedDay(int row);
    // OK: stores the entry (a new record, or the changed one).
    void storeEntry();
    // Avbryt: discards the entry.
    void cancelEntry();
    // Avsluta: stores the position, enables the opener, closes.
    void quit();
    // Ta bort: deletes the record being changed after a question.
    void deleteRedDay();

signals:
    // The window has closed; the opener reads the count again.
    void closed();

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Form_Load();
    void fillGrid();
    // The guidance once the list has entries, after the warning about outdated ones.
    void checkOutdated();
    void showGuidance();
    void setGuidance(const QString& text);
    void resetEntry();

    // Bounds of the pickers, from the budget year and the chosen values.
    void setYearBounds(bool passedRecord);
    void setMonthBounds();
    void setDayBounds();
    // A changed year or month keeps the later values inside their bounds, so the picked date is
    // always a real day.
    void stepYear(int delta);
    void stepMonth(int delta);
    void yearChanged();
    void monthChanged();
    void showPicked();
    QString pickedDate() const;
    void leave();

    support::Context& ctx_;
    QPointer<QWidget> opener_;
    RedDays& days_;
    int todayYear_ = 0;
    int todayMonth_ = 0;
    bool loaded_ = false;
    bool left_ = false;

    int edited_ = 0;
    QString name_;
    // 0 while not chosen.
    int year_ = 0, month_ = 0, day_ = 0;
    int yearMin_ = 0, yearMax_ = 0, monthMin_ = 1, monthMax_ = 12, dayMin_ = 1, dayMax_ = 31;

    QLabel* nameTitle_;
    QLineEdit* nameBox_;
    QLabel* yearTitle_;
    QLabel* yearLabel_;
    QPushButton* yearPos_;
    QPushButton* yearNeg_;
    QLabel* monthTitle_;
    QLabel* monthLabel_;
    QPushButton* monthPos_;
    QPushButton* monthNeg_;
    QLabel* dayTitle_;
    QLabel* dayLabel_;
    QPushButton* dayPos_;
    QPushButton* dayNeg_;
    QLabel* listTitle_;
    QTableWidget* redDayGrid_;
    QLabel* guidanceLabel_;
    QPushButton* okButton_;
    QPushButton* cancelButton_;
    QPushButton* deleteButton_;
    QPushButton* quitButton_;
};

} // namespace calendar
