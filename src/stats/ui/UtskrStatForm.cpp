// The statistics and report window: its controls, the modes of its cancel button and the ways out.

#include "stats/ui/UtskrStatForm.h"
#include "stats/ui/UtskrStatFormParts.h"

#include "store/Records.h"
#include "support/ui/Context.h"
#include "support/ui/Platform.h"
#include "support/ui/Trap.h"
#include "support/ui/Twips.h"
#include "support/ui/WindowPosition.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QFrame>
#include <QHeaderView>
#include <QKeyEvent>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QShortcut>
#include <QTableWidget>
#include <QWheelEvent>

#include <cstdlib>

namespace stats {

using namespace statform;

UtskrStatForm::UtskrStatForm(support::Context& ctx, QWidget* parent, StartAccount account)
    : QWidget(parent, Qt::Window), ctx_(ctx), start_(std::move(account)) {
    setObjectName(QStringLiteral("UtskrStatForm"));
    setWindowTitle(QStringLiteral("Utskrift KontoData och Statistik"));
    setWindowModality(Qt::ApplicationModal);

    const auto make = []<typename W>(W* w, const char* name, int x, int y, int wd, int ht) {
        w->setObjectName(QString::fromLatin1(name));
        w->setGeometry(x, y, wd, ht);
        return w;
    };
    accountLabel_ = make(new QLabel(QStringLiteral("Konto"), this), "accountLabel", 10, 12, 45, 20);
    accountPicker_ = make(new QComboBox(this), "accountPicker", 60, 10, 230, 24);
    accountBox_ = make(new QLineEdit(this), "accountBox", 300, 10, 200, 24);
    accountBox_->setReadOnly(true);
    periodLabel_ = make(new QLabel(QStringLiteral("Tidsperiod"), this), "periodLabel", 10, 48, 70, 20);
    static const char* const dateNames[6] = {"startYearLabel", "startMonthLabel", "startDayLabel",
                                             "endYearLabel",   "endMonthLabel",   "endDayLabel"};
    static const int dateX[6] = {90, 135, 165, 215, 260, 290};
    static const int dateW[6] = {40, 25, 25, 40, 25, 25};
    for (int i = 0; i < 6; ++i) {
        dateLabels_[i] = make(new QLabel(this), dateNames[i], dateX[i], 48, dateW[i], 20);
        dateLabels_[i]->setFrameShape(QFrame::Panel);
        dateLabels_[i]->setFrameShadow(QFrame::Sunken);
        dateLabels_[i]->setAlignment(Qt::AlignCenter);
        dateLabels_[i]->setCursor(Qt::PointingHandCursor);
        dateLabels_[i]->setToolTip(QStringLiteral("Klicka för att välja"));
        dateLabels_[i]->setFocusPolicy(Qt::StrongFocus); // Enter or Space opens its picker
        dateLabels_[i]->installEventFilter(this);
    }
    auto* dash = new QLabel(QStringLiteral("–"), this);
    dash->setGeometry(195, 48, 15, 20);
    coverageLabel_ = make(new QLabel(this), "coverageLabel", 330, 48, 170, 20);
    yearPicker_ = make(new QListWidget(this), "yearPicker", 90, 70, 60, 130);
    monthPicker_ = make(new QListWidget(this), "monthPicker", 135, 70, 45, 130);
    dayPicker_ = make(new QListWidget(this), "dayPicker", 165, 70, 45, 130);
    subTransactionBox_ = make(new QCheckBox(QStringLiteral("Inkl. Subtransaktion"), this),
                              "subTransactionBox", 10, 80, 170, 22);
    budgetBox_ =
        make(new QCheckBox(QStringLiteral("Inkl.Budgetbel. / -saldo"), this), "budgetBox", 185, 80, 190, 22);
    differenceBox_ =
        make(new QCheckBox(QStringLiteral("Inkl. Saldodifferens"), this), "differenceBox", 380, 80, 170, 22);
    outputLabel_ = make(new QLabel(text::AccountMode, this), "outputLabel", 10, 118, 150, 20);
    screenOption_ = make(new QRadioButton(QStringLiteral("Skärm"), this), "screenOption", 160, 116, 70, 24);
    textFileOption_ =
        make(new QRadioButton(QStringLiteral("Textfil"), this), "textFileOption", 235, 116, 75, 24);
    printerOption_ =
        make(new QRadioButton(QStringLiteral("Printer"), this), "printerOption", 315, 116, 75, 24);
    printButton_ = make(new QPushButton(QStringLiteral("Utskrift"), this), "printButton", 400, 112, 100, 30);
    spreadsheetButton_ =
        make(new QPushButton(text::SheetButton, this), "spreadsheetButton", 570, 76, 200, 30);
    spreadsheetButton_->setEnabled(false);
    cancelButton_ =
        make(new QPushButton(QStringLiteral("Avbryt Konto"), this), "cancelButton", 510, 112, 150, 30);
    closeButton_ = make(new QPushButton(QStringLiteral("Avsluta"), this), "closeButton", 670, 112, 100, 30);
    statisticsLabel_ = make(new QLabel(QStringLiteral("Statistik per transaktion:"), this), "statisticsLabel",
                            785, 10, 200, 20);
    statisticsBox_ = make(new QLineEdit(this), "statisticsBox", 785, 32, 205, 24);
    statisticsBox_->setReadOnly(true);
    statisticsBox_->setCursor(Qt::PointingHandCursor);
    statisticsBox_->installEventFilter(this);
    transactionList_ = make(new QListWidget(this), "transactionList", 785, 58, 205, 170);
    helpLink_ = make(new QLabel(QStringLiteral("Hjälp"), this), "helpLink", 520, 12, 60, 20);
    helpLink_->setCursor(Qt::PointingHandCursor);
    helpLink_->setStyleSheet(QStringLiteral("color: blue; text-decoration: underline;"));
    helpLink_->setFocusPolicy(Qt::StrongFocus);
    helpLink_->installEventFilter(this);

    reportFrame_ = make(new QFrame(this), "reportFrame", 0, 160, 400, 385);
    reportFrame_->setFrameShape(QFrame::Box);
    reportTitle_ = make(new QLabel(reportFrame_), "reportTitle", support::px(265), 4, 600, 18);
    reportSummary_ = make(new QLabel(reportFrame_), "reportSummary", support::px(265), 22, 600, 18);
    for (int i = 0; i < 10; ++i)
        headings_[i] = make(new QLabel(reportFrame_), HeadingNames[i], 0, 42, 100, 18);
    reportGrid_ =
        make(new QTableWidget(ScreenRows, 1, reportFrame_), "reportGrid", support::px(250), 60, 300, 290);
    reportGrid_->horizontalHeader()->hide();
    reportGrid_->verticalHeader()->hide();
    reportGrid_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    reportGrid_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    reportGrid_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    // The fifteen rows fill the grid exactly.
    reportGrid_->verticalHeader()->setMinimumSectionSize(18);
    reportGrid_->verticalHeader()->setDefaultSectionSize(18);
    reportGrid_->resize(reportGrid_->width(), ScreenRows * 18 + 2 * reportGrid_->frameWidth());
    // The wheel and the keys scroll the report as its buttons do.
    reportGrid_->installEventFilter(this);
    reportGrid_->viewport()->installEventFilter(this);
    static const char* const scrollNames[4] = {"stepBackButton", "pageBackButton", "stepForwardButton",
                                               "pageForwardButton"};
    static const char* const scrollCaptions[4] = {"<", "<<", ">", ">>"};
    static const char* const scrollTips[4] = {"En post bakåt", "En sida bakåt", "En post framåt",
                                              "En sida framåt"};
    static const ScrollStep steps[4] = {ScrollStep::Back1, ScrollStep::Back15, ScrollStep::Forward1,
                                        ScrollStep::Forward15};
    static const int scrollX[4] = {60, 10, 110, 160};
    for (int i = 0; i < 4; ++i) {
        scrollButtons_[i] = make(new QPushButton(QString::fromLatin1(scrollCaptions[i]), reportFrame_),
                                 scrollNames[i], support::px(250) + scrollX[i], 355, 45, 24);
        scrollButtons_[i]->setToolTip(QString::fromUtf8(scrollTips[i]));
        connect(scrollButtons_[i], &QPushButton::clicked, this, [this, step = steps[i]] { scroll(step); });
    }
    for (QWidget* w : {static_cast<QWidget*>(yearPicker_), static_cast<QWidget*>(monthPicker_),
                       static_cast<QWidget*>(dayPicker_), static_cast<QWidget*>(transactionList_)}) {
        w->hide();
        w->raise();
        w->installEventFilter(this); // Enter chooses the current entry
    }
    reportFrame_->hide();
    makeDiagramArea();
    // Names a screen reader reads: a label beside its box, else words of the window's own.
    accountLabel_->setBuddy(accountPicker_);
    statisticsLabel_->setBuddy(statisticsBox_);
    accountBox_->setAccessibleName(QStringLiteral("Valt konto"));
    static const char* const spokenDates[6] = {"Startår", "Startmånad", "Startdag",
                                               "Slutår",  "Slutmånad",  "Slutdag"};
    for (int i = 0; i < 6; ++i)
        dateLabels_[i]->setAccessibleName(QString::fromUtf8(spokenDates[i]));
    yearPicker_->setAccessibleName(QStringLiteral("År"));
    monthPicker_->setAccessibleName(QStringLiteral("Månad"));
    dayPicker_->setAccessibleName(QStringLiteral("Dag"));
    transactionList_->setAccessibleName(QStringLiteral("Transaktioner"));
    helpLink_->setAccessibleName(QStringLiteral("Hjälp"));
    reportGrid_->setAccessibleName(QStringLiteral("Rapport"));
    for (QPushButton* b : scrollButtons_)
        b->setAccessibleName(b->toolTip());
    resize(support::px(DesignWidth), support::px(CollapsedHeight));

    connect(accountPicker_, &QComboBox::activated, this, &UtskrStatForm::chooseAccount);
    for (QListWidget* picker : {yearPicker_, monthPicker_, dayPicker_})
        connect(picker, &QListWidget::itemClicked, this,
                [this, picker](QListWidgetItem* item) { takePickedDate(picker, picker->row(item)); });
    connect(transactionList_, &QListWidget::itemClicked, this,
            [this](QListWidgetItem* item) { chooseStatisticsTransaction(transactionList_->row(item)); });
    for (QCheckBox* box : {subTransactionBox_, budgetBox_, differenceBox_})
        connect(box, &QCheckBox::clicked, this, [this, box] { reportBoxClicked(box); });
    for (QRadioButton* option : {screenOption_, textFileOption_, printerOption_})
        connect(option, &QRadioButton::clicked, this, [this, option] { chooseOutput(option); });
    connect(printButton_, &QPushButton::clicked, this, &UtskrStatForm::produceReport);
    connect(spreadsheetButton_, &QPushButton::clicked, this, &UtskrStatForm::saveAsSpreadsheet);
    connect(cancelButton_, &QPushButton::clicked, this, &UtskrStatForm::cancelStep);
    connect(closeButton_, &QPushButton::clicked, this, &UtskrStatForm::closeWindow);
    // Esc closes an open picker, else the window as "Avsluta" does.
    connect(new QShortcut(QKeySequence(Qt::Key_Escape), this), &QShortcut::activated, this, [this] {
        if (yearPicker_->isVisible() || monthPicker_->isVisible() || dayPicker_->isVisible())
            hidePickers();
        else
            closeButton_->click();
    });
}

void UtskrStatForm::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (loaded_)
        return;
    loaded_ = true;
    Form_Load();
}

