#include "stats/ui/DiagramWidget.h"

#include "support/ui/Twips.h"

#include <QPainter>
#include <QPen>

namespace stats {

namespace {
// The value and date axes' fixed captions.
const QString ValueAxis = QStringLiteral("Kr.");
const QString DateAxis = QStringLiteral("Dag:");
} // namespace

void paintDiagram(QPainter& painter, const DiagramDrawing& drawing, int dpiX, int dpiY) {
    const auto x = [dpiX](int twips) { return support::twipsToPixels(twips, dpiX); };
    const auto y = [dpiY](int twips) { return support::twipsToPixels(twips, dpiY); };
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, true);
    // The grid lies on whole pixels (half-pixel offset) so its one-pixel lines stay crisp black.
    QPen grid(Qt::black, 1);
    grid.setCosmetic(true);
    QPen curve(QColor(drawing.colour.r, drawing.colour.g, drawing.colour.b), 2);
    curve.setCapStyle(Qt::RoundCap);
    curve.setJoinStyle(Qt::RoundJoin);
    for (const DiagramLine& l : drawing.lines) {
        if (l.curve) {
            painter.setPen(curve);
            painter.drawLine(QPointF(x(l.x1), y(l.y1)), QPointF(x(l.x2), y(l.y2)));
        } else {
            painter.setPen(grid);
            painter.drawLine(QPointF(x(l.x1) + 0.5, y(l.y1) + 0.5), QPointF(x(l.x2) + 0.5, y(l.y2) + 0.5));
        }
    }
    QFont font(QStringLiteral("Arial"));
    font.setPointSize(7); // a date under every second column still leaves a gap
    painter.setFont(font);
    painter.setPen(Qt::black);
    const auto text = [&](int tx, int ty, const QString& s) {
        painter.drawText(QRect(x(tx), y(ty), x(2000), y(400)), Qt::AlignLeft | Qt::AlignTop, s);
    };
    for (const DiagramText& t : drawing.texts)
        text(t.x, t.y, QString::fromStdString(t.text));
    text(60, diagram::Top - 150, ValueAxis);
    text(60, diagram::Bottom + 75, DateAxis);
    painter.restore();
}

DiagramWidget::DiagramWidget(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("Picture1"));
    setAutoFillBackground(true);
    QPalette p = palette();
    p.setColor(QPalette::Window, Qt::white);
    setPalette(p);
}

void DiagramWidget::setDrawing(DiagramDrawing drawing) {
    drawing_ = std::move(drawing);
    update();
}

void DiagramWidget::clear() {
    drawing_.reset();
    update();
}

void DiagramWidget::paintEvent(QPaintEvent*) {
    if (!drawing_)
        return;
    QPainter painter(this);
    paintDiagram(painter, *drawing_, logicalDpiX(), logicalDpiY());
}

} // namespace stats
