#include "lang/language.h"
#include "platform/version.h"
#include "platform/zconfig.h"
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

#include <sys/stat.h>

using Probe = TestProbe;

namespace {

// The window's title, then the texts of its widgets, rows and menu entries, in their order.
QStringList texts(const QWidget *window)
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

// A language file's groups and keys, each text made its key (and its placeholder, if any).
QByteArray keysOnly(const QString &languageFile)
{
    QByteArray keys;
    for (const QByteArray &line : readFile(languageFile).split('\n')) {
        const QByteArray key = line.left(line.indexOf('=')).trimmed();
        if (line.startsWith('['))
            keys += line + '\n';
        else if (line.contains('='))
            keys += key + " = " + key + (line.contains("%1") ? " %1\n" : "\n");
    }
    return keys;
}

} // namespace

class LanguageTest : public QObject
{
    Q_OBJECT

private slots:
    // A planted ./pictalux/convert is never taken for the program's; links lead to the real one.
    void programmeDir()
    {
        QTemporaryDir here;
        writeFile(here.filePath("pictalux/convert"));
        writeFile(here.filePath("real/pictalux"));
        QVERIFY(QFile::link("real/pictalux", here.filePath("link")));
        const QString current = QDir::currentPath();
        QVERIFY(QDir::setCurrent(here.path()));
        const QStringList found = {Language::programmeDirFrom("/usr/app/px/prog"),
                                   Language::programmeDirFrom("pictalux"),
                                   Language::programmeDirFrom("real/pictalux"),
                                   Language::programmeDirFrom(here.filePath("link"))};
        QDir::setCurrent(current);
        QCOMPARE(found, QStringList({"/usr/app/px", QCoreApplication::applicationDirPath(),
                                     here.filePath("real"), here.filePath("real")}));
    }

    void languageType_data()
    {
        // A setting file's content, or the kind of thing it is; the locale; the language file.
        columns({"setting", "locale", "file"});
        const QString chinese = "[SYS_SYSTEM_SET]\nLanguageType = zh-cn\n";
        row("setting decides", {chinese, "en_GB.UTF-8", "Chinese.lng"});
        for (const char *other : {"zh-CN", "zh-tw", "en-us"})
            row(other, {QStringLiteral("[SYS_SYSTEM_SET]\nLanguageType = %1\n").arg(other), "zh_CN",
                        "English.lng"});
        row("other group", {"[OTHER]\nLanguageType = zh-cn\n", "zh_CN", "English.lng"});
        row("byte order mark, CRLF",
            {"\uFEFF[SYS_SYSTEM_SET]\r\n LanguageType=zh-cn \r\n", "en", "Chinese.lng"});
        row("no setting, other desktop", {"missing", "de_DE.UTF-8", "English.lng"});
        row("FIFO", {"fifo", "zh_CN.UTF-8", "Chinese.lng"});
        row("endless device", {"zero", "zh_CN.UTF-8", "Chinese.lng"});
        row("too big", {chinese + QString(ZConfig::MaximumSize, u'#'), "en", "English.lng"});
    }
    // Anything but a regular file of sane size counts as missing, and is never waited on.
    void languageType()
    {
        QFETCH(QString, setting);
        QFETCH(QString, locale);
        QFETCH(QString, file);
        QTemporaryDir folder;
        const QString path = folder.filePath("ezx_system.cfg");
        if (setting == "fifo")
            QCOMPARE(mkfifo(QFile::encodeName(path).constData(), 0600), 0);
        else if (setting == "zero")
            QVERIFY(QFile::link("/dev/zero", path));
        else if (setting != "missing")
            writeFile(path, setting.toUtf8());
        const QString type = Language::languageType(ZConfig(path), locale);
        QCOMPARE(Language::languageFilePath("/usr/app/px", type), "/usr/app/px/lng/" + file);
    }

