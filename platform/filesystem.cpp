#include "platform/filesystem.h"

#include "platform/filename.h"

#include <QFile>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace FileSystem {
namespace {

Kind kindOf(mode_t mode)
{
    if (S_ISREG(mode))
        return Kind::File;
    return S_ISDIR(mode) ? Kind::Folder : Kind::Other;
}

// Most file systems tell the kind in the entry itself; links and the others need a look.
Kind entryKind(DIR *folder, const dirent *entry)
{
    switch (entry->d_type) {
    case DT_DIR:
        return Kind::Folder;
    case DT_REG:
        return Kind::File;
    case DT_LNK:
    case DT_UNKNOWN: {
        struct stat status;
        if (::fstatat(::dirfd(folder), entry->d_name, &status, 0) != 0)
            return Kind::Missing;
        return kindOf(status.st_mode);
    }
    default:
        return Kind::Other;
    }
}

} // namespace

Kind kind(const QString &path)
{
    struct stat status;
    if (::stat(FileName::encodeName(path).constData(), &status) != 0)
        return Kind::Missing;
    return kindOf(status.st_mode);
}

Listing list(const QString &folder)
{
    Listing listing;
    DIR *entries = ::opendir(FileName::encodeName(folder).constData());
    if (!entries)
        return listing;
    listing.readable = true;
    while (const dirent *entry = ::readdir(entries)) {
        const Kind entryIs = entryKind(entries, entry);
        if (entryIs == Kind::Folder)
            listing.folders.append(FileName::decodeName(entry->d_name));
        else if (entryIs == Kind::File)
            listing.files.append(FileName::decodeName(entry->d_name));
    }
    ::closedir(entries);
    return listing;
}

bool openForReading(const QString &path, QFile *file)
{
    // The look before the open spares devices an open; the look after it is the one that counts.
    if (kind(path) != Kind::File)
        return false;
    const int descriptor = ::open(FileName::encodeName(path).constData(),
                                  O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    if (descriptor < 0)
        return false;
    struct stat status;
    if (::fstat(descriptor, &status) == 0 && S_ISREG(status.st_mode) &&
        file->open(descriptor, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle))
        return true;
    ::close(descriptor);
    return false;
}

} // namespace FileSystem
