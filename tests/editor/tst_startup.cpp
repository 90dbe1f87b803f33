#include "platform/zapplication.h"
#include "testprobe.h"
#include "testsupport.h"

#include <QPointer>

// The editor's construction, the hand-over of the screen between browser and editor, and the
// end of the run.
class StartupTest : public QObject
{
    Q_OBJECT

private:
    ProgramDir m_programDir;
    QTemporaryDir m_pictures;

private slots:
    void initTestCase()
    {
        writeFile(m_pictures.filePath("a.png"), "not really a picture");
        writeFile(m_pictures.filePath("b.png"), "nor this");
        qputenv("PICTALUX_START_DIR", m_pictures.path().toLocal8Bit());
    }

    void browserIsTheFirstScreen()
    {
        EditInterface editor;
        PxGui *browser = TestProbe::browser(editor);
        QVERIFY(browser->isVisible());
        QVERIFY(!editor.isVisible());
        QCOMPARE(editor.size(), QSize(320, 240));
        QCOMPARE(TestProbe::editMode(editor), int(EditInterface::NoMode));
        QCOMPARE(TestProbe::programmeDir(editor), m_programDir.path());
        QCOMPARE(browser->mainWidgetTitle(), QStringLiteral("E8 Pictalux"));
        QCOMPARE(TestProbe::rows(TestProbe::fileList(*browser)),
                 QStringList({"..", "a.png", "b.png"}));
    }

    void choosingPicturesHandsTheScreenToTheEditor()
    {
        EditInterface editor;
        PxGui *browser = TestProbe::browser(editor);
        for (const int row : {1, 2}) {
            browser->show();
            StdoutCapture capture;
            browser->itemSelected(row);
            const QStringList trace = capture.finish().split('\n');
            QCOMPARE(trace.count("yes,I received the picture path signal"), 1);
            QVERIFY(editor.isVisible());
            QVERIFY(!browser->isVisible());
            QCOMPARE(TestProbe::picPath(editor), browser->getPicPath());
            QCOMPARE(TestProbe::browser(editor), browser);
        }
        QCOMPARE(TestProbe::picPath(editor), m_pictures.filePath("b.png"));
    }

    void quitKeyEndsTheRunBeforeAnyPicture()
    {
        EditInterface editor;
        QTimer::singleShot(0, [&] { QTest::keyClick(&editor, Qt::Key_Return); });
        QTimer::singleShot(0, [&] { QTest::keyClick(&editor, Qt::Key_F11); });
        QTimer::singleShot(5000, [] { QCoreApplication::exit(1); });
        QCOMPARE(zApp->exec(), 0);
    }

    void editorTakesTheBrowserWithIt()
    {
        QPointer<PxGui> browser;
        {
            EditInterface editor;
            browser = TestProbe::browser(editor);
            QVERIFY(browser);
        }
        QVERIFY(!browser);
    }
};

PICTALUX_TEST_MAIN(StartupTest)
#include "tst_startup.moc"
