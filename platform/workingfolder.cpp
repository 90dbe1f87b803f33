#include "platform/workingfolder.h"

#include "platform/converter/privatefolder.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>

#include <algorithm>
#include <filesystem>
#include <system_error>
#include <vector>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr char PrivatePrefix[] = "pictalux-session-";

// The working copy may go where this user can replace it: the folder is writable, and a
// working copy left there by someone else is too.
bool canHoldWorkingCopy(const QString &folder)
{
    const QByteArray path = QFile::encodeName(folder);
    const QByteArray copy = QFile::encodeName(folder + QStringLiteral("/pxTemp.image"));
    return ::access(path.constData(), W_OK | X_OK) == 0 &&
           (::access(copy.constData(), F_OK) != 0 || ::access(copy.constData(), W_OK) == 0);
}

void removeFolder(const QByteArray &path)
{
    std::error_code ignored;
    std::filesystem::remove_all(path.toStdString(), ignored);
}

// The private folders of this process, removed also when it leaves through exit(), as Qt does
// when the connection to the X server breaks, without unwinding main().
struct LiveFolders
{
    std::vector<QByteArray> paths;
    ~LiveFolders()
    {
        for (const QByteArray &path : paths)
            removeFolder(path);
    }
};

LiveFolders &liveFolders()
{
    static LiveFolders folders;
    return folders;
}

// Where the private folder may go, best first. The runtime folder is the user's own and goes at
// logout; the others are tried in turn, as a runtime folder or TMPDIR may be unusable.
QStringList privateRoots()
{
    QStringList roots;
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    struct stat info;
    if (!runtime.isEmpty() && ::stat(QFile::encodeName(runtime).constData(), &info) == 0 &&
        S_ISDIR(info.st_mode) && info.st_uid == ::getuid() && (info.st_mode & 0077) == 0)
        roots.append(runtime);
    // Qt gives an empty temporary folder for a TMPDIR that does not exist.
    const QString temporary = QDir::tempPath();
    if (!temporary.isEmpty())
        roots.append(temporary);
    roots.append(QStringLiteral("/tmp"));
    roots.removeDuplicates();
    return roots;
}

// Removes the folders of programs that were killed before they could.
void removeLeftOvers(const QString &root)
{
    QDirIterator entries(root, {QString::fromLatin1(PrivatePrefix) + u'*'},
                         QDir::Dirs | QDir::Hidden | QDir::System);
    while (entries.hasNext()) {
        entries.next();
        const QByteArray path = QFile::encodeName(entries.filePath());
        const int lock = PrivateFolder::lockAbandoned(path.toStdString(), PrivatePrefix);
        if (lock >= 0) {
            removeFolder(path);
            ::close(lock);
        }
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
    dropPrivate();
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
    if (!m_private.isEmpty() &&
        PrivateFolder::isStillAt(m_privateLock, QFile::encodeName(m_private).toStdString()))
        return m_private;
    dropPrivate();
    for (const QString &root : privateRoots()) {
        removeLeftOvers(root);
        if (makePrivate(root))
            break;
    }
    return m_private;
}

bool WorkingFolder::makePrivate(const QString &root)
{
    std::filesystem::path made;
    m_privateLock =
            PrivateFolder::create(QFile::encodeName(root).toStdString(), PrivatePrefix, made);
    if (m_privateLock < 0)
        return false;
    m_private = QFile::decodeName(QByteArray::fromStdString(made.string()));
    liveFolders().paths.push_back(QFile::encodeName(m_private));
    return true;
}

// Removes the private folder, while still holding its lock, and forgets it.
void WorkingFolder::dropPrivate()
{
    if (!m_private.isEmpty()) {
        const QByteArray path = QFile::encodeName(m_private);
        std::vector<QByteArray> &live = liveFolders().paths;
        live.erase(std::remove(live.begin(), live.end(), path), live.end());
        // A folder that is no longer the one made (something else took its name) stays.
        if (PrivateFolder::isStillAt(m_privateLock, path.toStdString()))
            removeFolder(path);
        m_private.clear();
    }
    if (m_privateLock >= 0)
        ::close(m_privateLock);
    m_privateLock = -1;
}
