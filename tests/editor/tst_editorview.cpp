#include "testprobe.h"
#include "testsupport.h"

#include <QPainter>

using Probe = TestProbe;

// The editor's frames: loading and fitting, zoom and pan, the text overlay, the tool menu panel,
// the cursor and the crop rectangle.
class EditorViewTest : public QObject
{
    Q_OBJECT

private:
    ProgramDir m_programDir;
    QTemporaryDir m_pictures;
    std::unique_ptr<EditInterface> m_editor;

    static constexpr QRgb Gray = 0xffa0a0a4;
    static constexpr QRgb Picture = 0xff203060;

    // A picture of one dark colour, saved as PNG under a name that tells its size.
    QString picture(QSize size, QImage::Format format = QImage::Format_RGB32)
    {
        const QString path = m_pictures.filePath(
                QStringLiteral("%1x%2-%3.png").arg(size.width()).arg(size.height()).arg(format));
        if (!QFile::exists(path)) {
            QImage image(size, format);
            image.fill(Picture);
            image.save(path);
        }
        return path;
    }

    // Loads a picture as the browser's choice does and waits for its first frame.
    EditInterface &open(const QString &path)
    {
        Probe::picPath(*m_editor) = path;
        m_editor->loadPicture();
        [&] { QTRY_COMPARE(Probe::editMode(*m_editor), int(EditInterface::ViewMode)); }();
        return *m_editor;
    }

    static int count(const QImage &frame, const QRect &area, QRgb colour)
    {
        int found = 0;
        for (int y = area.top(); y <= area.bottom(); ++y) {
            for (int x = area.left(); x <= area.right(); ++x)
                found += frame.pixel(x, y) == colour;
        }
        return found;
    }

private slots:
    void init()
    {
        qputenv("PICTALUX_START_DIR", m_pictures.path().toLocal8Bit());
        m_editor = std::make_unique<EditInterface>();
        m_editor->show();
    }
    void cleanup() { m_editor.reset(); }

    void pictureIsFittedAndCentred_data()
    {
        QTest::addColumn<QSize>("size");
        QTest::addColumn<QString>("trace");
        QTest::addColumn<QRect>("shown");
        QTest::newRow("frame size") << QSize(320, 240) << "tempScale is 1.000000"
                                    << QRect(0, 0, 320, 240);
        QTest::newRow("wide") << QSize(1000, 200) << "tempScale is 0.320000"
                              << QRect(0, 88, 320, 64);
        QTest::newRow("tall") << QSize(480, 640) << "tempScale is 0.375000"
                              << QRect(70, 0, 180, 240);
        QTest::newRow("small") << QSize(100, 50) << "tempScale is 1.000000"
                               << QRect(110, 95, 100, 50);
    }
    void pictureIsFittedAndCentred()
    {
        QFETCH(QSize, size);
        QFETCH(QString, trace);
        QFETCH(QRect, shown);
        StdoutCapture capture;
        EditInterface &editor = open(picture(size));
        QVERIFY(capture.finish().split('\n').contains(trace));
        QCOMPARE(QPoint(Probe::blitX(editor), Probe::blitY(editor)), shown.topLeft());
        QCOMPARE(Probe::viewPixmap(editor).size(), shown.size());

        const QImage frame = Probe::shownFrame(editor);
        const QRect picturePart = shown.adjusted(0, 30, 0, -30) & frame.rect().adjusted(0, 30, 0, -30);
        QCOMPARE(count(frame, picturePart.intersected(shown), Picture),
                 picturePart.intersected(shown).width() * picturePart.intersected(shown).height());
        const int outside = 320 * 120 - count(frame, QRect(0, 60, 320, 120), Picture);
        QCOMPARE(count(frame, QRect(0, 60, 320, 120), Gray), outside);
        // The size line at the top, the two soft-key captions at the bottom.
        QVERIFY(count(frame, QRect(0, 0, 320, 30), 0xffffffff) > 20);
        QVERIFY(count(frame, QRect(0, 210, 100, 30), 0xffffffff) > 20);
        QVERIFY(count(frame, QRect(220, 210, 100, 30), 0xffffffff) > 20);
    }

