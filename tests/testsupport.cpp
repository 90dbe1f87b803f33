#include "testsupport.h"

#include "platform/zapplication.h"

#include <QDir>
#include <QFile>
#include <QTimer>

#include <cstdio>
#include <unistd.h>

namespace {

QByteArray startPath = QByteArrayLiteral("pictalux");
char *applicationArguments[] = {startPath.data(), nullptr};

void setStartPath(const QString &path)
{
    startPath = path.toLocal8Bit();
    applicationArguments[0] = startPath.data();
}

QByteArray shellQuoted(const QString &text)
{
    QByteArray quoted = text.toUtf8();
    quoted.replace('\'', "'\\''");
    return '\'' + quoted + '\'';
}

} // namespace

ProgramDir::ProgramDir(const QString &namePrefix)
    : m_dir(QDir::tempPath() + QLatin1Char('/') + namePrefix + QStringLiteral("-XXXXXX"))
{
    const QDir build(QStringLiteral(PICTALUX_PROGRAM_DIR));
    QDir(path()).mkdir(QStringLiteral("lng"));
    for (const char *name : {"convert", "lng/English.lng", "lng/Chinese.lng", "mouse.png",
                             "menuBackground.png", "menuPic.png"})
        QFile::copy(build.filePath(QLatin1String(name)), filePath(QLatin1String(name)));
    setStartPath(filePath(QStringLiteral("pictalux")));
}

ProgramDir::~ProgramDir()
{
    setStartPath(QStringLiteral("pictalux"));
}

void ProgramDir::useFakeConverter(Converter behaviour)
{
    static const char *const endings[] = {
            "cp -- \"$1\" \"$last\"\n",
            "exit 3\n",
            "exit 0\n",
            "kill -9 $$\n",
    };
    const QByteArray script = "#!/bin/sh\n"
                              "printf '%s\\0' \"$@\" >> " +
                              shellQuoted(filePath(QStringLiteral("converter-runs"))) +
                              "\nprintf '\\n' >> " +
                              shellQuoted(filePath(QStringLiteral("converter-runs"))) +
                              "\nfor last; do :; done\n" + endings[int(behaviour)];
    const QString converter = filePath(QStringLiteral("convert"));
    QFile::remove(converter);
    writeFile(converter, script);
    QFile::setPermissions(converter, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

QList<QStringList> ProgramDir::converterRuns() const
{
    QFile log(filePath(QStringLiteral("converter-runs")));
    if (!log.open(QIODevice::ReadOnly))
        return {};
    // Each run is its arguments, each ended by a zero byte, and then a line feed.
    QList<QStringList> runs;
    QStringList arguments;
    const QByteArray bytes = log.readAll();
    qsizetype start = 0;
    while (start < bytes.size()) {
        if (bytes.at(start) == '\n') {
            runs.append(arguments);
            arguments.clear();
            ++start;
            continue;
        }
        const qsizetype end = bytes.indexOf('\0', start);
        arguments.append(QString::fromUtf8(bytes.mid(start, end - start)));
        start = end + 1;
    }
    return runs;
}

StdoutCapture::StdoutCapture()
{
    std::fflush(stdout);
    m_file.open();
    m_saved = dup(STDOUT_FILENO);
    dup2(m_file.handle(), STDOUT_FILENO);
}

StdoutCapture::~StdoutCapture()
{
    finish();
}

QString StdoutCapture::finish()
{
    if (m_saved < 0)
        return QString();
    std::fflush(stdout);
    dup2(m_saved, STDOUT_FILENO);
    close(m_saved);
    m_saved = -1;
    m_file.seek(0);
    return QString::fromUtf8(m_file.readAll());
}

void answerModal(std::function<void(QWidget *)> action)
{
    auto *poll = new QTimer;
    poll->setInterval(5);
    QObject::connect(poll, &QTimer::timeout, poll, [poll, action] {
        QWidget *modal = QApplication::activeModalWidget();
        if (!modal || !modal->isVisible())
            return;
        poll->stop();
        poll->deleteLater();
        action(modal);
    });
    poll->start();
}

void answerModalWithKey(Qt::Key key)
{
    answerModal([key](QWidget *modal) { QTest::keyClick(modal, key); });
}

void writeFile(const QString &path, const QByteArray &bytes)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    QVERIFY2(file.open(QIODevice::WriteOnly), qPrintable(path));
    file.write(bytes);
}

int runTest(int argc, char **argv, QObject *test)
{
    int applicationArgumentCount = 1;
    ZApplication application(applicationArgumentCount, applicationArguments);
    return QTest::qExec(test, argc, argv);
}
