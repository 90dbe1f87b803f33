#include "platform/zlineedit.h"
#include "platform/zoptionsmenu.h"
#include "testprobe.h"
#include "testsupport.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QRegularExpression>

using Probe = TestProbe;

// Every screen in Chinese: no text a user sees holds a Latin letter, but for file names, picture
// types and the names of the program and the handset.
class ChineseTest : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_tree;

    // The texts of every window on the screen: titles, labels, keys, rows and menu entries.
    static QStringList shownTexts()
    {
        QStringList texts;
        for (QWidget *window : QApplication::topLevelWidgets()) {
            if (!window->isVisible())
                continue;
            texts << window->windowTitle();
            for (const QAction *action : window->actions())
                texts << action->text();
            for (const QWidget *widget : window->findChildren<QWidget *>()) {
                if (const auto *label = qobject_cast<const QLabel *>(widget))
                    texts << label->text();
                else if (const auto *button = qobject_cast<const QAbstractButton *>(widget))
                    texts << button->text();
                else if (const auto *edit = qobject_cast<const QLineEdit *>(widget))
                    texts << edit->text();
                else if (const auto *combo = qobject_cast<const QComboBox *>(widget))
                    for (int index = 0; index < combo->count(); ++index)
                        texts << combo->itemText(index);
                else if (const auto *list = qobject_cast<const QListWidget *>(widget))
                    for (int row = 0; row < list->count(); ++row)
                        texts << list->item(row)->text();
            }
        }
        return texts;
    }

    static QStringList keysOf(const QString &languageFile)
    {
        QFile file(languageFile);
        file.open(QIODevice::ReadOnly);
        const QRegularExpression key(QStringLiteral("^(\\[\\w+\\]|\\w+) *="),
                                     QRegularExpression::MultilineOption);
        QStringList keys;
        for (const auto &match : key.globalMatch(QString::fromUtf8(file.readAll())))
            keys << match.captured(1);
        return keys;
    }

private slots:
    void everyScreen()
    {
        ProgramDir programDir;
        QCOMPARE(keysOf(programDir.filePath("lng/Chinese.lng")),
                 keysOf(programDir.filePath("lng/English.lng")));
        writeFile(m_tree.filePath("setting.cfg"), "[SYS_SYSTEM_SET]\nLanguageType = zh-cn\n");
        qputenv("PICTALUX_SYSTEM_CFG", m_tree.filePath("setting.cfg").toLocal8Bit());
        const QString storage = m_tree.filePath("存储");
        writeFile(storage + "/相册/文本.png", "no picture");
        QVERIFY(quarters().save(storage + "/花.jpg"));
        qputenv("PICTALUX_START_DIR", storage.toLocal8Bit());

        EditInterface editor;
        PxGui &browser = *Probe::browser(editor);
        FileSaveDialog dialog(storage, storage + "/花.jpg");
        ZLineEdit &name = *Probe::nameEdit(dialog);
        // Each screen is brought up, read, and left; a popup is answered with its right key.
        const auto popup = [](const std::function<void()> &bringUp) {
            return [bringUp] {
                QStringList texts;
                answerModal([&texts](QWidget *modal) {
                    texts = shownTexts();
                    static_cast<QDialog *>(modal)->reject();
                });
                bringUp();
                return texts;
            };
        };
        const auto screen = [](const std::function<void()> &bringUp) {
            return [bringUp] {
                bringUp();
                return shownTexts();
            };
        };
        const std::vector<std::pair<const char *, std::function<QStringList()>>> screens = {
                {"browser", screen([] {})},
                {"options menu", screen([&] { QTest::keyClick(&browser, Qt::Key_F9); })},
                {"about", popup([&] {
                     Probe::optionsMenu(browser)->hide();
                     browser.about();
                 })},
                {"error", popup([&] { browser.fileSaveAs(); })},
                {"save dialog, down a folder", screen([&] {
                     dialog.show();
                     dialog.itemSelected(1);
                 })},
                {"save dialog, back up", screen([&] { dialog.itemSelected(0); })},
                {"invalid name", popup([&] { dialog.fileSaveOk(); })},
                {"replace question", popup([&] {
                     name.setText("花");
                     dialog.fileSaveOk();
                 })},
                {"save failure", popup([&] {
                     programDir.useFakeConverter(ProgramDir::Converter::Fails);
                     name.setText("新");
                     dialog.fileSaveOk();
                 })},
                {"unsaved edits question", popup([&] {
                     dialog.hide();
                     browser.setUnsavedEdits(true);
                     browser.quit();
                 })},
                {"number picker", popup([&] {
                     browser.setUnsavedEdits(false);
                     editor.openPath(storage + "/花.jpg");
                     Probe::toolIndex(editor) = 6;
                     editor.execCommand();
                 })},
                {"editor overlay",
                 [&] {
                     editor.openPath(storage + "/相册/文本.png");
                     return Probe::overlayTexts(editor);
                 }},
        };

        const QRegularExpression allowed(
                QRegularExpression::escape(m_tree.path()) +
                QStringLiteral("|Pictalux|ROKR|E8|\\.(jpe?g|png|gif|bmp|\\*)"));
        QStringList latin;
        for (const auto &[screenName, show] : screens) {
            const QStringList texts = show();
            QVERIFY2(!texts.isEmpty(), screenName);
            for (QString text : texts) {
                if (text.remove(allowed).contains(QRegularExpression("[A-Za-z]")))
                    latin << QStringLiteral("%1: %2").arg(screenName, text);
            }
        }
        QVERIFY2(latin.isEmpty(), qPrintable(latin.join(u'\n')));
        QVERIFY(!Probe::overlayTexts(editor).contains(QString()));
    }
};

PICTALUX_TEST_MAIN(ChineseTest)
#include "tst_chinese.moc"