    void firstFrameWaitsForTheViewTimer()
    {
        const int framesBefore = Probe::framesShown(*m_editor);
        Probe::picPath(*m_editor) = picture(QSize(640, 480));
        m_editor->loadPicture();
        QCOMPARE(Probe::framesShown(*m_editor), framesBefore);
        QCOMPARE(Probe::editMode(*m_editor), int(EditInterface::NoMode));
        QVERIFY(Probe::viewTimer(*m_editor).isActive());
        QCOMPARE(Probe::viewTimer(*m_editor).interval(), 20);
        QCOMPARE(Probe::browser(*m_editor)->getPicPath(), picture(QSize(640, 480)));
        QTRY_COMPARE(Probe::editMode(*m_editor), int(EditInterface::ViewMode));
        QCOMPARE(Probe::framesShown(*m_editor), framesBefore + 1);
        QVERIFY(!Probe::viewTimer(*m_editor).isActive());
        QCOMPARE(Probe::scale(*m_editor), 0.5f);
    }

    void unreadablePictureShowsGray()
    {
        const QString path = m_pictures.filePath("text.jpg");
        writeFile(path, "this is text");
        EditInterface &editor = open(path);
        QCOMPARE(Probe::originPixmap(editor).size(), QSize(320, 240));
        QCOMPARE(Probe::scale(editor), 1.0f);
        QCOMPARE(Probe::picPath(editor), path);
        QCOMPARE(count(Probe::shownFrame(editor), QRect(0, 30, 320, 180), Gray), 320 * 180);
    }

    void zoomKeepsTheCentreAndPanStopsAtTheEdges()
    {
        EditInterface &editor = open(picture(QSize(640, 480)));
        editor.zoomIn();
        QCOMPARE(Probe::viewPixmap(editor).size(), QSize(352, 264));
        QCOMPARE(QPoint(Probe::topLeftX(editor), Probe::topLeftY(editor)), QPoint(16, 12));
        while (Probe::scale(editor) < 1.0f)
            editor.zoomIn();
        QCOMPARE(Probe::viewPixmap(editor).size(), QSize(640, 480));

        Probe::topLeftX(editor) = 315;
        editor.viewMoveRight();
        QCOMPARE(Probe::topLeftX(editor), 320);
        editor.viewMoveRight();
        QCOMPARE(Probe::topLeftX(editor), 320);
        Probe::topLeftX(editor) = 5;
        editor.viewMoveLeft();
        QCOMPARE(Probe::topLeftX(editor), 0);
        Probe::topLeftY(editor) = 235;
        editor.viewMoveDown();
        QCOMPARE(Probe::topLeftY(editor), 240);
        editor.viewMoveUp();
        QCOMPARE(Probe::topLeftY(editor), 230);

        for (int step = 0; step < 40; ++step)
            editor.zoomIn();
        QCOMPARE(Probe::scale(editor), 2.0f);
        QCOMPARE(Probe::viewPixmap(editor).size(), QSize(1280, 960));
        QVERIFY(Probe::topLeftX(editor) <= 1280 - 320);
    }

    void panningASmallViewChangesNothing()
    {
        EditInterface &editor = open(picture(QSize(480, 640)));
        const QImage before = Probe::screenBuffer(editor);
        editor.viewMoveRight();
        editor.viewMoveDown();
        QCOMPARE(QPoint(Probe::topLeftX(editor), Probe::topLeftY(editor)), QPoint(0, 0));
        QCOMPARE(Probe::screenBuffer(editor).copy(0, 30, 320, 180), before.copy(0, 30, 320, 180));
    }

