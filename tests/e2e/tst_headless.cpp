#include "testsupport.h"

#include <QDataStream>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTcpServer>
#include <QTcpSocket>
#include <QtEndian>

#include <openssl/evp.h>
#include <openssl/provider.h>

// scripts/headless as a VNC viewer meets it: the server listens only where it is told to, lets
// in only who knows the password, shows the handset screen, passes keys on to the program and
// goes away with it.
class HeadlessTest : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_work;
    ProgramDir m_program;
    QProcess m_run;

    // The addresses listening on the port, as the kernel lists them.
    static QStringList listeners(quint16 port)
    {
        QStringList addresses;
        for (const QString table : {"/proc/net/tcp", "/proc/net/tcp6"}) {
            QFile file(table);
            file.open(QIODevice::ReadOnly);
            for (const QByteArray &line : file.readAll().split('\n')) {
                const QList<QByteArray> fields = line.simplified().split(' ');
                const QList<QByteArray> local = fields.value(1).split(':');
                if (fields.value(3) != "0A" || local.value(1).toUInt(nullptr, 16) != port)
                    continue;
                const quint32 ipv4 = qFromBigEndian(local[0].toUInt(nullptr, 16));
                addresses += local[0].size() == 8 ? QHostAddress(ipv4).toString()
                                                  : QString::fromLatin1(local[0]);
            }
        }
        return addresses;
    }

    static QByteArray take(QTcpSocket &socket, qint64 size)
    {
        while (socket.bytesAvailable() < size && socket.waitForReadyRead(5000)) {
        }
        return socket.read(size);
    }

    // Connects and returns the security types that the server offers.
    static QByteArray securityTypes(QTcpSocket &viewer, quint16 port)
    {
        viewer.connectToHost(QHostAddress::LocalHost, port);
        if (take(viewer, 12) != "RFB 003.008\n")
            return QByteArray();
        viewer.write("RFB 003.008\n");
        const QByteArray count = take(viewer, 1);
        return take(viewer, count.isEmpty() ? 0 : quint8(count[0]));
    }

    // Chooses VNC authentication and encrypts the challenge with DES, keyed by the password's
    // first eight bytes with their bits reversed. The server's answer is 0 when let in.
    static quint32 authenticate(QTcpSocket &viewer, const QByteArray &password)
    {
        unsigned char key[8] = {};
        for (int bit = 0; bit < 64 && bit / 8 < password.size(); ++bit)
            key[bit / 8] |= ((password[bit / 8] >> (bit % 8)) & 1) << (7 - bit % 8);
        // Single DES lives in OpenSSL's legacy provider.
        static OSSL_PROVIDER *const legacy = OSSL_PROVIDER_load(nullptr, "legacy");
        Q_UNUSED(legacy)
        EVP_CIPHER *des = EVP_CIPHER_fetch(nullptr, "DES-ECB", nullptr);
        EVP_CIPHER_CTX *context = EVP_CIPHER_CTX_new();
        viewer.write("\2");
        const QByteArray challenge = take(viewer, 16).leftJustified(16, '\0');
        QByteArray response(16, '\0');
        int length = 0;
        if (EVP_EncryptInit_ex(context, des, nullptr, key, nullptr))
            EVP_EncryptUpdate(context, reinterpret_cast<unsigned char *>(response.data()), &length,
                              reinterpret_cast<const unsigned char *>(challenge.data()), 16);
        EVP_CIPHER_CTX_free(context);
        EVP_CIPHER_free(des);
        viewer.write(response);
        return qFromBigEndian<quint32>(take(viewer, 4).leftJustified(4, '\xff').constData());
    }

    static void press(QTcpSocket &viewer, quint32 keysym)
    {
        char event[8] = {4, 1};
        qToBigEndian(keysym, event + 4);
        viewer.write(event, 8);
        event[1] = 0;
        viewer.write(event, 8);
        QVERIFY(viewer.waitForBytesWritten(5000));
        QTest::qWait(300);
    }

    static bool onSomeCommandLine(const QByteArray &text)
    {
        for (const QFileInfo &process : QDir(QStringLiteral("/proc")).entryInfoList(QDir::Dirs)) {
            QFile commandLine(process.filePath() + QStringLiteral("/cmdline"));
            if (commandLine.open(QIODevice::ReadOnly) && commandLine.readAll().contains(text))
                return true;
        }
        return false;
    }

