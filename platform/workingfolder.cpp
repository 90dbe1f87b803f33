#include "platform/workingfolder.h"

#include <QDir>
#include <QDirIterator>
#include <QFileInfo>

#include <cerrno>
#include <csignal>
#include <cstdlib>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const QString PrivatePrefix = QStringLiteral("pictalux-session-");

// The working copy may go where this user can replace it: the folder is writable, and a
// working copy left there by someone else is too.
bool canHoldWorkingCopy(const QString &folder)
{
    const QByteArray path = QFile::encodeName(folder);
    const QByteArray copy = QFile::encodeName(folder + QStringLiteral("/pxTemp.image"));
    return ::access(path.constData(), W_OK | X_OK) == 0 &&
           (::access(copy.constData(), F_OK) != 0 || ::access(copy.constData(), W_OK) == 0);
}

QString privateRoot()
{
    // The runtime folder is the user's own and goes at logout.
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    struct stat info;
    if (!runtime.isEmpty() && ::stat(QFile::encodeName(runtime).constData(), &info) == 0 &&
        S_ISDIR(info.st_mode) && info.st_uid == ::getuid() && (info.st_mode & 0077) == 0)
        return runtime;
    return QDir::tempPath();
}

// A folder of a program that was killed before it could remove it: ours by name and owner, and
// its process is gone.
bool isLeftOver(const QFileInfo &entry)
{
    const QString pid = entry.fileName().mid(PrivatePrefix.size()).section(u'-', 0, 0);
    bool isNumber = false;
    const pid_t owner = pid.toInt(&isNumber);
    return isNumber && owner > 0 && entry.isDir() && !entry.isSymLink() &&
           entry.ownerId() == ::getuid() && ::kill(owner, 0) != 0 && errno == ESRCH;
}

void removeLeftOvers(const QString &root)
{
    QDirIterator entries(root, {PrivatePrefix + u'*'}, QDir::Dirs | QDir::Hidden | QDir::System);
    while (entries.hasNext()) {
        entries.next();
        if (isLeftOver(entries.fileInfo()))
            QDir(entries.filePath()).removeRecursively();
    }
}

} // namespace

WorkingFolder::WorkingFolder(const QString &programmeDir)
    : m_programmeDir(programmeDir)
{
    if (programmeDir.isEmpty() || !canHoldWorkingCopy(programmeDir))
        return;
    m_lock =
            ::open(QFile::encodeName(programmeDir).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (m_lock >= 0 && ::flock(m_lock, LOCK_EX | LOCK_NB) != 0) {
        ::close(m_lock);
        m_lock = -1;
    }
}

WorkingFolder::~WorkingFolder()
{
    if (!m_private.isEmpty())
        QDir(m_private).removeRecursively();
    if (m_lock >= 0)
        ::close(m_lock);
}

QString WorkingFolder::workingCopyFolder()
{
    if (m_lock >= 0)
        return m_programmeDir;
    // Without a folder of its own the program works where it always did; the converter then
    // says whether it can write there.
    const QString folder = privateFolder();
    return folder.isEmpty() ? m_programmeDir : folder;
}

QString WorkingFolder::privateFolder()
{
    if (!m_private.isEmpty())
        return m_private;
    const QString root = privateRoot();
    removeLeftOvers(root);
    QByteArray path = QFile::encodeName(root + u'/' + PrivatePrefix + QString::number(::getpid()) +
                                        QStringLiteral("-XXXXXX"));
    // mkdtemp makes the folder with mode 0700.
    if (::mkdtemp(path.data()))
        m_private = QFile::decodeName(path);
    return m_private;
}
