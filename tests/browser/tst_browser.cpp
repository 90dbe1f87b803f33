#include "platform/zapplication.h"
#include "testprobe.h"
#include "testsupport.h"

#include <unistd.h>

using Probe = TestProbe;

// The browser on a folder tree of its own, and the hand-over of the screen to the editor.
class BrowserTest : public QObject
{
    Q_OBJECT

private:
    ProgramDir m_programDir;
    QTemporaryDir m_tree;

    QString tree(const QString &name = QString()) const
    {
        return name.isEmpty() ? m_tree.path() : m_tree.filePath(name);
    }

    static std::unique_ptr<PxGui> browserOn(const QString &folder)
    {
        qputenv("PICTALUX_START_DIR", folder.toLocal8Bit());
        return std::make_unique<PxGui>();
    }

    static QStringList rows(const PxGui &browser) { return Probe::rows(Probe::fileList(browser)); }

private slots:
    void initTestCase()
    {
        for (const char *folder : {"beta", "Alpha", "10", ".hidden", "DCIM/inner", "gone"})
            QVERIFY(QDir(tree()).mkpath(folder));
        for (const char *file : {"zeta.txt", "Apple.jpg", ".dotfile", "DCIM/photo.jpg"})
            writeFile(tree(file), "x");
    }

    // Folders, then files, in character-code order, hidden ones too, each folder traced twice; a
    // folder gone meanwhile lists the back row alone, which climbs to "/" and stays there.
    void listsAndWalksTheFolders()
    {
        StdoutCapture capture;
        const auto browser = browserOn(tree());
        const QString trace = capture.finish();
        QCOMPARE(rows(*browser), QStringList({"..", ".hidden", "10", "Alpha", "DCIM", "beta",
                                              "gone", ".dotfile", "Apple.jpg", "zeta.txt"}));
        QCOMPARE(trace, tree() +
                                "\nDIR    .\nDIR    ..\nDIR    .hidden\nDIR    .hidden\nDIR    10\n"
                                "DIR    10\nDIR    Alpha\nDIR    Alpha\nDIR    DCIM\nDIR    DCIM\n"
                                "DIR    beta\nDIR    beta\nDIR    gone\nDIR    gone\n"
                                "FILE    .dotfile\nFILE    Apple.jpg\nFILE    zeta.txt\n");
        QVERIFY(QDir(tree()).rmdir("gone"));
        browser->itemSelected(rows(*browser).indexOf("gone"));
        QCOMPARE(rows(*browser), QStringList({".."}));
        QCOMPARE(Probe::fileList(*browser)->currentItem(), 0);
        for (int level = tree("gone").count('/'); level >= 0; --level)
            browser->itemSelected(0);
        QCOMPARE(Probe::curDir(*browser), QStringLiteral("/"));
        QVERIFY(rows(*browser).contains("tmp"));
    }

    // Edit composes the path on the back row or a folder; a file it hands over, browser hidden.
    void editComposesThePathAndHandsOnlyFilesOver()
    {
        const auto browser = browserOn(tree("DCIM"));
        browser->show();
        QSignalSpy handedOver(browser.get(), SIGNAL(pathInit()));
        QStringList paths;
        connect(browser.get(), &PxGui::pathInit, this, [&] { QVERIFY(!browser->isVisible()); });
        for (const int row : {0, 1, 2}) {
            Probe::fileList(*browser)->setCurrentItem(row);
            browser->edit();
            paths << browser->getPicPath() << QString::number(handedOver.count());
        }
        QCOMPARE(paths, QStringList({tree("DCIM/.."), "0", tree("DCIM/inner"), "0",
                                     tree("DCIM/photo.jpg"), "1"}));
    }

    // Unsaved edits make quitting and opening ask: Yes goes on, asked once; No changes nothing.
    void unsavedEditsAskFirst_data()
    {
        // Keys to the open menu, else to the list (the picture is two rows down); the menu's first
        // entry opens, its fourth quits. "close" is the window manager's close.
        QTest::addColumn<QString>("keys");
        QTest::addColumn<bool>("yes");
        for (const char *keys : {"Down Down Return", "Down Down F9 Return", "F9 F11 F11",
                                 "F9 Down Down Down Return", "close"}) {
            for (const bool yes : {true, false})
                QTest::addRow("%s, %s", keys, yes ? "Yes" : "No") << QString(keys) << yes;
        }
    }
    void unsavedEditsAskFirst()
    {
        QFETCH(QString, keys);
        QFETCH(bool, yes);
        const auto browser = browserOn(tree("DCIM"));
        browser->setPicPath(tree("edited.png"));
        browser->setUnsavedEdits(true);
        browser->show();
        QStringList questions;
        QObject context;
        QTimer::singleShot(0, &context, [&] {
            const auto pressKeys = [&] {
                if (keys == "close") {
                    browser->close();
                    return;
                }
                for (const QString &key : keys.split(' ')) {
                    QWidget *menu = QApplication::activePopupWidget();
                    QTest::keyClick(menu ? menu : Probe::fileList(*browser),
                                    QKeySequence(key)[0].key());
                }
            };
            questions = popupsDuring(pressKeys, yes ? Qt::Key_F9 : Qt::Key_F11);
            QTimer::singleShot(200, &context, [] { QCoreApplication::exit(2); });
        });
        const bool quit = zApp->exec() == 0;

        const bool opens = keys.startsWith("Down");
        const QString question = opens ? "Open another picture anyway?" : "Quit anyway?";
        QCOMPARE(questions,
                 QStringList("The edited picture is not saved. " + question + " [Yes/No]"));
        QCOMPARE(quit, yes && !opens);
        QCOMPARE(browser->getPicPath(), yes && opens ? tree("DCIM/photo.jpg") : tree("edited.png"));
        QCOMPARE(Probe::unsavedEdits(*browser), !yes);
    }

    // A folder that may not be read lists the back row alone, in the browser and in the save
    // dialog, and the back row leads out. Root reads every folder: tst_browser_as_user runs this.
    void unreadableFolder()
    {
        if (geteuid() == 0)
            QSKIP("root reads every folder");
        QTemporaryDir storage;
        QVERIFY(QDir(storage.path()).mkpath("locked/inner"));
        QVERIFY(QFile::setPermissions(storage.filePath("locked"), QFile::WriteOwner));
        // Opened again, so that the folder can go whatever this test finds.
        const auto unlock = qScopeGuard([&] {
            QFile::setPermissions(storage.filePath("locked"),
                                  QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        });
        const auto browser = browserOn(storage.filePath("locked"));
        QCOMPARE(rows(*browser), QStringList({".."}));
        browser->itemSelected(0);
        QCOMPARE(rows(*browser), QStringList({"..", "locked"}));
        FileSaveDialog dialog(storage.filePath("locked"), storage.filePath("locked/inner"));
        QCOMPARE(Probe::rows(Probe::folderList(dialog)), QStringList({".."}));
    }
};

PICTALUX_TEST_MAIN(BrowserTest)
#include "tst_browser.moc"
