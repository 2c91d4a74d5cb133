#include "app/Screenshot.h"

#include <QApplication>
#include <QPainter>
#include <QPixmap>
#include <QWidget>

namespace app {

namespace {
// Without a window manager (Xvfb) no window has a caption bar; the picture draws one so that
// the captions of the windows show as a person would see them.
constexpr int CaptionHeight = 22;

QRect withCaption(const QWidget& w) {
    return w.geometry().adjusted(0, -CaptionHeight, 0, 0);
}

void drawWindow(QPainter& painter, QWidget& w, const QPoint& origin) {
    const QRect outer = withCaption(w).translated(-origin);
    painter.fillRect(outer.x(), outer.y(), outer.width(), CaptionHeight, QColor(40, 70, 120));
    painter.setPen(Qt::white);
    QFont font = QApplication::font();
    font.setBold(true);
    painter.setFont(font);
    painter.drawText(QRect(outer.x() + 8, outer.y(), outer.width() - 16, CaptionHeight),
                     Qt::AlignVCenter | Qt::AlignLeft, w.windowTitle());
    painter.drawPixmap(outer.x(), outer.y() + CaptionHeight, w.grab());
    painter.setPen(QColor(40, 70, 120));
    painter.drawRect(outer.adjusted(0, 0, -1, -1));
}
} // namespace

bool saveScreenshot(QWidget& mainWindow, const QString& file) {
    QList<QWidget*> others;
    QRect area = withCaption(mainWindow);
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (w != &mainWindow && w->isVisible() && !w->inherits("QMenu")) {
            others.append(w);
            area |= withCaption(*w);
        }
    }
    // The active modal window is drawn last, on top of everything.
    if (QWidget* modal = QApplication::activeModalWidget(); modal && others.removeOne(modal))
        others.append(modal);

    QPixmap canvas(area.size());
    canvas.fill(QColor(58, 110, 165));
    QPainter painter(&canvas);
    if (mainWindow.isVisible())
        drawWindow(painter, mainWindow, area.topLeft());
    for (QWidget* w : others)
        drawWindow(painter, *w, area.topLeft());
    painter.end();
    return canvas.save(file, "PNG");
}

} // namespace app
