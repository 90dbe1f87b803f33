#include "editor/scaledview.h"

#include "editor/viewmath.h"

#include <QPainter>

#include <algorithm>
#include <cmath>

namespace {

constexpr quint32 LaneMask = 0x00ff00ff;
constexpr quint32 LaneHalf = 0x00800080;

// The average of four pixels, channel by channel, rounded.
inline quint32 average(quint32 a, quint32 b, quint32 c, quint32 d)
{
    const quint32 low = (a & LaneMask) + (b & LaneMask) + (c & LaneMask) + (d & LaneMask);
    const quint32 high = ((a >> 8) & LaneMask) + ((b >> 8) & LaneMask) + ((c >> 8) & LaneMask) +
                         ((d >> 8) & LaneMask);
    return (((low + 0x00020002) >> 2) & LaneMask) | ((((high + 0x00020002) >> 2) & LaneMask) << 8);
}

// Halves a picture by averaging each block of 2 x 2 pixels; at an odd edge the block repeats
// its last column or row, which averages what the picture holds there.
QImage halved(const QImage &source)
{
    QImage result((source.width() + 1) / 2, (source.height() + 1) / 2, source.format());
    const int pairs = source.width() / 2;
    for (int y = 0; y < result.height(); ++y) {
        const auto *upper = reinterpret_cast<const quint32 *>(source.constScanLine(2 * y));
        const auto *lower = reinterpret_cast<const quint32 *>(
                source.constScanLine(std::min(2 * y + 1, source.height() - 1)));
        auto *out = reinterpret_cast<quint32 *>(result.scanLine(y));
        for (int x = 0; x < pairs; ++x)
            out[x] = average(upper[2 * x], upper[2 * x + 1], lower[2 * x], lower[2 * x + 1]);
        if (pairs < result.width()) {
            const int last = source.width() - 1;
            out[pairs] = average(upper[last], upper[last], lower[last], lower[last]);
        }
    }
    return result;
}

// For each view pixel of a run along one axis: the source pixels it takes and their weights,
// which add up to 256. A view pixel v covers the source interval [v / ratio, (v + 1) / ratio):
// below 1:1 every source pixel in it counts by its overlap, above 1:1 the one under its centre.
struct Taps
{
    std::vector<int> first;
    std::vector<int> offset;
    std::vector<quint32> weights;

    Taps(int from, int count, double ratio, int sourceLength)
    {
        for (int v = from; v < from + count; ++v) {
            offset.push_back(int(weights.size()));
            if (ratio > 1.0) {
                const int nearest = int(std::floor((v + 0.5) / ratio));
                first.push_back(std::clamp(nearest, 0, sourceLength - 1));
                weights.push_back(256);
                continue;
            }
            const double end = std::min(double(sourceLength), (v + 1) / ratio);
            const double start = std::min(v / ratio, end - 1.0);
            const int firstSource = int(std::floor(start));
            first.push_back(firstSource);
            // Cumulative rounding keeps the sum at exactly 256.
            int given = 0;
            for (int s = firstSource; s < end; ++s) {
                const double covered = std::min(end, s + 1.0) - start;
                const int total = int(std::lround(256.0 * covered / (end - start)));
                weights.push_back(quint32(total - given));
                given = total;
            }
        }
        offset.push_back(int(weights.size()));
    }
};

QImage renderFrom(const QImage &level, double ratio, const QRect &rect)
{
    const Taps columns(rect.x(), rect.width(), ratio, level.width());
    const Taps rows(rect.y(), rect.height(), ratio, level.height());
    QImage result(rect.size(), level.format());
    std::vector<quint32> low(size_t(rect.width()));
    std::vector<quint32> high(size_t(rect.width()));
    for (int y = 0; y < rect.height(); ++y) {
        std::fill(low.begin(), low.end(), LaneHalf);
        std::fill(high.begin(), high.end(), LaneHalf);
        for (int r = rows.offset[y]; r < rows.offset[y + 1]; ++r) {
            const quint32 rowWeight = rows.weights[size_t(r)];
            const auto *line = reinterpret_cast<const quint32 *>(
                    level.constScanLine(rows.first[size_t(y)] + r - rows.offset[y]));
            for (int x = 0; x < rect.width(); ++x) {
                // Two channels a lane; a weighted lane stays below 65536, so it cannot carry.
                quint32 lowSum = LaneHalf;
                quint32 highSum = LaneHalf;
                const quint32 *pixel = line + columns.first[size_t(x)];
                for (int c = columns.offset[x]; c < columns.offset[x + 1]; ++c, ++pixel) {
                    const quint32 weight = columns.weights[size_t(c)];
                    lowSum += weight * (*pixel & LaneMask);
                    highSum += weight * ((*pixel >> 8) & LaneMask);
                }
                low[size_t(x)] += rowWeight * ((lowSum >> 8) & LaneMask);
                high[size_t(x)] += rowWeight * ((highSum >> 8) & LaneMask);
            }
        }
        auto *out = reinterpret_cast<quint32 *>(result.scanLine(y));
        for (int x = 0; x < rect.width(); ++x)
            out[x] =
                    ((low[size_t(x)] >> 8) & LaneMask) | (((high[size_t(x)] >> 8) & LaneMask) << 8);
    }
    return result;
}

} // namespace

