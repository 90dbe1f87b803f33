#include "platform/converter/convertargs.h"
#include "testsupport.h"

#include <QDirIterator>
#include <QImageReader>
#include <QPainter>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <memory>

#include <sys/stat.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {

const QString Launcher = QStringLiteral(PICTALUX_PROGRAM_DIR "/convert");
const QString ImageMagick = QStringLiteral(PICTALUX_IMAGEMAGICK);

// "WxH top-left/bottom-right colours" of the picture as the editor loads it.
QString describe(const QString &path)
{
    QImageReader reader(path);
    reader.setAutoTransform(true);
    const QImage image = reader.read();
    if (image.isNull())
        return u"unreadable: "_s + reader.errorString();
    return describePicture(image);
}

// Every entry below the folder, hidden ones too, with the contents of the files.
QMap<QString, QByteArray> snapshot(const QString &folder)
{
    QMap<QString, QByteArray> entries;
    QDirIterator it(folder, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        QFile file(it.next());
        const bool readable = file.open(QIODevice::ReadOnly);
        entries.insert(QDir(folder).relativeFilePath(file.fileName()),
                       readable ? file.readAll() : QByteArray());
    }
    return entries;
}

} // namespace

class ConverterTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void plainExtension_data();
    void plainExtension();
    void temporaryRoot_data();
    void temporaryRoot();

    void literalNames_data();
    void literalNames();
    void operations_data();
    void operations();
    void firstFrameOnly();
    void exifOrientation();
    void failures_data();
    void failures();
    void deniedAccess();
    void stopped_data();
    void stopped();
    void permissions_data();
    void permissions();
    void symbolicLinkDestination();

private:
    QString path(const QString &name) const { return m_work->filePath(name); }
    QString standIn(const QString &script);
    bool runImageMagick(const QStringList &arguments);
    void writeQuarters(const QString &name, const QByteArray &format = {});
    void prepare(QProcess &process, const QString &imageMagick = {}) const;
    int convert(const QStringList &arguments, const QString &imageMagick = {});
    void writeFailureFixtures();

    QTemporaryDir m_standIns;
    std::unique_ptr<QTemporaryDir> m_work;
    std::unique_ptr<QTemporaryDir> m_privateRoot;
};

void ConverterTest::initTestCase()
{
    QVERIFY(QFileInfo(Launcher).isExecutable());
    if (!QFileInfo(ImageMagick).isExecutable())
        QSKIP("ImageMagick is not installed");
}

void ConverterTest::init()
{
    m_work = std::make_unique<QTemporaryDir>();
    m_privateRoot = std::make_unique<QTemporaryDir>();
}

void ConverterTest::cleanup()
{
    // Whatever happened, the launcher's private folder has gone.
    const QDir::Filters everything = QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot;
    QVERIFY(QDir(m_privateRoot->path()).isEmpty(everything));
}

// A script that stands in for ImageMagick; $out is the file it is asked to write.
QString ConverterTest::standIn(const QString &script)
{
    static int count = 0;
    const QString fileName = m_standIns.filePath(u"imagemagick%1"_s.arg(++count));
    QFile file(fileName);
    file.open(QIODevice::WriteOnly);
    file.write(("#!/bin/sh\nfor out; do :; done\n" + script + '\n').toUtf8());
    file.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    return fileName;
}

bool ConverterTest::runImageMagick(const QStringList &arguments)
{
    QProcess process;
    process.setWorkingDirectory(m_work->path());
    process.start(ImageMagick, arguments);
    return process.waitForFinished() && process.exitStatus() == QProcess::NormalExit &&
           process.exitCode() == 0;
}

// Qt cannot write GIFs, so those go through ImageMagick under a plain name first.
void ConverterTest::writeQuarters(const QString &name, const QByteArray &format)
{
    const QByteArray type = format.isEmpty() ? QFileInfo(name).suffix().toLatin1() : format;
    if (type != "gif") {
        QVERIFY(quarters().save(path(name), type));
        return;
    }
    QVERIFY(quarters().save(path(u"fixture.png"_s)));
    QVERIFY(runImageMagick({u"fixture.png"_s, u"fixture.gif"_s}));
    QVERIFY(QFile::remove(path(u"fixture.png"_s)));
    QVERIFY(QFile::rename(path(u"fixture.gif"_s), path(name)));
}

