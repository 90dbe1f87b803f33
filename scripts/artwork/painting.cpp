#include "artwork.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPathStroker>
#include <QtMath>

namespace Artwork {

QImage transparentImage(int width, int height)
{
    QImage image(width, height, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    return image;
}

QPainterPath polygonPath(const QPolygonF &polygon)
{
    QPainterPath path;
    path.addPolygon(polygon);
    path.closeSubpath();
    return path;
}

QPainterPath rectPath(const QRectF &rect, qreal radius)
{
    QPainterPath path;
    path.addRoundedRect(rect, radius, radius);
    return path;
}

QLinearGradient shade(QPointF from, QPointF to, const QColor &light, const QColor &dark)
{
    QLinearGradient gradient(from, to);
    gradient.setColorAt(0, light);
    gradient.setColorAt(1, dark);
    return gradient;
}

void fillOutlined(QPainter &painter, const QPainterPath &path, const QBrush &brush, qreal outline)
{
    painter.setPen(QPen(ink, outline, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.setBrush(brush);
    painter.drawPath(path);
}

void strokeOutlined(QPainter &painter, const QPainterPath &path, qreal width, const QBrush &brush,
                    qreal outline)
{
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(ink, width + 2 * outline, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.drawPath(path);
    painter.setPen(QPen(brush, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.drawPath(path);
}

QPainterPath doubleArrow(QPointF from, QPointF to, qreal shaftWidth, qreal headWidth,
                         qreal headLength)
{
    const QLineF axis(from, to);
    const QPointF along = (to - from) / axis.length();
    const QPointF across(-along.y(), along.x());
    const QPointF shaft = across * shaftWidth / 2;
    const QPointF barb = across * headWidth / 2;
    const QPointF fromBase = from + along * headLength;
    const QPointF toBase = to - along * headLength;

    return polygonPath({from, fromBase + barb, fromBase + shaft, toBase + shaft, toBase + barb, to,
                        toBase - barb, toBase - shaft, fromBase - shaft, fromBase - barb});
}

QPainterPath arrowAlong(const QPainterPath &line, qreal width, qreal headWidth, qreal headLength)
{
    QPainterPathStroker stroker;
    stroker.setWidth(width);
    stroker.setCapStyle(Qt::FlatCap);
    stroker.setJoinStyle(Qt::RoundJoin);

    // Path angles count anticlockwise while screen y grows downwards, hence the minus signs.
    const qreal angle = qDegreesToRadians(line.angleAtPercent(1));
    const QPointF forwards(qCos(angle), -qSin(angle));
    const QPointF across(-forwards.y(), forwards.x());
    const QPointF tail = line.currentPosition();
    const QPainterPath head =
            polygonPath({tail + across * headWidth / 2, tail + forwards * headLength,
                         tail - across * headWidth / 2});
    return stroker.createStroke(line).united(head).simplified();
}

QImage landscape(QSize size)
{
    const qreal w = size.width();
    const qreal h = size.height();
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);

    painter.fillRect(image.rect(),
                     shade({0, 0}, {0, h}, QColor(0x3b, 0x8e, 0xe6), QColor(0xb8, 0xe0, 0xff)));

    painter.setBrush(QColor(0xff, 0xd5, 0x2e));
    painter.drawEllipse(QPointF(w * 0.74, h * 0.3), h * 0.17, h * 0.17);

    painter.setBrush(QColor(0x6d, 0x7f, 0x96));
    painter.drawPolygon(QPolygonF{{0, h * 0.78}, {w * 0.32, h * 0.34}, {w * 0.62, h * 0.8}});

    QPainterPath hill;
    hill.moveTo(0, h);
    hill.lineTo(0, h * 0.8);
    hill.cubicTo(w * 0.35, h * 0.5, w * 0.7, h * 0.75, w, h * 0.6);
    hill.lineTo(w, h);
    hill.closeSubpath();
    painter.setBrush(QColor(0x3f, 0xa3, 0x3c));
    painter.drawPath(hill);
    return image;
}

namespace {

template<typename Map>
QImage recoloured(QImage image, Map map)
{
    image.convertTo(QImage::Format_ARGB32);
    for (int y = 0; y < image.height(); ++y) {
        auto *line = reinterpret_cast<QRgb *>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x)
            line[x] = (map(line[x]) & RGB_MASK) | (line[x] & ~RGB_MASK);
    }
    return image;
}

} // namespace

QImage toGrey(QImage image)
{
    return recoloured(std::move(image), [](QRgb pixel) {
        const int grey = qGray(pixel);
        return qRgb(grey, grey, grey);
    });
}

QImage toNegative(QImage image)
{
    return recoloured(std::move(image), [](QRgb pixel) { return ~pixel; });
}

QImage toSepia(QImage image)
{
    // Grey levels laid on a ramp from dark umber to cream, the tones of an old print.
    const QColor dark(0x3e, 0x24, 0x10);
    const QColor light(0xf6, 0xe4, 0xbe);
    return recoloured(std::move(image), [&](QRgb pixel) {
        const qreal level = qGray(pixel) / 255.0;
        const auto mix = [level](int from, int to) { return qRound(from + (to - from) * level); };
        return qRgb(mix(dark.red(), light.red()), mix(dark.green(), light.green()),
                    mix(dark.blue(), light.blue()));
    });
}

} // namespace Artwork
