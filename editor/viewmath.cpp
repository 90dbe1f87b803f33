#include "editor/viewmath.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace ViewMath {

float fitScale(QSize picture)
{
    if (picture.width() <= FrameWidth && picture.height() <= FrameHeight)
        return 1.0f;
    const float sx = float(FrameWidth) / float(picture.width());
    const float sy = float(FrameHeight) / float(picture.height());
    return sx < sy ? sx : sy;
}

int scaledSide(int side, float scale)
{
    return int(std::lround(double(side) * double(scale)));
}

QSize scaledSize(QSize picture, float scale)
{
    return {scaledSide(picture.width(), scale), scaledSide(picture.height(), scale)};
}

float zoomedIn(float scale)
{
    const float next = float(double(scale) + ZoomStep);
    return next > LargestScale ? LargestScale : next;
}

float zoomedOut(float scale)
{
    const float next = float(double(scale) - ZoomStep);
    return next < 0.0f ? scale : next;
}

int truncated(float value)
{
    if (std::isnan(value))
        return 0;
    if (value >= float(std::numeric_limits<int>::max()))
        return std::numeric_limits<int>::max();
    if (value <= float(std::numeric_limits<int>::min()))
        return std::numeric_limits<int>::min();
    return int(value);
}

int recentred(int topLeft, int blit, float ratio, float centre)
{
    const float shifted = float(topLeft - blit) * ratio;
    const float offset = (ratio - 1.0f) * centre;
    return truncated(shifted + offset);
}

int recentredWithin(int topLeft, int blit, float ratio, float centre, int viewSide, int frameSide)
{
    const int recentredTopLeft = std::max(0, recentred(topLeft, blit, ratio, centre));
    if (viewSide >= frameSide && viewSide - recentredTopLeft < frameSide)
        return viewSide - frameSide;
    return recentredTopLeft;
}

int pannedBack(int topLeft)
{
    return topLeft > 0 ? std::max(0, topLeft - PanStep) : topLeft;
}

int pannedForward(int topLeft, int viewSide, int frameSide)
{
    if (viewSide - topLeft > frameSide)
        topLeft += PanStep;
    // A view smaller than the frame gets a negative window here, which drawing resets to 0.
    return viewSide - topLeft < frameSide ? viewSide - frameSide : topLeft;
}

void cursorStepBack(int &position, int &topLeft, int blit)
{
    if (position > blit)
        --position;
    else if (topLeft > 0)
        --topLeft;
}

void cursorStepForward(int &position, int &topLeft, int blit, int viewSide, int frameSide)
{
    if (position < blit + viewSide && position <= frameSide - 2)
        ++position;
    else if (topLeft < viewSide - frameSide)
        ++topLeft;
}

int toPicture(int viewCoordinate, float scale)
{
    return truncated(float(viewCoordinate) / scale);
}

QRect mapRect(QPoint first, QPoint second, float scale)
{
    const int left = toPicture(qMin(first.x(), second.x()), scale);
    const int top = toPicture(qMin(first.y(), second.y()), scale);
    const int width = toPicture(qAbs(first.x() - second.x()), scale);
    const int height = toPicture(qAbs(first.y() - second.y()), scale);
    // Corners are inclusive, so the far corner is one less than left + width; computed in 64
    // bits so that saturated sizes cannot overflow.
    const auto clampToInt = [](qint64 value) {
        return int(std::clamp<qint64>(value, std::numeric_limits<int>::min(),
                                      std::numeric_limits<int>::max()));
    };
    return QRect(QPoint(left, top), QPoint(clampToInt(qint64(left) + width - 1),
                                           clampToInt(qint64(top) + height - 1)));
}

} // namespace ViewMath
