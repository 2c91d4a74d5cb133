// The ledgers' passes over the image against the same rules written the plain way: one record at a
// time, every field decoded and encoded again. Random accounts of both kinds, random operations,
// the same bytes and the same outcome after every step.

#include "ledger/BudgetLedger.h"
#include "ledger/Cashbook.h"
#include "store/DateText.h"
#include "support/Halves.h"

#include "fixtures/TempDrive.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <utility>
#include <vector>

using ledger::Outcome;
using ledger::PostResult;
using store::Amount;
using store::Field;

namespace {

using Cash = store::PostRec_Enkel;
using Budg = store::PostRec_Budget;
const std::string Today = "2026-01-20";

// The plain rules. Records are whole strings; a refused operation returns before `recs` changes.
struct Plain {
    bool budget;
    std::vector<std::string> recs; // every record of the file, left-overs after post n included
    int n;

    static std::string_view raw(const std::string& r, Field f) {
        return std::string_view(r).substr(f.offset, f.width);
    }
    static Amount get(const std::string& r, Field f) { return Amount::parseStored(raw(r, f)); }
    static void put(std::string& r, Field f, std::string_view text) {
        std::string padded(text);
        padded.resize(f.width, ' ');
        r.replace(f.offset, f.width, padded);
    }
    static Outcome text(Amount v, bool limited, std::string& out) {
        out = v.amountText();
        return limited && !store::withinAmountLimit(v) ? Outcome::AmountLimit
               : out.size() > 11                       ? Outcome::DoesNotFit
                                                       : Outcome::Done;
    }
    std::vector<Field> balances() const {
        return budget ? std::vector<Field>{Budg::BudgSaldo, Budg::VerklSaldo}
                      : std::vector<Field>{Cash::Saldo};
    }
    std::vector<Field> amounts() const {
        return budget ? std::vector<Field>{Budg::BudgBelopp, Budg::VerklBelopp}
                      : std::vector<Field>{Cash::Belopp};
    }
    std::string image() const {
        std::string all;
        for (const auto& r : recs)
            all += r;
        return all;
    }
    int position(const std::string& date) const {
        for (int k = n; k >= 1; --k)
            if (raw(recs[k - 1], Cash::Datum) != "          " && raw(recs[k - 1], Cash::Datum) <= date)
                return k + 1;
        return 1;
    }

    // Stored balances of posts from..to (1-based in `rs`) moved by the deltas, column by column; the
    // difference follows by the last delta minus the first.
    Outcome shift(std::vector<std::string>& rs, int from, int to, const std::vector<Amount>& d) const {
        std::vector<std::pair<Field, Amount>> columns;
        for (std::size_t c = 0; c < d.size(); ++c)
            columns.emplace_back(balances()[c], d[c]);
        if (budget)
            columns.emplace_back(Budg::DiffSaldo, d[1] - d[0]);
        for (const auto& [f, delta] : columns)
            for (int i = from; i <= to && !delta.isZero(); ++i) {
                std::string t;
                if (const Outcome o =
                        text(get(rs[i - 1], f) + delta, f.offset != Budg::DiffSaldo.offset || !budget, t);
                    o != Outcome::Done)
                    return o;
                put(rs[i - 1], f, t);
            }
        return Outcome::Done;
    }

    PostResult insert(const std::string& date, const std::vector<std::string>& entered) {
        const int p = position(date);
        std::vector<Amount> a;
        std::string own = budget ? std::string(77, ' ') : std::string(43, ' ');
        for (std::size_t c = 0; c < entered.size(); ++c) {
            a.push_back(Amount::parseStored(entered[c]));
            std::string t;
            if (const Outcome o = text(a[c], true, t); o != Outcome::Done)
                return {o, n, 0, 0};
            put(own, amounts()[c], budget ? store::trimField(entered[c]) : t);
        }
        for (std::size_t c = 0; c < a.size(); ++c) {
            std::string t;
            if (const Outcome o = text((p > 1 ? get(recs[p - 2], balances()[c]) : Amount()) + a[c], true, t);
                o != Outcome::Done)
                return {o, n, 0, 0};
            put(own, balances()[c], t);
        }
        if (budget) {
            std::string t;
            if (const Outcome o =
                    text((p > 1 ? get(recs[p - 2], Budg::DiffSaldo) : Amount()) + (a[1] - a[0]), false, t);
                o != Outcome::Done)
                return {o, n, 0, 0};
            put(own, Budg::DiffSaldo, t);
            put(own, Budg::BStatus, date <= Today ? "*" : " ");
        }
        put(own, Cash::Datum, date);
        put(own, Cash::TransNr, "7");
        put(own, budget ? Budg::Reserv : Cash::Reserv, "  ");
        std::vector<std::string> rs = recs;
        if (static_cast<int>(rs.size()) > n)
            rs.erase(rs.begin() + n);
        rs.insert(rs.begin() + (p - 1), own);
        if (const Outcome o = shift(rs, p + 1, n + 1, a); o != Outcome::Done)
            return {o, n, 0, 0};
        recs = rs;
        ++n;
        return {Outcome::Done, n, p, p};
    }

