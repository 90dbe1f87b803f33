#include "testprobe.h"
#include "testsupport.h"

#include <QBuffer>
#include <QProcess>

#include <unistd.h>

using Probe = TestProbe;

namespace {

constexpr QRgb Gray = 0xffa0a0a4;

QByteArray png(const QImage &image)
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return buffer.data();
}

quint32 crc32(const QByteArray &bytes)
{
    quint32 crc = 0xffffffff;
    for (const char byte : bytes) {
        crc ^= quint8(byte);
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc >> 1) ^ (0xedb88320 & (0u - (crc & 1)));
    }
    return ~crc;
}

// A small PNG whose header declares 50000 x 50000 pixels.
QByteArray hugeDeclaredPng()
{
    QByteArray bytes = png(QImage(1, 1, QImage::Format_RGB32));
    const auto putWord = [&bytes](int at, quint32 value) {
        for (int shift = 0; shift < 4; ++shift)
            bytes[at + shift] = char(value >> (24 - 8 * shift));
    };
    putWord(16, 50000);
    putWord(20, 50000);
    putWord(29, crc32(bytes.mid(12, 17)));
    return bytes;
}

} // namespace

// Broken, strange and hostile files and folders, each taken through the browser and the editor
// as a user would: nothing crashes, hangs or runs, and each ends in the behaviour it should.
class HostileInputsTest : public QObject
{
    Q_OBJECT

private:
    ProgramDir m_programDir;
    QTemporaryDir m_storage;
    std::unique_ptr<EditInterface> m_editor;

    QString storage(const QString &name) const { return m_storage.filePath(name); }

    PxGui &browser() const { return *Probe::browser(*m_editor); }

    // Chooses a row of the browser's current folder by its text.
    void choose(const QString &name)
    {
        const int row = Probe::rows(Probe::fileList(browser())).indexOf(name);
        QVERIFY2(row > 0, qPrintable(name));
        browser().itemSelected(row);
    }

    // Waits for the first frame of the picture just loaded.
    void awaitView()
    {
        QTRY_VERIFY(!Probe::viewTimer(*m_editor).isActive());
        QCOMPARE(Probe::editMode(*m_editor), int(EditInterface::ViewMode));
    }

    bool frameIsGray() const
    {
        const QImage frame = Probe::shownFrame(*m_editor).copy(0, 40, 320, 160);
        for (int y = 0; y < frame.height(); y += 7) {
            for (int x = 0; x < frame.width(); x += 7) {
                if (frame.pixel(x, y) != Gray)
                    return false;
            }
        }
        return true;
    }

    // Nothing that a name could have run left a file behind.
    void nothingRan()
    {
        for (const QString &folder : {m_storage.path(), m_programDir.path(), QDir::currentPath()})
            QVERIFY2(!QFile::exists(folder + "/pwned"), qPrintable(folder));
    }

private slots:
    void initTestCase()
    {
        const QImage small = quarters(40, 30);
        writeFile(storage("empty.jpg"));
        QByteArray jpeg;
        {
            QBuffer buffer(&jpeg);
            buffer.open(QIODevice::WriteOnly);
            quarters(400, 300).save(&buffer, "JPEG");
        }
        writeFile(storage("truncated.jpg"), jpeg.left(jpeg.size() / 3));
        writeFile(storage("text.jpg"), "This is a letter, not a photo.\n");
        writeFile(storage("huge.png"), hugeDeclaredPng());
        writeFile(storage("one.png"), png(QImage(1, 1, QImage::Format_RGB32)));
        writeFile(storage("strip.png"), png(quarters(1, 10000)));
        QImage deep(30, 20, QImage::Format_RGBA64);
        deep.fill(QColor(200, 40, 40, 128));
        writeFile(storage("deep.png"), png(deep));
        QProcess imageMagick;
        imageMagick.start(QStringLiteral(PICTALUX_IMAGEMAGICK),
                          {"-delay", "10", "-size", "40x30", "xc:red", "xc:blue", "xc:lime",
                           storage("anim.gif")});
        QVERIFY(imageMagick.waitForFinished());
        for (const QString &name :
             {QStringLiteral("new\nline.png"), QStringLiteral("quote'\"s.png"),
              QStringLiteral("semi;colon.png"), QStringLiteral("$(touch pwned).png"),
              QStringLiteral("`touch pwned`.png"), QStringLiteral("-leading-dash.png"),
              QString(251, u'n') + QStringLiteral(".png")})
            writeFile(storage(name), png(small));

        QVERIFY(QDir(storage(QString())).mkpath("many"));
        for (int index = 0; index < 20000; ++index)
            writeFile(storage(QStringLiteral("many/%1.jpg").arg(index)));
        QVERIFY(QDir(storage(QString())).mkpath("locked"));
        QFile::setPermissions(storage("locked"), QFile::WriteOwner);
        QVERIFY(QFile::link(storage("loop"), storage("loop")));
        QVERIFY(QFile::link(".", storage("around")));

        qputenv("PICTALUX_START_DIR", m_storage.path().toLocal8Bit());
        m_editor = std::make_unique<EditInterface>();
    }

