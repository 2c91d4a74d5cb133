#include "app/DateSelector.h"

#include "support/ui/Twips.h"

#include <QEvent>
#include <QLabel>
#include <QPushButton>

namespace app {

using support::px;

DateSelector::DateSelector(QWidget* parent) : QGroupBox(parent) {
    setObjectName(QStringLiteral("Frame3"));
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
    yearShow_ = display(QStringLiteral("YearShow"), 120, 900);
    monthShow_ = display(QStringLiteral("MonthShow"), 1140, 600);
    dayShow_ = display(QStringLiteral("DayShow"), 1860, 600);

    const auto button = [this](const QString& name, const QString& text, const QString& tip, int left,
                               int top, int width, auto stepper, int delta) {
        auto* b = new QPushButton(text, this);
        b->setObjectName(name);
        b->setToolTip(tip);
        b->setFocusPolicy(Qt::NoFocus);
        b->setGeometry(px(left), px(top), px(width), px(250));
        connect(b, &QPushButton::pressed, this, [this, stepper, delta] { step(stepper, delta); });
    };
    button(QStringLiteral("YearPlus"), QStringLiteral("▲"), QStringLiteral("Öka datum med ett år"), 120, 180,
           900, &store::stepYear, 1);
    button(QStringLiteral("YearMinus"), QStringLiteral("▼"), QStringLiteral("Minska datum med ett år"), 120,
           890, 900, &store::stepYear, -1);
    button(QStringLiteral("MonthPlus"), QStringLiteral("▲"), QStringLiteral("Öka datum med en månad"), 1140,
           180, 600, &store::stepMonth, 1);
    button(QStringLiteral("MonthMinus"), QStringLiteral("▼"), QStringLiteral("Minska datum med en månad"),
           1140, 890, 600, &store::stepMonth, -1);
    button(QStringLiteral("DayPlus"), QStringLiteral("▲"), QStringLiteral("Öka datum med en dag"), 1860, 180,
           600, &store::stepDay, 1);
    button(QStringLiteral("DayMinus"), QStringLiteral("▼"), QStringLiteral("Minska datum med en dag"), 1860,
           890, 600, &store::stepDay, -1);
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

bool DateSelector::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseButtonPress &&
        (watched == yearShow_ || watched == monthShow_ || watched == dayShow_) && isEnabled()) {
        emit finderRequested();
        return true;
    }
    return QGroupBox::eventFilter(watched, event);
}

} // namespace app
