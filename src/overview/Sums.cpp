#include "overview/Sums.h"

#include "store/Errors.h"

#include <algorithm>
#include <map>
#include <utility>

namespace overview {

namespace {

using store::Amount;
using Key = std::pair<char, std::string>;
// Products of an amount and a share need more than 64 bits.
__extension__ typedef __int128 Wide;

// Largest amount first; equal amounts by name, so the order never depends on the files' order.
template <typename Row, typename Size> void sortBySize(std::vector<Row>& rows, Size size) {
    std::stable_sort(rows.begin(), rows.end(), [&](const Row& a, const Row& b) {
        const Amount x = size(a).abs(), y = size(b).abs();
        return x != y ? x > y : a.name < b.name;
    });
}

// A row and the index of its sub-transactions by name, while the posts are summed.
struct Building {
    TransactionSum row;
    std::map<std::string, std::size_t> subIndex;

    std::size_t subSlot(const std::string& subName) {
        auto [it, added] = subIndex.try_emplace(subName, row.subs.size());
        if (added)
            row.subs.push_back({subName, row.sign, {}, 0, 0, {}});
        return it->second;
    }

    void add(std::size_t sub, Amount amount) {
        row.sum += amount;
        ++row.count;
        row.subs[sub].sum += amount;
        ++row.subs[sub].count;
    }
};

struct Group {
    std::vector<Building> rows;
    std::map<Key, std::size_t> index;

    std::size_t slot(char sign, const std::string& name) {
        auto [it, added] = index.try_emplace(Key{sign, name}, rows.size());
        if (added)
            rows.push_back({{name, sign, {}, 0, 0, {}}, {}});
        return it->second;
    }