    PostResult remove(int p) {
        std::vector<Amount> minus;
        for (const Field f : amounts())
            minus.push_back(-get(recs[p - 1], f));
        if (n == 1)
            return {Outcome::OnlyPost, 1, 1, 1};
        std::vector<std::string> rs = recs;
        std::string last = rs[n - 1];
        put(last, Cash::Datum, "");
        rs.erase(rs.begin() + (p - 1));
        rs.insert(rs.begin() + (n - 1), last);
        if (const Outcome o = shift(rs, p, n - 1, minus); o != Outcome::Done)
            return {o, n, 0, 0};
        recs = rs;
        --n;
        const int s = p > n ? n : p;
        return {Outcome::Done, n, s, s};
    }

    PostResult change(int p, const std::vector<std::string>& entered) {
        std::vector<std::string> rs = recs;
        bool same = true;
        for (std::size_t c = 0; c < entered.size(); ++c) {
            const std::string_view stored = raw(recs[p - 1], amounts()[c]);
            same = same && (budget ? store::trimField(entered[c]) == store::trimField(stored)
                                   : Amount::parseStored(entered[c]) == Amount::parseStored(stored));
        }
        if (same)
            return {Outcome::NoChange, n, p, p};
        std::vector<Amount> d;
        for (std::size_t c = 0; c < entered.size(); ++c) {
            const Field f = amounts()[c];
            d.push_back(Amount::parseStored(entered[c]) - get(recs[p - 1], f));
            std::string t;
            if (const Outcome o = text(Amount::parseStored(entered[c]), true, t); o != Outcome::Done)
                return {o, n, p, p};
            put(rs[p - 1], f, budget ? store::trimField(entered[c]) : t);
        }
        if (budget)
            put(rs[p - 1], Budg::BStatus, raw(recs[p - 1], Budg::Datum) <= Today ? "*" : " ");
        if (const Outcome o = shift(rs, p, n, d); o != Outcome::Done)
            return {o, n, p, p};
        recs = rs;
        return {Outcome::Done, n, p, p};
    }

    PostResult move(int first, int last, const std::string& date) {
        if (first > last)
            std::swap(first, last);
        const char* status = date <= Today ? "*" : " ";
        if (n < 2) {
            put(recs[0], Cash::Datum, date);
            if (budget)
                put(recs[0], Budg::BStatus, status);
            return {Outcome::Done, n, 1, 1};
        }
        int t = 0;
        for (int k = n; k >= 1 && t == 0; --k)
            if ((k < first || k > last) && raw(recs[k - 1], Cash::Datum) != "          " &&
                raw(recs[k - 1], Cash::Datum) <= date)
                t = k;
        const bool later = t > last;
        const int count = last - first + 1;
        std::vector<std::string> rs = recs;
        std::vector<Amount> sum(amounts().size());
        for (int i = first; i <= last; ++i)
            for (std::size_t c = 0; c < sum.size(); ++c) {
                std::string s;
                const Amount v = get(recs[i - 1], amounts()[c]);
                sum[c] += v;
                if (const Outcome o = text(v, false, s); o != Outcome::Done)
                    return {o, n, 0, 0};
                put(rs[i - 1], amounts()[c], s);
            }
        const int from = later ? last + 1 : t + 1, to = later ? t : first - 1;
        std::vector<Amount> delta;
        for (const Amount s : sum)
            delta.push_back(later ? -s : s);
        bool moves = false;
        for (const Amount d : delta)
            moves = moves || !d.isZero();
        for (int i = from; i <= to && moves; ++i) {
            std::vector<Amount> v;
            for (std::size_t c = 0; c < delta.size(); ++c) {
                v.push_back(get(recs[i - 1], balances()[c]) + delta[c]);
                std::string s;
                if (const Outcome o = text(v[c], true, s); o != Outcome::Done && !delta[c].isZero())
                    return {o, n, 0, 0};
                if (!delta[c].isZero())
                    put(rs[i - 1], balances()[c], s);
            }
            std::string s;
            if (budget && text(v[1] - v[0], false, s) != Outcome::Done)
                return {Outcome::DoesNotFit, n, 0, 0};
            if (budget && Amount::parse(raw(recs[i - 1], Budg::DiffSaldo)) != v[1] - v[0])
                put(rs[i - 1], Budg::DiffSaldo, s);
        }
        // The moved posts run on from post t with its new balances.
        std::vector<Amount> running;
        for (const Field f : balances())
            running.push_back(t >= 1 ? get(rs[t - 1], f) : Amount());
        for (int i = first; i <= last; ++i) {
            std::string& r = rs[i - 1];
            for (std::size_t c = 0; c < running.size(); ++c) {
                running[c] += get(r, amounts()[c]);
                std::string s;
                if (const Outcome o = text(running[c], true, s); o != Outcome::Done)
                    return {o, n, 0, 0};
                put(r, balances()[c], s);
            }
            std::string s;
            if (budget && text(running[1] - running[0], false, s) != Outcome::Done)
                return {Outcome::DoesNotFit, n, 0, 0};
            if (budget) {
                put(r, Budg::DiffSaldo, s);
                put(r, Budg::BStatus, status);
            }
            put(r, Cash::Datum, date);
            put(r, Cash::TransNr, std::string(store::trimField(raw(r, Cash::TransNr))));
            const Field sub = budget ? Budg::SubTransNr : Cash::SubTransNr;
            put(r, sub, std::string(store::trimField(raw(r, sub))));
            put(r, budget ? Budg::Reserv : Cash::Reserv, "  ");
        }
        std::vector<std::string> block(rs.begin() + (first - 1), rs.begin() + last);
        rs.erase(rs.begin() + (first - 1), rs.begin() + last);
        const int at = later ? t - count : t;
        rs.insert(rs.begin() + at, block.begin(), block.end());
        recs = rs;
        return {Outcome::Done, n, later ? first : t + 1, at + 1};
    }

