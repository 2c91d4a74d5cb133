#pragma once

#include "stats/Diagram.h"

#include <QWidget>

#include <optional>

class QPainter;
class QPrinter;
class QString;

namespace stats {

// Replays a diagram drawing laid out in twips on a painter whose device has the given logical
// DPI: the window and a printed page share it.
void paintDiagram(QPainter& painter, const DiagramDrawing& drawing, int dpiX, int dpiY);

// Prints the diagram of the statistics rows from its first page on, one diagram page to a printed
// page (landscape), each under the title with the years beneath. Returns the pages printed;
// throws std::runtime_error when the printer cannot start or take a new page.
int printDiagram(QPrinter& printer, const std::vector<StatRow>& rows, bool expense, const QString& title);

// The picture area of the diagram. It keeps the drawing and paints it on every expose
// and resize, so a covered diagram comes back whole.
class DiagramWidget : public QWidget {
    Q_OBJECT
public:
    explicit DiagramWidget(QWidget* parent);

    void setDrawing(DiagramDrawing drawing);
    void clear();
    const std::optional<DiagramDrawing>& drawing() const { return drawing_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    std::optional<DiagramDrawing> drawing_;
};

} // namespace stats
