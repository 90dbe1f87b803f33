#include "platform/zlabel.h"
#include "platform/zlineedit.h"
#include "platform/znumpickerdlg.h"
#include "testprobe.h"
#include "testsupport.h"

#include <QProcess>
#include <QSpinBox>
#include <QWheelEvent>

#include <unistd.h>

using Probe = TestProbe;

// Counts the paint events a widget receives.
class PaintCounter : public QObject
{
public:
    PaintCounter(QWidget *widget, int *count)
        : m_count(count)
    {
        widget->installEventFilter(this);
    }
    bool eventFilter(QObject *, QEvent *event) override
    {
        *m_count += event->type() == QEvent::Paint;
        return false;
    }

private:
    int *m_count;
};

// Editing from the keys: the mode machine, and the tools through the converter beside the program.
class EditToolsTest : public QObject
{
    Q_OBJECT

    QTemporaryDir m_pictures;
    QTemporaryDir m_currentFolder;
    std::unique_ptr<ProgramDir> m_programDir;
    std::unique_ptr<EditInterface> m_editor;
    QStringList m_answers; // typed into the pickers to come; once used up, pickers are cancelled
    QStringList m_windows; // what each window that came up offered

    EditInterface &open(const QString &picture, const QString &programDir = QStringLiteral("prog"))
    {
        m_editor.reset();
        m_programDir.reset();
        m_programDir = std::make_unique<ProgramDir>(programDir);
        m_editor = std::make_unique<EditInterface>();
        m_editor->openPath(picture);
        waitForView();
        return *m_editor;
    }
    void waitForView() { QTRY_COMPARE(Probe::editMode(*m_editor), int(EditInterface::ViewMode)); }
    // Clicks the keys named as in "Return Up + Shift+U"; "click:X,Y" clicks the frame's point,
    // "wheel:N" turns the wheel N notches (up when positive).
    void press(const QString &keys)
    {
        for (const QString &key : keys.split(u' ', Qt::SkipEmptyParts)) {
            const QString where = key.section(u':', 1);
            if (key.startsWith("click:")) {
                const QPoint at(where.section(u',', 0, 0).toInt(), where.section(u',', 1).toInt());
                QTest::mouseClick(m_editor.get(), Qt::LeftButton, {}, at);
            } else if (key.startsWith("wheel:")) {
                QWheelEvent wheel(QPointF(160, 120), QPointF(160, 120), {},
                                  QPoint(0, 120 * where.toInt()), Qt::NoButton, Qt::NoModifier,
                                  Qt::NoScrollPhase, false);
                QCoreApplication::sendEvent(m_editor.get(), &wheel);
            } else {
                const QKeyCombination combination = QKeySequence(key)[0];
                QTest::keyClick(m_editor.get(), combination.key(), combination.keyboardModifiers());
            }
        }
    }
    // The crop cuts from (120, 90) to (200, 150) of the screen, the middle of a 160x120 picture.
    // A picker gets the answer typed, or takes the value it offers.
    void runTool(int tool, const QString &answer = QString())
    {
        m_answers = QStringList(answer);
        press("Return");
        Probe::toolIndex(*m_editor) = tool;
        press("Return");
        const QList<QPoint> corners = {QPoint(120, 90), QPoint(200, 150)};
        for (const QPoint corner : tool == ToolTable::CropTool ? corners : QList<QPoint>()) {
            Probe::mousePos(*m_editor) = corner;
            Probe::tick(*m_editor);
            press("Return");
        }
        waitForView();
    }
    // Answers the windows that come up; other than pickers, they are cancelled at once.
    void timerEvent(QTimerEvent *) override
    {
        QWidget *window = QApplication::activeModalWidget();
        if (!window || !window->isVisible())
            return;
        auto *picker = qobject_cast<ZNumPickerDlg *>(window);
        auto *box = window->findChild<QSpinBox *>();
        m_windows << (picker ? QString::asprintf(
                                       "%ls %ls %d-%d %d", qUtf16Printable(picker->title()),
                                       qUtf16Printable(window->findChild<ZLabel *>()->text()),
                                       box->minimum(), box->maximum(), box->value())
                             : window->metaObject()->className());
        if (!picker || m_answers.isEmpty())
            return QTest::keyClick(window, Qt::Key_F11);
        QTest::keyClicks(box, m_answers.takeFirst());
        QTest::keyClick(picker, Qt::Key_Return);
    }
    // The mode (with the menu's selection), then whatever else holds, then what the last key did.
    QString state(EditInterface &editor, const QStringList &lastKey)
    {
        const QString menu = QStringLiteral("menu %1").arg(Probe::toolIndex(editor));
        QStringList words = {QStringList{menu, "cursor", "view"}.value(Probe::editMode(editor))};
        const bool held = Probe::upPressed(editor) || Probe::downPressed(editor) ||
                          Probe::leftPressed(editor) || Probe::rightPressed(editor);
        // The scale, once it is no longer the fitted one.
        if (Probe::scale(editor) != 0.2f)
            words << QString::asprintf("scale %.2f", double(Probe::scale(editor)));
        words << (Probe::mouseTimer(editor).isActive() ? "ticking" : "") << (held ? "held" : "")
              << (editor.isVisible() ? "" : "hidden")
              << (m_programDir->converterRuns().isEmpty() ? "" : "ran");
        words.removeAll(QString());
        return (words + m_windows + lastKey).join(u", ");
    }

private slots:
    void initTestCase()
    {
        QVERIFY(QDir::setCurrent(m_currentFolder.path()));
        const auto path = [this](const char *name) { return m_pictures.filePath(name); };
        quarters(1600, 1200).save(path("big.png"));
        quarters(160, 120).save(path("p.png"));
        writeFile(path("turned.jpg"), turnedJpeg(quarters(120, 160)));
        // Qt writes no GIFs.
        QCOMPARE(QProcess::execute(PICTALUX_IMAGEMAGICK, {path("p.png"), path("p.gif")}), 0);
        startTimer(5);
    }
    void init() { m_answers = m_windows = {}; }
    void cleanupTestCase() { m_editor.reset(); }

