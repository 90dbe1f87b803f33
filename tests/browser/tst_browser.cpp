#include "platform/filename.h"
#include "platform/version.h"
#include "platform/zapplication.h"
#include "platform/zlineedit.h"
#include "platform/zmessagedlg.h"
#include "platform/zoptionsmenu.h"
#include "testprobe.h"
#include "testsupport.h"

#include <QPointer>

#include <cstdio>

#include <sys/stat.h>

using FileName::decodeName;

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

    std::unique_ptr<PxGui> browserOn(const QString &folder, QString *trace = nullptr)
    {
        qputenv("PICTALUX_START_DIR", folder.toLocal8Bit());
        StdoutCapture capture;
        auto browser = std::make_unique<PxGui>();
        const QString output = capture.finish();
        if (trace)
            *trace = output;
        return browser;
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

    void listsFoldersThenFilesInCharacterCodeOrder()
    {
        QString trace;
        const auto browser = browserOn(tree(), &trace);
        QCOMPARE(rows(*browser), QStringList({"..", ".hidden", "10", "Alpha", "DCIM", "beta",
                                              "gone", ".dotfile", "Apple.jpg", "zeta.txt"}));
        QCOMPARE(trace, tree() +
                                "\nDIR    .\nDIR    ..\nDIR    .hidden\nDIR    .hidden\nDIR    10\n"
                                "DIR    10\nDIR    Alpha\nDIR    Alpha\nDIR    DCIM\nDIR    DCIM\n"
                                "DIR    beta\nDIR    beta\nDIR    gone\nDIR    gone\n"
                                "FILE    .dotfile\nFILE    Apple.jpg\nFILE    zeta.txt\n");
    }

    void walksIntoFoldersAndBackToTheRoot()
    {
        const auto browser = browserOn(tree());
        QVERIFY(QDir(tree()).rmdir("gone"));
        browser->itemSelected(rows(*browser).indexOf("gone"));
        QCOMPARE(rows(*browser), QStringList({".."}));
        QCOMPARE(Probe::fileList(*browser)->currentItem(), 0);
        browser->itemSelected(0);
        browser->itemSelected(rows(*browser).indexOf("DCIM"));
        QCOMPARE(Probe::curDir(*browser), tree("DCIM"));
        QCOMPARE(rows(*browser), QStringList({"..", "inner", "photo.jpg"}));
        for (int level = tree("DCIM").count('/'); level > 0; --level)
            browser->itemSelected(0);
        QCOMPARE(Probe::curDir(*browser), QStringLiteral("/"));
        browser->itemSelected(0);
        QCOMPARE(Probe::curDir(*browser), QStringLiteral("/"));
        QVERIFY(rows(*browser).contains("tmp"));
    }

    void editComposesThePathAndHandsOnlyFilesOver()
    {
        const auto browser = browserOn(tree("DCIM"));
        QSignalSpy handedOver(browser.get(), SIGNAL(pathInit()));
        for (const int row : {0, 1}) {
            Probe::fileList(*browser)->setCurrentItem(row);
            browser->edit();
        }
        QCOMPARE(browser->getPicPath(), tree("DCIM/inner"));
        QCOMPARE(handedOver.count(), 0);
        browser->show();
        Probe::fileList(*browser)->setCurrentItem(2);
        connect(browser.get(), &PxGui::pathInit, this, [&] { QVERIFY(!browser->isVisible()); });
        browser->edit();
        QCOMPARE(handedOver.count(), 1);
        QCOMPARE(browser->getPicPath(), tree("DCIM/photo.jpg"));
    }

    void choosingAFileHandsTheScreenToTheEditor()
    {
        qputenv("PICTALUX_START_DIR", tree("DCIM").toLocal8Bit());
        QPointer<PxGui> browser;
        {
            EditInterface editor;
            browser = Probe::browser(editor);
            QVERIFY(browser->isVisible() && !editor.isVisible());
            QCOMPARE(Probe::editMode(editor), int(EditInterface::NoMode));
            for (int choice = 0; choice < 2; ++choice) {
                browser->show();
                StdoutCapture capture;
                browser->itemSelected(2);
                QCOMPARE(capture.finish().count("yes,I received the picture path signal"), 1);
                QVERIFY(editor.isVisible() && !browser->isVisible());
                QCOMPARE(Probe::picPath(editor), tree("DCIM/photo.jpg"));
            }
        }
        QVERIFY(!browser);
    }

    void popupsAndQuit()
    {
        const auto browser = browserOn(tree());
        QStringList texts;
        const auto readPopup = [&texts](QWidget *modal) {
            texts.append(qobject_cast<ZMessageDlg *>(modal)->text());
            QTest::keyClick(modal, Qt::Key_Return);
        };
        answerModal(readPopup);
        browser->about();
        answerModal(readPopup);
        browser->fileSaveAs();
        QCOMPARE(texts.at(0), "Pictalux for ROKR E8\nUI code by the Pictalux team\nArtistic design "
                              "by the Pictalux team\nVersion " PICTALUX_VERSION "\n");
        QCOMPARE(texts.at(1), QStringLiteral("Please select a valid file!"));

        browser->show();
        QTimer::singleShot(0, [&] {
            QTest::keyClick(browser.get(), Qt::Key_F9);
            for (const Qt::Key key : {Qt::Key_Down, Qt::Key_Down, Qt::Key_Down, Qt::Key_Return})
                QTest::keyClick(Probe::optionsMenu(*browser), key);
        });
        QTimer::singleShot(5000, [] { QCoreApplication::exit(1); });
        QCOMPARE(zApp->exec(), 0);
    }

    // While edits are unsaved, quitting and choosing another picture ask first: Yes goes on and
    // is not asked again, No leaves everything as it was.
    void unsavedEditsAskFirst_data()
    {
        // Keys to the open menu, else to the list; those that choose the picture start by going
        // down to its row.
        QTest::addColumn<QString>("keys");
        QTest::addColumn<bool>("yes");
        for (const char *keys :
             {"Down Down Return", "Down Down F9 Return", "F11", "F9 Down Down Down Return"}) {
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
        QSignalSpy handedOver(browser.get(), SIGNAL(pathInit()));
        QStringList questions;
        answerModal([&](QWidget *modal) {
            questions.append(qobject_cast<ZMessageDlg *>(modal)->text());
            QTest::keyClick(modal, yes ? Qt::Key_F9 : Qt::Key_F11);
        });
        QObject context;
        QTimer::singleShot(0, &context, [&] {
            for (const QString &key : keys.split(' ')) {
                QWidget *menu = QApplication::activePopupWidget();
                QTest::keyClick(menu ? menu : Probe::fileList(*browser),
                                QKeySequence(key)[0].key());
            }
            QTimer::singleShot(200, &context, [] { QCoreApplication::exit(2); });
        });
        const bool quit = zApp->exec() == 0;

        const bool opens = keys.startsWith("Down");
        QCOMPARE(questions, QStringList(opens ? "The edited picture is not saved. Open another "
                                                "picture anyway?"
                                              : "The edited picture is not saved. Quit anyway?"));
        QCOMPARE(quit, yes && !opens);
        QCOMPARE(handedOver.count(), int(yes && opens));
        QCOMPARE(browser->getPicPath(), yes && opens ? tree("DCIM/photo.jpg") : tree("edited.png"));
        QCOMPARE(Probe::unsavedEdits(*browser), !yes);
    }

    // A picture and a folder whose names are not UTF-8: listed (the bytes escaped on screen,
    // raw in the trace), opened, mirrored through the converter's command line and saved into
    // that folder, which the browser then lists with the saved file lit, for Edit to open it.
    void namesThatAreNotText()
    {
        ProgramDir programDir;
        QTemporaryDir storage;
        const QByteArray root = QFile::encodeName(storage.path()) + '/';
        QCOMPARE(::mkdir((root + "d\xE9j\xE0").constData(), 0700), 0);
        QVERIFY(quarters(16, 12).save(storage.filePath("plain.png")));
        QCOMPARE(std::rename((root + "plain.png").constData(), (root + "caf\xE9.png").constData()),
                 0);
        const QString folder = decodeName("d\xE9j\xE0"), picture = decodeName("caf\xE9.png");
        qputenv("PICTALUX_START_DIR", root);

        StdoutCapture capture;
        EditInterface editor;
        PxGui &browser = *Probe::browser(editor);
        QCOMPARE(rows(browser), QStringList({"..", folder, picture}));
        QCOMPARE(Probe::fileList(browser)->item(2)->text(), "caf\\xE9.png");
        browser.itemSelected(2);
        QTRY_COMPARE(Probe::editMode(editor), int(EditInterface::ViewMode));
        Probe::toolIndex(editor) = 0;
        editor.execCommand();
        QTRY_COMPARE(Probe::editMode(editor), int(EditInterface::ViewMode));
        browser.setUnsavedEdits(true);
        answerModal([&](QWidget *modal) {
            auto *dialog = qobject_cast<FileSaveDialog *>(modal);
            ZListBox *list = Probe::folderList(*dialog);
            list->setCurrentItem(Probe::rows(list).indexOf(folder));
            QTest::keyClick(list, Qt::Key_Return);
            Probe::nameEdit(*dialog)->setText("saved");
            dialog->itemActivated(2);
            QTest::keyClick(modal, Qt::Key_F9);
        });
        browser.fileSaveAs();
        const QString trace = capture.finish();
        const QString saved = storage.filePath(folder + "/saved.png");
        for (const QString &line : {"DIR    " + folder, "FILE    " + picture,
                                    "'" + storage.filePath(picture) + "' -flop ", saved + "'"})
            QVERIFY2(trace.contains(line), qPrintable(FileName::displayName(line)));

        QCOMPARE(Probe::curDir(browser), storage.filePath(folder));
        QCOMPARE(rows(browser).value(Probe::fileList(browser)->currentItem()), "saved.png");
        QVERIFY(!Probe::unsavedEdits(browser));
        browser.edit();
        QTRY_COMPARE(Probe::picPath(editor), saved);
        QTRY_COMPARE(Probe::editMode(editor), int(EditInterface::ViewMode));
        QCOMPARE(describePicture(Probe::originPixmap(editor)), "16x12 green/blue");
    }
};

PICTALUX_TEST_MAIN(BrowserTest)
#include "tst_browser.moc"
