#include "platform/zcombobox.h"
#include "platform/zlabel.h"
#include "platform/zlineedit.h"
#include "testprobe.h"
#include "testsupport.h"

#include <QImageReader>

using Probe = TestProbe;

struct Dialog : MyBaseDlg
{
    using MyBaseDlg::done; // ends runs as subclasses do
};

class FileSaveTest : public QObject
{
    Q_OBJECT

private:
    ProgramDir m_programDir;
    QTemporaryDir m_tree;
    const QString m_deep = "list/DCIM/" + QString(80, u'w'); // too long for the folder line

    QString tree(const QString &name = QString()) const { return m_tree.filePath(name); }

private slots:
    void initTestCase()
    {
        for (const QString &folder :
             QStringList{"list/beta", "list/Alpha", "list/10", "list/.hidden", m_deep})
            QVERIFY(QDir(tree()).mkpath(folder));
        writeFile(tree("list/zeta.txt"));
        writeFile(tree("broken.png"), "not a picture");
        QVERIFY(quarters(16, 12).save(tree("source.png")));
    }

    // done() ends the run of its own dialog only.
    void modalRuns()
    {
        Dialog dialog, idle;
        idle.show();
        QTimer::singleShot(0, &dialog, [&] {
            idle.done(3);
            QTimer::singleShot(0, &dialog, [&] { dialog.done(5); });
        });
        QCOMPARE(dialog.exec(), 5);
    }

    // Up and Down walk name, type and folder list, which gives Up back from its first row. Folders
    // only, not hidden, in character-code order, up to "/" and down, the folder line following
    // (with its blank once the user went down); a deep folder shows the end of its path.
    void browsesFolders()
    {
        FileSaveDialog dialog(tree("list"), tree("source.png"));
        dialog.show();
        const QMap<QWidget *, QString> fields = {{Probe::nameEdit(dialog)->focusProxy(), "name"},
                                                 {Probe::typeCombo(dialog)->focusProxy(), "type"},
                                                 {Probe::folderList(dialog), "list"}};
        QStringList route;
        for (const Qt::Key key : {Qt::Key_Up, Qt::Key_Down, Qt::Key_Down, Qt::Key_Down, Qt::Key_Up,
                                  Qt::Key_Up, Qt::Key_Up, Qt::Key_Up}) {
            QTest::keyClick(dialog.focusWidget(), key);
            route.append(fields.value(dialog.focusWidget()) +
                         QString::number(Probe::folderList(dialog)->currentItem()));
        }
        QCOMPARE(route, QStringList({"name0", "type0", "list0", "list1", "list0", "type0", "name0",
                                     "name0"}));
        const ZLabel *folderLine = Probe::folderLabel(dialog);
        QCOMPARE(Probe::rows(Probe::folderList(dialog)),
                 QStringList({"..", "10", "Alpha", "DCIM", "beta"}));
        QCOMPARE(folderLine->text(), "Folder:" + tree("list"));
        QString folder = tree("list");
        for (int step = 0; step <= tree("list").count('/'); ++step) {
            folder = QFileInfo(folder).path();
            choose(Probe::folderList(dialog), "..");
            QCOMPARE(folderLine->text(), "Folder:" + folder);
        }
        folder.clear();
        for (const QString &name : tree(m_deep).split('/', Qt::SkipEmptyParts)) {
            choose(Probe::folderList(dialog), name);
            folder += '/' + name;
            QCOMPARE(folderLine->text(), "Folder: " + folder);
        }
        const QFontMetrics metrics = folderLine->fontMetrics();
        QLabel end("Folder:" + metrics.elidedText(folderLine->text().mid(7), Qt::ElideLeft,
                                                  folderLine->contentsRect().width() -
                                                          metrics.horizontalAdvance("Folder:")));
        end.setFont(folderLine->font());
        end.setPalette(folderLine->palette());
        end.resize(folderLine->size());
        const auto pixels = [](QWidget *label) {
            return label->grab().toImage().convertToFormat(QImage::Format_RGB32);
        };
        QVERIFY(end.text().startsWith(u"Folder:…") && end.text().endsWith(u'w'));
        QCOMPARE(pixels(const_cast<ZLabel *>(folderLine)), pixels(&end));
    }

