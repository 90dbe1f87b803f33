#include "platform/handsetkeys.h"
#include "platform/res_icon_reader.h"
#include "platform/zapplication.h"
#include "platform/zconfig.h"
#include "platform/zkbmainwidget.h"
#include "platform/zlistbox.h"
#include "platform/zlistboxitem.h"
#include "platform/znummodule.h"
#include "platform/znumpickerdlg.h"
#include "platform/zoptionsmenu.h"
#include "platform/zsoftkey.h"
#include "testsupport.h"

#include <QPushButton>

// Records the slots that the framework classes call.
class Receiver : public QObject
{
    Q_OBJECT

public:
    QStringList calls;

public slots:
    void first() { calls.append(QStringLiteral("first")); }
    void second() { calls.append(QStringLiteral("second")); }
};

class PlatformTest : public QObject
{
    Q_OBJECT

private slots:
    void handsetKeyCodes_data()
    {
        QTest::addColumn<int>("qtKey");
        QTest::addColumn<int>("code");
        QTest::newRow("Return") << int(Qt::Key_Return) << 4100;
        QTest::newRow("keypad Enter") << int(Qt::Key_Enter) << 4101;
        QTest::newRow("Left") << int(Qt::Key_Left) << 4114;
        QTest::newRow("Up") << int(Qt::Key_Up) << 4115;
        QTest::newRow("Right") << int(Qt::Key_Right) << 4116;
        QTest::newRow("Down") << int(Qt::Key_Down) << 4117;
        QTest::newRow("F9") << int(Qt::Key_F9) << 4152;
        QTest::newRow("F11") << int(Qt::Key_F11) << 4154;
        QTest::newRow("Escape") << int(Qt::Key_Escape) << 4096;
        QTest::newRow("minus") << int(Qt::Key_Minus) << 16388;
        QTest::newRow("PageDown") << int(Qt::Key_PageDown) << 16388;
        QTest::newRow("plus") << int(Qt::Key_Plus) << 16389;
        QTest::newRow("equals") << int(Qt::Key_Equal) << 16389;
        QTest::newRow("PageUp") << int(Qt::Key_PageUp) << 16389;
        QTest::newRow("letter") << int(Qt::Key_A) << 65;
        QTest::newRow("digit") << int(Qt::Key_5) << 53;
    }
    void handsetKeyCodes()
    {
        QFETCH(int, qtKey);
        QFETCH(int, code);
        QCOMPARE(handsetKeyCode(qtKey), code);
        const QKeyEvent event(QEvent::KeyPress, qtKey, Qt::NoModifier);
        QCOMPARE(handsetKeyCode(&event), code);
    }

