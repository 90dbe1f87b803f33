#include "benchmark.h"

#include <QFile>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QRandomGenerator>

#include <algorithm>
#include <cstdio>

namespace Benchmark {

char **programArguments()
{
    static char program[] = PICTALUX_PROGRAM_DIR "/pictalux";
    static char *arguments[] = {program, nullptr};
    return arguments;
}

double median(QList<double> values)
{
    std::sort(values.begin(), values.end());
    return values.isEmpty() ? 0.0 : values.at(values.size() / 2);
}

double milliseconds(qint64 nanoseconds)
{
    return double(nanoseconds) / 1e6;
}

qint64 peakResidentKilobytes()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').first().toLongLong();
    }
    return 0;
}

void resetPeak()
{
    QFile clear(QStringLiteral("/proc/self/clear_refs"));
    if (clear.open(QIODevice::WriteOnly))
        clear.write("5");
}

void traceInto(const QString &path)
{
    std::fflush(stdout);
    if (std::freopen(QFile::encodeName(path).constData(), "w", stdout))
        std::setvbuf(stdout, nullptr, _IOLBF, 0);
}

QString makePhoto(const QString &folder, int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    QPainter painter(&image);
    QLinearGradient sky(0, 0, 0, height);
    sky.setColorAt(0, QColor(120, 170, 230));
    sky.setColorAt(0.6, QColor(200, 190, 160));
    sky.setColorAt(1, QColor(40, 110, 50));
    painter.fillRect(image.rect(), sky);
    QRandomGenerator generator(7);
    painter.setPen(Qt::NoPen);
    for (int shape = 0; shape < 400; ++shape) {
        painter.setBrush(QColor::fromHsv(generator.bounded(360), 40 + generator.bounded(160),
                                         60 + generator.bounded(180)));
        const int size = width / 80 + generator.bounded(width / 12);
        painter.drawEllipse(generator.bounded(width), generator.bounded(height), size,
                            size * (50 + generator.bounded(100)) / 100);
    }
    painter.end();
    // Grain on every pixel, and a fine texture that varies across the picture.
    for (int y = 0; y < height; ++y) {
        auto *line = reinterpret_cast<quint32 *>(image.scanLine(y));
        for (int x = 0; x < width; ++x) {
            const quint32 random = generator.generate();
            const int grain = int(random & 0x1f) - 16 + (((x ^ y) & 4) ? 6 : -6);
            const QRgb pixel = line[x];
            line[x] = qRgb(std::clamp(qRed(pixel) + grain, 0, 255),
                           std::clamp(qGreen(pixel) + grain + int((random >> 8) & 7) - 4, 0, 255),
                           std::clamp(qBlue(pixel) + grain + int((random >> 16) & 7) - 4, 0, 255));
        }
    }
    const QString path = folder + QStringLiteral("/photo-%1x%2.jpg").arg(width).arg(height);
    image.save(path, "JPEG", 92);
    return path;
}

} // namespace Benchmark
