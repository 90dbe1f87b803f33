#include "platform/zcombobox.h"
#include "platform/zformcontainer.h"
#include "platform/zlabel.h"
#include "platform/zlineedit.h"
#include "platform/zmessagedlg.h"
#include "platform/zsoftkey.h"
#include "testprobe.h"
#include "testsupport.h"

#include <QDir>
#include <QLabel>
#include <QPointer>

class SaveDialogTest : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_tree;
    ProgramDir m_programDir;

    QString tree(const QString &name = QString()) const
    {
        return name.isEmpty() ? m_tree.path() : m_tree.filePath(name);
    }

    static QStringList rows(const FileSaveDialog &dialog)
    {
        return TestProbe::rows(TestProbe::folderList(dialog));
    }
    static QString folderLine(const FileSaveDialog &dialog)
    {
        return TestProbe::folderLabel(dialog)->text();
    }
    // Chooses a row of the folder list as the user does: highlight it, press Return.
    static void choose(const FileSaveDialog &dialog, int row)
    {
        TestProbe::folderList(dialog)->setCurrentItem(row);
        QTest::keyClick(TestProbe::folderList(dialog), Qt::Key_Return);
    }

private slots:
    void initTestCase()
    {
        qputenv("PICTALUX_SYSTEM_CFG", m_programDir.filePath("no-setting.cfg").toUtf8());
        m_programDir.useFakeConverter();
        // Texts of our own, so each place shows which key it was read from.
        writeFile(m_programDir.filePath("lng/English.lng"), "[UI_MENU]\n"
                                                            "UI_SAVE_TITLE = Title<\n"
                                                            "UI_FILE_NAME = Name<\n"
                                                            "UI_FILE_FOLDER = Where>\n"
                                                            "UI_OK = Yes<\n"
                                                            "UI_CANCEL = No<\n");
        for (const char *folder : {"beta", "Alpha", "10", ".hidden", "DCIM/inner", "a b 'c'"})
            QVERIFY(QDir(tree()).mkpath(QLatin1String(folder)));
        for (const char *file : {"zeta.txt", "Apple.jpg"})
            writeFile(tree(QLatin1String(file)), "x");
    }

    void opensWithItsFormOnTheGivenFolder()
    {
        FileSaveDialog dialog(tree(), tree("Apple.jpg"));
        QCOMPARE(dialog.mainWidgetTitle(), QStringLiteral("Title<"));
        ZLineEdit *nameEdit = TestProbe::nameEdit(dialog);
        QCOMPARE(nameEdit->text(), QString());
        QCOMPARE(nameEdit->findChild<QLabel *>()->text(), QStringLiteral("Name<"));
        ZComboBox *typeCombo = TestProbe::typeCombo(dialog);
        QStringList types;
        for (int index = 0; index < typeCombo->count(); ++index)
            types.append(typeCombo->text(index));
        QCOMPARE(types, QStringList({".jpg", ".jpeg", ".png", ".gif", ".bmp", ".*"}));
        QCOMPARE(typeCombo->currentItem(), 0);
        QCOMPARE(TestProbe::fileType(dialog), QStringLiteral(".jpg"));
        QCOMPARE(folderLine(dialog), "Where>" + tree());
        QCOMPARE(TestProbe::softKey(dialog)->text(0), QStringLiteral("Yes<"));
        QCOMPARE(TestProbe::softKey(dialog)->text(1), QStringLiteral("No<"));
        QCOMPARE(TestProbe::curDir(dialog), tree());
        QVERIFY(TestProbe::savePath(dialog).isNull());

        // On the 320 x 240 screen the fields stack in order and the list takes the rest.
        dialog.show();
        QVERIFY(QTest::qWaitForWindowActive(&dialog));
        QCOMPARE(QApplication::focusWidget(), nameEdit->focusProxy());
        const QList<QWidget *> fields = {nameEdit, typeCombo, TestProbe::folderLabel(dialog),
                                         TestProbe::folderList(dialog)};
        for (int index = 1; index < fields.size(); ++index)
            QVERIFY(fields.at(index - 1)->geometry().bottom() < fields.at(index)->y());
        for (QWidget *field : fields)
            QVERIFY(field->isVisible() && field->height() >= field->minimumSizeHint().height());
        ZListBox *list = TestProbe::folderList(dialog);
        QCOMPARE(list->geometry().bottom(), TestProbe::formContainer(dialog)->height() - 1);
        QVERIFY(list->height() >= 3 * list->sizeHintForRow(0));
        QCOMPARE(TestProbe::softKey(dialog)->mapTo(&dialog, QPoint(0, 0)).y() +
                         TestProbe::softKey(dialog)->height(),
                 240);
    }

    void listsSubfoldersOnly_data()
    {
        QTest::addColumn<QString>("folder");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("character-code order, no files, no hidden folders")
                << "" << QStringList({"..", "10", "Alpha", "DCIM", "a b 'c'", "beta"});
        QTest::newRow("no subfolders") << "DCIM/inner" << QStringList({".."});
        QTest::newRow("missing folder") << "nowhere" << QStringList({".."});
        QTest::newRow("a file") << "zeta.txt" << QStringList({".."});
    }
    void listsSubfoldersOnly()
    {
        QFETCH(QString, folder);
        QFETCH(QStringList, expected);
        FileSaveDialog dialog(tree(folder), tree("Apple.jpg"));
        QCOMPARE(rows(dialog), expected);
        QCOMPARE(TestProbe::folderList(dialog)->currentItem(), 0);
        const QVariant backIcon = TestProbe::folderList(dialog)->item(0)->data(Qt::DecorationRole);
        QVERIFY(!backIcon.value<QPixmap>().isNull());
    }

    void climbsToTheRootAndComesBackDown()
    {
        FileSaveDialog dialog(tree("DCIM/inner"), tree("Apple.jpg"));
        QString folder = tree("DCIM/inner");
        while (folder != "/") {
            folder = folder.left(folder.lastIndexOf('/'));
            if (folder.isEmpty())
                folder = "/";
            choose(dialog, 0);
            QCOMPARE(TestProbe::curDir(dialog), folder);
            QCOMPARE(folderLine(dialog), "Folder:" + folder);
        }
        choose(dialog, 0);
        QCOMPARE(TestProbe::curDir(dialog), QStringLiteral("/"));
        QCOMPARE(folderLine(dialog), QStringLiteral("Folder:/"));
        QVERIFY(rows(dialog).size() > 1);

        QString expected = "/";
        for (const QString &name : tree("DCIM/inner").split('/', Qt::SkipEmptyParts)) {
            const int row = rows(dialog).indexOf(name);
            QVERIFY2(row > 0, qPrintable(name));
            choose(dialog, row);
            expected = expected == "/" ? "/" + name : expected + "/" + name;
            QCOMPARE(TestProbe::curDir(dialog), expected);
            QCOMPARE(folderLine(dialog), "Folder: " + expected);
        }
        QCOMPARE(expected, tree("DCIM/inner"));
    }

    void foldersThatChangedAfterTheListing()
    {
        QVERIFY(QDir(tree()).mkpath("moving/now a file"));
        QVERIFY(QDir(tree()).mkpath("moving/vanished"));
        FileSaveDialog dialog(tree("moving"), tree("Apple.jpg"));
        QCOMPARE(rows(dialog), QStringList({"..", "now a file", "vanished"}));
        QVERIFY(QDir(tree("moving")).rmdir("now a file"));
        writeFile(tree("moving/now a file"));
        QVERIFY(QDir(tree("moving")).rmdir("vanished"));

        dialog.itemSelected(1);
        dialog.itemSelected(7);
        QCOMPARE(TestProbe::curDir(dialog), tree("moving"));
        QCOMPARE(folderLine(dialog), "Where>" + tree("moving"));
        QCOMPARE(rows(dialog), QStringList({"..", "now a file", "vanished"}));

        dialog.itemSelected(2);
        QCOMPARE(TestProbe::curDir(dialog), tree("moving/vanished"));
        QCOMPARE(rows(dialog), QStringList({".."}));
        dialog.itemSelected(0);
        QCOMPARE(TestProbe::curDir(dialog), tree("moving"));
        QVERIFY(QDir(tree("moving")).removeRecursively());
    }

    void typeBoxSetsTheExtension_data()
    {
        QTest::addColumn<int>("steps");
        QTest::addColumn<QString>("expected");
        QTest::newRow("untouched") << 0 << ".jpg";
        QTest::newRow(".jpeg") << 1 << ".jpeg";
        QTest::newRow(".png") << 2 << ".png";
        QTest::newRow(".gif") << 3 << ".gif";
        QTest::newRow(".bmp") << 4 << ".bmp";
        QTest::newRow(".* adds none") << 5 << "";
        QTest::newRow("left from the first is .*") << -1 << "";
        QTest::newRow("past .* to .jpg again") << 6 << ".jpg";
    }
    void typeBoxSetsTheExtension()
    {
        QFETCH(int, steps);
        QFETCH(QString, expected);
        FileSaveDialog dialog(tree(), tree("Apple.jpg"));
        QWidget *box = TestProbe::typeCombo(dialog)->focusProxy();
        for (int step = 0; step < qAbs(steps); ++step)
            QTest::keyClick(box, steps > 0 ? Qt::Key_Right : Qt::Key_Left);
        QCOMPARE(TestProbe::fileType(dialog), expected);
        QCOMPARE(TestProbe::fileType(dialog).isNull(), false);
    }

    void eachSaveStartsAFreshDialogOnTheBrowsersFolder()
    {
        qputenv("PICTALUX_START_DIR", tree().toUtf8());
        StdoutCapture quiet;
        PxGui browser;
        browser.setPicPath(tree("Apple.jpg"));
        // What each dialog showed when it opened: its folder, type, name, and whether the name
        // field had the keys.
        QList<QStringList> opened;
        QList<QPointer<FileSaveDialog>> dialogs;
        for (const Qt::Key ending : {Qt::Key_F9, Qt::Key_F11}) {
            answerModal([&, ending](QWidget *modal) {
                auto *dialog = qobject_cast<FileSaveDialog *>(modal);
                QVERIFY(dialog);
                dialogs.append(dialog);
                QTRY_VERIFY(QApplication::focusWidget());
                const bool nameHasFocus =
                        QApplication::focusWidget() == TestProbe::nameEdit(*dialog)->focusProxy();
                opened.append({TestProbe::curDir(*dialog), TestProbe::fileType(*dialog),
                               TestProbe::nameEdit(*dialog)->text(),
                               nameHasFocus ? "focus" : "no focus"});
                QTest::keyClicks(QApplication::focusWidget(), "first one");
                QTest::keyClick(QApplication::focusWidget(), Qt::Key_Down);
                QTest::keyClick(QApplication::focusWidget(), Qt::Key_Right);
                choose(*dialog, rows(*dialog).indexOf("DCIM"));
                QTest::keyClick(dialog, ending);
            });
            browser.fileSaveAs();
        }
        const QStringList fresh = {tree(), ".jpg", "", "focus"};
        QCOMPARE(opened, QList<QStringList>({fresh, fresh}));
        QCOMPARE(dialogs.size(), 2);
        QVERIFY(!dialogs.at(0) && !dialogs.at(1));
        QCOMPARE(m_programDir.converterRuns(),
                 QList<QStringList>({{tree("Apple.jpg"), tree("DCIM/first one.jpeg")}}));
        QCOMPARE(TestProbe::curDir(browser), tree());
        QCOMPARE(browser.getPicPath(), tree("Apple.jpg"));
    }

    void saveEntryNeedsSomethingThatExists_data()
    {
        QTest::addColumn<QString>("picPath");
        QTest::addColumn<QString>("expected");
        QTest::newRow("file") << "Apple.jpg"
                              << "dialog";
        QTest::newRow("folder") << "DCIM"
                                << "dialog";
        QTest::newRow("missing file") << "gone.jpg"
                                      << "Please select a valid file!";
        QTest::newRow("nothing chosen") << ""
                                        << "Please select a valid file!";
    }
    void saveEntryNeedsSomethingThatExists()
    {
        QFETCH(QString, picPath);
        QFETCH(QString, expected);
        qputenv("PICTALUX_START_DIR", tree().toUtf8());
        StdoutCapture quiet;
        PxGui browser;
        browser.setPicPath(picPath.isEmpty() ? QString() : tree(picPath));
        QString shown;
        answerModal([&](QWidget *modal) {
            if (auto *popup = qobject_cast<ZMessageDlg *>(modal)) {
                shown = popup->text();
                QVERIFY(popup->title() == "Error");
            } else if (qobject_cast<FileSaveDialog *>(modal)) {
                shown = "dialog";
            }
            QTest::keyClick(modal, Qt::Key_F11);
        });
        browser.fileSaveAs();
        QCOMPARE(shown, expected);
    }
};

PICTALUX_TEST_MAIN(SaveDialogTest)
#include "tst_savedialog.moc"
