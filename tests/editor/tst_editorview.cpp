#include "testprobe.h"
#include "testsupport.h"

#include <QPainter>
#include <QRandomGenerator>

using Probe = TestProbe;

// The editor's frames: fitting, zoom and pan, the overlay, the menu panel, cursor and rectangle.
class EditorViewTest : public QObject
{
    Q_OBJECT

private:
    static constexpr QRgb Gray = 0xffa0a0a4;
    static constexpr QRgb Dark = 0xff203060;
    ProgramDir m_programDir;
    QTemporaryDir m_pictures;
    std::unique_ptr<EditInterface> m_editor;

    // Opens a dark picture of the given size (or a file) and waits for its first frame.
    EditInterface &open(QSize size, QImage::Format format = QImage::Format_RGB32)
    {
        QImage image(size, format);
        image.fill(Dark);
        const QString path = m_pictures.filePath(
                QStringLiteral("%1x%2.png").arg(size.width()).arg(size.height()));
        image.save(path);
        return open(path);
    }
    EditInterface &open(const QString &path)
    {
        Probe::picPath(*m_editor) = path;
        m_editor->loadPicture();
        [&] {
            QTRY_VERIFY(!Probe::viewTimer(*m_editor).isActive());
            QCOMPARE(Probe::editMode(*m_editor), int(EditInterface::ViewMode));
        }();
        return *m_editor;
    }

