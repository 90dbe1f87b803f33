#include "lang/language.h"
#include "platform/zconfig.h"
#include "savedlg/filesavedialog.h"
#include "testsupport.h"

class LanguageTest : public QObject
{
    Q_OBJECT

private slots:
    void programmeDirAndLanguageFile()
    {
        QCOMPARE(Language::programmeDirFrom("/usr/app/px/prog"), QStringLiteral("/usr/app/px"));
        QCOMPARE(Language::programmeDirFrom("/prog"), QStringLiteral(""));
        QCOMPARE(Language::programmeDirFrom("prog"), QStringLiteral("prog"));
        QCOMPARE(Language::languageFilePath("/usr/app/px", "zh-cn"),
                 QStringLiteral("/usr/app/px/lng/Chinese.lng"));
        for (const QString &other : QStringList{"zh-CN", "zh-tw", "en-us", "", QString()})
            QCOMPARE(Language::languageFilePath("prog", other),
                     QStringLiteral("prog/lng/English.lng"));
    }

    void readerFollowsTheSettingFile()
    {
        ProgramDir programDir;
        const QString setting = programDir.filePath("ezx_system.cfg");
        qputenv("PICTALUX_SYSTEM_CFG", setting.toLocal8Bit());
        QCOMPARE(FileSaveDialog::getConfig()->readEntry("UI_MENU", "UI_QUIT"),
                 QStringLiteral("Quit"));
        writeFile(setting, "[SYS_SYSTEM_SET]\nLanguageType = zh-cn\n");
        QCOMPARE(FileSaveDialog::getConfig()->readEntry("UI_MENU", "UI_QUIT"),
                 QStringLiteral("退出"));
        QFile::remove(programDir.filePath("lng/Chinese.lng"));
        QVERIFY(FileSaveDialog::getConfig()->readEntry("UI_MENU", "UI_QUIT").isNull());
    }

    void bothLanguageFilesHaveTheSameKeys()
    {
        const auto keys = [](const char *file) {
            QFile lng(QStringLiteral(PICTALUX_SOURCE_DIR "/data/lng/") + QLatin1String(file));
            lng.open(QIODevice::ReadOnly);
            QStringList found;
            for (const QByteArray &line : lng.readAll().split('\n')) {
                if (line.contains('='))
                    found.append(QString::fromUtf8(line.left(line.indexOf('='))).trimmed());
            }
            return found;
        };
        QCOMPARE(keys("Chinese.lng"), keys("English.lng"));
    }
};

PICTALUX_TEST_MAIN(LanguageTest)
#include "tst_language.moc"
