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
        label->setCursor(Qt::PointingHandCursor);
        // Reached by Tab too: Enter or Space opens its list as a click does.
        label->setFocusPolicy(Qt::StrongFocus);
        label->installEventFilter(this);
    };

    option1_ = new QRadioButton(QStringLiteral("Alla reg."), body);
    place(option1_, "Option1", 120, 120, 1150, 300);
    option1_->setToolTip(QStringLiteral("Lista samtliga transaktioner"));
    option2_ = new QRadioButton(QStringLiteral("Budg.bara"), body);
    place(option2_, "Option2", 1300, 120, 1150, 300);
    option2_->setToolTip(QStringLiteral("Lista utvalda transaktioner"));
    option3_ = new QRadioButton(QStringLiteral("Uteslutna"), body);
    place(option3_, "Option3", 2480, 120, 1200, 300);
    option3_->setToolTip(QStringLiteral("Lista bortvalda transaktioner"));

    list4_ = new QListWidget(body);
    place(list4_, "List4", 120, 480, 3120, 3000);
    list4_->setToolTip(QStringLiteral("Välj transaktion för budgetering"));
    command7_ = new QPushButton(body);
    place(command7_, "Command7", 3300, 480, 420, 420);
    command7_->setIcon(style()->standardIcon(QStyle::SP_BrowserReload));
    command7_->setToolTip(QStringLiteral("Uppdatera listan"));

    text3_ = new QLineEdit(NewTransaction, body);
    place(text3_, "Text3", 120, 3600, 3600, 330);
    text3_->setReadOnly(true);
    text3_->setToolTip(QStringLiteral("Lägg till transaktion"));
    text3_->installEventFilter(this);
    label43_ = new QLabel(body);
    place(label43_, "Label43", 120, 3990, 3600, 270);
    text1_ = new QPlainTextEdit(body);
    place(text1_, "Text1", 120, 4320, 3600, 3000);
    text1_->setReadOnly(true);

    auto* yearTitle = new QLabel(QStringLiteral("Budgetår:"), body);
    place(yearTitle, "LabelYear", 3960, 150, 900, 270);
    label34_ = new QLabel(body);
    place(label34_, "Label34", 4900, 120, 700, 300);
    clickable(label34_, QStringLiteral("Ändra budgetår"));
    auto* periodTitle = new QLabel(QStringLiteral("Period"), body);
    place(periodTitle, "LabelPeriod", 3960, 510, 900, 270);
    label35_ = new QLabel(body);
    place(label35_, "Label35", 4900, 480, 420, 300);
    clickable(label35_, QStringLiteral("Ändra startmånad"));
    auto* dash = new QLabel(QStringLiteral("–"), body);
    place(dash, "LabelDash", 5340, 510, 180, 270);
    dash->setAlignment(Qt::AlignCenter);
    label39_ = new QLabel(body);
    place(label39_, "Label39", 5540, 480, 420, 300);
    clickable(label39_, QStringLiteral("Ändra slutmånad"));
    label40_ = new QLabel(body);
    place(label40_, "Label40", 5980, 510, 360, 270);
    label38_ = new QLabel(body);
    place(label38_, "Label38", 6360, 480, 700, 300);
    clickable(label38_, QStringLiteral("Ändra budgetår"));

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
        place(name, ("Label" + std::to_string(8 + 2 * m)).c_str(), 3960, y + 15, 700, 270);
        monthLabels_[m] = name;
        auto* day = new QLabel(body);
        place(day, ("Label" + std::to_string(9 + 2 * m)).c_str(), 4700, y, 420, 300);
        clickable(day, QStringLiteral("Sätt nytt datum"));
        dayLabels_[m] = day;
        auto* box = new QLineEdit(body);
        place(box, ("Text" + std::to_string(4 + m)).c_str(), 5200, y, 1500, 300);
        box->setAlignment(Qt::AlignRight);
        box->setToolTip(QStringLiteral("Sätt budgetbelopp"));
        connect(box, &QLineEdit::returnPressed, this, [this, m] { amount_Enter(m + 1); });
        amountBoxes_[m] = box;
    }

    command2_ = new QPushButton(QStringLiteral("Budgetera ovanstående"), body);
    place(command2_, "Command2", 6960, 1140, 2280, 540);
    command2_->setToolTip(QStringLiteral("Lägg ut budgeteringarna"));
    command3_ = new QPushButton(body);
    place(command3_, "Command3", 6960, 1800, 2280, 450);
    command4_ = new QPushButton(QStringLiteral("Uteslut datum"), body);
    place(command4_, "Command4", 6960, 2370, 2280, 450);
    command4_->setToolTip(QStringLiteral("Uteslut datum"));
    command5_ = new QPushButton(QStringLiteral("Avbryt datum"), body);
    place(command5_, "Command5", 6960, 2940, 2280, 450);
    command5_->setToolTip(QStringLiteral("Ta bort datumlistan"));
    command6_ = new QPushButton(QStringLiteral("Rensa"), body);
    place(command6_, "Command6", 6960, 3510, 2280, 450);
    command1_ = new QPushButton(QStringLiteral("Avsluta budgetering"), body);
    place(command1_, "Command1", 6960, 4530, 2280, 540);
    command1_->setToolTip(QStringLiteral("Återgå till huvudformuläret"));

    list1_ = new QListWidget(body);
    list1_->setObjectName(QStringLiteral("List1"));
    list2_ = new QListWidget(body);
    list2_->setObjectName(QStringLiteral("List2"));
    list3_ = new QListWidget(body);
    list3_->setObjectName(QStringLiteral("List3"));
    for (QListWidget* list : {list1_, list2_, list3_})
        list->hide();
    connect(list1_, &QListWidget::itemClicked, this,
            [this](QListWidgetItem* i) { List1_Click(list1_->row(i)); });
    connect(list2_, &QListWidget::itemClicked, this,
            [this](QListWidgetItem* i) { List2_Click(list2_->row(i)); });
    connect(list3_, &QListWidget::itemClicked, this,
            [this](QListWidgetItem* i) { List3_Click(list3_->row(i)); });
    connect(list4_, &QListWidget::itemClicked, this,
            [this](QListWidgetItem* i) { List4_Click(list4_->row(i)); });
    // From the keyboard Enter chooses the current entry of a list, as a click does.
    for (QListWidget* list : {list1_, list2_, list3_, list4_})
        list->installEventFilter(this);

    connect(option1_, &QRadioButton::clicked, this, [this] { Option_Click(Filter::All); });
    connect(option2_, &QRadioButton::clicked, this, [this] { Option_Click(Filter::BudgetableOnly); });
    connect(option3_, &QRadioButton::clicked, this, [this] { Option_Click(Filter::ExcludedOnly); });
    connect(command1_, &QPushButton::clicked, this, &BudgAltForm::Command1_Click);
    connect(command2_, &QPushButton::clicked, this, &BudgAltForm::Command2_Click);
    connect(command3_, &QPushButton::clicked, this, &BudgAltForm::Command3_Click);
    connect(command4_, &QPushButton::clicked, this, &BudgAltForm::Command4_Click);
    connect(command5_, &QPushButton::clicked, this, &BudgAltForm::Command5_Click);
    connect(command6_, &QPushButton::clicked, this, &BudgAltForm::Command6_Click);
    connect(command7_, &QPushButton::clicked, this, &BudgAltForm::Command7_Click);
    connect(hlp_mn_, &QAction::triggered, this, &BudgAltForm::hlp_mn_Click);
    // Esc closes an open choice list, else the window as "Avsluta budgetering" does.
    connect(new QShortcut(QKeySequence(Qt::Key_Escape), this), &QShortcut::activated, this, [this] {
        if (list1_->isVisible() || list2_->isVisible() || list3_->isVisible())
            hideChoiceLists();
        else
            command1_->click();
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
    command2_->setEnabled(false);
    command5_->setEnabled(false);
    command6_->setEnabled(false);
    command3_->setText(QString());
    command3_->setEnabled(false);
    Conditions();
    command1_->setFocus();
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
    text1_->setPlainText(fromBytes(infoSection(infoFile_, section)));
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
    label34_->setText(year);
    label38_->setText(year);
    label35_->setText(QString::fromStdString(store::twoDigits(period_.startMonth)));
    label39_->setText(QString::fromStdString(store::twoDigits(period_.endMonth)));
    label40_->setText(QString::number(period_.endDay()));
}

void BudgAltForm::Command4_Click() {
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
    showChoiceList(list2_, label, years, Opener::Year);
    InfoBox(15);
}

void BudgAltForm::Label35_Click() {
    monthLabel_Click(label35_, 11, Opener::StartMonth);
}

void BudgAltForm::Label39_Click() {
    monthLabel_Click(label39_, 12, Opener::EndMonth);
}

void BudgAltForm::monthLabel_Click(QLabel* label, int lastMonth, Opener opener) {
    QStringList months;
    for (int m = 1; m <= lastMonth; ++m)
        months << QString::fromStdString(store::twoDigits(m));
    showChoiceList(list3_, label, months, opener);
    InfoBox(18);
}

void BudgAltForm::List2_Click(int row) {
    if (row < 0 || opener_ != Opener::Year)
        return;
    period_.year = todayYear_ + row;
    hideChoiceLists();
    showPeriod();
}

void BudgAltForm::List3_Click(int row) {
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
    command1_->setFocus();
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
    for (QListWidget* list : {list1_, list2_, list3_})
        list->hide();
    opener_ = Opener::None;
    openerMonth_ = 0;
    command5_->setEnabled(false);
}

void BudgAltForm::hlp_mn_Click() {
    host_.context().platform.showHelp(60000);
}

void BudgAltForm::Command1_Click() {
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
    if (watched == text3_)
        Text3_Click();
    else if (watched == label34_ || watched == label38_)
        yearLabel_Click(static_cast<QLabel*>(watched));
    else if (watched == label35_)
        Label35_Click();
    else if (watched == label39_)
        Label39_Click();
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
            if (list == list1_)
                List1_Click(row);
            else if (list == list2_)
                List2_Click(row);
            else if (list == list3_)
                List3_Click(row);
            else
                List4_Click(row);
            return true;
        }
        if (!list && (enter || key == Qt::Key_Space) && press(watched))
            return true;
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace budget
