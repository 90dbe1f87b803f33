#pragma once

#include "platform/zglobal.h"

#include <QPoint>
#include <QRect>
#include <QSize>

// The arithmetic of the editor's view: fitting, zooming, recentring and mapping between the
// scaled view and the picture as loaded. It is done in the precisions the editor has always
// used (single precision, with the zoom steps added in double), since the numbers it shows and
// the crop rectangles it cuts follow from them.
namespace ViewMath {

// The frame is the handset's screen.
constexpr int FrameWidth = ZGlobal::ScreenWidth;
constexpr int FrameHeight = ZGlobal::ScreenHeight;
constexpr QPoint FrameCentre(160, 120);
constexpr int PanStep = 10;
constexpr double ZoomStep = 0.05;
constexpr float LargestScale = 2.0f;

// The scale that makes a picture fit the frame: never above 1, the limiting side exactly fits.
float fitScale(QSize picture);

// A side of the view: the nearest integer to side x scale.
int scaledSide(int side, float scale);
QSize scaledSize(QSize picture, float scale);

// One zoom step; zooming in stops at the largest scale, zooming out refuses to go below 0
// and then keeps the scale it had.
float zoomedIn(float scale);
float zoomedOut(float scale);

// A float truncated toward zero to an int, saturating at the int limits (and 0 for NaN).
int truncated(float value);

// One axis of recentring after a zoom by ratio: the window coordinate that keeps the view point
// under the frame's centre in place, not yet limited to the view.
int recentred(int topLeft, int blit, float ratio, float centre);

// One axis of the visible window after a zoom: recentred, then kept within a view that is at
// least as large as the frame on that axis.
int recentredWithin(int topLeft, int blit, float ratio, float centre, int viewSide, int frameSide);

// One axis of the visible window after a pan step back (up, left) or forward (down, right).
int pannedBack(int topLeft);
int pannedForward(int topLeft, int viewSide, int frameSide);

// One axis of a cursor tick: the cursor moves one frame pixel within the view on the frame, and
// at its edge the window scrolls instead, as far as the view reaches.
void cursorStepBack(int &position, int &topLeft, int blit);
void cursorStepForward(int &position, int &topLeft, int blit, int viewSide, int frameSide);

// A view coordinate as a coordinate of the picture as loaded.
int toPicture(int viewCoordinate, float scale);

// The rectangle between two view points, in pixels of the picture as loaded: its size comes
// from the difference of the corners, so the far corner's own column and row lie outside it.
QRect mapRect(QPoint first, QPoint second, float scale);

} // namespace ViewMath