    void zoomingOutEndsInAnEmptyGrayView()
    {
        EditInterface &editor = open(picture(QSize(1600, 1200)));
        for (int step = 0; step < 4; ++step)
            editor.zoomOut();
        QVERIFY(Probe::scale(editor) > 0.0f && Probe::scale(editor) < 1e-8f);
        QCOMPARE(Probe::viewPixmap(editor).size(), QSize(0, 0));
        QCOMPARE(count(Probe::screenBuffer(editor), QRect(0, 0, 320, 240), Gray), 320 * 240);
        const float smallest = Probe::scale(editor);
        editor.zoomOut();
        QCOMPARE(Probe::scale(editor), smallest);
        editor.zoomIn();
        QVERIFY(qAbs(Probe::scale(editor) - 0.05f) < 1e-6f);
    }

    void transparentPartsShowGrayNotEarlierFrames()
    {
        QImage half(640, 480, QImage::Format_ARGB32);
        half.fill(Qt::transparent);
        QPainter(&half).fillRect(0, 0, 320, 480, QColor(Picture));
        const QString path = m_pictures.filePath("half.png");
        half.save(path);
        EditInterface &editor = open(path);
        editor.setMenuPanel();
        Probe::showPicture(editor);
        const QImage frame = Probe::shownFrame(editor);
        QCOMPARE(count(frame, QRect(180, 40, 100, 160), Gray), 100 * 160);
        QCOMPARE(count(frame, QRect(20, 40, 100, 160), Picture), 100 * 160);
    }

    void overlayDrawsOnlyTheTextsGiven()
    {
        EditInterface &editor = open(picture(QSize(320, 240)));
        const QImage before = Probe::screenBuffer(editor);
        editor.drawTextInfo(QString(), QString(), QString(), QString());
        editor.drawTextInfo("", "", "", "");
        QCOMPARE(Probe::screenBuffer(editor), before);
        editor.drawTextInfo(QString(), "Processing...", "Left", QString());
        const QImage after = Probe::screenBuffer(editor);
        QVERIFY(count(after, QRect(0, 60, 320, 120), 0xffffffff) > 50);
        QVERIFY(count(after, QRect(0, 210, 100, 30), 0xffffffff) > 20);
        QCOMPARE(after.copy(200, 210, 120, 30), before.copy(200, 210, 120, 30));
        QCOMPARE(after.copy(0, 0, 320, 60), before.copy(0, 0, 320, 60));
    }

    void menuPanelIsLayeredAndRepaintedFourTimes()
    {
        EditInterface &editor = open(picture(QSize(320, 240)));
        Probe::toolIndex(editor) = 2;
        const int framesBefore = Probe::framesShown(editor);
        editor.setMenuPanel();
        QCOMPARE(Probe::toolIndex(editor), 7);
        QCOMPARE(Probe::editMode(editor), int(EditInterface::MenuMode));
        QCOMPARE(Probe::framesShown(editor), framesBefore + 1);
        const QImage frame = Probe::shownFrame(editor);
        QCOMPARE(frame.pixel(277, 32), QColor(Qt::lightGray).rgb());
        // The centre cell is lit; the icons leave its corners to the highlight.
        QCOMPARE(frame.pixel(137, 109), 0xffffffffu);
        QCOMPARE(frame.pixel(182, 154), 0xffffffffu);
        QVERIFY(frame.pixel(41, 61) != 0xffffffffu);
        QCOMPARE(frame.pixel(20, 100), Picture);
        QCOMPARE(frame.pixel(300, 100), Picture);

        QTRY_COMPARE(Probe::popupTicks(editor), 4);
        QCOMPARE(Probe::framesShown(editor), framesBefore + 5);
        QVERIFY(!Probe::popupTimer(editor).isActive());
        QTest::qWait(60);
        QCOMPARE(Probe::framesShown(editor), framesBefore + 5);

        Probe::toolIndex(editor) = 2;
        editor.navigateMenu();
        const QImage moved = Probe::shownFrame(editor);
        QCOMPARE(moved.pixel(137, 61), 0xffffffffu);
        QVERIFY(moved.pixel(137, 109) != 0xffffffffu);
    }