    Outcome recount(int from) {
        std::vector<std::string> rs = recs;
        std::vector<Amount> running;
        for (const Field f : balances())
            running.push_back(from > 1 ? get(rs[from - 2], f) : Amount());
        for (int i = from; i <= n; ++i) {
            std::vector<std::pair<Field, Amount>> values;
            for (std::size_t c = 0; c < running.size(); ++c)
                values.emplace_back(balances()[c], running[c] += get(rs[i - 1], amounts()[c]));
            if (budget)
                values.emplace_back(Budg::DiffSaldo, running[1] - running[0]);
            for (const auto& [f, v] : values) {
                const bool changes = Amount::parse(raw(rs[i - 1], f)) != v;
                std::string s;
                if (const Outcome o = text(v, f.offset != Budg::DiffSaldo.offset || !budget, s);
                    o != Outcome::Done && (changes || budget))
                    return o;
                if (changes)
                    put(rs[i - 1], f, s);
            }
        }
        recs = rs;
        return Outcome::Done;
    }
};

// Amount texts as people and older files leave them: whole, with decimals, trailing zeros,
// now and then one near the amount limit or with four decimals.
std::string amountText(std::mt19937& rng, bool entered) {
    std::uniform_int_distribution<int> pick(0, 19);
    const int kind = pick(rng);
    std::int64_t units = std::uniform_int_distribution<std::int64_t>(-60'000'000, 60'000'000)(rng) * 100;
    if (kind == 0)
        units = std::uniform_int_distribution<std::int64_t>(90'000'000, 99'999'999)(rng) * 10000;
    else if (kind == 1)
        units = std::uniform_int_distribution<std::int64_t>(-99'999'999, 99'999'999)(rng);
    else if (kind == 2)
        units = 0;
    if (pick(rng) < 8)
        units = -units;
    std::string t = Amount::fromUnits(units).amountText();
    if (entered && kind == 3 && t.find(',') != std::string::npos && t.size() < 11)
        t += "0";
    return t.size() > 11 ? "0" : t;
}

// A random account of n posts with consistent balances, a few of them spelled or stored otherwise.
Plain account(std::mt19937& rng, bool budget) {
    Plain p{budget, {}, std::uniform_int_distribution<int>(1, 30)(rng)};
    std::vector<Amount> running(budget ? 2 : 1);
    std::vector<int> days(static_cast<std::size_t>(p.n));
    for (int& d : days)
        d = std::uniform_int_distribution<int>(0, 40)(rng);
    std::sort(days.begin(), days.end());
    for (int i = 0; i < p.n; ++i) {
        std::string r(budget ? 77 : 43, ' ');
        Plain::put(r, Cash::Datum,
                   store::dateText(store::stepDay({2026, 1, 1}, days[static_cast<std::size_t>(i)])));
        Plain::put(r, Cash::TransNr, std::to_string(i % 9 + 1));
        // A stored balance now and then a krona off, or its value spelled with a leading zero.
        const auto spelled = [&](Amount v) {
            const int odd = std::uniform_int_distribution<int>(0, 15)(rng);
            const std::string t = (odd == 0 ? v + Amount::whole(1) : v).amountText();
            return odd == 1 && t.size() < 11 && !v.isNegative() ? "0" + t : t;
        };
        std::string a = amountText(rng, true);
        for (std::size_t c = 0; c < running.size(); ++c) {
            if (c == 1 && i % 4 == 0) // as much spent as budgeted: the difference keeps its value
                a = store::trimField(Plain::raw(r, Budg::BudgBelopp));
            else if (c == 1)
                a = amountText(rng, true);
            if (!store::fitsAmountField(running[c] + Amount::parseStored(a)))
                a = "0";
            running[c] += Amount::parseStored(a);
            Plain::put(r, p.amounts()[c], a);
            Plain::put(r, p.balances()[c], spelled(running[c]));
        }
        if (budget) {
            Plain::put(r, Budg::DiffSaldo, spelled(running[1] - running[0]));
            Plain::put(r, Budg::BStatus, i % 3 ? "*" : " ");
        }
        if (i % 4 == 1)
            r.replace(budget ? 75 : 41, 2, std::string(2, '\0'));
        p.recs.push_back(r);
    }
    for (int k = std::uniform_int_distribution<int>(0, 2)(rng); k > 0; --k)
        p.recs.push_back(std::string(budget ? 77 : 43, ' '));
    return p;
}

TEST(PlainRules, RandomOperationsGiveTheSameBytesAsThePlainRules) {
    // Every pass over more than a few posts is split in two halves, as long accounts have them; every
    // other pair of rounds runs the halves in turn, the second first.
    const struct SplitShortRuns {
        int saved = std::exchange(support::longRun, 3);
        ~SplitShortRuns() {
            support::longRun = saved;
            support::halvesInTurn = false;
        }
    } split;
    std::mt19937 rng(20261206);
    const auto upTo = [&](int high) { return std::uniform_int_distribution<int>(1, high)(rng); };
    for (int round = 0; round < 400; ++round) {
        const bool budget = round % 2 == 1;
        support::halvesInTurn = round % 4 >= 2;
        Plain plain = account(rng, budget);
        TempDrive drive;
        drive.writeFile("KontoData", plain.image());
        store::RecordFile file(drive / "KontoData", budget ? 77 : 43);
        int n = plain.n;
        for (int step = 0; step < 25; ++step) {
            const std::string date = store::dateText(store::stepDay({2026, 1, 1}, upTo(44) - 3));
            const int p = upTo(n);
            std::vector<std::string> texts{amountText(rng, true), amountText(rng, true)};
            if (!budget)
                texts.pop_back();
            if (upTo(5) == 1) // the same amounts again
                for (std::size_t c = 0; c < texts.size(); ++c)
                    texts[c] = store::trimField(
                        Plain::raw(plain.recs[static_cast<std::size_t>(p - 1)], plain.amounts()[c]));
            const int op = upTo(5);
            const int q = upTo(n);
            SCOPED_TRACE("round " + std::to_string(round) + " step " + std::to_string(step) + " op " +
                         std::to_string(op));
            PostResult expected, got;
            if (op == 1)
                expected = plain.insert(date, texts);
            else if (op == 2)
                expected = plain.remove(p);
            else if (op == 3)
                expected = plain.change(p, texts);
            else if (op == 4)
                expected = plain.move(p, q, date);
            else
                expected.outcome = plain.recount(p);
            if (budget) {
                ledger::BudgetLedger book(file, n, Today);
                got = op == 1   ? book.insert({date, -7, 0, texts[0], texts[1]})
                      : op == 2 ? book.remove(p)
                      : op == 3 ? book.changeAmounts(p, texts[0], texts[1])
                      : op == 4 ? book.move(p, q, date)
                                : PostResult{book.recount(p)};
            } else {
                ledger::Cashbook book(file, n);
                got = op == 1   ? book.insert({date, -7, 0, Amount::parseStored(texts[0])})
                      : op == 2 ? book.remove(p)
                      : op == 3 ? book.changeAmount(p, Amount::parseStored(texts[0]))
                      : op == 4 ? book.move(p, q, date)
                                : PostResult{book.recount(p)};
            }
            ASSERT_EQ(got.outcome, expected.outcome);
            if (op != 5) {
                ASSERT_EQ(got.postCount, expected.postCount);
                ASSERT_EQ(got.recountStart, expected.recountStart);
                ASSERT_EQ(got.position, expected.position);
            }
            ASSERT_EQ(file.image(), plain.image());
            n = plain.n;
        }
    }
}

} // namespace
