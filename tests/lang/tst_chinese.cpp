#include "platform/version.h"
#include "platform/zlabel.h"
#include "platform/zlineedit.h"
#include "platform/zoptionsmenu.h"
#include "platform/zsoftkey.h"
#include "testprobe.h"
#include "testsupport.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QDialog>
#include <QRegularExpression>

using Probe = TestProbe;

// Every screen read through its widgets. With a language file whose texts are their own keys,
// each place shows the key it must, the menu in its order; in Chinese, no text a user sees holds
// a Latin letter, but for file names, picture types and the names of the program and the handset.
class ScreenTextsTest : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_tree;

    // The window's title, then the texts of its widgets, rows and menu entries, in their order.
    static QStringList texts(const QWidget *window)
    {
        QStringList texts = {window->windowTitle()};
        for (const QObject *child : window->findChildren<QObject *>()) {
            texts << child->property("text").toString();
            if (const auto *combo = qobject_cast<const QComboBox *>(child))
                for (int index = 0; index < combo->count(); ++index)
                    texts << combo->itemText(index);
            if (const auto *list = qobject_cast<const QListWidget *>(child))
                for (int row = 0; row < list->count(); ++row)
                    texts << list->item(row)->text();
        }
        texts.removeAll(QString());
        return texts;
    }

    // A language file's groups and keys, each text made its key (with the placeholder where the
    // text has one).
    static QByteArray keysOnly(const QString &languageFile)
    {
        QFile file(languageFile);
        file.open(QIODevice::ReadOnly);
        QByteArray keys;
        for (const QByteArray &line : file.readAll().split('\n')) {
            const QByteArray key = line.left(line.indexOf('=')).trimmed();
            if (line.startsWith('['))
                keys += line + '\n';
            else if (line.contains('='))
                keys += key + " = " + key + (line.contains("%1") ? " %1\n" : "\n");
        }
        return keys;
    }

