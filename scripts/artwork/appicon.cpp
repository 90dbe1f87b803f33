#include "artwork.h"

#include <QLinearGradient>
#include <QPainter>

namespace Artwork {

QImage applicationIcon(int size)
{
    // Drawn on a 256-unit grid and scaled, so every size is painted sharp rather than resampled.
    constexpr qreal grid = 256;
    const qreal scale = size / grid;
    QImage image = transparentImage(size, size);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(scale, scale);

    // The handset on its side, for the program's landscape screen.
    const QRectF body(10, 38, 236, 180);
    fillOutlined(painter, rectPath(body, 30),
                 shade(body.topLeft(), body.bottomLeft(), QColor(0x5a, 0x64, 0x74),
                       QColor(0x26, 0x2b, 0x35)),
                 6);
    // The screen keeps the 320 x 240 proportions, and its picture is drawn at device size.
    const QRectF screen(32, 56, 192, 144);
    painter.drawImage(screen, landscape((screen.size() * scale).toSize()));
    painter.setPen(QPen(ink, 4));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(screen);

    // The crop rectangle in the editor's green, with a corner being drawn by the cursor.
    const QRectF crop(76, 84, 108, 80);
    painter.setPen(QPen(ink, 12, Qt::SolidLine, Qt::SquareCap));
    painter.drawRect(crop);
    painter.setPen(QPen(QColor(0x00, 0xff, 0x00), 6, Qt::SolidLine, Qt::SquareCap));
    painter.drawRect(crop);
    const QPointF tip = crop.bottomRight();
    fillOutlined(
            painter,
            polygonPath({tip, tip + QPointF(0, 58), tip + QPointF(14, 44), tip + QPointF(26, 68),
                         tip + QPointF(36, 63), tip + QPointF(24, 40), tip + QPointF(44, 40)}),
            Qt::white, 5);
    return image;
}

} // namespace Artwork