private slots:
    void initTestCase()
    {
        if (QStandardPaths::findExecutable(QStringLiteral("Xvnc")).isEmpty())
            QSKIP("Xvnc is not installed (scripts/setup installs it)");
        QVERIFY(QFile::copy(QStringLiteral(PICTALUX_PROGRAM_DIR "/pictalux"),
                            m_program.filePath("pictalux")));
        QVERIFY(QDir().mkpath(m_work.filePath("storage/Photos")));
    }

    void serves_data()
    {
        QTest::addColumn<QString>("listen");
        QTest::addColumn<QString>("passwordFrom");
        QTest::addColumn<QSize>("screen");
        QTest::newRow("password made for the run") << QString() << QString() << QSize(320, 240);
        QTest::newRow("password in the config folder") << QString() << "config" << QSize(320, 240);
        QTest::newRow("all interfaces, enlarged") << "0.0.0.0"
                                                  << "environment" << QSize(640, 480);
    }

    void serves()
    {
        QFETCH(QString, listen);
        QFETCH(QString, passwordFrom);
        QFETCH(QSize, screen);
        QTcpServer probe;
        QVERIFY(probe.listen(QHostAddress::AnyIPv4));
        const quint16 port = probe.serverPort();
        probe.close();

        const QString home = m_work.filePath(passwordFrom + QStringLiteral("home"));
        QVERIFY(QDir().mkpath(home));
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        for (const char *name :
             {"XDG_CONFIG_HOME", "QT_SCALE_FACTOR", "PICTALUX_VNC_PASSWORD", "PICTALUX_VNC_LISTEN"})
            environment.remove(QLatin1String(name));
        environment.insert("HOME", home);
        environment.insert("TMPDIR", home);
        environment.insert("PICTALUX_VNC_PORT", QString::number(port));
        environment.insert("PICTALUX_START_DIR", m_work.filePath("storage"));
        environment.insert("PICTALUX_SYSTEM_CFG", m_work.filePath("no-setting"));
        if (!listen.isEmpty())
            environment.insert("PICTALUX_VNC_LISTEN", listen);
        if (screen.width() != 320)
            environment.insert("QT_SCALE_FACTOR", QString::number(screen.width() / 320));
        // Quotes and blanks reach the server as they are; only the first 8 characters count.
        QByteArray password = "Pa$$ w'rd and more";
        if (passwordFrom == QLatin1String("environment"))
            environment.insert("PICTALUX_VNC_PASSWORD", QString::fromLatin1(password));
        m_run.setProcessEnvironment(environment);
        const QString script = QStringLiteral(PICTALUX_SOURCE_DIR "/scripts/headless");
        if (passwordFrom == QLatin1String("config")) {
            const QString config = home + QStringLiteral("/.config/pictalux/vnc-password");
            writeFile(config, password + '\n');
            // A password that others may read is refused.
            m_run.start(script, {"/bin/true"});
            QVERIFY(m_run.waitForFinished(10000));
            QVERIFY(m_run.exitCode() == 1 && m_run.readAllStandardError().contains("chmod 600"));
            QFile(config).setPermissions(QFile::ReadOwner | QFile::WriteOwner);
        }
        m_run.start(script, {m_program.filePath("pictalux")});
        QString output;
        QTRY_VERIFY_WITH_TIMEOUT(
                (output += m_run.readAllStandardOutput()).contains("DIR    Photos"), 20000);
        const QString messages = QString::fromUtf8(m_run.readAllStandardError());
        QCOMPARE(messages.contains(QStringLiteral("ssh -N -L")), listen.isEmpty());
        if (passwordFrom.isEmpty()) {
            password = QRegularExpression(QStringLiteral("Password for this run: (\\S{8})\n"))
                               .match(messages)
                               .captured(1)
                               .toLatin1();
            QVERIFY2(!password.isEmpty(), qPrintable(messages));
        }
        QVERIFY(!onSomeCommandLine(password.left(8)));
        QCOMPARE(listeners(port), QStringList(listen.isEmpty() ? "127.0.0.1" : listen));

        QTcpSocket intruder;
        const QByteArray offered = securityTypes(intruder, port);
        QVERIFY2(offered.contains('\2') && !offered.contains('\1'), offered.toHex().constData());
        QCOMPARE(authenticate(intruder, "password"), 1u);
        QTcpSocket viewer;
        securityTypes(viewer, port);
        QCOMPARE(authenticate(viewer, password), 0u);
        viewer.write("\1");
        QDataStream serverInit(take(viewer, 4));
        quint16 width = 0, height = 0;
        serverInit >> width >> height;
        QCOMPARE(QSize(width, height), screen);

        // Return on the back row lists the folder above; the options menu's last entry quits.
        press(viewer, 0xff0d);
        QTRY_VERIFY((output += m_run.readAllStandardOutput()).contains(m_work.path() + '\n'));
        for (const quint32 keysym : {0xffc6, 0xff54, 0xff54, 0xff54, 0xff0d})
            press(viewer, keysym);
        QTRY_COMPARE_WITH_TIMEOUT(m_run.state(), QProcess::NotRunning, 20000);
        QCOMPARE(m_run.exitCode(), 0);
        QVERIFY(listeners(port).isEmpty());
        QCOMPARE(QDir(home).entryList({"pictalux-vnc.*"}, QDir::AllEntries), QStringList());
    }

    void cleanup()
    {
        // Stopped as a user would, so that it takes its server along.
        m_run.terminate();
        if (!m_run.waitForFinished(10000))
            m_run.kill();
    }
};

PICTALUX_TEST_MAIN(HeadlessTest)
#include "tst_headless.moc"
