// How long the browser takes to list a folder of 10,000 files and 1,000 folders.
#include "testprobe.h"
#include "testsupport.h"

#include <QElapsedTimer>

#include <algorithm>
#include <cstdio>

class BrowserBenchmark : public QObject
{
    Q_OBJECT

private slots:
    void listLargeFolder()
    {
        QTemporaryDir folder;
        QDir dir(folder.path());
        for (int index = 0; index < 1000; ++index)
            dir.mkdir(QStringLiteral("folder %1").arg(index));
        for (int index = 0; index < 10000; ++index)
            writeFile(dir.filePath(QStringLiteral("picture %1.jpg").arg(index)));

        qputenv("PICTALUX_START_DIR", "/");
        PxGui browser;
        browser.show();
        QList<qint64> times;
        for (int run = 0; run < 7; ++run) {
            StdoutCapture traces;
            QElapsedTimer timer;
            timer.start();
            TestProbe::setCurDir(browser, folder.path());
            QCoreApplication::processEvents();
            times.append(timer.nsecsElapsed());
            traces.finish();
        }
        QCOMPARE(TestProbe::fileList(browser)->count(), 11001);
        std::sort(times.begin(), times.end());
        std::printf("listing 10,000 files and 1,000 folders: median %.1f ms, slowest %.1f ms\n",
                    times.at(times.size() / 2) / 1e6, times.last() / 1e6);
    }
};

PICTALUX_TEST_MAIN(BrowserBenchmark)
#include "bench_browser.moc"
