#pragma once

#include <QString>
#include <QStringList>

// The pictures a picture has been through since it was opened: the original, then the result of
// each tool, so that undo and redo can show any of them again. The results are copies kept in the
// program's private folder; the original is the user's own file and is never touched. At most
// MaxSteps results and MaxBytes of them are kept, leaving room for two more on their disk; the
// oldest go first, and undo then leads from the oldest kept result straight back to the original.
// When a result cannot be copied, the oldest results go to make room; if even then it cannot, it
// is shown without a copy, and undo leads from it to the last picture kept, so the original is
// always within reach.
class UndoHistory
{
public:
    static constexpr int MaxSteps = 20;
    static constexpr qint64 MaxBytes = qint64(1) << 30;

    UndoHistory() = default;
    ~UndoHistory();
    UndoHistory(const UndoHistory &) = delete;
    UndoHistory &operator=(const UndoHistory &) = delete;

    // Starts afresh on a newly opened picture; the kept results go.
    void reset(const QString &original);
    // Keeps a copy of a tool's result in the folder as the newest picture, after the one shown;
    // the results that redo would have led to go. False when no copy could be made.
    bool add(const QString &result, const QString &folder);
    // The picture before, or after, the one shown, which it becomes; null at either end.
    QString undo();
    QString redo();
    // Whether the picture shown is a tool's result rather than the original.
    bool isEdited() const { return m_current > 0 || m_uncopied; }

private:
    QString shown() const;
    void dropAfterCurrent();
    void dropOldest();

    QString m_original;
    QStringList m_steps;     // the kept results, oldest first
    int m_current = 0;       // 0 is the original, n the n-th kept result
    int m_serial = 0;        // numbers the kept results' files
    bool m_uncopied = false; // the picture shown is a result after m_current that has no copy
};
