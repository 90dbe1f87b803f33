#include "artwork.h"

#include <QConicalGradient>
#include <QLinearGradient>
#include <QPainter>
#include <QRadialGradient>
#include <QtMath>

#include <iterator>

// Each tool icon paints itself into a 48 x 48 cell and stays 4 pixels clear of its edges.

namespace Artwork {

namespace {

constexpr int cellSize = 48;
constexpr int columns = 5;
constexpr int rows = 3;

const QColor arrowOrange(0xf2, 0x8c, 0x1c);

// The blue of the plain shapes that stand for a picture being moved or sized.
QLinearGradient pictureBlue(const QRectF &area)
{
    return shade(area.topLeft(), area.bottomRight(), QColor(0x6f, 0xb1, 0xff),
                 QColor(0x1f, 0x5f, 0xc4));
}

// Mirrors or turns the painting that follows about the middle of the cell.
void transformAboutCentre(QPainter &painter, const QTransform &transform)
{
    const QPointF centre(cellSize / 2.0, cellSize / 2.0);
    painter.translate(centre);
    painter.setTransform(transform, true);
    painter.translate(-centre);
}

void paintFlop(QPainter &painter)
{
    painter.setPen(QPen(ink, 2, Qt::DashLine, Qt::FlatCap));
    painter.drawLine(QPointF(24, 5), QPointF(24, 43));

    // The shape on the left and its pale reflection across the axis.
    fillOutlined(painter, polygonPath({{20, 17}, {20, 41}, {6, 41}}),
                 pictureBlue(QRectF(6, 17, 14, 24)));
    fillOutlined(painter, polygonPath({{28, 17}, {28, 41}, {42, 41}}), QColor(0xd6, 0xe6, 0xfa));

    fillOutlined(painter, doubleArrow({6, 10.5}, {42, 10.5}, 4, 10, 7), arrowOrange, 1.5);
}

void paintFlip(QPainter &painter)
{
    transformAboutCentre(painter, QTransform().rotate(90));
    paintFlop(painter);
}

void paintRotateLeft(QPainter &painter)
{
    QPainterPath arc;
    const QRectF circle(11, 12, 26, 26);
    arc.arcMoveTo(circle, -50);
    arc.arcTo(circle, -50, 250);
    fillOutlined(painter, arrowAlong(arc, 6, 13, 9),
                 shade({8, 8}, {40, 40}, QColor(0x8c, 0xd8, 0x6e), QColor(0x2c, 0x8a, 0x34)));
}

void paintRotateRight(QPainter &painter)
{
    transformAboutCentre(painter, QTransform::fromScale(-1, 1));
    paintRotateLeft(painter);
}

void paintBlackAndWhite(QPainter &painter)
{
    const QRect frame(6, 9, 36, 30);
    const QImage colour = landscape(frame.size());
    const QImage grey = toGrey(colour);
    const int half = frame.width() / 2;
    QImage picture = colour;
    QPainter(&picture).drawImage(QPoint(half, 0), grey, QRect(half, 0, half, frame.height()));
    painter.drawImage(frame, picture);
    painter.setPen(QPen(ink, 2));
    painter.drawRect(frame);
    painter.setPen(QPen(Qt::white, 1.5));
    painter.drawLine(QPointF(frame.x() + half, frame.top() + 1),
                     QPointF(frame.x() + half, frame.bottom()));
}

void paintNegative(QPainter &painter)
{
    const QRectF strip(5, 7, 38, 34);
    fillOutlined(painter, rectPath(strip, 2), QColor(0x2b, 0x2b, 0x30), 1.5);

    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0xe8, 0xe8, 0xe8));
    for (int i = 0; i < 6; ++i) {
        const qreal x = strip.left() + 3.5 + i * 6;
        painter.drawRect(QRectF(x, strip.top() + 2, 3, 3));
        painter.drawRect(QRectF(x, strip.bottom() - 5, 3, 3));
    }

    const QRect frame(9, 14, 30, 20);
    painter.drawImage(frame, toNegative(landscape(frame.size())));
}

void paintEmboss(QPainter &painter)
{
    const QColor face(0x9c, 0xa2, 0xac);
    fillOutlined(painter, rectPath(QRectF(5, 5, 38, 38), 5), face);

    QPolygonF corners;
    for (int i = 0; i < 10; ++i) {
        const qreal angle = qDegreesToRadians(-90 + i * 36.0);
        const qreal radius = i % 2 ? 6.5 : 15;
        corners << QPointF(24 + radius * qCos(angle), 25 + radius * qSin(angle));
    }
    const QPainterPath star = polygonPath(corners);

    // Light falls from the top left: a bright edge there, a shadow on the far side.
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0x3a, 0x3e, 0x46));
    painter.drawPath(star.translated(2, 2));
    painter.setBrush(Qt::white);
    painter.drawPath(star.translated(-2, -2));
    painter.setBrush(face);
    painter.drawPath(star);
}

