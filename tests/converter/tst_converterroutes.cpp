// What the launcher does behind the command line: the memory it gives the converter under the
// system's policy, the working copy's encoding, and the faster routes of the slow tools.
#include "testsupport.h"

#include "platform/converter/resources.h"
#include "platform/converter/workingcopy.h"
#include "platform/convertercommand.h"

#include <QImageReader>
#include <QPainter>
#include <QProcess>
#include <QRandomGenerator>

#include <unistd.h>

using namespace Qt::StringLiterals;

const QString ImageMagick = QStringLiteral(PICTALUX_IMAGEMAGICK);
constexpr std::uint64_t GiB = 1024ull * 1024 * 1024;

class ConverterRoutesTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        if (!QFileInfo(ImageMagick).isExecutable())
            QSKIP("ImageMagick is not installed");
    }
    void init() { m_work.emplace(); }

    void sizes_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<qint64>("value"); // -1: not a size
        QTest::newRow("binary") << u"256MiB"_s << qint64(256) * 1024 * 1024;
        QTest::newRow("fraction") << u"1.5GiB"_s << qint64(3 * GiB / 2);
        QTest::newRow("decimal") << u"1GB"_s << qint64(1000000000);
        QTest::newRow("kilopixels") << u"16KP"_s << qint64(16000);
        QTest::newRow("megapixels") << u"128MP"_s << qint64(128000000);
        QTest::newRow("plain") << u"2048\n"_s << qint64(2048);
        QTest::newRow("cgroup without limit") << u"max"_s << qint64(-1);
        QTest::newRow("unknown unit") << u"12XB"_s << qint64(-1);
        QTest::newRow("negative") << u"-1GiB"_s << qint64(-1);
    }
    void sizes()
    {
        QFETCH(QString, text);
        QFETCH(qint64, value);
        const auto size = Resources::parseSize(text.toStdString());
        QCOMPARE(size ? qint64(*size) : -1, value);
    }

    // ImageMagick takes a resource's first value; examples in comments are not policies; a
    // policy of ours may raise a cap but must never lower it.
    void limitRule()
    {
        const std::string policy = R"(<policymap>
  <!-- <policy domain="resource" name="memory" value="1GP"/> -->
  <policy domain="coder" rights="none" pattern="PS" />
  <policy domain="resource" name="memory" value="256MiB"/>
  <policy domain="resource" name="memory" value="8GiB"/>
</policymap>)";
        QCOMPARE(Resources::policyValue(policy, "memory").value_or(0), 256ull << 20);
        QVERIFY(!Resources::policyValue(policy, "map"));

        QCOMPARE(Resources::raisedLimit(24 * GiB, 256ull << 20).value_or(0), 6 * GiB);
        QVERIFY(!Resources::raisedLimit(24 * GiB, 8 * GiB));
        QVERIFY(!Resources::raisedLimit(24 * GiB, std::nullopt));

        const std::string ours = Resources::policyDocument(6 * GiB, std::nullopt);
        QCOMPARE(Resources::policyValue(ours, "memory").value_or(0), 6 * GiB);
        QVERIFY(!Resources::policyValue(ours, "map"));
        QVERIFY(Resources::policyDocument(std::nullopt, std::nullopt).empty());
    }

    // The converter started by the launcher has the raised caps and every other one of the
    // system's, as ImageMagick itself reports them.
    void limitsReachConverter()
    {
        const QString script = path(u"imagemagick"_s);
        writeFile(script, "#!/bin/sh\n\"" + ImageMagick.toUtf8() + "\" -list resource >" +
                                  ConverterCommand::shellQuoted(path(u"limits"_s)).toUtf8() + "\n");
        QFile::setPermissions(script, QFile::ReadOwner | QFile::ExeOwner);
        QVERIFY(quarters().save(path(u"a.png"_s)));
        convert({u"a.png"_s, u"-flop"_s, u"pxTemp.image"_s}, {u"PICTALUX_IMAGEMAGICK="_s + script});

        const QMap<QString, QString> launched = resources(readAll(path(u"limits"_s)));
        QProcess bare;
        bare.start(ImageMagick, {u"-list"_s, u"resource"_s});
        QVERIFY(bare.waitForFinished());
        const QMap<QString, QString> system = resources(bare.readAll());
        QVERIFY(system.contains(u"Memory"_s) && system.contains(u"Width"_s));

        const double quarter = double(sysconf(_SC_PHYS_PAGES)) * sysconf(_SC_PAGE_SIZE) / 4;
        for (const QString &resource : {u"Memory"_s, u"Map"_s}) {
            const double expected = std::max(size(system[resource]), quarter);
            QVERIFY2(qAbs(size(launched[resource]) - expected) < expected * 0.01,
                     qPrintable(resource + u": "_s + launched[resource]));
        }
        for (const QString &resource : {u"Width"_s, u"Height"_s, u"Area"_s, u"Disk"_s})
            QCOMPARE(launched[resource], system[resource]);
    }

    void forbiddenCoders_data()
    {
        QTest::addColumn<QString>("source");
        QTest::addColumn<QString>("options");
        QTest::addColumn<QString>("destination");
        QTest::newRow("PostScript as a photo") << u"doc.jpg"_s << u"-flop"_s << u"pxTemp.image"_s;
        // GraphicsMagick reads no policy: it must never see such a file.
        QTest::newRow("oil paint") << u"doc.jpg"_s << u"-paint 3"_s << u"pxTemp.image"_s;
        QTest::newRow("charcoal") << u"doc.jpg"_s << u"-charcoal 2"_s << u"pxTemp.image"_s;
        QTest::newRow("save as PDF") << u"a.png"_s << QString() << u"out.pdf"_s;
        QTest::newRow("save as EPS") << u"a.png"_s << QString() << u"out.eps"_s;
    }
    // The system policy's refusals stay in force through the launcher.
    void forbiddenCoders()
    {
        QFETCH(QString, source);
        QFETCH(QString, options);
        QFETCH(QString, destination);
        writeFile(path(u"doc.jpg"_s), "%!PS\n/Helvetica findfont 20 scalefont setfont\n"
                                      "10 10 moveto (hi) show showpage\n");
        QVERIFY(quarters().save(path(u"a.png"_s)));
        QStringList arguments = QStringList(source) << options.split(u' ', Qt::SkipEmptyParts);
        QVERIFY(convert(arguments << destination) != 0);
        QVERIFY(!QFileInfo::exists(path(destination)));
    }

    // Ten flops give back every pixel, alpha included; a JPEG's quality and format come back
    // when the working copy is saved, and the note that carried them does not.
    void losslessWorkingCopy()
    {
        QImage translucent = photo(QSize(90, 70));
        translucent = translucent.convertToFormat(QImage::Format_ARGB32);
        for (int y = 0; y < translucent.height(); ++y)
            for (int x = 0; x < translucent.width(); ++x)
                translucent.setPixel(x, y, (translucent.pixel(x, y) & 0xffffff) | (x * 2u << 24));
        QVERIFY(translucent.save(path(u"alpha.png"_s)));
        QVERIFY(photo(QSize(90, 70)).save(path(u"photo.jpg"_s), "JPEG", 63));
        QDir(m_work->path()).mkdir(u"once"_s);
        QCOMPARE(convert({u"photo.jpg"_s, u"-flop"_s, u"-flop"_s, u"once/pxTemp.image"_s}), 0);

        for (const QString &source : {u"alpha.png"_s, u"photo.jpg"_s}) {
            QCOMPARE(convert({source, u"-flop"_s, u"pxTemp.image"_s}), 0);
            for (int run = 1; run < 10; ++run)
                QCOMPARE(convert({u"pxTemp.image"_s, u"-flop"_s, u"pxTemp.image"_s}), 0);
            const QString original = source == u"alpha.png"_s ? source : u"once/pxTemp.image"_s;
            QCOMPARE(pixels(u"pxTemp.image"_s), pixels(original));
        }

        QCOMPARE(convert({u"pxTemp.image"_s, u"saved.jpg"_s}), 0);
        QCOMPARE(convert({u"pxTemp.image"_s, u"saved"_s}), 0);
        QCOMPARE(convert({u"pxTemp.image"_s, u"saved.png"_s}), 0);
        QCOMPARE(identify(u"%Q"_s, u"saved.jpg"_s), QByteArray("63"));
        QCOMPARE(identify(u"%m %Q"_s, u"saved"_s), QByteArray("JPEG 63"));
        QCOMPARE(identify(u"[%l]"_s, u"saved.png"_s), QByteArray("[]"));
    }

    void fasterRoutes_data()
    {
        QTest::addColumn<QString>("option");
        QTest::addColumn<int>("value");
        QTest::addColumn<double>("similar"); // to ImageMagick's own result, at least
        // A tool that scatters pixels at random is judged at a quarter of the size, against how
        // close two runs of ImageMagick come, less the given margin.
        QTest::addColumn<bool>("random");
        for (int radius = 0; radius <= 15; ++radius)
            QTest::addRow("emboss %d", radius) << u"-emboss"_s << radius << 0.999 << false;
        for (int radius = 0; radius <= 6; ++radius)
            QTest::addRow("oil paint %d", radius) << u"-paint"_s << radius << 0.9 << false;
        for (int factor = 0; factor <= 5; ++factor)
            QTest::addRow("charcoal %d", factor) << u"-charcoal"_s << factor << 0.9 << false;
        for (int amount : {0, 1, 10, 20})
            QTest::addRow("spread %d", amount) << u"-spread"_s << amount << 0.1 << true;
    }
    // Whatever route a tool takes, the picture comes out the same size and close to what
    // ImageMagick alone makes of it, and exactly that when GraphicsMagick is missing.
    void fasterRoutes()
    {
        QFETCH(QString, option);
        QFETCH(int, value);
        QFETCH(double, similar);
        QFETCH(bool, random);
        QVERIFY(photo(QSize(160, 120)).save(path(u"photo.png"_s)));
        const auto runBare = [&](const QString &name) {
            QProcess bare;
            bare.setWorkingDirectory(m_work->path());
            bare.start(ImageMagick, {u"photo.png"_s, option, QString::number(value), u"-compress"_s,
                                     u"None"_s, u"TIFF:"_s + name});
            return bare.waitForFinished() && bare.exitCode() == 0;
        };
        QVERIFY(runBare(u"bare.tif"_s) && runBare(u"again.tif"_s));
        const QImage expected = picture(u"bare.tif"_s);

        const QStringList arguments = {u"photo.png"_s, option, QString::number(value),
                                       u"pxTemp.image"_s};
        QCOMPARE(convert(arguments), 0);
        const QImage result = picture(u"pxTemp.image"_s);
        QCOMPARE(result.size(), expected.size());
        const auto judged = [random](const QImage &image) {
            return random ? image.scaled(image.size() / 4, Qt::IgnoreAspectRatio,
                                         Qt::SmoothTransformation)
                          : image;
        };
        if (random)
            similar = ::similarity(judged(picture(u"again.tif"_s)), judged(expected)) - similar;
        const double similarity = ::similarity(judged(result), judged(expected));
        QVERIFY2(similarity >= similar, qPrintable(QString::number(similarity)));

        if (option == u"-emboss"_s)
            return;
        QCOMPARE(convert(arguments, {u"PICTALUX_GRAPHICSMAGICK=/nonexistent"_s}), 0);
        if (!random)
            QCOMPARE(pixels(u"pxTemp.image"_s), pixels(u"bare.tif"_s));
    }