    // Into the crop's cursor by the keys, with the cursor's timer held so the test ticks it.
    void enterCursor()
    {
        QTest::keyClick(m_editor.get(), Qt::Key_Return);
        QTest::keyClick(m_editor.get(), Qt::Key_Return);
        Probe::mouseTimer(*m_editor).stop();
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

    void picturesAreFittedAndCentredOnGray()
    {
        const QList<QPair<QSize, QRect>> pictures = {{{320, 240}, {0, 0, 320, 240}},
                                                     {{1000, 200}, {0, 88, 320, 64}},
                                                     {{480, 640}, {70, 0, 180, 240}},
                                                     {{100, 50}, {110, 95, 100, 50}}};
        for (const auto &[size, shown] : pictures) {
            const QImage frame = Probe::shownFrame(open(size));
            const QRect middle(0, 60, 320, 120);
            QCOMPARE(count(frame, middle, Dark),
                     (shown & middle).width() * (shown & middle).height());
            QCOMPARE(count(frame, middle, Dark) + count(frame, middle, Gray), 320 * 120);
            // The size line at the top, the soft-key captions at the bottom corners.
            for (const QRect &text :
                 {QRect(0, 0, 320, 30), QRect(0, 210, 90, 30), QRect(230, 210, 90, 30)})
                QVERIFY(count(frame, text, 0xffffffff) > 20);
        }
        // A file that is no picture shows why it is not there, and no size.
        writeFile(m_pictures.filePath("text.jpg"), "no picture");
        EditInterface &editor = open(m_pictures.filePath("text.jpg"));
        const QImage shown = Probe::shownFrame(editor);
        editor.blitPicToBuffer();
        editor.drawTextInfo(QString(), "Cannot open: not a picture", "Browser", "Save");
        QCOMPARE(Probe::screenBuffer(editor), shown);
    }

    void firstFrameWaitsForTheViewTimer()
    {
        Probe::picPath(*m_editor) = m_pictures.filePath("first.png");
        QImage(640, 480, QImage::Format_RGB32).save(Probe::picPath(*m_editor));
        const int framesBefore = Probe::framesShown(*m_editor);
        m_editor->loadPicture();
        QCOMPARE(Probe::framesShown(*m_editor), framesBefore);
        QCOMPARE(Probe::browser(*m_editor)->getPicPath(), Probe::picPath(*m_editor));
        QTRY_COMPARE(Probe::framesShown(*m_editor), framesBefore + 1);
        QVERIFY(!Probe::viewTimer(*m_editor).isActive());
        QCOMPARE(Probe::scale(*m_editor), 0.5f);
    }

    void zoomAndPanStayWithinTheView()
    {
        EditInterface &editor = open(QSize(640, 480));
        editor.zoomIn();
        QCOMPARE(Probe::viewPixmap(editor).size(), QSize(352, 264));
        QCOMPARE(QPoint(Probe::topLeftX(editor), Probe::topLeftY(editor)), QPoint(16, 12));
        while (Probe::scale(editor) < 1.0f)
            editor.zoomIn();
        Probe::topLeftX(editor) = 315;
        editor.viewMoveRight();
        QCOMPARE(Probe::topLeftX(editor), 320);
        Probe::topLeftY(editor) = 5;
        editor.viewMoveUp();
        QCOMPARE(Probe::topLeftY(editor), 0);
        open(QSize(1600, 1200));
        for (int step = 0; step < 5; ++step)
            editor.zoomOut();
        QCOMPARE(Probe::viewPixmap(editor).size(), QSize(0, 0));
        QCOMPARE(count(Probe::screenBuffer(editor), QRect(0, 0, 320, 240), Gray), 320 * 240);
    }

    void transparentPartsShowGrayNotEarlierFrames()
    {
        QImage half(640, 480, QImage::Format_ARGB32);
        half.fill(Qt::transparent);
        QPainter(&half).fillRect(0, 0, 320, 480, QColor(Dark));
        half.save(m_pictures.filePath("half.png"));
        EditInterface &editor = open(m_pictures.filePath("half.png"));
        editor.setMenuPanel();
        Probe::showPicture(editor);
        QCOMPARE(count(Probe::shownFrame(editor), QRect(180, 40, 100, 160), Gray), 100 * 160);
    }

    void overlayDrawsOnlyTheTextsGiven()
    {
        EditInterface &editor = open(QSize(320, 240));
        const QImage before = Probe::screenBuffer(editor);
        editor.drawTextInfo(QString(), QString(), QString(), QString());
        editor.drawTextInfo("", "", "", "");
        QCOMPARE(Probe::screenBuffer(editor), before);
        editor.drawTextInfo(QString(), QString(), "Left", QString());
        QCOMPARE(Probe::screenBuffer(editor).copy(0, 0, 200, 210), before.copy(0, 0, 200, 210));
        QVERIFY(Probe::screenBuffer(editor).copy(0, 210, 100, 30) != before.copy(0, 210, 100, 30));
    }

    void menuPanelAndProcessingBand()
    {
        EditInterface &editor = open(QSize(320, 240));
        const int framesBefore = Probe::framesShown(editor);
        editor.setMenuPanel();
        QCOMPARE(Probe::toolIndex(editor), 7);
        const QImage frame = Probe::shownFrame(editor);
        QCOMPARE(frame.pixel(277, 32), QColor(Qt::lightGray).rgb());
        QCOMPARE(frame.pixel(137, 109), 0xffffffffu); // the lit centre cell, around its icon
        QVERIFY(frame.pixel(41, 61) != 0xffffffffu);
        QCOMPARE(frame.pixel(20, 100), Dark);
        QTRY_COMPARE(Probe::framesShown(editor), framesBefore + 5);
        QVERIFY(!Probe::popupTimer(editor).isActive());

        Probe::toolIndex(editor) = 2;
        editor.navigateMenu();
        QCOMPARE(Probe::shownFrame(editor).pixel(137, 61), 0xffffffffu);
        editor.processingPanel();
        const QImage band = Probe::shownFrame(editor);
        QCOMPARE(band.pixel(5, 65), Gray);
        QVERIFY(count(band, QRect(0, 0, 320, 30), 0xffffffff) > 20);
    }

    void cursorStopsAtThePictureAndScrollsAtTheEdge()
    {
        EditInterface &editor = open(QSize(480, 640));
        enterCursor();
        Probe::tick(editor);
        QCOMPARE(Probe::shownFrame(editor).pixel(160, 120), 0xff000000u); // the cursor's tip
        Probe::rightPressed(editor) = true;
        for (int tick = 0; tick < 100; ++tick)
            Probe::tick(editor);
        QCOMPARE(Probe::mousePicPos(editor).x(), 180);

        open(QSize(1600, 1200));
        editor.zoomIn();
        editor.zoomIn();
        enterCursor();
        Probe::rightPressed(editor) = true;
        Probe::mousePos(editor) = QPoint(319, 120);
        for (int tick = 0; tick < 200; ++tick)
            Probe::tick(editor);
        QCOMPARE(Probe::topLeftX(editor), 160);
        QCOMPARE(Probe::mousePicPos(editor).x(), 479);
    }

    void rectangleIsDrawnBetweenTheCorners()
    {
        EditInterface &editor = open(QSize(640, 480));
        enterCursor();
        Probe::rectStart(editor) = QPoint(100, 100);
        Probe::rectStarted(editor) = true;
        Probe::mousePos(editor) = QPoint(200, 150);
        Probe::tick(editor);
        const QImage frame = Probe::shownFrame(editor);
        for (const QPoint at :
             {QPoint(100, 100), QPoint(200, 150), QPoint(150, 100), QPoint(100, 125)})
            QCOMPARE(frame.pixel(at), QColor(Qt::green).rgb());
        QCOMPARE(frame.pixel(150, 125), Dark);
        QCOMPARE(editor.mapRectToOrigin(), QRect(QPoint(200, 200), QPoint(399, 299)));
    }

    // The texts and the crop rectangle keep a dark edge, so they read on white, on green and on
    // a busy picture alike.
    void overlayReadsOnAnyPicture()
    {
        QImage noisy(640, 480, QImage::Format_RGB32);
        QRandomGenerator generator(3);
        for (int y = 0; y < noisy.height(); ++y) {
            for (int x = 0; x < noisy.width(); ++x)
                noisy.setPixel(x, y,
                               qRgb(40 + generator.bounded(176), 40 + generator.bounded(176),
                                    40 + generator.bounded(176)));
        }
        for (const QColor colour : {QColor(Qt::white), QColor(Qt::green), QColor()}) {
            QImage picture = noisy;
            if (colour.isValid())
                picture.fill(colour);
            const QString path = m_pictures.filePath(QStringLiteral("legible.png"));
            QVERIFY(picture.save(path));
            EditInterface &editor = open(path);
            QVERIFY(count(Probe::shownFrame(editor), QRect(0, 0, 320, 30), 0xff000000) > 100);
            enterCursor();
            Probe::rectStart(editor) = QPoint(100, 100);
            Probe::rectStarted(editor) = true;
            Probe::mousePos(editor) = QPoint(200, 150);
            Probe::tick(editor);
            const QImage frame = Probe::shownFrame(editor);
            for (const QPoint at :
                 {QPoint(99, 125), QPoint(201, 125), QPoint(150, 99), QPoint(150, 151)})
                QCOMPARE(frame.pixel(at), 0xff000000u);
            QVERIFY(count(frame, QRect(0, 0, 320, 30), 0xff000000) > 100);
        }
    }
};

PICTALUX_TEST_MAIN(EditorViewTest)
#include "tst_editorview.moc"
