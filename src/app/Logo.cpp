#include "app/Logo.h"

#include <QLinearGradient>
#include <QPainter>

namespace app {

QPixmap logoPixmap(QSize size) {
    QPixmap pixmap(size);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF box(1, 1, size.width() - 2, size.height() - 2);
    QLinearGradient shade(box.topLeft(), box.bottomLeft());
    shade.setColorAt(0, QColor(46, 125, 50));
    shade.setColorAt(1, QColor(27, 94, 32));
    p.setBrush(shade);
    p.setPen(QPen(QColor(20, 70, 24), 1));
    p.drawRoundedRect(box, 6, 6);
    QFont font(QStringLiteral("Arial"));
    font.setBold(true);
    font.setPixelSize(std::max(10, size.height() / 2));
    p.setFont(font);
    p.setPen(QColor(255, 236, 130));
    p.drawText(box, Qt::AlignCenter, QStringLiteral("Moniva 5"));
    return pixmap;
}

} // namespace app