void UtskrStatForm::Form_Load() {
    if (QWidget* main = parentWidget())
        main->setEnabled(false);
    setEnabled(true);
    support::trapped(
        ctx_, this, [this] { support::restoreWindowPosition(ctx_, *this, store::WindowPair::UtskrStatForm); },
        [] {
            return support::describeFailure(QStringLiteral("Form_Load"),
                                            QStringLiteral(" vid placering av utskriftsfönstret."));
        });
    setExpanded(false);
    resetStatisticsEntry(true);
    setMode(QStringLiteral("kto"), QStringLiteral("Avbryt Konto"));
    printButton_->setEnabled(false);
    clearOptions();
    Inläs_Konton();
    if (!openAccount(start_.name, start_.kind, start_.kontoNum,
                     QStringLiteral("InitDatum i Utskriftsformulär"),
                     QStringLiteral(" vid hämtning av tidsbestämd fildel."))) {
        Avbr_Konto();
        return;
    }
    for (int i = 0; i < accountPicker_->count(); ++i)
        if (accountPicker_->itemData(i).toInt() == kontoNum_)
            accountPicker_->setCurrentIndex(i);
}

void UtskrStatForm::produceReport() {
    printButton_->setEnabled(false);
    hidePickers();
    if (statMode_) {
        statisticsBox_->setEnabled(false);
        statisticsLabel_->setEnabled(false);
        Trans_Stat();
        return;
    }
    if (!files_)
        return;
    if (screenOption_->isChecked()) {
        setExpanded(true);
        shown_.reset();
        ScreenPrint();
    } else if (textFileOption_->isChecked()) {
        FilePrint();
    } else if (printerOption_->isChecked()) {
        PrPrint();
        Avbr_PrUtskr();
    }
}

