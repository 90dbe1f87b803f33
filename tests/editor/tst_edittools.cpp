#include "platform/zlabel.h"
#include "platform/znummodule.h"
#include "platform/znumpickerdlg.h"
#include "testprobe.h"
#include "testsupport.h"

#include <QPainter>
#include <QProcess>
#include <QSpinBox>

using Probe = TestProbe;

namespace {

// A name the shell would read as five commands, each leaving a file in the current folder.
const QString OddName =
        QStringLiteral("it's \"q\"; touch a & touch b $(touch c) `touch d`\ntouch e ü");
const QString Cancel = QStringLiteral("cancel");
constexpr QRgb Gray = 0xffa0a0a4;

// What a number picker showed when it opened.
struct Picker
{
    QString title;
    QString label;
    int min;
    int max;
    int value;
};

} // namespace

// The tools, run from the menu with the converter beside the program: a stand-in that records
// its arguments, or the real launcher over ImageMagick.
class EditToolsTest : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<ProgramDir> m_programDir;
    std::unique_ptr<EditInterface> m_editor;
    QTemporaryDir m_pictures;
    QTemporaryDir m_currentFolder;
    QTimer m_pickerWatch;
    // For the pickers to come, in turn: the digits to type (none: the value shown) or Cancel.
    QStringList m_answers;
    QList<Picker> m_pickers;

    EditInterface &start(const QString &programDirPrefix = QStringLiteral("prog"))
    {
        m_editor.reset();
        m_programDir.reset();
        m_programDir = std::make_unique<ProgramDir>(programDirPrefix);
        m_editor = std::make_unique<EditInterface>();
        m_editor->show();
        return *m_editor;
    }

    QString workingCopy() const { return m_programDir->filePath(QStringLiteral("pxTemp.image")); }

    QString quartersPicture(const QString &name, QSize size = QSize(160, 120))
    {
        const QString path = m_pictures.filePath(name);
        QDir().mkpath(QFileInfo(path).path());
        quarters(size.width(), size.height()).save(path, "png");
        return path;
    }

    void waitForView() { QTRY_COMPARE(Probe::editMode(*m_editor), int(EditInterface::ViewMode)); }

    // Opens the picture as the browser's choice does.
    void open(const QString &path)
    {
        Probe::picPath(*m_editor) = path;
        m_editor->loadPicture();
        waitForView();
    }

    // Opens the menu and runs the tool with Return, as the user does.
    void chooseTool(int tool)
    {
        QTest::keyClick(m_editor.get(), Qt::Key_Return);
        Probe::toolIndex(*m_editor) = tool;
        QTest::keyClick(m_editor.get(), Qt::Key_Return);
    }

    // Holds an arrow key for the given number of cursor ticks.
    void hold(Qt::Key key, int ticks)
    {
        QTest::keyPress(m_editor.get(), key);
        for (int tick = 0; tick < ticks; ++tick)
            Probe::tick(*m_editor);
        QTest::keyRelease(m_editor.get(), key);
    }

    void moveCursorTo(QPoint viewPoint)
    {
        Probe::tick(*m_editor);
        const QPoint way = viewPoint - Probe::mousePicPos(*m_editor);
        hold(way.x() < 0 ? Qt::Key_Left : Qt::Key_Right, qAbs(way.x()));
        hold(way.y() < 0 ? Qt::Key_Up : Qt::Key_Down, qAbs(way.y()));
        QCOMPARE(Probe::mousePicPos(*m_editor), viewPoint);
    }

    // Crops the view rectangle between the two points with the cursor.
    void crop(QPoint from, QPoint to)
    {
        chooseTool(7);
        moveCursorTo(from);
        QTest::keyClick(m_editor.get(), Qt::Key_Return);
        moveCursorTo(to);
        QTest::keyClick(m_editor.get(), Qt::Key_F9);
    }

    void answerPicker()
    {
        auto *picker = qobject_cast<ZNumPickerDlg *>(QApplication::activeModalWidget());
        if (!picker || !picker->isVisible())
            return;
        auto *spinBox = picker->findChild<QSpinBox *>();
        m_pickers.append({picker->title(), picker->getNumModule()->label()->text(),
                          spinBox->minimum(), spinBox->maximum(), spinBox->value()});
        const QString answer = m_answers.isEmpty() ? Cancel : m_answers.takeFirst();
        if (answer == Cancel) {
            QTest::keyClick(picker, Qt::Key_F11);
            return;
        }
        QTest::keyClicks(spinBox, answer);
        QTest::keyClick(picker, Qt::Key_Return);
    }

    static QByteArray contents(const QString &path)
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    // Whether the lines appear in this order, with any others between them.
    static bool inOrder(const QStringList &trace, const QStringList &lines)
    {
        qsizetype from = 0;
        for (const QString &line : lines) {
            from = trace.indexOf(line, from);
            if (from < 0)
                return false;
        }
        return true;
    }