void ConverterTest::prepare(QProcess &process, const QString &imageMagick) const
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(u"TMPDIR"_s, m_privateRoot->path());
    environment.insert(u"PICTALUX_IMAGEMAGICK"_s, imageMagick);
    process.setProcessEnvironment(environment);
    process.setWorkingDirectory(m_work->path());
}

// The launcher's exit code, or -1 when it crashed or hung.
int ConverterTest::convert(const QStringList &arguments, const QString &imageMagick)
{
    QProcess process;
    prepare(process, imageMagick);
    process.start(Launcher, arguments);
    if (!process.waitForFinished(60000) || process.exitStatus() != QProcess::NormalExit)
        return -1;
    return process.exitCode();
}

void ConverterTest::plainExtension_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("extension");
    QTest::newRow("plain") << u"/pics/photo.jpg"_s << u".jpg"_s;
    QTest::newRow("working copy") << u"/prog/pxTemp.image"_s << u".image"_s;
    QTest::newRow("odd stem") << u"x[1]%d.png"_s << u".png"_s;
    QTest::newRow("none") << u"photo"_s << QString();
    QTest::newRow("hidden file") << u"/pics/.jpg"_s << QString();
    QTest::newRow("trailing dot") << u"photo."_s << QString();
    QTest::newRow("frame pattern") << u"photo.j%dg"_s << QString();
    QTest::newRow("non-ASCII") << u"photo.jpé"_s << QString();
}

void ConverterTest::plainExtension()
{
    QFETCH(QString, path);
    QFETCH(QString, extension);
    QCOMPARE(QString::fromStdString(Converter::plainExtension(path.toStdString())), extension);
}

void ConverterTest::temporaryRoot_data()
{
    QTest::addColumn<QByteArray>("tmpdir");
    QTest::addColumn<QString>("root");
    QTest::newRow("plain") << QByteArray("/var/tmp/user-1_a") << u"/var/tmp/user-1_a"_s;
    QTest::newRow("unset") << QByteArray() << u"/tmp"_s;
    QTest::newRow("relative") << QByteArray("tmp") << u"/tmp"_s;
    QTest::newRow("frame pattern") << QByteArray("/tmp/%d") << u"/tmp"_s;
    QTest::newRow("format prefix") << QByteArray("/tmp/png:x") << u"/tmp"_s;
}

void ConverterTest::temporaryRoot()
{
    QFETCH(QByteArray, tmpdir);
    QFETCH(QString, root);
    const char *value = tmpdir.isNull() ? nullptr : tmpdir.constData();
    QCOMPARE(QString::fromStdString(Converter::temporaryRoot(value)), root);
}

void ConverterTest::literalNames_data()
{
    QTest::addColumn<QString>("name");
    QTest::newRow("format prefix") << u"a:b.jpg"_s;
    QTest::newRow("frame selection") << u"x[1].png"_s;
    QTest::newRow("frame pattern") << u"p%d.gif"_s;
    QTest::newRow("blank") << u"my photo.png"_s;
    QTest::newRow("quotes") << u"it's \"mine\".png"_s;
    QTest::newRow("semicolon") << u"a;touch pwned;b.png"_s;
    QTest::newRow("command") << u"$(touch pwned).png"_s;
    QTest::newRow("backquotes") << u"`touch pwned`.png"_s;
    QTest::newRow("newline") << u"two\nlines.png"_s;
    QTest::newRow("leading dash") << u"-x.jpg"_s;
    QTest::newRow("list file") << u"@list.png"_s;
    QTest::newRow("glob") << u"*?.png"_s;
    QTest::newRow("non-ASCII") << u"Ölgemälde 写真.jpg"_s;
}