private:
    QString path(const QString &name) const { return m_work->filePath(name); }

    static QByteArray readAll(const QString &path)
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    // The picture as the editor loads it, its format told by its content.
    QImage picture(const QString &name) const
    {
        QImageReader reader(path(name));
        reader.setDecideFormatFromContent(true);
        return reader.read();
    }

    // Every pixel as the converter reads it, alpha included.
    QByteArray pixels(const QString &name) const
    {
        QProcess process;
        process.start(ImageMagick, {path(name), u"-depth"_s, u"8"_s, u"RGBA:-"_s});
        process.waitForFinished();
        return process.readAllStandardOutput();
    }

    // Smooth shading, hard edges and a little grain, as in a photo.
    static QImage photo(QSize size)
    {
        QImage image(size, QImage::Format_RGB32);
        QPainter painter(&image);
        QLinearGradient sky(0, 0, size.width(), size.height());
        sky.setColorAt(0, QColor(90, 140, 220));
        sky.setColorAt(1, QColor(60, 120, 40));
        painter.fillRect(image.rect(), sky);
        painter.setPen(QPen(Qt::black, 2));
        painter.setBrush(QColor(230, 190, 60));
        painter.drawEllipse(
                QRect(size.width() / 5, size.height() / 5, size.width() / 2, size.height() / 2));
        painter.end();
        QRandomGenerator generator(5);
        for (int y = 0; y < size.height(); ++y) {
            auto *line = reinterpret_cast<QRgb *>(image.scanLine(y));
            for (int x = 0; x < size.width(); ++x)
                line[x] ^= generator.generate() & 0x030303;
        }
        return image;
    }

    // "Name: value" lines of ImageMagick's resource list.
    static QMap<QString, QString> resources(const QByteArray &list)
    {
        QMap<QString, QString> values;
        for (const QByteArray &line : list.split('\n')) {
            const int colon = line.indexOf(':');
            if (colon > 0)
                values.insert(QString::fromLatin1(line.left(colon).trimmed()),
                              QString::fromLatin1(line.mid(colon + 1).trimmed()));
        }
        return values;
    }
    static double size(const QString &text)
    {
        return double(Resources::parseSize(text.toStdString()).value_or(0));
    }

    QByteArray identify(const QString &format, const QString &name) const
    {
        QProcess process;
        process.start(ImageMagick, {path(name), u"-format"_s, format, u"info:"_s});
        process.waitForFinished();
        return process.readAll();
    }

    // The launcher's exit code, or -1 when it crashed or hung.
    int convert(const QStringList &arguments, const QStringList &environment = {})
    {
        QProcess process;
        process.setWorkingDirectory(m_work->path());
        process.setEnvironment(QProcess::systemEnvironment() << environment);
        process.start(QStringLiteral(PICTALUX_PROGRAM_DIR "/convert"), arguments);
        const bool finished = process.waitForFinished(60000);
        return finished && process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    }

    std::optional<QTemporaryDir> m_work;
};

QTEST_MAIN(ConverterRoutesTest)
#include "tst_converterroutes.moc"
