// The 15 tools at their default values on a 24-megapixel photo: the launcher against the
// distribution's ImageMagick alone with its own policy, one after the other in the same run, with
// the peak memory of each; then Return-to-picture for negate and the launcher's own overhead.
// Usage: bench_tools [runs per tool, default 1]
#include "benchmark.h"

#include "editor/tooltable.h"

#include <QElapsedTimer>
#include <QGuiApplication>
#include <QImageReader>
#include <QTemporaryDir>

#include <algorithm>
#include <cmath>
#include <cstdio>

#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>

extern char **environ;

using Benchmark::median;

namespace {

const QString ImageMagick = QStringLiteral(PICTALUX_IMAGEMAGICK);
const QString Launcher = QStringLiteral(PICTALUX_PROGRAM_DIR "/convert");

struct Run
{
    double seconds = 0;
    double cpu = 0;       // user and system time of the whole process tree
    double megabytes = 0; // the largest single process
    bool succeeded = false;
};

Run run(const QStringList &arguments)
{
    QList<QByteArray> bytes;
    std::vector<char *> argv;
    for (const QString &argument : arguments)
        bytes.append(argument.toLocal8Bit());
    for (QByteArray &argument : bytes)
        argv.push_back(argument.data());
    argv.push_back(nullptr);
    QElapsedTimer timer;
    timer.start();
    pid_t child = 0;
    if (posix_spawn(&child, argv.front(), nullptr, nullptr, argv.data(), environ) != 0)
        return {};
    int status = 0;
    rusage usage = {};
    wait4(child, &status, 0, &usage);
    const auto seconds = [](timeval time) { return double(time.tv_sec) + time.tv_usec / 1e6; };
    return {double(timer.nsecsElapsed()) / 1e9, seconds(usage.ru_utime) + seconds(usage.ru_stime),
            double(usage.ru_maxrss) / 1024.0, WIFEXITED(status) && WEXITSTATUS(status) == 0};
}

QImage decode(const QString &path)
{
    QImageReader reader(path);
    reader.setDecideFormatFromContent(true);
    reader.setAutoTransform(true);
    return reader.read();
}

// How close two pictures are: the peak signal-to-noise ratio in dB over every channel (99 for
// equal pictures, 0 when they cannot be compared).
double psnr(const QImage &a, const QImage &b)
{
    if (a.isNull() || a.size() != b.size())
        return 0;
    const QImage x = a.convertToFormat(QImage::Format_RGB32);
    const QImage y = b.convertToFormat(QImage::Format_RGB32);
    double squares = 0;
    for (int row = 0; row < x.height(); ++row) {
        const auto *p = reinterpret_cast<const QRgb *>(x.constScanLine(row));
        const auto *q = reinterpret_cast<const QRgb *>(y.constScanLine(row));
        for (int column = 0; column < x.width(); ++column) {
            for (const int shift : {0, 8, 16}) {
                const int difference =
                        int((p[column] >> shift) & 0xff) - int((q[column] >> shift) & 0xff);
                squares += difference * difference;
            }
        }
    }
    const double mean = squares / (3.0 * x.width() * x.height());
    return mean == 0 ? 99 : 10 * std::log10(255.0 * 255.0 / mean);
}

} // namespace

