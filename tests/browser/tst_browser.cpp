#include "browser/folderlisting.h"
#include "platform/zapplication.h"
#include "platform/zmessagedlg.h"
#include "platform/zoptionsmenu.h"
#include "testprobe.h"
#include "testsupport.h"

#include <QDir>

#include <unistd.h>

class BrowserTest : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_tree;
    ProgramDir m_programDir;

    QString tree(const QString &name = QString()) const
    {
        return name.isEmpty() ? m_tree.path() : m_tree.filePath(name);
    }

    // A browser listing the given folder, made while the trace is captured.
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

private slots:
    void initTestCase()
    {
        for (const char *folder : {"beta", "Alpha", "10", ".hidden", "DCIM/inner"})
            QVERIFY(QDir(tree()).mkpath(QLatin1String(folder)));
        for (const char *file : {"zeta.txt", "Apple.jpg", "2.png", ".dotfile", "DCIM/photo.jpg"})
            writeFile(tree(QLatin1String(file)), "x");
    }

    void listsFoldersThenFilesInCharacterCodeOrder()
    {
        QString trace;
        const auto browser = browserOn(tree(), &trace);
        QCOMPARE(TestProbe::rows(TestProbe::fileList(*browser)),
                 QStringList({"..", ".hidden", "10", "Alpha", "DCIM", "beta", ".dotfile", "2.png",
                              "Apple.jpg", "zeta.txt"}));
        QCOMPARE(TestProbe::fileList(*browser)->currentItem(), 0);
        const QString expected =
                tree() +
                "\n"
                "DIR    .\nDIR    ..\n"
                "DIR    .hidden\nDIR    .hidden\nDIR    10\nDIR    10\nDIR    Alpha\nDIR    Alpha\n"
                "DIR    DCIM\nDIR    DCIM\nDIR    beta\nDIR    beta\n"
                "FILE    .dotfile\nFILE    2.png\nFILE    Apple.jpg\nFILE    zeta.txt\n";
        QCOMPARE(trace, expected);
    }

    void startFolderIsTheHandsetsUnlessNamed()
    {
        qunsetenv("PICTALUX_START_DIR");
        QCOMPARE(PxGui::startFolder(), QStringLiteral("/mmc/movinand1"));
        qputenv("PICTALUX_START_DIR", "relative/../here");
        QCOMPARE(PxGui::startFolder(), QDir::currentPath() + "/here");
    }

    void backClimbsToTheRootAndStaysThere()
    {
        const auto browser = browserOn(tree("DCIM/inner"));
        QString folder = tree("DCIM/inner");
        while (folder != "/") {
            folder = folder.left(folder.lastIndexOf('/'));
            if (folder.isEmpty())
                folder = "/";
            browser->itemSelected(0);
            QCOMPARE(TestProbe::curDir(*browser), folder);
        }
        StdoutCapture capture;
        browser->back();
        QCOMPARE(capture.finish().section('\n', 0, 0), QStringLiteral("/"));
        QCOMPARE(TestProbe::curDir(*browser), QStringLiteral("/"));
        QVERIFY(TestProbe::rows(TestProbe::fileList(*browser)).size() > 1);
    }

    void childAndParentPaths()
    {
        QCOMPARE(FolderListing::childPath("/", "DCIM"), QStringLiteral("/DCIM"));
        QCOMPARE(FolderListing::childPath("/DCIM", "a b"), QStringLiteral("/DCIM/a b"));
        QCOMPARE(FolderListing::parentPath("/mmc/movinand1"), QStringLiteral("/mmc"));
        QCOMPARE(FolderListing::parentPath("/mmc"), QStringLiteral("/"));
        QCOMPARE(FolderListing::parentPath("/"), QStringLiteral("/"));
    }

    void selectingAFolderEntersIt()
    {
        const auto browser = browserOn(tree());
        QSignalSpy handedOver(browser.get(), SIGNAL(pathInit()));
        StdoutCapture capture;
        browser->itemSelected(TestProbe::rows(TestProbe::fileList(*browser)).indexOf("DCIM"));
        QCOMPARE(capture.finish().section('\n', 0, 1), tree("DCIM") + "\n" + tree("DCIM"));
        QCOMPARE(TestProbe::curDir(*browser), tree("DCIM"));
        QCOMPARE(TestProbe::rows(TestProbe::fileList(*browser)),
                 QStringList({"..", "inner", "photo.jpg"}));
        QCOMPARE(handedOver.count(), 0);
    }

    void foldersThatCannotBeListedShowTheBackRowAlone()
    {
        QVERIFY(QDir(tree()).mkdir("vanishing"));
        const auto browser = browserOn(tree());
        QVERIFY(QDir(tree()).rmdir("vanishing"));
        browser->itemSelected(TestProbe::rows(TestProbe::fileList(*browser)).indexOf("vanishing"));
        QCOMPARE(TestProbe::curDir(*browser), tree("vanishing"));
        QCOMPARE(TestProbe::rows(TestProbe::fileList(*browser)), QStringList({".."}));
        browser->itemSelected(0);
        QCOMPARE(TestProbe::curDir(*browser), tree());

        TestProbe::setCurDir(*browser, tree("zeta.txt"));
        QCOMPARE(TestProbe::rows(TestProbe::fileList(*browser)), QStringList({".."}));
    }

    void foldersWithoutReadPermissionShowTheBackRowAlone()
    {
        if (geteuid() == 0)
            QSKIP("permissions do not bind the superuser");
        QVERIFY(QDir(tree()).mkdir("locked"));
        QFile::setPermissions(tree("locked"), QFile::ExeOwner);
        const auto browser = browserOn(tree("locked"));
        QCOMPARE(TestProbe::rows(TestProbe::fileList(*browser)), QStringList({".."}));
        QFile::setPermissions(tree("locked"),
                              QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }

    void selectingAFileHandsItOverOnce()
    {
        const auto browser = browserOn(tree("DCIM"));
        browser->show();
        QList<bool> visibleAtHandOver;
        connect(browser.get(), &PxGui::pathInit, this,
                [&] { visibleAtHandOver.append(browser->isVisible()); });
        StdoutCapture capture;
        browser->itemSelected(2);
        QCOMPARE(capture.finish(), tree("DCIM/photo.jpg") + "\n");
        QCOMPARE(visibleAtHandOver, QList<bool>({true}));
        QCOMPARE(browser->getPicPath(), tree("DCIM/photo.jpg"));
        QVERIFY(!browser->isVisible());
        QCOMPARE(TestProbe::curDir(*browser), tree("DCIM"));

        browser->show();
        TestProbe::fileList(*browser)->setCurrentItem(2);
        browser->edit();
        QCOMPARE(visibleAtHandOver, QList<bool>({true, false}));
    }

    void editOnOtherRowsOnlyComposesThePath()
    {
        const auto browser = browserOn(tree("DCIM"));
        QSignalSpy handedOver(browser.get(), SIGNAL(pathInit()));
        TestProbe::fileList(*browser)->setCurrentItem(0);
        browser->edit();
        QCOMPARE(browser->getPicPath(), tree("DCIM") + "/..");
        TestProbe::fileList(*browser)->setCurrentItem(1);
        browser->edit();
        QCOMPARE(browser->getPicPath(), tree("DCIM/inner"));
        QCOMPARE(handedOver.count(), 0);
        QCOMPARE(TestProbe::curDir(*browser), tree("DCIM"));
    }

    void aboutCreditsTheTeam()
    {
        const auto browser = browserOn(tree());
        QString title, text;
        answerModal([&](QWidget *modal) {
            auto *popup = qobject_cast<ZMessageDlg *>(modal);
            QVERIFY(popup);
            title = popup->title();
            text = popup->text();
            QTest::keyClick(popup, Qt::Key_Return);
        });
        browser->about();
        QCOMPARE(title, QStringLiteral("About"));
        const QStringList lines = text.split('\n');
        QCOMPARE(lines.size(), 5);
        QCOMPARE(lines.at(0), QStringLiteral("Pictalux for ROKR E8"));
        QCOMPARE(lines.at(1), QStringLiteral("UI code by the Pictalux team"));
        QCOMPARE(lines.at(2), QStringLiteral("Artistic design by the Pictalux team"));
    }

    void saveWithoutAPictureReportsIt()
    {
        const auto browser = browserOn(tree());
        QString text;
        answerModal([&](QWidget *modal) {
            text = qobject_cast<ZMessageDlg *>(modal)->text();
            QTest::keyClick(modal, Qt::Key_F9);
        });
        browser->fileSaveAs();
        QCOMPARE(text, QStringLiteral("Please select a valid file!"));
    }

    void optionsMenuAndSoftKeyQuit_data()
    {
        QTest::addColumn<bool>("throughMenu");
        QTest::newRow("menu entry") << true;
        QTest::newRow("softkey") << false;
    }
    void optionsMenuAndSoftKeyQuit()
    {
        QFETCH(bool, throughMenu);
        const auto browser = browserOn(tree());
        browser->show();
        ZOptionsMenu *menu = TestProbe::optionsMenu(*browser);
        QCOMPARE(menu->actions().size(), 5);
        QVERIFY(menu->actions().at(2)->isSeparator());
        QCOMPARE(menu->actions().at(3)->text(), QStringLiteral("About"));
        QTimer::singleShot(0, [&] {
            if (!throughMenu) {
                QTest::keyClick(browser.get(), Qt::Key_F11);
                return;
            }
            QTest::keyClick(browser.get(), Qt::Key_F9);
            for (int step = 0; step < 3; ++step)
                QTest::keyClick(menu, Qt::Key_Down);
            QTest::keyClick(menu, Qt::Key_Return);
        });
        QTimer::singleShot(5000, [] { QCoreApplication::exit(1); });
        QCOMPARE(zApp->exec(), 0);
    }
};

PICTALUX_TEST_MAIN(BrowserTest)
#include "tst_browser.moc"
