#include "platform/version.h"
#include "testprobe.h"
#include "testsupport.h"

#include <QImageReader>
#include <QProcess>

using Probe = TestProbe;

// The program as a desktop starts it: its command line, the folder it starts in, the picture or
// folder it is given, and the menu entry that offers it for pictures.
class StartupTest : public QObject
{
    Q_OBJECT

private:
    ProgramDir m_programDir;
    QTemporaryDir m_storage;

private slots:
    void commandLine_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("printed"); // on stdout, or on stderr for a mistake
        const auto row = [](const char *tag, QStringList arguments, int status, QString printed) {
            QTest::newRow(tag) << arguments << status << printed;
        };
        row("version", {"--version"}, 0, "Pictalux " PICTALUX_VERSION "\n");
        row("help", {"-h"}, 0, "[options] [picture|folder]\n");
        row("unknown option", {"--frobnicate"}, 1, "Unknown option 'frobnicate'.");
        row("two paths", {"/", "/tmp"}, 1, "pictalux: one picture or folder at most, not 2\n");
        row("missing", {"no/such.jpg"}, 1, "pictalux: no such picture or folder: no/such.jpg\n");
    }
    void commandLine()
    {
        QFETCH(QStringList, arguments);
        QFETCH(int, status);
        QFETCH(QString, printed);
        // Help and the version need no display or runtime folder, and bring no window warnings.
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        for (const char *name :
             {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM", "XDG_RUNTIME_DIR"})
            environment.remove(name);
        if (status != 0)
            environment.insert("QT_QPA_PLATFORM", "offscreen");
        QProcess program;
        program.setProcessEnvironment(environment);
        program.start(PICTALUX_PROGRAM_DIR "/pictalux", arguments);
        QVERIFY(program.waitForFinished(30000));
        QCOMPARE(program.exitStatus(), QProcess::NormalExit);
        QCOMPARE(program.exitCode(), status);
        const QString output = QString::fromUtf8(status == 0 ? program.readAllStandardOutput()
                                                             : program.readAllStandardError());
        QVERIFY2(output.contains(printed), qPrintable(output));
        if (status == 0)
            QCOMPARE(program.readAllStandardError(), QByteArray());
    }

    // The start folder where it exists, else Pictures, else home, with a line that says so.
    void startFolder_data()
    {
        columns({"folders", "expected"}); // folders made in a home folder of the test's own
        row("start folder", {"storage Pictures", "storage"});
        row("Pictures", {"Pictures", "Pictures"});
        row("home", {"", ""});
    }
    void startFolder()
    {
        QFETCH(QString, folders);
        QFETCH(QString, expected);
        QTemporaryDir home;
        for (const QString &folder : folders.split(u' ', Qt::SkipEmptyParts))
            QVERIFY(QDir(home.path()).mkpath(folder));
        const auto homeVariable = setVariable("HOME", home.path().toUtf8());
        const auto configVariable =
                setVariable("XDG_CONFIG_HOME", home.filePath("config").toUtf8());
        qputenv("PICTALUX_START_DIR", home.filePath("storage").toUtf8());
        StdoutCapture capture;
        const QString folder = PxGui::startFolder();
        const QString trace = capture.finish();

        QCOMPARE(folder, expected.isEmpty() ? home.path() : home.filePath(expected));
        QCOMPARE(trace, expected == "storage"
                                ? QString()
                                : QStringLiteral("no start folder %1, starting in %2\n")
                                          .arg(home.filePath("storage"), folder));
    }

    // A folder starts the browser there, a picture opens as if chosen in it; no start folder used.
    void openPath_data()
    {
        QTest::addColumn<QString>("name");
        QTest::newRow("folder") << "pictures";
        for (const char *format : {"png", "tiff", "webp"})
            QTest::newRow(format) << QStringLiteral("pictures/a.") + QLatin1String(format);
    }
    void openPath()
    {
        QFETCH(QString, name);
        const QFileInfo path(m_storage.filePath(name));
        QDir(m_storage.path()).mkpath("pictures");
        if (!path.isDir())
            QVERIFY2(quarters(64, 48).save(path.filePath()), "no Qt plugin writes this format");
        qputenv("PICTALUX_START_DIR", m_storage.filePath("missing").toUtf8());
        StdoutCapture capture;
        EditInterface editor(path.filePath());
        PxGui *browser = Probe::browser(editor);
        editor.openPath(path.filePath());
        QVERIFY(!capture.finish().contains("no start folder"));
        const ZListBox *list = Probe::fileList(*browser);
        QCOMPARE(Probe::curDir(*browser), path.isDir() ? path.filePath() : path.path());
        QCOMPARE(browser->isVisible(), path.isDir());
        QCOMPARE(editor.isVisible(), !path.isDir());
        if (!path.isDir()) {
            QCOMPARE(Probe::rows(list).value(list->currentItem()), path.fileName());
            QCOMPARE(describePicture(Probe::originPixmap(editor)), "64x48 red/white");
        }
    }

    // The desktop offers the program only for the picture types it reads.
    void desktopEntryOffersWhatTheEditorReads()
    {
        const QString entry = readFile(PICTALUX_SOURCE_DIR "/data/pictalux.desktop");
        const QString types = QRegularExpression("\nMimeType=(.+);\n").match(entry).captured(1);
        for (const QString &type : types.split(u';'))
            QVERIFY2(QImageReader::supportedMimeTypes().contains(type.toLatin1()),
                     qPrintable(type));
    }
};

PICTALUX_TEST_MAIN(StartupTest)
#include "tst_startup.moc"
