#include "stats/Diagram.h"

#include <algorithm>
#include <cmath>

namespace stats {

using namespace diagram;

std::int64_t fullScale(std::int64_t largest) {
    // 10, 20, 50, 100, ...: each decade's steps of 1, 2 and 5.
    std::int64_t decade = 10;
    for (;;) {
        for (const std::int64_t f : {1, 2, 5})
            if (largest <= decade * f)
                return decade * f;
        decade *= 10;
    }
}

int columnsPerPoint(int entries) {
    if (entries >= 17)
        return 2;
    if (entries >= 13)
        return 3;
    if (entries >= 11)
        return 4;
    if (entries >= 9)
        return 5;
    static constexpr int few[] = {25, 25, 25, 16, 12, 10, 8, 7, 6}; // 0 ... 8 entries
    return few[std::max(entries, 0)];
}

Diagram::Diagram(const std::vector<StatRow>& rows, bool expense)
    : expense_(expense), lastRow_(static_cast<int>(rows.size())) {
    rows_.reserve(rows.size());
    int n = 0;
    for (const StatRow& r : rows)
        rows_.push_back({r.datum, r.value.abs(), ++n});
    DiagramSkapa();
}

void Diagram::collect(int from) {
    entries_.clear();
    largest_ = 0;
    sum_ = store::Amount();
    for (int r = from; r <= lastRow_ && static_cast<int>(entries_.size()) < PageSize; ++r) {
        const DiagramEntry& e = rows_[static_cast<std::size_t>(r - 1)];
        entries_.push_back(e);
        largest_ = std::max(largest_, e.amount.roundedWholeHalfEven());
        sum_ += e.amount;
    }
}

void Diagram::DiagramSkapa() {
    collect(cursor_);
    const int next = cursor_ + static_cast<int>(entries_.size());
    const bool full = static_cast<int>(entries_.size()) == PageSize;
    if (full && next <= lastRow_) {
        cursor_ = next;
        laterPage_ = true;
        nextPage_ = true;
        pagerVisible_ = true;
        return;
    }
    nextPage_ = false;
    pagerVisible_ = full || laterPage_;
    // A short last page would show only the rest: it shows the last full page's worth instead.
    if (!full && laterPage_)
        collect(lastRow_ - PageSize + 1);
    cursor_ = 1;
    laterPage_ = false;
}

std::string Diagram::yearText() const {
    if (entries_.empty())
        return {};
    const std::string first = entries_.front().datum.substr(0, 4);
    const std::string last = entries_.back().datum.substr(0, 4);
    return "År " + first + (first != last ? " - " + last : std::string());
}

namespace {
// Twips above the bottom line for units (1/10000) of an amount on a grid of the given full scale;
// geometry, so a double is exact enough.
int heightOf(long double units, std::int64_t scale) {
    return static_cast<int>(
        std::lround(units * (Bottom - Top) / (static_cast<long double>(scale) * store::Amount::Scale)));
}
} // namespace

int Diagram::yOf(store::Amount amount) const {
    return Bottom - heightOf(static_cast<long double>(amount.units()), scale());
}

int Diagram::meanY() const {
    if (entries_.empty())
        return Bottom;
    return Bottom -
           heightOf(static_cast<long double>(sum_.units()) / static_cast<long double>(entries_.size()),
                    scale());
}

DiagramDrawing Diagram::drawing() const {
    DiagramDrawing d;
    d.colour = colour();
    for (int i = 0; i < Lines; ++i)
        d.lines.push_back({Left, Top + i * RowHeight, Right, Top + i * RowHeight});
    for (int c = 0; c <= Columns; ++c) {
        const int x = Left + c * ColumnWidth;
        d.lines.push_back({x, Top, x, Bottom});
        if (c % 10 == 0) // every tenth line doubled, to count columns by
            d.lines.push_back({x + 15, Top, x + 15, Bottom});
    }
    const std::int64_t full = scale();
    d.texts.push_back({ScaleLeft, Top - 150, std::to_string(full)});
    d.texts.push_back({ScaleLeft, Top + 5 * RowHeight - 150, std::to_string(full / 2)});
    const int step = this->step();
    int previousX = 0, previousY = 0;
    for (std::size_t i = 0; i < entries_.size(); ++i) {
        const DiagramEntry& e = entries_[i];
        const int x = columnCentre(1 + static_cast<int>(i) * step);
        const int y = yOf(e.amount);
        d.texts.push_back({x, Bottom - 100, "|"});
        d.texts.push_back(
            {x, Bottom + 75, e.datum.size() >= 5 ? e.datum.substr(e.datum.size() - 5) : e.datum});
        if (i > 0)
            d.lines.push_back({previousX, previousY, x, y, DiagramLine::Stroke::Curve});
        previousX = x;
        previousY = y;
    }
    if (!entries_.empty()) {
        const int y = meanY();
        d.lines.push_back({Left, y, Right, y, DiagramLine::Stroke::Mean});
        d.texts.push_back({510, y - 150, "MV"});
    }
    return d;
}

std::string diagramTitle(std::string_view transaction, std::string_view account, const PeriodParts& p) {
    return "Transaktion: '" + std::string(transaction) + "' i konto: " + std::string(account) +
           " under tidsperiod " + p.startYear + "-" + p.startMonth + "-" + p.startDay + " - " + p.endYear +
           "-" + p.endMonth + "-" + p.endDay;
}

} // namespace stats
