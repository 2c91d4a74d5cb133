#pragma once

// The overview's charts as lists of boxes, lines and texts, laid out in points (1/72 inch) for a
// given size. The window and the printer only replay them, each at its own resolution, and the
// window's tooltips and clicks come from the same list.

#include "overview/Search.h"
#include "overview/Sums.h"
#include "store/Amount.h"

#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace overview {

struct Rgb {
    int r = 0, g = 0, b = 0;
    friend bool operator==(const Rgb&, const Rgb&) = default;
};

namespace colour {
inline constexpr Rgb Expense{200, 30, 30};
inline constexpr Rgb Income{30, 70, 200};
inline constexpr Rgb Budgeted{175, 175, 175};
inline constexpr Rgb Balance{20, 20, 20};
inline constexpr Rgb Difference{0, 140, 60};
inline constexpr Rgb Grid{225, 225, 225};
inline constexpr Rgb Ink{0, 0, 0};
} // namespace colour

struct ChartBox {
    double x = 0, y = 0, w = 0, h = 0;
    bool contains(double px, double py) const { return px >= x && px <= x + w && py >= y && py <= y + h; }
};

// A bar, or a mark on a series line: what it stands for, its tooltip and the posts behind it.
struct ChartBar {
    ChartBox box;
    Rgb fill;
    std::string series;   // as the legend names it
    std::string category; // the transaction or the month
    store::Amount value;
    std::string tip;
    std::optional<SearchQuery> posts;
};

struct ChartLine {
    std::vector<std::pair<double, double>> points;
    Rgb colour;
    double width = 0.5;
    std::string series = {};                // empty for the axes and the grid
    std::vector<store::Amount> values = {}; // a series' values, one a point
};

enum class Anchor { Left, Centre, Right };

// A text placed by its vertical centre and, by its anchor, its left edge, centre or right edge.
struct ChartText {
    double x = 0, y = 0;
    std::string text;
    double size = 8; // points
    Anchor anchor = Anchor::Left;
    Rgb colour = colour::Ink;
    bool bold = false;
};

struct Chart {
    double width = 0, height = 0;
    std::vector<ChartLine> grid; // under the bars
    std::vector<ChartBar> bars;
    std::vector<ChartLine> lines; // over the bars
    std::vector<ChartBar> marks;  // the points of the lines
    std::vector<std::pair<ChartBox, Rgb>> legendBoxes;
    std::vector<ChartText> texts;

    // The mark or bar under a point; null when there is none.
    const ChartBar* at(double x, double y) const;
};

// "1 234,50 kr"; a negative amount with "-" in front.
std::string amountWithCurrency(store::Amount a);

// Every main transaction of the period as a horizontal bar, the expenses red and the income blue,
// each with its amount beside it; a value axis below and a legend above. The chart is at least
// `height` high and taller when the bars need it.
Chart transactionChart(const PerTransaction& report, const Period& period, double width, double height);

// Budget form: budgeted and actual net amounts side by side each month, with the accumulated
// difference as a line. Otherwise income and expenses side by side, with the closing balance as a
// line.
Chart monthChart(const MonthReport& report, const Period& period, Flow flow, double width, double height);

} // namespace overview
