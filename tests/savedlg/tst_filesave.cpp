#include "platform/zapplication.h"
#include "platform/zcombobox.h"
#include "platform/zlabel.h"
#include "platform/zlineedit.h"
#include "platform/zmessagedlg.h"
#include "platform/zsoftkey.h"
#include "testprobe.h"
#include "testsupport.h"

#include <functional>

struct Dialog : MyBaseDlg
{
    using MyBaseDlg::accept, MyBaseDlg::done, MyBaseDlg::reject; // ends runs as subclasses do
};

// Runs the action, answering each message popup it opens with the key, and returns the popups'
// texts; a question's are followed by its two keys, as in "Go? [Yes/No]".
static QStringList popupsDuring(const std::function<void()> &action,
                                Qt::Key answer = Qt::Key_Return)
{
    QStringList texts;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (auto *popup = qobject_cast<ZMessageDlg *>(QApplication::activeModalWidget())) {
            const ZSoftKey *keys = popup->findChild<ZSoftKey *>();
            texts.append(keys->text(1).isEmpty()
                                 ? popup->text()
                                 : QStringLiteral("%1 [%2/%3]")
                                           .arg(popup->text(), keys->text(0), keys->text(1)));
            QTest::keyClick(popup, answer);
        }
    });
    poll.start(5);
    action();
    return texts;
}

class FileSaveTest : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_tree;

    QString tree(const QString &name = QString()) const { return m_tree.filePath(name); }

    // Chooses a row of the folder list as the user does: highlight it, press Return.
    static void choose(const FileSaveDialog &dialog, const QString &row)
    {
        ZListBox *list = TestProbe::folderList(dialog);
        list->setCurrentItem(TestProbe::rows(list).indexOf(row));
        QTest::keyClick(list, Qt::Key_Return);
    }

