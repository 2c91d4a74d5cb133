#include "calendar/ui/HolidayForm.h"

#include "calendar/RedDays.h"
#include "store/Cp1252.h"
#include "store/DateText.h"
#include "store/Errors.h"
#include "store/History.h"
#include "support/ui/Context.h"
#include "support/ui/NumberKeys.h"
#include "support/ui/Trap.h"
#include "support/ui/Twips.h"
#include "support/ui/WindowPosition.h"

#include <QCloseEvent>
#include <QEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShortcut>
#include <QShowEvent>
#include <QTableWidget>
#include <QVBoxLayout>

#include <algorithm>

namespace calendar {

namespace {

const QString CRLF = QStringLiteral("\r\n");
const QString Q = QStringLiteral("\"");

// The window's texts, in one place, with CR LF where the guidance breaks its lines.
namespace text {

const QString Caption = Q + QStringLiteral("Röda dagar") + Q;

QString firstEntry() {
    return QStringLiteral("Skriv in namnet på en ") + Q + QStringLiteral("Röd dag") + Q +
           QStringLiteral(" i nedanstående textfält") + QStringLiteral(" och tryck på Enter !");
}

QString entries() {
    return QStringLiteral("Skriv in en ny ") + Q + QStringLiteral("Röd dag") + Q +
           QStringLiteral(" i textfält nedan") +
           QStringLiteral(" och tryck på Enter, eller klicka på befintlig i listan") +
           QStringLiteral(" för  borttagning / ev. ändring !");
}

QString lastDeleted() {
    return QStringLiteral("Sista registreringen av 'Röd dag' har raderats !") + CRLF +
           QStringLiteral("Skriv in namnet på en ny ") + Q + QStringLiteral("Röd dag") + Q +
           QStringLiteral(" i nedanstående textfält ") +
           QStringLiteral(" och tryck på Enter, eller Avsluta !");
}

const QString OutdatedTitle = QStringLiteral("Utdaterade 'röda dagar'");
QString outdatedHead() {
    return QStringLiteral("Följande reg. 'Röd(a) dag(ar)' är utdaterad(e) och kan behöva") +
           QStringLiteral(" datumjusteras:") + CRLF;
}

const QString NoName = QStringLiteral("Textfältet saknar en benämning för 'Röd dag' !");

QString thisYearOnly() {
    return QStringLiteral("Endast innevarande budgetår visas !") + CRLF +
           QStringLiteral("Klicka på årtalet för att gå vidare !");
}

QString nextYearToo() {
    return QStringLiteral("'Röda dagar' kan även (om)registreras för de första sex") +
           QStringLiteral(" månaderna nästa år !") + CRLF +
           QStringLiteral("Ställ in och klicka på¨avsett årtal för att gå vidare !");
}

const QString MonthEnd = QStringLiteral(" och klicka sedan på månadssiffran !");
const QString MonthNextYear = QStringLiteral("Ställ in månad för 'Röd dag' under första halvåret nästa år");
const QString MonthSecondHalf = QStringLiteral("Ställ in månad för 'Röd dag' under andra halvåret detta år");
const QString MonthThisYear = QStringLiteral("Ställ in månad för 'Röd dag' under detta år,");

QString chooseDay() {
    return QStringLiteral("Ställ in dagsdatumet för 'Röd dag' och klicka sedan på dagssiffran !") + CRLF;
}

QString ready() {
    return QStringLiteral("Klicka på 'OK' för att registrera inställningen, eller") +
           QStringLiteral(" Klicka på 'Avbryt' om du behöver göra om inställningen !");
}

const QString PassedTitle = QStringLiteral("Ej passerat datum");
const QString Passed = QStringLiteral("Ej möjligt ändra datum till nästa år på hämtad post !");

const QString Editing =
    QStringLiteral("Justera text och / eller datum + OK, alternativt Avbryt, eller Ta bort !");

const QString DeleteOnlyTitle = QStringLiteral("Radera enda filposten ?");
const QString DeleteTitle = QStringLiteral("Radera filposten ?");
QString deleteQuestion(const QString& name, const QString& date) {
    return QStringLiteral("Vill du verkligen radera 'Röd dag': ") + name + QStringLiteral(" med datumet: ") +
           date + QStringLiteral(" ?");
}

const QString BadDate = QStringLiteral("Datumet ") + QStringLiteral("%1") +
                        QStringLiteral(" finns inte i kalendern, ställ in ett giltigt datum !");

} // namespace text

QString fromCp1252(const std::string& bytes) {
    return QString::fromStdString(store::cp1252ToUtf8(bytes));
}

support::ErrorDescription failure(const QString& routine, const QString& situation, QStringList values) {
    QStringList details{QStringLiteral("Fel i rutinen ") + routine, situation};
    details += values;
    return {QStringLiteral("Ett fel har uppstått i subrutinen ") + routine + CRLF + situation + CRLF + CRLF,
            details};
}

void setShown(std::initializer_list<QWidget*> widgets, bool visible, bool enabled) {
    for (QWidget* w : widgets) {
        w->setVisible(visible);
        w->setEnabled(enabled);
    }
}

} // namespace

HolidayForm::HolidayForm(support::Context& ctx, QWidget* opener, RedDays& redDays)
    : ctx_(ctx), opener_(opener), days_(redDays),
      nameTitle_(new QLabel(QStringLiteral("Ny / Mark. Röd dag"), this)), nameBox_(new QLineEdit(this)),
      yearTitle_(new QLabel(QStringLiteral("Budg.år"), this)), yearLabel_(new QLabel(this)),
      yearPos_(new QPushButton(QStringLiteral("+"), this)),
      yearNeg_(new QPushButton(QStringLiteral("-"), this)),
      monthTitle_(new QLabel(QStringLiteral("-mån."), this)), monthLabel_(new QLabel(this)),
      monthPos_(new QPushButton(QStringLiteral("+"), this)),
      monthNeg_(new QPushButton(QStringLiteral("-"), this)),
      dayTitle_(new QLabel(QStringLiteral("-dag"), this)), dayLabel_(new QLabel(this)),
      dayPos_(new QPushButton(QStringLiteral("+"), this)),
      dayNeg_(new QPushButton(QStringLiteral("-"), this)),
      listTitle_(new QLabel(QStringLiteral("Daterade helgdagar ") + text::Caption, this)),
      redDayGrid_(new QTableWidget(this)), guidanceLabel_(new QLabel(this)),
      okButton_(new QPushButton(QStringLiteral("OK"), this)),
      cancelButton_(new QPushButton(QStringLiteral("Avbryt"), this)),
      deleteButton_(new QPushButton(QStringLiteral("Ta bort"), this)),
      quitButton_(new QPushButton(QStringLiteral("Avsluta"), this)) {
    setObjectName(QStringLiteral("HolidayForm"));
    setWindowTitle(text::Caption);
    support::keepAbove(*this, opener);
    const std::pair<QWidget*, const char*> names[] = {{nameTitle_, "nameTitle"},
                                                      {nameBox_, "nameBox"},
                                                      {yearTitle_, "yearTitle"},
                                                      {yearLabel_, "YearLabel"},
                                                      {yearPos_, "YearPos"},
                                                      {yearNeg_, "YearNeg"},
                                                      {monthTitle_, "monthTitle"},
                                                      {monthLabel_, "MonthLabel"},
                                                      {monthPos_, "MonthPos"},
                                                      {monthNeg_, "MonthNeg"},
                                                      {dayTitle_, "dayTitle"},
                                                      {dayLabel_, "DayLabel"},
                                                      {dayPos_, "DayPos"},
                                                      {dayNeg_, "DayNeg"},
                                                      {listTitle_, "listTitle"},
                                                      {redDayGrid_, "redDayGrid"},
                                                      {guidanceLabel_, "guidanceLabel"},
                                                      {okButton_, "okButton"},
                                                      {cancelButton_, "cancelButton"},
                                                      {deleteButton_, "deleteButton"},
                                                      {quitButton_, "quitButton"}};
    for (const auto& [widget, name] : names)
        widget->setObjectName(QString::fromLatin1(name));

    const auto today = store::parseDate(ctx_.today);
    todayYear_ = today ? today->year : 0;
    todayMonth_ = today ? today->month : 1;

    nameTitle_->setBuddy(nameBox_);
    redDayGrid_->setAccessibleName(listTitle_->text());
    // The pickers show only a number and the step buttons only a sign: each gets the part it sets.
    const std::pair<QWidget*, const char*> spoken[] = {{yearLabel_, "År"},
                                                       {monthLabel_, "Månad"},
                                                       {dayLabel_, "Dag"},
                                                       {yearPos_, "Nästa år"},
                                                       {yearNeg_, "Föregående år"},
                                                       {monthPos_, "Nästa månad"},
                                                       {monthNeg_, "Föregående månad"},
                                                       {dayPos_, "Nästa dag"},
                                                       {dayNeg_, "Föregående dag"}};
    for (const auto& [widget, name] : spoken)
        widget->setAccessibleName(QString::fromUtf8(name));

    // The name field holds 25 bytes, one per character.
    nameBox_->setMaxLength(static_cast<int>(RedDayNameLength));
    for (QLabel* picked : {yearLabel_, monthLabel_, dayLabel_}) {
        picked->setFrameShape(QFrame::Panel);
        picked->setFrameShadow(QFrame::Sunken);
        picked->setAlignment(Qt::AlignCenter);
        picked->setMinimumWidth(support::px(600));
        picked->setCursor(Qt::PointingHandCursor);
        picked->installEventFilter(this);
    }
    for (QPushButton* step : {yearPos_, yearNeg_, monthPos_, monthNeg_, dayPos_, dayNeg_})
        step->setFixedWidth(support::px(360));
    // From the keyboard as with the buttons: Up and Down step, PageUp and PageDown the month,
    // digits set a value inside its bounds, and Enter takes the value as a click does and goes on
    // to the next part of the date.
    const auto monthPage = [this](int delta) {
        if (monthPos_->isEnabled())
            stepMonth(delta);
    };
    // A typed value is taken only inside the part's present bounds, as the buttons keep it.
    const auto typedInto = [this](int& part, const int& low, const int& high,
                                  void (HolidayForm::*changed)()) {
        return [this, &part, &low, &high, changed](int value) {
            if (value < low || value > high)
                return false;
            part = value;
            (this->*changed)();
            return true;
        };
    };
    support::useNumberKeys(*yearLabel_, {4, [this](int delta) { stepYear(delta); }, monthPage,
                                         typedInto(year_, yearMin_, yearMax_, &HolidayForm::yearChanged),
                                         [this] {
                                             YearLabel_Click();
                                             monthLabel_->setFocus();
                                         }});
    support::useNumberKeys(*monthLabel_, {2, [this](int delta) { stepMonth(delta); }, monthPage,
                                          typedInto(month_, monthMin_, monthMax_, &HolidayForm::monthChanged),
                                          [this] {
                                              MonthLabel_Click();
                                              dayLabel_->setFocus();
                                          }});
    support::useNumberKeys(*dayLabel_,
                           {2, [this](int delta) { delta > 0 ? DayPos_Click() : DayNeg_Click(); }, monthPage,
                            typedInto(day_, dayMin_, dayMax_, &HolidayForm::showPicked),
                            [this] { DayLabel_Click(); }});

    redDayGrid_->setColumnCount(3);
    redDayGrid_->horizontalHeader()->hide();
    redDayGrid_->verticalHeader()->hide();
    redDayGrid_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    redDayGrid_->setSelectionBehavior(QAbstractItemView::SelectRows);
    redDayGrid_->setSelectionMode(QAbstractItemView::SingleSelection);
    redDayGrid_->setColumnWidth(0, support::px(450));
    redDayGrid_->setColumnWidth(1, support::px(3295));
    redDayGrid_->setColumnWidth(2, support::px(1400));
    redDayGrid_->setMinimumWidth(support::px(450 + 3295 + 1400 + 400));

    guidanceLabel_->setWordWrap(true);
    guidanceLabel_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    guidanceLabel_->setFrameShape(QFrame::Panel);
    guidanceLabel_->setFrameShadow(QFrame::Sunken);
    guidanceLabel_->setMargin(6);
    guidanceLabel_->setMinimumHeight(support::px(1000));

    auto* pickers = new QGridLayout;
    const std::tuple<QLabel*, QLabel*, QPushButton*, QPushButton*> columns[] = {
        {yearTitle_, yearLabel_, yearPos_, yearNeg_},
        {monthTitle_, monthLabel_, monthPos_, monthNeg_},
        {dayTitle_, dayLabel_, dayPos_, dayNeg_}};
    int column = 0;
    for (const auto& [heading, shown, up, down] : columns) {
        pickers->addWidget(heading, 0, column, 1, 2);
        pickers->addWidget(shown, 1, column, 2, 1);
        pickers->addWidget(up, 1, column + 1);
        pickers->addWidget(down, 2, column + 1);
        column += 2;
    }
    pickers->setColumnStretch(column, 1);

    auto* buttons = new QHBoxLayout;
    for (QPushButton* b : {okButton_, cancelButton_, deleteButton_})
        buttons->addWidget(b);
    buttons->addStretch();
    buttons->addWidget(quitButton_);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(nameTitle_);
    layout->addWidget(nameBox_);
    layout->addLayout(pickers);
    layout->addWidget(listTitle_);
    layout->addWidget(redDayGrid_, 1);
    layout->addWidget(guidanceLabel_);
    layout->addLayout(buttons);

    // Enter presses a focused button, as in the other windows.
    for (QPushButton* b : {okButton_, cancelButton_, deleteButton_, quitButton_})
        b->setAutoDefault(true);
    connect(nameBox_, &QLineEdit::returnPressed, this, &HolidayForm::nameEntered);
    connect(yearPos_, &QPushButton::clicked, this, &HolidayForm::YearPos_Click);
    connect(yearNeg_, &QPushButton::clicked, this, &HolidayForm::YearNeg_Click);
    connect(monthPos_, &QPushButton::clicked, this, &HolidayForm::MonthPos_Click);
    connect(monthNeg_, &QPushButton::clicked, this, &HolidayForm::MonthNeg_Click);
    connect(dayPos_, &QPushButton::clicked, this, &HolidayForm::DayPos_Click);
    connect(dayNeg_, &QPushButton::clicked, this, &HolidayForm::DayNeg_Click);
    connect(redDayGrid_, &QTableWidget::cellClicked, this, [this](int row, int) { chooseRedDay(row); });
    connect(okButton_, &QPushButton::clicked, this, &HolidayForm::storeEntry);
    connect(cancelButton_, &QPushButton::clicked, this, &HolidayForm::cancelEntry);
    connect(quitButton_, &QPushButton::clicked, this, &HolidayForm::quit);
    connect(deleteButton_, &QPushButton::clicked, this, &HolidayForm::deleteRedDay);
    // Esc undoes a red day being set ("Avbryt"), else closes the window ("Avsluta").
    connect(new QShortcut(QKeySequence(Qt::Key_Escape), this), &QShortcut::activated, this, [this] {
        (cancelButton_->isEnabled() && cancelButton_->isVisibleTo(this) ? cancelButton_ : quitButton_)
            ->click();
    });
}

int HolidayForm::redDayCount() const {
    return days_.count();
}

int HolidayForm::DagMon(int year, int month) {
    return store::daysInMonth(year, month);
}

bool HolidayForm::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseButtonPress) {
        if (watched == yearLabel_ && yearLabel_->isEnabled()) {
            YearLabel_Click();
            return true;
        }
        if (watched == monthLabel_ && monthLabel_->isEnabled()) {
            MonthLabel_Click();
            return true;
        }
        if (watched == dayLabel_ && dayLabel_->isEnabled()) {
            DayLabel_Click();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void HolidayForm::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (loaded_)
        return;
    loaded_ = true;
    Form_Load();
}

void HolidayForm::Form_Load() {
    support::trapped(
        ctx_, this, [this] { support::restoreWindowPosition(ctx_, *this, store::WindowPair::HolidayForm); },
        [] {
            return failure(QStringLiteral("Form_Load"),
                           QStringLiteral(" vid placering av fönstret Röda dagar."), {});
        });
    Close_Fields();
    edited_ = 0;
    fillGrid();
    if (days_.count() == 0)
        setGuidance(text::firstEntry());
    else
        checkOutdated();
    if (opener_)
        opener_->setEnabled(false);
    nameBox_->setFocus();
}

void HolidayForm::fillGrid() {
    const std::vector<RedDay> list = days_.list();
    redDayGrid_->clearContents();
    redDayGrid_->setRowCount(std::max<int>(5, static_cast<int>(list.size())));
    for (const RedDay& day : list) {
        const int row = day.record - 1;
        redDayGrid_->setItem(row, 0, new QTableWidgetItem(QString::number(day.record)));
        redDayGrid_->setItem(row, 1, new QTableWidgetItem(fromCp1252(day.name)));
        redDayGrid_->setItem(row, 2, new QTableWidgetItem(fromCp1252(day.date)));
    }
    redDayGrid_->clearSelection();
}

void HolidayForm::checkOutdated() {
    const std::vector<RedDay> old = days_.outdated(todayYear_);
    if (!old.empty()) {
        QString message = text::outdatedHead();
        for (const RedDay& day : old)
            message += fromCp1252(day.name) + QStringLiteral("  ") + fromCp1252(day.date) + CRLF;
        ctx_.dialogs.message(this, text::OutdatedTitle, message, support::Dialogs::Icon::Exclamation);
    }
    setGuidance(text::entries());
}

void HolidayForm::showGuidance() {
    setGuidance(days_.count() == 0 ? text::firstEntry() : text::entries());
}

void HolidayForm::setGuidance(const QString& message) {
    QString shown = message;
    shown.replace(CRLF, QStringLiteral("\n"));
    guidanceLabel_->setText(shown);
}

void HolidayForm::Close_Fields() {
    setShown({yearTitle_, yearLabel_, yearPos_, yearNeg_, monthTitle_, monthLabel_, monthPos_, monthNeg_,
              dayTitle_, dayLabel_, dayPos_, dayNeg_, okButton_, cancelButton_, deleteButton_},
             false, false);
}

void HolidayForm::Open_Fields() {
    setShown({yearTitle_, yearLabel_, yearPos_, yearNeg_, monthTitle_, monthLabel_, monthPos_, monthNeg_,
              dayTitle_, dayLabel_, dayPos_, dayNeg_, okButton_, cancelButton_, deleteButton_},
             true, true);
}

void HolidayForm::resetEntry() {
    edited_ = 0;
    name_.clear();
    year_ = month_ = day_ = 0;
    nameBox_->clear();
    redDayGrid_->clearSelection();
    redDayGrid_->setCurrentCell(-1, -1);
    showPicked();
}

void HolidayForm::setYearBounds(bool passedRecord) {
    yearMin_ = todayYear_;
    // From July on, the first half of next year belongs to the budget year too.
    yearMax_ = todayMonth_ >= 7 && !passedRecord ? todayYear_ + 1 : todayYear_;
}

void HolidayForm::setMonthBounds() {
    if (year_ > todayYear_) {
        monthMin_ = 1;
        monthMax_ = 6;
    } else if (year_ == todayYear_ && todayMonth_ >= 7) {
        monthMin_ = 7;
        monthMax_ = 12;
    } else {
        monthMin_ = 1;
        monthMax_ = 12;
    }
}

void HolidayForm::setDayBounds() {
    dayMin_ = 1;
    dayMax_ = month_ >= 1 && month_ <= 12 ? DagMon(year_, month_) : 31;
}

void HolidayForm::yearChanged() {
    setMonthBounds();
    if (month_ != 0)
        month_ = std::clamp(month_, monthMin_, monthMax_);
    monthChanged();
}

void HolidayForm::monthChanged() {
    setDayBounds();
    if (day_ != 0)
        day_ = std::clamp(day_, dayMin_, dayMax_);
    showPicked();
}

void HolidayForm::showPicked() {
    yearLabel_->setText(year_ != 0 ? QString::number(year_) : QString());
    monthLabel_->setText(month_ != 0 ? QString::fromStdString(store::twoDigits(month_))
                                     : QStringLiteral("--"));
    dayLabel_->setText(day_ != 0 ? QString::fromStdString(store::twoDigits(day_)) : QString());
}

QString HolidayForm::pickedDate() const {
    return QString::number(year_).rightJustified(4, QLatin1Char('0')) + QStringLiteral("-") +
           QString::fromStdString(store::twoDigits(month_)) + QStringLiteral("-") +
           QString::fromStdString(store::twoDigits(day_));
}

void HolidayForm::nameEntered() {
    const QString name = nameBox_->text().trimmed();
    if (name.isEmpty()) {
        setGuidance(text::NoName);
        return;
    }
    if (const auto problem = redDayNameProblem(name.toStdString())) {
        setGuidance(QString::fromStdString(*problem));
        return;
    }
    name_ = name;
    // A record being changed stays the one changed; its date is picked again from the year.
    setShown({okButton_, cancelButton_, deleteButton_}, false, false);
    setShown({yearTitle_, yearLabel_, yearPos_, yearNeg_, monthTitle_, monthLabel_, monthPos_, monthNeg_,
              dayTitle_, dayLabel_, dayPos_, dayNeg_},
             true, false);
    setShown({yearTitle_, yearLabel_, yearPos_, yearNeg_}, true, true);
    setYearBounds(false);
    year_ = todayYear_;
    month_ = day_ = 0;
    setMonthBounds();
    showPicked();
    setGuidance(todayMonth_ <= 6 ? text::thisYearOnly() : text::nextYearToo());
    yearLabel_->setFocus(); // the keyboard goes on with the date
}

// A step that leaves the value as it was (at a bound) changes nothing else either.
void HolidayForm::stepYear(int delta) {
    const int year = std::clamp(year_ + delta, yearMin_, yearMax_);
    if (year == year_)
        return;
    year_ = year;
    yearChanged();
}

void HolidayForm::stepMonth(int delta) {
    const int month = std::clamp(month_ + delta, monthMin_, monthMax_);
    if (month == month_)
        return;
    month_ = month;
    monthChanged();
}

void HolidayForm::YearPos_Click() {
    stepYear(+1);
}

void HolidayForm::YearNeg_Click() {
    stepYear(-1);
}

void HolidayForm::YearLabel_Click() {
    QString guidance;
    if (year_ > todayYear_)
        guidance = text::MonthNextYear;
    else if (todayMonth_ >= 7)
        guidance = text::MonthSecondHalf;
    else
        guidance = text::MonthThisYear;
    setMonthBounds();
    month_ = monthMin_;
    monthChanged();
    setShown({monthTitle_, monthLabel_, monthPos_, monthNeg_}, true, true);
    setGuidance(guidance + text::MonthEnd);
}

void HolidayForm::MonthPos_Click() {
    stepMonth(+1);
}

void HolidayForm::MonthNeg_Click() {
    stepMonth(-1);
}

void HolidayForm::MonthLabel_Click() {
    if (month_ == 0)
        return;
    setDayBounds();
    day_ = dayMin_;
    showPicked();
    setShown({dayTitle_, dayLabel_, dayPos_, dayNeg_}, true, true);
    setGuidance(text::chooseDay());
}

// The day steps from the shown day, or from 1 when none is shown.
void HolidayForm::DayPos_Click() {
    day_ = std::clamp((day_ != 0 ? day_ : 1) + 1, dayMin_, dayMax_);
    showPicked();
}

void HolidayForm::DayNeg_Click() {
    day_ = std::clamp((day_ != 0 ? day_ : 1) - 1, dayMin_, dayMax_);
    showPicked();
}

void HolidayForm::DayLabel_Click() {
    if (day_ == 0)
        return;
    setShown({okButton_, cancelButton_}, true, true);
    setGuidance(text::ready());
    okButton_->setFocus();
}

void HolidayForm::chooseRedDay(int row) {
    const int n = row + 1;
    if (n < 1 || n > days_.count())
        return;
    const RedDay day = days_.at(n);
    if (day.name.empty())
        return;
    edited_ = n;
    name_ = fromCp1252(day.name);
    nameBox_->setText(name_);

    // A record whose date has passed cannot be moved on to next year.
    const bool passed = ctx_.today > day.date;
    setYearBounds(passed);
    if (const auto date = store::parseDate(day.date)) {
        year_ = date->year;
        month_ = date->month;
        day_ = date->day;
    } else {
        // A date that names no real day is picked anew from the budget year.
        year_ = todayYear_;
        month_ = 0;
        day_ = 0;
    }
    setMonthBounds();
    if (month_ == 0)
        month_ = monthMin_;
    setDayBounds();
    if (day_ == 0)
        day_ = dayMin_;
    showPicked();
    Open_Fields();
    if (passed)
        ctx_.dialogs.message(this, text::PassedTitle, text::Passed, support::Dialogs::Icon::Exclamation);
    setGuidance(text::Editing);
}

void HolidayForm::storeEntry() {
    if (year_ == 0 || month_ == 0 || day_ == 0)
        return;
    const QString name = nameBox_->text().trimmed();
    if (name.isEmpty()) {
        setGuidance(text::NoName);
        return;
    }
    if (const auto problem = redDayNameProblem(name.toStdString())) {
        setGuidance(QString::fromStdString(*problem));
        return;
    }
    const QString date = pickedDate();
    if (!store::parseDate(date.toStdString())) {
        setGuidance(text::BadDate.arg(date));
        return;
    }
    Close_Fields();
    const std::string bytes = *store::utf8ToCp1252(name.toStdString());
    const int edited = edited_;
    const bool stored = support::trapped(
        ctx_, this,
        [&] {
            try {
                store::describeChange((edited != 0 ? "ändrad röd dag " : "ny röd dag ") + name.toStdString());
                if (edited != 0)
                    days_.change(edited, bytes, date.toStdString());
                else
                    days_.insert(bytes, date.toStdString());
                days_.commit();
            } catch (...) {
                days_.reload();
                throw;
            }
        },
        [&] {
            return failure(QStringLiteral("Command1_MouseDown"),
                           QStringLiteral(" vid registrering av 'Röd dag'."),
                           {QStringLiteral("Namn = ") + name, QStringLiteral("Datum = ") + date,
                            QStringLiteral("PostNr = ") + QString::number(edited),
                            QStringLiteral("Antal = ") + QString::number(days_.count())});
        });
    fillGrid();
    resetEntry();
    if (stored)
        showGuidance();
    nameBox_->setFocus();
}

void HolidayForm::cancelEntry() {
    Close_Fields();
    resetEntry();
    showGuidance();
    nameBox_->setFocus();
}

void HolidayForm::deleteRedDay() {
    if (edited_ < 1 || edited_ > days_.count())
        return;
    const RedDay day = days_.at(edited_);
    const QString title = days_.count() <= 1 ? text::DeleteOnlyTitle : text::DeleteTitle;
    if (!ctx_.dialogs.question(this, title, text::deleteQuestion(fromCp1252(day.name), fromCp1252(day.date))))
        return;
    Close_Fields();
    const bool removed = support::trapped(
        ctx_, this,
        [&] {
            try {
                days_.remove(day.record);
                store::describeChange("borttagen röd dag " + fromCp1252(day.name).toStdString());
                days_.commit();
            } catch (...) {
                days_.reload();
                throw;
            }
        },
        [&] {
            return failure(QStringLiteral("Command4_MouseDown"),
                           QStringLiteral(" vid radering av 'Röd dag'."),
                           {QStringLiteral("Namn = ") + fromCp1252(day.name),
                            QStringLiteral("Datum = ") + fromCp1252(day.date),
                            QStringLiteral("PostNr = ") + QString::number(day.record),
                            QStringLiteral("Antal = ") + QString::number(days_.count())});
        });
    resetEntry();
    fillGrid();
    if (!removed)
        return;
    if (days_.count() == 0)
        setGuidance(text::lastDeleted());
    else
        checkOutdated();
}

void HolidayForm::quit() {
    support::trapped(
        ctx_, this, [this] { support::storeWindowPosition(ctx_, *this, store::WindowPair::HolidayForm); },
        [] {
            return failure(QStringLiteral("Command3_MouseDown"),
                           QStringLiteral(" vid lagring av fönstret Röda dagars position."), {});
        });
    leave();
}

void HolidayForm::leave() {
    if (opener_)
        opener_->setEnabled(true);
    if (!left_) {
        left_ = true;
        close();
        emit closed();
    }
}

void HolidayForm::closeEvent(QCloseEvent* event) {
    // The title bar's close button ends the window as Avsluta does.
    if (!left_) {
        left_ = true;
        support::trapped(
            ctx_, this, [this] { support::storeWindowPosition(ctx_, *this, store::WindowPair::HolidayForm); },
            [] {
                return failure(QStringLiteral("Form_Unload"),
                               QStringLiteral(" vid lagring av fönstret Röda dagars position."), {});
            });
        if (opener_)
            opener_->setEnabled(true);
        emit closed();
    }
    event->accept();
}

} // namespace calendar