    void keys_data()
    {
        QTest::addColumn<QString>("keys");  // from the view
        QTest::addColumn<QString>("state"); // with what the last key traced
        const auto row = [](const char *name, const QString &keys, const char *state) {
            QTest::newRow(name) << keys << QString(state);
        };
        row("up from the top row", "Return Up Up", "menu 12, menu navigation");
        row("down from the bottom row", "Return Down Down", "menu 2, menu navigation");
        row("left from the first", "Return Up Left Left Left", "menu 14, menu navigation");
        row("right from the last", "Return Down Right Right Right", "menu 0, menu navigation");
        row("left to the row above", "Return Left Left Left", "menu 4, menu navigation");
        row("Return opens the menu on the crop", "Return Right F11 Return", "menu 7");
        row("F9 before the first corner", "Return Return F9", "cursor, ticking");
        row("F9 after the first corner", "Return Return Return F9", "view, ran");
        row("F11 cancels the cursor", "Return Return Return F11", "menu 7");
        row("release in the cursor", "Return Return Up Down Left Right", "cursor, ticking");
        row("cancel picker", "Return Left Return", "menu 7, Emboss radius 0-15 7, menu navigation");
        row("keypad Enter", "Enter", "view, key code is 4101");
        row("F9 in the view", "F9", "view, hidden");
        row("F11 in the view", "F11", "view, hidden, FileSaveDialog, key code is 4154");
        row("up at the top", "Up Up", "view, redrawn as it was");
        row("zoom in at the largest", QString(" +").repeated(41),
            "view, scale 2.00, redrawn as it was");
        row("zoom out", "+ PgUp = -", "view, scale 0.30");
        row("zoom out, PageDown", "+ + PgDown", "view, scale 0.25");
        row("up from the middle row", "Return Left Left Up", "menu 0, menu navigation");
        row("a menu key without an action", "Return Backspace", "menu 7, menu navigation");
        row("F9 keeps the menu", "Return F9", "menu 7, hidden, menu navigation");
        row("click on a tool", "Return click:60,80", "menu 0, menu navigation");
        row("click on it again", "Return click:60,80 click:60,80", "view, ran, menu navigation");
        row("click on a caption", "Return click:300,225", "view, menu navigation");
        row("click on the picture", "click:160,120", "view");
        row("wheel", "wheel:2", "view, scale 0.30");
    }
    // The 1600x1200 picture is fitted at 0.20, 36 zoom-ins from the largest scale.
    void keys()
    {
        QFETCH(QString, keys);
        QFETCH(QString, state);
        EditInterface &editor = open(m_pictures.filePath("big.png"));
        m_programDir->useFakeConverter();
        press(keys.section(u' ', 0, -2));
        const int frames = Probe::framesShown(editor);
        const QImage frame = Probe::shownFrame(editor);
        StdoutCapture capture;
        press(keys.section(u' ', -1));
        QStringList seen = capture.finish().split(u'\n').filter(QRegularExpression("^(menu|key)"));
        // A pan or zoom at its limit still draws the view afresh.
        if (Probe::editMode(editor) == EditInterface::ViewMode &&
            Probe::framesShown(editor) > frames && Probe::shownFrame(editor) == frame)
            seen.prepend(QStringLiteral("redrawn as it was"));
        QTRY_COMPARE(this->state(editor, seen), state);
    }

