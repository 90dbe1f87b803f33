#include "editor/editinterface.h"

#include <QPainter>

// The handset's "System" font, bold; its point sizes are pixels on the 320 x 240 frame.
QFont EditInterface::systemFont(int size)
{
    QFont font(QStringLiteral("System"));
    font.setPixelSize(size);
    font.setWeight(QFont::Bold);
    return font;
}

namespace {

// White text with a thin dark outline, legible on white, black and busy pictures alike.
void drawOutlined(QPainter &painter, const QRect &rect, int flags, const QString &text)
{
    painter.setPen(Qt::black);
    for (const QPoint offset : {QPoint(-1, -1), QPoint(0, -1), QPoint(1, -1), QPoint(-1, 0),
                                QPoint(1, 0), QPoint(-1, 1), QPoint(0, 1), QPoint(1, 1)})
        painter.drawText(rect.translated(offset), flags, text);
    painter.setPen(Qt::white);
    painter.drawText(rect, flags, text);
}

} // namespace

void EditInterface::drawTextInfo(const QString &top, const QString &middle,
                                 const QString &bottomLeft, const QString &bottomRight)
{
    QPainter &painter = *bufferPainter;
    painter.save();
    painter.setFont(systemFont(16));
    if (!top.isNull())
        drawOutlined(painter, infoTopRect, Qt::AlignCenter, top);
    painter.setFont(systemFont(24));
    if (!middle.isNull())
        drawOutlined(painter, infoMiddleRect, Qt::AlignCenter | Qt::TextWordWrap, middle);
    if (!bottomLeft.isNull())
        drawOutlined(painter, infoBottomRect, Qt::AlignLeft, bottomLeft);
    if (!bottomRight.isNull())
        drawOutlined(painter, infoBottomRect, Qt::AlignRight, bottomRight);
    painter.restore();
}