int main(int argc, char **argv)
{
    QGuiApplication application(argc, argv);
    const int runs = argc > 1 ? std::max(1, atoi(argv[1])) : 1;
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    // The bare runs see the system's policy only.
    qunsetenv("MAGICK_CONFIGURE_PATH");
    QTemporaryDir folder;
    const QString photo = Benchmark::makePhoto(folder.path(), 6000, 4000);
    const QString workingCopy = folder.filePath(QStringLiteral("pxTemp.image"));
    const QString bareOutput = folder.filePath(QStringLiteral("bare.jpg"));
    std::printf("photo: 6000 x 4000 JPEG, %.1f MB; %d run(s) per tool, medians\n",
                double(QFileInfo(photo).size()) / 1e6, runs);
    std::printf("%-12s %10s %8s %7s %9s %7s %11s %8s %10s\n", "tool", "launcher s", "bare s",
                "ratio", "cpu ratio", "cpu s", "launcher MB", "bare MB", "PSNR dB");

    double launcherTotal = 0, bareTotal = 0, launcherCpuTotal = 0, bareCpuTotal = 0;
    double slowest = 0, fastest = 1e9;
    for (int index = 0; index < ToolTable::Count; ++index) {
        const ToolTable::Tool &tool = ToolTable::tools()[index];
        const QString part =
                index == ToolTable::CropTool
                        ? ToolTable::cropOptionPart(QRect(1500, 1000, 3000, 2000))
                        : ToolTable::optionPart(tool, ToolTable::defaultValue(tool.min, tool.max));
        const QStringList options = part.split(QLatin1Char(' '), Qt::SkipEmptyParts);
        QList<double> launcherTimes, bareTimes, launcherCpu, bareCpu;
        Run launcher, bare;
        for (int i = 0; i < runs; ++i) {
            QFile::remove(workingCopy);
            launcher = run(QStringList{Launcher, photo} + options + QStringList{workingCopy});
            bare = run(QStringList{ImageMagick, photo} + options + QStringList{bareOutput});
            launcherTimes.append(launcher.seconds);
            bareTimes.append(bare.seconds);
            launcherCpu.append(launcher.cpu);
            bareCpu.append(bare.cpu);
        }
        const double ours = median(launcherTimes), theirs = median(bareTimes);
        const double similar = launcher.succeeded && bare.succeeded
                                       ? psnr(decode(workingCopy), decode(bareOutput))
                                       : 0;
        std::printf("%-12s %10.2f %8.2f %7.2f %9.2f %7.2f %11.0f %8.0f %10.1f%s\n", tool.nameKey,
                    ours, theirs, ours / theirs, median(launcherCpu) / median(bareCpu),
                    median(launcherCpu), launcher.megabytes, bare.megabytes, similar,
                    launcher.succeeded ? "" : "  FAILED");
        launcherTotal += ours;
        bareTotal += theirs;
        launcherCpuTotal += median(launcherCpu);
        bareCpuTotal += median(bareCpu);
        slowest = std::max(slowest, ours);
        fastest = std::min(fastest, ours);
    }
    std::printf("%-12s %10.2f %8.2f %7.2f %9.2f %7.2f   (targets: slowest tool %.2f s under 10 s,"
                " ratio of the sums at most 0.33)\n",
                "sum", launcherTotal, bareTotal, launcherTotal / bareTotal,
                launcherCpuTotal / bareCpuTotal, launcherCpuTotal, slowest);

    // From Return to the picture the editor shows: the converter, then Qt's decoding of the
    // working copy, against ImageMagick alone.
    QList<double> first, chained, bareNegate, before;
    for (int i = 0; i < std::max(runs, 3); ++i) {
        QElapsedTimer timer;
        timer.start();
        run({Launcher, photo, QStringLiteral("-negate"), workingCopy});
        decode(workingCopy);
        first.append(double(timer.nsecsElapsed()) / 1e9);
        timer.restart();
        run({Launcher, workingCopy, QStringLiteral("-negate"), workingCopy});
        decode(workingCopy);
        chained.append(double(timer.nsecsElapsed()) / 1e9);
        const Run bare = run({ImageMagick, photo, QStringLiteral("-negate"), bareOutput});
        bareNegate.append(bare.seconds);
        timer.restart();
        decode(bareOutput);
        before.append(bare.seconds + double(timer.nsecsElapsed()) / 1e9);
    }
    const double bare = median(bareNegate);
    std::printf("negate, Return to picture: from the photo %.2f s (%.2f), chained %.2f s (%.2f), "
                "ImageMagick alone %.2f s, with a JPEG working copy %.2f s (%.2f); target at "
                "most 1.2\n",
                median(first), median(first) / bare, median(chained), median(chained) / bare, bare,
                median(before), median(before) / bare);

    // The launcher around a stand-in that writes a few bytes, against the stand-in alone.
    const QString standIn = folder.filePath(QStringLiteral("standin"));
    QFile script(standIn);
    script.open(QIODevice::WriteOnly);
    script.write("#!/bin/sh\nfor out; do :; done\necho x >\"${out#TIFF:}\"\n");
    script.close();
    QFile::setPermissions(standIn, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    QList<double> wrapped, alone;
    qputenv("PICTALUX_IMAGEMAGICK", standIn.toLocal8Bit());
    for (int i = 0; i < 30; ++i) {
        wrapped.append(run({Launcher, photo, QStringLiteral("-flop"), workingCopy}).seconds);
        alone.append(run({standIn, photo, QStringLiteral("-flop"), workingCopy}).seconds);
    }
    const double overhead = median(wrapped) - median(alone);
    std::printf("launcher overhead: %.1f ms, %.1f %% of the fastest tool (target under 5 %%)\n",
                overhead * 1e3, 100 * overhead / fastest);
    return 0;
}