private slots:
    void initTestCase()
    {
        // Whatever the shell might run from a name lands here.
        QVERIFY(QDir::setCurrent(m_currentFolder.path()));
        connect(&m_pickerWatch, &QTimer::timeout, this, &EditToolsTest::answerPicker);
        m_pickerWatch.setInterval(5);
    }
    void init()
    {
        m_answers.clear();
        m_pickers.clear();
        m_pickerWatch.start();
    }
    void cleanup()
    {
        m_pickerWatch.stop();
        m_editor.reset();
        m_programDir.reset();
        QDir current(m_currentFolder.path());
        const QStringList strays = current.entryList(QDir::AllEntries | QDir::NoDotAndDotDot);
        for (const QString &name : strays)
            current.remove(name);
        QVERIFY2(strays.isEmpty(), qPrintable(strays.join(u' ')));
    }

    void commandLines_data()
    {
        QTest::addColumn<bool>("oddNames");
        QTest::addColumn<int>("tool");
        QTest::addColumn<QString>("answer"); // null: no picker expected
        QTest::addColumn<QString>("options");
        QTest::addColumn<bool>("traced");
        struct Row
        {
            const char *name;
            int tool;
            const char *answer;
            const char *options;
            bool traced;
        };
        const Row rows[] = {
                {"flop", 0, nullptr, "-flop ", true},
                {"flip", 1, nullptr, "-flip ", true},
                {"rotate left", 2, nullptr, "-rotate -90 ", true},
                {"rotate right", 3, nullptr, "-rotate 90 ", true},
                {"black and white", 4, nullptr, "-monochrome ", true},
                {"negative", 5, nullptr, "-negate ", true},
                {"emboss as offered", 6, "", "-emboss 7 ", true},
                {"crop", 7, nullptr, " -crop 100x50+20+40 ", false},
                {"oil paint", 8, "5", "-paint 5 ", false},
                {"swirl", 9, "99", "-swirl 99 ", false},
                {"solarize", 10, "", "-solarize  49%  ", true},
                {"sepia at the minimum", 11, "0", "-sepia-tone  0%  ", false},
                {"spread", 12, "20", "-spread  20 ", true},
                {"charcoal", 13, "", "-charcoal 2 ", false},
                {"resize to nothing", 14, "0", "-resize  0% ", false},
        };
        for (const bool oddNames : {false, true}) {
            for (const Row &row : rows) {
                QTest::addRow("%s%s", row.name, oddNames ? ", odd names" : "")
                        << oddNames << row.tool
                        << (row.answer ? QString::fromLatin1(row.answer) : QString())
                        << QString::fromLatin1(row.options) << row.traced;
            }
        }
    }
    void commandLines()
    {
        QFETCH(bool, oddNames);
        QFETCH(int, tool);
        QFETCH(QString, answer);
        QFETCH(QString, options);
        QFETCH(bool, traced);
        EditInterface &editor = start(oddNames ? OddName : QStringLiteral("prog"));
        m_programDir->useFakeConverter();
        const QString picture = quartersPicture(
                oddNames ? OddName + u'/' + OddName + QStringLiteral(".png") : "p.png",
                QSize(640, 480));
        open(picture);
        if (!answer.isNull())
            m_answers.append(answer);

        StdoutCapture capture;
        if (tool == 7)
            crop(QPoint(10, 20), QPoint(60, 45));
        else
            chooseTool(tool);
        // The converter has run, and the reload is yet to be drawn.
        const bool processingShown = Probe::shownFrame(editor).pixel(5, 100) == Gray;
        waitForView();
        const QStringList trace = capture.finish().split(u'\n');

        QCOMPARE(m_pickers.size(), answer.isNull() ? 0 : 1);
        QCOMPARE(processingShown, tool != 7);
        const QStringList arguments = QStringList(picture)
                                      << options.split(u' ', Qt::SkipEmptyParts) << workingCopy();
        QCOMPARE(m_programDir->converterRuns(), QList<QStringList>({arguments}));
        QCOMPARE(Probe::picPath(editor), workingCopy());
        QCOMPARE(trace.filter(QStringLiteral("/convert")).size(), traced ? 1 : 0);
        const bool reported = tool <= 6;
        QCOMPARE(trace.contains(QStringLiteral("operation successiful!")), reported);
        if (oddNames)
            return;
        QStringList expected = {QStringLiteral("index %1").arg(tool)};
        if (traced)
            expected << m_programDir->path() + QStringLiteral("/convert ") + picture + u' ' +
                                options + workingCopy();
        if (reported)
            expected << QStringLiteral("operation successiful!");
        QVERIFY2(inOrder(trace, expected), qPrintable(trace.join(u'\n')));
    }

    void pickerOffersTheToolsRange_data()
    {
        QTest::addColumn<int>("tool");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("label");
        QTest::addColumn<int>("max");
        QTest::addColumn<int>("offered");
        QTest::newRow("emboss") << 6 << "Emboss"
                                << "radius" << 15 << 7;
        QTest::newRow("oil paint") << 8 << "Oil paint"
                                   << "radius" << 6 << 3;
        QTest::newRow("swirl") << 9 << "Swirl"
                               << "degrees" << 99 << 49;
        QTest::newRow("solarize") << 10 << "Solarize"
                                  << "threshold" << 99 << 49;
        QTest::newRow("sepia") << 11 << "Sepia"
                               << "threshold" << 99 << 49;
        QTest::newRow("spread") << 12 << "Spread"
                                << "amount" << 20 << 10;
        QTest::newRow("charcoal") << 13 << "Charcoal"
                                  << "factor" << 5 << 2;
        QTest::newRow("resize") << 14 << "Resize"
                                << "percentage" << 200 << 100;
    }
    // The second run offers the middle value again, and cancelling it goes back to the menu.
    void pickerOffersTheToolsRange()
    {
        QFETCH(int, tool);
        QFETCH(QString, title);
        QFETCH(QString, label);
        QFETCH(int, max);
        QFETCH(int, offered);
        EditInterface &editor = start();
        m_programDir->useFakeConverter();
        open(quartersPicture("p.png"));
        m_answers = QStringList{QStringLiteral("1"), Cancel};
        chooseTool(tool);
        waitForView();

        StdoutCapture capture;
        chooseTool(tool);
        const QStringList trace = capture.finish().split(u'\n');

        QCOMPARE(m_pickers.size(), 2);
        for (const Picker &picker : std::as_const(m_pickers)) {
            QCOMPARE(picker.title, title);
            QCOMPARE(picker.label, label);
            QCOMPARE(picker.min, 0);
            QCOMPARE(picker.max, max);
            QCOMPARE(picker.value, offered);
        }
        QCOMPARE(m_programDir->converterRuns().size(), 1);
        QCOMPARE(Probe::editMode(editor), int(EditInterface::MenuMode));
        QCOMPARE(Probe::toolIndex(editor), 7);
        QVERIFY(Probe::popupTimer(editor).isActive());
        QCOMPARE(Probe::shownFrame(editor).pixel(137, 109), 0xffffffffu);
        QCOMPARE(Probe::picPath(editor), workingCopy());
        QCOMPARE(trace.filter(QStringLiteral("index")),
                 QStringList(QStringLiteral("index %1").arg(tool)));
        QVERIFY(trace.filter(QStringLiteral("/convert")).isEmpty());
    }

    void realConverter_data()
    {
        QTest::addColumn<QStringList>("steps"); // a tool, or a tool and the number picked
        QTest::addColumn<QString>("shown");
        QTest::addColumn<QString>("lastCommand"); // as traced; empty when it is not
        QTest::newRow("rotate left swaps the sides")
                << QStringList{"2"} << "120x160 green/blue"
                << "<dir>/convert <pic> -rotate -90 <dir>/pxTemp.image";
        QTest::newRow("resize 50% halves them") << QStringList{"14=50"} << "80x60 red/white"
                                                << "";
        QTest::newRow("a second tool works on the working copy")
                << QStringList{"2", "3"} << "160x120 red/white"
                << "<dir>/convert <dir>/pxTemp.image -rotate 90 <dir>/pxTemp.image";
        QTest::newRow("a failure keeps the previous result")
                << QStringList{"2", "14=0"} << "120x160 green/blue"
                << "";
    }
    void realConverter()
    {
        QFETCH(QStringList, steps);
        QFETCH(QString, shown);
        QFETCH(QString, lastCommand);
        EditInterface &editor = start();
        const QString picture = quartersPicture("p.png");
        open(picture);

        QString trace;
        for (const QString &step : steps) {
            const QStringList parts = step.split(u'=');
            m_answers = parts.mid(1);
            StdoutCapture capture;
            chooseTool(parts.first().toInt());
            waitForView();
            trace = capture.finish();
        }

        QCOMPARE(describePicture(Probe::originPixmap(editor)), shown);
        QCOMPARE(describePicture(QImage(workingCopy())), shown);
        QCOMPARE(Probe::picPath(editor), workingCopy());
        if (!lastCommand.isEmpty()) {
            lastCommand.replace("<dir>", m_programDir->path()).replace("<pic>", picture);
            QVERIFY2(trace.split(u'\n').contains(lastCommand), qPrintable(trace));
        }
    }

    void cropCutsTheRectangleDrawn_data()
    {
        QTest::addColumn<QString>("format");
        QTest::newRow("jpeg") << "jpg";
        QTest::newRow("gif") << "gif";
    }
    void cropCutsTheRectangleDrawn()
    {
        QFETCH(QString, format);
        EditInterface &editor = start();
        const QString png = quartersPicture("p.png");
        const QString picture = m_pictures.filePath("p." + format);
        // Qt writes no GIFs; the converter beside the program does.
        QCOMPARE(QProcess::execute(m_programDir->filePath("convert"), {png, picture}), 0);
        open(picture);

        crop(QPoint(40, 30), QPoint(120, 90));
        waitForView();

        const QImage cut = Probe::originPixmap(editor);
        QCOMPARE(describePicture(cut), QStringLiteral("80x60 red/white"));
        QCOMPARE(describePicture(cut.mirrored(true, false)), QStringLiteral("80x60 green/blue"));
        if (format == "gif")
            QCOMPARE(cut.convertToFormat(QImage::Format_RGB32),
                     quarters(160, 120).copy(40, 30, 80, 60));
    }

    // What the user sees of a photo stored on its side is what gets cut.
    void turnedPhotoIsShownAndCutUpright()
    {
        EditInterface &editor = start();
        QImage stored(60, 40, QImage::Format_RGB32);
        stored.fill(Qt::blue);
        QPainter(&stored).fillRect(0, 0, 30, 40, Qt::red);
        const QString photo = m_pictures.filePath("turned.jpg");
        writeFile(photo, turnedJpeg(stored));
        open(photo);
        QCOMPARE(describePicture(Probe::originPixmap(editor)), QStringLiteral("40x60 red/blue"));

        crop(QPoint(10, 10), QPoint(30, 50));
        waitForView();

        QCOMPARE(describePicture(Probe::originPixmap(editor)), QStringLiteral("20x40 red/blue"));
    }

    void failuresKeepThePicture_data()
    {
        QTest::addColumn<QString>("converter");
        QTest::addColumn<bool>("afterSuccess");
        for (const bool afterSuccess : {false, true}) {
            const char *when = afterSuccess ? "after a success" : "first";
            for (const char *converter : {"missing", "fails", "killed", "writes nothing"}) {
                QTest::addRow("%s, %s", converter, when)
                        << QString::fromLatin1(converter) << afterSuccess;
            }
        }
    }
    void failuresKeepThePicture()
    {
        QFETCH(QString, converter);
        QFETCH(bool, afterSuccess);
        EditInterface &editor = start();
        open(quartersPicture("p.png"));
        if (afterSuccess) {
            chooseTool(2);
            waitForView();
        }
        const QString picPath = Probe::picPath(editor);
        const QString picture = describePicture(Probe::originPixmap(editor));
        const QByteArray workingCopyBytes = contents(workingCopy());
        if (converter == "missing")
            QVERIFY(QFile::remove(m_programDir->filePath("convert")));
        else if (converter == "fails")
            m_programDir->useFakeConverter(ProgramDir::Converter::Fails);
        else if (converter == "killed")
            m_programDir->useFakeConverter(ProgramDir::Converter::Killed);
        else
            m_programDir->useFakeConverter(ProgramDir::Converter::ExitsWithoutWriting);

        StdoutCapture capture;
        chooseTool(0);
        waitForView();
        const QStringList trace = capture.finish().split(u'\n');

        QCOMPARE(contents(workingCopy()), workingCopyBytes);
        const bool exitedWithZero = converter == "writes nothing";
        QVERIFY(trace.contains(exitedWithZero ? "operation successiful!" : "operation failure..."));
        QCOMPARE(Probe::picPath(editor), exitedWithZero ? workingCopy() : picPath);
        if (exitedWithZero && !afterSuccess) {
            QCOMPARE(Probe::originPixmap(editor).size(), QSize(320, 240));
            QCOMPARE(Probe::originPixmap(editor).pixel(0, 0), Gray);
        } else {
            QCOMPARE(describePicture(Probe::originPixmap(editor)), picture);
        }
    }
};

PICTALUX_TEST_MAIN(EditToolsTest)
#include "tst_edittools.moc"
