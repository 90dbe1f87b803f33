#include "editor/editinterface.h"

#include "browser/pxgui.h"
#include "editor/infoline.h"
#include "editor/pictureproblem.h"
#include "editor/viewmath.h"
#include "platform/filename.h"
#include "platform/filesystem.h"

#include <QFile>
#include <QImageReader>
#include <QPainter>

#include <cstdio>

using namespace ViewMath;

void EditInterface::loadPicture()
{
    topLeftX = topLeftY = blitX = blitY = 0;
    // The gray stand-in and an empty view go first, so that the previous picture and its
    // pyramid are gone before the next one is decoded.
    originPixmap = QImage(FrameWidth, FrameHeight, QImage::Format_RGB32);
    originPixmap.fill(Qt::gray);
    viewPixmap.setPicture(QImage());
    std::puts(FileName::encodeName(picPath).constData());

    QFile file;
    FileSystem::openForReading(picPath, &file);
    QImageReader reader(&file);
    reader.setDecideFormatFromContent(true);
    // A photo whose EXIF data says it is turned is shown the way up it was taken; the converter
    // turns it the same way before any tool, so a crop cuts what the user saw.
    reader.setAutoTransform(true);
    const QSize declared = reader.size();
    QImage loaded = reader.read();
    loadProblem = loaded.isNull() ? etr(QStringLiteral("EDIT_MENU"),
                                        QLatin1String(problemKey(pictureProblem(reader, declared))))
                                  : QString();
    if (!loaded.isNull())
        originPixmap = ScaledView::prepared(std::move(loaded));
    viewPixmap.setPicture(originPixmap);

    browser->setPicPath(picPath);
    scale = fitScreen(&viewPixmap);
    enterMode(LoadMode);
}

float EditInterface::fitScreen(ScaledView *view)
{
    const float fitted = fitScale(view->size());
    view->setScale(fitted);
    std::printf("tempScale is %f\n", double(fitted));
    return fitted;
}

void EditInterface::initViewPicture()
{
    enterMode(ViewMode);
}

void EditInterface::drawPictureView()
{
    blitPicToBuffer();
    // A picture that could not be read has no size to show, only why it is not there.
    const QString line =
            loadProblem.isNull()
                    ? infoLine(sizeText + QStringLiteral(":%1x%1 ") + scaleText +
                                       QStringLiteral(":%1"),
                               {QString::number(originPixmap.width()),
                                QString::number(originPixmap.height()), scaleValue(scale)})
                    : QString();
    drawTextInfo(line, notice.isNull() ? loadProblem : notice, browserText, saveText);
    showFrame();
    // A notice is for the moment after the tool: it goes with the next frame, or soon.
    if (!notice.isNull())
        noticeTimer.start(NoticeMilliseconds);
    notice = QString();
}

void EditInterface::blitPicToBuffer()
{
    blitX = blitY = 0;
    QSize source(FrameWidth, FrameHeight);
    bool centred = false;
    if (viewPixmap.width() < FrameWidth) {
        topLeftX = 0;
        blitX = (FrameWidth - viewPixmap.width()) / 2;
        source.setWidth(viewPixmap.width());
        centred = true;
    }
    if (viewPixmap.height() < FrameHeight) {
        topLeftY = 0;
        blitY = (FrameHeight - viewPixmap.height()) / 2;
        source.setHeight(viewPixmap.height());
        centred = true;
    }
    // Transparent parts of a picture show the gray beneath them, not the cursor or menu of an
    // earlier frame.
    if (centred || viewPixmap.hasAlphaChannel())
        bufferPainter->fillRect(screenBuffer.rect(), Qt::gray);
    viewPixmap.draw(*bufferPainter, QPoint(blitX, blitY),
                    QRect(QPoint(topLeftX, topLeftY), source));
}

void EditInterface::zoomIn()
{
    if (scale == LargestScale)
        return;
    zoomTo(zoomedIn(scale));
}

void EditInterface::zoomOut()
{
    if (scale < 0.0f)
        return;
    zoomTo(zoomedOut(scale));
}

// The view is always rendered from the picture as loaded, so zooming loses nothing.
void EditInterface::zoomTo(float zoomed)
{
    const float ratio = zoomed / scale;
    scale = zoomed;
    viewPixmap.setScale(scale);
    resetTopLeft(ratio);
    blitPicToBuffer();
}

void EditInterface::resetTopLeft(float ratio)
{
    const QSize view = viewPixmap.size();
    topLeftX = recentredWithin(topLeftX, blitX, ratio, float(FrameCentre.x()), view.width(),
                               FrameWidth);
    topLeftY = recentredWithin(topLeftY, blitY, ratio, float(FrameCentre.y()), view.height(),
                               FrameHeight);
    std::printf("picX=%d, picY=%d %d %d\n", topLeftX, topLeftY, view.width(), view.height());
}

void EditInterface::viewMoveUp()
{
    topLeftY = pannedBack(topLeftY);
    blitPicToBuffer();
}

void EditInterface::viewMoveDown()
{
    topLeftY = pannedForward(topLeftY, viewPixmap.height(), FrameHeight);
    blitPicToBuffer();
}

void EditInterface::viewMoveLeft()
{
    topLeftX = pannedBack(topLeftX);
    blitPicToBuffer();
}

void EditInterface::viewMoveRight()
{
    topLeftX = pannedForward(topLeftX, viewPixmap.width(), FrameWidth);
    blitPicToBuffer();
}
