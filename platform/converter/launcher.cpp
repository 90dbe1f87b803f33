#include "platform/converter/launcher.h"

#include "platform/converter/engine.h"
#include "platform/converter/privatefolder.h"
#include "platform/converter/resources.h"
#include "platform/converter/tiffcheck.h"
#include "platform/converter/workingcopy.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <stdexcept>
#include <utility>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <sys/xattr.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace Converter {
namespace {

// How long ImageMagick may take to stop on SIGTERM before it is killed.
constexpr timespec StopGrace = {2, 0};

[[noreturn]] void fail(const std::string &message)
{
    throw std::runtime_error(message);
}

[[noreturn]] void failWithErrno(const std::string &message, int error = errno)
{
    fail(message + ": " + std::strerror(error));
}

struct Signals
{
    sigset_t stops;    // the signals that end a conversion
    sigset_t original; // the mask ImageMagick runs with
};

// The stop signals stay blocked and are taken with sigwaitinfo(), so none can slip in between
// looking for one and waiting for ImageMagick.
Signals blockSignals()
{
    // An inherited SIG_IGN would let the kernel reap ImageMagick before its status is read.
    std::signal(SIGCHLD, SIG_DFL);
    Signals signals;
    sigemptyset(&signals.stops);
    for (const int signal : {SIGTERM, SIGINT, SIGHUP}) {
        struct sigaction current = {};
        // A signal the caller chose to ignore stays ignored, as background jobs expect.
        if (sigaction(signal, nullptr, &current) == 0 && current.sa_handler != SIG_IGN)
            sigaddset(&signals.stops, signal);
    }
    sigset_t blocked = signals.stops;
    sigaddset(&blocked, SIGCHLD);
    sigprocmask(SIG_BLOCK, &blocked, &signals.original);
    return signals;
}

// The prefixes of a run's private folders: its workspace in the temporary folder, and the folder
// beside the destination where ImageMagick writes.
constexpr std::string_view WorkspacePrefix = "pictalux-";
constexpr std::string_view BesidePrefix = ".pictalux-";

// How many symbolic links a destination may pass through, as many as the kernel follows.
constexpr int MaxLinks = 40;
// How much of ImageMagick's messages is searched for the reason it failed.
constexpr std::size_t MessagesSearched = 64 * 1024;
// What a run says when ImageMagick could not write the whole picture, followed by its name.
constexpr std::string_view DiskFull =
        "the disk is full: ImageMagick could not write the whole picture for ";

// A file descriptor that is closed with its owner.
class FileDescriptor
{
public:
    explicit FileDescriptor(int fd = -1)
        : m_fd(fd)
    {}
    ~FileDescriptor()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    FileDescriptor(FileDescriptor &&other) noexcept
        : m_fd(std::exchange(other.m_fd, -1))
    {}
    FileDescriptor &operator=(FileDescriptor &&other) noexcept
    {
        std::swap(m_fd, other.m_fd);
        return *this;
    }

    int get() const { return m_fd; }
    explicit operator bool() const { return m_fd >= 0; }

private:
    int m_fd;
};

// The names in a workspace of the copy of a file written in place and, while that write is under
// way, of the note that names the file.
constexpr std::string_view OldContents = "old";
constexpr std::string_view WriteUnderWay = "writing";

// Moves the old contents of a file written in place out of the workspace, to a name no later run
// removes; that name, or nothing when the copy could not be moved.
std::optional<fs::path> keepOldContents(const fs::path &workspace)
{
    const fs::path kept = workspace.string() + "-old";
    if (::rename((workspace / OldContents).c_str(), kept.c_str()) != 0)
        return std::nullopt;
    return kept;
}

// Whether the workspace of a killed run may go: unless that run was writing a file in place, whose
// old contents may then be whole only in the workspace, and which are so kept.
bool mayRemoveWorkspace(const fs::path &workspace)
{
    std::ifstream note(workspace / WriteUnderWay, std::ios::binary);
    if (!note)
        return true;
    const std::string file{std::istreambuf_iterator<char>(note), {}};
    const std::optional<fs::path> kept = keepOldContents(workspace);
    if (!kept)
        return errno == ENOENT;
    std::fprintf(stderr, "convert: a save into %s was cut short; its old contents are in %s\n",
                 file.c_str(), kept->c_str());
    return true;
}

// Removes what killed runs left in the folder.
void removeAbandoned(const fs::path &folder, std::string_view prefix)
{
    std::error_code error;
    for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
        const FileDescriptor lock(PrivateFolder::lockAbandoned(it->path(), prefix));
        if (!lock || (prefix == WorkspacePrefix && !mayRemoveWorkspace(it->path())))
            continue;
        // A workspace leads to the folder its run had beside the destination, wherever that was.
        std::error_code ignored;
        const fs::path beside = fs::read_symlink(it->path() / "output", ignored);
        if (!ignored && FileDescriptor(PrivateFolder::lockAbandoned(beside, BesidePrefix)))
            fs::remove_all(beside, ignored);
        fs::remove_all(it->path(), ignored);
    }
}

