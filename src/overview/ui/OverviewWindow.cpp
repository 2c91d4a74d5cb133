// The window built: its controls and their connections, and how it opens and closes.

#include "overview/ui/OverviewWindow.h"
#include "overview/ui/OverviewWindowParts.h"

#include "overview/ui/ChartWidget.h"
#include "support/ui/WindowPosition.h"

#include <QComboBox>
#include <QDateEdit>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QShortcut>
#include <QSpinBox>
#include <QSplitter>
#include <QTabWidget>
#include <QTableView>
#include <QTableWidget>
#include <QVBoxLayout>

#include <algorithm>

namespace overview {

using namespace windowparts;

namespace {

const QStringList MonthNames = {
    QStringLiteral("januari"), QStringLiteral("februari"), QStringLiteral("mars"),
    QStringLiteral("april"),   QStringLiteral("maj"),      QStringLiteral("juni"),
    QStringLiteral("juli"),    QStringLiteral("augusti"),  QStringLiteral("september"),
    QStringLiteral("oktober"), QStringLiteral("november"), QStringLiteral("december")};

template <typename W> W* named(W* w, const char* name, const QString& accessible) {
    w->setObjectName(QString::fromLatin1(name));
    w->setAccessibleName(accessible);
    return w;
}
QLabel* label(const QString& text, QWidget* buddy, const char* name) {
    auto* l = new QLabel(text);
    l->setObjectName(QString::fromLatin1(name));
    l->setBuddy(buddy);
    return l;
}

} // namespace

OverviewWindow::OverviewWindow(support::Context& ctx, QWidget* parent, QString openAccount, OpenPost openPost)
    : QWidget(parent, Qt::Window), ctx_(ctx), openAccount_(std::move(openAccount)),
      openPost_(std::move(openPost)) {
    setObjectName(QStringLiteral("OverviewWindow"));
    setWindowTitle(QStringLiteral("Sammanställning"));
    setWindowModality(Qt::ApplicationModal);
    buildControls();
    auto* esc = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    connect(esc, &QShortcut::activated, this, &QWidget::close);
}

OverviewWindow::~OverviewWindow() = default;

void OverviewWindow::buildControls() {
    auto* top = new QVBoxLayout(this);

    auto* selection = new QGroupBox(QStringLiteral("Urval"), this);
    selection->setObjectName(QStringLiteral("selectionGroup"));
    auto* grid = new QHBoxLayout(selection);
    accountBox_ = named(new QComboBox, "accountBox", QStringLiteral("Konto"));
    accountBox_->setMinimumContentsLength(16);
    accountLabel_ = label(QStringLiteral("&Konto"), accountBox_, "accountLabel");
    periodKindBox_ = named(new QComboBox, "periodKindBox", QStringLiteral("Period"));
    periodKindBox_->addItems({QStringLiteral("Månad"), QStringLiteral("Kvartal"), QStringLiteral("År"),
                              QStringLiteral("Från–till")});
    periodKindLabel_ = label(QStringLiteral("&Period"), periodKindBox_, "periodKindLabel");
    yearBox_ = named(new QSpinBox, "yearBox", QStringLiteral("År"));
    yearBox_->setRange(1900, 2999);
    yearLabel_ = label(QStringLiteral("&År"), yearBox_, "yearLabel");
    monthBox_ = named(new QComboBox, "monthBox", QStringLiteral("Månad"));
    monthBox_->addItems(MonthNames);
    quarterBox_ = named(new QComboBox, "quarterBox", QStringLiteral("Kvartal"));
    for (int n = 1; n <= 4; ++n)
        quarterBox_->addItem(QStringLiteral("Kvartal %1").arg(n));
    partLabel_ = label(QStringLiteral("&Månad"), monthBox_, "partLabel");
    fromDate_ = named(new QDateEdit, "fromDate", QStringLiteral("Från datum"));
    toDate_ = named(new QDateEdit, "toDate", QStringLiteral("Till datum"));
    for (QDateEdit* d : {fromDate_, toDate_}) {
        d->setDisplayFormat(QStringLiteral("yyyy-MM-dd"));
        d->setCalendarPopup(true);
    }
    fromLabel_ = label(QStringLiteral("&Från"), fromDate_, "fromLabel");
    toLabel_ = label(QStringLiteral("&Till"), toDate_, "toLabel");
    flowBox_ = named(new QComboBox, "flowBox", QStringLiteral("Visa"));
    flowBox_->addItems(
        {QStringLiteral("Inkomster och utgifter"), QStringLiteral("Utgifter"), QStringLiteral("Inkomster")});
    flowLabel_ = label(QStringLiteral("&Visa"), flowBox_, "flowLabel");
    periodText_ = new QLabel;
    periodText_->setObjectName(QStringLiteral("periodText"));
    for (QWidget* w : std::initializer_list<QWidget*>{
             accountLabel_, accountBox_, periodKindLabel_, periodKindBox_, yearLabel_, yearBox_, partLabel_,
             monthBox_, quarterBox_, fromLabel_, fromDate_, toLabel_, toDate_, flowLabel_, flowBox_})
        grid->addWidget(w);
    grid->addStretch(1);
    grid->addWidget(periodText_);
    top->addWidget(selection);

    tabs_ = named(new QTabWidget(this), "tabs", QStringLiteral("Rapporter"));

    // Per transaktion: the table beside the bars.
    auto* perTransaction = new QSplitter(Qt::Horizontal);
    perTransaction->setObjectName(QStringLiteral("perTransactionPage"));
    auto* tableSide = new QWidget;
    auto* tableColumn = new QVBoxLayout(tableSide);
    tableColumn->setContentsMargins(0, 0, 0, 0);
    transactionTable_ = named(new QTableWidget, "transactionTable", QStringLiteral("Summor per transaktion"));
    startBalanceText_ = new QLabel;
    startBalanceText_->setObjectName(QStringLiteral("startBalanceText"));
    startBalanceText_->setWordWrap(true);
    tableColumn->addWidget(transactionTable_);
    tableColumn->addWidget(startBalanceText_);
    perTransaction->addWidget(tableSide);
    auto* scroll = new QScrollArea;
    scroll->setWidgetResizable(true);
    transactionChart_ =
        named(new ChartWidget(scroll), "transactionChart", QStringLiteral("Diagram per transaktion"));
    scroll->setWidget(transactionChart_);
    perTransaction->addWidget(scroll);
    perTransaction->setStretchFactor(0, 1);
    perTransaction->setStretchFactor(1, 1);
    tabs_->addTab(perTransaction, QStringLiteral("Per transaktion"));

    // Månad för månad: the table above the chart.
    auto* month = new QSplitter(Qt::Vertical);
    month->setObjectName(QStringLiteral("monthPage"));
    monthTable_ = named(new QTableWidget, "monthTable", QStringLiteral("Månad för månad"));
    month->addWidget(monthTable_);
    monthChart_ = named(new ChartWidget(month), "monthChart", QStringLiteral("Diagram månad för månad"));
    month->addWidget(monthChart_);
    tabs_->addTab(month, QStringLiteral("Månad för månad"));

    // Sök: the filters above the hits.
    auto* search = new QWidget;
    search->setObjectName(QStringLiteral("searchPage"));
    auto* searchColumn = new QVBoxLayout(search);
    auto* filters = new QGridLayout;
    mainBox_ = named(new QComboBox, "mainBox", QStringLiteral("Huvudtransaktion"));
    subBox_ = named(new QComboBox, "subBox", QStringLiteral("Subtransaktion"));
    amountFromBox_ = named(new QLineEdit, "amountFromBox", QStringLiteral("Belopp från"));
    amountToBox_ = named(new QLineEdit, "amountToBox", QStringLiteral("Belopp till"));
    signBox_ = named(new QComboBox, "signBox", QStringLiteral("Tecken"));
    signBox_->addItems(
        {QStringLiteral("Alla"), QStringLiteral("Inkomster (+)"), QStringLiteral("Utgifter (-)")});
    dateFromBox_ = named(new QLineEdit, "dateFromBox", QStringLiteral("Datum från"));
    dateToBox_ = named(new QLineEdit, "dateToBox", QStringLiteral("Datum till"));
    for (QLineEdit* d : {dateFromBox_, dateToBox_})
        d->setPlaceholderText(QStringLiteral("ÅÅÅÅ-MM-DD"));
    mainLabel_ = label(QStringLiteral("&Huvudtransaktion"), mainBox_, "mainLabel");
    subLabel_ = label(QStringLiteral("&Subtransaktion"), subBox_, "subLabel");
    amountFromLabel_ = label(QStringLiteral("&Belopp från"), amountFromBox_, "amountFromLabel");
    amountToLabel_ = label(QStringLiteral("t&ill"), amountToBox_, "amountToLabel");
    signLabel_ = label(QStringLiteral("T&ecken"), signBox_, "signLabel");
    dateFromLabel_ = label(QStringLiteral("&Datum från"), dateFromBox_, "dateFromLabel");
    dateToLabel_ = label(QStringLiteral("ti&ll"), dateToBox_, "dateToLabel");
    searchButton_ = named(new QPushButton(QStringLiteral("Sök")), "searchButton", QStringLiteral("Sök"));
    filters->addWidget(mainLabel_, 0, 0);
    filters->addWidget(mainBox_, 0, 1);
    filters->addWidget(subLabel_, 0, 2);
    filters->addWidget(subBox_, 0, 3);
    filters->addWidget(signLabel_, 0, 4);
    filters->addWidget(signBox_, 0, 5);
    filters->addWidget(amountFromLabel_, 1, 0);
    filters->addWidget(amountFromBox_, 1, 1);
    filters->addWidget(amountToLabel_, 1, 2);
    filters->addWidget(amountToBox_, 1, 3);
    filters->addWidget(dateFromLabel_, 2, 0);
    filters->addWidget(dateFromBox_, 2, 1);
    filters->addWidget(dateToLabel_, 2, 2);
    filters->addWidget(dateToBox_, 2, 3);
    filters->addWidget(searchButton_, 2, 5);
    filters->setColumnStretch(6, 1);
    searchColumn->addLayout(filters);
    hitsText_ = new QLabel;
    hitsText_->setObjectName(QStringLiteral("hitsText"));
    searchColumn->addWidget(hitsText_);
    hitsTable_ = named(new QTableView, "hitsTable", QStringLiteral("Funna poster"));
    hitsModel_ = new HitsModel(hitsTable_, hits_, selection_);
    hitsTable_->setModel(hitsModel_);
    hitsTable_->setSelectionBehavior(QAbstractItemView::SelectRows);
    hitsTable_->setSelectionMode(QAbstractItemView::SingleSelection);
    hitsTable_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    hitsTable_->verticalHeader()->hide();
    hitsTable_->verticalHeader()->setDefaultSectionSize(hitsTable_->fontMetrics().height() + 6);
    hitsTable_->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    hitsTable_->horizontalHeader()->setSectionResizeMode(2, QHeaderView::Stretch);
    hitsTable_->installEventFilter(this);
    searchColumn->addWidget(hitsTable_, 1);
    tabs_->addTab(search, QStringLiteral("Sök"));
    top->addWidget(tabs_, 1);

    auto* buttons = new QHBoxLayout;
    printButton_ =
        named(new QPushButton(QStringLiteral("Skriv ut…")), "printButton", QStringLiteral("Skriv ut"));
    pdfButton_ = named(new QPushButton(QStringLiteral("Spara som PDF…")), "pdfButton",
                       QStringLiteral("Spara som PDF"));
    sheetFormatBox_ = named(new QComboBox, "sheetFormatBox", QStringLiteral("Format för kalkylblad"));
    sheetFormatBox_->addItems(
        {QStringLiteral("XLSX"), QStringLiteral("CSV för kalkylprogram"), QStringLiteral("CSV standard")});
    sheetFormatLabel_ = label(QStringLiteral("F&ormat"), sheetFormatBox_, "sheetFormatLabel");
    sheetButton_ = named(new QPushButton(QStringLiteral("Spara som kalkylblad…")), "sheetButton",
                         QStringLiteral("Spara som kalkylblad"));
    closeButton_ =
        named(new QPushButton(QStringLiteral("Stäng (Esc)")), "closeButton", QStringLiteral("Stäng"));
    for (QWidget* w : std::initializer_list<QWidget*>{printButton_, pdfButton_, sheetFormatLabel_,
                                                      sheetFormatBox_, sheetButton_})
        buttons->addWidget(w);
    buttons->addStretch(1);
    buttons->addWidget(closeButton_);
    top->addLayout(buttons);
    for (QPushButton* b : {searchButton_, printButton_, pdfButton_, sheetButton_, closeButton_})
        b->setAutoDefault(true); // Enter presses a focused button

    const auto changed = [this] {
        if (!refreshing_)
            refresh();
    };
    connect(accountBox_, &QComboBox::currentIndexChanged, this, [this] {
        if (refreshing_)
            return;
        readSelection();
        refresh();
    });
    connect(periodKindBox_, &QComboBox::currentIndexChanged, this, [this, changed] {
        periodKindChanged();
        changed();
    });
    connect(yearBox_, &QSpinBox::valueChanged, this, changed);
    connect(monthBox_, &QComboBox::currentIndexChanged, this, changed);
    connect(quarterBox_, &QComboBox::currentIndexChanged, this, changed);
    connect(fromDate_, &QDateEdit::dateChanged, this, changed);
    connect(toDate_, &QDateEdit::dateChanged, this, changed);
    connect(flowBox_, &QComboBox::currentIndexChanged, this, changed);
    connect(transactionTable_, &QTableWidget::cellClicked, this, &OverviewWindow::transactionRowClicked);
    connect(monthTable_, &QTableWidget::cellClicked, this, &OverviewWindow::monthRowClicked);
    for (ChartWidget* chart : {transactionChart_, monthChart_})
        connect(chart, &ChartWidget::barClicked, this, [this](const ChartBar& bar) {
            if (bar.posts)
                showPosts(*bar.posts, q(bar.tip));
        });
    // Tab leaves a table for the next control; the arrows move within it.
    for (QAbstractItemView* view :
         std::initializer_list<QAbstractItemView*>{transactionTable_, monthTable_, hitsTable_})
        view->setTabKeyNavigation(false);
    connect(searchButton_, &QPushButton::clicked, this, &OverviewWindow::runSearch);
    for (QLineEdit* box : {amountFromBox_, amountToBox_, dateFromBox_, dateToBox_})
        connect(box, &QLineEdit::returnPressed, this, &OverviewWindow::runSearch);
    connect(hitsTable_, &QTableView::doubleClicked, this, [this](const QModelIndex& i) { openHit(i.row()); });
    connect(printButton_, &QPushButton::clicked, this, &OverviewWindow::printTab);
    connect(pdfButton_, &QPushButton::clicked, this, &OverviewWindow::saveTabAsPdf);
    connect(sheetButton_, &QPushButton::clicked, this, &OverviewWindow::saveTabAsSheet);
    connect(closeButton_, &QPushButton::clicked, this, &QWidget::close);
    periodKindChanged();
}

bool OverviewWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == hitsTable_ && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            openHit(hitsTable_->currentIndex().row());
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void OverviewWindow::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (loaded_)
        return;
    loaded_ = true;
    if (QWidget* main = parentWidget())
        main->setEnabled(false);
    setEnabled(true);
    if (const QScreen* s = (parentWidget() ? parentWidget()->screen() : screen())) {
        const QRect room = s->availableGeometry();
        resize(std::min(1150, room.width() * 92 / 100), std::min(780, room.height() * 88 / 100));
    }
    // The table and its chart share the room at first.
    for (QSplitter* split : findChildren<QSplitter*>())
        split->setSizes({1, 1});
    support::centreOver(*this, parentWidget());
    loadAccounts();
}

void OverviewWindow::closeEvent(QCloseEvent* event) {
    if (QWidget* main = parentWidget())
        main->setEnabled(true);
    QWidget::closeEvent(event);
}

} // namespace overview
