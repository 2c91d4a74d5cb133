#include "statements/Csv.h"
#include "statements/Reader.h"
#include "statements/Text.h"
#include "statements/Values.h"

#include <algorithm>
#include <array>
#include <map>
#include <string_view>

namespace statements {

namespace {

constexpr std::size_t SampleRecords = 40;

// How many records have the commonest number of cells (at least two), and that number.
std::pair<std::size_t, std::size_t> commonWidth(const std::vector<CsvRecord>& records) {
    std::map<std::size_t, std::size_t> counts;
    for (const CsvRecord& r : records)
        if (r.cells.size() >= 2)
            ++counts[r.cells.size()];
    std::pair<std::size_t, std::size_t> best{0, 0};
    for (const auto& [width, count] : counts)
        if (count > best.first || (count == best.first && width > best.second))
            best = {count, width};
    return best;
}

constexpr std::array<DateFormat, 7> DateFormats = {
    DateFormat::Iso,     DateFormat::SlashedIso, DateFormat::DayMonthDots, DateFormat::DayMonthSlash,
    DateFormat::Compact, DateFormat::ShortIso,   DateFormat::MonthDaySlash};

bool anyDate(std::string_view cell) {
    return std::any_of(DateFormats.begin(), DateFormats.end(),
                       [&](DateFormat f) { return parseBankDate(cell, f).has_value(); });
}

bool amountLike(std::string_view cell) {
    cell = text::trim(cell);
    return !cell.empty() && parseBankAmount(cell, DecimalSign::Either).value.has_value();
}

// Roles by the header's names, the first name that fits each.
int named(const std::vector<std::string>& header, std::initializer_list<std::string_view> names) {
    for (const std::string_view n : names) {
        const auto it = std::find(header.begin(), header.end(), n);
        if (it != header.end())
            return static_cast<int>(it - header.begin()) + 1;
    }
    return 0;
}

} // namespace

Mapping guessMapping(std::string_view fileBytes) {
    Mapping m;
    if (fileBytes.substr(0, 2) == "\xFF\xFE" || fileBytes.substr(0, 2) == "\xFE\xFF")
        m.encoding = Encoding::Utf16;
    else if (fileBytes.substr(0, 3) == "\xEF\xBB\xBF" || text::isValidUtf8(fileBytes.substr(0, 1 << 20)))
        m.encoding = Encoding::Utf8;
    else
        m.encoding = Encoding::Cp1252;
    const std::string utf8 = text::decode(fileBytes.substr(0, 1 << 20), m.encoding);

    std::vector<CsvRecord> records;
    std::pair<std::size_t, std::size_t> best{0, 0};
    for (const char sep : {';', '\t', ','}) {
        auto candidate = splitCsv(utf8, sep, 1, SampleRecords);
        const auto width = commonWidth(candidate);
        if (width.first > best.first) {
            best = width;
            m.separator = sep;
            records = std::move(candidate);
        }
    }
    if (best.first == 0)
        return m;
    const std::size_t width = best.second;
    const auto first = std::find_if(records.begin(), records.end(),
                                    [&](const CsvRecord& r) { return r.cells.size() == width; });
    m.skipLines = first->line - 1;
    m.headerLine = std::none_of(first->cells.begin(), first->cells.end(),
                                [](const std::string& c) { return anyDate(c) || amountLike(c); });
    const auto dataStart = first + (m.headerLine ? 1 : 0);

    if (m.headerLine) {
        std::vector<std::string> header;
        for (const std::string& c : first->cells)
            header.push_back(text::fold(c));
        m.bookingDateColumn =
            named(header, {"bokföringsdag", "bokföringsdatum", "reskontradatum", "bokförd", "datum", "date"});
        m.transactionDateColumn = named(header, {"transaktionsdag", "transaktionsdatum"});
        m.textColumn = named(header, {"text", "beskrivning", "rubrik", "meddelande", "transaktion",
                                      "specifikation", "namn", "mottagare", "details", "description"});
        m.amountColumn = named(header, {"belopp", "amount", "summa"});
        m.debitColumn = named(header, {"uttag", "debet", "debit", "ut"});
        m.creditColumn = named(header, {"insättning", "kredit", "credit", "in"});
        m.balanceColumn = named(header, {"saldo", "bokfört saldo", "balance"});
        if (m.amountColumn > 0)
            m.debitColumn = m.creditColumn = 0;
    }

    // What the cells hold decides the columns the header did not name.
    std::vector<std::size_t> dates(width), amounts(width), filled(width);
    for (auto r = dataStart; r != records.end(); ++r) {
        for (std::size_t c = 0; c < width && c < r->cells.size(); ++c) {
            if (text::trim(r->cells[c]).empty())
                continue;
            ++filled[c];
            dates[c] += anyDate(r->cells[c]);
            amounts[c] += !anyDate(r->cells[c]) && amountLike(r->cells[c]);
        }
    }
    const auto mostly = [&](const std::vector<std::size_t>& hits, std::size_t c) {
        return filled[c] > 0 && hits[c] * 5 >= filled[c] * 4;
    };
    const auto used = [&](int c) {
        return c == m.bookingDateColumn || c == m.transactionDateColumn || c == m.textColumn ||
               c == m.amountColumn || c == m.balanceColumn || c == m.debitColumn || c == m.creditColumn;
    };
    for (std::size_t c = 0; c < width; ++c) {
        const int col = static_cast<int>(c) + 1;
        if (m.bookingDateColumn == 0 && mostly(dates, c))
            m.bookingDateColumn = col;
        else if (m.amountColumn == 0 && m.debitColumn == 0 && !used(col) && mostly(amounts, c))
            m.amountColumn = col;
    }
    for (std::size_t c = 0; c < width && m.textColumn == 0; ++c)
        if (const int col = static_cast<int>(c) + 1;
            !used(col) && filled[c] > 0 && !mostly(dates, c) && !mostly(amounts, c))
            m.textColumn = col;

    // The date form that reads every date of the column; the day-first forms before month-first.
    std::vector<std::string> dateCells;
    for (auto r = dataStart; r != records.end(); ++r)
        if (m.bookingDateColumn > 0 && static_cast<std::size_t>(m.bookingDateColumn) <= r->cells.size() &&
            !text::trim(r->cells[static_cast<std::size_t>(m.bookingDateColumn) - 1]).empty())
            dateCells.push_back(r->cells[static_cast<std::size_t>(m.bookingDateColumn) - 1]);
    for (const DateFormat f : DateFormats) {
        if (!dateCells.empty() && std::all_of(dateCells.begin(), dateCells.end(), [&](const std::string& c) {
                return parseBankDate(c, f).has_value();
            })) {
            m.dateFormat = f;
            const auto a = parseBankDate(dateCells.front(), f);
            const auto b = parseBankDate(dateCells.back(), f);
            m.newestFirst = *a > *b;
            break;
        }
    }
    // A decimal comma unless the amounts end in a point and two or three digits.
    const int amountColumn = m.amountColumn > 0 ? m.amountColumn : std::max(m.debitColumn, m.creditColumn);
    for (auto r = dataStart; r != records.end() && amountColumn > 0; ++r) {
        if (static_cast<std::size_t>(amountColumn) > r->cells.size())
            continue;
        const std::string_view cell = text::trim(r->cells[static_cast<std::size_t>(amountColumn) - 1]);
        const std::size_t last = cell.find_last_of(",.");
        if (last != std::string_view::npos) {
            m.decimalComma = cell[last] == ',';
            break;
        }
    }
    if (m.headerLine)
        m.signature = headerSignature(fileBytes, m);
    return m;
}

} // namespace statements