ScaledView::ScaledView()
    : m_tiles(512)
{}

QImage ScaledView::prepared(QImage picture)
{
    const QImage::Format format =
            picture.hasAlphaChannel() ? QImage::Format_ARGB32_Premultiplied : QImage::Format_RGB32;
    if (!picture.isNull() && picture.format() != format)
        picture.convertTo(format);
    return picture;
}

void ScaledView::setPicture(const QImage &picture)
{
    m_levels.assign(1, prepared(picture));
    while (m_levels.back().width() > 1 || m_levels.back().height() > 1)
        m_levels.push_back(halved(m_levels.back()));
    setScale(1.0f);
}

void ScaledView::setScale(float scale)
{
    m_scale = scale;
    m_size = m_levels.empty() ? QSize() : ViewMath::scaledSize(m_levels.front().size(), scale);
    m_tiles.clear();
}

bool ScaledView::hasAlphaChannel() const
{
    return !m_levels.empty() && m_levels.front().hasAlphaChannel();
}

QImage ScaledView::render(const QRect &rect) const
{
    const QRect visible = rect & QRect(QPoint(0, 0), m_size);
    if (visible.isEmpty())
        return QImage();
    // The level at which the view is between half and the whole of the level's size.
    size_t level = 0;
    double ratio = m_scale;
    while (ratio <= 0.5 && level + 1 < m_levels.size()) {
        ratio *= 2.0;
        ++level;
    }
    return renderFrom(m_levels[level], ratio, visible);
}

void ScaledView::draw(QPainter &painter, const QPoint &target, const QRect &source)
{
    const QRect visible = source & QRect(QPoint(0, 0), m_size);
    if (visible.isEmpty())
        return;
    for (int row = visible.top() / TileSize; row <= visible.bottom() / TileSize; ++row) {
        for (int column = visible.left() / TileSize; column <= visible.right() / TileSize;
             ++column) {
            const QRect tileRect(column * TileSize, row * TileSize, TileSize, TileSize);
            const QRect part = tileRect & visible;
            painter.drawImage(target + part.topLeft() - source.topLeft(), tile(column, row),
                              part.translated(-tileRect.topLeft()));
        }
    }
}

QImage ScaledView::tile(int column, int row)
{
    const quint64 key = (quint64(quint32(column)) << 32) | quint32(row);
    if (const QImage *cached = m_tiles.object(key))
        return *cached;
    const QImage rendered = render(QRect(column * TileSize, row * TileSize, TileSize, TileSize));
    m_tiles.insert(key, new QImage(rendered));
    return rendered;
}
