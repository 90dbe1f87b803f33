#include "editor/undohistory.h"

#include <QFile>
#include <QFileInfo>

#include <numeric>

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
    m_original = original;
}

bool UndoHistory::add(const QString &result, const QString &folder)
{
    if (folder.isEmpty())
        return false;
    // A copy, never a link: the converter writes the working copy in place when it has several
    // names, which would change the kept picture with it.
    const QString step = folder + QStringLiteral("/undo-%1.image").arg(++m_serial);
    QFile::remove(step);
    if (!QFile::copy(result, step))
        return false;
    dropAfterCurrent();
    m_steps.append(step);
    m_current = int(m_steps.size());
    while (m_steps.size() > 1) {
        const qint64 bytes = std::accumulate(
                m_steps.cbegin(), m_steps.cend(), qint64(0),
                [](qint64 sum, const QString &kept) { return sum + QFileInfo(kept).size(); });
        if (m_steps.size() <= MaxSteps && bytes <= MaxBytes)
            break;
        dropOldest();
    }
    return true;
}

QString UndoHistory::undo()
{
    if (m_current == 0)
        return QString();
    --m_current;
    return m_current == 0 ? m_original : m_steps.at(m_current - 1);
}

QString UndoHistory::redo()
{
    if (m_current == m_steps.size())
        return QString();
    ++m_current;
    return m_steps.at(m_current - 1);
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
