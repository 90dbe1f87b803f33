#include "testsupport.h"

#include <QDirIterator>
#include <QImageReader>
#include <QProcess>

#include <csignal>
#include <optional>

#include <sys/file.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

const QString ImageMagick = QStringLiteral(PICTALUX_IMAGEMAGICK);
const QString Launcher = QStringLiteral(PICTALUX_PROGRAM_DIR "/convert");
// Root ignores permissions, so a test run as root runs the launcher as this user.
const QStringList AsNobody = {u"setpriv"_s, u"--reuid=nobody"_s, u"--regid=nogroup"_s,
                              u"--clear-groups"_s, u"--"_s};

class ConverterTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        if (!QFileInfo(ImageMagick).isExecutable())
            QSKIP("ImageMagick is not installed");
        if (::geteuid() == 0 &&
            QProcess::execute(AsNobody.front(), AsNobody.mid(1)
                                                        << u"test"_s << u"-x"_s << Launcher) != 0)
            QSKIP("running as root, and the user nobody cannot run the launcher through setpriv");
        // New files must get what this mask allows, not the bits of a private temporary file.
        ::umask(027);
    }
    void init()
    {
        // ImageMagick would read the folder's name as a frame pattern, were it given.
        m_work.emplace(QDir::tempPath() + u"/converter %d-XXXXXX"_s);
        m_privateRoot.emplace();
        m_fileSizeLimit = 0;
        QVERIFY(quarters().save(path(u"source.png"_s)));
    }
    void cleanup() { QVERIFY(QDir(m_privateRoot->path()).isEmpty()); }

    void conversions_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("options");
        QTest::addColumn<QString>("picture");
        QTest::addColumn<QByteArray>("format"); // the extension names it; without one, the source's
        QTest::newRow("crop png") << u"a:b.png"_s << u"-crop 30x20+25+20"_s << u"30x20 red/white"_s
                                  << "png"_ba;
        QTest::newRow("crop gif") << u"p%d.gif"_s << u"-crop 30x20+25+20"_s << u"30x20 red/white"_s
                                  << "gif"_ba;
        QTest::newRow("rotate") << u"-x.jpg"_s << u"-rotate 90"_s << u"60x80 blue/green"_s
                                << "jpeg"_ba;
        QTest::newRow("resize") << u"gif:x[1].png"_s << u"-resize 50%"_s << u"40x30 red/white"_s
                                << "png"_ba;
        QTest::newRow("shell") << u"Öl 写真 it's \"my\"; $(touch a) `touch b`\n.jpg"_s << u"-flip"_s
                               << u"80x60 blue/green"_s << "jpeg"_ba;
        QTest::newRow("odd extension")
                << u"photo.j%dg"_s << u"-negate"_s << u"80x60 cyan/black"_s << "png"_ba;
        QTest::newRow("hidden name")
                << u".jpg"_s << u"-flop"_s << u"80x60 green/blue"_s << "png"_ba;
        QTest::newRow("working copy")
                << u"pxTemp.image"_s << u"-flop"_s << u"80x60 green/blue"_s << "tiff"_ba;
    }
    // The picture is saved under the name, then edited in place as the editor edits its working
    // copy. ImageMagick must take every name literally and leave nothing else behind.
    void conversions()
    {
        QFETCH(QString, name);
        QFETCH(QString, options);
        QFETCH(QString, picture);
        QFETCH(QByteArray, format);
        QCOMPARE(convert({u"source.png"_s, name}), 0);
        // A new file gets the permission bits any program's would; a replaced one keeps its own.
        QCOMPARE(QFile::permissions(path(name)), QFile::permissions(path(u"source.png"_s)));
        QVERIFY(QFile::setPermissions(path(name),
                                      QFile::ReadOwner | QFile::WriteOwner | QFile::ReadOther));
        const QFile::Permissions kept = QFile::permissions(path(name));

        QCOMPARE(convert(QStringList(name) << options.split(u' ') << name), 0);

        QCOMPARE(describePicture(QImage(path(name))), picture);
        QCOMPARE(QImageReader::imageFormat(path(name)), format);
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

        QCOMPARE(snapshot().size(), 5);
        QCOMPARE(describePicture(QImage(path(u"anim.jpg"_s))), u"20x10 red/red"_s);
        QCOMPARE(describePicture(QImage(path(u"cut.jpg"_s))), u"40x20 blue/red"_s);
    }

    void destinations_data()
    {
        QTest::addColumn<QString>("setup"); // a shell script that makes the destination "dest"
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QStringList>("written"); // the names that show the new picture
        const QStringList none, dest = {u"dest"_s}, linked = {u"dest"_s, u"target"_s};
        QTest::newRow("file") << u"echo old >dest"_s << 0 << dest;
        QTest::newRow("write-protected file") << u"echo old >dest; chmod 440 dest"_s << 1 << none;
        QTest::newRow("FIFO") << u"mkfifo dest"_s << 1 << none;
        QTest::newRow("socket") << u""_s << 1 << none;
        QTest::newRow("folder") << u"mkdir dest"_s << 1 << none;
        QTest::newRow("link to a file") << u"echo old >target; ln -s target dest"_s << 0 << linked;
        QTest::newRow("link to a FIFO") << u"mkfifo target; ln -s target dest"_s << 1 << none;
        QTest::newRow("dangling link") << u"ln -s target dest"_s << 0 << linked;
        QTest::newRow("hard links")
                << u"echo old >dest; ln dest other"_s << 0 << QStringList{u"dest"_s, u"other"_s};
        QTest::newRow("file in a read-only folder")
                << u"echo old >dest; chmod 500 ."_s << 0 << dest;
        // The launcher's user may write the file through its group, but may not take it over.
        QTest::newRow("another user's shared file")
                << u"echo old >dest; chmod 660 dest; chown daemon:nogroup dest || exit 77"_s << 0
                << dest;
    }
    // A save writes what a plain write by the same user would, and each file keeps its kind, mode,
    // owner, group and links. A refused save changes nothing.
    void destinations()
    {
        QFETCH(QString, setup);
        QFETCH(int, exitCode);
        QFETCH(QStringList, written);
        if (setup.isEmpty())
            makeSocket(path(u"dest"_s));
        else if (shell(setup) == 77)
            QSKIP("only root can give a file to another user");
        QMap<QString, QByteArray> before = snapshot();

        QCOMPARE(convert({u"source.png"_s, u"-flip"_s, u"dest"_s}), exitCode);

        QCOMPARE(shell(u"chmod 700 ."_s), 0);
        QMap<QString, QByteArray> after = snapshot();
        for (const QString &name : written) {
            QCOMPARE(describePicture(QImage(path(name))), u"80x60 blue/green"_s);
            if (before.contains(name))
                QCOMPARE(after.take(name).split('\n').front(),
                         before.take(name).split('\n').front());
            else
                after.remove(name);
        }
        QCOMPARE(after, before);
    }

    void failures_data()
    {
        QTest::addColumn<QString>("arguments");
        QTest::addColumn<QString>("standIn"); // a script run instead of ImageMagick
        QTest::addColumn<int>("signal");      // sent to the launcher once the script runs
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("message"); // a text the launcher's standard error must hold
        const QString save = u"source.png source.png"_s;
        QTest::newRow("unknown option") << u"source.png -nosuchoption source.png"_s << u""_s << 0
                                        << 1 << u"unrecognized option"_s;
        QTest::newRow("crop of no width")
                << u"source.png -crop 0x5+2+4 source.png"_s << u""_s << 0 << 1 << u"no picture"_s;
        QTest::newRow("missing source")
                << u"missing.png source.png"_s << u""_s << 0 << 1 << u"missing.png"_s;
        QTest::newRow("side beyond the limit") << u"source.png -resize 20000x10! source.png"_s
                                               << u""_s << 0 << 65 << u"exceeds limit"_s;
        QTest::newRow("area beyond the limit") << u"source.png -resize 12000x12000! source.png"_s
                                               << u""_s << 0 << 65 << u"resources exhausted"_s;
        QTest::newRow("tiles") << u"source.png -crop 10x source.png"_s << u""_s << 0 << 1
                               << u"several files"_s;
        QTest::newRow("web page") << u"source.png page.html"_s << u""_s << 0 << 1
                                  << u"several files"_s;
        QTest::newRow("ImageMagick's own status")
                << save << u"echo 'some error' >&2; exit 65"_s << 0 << 1 << u"some error"_s;
        QTest::newRow("ImageMagick killed")
                << save << u"kill -KILL $$"_s << 0 << 128 + SIGKILL << u"signal 9"_s;
        QTest::newRow("nothing written") << save << u": > \"$out\""_s << 0 << 1 << u"no picture"_s;
        for (const int signal : {SIGTERM, SIGINT, SIGHUP})
            QTest::addRow("stopped by signal %d", signal)
                    << save << u"exec sleep 60"_s << signal << 128 + signal << QString();
        QTest::newRow("deaf to SIGTERM") << save << u"trap '' TERM; exec sleep 60"_s << SIGTERM
                                         << 128 + SIGTERM << QString();
    }
    // A failure leaves every file as it was, byte for byte, and no ImageMagick running; its exit
    // code tells the editor why.
    void failures()
    {
        QFETCH(QString, arguments);
        QFETCH(QString, standIn);
        QFETCH(int, signal);
        QFETCH(int, exitCode);
        QFETCH(QString, message);
        // The stand-in writes half a picture, then its process id for the test to check on.
        const QString script =
                standIn.isEmpty()
                        ? QString()
                        : makeStandIn(
                                  u"for out; do :; done\necho half >\"$out\"; printf $$ >pid\n"_s +
                                  standIn);
        const QMap<QString, QByteArray> before = snapshot();

        QCOMPARE(convert(arguments.split(u' '), script, signal), exitCode);

        QVERIFY2(m_errors.contains(message.toUtf8()), m_errors);
        QFile pid(path(u"pid"_s));
        if (pid.open(QIODevice::ReadOnly))
            QCOMPARE(::kill(pid.readAll().toInt(), 0), -1);
        pid.remove();
        QVERIFY(snapshot() == before);
    }

    void swappedSource_data()
    {
        QTest::addColumn<QString>("swap");
        QTest::addColumn<int>("exitCode");
        QTest::newRow("moved away") << u"mv source.png taken.png"_s << 0;
        // ImageMagick's policy refuses a file without a name, which is still not the FIFO.
        QTest::newRow("deleted") << u"rm source.png"_s << 1;
    }
    // ImageMagick reads the source the launcher checked, or nothing, when the name is given to a
    // FIFO meanwhile: it would hang on that.
    void swappedSource()
    {
        QFETCH(QString, swap);
        QFETCH(int, exitCode);
        const QString script =
                makeStandIn(swap + u"; mkfifo source.png; exec '"_s + ImageMagick + u"' \"$@\""_s);
        QCOMPARE(convert({u"source.png"_s, u"-flip"_s, u"flipped.png"_s}, script), exitCode);
        if (exitCode == 0)
            QCOMPARE(describePicture(QImage(path(u"flipped.png"_s))), u"80x60 blue/green"_s);
    }

    // A write in place that fails midway, here at a file size limit, puts the old bytes back.
    void interruptedWriteInPlace()
    {
        QCOMPARE(shell(u"yes old | head -c 1000 >dest; ln dest other"_s), 0);
        const QString script = makeStandIn(
                u"ulimit -f unlimited; for out; do :; done; head -c 100000 /dev/zero >\"$out\""_s);
        const QMap<QString, QByteArray> before = snapshot();
        m_fileSizeLimit = 16384;

        QCOMPARE(convert({u"source.png"_s, u"dest"_s}, script), 1);

        QVERIFY2(m_errors.contains("old contents are back"), m_errors);
        QVERIFY(snapshot() == before);
    }

    // What a killed run left, beside its destination and in the temporary folder, goes with a
    // later run; a live run's folders, another user's and the user's own files stay.
    void leftovers()
    {
        QCOMPARE(convert({u"source.png"_s, u"dest.png"_s},
                         makeStandIn(u"printf $$ >pid; exec sleep 60"_s), SIGKILL),
                 -1);
        QFile pid(path(u"pid"_s));
        QVERIFY(pid.open(QIODevice::ReadOnly));
        ::kill(pid.readAll().toInt(), SIGKILL);
        const QStringList killedRuns = hiddenEntries();
        QCOMPARE(killedRuns.size(), 1);
        QVERIFY(!QDir(m_privateRoot->path()).isEmpty());

        const pid_t dead = ::fork();
        if (dead == 0)
            ::_exit(0);
        ::waitpid(dead, nullptr, 0);
        const QString live = u".pictalux-%1-Live00"_s.arg(::getpid());
        const QString held = u".pictalux-%1-Held00"_s.arg(dead);
        const QString abandoned = u".pictalux-%1-Gone00"_s.arg(dead);
        QStringList kept = {live, held, u".pictalux-notes"_s};
        QCOMPARE(shell(u"mkdir %1 %2 %3; echo notes >.pictalux-notes"_s.arg(live, held, abandoned)),
                 0);
        // Open to all, so that only the launcher's judgement keeps it.
        const QString other = u".pictalux-%1-Other0"_s.arg(dead);
        if (shell(u"mkdir -m 777 %1 && chown daemon %1"_s.arg(other)) == 0)
            kept << other;
        const int lock = ::open(QFile::encodeName(path(held)), O_RDONLY | O_DIRECTORY);
        QCOMPARE(::flock(lock, LOCK_EX), 0);

        // A run that writes elsewhere finds the killed run's folder through its workspace.
        QVERIFY(QDir(m_work->path()).mkdir(u"elsewhere"_s));
        QCOMPARE(convert({u"source.png"_s, u"elsewhere/dest.png"_s}), 0);
        QVERIFY(!hiddenEntries().contains(killedRuns.front()));
        QVERIFY(QDir(m_privateRoot->path()).isEmpty());
        QCOMPARE(convert({u"source.png"_s, u"dest.png"_s}), 0);
        ::close(lock);

        kept.sort();
        QCOMPARE(hiddenEntries(), kept);
        QVERIFY(!hiddenEntries().contains(abandoned));
    }

