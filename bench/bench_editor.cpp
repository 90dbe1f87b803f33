// The editor's costs on camera-sized photos: loading to the first frame against Qt's own
// decoding, the peak memory of every load (a 24 and a 100 megapixel JPEG) against the decoded
// picture, one zoom step at every scale, and one cursor tick at every scale.
#include "benchmark.h"

#include "editor/editinterface.h"
#include "editor/viewmath.h"
#include "platform/zapplication.h"

#include <QElapsedTimer>
#include <QImageReader>
#include <QKeyEvent>
#include <QTemporaryDir>

#include <cstdio>

#include <unistd.h>

using namespace Benchmark;

namespace {

std::FILE *report = stdout;

void press(QWidget *widget, Qt::Key key)
{
    QKeyEvent event(QEvent::KeyPress, key, Qt::NoModifier);
    QCoreApplication::sendEvent(widget, &event);
}

double decodeTime(const QString &path)
{
    QElapsedTimer timer;
    timer.start();
    QImageReader reader(path);
    reader.setAutoTransform(true);
    const QImage picture = reader.read();
    return picture.isNull() ? 0.0 : milliseconds(timer.nsecsElapsed());
}

// From choosing the picture to its first frame, less the 20 ms the editor waits on purpose.
double loadToFirstFrame(EditInterface &editor, const QString &path)
{
    QElapsedTimer timer;
    timer.start();
    editor.openPath(path);
    QMetaObject::invokeMethod(&editor, "initViewPicture", Qt::DirectConnection);
    return milliseconds(timer.nsecsElapsed());
}

// Zooms in from the fitted scale up to the largest, timing every step.
QList<double> zoomInSteps(EditInterface &editor, QSize picture)
{
    QList<double> steps;
    for (float scale = ViewMath::fitScale(picture); scale < ViewMath::LargestScale;
         scale = ViewMath::zoomedIn(scale)) {
        QElapsedTimer timer;
        timer.start();
        press(&editor, Qt::Key_Plus);
        steps.append(milliseconds(timer.nsecsElapsed()));
    }
    return steps;
}

void reportLoads(const char *what, const QString &path, QSize size, EditInterface &editor)
{
    QList<double> decodes, loads;
    for (int run = 0; run < 3; ++run)
        decodes.append(decodeTime(path));
    resetPeak();
    for (int run = 0; run < 3; ++run)
        loads.append(loadToFirstFrame(editor, path));
    const double peak = double(peakResidentKilobytes()) / 1024.0;
    const double decoded = double(size.width()) * size.height() * 4.0 / (1024.0 * 1024.0);
    const double load = median(loads), decode = median(decodes);
    std::fprintf(report,
                 "%s, %.1f MB file: load to first frame %.0f ms, Qt decoding alone %.0f ms, "
                 "ratio %.2f (target at most 1.5)\n",
                 what, double(QFileInfo(path).size()) / 1e6, load, decode, load / decode);
    std::fprintf(report,
                 "%s: peak memory over three loads %.0f MB, decoded picture %.0f MB, ratio %.2f "
                 "(target at most 2.5)\n",
                 what, peak, decoded, peak / decoded);
}

} // namespace

int main(int, char **)
{
    int argumentCount = 1;
    ZApplication application(argumentCount, programArguments());
    QTemporaryDir pictures;
    qputenv("PICTALUX_START_DIR", QFile::encodeName(pictures.path()));
    const QSize largeSize(6000, 4000), smallSize(1000, 750), hugeSize(12000, 8400);
    const QString large = makePhoto(pictures.path(), largeSize.width(), largeSize.height());
    const QString small = makePhoto(pictures.path(), smallSize.width(), smallSize.height());

    report = fdopen(dup(STDOUT_FILENO), "w");
    traceInto(pictures.filePath(QStringLiteral("trace")));
    EditInterface editor;
    reportLoads("24 MP", large, largeSize, editor);

    const QList<double> largeSteps = zoomInSteps(editor, largeSize);

    // A cursor tick at scales from 2.0 down to the fit, the cursor at the right edge so that
    // every tick scrolls the view.
    press(&editor, Qt::Key_Return);
    press(&editor, Qt::Key_Return);
    press(&editor, Qt::Key_Right);
    for (int tick = 0; tick < 200; ++tick)
        QMetaObject::invokeMethod(&editor, "moveMouse", Qt::DirectConnection);
    double slowestTick = 0;
    double longestTick = 0;
    float scale = ViewMath::LargestScale;
    for (float target = 2.0f; target > 0.04f; target -= 0.25f) {
        for (; scale > target; scale = ViewMath::zoomedOut(scale))
            editor.zoomOut();
        QList<double> ticks;
        for (int tick = 0; tick < 60; ++tick) {
            QElapsedTimer timer;
            timer.start();
            QMetaObject::invokeMethod(&editor, "moveMouse", Qt::DirectConnection);
            ticks.append(milliseconds(timer.nsecsElapsed()));
        }
        slowestTick = std::max(slowestTick, median(ticks));
        longestTick = std::max(longestTick, *std::max_element(ticks.begin(), ticks.end()));
    }
    press(&editor, Qt::Key_F11);
    press(&editor, Qt::Key_F11);

    // Peak memory while zooming in from the fit and back out.
    loadToFirstFrame(editor, large);
    resetPeak();
    zoomInSteps(editor, largeSize);
    for (scale = ViewMath::LargestScale; scale > 0.06f; scale = ViewMath::zoomedOut(scale))
        press(&editor, Qt::Key_Minus);
    const double zoomPeak = double(peakResidentKilobytes()) / 1024.0;

    loadToFirstFrame(editor, small);
    const QList<double> smallSteps = zoomInSteps(editor, smallSize);

    std::fprintf(report,
                 "zoom step, 6000 x 4000, fit to 2.0: slowest %.1f ms, median %.1f ms"
                 " (target under 20 ms)\n",
                 *std::max_element(largeSteps.begin(), largeSteps.end()), median(largeSteps));
    std::fprintf(report,
                 "zoom step onto 2.0: 6000 x 4000 %.2f ms, 1000 x 750 %.2f ms, ratio %.2f\n",
                 largeSteps.last(), smallSteps.last(), largeSteps.last() / smallSteps.last());
    std::fprintf(report,
                 "cursor tick, slowest median over the scales: %.3f ms, longest single tick"
                 " %.3f ms (target under 2 ms)\n",
                 slowestTick, longestTick);
    std::fprintf(report, "peak memory zooming in and out: %.0f MB, ratio %.2f (target under 2.5)\n",
                 zoomPeak,
                 zoomPeak / (double(largeSize.width()) * largeSize.height() * 4.0 / 1048576.0));

    QFile::remove(large);
    const QString huge = makePhoto(pictures.path(), hugeSize.width(), hugeSize.height());
    reportLoads("100 MP", huge, hugeSize, editor);
    return 0;
}
