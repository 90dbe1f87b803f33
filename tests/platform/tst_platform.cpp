#include "platform/convertercommand.h"
#include "platform/filename.h"
#include "platform/filesystem.h"
#include "platform/handsetkeys.h"
#include "platform/res_icon_reader.h"
#include "platform/zapplication.h"
#include "platform/zconfig.h"
#include "platform/zkbmainwidget.h"
#include "platform/zlistbox.h"
#include "platform/zlistboxitem.h"
#include "platform/zmessagedlg.h"
#include "platform/zoptionsmenu.h"
#include "platform/zsoftkey.h"
#include "testsupport.h"

#include <QLabel>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

using FileName::decodeName;

// Records the slots that the framework classes call.
class Receiver : public QObject
{
    Q_OBJECT

public:
    QStringList calls;

public slots:
    void first() { calls.append("first"); }
    void second() { calls.append("second"); }
};

class PlatformTest : public QObject
{
    Q_OBJECT

private slots:
    void keysArriveAsHandsetCodes()
    {
        const QList<QPair<int, int>> keys = {
                {Qt::Key_Return, 4100},    {Qt::Key_Enter, 4101}, {Qt::Key_Left, 4114},
                {Qt::Key_Up, 4115},        {Qt::Key_Right, 4116}, {Qt::Key_Down, 4117},
                {Qt::Key_F9, 4152},        {Qt::Key_F11, 4154},   {Qt::Key_Minus, 16388},
                {Qt::Key_PageDown, 16388}, {Qt::Key_Plus, 16389}, {Qt::Key_Equal, 16389},
                {Qt::Key_PageUp, 16389},   {Qt::Key_A, 65}};
        for (const auto &[qtKey, code] : keys) {
            const QKeyEvent event(QEvent::KeyPress, qtKey, Qt::NoModifier);
            QCOMPARE(handsetKeyCode(&event), code);
        }
    }

    void configReadsGroupsKeysAndDefaults()
    {
        QTemporaryDir dir;
        writeFile(dir.filePath("texts.lng"), "\xEF\xBB\xBF# comment\n[A]\nkey = a = b \nempty =\n"
                                             "[B]\r\nchinese=退出\r\n");
        const ZConfig config(dir.filePath("texts.lng"));
        QCOMPARE(config.readEntry("A", "key"), QStringLiteral("a = b"));
        QCOMPARE(config.readEntry("B", "chinese"), QStringLiteral("退出"));
        QVERIFY(!config.readEntry("A", "empty").isNull() &&
                config.readEntry("A", "empty").isEmpty());
        QVERIFY(config.readEntry("A", "missing").isNull());
        QVERIFY(config.readEntry("C", "key").isNull());
        QVERIFY(ZConfig(dir.filePath("none")).readEntry("A", "key").isNull());
        for (const char *icon : {"gen_back_to_arrw_small.bmp", "fm_folder_small.bmp",
                                 "fm_insert_file_small.bmp", "error_pop.bmp"})
            QVERIFY2(!RES_ICON_Reader().getIcon(icon).isNull(), icon);
    }

    void nestedLoopEndsAfterTheSlotThatLeftIt()
    {
        QStringList steps;
        QTimer::singleShot(0, [&] {
            QTimer::singleShot(0, [&] {
                zApp->exit_loop();
                steps.append("inner slot ran to its end");
            });
            zApp->enter_loop();
            steps.append("inner loop left");
            zApp->exit_loop();
        });
        zApp->enter_loop();
        QCOMPARE(steps, QStringList({"inner slot ran to its end", "inner loop left"}));
        QCOMPARE(zApp->loopLevel(), 0);
    }

    void softKeysAndOptionsMenu()
    {
        Receiver receiver;
        ZKbMainWidget window;
        window.setContentWidget(new ZListBox(&window));
        auto *softKey = new ZSoftKey("CST_2A", &window);
        window.setCSTWidget(softKey);
        auto *menu = new ZOptionsMenu(QRect(0, 22, 320, 192), &window);
        menu->insertItem("First", nullptr, &receiver, SLOT(first()));
        menu->insertSeparator();
        menu->insertItem("Second", nullptr, &receiver, SLOT(second()));
        softKey->setOptMenu(0, menu);
        softKey->setText(0, "Options");
        softKey->setTextForOptMenuHide("Options");
        softKey->setTextForOptMenuShow("Select", "Cancel");
        softKey->setClickedSlot(1, &receiver, SLOT(second()));
        window.show();

        QTest::keyClick(&window, Qt::Key_F11);
        QTest::keyClick(&window, Qt::Key_F9);
        QVERIFY(menu->isVisible());
        QCOMPARE(softKey->text(1), QStringLiteral("Cancel"));
        QTest::keyClick(menu, Qt::Key_F11);
        QCOMPARE(softKey->text(0), QStringLiteral("Options"));
        softKey->press(0);
        QTest::keyClick(menu, Qt::Key_Down); // over the separator
        QTest::keyClick(menu, Qt::Key_Return);
        QTRY_COMPARE(receiver.calls, QStringList({"second", "second"}));
    }