private slots:
    void initTestCase()
    {
        for (const char *folder : {"beta", "Alpha", "10", ".hidden", "DCIM/inner"})
            QVERIFY(QDir(tree("list")).mkpath(folder));
        writeFile(tree("list/zeta.txt"));
        writeFile(tree("broken.png"), "not a picture");
        QVERIFY(quarters(16, 12).save(tree("source.png")));
    }

    void modalRunResults()
    {
        Dialog dialog, idle;
        // Each ending acts from a timer inside the run's nested loop.
        const auto run = [&](const std::function<void()> &ending) {
            QTimer::singleShot(0, &dialog, ending);
            return dialog.exec();
        };
        QCOMPARE(run([&] { dialog.accept(); }), 1);
        QCOMPARE(run([&] { dialog.reject(); }), 0);
        QCOMPARE(run([&] { dialog.done(5); }), 5);
        QCOMPARE(run([&] {
                     dialog.done(2);
                     dialog.done(7);
                 }),
                 7);
        // done() on a dialog that is not running must leave this run going.
        QCOMPARE(run([&] {
                     idle.done(3);
                     QTimer::singleShot(0, &dialog, [&] { dialog.accept(); });
                 }),
                 1);
        QCOMPARE(TestProbe::result(idle), 3);
        QVERIFY(!dialog.isVisible() && !TestProbe::inLoop(dialog));
        QCOMPARE(dialog.windowModality(), Qt::ApplicationModal);

        // The main widget's done() quits the application; 1 would mean it did not.
        zApp->setMainWidget(&dialog);
        QTimer::singleShot(0, &dialog, [&] { run([&] { dialog.accept(); }); });
        QTimer::singleShot(5000, &dialog, [] { QCoreApplication::exit(1); });
        QCOMPARE(zApp->exec(), 0);
        zApp->setMainWidget(nullptr);
    }

    void browsesFoldersAndTypes()
    {
        ProgramDir programDir;
        writeFile(programDir.filePath("lng/English.lng"), "[UI_MENU]\nUI_FILE_FOLDER = Where>\n");
        FileSaveDialog dialog(tree("list"), tree("source.png"));
        const auto folderLine = [&] { return TestProbe::folderLabel(dialog)->text(); };
        // Folders only, no hidden ones, in character-code order.
        QCOMPARE(TestProbe::rows(TestProbe::folderList(dialog)),
                 QStringList({"..", "10", "Alpha", "DCIM", "beta"}));
        QCOMPARE(folderLine(), "Where>" + tree("list"));
        // Up to "/", where going up once more stays, then back down.
        QString folder = tree("list");
        for (int step = 0; step <= tree("list").count('/'); ++step) {
            folder = QFileInfo(folder).path();
            choose(dialog, "..");
            QCOMPARE(folderLine(), "Where>" + folder);
        }
        folder.clear();
        for (const QString &name : tree("list/DCIM/inner").split('/', Qt::SkipEmptyParts)) {
            choose(dialog, name);
            folder += '/' + name;
            QCOMPARE(folderLine(), "Where> " + folder);
        }

        QStringList types;
        for (int index = 0; index < TestProbe::typeCombo(dialog)->count(); ++index)
            types.append(TestProbe::typeCombo(dialog)->text(index));
        QCOMPARE(types, QStringList({".jpg", ".jpeg", ".png", ".gif", ".bmp", ".*"}));
    }

    void eachSaveOpensAFreshDialogOnTheBrowsersFolder()
    {
        qputenv("PICTALUX_START_DIR", tree("list").toUtf8());
        PxGui browser;
        browser.setPicPath(tree("source.png"));
        QStringList opened;
        for (int run = 0; run < 2; ++run) {
            answerModal([&](QWidget *modal) {
                auto *dialog = qobject_cast<FileSaveDialog *>(modal);
                opened.append(TestProbe::curDir(*dialog) + TestProbe::nameEdit(*dialog)->text() +
                              TestProbe::fileType(*dialog));
                // Choices that must not carry over to the next dialog.
                TestProbe::nameEdit(*dialog)->setText("photo");
                dialog->itemActivated(2);
                choose(*dialog, "DCIM");
                QTest::keyClick(modal, Qt::Key_F11);
            });
            browser.fileSaveAs();
        }
        QCOMPARE(opened, QStringList(2, tree("list") + ".jpg"));
    }

    void nameRule_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("saved"); // the file the converter is given; none if refused
        const QString bytes127 = QString("写").repeated(42) + 'a';
        QTest::newRow("empty") << "" << QString();
        QTest::newRow("blanks only") << " \t " << QString();
        QTest::newRow("zero byte") << QString("a") + QChar(0) + 'b' << QString();
        for (const char refused : QByteArrayView("\"*/:<>?\\|"))
            QTest::addRow("refused %c", refused) << 'a' + QString(QChar(refused)) << QString();
        QTest::newRow("127 bytes") << bytes127 << bytes127 + ".jpg";
        QTest::newRow("128 bytes") << bytes127 + 'b' << QString();
        QTest::newRow("dots") << QString("..") << "...jpg";
        QTest::newRow("blanks, non-ASCII") << QString(" Grüße 写真 ") << "Grüße 写真.jpg";
        QTest::newRow("apostrophe, percent") << QString("Tom's 100% $(x)") << "Tom's 100% $(x).jpg";
    }
    void nameRule()
    {
        QFETCH(QString, name);
        QFETCH(QString, saved);
        // Shell syntax in the paths must reach the converter as plain text.
        const QString folder = tree("it's \"odd\" $(touch PWNED) `touch PWNED`; & | \n ü");
        ProgramDir programDir("it's $(x) `y`");
        programDir.useFakeConverter(ProgramDir::Converter::ExitsWithoutWriting);
        FileSaveDialog dialog(folder, tree("source.png"));
        TestProbe::nameEdit(dialog)->setText(name);
        const QStringList popups = popupsDuring([&] { dialog.fileSaveOk(); });
        const QList<QStringList> run = {{tree("source.png"), folder + '/' + saved}};
        QCOMPARE(programDir.converterRuns(), saved.isNull() ? QList<QStringList>() : run);
        QCOMPARE(popups, saved.isNull() ? QStringList{"Invalid file name!"} : QStringList());
    }

    void savesWithTheRealConverter_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("type");
        QTest::addColumn<QByteArray>("magic");
        const QByteArray jpeg("\xFF\xD8\xFF"), png("\x89PNG\r\n\x1A\n"), gif("GIF8");
        // Each row's tag is the file the save must write.
        QTest::newRow("p.jpg") << "p" << 0 << jpeg;
        QTest::newRow("p.jpeg") << "p" << 1 << jpeg;
        QTest::newRow("p.png") << "p" << 2 << png;
        QTest::newRow("p.gif") << "p" << 3 << gif;
        QTest::newRow("p.bmp") << "p" << 4 << QByteArray("BM");
        QTest::newRow("q.gif") << "q.gif" << 5 << gif;
        QTest::newRow("p%d.png") << "p%d.png" << 5 << png;
    }
    void savesWithTheRealConverter()
    {
        QFETCH(QString, name);
        QFETCH(int, type);
        QFETCH(QByteArray, magic);
        ProgramDir programDir;
        FileSaveDialog dialog(tree(), tree("source.png"));
        TestProbe::nameEdit(dialog)->setText(name);
        dialog.itemActivated(type);
        popupsDuring([&] { dialog.fileSaveOk(); });
        QFile file(tree(QTest::currentDataTag()));
        QVERIFY(file.open(QIODevice::ReadOnly));
        QVERIFY(file.readAll().startsWith(magic));
    }

    // Keys given while the converter runs are dropped; F11 stops it, and the dialog stays open
    // with nothing written.
    void aStoppedSaveChangesNothing()
    {
        ProgramDir programDir;
        programDir.useFakeConverter(ProgramDir::Converter::Copies, 2);
        FileSaveDialog dialog(tree("list"), tree("source.png"));
        TestProbe::nameEdit(dialog)->setText("stopped");
        dialog.show();
        QTimer::singleShot(300, &dialog, [&] {
            QTest::keyClick(&dialog, Qt::Key_F9);
            QTest::keyClick(&dialog, Qt::Key_F11);
        });
        const QStringList popups = popupsDuring([&] { QTest::keyClick(&dialog, Qt::Key_F9); });

        QCOMPARE(popups, QStringList());
        QCOMPARE(programDir.converterRuns().size(), 1);
        QVERIFY(dialog.isVisible());
        QVERIFY(!QFile::exists(tree("list/stopped.jpg")));
    }

    // An existing picture is replaced only after Yes; No, the right soft key, and Escape leave
    // the dialog as it was, with nothing run.
    void replacingAPictureAsksFirst_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<Qt::Key>("answer");
        QTest::addColumn<bool>("saves");
        QTest::newRow("new name: no question") << "new" << Qt::Key_F11 << true;
        QTest::newRow("Yes (left soft key)") << "old" << Qt::Key_F9 << true;
        QTest::newRow("No (right soft key)") << "old" << Qt::Key_F11 << false;
        QTest::newRow("Escape") << "old" << Qt::Key_Escape << false;
    }
    void replacingAPictureAsksFirst()
    {
        QFETCH(QString, name);
        QFETCH(Qt::Key, answer);
        QFETCH(bool, saves);
        ProgramDir programDir;
        programDir.useFakeConverter(ProgramDir::Converter::Copies);
        QTemporaryDir folder;
        writeFile(folder.filePath("old.png"), "old bytes");
        FileSaveDialog dialog(folder.path(), tree("source.png"));
        TestProbe::nameEdit(dialog)->setText(name);
        dialog.itemActivated(2);
        dialog.show();
        StdoutCapture capture;
        const QStringList popups =
                popupsDuring([&] { QTest::keyClick(&dialog, Qt::Key_F9); }, answer);
        const QStringList trace = capture.finish().split('\n').filter("file save command:");

        const QString saved = folder.filePath(name + ".png");
        QCOMPARE(popups, name == "new"
                                 ? QStringList()
                                 : QStringList{"old.png already exists. Replace it? [Yes/No]"});
        QCOMPARE(dialog.isVisible(), !saves);
        QCOMPARE(trace, saves ? QStringList{"file save command:" + programDir.filePath("convert ") +
                                            tree("source.png ") + saved}
                              : QStringList());
        QCOMPARE(TestProbe::nameEdit(dialog)->text() + TestProbe::fileType(dialog), name + ".png");
        QCOMPARE(TestProbe::curDir(dialog), folder.path());
    }

    // Up and Down walk the name, the type and the folder list; the list keeps them for its rows
    // and gives Up back from its first row.
    void keysWalkTheFields()
    {
        FileSaveDialog dialog(tree("list"), tree("source.png"));
        dialog.show();
        const QMap<QWidget *, QString> fields = {
                {TestProbe::nameEdit(dialog)->focusProxy(), "name"},
                {TestProbe::typeCombo(dialog)->focusProxy(), "type"},
                {TestProbe::folderList(dialog), "list"}};
        QStringList route;
        for (const Qt::Key key : {Qt::Key_Up, Qt::Key_Down, Qt::Key_Down, Qt::Key_Down, Qt::Key_Up,
                                  Qt::Key_Up, Qt::Key_Up, Qt::Key_Up}) {
            QTest::keyClick(dialog.focusWidget(), key);
            route.append(fields.value(dialog.focusWidget()) +
                         QString::number(TestProbe::folderList(dialog)->currentItem()));
        }
        QCOMPARE(route, QStringList({"name0", "type0", "list0", "list1", "list0", "type0", "name0",
                                     "name0"}));
        QCOMPARE(TestProbe::fileType(dialog), ".jpg");
    }

    void aFailedSaveChangesNothing()
    {
        ProgramDir programDir;
        writeFile(tree("list/DCIM/photo.gif"), "old bytes");
        FileSaveDialog dialog(tree("list"), tree("broken.png"));
        TestProbe::nameEdit(dialog)->setText(" photo");
        choose(dialog, "DCIM");
        for (int step = 0; step < 3; ++step)
            QTest::keyClick(TestProbe::typeCombo(dialog)->focusProxy(), Qt::Key_Right);
        dialog.show();
        StdoutCapture capture;
        const QStringList popups = popupsDuring([&] {
            QTest::keyClick(&dialog, Qt::Key_F9);
            QTest::keyClick(&dialog, Qt::Key_F9);
        });
        // The test library's own warnings share the output; only the trace lines count.
        const QStringList trace = capture.finish().split('\n').filter("file save command:");

        const QStringList attempt = {"photo.gif already exists. Replace it? [Yes/No]",
                                     "File save failure!"};
        QCOMPARE(popups, attempt + attempt);
        QVERIFY(dialog.isVisible());
        QCOMPARE(trace, QStringList(2, "file save command:" + programDir.filePath("convert ") +
                                               tree("broken.png ") + tree("list/DCIM/photo.gif")));
        QCOMPARE(QDir(tree("list/DCIM")).entryList(QDir::Files | QDir::Hidden), {"photo.gif"});
        QFile file(tree("list/DCIM/photo.gif"));
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), QByteArray("old bytes"));
    }
};

PICTALUX_TEST_MAIN(FileSaveTest)
#include "tst_filesave.moc"
