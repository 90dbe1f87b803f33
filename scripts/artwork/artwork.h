#ifndef ARTWORK_H
#define ARTWORK_H

#include <QColor>
#include <QImage>
#include <QPainterPath>
#include <QPolygonF>

class QBrush;
class QLinearGradient;
class QPainter;

namespace Artwork {

// The outline colour of every icon: dark enough to read on white and on the menu panel.
inline const QColor ink(0x1e, 0x22, 0x2a);

QImage transparentImage(int width, int height);

QPainterPath polygonPath(const QPolygonF &polygon);
QPainterPath rectPath(const QRectF &rect, qreal radius = 0);
QLinearGradient shade(QPointF from, QPointF to, const QColor &light, const QColor &dark);

void fillOutlined(QPainter &painter, const QPainterPath &path, const QBrush &brush,
                  qreal outline = 2.0);
// Draws a line of paint with an ink edge on both sides.
void strokeOutlined(QPainter &painter, const QPainterPath &path, qreal width, const QBrush &brush,
                    qreal outline = 1.5);

QPainterPath doubleArrow(QPointF from, QPointF to, qreal shaftWidth, qreal headWidth,
                         qreal headLength);
// A band of the given width along line, ending in an arrow head.
QPainterPath arrowAlong(const QPainterPath &line, qreal width, qreal headWidth, qreal headLength);

// The little sky, sun and hills scene that stands for "a picture" in the icons.
QImage landscape(QSize size);
QImage toGrey(QImage image);
QImage toNegative(QImage image);
QImage toSepia(QImage image);

QImage mouseCursor();
QImage menuBackground();
QImage menuIcons();
QImage backIcon();
QImage folderIcon();
QImage fileIcon();
QImage errorIcon();
// The program's own icon for the desktop, square, size pixels wide.
QImage applicationIcon(int size);

} // namespace Artwork

#endif // ARTWORK_H
