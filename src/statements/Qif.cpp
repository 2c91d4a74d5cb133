#include "statements/Qif.h"

#include "statements/Table.h"
#include "statements/Text.h"
#include "statements/Values.h"

#include <algorithm>
#include <array>
#include <optional>
#include <string>
#include <vector>

namespace statements {

namespace {

struct QifRecord {
    int line = 0;
    std::string date, amount, payee, memo;
};

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

// A QIF date as its three numbers: "12/05/2023", "5.12.23", "12/ 5'03", "2023-12-05".
struct QifDate {
    std::array<int, 3> n{};
    std::array<std::size_t, 3> digits{};
    bool apostrophe = false; // a year after "'" lies in this century
};

std::optional<QifDate> splitDate(std::string_view s) {
    QifDate d;
    std::size_t k = 0;
    std::size_t i = 0;
    s = text::trim(s);
    while (k < 3) {
        while (i < s.size() && (s[i] == ' ' || s[i] == '/' || s[i] == '.' || s[i] == '-' || s[i] == '\'')) {
            if (s[i] == '\'' && k == 2)
                d.apostrophe = true;
            ++i;
        }
        if (i >= s.size() || !isDigit(s[i]))
            return std::nullopt;
        while (i < s.size() && isDigit(s[i]) && d.digits[k] < 4) {
            d.n[k] = d.n[k] * 10 + (s[i] - '0');
            ++d.digits[k];
            ++i;
        }
        ++k;
    }
    if (i != s.size())
        return std::nullopt;
    return d;
}

std::optional<store::Date> dateOf(const QifDate& d, QifDateOrder order) {
    const auto valid = [](int y, int m, int day) -> std::optional<store::Date> {
        if (m < 1 || m > 12 || day < 1 || y < 1 || y > 9999 || day > store::daysInMonth(y, m))
            return std::nullopt;
        return store::Date{y, m, day};
    };
    if (d.digits[0] == 4)
        return valid(d.n[0], d.n[1], d.n[2]);
    int year = d.n[2];
    if (d.digits[2] <= 2)
        year += (d.apostrophe || year < 70) ? 2000 : 1900;
    return order == QifDateOrder::MonthDay ? valid(year, d.n[0], d.n[1]) : valid(year, d.n[1], d.n[0]);
}

std::vector<QifRecord> recordsOf(std::string_view s) {
    std::vector<QifRecord> records;
    QifRecord current;
    bool any = false;
    bool inList = true; // records of a transaction list, not of categories, classes or accounts
    int line = 0;
    std::size_t i = 0;
    while (i < s.size()) {
        const std::size_t end = std::min(s.find_first_of("\r\n", i), s.size());
        const std::string_view l = s.substr(i, end - i);
        ++line;
        i = end + ((end < s.size() && s[end] == '\r' && end + 1 < s.size() && s[end + 1] == '\n') ? 2 : 1);
        if (l.empty())
            continue;
        if (l.front() == '!') {
            if (text::startsWithNoCase(l, "!Type:")) {
                const std::string type = text::fold(l.substr(6));
                inList = type == "bank" || type == "cash" || type == "ccard" || type == "oth a" ||
                         type == "oth l" || type == "invst";
            } else if (text::startsWithNoCase(l, "!Account")) {
                inList = false;
            }
            continue;
        }
        if (!inList)
            continue;
        const std::string_view value = l.substr(1);
        switch (l.front()) {
        case '^':
            if (any)
                records.push_back(std::move(current));
            current = {};
            any = false;
            continue;
        case 'D':
            current.date = value;
            break;
        case 'T':
            current.amount = value;
            break;
        case 'U':
            if (current.amount.empty())
                current.amount = value;
            break;
        case 'P':
            current.payee = value;
            break;
        case 'M':
            current.memo = value;
            break;
        default:
            continue;
        }
        if (!any)
            current.line = line;
        any = true;
    }
    if (any)
        records.push_back(std::move(current));
    return records;
}

// The order the dates themselves decide, or Unknown.
QifDateOrder orderOfDates(const std::vector<QifRecord>& records, bool& ambiguous) {
    int dayFirst = 0;
    int monthFirst = 0;
    ambiguous = false;
    for (const QifRecord& r : records) {
        const auto d = splitDate(r.date);
        if (!d || d->digits[0] == 4)
            continue;
        const bool dm = dateOf(*d, QifDateOrder::DayMonth).has_value();
        const bool md = dateOf(*d, QifDateOrder::MonthDay).has_value();
        dayFirst += dm && !md;
        monthFirst += md && !dm;
        ambiguous = ambiguous || (dm && md && d->n[0] != d->n[1]);
    }
    if (dayFirst != monthFirst) {
        ambiguous = false;
        return dayFirst > monthFirst ? QifDateOrder::DayMonth : QifDateOrder::MonthDay;
    }
    ambiguous = ambiguous || dayFirst > 0;
    return ambiguous ? QifDateOrder::Unknown : QifDateOrder::DayMonth;
}

} // namespace

bool looksLikeQif(std::string_view utf8) {
    const std::string_view start = text::trim(utf8.substr(0, 64));
    return text::startsWithNoCase(start, "!Type:") || text::startsWithNoCase(start, "!Account") ||
           text::startsWithNoCase(start, "!Option:") || text::startsWithNoCase(start, "!Clear:");
}

bool qifDateOrderAmbiguous(std::string_view utf8) {
    bool ambiguous = false;
    orderOfDates(recordsOf(utf8), ambiguous);
    return ambiguous;
}

Statement readQif(std::string_view utf8, const ReadOptions& options) {
    const std::vector<QifRecord> records = recordsOf(utf8);
    bool ambiguous = false;
    QifDateOrder order = orderOfDates(records, ambiguous);
    if (ambiguous)
        order = options.qifDateOrder;
    if (order == QifDateOrder::Unknown)
        throw UnreadableStatement(
            "Datumen i filen kan läsas både som dag/månad och som månad/dag: välj ordningen.");
    Statement statement;
    statement.bank = "QIF";
    statement.format = "Kontoutdrag QIF";
    statement.rows.reserve(records.size());
    for (const QifRecord& r : records) {
        BankRow row;
        row.line = r.line;
        const auto parts = splitDate(r.date);
        if (text::trim(r.date).empty())
            row.error = "datum saknas";
        else if (!parts || !(row.bookingDate = dateOf(*parts, order)))
            row.error = "datumet \"" + text::cleanText(r.date) + "\" går inte att läsa";
        std::string amountError;
        if (const auto amount = amountOrError(r.amount, DecimalSign::Either, amountError))
            row.amount = *amount;
        if (row.error.empty())
            row.error = amountError;
        const std::string payee = text::cleanText(r.payee);
        const std::string memo = text::cleanText(r.memo);
        row.text = payee.empty() ? memo : (memo.empty() || memo == payee ? payee : payee + " " + memo);
        statement.rows.push_back(std::move(row));
    }
    if (datesFall(statement.rows, false))
        std::reverse(statement.rows.begin(), statement.rows.end());
    return statement;
}

} // namespace statements