private:
    QString path(const QString &name) const { return m_work->filePath(name); }

    QStringList hiddenEntries() const
    {
        return QDir(m_work->path())
                .entryList({u".pictalux-*"_s}, QDir::AllEntries | QDir::Hidden, QDir::Name);
    }

    // Every entry of the work folder, hidden ones and those in subfolders too: its kind, mode,
    // owner and group, then a file's bytes or a link's target. FIFOs are never opened. What root
    // made is first given to the launcher's user.
    QMap<QString, QByteArray> snapshot() const
    {
        handOver();
        QMap<QString, QByteArray> entries;
        QDirIterator it(m_work->path(),
                        QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                        QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString name = it.next();
            struct stat info = {};
            ::lstat(QFile::encodeName(name), &info);
            QByteArray entry = QByteArray::number(info.st_mode, 8) + ' ' +
                               QByteArray::number(info.st_uid) + ':' +
                               QByteArray::number(info.st_gid) + '\n';
            QFile file(name);
            if (S_ISLNK(info.st_mode))
                entry += QFile::encodeName(it.fileInfo().symLinkTarget());
            else if (S_ISREG(info.st_mode) && file.open(QIODevice::ReadOnly))
                entry += file.readAll();
            entries.insert(name.mid(m_work->path().size() + 1), entry);
        }
        return entries;
    }

    void makeSocket(const QString &name) const
    {
        sockaddr_un address = {};
        address.sun_family = AF_UNIX;
        qstrncpy(address.sun_path, QFile::encodeName(name).constData(), sizeof address.sun_path);
        const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
        QCOMPARE(::bind(fd, reinterpret_cast<const sockaddr *>(&address), sizeof address), 0);
        ::close(fd);
    }

    // A script run instead of ImageMagick, in the work folder.
    QString makeStandIn(const QString &body) const
    {
        const QString script = path(u"imagemagick"_s);
        writeFile(script, (u"#!/bin/sh\ncd '"_s + m_work->path() + u"'\n"_s + body).toUtf8());
        QFile::setPermissions(script, QFile::ReadOwner | QFile::ExeOwner);
        return script;
    }

    // Runs a shell script in the work folder and returns its exit status.
    int shell(const QString &script) const
    {
        return QProcess::execute(u"sh"_s,
                                 {u"-c"_s, u"cd \"$0\" || exit 1; "_s + script, m_work->path()});
    }

    // Gives what root made to the user the launcher runs as.
    void handOver() const
    {
        if (::geteuid() == 0)
            QProcess::execute(u"chown"_s, {u"-hR"_s, u"--from=0"_s, u"nobody:nogroup"_s,
                                           m_work->path(), m_privateRoot->path()});
    }

    // The launcher's exit code, or -1 when it crashed or hung; its standard error is kept.
    int convert(const QStringList &arguments, const QString &imageMagick = {}, int signal = 0)
    {
        QProcess process;
        process.setWorkingDirectory(m_work->path());
        process.setEnvironment(QProcess::systemEnvironment()
                               << u"TMPDIR="_s + m_privateRoot->path()
                               << u"PICTALUX_IMAGEMAGICK="_s + imageMagick);
        if (const rlim_t limit = m_fileSizeLimit) {
            process.setChildProcessModifier([limit] {
                const rlimit fileSize = {limit, RLIM_INFINITY};
                ::setrlimit(RLIMIT_FSIZE, &fileSize);
                ::signal(SIGXFSZ, SIG_IGN);
            });
        }
        handOver();
        QStringList command = ::geteuid() == 0 ? AsNobody : QStringList();
        command << Launcher << arguments;
        process.start(command.front(), command.mid(1));
        // The signal comes once the stand-in for ImageMagick has written its process id.
        if (signal && QTest::qWaitFor([this] { return QFileInfo(path(u"pid"_s)).size() > 0; }))
            ::kill(process.processId(), signal);
        const bool finished = process.waitForFinished(30000);
        m_errors = process.readAllStandardError();
        return finished && process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    }

    std::optional<QTemporaryDir> m_work;
    std::optional<QTemporaryDir> m_privateRoot;
    rlim_t m_fileSizeLimit = 0;
    QByteArray m_errors;
};

QTEST_MAIN(ConverterTest)
#include "tst_converter.moc"
