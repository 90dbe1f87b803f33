#include "testsupport.h"

#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>

// A whole session with the real program under an X server, driven by key presses only, as a
// user meets it: browse, open, zoom and pan, a tool, a crop drawn with the cursor, a save in
// another folder, back to the browser and quit. The screenshots are kept in the build tree.
class UserSessionTest : public QObject
{
    Q_OBJECT

private:
    static constexpr QRgb Gray = 0xffa0a0a4;

    QTemporaryDir m_work;
    QProcess m_server;
    QString m_display;
    QProcess m_program;
    QString m_output;
    int m_shot = 0;

    QString storage(const QString &name = QString()) const
    {
        return m_work.filePath(QStringLiteral("storage/") + name);
    }

    static QString shotsFolder() { return QStringLiteral(PICTALUX_PROGRAM_DIR "/e2e-screenshots"); }

    // Starts an X server on the first free display, as big as the handset screen.
    bool startServer()
    {
        for (int number = 70; number < 100; ++number) {
            if (QFile::exists(QStringLiteral("/tmp/.X%1-lock").arg(number)))
                continue;
            m_display = QStringLiteral(":%1").arg(number);
            m_server.start(QStringLiteral("Xvfb"),
                           {m_display, "-screen", "0", "320x240x24", "-nolisten", "tcp"});
            const QString socket = QStringLiteral("/tmp/.X11-unix/X%1").arg(number);
            for (int wait = 0; wait < 100 && !QFile::exists(socket); ++wait)
                QTest::qWait(50);
            if (QFile::exists(socket) && m_server.state() == QProcess::Running)
                return true;
            m_server.kill();
            m_server.waitForFinished();
        }
        return false;
    }

    bool run(const QString &program, const QStringList &arguments)
    {
        QProcess process;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("DISPLAY", m_display);
        process.setProcessEnvironment(environment);
        process.start(program, arguments);
        return process.waitForFinished(30000) && process.exitCode() == 0;
    }

    void keys(const QString &sequence)
    {
        QVERIFY(run("xdotool", QStringList{"key", "--delay", "80"} + sequence.split(' ')));
        QTest::qWait(150);
    }

    // Holds keys down for a while: the cursor moves while a key is held.
    void hold(const QString &held, int milliseconds)
    {
        QVERIFY(run("xdotool", QStringList{"keydown"} + held.split(' ')));
        QTest::qWait(milliseconds);
        QVERIFY(run("xdotool", QStringList{"keyup"} + held.split(' ')));
        QTest::qWait(150);
    }

    // Waits until the program writes a line that matches, after those already awaited.
    bool awaitLine(const QString &pattern)
    {
        const QRegularExpression line(QStringLiteral("^(") + pattern + QStringLiteral(")$"),
                                      QRegularExpression::MultilineOption);
        for (int wait = 0; wait < 400; ++wait) {
            m_output += QString::fromUtf8(m_program.readAllStandardOutput());
            const QRegularExpressionMatch match = line.match(m_output);
            if (match.hasMatch()) {
                m_output.remove(0, match.capturedEnd());
                return true;
            }
            m_program.waitForReadyRead(50);
        }
        return false;
    }

    QImage screenshot(const QString &name)
    {
        QTest::qWait(200);
        const QString path = shotsFolder() + QStringLiteral("/%1-%2.png").arg(++m_shot).arg(name);
        if (!run("import", {"-display", m_display, "-window", "root", path}))
            return QImage();
        return QImage(path).convertToFormat(QImage::Format_RGB32);
    }

    // The bounding box of the pure green pixels of a frame: the crop rectangle's outline.
    static QRect greenBox(const QImage &frame)
    {
        QRect box;
        for (int y = 0; y < frame.height(); ++y) {
            for (int x = 0; x < frame.width(); ++x) {
                if (frame.pixel(x, y) == 0xff00ff00)
                    box |= QRect(x, y, 1, 1);
            }
        }
        return box;
    }

private slots:
    void initTestCase()
    {
        for (const char *tool : {"Xvfb", "xdotool", "import"}) {
            if (QStandardPaths::findExecutable(QLatin1String(tool)).isEmpty())
                QSKIP(qPrintable(QStringLiteral("%1 is not installed (scripts/setup installs it)")
                                         .arg(QLatin1String(tool))));
        }
        QVERIFY(startServer());
        QDir().mkpath(shotsFolder());
        for (const QFileInfo &old : QDir(shotsFolder()).entryInfoList(QDir::Files))
            QFile::remove(old.filePath());

        // The program directory: a copy of the build's.
        const QDir build(QStringLiteral(PICTALUX_PROGRAM_DIR));
        const QDir program(m_work.filePath("program"));
        QVERIFY(program.mkpath("lng"));
        for (const char *name : {"pictalux", "convert", "lng/English.lng", "lng/Chinese.lng",
                                 "mouse.png", "menuBackground.png", "menuPic.png"})
            QVERIFY(QFile::copy(build.filePath(QLatin1String(name)),
                                program.filePath(QLatin1String(name))));

        // The storage: a picture of four coloured quarters, 800 x 400, an empty folder and two
        // pictures beside them.
        QVERIFY(QDir().mkpath(storage("Photos")));
        QVERIFY(QDir().mkpath(storage("Saved")));
        QVERIFY(run(QStringLiteral(PICTALUX_IMAGEMAGICK),
                    {"(", "-size", "400x200", "xc:red", "xc:lime", "+append", ")", "(", "-size",
                     "400x200", "xc:blue", "xc:yellow", "+append", ")", "-append",
                     storage("Photos/quarters.png")}));
        for (const char *name : {"beach.jpg", "sunset.png"})
            QVERIFY(run(QStringLiteral(PICTALUX_IMAGEMAGICK),
                        {"-size", "64x48", "gradient:orange-navy", storage(QLatin1String(name))}));
    }

