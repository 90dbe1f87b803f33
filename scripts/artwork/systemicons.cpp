#include "artwork.h"

#include <QLinearGradient>
#include <QPainter>
#include <QRadialGradient>

#include <iterator>

namespace Artwork {

namespace {

constexpr int iconSize = 16;

} // namespace

QImage mouseCursor()
{
    // At this size the pointer is set pixel by pixel: smoothing would blur the tip, which must be
    // the fully opaque pixel (0, 0) that marks the cursor position.
    static const char *const rows[] = {
            "X...........", //
            "XX..........", //
            "XOX.........", //
            "XOOX........", //
            "XOOOX.......", //
            "XOOOOX......", //
            "XOOOOOX.....", //
            "XOOOOOOX....", //
            "XOOOOOOOX...", //
            "XOOOOOOOOX..", //
            "XOOOOOOOOOX.", //
            "XOOOOOOXXXXX", //
            "XOOOXOOX....", //
            "XOOX.XOOX...", //
            "XOX..XOOX...", //
            "XX....XOOX..", //
            "X.....XOOX..", //
            ".......XOOX.", //
            "........XX..", //
    };
    QImage image = transparentImage(int(qstrlen(rows[0])), int(std::size(rows)));
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (rows[y][x] == 'X')
                image.setPixel(x, y, qRgb(0, 0, 0));
            else if (rows[y][x] == 'O')
                image.setPixel(x, y, qRgb(255, 255, 255));
        }
    }
    return image;
}

QImage backIcon()
{
    QImage image = transparentImage(iconSize, iconSize);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);

    // Up from the bottom right, then bending back to the left.
    QPainterPath line;
    line.moveTo(12.5, 15);
    line.lineTo(12.5, 10);
    line.arcTo(QRectF(1.5, 4.5, 11, 11), 0, 90);
    fillOutlined(painter, arrowAlong(line, 3.5, 8, 6),
                 shade({0, 0}, {0, 15}, QColor(0x7c, 0xc8, 0x5a), QColor(0x25, 0x7f, 0x2c)), 1);
    return image;
}

QImage folderIcon()
{
    QImage image = transparentImage(iconSize, iconSize);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    const QColor edge(0x7a, 0x58, 0x00);
    painter.setPen(QPen(edge, 1));

    painter.setBrush(QColor(0xe0, 0xa8, 0x10));
    painter.drawPolygon(
            QPolygonF{{1.5, 13.5}, {1.5, 2.5}, {6, 2.5}, {7.5, 4.5}, {14.5, 4.5}, {14.5, 13.5}});

    painter.setBrush(shade({0, 6}, {0, 14}, QColor(0xff, 0xe8, 0x80), QColor(0xf5, 0xbd, 0x22)));
    painter.drawRect(QRectF(1.5, 6.5, 13, 7));
    return image;
}

QImage fileIcon()
{
    QImage image = transparentImage(iconSize, iconSize);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    const QColor edge(0x4a, 0x50, 0x5a);

    painter.setPen(QPen(edge, 1));
    painter.setBrush(Qt::white);
    painter.drawPolygon(QPolygonF{{2.5, 0.5}, {9.5, 0.5}, {13.5, 4.5}, {13.5, 15.5}, {2.5, 15.5}});
    // The turned-down corner.
    painter.setBrush(QColor(0xd8, 0xdc, 0xe2));
    painter.drawPolygon(QPolygonF{{9.5, 0.5}, {9.5, 4.5}, {13.5, 4.5}});

    const QRect picture(4, 7, 8, 7);
    painter.drawImage(picture, landscape(picture.size()));
    return image;
}

QImage errorIcon()
{
    QImage image = transparentImage(iconSize, iconSize);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    const QPointF centre(8, 8);

    // The white rim keeps the red sign apart from the dark blue title bar.
    painter.setPen(Qt::NoPen);
    painter.setBrush(Qt::white);
    painter.drawEllipse(centre, 8, 8);
    QRadialGradient red(centre - QPointF(2, 2), 8);
    red.setColorAt(0, QColor(0xff, 0x6a, 0x5c));
    red.setColorAt(1, QColor(0xc0, 0x16, 0x10));
    painter.setBrush(red);
    painter.drawEllipse(centre, 6.75, 6.75);

    painter.setBrush(Qt::white);
    painter.drawRoundedRect(QRectF(7, 3.5, 2, 6), 0.8, 0.8);
    painter.drawEllipse(QRectF(7, 10.5, 2, 2));
    return image;
}

} // namespace Artwork