void ConverterTest::literalNames()
{
    QFETCH(QString, name);
    const QString folder = u"out %d [0] png:x $(touch pwned)"_s;
    QVERIFY(QDir(m_work->path()).mkdir(folder));
    writeQuarters(name);

    QCOMPARE(convert({name, u"-flop"_s, folder + '/' + name}), 0);
    QCOMPARE(convert({name, u"-flip"_s, name}), 0);

    QStringList expected = {name, folder, folder + '/' + name};
    expected.sort();
    QCOMPARE(snapshot(m_work->path()).keys(), expected);
    QCOMPARE(describe(path(folder + '/' + name)), u"80x60 green/blue"_s);
    QCOMPARE(describe(path(name)), u"80x60 blue/green"_s);
}

void ConverterTest::operations_data()
{
    QTest::addColumn<QByteArray>("format");
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<QSize>("size");
    QTest::addColumn<QString>("corners");
    const QStringList crop = {u"-crop"_s, u"30x20+25+20"_s};
    QTest::newRow("crop png") << QByteArray("png") << crop << QSize(30, 20) << u"red/white"_s;
    QTest::newRow("crop gif") << QByteArray("gif") << crop << QSize(30, 20) << u"red/white"_s;
    QTest::newRow("rotate -90") << QByteArray("jpeg") << QStringList{u"-rotate"_s, u"-90"_s}
                                << QSize(60, 80) << u"green/blue"_s;
    QTest::newRow("rotate 90") << QByteArray("gif") << QStringList{u"-rotate"_s, u"90"_s}
                               << QSize(60, 80) << u"blue/green"_s;
    QTest::newRow("resize 50%") << QByteArray("png") << QStringList{u"-resize"_s, u"50%"_s}
                                << QSize(40, 30) << u"red/white"_s;
    QTest::newRow("negate") << QByteArray("jpeg") << QStringList{u"-negate"_s} << QSize(80, 60)
                            << u"cyan/black"_s;
}

// The editor's working copy is both source and destination, and keeps its picture's format.
void ConverterTest::operations()
{
    QFETCH(QByteArray, format);
    QFETCH(QStringList, options);
    QFETCH(QSize, size);
    QFETCH(QString, corners);
    const QString workingCopy = u"pxTemp.image"_s;
    writeQuarters(workingCopy, format);

    QCOMPARE(convert(QStringList(workingCopy) << options << workingCopy), 0);

    QCOMPARE(QImageReader(path(workingCopy)).format(), format);
    QCOMPARE(describe(path(workingCopy)),
             u"%1x%2 "_s.arg(size.width()).arg(size.height()) + corners);
    // No canvas or offset left over from before a cut.
    QProcess page;
    page.start(ImageMagick, {path(workingCopy), u"-format"_s, u"%W %H %X %Y"_s, u"info:"_s});
    QVERIFY(page.waitForFinished());
    QCOMPARE(page.readAllStandardOutput(),
             u"%1 %2 +0 +0"_s.arg(size.width()).arg(size.height()).toLatin1());
    QCOMPARE(snapshot(m_work->path()).keys(), QStringList(workingCopy));
}

// Saving an animation to a format of single pictures writes one file, of the first frame.
void ConverterTest::firstFrameOnly()
{
    QVERIFY(runImageMagick(
            {u"-size"_s, u"20x10"_s, u"xc:red"_s, u"xc:lime"_s, u"xc:blue"_s, u"anim.gif"_s}));

    QCOMPARE(convert({u"anim.gif"_s, u"anim.jpg"_s}), 0);

    QCOMPARE(snapshot(m_work->path()).keys(), QStringList({u"anim.gif"_s, u"anim.jpg"_s}));
    QCOMPARE(describe(path(u"anim.jpg"_s)), u"20x10 red/red"_s);
}

