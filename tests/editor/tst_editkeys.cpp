#include "testprobe.h"
#include "testsupport.h"

using Probe = TestProbe;

// The editor's mode machine, driven by key events as the handset sends them.
class EditKeysTest : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<ProgramDir> m_programDir;
    QTemporaryDir m_pictures;
    std::unique_ptr<EditInterface> m_editor;

    QString picture(QSize size)
    {
        const QString path = m_pictures.filePath(
                QStringLiteral("%1x%2.png").arg(size.width()).arg(size.height()));
        if (!QFile::exists(path))
            quarters(size.width(), size.height()).save(path);
        return path;
    }

    EditInterface &open(QSize size = QSize(640, 480))
    {
        Probe::picPath(*m_editor) = picture(size);
        m_editor->loadPicture();
        [&] { QTRY_COMPARE(Probe::editMode(*m_editor), int(EditInterface::ViewMode)); }();
        return *m_editor;
    }

    void press(const QList<Qt::Key> &keys)
    {
        for (const Qt::Key key : keys)
            QTest::keyClick(m_editor.get(), key);
    }

    // The top-left corner of a tool's cell in the menu grid.
    static QPoint cell(int tool) { return QPoint(40 + 48 * (tool % 5), 60 + 48 * (tool / 5)); }

private slots:
    void init()
    {
        m_programDir = std::make_unique<ProgramDir>();
        m_programDir->useFakeConverter();
        qputenv("PICTALUX_START_DIR", m_pictures.path().toLocal8Bit());
        m_editor = std::make_unique<EditInterface>();
        m_editor->show();
    }
    void cleanup()
    {
        m_editor.reset();
        m_programDir.reset();
    }

    void menuSelectionMoves_data()
    {
        QTest::addColumn<int>("from");
        QTest::addColumn<Qt::Key>("key");
        QTest::addColumn<int>("to");
        QTest::newRow("up from the top row") << 2 << Qt::Key_Up << 12;
        QTest::newRow("down from the bottom row") << 12 << Qt::Key_Down << 2;
        QTest::newRow("up") << 7 << Qt::Key_Up << 2;
        QTest::newRow("down") << 7 << Qt::Key_Down << 12;
        QTest::newRow("up to the first") << 5 << Qt::Key_Up << 0;
        QTest::newRow("down to the last") << 9 << Qt::Key_Down << 14;
        QTest::newRow("left from the first") << 0 << Qt::Key_Left << 14;
        QTest::newRow("right from the last") << 14 << Qt::Key_Right << 0;
        QTest::newRow("left across a row") << 5 << Qt::Key_Left << 4;
        QTest::newRow("right across a row") << 4 << Qt::Key_Right << 5;
    }
    void menuSelectionMoves()
    {
        QFETCH(int, from);
        QFETCH(Qt::Key, key);
        QFETCH(int, to);
        EditInterface &editor = open();
        press({Qt::Key_Return});
        Probe::toolIndex(editor) = from;
        const int frames = Probe::framesShown(editor);

        StdoutCapture capture;
        press({key});

        QCOMPARE(capture.finish(), QStringLiteral("menu navigation\n"));
        QCOMPARE(Probe::toolIndex(editor), to);
        QCOMPARE(Probe::framesShown(editor), frames + 1);
        QCOMPARE(Probe::shownFrame(editor).pixel(cell(to) + QPoint(1, 1)), 0xffffffffu);
    }

    void transitions_data()
    {
        QTest::addColumn<QList<Qt::Key>>("keys");
        QTest::addColumn<int>("mode");
        QTest::addColumn<bool>("cursorMoves");
        using K = QList<Qt::Key>;
        QTest::newRow("Return opens the menu") << K{Qt::Key_Return} << 0 << false;
        QTest::newRow("F11 closes the menu") << K{Qt::Key_Return, Qt::Key_F11} << 2 << false;
        QTest::newRow("the menu opens on the crop again")
                << K{Qt::Key_Return, Qt::Key_Right, Qt::Key_F11, Qt::Key_Return} << 0 << false;
        QTest::newRow("Return on the crop starts the cursor")
                << K{Qt::Key_Return, Qt::Key_Return} << 1 << true;
        QTest::newRow("F9 before the first corner does nothing")
                << K{Qt::Key_Return, Qt::Key_Return, Qt::Key_F9} << 1 << true;
        QTest::newRow("F11 cancels the cursor")
                << K{Qt::Key_Return, Qt::Key_Return, Qt::Key_Return, Qt::Key_F11} << 0 << false;
    }
    void transitions()
    {
        QFETCH(QList<Qt::Key>, keys);
        QFETCH(int, mode);
        QFETCH(bool, cursorMoves);
        EditInterface &editor = open();
        Probe::toolIndex(editor) = 3;
        press(keys);
        QCOMPARE(Probe::editMode(editor), mode);
        QCOMPARE(Probe::mouseTimer(editor).isActive(), cursorMoves);
        if (mode == EditInterface::MenuMode) {
            QCOMPARE(Probe::toolIndex(editor), 7);
            QVERIFY(Probe::popupTimer(editor).isActive());
        }
        if (mode == EditInterface::CursorMode) {
            QCOMPARE(Probe::mousePos(editor), QPoint(160, 120));
            QVERIFY(!Probe::rectStarted(editor));
        }
        QVERIFY(m_programDir->converterRuns().isEmpty());
    }

    void cropKeys_data()
    {
        QTest::addColumn<Qt::Key>("key");
        QTest::newRow("F9") << Qt::Key_F9;
        QTest::newRow("second Return") << Qt::Key_Return;
    }
    // The corner is the cursor's point in the view, which here lies 70 pixels into the frame.
    void cropKeys()
    {
        QFETCH(Qt::Key, key);
        EditInterface &editor = open(QSize(480, 640));
        press({Qt::Key_Return, Qt::Key_Return});
        Probe::mousePos(editor) = QPoint(100, 50);
        press({Qt::Key_Return});
        QCOMPARE(Probe::rectStart(editor), QPoint(30, 50));
        QVERIFY(Probe::rectStarted(editor));
        Probe::mousePos(editor) = QPoint(150, 100);
        Probe::tick(editor);

        press({key});

        QVERIFY(!Probe::mouseTimer(editor).isActive());
        QVERIFY(!Probe::rectStarted(editor));
        const QList<QStringList> runs = m_programDir->converterRuns();
        QCOMPARE(runs.size(), 1);
        QCOMPARE(runs.first().mid(1, 2), QStringList({"-crop", "133x133+80+133"}));
        QTRY_COMPARE(Probe::editMode(editor), int(EditInterface::ViewMode));
    }

    void cursorKeysHoldUntilReleased_data()
    {
        QTest::addColumn<Qt::Key>("key");
        QTest::addColumn<int>("flag");
        QTest::newRow("up") << Qt::Key_Up << 0;
        QTest::newRow("down") << Qt::Key_Down << 1;
        QTest::newRow("left") << Qt::Key_Left << 2;
        QTest::newRow("right") << Qt::Key_Right << 3;
    }
    void cursorKeysHoldUntilReleased()
    {
        QFETCH(Qt::Key, key);
        QFETCH(int, flag);
        EditInterface &editor = open();
        const auto flags = [&editor] {
            return QList<bool>{Probe::upPressed(editor), Probe::downPressed(editor),
                               Probe::leftPressed(editor), Probe::rightPressed(editor)};
        };
        QList<bool> held(4, false);
        held[flag] = true;
        press({Qt::Key_Return, Qt::Key_Return});

        QTest::keyPress(&editor, key);
        QCOMPARE(flags(), held);
        QTest::keyRelease(&editor, key);
        QCOMPARE(flags(), QList<bool>(4, false));

        // Outside the cursor a release changes nothing.
        QTest::keyPress(&editor, key);
        press({Qt::Key_F11});
        QTest::keyRelease(&editor, key);
        QCOMPARE(flags(), held);
    }

    void viewKeysRedrawAtTheirLimits_data()
    {
        QTest::addColumn<QSize>("size");
        QTest::addColumn<QList<Qt::Key>>("before");
        QTest::addColumn<Qt::Key>("key");
        QTest::addColumn<QPoint>("panned");
        QTest::addColumn<QString>("scale");
        using K = QList<Qt::Key>;
        const QSize size(640, 480);
        QTest::newRow("up at the top") << size << K{} << Qt::Key_Up << QPoint(0, 0) << "0.50";
        QTest::newRow("left at the edge") << size << K{} << Qt::Key_Left << QPoint(0, 0) << "0.50";
        QTest::newRow("down on a fitting view")
                << size << K{} << Qt::Key_Down << QPoint(0, 0) << "0.50";
        QTest::newRow("right on a zoomed view")
                << size << K{Qt::Key_Plus} << Qt::Key_Right << QPoint(10, 0) << "0.55";
        QTest::newRow("zoom in at the largest scale")
                << size << K(31, Qt::Key_Plus) << Qt::Key_Plus << QPoint(0, 0) << "2.00";
        QTest::newRow("zoom in at the largest scale after the menu")
                << size << (K(31, Qt::Key_Plus) << Qt::Key_Return << Qt::Key_F11) << Qt::Key_Plus
                << QPoint(0, 0) << "2.00";
        QTest::newRow("zoom out at the smallest scale") << QSize(1600, 1200) << K(4, Qt::Key_Minus)
                                                        << Qt::Key_Minus << QPoint(0, 0) << "0.00";
    }
    // The frame shows the picture, the scale line alone and the soft-key captions.
    void viewKeysRedrawAtTheirLimits()
    {
        QFETCH(QSize, size);
        QFETCH(QList<Qt::Key>, before);
        QFETCH(Qt::Key, key);
        QFETCH(QPoint, panned);
        QFETCH(QString, scale);
        EditInterface &editor = open(size);
        press(before);
        const int frames = Probe::framesShown(editor);
        const QPoint window(Probe::topLeftX(editor), Probe::topLeftY(editor));

        press({key});

        QCOMPARE(Probe::framesShown(editor), frames + 1);
        QCOMPARE(QPoint(Probe::topLeftX(editor), Probe::topLeftY(editor)) - window, panned);
        const QImage shown = Probe::shownFrame(editor);
        editor.blitPicToBuffer();
        const QString group = QStringLiteral("EDIT_MENU");
        editor.drawTextInfo(QStringLiteral("Scale:") + scale, QString(),
                            editor.etr(group, QStringLiteral("EDIT_BROWSER")),
                            editor.etr(group, QStringLiteral("EDIT_SAVE")));
        QCOMPARE(shown, Probe::screenBuffer(editor));
    }

    void keysWithoutActionOnlyTrace_data()
    {
        QTest::addColumn<bool>("inMenu");
        QTest::addColumn<Qt::Key>("key");
        QTest::addColumn<QString>("trace");
        QTest::newRow("keypad Enter in the view") << false << Qt::Key_Enter << "key code is 4101\n";
        QTest::newRow("a letter in the view") << false << Qt::Key_A << "key code is 65\n";
        QTest::newRow("keypad Enter in the menu") << true << Qt::Key_Enter << "menu navigation\n";
    }
    void keysWithoutActionOnlyTrace()
    {
        QFETCH(bool, inMenu);
        QFETCH(Qt::Key, key);
        QFETCH(QString, trace);
        EditInterface &editor = open();
        if (inMenu)
            press({Qt::Key_Return});
        const int mode = Probe::editMode(editor);
        const int frames = Probe::framesShown(editor);

        StdoutCapture capture;
        press({key});

        QCOMPARE(capture.finish(), trace);
        QCOMPARE(Probe::editMode(editor), mode);
        QCOMPARE(Probe::framesShown(editor), frames);
        QVERIFY(m_programDir->converterRuns().isEmpty());
    }

    void f9ShowsTheBrowser_data()
    {
        QTest::addColumn<bool>("inMenu");
        QTest::newRow("from the view") << false;
        QTest::newRow("from the menu") << true;
    }
    void f9ShowsTheBrowser()
    {
        QFETCH(bool, inMenu);
        EditInterface &editor = open();
        if (inMenu)
            press({Qt::Key_Return});
        const int mode = Probe::editMode(editor);
        press({Qt::Key_F9});
        QVERIFY(Probe::browser(editor)->isVisible());
        QVERIFY(!editor.isVisible());
        QCOMPARE(Probe::editMode(editor), mode);
    }

    // Either the save dialog or the popup that there is no picture to save comes up.
    void f11InTheViewSavesAs()
    {
        EditInterface &editor = open();
        bool asked = false;
        answerModal([&asked](QWidget *modal) {
            asked = true;
            QTest::keyClick(modal, Qt::Key_F11);
        });
        StdoutCapture capture;
        press({Qt::Key_F11});
        const QStringList trace = capture.finish().split(u'\n', Qt::SkipEmptyParts);
        QVERIFY(asked);
        QCOMPARE(trace.last(), QStringLiteral("key code is 4154"));
        QVERIFY(Probe::browser(editor)->isVisible());
        QVERIFY(!editor.isVisible());
        QCOMPARE(Probe::editMode(editor), int(EditInterface::ViewMode));
    }

    // Before a picture only F11 acts: it quits, which tst_startup checks.
    void beforeAnyPictureOtherKeysDoNothing()
    {
        EditInterface &editor = *m_editor;
        const int frames = Probe::framesShown(editor);
        StdoutCapture capture;
        press({Qt::Key_Return, Qt::Key_Up, Qt::Key_Plus, Qt::Key_F9, Qt::Key_Enter});
        QCOMPARE(capture.finish(), QString());
        QCOMPARE(Probe::editMode(editor), int(EditInterface::NoMode));
        QCOMPARE(Probe::framesShown(editor), frames);
        QVERIFY(Probe::browser(editor)->isVisible());
    }
};

PICTALUX_TEST_MAIN(EditKeysTest)
#include "tst_editkeys.moc"
