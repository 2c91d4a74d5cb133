// The planning window: its controls, opening and closing, the budget year and period, the choice
// lists, the red-day window and the guiding texts.

#include "budget/ui/BudgAltForm.h"

#include "budget/ui/BudgAltTexts.h"
#include "calendar/ui/HolidayForm.h"
#include "catalogue/ui/CatalogueHost.h"
#include "store/DateText.h"
#include "support/ui/Context.h"
#include "support/ui/Trap.h"
#include "support/ui/Twips.h"
#include "support/ui/WindowPosition.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QShortcut>
#include <QStyle>
#include <QVBoxLayout>

#include <algorithm>
#include <fstream>
#include <iterator>

namespace budget {

using namespace alttext;
using support::px;

namespace {

// Width and height of the window's body, twips.
constexpr int BodyWidth = 9360;
constexpr int BodyHeight = 7440;

} // namespace

BudgAltForm::BudgAltForm(catalogue::CatalogueHost& host) : QWidget(nullptr), host_(host) {
    setObjectName(QStringLiteral("BudgAltForm"));
    buildControls();
}

BudgAltForm::~BudgAltForm() {
    if (holidayForm_)
        holidayForm_->close();
}

void BudgAltForm::buildControls() {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    auto* menu = new QMenuBar(this);
    hlp_mn_ = menu->addAction(QStringLiteral("Hjälp"));
    hlp_mn_->setObjectName(QStringLiteral("hlp_mn"));
    layout->setMenuBar(menu);
    auto* body = new QWidget(this);
    body->setFixedSize(px(BodyWidth), px(BodyHeight));
    layout->addWidget(body);

    const auto place = [](QWidget* w, const char* name, int x, int y, int width, int height) {
        w->setObjectName(QString::fromLatin1(name));
        w->setGeometry(px(x), px(y), px(width), px(height));
    };
    const auto clickable = [this](QLabel* label, const QString& tip) {
        label->setFrameShape(QFrame::Box);
        label->setAlignment(Qt::AlignCenter);
        label->setToolTip(tip);
        label->setAccessibleName(tip); // its text alone (a year, a month) says nothing
        label->setCursor(Qt::PointingHandCursor);
        // Reached by Tab too: Enter or Space opens its list as a click does.
        label->setFocusPolicy(Qt::StrongFocus);
        label->installEventFilter(this);
    };

    allOption_ = new QRadioButton(QStringLiteral("Alla reg."), body);
    place(allOption_, "allOption", 120, 120, 1150, 300);
    allOption_->setToolTip(QStringLiteral("Lista samtliga transaktioner"));
    budgetedOption_ = new QRadioButton(QStringLiteral("Budg.bara"), body);
    place(budgetedOption_, "budgetedOption", 1300, 120, 1150, 300);
    budgetedOption_->setToolTip(QStringLiteral("Lista utvalda transaktioner"));
    excludedOption_ = new QRadioButton(QStringLiteral("Uteslutna"), body);
    place(excludedOption_, "excludedOption", 2480, 120, 1200, 300);
    excludedOption_->setToolTip(QStringLiteral("Lista bortvalda transaktioner"));

    transactionList_ = new QListWidget(body);
    place(transactionList_, "transactionList", 120, 480, 3120, 3000);
    transactionList_->setToolTip(QStringLiteral("Välj transaktion för budgetering"));
    transactionList_->setAccessibleName(QStringLiteral("Transaktioner"));
    reloadButton_ = new QPushButton(body);
    place(reloadButton_, "reloadButton", 3300, 480, 420, 420);
    reloadButton_->setIcon(style()->standardIcon(QStyle::SP_BrowserReload));
    reloadButton_->setToolTip(QStringLiteral("Uppdatera listan"));
    reloadButton_->setAccessibleName(reloadButton_->toolTip());

    newTransactionBox_ = new QLineEdit(NewTransaction, body);
    place(newTransactionBox_, "newTransactionBox", 120, 3600, 3600, 330);
    newTransactionBox_->setReadOnly(true);
    newTransactionBox_->setToolTip(QStringLiteral("Lägg till transaktion"));
    newTransactionBox_->setAccessibleName(newTransactionBox_->toolTip());
    newTransactionBox_->installEventFilter(this);
    signLabel_ = new QLabel(body);
    place(signLabel_, "signLabel", 120, 3990, 3600, 270);
    infoText_ = new QPlainTextEdit(body);
    place(infoText_, "infoText", 120, 4320, 3600, 3000);
    infoText_->setReadOnly(true);
    infoText_->setAccessibleName(QStringLiteral("Vägledning"));

    auto* yearTitle = new QLabel(QStringLiteral("Budgetår:"), body);
    place(yearTitle, "LabelYear", 3960, 150, 900, 270);
    yearLabel_ = new QLabel(body);
    place(yearLabel_, "yearLabel", 4900, 120, 700, 300);
    clickable(yearLabel_, QStringLiteral("Ändra budgetår"));
    auto* periodTitle = new QLabel(QStringLiteral("Period"), body);
    place(periodTitle, "LabelPeriod", 3960, 510, 900, 270);
    startMonthLabel_ = new QLabel(body);
    place(startMonthLabel_, "startMonthLabel", 4900, 480, 420, 300);
    clickable(startMonthLabel_, QStringLiteral("Ändra startmånad"));
    auto* dash = new QLabel(QStringLiteral("–"), body);
    place(dash, "LabelDash", 5340, 510, 180, 270);
    dash->setAlignment(Qt::AlignCenter);
    endMonthLabel_ = new QLabel(body);
    place(endMonthLabel_, "endMonthLabel", 5540, 480, 420, 300);
    clickable(endMonthLabel_, QStringLiteral("Ändra slutmånad"));
    endDayLabel_ = new QLabel(body);
    place(endDayLabel_, "endDayLabel", 5980, 510, 360, 270);
    endYearLabel_ = new QLabel(body);
    place(endYearLabel_, "endYearLabel", 6360, 480, 700, 300);
    clickable(endYearLabel_, QStringLiteral("Ändra budgetår"));

    // Column headings over the month rows.
    const std::pair<const char*, int> headings[] = {{"Mån", 3960}, {"Dag", 4700}, {"belopp", 5200}};
    for (const auto& [text, x] : headings) {
        auto* h = new QLabel(QString::fromUtf8(text), body);
        h->setObjectName(QStringLiteral("Heading") + QString::fromUtf8(text));
        h->setGeometry(px(x), px(870), px(700), px(250));
    }
    static const char* const monthCaptions[12] = {"Jan.:", "Feb.:", "Mars:",  "April:", "Maj:", "Juni:",
                                                  "Juli:", "Aug.:", "Sept.:", "Okt.:",  "Nov.", "Dec.:"};
    for (int m = 0; m < 12; ++m) {
        const int y = 1140 + m * 330;
        auto* name = new QLabel(QString::fromUtf8(monthCaptions[m]), body);
        place(name, ("monthLabel" + std::to_string(m + 1)).c_str(), 3960, y + 15, 700, 270);
        monthLabels_[m] = name;
        auto* day = new QLabel(body);
        place(day, ("dayLabel" + std::to_string(m + 1)).c_str(), 4700, y, 420, 300);
        clickable(day, QStringLiteral("Sätt nytt datum"));
        dayLabels_[m] = day;
        auto* box = new QLineEdit(body);
        place(box, ("amountBox" + std::to_string(m + 1)).c_str(), 5200, y, 1500, 300);
        box->setAlignment(Qt::AlignRight);
        box->setToolTip(QStringLiteral("Sätt budgetbelopp"));
        box->setAccessibleName(name->text().remove(QLatin1Char(':')) + QStringLiteral(" belopp"));
        connect(box, &QLineEdit::returnPressed, this, [this, m] { amount_Enter(m + 1); });
        amountBoxes_[m] = box;
    }

    budgetButton_ = new QPushButton(QStringLiteral("Budgetera ovanstående"), body);
    place(budgetButton_, "budgetButton", 6960, 1140, 2280, 540);
    budgetButton_->setToolTip(QStringLiteral("Lägg ut budgeteringarna"));
    excludeButton_ = new QPushButton(body);
    place(excludeButton_, "excludeButton", 6960, 1800, 2280, 450);
    redDaysButton_ = new QPushButton(QStringLiteral("Uteslut datum"), body);
    place(redDaysButton_, "redDaysButton", 6960, 2370, 2280, 450);
    redDaysButton_->setToolTip(QStringLiteral("Uteslut datum"));
    cancelDayButton_ = new QPushButton(QStringLiteral("Avbryt datum"), body);
    place(cancelDayButton_, "cancelDayButton", 6960, 2940, 2280, 450);
    cancelDayButton_->setToolTip(QStringLiteral("Ta bort datumlistan"));
    clearButton_ = new QPushButton(QStringLiteral("Rensa"), body);
    place(clearButton_, "clearButton", 6960, 3510, 2280, 450);
    quitButton_ = new QPushButton(QStringLiteral("Avsluta budgetering"), body);
    place(quitButton_, "quitButton", 6960, 4530, 2280, 540);
    quitButton_->setToolTip(QStringLiteral("Återgå till huvudformuläret"));

    dayList_ = new QListWidget(body);
    dayList_->setObjectName(QStringLiteral("dayList"));
    dayList_->setAccessibleName(QStringLiteral("Dagar"));
    yearList_ = new QListWidget(body);
    yearList_->setObjectName(QStringLiteral("yearList"));
    yearList_->setAccessibleName(QStringLiteral("År"));
    monthList_ = new QListWidget(body);
    monthList_->setObjectName(QStringLiteral("monthList"));
    monthList_->setAccessibleName(QStringLiteral("Månader"));
    for (QListWidget* list : {dayList_, yearList_, monthList_})
        list->hide();
    connect(dayList_, &QListWidget::itemClicked, this,
            [this](QListWidgetItem* i) { chooseDay(dayList_->row(i)); });
    connect(yearList_, &QListWidget::itemClicked, this,
            [this](QListWidgetItem* i) { chooseYear(yearList_->row(i)); });
    connect(monthList_, &QListWidget::itemClicked, this,
            [this](QListWidgetItem* i) { chooseMonth(monthList_->row(i)); });
    connect(transactionList_, &QListWidget::itemClicked, this,
            [this](QListWidgetItem* i) { chooseTransaction(transactionList_->row(i)); });
    // From the keyboard Enter chooses the current entry of a list, as a click does.
    for (QListWidget* list : {dayList_, yearList_, monthList_, transactionList_})
        list->installEventFilter(this);

    connect(allOption_, &QRadioButton::clicked, this, [this] { Option_Click(Filter::All); });
    connect(budgetedOption_, &QRadioButton::clicked, this, [this] { Option_Click(Filter::BudgetableOnly); });
    connect(excludedOption_, &QRadioButton::clicked, this, [this] { Option_Click(Filter::ExcludedOnly); });
    connect(quitButton_, &QPushButton::clicked, this, &BudgAltForm::quit);
    connect(budgetButton_, &QPushButton::clicked, this, &BudgAltForm::postBudget);
    connect(excludeButton_, &QPushButton::clicked, this, &BudgAltForm::excludeOrReadmit);
    connect(redDaysButton_, &QPushButton::clicked, this, &BudgAltForm::excludeDates);
    connect(cancelDayButton_, &QPushButton::clicked, this, &BudgAltForm::cancelDay);
    connect(clearButton_, &QPushButton::clicked, this, &BudgAltForm::clearMonths);
    connect(reloadButton_, &QPushButton::clicked, this, &BudgAltForm::reloadList);
    connect(hlp_mn_, &QAction::triggered, this, &BudgAltForm::hlp_mn_Click);
    // Esc closes an open choice list, else the window as "Avsluta budgetering" does.
    connect(new QShortcut(QKeySequence(Qt::Key_Escape), this), &QShortcut::activated, this, [this] {
        if (dayList_->isVisible() || yearList_->isVisible() || monthList_->isVisible())
            hideChoiceLists();
        else
            quitButton_->click();
    });
}

void BudgAltForm::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (loaded_)
        return;
    loaded_ = true;
    Form_Load();
}