void paintCrop(QPainter &painter)
{
    const QRect picture(17, 17, 14, 14);
    painter.drawImage(picture, landscape(picture.size()));

    const QColor metal(0x5a, 0x62, 0x70);
    fillOutlined(painter, polygonPath({{5, 12}, {36, 12}, {36, 43}, {31, 43}, {31, 17}, {5, 17}}),
                 metal, 1.5);
    fillOutlined(painter, polygonPath({{12, 5}, {17, 5}, {17, 31}, {43, 31}, {43, 36}, {12, 36}}),
                 metal, 1.5);
}

void paintOilPaint(QPainter &painter)
{
    const QColor paint(0xd8, 0x2e, 0x3a);
    QPainterPath stroke;
    stroke.moveTo(9, 40);
    stroke.cubicTo(14, 33, 20, 44, 28, 38);
    strokeOutlined(painter, stroke, 5, paint);

    // The brush is drawn lying along x with its tip at the origin, then stood on the stroke.
    painter.save();
    painter.translate(17, 31);
    painter.rotate(-45);

    QPainterPath handle;
    handle.moveTo(15, -3.5);
    handle.lineTo(31, -2.5);
    handle.arcTo(QRectF(29.5, -2.5, 5, 5), 90, -180);
    handle.lineTo(15, 3.5);
    handle.closeSubpath();
    fillOutlined(painter, handle,
                 shade({0, -3}, {0, 3}, QColor(0xc9, 0x8a, 0x4f), QColor(0x7a, 0x48, 0x1e)), 1.5);

    fillOutlined(painter, rectPath(QRectF(9, -4, 6, 8)),
                 shade({0, -4}, {0, 4}, QColor(0xf0, 0xf0, 0xf0), QColor(0x8a, 0x8e, 0x96)), 1.5);

    QPainterPath bristles;
    bristles.moveTo(9, -4);
    bristles.cubicTo(4, -4, 1, -2, 0, 0);
    bristles.cubicTo(1, 2, 4, 4, 9, 4);
    bristles.closeSubpath();
    fillOutlined(painter, bristles, paint, 1.5);
    painter.restore();
}

void paintSwirl(QPainter &painter)
{
    // An Archimedean spiral of two and a half turns, opening outwards from the middle.
    const QPointF centre(24, 24);
    constexpr qreal turns = 2.5;
    constexpr qreal innerRadius = 1.5;
    constexpr qreal outerRadius = 17;
    constexpr int steps = 180;
    QPolygonF points;
    for (int i = 0; i <= steps; ++i) {
        const qreal t = qreal(i) / steps;
        const qreal angle = t * turns * 2 * M_PI;
        points << centre + QPointF(qCos(angle), qSin(angle)) *
                                   (innerRadius + t * (outerRadius - innerRadius));
    }
    QPainterPath spiral;
    spiral.addPolygon(points);
    QConicalGradient colours(centre, 0);
    colours.setColorAt(0, QColor(0x8e, 0x44, 0xdb));
    colours.setColorAt(0.5, QColor(0x2f, 0xb4, 0xe8));
    colours.setColorAt(1, QColor(0x8e, 0x44, 0xdb));
    strokeOutlined(painter, spiral, 3, colours, 1.25);
}

void paintSolarize(QPainter &painter)
{
    const QPointF centre(24, 24);
    QPainterPath rays;
    constexpr int rayCount = 12;
    for (int i = 0; i < rayCount; ++i) {
        const qreal angle = qDegreesToRadians(i * 360.0 / rayCount);
        const qreal spread = qDegreesToRadians(9.0);
        const qreal length = i % 2 ? 15 : 18.5;
        const auto at = [&](qreal a, qreal r) { return centre + QPointF(qCos(a), qSin(a)) * r; };
        rays.addPath(
                polygonPath({at(angle - spread, 11), at(angle, length), at(angle + spread, 11)}));
    }
    fillOutlined(painter, rays, QColor(0xf6, 0x9a, 0x12), 1.5);

    QRadialGradient glow(centre - QPointF(3, 3), 13);
    glow.setColorAt(0, QColor(0xff, 0xf6, 0xa8));
    glow.setColorAt(1, QColor(0xf7, 0xb5, 0x1a));
    QPainterPath disc;
    disc.addEllipse(centre, 11, 11);
    fillOutlined(painter, disc, glow, 1.5);
}

void paintSepia(QPainter &painter)
{
    transformAboutCentre(painter, QTransform().rotate(-8));
    const QRectF mount(7, 10, 34, 28);
    fillOutlined(painter, rectPath(mount), QColor(0xf3, 0xe6, 0xc8), 1.5);

    const QRect frame(10, 13, 28, 22);
    painter.drawImage(frame, toSepia(landscape(frame.size())));

    // Photo corners, as in an album.
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0x4a, 0x2c, 0x14));
    const qreal corner = 6;
    painter.drawPolygon(QPolygonF{mount.topLeft(), mount.topLeft() + QPointF(corner, 0),
                                  mount.topLeft() + QPointF(0, corner)});
    painter.drawPolygon(QPolygonF{mount.bottomRight(), mount.bottomRight() - QPointF(corner, 0),
                                  mount.bottomRight() - QPointF(0, corner)});
}

