#include "platform/filename.h"
#include "platform/filesystem.h"
#include "platform/zlineedit.h"
#include "platform/zmessagedlg.h"
#include "testprobe.h"
#include "testsupport.h"

#include <QImageReader>
#include <QProcess>

#include <sys/stat.h>
#include <unistd.h>

using Probe = TestProbe;

namespace {

// The entries of a folder, hidden ones included.
int entries(const QString &folder)
{
    const FileSystem::Listing listing = FileSystem::list(folder);
    return int(listing.folders.size() + listing.files.size()) - 2;
}

// "WxH corner/corner format" of the picture a file holds, the format told by its content.
QString pictureIn(const QString &path)
{
    QFile file;
    FileSystem::openForReading(path, &file);
    QImageReader reader(&file);
    return describePicture(reader.read()) + u' ' + reader.format();
}

// The tool menu opens on the crop; up and right of it is "rotate 90".
void turnRight(EditInterface &editor)
{
    for (const Qt::Key key : {Qt::Key_Return, Qt::Key_Up, Qt::Key_Right, Qt::Key_Return})
        QTest::keyClick(&editor, key);
    QTRY_COMPARE(Probe::editMode(editor), int(EditInterface::ViewMode));
}

} // namespace

// Broken, strange and hostile files and folders, taken through the browser, the editor and the
// save dialog as a user would: nothing crashes, hangs, runs or stays behind.
class HostileInputsTest : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_storage;
    QTemporaryDir m_here;
    QTemporaryDir m_runtime;

    QString storage(const QString &name) const { return m_storage.filePath(name); }

