#include "lang/language.h"
#include "platform/zconfig.h"
#include "savedlg/filesavedialog.h"
#include "testsupport.h"

class LanguageTest : public QObject
{
    Q_OBJECT

private slots:
    void programmeDirFromStartPath_data()
    {
        QTest::addColumn<QString>("startPath");
        QTest::addColumn<QString>("programmeDir");
        QTest::newRow("full path") << "/usr/app/px/prog"
                                   << "/usr/app/px";
        QTest::newRow("at the root") << "/prog"
                                     << "";
        QTest::newRow("no slash") << "prog"
                                  << "prog";
        QTest::newRow("relative") << "./build/pictalux"
                                  << "./build";
    }
    void programmeDirFromStartPath()
    {
        QFETCH(QString, startPath);
        QFETCH(QString, programmeDir);
        QCOMPARE(Language::programmeDirFrom(startPath), programmeDir);
    }

    void languageFileFollowsSetting_data()
    {
        QTest::addColumn<QString>("languageType");
        QTest::addColumn<QString>("file");
        QTest::newRow("zh-cn") << "zh-cn"
                               << "/usr/app/px/lng/Chinese.lng";
        QTest::newRow("zh-CN") << "zh-CN"
                               << "/usr/app/px/lng/English.lng";
        QTest::newRow("zh-tw") << "zh-tw"
                               << "/usr/app/px/lng/English.lng";
        QTest::newRow("zh-cn with a blank") << "zh-cn "
                                            << "/usr/app/px/lng/English.lng";
        QTest::newRow("en-us") << "en-us"
                               << "/usr/app/px/lng/English.lng";
        QTest::newRow("empty") << ""
                               << "/usr/app/px/lng/English.lng";
        QTest::newRow("missing") << QString() << "/usr/app/px/lng/English.lng";
    }
    void languageFileFollowsSetting()
    {
        QFETCH(QString, languageType);
        QFETCH(QString, file);
        QCOMPARE(Language::languageFilePath(QStringLiteral("/usr/app/px"), languageType), file);
        QCOMPARE(Language::languageFilePath(QString(), languageType).section('/', -1),
                 file.section('/', -1));
    }

    void readerUsesSettingAndProgramDirectory_data()
    {
        QTest::addColumn<QByteArray>("setting");
        QTest::addColumn<QString>("quitText");
        QTest::newRow("chinese") << QByteArray("[SYS_SYSTEM_SET]\nLanguageType = zh-cn\n")
                                 << QStringLiteral("退出");
        QTest::newRow("upper case")
                << QByteArray("[SYS_SYSTEM_SET]\nLanguageType=zh-CN\n") << QStringLiteral("Quit");
        QTest::newRow("other group")
                << QByteArray("[OTHER]\nLanguageType = zh-cn\n") << QStringLiteral("Quit");
        QTest::newRow("no setting file") << QByteArray() << QStringLiteral("Quit");
    }
    void readerUsesSettingAndProgramDirectory()
    {
        QFETCH(QByteArray, setting);
        QFETCH(QString, quitText);
        ProgramDir programDir;
        const QString settingPath = programDir.filePath(QStringLiteral("ezx_system.cfg"));
        if (!setting.isNull())
            writeFile(settingPath, setting);
        qputenv("PICTALUX_SYSTEM_CFG", settingPath.toLocal8Bit());

        QCOMPARE(FileSaveDialog::getProgrammeDir(), programDir.path());
        const auto reader = FileSaveDialog::getConfig();
        QCOMPARE(reader->readEntry("UI_MENU", "UI_QUIT"), quitText);
    }

    void bothLanguageFilesHaveEveryText()
    {
        const QList<QPair<QString, QStringList>> keys = {
                {"UI_MENU",
                 {"UI_EDIT", "UI_FILE_SAVE", "UI_ABOUT", "UI_QUIT", "UI_OPTION", "UI_SELECT",
                  "UI_CANCEL", "UI_SAVE_TITLE", "UI_FILE_NAME", "UI_FILE_FOLDER", "UI_OK"}},
                {"EDIT_MENU",
                 {"EDIT_SIZE", "EDIT_SCALE", "EDIT_POSITION", "EDIT_REGION", "EDIT_CUT",
                  "EDIT_CANCEL", "EDIT_BROWSER", "EDIT_SAVE"}},
                {"EDIT_TOOLS",
                 {"FLOP", "FLIP", "ROTATE_LEFT", "ROTATE_RIGHT", "B_AND_W", "NEGATIVE", "EMBOSS",
                  "CROP", "OIL_PAINT", "SWIRL", "SOLARIZE", "SEPIA", "SPREAD", "CHARCOAL",
                  "RESIZE"}}};
        for (const char *file : {"English.lng", "Chinese.lng"}) {
            const ZConfig reader(QStringLiteral(PICTALUX_SOURCE_DIR "/data/lng/") +
                                 QLatin1String(file));
            for (const auto &group : keys) {
                for (const QString &key : group.second)
                    QVERIFY2(!reader.readEntry(group.first, key).isEmpty(),
                             qPrintable(QLatin1String(file) + ": " + key));
            }
        }
    }

    void missingLanguageFileGivesNullTexts()
    {
        ProgramDir programDir;
        QFile::remove(programDir.filePath(QStringLiteral("lng/English.lng")));
        qunsetenv("PICTALUX_SYSTEM_CFG");
        const auto reader = FileSaveDialog::getConfig();
        QVERIFY(reader->readEntry("UI_MENU", "UI_QUIT").isNull());
    }
};

PICTALUX_TEST_MAIN(LanguageTest)
#include "tst_language.moc"
