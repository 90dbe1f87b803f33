#include "platform/zlineedit.h"
#include "platform/zmessagedlg.h"
#include "testprobe.h"
#include "testsupport.h"

#include <QDir>
#include <QImage>

// While it lives, dismisses every message popup that opens and records its text.
class PopupRecorder
{
public:
    PopupRecorder()
    {
        m_poll.setInterval(5);
        QObject::connect(&m_poll, &QTimer::timeout, [this] {
            auto *popup = qobject_cast<ZMessageDlg *>(QApplication::activeModalWidget());
            if (!popup || !popup->isVisible())
                return;
            texts.append(popup->text());
            QTest::keyClick(popup, Qt::Key_Return);
        });
        m_poll.start();
    }

    QStringList texts;

private:
    QTimer m_poll;
};

class FileSaveTest : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_tree;

    QString tree(const QString &name = QString()) const
    {
        return name.isEmpty() ? m_tree.path() : m_tree.filePath(name);
    }

    // A dialog on the folder with the name typed and the type box moved to the entry.
    static std::unique_ptr<FileSaveDialog> dialogFor(const QString &folder, const QString &source,
                                                     const QString &name, int typeIndex = 0)
    {
        auto dialog = std::make_unique<FileSaveDialog>(folder, source);
        TestProbe::nameEdit(*dialog)->setText(name);
        dialog->itemActivated(typeIndex);
        return dialog;
    }

    // The program's own lines of a captured output, without the test library's warnings.
    static QString traceOf(StdoutCapture &capture)
    {
        QStringList lines = capture.finish().split('\n');
        lines.removeIf([](const QString &line) { return line.startsWith("QWARN"); });
        return lines.join('\n');
    }

    // Presses OK and returns what it traced.
    static QString pressOk(FileSaveDialog &dialog)
    {
        StdoutCapture capture;
        dialog.fileSaveOk();
        return traceOf(capture);
    }

    static QByteArray contents(const QString &path)
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    static QStringList entries(const QString &folder)
    {
        return QDir(folder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden,
                                      QDir::Name);
    }

