#include "lang/language.h"
#include "platform/zconfig.h"
#include "savedlg/filesavedialog.h"
#include "testsupport.h"

#include <sys/stat.h>

class LanguageTest : public QObject
{
    Q_OBJECT

private slots:
    void programmeDir_data()
    {
        QTest::addColumn<QString>("startPath");
        QTest::addColumn<QString>("expected"); // "@" stands for the test's own folder
        const auto row = [](const char *name, const char *startPath, const QString &expected) {
            QTest::newRow(name) << QString(startPath) << expected;
        };
        row("full path", "/usr/app/px/prog", "/usr/app/px");
        row("at the root", "/prog", "");
        row("bare name", "pictalux", QCoreApplication::applicationDirPath());
        row("relative", "real/pictalux", "@/real");
        row("link", "@/bin/pictalux", "@/real");
        row("relative link", "./bin/pictalux", "@/real");
    }
    // Started from a folder that holds a planted pictalux/convert, which must never be taken
    // for the program's own.
    void programmeDir()
    {
        QFETCH(QString, startPath);
        QFETCH(QString, expected);
        QTemporaryDir here;
        writeFile(here.filePath("pictalux/convert"));
        writeFile(here.filePath("real/pictalux"));
        QDir(here.path()).mkdir("bin");
        QVERIFY(QFile::link("../real/pictalux", here.filePath("bin/pictalux")));
        const QString current = QDir::currentPath();
        QVERIFY(QDir::setCurrent(here.path()));
        const QString found = Language::programmeDirFrom(startPath.replace('@', here.path()));
        QDir::setCurrent(current);
        QCOMPARE(found, expected.replace('@', here.path()));
    }

    void languageType_data()
    {
        QTest::addColumn<QString>("setting"); // a file's content, or the kind of thing it is
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QString>("file");
        const auto row = [](const char *name, const QString &setting, const char *locale,
                            const char *file) {
            QTest::newRow(name) << setting << QString(locale) << QString(file);
        };
        const QString chinese = "[SYS_SYSTEM_SET]\nLanguageType = zh-cn\n";
        row("setting decides", chinese, "en_GB.UTF-8", "Chinese.lng");
        for (const char *other : {"zh-CN", "zh-tw", "en-us"})
            row(other, QStringLiteral("[SYS_SYSTEM_SET]\nLanguageType = %1\n").arg(other), "zh_CN",
                "English.lng");
        row("empty setting", "", "zh_CN.UTF-8", "English.lng");
        row("other group", "[OTHER]\nLanguageType = zh-cn\n", "en", "English.lng");
        row("byte order mark, CRLF", "\uFEFF[SYS_SYSTEM_SET]\r\n LanguageType=zh-cn \r\n", "en",
            "Chinese.lng");
        row("no setting, Chinese desktop", "missing", "zh_TW", "Chinese.lng");
        row("no setting, other desktop", "missing", "de_DE.UTF-8", "English.lng");
        row("no setting, no locale", "missing", "", "English.lng");
        row("FIFO", "fifo", "zh_CN.UTF-8", "Chinese.lng");
        row("endless device", "zero", "zh_CN.UTF-8", "Chinese.lng");
        row("too big", chinese + QString(ZConfig::MaximumSize, u'#'), "en", "English.lng");
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

    void readerFollowsTheSettingFile()
    {
        ProgramDir programDir;
        const QString setting = programDir.filePath("ezx_system.cfg");
        qputenv("PICTALUX_SYSTEM_CFG", setting.toLocal8Bit());
        qputenv("LC_ALL", "zh_CN.UTF-8");
        QCOMPARE(FileSaveDialog::getConfig()->readEntry("UI_MENU", "UI_QUIT"),
                 QStringLiteral("退出"));
        qputenv("LC_ALL", "C");
        QCOMPARE(FileSaveDialog::getConfig()->readEntry("UI_MENU", "UI_QUIT"),
                 QStringLiteral("Quit"));
        writeFile(setting, "[SYS_SYSTEM_SET]\nLanguageType = zh-cn\n");
        QCOMPARE(FileSaveDialog::getConfig()->readEntry("UI_MENU", "UI_QUIT"),
                 QStringLiteral("退出"));
        QFile::remove(programDir.filePath("lng/Chinese.lng"));
        QVERIFY(FileSaveDialog::getConfig()->readEntry("UI_MENU", "UI_QUIT").isNull());
    }
};

PICTALUX_TEST_MAIN(LanguageTest)
#include "tst_language.moc"
