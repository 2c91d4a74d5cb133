#include "statements/Table.h"

#include "statements/Text.h"

#include <algorithm>

namespace statements {

namespace {

const std::string& cellAt(const CsvRecord& record, int column) {
    static const std::string empty;
    if (column < 0 || static_cast<std::size_t>(column) >= record.cells.size())
        return empty;
    return record.cells[static_cast<std::size_t>(column)];
}

std::string quoted(std::string_view cell) {
    return "\"" + text::cleanText(cell) + "\"";
}

std::optional<store::Date> dateOf(std::string_view cell, const TableLayout& layout) {
    return layout.dateFormat ? parseBankDate(cell, *layout.dateFormat) : parseAnyDate(cell);
}

// The amount, or the reason it cannot be had.
std::optional<store::Amount> amountOf(const CsvRecord& record, const TableLayout& layout,
                                      std::string& error) {
    const auto read = [&](std::string_view cell) { return amountOrError(cell, layout.decimal, error); };
    if (layout.debit >= 0 || layout.credit >= 0) {
        const std::string_view out = text::trim(cellAt(record, layout.debit));
        const std::string_view in = text::trim(cellAt(record, layout.credit));
        if (out.empty() && in.empty()) {
            error = "beloppet saknas";
            return std::nullopt;
        }
        store::Amount sum;
        if (!in.empty()) {
            const auto v = read(in);
            if (!v)
                return std::nullopt;
            sum += v->abs();
        }
        if (!out.empty()) {
            const auto v = read(out);
            if (!v)
                return std::nullopt;
            sum -= v->abs();
        }
        if (!store::withinAmountLimit(sum) || !store::fitsAmountField(sum)) {
            error = "beloppet " + sum.amountText() + " är för stort";
            return std::nullopt;
        }
        return sum;
    }
    auto value = read(cellAt(record, layout.amount));
    if (!value || layout.sign < 0)
        return value;
    const std::string sign = text::fold(cellAt(record, layout.sign));
    if (sign == "d")
        return -value->abs();
    if (sign == "k" || sign == "c")
        return value->abs();
    error = "tecknet " + quoted(cellAt(record, layout.sign)) + " är varken D eller K";
    return std::nullopt;
}

bool blank(const CsvRecord& record) {
    return std::all_of(record.cells.begin(), record.cells.end(),
                       [](const std::string& c) { return text::trim(c).empty(); });
}

} // namespace

bool rowOf(const CsvRecord& record, const TableLayout& layout, const ReadOptions& options, BankRow& row) {
    if (blank(record))
        return false;
    if (layout.rowType >= 0) {
        const std::string_view type = text::trim(cellAt(record, layout.rowType));
        if (type == "10" || type == "82" || type == "86")
            return false;
    }
    row.line = record.line;
    std::string dateError;
    const std::string& booking = cellAt(record, layout.bookingDate);
    if (!layout.reservedWord.empty() && text::fold(booking) == layout.reservedWord) {
        row.reserved = true;
    } else if (text::trim(booking).empty()) {
        dateError = "datum saknas";
    } else if (!(row.bookingDate = dateOf(booking, layout))) {
        dateError = "datumet " + quoted(booking) + " går inte att läsa";
    }
    if (layout.transactionDate >= 0)
        row.transactionDate = dateOf(cellAt(record, layout.transactionDate), layout);
    if (options.useTransactionDate && row.transactionDate && !row.reserved) {
        row.bookingDate = row.transactionDate;
        dateError.clear();
    }

    std::string amountError;
    if (const auto amount = amountOf(record, layout, amountError))
        row.amount = *amount;

    for (const int column : layout.text) {
        std::string part = text::cleanText(cellAt(record, column));
        if (part.empty())
            continue;
        if (!layout.joinText) {
            row.text = std::move(part);
            break;
        }
        row.text += (row.text.empty() ? "" : " ") + part;
    }
    if (layout.balance >= 0)
        row.balance = parseBankAmount(cellAt(record, layout.balance), layout.decimal).value;
    if (layout.currency >= 0) {
        const std::string_view currency = text::trim(cellAt(record, layout.currency));
        if (!currency.empty() && currency != "SEK")
            row.currency = text::cleanText(currency);
    }
    for (const int column : layout.account) {
        const std::string part = text::cleanText(cellAt(record, column));
        if (part.empty())
            continue;
        if (!row.accountNumber.empty())
            row.accountNumber += '-';
        row.accountNumber += part;
    }
    if (row.accountNumber.empty())
        row.accountNumber = layout.fixedAccount;

    if (!dateError.empty())
        row.error = dateError;
    else if (!amountError.empty())
        row.error = amountError;
    else if (row.currency != "SEK")
        row.error = "raden är i " + row.currency + ", kontot i SEK";
    return true;
}

std::vector<BankRow> rowsOfTable(const std::vector<CsvRecord>& records, std::size_t first,
                                 const TableLayout& layout, const ReadOptions& options) {
    std::vector<BankRow> rows;
    for (std::size_t r = first; r < records.size(); ++r)
        if (!rowOf(records[r], layout, options, rows.emplace_back()))
            rows.pop_back();
    return rows;
}

bool datesFall(const std::vector<BankRow>& rows, bool otherwise) {
    const auto dated = [](const BankRow& r) { return r.bookingDate.has_value(); };
    const auto first = std::find_if(rows.begin(), rows.end(), dated);
    const auto last = std::find_if(rows.rbegin(), rows.rend(), dated);
    if (first == rows.end() || *first->bookingDate == *last->bookingDate)
        return otherwise;
    return *first->bookingDate > *last->bookingDate;
}

} // namespace statements
