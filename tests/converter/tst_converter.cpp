// The launcher run as the editor runs it: writes that respect what the destination is, exact exit
// codes, the limits and faster routes it gives ImageMagick, and a working copy that loses nothing.
#include "testsupport.h"

#include "platform/converter/convertargs.h"
#include "platform/converter/resources.h"
#include "platform/converter/tiffcheck.h"

#include <QImageReader>
#include <QProcess>

#include <csignal>
#include <optional>

#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

const QString ImageMagick = QStringLiteral(PICTALUX_IMAGEMAGICK);
// Root ignores permissions, so a test run as root runs the launcher as this user.
const QStringList AsNobody =
        u"setpriv --reuid=nobody --regid=nogroup --clear-groups --"_s.split(' ');
// A photo, made by ImageMagick: smooth shading, hard edges and a little grain.
const QString Photo = u"magick -size 160x120 gradient:skyblue-olive -fill gold -stroke black -draw "
                      "'circle 70,50 99,70' -attenuate .3 +noise Uniform -alpha off -depth 8"_s;

class ConverterTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        if (!QFileInfo(ImageMagick).isExecutable())
            QSKIP("ImageMagick is not installed");
        const QStringList probe = {"test", "-x", PICTALUX_PROGRAM_DIR "/convert"};
        m_asNobody =
                ::geteuid() == 0 && QProcess::execute(AsNobody[0], AsNobody.mid(1) + probe) == 0;
        // New files must get what this mask allows, not the bits of a private temporary file.
        ::umask(027);
        // A write beyond a file size limit then fails instead of killing the launcher.
        ::signal(SIGXFSZ, SIG_IGN);
    }
    void init()
    {
        // ImageMagick would read the folder's name as a frame pattern, were it given.
        m_work.emplace(QDir::tempPath() + "/converter %d-XXXXXX");
        m_privateRoot.emplace();
        QVERIFY(quarters().save(path("source.png")));
        // A stand-in for ImageMagick puts half a picture in $out, its process id in pid, then runs
        // the test's script in the work folder.
        const QString standIn =
                u"#!/bin/sh\ncd '%1'\nmagick() { '%2' \"$@\"; }\nfor out; do :; done\n"
                "echo half >\"$out\"; printf $$ >pid; eval \"$STANDIN\"\n"_s;
        writeFile(path("imagemagick"), standIn.arg(m_work->path(), ImageMagick).toUtf8());
        QFile::setPermissions(path("imagemagick"), QFile::ReadOwner | QFile::ExeOwner);
    }
    // Whatever its end, a run takes its private folders with it.
    void cleanup() { QVERIFY(QDir(m_privateRoot->path()).isEmpty()); }

    void conversions_data()
    {
        // The last argument names the new file, in the format of its extension.
        columns({"arguments", "picture"});
        row("cut to GIF", {"source.png -crop 30x20+25+20 cut.gif", "30x20 red/white gif"});
        // The one picture the user saw: the first of several pages.
        row("several pages", {"pages.tif -flop page.jpg", "20x10 red/red jpeg"});
    }
    // A new picture: what the user saw, edited, in its name's format, with a new file's mode.
    void conversions()
    {
        QFETCH(QString, arguments);
        QFETCH(QString, picture);
        QCOMPARE(shell("magick -size 20x10 xc:red xc:lime pages.tif"), "");

        QCOMPARE(convert(arguments.split(u' ')), 0);

        const QString name = path(arguments.section(u' ', -1));
        QCOMPARE(describePicture(QImage(name)) + ' ' + QImageReader::imageFormat(name), picture);
        QCOMPARE(shell("stat -c %a '" + name + "'"), "640\n");
        // Nothing of a cut's old canvas or offset is left for ImageMagick's next run to read.
        QCOMPARE(shell("magick - -format %X%Y info: <'" + name + "'"), "+0+0");
    }

    void runs_data()
    {
        QTest::addColumn<QString>("setup"); // a shell script run first
        QTest::addColumn<QString>("arguments");
        QTest::addColumn<QString>("standIn"); // a script run instead of ImageMagick
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("message");     // a text the launcher's standard error must hold
        QTest::addColumn<QStringList>("written"); // the names that show the flipped source
        const auto saved = [](const char *tag, int code, QString setup, QStringList written = {},
                              QString standIn = {}) {
            QTest::newRow(tag) << setup << u"source.png -flip dest"_s << standIn << code
                               << QString() << written;
        };
        saved("file", 0, "echo old >dest; chmod 604 dest", {"dest"});
        saved("read-only file", 1, "echo old >dest; chmod 444 dest");
        saved("FIFO", 1, "mkfifo dest");
        saved("link to a file", 0, "echo old >target; ln -s target dest", {"dest", "target"});
        // Writable by all, so only the launcher's refusal keeps a save from feeding it.
        saved("link to a device", 1, "ln -s /dev/null dest");
        saved("dangling link", 0, "ln -s target dest", {"dest", "target"});
        saved("hard links", 0, "echo old >dest; ln dest other", {"dest", "other"});
        saved("file in a read-only folder", 0, "echo old >dest; chmod 500 .", {"dest"});
        // The launcher's user may write the file through its group, but may not take it over.
        saved("another user's shared file", 0,
              "echo old >dest; chmod 660 dest; chown daemon:nogroup dest || "
              "skip only root can give a file to another user",
              {"dest"});
        // Its ACL and attributes stay with the file, and the ACL's mask gives its group no more.
        saved("file with an ACL and attributes", 0,
              "echo old >dest; chmod 640 dest; setfacl -m u:daemon:rw dest && "
              "setfattr -n user.note -v kept dest || skip the file system has no ACLs",
              {"dest"});
        // Another run writes the file in place meanwhile: the file ends up as one whole picture.
        saved("file written by another run", 0, "echo old >dest; ln dest other", {"dest", "other"},
              "flock dest sh -c 'touch locked; sleep 0.5; echo other >dest; rm locked' & "
              "while [ ! -e locked ]; do sleep 0.01; done; magick \"$@\"");
        // An attribute only root may set cannot be given to a new file, so the file is written.
        saved("attribute only root sets", 0,
              "echo old >dest; setfattr -n security.note -v kept dest || "
              "skip only root can set a security attribute",
              {"dest"});
        // ImageMagick reads the source the launcher checked, though its name now leads to a FIFO.
        saved("source swapped for a FIFO", 0, {}, {"dest"},
              "mv source.png taken.png; mkfifo source.png; magick \"$@\"; mv taken.png source.png");

        const auto failed = [](const char *tag, int code, QString message, QString arguments,
                               QString standIn = {}) {
            QTest::newRow(tag) << u"yes old | head -c 1000 >dest; ln dest other"_s << arguments
                               << standIn << code << message << QStringList();
        };
        failed("crop of no width", 1, "no picture", "source.png -crop 0x5+2+4 source.png");
        failed("FIFO as the source", 1, "not a file", "fifo.png source.png");
        failed("side over the limit", 65, "exceeds", "source.png -resize 20000x10! source.png");
        failed("area over the limit", 65, "exhausted", "source.png -resize 15000x source.png");
        failed("tiles", 1, "several files", "source.png -crop 10x source.png");
        // The system's refusals stay; GraphicsMagick, reading no policy, never sees such a file.
        failed("oil paint of PostScript", 1, "policy `PS'", "doc.jpg -paint 3 pxTemp.image");
        const char *save = "source.png source.png";
        failed("ImageMagick's own status", 1, "some error", save, "echo 'some error' >&2; exit 65");
        failed("ImageMagick killed", 128 + SIGKILL, "signal 9", save, "kill -KILL $$");
        // Messages name the user's files, not the launcher's private names for them.
        failed("ImageMagick's names", 1, "cannot write `source.png'", save,
               "echo \"cannot write \\`$out'\" >&2; exit 1");
        failed("disk full, yet success", 1, "disk is full", save,
               "echo 'No space left on device' >&2");
        failed("nothing written", 1, "no picture", save, ": >\"$out\"");
        failed("write in place cut short", 1, "old contents are back", "source.png dest",
               "prlimit --pid $PPID --fsize=16384; head -c 99999 /dev/zero >\"$out\"");
        // ImageMagick reports success for a TIFF that a full disk cut short in its last strip.
        for (const char *file : {"old.tif", "pxTemp.image"})
            QTest::addRow("%s cut short", file)
                    << u"magick source.png -compress None TIFF:"_s + file
                    << u"source.png -flip -compress None "_s + file
                    << u"magick \"$@\"; s=$(stat -c %s \"${out#TIFF:}\"); prlimit --pid $$ "
                       "--fsize=$((s - 1000)); magick \"$@\""_s
                    << 1 << u"disk is full"_s << QStringList();
        for (const int signal : {SIGTERM, SIGINT, SIGHUP})
            failed(qPrintable(u"launcher stopped by signal %1"_s.arg(signal)), 128 + signal, {},
                   save, u"kill -%1 $PPID; exec sleep 60"_s.arg(signal));
        failed("ImageMagick deaf to SIGTERM", 128 + SIGTERM, {}, save,
               "trap '' TERM; kill -TERM $PPID; exec sleep 60");
    }
    // A run writes as a plain write by its user would, files keeping kind, mode, owners, links;
    // a failure leaves every byte as it was, no ImageMagick running, and an exit code for why.
    void runs()
    {
        QFETCH(QString, setup);
        QFETCH(QString, arguments);
        QFETCH(QString, standIn);
        QFETCH(int, exitCode);
        QFETCH(QString, message);
        QFETCH(QStringList, written);
        if (::geteuid() == 0 && !m_asNobody)
            QSKIP("running as root, and the user nobody cannot run the launcher through setpriv");
        const QByteArray prepared = shell(
                "skip() { echo \"$*\" >&2; exit 77; }; echo %!PS >doc.jpg; mkfifo fifo.png; " +
                setup);
        if (prepared.startsWith("exit 77"))
            QSKIP(prepared.constData());
        QByteArrayList before = snapshot();

        QCOMPARE(convert(arguments.split(u' '), standIn), exitCode);

        QVERIFY2(m_errors.contains(message.toUtf8()) && !m_errors.contains("pictalux-"), m_errors);
        QCOMPARE(shell("p=$(cat pid); rm -f pid; chmod 700 .; ! kill -0 $p 2>/dev/null"), "");
        QByteArrayList after = snapshot();
        for (const QString &name : written) {
            QCOMPARE(describePicture(QImage(path(name))), "80x60 blue/green");
            const QByteArray entry = "./" + QFile::encodeName(name);
            before.removeIf([&](const QByteArray &line) { return line.endsWith(' ' + entry); });
            after.removeIf([&](const QByteArray &line) {
                return (line.endsWith(' ' + entry) || line.startsWith(entry + ' ')) &&
                       !before.contains(line);
            });
        }
        QCOMPARE(after, before);
    }

    void wholeTiff_data()
    {
        QTest::addColumn<QString>("making");
        QTest::newRow("strips") << u"-size 64x48 gradient: -compress None TIFF:"_s;
        QTest::newRow("tiles") << u"-size 64x48 gradient: -define tiff:tile-geometry=16x16 TIFF:"_s;
        QTest::newRow("pages") << u"-size 20x10 xc:red xc:lime -compress None TIFF:"_s;
        QTest::newRow("BigTIFF") << u"-size 64x48 gradient: TIFF64:"_s;
    }
    // A TIFF cut short anywhere, or whose header was written over, is not whole.
    void wholeTiff()
    {
        QFETCH(QString, making);
        QCOMPARE(shell("magick " + making + "whole"), "");
        QVERIFY(TiffCheck::isWhole(path("whole").toStdString()));
        const qint64 size = QFileInfo(path("whole")).size();
        const QString cut = "truncate -s %1 broken";
        for (const QString &damage :
             {cut.arg(8), cut.arg(size / 2), cut.arg(size - 100), cut.arg(size - 1),
              u"printf '\\0\\0\\0\\0' | dd of=broken conv=notrunc status=none"_s}) {
            QCOMPARE(shell("cp whole broken && " + damage), "");
            QVERIFY2(!TiffCheck::isWhole(path("broken").toStdString()), qPrintable(damage));
        }

        QVERIFY(TiffCheck::namesTiff("TIFF:/tmp/a.b/picture"));
        QVERIFY(TiffCheck::namesTiff("/tmp/a:b/picture.Tif"));
        QVERIFY(!TiffCheck::namesTiff("/tmp/a.tif/picture"));
        QVERIFY(!TiffCheck::namesTiff("PNG:/tmp/picture.tif"));
    }

    // The kernel's guard of sticky folders others may write, as a plain write by user 1 meets it:
    // a link or a file of user 2 in a folder of user 0 is not followed or opened.
    void stickyFolders()
    {
        const auto allows = [](int level, bool link, unsigned owner, unsigned folderMode) {
            return Converter::stickyFolderAllows(level, 1, {link, owner, folderMode, 0});
        };
        QVERIFY(!allows(1, true, 2, 01777) && !allows(1, false, 2, 01777));
        QVERIFY(allows(0, true, 2, 01777) && allows(1, true, 1, 01777));
        QVERIFY(allows(1, false, 0, 01777) && allows(1, true, 2, 0777));
        // A folder only its group may write counts at the second level, and for files only.
        QVERIFY(allows(1, false, 2, 01770) && !allows(2, false, 2, 01770));
        QVERIFY(allows(2, true, 2, 01770));
    }

    // A new file in a folder with a default ACL gets what the ACL gives, whatever the umask.
    void defaultAcl()
    {
        if (!shell("mkdir shared && setfacl -d -m u::rw,g::rw,o::r,u:daemon:rw shared").isEmpty())
            QSKIP("the file system has no ACLs");
        QVERIFY2(convert({"source.png", "shared/new.png"}) == 0, m_errors);
        const QString permissions = "stat -c %a shared/%1; getfacl -c shared/%1";
        QCOMPARE(shell(": >shared/plain"), "");
        QCOMPARE(shell(permissions.arg("new.png")), shell(permissions.arg("plain")));
    }

    // What a killed run left, beside its destination and in the temporary folder, goes with a
    // later run; a live run's folders, another user's and the user's own files stay.
    void leftovers()
    {
        const auto hiddenEntries = [this] {
            return QDir(m_work->path()).entryList({".pictalux-*"}, QDir::AllEntries | QDir::Hidden);
        };
        QCOMPARE(convert({"source.png", "dest.png"}, "kill -KILL $PPID; exec sleep 60"), -1);
        const QStringList killedRuns = hiddenEntries();
        QCOMPARE(killedRuns.size(), 1);
        // ImageMagick goes with a killed launcher (a zombie, maybe, till its new parent reaps it).
        QCOMPARE(shell("p=$(cat pid); rm pid; for i in $(seq 50); do state=$(sed 's/.*) //' "
                       "/proc/$p/stat 2>/dev/null); case $state in ''|Z*) exit;; esac; sleep 0.1; "
                       "done; echo still running"),
                 "");

        const QString dead = QString::fromLatin1(shell("echo $$").trimmed());
        const QString live = u".pictalux-%1-Live00"_s.arg(::getpid());
        const QString held = u".pictalux-%1-Held00"_s.arg(dead);
        QStringList kept = {live, held, ".pictalux-notes"};
        QCOMPARE(shell(u"mkdir %1 %2 elsewhere; touch .pictalux-notes"_s.arg(live, held)), "");
        // Open to all, so that only the launcher's judgement keeps it.
        const QString other = u".pictalux-%1-Other0"_s.arg(dead);
        if (shell(u"mkdir -m 777 %1 && chown daemon %1"_s.arg(other)).isEmpty())
            kept << other;
        const int lock = ::open(QFile::encodeName(path(held)), O_RDONLY | O_DIRECTORY);
        QCOMPARE(::flock(lock, LOCK_EX), 0);

        // A run that writes elsewhere finds the killed run's folder through its workspace.
        QCOMPARE(convert({"source.png", "elsewhere/dest.png"}), 0);
        QVERIFY(!hiddenEntries().contains(killedRuns.front()));
        QCOMPARE(convert({"source.png", "dest.png"}), 0);
        ::close(lock);
        kept.sort();
        QCOMPARE(hiddenEntries(), kept);

        // Old contents left only in a workspace by a run killed mid-write are kept and named.
        const QString cutShort = m_privateRoot->filePath(u"pictalux-%1-Write0"_s.arg(dead));
        QVERIFY(QDir().mkdir(cutShort));
        writeFile(cutShort + "/old", "old contents");
        writeFile(cutShort + "/writing", QFile::encodeName(path("dest.png")));
        QCOMPARE(convert({"source.png", "dest.png"}), 0);
        QVERIFY2(m_errors.contains(QFile::encodeName(path("dest.png"))) &&
                         m_errors.contains(QFile::encodeName(cutShort + "-old")),
                 m_errors);
        QVERIFY(!QFileInfo::exists(cutShort));
        QCOMPARE(shell("cat '" + cutShort + "-old'"), "old contents");
        QVERIFY(QFile::remove(cutShort + "-old"));
    }

    // ImageMagick may use a quarter of the memory where the system caps it lower; other caps stay.
    void limits()
    {
        // Sizes as policies and cgroups write them; ImageMagick takes a resource's first value.
        QCOMPARE(Resources::parseSize("16KP").value_or(0), 16000u);
        QCOMPARE(Resources::parseSize("2048\n").value_or(0), 2048u);
        const std::string policy = R"(<!-- <policy domain="resource" name="map" value="1GP"/> -->
            <policy domain="resource" name="map" value="1.5GiB"/>
            <policy domain="resource" name="map" value="8GiB"/>)";
        QCOMPARE(Resources::policyValue(policy, "map").value_or(0), 1536ull << 20);
        // A policy may lower a cap as well: a cap as high, or none, stays the system's.
        QVERIFY(!Resources::raisedLimit(24ull << 30, 8ull << 30));
        QVERIFY(!Resources::raisedLimit(24ull << 30, std::nullopt));

        convert({"source.png", "pxTemp.image"}, "magick -list resource >limits");
        const QByteArrayList launched = shell("cat limits").split('\n');
        const QByteArrayList system = shell("magick -list resource").split('\n');
        QCOMPARE(launched.size(), system.size());
        const double quarter = double(sysconf(_SC_PHYS_PAGES)) * sysconf(_SC_PAGE_SIZE) / 4;
        const auto size = [](const QByteArray &line) {
            return double(Resources::parseSize(line.split(':').last().toStdString()).value_or(0));
        };
        for (int i = 0; i < system.size(); ++i) {
            if (system[i].contains("Memory:") || system[i].contains("Map:"))
                QVERIFY2(qAbs(size(launched[i]) / std::max(size(system[i]), quarter) - 1) < 0.01,
                         launched[i]);
            else
                QCOMPARE(launched[i], system[i]);
        }
    }

    // Ten flops give back every pixel, alpha too; a JPEG's quality and format come back on a save,
    // without the note that carried them. Transparent pictures take ImageMagick's own emboss.
    void losslessWorkingCopy()
    {
        QCOMPARE(shell(Photo + " -resize 90x70! -quality 63 photo.jpg && magick photo.jpg "
                               "-alpha set -channel A -fx i/w alpha.png"),
                 "");
        for (const QString &source : QStringList{"alpha.png", "photo.jpg"}) {
            QCOMPARE(convert({source, "-flop", "pxTemp.image"}), 0);
            for (int run = 1; run < 10; ++run)
                QCOMPARE(convert({"pxTemp.image", "-flop", "pxTemp.image"}), 0);
            QCOMPARE(pixels("pxTemp.image"), pixels(source));
        }

        for (const QString &name : QStringList{"saved.jpg", "saved", "saved.png"})
            QCOMPARE(convert({"pxTemp.image", name}), 0);
        QCOMPARE(shell("magick saved.jpg saved -format '%m %Q,' info:"), "JPEG 63,JPEG 63,");
        QCOMPARE(shell("magick saved.png -format [%l] info:"), "[]");

        QCOMPARE(convert({"alpha.png", "pxTemp.image"}), 0);
        for (const QString &source : QStringList{"alpha.png", "pxTemp.image"}) {
            QCOMPARE(convert({source, "-emboss", "3", "embossed.png"}), 0);
            QCOMPARE(pixels("embossed.png"), pixels(source, "-emboss 3"));
        }
    }

    void fasterRoutes_data()
    {
        QTest::addColumn<QString>("tool");
        QTest::addColumn<double>("margin"); // how much less like ImageMagick's own result, at most
        for (const auto &[option, last, margin] :
             {std::tuple{"-emboss", 15, 0.001}, {"-paint", 6, 0.1}, {"-charcoal", 5, 0.1}})
            for (int value = 0; value <= last; ++value)
                QTest::addRow("%s %d", option + 1, value)
                        << u"%1 %2"_s.arg(option).arg(value) << margin;
        for (int amount : {0, 1, 10, 20})
            QTest::addRow("spread %d", amount) << u"-spread %1"_s.arg(amount) << 0.1;
        // Floyd and Steinberg's grain scores about 0.88 against ImageMagick's; a threshold, 0.74.
        QTest::newRow("monochrome") << u"-monochrome"_s << 0.17;
    }
    // Any route's picture is near ImageMagick's own; exactly that without GraphicsMagick.
    void fasterRoutes()
    {
        QFETCH(QString, tool);
        QFETCH(double, margin);
        const QString bare = "magick photo.png " + tool + " -compress None TIFF:";
        QCOMPARE(shell(Photo + " photo.png && " + bare + "bare.tif && " + bare + "again.tif"), "");
        const QStringList arguments = ("photo.png " + tool + " pxTemp.image").split(u' ');
        QCOMPARE(convert(arguments), 0);
        // Grain differs pixel by pixel, so it is judged at a quarter size.
        const bool grain = tool.startsWith("-spread") || tool == "-monochrome";
        const auto judged = [&](const QString &name) {
            const QImage image(path(name));
            return image.scaled(image.size() / (grain ? 4 : 1), Qt::IgnoreAspectRatio,
                                Qt::SmoothTransformation);
        };
        const double similarity = ::similarity(judged("pxTemp.image"), judged("bare.tif"));
        QVERIFY2(similarity >= ::similarity(judged("again.tif"), judged("bare.tif")) - margin,
                 qPrintable(QString::number(similarity)));

        QCOMPARE(convert(arguments, {}, {"PICTALUX_GRAPHICSMAGICK=/nonexistent"}), 0);
        if (tool.startsWith("-paint") || tool.startsWith("-charcoal"))
            QCOMPARE(pixels("pxTemp.image"), pixels("bare.tif"));
    }

