#include "statements/ui/ImportWizard.h"

#include "catalogue/MainTransactions.h"
#include "statements/Rules.h"
#include "statements/ui/ImportWizardParts.h"
#include "store/Cp1252.h"
#include "support/ui/Context.h"

#include <QCheckBox>
#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QProgressDialog>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include <algorithm>
#include <memory>

namespace statements {

using namespace importwizard;

namespace {

constexpr int LongStatement = 2000;
enum Column { TickColumn, DateColumn, TextColumn, AmountColumn, TransColumn, SubColumn, StatusColumn };

QString shownAmount(store::Amount a) {
    return qs(store::displayAmount(a));
}

} // namespace

void ImportWizard::buildRowsPage() {
    auto* page = new Page;
    rowsPage_ = page;
    page->setObjectName(QStringLiteral("rowsPage"));
    page->setTitle(QStringLiteral("Rader"));
    page->setSubTitle(
        QStringLiteral("Markera de rader som ska läsas in och välj transaktion för varje rad."));
    rowsTable_ = new QTableWidget(0, 7);
    rowsTable_->setObjectName(QStringLiteral("rowsTable"));
    rowsTable_->setAccessibleName(QStringLiteral("Kontoutdragets rader"));
    rowsTable_->setHorizontalHeaderLabels(
        {QStringLiteral("Läs in"), QStringLiteral("Datum"), QStringLiteral("Text"), QStringLiteral("Belopp"),
         QStringLiteral("Transaktion"), QStringLiteral("Subtransaktion"), QStringLiteral("Status")});
    rowsTable_->setSelectionBehavior(QAbstractItemView::SelectRows);
    rowsTable_->setSelectionMode(QAbstractItemView::SingleSelection);
    rowsTable_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    rowsTable_->verticalHeader()->hide();
    rowsTable_->horizontalHeader()->setSectionResizeMode(TextColumn, QHeaderView::Stretch);
    transactionCombo_ = combo("transactionCombo");
    subTransactionCombo_ = combo("subTransactionCombo");
    newTransactionButton_ = new QPushButton(QStringLiteral("&Ny transaktion…"));
    newTransactionButton_->setObjectName(QStringLiteral("newTransactionButton"));
    newTransactionButton_->setAccessibleName(QStringLiteral("Ny transaktion"));
    rememberBox_ = new QCheckBox(QStringLiteral("&Kom ihåg för liknande rader"));
    rememberBox_->setObjectName(QStringLiteral("rememberBox"));
    rememberBox_->setAccessibleName(QStringLiteral("Kom ihåg för liknande rader"));
    rememberBox_->setChecked(true);
    rowsCount_ = new QLabel;
    rowsCount_->setObjectName(QStringLiteral("rowsCount"));

    auto* chooser = new QHBoxLayout;
    chooser->addWidget(buddyLabel(QStringLiteral("T&ransaktion:"), transactionCombo_));
    chooser->addWidget(transactionCombo_, 1);
    chooser->addWidget(buddyLabel(QStringLiteral("&Subtransaktion:"), subTransactionCombo_));
    chooser->addWidget(subTransactionCombo_, 1);
    chooser->addWidget(newTransactionButton_);
    auto* layout = new QVBoxLayout(page);
    layout->addWidget(rowsTable_, 1);
    layout->addLayout(chooser);
    auto* below = new QHBoxLayout;
    below->addWidget(rememberBox_);
    below->addStretch();
    below->addWidget(rowsCount_);
    layout->addLayout(below);
    setTabOrder(rowsTable_, transactionCombo_);
    setTabOrder(transactionCombo_, subTransactionCombo_);
    setTabOrder(subTransactionCombo_, newTransactionButton_);
    setTabOrder(newTransactionButton_, rememberBox_);

    connect(rowsTable_, &QTableWidget::itemSelectionChanged, this, &ImportWizard::currentRowChanged);
    connect(rowsTable_, &QTableWidget::cellChanged, this, &ImportWizard::rowTicked);
    connect(transactionCombo_, &QComboBox::activated, this, &ImportWizard::chooseTransaction);
    connect(subTransactionCombo_, &QComboBox::activated, this, &ImportWizard::chooseSubTransaction);
    connect(newTransactionButton_, &QPushButton::clicked, this, &ImportWizard::newTransaction);
    setPage(RowsPage, page);
}

QString ImportWizard::transactionName(int transNr) const {
    for (const auto& t : view_.transactions)
        if (t.recordNumber == transNr)
            return qs(t.name);
    return {};
}

QString ImportWizard::subTransactionName(int subNr) const {
    for (const auto& t : view_.subTransactions)
        if (t.recordNumber == subNr)
            return qs(t.name);
    return {};
}

QString ImportWizard::statusText(int row) const {
    return qs(rows_.at(static_cast<std::size_t>(row)).statusText());
}

void ImportWizard::classifyRows() {
    rows_ = classify(std::move(statement_), view_); // the rows are read again before the next classification
    ticked_.assign(rows_.size(), 0);
    for (std::size_t i = 0; i < rows_.size(); ++i)
        ticked_[i] = rows_[i].tickedByDefault();
}

void ImportWizard::fillRows() {
    filling_ = true;
    const int selected = rowsTable_->currentRow();
    const int count = static_cast<int>(rows_.size());
    rowsTable_->setUpdatesEnabled(false);
    rowsTable_->setRowCount(count);
    // A statement of several years fills the table for a noticeable while.
    std::unique_ptr<QProgressDialog> progress;
    if (count > LongStatement) {
        progress =
            std::make_unique<QProgressDialog>(QStringLiteral("Raderna visas…"), QString(), 0, count, this);
        progress->setWindowTitle(windowTitle());
        progress->setWindowModality(Qt::WindowModal);
        progress->setMinimumDuration(300);
    }
    for (int r = 0; r < count; ++r) {
        showRow(r);
        if (progress && r % 500 == 0)
            progress->setValue(r);
    }
    rowsTable_->resizeColumnsToContents();
    rowsTable_->horizontalHeader()->setSectionResizeMode(TextColumn, QHeaderView::Stretch);
    rowsTable_->setUpdatesEnabled(true);
    if (!rows_.empty())
        rowsTable_->selectRow(std::clamp(selected, 0, static_cast<int>(rows_.size()) - 1));
    filling_ = false;
    currentRowChanged();
}

void ImportWizard::showRow(int r) {
    const ClassifiedRow& row = rows_[static_cast<std::size_t>(r)];
    const bool wasFilling = filling_;
    filling_ = true;
    auto cell = [&](int column, const QString& text) {
        QTableWidgetItem* item = rowsTable_->item(r, column);
        if (!item) {
            item = new QTableWidgetItem;
            item->setFlags(Qt::ItemIsSelectable | Qt::ItemIsEnabled);
            rowsTable_->setItem(r, column, item);
        }
        item->setText(text);
        return item;
    };
    QTableWidgetItem* tick = cell(TickColumn, QString());
    tick->setFlags(row.tickable() ? Qt::ItemIsSelectable | Qt::ItemIsEnabled | Qt::ItemIsUserCheckable
                                  : Qt::ItemIsSelectable);
    tick->setCheckState(ticked_[static_cast<std::size_t>(r)] ? Qt::Checked : Qt::Unchecked);
    const auto& date = row.row.bookingDate;
    cell(DateColumn, date ? qs(store::dateText(*date)) : QString());
    cell(TextColumn, qs(row.row.text))->setToolTip(qs(row.row.text));
    cell(AmountColumn, shownAmount(row.row.amount))->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
    cell(TransColumn, transactionName(row.transNr));
    cell(SubColumn, subTransactionName(row.subNr));
    cell(StatusColumn, qs(row.statusText()));
    filling_ = wasFilling;
}

void ImportWizard::rowTicked(int row, int column) {
    if (filling_ || column != TickColumn || row < 0 || row >= static_cast<int>(rows_.size()))
        return;
    const bool on = rowsTable_->item(row, column)->checkState() == Qt::Checked;
    ticked_[static_cast<std::size_t>(row)] = on && rows_[static_cast<std::size_t>(row)].tickable();
    const std::size_t count = static_cast<std::size_t>(std::count(ticked_.begin(), ticked_.end(), 1));
    rowsCount_->setText(QStringLiteral("%1 av %2 rader markerade").arg(count).arg(rows_.size()));
}

void ImportWizard::currentRowChanged() {
    if (filling_)
        return;
    const int r = rowsTable_->currentRow();
    const bool any = r >= 0 && r < static_cast<int>(rows_.size());
    const QSignalBlocker b1(transactionCombo_), b2(subTransactionCombo_);
    transactionCombo_->clear();
    subTransactionCombo_->clear();
    const bool open = any && rows_[static_cast<std::size_t>(r)].tickable() &&
                      rows_[static_cast<std::size_t>(r)].status != RowStatus::Reserved;
    transactionCombo_->setEnabled(open);
    subTransactionCombo_->setEnabled(open);
    newTransactionButton_->setEnabled(open);
    rowTicked(std::max(r, 0), TickColumn);
    if (!open)
        return;
    const ClassifiedRow& row = rows_[static_cast<std::size_t>(r)];
    transactionCombo_->addItem(QStringLiteral("(välj transaktion)"), 0);
    for (const auto& t : offeredTransactions(view_.transactions, row.row.amount))
        transactionCombo_->addItem(qs(t.name), t.recordNumber);
    transactionCombo_->setCurrentIndex(std::max(0, transactionCombo_->findData(row.transNr)));
    subTransactionCombo_->addItem(QStringLiteral("(ingen)"), 0);
    for (const auto& t : view_.subTransactions)
        subTransactionCombo_->addItem(qs(t.name), t.recordNumber);
    subTransactionCombo_->setCurrentIndex(std::max(0, subTransactionCombo_->findData(row.subNr)));
}

void ImportWizard::chooseTransaction(int index) {
    const int r = rowsTable_->currentRow();
    if (r < 0 || r >= static_cast<int>(rows_.size()))
        return;
    ClassifiedRow& row = rows_[static_cast<std::size_t>(r)];
    const int transNr = transactionCombo_->itemData(index).toInt();
    if (transNr == row.transNr && row.chosen)
        return;
    row.transNr = transNr;
    row.subNr = 0;
    row.pattern.clear();
    row.chosen = transNr != 0;
    if (transNr != 0)
        ticked_[static_cast<std::size_t>(r)] = row.tickable() ? 1 : 0;
    if (transNr != 0 && rememberBox_->isChecked()) {
        const std::string pattern = suggestPattern(row.row.text);
        if (!pattern.empty()) {
            addRule(view_.rules, Rule{0, pattern, transNr, 0}, view_.transactions);
            row.pattern = pattern;
        }
    }
    reclassify(rows_, view_);
    fillRows();
}

void ImportWizard::chooseSubTransaction(int index) {
    const int r = rowsTable_->currentRow();
    if (r < 0 || r >= static_cast<int>(rows_.size()))
        return;
    ClassifiedRow& row = rows_[static_cast<std::size_t>(r)];
    if (row.transNr == 0)
        return;
    row.subNr = subTransactionCombo_->itemData(index).toInt();
    row.chosen = true;
    if (rememberBox_->isChecked() && !row.pattern.empty()) {
        addRule(view_.rules, Rule{0, row.pattern, row.transNr, row.subNr}, view_.transactions);
        reclassify(rows_, view_);
        fillRows();
        return;
    }
    showRow(r);
}

void ImportWizard::newTransaction() {
    const int r = rowsTable_->currentRow();
    if (r < 0 || r >= static_cast<int>(rows_.size()))
        return;
    const bool income = rows_[static_cast<std::size_t>(r)].row.amount.units() > 0;
    const QString name = ctx_.dialogs
                             .input(this,
                                    income ? QStringLiteral("Namn på den nya inkomsttransaktionen:")
                                           : QStringLiteral("Namn på den nya utgiftstransaktionen:"),
                                    QStringLiteral("Ny transaktion"), QString())
                             .trimmed();
    if (name.isEmpty())
        return;
    const auto bytes = store::utf8ToCp1252(name.toStdString());
    QString problem;
    if (!bytes)
        problem = QStringLiteral("Namnet innehåller tecken som inte kan sparas.");
    else if (!catalogue::fitsTransactionName(*bytes))
        problem = QStringLiteral("Namnet får vara högst 35 tecken.");
    else
        for (const auto& t : view_.transactions)
            if (QString::fromStdString(t.name).compare(name, Qt::CaseInsensitive) == 0)
                problem =
                    QStringLiteral("Det finns redan en transaktion med namnet ") + name + QStringLiteral(".");
    if (!problem.isEmpty()) {
        ctx_.dialogs.message(this, QStringLiteral("Ny transaktion"), problem,
                             support::Dialogs::Icon::Exclamation);
        return;
    }
    // Staged: numbered -1, -2, ... until "Slutför" gives it a record of the catalogue.
    const int record = -static_cast<int>(newTransactions_.size() + 1);
    newTransactions_.push_back({name.toStdString(), income ? '+' : '-'});
    view_.transactions.push_back({record, name.toStdString(), income ? '+' : '-'});
    currentRowChanged();
    const int index = transactionCombo_->findData(record);
    transactionCombo_->setCurrentIndex(index);
    chooseTransaction(index);
}

} // namespace statements
