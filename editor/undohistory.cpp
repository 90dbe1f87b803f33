#include "editor/undohistory.h"

#include <QFile>
#include <QFileInfo>
#include <QStorageInfo>

#include <numeric>

namespace {

// A copy, never a link: the converter writes the working copy in place when it has several
// names, which would change the kept picture with it.
bool copied(const QString &result, const QString &step)
{
    QFile::remove(step);
    return QFile::copy(result, step);
}

} // namespace

UndoHistory::~UndoHistory()
{
    reset(QString());
}

void UndoHistory::reset(const QString &original)
{
    for (const QString &step : std::as_const(m_steps))
        QFile::remove(step);
    m_steps.clear();
    m_current = 0;
    m_uncopied = false;
    m_original = original;
}

bool UndoHistory::add(const QString &result, const QString &folder)
{
    // What redo would have led to is out of reach now, and its room is the first to go.
    dropAfterCurrent();
    m_uncopied = false;
    const QString step = folder + QStringLiteral("/undo-%1.image").arg(++m_serial);
    while (folder.isEmpty() || !copied(result, step)) {
        if (m_steps.isEmpty()) {
            m_uncopied = true;
            return false;
        }
        dropOldest();
    }
    m_steps.append(step);
    m_current = int(m_steps.size());
    // The next tool writes its result beside the working copy, on the same disk, which is often a
    // small one in memory: the copies leave room for two pictures of this size.
    const qint64 room = 2 * QFileInfo(step).size();
    while (m_steps.size() > 1) {
        const qint64 bytes = std::accumulate(
                m_steps.cbegin(), m_steps.cend(), qint64(0),
                [](qint64 sum, const QString &kept) { return sum + QFileInfo(kept).size(); });
        if (m_steps.size() <= MaxSteps && bytes <= MaxBytes &&
            QStorageInfo(folder).bytesAvailable() >= room)
            break;
        dropOldest();
    }
    return true;
}

QString UndoHistory::undo()
{
    if (m_uncopied)
        m_uncopied = false;
    else if (m_current > 0)
        --m_current;
    else
        return QString();
    return shown();
}

QString UndoHistory::redo()
{
    if (m_uncopied || m_current == m_steps.size())
        return QString();
    ++m_current;
    return shown();
}

QString UndoHistory::shown() const
{
    return m_current == 0 ? m_original : m_steps.at(m_current - 1);
}

void UndoHistory::dropAfterCurrent()
{
    while (m_steps.size() > m_current)
        QFile::remove(m_steps.takeLast());
}

void UndoHistory::dropOldest()
{
    QFile::remove(m_steps.takeFirst());
    m_current = std::max(m_current - 1, 0);
}