    void session()
    {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("DISPLAY", m_display);
        environment.insert("QT_QPA_PLATFORM", "xcb");
        environment.insert("PICTALUX_START_DIR", storage().chopped(1));
        environment.insert("PICTALUX_SYSTEM_CFG", m_work.filePath("no-setting"));
        m_program.setProcessEnvironment(environment);
        m_program.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        m_program.start(m_work.filePath("program/pictalux"));
        QVERIFY(awaitLine("DIR    Saved"));

        // The browser: title bar, the back row lit, then Photos and Saved.
        QImage frame = screenshot("browser");
        QCOMPARE(frame.size(), QSize(320, 240));
        QCOMPARE(frame.pixel(300, 10), 0xff1d3c6eu);
        QCOMPARE(frame.pixel(300, 80), 0xffffffffu);
        keys("Down Return");
        QVERIFY(awaitLine(QRegularExpression::escape(storage("Photos"))));
        keys("Down Return");
        QVERIFY(awaitLine("yes,I received the picture path signal"));
        QVERIFY(awaitLine("tempScale is 0.400000"));

        // The fitted picture: 320 x 160 at blitY 40 on gray.
        frame = screenshot("fitted");
        QCOMPARE(frame.pixel(5, 35), Gray);
        QCOMPARE(frame.pixel(5, 205), Gray);
        QCOMPARE(frame.pixel(80, 80), 0xffff0000u);
        QCOMPARE(frame.pixel(240, 80), 0xff00ff00u);
        QCOMPARE(frame.pixel(80, 160), 0xff0000ffu);

        // Zoom in twice and pan.
        keys("plus plus");
        QVERIFY(awaitLine("picX=\\d+, picY=\\d+ 360 180"));
        QVERIFY(awaitLine("picX=\\d+, picY=\\d+ 400 200"));
        keys("Right Right Down");
        screenshot("zoomed");

        // The tool menu on the centre cell; two steps left to "negate".
        keys("Return");
        frame = screenshot("menu");
        QCOMPARE(frame.pixel(137, 109), 0xffffffffu);
        QCOMPARE(frame.pixel(277, 32), QColor(Qt::lightGray).rgb());
        keys("Left Left Return");
        QVERIFY(awaitLine("index 5"));
        QVERIFY(awaitLine("operation successiful!"));
        QVERIFY(awaitLine("tempScale is 0.400000"));
        frame = screenshot("negated");
        QCOMPARE(frame.pixel(80, 80), 0xff00ffffu);

        // The crop: the cursor from the centre up and left, the corner, then down and right.
        keys("Return Return");
        QVERIFY(awaitLine("menu navigation"));
        hold("Up Left", 600);
        keys("Return");
        hold("Down Right", 1400);
        frame = screenshot("cursor");
        const QRect outline = greenBox(frame);
        QVERIFY2(outline.width() > 20 && outline.height() > 20,
                 qPrintable(QStringLiteral("green outline %1x%2")
                                    .arg(outline.width())
                                    .arg(outline.height())));
        keys("Return");
        QVERIFY(awaitLine("index 7"));
        QTest::qWait(500);

        // Save as .png in the other folder under a new name.
        keys("F11");
        QVERIFY(run("xdotool", {"type", "--delay", "50", "crop of quarters"}));
        keys("Down Right Right Down Return Down Down Return");
        frame = screenshot("save-dialog");
        QCOMPARE(frame.pixel(300, 10), 0xff1d3c6eu);
        keys("F9");
        QVERIFY(awaitLine("file save command:.*"));
        QVERIFY(awaitLine("key code is 4154"));
        frame = screenshot("browser-again");
        QCOMPARE(frame.pixel(300, 10), 0xff1d3c6eu);

        // The saved picture is a PNG of the rectangle drawn, in the negated colours. The
        // outline's corners are view pixels at scale 0.40 over a view drawn at blitY 40; the
        // far corner's own column and row are outside the cut.
        const QString saved = storage("Saved/crop of quarters.png");
        QFile file(saved);
        QVERIFY2(file.open(QIODevice::ReadOnly), qPrintable(saved));
        QVERIFY(file.read(8).startsWith("\x89PNG"));
        const QImage cut(saved);
        const QSize expected(int(float(outline.width() - 1) / 0.4f),
                             int(float(outline.height() - 1) / 0.4f));
        QCOMPARE(cut.size(), expected);
        const QPoint origin(int(float(outline.left()) / 0.4f),
                            int(float(outline.top() - 40) / 0.4f));
        const QImage negated =
                QImage(storage("Photos/quarters.png")).convertToFormat(QImage::Format_RGB32);
        for (const QPoint at : {QPoint(0, 0), QPoint(cut.width() - 1, cut.height() - 1)})
            QCOMPARE(cut.pixel(at) & 0xffffff, ~negated.pixel(origin + at) & 0xffffff);

        // Quit from the options menu.
        keys("F9");
        screenshot("options-menu");
        keys("Down Down Down Return");
        QTRY_COMPARE_WITH_TIMEOUT(m_program.state(), QProcess::NotRunning, 10000);
        QCOMPARE(m_program.exitStatus(), QProcess::NormalExit);
        QCOMPARE(m_program.exitCode(), 0);
    }

    void cleanupTestCase()
    {
        if (m_program.state() != QProcess::NotRunning) {
            m_program.kill();
            m_program.waitForFinished();
        }
        m_server.terminate();
        m_server.waitForFinished();
    }
};

PICTALUX_TEST_MAIN(UserSessionTest)
#include "tst_usersession.moc"
