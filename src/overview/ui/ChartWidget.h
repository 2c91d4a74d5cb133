#pragma once

#include "overview/Chart.h"

#include <QWidget>

#include <functional>
#include <optional>

class QPainter;

namespace overview {

// Replays a chart on a painter whose device has the given logical DPI, scaled by `zoom`: the
// window and a printed page share it.
void paintChart(QPainter& painter, const Chart& chart, double dpiX, double dpiY, double zoom = 1.0);

// A chart laid out anew for the widget's size whenever it changes. The tooltip of a bar or a
// line's point is the model's; a click on a bar hands on the posts behind it.
class ChartWidget : public QWidget {
    Q_OBJECT
public:
    // Builds the chart for a size in points.
    using Layout = std::function<Chart(double width, double height)>;

    explicit ChartWidget(QWidget* parent);

    void setLayout(Layout layout);
    // The chart as last laid out; empty before the first layout.
    const std::optional<Chart>& chart() const { return chart_; }
    // The chart laid out for a size in points, as a printer wants it.
    Chart chartFor(double width, double height) const;
    // What the chart shows at a point of the widget (pixels); null where nothing is.
    const ChartBar* barAt(QPoint at) const;

signals:
    void barClicked(const overview::ChartBar& bar);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool event(QEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void relayout();

    Layout layout_;
    std::optional<Chart> chart_;
};

} // namespace overview