    // Every screen on a Chinese desktop: with an empty setting file, English whose texts are their
    // keys, each in its place; without one, Chinese, no Latin letter but in names and types.
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
        const QString setting = programDir.filePath("ezx_system.cfg");
        if (!chinese)
            writeFile(setting);
        qputenv("PICTALUX_SYSTEM_CFG", setting.toLocal8Bit());
        qputenv("LC_ALL", "zh_CN.UTF-8");
        QTemporaryDir tree;
        const QString storage = tree.filePath("存储");
        writeFile(storage + "/相册/文本.png", "no picture");
        QVERIFY(quarters().save(storage + "/花.jpg"));
        qputenv("PICTALUX_START_DIR", storage.toLocal8Bit());

        EditInterface editor;
        PxGui &browser = *Probe::browser(editor);
        ZOptionsMenu *menu = browser.findChild<ZOptionsMenu *>();
        FileSaveDialog dialog(storage, storage + "/花.jpg");
        ZListBox *folders = Probe::folderList(dialog);
        QStringList shown, screens;
        const ModalAnswers popups([&shown](QWidget *popup) {
            shown << texts(popup);
            static_cast<QDialog *>(popup)->reject();
        });
        // The texts the step before brought up, popups first.
        const auto screen = [&](const char *name, const QStringList &window = {}) {
            screens << name + QStringLiteral(": ") + (shown + window).join(u'|');
            shown.clear();
        };
        browser.findChild<ZSoftKey *>()->findChild<QAbstractButton *>()->click();
        screen("options menu", texts(&browser));
        // Down skips the separator, F9 chooses.
        for (const Qt::Key key : {Qt::Key_Down, Qt::Key_Down, Qt::Key_F9})
            QTest::keyClick(menu, key);
        screen("about");
        screen("browser", texts(&browser));
        browser.fileSaveAs();
        screen("no picture");
        dialog.show();
        screen("save dialog", texts(&dialog));
        QTest::mouseClick(folders->viewport(), Qt::LeftButton, {},
                          folders->visualItemRect(folders->item(1)).center());
        screen("down a folder", {Probe::folderLabel(dialog)->text()});
        dialog.itemSelected(0);
        screen("back up", {Probe::folderLabel(dialog)->text()});
        dialog.fileSaveOk();
        screen("invalid name");
        Probe::nameEdit(dialog)->setText("花");
        dialog.fileSaveOk();
        screen("replace");
        programDir.useFakeConverter(ProgramDir::Converter::Fails);
        Probe::nameEdit(dialog)->setText("新");
        dialog.fileSaveOk();
        screen("save failure");
        dialog.hide();
        browser.setUnsavedEdits(true);
        browser.quit();
        screen("unsaved, quit");
        browser.itemSelected(2);
        screen("unsaved, open");
        browser.setUnsavedEdits(false);
        editor.openPath(storage + "/花.jpg");
        Probe::toolIndex(editor) = 6;
        editor.execCommand();
        screen("number picker");
        editor.openPath(storage + "/相册/文本.png");
        screen("editor", Probe::overlayTexts(editor));

        screens.replaceInStrings(tree.path(), "@").replaceInStrings("\n", "/");
        if (chinese) {
            const QRegularExpression allowed(
                    QStringLiteral("^[^:]*: |@|Pictalux|ROKR|E8|\\.(jpe?g|png|gif|bmp|\\*)"));
            const QStringList latin = screens.replaceInStrings(allowed, QString())
                                              .filter(QRegularExpression("[A-Za-z]"));
            QVERIFY2(latin.isEmpty(), qPrintable(latin.join(u'\n')));
            return;
        }
        const QStringList keys = {
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
                "EDIT_FAILED|EDIT_TOO_LARGE|EDIT_UNDO|EDIT_REDO|EDIT_NOT_A_PICTURE|"
                "EDIT_UNDO_LOST|FLOP|FLIP|ROTATE_LEFT|ROTATE_RIGHT|B_AND_W|NEGATIVE|EMBOSS|"
                "CROP|OIL_PAINT|SWIRL|SOLARIZE|SEPIA|SPREAD|CHARCOAL|RESIZE",
        };
        QCOMPARE(screens, keys);
    }
};

PICTALUX_TEST_MAIN(LanguageTest)
#include "tst_language.moc"
