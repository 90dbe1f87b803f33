#pragma once

#include <QCache>
#include <QImage>
#include <QSize>

#include <vector>

class QPainter;

// The picture at the current scale, of which only the parts that are shown are ever rendered:
// a photo at twice its size would otherwise take hundreds of megabytes on every zoom step.
// Downscaled views average the picture's pixels over each view pixel's area (from a pyramid of
// halved copies, so that a step costs the same at any scale); upscaled views repeat pixels, which
// shows a zoomed picture's pixels as they are, as a crop wants. Every view pixel depends only on
// its own position, so any part renders exactly as it would in a whole rendering.
class ScaledView
{
public:
    ScaledView();

    // The picture in the one format the view renders from; convert before keeping a picture so
    // that it is held once.
    static QImage prepared(QImage picture);

    // The picture as loaded, at scale 1; it is shared, not copied.
    void setPicture(const QImage &picture);
    void setScale(float scale);

    QSize size() const { return m_size; }
    int width() const { return m_size.width(); }
    int height() const { return m_size.height(); }
    bool hasAlphaChannel() const;

    // The view's pixels in the rectangle (clipped to the view).
    QImage render(const QRect &rect) const;

    // Draws the rectangle of the view with its top-left corner at the target point. Rendered
    // parts are kept for the next frames at the same scale.
    void draw(QPainter &painter, const QPoint &target, const QRect &source);

private:
    static constexpr int TileSize = 64;

    QImage tile(int column, int row);

    std::vector<QImage> m_levels;
    float m_scale = 1.0f;
    QSize m_size;
    QCache<quint64, QImage> m_tiles;
};