private:
    QString path(const QString &name) const { return m_work->filePath(name); }

    // Runs a script in the work folder: its output, or "exit N: " and its errors.
    QByteArray shell(const QString &script) const
    {
        QProcess process;
        process.start("sh",
                      {"-c", "cd \"$0\" && im=$1 && magick() { \"$im\" \"$@\"; } && " + script,
                       m_work->path(), ImageMagick});
        process.waitForFinished();
        const QByteArray status = "exit " + QByteArray::number(process.exitCode()) + ": ";
        return process.exitCode() ? status + process.readAllStandardError()
                                  : process.readAllStandardOutput();
    }

    // Every pixel as the converter reads it, alpha included, after ImageMagick's own options.
    QByteArray pixels(const QString &name, const QString &options = {}) const
    {
        return shell("magick " + name + ' ' + options + " -depth 8 RGBA:-");
    }

    // The work folder's entries but the stand-in: kind, mode, owners, link target, attributes
    // (ACLs too) and a file's checksum; FIFOs are never opened.
    QByteArrayList snapshot() const
    {
        handOver();
        return shell("{ find . -mindepth 1 ! -name imagemagick -printf '%p %M %U:%G %l\\n' -type f "
                     "-exec cksum {} +; find . -mindepth 1 -exec getfattr -h -d -m - -e hex {} + "
                     "2>/dev/null | awk '/^# file: /{f=substr($0,9);next} NF{print \"./\" f \" \" "
                     "$0}'; } | sort")
                .split('\n');
    }

    // Gives what root made to the user the launcher runs as.
    void handOver() const
    {
        if (m_asNobody)
            shell("chown -hR --from=0 nobody:nogroup . " + m_privateRoot->path());
    }

    // The launcher's exit code, or -1 if it crashed or hung; a given script stands in for magick.
    int convert(const QStringList &arguments, const QString &standIn = {},
                const QStringList &environment = {})
    {
        QProcess process;
        process.setWorkingDirectory(m_work->path());
        process.setEnvironment(QProcess::systemEnvironment()
                               << "TMPDIR=" + m_privateRoot->path()
                               << "PICTALUX_IMAGEMAGICK=" +
                                          (standIn.isEmpty() ? "" : path("imagemagick"))
                               << "STANDIN=" + standIn << environment);
        handOver();
        QStringList command = m_asNobody ? AsNobody : QStringList();
        command << PICTALUX_PROGRAM_DIR "/convert" << arguments;
        process.start(command.front(), command.mid(1));
        const bool finished = process.waitForFinished(60000);
        m_errors = process.readAllStandardError();
        return finished && process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    }

    bool m_asNobody = false;
    std::optional<QTemporaryDir> m_work;
    std::optional<QTemporaryDir> m_privateRoot;
    QByteArray m_errors;
};

QTEST_MAIN(ConverterTest)
#include "tst_converter.moc"
