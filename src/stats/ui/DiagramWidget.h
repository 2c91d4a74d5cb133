#pragma once

#include "stats/Diagram.h"

#include <QWidget>

#include <optional>

class QPainter;

namespace stats {

// Replays a diagram drawing laid out in twips on a painter whose device has the given logical
// DPI: the window and a printed page share it.
void paintDiagram(QPainter& painter, const DiagramDrawing& drawing, int dpiX, int dpiY);

// The picture area of the diagram (Picture1). It keeps the drawing and paints it on every expose
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