    // Lines that wrap at the popup's width get the height they need: the first ones were cut off.
    void messageShownWhole()
    {
        const QString line = QString(10, u'w').replace(u'w', "word ").trimmed();
        int missing = -1;
        answerModal([&missing](QWidget *modal) {
            const QLabel *label = modal->findChildren<QLabel *>().constLast();
            missing = label->heightForWidth(label->width()) - label->height();
            QTest::keyClick(modal, Qt::Key_Return);
        });
        ZMessageDlg(QStringLiteral("Title"), line + '\n' + line + '\n' + line + '\n').exec();
        QCOMPARE(missing, 0);
    }

    void listBoxSelectsOnReturnAndClick()
    {
        ZListBox list;
        for (const char *text : {"..", "one", "two"}) {
            auto *row = new ZListBoxItem;
            row->appendSubItem(1, text);
            list.insertItem(row);
        }
        list.show();
        QSignalSpy selected(&list, SIGNAL(selected(int)));
        list.setCurrentItem(0);
        QTest::keyClick(&list, Qt::Key_Down);
        QTest::keyClick(&list, Qt::Key_Return);
        QTest::mouseClick(list.viewport(), Qt::LeftButton, {},
                          list.visualItemRect(list.item(2)).center());
        QCOMPARE(selected, QList<QVariantList>({{1}, {2}}));
    }

    void namesKeepTheirBytes_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("shown");
        QTest::newRow("ASCII") << QByteArray("my photo.jpg") << "my photo.jpg";
        QTest::newRow("UTF-8") << QByteArray("Grüße 写真") << "Grüße 写真";
        // U+10080's second half lies among the escapes, yet is text.
        QTest::newRow("beyond U+FFFF") << QByteArray("\xF0\x90\x82\x80") << "\U00010080";
        QTest::newRow("Latin-1") << QByteArray("caf\xE9.png") << "caf\\xE9.png";
        QTest::newRow("UTF-8 surrogate") << QByteArray("\xED\xB2\x80") << "\\xED\\xB2\\x80";
        QTest::newRow("overlong slash") << QByteArray("\xC0\xAF") << "\\xC0\\xAF";
        QTest::newRow("cut at the end") << QByteArray("a\xE5\x86") << "a\\xE5\\x86";
    }
    void namesKeepTheirBytes()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, shown);
        const QString name = decodeName(bytes);
        QCOMPARE(FileName::encodeName(name), bytes);
        QCOMPARE(FileName::displayName(name), shown);
        // The shell is given the bytes, quoted.
        QCOMPARE(ConverterCommand::command("/p", name, "-flop ", "/out"),
                 "/p/convert '" + bytes + "' -flop /out");
    }

    // Every kind of entry, listed, told and opened through its bytes; nothing waits on a FIFO.
    void fileSystemByBytes()
    {
        QTemporaryDir dir;
        const QByteArray root = QFile::encodeName(dir.path()) + '/';
        writeFile(dir.filePath("file"), "bytes");
        QCOMPARE(::mkfifo((root + "fifo").constData(), 0600), 0);
        QVERIFY(QFile::link("file", dir.filePath("link")) &&
                QFile::link("-", dir.filePath("dangling")));
        QCOMPARE(::mkdir((root + "d\xE9j\xE0").constData(), 0700), 0);
        QCOMPARE(::link((root + "file").constData(), (root + "caf\xE9").constData()), 0);
        const FileSystem::Listing listing = FileSystem::list(dir.path());
        QVERIFY(listing.readable && listing.folders.contains("..") &&
                !FileSystem::list(dir.filePath("file")).readable);
        using Kind = FileSystem::Kind;
        const QList<QPair<QByteArray, Kind>> kinds = {{"link", Kind::File},
                                                      {"caf\xE9", Kind::File},
                                                      {"d\xE9j\xE0", Kind::Folder},
                                                      {"fifo", Kind::Other},
                                                      {"dangling", Kind::Missing}};
        for (const auto &[name, kind] : kinds) {
            QCOMPARE(listing.files.contains(decodeName(name)), kind == Kind::File);
            QCOMPARE(listing.folders.contains(decodeName(name)), kind == Kind::Folder);
            QCOMPARE(FileSystem::kind(decodeName(root + name)), kind);
            QFile file;
            QCOMPARE(FileSystem::openForReading(decodeName(root + name), &file),
                     kind == Kind::File);
            QCOMPARE(file.readAll(), QByteArray(kind == Kind::File ? "bytes" : ""));
        }
    }
};

PICTALUX_TEST_MAIN(PlatformTest)
#include "tst_platform.moc"