private slots:
    void initTestCase()
    {
        // A shell that misreads a name leaves its files in the current folder.
        QVERIFY(QDir::setCurrent(m_here.path()));
        qputenv("PICTALUX_START_DIR", m_storage.path().toLocal8Bit());
        qputenv("XDG_RUNTIME_DIR", m_runtime.path().toLocal8Bit());
        qputenv("TMPDIR", m_runtime.path().toLocal8Bit());
        QVERIFY(quarters(40, 30).save(storage("quarters"), "PNG"));
    }
    // Qt cannot remove names that are not UTF-8.
    void cleanupTestCase() { QProcess::execute("rm", {"-rf", m_storage.path()}); }

    // A picture beside a folder of its folder's name: chosen, turned, saved as ".*" into that
    // folder under its name less refused characters; a cancelled first dialog's choices go.
    void names_data()
    {
        QTest::addColumn<QString>("folder");
        QTest::addColumn<QString>("file");
        QTest::addColumn<QByteArray>("format"); // of the copy: its extension's, else the picture's
        QTest::addColumn<bool>("plain");        // the command lines show the paths as they are
        QTest::addColumn<QString>("programDir");
        const auto row = [](const char *tag, const QString &folder, const QString &file,
                            const char *format = "png", bool plain = false,
                            const QString &programDir = "prog") {
            QTest::newRow(tag) << folder << file << QByteArray(format) << plain << programDir;
        };
        row("plain", "photos", "p.png", "png", true);
        row("blanks", "my photos", "my photo.png");
        row("quotes", "it's \"here\"", "a'; touch pwned; 'b\"; touch pwned; \".png");
        row(";", "a;b", "c;d.png");
        row("&", "a&b", "c&d.png");
        row("|", "a|b", "c|d.png");
        row("$()", "$(touch pwned)", "$(touch pwned).png");
        row("backquotes", "`touch pwned`", "`touch pwned`.png");
        row("newline", "new\nline", "a\ntouch pwned\n.png");
        row("non-ASCII", "写真", "Grüße.png");
        row("not UTF-8", FileName::decodeName("d\xe9j\xe0"), FileName::decodeName("caf\xe9.png"));
        row("$ among plain characters", "a$b", "a$b.png");
        row("format prefix and frame", "gif:x[1]", "gif:x[1].png");
        row("colon", "a:b", "a:b.png");
        row("frame pattern", "p%d", "p%d.gif", "gif", true);
        row("leading dash", "-x", "-x.jpg", "jpeg", true);
        row("no extension", "photo", "photo.j%dg", "png", true);
        row("hidden name", "hidden", ".jpg", "png", true);
        row("program directory", "program", "p.png", "png", false, "it's $(touch pwned) `a`");
    }
    void names()
    {
        QFETCH(QString, folder);
        QFETCH(QString, file);
        QFETCH(QByteArray, format);
        QFETCH(bool, plain);
        QFETCH(QString, programDir);
        const QString outer = storage(folder), inner = outer + u'/' + folder;
        const QString picture = outer + u'/' + file;
        const QString name = QString::fromUtf8(FileName::encodeName(file))
                                     .remove(QRegularExpression("[\"*:<>?\\\\|]"));
        for (const QString &path : {outer, inner})
            QCOMPARE(::mkdir(FileName::encodeName(path), 0777), 0);
        QCOMPARE(::link(QFile::encodeName(storage("quarters")), FileName::encodeName(picture)), 0);
        const ProgramDir program(programDir);

        {
            StdoutCapture capture;
            QStringList popups;
            EditInterface editor;
            PxGui &browser = *Probe::browser(editor);
            choose(Probe::fileList(browser), folder);
            choose(Probe::fileList(browser), file);
            QTRY_COMPARE(Probe::editMode(editor), int(EditInterface::ViewMode));
            turnRight(editor);
            for (const bool save : {false, true}) {
                answerModal([&, save](QWidget *modal) {
                    auto &dialog = *qobject_cast<FileSaveDialog *>(modal);
                    choose(Probe::folderList(dialog), folder);
                    Probe::nameEdit(dialog)->setText(name);
                    dialog.itemActivated(5);
                    if (save)
                        popups = popupsDuring([&] { dialog.fileSaveOk(); });
                    if (dialog.isVisible())
                        dialog.fileSaveCancel();
                });
                browser.fileSaveAs();
            }
            const QString trace = capture.finish();
            QCOMPARE(popups, QStringList());
            QCOMPARE(pictureIn(inner + u'/' + name), "30x40 blue/green " + format);
            // The browser then lists the folder saved into, the copy lit.
            QCOMPARE(Probe::curDir(browser), inner);
            ZListBox *list = Probe::fileList(browser);
            QCOMPARE(Probe::rows(list).value(list->currentItem()), name);
            for (const QString &line : {"DIR    " + folder, "FILE    " + file})
                QVERIFY2(trace.contains(line + u'\n'), qPrintable(FileName::displayName(line)));
            // The browser traces the picture chosen, the editor the picture it loads.
            QCOMPARE(trace.count(u'\n' + picture + u'\n'), 2);
            const QString convert = program.filePath("convert "),
                          copy = program.filePath("pxTemp.image");
            QCOMPARE(trace.contains(convert + picture + " -rotate 90 " + copy + u'\n'), plain);
            QCOMPARE(trace.contains(convert + copy + u' ' + inner + u'/' + name + u'\n'), plain);
        }
        // Nothing ran, and nothing is left but the picture, the copy saved, the working copy.
        const QList<int> left = {entries(outer), entries(inner), entries(m_here.path()),
                                 entries(program.path()), entries(m_runtime.path())};
        QCOMPARE(left, QList<int>({2, 1, 0, 6, 1}));
    }

    // What cannot be read shows as the gray 320 x 240 stand-in with the reason; tools fail on it.
    void pictures_data()
    {
        columns({"content", "problem"}); // the file's bytes in hexadecimal
        row("empty", {"", "Cannot open: not a picture"});
        row("PNG signature alone", {"89504e470d0a1a0a", "Cannot open: the picture is damaged"});
        // Signature, header and an empty data chunk, the checksums right.
        row("900000 x 900000", {"89504e470d0a1a0a0000000d49484452000dbba0000dbba008020000005fdf06d8"
                                "000000004944415435af061e",
                                "Cannot open: too large to show"});
    }
    void pictures()
    {
        QFETCH(QString, content);
        QFETCH(QString, problem);
        const ProgramDir program;
        writeFile(storage("picture"), QByteArray::fromHex(content.toLatin1()));
        EditInterface editor;
        choose(Probe::fileList(*Probe::browser(editor)), "picture");
        QTRY_COMPARE(Probe::editMode(editor), int(EditInterface::ViewMode));
        QCOMPARE(Probe::overlayTexts(editor).value(14), problem);
        turnRight(editor);
        QCOMPARE(Probe::originPixmap(editor).size(), QSize(320, 240));
    }

    void folders()
    {
        // Names of one file: a file system takes seconds to make 20000 files.
        writeFile(storage("many/0.jpg"));
        for (int index = 1; index < 20000; ++index)
            QCOMPARE(::link(QFile::encodeName(storage("many/0.jpg")),
                            QFile::encodeName(storage("many/%1.jpg").arg(index))),
                     0);
        QVERIFY(QFile::link(storage("loop"), storage("loop")));
        QVERIFY(QFile::link(".", storage("around")));
        const ProgramDir program;
        PxGui browser;
        ZListBox *list = Probe::fileList(browser);
        choose(list, "many");
        QCOMPARE(list->count(), 20001);
        QTest::keyClick(list, Qt::Key_Return);
        // A self-link is not listed; a link to its own folder lists it again, ".." leading out.
        QVERIFY(!Probe::rows(list).contains("loop"));
        choose(list, "around");
        QVERIFY(Probe::rows(list).contains("around"));
        QTest::keyClick(list, Qt::Key_Return);
        QCOMPARE(Probe::curDir(browser), m_storage.path());
    }
};

PICTALUX_TEST_MAIN(HostileInputsTest)
#include "tst_hostileinputs.moc"