private slots:
    void initTestCase()
    {
        QImage picture(16, 12, QImage::Format_RGB32);
        picture.fill(Qt::darkCyan);
        QVERIFY(picture.save(tree("source.png")));
        qputenv("PICTALUX_SYSTEM_CFG", tree("no-setting.cfg").toUtf8());
    }

    void nameRule_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("valid");
        QTest::newRow("null") << QString() << false;
        QTest::newRow("empty") << "" << false;
        QTest::newRow("one letter") << "a" << true;
        QTest::newRow("blanks inside") << "my holiday photo" << true;
        QTest::newRow("only dots") << ".." << true;
        QTest::newRow("leading dot") << ".photo" << true;
        QTest::newRow("percent") << "100% p%d" << true;
        QTest::newRow("apostrophe") << "Tom's" << true;
        QTest::newRow("shell punctuation") << "a;b&c$(d)`e'!#[1]{2}~" << true;
        QTest::newRow("non-ASCII letters") << "Grüße 写真" << true;
        QTest::newRow("control characters") << "a\tb\nc" << true;
        QTest::newRow("zero byte") << QString("a") + QChar(0) + "b" << false;
        for (const char refused : QByteArrayView("\"*/:<>?\\|"))
            QTest::addRow("refused %c", refused)
                    << "my" + QString(QChar(refused)) + "photo" << false;
        QTest::newRow("127 bytes of three-byte letters")
                << QString("写").repeated(42) + "a" << true;
        QTest::newRow("128 bytes of three-byte letters")
                << QString("写").repeated(42) + "ab" << false;
        QTest::newRow("127 bytes of two-byte letters") << QString("é").repeated(63) + "a" << true;
        QTest::newRow("128 bytes of two-byte letters") << QString("é").repeated(64) << false;
        QTest::newRow("400 bytes") << QString("x").repeated(400) << false;
    }
    void nameRule()
    {
        QFETCH(QString, name);
        QFETCH(bool, valid);
        QCOMPARE(FileSaveDialog::isValidFileName(name), valid);
    }

    void refusedNamesRunNothing_data()
    {
        QTest::addColumn<QString>("name");
        QTest::newRow("empty") << "";
        QTest::newRow("blanks only") << "   ";
        QTest::newRow("white space only") << "\t \t";
        QTest::newRow("colon between words") << "my:photo";
        QTest::newRow("question mark in blanks") << " photo? ";
    }
    void refusedNamesRunNothing()
    {
        QFETCH(QString, name);
        ProgramDir programDir;
        programDir.useFakeConverter();
        const auto dialog = dialogFor(tree(), tree("source.png"), name, 2);
        PopupRecorder popups;
        QCOMPARE(pressOk(*dialog), QString());
        QCOMPARE(popups.texts, QStringList({"Invalid file name!"}));
        QVERIFY(programDir.converterRuns().isEmpty());
        QVERIFY(TestProbe::savePath(*dialog).isNull());
        QCOMPARE(TestProbe::nameEdit(*dialog)->text(), name);
        QCOMPARE(TestProbe::curDir(*dialog), tree());
        QCOMPARE(TestProbe::fileType(*dialog), QStringLiteral(".png"));
    }

    void destinationAndCommand_data()
    {
        QTest::addColumn<QString>("folder");
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("typeIndex");
        QTest::addColumn<QString>("destination");
        QTest::newRow("folder, name and type") << tree() << "photo" << 2 << tree("photo.png");
        QTest::newRow("blanks around the name") << tree() << "  photo " << 0 << tree("photo.jpg");
        QTest::newRow("root") << "/"
                              << "photo" << 4 << "/photo.bmp";
        QTest::newRow(".* with the name's extension")
                << tree() << "photo.png" << 5 << tree("photo.png");
        QTest::newRow(".* without one") << tree() << "photo" << 5 << tree("photo");
        QTest::newRow("only dots") << tree() << ".." << 1 << tree("...jpeg");
    }
    void destinationAndCommand()
    {
        QFETCH(QString, folder);
        QFETCH(QString, name);
        QFETCH(int, typeIndex);
        QFETCH(QString, destination);
        ProgramDir programDir;
        // Exit status 0 closes the dialog even when nothing was written.
        programDir.useFakeConverter(ProgramDir::Converter::ExitsWithoutWriting);
        const auto dialog = dialogFor(folder, tree("source.png"), name, typeIndex);
        PopupRecorder popups;
        const QString trace = pressOk(*dialog);
        QCOMPARE(trace, "file save command:" + programDir.path() + "/convert " +
                                tree("source.png") + " " + destination + "\n");
        QCOMPARE(programDir.converterRuns(),
                 QList<QStringList>({{tree("source.png"), destination}}));
        QCOMPARE(TestProbe::savePath(*dialog), destination);
        QCOMPARE(TestProbe::curDir(*dialog), folder);
        QCOMPARE(TestProbe::result(*dialog), 1);
        QVERIFY(popups.texts.isEmpty());
    }

    void dangerousPathsArriveAsTwoArguments()
    {
        const QString risky = "it's \"odd\" $(touch PWNED) `touch PWNED`; & | * \n ü";
        ProgramDir programDir(risky.left(20));
        programDir.useFakeConverter();
        QVERIFY(QDir(tree()).mkpath(risky + "/in"));
        const QString source = tree(risky + "/in/source 'x'.png");
        QVERIFY(QFile::copy(tree("source.png"), source));
        const auto dialog = dialogFor(tree(risky), source, "Tom's $(touch PWNED); `x` & y ü", 2);
        PopupRecorder popups;
        pressOk(*dialog);
        const QString destination = tree(risky + "/Tom's $(touch PWNED); `x` & y ü.png");
        QCOMPARE(programDir.converterRuns(), QList<QStringList>({{source, destination}}));
        QCOMPARE(contents(destination), contents(source));
        QCOMPARE(TestProbe::result(*dialog), 1);
        QVERIFY(popups.texts.isEmpty());
        QVERIFY(!QFile::exists("PWNED"));
        QVERIFY(!QFile::exists(tree("PWNED")));
    }

    void aFailureKeepsTheDialogAsItWas_data()
    {
        QTest::addColumn<ProgramDir::Converter>("converter");
        QTest::newRow("converter fails") << ProgramDir::Converter::Fails;
        QTest::newRow("converter killed") << ProgramDir::Converter::Killed;
    }
    void aFailureKeepsTheDialogAsItWas()
    {
        QFETCH(ProgramDir::Converter, converter);
        ProgramDir programDir;
        programDir.useFakeConverter(converter);
        QVERIFY(QDir(tree()).mkpath("out"));
        FileSaveDialog dialog(tree(), tree("source.png"));
        const auto state = [&] {
            return QStringList({dialog.isVisible() && TestProbe::inLoop(dialog) ? "open" : "closed",
                                TestProbe::nameEdit(dialog)->text(), TestProbe::curDir(dialog),
                                TestProbe::fileType(dialog)});
        };
        QList<QStringList> states;
        QTimer::singleShot(0, &dialog, [&] {
            TestProbe::nameEdit(dialog)->setText(" photo");
            dialog.itemSelected(TestProbe::rows(TestProbe::folderList(dialog)).indexOf("out"));
            dialog.itemActivated(3);
            for (int attempt = 0; attempt < 2; ++attempt) {
                QTest::keyClick(&dialog, Qt::Key_F9);
                states.append(state());
            }
            QTest::keyClick(&dialog, Qt::Key_F11);
        });
        PopupRecorder popups;
        StdoutCapture capture;
        QCOMPARE(dialog.exec(), 0);
        const QString trace = traceOf(capture);

        const QStringList asTyped = {"open", " photo", tree("out"), ".gif"};
        QCOMPARE(states, QList<QStringList>({asTyped, asTyped}));
        QCOMPARE(popups.texts, QStringList({"File save failure!", "File save failure!"}));
        const QStringList run = {tree("source.png"), tree("out/photo.gif")};
        QCOMPARE(programDir.converterRuns(), QList<QStringList>({run, run}));
        const QString line = "file save command:" + programDir.path() + "/convert " + run.at(0) +
                             " " + run.at(1) + "\n";
        QCOMPARE(trace, line + line);
        QVERIFY(!QFile::exists(run.at(1)));
    }

    void realSavesWriteTheNamedFormat_data()
    {
        QTest::addColumn<QString>("folder");
        QTest::addColumn<QString>("source");
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("typeIndex");
        QTest::addColumn<QString>("written");
        QTest::addColumn<QByteArray>("magic");
        const QByteArray jpeg("\xFF\xD8\xFF");
        const QByteArray png("\x89PNG\r\n\x1A\n");
        const QString source = "source.png";
        QTest::newRow(".jpg") << "jpg" << source << "photo" << 0 << "photo.jpg" << jpeg;
        QTest::newRow(".jpeg") << "jpeg" << source << "photo" << 1 << "photo.jpeg" << jpeg;
        QTest::newRow(".png") << "png" << source << "photo" << 2 << "photo.png" << png;
        QTest::newRow(".gif") << "gif" << source << "photo" << 3 << "photo.gif"
                              << QByteArray("GIF8");
        QTest::newRow(".bmp") << "bmp" << source << "photo" << 4 << "photo.bmp" << QByteArray("BM");
        QTest::newRow(".* and a .gif name")
                << "any-gif" << source << "photo.gif" << 5 << "photo.gif" << QByteArray("GIF8");
        QTest::newRow(".* and a .jpg name")
                << "any-jpg" << source << "photo.jpg" << 5 << "photo.jpg" << jpeg;
        QTest::newRow("percent in the name")
                << "percent" << source << "p%d.png" << 5 << "p%d.png" << png;
        QTest::newRow("brackets in the name")
                << "brackets" << source << "p[1].png" << 5 << "p[1].png" << png;
        QTest::newRow("colon in the folder")
                << "png:colon" << source << "photo" << 2 << "photo.png" << png;
        QTest::newRow("odd source name") << "odd"
                                         << "odd %d [0] 'q'.png"
                                         << "photo" << 3 << "photo.gif" << QByteArray("GIF8");
    }
    void realSavesWriteTheNamedFormat()
    {
        QFETCH(QString, folder);
        QFETCH(QString, source);
        QFETCH(QString, name);
        QFETCH(int, typeIndex);
        QFETCH(QString, written);
        QFETCH(QByteArray, magic);
        ProgramDir programDir;
        QVERIFY2(QFileInfo(programDir.filePath("convert")).isExecutable(),
                 "the build has no converter launcher");
        QVERIFY(QDir(tree()).mkpath("real/" + folder));
        const QString saveFolder = tree("real/" + folder);
        const QString sourcePath = tree("real/" + source);
        if (!QFile::exists(sourcePath))
            QVERIFY(QFile::copy(tree("source.png"), sourcePath));
        const QByteArray sourceBytes = contents(sourcePath);

        const auto dialog = dialogFor(saveFolder, sourcePath, name, typeIndex);
        PopupRecorder popups;
        pressOk(*dialog);
        QVERIFY(popups.texts.isEmpty());
        QCOMPARE(TestProbe::result(*dialog), 1);
        QCOMPARE(entries(saveFolder), QStringList({written}));
        QVERIFY(contents(saveFolder + "/" + written).startsWith(magic));
        QCOMPARE(QImage(saveFolder + "/" + written).size(), QSize(16, 12));
        QCOMPARE(contents(sourcePath), sourceBytes);
    }

    void aFailedRealSaveLeavesTheDestination_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("typeIndex");
        QTest::addColumn<QString>("source");
        QTest::newRow("source is not a picture") << "keep" << 2 << "broken.png";
        QTest::newRow("source has vanished") << "keep" << 2 << "vanished.png";
        QTest::newRow("destination is a folder") << "folder" << 5 << "../../source.png";
    }
    void aFailedRealSaveLeavesTheDestination()
    {
        QFETCH(QString, name);
        QFETCH(int, typeIndex);
        QFETCH(QString, source);
        ProgramDir programDir;
        QVERIFY2(QFileInfo(programDir.filePath("convert")).isExecutable(),
                 "the build has no converter launcher");
        const QString folder = tree("failing/" + QString(QTest::currentDataTag()));
        writeFile(folder + "/keep.png", "precious bytes");
        writeFile(folder + "/folder/inside", "kept");
        writeFile(folder + "/broken.png", "not a picture");
        const QStringList before = entries(folder);

        const auto dialog = dialogFor(folder, folder + "/" + source, name, typeIndex);
        PopupRecorder popups;
        pressOk(*dialog);
        QCOMPARE(popups.texts, QStringList({"File save failure!"}));
        QCOMPARE(TestProbe::result(*dialog), 0);
        QCOMPARE(entries(folder), before);
        QCOMPARE(contents(folder + "/keep.png"), QByteArray("precious bytes"));
        QCOMPARE(contents(folder + "/broken.png"), QByteArray("not a picture"));
        QCOMPARE(contents(folder + "/folder/inside"), QByteArray("kept"));
    }
};

PICTALUX_TEST_MAIN(FileSaveTest)
#include "tst_filesave.moc"
