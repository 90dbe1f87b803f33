#include "testprobe.h"
#include "testsupport.h"

#include <QBuffer>
#include <QProcess>

#include <unistd.h>

using Probe = TestProbe;

namespace {

QByteArray encoded(const QImage &image, const char *format = "PNG")
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format);
    return buffer.data();
}

// A small PNG whose header declares 50000 x 50000 pixels, with a valid checksum.
QByteArray hugeDeclaredPng()
{
    QByteArray bytes = encoded(QImage(1, 1, QImage::Format_RGB32));
    const auto putWord = [&bytes](int at, quint32 value) {
        for (int shift = 0; shift < 4; ++shift)
            bytes[at + shift] = char(value >> (24 - 8 * shift));
    };
    putWord(16, 50000);
    putWord(20, 50000);
    quint32 crc = 0xffffffff;
    for (const char byte : bytes.mid(12, 17)) {
        crc ^= quint8(byte);
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc >> 1) ^ (0xedb88320 & (0u - (crc & 1)));
    }
    putWord(29, ~crc);
    return bytes;
}

const QStringList HostileNames = {
        "new\nline.png",     "quote'\"s.png",     "semi;colon.png",           "$(touch pwned).png",
        "`touch pwned`.png", "-leading-dash.png", QString(251, u'n') + ".png"};

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
    QStringList rows() const { return Probe::rows(Probe::fileList(browser())); }

    void choose(const QString &name)
    {
        QVERIFY2(rows().indexOf(name) > 0, qPrintable(name));
        browser().itemSelected(rows().indexOf(name));
    }

    // Waits for the first frame of the picture just loaded.
    void awaitView() { QTRY_VERIFY(!Probe::viewTimer(*m_editor).isActive()); }

private slots:
    void initTestCase()
    {
        writeFile(storage("empty.jpg"));
        writeFile(storage("text.jpg"), "This is a letter, not a photo.\n");
        writeFile(storage("huge.png"), hugeDeclaredPng());
        const QByteArray jpeg = encoded(quarters(400, 300), "JPEG");
        writeFile(storage("truncated.jpg"), jpeg.left(jpeg.size() / 3));
        writeFile(storage("one.png"), encoded(QImage(1, 1, QImage::Format_RGB32)));
        writeFile(storage("strip.png"), encoded(quarters(1, 10000)));
        QImage deep(30, 20, QImage::Format_RGBA64);
        deep.fill(QColor(200, 40, 40, 128));
        writeFile(storage("deep.png"), encoded(deep));
        QProcess imageMagick;
        imageMagick.start(PICTALUX_IMAGEMAGICK, {"-delay", "10", "-size", "40x30", "xc:red",
                                                 "xc:blue", storage("anim.gif")});
        QVERIFY(imageMagick.waitForFinished());
        for (const QString &name : HostileNames)
            writeFile(storage(name), encoded(quarters(40, 30)));

        for (int index = 0; index < 20000; ++index)
            writeFile(storage(QStringLiteral("many/%1.jpg").arg(index)));
        QVERIFY(QDir(m_storage.path()).mkdir("locked"));
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

    // Each file is opened, turned right and, when that worked, saved under a plain name. What
    // Qt cannot decode shows as the 320 x 240 gray stand-in and the converter fails on it too;
    // Qt shows what a truncated JPEG holds.
    void files_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QSize>("shown");
        QTest::addColumn<bool>("turns");
        for (const char *broken : {"empty.jpg", "text.jpg", "huge.png"})
            QTest::newRow(broken) << broken << QSize(320, 240) << false;
        QTest::newRow("truncated") << "truncated.jpg" << QSize(400, 300) << false;
        QTest::newRow("1 x 1") << "one.png" << QSize(1, 1) << true;
        QTest::newRow("1 x 10000 strip") << "strip.png" << QSize(1, 10000) << true;
        QTest::newRow("animated GIF") << "anim.gif" << QSize(40, 30) << true;
        QTest::newRow("16-bit PNG with alpha") << "deep.png" << QSize(30, 20) << true;
        for (const QString &name : HostileNames)
            QTest::newRow(qPrintable(name.left(20))) << name << QSize(40, 30) << true;
    }
    void files()
    {
        QFETCH(QString, name);
        QFETCH(QSize, shown);
        QFETCH(bool, turns);
        // Each row opens a picture of its own; the previous row's edits are not to be kept.
        browser().setUnsavedEdits(false);
        browser().show();
        choose(name);
        awaitView();
        QCOMPARE(Probe::originPixmap(*m_editor).size(), shown);
        Probe::toolIndex(*m_editor) = 3;
        StdoutCapture capture;
        m_editor->execCommand();
        const QString trace = capture.finish();
        awaitView();
        if (name == "truncated.jpg") // ImageMagick may read the part that is there
            return;
        QCOMPARE(trace.contains("operation successiful!"), turns);
        QCOMPARE(Probe::originPixmap(*m_editor).size(), turns ? shown.transposed() : shown);
        if (turns) {
            answerModal([](QWidget *dialog) {
                QTest::keyClicks(dialog->focusWidget(), "turned");
                QTest::keyClick(dialog, Qt::Key_F9);
            });
            browser().fileSaveAs();
            QCOMPARE(QImage(storage("turned.jpg")).size(), shown.transposed());
            QVERIFY(QFile::remove(storage("turned.jpg")));
        }
        for (const QString &folder : {m_storage.path(), m_programDir.path(), QDir::currentPath()})
            QVERIFY2(!QFile::exists(folder + "/pwned"), qPrintable(folder));
    }

    void folders()
    {
        browser().show();
        choose("many");
        QCOMPARE(rows().size(), 20001);
        browser().itemSelected(0);
        // A link to itself is neither folder nor file, and not listed; a link to its own
        // folder lists that folder again, and the back row leads out of it.
        QVERIFY(!rows().contains("loop"));
        choose("around");
        QVERIFY(rows().contains("around"));
        browser().itemSelected(0);
        QCOMPARE(Probe::curDir(browser()), m_storage.path());
        choose("locked");
        if (geteuid() != 0)
            QCOMPARE(rows(), QStringList({".."}));
    }
};

PICTALUX_TEST_MAIN(HostileInputsTest)
#include "tst_hostileinputs.moc"
