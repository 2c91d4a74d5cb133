#include "overview/ui/OverviewWindow.h"

#include "overview/Sheets.h"
#include "overview/ui/ChartWidget.h"
#include "stats/ui/ReportPrinter.h"
#include "store/Errors.h"
#include "support/ui/Context.h"
#include "support/ui/Trap.h"
#include "support/ui/WindowPosition.h"

#include <QAbstractTableModel>
#include <QApplication>
#include <QComboBox>
#include <QDateEdit>
#include <QFont>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPrinter>
#include <QProgressDialog>
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
#include <set>
#include <stdexcept>

namespace overview {

namespace {

QString q(std::string_view s) {
    return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
}

const QString AllAccounts = QStringLiteral("Alla konton");
const QString AnyName = QStringLiteral("(alla)");
const QString NoSub = QStringLiteral("(utan subtransaktion)");
const QString PdfFilter = QStringLiteral("PDF-filer (*.pdf)");
const QString NoPrinterTitle = QStringLiteral("Ingen skrivare finns: spara utskriften som PDF-fil");
const QStringList MonthNames = {
    QStringLiteral("januari"), QStringLiteral("februari"), QStringLiteral("mars"),
    QStringLiteral("april"),   QStringLiteral("maj"),      QStringLiteral("juni"),
    QStringLiteral("juli"),    QStringLiteral("augusti"),  QStringLiteral("september"),
    QStringLiteral("oktober"), QStringLiteral("november"), QStringLiteral("december")};
// Cells where the actual amount broke the budget.
const QColor OffBudget(255, 205, 205);

QString shareText(long long hundredths) {
    return QStringLiteral("%1,%2 %").arg(hundredths / 100).arg(hundredths % 100, 2, 10, QLatin1Char('0'));
}

QString cellText(const Cell& c) {
    switch (c.kind) {
    case CellKind::Text:
    case CellKind::Date:
        return q(c.text);
    case CellKind::Amount:
        return q(store::displayAmount(c.amount));
    case CellKind::Count:
        return QString::number(c.number);
    case CellKind::Share:
        return shareText(c.number);
    case CellKind::Empty:
        break;
    }
    return {};
}

// "100 000": digits grouped as the amounts are.
QString countText(std::size_t n) {
    return q(store::formatPattern(store::Amount::whole(static_cast<std::int64_t>(n)), "### ### ##0"));
}

bool numeric(const Cell& c) {
    return c.kind == CellKind::Amount || c.kind == CellKind::Count || c.kind == CellKind::Share;
}

void fillTable(QTableWidget& table, const Sheet& sheet) {
    table.clear();
    table.verticalHeader()->hide();
    table.verticalHeader()->setDefaultSectionSize(table.fontMetrics().height() + 6);
    QStringList headings;
    for (const std::string& h : sheet.headings)
        headings << q(h);
    table.setColumnCount(static_cast<int>(headings.size()));
    table.setHorizontalHeaderLabels(headings);
    table.setRowCount(0);
    sheet.forEachRow([&](const Row& row) {
        const int r = table.rowCount();
        table.insertRow(r);
        for (std::size_t c = 0; c < row.size(); ++c) {
            auto* item = new QTableWidgetItem(cellText(row[c]));
            item->setFlags(Qt::ItemIsSelectable | Qt::ItemIsEnabled);
            if (numeric(row[c]))
                item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            table.setItem(r, static_cast<int>(c), item);
        }
    });
}

SearchQuery periodQuery(const Period& period, Flow flow) {
    SearchQuery query;
    query.flow = flow;
    query.dateFrom = period.from;
    query.dateTo = period.to;
    // The sums count a budget account's confirmed posts only.
    query.confirmedOnly = true;
    return query;
}

Flow flowOf(char sign) {
    return sign == '+' ? Flow::Income : sign == '-' ? Flow::Expenses : Flow::Both;
}

} // namespace

// The hit table: a search may find every post, so the rows are drawn from the hits as shown.
class HitsModel : public QAbstractTableModel {
public:
    HitsModel(QObject* parent, const std::vector<Hit>& hits, const std::vector<OpenAccount>& accounts)
        : QAbstractTableModel(parent), hits_(hits), accounts_(accounts) {}

