#include "overview/Sheets.h"

#include <memory>
#include <stdexcept>

namespace overview {

namespace {

Row transactionRow(const TransactionSum& s, const std::string& main, const std::string& sub, bool share) {
    return {Cell::textCell(std::string(signText(s.sign))),
            Cell::textCell(main),
            Cell::textCell(sub),
            Cell::amountCell(s.sum),
            Cell::countCell(s.count),
            share ? Cell::shareCell(s.share) : Cell()};
}

void addGroup(std::vector<Row>& rows, const std::vector<TransactionSum>& group, bool share) {
    for (const TransactionSum& main : group) {
        rows.push_back(transactionRow(main, main.name, "", share));
        for (const TransactionSum& sub : main.subs)
            rows.push_back(
                transactionRow(sub, main.name, sub.name.empty() ? "Utan subtransaktion" : sub.name, share));
    }
}

} // namespace

std::string_view signText(char sign) {
    return sign == '+' ? "Inkomst" : sign == '-' ? "Utgift" : "Utan tecken";
}

Sheet perTransactionSheet(const PerTransaction& report) {
    std::vector<Row> rows;
    auto sumRow = [&](char sign, store::Amount total, int count) {
        rows.push_back({Cell::textCell(std::string(signText(sign))), Cell::textCell("Summa"), Cell(),
                        Cell::amountCell(total), Cell::countCell(count), Cell::shareCell(10000)});
    };
    if (!report.expenses.empty()) {
        addGroup(rows, report.expenses, true);
        sumRow('-', report.expenseTotal, report.expenseCount);
    }
    if (!report.income.empty()) {
        addGroup(rows, report.income, true);
        sumRow('+', report.incomeTotal, report.incomeCount);
    }
    addGroup(rows, report.unsigned_, false);
    return sheetOf("Per transaktion",
                   {"Typ", "Huvudtransaktion", "Subtransaktion", "Belopp", "Antal", "Andel (%)"},
                   std::move(rows));
}

Sheet monthSheet(const MonthReport& report) {
    std::vector<std::string> headings{"Typ", "Transaktion"};
    std::vector<std::string> columns = report.months;
    columns.push_back("Totalt");
    for (const std::string& month : columns) {
        if (report.budget) {
            headings.push_back(month + " budget");
            headings.push_back(month + " verkligt");
            headings.push_back(month + " differens");
        } else {
            headings.push_back(month);
        }
    }
    auto cells = [&](Row& row, const MonthCell& cell) {
        if (report.budget) {
            row.push_back(Cell::amountCell(cell.budgeted));
            row.push_back(Cell::amountCell(cell.actual));
            row.push_back(Cell::amountCell(cell.difference()));
        } else {
            row.push_back(Cell::amountCell(cell.actual));
        }
    };
    auto line = [&](std::string_view type, const std::string& name, const std::vector<MonthCell>& months,
                    const MonthCell& total) {
        Row row{Cell::textCell(std::string(type)), Cell::textCell(name)};
        for (const MonthCell& c : months)
            cells(row, c);
        cells(row, total);
        return row;
    };
    std::vector<Row> rows;
    for (const MonthRow& r : report.rows)
        rows.push_back(line(signText(r.sign), r.name, r.months, r.total));
    rows.push_back(line("Inkomst", "Summa", report.incomeTotal.months, report.incomeTotal.total));
    rows.push_back(line("Utgift", "Summa", report.expenseTotal.months, report.expenseTotal.total));
    rows.push_back(line("", "Netto", report.net, report.netTotal));
    // One figure a month: under the actual amount in the budget form.
    auto series = [&](const std::string& name, const std::vector<store::Amount>& values) {
        Row row{Cell(), Cell::textCell(name)};
        for (store::Amount v : values) {
            if (report.budget)
                row.push_back(Cell());
            row.push_back(Cell::amountCell(v));
            if (report.budget)
                row.push_back(Cell());
        }
        row.resize(row.size() + (report.budget ? 3 : 1)); // nothing under the total
        return row;
    };
    if (report.budget)
        rows.push_back(series("Ackumulerad differens", report.accumulatedDifference));
    rows.push_back(series("Utgående saldo", report.closingBalance));
    return sheetOf("Månad för månad", std::move(headings), std::move(rows));
}

Sheet hitsSheet(const std::vector<Hit>& hits, const std::vector<OpenAccount>& accounts) {
    std::vector<Row> rows;
    rows.reserve(hits.size());
    for (const Hit& h : hits)
        rows.push_back({Cell::textCell(accounts[h.account].info.name),
                        Cell::dateCell(std::string(h.dateText())), Cell::textCell(mainOf(accounts, h).name),
                        Cell::textCell(subOf(accounts, h)), Cell::amountCell(h.amount)});
    return sheetOf("Sökträffar", {"Konto", "Datum", "Huvudtransaktion", "Subtransaktion", "Belopp"},
                   std::move(rows));
}

Sheet postsSheet(const OpenAccount& account, const Period& period) {
    // Posts stand in date order: the period is the run from its first post to its last.
    stats::PostRange range{account.postCount + 1, account.postCount};
    forEachPost(account, [&](const PostView& post) {
        if (period.contains(post.date())) {
            range.first = std::min(range.first, post.record());
            range.last = post.record();
        }
    });
    const bool budget = account.info.kind == ledger::Kind::Budget;
    return accountReportSheet(account.files, budget ? stats::ReportKind::Pr_5 : stats::ReportKind::Pr_2,
                              range, account.info.name);
}

Sheet accountReportSheet(const stats::AccountFiles& files, stats::ReportKind kind,
                         const stats::PostRange& range, std::string_view utf8AccountName) {
    if (kind == stats::ReportKind::Pr_7 ||
        (stats::needsBudgetAccount(kind) && files.kind == ledger::Kind::Cash))
        throw std::invalid_argument("Rapportslaget passar inte kontot");
    const std::vector<stats::ReportColumn>& columns = stats::layoutOf(kind).columns;
    std::vector<std::string> headings;
    for (const stats::ReportColumn& c : columns)
        headings.emplace_back(c.fileHeading);
    const bool budget = files.kind == ledger::Kind::Budget;
    using B = store::PostRec_Budget;
    using C = store::PostRec_Enkel;
    Sheet sheet{sheetName(utf8AccountName), std::move(headings), static_cast<std::size_t>(range.size()), {}};
    sheet.forEachRow = [&files, &columns, range, budget,
                        catalogue = std::make_shared<const Catalogue>(readCatalogue(files))](
                           const std::function<void(const Row&)>& take) {
        Row row;
        forEachPost(files, range.first, range.last, [&](const PostView& post) {
            row.clear();
            for (const stats::ReportColumn& c : columns) {
                switch (c.column) {
                case stats::Column::Datum:
                    row.push_back(Cell::dateCell(std::string(post.date())));
                    break;
                case stats::Column::Huvudtransaktion:
                    row.push_back(Cell::textCell(catalogue->main(post.transNr()).name));
                    break;
                case stats::Column::Subtransaktion:
                    row.push_back(Cell::textCell(catalogue->sub(post.subNr())));
                    break;
                case stats::Column::Belopp: // a budget account's actual amount and balance
                    row.push_back(Cell::amountCell(post.amountAt(budget ? B::VerklBelopp : C::Belopp)));
                    break;
                case stats::Column::Saldo:
                    row.push_back(Cell::amountCell(post.amountAt(budget ? B::VerklSaldo : C::Saldo)));
                    break;
                case stats::Column::BudgBelopp:
                    row.push_back(Cell::amountCell(post.amountAt(B::BudgBelopp)));
                    break;
                case stats::Column::VerklBelopp:
                    row.push_back(Cell::amountCell(post.amountAt(B::VerklBelopp)));
                    break;
                case stats::Column::BudgSaldo:
                    row.push_back(Cell::amountCell(post.amountAt(B::BudgSaldo)));
                    break;
                case stats::Column::VerklSaldo:
                    row.push_back(Cell::amountCell(post.amountAt(B::VerklSaldo)));
                    break;
                case stats::Column::DiffSaldo:
                    row.push_back(Cell::amountCell(post.amountAt(B::DiffSaldo)));
                    break;
                }
            }
            take(row);
        });
    };
    return sheet;
}

Sheet statisticsSheet(const stats::Statistics& st, std::string_view utf8TransactionName) {
    std::vector<Row> rows;
    for (const stats::StatRow& r : st.rows)
        rows.push_back(
            {Cell::dateCell(r.datum), Cell::textCell(r.subTransaction), Cell::amountCell(r.value)});
    return sheetOf(sheetName(stats::statisticsHeading(utf8TransactionName)),
                   {"Datum", "Subtransaktion", "Belopp"}, std::move(rows));
}

std::string sheetName(std::string_view utf8Name) {
    std::string out;
    std::size_t characters = 0;
    for (std::size_t i = 0; i < utf8Name.size() && characters < 31; ++characters) {
        std::size_t length = 1;
        const auto lead = static_cast<unsigned char>(utf8Name[i]);
        if (lead >= 0xF0)
            length = 4;
        else if (lead >= 0xE0)
            length = 3;
        else if (lead >= 0xC0)
            length = 2;
        const std::string_view c = utf8Name.substr(i, length);
        out += c.size() == 1 && std::string_view("[]:*?/\\").find(c[0]) != std::string_view::npos
                   ? "_"
                   : std::string(c);
        i += length;
    }
    return out;
}

} // namespace overview
