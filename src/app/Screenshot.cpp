#include "app/Screenshot.h"

#include <QApplication>
#include <QPainter>
#include <QPixmap>
#include <QWidget>

namespace app {

bool saveScreenshot(QWidget& mainWindow, const QString& file) {
    QList<QWidget*> others;
    QRect area = mainWindow.geometry();
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (w != &mainWindow && w->isVisible() && !w->inherits("QMenu")) {
            others.append(w);
            area |= w->geometry();
        }
    }
    // The active modal window is drawn last, on top of everything.
    if (QWidget* modal = QApplication::activeModalWidget(); modal && others.removeOne(modal))
        others.append(modal);

    QPixmap canvas(area.size());
    canvas.fill(QColor(58, 110, 165));
    QPainter painter(&canvas);
    if (mainWindow.isVisible())
        painter.drawPixmap(mainWindow.geometry().topLeft() - area.topLeft(), mainWindow.grab());
    for (QWidget* w : others)
        painter.drawPixmap(w->geometry().topLeft() - area.topLeft(), w->grab());
    painter.end();
    return canvas.save(file, "PNG");
}

} // namespace app