    void configReadsGroupsKeysAndDefaults()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("texts.lng"));
        writeFile(path, "\xEF\xBB\xBF# comment\n[A]\nkey = value with = sign \nempty =\n"
                        "; other comment\n[B]\r\nchinese=退出\r\nkey=b\n");
        const ZConfig config(path);
        QCOMPARE(config.readEntry("A", "key"), QStringLiteral("value with = sign"));
        QCOMPARE(config.readEntry("B", "key"), QStringLiteral("b"));
        QCOMPARE(config.readEntry("B", "chinese"), QStringLiteral("退出"));
        QVERIFY(!config.readEntry("A", "empty").isNull());
        QVERIFY(config.readEntry("A", "empty").isEmpty());
        QVERIFY(config.readEntry("A", "missing").isNull());
        QVERIFY(config.readEntry("C", "key").isNull());
        QCOMPARE(config.readEntry("C", "key", "fallback"), QStringLiteral("fallback"));
        QVERIFY(ZConfig(dir.filePath(QStringLiteral("none"))).readEntry("A", "key").isNull());
    }

    void iconsAreServedByName()
    {
        const RES_ICON_Reader reader;
        for (const char *name : {"gen_back_to_arrw_small.bmp", "fm_folder_small.bmp",
                                 "fm_insert_file_small.bmp", "error_pop.bmp"})
            QVERIFY2(!reader.getIcon(QLatin1String(name)).isNull(), name);
        QVERIFY(reader.getIcon(QStringLiteral("no_such_icon.bmp")).isNull());
    }

    void nestedLoopEndsAfterTheSlotThatLeftIt()
    {
        QStringList steps;
        QTimer::singleShot(0, [&] {
            QTimer::singleShot(0, [&] {
                zApp->exit_loop();
                steps.append(QStringLiteral("inner slot ran to its end"));
            });
            zApp->enter_loop();
            steps.append(QStringLiteral("inner loop left"));
            zApp->exit_loop();
        });
        QCOMPARE(zApp->loopLevel(), 0);
        zApp->enter_loop();
        QCOMPARE(zApp->loopLevel(), 0);
        QCOMPARE(steps, QStringList({"inner slot ran to its end", "inner loop left"}));
        zApp->exit_loop(); // with no loop running this does nothing
    }

    void desktopIsTheHandsetScreen() { QCOMPARE(zApp->desktop(), QRect(0, 0, 320, 240)); }

    void softKeysAnswerF9F11AndClicks()
    {
        Receiver receiver;
        ZKbMainWidget window;
        auto *softKey = new ZSoftKey("CST_2A", &window);
        window.setCSTWidget(softKey);
        window.setContentWidget(new ZListBox(&window));
        softKey->setClickedSlot(0, &receiver, SLOT(first()));
        softKey->setClickedSlot(1, &receiver, SLOT(second()));
        window.show();
        QTest::keyClick(window.focusWidget() ? window.focusWidget() : &window, Qt::Key_F11);
        QTest::keyClick(&window, Qt::Key_F9);
        QTest::mouseClick(softKey->findChildren<QPushButton *>().at(1), Qt::LeftButton);
        QCOMPARE(receiver.calls, QStringList({"second", "first", "second"}));
    }

    void optionsMenuOpensWalksAndChooses()
    {
        Receiver receiver;
        ZKbMainWidget window;
        auto *softKey = new ZSoftKey("CST_2A", &window);
        window.setCSTWidget(softKey);
        auto *menu = new ZOptionsMenu(QRect(0, 22, 320, 192), &window);
        menu->insertItem(QStringLiteral("First"), nullptr, &receiver, SLOT(first()));
        menu->insertSeparator();
        menu->insertItem(QStringLiteral("Second"), nullptr, &receiver, SLOT(second()));
        softKey->setOptMenu(0, menu);
        softKey->setText(0, QStringLiteral("Options"));
        softKey->setText(1, QStringLiteral("Quit"));
        softKey->setTextForOptMenuHide(QStringLiteral("Options"));
        softKey->setTextForOptMenuShow(QStringLiteral("Select"), QStringLiteral("Cancel"));
        window.show();

        QTest::keyClick(&window, Qt::Key_F9);
        QVERIFY(menu->isVisible());
        QCOMPARE(softKey->text(0), QStringLiteral("Select"));
        QCOMPARE(softKey->text(1), QStringLiteral("Cancel"));
        QTest::keyClick(menu, Qt::Key_F11);
        QVERIFY(!menu->isVisible());
        QCOMPARE(softKey->text(0), QStringLiteral("Options"));
        QCOMPARE(softKey->text(1), QStringLiteral("Quit"));
        QVERIFY(receiver.calls.isEmpty());

        softKey->press(0);
        QTest::keyClick(menu, Qt::Key_Down);
        QTest::keyClick(menu, Qt::Key_Return);
        QTRY_COMPARE(receiver.calls, QStringList({"second"}));
        softKey->press(0);
        QTest::keyClick(menu, Qt::Key_F9);
        QTRY_COMPARE(receiver.calls, QStringList({"second", "first"}));
        QVERIFY(!menu->isVisible());
    }

    void listBoxSelectsOnReturnAndClick()
    {
        ZListBox list;
        for (const char *text : {"..", "one", "two"}) {
            auto *row = new ZListBoxItem;
            row->appendSubItem(1, QLatin1String(text));
            list.insertItem(row);
        }
        list.show();
        QSignalSpy selected(&list, SIGNAL(selected(int)));
        list.setCurrentItem(0);
        QTest::keyClick(&list, Qt::Key_Down);
        QTest::keyClick(&list, Qt::Key_Return);
        QTest::keyClick(&list, Qt::Key_Enter);
        const QRect third = list.visualItemRect(list.item(2));
        QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, third.center());
        QCOMPARE(selected.count(), 3);
        QCOMPARE(selected.at(0).at(0).toInt(), 1);
        QCOMPARE(selected.at(2).at(0).toInt(), 2);
        QCOMPARE(list.item(2)->getSubItemText(1), QStringLiteral("two"));
    }

    void numberPickerConfirmsOrCancels_data()
    {
        QTest::addColumn<QList<int>>("keys");
        QTest::addColumn<int>("result");
        QTest::addColumn<int>("value");
        QTest::newRow("default") << QList<int>{Qt::Key_Return} << 1 << 10;
        QTest::newRow("up and down")
                << QList<int>{Qt::Key_Up, Qt::Key_Up, Qt::Key_Down, Qt::Key_Return} << 1 << 11;
        QTest::newRow("digits") << QList<int>{Qt::Key_1, Qt::Key_7, Qt::Key_F9} << 1 << 17;
        QTest::newRow("digit beyond the bound refused")
                << QList<int>{Qt::Key_9, Qt::Key_9, Qt::Key_Return} << 1 << 9;
        QTest::newRow("F11") << QList<int>{Qt::Key_Up, Qt::Key_F11} << 0 << 11;
        QTest::newRow("Escape") << QList<int>{Qt::Key_Escape} << 0 << 10;
    }
    void numberPickerConfirmsOrCancels()
    {
        QFETCH(QList<int>, keys);
        QFETCH(int, result);
        QFETCH(int, value);
        ZNumPickerDlg picker;
        picker.getNumModule()->setMaxValue(20);
        picker.getNumModule()->setMinValue(0);
        picker.getNumModule()->setValue(10);
        answerModal([keys](QWidget *modal) {
            for (int key : keys)
                QTest::keyClick(modal->focusWidget() ? modal->focusWidget() : modal, Qt::Key(key));
        });
        QCOMPARE(picker.exec(), result);
        QCOMPARE(picker.getNumValue(), value);
    }
};

PICTALUX_TEST_MAIN(PlatformTest)
#include "tst_platform.moc"
