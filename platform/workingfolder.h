#pragma once

#include <QString>

// Where one running program keeps the pictures it works on: the working copy that every tool
// writes, and the pictures it keeps for undo. The working copy lies in the program directory
// while that is writable and no other running program holds it (a lock on the folder, which the
// system releases when the holder ends however it ends); otherwise, and always for the undo
// pictures, in a folder of this process's own (mode 0700, under $XDG_RUNTIME_DIR, the temporary
// folder or /tmp, the first where one can be made). That folder is locked while the program
// lives, which tells other programs, whatever process ids they see, that it is in use; it is
// removed when the program ends, also through exit().
class WorkingFolder
{
public:
    explicit WorkingFolder(const QString &programmeDir);
    ~WorkingFolder();
    WorkingFolder(const WorkingFolder &) = delete;
    WorkingFolder &operator=(const WorkingFolder &) = delete;

    // The folder the working copy "pxTemp.image" goes into.
    QString workingCopyFolder();
    // This process's own folder, made when first asked for and made anew when it has gone;
    // empty when none can be made.
    QString privateFolder();

private:
    bool makePrivate(const QString &root);
    void dropPrivate();

    int m_lock = -1;
    int m_privateLock = -1;
    QString m_programmeDir;
    QString m_private;
};
