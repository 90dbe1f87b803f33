#include "testsupport.h"

#include <QDirIterator>
#include <QProcess>

#include <csignal>
#include <optional>

#include <sys/stat.h>

using namespace Qt::StringLiterals;

const QString ImageMagick = QStringLiteral(PICTALUX_IMAGEMAGICK);

class ConverterTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        if (!QFileInfo(ImageMagick).isExecutable())
            QSKIP("ImageMagick is not installed");
        // New files must get what this mask allows, not the bits of a private temporary file.
        ::umask(027);
    }
    void init()
    {
        // ImageMagick would read the folder's name as a frame pattern, were it given.
        m_work.emplace(QDir::tempPath() + u"/converter %d-XXXXXX"_s);
        m_privateRoot.emplace();
    }
    void cleanup() { QVERIFY(QDir(m_privateRoot->path()).isEmpty()); }

    void conversions_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("options");
        QTest::addColumn<QString>("picture");
        QTest::newRow("crop png") << u"a:b.png"_s << u"-crop 30x20+25+20"_s << u"30x20 red/white"_s;
        QTest::newRow("crop gif") << u"p%d.gif"_s << u"-crop 30x20+25+20"_s << u"30x20 red/white"_s;
        QTest::newRow("rotate") << u"-x.jpg"_s << u"-rotate 90"_s << u"60x80 blue/green"_s;
        QTest::newRow("resize") << u"gif:x[1].png"_s << u"-resize 50%"_s << u"40x30 red/white"_s;
        QTest::newRow("shell") << u"Öl 写真 it's \"my\"; $(touch a) `touch b`\n.jpg"_s << u"-flip"_s
                               << u"80x60 blue/green"_s;
        QTest::newRow("odd extension") << u"photo.j%dg"_s << u"-negate"_s << u"80x60 cyan/black"_s;
        QTest::newRow("working copy") << u"pxTemp.image"_s << u"-flop"_s << u"80x60 green/blue"_s;
    }
    // The picture is saved under the name, then edited in place as the editor edits its working
    // copy. ImageMagick must take every name literally and leave nothing else behind.
    void conversions()
    {
        QFETCH(QString, name);
        QFETCH(QString, options);
        QFETCH(QString, picture);
        QVERIFY(quarters().save(path(u"quarters.png"_s)));
        QCOMPARE(convert({u"quarters.png"_s, name}), 0);
        // A new file gets the permission bits any program's would; a replaced one keeps its own.
        QCOMPARE(QFile::permissions(path(name)), QFile::permissions(path(u"quarters.png"_s)));
        QVERIFY(QFile::setPermissions(path(name), QFile::ReadOwner | QFile::ReadOther));
        const QFile::Permissions kept = QFile::permissions(path(name));

        QCOMPARE(convert(QStringList(name) << options.split(u' ') << name), 0);

        QCOMPARE(describePicture(QImage(path(name))), picture);
        QCOMPARE(QFile::permissions(path(name)), kept);
        QCOMPARE(snapshot().size(), 2);
        // Nothing of a cut's old canvas or offset is left for ImageMagick's next run to read.
        QProcess page;
        page.setStandardInputFile(path(name));
        page.start(ImageMagick, {u"-"_s, u"-format"_s, u"%X%Y"_s, u"info:"_s});
        QVERIFY(page.waitForFinished());
        QCOMPARE(page.readAll(), QByteArray("+0+0"));
    }

    // The result is the one picture the user saw: an animation's first frame, and a photo stored
    // on its side cut as it is shown, with its pixels turned upright.
    void shownPicture()
    {
        QProcess frames;
        frames.setStandardOutputFile(path(u"anim.gif"_s));
        frames.start(ImageMagick, {u"-size"_s, u"20x10"_s, u"xc:red"_s, u"xc:lime"_s, u"gif:-"_s});
        QVERIFY(frames.waitForFinished());
        writeFile(path(u"turned.jpg"_s), turnedJpeg(quarters(60, 40)));

        QCOMPARE(convert({u"anim.gif"_s, u"anim.jpg"_s}), 0);
        QCOMPARE(convert({u"turned.jpg"_s, u"-crop"_s, u"40x20+0+0"_s, u"cut.jpg"_s}), 0);

        QCOMPARE(snapshot().size(), 4);
        QCOMPARE(describePicture(QImage(path(u"anim.jpg"_s))), u"20x10 red/red"_s);
        QCOMPARE(describePicture(QImage(path(u"cut.jpg"_s))), u"40x20 blue/red"_s);
    }

    void failures_data()
    {
        QTest::addColumn<QString>("arguments");
        QTest::addColumn<QString>("standIn"); // a script run instead of ImageMagick
        QTest::addColumn<int>("signal");      // sent to the launcher once the script runs
        const QString save = u"source.png source.png"_s;
        QTest::newRow("unknown option") << u"source.png -nosuchoption source.png"_s << u""_s << 0;
        QTest::newRow("crop of no width") << u"source.png -crop 0x5+2+4 source.png"_s << u""_s << 0;
        QTest::newRow("missing source") << u"missing.png source.png"_s << u""_s << 0;
        QTest::newRow("destination is a folder") << u"source.png folder"_s << u""_s << 0;
        QTest::newRow("ImageMagick killed") << save << u"kill -KILL $$"_s << 0;
        QTest::newRow("nothing written") << save << u": > \"$out\""_s << 0;
        for (const int signal : {SIGTERM, SIGINT, SIGHUP})
            QTest::addRow("stopped by signal %d", signal) << save << u"exec sleep 60"_s << signal;
        QTest::newRow("deaf to SIGTERM") << save << u"trap '' TERM; exec sleep 60"_s << SIGTERM;
    }
    // A failure leaves every file as it was, byte for byte, and no ImageMagick running.
    void failures()
    {
        QFETCH(QString, arguments);
        QFETCH(QString, standIn);
        QFETCH(int, signal);
        QVERIFY(quarters().save(path(u"source.png"_s)) && QDir(m_work->path()).mkdir(u"folder"_s));
        // The stand-in writes half a picture, then its process id for the test to check on.
        const QString script = path(u"imagemagick"_s);
        writeFile(script, "#!/bin/sh\nfor out; do :; done\necho half >\"$out\"; printf $$ >pid\n" +
                                  standIn.toUtf8());
        QFile::setPermissions(script, QFile::ReadOwner | QFile::ExeOwner);
        const QMap<QString, QByteArray> before = snapshot();

        QVERIFY(convert(arguments.split(u' '), standIn.isEmpty() ? QString() : script, signal) > 0);

        QFile pid(path(u"pid"_s));
        if (pid.open(QIODevice::ReadOnly))
            QCOMPARE(::kill(pid.readAll().toInt(), 0), -1);
        pid.remove();
        QVERIFY(snapshot() == before);
    }