void paintSpread(QPainter &painter)
{
    const QPointF centre(24, 24);
    const QColor colour(0x2f, 0x7b, 0xe0);
    const auto dot = [&](QPointF at, qreal size) {
        const QRectF square(at - QPointF(size / 2, size / 2), QSizeF(size, size));
        fillOutlined(painter, rectPath(square), colour, 1.25);
    };
    dot(centre, 9);

    // Two rings of pixels, smaller the further they have strayed from the middle.
    struct Ring
    {
        int count;
        qreal radius;
        qreal size;
        qreal offset;
    };
    for (const Ring &ring : {Ring{8, 11.5, 5, 22.5}, Ring{12, 18, 3.5, 8}}) {
        for (int i = 0; i < ring.count; ++i) {
            const qreal angle = qDegreesToRadians(ring.offset + i * 360.0 / ring.count);
            const qreal radius = ring.radius + (i % 3 - 1);
            dot(centre + QPointF(qCos(angle), qSin(angle)) * radius, ring.size);
        }
    }
}

void paintCharcoal(QPainter &painter)
{
    // A zigzag of shading, as a quick sketch is filled in, running up to the tip of the stick.
    QPainterPath shading;
    shading.moveTo(5, 43);
    for (int i = 0; i < 3; ++i) {
        const qreal x = 5 + i * 6;
        shading.lineTo(x + 7, 32 - i);
        shading.lineTo(x + 5, 43);
    }
    shading.lineTo(24, 30.5);
    painter.setBrush(Qt::NoBrush);
    painter.setPen(
            QPen(QColor(0x24, 0x24, 0x28, 200), 1.8, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.drawPath(shading);

    // The stick lies along x with its worn tip at the origin.
    painter.save();
    painter.translate(24, 28);
    painter.rotate(-45);
    const QPainterPath stick = polygonPath({{0, 1}, {5, -4}, {22, -4}, {23, 0}, {22, 4}, {3, 4}});
    fillOutlined(painter, stick,
                 shade({0, -4}, {0, 4}, QColor(0x7a, 0x7c, 0x82), QColor(0x12, 0x12, 0x14)), 1.5);
    painter.restore();
}

void paintResize(QPainter &painter)
{
    painter.setPen(QPen(ink, 1.5, Qt::DashLine));
    painter.setBrush(QColor(255, 255, 255, 90));
    painter.drawRect(QRectF(6, 6, 36, 36));

    const QRectF small(6, 26, 16, 16);
    fillOutlined(painter, rectPath(small), pictureBlue(small));

    fillOutlined(painter, doubleArrow({24, 24}, {41, 7}, 4, 11, 7), arrowOrange, 1.5);
}

} // namespace

QImage menuBackground()
{
    QImage image(cellSize * columns, cellSize * rows, QImage::Format_RGB32);
    QPainter painter(&image);
    painter.fillRect(image.rect(), shade({0, 0}, {0, qreal(image.height())},
                                         QColor(0xc8, 0xd3, 0xe0), QColor(0x9c, 0xad, 0xc2)));

    // A light edge on the top and left of each cell and a dark one opposite set the cells apart.
    for (int row = 0; row < rows; ++row) {
        for (int column = 0; column < columns; ++column) {
            const QRect cell(column * cellSize, row * cellSize, cellSize, cellSize);
            painter.setPen(QColor(255, 255, 255, 110));
            painter.drawLine(cell.topLeft(), cell.topRight());
            painter.drawLine(cell.topLeft(), cell.bottomLeft());
            painter.setPen(QColor(0x20, 0x30, 0x48, 70));
            painter.drawLine(cell.bottomLeft(), cell.bottomRight());
            painter.drawLine(cell.topRight(), cell.bottomRight());
        }
    }
    return image;
}

QImage menuIcons()
{
    using IconPainter = void (*)(QPainter &);
    const IconPainter icons[] = {
            paintFlop,     paintFlip,   paintRotateLeft, paintRotateRight, paintBlackAndWhite,
            paintNegative, paintEmboss, paintCrop,       paintOilPaint,    paintSwirl,
            paintSolarize, paintSepia,  paintSpread,     paintCharcoal,    paintResize};
    static_assert(std::size(icons) == columns * rows);

    QImage image = transparentImage(cellSize * columns, cellSize * rows);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    for (int i = 0; i < int(std::size(icons)); ++i) {
        painter.save();
        painter.translate(i % columns * cellSize, i / columns * cellSize);
        // Nothing may spill into the next cell, whatever an icon does.
        painter.setClipRect(0, 0, cellSize, cellSize);
        icons[i](painter);
        painter.restore();
    }
    return image;
}

} // namespace Artwork
