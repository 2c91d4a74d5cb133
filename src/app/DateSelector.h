#pragma once

#include "store/DateText.h"

#include <QGroupBox>
#include <QString>

#include <array>

class QLabel;
class QPushButton;

namespace app {

// The working date as three displays (year, month, day), each with a step button up and
// down. A press on a display asks the main window to look the shown date up in the ledger. Tab
// reaches the displays: Up and Down step the focused one, PageUp and PageDown the month, typed
// digits set it (four for the year, two for a month or a day), and Enter looks the date up.
class DateSelector : public QGroupBox {
    Q_OBJECT
public:
    explicit DateSelector(QWidget* parent);

    // datumset: shows a "yyyy-mm-dd" text and makes it the working date unchanged.
    void datumset(const QString& date);
    // The date the selector shows.
    const store::Date& shown() const { return date_; }
    // The year, month and day displays, in the order Tab reaches them.
    std::array<QWidget*, 3> displays() const;
    QString workingDate() const { return workingDate_; }
    // After a look-up the working date goes back to today while the displays keep the shown date.
    void setWorkingDateOnly(const QString& date) { workingDate_ = date; }

signals:
    // A step button was pressed (the date has changed).
    void stepped();
    // A display was pressed: look the shown date up (Finder).
    void finderRequested();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void step(store::Date (*stepper)(const store::Date&, int), int delta);
    // A step from the keyboard: as a button's, but the focus stays where it is.
    void keyStep(store::Date (*stepper)(const store::Date&, int), int delta);
    // A typed year, month or day: taken only when it makes a real date.
    bool typeDate(const store::Date& date);
    // DatChg: the displays and the working date from year, month and day.
    void DatChg();

    store::Date date_;
    QString workingDate_;
    QLabel* yearShow_;
    QLabel* monthShow_;
    QLabel* dayShow_;
};

} // namespace app
