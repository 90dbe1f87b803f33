#include "platform/convertercommand.h"
#include "platform/converterrun.h"
#include "platform/filename.h"
#include "platform/filesystem.h"
#include "platform/handsetkeys.h"
#include "platform/res_icon_reader.h"
#include "platform/workingfolder.h"
#include "platform/zapplication.h"
#include "platform/zglobal.h"
#include "platform/zmessagedlg.h"
#include "platform/zsoftkey.h"
#include "testsupport.h"

#include <QLabel>
#include <QProcess>
#include <QPushButton>

#include <cstdlib>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

using FileName::decodeName;

namespace {

// Whether some process holds the lock on the folder.
bool isLocked(const QString &folder)
{
    const int handle = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY);
    const bool locked = handle >= 0 && ::flock(handle, LOCK_EX | LOCK_NB) != 0;
    ::close(handle);
    return locked;
}

// Runs one test function again in a child process, which finds the text in PICTALUX_TEST_CHILD.
void startChild(QProcess &child, const char *function, const QString &text = "1")
{
    const auto marked = setVariable("PICTALUX_TEST_CHILD", QFile::encodeName(text));
    child.setProcessChannelMode(QProcess::ForwardedChannels);
    child.start(QCoreApplication::applicationFilePath(), {function});
}

} // namespace

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

    void systemIcons()
    {
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

    // A question shows its whole text, wrapped lines too, over the program's window wherever that
    // stands on a larger display, and answers to the keys and to clicks on its soft keys.
    void popupsAnswer_data()
    {
        QTest::addColumn<int>("key"); // a key, or -1 and -2 for clicks on the left and right keys
        QTest::addColumn<int>("result");
        const std::tuple<const char *, int, int> rows[] = {
                {"Return", Qt::Key_Return, 1}, {"Enter", Qt::Key_Enter, 1},
                {"F9", Qt::Key_F9, 1},         {"left click", -1, 1},
                {"F11", Qt::Key_F11, 0},       {"Escape", Qt::Key_Escape, 0},
                {"right click", -2, 0}};
        for (const auto &[name, key, result] : rows)
            QTest::newRow(name) << key << result;
    }
    void popupsAnswer()
    {
        QFETCH(int, key);
        QFETCH(int, result);
        QWidget window;
        window.setGeometry(QRect(QPoint(400, 300), ZGlobal::screenSize()));
        window.show();
        int missing = -1;
        QPoint centre;
        const ModalAnswers answers([key, &missing, &centre](QWidget *popup) {
            const QLabel *label = popup->findChildren<QLabel *>().constLast();
            missing = label->heightForWidth(label->width()) - label->height();
            centre = popup->frameGeometry().center();
            if (key < 0)
                popup->findChild<ZSoftKey *>()->findChildren<QPushButton *>().at(-1 - key)->click();
            else
                QTest::keyClick(popup, Qt::Key(key));
        });
        const QString line = QString(10, u'w').replace(u'w', "word ").trimmed() + '\n';
        ZMessageDlg question("Title", line + line + line, ZMessageDlg::TypeYesNo);
        QCOMPARE(question.exec(), result);
        QCOMPARE(missing, 0);
        QVERIFY2((centre - window.frameGeometry().center()).manhattanLength() <= 4,
                 qPrintable(QStringLiteral("centred at %1,%2").arg(centre.x()).arg(centre.y())));
    }

    // Only A-Z a-z 0-9 / . _ - + , @ % go to the shell bare; the rest is quoted, ' as '\''.
    void shellQuoting()
    {
        using ConverterCommand::shellQuoted;
        QCOMPARE(shellQuoted("/mmc/DCIM_2/a-b+c,d@e%f.JPG"), "/mmc/DCIM_2/a-b+c,d@e%f.JPG");
        QCOMPARE(shellQuoted(""), "''");
        QCOMPARE(shellQuoted("it's"), "'it'\\''s'");
        for (char c = 1; c < 127; ++c)
            if (!QChar(c).isLetterOrNumber() && !QByteArray("/._-+,@%'").contains(c))
                QCOMPARE(shellQuoted(QString("a%1b.png").arg(c)), QString("'a%1b.png'").arg(c));
    }

    void namesKeepTheirBytes_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("shown");
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
        // Qt cannot remove names that are not UTF-8.
        const auto removeNames = qScopeGuard([&] {
            ::unlink((root + "caf\xE9").constData());
            ::rmdir((root + "d\xE9j\xE0").constData());
        });
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

    void privateFolderPlaces_data()
    {
        // The runtime folder's mode, none where empty; TMPDIR's kind; where the folder goes.
        columns({"runtimeMode", "tmpdir", "where"});
        row("runtime folder", {"700", "folder", "runtime"});
        row("runtime folder not writable", {"500", "folder", "tmpdir"});
        row("TMPDIR missing", {"", "missing", "/tmp"});
        row("TMPDIR a file", {"", "file", "/tmp"});
        row("both unusable", {"500", "missing", "/tmp"});
    }
    // The private folder goes to the first place where one can be made.
    void privateFolderPlaces()
    {
        QFETCH(QString, runtimeMode);
        QFETCH(QString, tmpdir);
        QFETCH(QString, where);
        if (runtimeMode == "500" && ::getuid() == 0)
            QSKIP("root writes everywhere; these tests run again as an ordinary user for this");
        QTemporaryDir runtime, temporary;
        writeFile(temporary.filePath("file"));
        ::chmod(QFile::encodeName(runtime.path()).constData(),
                mode_t(runtimeMode.toUInt(nullptr, 8)));
        const auto runtimeVariable = setVariable(
                "XDG_RUNTIME_DIR", runtimeMode.isEmpty() ? "" : QFile::encodeName(runtime.path()));
        const auto tmpdirVariable = setVariable(
                "TMPDIR", QFile::encodeName(tmpdir == "folder" ? temporary.path()
                                                               : temporary.filePath(tmpdir)));
        WorkingFolder folder{QString()};
        const QString made = folder.privateFolder();
        ::chmod(QFile::encodeName(runtime.path()).constData(), 0700);
        const QString expected = where == "runtime"  ? runtime.path()
                                 : where == "tmpdir" ? temporary.path()
                                                     : where;
        QCOMPARE(QFileInfo(made).path(), expected);
        QCOMPARE(folder.workingCopyFolder(), made);
        struct stat info;
        QVERIFY(::stat(QFile::encodeName(made).constData(), &info) == 0 &&
                (info.st_mode & 07777) == 0700);
    }

    // A private folder goes with the next program only when none holds it, whatever its pid says.
    void privateFolderLifetime()
    {
        QTemporaryDir runtime;
        const auto runtimeVariable =
                setVariable("XDG_RUNTIME_DIR", QFile::encodeName(runtime.path()));
        const QString dead = "pictalux-session-999999999-abcDEF";
        const QString locked = "pictalux-session-999999998-abcDEF";
        const QString living = QStringLiteral("pictalux-session-%1-abcDEF").arg(::getpid());
        const QString link = "pictalux-session-999999997-abcDEF";
        for (const QString &name : {dead, locked, living, QStringLiteral("target")})
            writeFile(runtime.filePath(name + "/undo-1.image"), "picture");
        QVERIFY(QFile::link(runtime.filePath("target"), runtime.filePath(link)));
        const int lock = ::open(QFile::encodeName(runtime.filePath(locked)).constData(),
                                O_RDONLY | O_DIRECTORY);
        QCOMPARE(::flock(lock, LOCK_EX), 0);

        auto folder = std::make_unique<WorkingFolder>(QString());
        const QString made = folder->privateFolder();
        ::close(lock);
        QStringList kept = {locked, link, living, QFileInfo(made).fileName(), "target"};
        kept.sort(Qt::CaseInsensitive);
        QCOMPARE(QDir(runtime.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), kept);
        QVERIFY(QFileInfo::exists(runtime.filePath("target/undo-1.image")));
        QVERIFY(isLocked(made));

        // Removed by someone all the same, it is made anew.
        QDir(made).removeRecursively();
        const QString again = folder->privateFolder();
        QVERIFY(!again.isEmpty() && again != made && isLocked(again));
        folder.reset();
        QVERIFY(!QFileInfo::exists(again));
    }

    // Leaving through exit(), as Qt does when the X server goes away, removes the folder too.
    void privateFolderGoesAtExit()
    {
        if (qEnvironmentVariableIsSet("PICTALUX_TEST_CHILD")) {
            // Held from a static, so that it neither goes at exit itself nor counts as a leak.
            static WorkingFolder *const folder = new WorkingFolder(QString());
            std::exit(folder->privateFolder().isEmpty() ? 2 : 1);
        }
        QTemporaryDir runtime;
        const auto runtimeVariable =
                setVariable("XDG_RUNTIME_DIR", QFile::encodeName(runtime.path()));
        QProcess child;
        startChild(child, "privateFolderGoesAtExit");
        QVERIFY(child.waitForFinished(20000) && child.exitCode() == 1);
        QVERIFY(QDir(runtime.path()).isEmpty());
    }

    // A converter whose program dies is stopped, rather than going on to write its result.
    void converterEndsWithTheProgram()
    {
        if (qEnvironmentVariableIsSet("PICTALUX_TEST_CHILD")) {
            const QString folder = qEnvironmentVariable("PICTALUX_TEST_CHILD");
            ConverterRun::run(folder, folder + "/source", "-flop ", folder + "/result");
            std::exit(1);
        }
        ProgramDir program;
        program.useFakeConverter(ProgramDir::Converter::Copies, 1);
        writeFile(program.filePath("source"), "picture");
        QProcess child;
        startChild(child, "converterEndsWithTheProgram", program.path());
        QTRY_COMPARE(program.converterRuns().size(), 1);
        child.kill();
        QVERIFY(child.waitForFinished());
        QTest::qWait(2000);
        QVERIFY(!QFileInfo::exists(program.filePath("result")));
    }
};

PICTALUX_TEST_MAIN(PlatformTest)
#include "tst_platform.moc"