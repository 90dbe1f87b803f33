// How long the browser takes from Return on a folder of 100,000 entries to the list on screen,
// against `ls -a` listing the same folder in the same run.
#include "benchmark.h"

#include "browser/pxgui.h"
#include "platform/zapplication.h"
#include "platform/zlistbox.h"
#include "platform/zlistboxitem.h"

#include <QDir>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QTemporaryDir>

#include <cstdio>

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>

extern char **environ;

using namespace Benchmark;

namespace {

constexpr int Folders = 10000;
constexpr int Files = 90000;
constexpr int Runs = 7;

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

int rowOf(const ZListBox *list, const QString &name)
{
    for (int row = 0; row < list->count(); ++row) {
        if (list->item(row)->getSubItemText(1) == name)
            return row;
    }
    return -1;
}

void press(QWidget *widget, Qt::Key key)
{
    QKeyEvent event(QEvent::KeyPress, key, Qt::NoModifier);
    QCoreApplication::sendEvent(widget, &event);
}

} // namespace

int main(int, char **)
{
    int argumentCount = 1;
    ZApplication application(argumentCount, programArguments());
    QTemporaryDir parent;
    QDir dir(parent.filePath(QStringLiteral("large")));
    QDir().mkpath(dir.path());
    for (int index = 0; index < Folders; ++index)
        dir.mkdir(QStringLiteral("folder %1").arg(index));
    for (int index = 0; index < Files; ++index)
        QFile(dir.filePath(QStringLiteral("picture %1.jpg").arg(index))).open(QIODevice::WriteOnly);

    qputenv("PICTALUX_START_DIR", QFile::encodeName(parent.path()));
    std::FILE *report = fdopen(dup(STDOUT_FILENO), "w");
    traceInto(parent.filePath(QStringLiteral("trace")));
    PxGui browser;
    browser.show();
    auto *list = browser.findChild<ZListBox *>();
    QList<double> browserTimes, lsTimes;
    for (int run = 0; run < Runs; ++run) {
        lsTimes.append(milliseconds(timeLs(dir.path(), parent.filePath(QStringLiteral("ls")))));
        list->setCurrentItem(rowOf(list, QStringLiteral("large")));
        QElapsedTimer timer;
        timer.start();
        press(list, Qt::Key_Return);
        QCoreApplication::processEvents();
        browserTimes.append(milliseconds(timer.nsecsElapsed()));
        if (list->count() != 1 + Folders + Files) {
            std::fprintf(report, "the browser listed %d rows\n", list->count());
            return 1;
        }
        list->setCurrentItem(0);
        press(list, Qt::Key_Return);
    }
    const double browserMs = median(browserTimes), lsMs = median(lsTimes);
    std::fprintf(report,
                 "%d folders and %d files: browser median %.1f ms, ls -a median %.1f ms, "
                 "ratio %.2f (target at most 2)\n",
                 Folders, Files, browserMs, lsMs, browserMs / lsMs);
    return 0;
}