    // OK, pressed twice, with the real converter: the name rule, types, replacing, failures.
    void saves_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("type");
        QTest::addColumn<Qt::Key>("answer");     // to every popup
        QTest::addColumn<bool>("fails");         // the source is no picture
        QTest::addColumn<QString>("file");       // what the converter writes; empty where not run
        QTest::addColumn<QStringList>("popups"); // at each press
        const auto row = [](const char *tag, const QString &name, int type, const QString &file) {
            QTest::newRow(tag) << name << type << Qt::Key_Return << false << file
                               << (file.isEmpty() ? QStringList("Invalid file name!")
                                                  : QStringList());
        };
        const QString bytes127 = QString("写").repeated(42) + 'a';
        row("empty", "", 0, "");
        row("blanks only", " \t ", 0, "");
        row("zero byte", QString("a") + QChar(0) + 'b', 0, "");
        for (const char refused : QByteArrayView("\"*/:<>?\\|"))
            row(qPrintable(QString("refused ") + refused), 'a' + QString(refused), 0, "");
        row("127 bytes", bytes127, 0, bytes127 + ".jpg");
        row("128 bytes", bytes127 + 'b', 0, "");
        row("dots", "..", 0, "...jpg");
        row("trimmed, non-ASCII", "  Grüße 写真 Tom's 100% ", 1, "Grüße 写真 Tom's 100%.jpeg");
        row("gif", "p", 3, "p.gif");
        row("bmp", "p", 4, "p.bmp");
        const QStringList replace = {"old.png already exists. Replace it? [Yes/No]"};
        QTest::newRow("replace: Yes") << "old" << 2 << Qt::Key_F9 << false << "old.png" << replace;
        QTest::newRow("replace: No") << "old" << 2 << Qt::Key_F11 << false << "" << replace;
        // A folder of that name is no picture to replace, and the converter fails on it.
        QTest::newRow("onto a folder") << "folder" << 2 << Qt::Key_Return << false << ""
                                       << QStringList("File save failure!");
        QTest::newRow("replace, fails") << "old" << 2 << Qt::Key_F9 << true << "old.png"
                                        << replace + QStringList("File save failure!");
    }
    void saves()
    {
        QFETCH(QString, name);
        QFETCH(int, type);
        QFETCH(Qt::Key, answer);
        QFETCH(bool, fails);
        QFETCH(QString, file);
        QFETCH(QStringList, popups);
        QTemporaryDir folder;
        writeFile(folder.filePath("old.png"), "old bytes");
        QVERIFY(QDir(folder.path()).mkdir("folder.png"));
        FileSaveDialog dialog(folder.path(), tree(fails ? "broken.png" : "source.png"));
        Probe::nameEdit(dialog)->setText(name);
        dialog.itemActivated(type);
        dialog.show();
        const QStringList shown = popupsDuring(
                [&] {
                    for (int press = 0; press < 2 && dialog.isVisible(); ++press)
                        QTest::keyClick(&dialog, Qt::Key_F9);
                },
                answer);

        const bool saved = !file.isEmpty() && !fails;
        QCOMPARE(shown, saved ? popups : popups + popups);
        QCOMPARE(dialog.isVisible(), !saved);
        QStringList files = QDir(folder.path()).entryList(QDir::Files | QDir::Hidden);
        QCOMPARE(QSet<QString>(files.cbegin(), files.cend()),
                 QSet<QString>({"old.png", saved ? file : "old.png"}));
        QCOMPARE(readFile(folder.filePath("old.png")) == "old bytes", !saved || file != "old.png");
        const QString format = QFileInfo(file).suffix().replace("jpg", "jpeg");
        QCOMPARE(QImageReader::imageFormat(folder.filePath(file)), saved ? format.toLatin1() : "");
    }

    // F11 stops the converter, other keys dropped, nothing written; at "/" with a single slash.
    void aStoppedSaveChangesNothing()
    {
        ProgramDir programDir;
        programDir.useFakeConverter(ProgramDir::Converter::ExitsWithoutWriting, 2);
        FileSaveDialog dialog("/", tree("source.png"));
        Probe::nameEdit(dialog)->setText("stopped");
        dialog.show();
        QTimer::singleShot(300, &dialog, [&] {
            QTest::keyClick(&dialog, Qt::Key_F9);
            QTest::keyClick(&dialog, Qt::Key_F11);
        });
        StdoutCapture capture;
        const QStringList popups = popupsDuring([&] { QTest::keyClick(&dialog, Qt::Key_F9); });
        const QStringList trace = capture.finish().split('\n').filter("file save");

        QCOMPARE(popups, QStringList());
        QCOMPARE(trace, QStringList({"file save command:" + programDir.filePath("convert ") +
                                             tree("source.png ") + "/stopped.jpg",
                                     "file save cancelled"}));
        QCOMPARE(programDir.converterRuns().size(), 1);
        QVERIFY(dialog.isVisible());
    }
};

PICTALUX_TEST_MAIN(FileSaveTest)
#include "tst_filesave.moc"