// A folder of this run's own; it goes with all it holds, including what ImageMagick itself
// left there when it was stopped. Its name and lock tell later runs whether it is abandoned.
class PrivateDirectory
{
public:
    PrivateDirectory() = default;
    ~PrivateDirectory()
    {
        std::error_code ignored;
        if (!m_path.empty())
            fs::remove_all(m_path, ignored);
    }
    PrivateDirectory(const PrivateDirectory &) = delete;
    PrivateDirectory &operator=(const PrivateDirectory &) = delete;

    // Makes the folder in parent; false, with errno set, when that is not possible.
    bool create(const fs::path &parent, std::string_view prefix)
    {
        fs::path made;
        m_lock = FileDescriptor(PrivateFolder::create(parent, prefix, made));
        if (m_lock)
            m_path = fs::absolute(made);
        return bool(m_lock);
    }

    const fs::path &path() const { return m_path; }

    // A plain name in this folder that leads to target.
    std::string link(const fs::path &target, const std::string &name) const
    {
        const fs::path link = m_path / name;
        std::error_code error;
        fs::create_symlink(target, link, error);
        if (error)
            fail("cannot link to " + target.string() + ": " + error.message());
        return link.string();
    }

    // A folder or a file of this run in this folder.
    std::string folder(const std::string &name) const
    {
        const fs::path folder = m_path / name;
        if (::mkdir(folder.c_str(), 0700) != 0)
            failWithErrno("cannot create " + folder.string());
        return folder.string();
    }

    FileDescriptor file(const std::string &name) const
    {
        const fs::path file = m_path / name;
        FileDescriptor fd(::open(file.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0600));
        if (!fd)
            failWithErrno("cannot create " + file.string());
        return fd;
    }

private:
    fs::path m_path;
    FileDescriptor m_lock;
};

// A power cut just after the rename must not leave an empty file in the destination's place.
void syncToDisk(int fd, const std::string &name)
{
    if (::fsync(fd) != 0)
        failWithErrno("cannot write " + name);
}

void checkImageMagick(const std::string &program)
{
    if (program.empty())
        fail("ImageMagick was not found when Pictalux was built; "
             "set PICTALUX_IMAGEMAGICK to its convert program");
    // A "convert" found on the PATH may be this launcher, which would then start itself forever.
    std::error_code ignored;
    if (fs::equivalent(program, "/proc/self/exe", ignored))
        fail(program + " is this launcher, not ImageMagick");
}

