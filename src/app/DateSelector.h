#pragma once

#include "store/DateText.h"

#include <QGroupBox>
#include <QString>

class QLabel;
class QPushButton;

namespace app {

// Frame3: the working date as three displays (year, month, day), each with a step button up and
// down. A press on a display asks the main window to look the shown date up in the ledger.
class DateSelector : public QGroupBox {
    Q_OBJECT
public:
    explicit DateSelector(QWidget* parent);

    // datumset: shows a "yyyy-mm-dd" text and makes it the working date unchanged.
    void datumset(const QString& date);
    // The date the selector shows.
    const store::Date& shown() const { return date_; }
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
    // DatChg: the displays and the working date from year, month and day.
    void DatChg();

    store::Date date_;
    QString workingDate_;
    QLabel* yearShow_;
    QLabel* monthShow_;
    QLabel* dayShow_;
};

} // namespace app