// A cut takes what the user saw of a photo stored on its side, and the result stands upright.
void ConverterTest::exifOrientation()
{
    QImage stored(60, 40, QImage::Format_RGB32);
    stored.fill(Qt::blue);
    QPainter(&stored).fillRect(0, 0, 30, 40, Qt::red);
    QFile photo(path(u"turned.jpg"_s));
    QVERIFY(photo.open(QIODevice::WriteOnly));
    photo.write(turnedJpeg(stored));
    photo.close();
    QCOMPARE(QImageReader(photo.fileName()).transformation(),
             QImageIOHandler::TransformationRotate90);

    QCOMPARE(convert({u"turned.jpg"_s, u"-crop"_s, u"30x50+0+0"_s, u"cut.jpg"_s}), 0);

    QCOMPARE(QImageReader(path(u"cut.jpg"_s)).transformation(),
             QImageIOHandler::TransformationNone);
    QCOMPARE(describe(path(u"cut.jpg"_s)), u"30x50 red/blue"_s);
}

void ConverterTest::writeFailureFixtures()
{
    writeQuarters(u"source.png"_s);
    QVERIFY(quarters(20, 20).save(path(u"dest.png"_s)));
    QVERIFY(QDir(m_work->path()).mkdir(u"folder"_s));
    QFile notes(path(u"notes.txt"_s));
    QVERIFY(notes.open(QIODevice::WriteOnly));
    notes.write("no picture");
}

void ConverterTest::failures_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("imageMagick");
    QTest::addColumn<int>("exitCode"); // 0 for any failure
    const QStringList save = {u"source.png"_s, u"dest.png"_s};
    QTest::newRow("one argument") << QStringList{u"dest.png"_s} << QString() << 2;
    QTest::newRow("unknown option")
            << QStringList{u"source.png"_s, u"-nosuchoption"_s, u"dest.png"_s} << QString() << 0;
    QTest::newRow("crop of no width")
            << QStringList{u"source.png"_s, u"-crop"_s, u"0x5+20+40"_s, u"dest.png"_s} << QString()
            << 0;
    QTest::newRow("crop of no height")
            << QStringList{u"source.png"_s, u"-crop"_s, u"7x00+0+0"_s, u"dest.png"_s} << QString()
            << 0;
    QTest::newRow("missing source")
            << QStringList{u"missing.png"_s, u"dest.png"_s} << QString() << 0;
    QTest::newRow("source is a folder")
            << QStringList{u"folder"_s, u"dest.png"_s} << QString() << 0;
    QTest::newRow("source is no picture")
            << QStringList{u"notes.txt"_s, u"dest.png"_s} << QString() << 0;
    QTest::newRow("destination is a folder")
            << QStringList{u"source.png"_s, u"folder"_s} << QString() << 0;
    QTest::newRow("destination names a folder")
            << QStringList{u"source.png"_s, u"dest.png/"_s} << QString() << 0;
    QTest::newRow("missing folder")
            << QStringList{u"source.png"_s, u"none/dest.png"_s} << QString() << 0;
    QTest::newRow("folder is a file")
            << QStringList{u"source.png"_s, u"notes.txt/dest.png"_s} << QString() << 0;
    QTest::newRow("ImageMagick missing") << save << m_standIns.filePath(u"missing"_s) << 0;
    QTest::newRow("ImageMagick killed")
            << save << standIn(u"echo half > \"$out\"; kill -KILL $$"_s) << 128 + SIGKILL;
    QTest::newRow("ImageMagick fails") << save << standIn(u"echo half > \"$out\"; exit 3"_s) << 3;
    QTest::newRow("ImageMagick writes nothing") << save << standIn(u"exit 0"_s) << 0;
}

// A failure leaves every file as it was and nothing new behind.
void ConverterTest::failures()
{
    QFETCH(QStringList, arguments);
    QFETCH(QString, imageMagick);
    QFETCH(int, exitCode);
    writeFailureFixtures();
    const QMap<QString, QByteArray> before = snapshot(m_work->path());

    const int code = convert(arguments, imageMagick);

    if (exitCode != 0)
        QCOMPARE(code, exitCode);
    else
        QVERIFY2(code > 0, qPrintable(QString::number(code)));
    QCOMPARE(snapshot(m_work->path()).keys(), before.keys());
    QVERIFY(snapshot(m_work->path()) == before);
}

