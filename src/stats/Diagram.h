#pragma once

// The diagram of a transaction's statistics: one point per hit in date order, at most 25 points a
// page, on a grid of 50 columns and 11 lines with a value scale, the dates under the points, the
// years in a label and a line at the mean value. Everything is laid out in twips inside the
// picture area; a window or a printer only replays the drawing.

#include "stats/Period.h"
#include "stats/Statistics.h"
#include "store/Amount.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace stats {

namespace diagram {
inline constexpr int Left = 840;
inline constexpr int ColumnWidth = 220;
inline constexpr int Columns = 50;
inline constexpr int Right = Left + Columns * ColumnWidth; // 11840
inline constexpr int Top = 540;
inline constexpr int RowHeight = 330;
inline constexpr int Lines = 11;
inline constexpr int Bottom = Top + (Lines - 1) * RowHeight; // 3840
inline constexpr int PageSize = 25;
// The scale values stand right of the grid's doubled right edge (Right + 15), a gap clear of it: at
// Right itself a value's first digit runs into that second line.
inline constexpr int ScaleLeft = Right + 75;
// Room the picture needs: the scale labels right of the grid and the dates below it.
inline constexpr int PictureWidth = 12800;
inline constexpr int PictureHeight = 4200;

// x of the centre of column c (1 ... 50).
constexpr int columnCentre(int c) {
    return Left + ColumnWidth / 2 + (c - 1) * ColumnWidth;
}
} // namespace diagram

// The full-scale value for a page whose largest amount, rounded to a whole number, is m: the
// smallest of 10, 20, 50, 100, 200, 500, ... that is not below m. Below 1 it is 10; the 1-2-5
// series goes on past 100 000 so no point leaves the grid.
std::int64_t fullScale(std::int64_t largest);
// How many columns apart the points of a page of n entries lie; n points never need more than
// the 50 columns. A single point stands in column 1.
int columnsPerPoint(int entries);

struct DiagramEntry {
    std::string datum;    // "yyyy-mm-dd" as stored
    store::Amount amount; // absolute value
    int row = 0;          // the statistics row (1-based)
};

struct Rgb {
    int r = 0, g = 0, b = 0;
    friend bool operator==(const Rgb&, const Rgb&) = default;
};
inline constexpr Rgb Black{0, 0, 0};
inline constexpr Rgb Red{255, 0, 0};
inline constexpr Rgb Blue{0, 0, 255};

// What the picture shows, in twips. A text's position is its top-left corner. Only the grid is
// black: the curve, the mean line and every text (scale, ticks, dates, "MV") are in the colour of
// the transaction.
struct DiagramLine {
    enum class Stroke { Grid, Curve, Mean };
    int x1, y1, x2, y2;
    Stroke stroke = Stroke::Grid;
};
struct DiagramText {
    int x, y;
    std::string text;
};
struct DiagramDrawing {
    std::vector<DiagramLine> lines;
    std::vector<DiagramText> texts;
    Rgb colour;
};

// The paging and the page state. Constructing it is the setup: the cursor at row 1 and the
// first page collected.
class Diagram {
public:
    // rows: the statistics table; expense: the transaction's sign is "-" (a red line).
    Diagram(const std::vector<StatRow>& rows, bool expense);

    // Collects the next page: after a full page with rows left, the next 25; when the rows run
    // out on a later page, the last 25 rows instead; after the last page, the first again.
    void DiagramSkapa();

    const std::vector<DiagramEntry>& entries() const { return entries_; }
    std::int64_t largest() const { return largest_; }
    store::Amount sum() const { return sum_; }
    std::int64_t scale() const { return fullScale(largest_); }
    int step() const { return columnsPerPoint(static_cast<int>(entries_.size())); }
    // The next-page button: hidden on a first page that holds every row; else "Nästa" or "Från början".
    bool pagerVisible() const { return pagerVisible_; }
    std::string_view pagerCaption() const { return nextPage_ ? "Nästa" : "Från början"; }
    int cursor() const { return cursor_; }
    Rgb colour() const { return expense_ ? Red : Blue; }
    // "År 2011" or "År 2011 - 2012".
    std::string yearText() const;
    // y of the mean line.
    int meanY() const;
    // y of an amount on the page's scale.
    int yOf(store::Amount amount) const;
    DiagramDrawing drawing() const;

private:
    void collect(int from);

    std::vector<DiagramEntry> rows_;
    bool expense_;
    int lastRow_;
    int cursor_ = 1;
    bool laterPage_ = false;
    std::vector<DiagramEntry> entries_;
    std::int64_t largest_ = 0;
    store::Amount sum_;
    bool pagerVisible_ = false;
    bool nextPage_ = false;
};

// "Transaktion: '<name>' i konto: <account> under tidsperiod yyyy-mm-dd - yyyy-mm-dd" (UTF-8).
std::string diagramTitle(std::string_view transaction, std::string_view account, const PeriodParts& period);

} // namespace stats
