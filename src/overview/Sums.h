#pragma once

// Where the money went: sums per main transaction (sub-transactions folded under it) and per
// month, for one account or several. Transactions of the same name and sign in different accounts
// are one row. A budget account's actual amounts are those of its confirmed posts only: an
// unconfirmed post's actual field holds a copy of its budget until it is confirmed, so it is no
// real money yet. Its budgeted amounts are those of every post.

#include "overview/Selection.h"
#include "store/Amount.h"

#include <string>
#include <vector>

namespace overview {

// Parts of a whole in hundredths of a percent, rounded so that they add up to exactly `whole`
// (the largest remainders get the odd hundredths). All zero when the values sum to zero.
std::vector<int> apportion(const std::vector<store::Amount>& values, int whole);

struct TransactionSum {
    std::string name; // UTF-8; a sub-transaction row of posts without one has an empty name
    char sign = ' ';
    store::Amount sum; // signed, as stored: expenses negative
    int count = 0;
    int share = 0;                    // hundredths of a percent of the period's expenses or income
    std::vector<TransactionSum> subs; // empty when no post names a sub-transaction
};

struct PerTransaction {
    // Each sorted by size (the largest amount first, then by name); shares add up to 100 %.
    std::vector<TransactionSum> expenses, income;
    // Transactions without a sign, apart from the sums and without shares.
    std::vector<TransactionSum> unsigned_;
    store::Amount expenseTotal, incomeTotal;
    int expenseCount = 0, incomeCount = 0;
};

PerTransaction perTransaction(const std::vector<OpenAccount>& accounts, const Period& period, Flow flow);

struct MonthCell {
    store::Amount budgeted, actual;
    int count = 0;
    store::Amount difference() const { return actual - budgeted; }
};

// An expense whose actual amount exceeds its budget, or an income that falls short of it.
bool offBudget(char sign, const MonthCell& cell);

struct MonthRow {
    std::string name;
    char sign = ' ';
    std::vector<MonthCell> months;
    MonthCell total;
};

struct MonthReport {
    // Budget form when every account is a budget account: budgeted against actual. Otherwise the
    // actual amounts only (a budget account among cash books gives its confirmed posts).
    bool budget = false;
    std::vector<std::string> months; // "yyyy-mm", every month the period touches
    // Income rows first, then expenses, each by size (the budget of the whole period in the budget
    // form, else the actual amount).
    std::vector<MonthRow> rows;
    MonthRow incomeTotal, expenseTotal; // per month
    std::vector<MonthCell> net;         // income + expenses per month
    MonthCell netTotal;
    // The accumulated difference (actual - budgeted) of the net from the period's start.
    std::vector<store::Amount> accumulatedDifference;
    // The balance of all selected accounts at each month's end (or the period's end): every post
    // up to then, the account's start included; a budget account's confirmed posts.
    std::vector<store::Amount> closingBalance;
    store::Amount openingBalance; // the same before the period's first day
};

MonthReport monthByMonth(const std::vector<OpenAccount>& accounts, const Period& period, Flow flow);

} // namespace overview