    void cleanupTestCase()
    {
        m_editor.reset();
        QFile::setPermissions(storage("locked"),
                              QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }

    // Files that are no picture, or none Qt will decode, show the gray frame; the converter
    // then fails on them and the gray frame stays.
    void brokenFilesShowGray_data()
    {
        QTest::addColumn<QString>("name");
        for (const char *name : {"empty.jpg", "text.jpg", "huge.png"})
            QTest::newRow(name) << QString::fromLatin1(name);
    }
    void brokenFilesShowGray()
    {
        QFETCH(QString, name);
        choose(name);
        awaitView();
        QCOMPARE(Probe::originPixmap(*m_editor).size(), QSize(320, 240));
        QVERIFY(frameIsGray());
        Probe::toolIndex(*m_editor) = 5;
        StdoutCapture capture;
        m_editor->execCommand();
        const QString trace = capture.finish();
        awaitView();
        QVERIFY2(trace.contains("operation failure..."), qPrintable(trace));
        QCOMPARE(Probe::picPath(*m_editor), storage(name));
        QVERIFY(frameIsGray());
        browser().show();
    }

    // Qt shows what a truncated JPEG holds, the rest gray; the converter may or may not accept
    // it, and either way the picture on screen stays.
    void truncatedPictureShowsWhatItHolds()
    {
        choose("truncated.jpg");
        awaitView();
        QCOMPARE(Probe::originPixmap(*m_editor).size(), QSize(400, 300));
        QVERIFY(!frameIsGray());
        Probe::toolIndex(*m_editor) = 5;
        m_editor->execCommand();
        awaitView();
        QCOMPARE(Probe::originPixmap(*m_editor).size(), QSize(400, 300));
        QVERIFY(!frameIsGray());
        browser().show();
    }

    // Odd but real pictures, and pictures with hostile names, open, take a tool and are saved.
    void oddPicturesWork_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QSize>("size");
        QTest::newRow("1 x 1") << "one.png" << QSize(1, 1);
        QTest::newRow("1 x 10000 strip") << "strip.png" << QSize(1, 10000);
        QTest::newRow("animated GIF") << "anim.gif" << QSize(40, 30);
        QTest::newRow("16-bit PNG with alpha") << "deep.png" << QSize(30, 20);
        for (const QString &name :
             {QStringLiteral("new\nline.png"), QStringLiteral("quote'\"s.png"),
              QStringLiteral("semi;colon.png"), QStringLiteral("$(touch pwned).png"),
              QStringLiteral("`touch pwned`.png"), QStringLiteral("-leading-dash.png"),
              QString(251, u'n') + QStringLiteral(".png")})
            QTest::newRow(qPrintable(name.left(20))) << name << QSize(40, 30);
    }
    void oddPicturesWork()
    {
        QFETCH(QString, name);
        QFETCH(QSize, size);
        choose(name);
        awaitView();
        QCOMPARE(Probe::originPixmap(*m_editor).size(), size);
        Probe::toolIndex(*m_editor) = 3;
        StdoutCapture capture;
        m_editor->execCommand();
        const QString trace = capture.finish();
        awaitView();
        QVERIFY2(trace.contains("operation successiful!"), qPrintable(trace));
        QCOMPARE(Probe::originPixmap(*m_editor).size(), size.transposed());
        nothingRan();

        answerModal([](QWidget *dialog) {
            QTest::keyClicks(dialog->focusWidget(), QStringLiteral("turned"));
            QTest::keyClick(dialog, Qt::Key_F9);
        });
        browser().fileSaveAs();
        QCOMPARE(QImage(storage("turned.jpg")).size(), size.transposed());
        QVERIFY(QFile::remove(storage("turned.jpg")));
        nothingRan();
        browser().show();
    }

    void strangeFoldersEndInTheirListing()
    {
        choose("many");
        QCOMPARE(Probe::fileList(browser())->count(), 20001);
        browser().itemSelected(0);

        // A link to itself leads nowhere: it is neither a folder nor a file, and not listed.
        QVERIFY(!Probe::rows(Probe::fileList(browser())).contains("loop"));

        choose("around");
        QCOMPARE(Probe::curDir(browser()), storage("around"));
        QVERIFY(Probe::rows(Probe::fileList(browser())).contains("around"));
        browser().itemSelected(0);
        QCOMPARE(Probe::curDir(browser()), m_storage.path());

        choose("locked");
        if (geteuid() != 0)
            QCOMPARE(Probe::rows(Probe::fileList(browser())), QStringList({".."}));
        browser().itemSelected(0);
    }
};

PICTALUX_TEST_MAIN(HostileInputsTest)
#include "tst_hostileinputs.moc"