// An unreadable source and an unwritable folder fail like the rest.
void ConverterTest::deniedAccess()
{
    if (::geteuid() == 0)
        QSKIP("permissions do not bind root");
    writeFailureFixtures();
    QVERIFY(QFile::setPermissions(path(u"source.png"_s), QFile::WriteOwner));
    QVERIFY(QFile::setPermissions(path(u"folder"_s), QFile::ReadOwner | QFile::ExeOwner));
    const QMap<QString, QByteArray> before = snapshot(m_work->path());

    const int unreadable = convert({u"source.png"_s, u"dest.png"_s});
    const int unwritable = convert({u"dest.png"_s, u"folder/dest.png"_s});

    const bool unchanged = snapshot(m_work->path()) == before;
    QFile::setPermissions(path(u"folder"_s),
                          QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    QVERIFY(unreadable > 0);
    QVERIFY(unwritable > 0);
    QVERIFY(unchanged);
}

void ConverterTest::stopped_data()
{
    QTest::addColumn<QString>("imageMagick");
    const QString pidFile = m_standIns.filePath(u"pid"_s);
    QTest::newRow("stops when asked")
            << standIn(u"echo half > \"$out\"; echo $$ > '%1'; exec sleep 60"_s.arg(pidFile));
    QTest::newRow("killed when deaf") << standIn(
            u"trap '' TERM; echo half > \"$out\"; echo $$ > '%1'; exec sleep 60"_s.arg(pidFile));
}

// Stopping the launcher stops ImageMagick and leaves the files as they were.
void ConverterTest::stopped()
{
    QFETCH(QString, imageMagick);
    const QString pidFile = m_standIns.filePath(u"pid"_s);
    QFile::remove(pidFile);
    writeFailureFixtures();
    const QMap<QString, QByteArray> before = snapshot(m_work->path());
    QProcess process;
    prepare(process, imageMagick);
    process.start(Launcher, {u"source.png"_s, u"-flop"_s, u"dest.png"_s});
    QTRY_VERIFY(QFileInfo(pidFile).size() > 0);
    QFile file(pidFile);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const pid_t child = file.readAll().trimmed().toInt();

    process.terminate();

    QVERIFY(process.waitForFinished(10000));
    QCOMPARE(process.exitStatus(), QProcess::NormalExit);
    QCOMPARE(process.exitCode(), 128 + SIGTERM);
    QCOMPARE(::kill(child, 0), -1);
    QVERIFY(snapshot(m_work->path()) == before);
}

void ConverterTest::permissions_data()
{
    QTest::addColumn<int>("existing"); // -1 for a new file
    QTest::addColumn<int>("expected");
    QTest::newRow("kept") << 0640 << 0640;
    QTest::newRow("new file") << -1 << (0666 & ~027);
}

void ConverterTest::permissions()
{
    QFETCH(int, existing);
    QFETCH(int, expected);
    writeQuarters(u"source.png"_s);
    const QByteArray destination = path(u"dest.png"_s).toLocal8Bit();
    if (existing >= 0) {
        writeQuarters(u"dest.png"_s);
        QCOMPARE(::chmod(destination.constData(), mode_t(existing)), 0);
    }

    const mode_t mask = ::umask(027);
    const int code = convert({u"source.png"_s, u"-negate"_s, u"dest.png"_s});
    ::umask(mask);

    QCOMPARE(code, 0);
    struct stat info;
    QCOMPARE(::stat(destination.constData(), &info), 0);
    QCOMPARE(int(info.st_mode & 0777), expected);
}

// A save onto a symbolic link replaces the file it leads to and keeps the link.
void ConverterTest::symbolicLinkDestination()
{
    writeQuarters(u"source.png"_s);
    QVERIFY(QDir(m_work->path()).mkdir(u"real"_s));
    QVERIFY(quarters(20, 20).save(path(u"real/target.png"_s)));
    QVERIFY(QFile::link(u"real/target.png"_s, path(u"link.png"_s)));

    QCOMPARE(convert({u"source.png"_s, u"-flop"_s, u"link.png"_s}), 0);

    QVERIFY(QFileInfo(path(u"link.png"_s)).isSymLink());
    QCOMPARE(describe(path(u"real/target.png"_s)), u"80x60 green/blue"_s);
}

QTEST_MAIN(ConverterTest)
#include "tst_converter.moc"
