// The 15 tools at their default values on a 24-megapixel photo: the launcher against the
// distribution's ImageMagick alone with its own policy, one after the other in the same run, with
// the peak memory of each; then Return-to-picture for negate and the launcher's own overhead.
// Usage: bench_tools [runs per tool, default 1]
#include "testsupport.h"

#include "editor/tooltable.h"

#include <QElapsedTimer>
#include <QImageReader>
#include <QPainter>
#include <QRandomGenerator>

#include <algorithm>
#include <cstdio>

#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>

extern char **environ;

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

double median(QList<double> values)
{
    std::sort(values.begin(), values.end());
    return values.isEmpty() ? 0 : values.at(values.size() / 2);
}

// A photo-like picture: sky and ground, shapes with soft and hard edges, fine texture and grain.
QString makePhoto(const QString &folder)
{
    QImage image(6000, 4000, QImage::Format_RGB32);
    QPainter painter(&image);
    QLinearGradient land(0, 0, 0, image.height());
    land.setColorAt(0, QColor(110, 160, 225));
    land.setColorAt(0.55, QColor(200, 215, 230));
    land.setColorAt(0.56, QColor(70, 110, 45));
    land.setColorAt(1, QColor(40, 60, 25));
    painter.fillRect(image.rect(), land);
    QRandomGenerator generator(2024);
    painter.setRenderHint(QPainter::Antialiasing);
    for (int shape = 0; shape < 400; ++shape) {
        const QRectF box(generator.bounded(6000), generator.bounded(4000),
                         40 + generator.bounded(900), 40 + generator.bounded(700));
        QLinearGradient fill(box.topLeft(), box.bottomRight());
        fill.setColorAt(0, QColor::fromHsv(generator.bounded(360), 60 + generator.bounded(160),
                                           60 + generator.bounded(190)));
        fill.setColorAt(1, QColor::fromHsv(generator.bounded(360), 60 + generator.bounded(160),
                                           30 + generator.bounded(190)));
        painter.setBrush(fill);
        painter.setPen(shape % 3 ? Qt::NoPen : QPen(Qt::black, 1 + generator.bounded(6)));
        if (shape % 2)
            painter.drawEllipse(box);
        else
            painter.drawRoundedRect(box, 20, 20);
    }
    painter.end();
    // Texture that varies from place to place, and a camera's grain on every pixel.
    for (int y = 0; y < image.height(); ++y) {
        auto *line = reinterpret_cast<QRgb *>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            const int texture = int(6 * qSin(x * 0.37 + y * 0.11) * qSin(y * 0.23 - x * 0.05));
            const quint32 noise = generator.generate();
            const quint32 more = generator.generate();
            const auto grain = [&](int shift) {
                return int((noise >> shift) & 31) + int((more >> shift) & 31) - 31 + texture;
            };
            const QRgb pixel = line[x];
            line[x] = qRgb(qBound(0, qRed(pixel) + grain(0), 255),
                           qBound(0, qGreen(pixel) + grain(4), 255),
                           qBound(0, qBlue(pixel) + grain(8), 255));
        }
    }
    const QString path = folder + QStringLiteral("/photo.jpg");
    image.save(path, "JPEG", 90);
    return path;
}

QImage decode(const QString &path)
{
    QImageReader reader(path);
    reader.setDecideFormatFromContent(true);
    reader.setAutoTransform(true);
    return reader.read();
}

QImage smaller(const QImage &image)
{
    return image.scaled(image.size() / 4, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
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
    const QString photo = makePhoto(folder.path());
    const QString workingCopy = folder.filePath(QStringLiteral("pxTemp.image"));
    const QString bareOutput = folder.filePath(QStringLiteral("bare.jpg"));
    std::printf("photo: 6000 x 4000 JPEG, %.1f MB; %d run(s) per tool, medians\n",
                double(QFileInfo(photo).size()) / 1e6, runs);
    std::printf("%-12s %10s %8s %7s %9s %7s %11s %8s %10s\n", "tool", "launcher s", "bare s",
                "ratio", "cpu ratio", "cpu s", "launcher MB", "bare MB", "similarity");

    double launcherTotal = 0, bareTotal = 0, launcherCpuTotal = 0, bareCpuTotal = 0;
    double slowest = 0, fastest = 1e9;
    for (int index = 0; index < ToolTable::Count; ++index) {
        const ToolTable::Tool &tool = ToolTable::tools()[index];
        const QString part = index == ToolTable::CropTool
                                     ? ToolTable::cropOptionPart(QRect(1500, 1000, 3000, 2000))
                                     : ToolTable::optionPart(tool, tool.defaultValue());
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
        const double similar =
                launcher.succeeded && bare.succeeded
                        ? similarity(smaller(decode(workingCopy)), smaller(decode(bareOutput)))
                        : 0;
        std::printf("%-12s %10.2f %8.2f %7.2f %9.2f %7.2f %11.0f %8.0f %10.3f%s\n", tool.nameKey,
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
    writeFile(standIn, "#!/bin/sh\nfor out; do :; done\necho x >\"${out#TIFF:}\"\n");
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
