#include "overview/Sheets.h"

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
        rows.push_back({Cell::textCell(accounts[h.account].info.name), Cell::dateCell(h.date),
                        Cell::textCell(mainOf(accounts, h).name), Cell::textCell(subOf(accounts, h)),
                        Cell::amountCell(h.amount)});
    return sheetOf("Sökträffar", {"Konto", "Datum", "Huvudtransaktion", "Subtransaktion", "Belopp"},
                   std::move(rows));
}

Sheet postsSheet(const OpenAccount& account, const Period& period) {
    const bool budget = account.info.kind == ledger::Kind::Budget;
    std::vector<std::string> headings{"Datum", "Huvudtransaktion", "Subtransaktion"};
    if (budget)
        headings.insert(headings.end(),
                        {"Budg.belopp", "Verkl.belopp", "Budg.saldo", "Verkl.saldo", "Saldodiff."});
    else
        headings.insert(headings.end(), {"Belopp", "Saldo"});
    std::size_t count = 0;
    forEachPost(account, [&](const PostView& post) { count += period.contains(post.date()) ? 1 : 0; });
    Sheet sheet{sheetName(account.info.name), std::move(headings), count, {}};
    sheet.forEachRow = [&account, period, budget](const std::function<void(const Row&)>& take) {
        Row row;
        forEachPost(account, [&](const PostView& post) {
            if (!period.contains(post.date()))
                return;
            row.clear();
            row.push_back(Cell::dateCell(std::string(post.date())));
            row.push_back(Cell::textCell(account.main(post.transNr()).name));
            row.push_back(Cell::textCell(account.sub(post.subNr())));
            using B = store::PostRec_Budget;
            using C = store::PostRec_Enkel;
            for (store::Field f : budget
                                      ? std::vector<store::Field>{B::BudgBelopp, B::VerklBelopp, B::BudgSaldo,
                                                                  B::VerklSaldo, B::DiffSaldo}
                                      : std::vector<store::Field>{C::Belopp, C::Saldo})
                row.push_back(Cell::amountCell(post.amountAt(f)));
            take(row);
        });
    };
    return sheet;
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
