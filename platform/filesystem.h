#pragma once

#include <QStringList>

class QFile;

// The file system reached through the names' own bytes (see FileName), so that every entry can
// be listed, tested and opened, whatever its name holds.
namespace FileSystem {

enum class Kind { Missing, File, Folder, Other };

// What a path names, symbolic links followed: a regular file, a folder, anything else, or
// nothing that can be reached.
Kind kind(const QString &path);

// A folder's entries from one reading, in the order the system gives them.
struct Listing
{
    bool readable = false;
    QStringList folders; // folders and links to folders, "." and ".." among them
    QStringList files;   // regular files and links to them
};
Listing list(const QString &folder);

// Opens a regular file for reading. Anything else (a FIFO, a device, a folder) is refused at
// once rather than waited on.
bool openForReading(const QString &path, QFile *file);

} // namespace FileSystem
