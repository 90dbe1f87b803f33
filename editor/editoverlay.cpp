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

void EditInterface::drawTextInfo(const QString &top, const QString &middle,
                                 const QString &bottomLeft, const QString &bottomRight)
{
    QPainter &painter = *bufferPainter;
    painter.save();
    painter.setPen(Qt::white);
    painter.setFont(systemFont(16));
    if (!top.isNull())
        painter.drawText(infoTopRect, Qt::AlignCenter, top);
    painter.setFont(systemFont(24));
    if (!middle.isNull())
        painter.drawText(infoMiddleRect, Qt::AlignCenter | Qt::TextWordWrap, middle);
    if (!bottomLeft.isNull())
        painter.drawText(infoBottomRect, Qt::AlignLeft, bottomLeft);
    if (!bottomRight.isNull())
        painter.drawText(infoBottomRect, Qt::AlignRight, bottomRight);
    painter.restore();
}
