#include "overview/Chart.h"

#include <algorithm>
#include <cmath>

namespace overview {

namespace {

using store::Amount;

constexpr double LegendY = 12;
constexpr double PlotTop = 30;
constexpr double TextSize = 8;

double kronor(Amount a) {
    return static_cast<double>(a.units()) / static_cast<double>(Amount::Scale);
}

// A value axis from lo to hi in steps of 1, 2 or 5 times a power of ten, about five of them.
struct Axis {
    double lo = 0, hi = 1, step = 1;
};

Axis axisFor(double lo, double hi) {
    lo = std::min(lo, 0.0);
    hi = std::max(hi, 0.0);
    if (hi - lo < 1)
        hi = lo + 1;
    const double raw = (hi - lo) / 5;
    const double power = std::pow(10.0, std::floor(std::log10(raw)));
    double step = power;
    for (double f : {1.0, 2.0, 5.0, 10.0})
        if (f * power >= raw) {
            step = f * power;
            break;
        }
    return {std::floor(lo / step) * step, std::ceil(hi / step) * step, step};
}

std::string wholeKronor(double v) {
    return store::formatPattern(Amount::whole(std::llround(v)), "### ### ##0");
}

std::string shareText(int hundredths) {
    std::string s = std::to_string(hundredths / 100) + ",";
    s += static_cast<char>('0' + hundredths % 100 / 10);
    s += static_cast<char>('0' + hundredths % 10);
    return s + " %";
}

void legend(Chart& chart, double x, const std::vector<std::pair<std::string, Rgb>>& entries) {
    for (const auto& [name, rgb] : entries) {
        chart.legendBoxes.push_back({{x, LegendY - 4, 8, 8}, rgb});
        chart.texts.push_back({x + 11, LegendY, name, TextSize, Anchor::Left});
        x += 24 + 5.5 * static_cast<double>(name.size());
    }
}

void emptyText(Chart& chart) {
    chart.texts.push_back(
        {chart.width / 2, chart.height / 2, "Inga poster under perioden", 10, Anchor::Centre});
}

// The first and last day of a month ("yyyy-mm") that lie inside the period.
std::pair<std::string, std::string> daysOf(const std::string& month, const Period& period) {
    return {std::max(month + "-01", period.from), std::min(month + "-31", period.to)};
}

} // namespace

const ChartBar* Chart::at(double x, double y) const {
    for (const ChartBar& m : marks)
        if (m.box.contains(x, y))
            return &m;
    for (const ChartBar& b : bars)
        if (b.box.contains(x, y))
            return &b;
    return nullptr;
}

std::string amountWithCurrency(Amount a) {
    return store::displayAmount(a) + " kr";
}

Chart transactionChart(const PerTransaction& report, const Period& period, double width, double height) {
    std::vector<const TransactionSum*> rows;
    for (const auto* group : {&report.expenses, &report.income})
        for (const TransactionSum& s : *group)
            rows.push_back(&s);
    Chart chart;
    chart.width = width;
    chart.height = height;
    if (rows.empty()) {
        emptyText(chart);
        return chart;
    }
    const double bottom = 26;
    const double rowHeight =
        std::clamp((height - PlotTop - bottom) / static_cast<double>(rows.size()), 11.0, 24.0);
    chart.height = std::max(height, PlotTop + rowHeight * static_cast<double>(rows.size()) + bottom);
    const double left = std::clamp(width * 0.3, 60.0, 170.0);
    const double plotWidth = std::max(20.0, width - left - 80);
    const double axisY = PlotTop + rowHeight * static_cast<double>(rows.size());

    double largest = 0;
    for (const TransactionSum* s : rows)
        largest = std::max(largest, kronor(s->sum.abs()));
    const Axis axis = axisFor(0, largest);
    const auto xOf = [&](double v) { return left + v / axis.hi * plotWidth; };
    for (double v = axis.step; v <= axis.hi + axis.step / 2; v += axis.step)
        chart.grid.push_back({{{xOf(v), PlotTop}, {xOf(v), axisY}}, colour::Grid});
    for (double v = 0; v <= axis.hi + axis.step / 2; v += axis.step)
        chart.texts.push_back({xOf(v), axisY + 9, wholeKronor(v), TextSize - 1, Anchor::Centre});

    const double font = std::min(TextSize, rowHeight * 0.7);
    double y = PlotTop;
    for (const TransactionSum* s : rows) {
        const bool expense = s->sign == '-';
        const std::string series = expense ? "Utgifter" : "Inkomster";
        const double v = kronor(s->sum.abs());
        SearchQuery q;
        q.main = s->name;
        q.flow = expense ? Flow::Expenses : Flow::Income;
        q.dateFrom = period.from;
        q.dateTo = period.to;
        q.confirmedOnly = true;
        chart.bars.push_back({{left, y + rowHeight * 0.15, xOf(v) - left, rowHeight * 0.7},
                              expense ? colour::Expense : colour::Income,
                              series,
                              s->name,
                              s->sum,
                              s->name + ": " + amountWithCurrency(s->sum) + " (" + shareText(s->share) + ")",
                              q});
        chart.texts.push_back({left - 4, y + rowHeight / 2, s->name, font, Anchor::Right});
        chart.texts.push_back(
            {xOf(v) + 3, y + rowHeight / 2, store::displayAmount(s->sum), font, Anchor::Left});
        y += rowHeight;
    }
    chart.lines.push_back({{{left, PlotTop}, {left, axisY}, {left + plotWidth, axisY}}, colour::Ink});
    std::vector<std::pair<std::string, Rgb>> entries;
    if (!report.expenses.empty())
        entries.emplace_back("Utgifter", colour::Expense);
    if (!report.income.empty())
        entries.emplace_back("Inkomster", colour::Income);
    legend(chart, left, entries);
    return chart;
}

Chart monthChart(const MonthReport& report, const Period& period, Flow flow, double width, double height) {
    Chart chart;
    chart.width = width;
    chart.height = height;
    const std::size_t months = report.months.size();
    if (months == 0) {
        emptyText(chart);
        return chart;
    }
    struct Series {
        std::string name;
        Rgb fill;
        Flow flow;
        bool confirmedOnly;
        std::vector<Amount> values;
    };
    std::vector<Series> series;
    std::string lineName;
    std::vector<Amount> lineValues;
    if (report.budget) {
        // An expense report is shown the way it is read: money spent upwards, and the line
        // above zero where more was spent than budgeted.
        const bool flip = flow == Flow::Expenses;
        const auto signedValue = [flip](Amount a) { return flip ? -a : a; };
        Series budgeted{"Budget", colour::Budgeted, flow, false, {}};
        Series actual{"Verkligt", flow == Flow::Income ? colour::Income : colour::Expense, flow, true, {}};
        if (flow == Flow::Both)
            actual.fill = colour::Income;
        for (const MonthCell& c : report.net) {
            budgeted.values.push_back(signedValue(c.budgeted));
            actual.values.push_back(signedValue(c.actual));
        }
        series = {budgeted, actual};
        lineName = "Ackumulerad differens";
        for (Amount a : report.accumulatedDifference)
            lineValues.push_back(signedValue(a));
    } else {
        if (flow != Flow::Expenses) {
            Series income{"Inkomster", colour::Income, Flow::Income, true, {}};
            for (const MonthCell& c : report.incomeTotal.months)
                income.values.push_back(c.actual);
            series.push_back(income);
        }
        if (flow != Flow::Income) {
            Series expenses{"Utgifter", colour::Expense, Flow::Expenses, true, {}};
            for (const MonthCell& c : report.expenseTotal.months)
                expenses.values.push_back(c.actual.abs());
            series.push_back(expenses);
        }
        lineName = "Utgående saldo";
        lineValues = report.closingBalance;
    }

    double lo = 0, hi = 0;
    for (const Series& s : series)
        for (Amount a : s.values) {
            lo = std::min(lo, kronor(a));
            hi = std::max(hi, kronor(a));
        }
    for (Amount a : lineValues) {
        lo = std::min(lo, kronor(a));
        hi = std::max(hi, kronor(a));
    }
    const Axis axis = axisFor(lo, hi);
    const double left = 62, bottom = 28;
    const double plotWidth = std::max(20.0, width - left - 12);
    const double plotHeight = std::max(20.0, height - PlotTop - bottom);
    const auto yOf = [&](double v) { return PlotTop + (axis.hi - v) / (axis.hi - axis.lo) * plotHeight; };
    for (double v = axis.lo; v <= axis.hi + axis.step / 2; v += axis.step) {
        chart.grid.push_back({{{left, yOf(v)}, {left + plotWidth, yOf(v)}}, colour::Grid});
        chart.texts.push_back({left - 4, yOf(v), wholeKronor(v), TextSize - 1, Anchor::Right});
    }

    const double group = plotWidth / static_cast<double>(months);
    const double barWidth = std::min(36.0, group * 0.8 / static_cast<double>(series.size()));
    const std::size_t labelEvery = std::max<std::size_t>(1, static_cast<std::size_t>(std::ceil(40 / group)));
    ChartLine line{
        {}, lineName == "Utgående saldo" ? colour::Balance : colour::Difference, 1.5, lineName, lineValues};
    for (std::size_t m = 0; m < months; ++m) {
        const std::string& month = report.months[m];
        const auto [from, to] = daysOf(month, period);
        const double centre = left + group * (static_cast<double>(m) + 0.5);
        const double x0 = centre - barWidth * static_cast<double>(series.size()) / 2;
        for (std::size_t i = 0; i < series.size(); ++i) {
            const Series& s = series[i];
            const double v = kronor(s.values[m]);
            const double top = std::min(yOf(v), yOf(0)), bar = std::abs(yOf(v) - yOf(0));
            SearchQuery q;
            q.flow = s.flow;
            q.dateFrom = from;
            q.dateTo = to;
            q.confirmedOnly = s.confirmedOnly;
            chart.bars.push_back({{x0 + barWidth * static_cast<double>(i), top, barWidth, bar},
                                  s.fill,
                                  s.name,
                                  month,
                                  s.values[m],
                                  month + " " + s.name + ": " + amountWithCurrency(s.values[m]),
                                  q});
        }
        if (m % labelEvery == 0)
            chart.texts.push_back({centre, PlotTop + plotHeight + 10, month, TextSize - 1, Anchor::Centre});
        if (m < lineValues.size()) {
            const double y = yOf(kronor(lineValues[m]));
            line.points.emplace_back(centre, y);
            chart.marks.push_back({{centre - 2.5, y - 2.5, 5, 5},
                                   line.colour,
                                   lineName,
                                   month,
                                   lineValues[m],
                                   month + " " + lineName + ": " + amountWithCurrency(lineValues[m]),
                                   {}});
        }
    }
    chart.lines.push_back({{{left, PlotTop}, {left, PlotTop + plotHeight}}, colour::Ink});
    chart.lines.push_back({{{left, yOf(0)}, {left + plotWidth, yOf(0)}}, colour::Ink});
    chart.lines.push_back(std::move(line));
    std::vector<std::pair<std::string, Rgb>> entries;
    for (const Series& s : series)
        entries.emplace_back(s.name, s.fill);
    entries.emplace_back(lineName, chart.lines.back().colour);
    legend(chart, left, entries);
    return chart;
}

} // namespace overview
