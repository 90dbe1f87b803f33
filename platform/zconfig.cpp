#include "platform/zconfig.h"

#include <QFile>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <optional>

namespace {

// Opened without blocking, so that a FIFO cannot hold up the start; a device or an endless file
// is refused before anything is read.
std::optional<QByteArray> readRegularFile(const QString &path)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return std::nullopt;
    struct stat status;
    QFile file;
    if (::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode) ||
        status.st_size > ZConfig::MaximumSize ||
        !file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return std::nullopt;
    }
    // The file may have grown since it was measured.
    QByteArray bytes = file.read(ZConfig::MaximumSize + 1);
    if (bytes.size() > ZConfig::MaximumSize)
        return std::nullopt;
    return bytes;
}

} // namespace

ZConfig::ZConfig(const QString &path)
{
    const std::optional<QByteArray> bytes = readRegularFile(path);
    if (!bytes)
        return;
    m_read = true;
    QString text = QString::fromUtf8(*bytes);
    if (text.startsWith(QChar(0xFEFF)))
        text.remove(0, 1);

    QHash<QString, QString> *group = nullptr;
    for (const QStringView rawLine : QStringView(text).split(u'\n')) {
        const QStringView line = rawLine.trimmed();
        if (line.isEmpty() || line.startsWith(u'#') || line.startsWith(u';'))
            continue;
        if (line.startsWith(u'[') && line.endsWith(u']')) {
            group = &m_groups[line.mid(1, line.size() - 2).trimmed().toString()];
            continue;
        }
        const qsizetype equals = line.indexOf(u'=');
        if (group && equals > 0)
            group->insert(line.left(equals).trimmed().toString(),
                          line.mid(equals + 1).trimmed().toString());
    }
}

QString ZConfig::readEntry(const QString &group, const QString &key,
                           const QString &defaultValue) const
{
    const auto found = m_groups.constFind(group);
    if (found == m_groups.constEnd())
        return defaultValue;
    return found->value(key, defaultValue);
}