    // The finished rows, sorted, with their shares of the group's total.
    std::vector<TransactionSum> finish(bool withShares, Amount& total, int& count) {
        std::vector<TransactionSum> out;
        for (Building& b : rows) {
            // Only the posts without one: nothing to fold out.
            if (b.row.subs.size() == 1 && b.row.subs.front().name.empty())
                b.row.subs.clear();
            sortBySize(b.row.subs, [](const TransactionSum& s) { return s.sum; });
            total += b.row.sum;
            count += b.row.count;
            out.push_back(std::move(b.row));
        }
        sortBySize(out, [](const TransactionSum& s) { return s.sum; });
        if (!withShares)
            return out;
        auto sums = [](const std::vector<TransactionSum>& list) {
            std::vector<Amount> values;
            for (const TransactionSum& s : list)
                values.push_back(s.sum);
            return values;
        };
        const std::vector<int> shares = apportion(sums(out), 10000);
        for (std::size_t i = 0; i < out.size(); ++i) {
            out[i].share = shares[i];
            const std::vector<int> subShares = apportion(sums(out[i].subs), shares[i]);
            for (std::size_t j = 0; j < out[i].subs.size(); ++j)
                out[i].subs[j].share = subShares[j];
        }
        return out;
    }
};

// Months counted from year 0, so that consecutive months differ by one.
int monthNumber(std::string_view date) {
    auto digits = [&](std::size_t at, std::size_t n) {
        int v = 0;
        for (std::size_t i = at; i < at + n; ++i) {
            if (i >= date.size() || date[i] < '0' || date[i] > '9')
                throw store::DataError("Ogiltigt datum: '" + std::string(date) + "'");
            v = v * 10 + (date[i] - '0');
        }
        return v;
    };
    const int month = digits(5, 2);
    if (month < 1 || month > 12)
        throw store::DataError("Ogiltigt datum: '" + std::string(date) + "'");
    return digits(0, 4) * 12 + month - 1;
}

void addTo(MonthCell& cell, const MonthCell& more) {
    cell.budgeted += more.budgeted;
    cell.actual += more.actual;
    cell.count += more.count;
}

} // namespace

std::vector<int> apportion(const std::vector<Amount>& values, int whole) {
    std::vector<int> parts(values.size(), 0);
    Wide total = 0;
    for (Amount v : values)
        total += v.units();
    if (total == 0)
        return parts;
    const int direction = total < 0 ? -1 : 1;
    total *= direction;
    std::vector<std::pair<Wide, std::size_t>> remainders;
    long long given = 0;
    for (std::size_t i = 0; i < values.size(); ++i) {
        const Wide scaled = static_cast<Wide>(values[i].units()) * direction * whole;
        Wide part = scaled / total;
        if (scaled % total != 0 && scaled < 0)
            --part; // towards minus infinity, so every remainder is positive
        // Only a refund far larger than the total it belongs to comes near the range of an int.
        part = std::clamp<Wide>(part, -1'000'000'000, 1'000'000'000);
        parts[i] = static_cast<int>(part);
        given += parts[i];
        remainders.emplace_back(scaled - part * total, i);
    }
    std::stable_sort(remainders.begin(), remainders.end(),
                     [](const auto& a, const auto& b) { return a.first > b.first; });
    for (long long k = 0; k < whole - given && k < static_cast<long long>(remainders.size()); ++k)
        ++parts[remainders[static_cast<std::size_t>(k)].second];
    return parts;
}

PerTransaction perTransaction(const std::vector<OpenAccount>& accounts, const Period& period, Flow flow) {
    Group expenses, income, unsigned_;
    // Where a transaction number of one account goes, found at its first post: the name lookups
    // are made once per account, not once per post.
    struct Slot {
        bool resolved = false;
        Group* group = nullptr;
        std::size_t row = 0;
        std::vector<int> subs; // by sub-transaction number: the row's sub slot, -1 before its first post
    };
    for (const OpenAccount& account : accounts) {
        std::vector<Slot> slots(account.mains.size());
        const int mainCount = static_cast<int>(account.mains.size());
        const int subCount = static_cast<int>(account.subs.size());
        forEachPost(account, [&](const PostView& post) {
            if (!period.contains(post.date()) || !post.confirmed())
                return;
            int t = post.transNr();
            t = t >= 1 && t < mainCount ? t : 0; // outside the catalogue: no name, no sign
            Slot& slot = slots[static_cast<std::size_t>(t)];
            if (!slot.resolved) {
                const MainTransaction& main = account.main(t);
                Group* group = main.sign == '-' ? &expenses : main.sign == '+' ? &income : &unsigned_;
                if (group == &unsigned_ || counts(flow, main.sign)) {
                    slot.group = group;
                    slot.row = group->slot(main.sign, main.name);
                }
                slot.subs.assign(static_cast<std::size_t>(subCount), -1);
                slot.resolved = true;
            }
            if (!slot.group)
                return;
            Building& row = slot.group->rows[slot.row];
            int s = post.subNr();
            s = s >= 1 && s < subCount ? s : 0;
            int& sub = slot.subs[static_cast<std::size_t>(s)];
            if (sub < 0)
                sub = static_cast<int>(row.subSlot(account.sub(s)));
            row.add(static_cast<std::size_t>(sub), post.amount());
        });
    }
    PerTransaction out;
    out.expenses = expenses.finish(true, out.expenseTotal, out.expenseCount);
    out.income = income.finish(true, out.incomeTotal, out.incomeCount);
    Amount ignoredTotal;
    int ignoredCount = 0;
    out.unsigned_ = unsigned_.finish(false, ignoredTotal, ignoredCount);
    return out;
}

bool offBudget(char sign, const MonthCell& cell) {
    if (sign == '-')
        return cell.actual.abs() > cell.budgeted.abs();
    if (sign == '+')
        return cell.actual.abs() < cell.budgeted.abs();
    return false;
}

MonthReport monthByMonth(const std::vector<OpenAccount>& accounts, const Period& period, Flow flow) {
    MonthReport out;
    out.budget = !accounts.empty() && std::all_of(accounts.begin(), accounts.end(), [](const OpenAccount& a) {
        return a.info.kind == ledger::Kind::Budget;
    });
    const int first = monthNumber(period.from), last = monthNumber(period.to);
    const std::size_t months = static_cast<std::size_t>(std::max(last - first + 1, 0));
    for (int m = first; m <= last; ++m) {
        std::string text = std::to_string(m / 12);
        text.insert(0, 4 - std::min<std::size_t>(text.size(), 4), '0');
        out.months.push_back(text + "-" + (m % 12 < 9 ? "0" : "") + std::to_string(m % 12 + 1));
    }

    std::vector<MonthRow> rows;
    std::map<Key, std::size_t> index;
    Amount opening;
    std::vector<Amount> change(months);
    for (const OpenAccount& account : accounts) {
        // The row of each transaction number, found at its first post; -1 for one not counted.
        std::vector<int> rowOf(account.mains.size(), -2);
        const int mainCount = static_cast<int>(account.mains.size());
        forEachPost(account, [&](const PostView& post) {
            if (post.date() > period.to)
                return;
            const Amount real = post.confirmed() ? post.amount() : Amount();
            if (post.date() < period.from) {
                opening += real;
                return;
            }
            const int month = monthNumber(post.date()) - first;
            if (month < 0 || month >= static_cast<int>(months)) // a date the text order misplaces
                throw store::DataError("Ogiltigt datum: '" + std::string(post.date()) + "'");
            const auto m = static_cast<std::size_t>(month);
            change[m] += real;
            int t = post.transNr();
            t = t >= 1 && t < mainCount ? t : 0;
            int& row = rowOf[static_cast<std::size_t>(t)];
            if (row == -2) {
                const MainTransaction& main = account.main(t);
                row = -1;
                if (counts(flow, main.sign)) {
                    auto [it, added] = index.try_emplace(Key{main.sign, main.name}, rows.size());
                    if (added)
                        rows.push_back({main.name, main.sign, std::vector<MonthCell>(months), {}});
                    row = static_cast<int>(it->second);
                }
            }
            if (row < 0)
                return;
            MonthCell& cell = rows[static_cast<std::size_t>(row)].months[m];
            cell.budgeted += post.budgeted();
            cell.actual += real;
            ++cell.count;
        });
    }

    out.incomeTotal = {"", '+', std::vector<MonthCell>(months), {}};
    out.expenseTotal = {"", '-', std::vector<MonthCell>(months), {}};
    for (MonthRow& row : rows) {
        MonthRow& total = row.sign == '+' ? out.incomeTotal : out.expenseTotal;
        for (std::size_t m = 0; m < months; ++m) {
            addTo(row.total, row.months[m]);
            addTo(total.months[m], row.months[m]);
        }
    }
    auto size = [&](const MonthRow& r) { return out.budget ? r.total.budgeted : r.total.actual; };
    for (char sign : {'+', '-'}) {
        std::vector<MonthRow> part;
        for (MonthRow& row : rows)
            if (row.sign == sign)
                part.push_back(std::move(row));
        sortBySize(part, size);
        std::move(part.begin(), part.end(), std::back_inserter(out.rows));
    }

    out.openingBalance = opening;
    Amount accumulated, balance = opening;
    out.net.resize(months);
    for (std::size_t m = 0; m < months; ++m) {
        addTo(out.incomeTotal.total, out.incomeTotal.months[m]);
        addTo(out.expenseTotal.total, out.expenseTotal.months[m]);
        addTo(out.net[m], out.incomeTotal.months[m]);
        addTo(out.net[m], out.expenseTotal.months[m]);
        addTo(out.netTotal, out.net[m]);
        accumulated += out.net[m].difference();
        out.accumulatedDifference.push_back(accumulated);
        balance += change[m];
        out.closingBalance.push_back(balance);
    }
    return out;
}

} // namespace overview
