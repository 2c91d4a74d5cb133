#include "overview/ui/ChartWidget.h"

#include <QHelpEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QToolTip>

#include <algorithm>
#include <exception>

namespace overview {

namespace {
QColor qcolour(Rgb c) {
    return {c.r, c.g, c.b};
}
} // namespace

void paintChart(QPainter& painter, const Chart& chart, double dpiX, double dpiY, double zoom) {
    const double fx = dpiX / 72.0 * zoom, fy = dpiY / 72.0 * zoom;
    const auto rect = [&](const ChartBox& b) { return QRectF(b.x * fx, b.y * fy, b.w * fx, b.h * fy); };
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, true);
    const auto drawLines = [&](const std::vector<ChartLine>& lines) {
        for (const ChartLine& l : lines) {
            QPainterPath path;
            for (std::size_t i = 0; i < l.points.size(); ++i) {
                const QPointF p(l.points[i].first * fx, l.points[i].second * fy);
                if (i == 0)
                    path.moveTo(p);
                else
                    path.lineTo(p);
            }
            painter.setPen(QPen(qcolour(l.colour), std::max(1.0, l.width * fx), Qt::SolidLine, Qt::RoundCap,
                                Qt::RoundJoin));
            painter.setBrush(Qt::NoBrush);
            painter.drawPath(path);
        }
    };
    drawLines(chart.grid);
    painter.setPen(Qt::NoPen);
    for (const ChartBar& b : chart.bars) {
        painter.setBrush(qcolour(b.fill));
        painter.drawRect(rect(b.box));
    }
    for (const auto& [box, fill] : chart.legendBoxes) {
        painter.setBrush(qcolour(fill));
        painter.drawRect(rect(box));
    }
    drawLines(chart.lines);
    painter.setPen(Qt::NoPen);
    for (const ChartBar& m : chart.marks) {
        painter.setBrush(qcolour(m.fill));
        painter.drawEllipse(rect(m.box));
    }
    QFont font(QStringLiteral("Arial"));
    for (const ChartText& t : chart.texts) {
        font.setPixelSize(std::max(1, static_cast<int>(t.size * fy + 0.5)));
        font.setBold(t.bold);
        painter.setFont(font);
        painter.setPen(qcolour(t.colour));
        const QString text = QString::fromStdString(t.text);
        const double w = painter.fontMetrics().horizontalAdvance(text) + 2;
        const double h = t.size * fy * 1.6;
        const double x = t.anchor == Anchor::Left    ? t.x * fx
                         : t.anchor == Anchor::Right ? t.x * fx - w
                                                     : t.x * fx - w / 2;
        painter.drawText(QRectF(x, t.y * fy - h / 2, w, h), Qt::AlignCenter, text);
    }
    painter.restore();
}

ChartWidget::ChartWidget(QWidget* parent) : QWidget(parent) {
    setAutoFillBackground(true);
    QPalette p = palette();
    p.setColor(QPalette::Window, Qt::white);
    setPalette(p);
    setMouseTracking(true);
    setMinimumSize(200, 150);
}

void ChartWidget::setLayout(Layout layout) {
    layout_ = std::move(layout);
    relayout();
}

Chart ChartWidget::chartFor(double width, double height) const {
    return layout_ ? layout_(width, height) : Chart{};
}

void ChartWidget::relayout() {
    if (!layout_) {
        chart_.reset();
    } else {
        const double width = this->width() * 72.0 / logicalDpiX();
        // Bars that need more room than the window gives make the chart taller (in a scroll
        // area); the least height is taken for no height at all, so it never follows the widget's.
        try {
            const double least = layout_(width, 0).height;
            setMinimumHeight(std::max(150, static_cast<int>(least * logicalDpiY() / 72.0 + 0.5)));
            chart_ = layout_(width, height() * 72.0 / logicalDpiY());
        } catch (const std::exception&) {
            // Laid out on a resize, outside any procedure: the figures were summed without fault
            // before, so a chart that cannot be laid out is left empty rather than let through.
            chart_.reset();
        }
    }
    update();
}

const ChartBar* ChartWidget::barAt(QPoint at) const {
    if (!chart_)
        return nullptr;
    return chart_->at(at.x() * 72.0 / logicalDpiX(), at.y() * 72.0 / logicalDpiY());
}

void ChartWidget::paintEvent(QPaintEvent*) {
    if (!chart_)
        return;
    QPainter painter(this);
    paintChart(painter, *chart_, logicalDpiX(), logicalDpiY());
}

void ChartWidget::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    relayout();
}

bool ChartWidget::event(QEvent* event) {
    if (event->type() == QEvent::ToolTip) {
        auto* help = static_cast<QHelpEvent*>(event);
        if (const ChartBar* bar = barAt(help->pos()))
            QToolTip::showText(help->globalPos(), QString::fromStdString(bar->tip), this);
        else
            QToolTip::hideText();
        return true;
    }
    return QWidget::event(event);
}

void ChartWidget::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton)
        if (const ChartBar* bar = barAt(event->position().toPoint()); bar && bar->posts)
            emit barClicked(*bar);
    QWidget::mouseReleaseEvent(event);
}

} // namespace overview
