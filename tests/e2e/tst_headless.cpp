#include "testsupport.h"

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
// goes away with it; a server that cannot start is a failure that says so.
class HeadlessTest : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_work;
    QProcess m_run;

    // The local addresses listening on the port, in the kernel's hexadecimal.
    static QByteArrayList listeners(quint16 port)
    {
        QByteArrayList addresses;
        for (const char *table : {"/proc/net/tcp", "/proc/net/tcp6"})
            for (const QByteArray &line : readFile(table).split('\n')) {
                const QByteArrayList fields = line.simplified().split(' ');
                const QByteArrayList local = fields.value(1).split(':');
                if (fields.value(3) == "0A" && local.value(1).toUInt(nullptr, 16) == port)
                    addresses += local[0];
            }
        return addresses;
    }

    static QByteArray take(QTcpSocket &socket, qint64 size)
    {
        while (socket.bytesAvailable() < size && socket.waitForReadyRead(5000)) {
        }
        return socket.read(size);
    }

    // Answers VNC's challenge (DES keyed by the password, each byte's bits reversed): 0 when let
    // in, 1 when not, 2 for a server that offers no such challenge, or a way in without one.
    static quint32 logIn(QTcpSocket &viewer, quint16 port, const QByteArray &password)
    {
        viewer.connectToHost(QHostAddress::LocalHost, port);
        viewer.write(take(viewer, 12));
        const QByteArray offered = take(viewer, quint8(take(viewer, 1).leftJustified(1).at(0)));
        if (!offered.contains('\2') || offered.contains('\1'))
            return 2;
        viewer.write("\2");
        unsigned char key[8] = {};
        for (int bit = 0; bit < 64 && bit / 8 < password.size(); ++bit)
            key[bit / 8] |= ((password[bit / 8] >> (bit % 8)) & 1) << (7 - bit % 8);
        // Single DES lives in OpenSSL's legacy provider.
        [[maybe_unused]] static OSSL_PROVIDER *const legacy = OSSL_PROVIDER_load(nullptr, "legacy");
        EVP_CIPHER *des = EVP_CIPHER_fetch(nullptr, "DES-ECB", nullptr);
        EVP_CIPHER_CTX *context = EVP_CIPHER_CTX_new();
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

private slots:
    void initTestCase()
    {
        if (QStandardPaths::findExecutable("Xvnc").isEmpty())
            QSKIP("Xvnc is not installed (scripts/setup installs it)");
        QVERIFY(QDir(m_work.path()).mkpath("storage/Photos"));
    }

    // On the loopback interface unless told otherwise, and always behind a password: one made
    // for the run, or the user's own, whose quotes and blanks reach the server as they are.
    void serves_data()
    {
        columns({"listen", "password", "address"});
        row("loopback", {"", "", "0100007F"});
        row("all interfaces", {"0.0.0.0", "Pa$$ w'rd and more", "00000000"});
    }
    void serves()
    {
        QFETCH(QString, listen);
        QFETCH(QString, password);
        QFETCH(QString, address);
        QTcpServer probe;
        QVERIFY(probe.listen(QHostAddress::AnyIPv4));
        const quint16 port = probe.serverPort();
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.remove("QT_SCALE_FACTOR");
        environment.remove("XDG_CONFIG_HOME");
        environment.insert("HOME", m_work.path());
        environment.insert("TMPDIR", m_work.path());
        environment.insert("PICTALUX_VNC_PORT", QString::number(port));
        environment.insert("PICTALUX_VNC_LISTEN", listen);
        environment.insert("PICTALUX_VNC_PASSWORD", password);
        environment.insert("PICTALUX_START_DIR", m_work.filePath("storage"));
        m_run.setProcessEnvironment(environment);
        // While the port is taken the server cannot start: a failure, and the reason told.
        m_run.start(PICTALUX_SOURCE_DIR "/scripts/headless", {"true"});
        QVERIFY(m_run.waitForFinished(20000) && m_run.exitCode() == 1);
        QVERIFY(m_run.readAllStandardError().endsWith("headless: the VNC server did not start\n"));
        probe.close();
        m_run.start(PICTALUX_SOURCE_DIR "/scripts/headless", {PICTALUX_PROGRAM_DIR "/pictalux"});
        QByteArray output;
        QTRY_VERIFY_WITH_TIMEOUT((output += m_run.readAllStandardOutput()).contains("Photos"),
                                 20000);
        const QRegularExpression made("Password for this run: (\\S{8})\n");
        if (password.isEmpty())
            password = made.match(m_run.readAllStandardError()).captured(1);
        QCOMPARE(listeners(port), QByteArrayList({address.toLatin1()}));

        QTcpSocket intruder, viewer;
        QCOMPARE(logIn(intruder, port, "password"), 1u);
        QCOMPARE(logIn(viewer, port, password.toUtf8()), 0u);
        viewer.write("\1");
        QCOMPARE(take(viewer, 4), QByteArray::fromHex("014000f0")); // 320 x 240

        // Return, pressed and let go, on the back row lists the folder above.
        viewer.write(QByteArray::fromHex("040100000000ff0d040000000000ff0d"));
        QTRY_VERIFY(
                (output += m_run.readAllStandardOutput()).contains(m_work.path().toUtf8() + '\n'));
        // Stopped, it takes its server along and leaves nothing behind.
        m_run.terminate();
        QVERIFY(m_run.waitForFinished(10000));
        QVERIFY(listeners(port).isEmpty());
        QCOMPARE(QDir(m_work.path()).entryList({"pictalux-vnc.*"}, QDir::AllEntries),
                 QStringList());
    }

    // Stopped as a user would, so that it takes its server along.
    void cleanup()
    {
        m_run.terminate();
        m_run.waitForFinished();
    }
};

PICTALUX_TEST_MAIN(HeadlessTest)
#include "tst_headless.moc"