private slots:
    void everyScreen_data()
    {
        QTest::addColumn<bool>("chinese");
        QTest::newRow("keys") << false;
        QTest::newRow("Chinese") << true;
    }
    void everyScreen()
    {
        QFETCH(bool, chinese);
        ProgramDir programDir;
        const QString english = programDir.filePath("lng/English.lng");
        QCOMPARE(keysOnly(programDir.filePath("lng/Chinese.lng")), keysOnly(english));
        writeFile(english, keysOnly(english));
        writeFile(m_tree.filePath("setting"),
                  chinese ? "[SYS_SYSTEM_SET]\nLanguageType=zh-cn" : "");
        qputenv("PICTALUX_SYSTEM_CFG", m_tree.filePath("setting").toLocal8Bit());
        const QString storage = m_tree.filePath("存储");
        writeFile(storage + "/相册/文本.png", "no picture");
        QVERIFY(quarters().save(storage + "/花.jpg"));
        qputenv("PICTALUX_START_DIR", storage.toLocal8Bit());

        EditInterface editor;
        PxGui &browser = *Probe::browser(editor);
        const auto *softKeys = browser.findChild<ZSoftKey *>();
        ZOptionsMenu *menu = Probe::optionsMenu(browser);
        FileSaveDialog dialog(storage, storage + "/花.jpg");
        ZListBox *folders = Probe::folderList(dialog);
        QStringList shown; // by the screen each step brings up
        const ModalAnswers popups([&shown](QWidget *popup) {
            shown << texts(popup);
            static_cast<QDialog *>(popup)->reject();
        });
        const std::pair<const char *, std::function<void()>> steps[] = {
                {"options menu",
                 [&] {
                     softKeys->findChild<QAbstractButton *>()->click();
                     shown << texts(&browser);
                 }},
                // Down skips the separator, F9 chooses.
                {"about",
                 [&] {
                     for (const Qt::Key key : {Qt::Key_Down, Qt::Key_Down, Qt::Key_F9})
                         QTest::keyClick(menu, key);
                 }},
                {"browser", [&] { shown << texts(&browser); }},
                {"no picture", [&] { browser.fileSaveAs(); }},
                {"save dialog",
                 [&] {
                     dialog.show();
                     shown << texts(&dialog);
                 }},
                {"down a folder",
                 [&] {
                     QTest::mouseClick(folders->viewport(), Qt::LeftButton, {},
                                       folders->visualItemRect(folders->item(1)).center());
                     shown << Probe::folderLabel(dialog)->text();
                 }},
                {"back up",
                 [&] {
                     dialog.itemSelected(0);
                     shown << Probe::folderLabel(dialog)->text();
                 }},
                {"invalid name", [&] { dialog.fileSaveOk(); }},
                {"replace",
                 [&] {
                     Probe::nameEdit(dialog)->setText("花");
                     dialog.fileSaveOk();
                 }},
                {"save failure",
                 [&] {
                     programDir.useFakeConverter(ProgramDir::Converter::Fails);
                     Probe::nameEdit(dialog)->setText("新");
                     dialog.fileSaveOk();
                 }},
                {"unsaved, quit",
                 [&] {
                     dialog.hide();
                     browser.setUnsavedEdits(true);
                     browser.quit();
                 }},
                {"unsaved, open", [&] { browser.itemSelected(2); }},
                {"number picker",
                 [&] {
                     browser.setUnsavedEdits(false);
                     editor.openPath(storage + "/花.jpg");
                     Probe::toolIndex(editor) = 6;
                     editor.execCommand();
                 }},
                {"editor",
                 [&] {
                     editor.openPath(storage + "/相册/文本.png");
                     shown << Probe::overlayTexts(editor);
                 }},
        };
        QStringList screens;
        for (const auto &[screen, step] : steps) {
            shown.clear();
            step();
            screens << screen + QStringLiteral(": ") +
                               shown.join(u'|').replace(m_tree.path(), "@").replace('\n', '/');
        }

        if (chinese) {
            const QRegularExpression allowed(
                    QStringLiteral("^[^:]*: |@|Pictalux|ROKR|E8|\\.(jpe?g|png|gif|bmp|\\*)"));
            const QStringList latin = screens.replaceInStrings(allowed, QString())
                                              .filter(QRegularExpression("[A-Za-z]"));
            QVERIFY2(latin.isEmpty(), qPrintable(latin.join(u'\n')));
            return;
        }
        QCOMPARE(
                screens,
                QStringList({
                        "options menu: E8 Pictalux|E8 Pictalux|..|相册|花.jpg|UI_SELECT|UI_CANCEL|"
                        "UI_EDIT|UI_FILE_SAVE|UI_ABOUT|UI_QUIT",
                        "about: UI_ABOUT|UI_ABOUT|UI_OK|UI_ABOUT_PRODUCT/UI_ABOUT_CODE/"
                        "UI_ABOUT_DESIGN/UI_ABOUT_VERSION " PICTALUX_VERSION "/",
                        "browser: E8 Pictalux|E8 Pictalux|..|相册|花.jpg|UI_OPTION|UI_QUIT|UI_EDIT|"
                        "UI_FILE_SAVE|UI_ABOUT|UI_QUIT",
                        "no picture: UI_ERROR|UI_OK|UI_INVALID_FILE",
                        "save dialog: UI_SAVE_TITLE|UI_SAVE_TITLE|UI_FILE_NAME|UI_FILE_TYPE|.jpg|"
                        ".jpeg|.png|.gif|.bmp|.*|UI_FILE_FOLDER@/存储|..|相册|UI_OK|UI_CANCEL",
                        "down a folder: UI_FILE_FOLDER @/存储/相册",
                        "back up: UI_FILE_FOLDER@/存储",
                        "invalid name: UI_ERROR|UI_OK|UI_INVALID_NAME",
                        "replace: UI_CONFIRM|UI_CONFIRM|UI_YES|UI_NO|UI_REPLACE_FILE 花.jpg",
                        "save failure: UI_ERROR|UI_OK|UI_SAVE_FAILURE",
                        "unsaved, quit: UI_CONFIRM|UI_CONFIRM|UI_YES|UI_NO|UI_UNSAVED_QUIT",
                        "unsaved, open: UI_CONFIRM|UI_CONFIRM|UI_YES|UI_NO|UI_UNSAVED_OPEN",
                        "number picker: EMBOSS|EMBOSS|EDIT_OK|EDIT_CANCEL|7|7|RADIUS",
                        "editor: EDIT_SIZE|EDIT_SCALE|EDIT_POSITION|EDIT_REGION|EDIT_CUT|"
                        "EDIT_CANCEL|EDIT_BROWSER|EDIT_SAVE|EDIT_PROCESSING|EDIT_CANCELLED|"
                        "EDIT_FAILED|EDIT_TOO_LARGE|EDIT_UNDO|EDIT_REDO|EDIT_NOT_A_PICTURE|FLOP|"
                        "FLIP|ROTATE_LEFT|ROTATE_RIGHT|B_AND_W|NEGATIVE|EMBOSS|CROP|OIL_PAINT|"
                        "SWIRL|SOLARIZE|SEPIA|SPREAD|CHARCOAL|RESIZE",
                }));
    }
};

PICTALUX_TEST_MAIN(ScreenTextsTest)
#include "tst_chinese.moc"
