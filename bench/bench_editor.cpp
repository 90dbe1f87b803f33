// The editor's costs on a 24-megapixel photo: loading to the first frame against Qt's own
// decoding, one zoom step at every scale, one cursor tick at every scale, and the peak memory
// of zooming in and out, against the decoded picture.
#include "testprobe.h"
#include "testsupport.h"

#include <QElapsedTimer>
#include <QImageReader>
#include <QPainter>
#include <QRandomGenerator>

#include <algorithm>
#include <cstdio>

using Probe = TestProbe;

namespace {

// A photo-like picture: smooth shapes with a little grain, as a camera gives.
QString makePhoto(const QString &folder, QSize size)
{
    QImage image(size, QImage::Format_RGB32);
    QPainter painter(&image);
    QLinearGradient sky(0, 0, 0, size.height());
    sky.setColorAt(0, QColor(120, 170, 230));
    sky.setColorAt(1, QColor(40, 110, 50));
    painter.fillRect(image.rect(), sky);
    QRandomGenerator generator(7);
    for (int shape = 0; shape < 60; ++shape) {
        painter.setBrush(QColor::fromHsv(generator.bounded(360), 160, 200));
        painter.setPen(Qt::NoPen);
        painter.drawEllipse(
                QPoint(generator.bounded(size.width()), generator.bounded(size.height())),
                size.width() / 20, size.height() / 20);
    }
    painter.end();
    for (int y = 0; y < size.height(); y += 3) {
        auto *line = reinterpret_cast<quint32 *>(image.scanLine(y));
        for (int x = 0; x < size.width(); x += 3)
            line[x] ^= generator.generate() & 0x070707;
    }
    const QString path =
            folder + QStringLiteral("/photo-%1x%2.jpg").arg(size.width()).arg(size.height());
    image.save(path, "JPEG", 90);
    return path;
}

double milliseconds(qint64 nanoseconds)
{
    return double(nanoseconds) / 1e6;
}

double median(QList<double> values)
{
    std::sort(values.begin(), values.end());
    return values.at(values.size() / 2);
}

qint64 peakResidentKilobytes()
{
    QFile status(QStringLiteral("/proc/self/status"));
    status.open(QIODevice::ReadOnly);
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

} // namespace

class EditorBenchmark : public QObject
{
    Q_OBJECT

private:
    ProgramDir m_programDir;
    QTemporaryDir m_pictures;

    double loadToFirstFrame(EditInterface &editor, const QString &path)
    {
        const int frames = Probe::framesShown(editor);
        QElapsedTimer timer;
        timer.start();
        Probe::picPath(editor) = path;
        editor.loadPicture();
        while (Probe::framesShown(editor) == frames)
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        return milliseconds(timer.nsecsElapsed()) - 20.0;
    }

    // Times the zoom-in key from the fit up to 2.0; returns every step's time.
    QList<double> zoomInSteps(EditInterface &editor)
    {
        QList<double> steps;
        while (Probe::scale(editor) < 2.0f) {
            QElapsedTimer timer;
            timer.start();
            QTest::keyClick(&editor, Qt::Key_Plus);
            steps.append(milliseconds(timer.nsecsElapsed()));
        }
        return steps;
    }

private slots:
    void photo()
    {
        qputenv("PICTALUX_START_DIR", m_pictures.path().toLocal8Bit());
        const QString large = makePhoto(m_pictures.path(), QSize(6000, 4000));
        const QString small = makePhoto(m_pictures.path(), QSize(1000, 750));

        QList<double> decodes;
        for (int run = 0; run < 3; ++run) {
            QElapsedTimer timer;
            timer.start();
            QVERIFY(!QImage(large).isNull());
            decodes.append(milliseconds(timer.nsecsElapsed()));
        }

        EditInterface editor;
        editor.show();
        StdoutCapture traces;
        QList<double> loads;
        for (int run = 0; run < 3; ++run)
            loads.append(loadToFirstFrame(editor, large));

        QCOMPARE(Probe::originPixmap(editor).size(), QSize(6000, 4000));
        const QList<double> largeSteps = zoomInSteps(editor);

        // A cursor tick at scales from 2.0 down to the fit.
        QTest::keyClick(&editor, Qt::Key_Return);
        QTest::keyClick(&editor, Qt::Key_Return);
        QCOMPARE(Probe::editMode(editor), int(EditInterface::CursorMode));
        Probe::mouseTimer(editor).stop();
        Probe::rightPressed(editor) = true;
        double slowestTick = 0;
        double longestTick = 0;
        for (float scale = 2.0f; scale > 0.04f; scale -= 0.25f) {
            while (Probe::scale(editor) > scale)
                editor.zoomOut();
            Probe::mousePos(editor) = QPoint(319, 120);
            QList<double> ticks;
            for (int tick = 0; tick < 60; ++tick) {
                QElapsedTimer timer;
                timer.start();
                Probe::tick(editor);
                ticks.append(milliseconds(timer.nsecsElapsed()));
            }
            slowestTick = std::max(slowestTick, median(ticks));
            longestTick = std::max(longestTick, *std::max_element(ticks.begin(), ticks.end()));
        }
        QTest::keyClick(&editor, Qt::Key_F11);
        QTest::keyClick(&editor, Qt::Key_F11);

        // Peak memory while zooming in from the fit and back out.
        loadToFirstFrame(editor, large);
        const double decoded = 6000.0 * 4000.0 * 4.0 / 1024.0;
        resetPeak();
        zoomInSteps(editor);
        while (Probe::scale(editor) > 0.06f)
            QTest::keyClick(&editor, Qt::Key_Minus);
        const qint64 peak = peakResidentKilobytes();

        loadToFirstFrame(editor, small);
        const QList<double> smallSteps = zoomInSteps(editor);
        traces.finish();

        const double decode = median(decodes);
        const double load = median(loads);
        std::printf(
                "load to first frame (less the 20 ms wait): %.0f ms; Qt decoding alone: %.0f ms;"
                " ratio %.2f (target at most 1.5)\n",
                load, decode, load / decode);
        std::printf("zoom step, 6000 x 4000, fit to 2.0: slowest %.1f ms, median %.1f ms"
                    " (target under 20 ms)\n",
                    *std::max_element(largeSteps.begin(), largeSteps.end()), median(largeSteps));
        std::printf("zoom step onto 2.0: 6000 x 4000 %.2f ms, 1000 x 750 %.2f ms, ratio %.2f\n",
                    largeSteps.last(), smallSteps.last(), largeSteps.last() / smallSteps.last());
        std::printf("cursor tick, slowest median over the scales: %.3f ms, longest single tick"
                    " %.3f ms (target under 2 ms)\n",
                    slowestTick, longestTick);
        std::printf("peak memory zooming in and out: %.0f MB, decoded picture %.0f MB, ratio %.2f"
                    " (target under 2.5)\n",
                    double(peak) / 1024.0, decoded / 1024.0, double(peak) / decoded);
    }
};

PICTALUX_TEST_MAIN(EditorBenchmark)
#include "bench_editor.moc"
