// How long the browser takes from Return on a folder of 100,000 entries to the list on screen,
// against `ls -a` listing the same folder in the same run.
#include "testprobe.h"
#include "testsupport.h"

#include <QElapsedTimer>

#include <algorithm>
#include <cstdio>

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char **environ;

// The program traces line by line, as its main() sets up.
static const int lineBuffered = std::setvbuf(stdout, nullptr, _IOLBF, 0);

namespace {

constexpr int Folders = 10000;
constexpr int Files = 90000;
constexpr int Runs = 7;

double median(QList<qint64> times)
{
    std::sort(times.begin(), times.end());
    return double(times.at(times.size() / 2)) / 1e6;
}

// One run of `ls -a` with its output going to a file, as the browser's trace does.
qint64 timeLs(const QString &folder, const QString &output)
{
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    const QByteArray outputPath = QFile::encodeName(output);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, outputPath.constData(),
                                     O_WRONLY | O_CREAT | O_TRUNC, 0600);
    QByteArray path = QFile::encodeName(folder);
    char ls[] = "ls";
    char all[] = "-a";
    char *arguments[] = {ls, all, path.data(), nullptr};
    QElapsedTimer timer;
    timer.start();
    pid_t child = -1;
    int status = 0;
    if (posix_spawnp(&child, "ls", &actions, nullptr, arguments, environ) == 0)
        waitpid(child, &status, 0);
    const qint64 elapsed = timer.nsecsElapsed();
    posix_spawn_file_actions_destroy(&actions);
    return elapsed;
}

} // namespace

class BrowserBenchmark : public QObject
{
    Q_OBJECT

private slots:
    void listLargeFolder()
    {
        Q_UNUSED(lineBuffered);
        QTemporaryDir parent;
        QDir dir(parent.filePath("large"));
        QVERIFY(QDir().mkpath(dir.path()));
        for (int index = 0; index < Folders; ++index)
            dir.mkdir(QStringLiteral("folder %1").arg(index));
        for (int index = 0; index < Files; ++index)
            QFile(dir.filePath(QStringLiteral("picture %1.jpg").arg(index)))
                    .open(QIODevice::WriteOnly);

        qputenv("PICTALUX_START_DIR", QFile::encodeName(parent.path()));
        PxGui browser;
        browser.show();
        ZListBox *list = TestProbe::fileList(browser);
        QList<qint64> browserTimes, lsTimes;
        for (int run = 0; run < Runs; ++run) {
            lsTimes.append(timeLs(dir.path(), parent.filePath("ls.out")));
            list->setCurrentItem(TestProbe::rows(list).indexOf("large"));
            StdoutCapture traces;
            QElapsedTimer timer;
            timer.start();
            QTest::keyClick(list, Qt::Key_Return);
            QCoreApplication::processEvents();
            browserTimes.append(timer.nsecsElapsed());
            traces.finish();
            QCOMPARE(list->count(), 1 + Folders + Files);
            browser.itemSelected(0);
        }
        const double browserMs = median(browserTimes), lsMs = median(lsTimes);
        std::printf("%d folders and %d files: browser median %.1f ms, ls -a median %.1f ms, "
                    "ratio %.2f\n",
                    Folders, Files, browserMs, lsMs, browserMs / lsMs);
    }
};

PICTALUX_TEST_MAIN(BrowserBenchmark)
#include "bench_browser.moc"
