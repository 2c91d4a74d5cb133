#include "stats/ui/DiagramWidget.h"

#include "support/ui/Twips.h"

#include <QPainter>
#include <QPen>
#include <QPrinter>

#include <algorithm>
#include <stdexcept>

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
    // The grid lies on whole pixels (half-pixel offset) so its one-pixel lines stay crisp black; a
    // printer's finer dots get lines as thick as the screen's.
    const double dot = std::max(1.0, dpiX / 96.0);
    const QColor ink(drawing.colour.r, drawing.colour.g, drawing.colour.b);
    const QPen grid(Qt::black, dot);
    const QPen mean(ink, dot);
    QPen curve(ink, 2 * dot);
    curve.setCapStyle(Qt::RoundCap);
    curve.setJoinStyle(Qt::RoundJoin);
    for (const DiagramLine& l : drawing.lines) {
        if (l.stroke == DiagramLine::Stroke::Curve) {
            painter.setPen(curve);
            painter.drawLine(QPointF(x(l.x1), y(l.y1)), QPointF(x(l.x2), y(l.y2)));
        } else {
            painter.setPen(l.stroke == DiagramLine::Stroke::Mean ? mean : grid);
            painter.drawLine(QPointF(x(l.x1) + 0.5, y(l.y1) + 0.5), QPointF(x(l.x2) + 0.5, y(l.y2) + 0.5));
        }
    }
    QFont font(QStringLiteral("Arial"));
    font.setPointSize(7); // a date under every second column still leaves a gap
    painter.setFont(font);
    const auto text = [&](int tx, int ty, const QString& s) {
        painter.drawText(QRect(x(tx), y(ty), x(2000), y(400)), Qt::AlignLeft | Qt::AlignTop, s);
    };
    painter.setPen(ink);
    for (const DiagramText& t : drawing.texts)
        text(t.x, t.y, QString::fromStdString(t.text));
    painter.setPen(Qt::black); // the axes' captions are labels of the window, not of the curve
    text(60, diagram::Top - 150, ValueAxis);
    text(60, diagram::Bottom + 75, DateAxis);
    painter.restore();
}

int printDiagram(QPrinter& printer, const std::vector<StatRow>& rows, bool expense, const QString& title) {
    Diagram diagram(rows, expense);
    printer.setPageOrientation(QPageLayout::Landscape);
    QPainter painter;
    if (!painter.begin(&printer))
        throw std::runtime_error("Skrivaren kunde inte starta utskriften");
    const int dpiX = printer.logicalDpiX(), dpiY = printer.logicalDpiY();
    QFont font(QStringLiteral("Arial"));
    font.setPointSize(10);
    const int pictureTop = support::twipsToPixels(400, dpiY);
    const int below = pictureTop + support::twipsToPixels(diagram::PictureHeight + 250, dpiY);
    // The picture is laid out for a screen; on paper it is widened to the page's width.
    const double fit = printer.pageLayout().paintRectPixels(dpiX).width() /
                       static_cast<double>(support::twipsToPixels(diagram::PictureWidth, dpiX));
    if (fit > 1.0)
        painter.scale(fit, fit);
    int pages = 1;
    for (;;) {
        painter.setFont(font);
        painter.setPen(Qt::black);
        painter.drawText(QPoint(0, support::twipsToPixels(200, dpiY)), title);
        painter.drawText(QPoint(support::twipsToPixels(diagram::Left, dpiX), below),
                         QString::fromStdString(diagram.yearText()));
        painter.save();
        painter.translate(0, pictureTop);
        paintDiagram(painter, diagram.drawing(), dpiX, dpiY);
        painter.restore();
        // "Nästa" means rows are left; the last page (or the only one) ends the printout.
        if (!diagram.pagerVisible() || diagram.pagerCaption() != "Nästa")
            break;
        diagram.DiagramSkapa();
        if (!printer.newPage())
            throw std::runtime_error("Skrivaren kunde inte börja en ny sida");
        ++pages;
    }
    if (!painter.end() || printer.printerState() == QPrinter::Error)
        throw std::runtime_error("Skrivaren kunde inte avsluta utskriften");
    return pages;
}

DiagramWidget::DiagramWidget(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("diagramPicture"));
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
