#include "gui/app_icon.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace gui {

QIcon appIcon() {
    // Drawn on a 64-unit grid, the SVG's view box.
    QIcon icon;
    for (int size : {16, 32, 48, 64, 128}) {
        QPixmap pixmap(size, size);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.scale(size / 64.0, size / 64.0);
        painter.setPen(Qt::NoPen);
        painter.setBrush(QColor(0x1f, 0x4e, 0x79));
        painter.drawRoundedRect(QRectF(2, 2, 60, 60), 10, 10);
        painter.setBrush(Qt::NoBrush);
        painter.setPen(QPen(QColor(0xf2, 0xc1, 0x4e), 4));
        painter.drawEllipse(QPointF(32, 32), 21, 21);
        QPainterPath letter;
        letter.moveTo(22, 22);
        letter.lineTo(42, 22);
        letter.lineTo(22, 42);
        letter.lineTo(42, 42);
        painter.setPen(QPen(Qt::white, 5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        painter.drawPath(letter);
        painter.end();
        icon.addPixmap(pixmap);
    }
    return icon;
}

}  // namespace gui
