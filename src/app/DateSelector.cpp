#include "app/DateSelector.h"

#include "support/ui/NumberKeys.h"
#include "support/ui/Twips.h"

#include <QEvent>
#include <QLabel>
#include <QPushButton>

namespace app {

using support::px;

DateSelector::DateSelector(QWidget* parent) : QGroupBox(parent) {
    setObjectName(QStringLiteral("dateSelector"));
    const auto display = [this](const QString& name, int left, int width) {
        auto* label = new QLabel(this);
        label->setObjectName(name);
        label->setAlignment(Qt::AlignCenter);
        label->setFrameShape(QFrame::Panel);
        label->setFrameShadow(QFrame::Sunken);
        label->setAutoFillBackground(true);
        QPalette p = label->palette();
        p.setColor(QPalette::Window, Qt::white);
        label->setPalette(p);
        QFont f = label->font();
        f.setPointSize(f.pointSize() + 2);
        f.setBold(true);
        label->setFont(f);
        label->setGeometry(px(left), px(450), px(width), px(420));
        label->setToolTip(QStringLiteral("Klicka för sökning på inställt datum !"));
        label->installEventFilter(this);
        return label;
    };
    yearShow_ = display(QStringLiteral("YearShow"), 120, 1000);
    monthShow_ = display(QStringLiteral("MonthShow"), 1200, 700);
    dayShow_ = display(QStringLiteral("DayShow"), 1980, 700);
    yearShow_->setAccessibleName(QStringLiteral("År"));
    monthShow_->setAccessibleName(QStringLiteral("Månad"));
    dayShow_->setAccessibleName(QStringLiteral("Dag"));

    // From the keyboard: a month of receipts is entered without the mouse. The keys step as the
    // buttons do but leave the focus on the display, so the next key goes on from there.
    const auto keys = [this](QLabel* shown, int digits, auto stepper, int store::Date::*part) {
        support::useNumberKeys(*shown, {digits, [this, stepper](int delta) { keyStep(stepper, delta); },
                                        [this](int delta) { keyStep(&store::stepMonth, delta); },
                                        [this, part](int value) {
                                            store::Date typed = date_;
                                            typed.*part = value;
                                            return typeDate(typed);
                                        },
                                        [this] {
                                            if (isEnabled())
                                                emit finderRequested();
                                        }});
    };
    keys(yearShow_, 4, &store::stepYear, &store::Date::year);
    keys(monthShow_, 2, &store::stepMonth, &store::Date::month);
    keys(dayShow_, 2, &store::stepDay, &store::Date::day);

    const auto button = [this](const QString& name, const QString& text, const QString& tip, int left,
                               int top, int width, auto stepper, int delta) {
        auto* b = new QPushButton(text, this);
        b->setObjectName(name);
        b->setToolTip(tip);
        b->setAccessibleName(tip); // the arrow alone says nothing
        b->setFocusPolicy(Qt::NoFocus);
        b->setGeometry(px(left), px(top), px(width), px(250));
        connect(b, &QPushButton::pressed, this, [this, stepper, delta] { step(stepper, delta); });
    };
    // Each display has its step up above it and its step down below it.
    constexpr int Year = 120, Month = 1200, Day = 1980, Up = 180, Down = 890;
    button(QStringLiteral("YearPlus"), QStringLiteral("▲"), QStringLiteral("Öka datum med ett år"), Year, Up,
           1000, &store::stepYear, 1);
    button(QStringLiteral("YearMinus"), QStringLiteral("▼"), QStringLiteral("Minska datum med ett år"), Year,
           Down, 1000, &store::stepYear, -1);
    button(QStringLiteral("MonthPlus"), QStringLiteral("▲"), QStringLiteral("Öka datum med en månad"), Month,
           Up, 700, &store::stepMonth, 1);
    button(QStringLiteral("MonthMinus"), QStringLiteral("▼"), QStringLiteral("Minska datum med en månad"),
           Month, Down, 700, &store::stepMonth, -1);
    button(QStringLiteral("DayPlus"), QStringLiteral("▲"), QStringLiteral("Öka datum med en dag"), Day, Up,
           700, &store::stepDay, 1);
    button(QStringLiteral("DayMinus"), QStringLiteral("▼"), QStringLiteral("Minska datum med en dag"), Day,
           Down, 700, &store::stepDay, -1);
}

std::array<QWidget*, 3> DateSelector::displays() const {
    return {yearShow_, monthShow_, dayShow_};
}

void DateSelector::datumset(const QString& date) {
    const auto parsed = store::parseDate(date.toStdString());
    if (!parsed)
        return; // the program only ever hands over dates it formatted itself
    date_ = *parsed;
    yearShow_->setText(date.mid(0, 4));
    monthShow_->setText(date.mid(5, 2));
    dayShow_->setText(date.mid(8, 2));
    workingDate_ = date;
}

void DateSelector::DatChg() {
    const QString text = QString::fromStdString(store::dateText(date_));
    yearShow_->setText(QString::number(date_.year));
    monthShow_->setText(QString::fromStdString(store::twoDigits(date_.month)));
    dayShow_->setText(QString::fromStdString(store::twoDigits(date_.day)));
    workingDate_ = text;
}

void DateSelector::step(store::Date (*stepper)(const store::Date&, int), int delta) {
    date_ = stepper(date_, delta);
    DatChg();
    emit stepped();
}

void DateSelector::keyStep(store::Date (*stepper)(const store::Date&, int), int delta) {
    date_ = stepper(date_, delta);
    DatChg();
}

bool DateSelector::typeDate(const store::Date& date) {
    if (!store::parseDate(store::dateText(date)))
        return false;
    date_ = date;
    DatChg();
    return true;
}

bool DateSelector::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseButtonPress &&
        (watched == yearShow_ || watched == monthShow_ || watched == dayShow_) && isEnabled()) {
        emit finderRequested();
        return true;
    }
    return QGroupBox::eventFilter(watched, event);
}

} // namespace app