// The source, opened once: ImageMagick reads it through this descriptor, so what it reads is the
// regular file checked here even when the name is given to something else meanwhile.
FileDescriptor openSource(const std::string &source)
{
    // Without O_NONBLOCK a FIFO given as the source would hang the open.
    FileDescriptor file(::open(source.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    if (!file)
        failWithErrno("cannot read " + source);
    struct stat info;
    if (::fstat(file.get(), &info) != 0 || !S_ISREG(info.st_mode))
        fail(source + " is not a file");
    return file;
}

// The name under which another process opens the file this one has open as fd.
std::string openedFile(const FileDescriptor &fd)
{
    return "/proc/" + std::to_string(::getpid()) + "/fd/" + std::to_string(fd.get());
}

// The file a plain write to the destination writes: the end of its symbolic links, which need not
// exist yet (open() creates the target of a dangling link).
fs::path folderOf(const fs::path &destination)
{
    if (!destination.has_filename())
        fail(destination.string() + " names a folder, not a file");
    const fs::path folder = destination.parent_path();
    return folder.empty() ? fs::path(".") : folder;
}

// The level of one of the kernel's guards of sticky folders; where it cannot be read, that of a
// standard system.
int protectionLevel(const char *setting)
{
    int level = 1;
    if (std::FILE *file = std::fopen((std::string("/proc/sys/fs/") + setting).c_str(), "r")) {
        if (std::fscanf(file, "%d", &level) != 1)
            level = 1;
        std::fclose(file);
    }
    return level;
}

// Since the launcher follows links itself and opens files without creating them, it applies the
// kernel's guard of sticky folders as a plain write would meet it: a link, or a file, planted by
// another user in /tmp is not written through.
void checkStickyFolder(const fs::path &entry, const char *setting, const std::string &requested)
{
    struct stat info, folder;
    if (::lstat(entry.c_str(), &info) != 0 || ::stat(folderOf(entry).c_str(), &folder) != 0)
        return;
    if (!stickyFolderAllows(protectionLevel(setting), ::geteuid(),
                            {S_ISLNK(info.st_mode), info.st_uid, folder.st_mode, folder.st_uid}))
        failWithErrno("cannot write " + requested, EACCES);
}

fs::path resolvedDestination(const std::string &destination)
{
    fs::path path = destination;
    for (int links = 0; links < MaxLinks; ++links) {
        std::error_code notLink;
        const fs::path target = fs::read_symlink(path, notLink);
        if (notLink)
            return path;
        checkStickyFolder(path, "protected_symlinks", destination);
        path = target.is_absolute() ? target : path.parent_path() / target;
    }
    fail(destination + ": too many levels of symbolic links");
}

// The destination as the run found it: the file to write and its folder, and when the file exists,
// the file opened for writing, which checks the user's right to write it as a plain write would.
struct Destination
{
    fs::path path;
    fs::path folder;
    FileDescriptor file;
    struct stat info = {};
};

Destination openDestination(const std::string &requested)
{
    Destination destination;
    destination.path = resolvedDestination(requested);
    destination.folder = folderOf(destination.path);
    struct stat info;
    if (::lstat(destination.path.c_str(), &info) != 0) {
        if (errno != ENOENT)
            failWithErrno("cannot write " + requested);
        return destination;
    }
    // Devices, FIFOs, sockets and folders are not even opened: a save must not feed or wait on one.
    if (!S_ISREG(info.st_mode))
        fail(requested + " is not a file");
    checkStickyFolder(destination.path, "protected_regular", requested);
    destination.file = FileDescriptor(::open(
            destination.path.c_str(), O_WRONLY | O_NONBLOCK | O_NOCTTY | O_NOFOLLOW | O_CLOEXEC));
    if (!destination.file)
        failWithErrno("cannot write " + requested);
    if (::fstat(destination.file.get(), &destination.info) != 0 ||
        !S_ISREG(destination.info.st_mode))
        fail(requested + " is not a file");
    return destination;
}

// The permission bits open(2) gives a new file.
mode_t newFileMode()
{
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

// Writes all of from over the start of to, and cuts to where it ends; false, with errno set, on
// failure.
bool copyOver(int from, int to)
{
    std::array<char, 64 * 1024> buffer;
    off_t offset = 0;
    for (;;) {
        const ssize_t size = ::pread(from, buffer.data(), buffer.size(), offset);
        if (size < 0)
            return false;
        if (size == 0)
            break;
        for (ssize_t done = 0; done < size;) {
            const ssize_t written = ::pwrite(to, buffer.data() + done, size - done, offset + done);
            if (written < 0)
                return false;
            done += written;
        }
        offset += size;
    }
    return ::ftruncate(to, offset) == 0 && ::fsync(to) == 0;
}

// Writes the picture into the destination file itself, which so keeps its links, owner and place.
// Should that fail midway, the old contents are put back from a copy in the workspace; should the
// run be killed midway, a note in the workspace tells the next run to keep that copy.
void writeInPlace(int picture, const Destination &destination, const PrivateDirectory &workspace)
{
    const std::string name = destination.path.string();
    const FileDescriptor current(
            ::open(openedFile(destination.file).c_str(), O_RDONLY | O_CLOEXEC));
    const FileDescriptor old = workspace.file(std::string(OldContents));
    if (!current || !copyOver(current.get(), old.get()))
        failWithErrno("cannot keep the old contents of " + name + " while it is written");
    const std::string absolute = fs::absolute(destination.path).string();
    const FileDescriptor note = workspace.file(std::string(WriteUnderWay));
    if (::write(note.get(), absolute.data(), absolute.size()) != ssize_t(absolute.size()) ||
        ::fsync(note.get()) != 0)
        failWithErrno("cannot keep the old contents of " + name + " while it is written");
    if (copyOver(picture, destination.file.get())) {
        ::unlink((workspace.path() / WriteUnderWay).c_str());
        return;
    }
    const int error = errno;
    if (copyOver(old.get(), destination.file.get()))
        failWithErrno("cannot write " + name + "; its old contents are back", error);
    // The copy is then the only one: it leaves the workspace under a name no later run removes.
    const std::optional<fs::path> kept = keepOldContents(workspace.path());
    if (!kept)
        failWithErrno("cannot write " + name + "; its old contents are lost", error);
    failWithErrno("cannot write " + name + "; its old contents are kept in " + kept->string(),
                  error);
}

// Whether the new file has, or may be given, the owner and group of the file it replaces.
bool takesOwner(int file, const struct stat &info, const struct stat &replaced)
{
    return (info.st_uid == replaced.st_uid && info.st_gid == replaced.st_gid) ||
           ::fchown(file, replaced.st_uid, replaced.st_gid) == 0;
}

// The picture ImageMagick wrote, opened once it is known to be one whole picture.
FileDescriptor openResult(const fs::path &result, bool tiff, const std::string &name)
{
    // Web pages and tile crops come as several files, which one destination cannot hold.
    std::error_code error;
    for (const fs::directory_entry &entry : fs::directory_iterator(result.parent_path(), error))
        if (entry.path().filename() != result.filename())
            fail("ImageMagick made several files for " + name + "; only one picture can be saved");
    FileDescriptor picture(::open(result.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC));
    struct stat info;
    if (!picture || ::fstat(picture.get(), &info) != 0 || !S_ISREG(info.st_mode) ||
        info.st_size == 0)
        fail("ImageMagick wrote no picture for " + name);
    // ImageMagick reports success for a TIFF that a full disk cut short.
    if ((tiff || TiffCheck::looksLikeTiff(result)) && !TiffCheck::isWhole(result))
        fail(std::string(DiskFull) + name);
    return picture;
}

// Waits until no other run writes the file, so that it ends up as one whole picture; a stop signal
// ends the wait. The signal, or 0 once this run holds the file's lock until it ends.
int lockFile(const FileDescriptor &file, const sigset_t &stops)
{
    constexpr timespec Retry = {0, 50'000'000};
    // A file system without locks lets the write go ahead, as a plain write would.
    while (::flock(file.get(), LOCK_EX | LOCK_NB) != 0 && errno == EWOULDBLOCK) {
        const int signal = sigtimedwait(&stops, nullptr, &Retry);
        if (signal > 0)
            return signal;
    }
    return 0;
}

// The names of a file's extended attributes, none where its file system has none; nothing when
// they cannot be listed.
std::optional<std::vector<std::string>> attributeNames(int file)
{
    const ssize_t size = ::flistxattr(file, nullptr, 0);
    if (size < 0)
        return errno == ENOTSUP ? std::optional<std::vector<std::string>>({}) : std::nullopt;
    std::string list(std::size_t(size), '\0');
    const ssize_t listed = ::flistxattr(file, list.data(), list.size());
    if (listed < 0)
        return std::nullopt;
    std::vector<std::string> names;
    for (std::size_t at = 0; at < std::size_t(listed); at += names.back().size() + 1)
        names.emplace_back(list.c_str() + at);
    return names;
}

std::optional<std::string> attribute(int file, const std::string &name)
{
    const ssize_t size = ::fgetxattr(file, name.c_str(), nullptr, 0);
    std::string value(std::size_t(std::max<ssize_t>(size, 0)), '\0');
    if (size < 0 || ::fgetxattr(file, name.c_str(), value.data(), value.size()) != size)
        return std::nullopt;
    return value;
}

// Gives the new file the extended attributes of the file it replaces, its access ACL among them,
// as a write into that file would keep them; false when one cannot be given.
bool takesAttributes(int file, int replaced)
{
    const auto kept = attributeNames(replaced);
    const auto given = attributeNames(file);
    if (!kept || !given)
        return false;
    // An ACL the new file took from its folder would give others what the old file did not.
    for (const std::string &name : *given)
        if (std::find(kept->begin(), kept->end(), name) == kept->end() &&
            name.compare(0, 9, "security.") != 0 && ::fremovexattr(file, name.c_str()) != 0)
            return false;
    for (const std::string &name : *kept) {
        // A write takes a file's capabilities away, so the new file goes without them too.
        if (name == "security.capability")
            continue;
        const std::optional<std::string> value = attribute(replaced, name);
        if (!value)
            return false;
        if (attribute(file, name) != value &&
            ::fsetxattr(file, name.c_str(), value->data(), value->size(), 0) != 0)
            return false;
    }
    return true;
}

// Whether new files in the folder take their permissions from its default ACL, not the umask.
bool hasDefaultAcl(const fs::path &folder)
{
    return ::getxattr(folder.c_str(), "system.posix_acl_default", nullptr, 0) >= 0;
}

// Puts the picture ImageMagick wrote in the destination's place: in one step by a rename where
// that keeps what the file is (owner, group, mode, its only link), else by a write in place.
// Returns the launcher's exit code.
int commit(const fs::path &result, bool tiff, const Destination &destination,
           bool besideDestination, const PrivateDirectory &workspace, const sigset_t &stops)
{
    const std::string name = destination.path.string();
    const FileDescriptor picture = openResult(result, tiff, name);
    struct stat info;
    ::fstat(picture.get(), &info);
    if (destination.file)
        if (const int signal = lockFile(destination.file, stops))
            return ExitSignalBase + signal;

    const bool exists = bool(destination.file);
    if (besideDestination &&
        (!exists || (takesOwner(picture.get(), info, destination.info) &&
                     takesAttributes(picture.get(), destination.file.get())))) {
        // The file ImageMagick made in the folder beside already has what the default ACL gives.
        const bool setMode = exists || !hasDefaultAcl(destination.folder);
        const mode_t mode = exists ? destination.info.st_mode & 0777 : newFileMode();
        if (setMode && ::fchmod(picture.get(), mode) != 0)
            failWithErrno("cannot set the permissions of " + name);
        // Nobody reopens a working copy after a crash, so it need not wait for the disk.
        if (!WorkingCopy::isWorkingCopy(name))
            syncToDisk(picture.get(), name);
        if (::rename(result.c_str(), destination.path.c_str()) != 0)
            failWithErrno("cannot replace " + name);
    } else {
        writeInPlace(picture.get(), destination, workspace);
    }
    return 0;
}

// Passes ImageMagick's messages on to the launcher's standard error, with the user's names for
// the files it was given, and returns their start.
std::string passOnMessages(const FileDescriptor &messages, const std::vector<Renaming> &names)
{
    std::string said;
    std::array<char, 8192> buffer;
    ssize_t size = 0;
    for (off_t offset = 0;
         (size = ::pread(messages.get(), buffer.data(), buffer.size(), offset)) > 0; offset += size)
        said.append(buffer.data(), std::size_t(size));
    said = renamed(said, names);
    std::fwrite(said.data(), 1, said.size(), stderr);
    said.resize(std::min(said.size(), MessagesSearched));
    return said;
}

// Where ImageMagick runs: the folder it writes in is its working folder too, since some formats
// put extra files there, and its messages go to a file for the launcher to read.
struct Surroundings
{
    std::string folder;
    int messages;
};

pid_t spawn(const std::vector<std::string> &arguments, const sigset_t &mask,
            const Surroundings &surroundings)
{
    std::vector<char *> argv;
    for (const std::string &argument : arguments)
        argv.push_back(const_cast<char *>(argument.c_str()));
    argv.push_back(nullptr);

    // ImageMagick tells why it could not be started through this pipe, which its exec closes.
    int report[2];
    if (::pipe2(report, O_CLOEXEC) != 0)
        failWithErrno("cannot run " + arguments.front());
    const FileDescriptor reading(report[0]);
    const pid_t parent = ::getpid();
    const pid_t child = ::fork();
    if (child == 0) {
        // ImageMagick must not outlive a killed launcher; one killed before this line is gone.
        if (::prctl(PR_SET_PDEATHSIG, SIGKILL) != 0 || ::getppid() != parent)
            ::_exit(ExitFailure);
        int error = 0;
        if (::chdir(surroundings.folder.c_str()) != 0 ||
            ::dup2(surroundings.messages, STDERR_FILENO) < 0 ||
            ::sigprocmask(SIG_SETMASK, &mask, nullptr) != 0 ||
            ::execv(argv.front(), argv.data()) != 0)
            error = errno;
        [[maybe_unused]] const ssize_t written = ::write(report[1], &error, sizeof error);
        ::_exit(ExitFailure);
    }
    const int forkError = errno;
    ::close(report[1]);
    if (child < 0)
        failWithErrno("cannot run " + arguments.front(), forkError);
    int error = 0;
    if (::read(reading.get(), &error, sizeof error) == ssize_t(sizeof error)) {
        ::waitpid(child, nullptr, 0);
        failWithErrno("cannot run " + arguments.front(), error);
    }
    return child;
}

// Lets ImageMagick remove its own files, and kills it when it does not stop in time.
void stop(pid_t child)
{
    ::kill(child, SIGTERM);
    sigset_t childExit;
    sigemptyset(&childExit);
    sigaddset(&childExit, SIGCHLD);
    sigtimedwait(&childExit, nullptr, &StopGrace);
    if (::waitpid(child, nullptr, WNOHANG) == child)
        return;
    ::kill(child, SIGKILL);
    ::waitpid(child, nullptr, 0);
}

// Waits for ImageMagick and returns the launcher's exit code; a stop signal ends it too.
int await(pid_t child, const sigset_t &stops)
{
    sigset_t awaited = stops;
    sigaddset(&awaited, SIGCHLD);
    for (;;) {
        int status = 0;
        const pid_t done = ::waitpid(child, &status, WNOHANG);
        if (done == child) {
            if (WIFSIGNALED(status))
                std::fprintf(stderr, "convert: ImageMagick was killed by signal %d\n",
                             WTERMSIG(status));
            return exitCodeFor(status);
        }
        if (done < 0 && errno != EINTR)
            failWithErrno("cannot wait for ImageMagick");
        const int signal = sigwaitinfo(&awaited, nullptr);
        if (signal > 0 && signal != SIGCHLD) {
            stop(child);
            return ExitSignalBase + signal;
        }
    }
}

int convert(const std::string &imageMagick, const Request &request, const Signals &signals)
{
    checkImageMagick(imageMagick);
    if (cropsNothing(request.options))
        fail("a crop without width or height leaves no picture");
    const std::string temporary = temporaryRoot(std::getenv("TMPDIR"));
    removeAbandoned(temporary, WorkspacePrefix);
    const FileDescriptor source = openSource(request.source);
    const Destination destination = openDestination(request.destination);
    removeAbandoned(destination.folder, BesidePrefix);

    // ImageMagick sees only plain names: a link to the source as it was opened, and one to the
    // folder it writes in. That folder lies beside the destination, so that the result can replace
    // it by a rename, unless the file must be written in place: it has other links, or its folder
    // does not let the user make one.
    PrivateDirectory workspace;
    if (!workspace.create(temporary, WorkspacePrefix))
        failWithErrno("cannot create a folder in " + temporary);
    PrivateDirectory beside;
    const bool besideDestination = (!destination.file || destination.info.st_nlink == 1) &&
                                   beside.create(destination.folder, BesidePrefix);
    if (!besideDestination && !destination.file)
        failWithErrno("cannot write in " + destination.folder.string());
    const std::string output = besideDestination ? workspace.link(beside.path(), "output")
                                                 : workspace.folder("output");
    const std::string safeSource =
            workspace.link(openedFile(source), "source" + plainExtension(request.source));
    const std::string result = output + "/picture" + plainExtension(request.destination);
    const FileDescriptor messages = workspace.file("messages");
    // ImageMagick's own temporary files then go when the workspace goes, even after a kill.
    ::setenv("MAGICK_TEMPORARY_PATH", workspace.path().c_str(), 1);
    ::setenv("MAGICK_TMPDIR", workspace.path().c_str(), 1);
    Resources::giveMachine(workspace.path());

    const Engine::Job job{safeSource, request.options, result, request.destination,
                          WorkingCopy::inspect(openedFile(source))};
    const std::vector<std::string> command =
            Engine::commandLine({imageMagick, Engine::installedGraphicsMagick()}, job);
    const pid_t child = spawn(command, signals.original, {output, messages.get()});
    int exitCode = await(child, signals.stops);
    const std::string said =
            passOnMessages(messages, {{result, request.destination}, {safeSource, request.source}});
    if (exitCode == 0 && writeFailed(said))
        fail(std::string(DiskFull) + request.destination);
    if (exitCode == 0)
        exitCode = commit(result, TiffCheck::namesTiff(command.back()), destination,
                          besideDestination, workspace, signals.stops);
    else if (exitCode == ExitFailure && beyondLimits(said))
        exitCode = ExitBeyondLimits;
    return exitCode;
}

} // namespace

int run(const std::string &imageMagick, const Request &request)
{
    const Signals signals = blockSignals();
    try {
        return convert(imageMagick, request, signals);
    } catch (const std::exception &error) {
        std::fprintf(stderr, "convert: %s\n", error.what());
        return ExitFailure;
    }
}

} // namespace Converter
