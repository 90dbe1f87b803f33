#include "testsupport.h"

#include "platform/filename.h"
#include "platform/zapplication.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QPainter>
#include <QTimer>

#include <cstdio>
#include <unistd.h>

namespace {

QByteArray startPath = QByteArrayLiteral("pictalux");
char *applicationArguments[] = {startPath.data(), nullptr};

void setStartPath(const QString &path)
{
    startPath = path.toLocal8Bit();
    applicationArguments[0] = startPath.data();
}

QByteArray shellQuoted(const QString &text)
{
    QByteArray quoted = text.toUtf8();
    quoted.replace('\'', "'\\''");
    return '\'' + quoted + '\'';
}

QString colourName(QRgb rgb)
{
    static const char *const names[] = {"black", "blue",    "green",  "cyan",
                                        "red",   "magenta", "yellow", "white"};
    return QLatin1String(
            names[(qRed(rgb) > 127) * 4 + (qGreen(rgb) > 127) * 2 + (qBlue(rgb) > 127)]);
}

} // namespace

ProgramDir::ProgramDir(const QString &namePrefix)
    : m_dir(QDir::tempPath() + QLatin1Char('/') + namePrefix + QStringLiteral("-XXXXXX"))
{
    const QDir build(QStringLiteral(PICTALUX_PROGRAM_DIR));
    QDir(path()).mkdir(QStringLiteral("lng"));
    for (const char *name : {"convert", "lng/English.lng", "lng/Chinese.lng", "mouse.png",
                             "menuBackground.png", "menuPic.png"})
        QFile::copy(build.filePath(QLatin1String(name)), filePath(QLatin1String(name)));
    setStartPath(filePath(QStringLiteral("pictalux")));
}

ProgramDir::~ProgramDir()
{
    setStartPath(QStringLiteral("pictalux"));
}

void ProgramDir::useFakeConverter(Converter behaviour, double seconds)
{
    static const char *const endings[] = {
            "cp -- \"$1\" \"$last\"\n",
            "exit 3\n",
            "exit 0\n",
            "kill -9 $$\n",
    };
    const QByteArray script = "#!/bin/sh\n"
                              "printf '%s\\0' \"$@\" >> " +
                              shellQuoted(filePath(QStringLiteral("converter-runs"))) +
                              "\nprintf '\\n' >> " +
                              shellQuoted(filePath(QStringLiteral("converter-runs"))) +
                              "\nfor last; do :; done\nsleep " + QByteArray::number(seconds) +
                              '\n' + endings[int(behaviour)];
    const QString converter = filePath(QStringLiteral("convert"));
    QFile::remove(converter);
    writeFile(converter, script);
    QFile::setPermissions(converter, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

QList<QStringList> ProgramDir::converterRuns() const
{
    QFile log(filePath(QStringLiteral("converter-runs")));
    if (!log.open(QIODevice::ReadOnly))
        return {};
    // Each run is its arguments, each ended by a zero byte, and then a line feed.
    QList<QStringList> runs;
    QStringList arguments;
    const QByteArray bytes = log.readAll();
    qsizetype start = 0;
    while (start < bytes.size()) {
        if (bytes.at(start) == '\n') {
            runs.append(arguments);
            arguments.clear();
            ++start;
            continue;
        }
        const qsizetype end = bytes.indexOf('\0', start);
        arguments.append(QString::fromUtf8(bytes.mid(start, end - start)));
        start = end + 1;
    }
    return runs;
}

StdoutCapture::StdoutCapture()
{
    std::fflush(stdout);
    m_file.open();
    m_saved = dup(STDOUT_FILENO);
    dup2(m_file.handle(), STDOUT_FILENO);
}

StdoutCapture::~StdoutCapture()
{
    finish();
}

QString StdoutCapture::finish()
{
    if (m_saved < 0)
        return QString();
    std::fflush(stdout);
    dup2(m_saved, STDOUT_FILENO);
    close(m_saved);
    m_saved = -1;
    m_file.seek(0);
    // Names are traced as their bytes; this keeps the ones that are not UTF-8.
    return FileName::decodeName(m_file.readAll());
}

void answerModal(std::function<void(QWidget *)> action)
{
    auto *poll = new QTimer;
    poll->setInterval(5);
    QObject::connect(poll, &QTimer::timeout, poll, [poll, action] {
        QWidget *modal = QApplication::activeModalWidget();
        if (!modal || !modal->isVisible())
            return;
        poll->stop();
        poll->deleteLater();
        action(modal);
    });
    poll->start();
}

void writeFile(const QString &path, const QByteArray &bytes)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    QVERIFY2(file.open(QIODevice::WriteOnly), qPrintable(path));
    file.write(bytes);
}

QImage quarters(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    QPainter painter(&image);
    painter.fillRect(0, 0, width / 2, height / 2, Qt::red);
    painter.fillRect(width / 2, 0, width - width / 2, height / 2, Qt::green);
    painter.fillRect(0, height / 2, width / 2, height - height / 2, Qt::blue);
    painter.fillRect(width / 2, height / 2, width - width / 2, height - height / 2, Qt::white);
    return image;
}

QString describePicture(const QImage &image)
{
    return QStringLiteral("%1x%2 %3/%4")
            .arg(image.width())
            .arg(image.height())
            .arg(colourName(image.pixel(0, 0)),
                 colourName(image.pixel(image.width() - 1, image.height() - 1)));
}

double similarity(const QImage &a, const QImage &b)
{
    if (a.size() != b.size() || a.width() < 8 || a.height() < 8)
        return 0;
    const QImage x = a.convertToFormat(QImage::Format_Grayscale8);
    const QImage y = b.convertToFormat(QImage::Format_Grayscale8);
    constexpr double C1 = (0.01 * 255) * (0.01 * 255);
    constexpr double C2 = (0.03 * 255) * (0.03 * 255);
    double total = 0;
    int blocks = 0;
    for (int top = 0; top + 8 <= x.height(); top += 8) {
        for (int left = 0; left + 8 <= x.width(); left += 8) {
            double sx = 0, sy = 0, sxx = 0, syy = 0, sxy = 0;
            for (int row = top; row < top + 8; ++row) {
                const uchar *p = x.constScanLine(row) + left;
                const uchar *q = y.constScanLine(row) + left;
                for (int i = 0; i < 8; ++i) {
                    sx += p[i];
                    sy += q[i];
                    sxx += p[i] * p[i];
                    syy += q[i] * q[i];
                    sxy += p[i] * q[i];
                }
            }
            const double mx = sx / 64, my = sy / 64;
            const double vx = sxx / 64 - mx * mx, vy = syy / 64 - my * my;
            const double cxy = sxy / 64 - mx * my;
            total += (2 * mx * my + C1) * (2 * cxy + C2) /
                     ((mx * mx + my * my + C1) * (vx + vy + C2));
            ++blocks;
        }
    }
    return total / blocks;
}

QByteArray turnedJpeg(const QImage &stored)
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    stored.save(&buffer, "jpeg");
    const QByteArray exif = QByteArray::fromHex("ffe10022"
                                                "457869660000"
                                                "49492a0008000000"
                                                "0100"
                                                "120103000100000006000000"
                                                "00000000");
    return buffer.buffer().insert(2, exif);
}

int runTest(int argc, char **argv, QObject *test)
{
    int applicationArgumentCount = 1;
    ZApplication application(applicationArgumentCount, applicationArguments);
    return QTest::qExec(test, argc, argv);
}
