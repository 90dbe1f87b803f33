#include "editor/convertercommand.h"
#include "testsupport.h"

#include <QProcess>

class ConverterCommandTest : public QObject
{
    Q_OBJECT

private slots:
    void plainPathsStayAsTheyAre()
    {
        QCOMPARE(ConverterCommand::command("/a", "/mmc/movinand1/p.jpg", "-flop ",
                                           "/a/pxTemp.image"),
                 QStringLiteral("/a/convert /mmc/movinand1/p.jpg -flop /a/pxTemp.image"));
        QCOMPARE(ConverterCommand::command("/a", "/m/p.jpg", " -crop 100x50+10+20 ", "/a/x"),
                 QStringLiteral("/a/convert /m/p.jpg  -crop 100x50+10+20 /a/x"));
        QCOMPARE(ConverterCommand::shellQuoted("/A-z_0.9+,@%"), QStringLiteral("/A-z_0.9+,@%"));
    }

    // Whatever a name holds, the shell hands it over as one word and runs nothing else.
    void quotedPathsReachTheProgramAsOneWord_data()
    {
        QTest::addColumn<QString>("path");
        QTest::newRow("blank") << "/pics/my photo.jpg";
        QTest::newRow("quotes") << "/pics/it's \"here\".jpg";
        QTest::newRow("command") << "/pics/a;touch pwned;$(touch pwned)`touch pwned`&.jpg";
        QTest::newRow("newline") << "/pics/two\nlines.jpg";
        QTest::newRow("non-ASCII") << "/bilder/Ü ber 照片.jpg";
        QTest::newRow("glob and tilde") << "~/*.jpg";
        QTest::newRow("empty") << "";
    }
    void quotedPathsReachTheProgramAsOneWord()
    {
        QFETCH(QString, path);
        QTemporaryDir dir;
        QProcess shell;
        shell.setWorkingDirectory(dir.path());
        shell.start("/bin/sh", {"-c", "printf '%s' " + ConverterCommand::shellQuoted(path)});
        QVERIFY(shell.waitForFinished());
        QCOMPARE(QString::fromUtf8(shell.readAllStandardOutput()), path);
        QVERIFY(QDir(dir.path()).isEmpty());
    }
};

PICTALUX_TEST_MAIN(ConverterCommandTest)
#include "tst_convertercommand.moc"