    void busy_data()
    {
        QTest::addColumn<QString>("keys");   // from the view; the last one starts the run
        QTest::addColumn<QString>("during"); // while the converter runs
        QTest::addColumn<QString>("state");  // after the run, then after one more Return
        const auto row = [](const char *name, const char *keys, const char *during,
                            const char *state) { QTest::newRow(name) << keys << during << state; };
        row("tool from the menu", "Return Up Return", "Return Right Return",
            "1 run, view | menu 7");
        row("tool from the picker", "Return Left Return", "Return 5 Return",
            "1 run, view | menu 7");
        row("crop", "Return Return Return Return", "Return Up Return", "1 run, view | menu 7");
        row("cancelled tool", "Return Up Return", "Return F11 Return",
            "1 run, view, cancelled, kept | menu 7");
        row("cancelled crop", "Return Return Return F9", "Escape",
            "1 run, view, cancelled, kept | menu 7");
    }
    // Keys given while the converter runs are dropped, whatever mode the run started from; the
    // right soft key stops it and leaves the picture and the working copy as they were. The
    // window keeps repainting meanwhile.
    void busy()
    {
        QFETCH(QString, keys);
        QFETCH(QString, during);
        QFETCH(QString, state);
        EditInterface &editor = open(m_pictures.filePath("p.png"));
        m_programDir->useFakeConverter();
        runTool(0);
        const QString copy = m_programDir->filePath("pxTemp.image");
        const QByteArray before = [&] {
            QFile file(copy);
            return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
        }();
        const QString shown = describePicture(Probe::originPixmap(editor));
        QFile::remove(m_programDir->filePath("converter-runs"));
        m_programDir->useFakeConverter(ProgramDir::Converter::Fails, 1);
        m_answers = QStringList(QString());

        int paints = 0;
        PaintCounter counter(&editor, &paints);
        int paintsDuring = -1;
        QTimer::singleShot(200, this, [&] { editor.update(); });
        QTimer::singleShot(400, this, [&] {
            paintsDuring = paints;
            press(during);
        });
        StdoutCapture capture;
        press(keys.section(u' ', 0, -2));
        const auto [x, y] = std::pair(Probe::mousePos(editor).x(), Probe::mousePos(editor).y());
        Probe::mousePos(editor) = QPoint(x + 20, y + 20);
        press(keys.section(u' ', -1));
        waitForView();
        const bool cancelled = capture.finish().contains("operation cancelled\n");

        QFile file(copy);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QStringList words = {QStringLiteral("%1 run").arg(m_programDir->converterRuns().size()),
                             "view"};
        if (cancelled)
            words << "cancelled";
        if (cancelled && file.readAll() == before &&
            describePicture(Probe::originPixmap(editor)) == shown)
            words << "kept";
        QVERIFY2(paintsDuring > 0, "no repaint while the converter ran");
        press("Return");
        const QImage menu = Probe::shownFrame(editor);
        QTest::qWait(100);
        QVERIFY(!Probe::mouseTimer(editor).isActive());
        QCOMPARE(Probe::shownFrame(editor), menu);
        QCOMPARE(words.join(", ") + " | " + this->state(editor, {}).section(u',', 0, 0), state);
    }

