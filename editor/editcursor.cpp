#include "editor/editinterface.h"

#include "editor/infoline.h"
#include "editor/viewmath.h"

#include <QPainter>

using namespace ViewMath;

void EditInterface::prepareMouse()
{
    mousePos = mousePicPos = rectStart = FrameCentre;
    upPressed = downPressed = leftPressed = rightPressed = false;
}

void EditInterface::moveMouse()
{
    // One frame pixel a tick in each held direction, up and down before left and right, so two
    // held keys move diagonally and opposite ones cancel out.
    if (upPressed)
        cursorStepBack(mousePos.ry(), topLeftY, blitY);
    if (downPressed)
        cursorStepForward(mousePos.ry(), topLeftY, blitY, viewPixmap.height(), FrameHeight);
    if (leftPressed)
        cursorStepBack(mousePos.rx(), topLeftX, blitX);
    if (rightPressed)
        cursorStepForward(mousePos.rx(), topLeftX, blitX, viewPixmap.width(), FrameWidth);
    mousePicPos = mousePos - QPoint(blitX, blitY) + QPoint(topLeftX, topLeftY);

    blitPicToBuffer();
    bufferPainter->drawImage(mousePos, mouseImage);
    if (editMode == CursorMode && rectStarted) {
        drawRectLine();
        showFrame();
        return;
    }
    const QString line =
            infoLine(positionText + QStringLiteral("(%1,%1)  ") + scaleText + QStringLiteral(":%1"),
                     {QString::number(toPicture(mousePicPos.x(), scale)),
                      QString::number(toPicture(mousePicPos.y(), scale)), scaleValue(scale)});
    drawTextInfo(line, QString(), QString(), cancelText);
    showFrame();
}

void EditInterface::drawRectLine()
{
    QPainter &painter = *bufferPainter;
    painter.save();
    const QPoint a = rectStart - QPoint(topLeftX, topLeftY) + QPoint(blitX, blitY);
    const QPoint b = mousePos;
    // A dark edge just outside the green line keeps it visible on green or bright pictures.
    painter.setPen(QPen(Qt::black, 0));
    const QRect edge = QRect(a, b).normalized().adjusted(-1, -1, 1, 1);
    // A stroked rectangle reaches one pixel beyond its size.
    painter.drawRect(edge.x(), edge.y(), edge.width() - 1, edge.height() - 1);
    painter.setPen(QPen(Qt::green, 0));
    painter.drawLine(b, QPoint(b.x(), a.y()));
    painter.drawLine(b, QPoint(a.x(), b.y()));
    painter.drawLine(a, QPoint(b.x(), a.y()));
    painter.drawLine(a, QPoint(a.x(), b.y()));
    painter.restore();

    const QRect region = mapRectToOrigin();
    const QString line = infoLine(
            regionText + QStringLiteral("(%1,%1)  ") + scaleText + QStringLiteral(":%1"),
            {QString::number(region.width()), QString::number(region.height()), scaleValue(scale)});
    drawTextInfo(line, QString(), cutText, cancelText);
}

QRect EditInterface::mapRectToOrigin() const
{
    return mapRect(rectStart, mousePicPos, scale);
}