    void reset() {
        beginResetModel();
        endResetModel();
    }
    int rowCount(const QModelIndex& parent) const override {
        return parent.isValid() ? 0 : static_cast<int>(hits_.size());
    }
    int columnCount(const QModelIndex& parent) const override { return parent.isValid() ? 0 : 4; }
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override {
        static const QStringList names = {QStringLiteral("Konto"), QStringLiteral("Datum"),
                                          QStringLiteral("Transaktion"), QStringLiteral("Belopp")};
        if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section >= 0 && section < 4)
            return names[section];
        return QAbstractTableModel::headerData(section, orientation, role);
    }
    QVariant data(const QModelIndex& index, int role) const override {
        if (!index.isValid() || static_cast<std::size_t>(index.row()) >= hits_.size())
            return {};
        const Hit& h = hits_[static_cast<std::size_t>(index.row())];
        if (role == Qt::TextAlignmentRole && index.column() == 3)
            return QVariant::fromValue(Qt::Alignment(Qt::AlignRight | Qt::AlignVCenter));
        if (role != Qt::DisplayRole)
            return {};
        switch (index.column()) {
        case 0:
            return q(accounts_[h.account].info.name);
        case 1:
            return q(h.dateText());
        case 2: {
            QString text = q(mainOf(accounts_, h).name);
            if (const std::string& sub = subOf(accounts_, h); !sub.empty())
                text += QStringLiteral(" / ") + q(sub);
            return text;
        }
        default:
            return q(store::displayAmount(h.amount));
        }
    }

private:
    const std::vector<Hit>& hits_;
    const std::vector<OpenAccount>& accounts_;
};

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