void UtskrStatForm::cancelStep() {
    hidePickers();
    if (mode_ == QLatin1String("kto"))
        Avbr_Konto();
    else if (mode_ == QLatin1String("stk"))
        Avbr_Statistik();
    else if (mode_ == QLatin1String("sku"))
        Avbryt_Skarmutskr();
    else if (mode_ == QLatin1String("fusk"))
        Avbr_FilUtskr();
    else if (mode_ == QLatin1String("prusk"))
        Avbr_PrUtskr();
}

void UtskrStatForm::closeWindow() {
    support::trapped(
        ctx_, this, [this] { support::storeWindowPosition(ctx_, *this, store::WindowPair::UtskrStatForm); },
        [] {
            return support::describeFailure(QStringLiteral("Command3_Click"),
                                            QStringLiteral(" vid placering av utskriftsfönstret."));
        });
    closing_ = true;
    close();
    closing_ = false;
}

void UtskrStatForm::closeEvent(QCloseEvent* event) {
    if (!closing_ && loaded_) {
        support::trapped(
            ctx_, this,
            [this] { support::storeWindowPosition(ctx_, *this, store::WindowPair::UtskrStatForm); },
            [] {
                return support::describeFailure(QStringLiteral("Form_Unload"),
                                                QStringLiteral(" vid placering av utskriftsfönstret."));
            });
    }
    files_.reset();
    // The main window, disabled while this window is open, is given back on every way out.
    if (QWidget* main = parentWidget())
        main->setEnabled(true);
    event->accept();
}