    void processingPanelShowsTheOptionWord()
    {
        EditInterface &editor = open(picture(QSize(320, 240)));
        Probe::toolIndex(editor) = 2;
        editor.processingPanel();
        const QImage frame = Probe::shownFrame(editor);
        QCOMPARE(frame.pixel(5, 65), Gray);
        QCOMPARE(frame.pixel(5, 175), Gray);
        QCOMPARE(frame.pixel(5, 185), Picture);
        QVERIFY(count(frame, QRect(0, 0, 320, 30), 0xffffffff) > 20);
        QVERIFY(count(frame, QRect(0, 60, 320, 120), 0xffffffff) > 50);
    }

    void cursorStartsAtTheCentreAndStaysOnThePicture()
    {
        EditInterface &editor = open(picture(QSize(480, 640)));
        Probe::editMode(editor) = EditInterface::CursorMode;
        editor.prepareMouse();
        QVERIFY(Probe::mouseTimer(editor).isActive());
        Probe::tick(editor);
        QCOMPARE(Probe::mousePicPos(editor), QPoint(90, 120));
        QCOMPARE(Probe::shownFrame(editor).pixel(160, 120), 0xff000000u);

        Probe::mouseTimer(editor).stop();
        Probe::rightPressed(editor) = true;
        for (int tick = 0; tick < 200; ++tick)
            Probe::tick(editor);
        QCOMPARE(Probe::mousePos(editor).x(), 250);
        QCOMPARE(Probe::mousePicPos(editor).x(), 180);
        Probe::rightPressed(editor) = false;
        Probe::leftPressed(editor) = true;
        for (int tick = 0; tick < 200; ++tick)
            Probe::tick(editor);
        QCOMPARE(Probe::mousePos(editor).x(), 70);

        Probe::leftPressed(editor) = false;
        Probe::upPressed(editor) = Probe::downPressed(editor) = true;
        const QPoint before = Probe::mousePos(editor);
        Probe::tick(editor);
        QCOMPARE(Probe::mousePos(editor), before);
    }

    void cursorScrollsTheViewAtTheFrameEdge()
    {
        EditInterface &editor = open(picture(QSize(1600, 1200)));
        editor.zoomIn();
        editor.zoomIn();
        QCOMPARE(Probe::viewPixmap(editor).size(), QSize(480, 360));
        Probe::editMode(editor) = EditInterface::CursorMode;
        Probe::topLeftX(editor) = 0;
        Probe::mousePos(editor) = QPoint(319, 120);
        Probe::rightPressed(editor) = true;
        for (int tick = 0; tick < 161; ++tick) {
            Probe::tick(editor);
            QCOMPARE(Probe::topLeftX(editor), qMin(tick + 1, 160));
        }
        Probe::tick(editor);
        QCOMPARE(Probe::topLeftX(editor), 160);
        QCOMPARE(Probe::mousePicPos(editor).x(), 479);
    }

    void rectangleIsDrawnBetweenTheCorners()
    {
        EditInterface &editor = open(picture(QSize(640, 480)));
        Probe::editMode(editor) = EditInterface::CursorMode;
        Probe::rectStart(editor) = QPoint(100, 100);
        Probe::rectStarted(editor) = true;
        Probe::mousePos(editor) = QPoint(200, 150);
        Probe::tick(editor);
        const QImage frame = Probe::shownFrame(editor);
        const QRgb green = QColor(Qt::green).rgb();
        for (const QPoint at : {QPoint(100, 100), QPoint(200, 150), QPoint(150, 100),
                                QPoint(100, 125), QPoint(200, 125), QPoint(150, 150)})
            QCOMPARE(frame.pixel(at), green);
        QCOMPARE(frame.pixel(150, 125), Picture);
        QCOMPARE(editor.mapRectToOrigin(), QRect(QPoint(200, 200), QPoint(399, 299)));
    }
};

PICTALUX_TEST_MAIN(EditorViewTest)
#include "tst_editorview.moc"
