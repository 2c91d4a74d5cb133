// The per-transaction and month-by-month reports: their tables and charts, and the posts behind
// each row.

#include "overview/ui/OverviewWindow.h"
#include "overview/ui/OverviewWindowParts.h"

#include "overview/Sheets.h"
#include "overview/ui/ChartWidget.h"
#include "store/Errors.h"
#include "support/ui/Context.h"
#include "support/ui/Trap.h"

#include <QColor>
#include <QFont>
#include <QHeaderView>
#include <QLabel>
#include <QTableWidget>

namespace overview {

using namespace windowparts;

namespace {

// Cells where the actual amount broke the budget.
const QColor OffBudget(255, 205, 205);

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

} // namespace overview