void BudgAltForm::Form_Load() {
    support::Context& ctx = host_.context();
    if (QWidget* main = host_.hostWindow())
        main->setEnabled(false);
    setWindowTitle(caption(fromBytes(host_.accountNameBytes())));
    support::trapped(
        ctx, this, [&] { support::restoreWindowPosition(ctx, *this, store::WindowPair::BudgAltForm); },
        [] {
            return support::describeFailure(QStringLiteral("Form_Load"),
                                            QStringLiteral(" vid placering av budgeteringsfönstret."));
        });
    // The guiding texts are a help, not data: without the file the box stays empty.
    if (!ctx.programDataDir.empty()) {
        std::ifstream in(ctx.programDataDir / "BudgInfoFil.txt", std::ios::binary);
        if (in)
            infoFile_.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    openRedDays();
    defaultAmount_.clear();
    budgeting_ = false;
    PeriodSuggest();
    Close_Fields();
    budgetButton_->setEnabled(false);
    cancelDayButton_->setEnabled(false);
    clearButton_->setEnabled(false);
    excludeButton_->setText(QString());
    excludeButton_->setEnabled(false);
    Conditions();
    quitButton_->setFocus();
}

void BudgAltForm::openRedDays() {
    if (redDays_)
        return;
    support::trapped(
        host_.context(), this, [&] { redDays_.emplace(host_.context().paths.redDayFil()); },
        [] {
            return support::describeFailure(QStringLiteral("Command4"),
                                            QStringLiteral(" vid försök att öppna filen med 'Röda dagar'."));
        });
}

void BudgAltForm::InfoBox(int section) {
    infoText_->setPlainText(fromBytes(infoSection(infoFile_, section)));
}

void BudgAltForm::PeriodSuggest() {
    const auto today = store::parseDate(host_.context().today);
    const store::Date d = today ? *today : store::Date{2000, 1, 1};
    todayYear_ = d.year;
    period_ = proposePeriod(d);
    showPeriod();
}

void BudgAltForm::showPeriod() {
    const QString year = QString::number(period_.year);
    yearLabel_->setText(year);
    endYearLabel_->setText(year);
    startMonthLabel_->setText(QString::fromStdString(store::twoDigits(period_.startMonth)));
    endMonthLabel_->setText(QString::fromStdString(store::twoDigits(period_.endMonth)));
    endDayLabel_->setText(QString::number(period_.endDay()));
}

void BudgAltForm::excludeDates() {
    openRedDays();
    if (!redDays_ || holidayForm_)
        return;
    auto* form = new calendar::HolidayForm(host_.context(), this, *redDays_);
    form->setAttribute(Qt::WA_DeleteOnClose);
    holidayForm_ = form;
    form->show();
}

void BudgAltForm::yearLabel_Click(QLabel* label) {
    QStringList years;
    for (int y = todayYear_; y <= todayYear_ + 4; ++y)
        years << QString::number(y);
    showChoiceList(yearList_, label, years, Opener::Year);
    InfoBox(15);
}

void BudgAltForm::chooseStartMonth() {
    monthLabel_Click(startMonthLabel_, 11, Opener::StartMonth);
}

void BudgAltForm::chooseEndMonth() {
    monthLabel_Click(endMonthLabel_, 12, Opener::EndMonth);
}

void BudgAltForm::monthLabel_Click(QLabel* label, int lastMonth, Opener opener) {
    QStringList months;
    for (int m = 1; m <= lastMonth; ++m)
        months << QString::fromStdString(store::twoDigits(m));
    showChoiceList(monthList_, label, months, opener);
    InfoBox(18);
}

void BudgAltForm::chooseYear(int row) {
    if (row < 0 || opener_ != Opener::Year)
        return;
    period_.year = todayYear_ + row;
    hideChoiceLists();
    showPeriod();
}

void BudgAltForm::chooseMonth(int row) {
    if (row < 0 || (opener_ != Opener::StartMonth && opener_ != Opener::EndMonth))
        return;
    const bool start = opener_ == Opener::StartMonth;
    hideChoiceLists();
    support::trapped(
        host_.context(), this,
        [&] {
            period_ = start ? withStartMonth(period_, row + 1) : withEndMonth(period_, row + 1);
            showPeriod();
            BudgetPeriod(true);
        },
        [&] {
            return start ? ErrorDescriptionFor(QStringLiteral("List1_MouseUp (Val av månadssiffra)"),
                                               QStringLiteral(" vid försök att sätta månad"),
                                               QStringLiteral("Fel i rutinen List1_MouseUp vid försök sätta "
                                                              "månadssiffra."))
                         : ErrorDescriptionFor(QStringLiteral("List3_Click (Val av slutmånad budgetperiod)"),
                                               QStringLiteral(" vid försök att sätta månad"),
                                               QStringLiteral("Fel i rutinen List3_Click vid försök sätta "
                                                              "slutmånad budg.period."));
        });
}

void BudgAltForm::BudgetPeriod(bool warn) {
    Rensa();
    for (QLineEdit* box : amountBoxes_) {
        QPalette p = box->palette();
        p.setColor(QPalette::Base, Cancelled);
        box->setPalette(p);
    }
    Close_Fields();
    if (budgeting_)
        for (int m = period_.startMonth; m <= period_.endMonth; ++m)
            dayLabels_[m - 1]->setEnabled(true);
    if (warn) {
        const auto today = store::parseDate(host_.context().today);
        const int count = redDays_ ? redDays_->count() : 0;
        const RedDayCoverage c = today ? redDayCoverage(period_, *today, count) : RedDayCoverage::Covered;
        if (c != RedDayCoverage::Covered)
            host_.context().dialogs.message(
                this, RedDayTitle, c == RedDayCoverage::WhollyOutside ? whollyOutside() : partlyOutside(),
                support::Dialogs::Icon::Exclamation);
    }
    quitButton_->setFocus();
}

void BudgAltForm::showChoiceList(QListWidget* list, QLabel* beside, const QStringList& items, Opener opener,
                                 int month) {
    hideChoiceLists();
    list->clear();
    list->addItems(items);
    opener_ = opener;
    openerMonth_ = month;
    QWidget* body = list->parentWidget();
    const int height = std::min(px(2400), body->height());
    const int y = std::clamp(beside->y(), 0, body->height() - height);
    list->setGeometry(beside->geometry().right() + px(60), y, px(600), height);
    list->raise();
    list->show();
    list->setCurrentRow(0);
    list->setFocus();
}

void BudgAltForm::hideChoiceLists() {
    for (QListWidget* list : {dayList_, yearList_, monthList_})
        list->hide();
    opener_ = Opener::None;
    openerMonth_ = 0;
    cancelDayButton_->setEnabled(false);
}

void BudgAltForm::hlp_mn_Click() {
    host_.context().platform.showHelp(60000);
}

void BudgAltForm::quit() {
    leave(true);
    close();
}

void BudgAltForm::leave(bool storePlace) {
    if (left_)
        return;
    left_ = true;
    if (storePlace)
        support::trapped(
            host_.context(), this,
            [this] { support::storeWindowPosition(host_.context(), *this, store::WindowPair::BudgAltForm); },
            [] {
                return support::describeFailure(QStringLiteral("Command1"),
                                                QStringLiteral(" vid lagring av fönstrets position."));
            });
    if (holidayForm_)
        holidayForm_->close();
    if (QWidget* main = host_.hostWindow())
        main->setEnabled(true);
    // The main window's procedure "budg" ends with the window.
    host_.pressCancel(true);
    emit closed();
}

void BudgAltForm::closeEvent(QCloseEvent* event) {
    // The title bar's close button leaves the window without storing its place.
    leave(false);
    event->accept();
}

bool BudgAltForm::press(QObject* watched) {
    if (watched == newTransactionBox_)
        newTransaction();
    else if (watched == yearLabel_ || watched == endYearLabel_)
        yearLabel_Click(static_cast<QLabel*>(watched));
    else if (watched == startMonthLabel_)
        chooseStartMonth();
    else if (watched == endMonthLabel_)
        chooseEndMonth();
    else {
        for (int m = 0; m < 12; ++m)
            if (watched == dayLabels_[m]) {
                dayLabel_Click(m + 1);
                return true;
            }
        return false;
    }
    return true;
}

bool BudgAltForm::eventFilter(QObject* watched, QEvent* event) {
    auto* w = qobject_cast<QWidget*>(watched);
    if (!w || !w->isEnabled())
        return QWidget::eventFilter(watched, event);
    if (event->type() == QEvent::MouseButtonPress) {
        press(watched);
        return false;
    }
    if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        const bool enter = key == Qt::Key_Return || key == Qt::Key_Enter;
        auto* list = qobject_cast<QListWidget*>(watched);
        if (list && enter && list->currentRow() >= 0) {
            const int row = list->currentRow();
            if (list == dayList_)
                chooseDay(row);
            else if (list == yearList_)
                chooseYear(row);
            else if (list == monthList_)
                chooseMonth(row);
            else
                chooseTransaction(row);
            return true;
        }
        if (!list && (enter || key == Qt::Key_Space) && press(watched))
            return true;
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace budget
