#include "editor/framelayout.h"
#include "editor/infoline.h"
#include "editor/scaledview.h"
#include "editor/viewmath.h"
#include "platform/zlabel.h"
#include "platform/zlineedit.h"
#include "platform/znumpickerdlg.h"
#include "testprobe.h"
#include "testsupport.h"

#include <QPainter>
#include <QProcess>
#include <QRandomGenerator>
#include <QSpinBox>
#include <QStorageInfo>
#include <QWheelEvent>

#include <limits>

#include <sys/mount.h>
#include <unistd.h>

using namespace ViewMath;
using namespace FrameLayout;
using Probe = TestProbe;

// The editor: its view's arithmetic and pixels, its frames, its modes, and the tools it runs.
class EditorTest : public QObject
{
    Q_OBJECT

    static constexpr QRgb Dark = 0xff203060;
    QTemporaryDir m_pictures;
    std::unique_ptr<ProgramDir> m_programDir;
    std::unique_ptr<EditInterface> m_editor;
    QStringList m_answers; // typed into the pickers to come; once used up, pickers are cancelled
    QStringList m_windows; // what each window that came up offered
    std::unique_ptr<ModalAnswers> m_answerer;

    // Opens a picture in a program of its own, whose folder has the permissions given.
    EditInterface &open(const QString &picture, QFile::Permissions folder = {})
    {
        m_editor.reset();
        m_programDir.reset();
        m_programDir = std::make_unique<ProgramDir>();
        if (folder)
            QFile::setPermissions(m_programDir->path(), folder);
        m_editor = std::make_unique<EditInterface>();
        m_editor->openPath(m_pictures.filePath(picture));
        waitForView();
        return *m_editor;
    }
    void waitForView() { QTRY_COMPARE(Probe::editMode(*m_editor), int(EditInterface::ViewMode)); }
    // Clicks keys named as in "Return Up + Shift+U"; "Right:40" holds Right for 40 cursor ticks,
    // "click:X,Y" clicks a point, "wheel:N" turns N notches and "open:P" opens another picture.
    void press(const QString &keys)
    {
        for (const QString &key : keys.split(u' ', Qt::SkipEmptyParts)) {
            const QString name = key.section(u':', 0, 0);
            const QString where = key.section(u':', 1);
            const QKeyCombination combination = QKeySequence(name)[0];
            if (name == "open") {
                open(where);
            } else if (name == "click") {
                const QPoint at(where.section(u',', 0, 0).toInt(), where.section(u',', 1).toInt());
                QTest::mouseClick(m_editor.get(), Qt::LeftButton, {}, at);
            } else if (name == "wheel") {
                QWheelEvent wheel({160, 120}, {160, 120}, {}, QPoint(0, 120 * where.toInt()),
                                  Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
                QCoreApplication::sendEvent(m_editor.get(), &wheel);
            } else if (where.isEmpty()) {
                QTest::keyClick(m_editor.get(), combination.key(), combination.keyboardModifiers());
            } else {
                QTest::keyPress(m_editor.get(), combination.key());
                for (int tick = where.toInt(); tick > 0; --tick)
                    Probe::tick(*m_editor);
                QTest::keyRelease(m_editor.get(), combination.key());
            }
        }
    }
    // Runs a tool; the crop cuts (120, 90) to (200, 150); a picker takes the answer, "?" cancels.
    void runTool(int tool, const QString &answer = QString())
    {
        m_answers = answer == "?" ? QStringList() : QStringList(answer);
        press("Return" + QString(" Right").repeated((tool + 8) % 15) +
              (tool == ToolTable::CropTool ? " Return Left:40 Up:30 Return Right:80 Down:60 Return"
               : answer == "?"             ? " Return F11"
                                           : " Return"));
        waitForView();
    }
    // Answers the windows that come up; other than pickers, they are cancelled at once.
    void answer(QWidget *window)
    {
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
    QString state(const QStringList &lastKey)
    {
        EditInterface &editor = *m_editor;
        const QString menu = QStringLiteral("menu %1").arg(Probe::toolIndex(editor));
        QStringList words = {QStringList{menu, "cursor", "view"}.value(Probe::editMode(editor))};
        const bool ticking =
                Probe::mouseTimer(editor).isActive() || Probe::popupTimer(editor).isActive();
        if (Probe::scale(editor) != 0.2f)
            words << QString::asprintf("scale %.2f", double(Probe::scale(editor)));
        words << (ticking ? "ticking" : "") << (Probe::held(editor) ? "held" : "")
              << (editor.isVisible() ? "" : "hidden")
              << (m_programDir->converterRuns().isEmpty() ? "" : "ran");
        words.removeAll(QString());
        return (words + m_windows + lastKey).join(u", ");
    }
    // The picture shown with the texts "top|middle|left|right" over it.
    QImage composed(const QString &texts)
    {
        const QStringList parts = texts.split(u'|');
        m_editor->blitPicToBuffer();
        m_editor->drawTextInfo(parts.value(0), parts.value(1), parts.value(2), parts.value(3));
        return Probe::screenBuffer(*m_editor);
    }
    // Takes the names of the undo copies to come, so that none can be written.
    void fillUndoFolder()
    {
        const QString folder = Probe::workingFolder(*m_editor).privateFolder();
        for (int step = 1; step <= UndoHistory::MaxSteps * 2; ++step) {
            const QString name = QStringLiteral("undo-%1.image").arg(step);
            QVERIFY(QFileInfo::exists(folder + u'/' + name) ||
                    QDir(folder).mkpath(name + "/taken"));
        }
    }

private slots:
    void initTestCase()
    {
        const auto path = [this](const QString &name) { return m_pictures.filePath(name); };
        quarters(160, 120).save(path("p.png"));
        writeFile(path("turned.jpg"), turnedJpeg(quarters(120, 160)));
        writeFile(path("text.jpg"), "no picture");
        for (const QSize size : {QSize(100, 50), QSize(480, 640), QSize(640, 480), QSize(1000, 200),
                                 QSize(1600, 1200)}) {
            QImage dark(size, QImage::Format_RGB32);
            dark.fill(Dark);
            dark.save(path(QString::asprintf("%dx%d.png", size.width(), size.height())));
        }
        // Dark in its top-left quarter, transparent elsewhere.
        QImage corner(640, 480, QImage::Format_ARGB32);
        corner.fill(Qt::transparent);
        QPainter(&corner).fillRect(0, 0, 320, 240, QColor(Dark));
        corner.save(path("corner.png"));
        // Qt writes no GIFs.
        QCOMPARE(QProcess::execute(PICTALUX_IMAGEMAGICK, {path("p.png"), path("p.gif")}), 0);
        m_answerer = std::make_unique<ModalAnswers>([this](QWidget *window) { answer(window); });
    }
    void init() { m_answers = m_windows = {}; }
    void cleanupTestCase() { m_editor.reset(); }

    // The scale as shown, the zoom and pan steps at their limits, and the crop rectangle.
    void viewArithmetic()
    {
        // As C's "%.2f" shows them: the exact value rounded, half to even.
        QCOMPARE(scaleValue(fitScale({2048, 1536})), "0.16");
        QCOMPARE(scaleValue(fitScale({512, 384})), "0.62");
        const float tiny = zoomedOut(zoomedOut(zoomedOut(zoomedOut(0.2f))));
        QVERIFY(tiny > 8.1e-9f && tiny < 8.3e-9f && zoomedOut(tiny) == tiny);
        QCOMPARE(zoomedIn(1.98f), 2.0f);
        QCOMPARE(pannedForward(315, 640, 320), 320);
        QCOMPARE(pannedBack(5), 0);
        // In pixels of the picture as loaded, from corners in either order.
        QCOMPARE(mapRect({110, 70}, {10, 20}, 0.5f), QRect(QPoint(20, 40), QPoint(219, 139)));
        QCOMPARE(mapRect({0, 0}, {100, 100}, 0.55f).width(), 181);
        const int far = std::numeric_limits<int>::max() - 1;
        QCOMPARE(mapRect({0, 0}, {160, 120}, 8.2e-9f), QRect(QPoint(0, 0), QPoint(far, far)));
    }

    // Any part of the view drawn through the tile cache is exactly that part of a whole rendering.
    void viewPixels()
    {
        QImage noise(301, 199, QImage::Format_ARGB32);
        QRandomGenerator(1).fillRange(reinterpret_cast<quint32 *>(noise.bits()), 301 * 199);
        ScaledView view;
        view.setPicture(noise);
        for (const float scale : {0.04f, 0.37f, 0.55f, 1.0f, 1.37f, 2.0f}) {
            view.setScale(scale);
            const QRect all(QPoint(0, 0), view.size());
            QImage frame((QRect(7, 5, 320, 240) & all).size(), QImage::Format_ARGB32_Premultiplied);
            QPainter painter(&frame);
            painter.setCompositionMode(QPainter::CompositionMode_Source);
            view.draw(painter, QPoint(0, 0), QRect(7, 5, 320, 240));
            painter.end();
            QCOMPARE(frame, view.render(all).copy(QRect(QPoint(7, 5), frame.size())));
        }
        // Smaller views average 2 x 2 blocks, channels rounded; larger ones take the nearest pixel.
        const quint32 block[] = {0xff000000, 0xff000001, 0xffff0001, 0xffff0101};
        view.setPicture(QImage(reinterpret_cast<const uchar *>(block), 2, 2, QImage::Format_RGB32));
        view.setScale(0.5f);
        QCOMPARE(view.render(QRect(0, 0, 1, 1)).pixel(0, 0), 0xff800001u);
        const quint32 line[] = {0xff000000, 0xff000001, 0xff000002, 0xff000003};
        view.setPicture(QImage(reinterpret_cast<const uchar *>(line), 4, 1, QImage::Format_RGB32));
        view.setScale(1.5f);
        const quint32 wide[] = {line[0], line[1], line[1], line[2], line[3], line[3]};
        QCOMPARE(view.render(QRect(0, 0, 6, 1)),
                 QImage(reinterpret_cast<const uchar *>(wide), 6, 1, QImage::Format_RGB32));
    }

    void frames_data()
    {
        columns({"picture", "keys", "dark"}); // where the picture shows, in the middle band
        row("wide", {"1000x200.png", "", "0,88,320,64"});
        row("tall", {"480x640.png", "", "70,0,180,240"});
        row("small", {"100x50.png", "", "110,95,100,50"});
        // Transparent parts show gray, not what the menu left there.
        row("transparent, zoomed about the centre", {"corner.png", "Return F11 +", "0,0,160,120"});
        const QString far = QString(" +").repeated(10) + QString(" Right Down").repeated(40);
        row("panned to the far corner", {"corner.png", far, "0,0,0,0"});
        row("and back", {"corner.png", far + QString(" Left Up").repeated(40), "0,0,320,240"});
        row("zoomed out to nothing", {"1600x1200.png", "- - - -", "0,0,0,0"});
    }
    // Pictures are fitted and centred on gray; zooms keep the centre, pans stop at the edges.
    void frames()
    {
        QFETCH(QString, picture);
        QFETCH(QString, keys);
        QFETCH(QString, dark);
        open(picture);
        press(keys);
        const QStringList corner = dark.split(u',');
        QImage expected(320, 240, QImage::Format_RGB32);
        expected.fill(Qt::gray);
        QPainter(&expected).fillRect(corner[0].toInt(), corner[1].toInt(), corner[2].toInt(),
                                     corner[3].toInt(), QColor(Dark));
        QCOMPARE(Probe::shownFrame(*m_editor).copy(InfoMiddle).convertToFormat(expected.format()),
                 expected.copy(InfoMiddle));
    }

    // The cursor's tip marks its point; the green rectangle and the texts keep a dark edge.
    void rectangle()
    {
        EditInterface &editor = open("p.png");
        press("Return Return");
        Probe::tick(editor);
        QCOMPARE(Probe::shownFrame(editor).pixel(160, 120), 0xff000000u);
        press("Return Right:40 Down:30");
        const QImage frame = Probe::shownFrame(editor);
        for (const QPoint at :
             {QPoint(160, 120), QPoint(200, 150), QPoint(180, 120), QPoint(160, 135)})
            QCOMPARE(frame.pixel(at), QColor(Qt::green).rgb());
        for (const QPoint at :
             {QPoint(159, 135), QPoint(201, 135), QPoint(180, 119), QPoint(180, 151)})
            QCOMPARE(frame.pixel(at), 0xff000000u);
        const QImage line = frame.copy(InfoTop).convertToFormat(QImage::Format_RGB32);
        const auto *pixels = reinterpret_cast<const QRgb *>(line.constBits());
        QVERIFY(std::count(pixels, pixels + 320 * 30, 0xff000000u) > 100);
    }

    void keys_data()
    {
        columns({"keys", "state", "texts"});
        row("up wraps", {"Return Up Up", "menu 12, menu navigation", ""});
        row("down wraps", {"Return Down Down", "menu 2, menu navigation", ""});
        row("left wraps", {"Return Up Left Left Left", "menu 14, menu navigation", ""});
        row("right wraps", {"Return Down Right Right Right", "menu 0, menu navigation", ""});
        row("up from the middle row", {"Return Left Left Up", "menu 0, menu navigation", ""});
        row("a menu key without an action", {"Return Backspace", "menu 7, menu navigation", ""});
        row("F9 keeps the menu", {"Return F9", "menu 7, hidden, menu navigation", ""});
        // F9 crops only once the first corner is set.
        row("F9 in the cursor", {"Return Return F9 Return F9", "view, ran", ""});
        row("F11 cancels the cursor", {"Return Return Return Right:5 F11", "menu 7", ""});
        row("release in the cursor", {"Return Return Up Down Left Right", "cursor, ticking", ""});
        row("cancel picker",
            {"Return Left Return", "menu 7, Emboss radius 0-15 7, menu navigation", ""});
        row("F9 in the view", {"F9", "view, hidden", ""});
        row("F11 in the view", {"F11", "view, hidden, FileSaveDialog, key code is 4154", ""});
        row("up at the top", {"Up Up", "view, redrawn as it was", "Scale:0.20||Browser|Save"});
        row("zoom out", {"+ PgUp = -", "view, scale 0.30", "Scale:0.30||Browser|Save"});
        // The first click selects the tool, the second runs it.
        row("clicks on a tool",
            {"Return click:60,80 click:60,80", "view, ran, menu navigation", ""});
        row("click on a caption", {"Return click:300,225", "view, menu navigation",
                                   "Size:1600x1200 Scale:0.20||Browser|Save"});
        row("wheel", {"wheel:2", "view, scale 0.30", ""});
        row("cursor stops at the left",
            {"open:480x640.png Return Return Left:100", "cursor, scale 0.38, ticking",
             "Position(0,320)  Scale:0.38|||Cancel"});
        row("and at the right",
            {"open:480x640.png Return Return Right:100", "cursor, scale 0.38, ticking",
             "Position(480,320)  Scale:0.38|||Cancel"});
        row("and scrolls at the frame's edge",
            {"+ + Return Return Right:300", "cursor, scale 0.30, ticking",
             "Position(1596,600)  Scale:0.30|||Cancel"});
        row("region", {"open:640x480.png Return Return Return Right:40 Down:20",
                       "cursor, scale 0.50, ticking", "Region(80,40)  Scale:0.50||Cut|Cancel"});
        row("unreadable picture", {"open:text.jpg Return F11", "view, scale 1.00, menu navigation",
                                   "|Cannot open: not a picture|Browser|Save"});
        row("and after a pan", {"open:text.jpg Down", "view, scale 1.00",
                                "Scale:1.00|Cannot open: not a picture|Browser|Save"});
    }
    // From a 1600x1200 picture's view: the state, the last key's trace, the texts shown over it.
    void keys()
    {
        QFETCH(QString, keys);
        QFETCH(QString, state);
        QFETCH(QString, texts);
        open("1600x1200.png");
        press(keys.section(u' ', 0, -2)); // which may open another picture
        EditInterface &editor = *m_editor;
        m_programDir->useFakeConverter();
        QTRY_VERIFY(!Probe::popupTimer(editor).isActive());
        const int frames = Probe::framesShown(editor);
        const QImage frame = Probe::shownFrame(editor);
        StdoutCapture capture;
        press(keys.section(u' ', -1));
        QStringList seen = capture.finish().split(u'\n').filter(QRegularExpression("^(menu|key)"));
        // A pan at its limit still draws the view afresh; the cursor redraws itself all the time.
        const bool cursor = Probe::mouseTimer(editor).isActive();
        if (!cursor && Probe::framesShown(editor) > frames && Probe::shownFrame(editor) == frame)
            seen.prepend(QStringLiteral("redrawn as it was"));
        QTRY_COMPARE(this->state(seen), state);
        // In the menu the selected tool's cell is lit around its icon, and no other.
        const auto cell = [&](int tool) {
            return Probe::shownFrame(editor).pixel(cellOf(tool % 15).topLeft() + QPoint(1, 1));
        };
        const int tool = Probe::toolIndex(editor);
        if (Probe::editMode(editor) == EditInterface::MenuMode)
            QVERIFY(cell(tool) == 0xffffffff && cell(tool + 5) != 0xffffffff);
        if (texts.isEmpty())
            return;
        if (cursor)
            Probe::tick(editor);
        // The cursor and the rectangle lie between the information line and the captions.
        for (const QRect &area :
             cursor ? QList<QRect>{InfoTop, InfoBottom} : QList<QRect>{{0, 0, 320, 240}})
            QCOMPARE(Probe::shownFrame(editor).copy(area), composed(texts).copy(area));
    }

    void edits_data()
    {
        // Tools (=the number picked, =? a cancelled picker) and keys; the picture shown after.
        columns({"picture", "steps", "shown"});
        row("back to the original", {"p.png", "0 2 U U U", "160x120 red/white"});
        row("and forward again",
            {"p.png", "0 2 U U Shift+U Shift+U Shift+U", "120x160 red/white, edited"});
        row("failed, cancelled: no step", {"p.png", "0 14=0 6=? Backspace", "160x120 red/white"});
        row("a new tool ends redo", {"p.png", "0 2 U 1 Shift+U", "160x120 white/red, edited"});
        // "full": no more undo copies can be made.
        row("no room for the first step", {"p.png", "full 0 U", "160x120 red/white"});
        row("no room later: undo skips back", {"p.png", "0 full 2 U Shift+U", "160x120 red/white"});
        row("chained", {"p.png", "2 14=50", "60x80 green/blue, edited"});
        row("crop of a GIF", {"p.gif", "7", "80x60 red/white, edited"});
        row("EXIF-turned crop", {"turned.jpg", "7", "80x60 blue/green, edited"});
    }
    // Tools through the real converter, undone and redone, never touching the user's file.
    void edits()
    {
        QFETCH(QString, picture);
        QFETCH(QString, steps);
        QFETCH(QString, shown);
        const QByteArray original = readFile(m_pictures.filePath(picture));
        EditInterface &editor = open(picture);
        bool full = false;
        for (const QString &step : steps.split(u' ', Qt::SkipEmptyParts)) {
            if (step == "full") {
                full = true;
                fillUndoFolder();
            } else if (step.front().isDigit()) {
                runTool(step.section(u'=', 0, 0).toInt(), step.section(u'=', 1));
                // The tool worked, but undo has changed, and the user is told.
                const QImage lost =
                        composed("|No room to keep this step: undo goes back to the original");
                QCOMPARE(Probe::shownFrame(editor).copy(InfoMiddle) == lost.copy(InfoMiddle), full);
            } else {
                press(step);
            }
            waitForView();
        }
        // Quitting asks first while the picture shown is not the one on disk.
        const bool edited = Probe::unsavedEdits(*Probe::browser(editor));
        QCOMPARE(describePicture(Probe::originPixmap(editor)) + (edited ? ", edited" : ""), shown);
        QCOMPARE(readFile(m_pictures.filePath(picture)), original);
    }

    // Undo's copies leave room on their disk, often a small one in memory, for the next result.
    void undoLeavesRoom()
    {
        QTemporaryDir disk;
        const QByteArray mountPoint = QFile::encodeName(disk.path());
        if (::mount("tmpfs", mountPoint.constData(), "tmpfs", 0, "size=1m") != 0)
            QSKIP("no small disk can be mounted here");
        const auto unmount = qScopeGuard([&] { ::umount(mountPoint.constData()); });
        const QString result = m_pictures.filePath("result");
        writeFile(result, QByteArray(150 << 10, 'x'));
        UndoHistory history;
        history.reset("original");
        for (int step = 0; step < 6; ++step)
            QVERIFY(history.add(result, disk.path()));
        QVERIFY(QStorageInfo(disk.path()).bytesAvailable() >= 300 << 10);
        while (history.undo() != "original")
            QVERIFY(history.isEdited());
    }

    // The window manager's close asks first while the picture is edited; No keeps the window.
    void closeAsksFirst()
    {
        EditInterface &editor = open("p.png");
        runTool(0);
        QVERIFY(!editor.close() && editor.isVisible());
        QCOMPARE(m_windows, QStringList("ZMessageDlg"));
        Probe::browser(editor)->setUnsavedEdits(false);
        QVERIFY(editor.close() && !editor.isVisible());
    }

    // Two programs at once keep their own working copies; the second one's folder goes with it.
    void workingCopies()
    {
        open("p.png");
        auto other = std::make_unique<EditInterface>();
        other->openPath(m_pictures.filePath("p.gif"));
        QTRY_COMPARE(Probe::editMode(*other), int(EditInterface::ViewMode));
        runTool(0);
        std::swap(m_editor, other);
        runTool(2);
        const QString otherCopy = Probe::browser(*m_editor)->getPicPath();
        std::swap(m_editor, other);

        const QString copy = m_programDir->filePath("pxTemp.image");
        QCOMPARE(Probe::browser(*m_editor)->getPicPath(), copy);
        QCOMPARE(describePicture(QImage(copy)), "160x120 green/blue");
        QCOMPARE(describePicture(QImage(otherCopy)), "120x160 green/blue");
        other.reset();
        QVERIFY(!QFileInfo::exists(QFileInfo(otherCopy).path()));
    }

    // An installed program's folder is not the user's to write; tools and saves work all the same.
    void readOnlyProgramDirectory()
    {
        if (::getuid() == 0)
            QSKIP("root writes everywhere; these tests run again as an ordinary user for this");
        open("p.png", QFile::ReadOwner | QFile::ExeOwner);
        runTool(0);
        QCOMPARE(describePicture(Probe::originPixmap(*m_editor)), "160x120 green/blue");
        FileSaveDialog dialog(m_pictures.path(), Probe::browser(*m_editor)->getPicPath());
        Probe::nameEdit(dialog)->setText("saved");
        dialog.fileSaveOk();
        QCOMPARE(describePicture(QImage(m_pictures.filePath("saved.jpg"))), "160x120 green/blue");
        QFile::setPermissions(m_programDir->path(),
                              QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }

    void runs_data()
    {
        // The picker offered and accepted; the options; the top line while it runs; the trace.
        columns({"tool", "picker", "options", "shows", "trace", "end"});
        const QString both = "command|operation successiful!";
        const QString region = "Region(160,120)  Scale:0.50";
        row("flop", {"0", "", "-flop ", "flop", both, ""});
        row("emboss", {"6", "Emboss radius 0-15 7", "-emboss 7 ", "emboss", both, ""});
        row("crop", {"7", "", " -crop 160x120+240+180 ", region, "", ""});
        row("solarize",
            {"10", "Solarize threshold 0-99 49", "-solarize  49%  ", "solarize", "command", ""});
        row("resize", {"14", "Resize percentage 0-200 100", "-resize  100% ", "resize", "", ""});
        row("failing flip", {"1", "", "-flip ", "flip", "command|operation failure...", "fails"});
        row("failing spread",
            {"12", "Spread amount 0-20 10", "-spread  10 ", "spread", "command", "fails"});
        row("stopped rotation",
            {"2", "", "-rotate -90 ", "rotate -90", "command|operation cancelled", "F11"});
        row("stopped crop",
            {"7", "", " -crop 160x120+240+180 ", region, "operation cancelled", "Escape"});
    }
    // One converter run per tool, keys dropped meanwhile; a failed or stopped one changes nothing.
    void runs()
    {
        QFETCH(QString, tool);
        QFETCH(QString, picker);
        QFETCH(QString, options);
        QFETCH(QString, shows);
        QFETCH(QString, trace);
        QFETCH(QString, end);
        EditInterface &editor = open("640x480.png");
        const QString picture = m_pictures.filePath("640x480.png"),
                      copy = m_programDir->filePath("pxTemp.image");
        QVERIFY(QFile::copy(picture, copy)); // from an earlier run
        m_programDir->useFakeConverter(
                end.isEmpty() ? ProgramDir::Converter::Copies : ProgramDir::Converter::Fails, 0.3);
        // Once the converter has started, it takes 0.3 s.
        bool shown = false;
        QTimer started;
        connect(&started, &QTimer::timeout, this, [&] {
            if (m_programDir->converterRuns().isEmpty())
                return;
            started.stop();
            shown = Probe::shownFrame(editor).copy(InfoTop) == composed(shows).copy(InfoTop);
            press("Return Right Return " + (end == "fails" ? QString() : end));
        });
        started.start(10);
        StdoutCapture capture;
        runTool(tool.toInt());
        const QString command =
                m_programDir->filePath("convert ") + picture + u' ' + options + copy;
        const QStringList traced =
                capture.finish().replace(command + u'\n', "command\n").split(u'\n');
        QCOMPARE(m_windows.join(u'|'), picker);
        QCOMPARE(m_programDir->converterRuns(),
                 QList<QStringList>{QStringList(picture)
                                    << options.split(u' ', Qt::SkipEmptyParts) << copy});
        QCOMPARE(traced.filter(QRegularExpression("^(command|operation)")).join(u'|'), trace);
        QVERIFY2(shown, "the top line during the run");
        if (!end.isEmpty()) {
            QCOMPARE(readFile(copy), readFile(picture));
            const QString notice = end == "fails" ? "Tool failed" : "Tool cancelled";
            QCOMPARE(Probe::shownFrame(editor),
                     composed("Size:640x480 Scale:0.50|" + notice + "|Browser|Save"));
        }
    }
};

PICTALUX_TEST_MAIN(EditorTest)
#include "tst_editor.moc"
