#include "testsupport.h"

#include "platform/filename.h"
#include "platform/zapplication.h"
#include "platform/zmessagedlg.h"
#include "platform/zsoftkey.h"
#include "testprobe.h"

#include <QBuffer>
#include <QPainter>

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
    , m_previousStart(QString::fromLocal8Bit(startPath))
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
    setStartPath(m_previousStart);
}

void ProgramDir::useFakeConverter(Converter behaviour, double seconds)
{
    static const char *const endings[] = {"cp -- \"$1\" \"$last\"", "exit 3", "exit 0"};
    // Each argument is marked "a" and each run ends in "e", so that no name can fake either.
    QString log = filePath(QStringLiteral("converter-runs"))
                          .replace(QLatin1String("'"), QLatin1String("'\\''"));
    const QString script =
            QStringLiteral("#!/bin/sh\nprintf 'a%s\\0' \"$@\" >> '%1'\n"
                           "printf 'e\\0' >> '%1'\nfor last; do :; done\n"
                           "sleep %2\n%3\n")
                    .arg(log, QString::number(seconds), QLatin1String(endings[int(behaviour)]));
    const QString converter = filePath(QStringLiteral("convert"));
    QFile::remove(converter);
    writeFile(converter, script.toUtf8());
    QFile::setPermissions(converter, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

QList<QStringList> ProgramDir::converterRuns() const
{
    QFile log(filePath(QStringLiteral("converter-runs")));
    QList<QStringList> runs = {{}};
    if (log.open(QIODevice::ReadOnly)) {
        for (const QByteArray &item : log.readAll().split('\0')) {
            if (item.startsWith('a'))
                runs.last().append(FileName::decodeName(item.mid(1)));
            else if (item == "e")
                runs.append(QStringList());
        }
    }
    runs.removeLast();
    return runs;
}

StdoutCapture::StdoutCapture()
{
    std::fflush(stdout);
    m_file.open();
    m_saved = dup(STDOUT_FILENO);
    dup2(m_file.handle(), STDOUT_FILENO);
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

ModalAnswers::ModalAnswers(std::function<void(QWidget *)> action, bool onlyTheNext)
{
    connect(this, &QTimer::timeout, this, [this, action, onlyTheNext] {
        QWidget *modal = QApplication::activeModalWidget();
        if (!modal || !modal->isVisible())
            return;
        if (onlyTheNext) {
            stop();
            deleteLater();
        }
        action(modal);
    });
    start(5);
}

void answerModal(std::function<void(QWidget *)> action)
{
    new ModalAnswers(std::move(action), true);
}

QStringList popupsDuring(const std::function<void()> &code, Qt::Key answer)
{
    QStringList texts;
    const ModalAnswers answers([&texts, answer](QWidget *modal) {
        if (const auto *popup = qobject_cast<ZMessageDlg *>(modal)) {
            const ZSoftKey *keys = popup->findChild<ZSoftKey *>();
            texts.append(keys->text(1).isEmpty()
                                 ? popup->text()
                                 : QStringLiteral("%1 [%2/%3]")
                                           .arg(popup->text(), keys->text(0), keys->text(1)));
        }
        QTest::keyClick(modal, answer);
    });
    code();
    return texts;
}

void choose(ZListBox *list, const QString &name)
{
    const int row = TestProbe::rows(list).indexOf(name);
    QVERIFY2(row >= 0, qPrintable(FileName::displayName(name)));
    QCOMPARE(list->item(row)->text(), FileName::displayName(name));
    list->setCurrentItem(row);
    QTest::keyClick(list, Qt::Key_Return);
}

void columns(std::initializer_list<const char *> names)
{
    for (const char *name : names)
        QTest::addColumn<QString>(name);
}

void row(const char *tag, std::initializer_list<QString> values)
{
    QTestData &data = QTest::newRow(tag);
    for (const QString &value : values)
        data << value;
}

void writeFile(const QString &path, const QByteArray &bytes)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    QVERIFY2(file.open(QIODevice::WriteOnly), qPrintable(path));
    file.write(bytes);
}

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QImage quarters(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.fillRect(0, 0, width / 2, height / 2, Qt::red);
    painter.fillRect(width / 2, 0, width - width / 2, height / 2, Qt::green);
    painter.fillRect(0, height / 2, width / 2, height - height / 2, Qt::blue);
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
        for (int left = 0; left + 8 <= x.width(); left += 8, ++blocks) {
            double s[5] = {}; // the sums of x, y, x², y² and xy
            for (int i = 0; i < 64; ++i) {
                const double p = x.constScanLine(top + i / 8)[left + i % 8];
                const double q = y.constScanLine(top + i / 8)[left + i % 8];
                const double terms[] = {p, q, p * p, q * q, p * q};
                for (int k = 0; k < 5; ++k)
                    s[k] += terms[k] / 64;
            }
            const double vx = s[2] - s[0] * s[0], vy = s[3] - s[1] * s[1];
            total += (2 * s[0] * s[1] + C1) * (2 * (s[4] - s[0] * s[1]) + C2) /
                     ((s[0] * s[0] + s[1] * s[1] + C1) * (vx + vy + C2));
        }
    }
    return total / blocks;
}

QByteArray turnedJpeg(const QImage &stored)
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    stored.save(&buffer, "jpeg");
    // An APP1 segment: "Exif", a little-endian TIFF header and one entry, Orientation = 6.
    const QByteArray exif = QByteArray::fromHex("ffe10022457869660000"
                                                "49492a00080000000100120103000100000006000000"
                                                "00000000");
    return buffer.buffer().insert(2, exif);
}

int runTest(int argc, char **argv, QObject *test)
{
    int applicationArgumentCount = 1;
    ZApplication application(applicationArgumentCount, applicationArguments);
    return QTest::qExec(test, argc, argv);
}