namespace {
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

void OverviewWindow::loadAccounts() {
    refreshing_ = true;
    const int year = std::stoi(ctx_.today.substr(0, 4));
    const int month = std::stoi(ctx_.today.substr(5, 2));
    yearBox_->setValue(year);
    monthBox_->setCurrentIndex(month - 1);
    quarterBox_->setCurrentIndex((month - 1) / 3);
    const QDate today = QDate::fromString(q(ctx_.today), QStringLiteral("yyyy-MM-dd"));
    fromDate_->setDate(QDate(today.year(), today.month(), 1));
    toDate_->setDate(today);
    support::trapped(
        ctx_, this,
        [&] {
            infos_ = registeredAccounts(ctx_.paths);
            accountBox_->clear();
            accountBox_->addItem(AllAccounts);
            for (const AccountInfo& info : infos_)
                accountBox_->addItem(q(info.name));
            const int open = accountBox_->findText(openAccount_);
            accountBox_->setCurrentIndex(open > 0 ? open : 0);
        },
        [] {
            return support::describeFailure(QStringLiteral("Sammanställning"),
                                            QStringLiteral(" vid läsning av kontoregistret."));
        });
    refreshing_ = false;
    readSelection();
    refresh();
}

void OverviewWindow::readSelection() {
    hits_.clear();
    hitsModel_->reset();
    hitsText_->clear();
    selection_.clear();
    const int index = accountBox_->currentIndex();
    support::trapped(
        ctx_, this,
        [&] {
            for (std::size_t i = 0; i < infos_.size(); ++i)
                if (index == 0 || static_cast<std::size_t>(index) == i + 1)
                    selection_.push_back(openAccount(ctx_.paths, infos_[i]));
        },
        [&] {
            return support::describeFailure(QStringLiteral("Sammanställning"),
                                            QStringLiteral(" vid läsning av kontona."),
                                            {QStringLiteral("Konto: ") + accountBox_->currentText()});
        });
    fillSearchNames();
}

void OverviewWindow::periodKindChanged() {
    const int kind = periodKindBox_->currentIndex();
    yearLabel_->setVisible(kind != 3);
    yearBox_->setVisible(kind != 3);
    monthBox_->setVisible(kind == 0);
    quarterBox_->setVisible(kind == 1);
    partLabel_->setVisible(kind <= 1);
    partLabel_->setText(kind == 1 ? QStringLiteral("K&vartal") : QStringLiteral("&Månad"));
    partLabel_->setBuddy(kind == 1 ? static_cast<QWidget*>(quarterBox_) : monthBox_);
    for (QWidget* w : std::initializer_list<QWidget*>{fromLabel_, fromDate_, toLabel_, toDate_})
        w->setVisible(kind == 3);
}

Period OverviewWindow::period() const {
    switch (periodKindBox_->currentIndex()) {
    case 0:
        return monthPeriod(yearBox_->value(), monthBox_->currentIndex() + 1);
    case 1:
        return quarterPeriod(yearBox_->value(), quarterBox_->currentIndex() + 1);
    case 2:
        return yearPeriod(yearBox_->value());
    default:
        return rangePeriod(fromDate_->date().toString(QStringLiteral("yyyy-MM-dd")).toStdString(),
                           toDate_->date().toString(QStringLiteral("yyyy-MM-dd")).toStdString());
    }
}

Flow OverviewWindow::flow() const {
    static constexpr Flow flows[] = {Flow::Both, Flow::Expenses, Flow::Income};
    return flows[std::clamp(flowBox_->currentIndex(), 0, 2)];
}

void OverviewWindow::refresh() {
    perTransaction_.reset();
    month_.reset();
    transactionRowPosts_.clear();
    monthRowPosts_.clear();
    transactionTable_->clear();
    transactionTable_->setRowCount(0);
    monthTable_->clear();
    monthTable_->setRowCount(0);
    startBalanceText_->clear();
    transactionChart_->setLayout({});
    monthChart_->setLayout({});
    std::optional<Period> chosen;
    try {
        chosen = period();
    } catch (const store::DataError&) {
        periodText_->setText(QStringLiteral("Från-datumet ligger efter till-datumet."));
        return;
    }
    periodText_->setText(q(chosen->from) + QStringLiteral(" – ") + q(chosen->to));
    support::trapped(
        ctx_, this,
        [&] {
            perTransaction_ = perTransaction(selection_, *chosen, flow());
            month_ = monthByMonth(selection_, *chosen, flow());
            fillTransactionTable();
            fillMonthTable();
            const Period p = *chosen;
            const PerTransaction* report = &*perTransaction_;
            transactionChart_->setLayout(
                [report, p](double w, double h) { return overview::transactionChart(*report, p, w, h); });
            const MonthReport* months = &*month_;
            const Flow f = flow();
            monthChart_->setLayout(
                [months, p, f](double w, double h) { return overview::monthChart(*months, p, f, w, h); });
        },
        [&] {
            return support::describeFailure(QStringLiteral("Sammanställning"),
                                            QStringLiteral(" vid summering av perioden."),
                                            {QStringLiteral("Period: ") + periodText_->text()});
        });
}

void OverviewWindow::fillTransactionTable() {
    const PerTransaction& report = *perTransaction_;
    const Period p = period();
    fillTable(*transactionTable_, perTransactionSheet(report));
    // The rows in the sheet's order, each with the posts behind it.
    auto add = [&](const std::vector<TransactionSum>& group) {
        for (const TransactionSum& main : group) {
            SearchQuery query = periodQuery(p, flowOf(main.sign));
            query.main = main.name;
            transactionRowPosts_.push_back(query);
            for (const TransactionSum& sub : main.subs) {
                query.sub = sub.name;
                transactionRowPosts_.push_back(query);
            }
        }
    };
    if (!report.expenses.empty()) {
        add(report.expenses);
        transactionRowPosts_.push_back(periodQuery(p, Flow::Expenses));
    }
    if (!report.income.empty()) {
        add(report.income);
        transactionRowPosts_.push_back(periodQuery(p, Flow::Income));
    }
    add(report.unsigned_);
    QStringList apart;
    for (const TransactionSum& s : report.unsigned_)
        apart << q(s.name) + QStringLiteral(": ") + q(store::displayAmount(s.sum));
    if (!apart.isEmpty())
        startBalanceText_->setText(QStringLiteral("Utan tecken, ej med i summorna: ") +
                                   apart.join(QStringLiteral(", ")));
    for (int r = 0; r < transactionTable_->rowCount(); ++r) {
        QTableWidgetItem* main = transactionTable_->item(r, 2);
        if (main && main->text().isEmpty()) { // a main transaction or a sum: in bold
            for (int c = 0; c < transactionTable_->columnCount(); ++c)
                if (QTableWidgetItem* item = transactionTable_->item(r, c)) {
                    QFont f = item->font();
                    f.setBold(true);
                    item->setFont(f);
                }
        }
    }
    transactionTable_->resizeColumnsToContents();
}

void OverviewWindow::fillMonthTable() {
    const MonthReport& report = *month_;
    const Period p = period();
    fillTable(*monthTable_, monthSheet(report));
    monthTable_->resizeColumnsToContents();
    for (const MonthRow& row : report.rows) {
        SearchQuery query = periodQuery(p, flowOf(row.sign));
        query.main = row.name;
        monthRowPosts_.push_back(query);
    }
    monthRowPosts_.push_back(periodQuery(p, Flow::Income));
    monthRowPosts_.push_back(periodQuery(p, Flow::Expenses));
    monthRowPosts_.push_back(periodQuery(p, Flow::Both));
    if (!report.budget)
        return;
    // A cell whose actual amount broke the budget: its actual amount and difference coloured.
    const auto colour = [&](int r, const std::vector<MonthCell>& cells, const MonthCell& total, char sign) {
        for (std::size_t m = 0; m <= cells.size(); ++m) {
            const MonthCell& cell = m < cells.size() ? cells[m] : total;
            const bool off = sign == 'n' ? cell.difference().isNegative() : offBudget(sign, cell);
            if (!off)
                continue;
            for (int c : {1, 2}) // the actual amount and the difference of the month's three columns
                if (QTableWidgetItem* item = monthTable_->item(r, 2 + static_cast<int>(m) * 3 + c))
                    item->setBackground(OffBudget);
        }
    };
    int r = 0;
    for (const MonthRow& row : report.rows)
        colour(r++, row.months, row.total, row.sign);
    colour(r++, report.incomeTotal.months, report.incomeTotal.total, '+');
    colour(r++, report.expenseTotal.months, report.expenseTotal.total, '-');
    colour(r, report.net, report.netTotal, 'n'); // the net falls short of its budget
}

void OverviewWindow::fillSearchNames() {
    std::set<std::string> mains, subs;
    for (const OpenAccount& a : selection_) {
        for (std::size_t n = 1; n < a.mains.size(); ++n)
            if (!a.mains[n].name.empty())
                mains.insert(a.mains[n].name);
        for (std::size_t n = 1; n < a.subs.size(); ++n)
            if (!a.subs[n].empty())
                subs.insert(a.subs[n]);
    }
    mainBox_->clear();
    mainBox_->addItem(AnyName);
    for (const std::string& m : mains)
        mainBox_->addItem(q(m));
    subBox_->clear();
    subBox_->addItems({AnyName, NoSub});
    for (const std::string& s : subs)
        subBox_->addItem(q(s));
}

void OverviewWindow::transactionRowClicked(int row) {
    if (row >= 0 && static_cast<std::size_t>(row) < transactionRowPosts_.size() && transactionRowPosts_[row])
        showPosts(*transactionRowPosts_[row], transactionTable_->item(row, 2)->text().isEmpty()
                                                  ? transactionTable_->item(row, 1)->text()
                                                  : transactionTable_->item(row, 1)->text() +
                                                        QStringLiteral(" / ") +
                                                        transactionTable_->item(row, 2)->text());
}

void OverviewWindow::monthRowClicked(int row) {
    if (row >= 0 && static_cast<std::size_t>(row) < monthRowPosts_.size() && monthRowPosts_[row])
        showPosts(*monthRowPosts_[row], monthTable_->item(row, 1)->text());
}

void OverviewWindow::showPosts(const SearchQuery& query, const QString& what) {
    support::trapped(
        ctx_, this,
        [&] {
            hits_ = search(selection_, query);
            hitsModel_->reset();
            hitsText_->setText(QStringLiteral("Poster bakom %1: %2 st.").arg(what, countText(hits_.size())));
            tabs_->setCurrentIndex(SearchTab);
            if (!hits_.empty())
                hitsTable_->selectRow(0);
            hitsTable_->setFocus();
        },
        [&] {
            return support::describeFailure(QStringLiteral("Sammanställning"),
                                            QStringLiteral(" vid sökning av poster."), {what});
        });
}

void OverviewWindow::runSearch() {
    SearchQuery query;
    if (mainBox_->currentIndex() > 0)
        query.main = mainBox_->currentText().toStdString();
    if (subBox_->currentIndex() == 1)
        query.sub = std::string();
    else if (subBox_->currentIndex() > 1)
        query.sub = subBox_->currentText().toStdString();
    static constexpr Flow signs[] = {Flow::Both, Flow::Income, Flow::Expenses};
    query.flow = signs[std::clamp(signBox_->currentIndex(), 0, 2)];
    for (auto [box, bound] :
         {std::pair{amountFromBox_, &query.amountFrom}, std::pair{amountToBox_, &query.amountTo}}) {
        const QString typed = box->text().trimmed();
        if (typed.isEmpty())
            continue;
        *bound = store::Amount::parse(store::cleanTypedAmount(typed.toStdString()));
        if (!*bound) {
            ctx_.dialogs.message(this, QStringLiteral("Sök"),
                                 QStringLiteral("Skriv beloppet med siffror, till exempel 450 eller 450,50."),
                                 support::Dialogs::Icon::Exclamation);
            box->setFocus();
            return;
        }
    }
    for (auto [box, bound] :
         {std::pair{dateFromBox_, &query.dateFrom}, std::pair{dateToBox_, &query.dateTo}}) {
        const std::string typed = box->text().trimmed().toStdString();
        if (typed.empty())
            continue;
        try {
            rangePeriod(typed, typed);
        } catch (const store::DataError&) {
            ctx_.dialogs.message(this, QStringLiteral("Sök"),
                                 QStringLiteral("Skriv datumet som ÅÅÅÅ-MM-DD, till exempel 2026-03-31."),
                                 support::Dialogs::Icon::Exclamation);
            box->setFocus();
            return;
        }
        *bound = typed;
    }
    showPosts(query, QStringLiteral("sökningen"));
    hitsText_->setText(QStringLiteral("Funna poster: %1 st.").arg(countText(hits_.size())));
}

void OverviewWindow::openHit(int row) {
    if (row < 0 || static_cast<std::size_t>(row) >= hits_.size())
        return;
    const QString account = q(selection_[hits_[static_cast<std::size_t>(row)].account].info.name);
    const int post = hits_[static_cast<std::size_t>(row)].record;
    const OpenPost openPost = openPost_;
    close();
    if (openPost)
        openPost(account, post);
}

QString OverviewWindow::tabTitle() const {
    return tabs_->tabText(tabs_->currentIndex());
}

QString OverviewWindow::selectionText() const {
    return accountBox_->currentText() + QStringLiteral(", ") + periodText_->text() + QStringLiteral(", ") +
           flowBox_->currentText().toLower();
}

Sheet OverviewWindow::currentSheet() const {
    switch (tabs_->currentIndex()) {
    case PerTransactionTab:
        return perTransaction_ ? perTransactionSheet(*perTransaction_) : perTransactionSheet({});
    case MonthTab:
        return month_ ? monthSheet(*month_) : sheetOf("Månad för månad", {}, {});
    default:
        return hitsSheet(hits_, selection_);
    }
}

bool OverviewWindow::savedOrTold(const std::function<void()>& body, const QString& routine) {
    std::optional<QString> problem;
    bool cancelled = false;
    const bool ran = support::trapped(
        ctx_, this,
        [&] {
            try {
                body();
            } catch (const store::FileError& e) {
                problem = q(exportProblem(e));
            } catch (const ExportCancelled&) {
                cancelled = true;
            }
        },
        [&] {
            return support::describeFailure(routine, QStringLiteral(" vid sparande av sammanställningen."),
                                            {QStringLiteral("Flik: ") + tabTitle()});
        });
    if (problem)
        ctx_.dialogs.message(this, q(ExportFailedTitle), *problem, support::Dialogs::Icon::Exclamation);
    return ran && !problem && !cancelled;
}

void OverviewWindow::printTab() {
    QPrinter printer(QPrinter::HighResolution);
    printer.setDocName(QStringLiteral("Sammanställning - ") + tabTitle());
    if (ctx_.platform.printersInstalled()) {
        if (!ctx_.dialogs.printSetup(this, printer))
            return;
    } else {
        // Without a printer the printout is offered as a PDF file, never sent to an empty job.
        const QString path = ctx_.dialogs.saveFile(this, NoPrinterTitle,
                                                   q(ctx_.paths.driveFolder().string()) +
                                                       QStringLiteral("/Sammanställning - ") + tabTitle() +
                                                       QStringLiteral(".pdf"),
                                                   PdfFilter);
        if (path.isEmpty())
            return;
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(path);
    }
    savedOrTold(
        [&] {
            stats::PdfOutput pdf(printer);
            printOn(printer);
            pdf.finish();
        },
        QStringLiteral("Skriv_Sammanställning"));
}

void OverviewWindow::saveTabAsPdf() {
    const QString path =
        ctx_.dialogs.saveFile(this, QStringLiteral("Spara som PDF"),
                              q(ctx_.paths.driveFolder().string()) + QStringLiteral("/Sammanställning - ") +
                                  tabTitle() + QStringLiteral(".pdf"),
                              PdfFilter);
    if (path.isEmpty())
        return;
    QPrinter printer(QPrinter::HighResolution);
    printer.setDocName(QStringLiteral("Sammanställning - ") + tabTitle());
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(path);
    if (savedOrTold(
            [&] {
                stats::PdfOutput pdf(printer);
                printOn(printer);
                pdf.finish();
            },
            QStringLiteral("Pdf_Sammanställning")))
        ctx_.dialogs.message(this, QStringLiteral("Sparat"),
                             QStringLiteral("Sammanställningen har sparats i\n") + path);
}

void OverviewWindow::printOn(QPrinter& printer) {
    printer.setPageOrientation(QPageLayout::Landscape);
    QPainter painter;
    if (!painter.begin(&printer))
        throw std::runtime_error("Skrivaren kunde inte starta utskriften");
    const int dpiX = printer.logicalDpiX(), dpiY = printer.logicalDpiY();
    const QRectF page = printer.pageLayout().paintRectPixels(dpiX).translated(
        -printer.pageLayout().paintRectPixels(dpiX).topLeft());
    QFont heading(QStringLiteral("Arial"), 13, QFont::Bold);
    QFont small(QStringLiteral("Arial"), 9);
    painter.setFont(heading);
    const double headingHeight = painter.fontMetrics().height();
    painter.drawText(QPointF(0, painter.fontMetrics().ascent()),
                     QStringLiteral("Sammanställning – ") + tabTitle());
    painter.setFont(small);
    painter.drawText(QPointF(0, headingHeight + painter.fontMetrics().ascent()), selectionText());
    const double top = headingHeight + painter.fontMetrics().height() * 2;
    const auto newPage = [&] {
        if (!printer.newPage())
            throw std::runtime_error("Skrivaren kunde inte börja en ny sida");
    };

    // The chart first, on the page's width at the printer's own resolution.
    ChartWidget* chartWidget = tabs_->currentIndex() == PerTransactionTab ? transactionChart_
                               : tabs_->currentIndex() == MonthTab        ? monthChart_
                                                                          : nullptr;
    double y = top;
    if (chartWidget && (perTransaction_ || month_)) {
        const double wPt = page.width() * 72.0 / dpiX, hPt = (page.height() - top) * 72.0 / dpiY;
        const Chart chart = chartWidget->chartFor(wPt, hPt);
        const double zoom = std::min(1.0, hPt / chart.height);
        painter.save();
        painter.translate(0, top);
        paintChart(painter, chart, dpiX, dpiY, zoom);
        painter.restore();
        newPage();
        y = 0;
    }

    // The table. Columns wider than the page go on to further pages, each under the first two
    // (the transaction) again, a budget month's three columns kept together; only a table whose
    // every part is still too wide is shrunk.
    const Sheet sheet = currentSheet();
    QFont cellFont(QStringLiteral("Arial"), 8);
    painter.setFont(cellFont);
    const QFontMetricsF metrics(painter.fontMetrics());
    std::vector<double> widths(sheet.headings.size(), 0);
    for (std::size_t c = 0; c < widths.size(); ++c)
        widths[c] = metrics.horizontalAdvance(q(sheet.headings[c]));
    sheet.forEachRow([&](const Row& row) {
        for (std::size_t c = 0; c < row.size() && c < widths.size(); ++c)
            widths[c] = std::max(widths[c], metrics.horizontalAdvance(cellText(row[c])));
    });
    const double gap = metrics.averageCharWidth() * 2;
    double total = 0;
    for (double& w : widths)
        total += (w += gap);
    const std::size_t kept = total > page.width() && widths.size() > 2 ? 2 : 0;
    const std::size_t group = tabs_->currentIndex() == MonthTab && month_ && month_->budget ? 3 : 1;
    std::vector<std::vector<std::size_t>> parts;
    double keptWidth = 0;
    for (std::size_t c = 0; c < kept; ++c)
        keptWidth += widths[c];
    double used = page.width();
    for (std::size_t c = kept; c < widths.size(); c += group) {
        double w = 0;
        for (std::size_t g = c; g < std::min(c + group, widths.size()); ++g)
            w += widths[g];
        if (parts.empty() || used + w > page.width()) {
            parts.emplace_back();
            for (std::size_t k = 0; k < kept; ++k)
                parts.back().push_back(k);
            used = keptWidth;
        }
        for (std::size_t g = c; g < std::min(c + group, widths.size()); ++g)
            parts.back().push_back(g);
        used += w;
    }
    const double line = metrics.height() * 1.25;
    for (std::size_t part = 0; part < parts.size(); ++part) {
        const std::vector<std::size_t>& columns = parts[part];
        double width = 0;
        for (std::size_t c : columns)
            width += widths[c];
        const double scale = width > page.width() ? page.width() / width : 1.0;
        const double bottom = page.height() / scale;
        if (part > 0) {
            newPage();
            y = 0;
        }
        painter.save();
        painter.scale(scale, scale);
        y /= scale;
        const auto drawRow = [&](const std::function<QString(std::size_t)>& text,
                                 const std::function<bool(std::size_t)>& right, bool bold) {
            if (y + line > bottom) {
                newPage();
                y = 0;
            }
            QFont f = cellFont;
            f.setBold(bold);
            painter.setFont(f);
            double x = 0;
            for (std::size_t c : columns) {
                painter.drawText(QRectF(x, y, widths[c] - gap / 2, line),
                                 (right(c) ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter, text(c));
                x += widths[c];
            }
            y += line;
        };
        drawRow([&](std::size_t c) { return q(sheet.headings[c]); }, [](std::size_t) { return false; }, true);
        sheet.forEachRow([&](const Row& row) {
            drawRow([&](std::size_t c) { return c < row.size() ? cellText(row[c]) : QString(); },
                    [&](std::size_t c) { return c < row.size() && numeric(row[c]); }, false);
        });
        painter.restore();
    }
    if (!painter.end() || printer.printerState() == QPrinter::Error)
        throw std::runtime_error("Skrivaren kunde inte avsluta utskriften");
}

void OverviewWindow::saveTabAsSheet() {
    const int form = sheetFormatBox_->currentIndex();
    const QString suffix = form == 0 ? QStringLiteral(".xlsx") : QStringLiteral(".csv");
    const Sheet sheet = currentSheet();
    QString path = ctx_.dialogs.saveFile(
        this, QStringLiteral("Spara som kalkylblad"),
        q(ctx_.paths.driveFolder().string()) + QLatin1Char('/') + q(sheet.name) + suffix,
        form == 0 ? QStringLiteral("Excel-arbetsböcker (*.xlsx)") : QStringLiteral("CSV-filer (*.csv)"));
    if (path.isEmpty())
        return;
    if (!path.endsWith(suffix, Qt::CaseInsensitive))
        path += suffix;
    const std::filesystem::path file = path.toStdString();
    const bool saved = savedOrTold(
        [&] {
            if (form != 0) {
                writeCsv(file, sheet, form == 1 ? CsvForm::Spreadsheet : CsvForm::Standard);
                return;
            }
            // A long report shows how far it has come and can be stopped.
            std::unique_ptr<QProgressDialog> progress;
            if (sheet.rowCount > 5000) {
                progress = std::make_unique<QProgressDialog>(QStringLiteral("Sparar kalkylbladet…"),
                                                             QStringLiteral("Avbryt"), 0,
                                                             static_cast<int>(sheet.rowCount), this);
                progress->setWindowTitle(QStringLiteral("Spara som kalkylblad"));
                progress->setWindowModality(Qt::WindowModal);
                progress->setMinimumDuration(300);
            }
            writeXlsx(file, {sheet}, [&](std::size_t rows) {
                if (!progress)
                    return true;
                progress->setValue(static_cast<int>(rows));
                QApplication::processEvents();
                return !progress->wasCanceled();
            });
        },
        QStringLiteral("Kalkylblad_Sammanställning"));
    if (saved)
        ctx_.dialogs.message(this, QStringLiteral("Sparat"),
                             QStringLiteral("Sammanställningen har sparats i\n") + path);
}

} // namespace overview