    void undoRedo_data()
    {
        QTest::addColumn<QString>(
                "steps"); // tools (=the number picked, ? a cancelled picker), keys
        QTest::addColumn<QString>("shown");
        const auto row = [](const char *name, const char *steps, const char *shown) {
            QTest::newRow(name) << steps << shown;
        };
        row("back to the original", "0 2 U U", "160x120 red/white");
        row("and forward again", "0 2 U U Shift+U Shift+U Shift+U", "120x160 red/white");
        row("a failed tool is no step", "0 14=0 U", "160x120 red/white");
        row("a cancelled picker is no step", "0 6? Backspace", "160x120 red/white");
        row("a new tool ends redo", "0 2 U 1 Shift+U", "160x120 white/red");
        row("nothing to undo", "U Backspace Shift+Backspace", "160x120 red/white");
    }
    // Undo and redo walk the pictures the tools made, the user's file untouched.
    void undoRedo()
    {
        QFETCH(QString, steps);
        QFETCH(QString, shown);
        const QString picture = m_pictures.filePath("p.png");
        const QByteArray original = [&] {
            QFile file(picture);
            return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
        }();
        EditInterface &editor = open(picture);
        for (const QString &step : steps.split(u' ')) {
            if (!step.front().isDigit()) {
                press(step);
                waitForView();
            } else if (step.endsWith(u'?')) {
                m_answers.clear();
                press("Return");
                Probe::toolIndex(editor) = step.chopped(1).toInt();
                press("Return F11");
            } else {
                runTool(step.section(u'=', 0, 0).toInt(), step.section(u'=', 1));
            }
        }
        QCOMPARE(describePicture(Probe::originPixmap(editor)), shown);
        // Quitting asks first while the picture shown is not the one on disk.
        QCOMPARE(Probe::unsavedEdits(*Probe::browser(editor)), shown != "160x120 red/white");
        QFile file(picture);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), original);
    }

    // Two programs at once keep their own pictures: the second one's working copy lies in a
    // folder of its own, which goes with it.
    void workingCopies()
    {
        open(m_pictures.filePath("p.png"));
        auto other = std::make_unique<EditInterface>();
        other->openPath(m_pictures.filePath("big.png"));
        QTRY_COMPARE(Probe::editMode(*other), int(EditInterface::ViewMode));
        runTool(0);
        std::swap(m_editor, other);
        runTool(2);
        const QString otherCopy = Probe::picPath(*m_editor);
        std::swap(m_editor, other);

        const QString copy = m_programDir->filePath("pxTemp.image");
        QCOMPARE(Probe::picPath(*m_editor), copy);
        QCOMPARE(describePicture(QImage(copy)), "160x120 green/blue");
        QVERIFY(!otherCopy.startsWith(m_programDir->path()));
        QCOMPARE(describePicture(QImage(otherCopy)), "1200x1600 green/blue");
        other.reset();
        QVERIFY(!QFileInfo::exists(QFileInfo(otherCopy).path()));
    }

    // An installed program's folder is not the user's to write; tools and saves work all the same.
    void readOnlyProgramDirectory()
    {
        if (::getuid() == 0)
            QSKIP("root writes everywhere; these tests run again as an ordinary user for this");
        open(m_pictures.filePath("p.png"));
        QVERIFY(QFile::setPermissions(m_programDir->path(), QFile::ReadOwner | QFile::ExeOwner));
        m_editor = std::make_unique<EditInterface>();
        m_editor->openPath(m_pictures.filePath("p.png"));
        waitForView();
        runTool(0);
        QCOMPARE(describePicture(Probe::originPixmap(*m_editor)), "160x120 green/blue");
        FileSaveDialog dialog(m_pictures.path(), Probe::picPath(*m_editor));
        TestProbe::nameEdit(dialog)->setText("saved");
        dialog.fileSaveOk();
        QCOMPARE(describePicture(QImage(m_pictures.filePath("saved.jpg"))), "160x120 green/blue");
        QFile::setPermissions(m_programDir->path(),
                              QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }

    void commandLines_data()
    {
        QTest::addColumn<int>("tool");
        QTest::addColumn<QString>("picker"); // what it offers; accepted as it is
        QTest::addColumn<QString>("options");
        QTest::addColumn<bool>("traced");
        QTest::addColumn<bool>("oddNames");
        const auto row = [](const char *name, int tool, const char *picker, const char *options,
                            bool traced, bool oddNames = false) {
            QTest::newRow(name) << tool << picker << options << traced << oddNames;
        };
        row("flop", 0, "", "-flop ", true);
        row("flip", 1, "", "-flip ", true);
        row("rotate left", 2, "", "-rotate -90 ", true);
        row("rotate right", 3, "", "-rotate 90 ", true);
        row("black and white", 4, "", "-monochrome ", true);
        row("negative", 5, "", "-negate ", true);
        row("emboss", 6, "Emboss radius 0-15 7", "-emboss 7 ", true);
        row("crop", 7, "", " -crop 160x120+240+180 ", false);
        row("oil paint", 8, "Oil paint radius 0-6 3", "-paint 3 ", false);
        row("swirl", 9, "Swirl degrees 0-99 49", "-swirl 49 ", false);
        row("solarize", 10, "Solarize threshold 0-99 49", "-solarize  49%  ", true);
        row("sepia", 11, "Sepia threshold 0-99 49", "-sepia-tone  49%  ", false);
        row("spread", 12, "Spread amount 0-20 10", "-spread  10 ", true);
        row("charcoal", 13, "Charcoal factor 0-5 2", "-charcoal 2 ", false);
        row("resize", 14, "Resize percentage 0-200 100", "-resize  100% ", false);
        row("odd names", 0, "", "-flop ", true, true);
    }
    void commandLines()
    {
        QFETCH(int, tool);
        QFETCH(QString, picker);
        QFETCH(QString, options);
        QFETCH(bool, traced);
        QFETCH(bool, oddNames);
        // Should a shell read this name as code, it leaves files in the current folder.
        const QString name =
                oddNames ? QStringLiteral("it's \"q\"; touch a & $(touch b) `touch c`\nü*") : "p";
        const QString picture = m_pictures.filePath(name);
        quarters(640, 480).save(picture, "png");
        open(picture, name);
        m_programDir->useFakeConverter();
        StdoutCapture capture;
        runTool(tool);
        const QString trace = capture.finish();

        QCOMPARE(m_windows.join(u'|'), picker);
        const QString copy = m_programDir->filePath("pxTemp.image");
        QCOMPARE(m_programDir->converterRuns().value(0),
                 QStringList(picture) << options.split(u' ', Qt::SkipEmptyParts) << copy);
        QVERIFY(QDir(m_currentFolder.path()).isEmpty());
        const QString command = m_programDir->filePath("convert ") + picture + u' ' + options;
        QCOMPARE(trace.contains(command + copy + u'\n'), traced && !oddNames);
        QCOMPARE(trace.contains("operation successiful!\n"), tool <= 6);
    }

    void realRuns_data()
    {
        QTest::addColumn<QString>("picture");
        QTest::addColumn<QStringList>("steps"); // tools (=the number picked), or converters put in
        QTest::addColumn<QString>("shown");
        QTest::newRow("chained") << "p.png" << QStringList{"2", "14=50"} << "60x80 green/blue";
        QTest::newRow("failing run") << "p.png" << QStringList{"2", "14=0"} << "120x160 green/blue";
        QTest::newRow("crop of a GIF") << "p.gif" << QStringList{"7"} << "80x60 red/white";
        QTest::newRow("EXIF-turned photo") << "turned.jpg" << QStringList{} << "160x120 blue/green";
        QTest::newRow("EXIF-turned crop") << "turned.jpg" << QStringList{"7"} << "80x60 blue/green";
        QTest::newRow("missing") << "p.png" << QStringList{"missing", "0"} << "160x120 red/white";
        QTest::newRow("fails") << "p.png" << QStringList{"2", "fails", "0"} << "120x160 green/blue";
        QTest::newRow("killed") << "p.png" << QStringList{"killed", "0"} << "160x120 red/white";
        QTest::newRow("writes nothing")
                << "p.png" << QStringList{"2", "writes nothing", "0"} << "120x160 green/blue";
    }
    void realRuns()
    {
        QFETCH(QString, picture);
        QFETCH(QStringList, steps);
        QFETCH(QString, shown);
        EditInterface &editor = open(m_pictures.filePath(picture));
        const QHash<QString, ProgramDir::Converter> fakes = {
                {"fails", ProgramDir::Converter::Fails},
                {"killed", ProgramDir::Converter::Killed},
                {"writes nothing", ProgramDir::Converter::ExitsWithoutWriting}};
        for (const QString &step : std::as_const(steps)) {
            if (fakes.contains(step))
                m_programDir->useFakeConverter(fakes[step]);
            else if (step == "missing")
                QVERIFY(QFile::remove(m_programDir->filePath("convert")));
            else
                runTool(step.section(u'=', 0, 0).toInt(), step.section(u'=', 1));
        }
        QCOMPARE(describePicture(Probe::originPixmap(editor)), shown);
        if (picture == "p.gif")
            QCOMPARE(Probe::originPixmap(editor).convertToFormat(QImage::Format_RGB32),
                     quarters(160, 120).copy(40, 30, 80, 60));
    }
};

PICTALUX_TEST_MAIN(EditToolsTest)
#include "tst_edittools.moc"
