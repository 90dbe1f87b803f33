#include "platform/converter/privatefolder.h"

#include "platform/converter/convertargs.h"

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <optional>
#include <string>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace PrivateFolder {
namespace {

// Locks the folder, not a link to one, if no other process holds it; -1 otherwise.
int lock(const fs::path &folder)
{
    const int handle = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (handle >= 0 && (::flock(handle, LOCK_EX | LOCK_NB) != 0 || !isStillAt(handle, folder))) {
        const int error = errno;
        ::close(handle);
        errno = error;
        return -1;
    }
    return handle;
}

} // namespace

int create(const fs::path &parent, std::string_view prefix, fs::path &made)
{
    std::string path = (parent / Converter::privateFolderTemplate(prefix, ::getpid())).string();
    // A default ACL of the parent may deny even the owner the folder, which is its alone.
    if (!::mkdtemp(path.data()) || ::chmod(path.c_str(), 0700) != 0)
        return -1;
    // Until it is locked, another's clean-up may take the new folder for an abandoned one.
    made = path;
    return lock(made);
}

int lockAbandoned(const fs::path &folder, std::string_view prefix)
{
    const std::optional<long> owner =
            Converter::privateFolderOwner(folder.filename().string(), prefix);
    struct stat info;
    if (!owner || ::lstat(folder.c_str(), &info) != 0 || !S_ISDIR(info.st_mode) ||
        info.st_uid != ::geteuid() || ::kill(pid_t(*owner), 0) == 0 || errno != ESRCH)
        return -1;
    return lock(folder);
}

bool isStillAt(int folder, const fs::path &path)
{
    struct stat opened;
    struct stat named;
    return ::fstat(folder, &opened) == 0 && ::lstat(path.c_str(), &named) == 0 &&
           opened.st_dev == named.st_dev && opened.st_ino == named.st_ino;
}

} // namespace PrivateFolder