void UtskrStatForm::mousePressEvent(QMouseEvent* event) {
    hidePickers();
    QWidget::mousePressEvent(event);
}

bool UtskrStatForm::eventFilter(QObject* watched, QEvent* event) {
    if (watched == reportGrid_->viewport() && event->type() == QEvent::Wheel) {
        const int steps = static_cast<QWheelEvent*>(event)->angleDelta().y() / 120;
        for (int i = 0; i < std::abs(steps); ++i)
            scrollAsButton(steps > 0 ? ScrollStep::Back1 : ScrollStep::Forward1);
        return true;
    }
    if (watched == reportGrid_ && event->type() == QEvent::KeyPress) {
        static const std::pair<int, ScrollStep> keys[] = {{Qt::Key_Up, ScrollStep::Back1},
                                                          {Qt::Key_PageUp, ScrollStep::Back15},
                                                          {Qt::Key_Down, ScrollStep::Forward1},
                                                          {Qt::Key_PageDown, ScrollStep::Forward15}};
        for (const auto& [key, step] : keys)
            if (static_cast<QKeyEvent*>(event)->key() == key) {
                scrollAsButton(step);
                return true;
            }
    }
    // From the keyboard, Enter or Space does what a click does: every control a mouse reaches is
    // reached by Tab too.
    if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        const bool press = key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Space;
        for (QListWidget* list : {yearPicker_, monthPicker_, dayPicker_, transactionList_})
            if (watched == list && press && list->currentRow() >= 0) {
                if (list == transactionList_)
                    chooseStatisticsTransaction(list->currentRow());
                else
                    takePickedDate(list, list->currentRow());
                return true;
            }
        if (!press)
            return QWidget::eventFilter(watched, event);
    }
    const bool activated = event->type() == QEvent::MouseButtonRelease || event->type() == QEvent::KeyPress;
    if (activated) {
        for (int i = 0; i < 6; ++i)
            if (watched == dateLabels_[i]) {
                openDatePicker(static_cast<DatePart>(i));
                return true;
            }
        if (watched == statisticsBox_ && statisticsBox_->isEnabled()) {
            enterStatistics();
            return true;
        }
        if (watched == helpLink_) {
            ctx_.platform.showHelp(HelpContext);
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void UtskrStatForm::Avbr_Konto() {
    files_.reset();
    period_.reset();
    accountPicker_->setCurrentIndex(-1);
    name_.clear();
    accountBox_->clear();
    accountBox_->setToolTip(QString());
    untickChecks();
    for (QCheckBox* box : {subTransactionBox_, budgetBox_, differenceBox_})
        box->setEnabled(false);
    clearOptions();
    setOutputsEnabled(false);
    printButton_->setEnabled(false);
    for (QLabel* l : dateLabels_)
        l->clear();
    coverageLabel_->clear();
    accountLabel_->setEnabled(false);
    accountPicker_->setEnabled(true);
    hidePickers();
    transactionList_->hide();
    statMode_ = false;
    statTrans_ = 0;
    resetStatisticsEntry(false);
    hideReport();
    setMode(QString(), QStringLiteral("Avbryt"));
    cancelButton_->setEnabled(false);
}

bool UtskrStatForm::expanded() const {
    return height() >= support::px(ExpandedHeight);
}

void UtskrStatForm::setExpanded(bool on) {
    resize(width(), support::px(on ? ExpandedHeight : CollapsedHeight));
    if (on)
        support::keepOnScreen(*this);
}

void UtskrStatForm::hidePickers() {
    yearPicker_->hide();
    monthPicker_->hide();
    dayPicker_->hide();
}

void UtskrStatForm::hideReport() {
    offerDiagram(false);
    reportFrame_->hide();
    shown_.reset();
    setExpanded(false);
}

void UtskrStatForm::setMode(const QString& code, const QString& caption) {
    mode_ = code;
    cancelButton_->setText(caption);
    cancelButton_->setEnabled(true);
}

void UtskrStatForm::resetStatisticsEntry(bool usable) {
    statisticsBox_->setText(ClickForTransactions);
    statisticsBox_->show();
    statisticsBox_->setEnabled(usable);
    statisticsLabel_->show();
    statisticsLabel_->setEnabled(usable);
}

void UtskrStatForm::setOutputsEnabled(bool on) {
    for (QRadioButton* o : {screenOption_, textFileOption_, printerOption_})
        o->setEnabled(on);
    spreadsheetButton_->setEnabled(on);
}

void UtskrStatForm::clearOptions() {
    for (QRadioButton* o : {screenOption_, textFileOption_, printerOption_}) {
        o->setAutoExclusive(false);
        o->setChecked(false);
        o->setAutoExclusive(true);
    }
}

void UtskrStatForm::untickChecks() {
    subTransactionBox_->setChecked(false);
    budgetBox_->setChecked(false);
    differenceBox_->setChecked(false);
    differenceBox_->setEnabled(false);
}

} // namespace stats