private:
    QString path(const QString &name) const { return m_work->filePath(name); }

    // Every entry of the work folder, hidden ones and those in subfolders too, with its contents.
    QMap<QString, QByteArray> snapshot() const
    {
        QMap<QString, QByteArray> entries;
        QDirIterator it(m_work->path(), QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot,
                        QDirIterator::Subdirectories);
        while (it.hasNext()) {
            QFile file(it.next());
            entries.insert(file.fileName().mid(m_work->path().size() + 1),
                           file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray());
        }
        return entries;
    }

    // The launcher's exit code, or -1 when it crashed or hung.
    int convert(const QStringList &arguments, const QString &imageMagick = {}, int signal = 0)
    {
        QProcess process;
        process.setWorkingDirectory(m_work->path());
        process.setEnvironment(QProcess::systemEnvironment()
                               << u"TMPDIR="_s + m_privateRoot->path()
                               << u"PICTALUX_IMAGEMAGICK="_s + imageMagick);
        process.start(QStringLiteral(PICTALUX_PROGRAM_DIR "/convert"), arguments);
        // The signal comes once the stand-in for ImageMagick has written its process id.
        if (signal && QTest::qWaitFor([this] { return QFileInfo(path(u"pid"_s)).size() > 0; }))
            ::kill(process.processId(), signal);
        const bool finished = process.waitForFinished(30000);
        return finished && process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    }

    std::optional<QTemporaryDir> m_work;
    std::optional<QTemporaryDir> m_privateRoot;
};

QTEST_MAIN(ConverterTest)
#include "tst_converter.moc"
