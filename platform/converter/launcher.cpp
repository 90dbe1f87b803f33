#include "platform/converter/launcher.h"

#include "platform/converter/engine.h"
#include "platform/converter/resources.h"
#include "platform/converter/workingcopy.h"

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <stdexcept>

#include <fcntl.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

extern char **environ;

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

// The folder of plain names that stand for the user's files; it goes with all it holds,
// including what ImageMagick itself left there when it was stopped.
class PrivateDirectory
{
public:
    PrivateDirectory()
    {
        std::string path = temporaryRoot(std::getenv("TMPDIR")) + "/pictalux-XXXXXX";
        if (!mkdtemp(path.data()))
            failWithErrno("cannot create a folder in " + fs::path(path).parent_path().string());
        m_path = path;
    }
    ~PrivateDirectory()
    {
        std::error_code ignored;
        fs::remove_all(m_path, ignored);
    }
    PrivateDirectory(const PrivateDirectory &) = delete;
    PrivateDirectory &operator=(const PrivateDirectory &) = delete;

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

private:
    fs::path m_path;
};

// A power cut just after the rename must not leave an empty file in the destination's place.
void syncToDisk(const fs::path &file)
{
    const int fd = ::open(file.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        failWithErrno("cannot open " + file.string());
    const int result = ::fsync(fd);
    const int error = errno;
    ::close(fd);
    if (result != 0)
        failWithErrno("cannot write " + file.string(), error);
}

// The hidden file beside the destination that ImageMagick writes; it is removed unless it has
// become the destination.
class PendingFile
{
public:
    PendingFile(const fs::path &folder, const std::string &extension)
    {
        std::string path = (folder / (".pictalux-XXXXXX" + extension)).string();
        const int fd = mkstemps(path.data(), int(extension.size()));
        if (fd < 0)
            failWithErrno("cannot write in " + folder.string());
        ::close(fd);
        m_path = path;
    }
    ~PendingFile()
    {
        if (!m_path.empty())
            ::unlink(m_path.c_str());
    }
    PendingFile(const PendingFile &) = delete;
    PendingFile &operator=(const PendingFile &) = delete;

    std::string fileName() const { return m_path.filename().string(); }

    // Puts the finished picture in the destination's place in one step.
    void commit(const fs::path &destination, mode_t mode)
    {
        struct stat info;
        if (::stat(m_path.c_str(), &info) != 0 || info.st_size == 0)
            fail("ImageMagick wrote no picture for " + destination.string());
        if (::chmod(m_path.c_str(), mode) != 0)
            failWithErrno("cannot set the permissions of " + m_path.string());
        // Nobody reopens a working copy after a crash, so it need not wait for the disk.
        if (!WorkingCopy::isWorkingCopy(destination.string()))
            syncToDisk(m_path);
        if (::rename(m_path.c_str(), destination.c_str()) != 0)
            failWithErrno("cannot replace " + destination.string());
        m_path.clear();
    }

private:
    fs::path m_path;
};

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

// The source's absolute path, once it is known to be a file the launcher may read.
fs::path readableSource(const std::string &source)
{
    // Without O_NONBLOCK a FIFO given as the source would hang the open.
    const int fd = ::open(source.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        failWithErrno("cannot read " + source);
    struct stat info;
    const bool isFile = ::fstat(fd, &info) == 0 && S_ISREG(info.st_mode);
    ::close(fd);
    if (!isFile)
        fail(source + " is not a file");
    return fs::canonical(source);
}

// Saving onto a symbolic link replaces the file it leads to and keeps the link.
fs::path resolvedDestination(const std::string &destination)
{
    std::error_code error;
    if (fs::is_symlink(destination, error)) {
        const fs::path target = fs::canonical(destination, error);
        if (!error)
            return target;
    }
    return destination;
}

fs::path folderOf(const fs::path &destination)
{
    if (!destination.has_filename())
        fail(destination.string() + " names a folder, not a file");
    const fs::path folder = destination.parent_path();
    return folder.empty() ? fs::path(".") : folder;
}

// A replaced file keeps its permission bits; a new one gets those open(2) would have given it.
mode_t permissionsFor(const fs::path &destination)
{
    struct stat info;
    if (::stat(destination.c_str(), &info) == 0)
        return info.st_mode & 0777;
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

pid_t spawn(const std::vector<std::string> &arguments, const sigset_t &mask)
{
    std::vector<char *> argv;
    for (const std::string &argument : arguments)
        argv.push_back(const_cast<char *>(argument.c_str()));
    argv.push_back(nullptr);

    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGMASK);
    posix_spawnattr_setsigmask(&attributes, &mask);
    pid_t child = 0;
    const int error = posix_spawn(&child, argv.front(), nullptr, &attributes, argv.data(), environ);
    posix_spawnattr_destroy(&attributes);
    if (error != 0)
        failWithErrno("cannot run " + arguments.front(), error);
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
            return 128 + signal;
        }
    }
}

int convert(const std::string &imageMagick, const Request &request, const Signals &signals)
{
    checkImageMagick(imageMagick);
    if (cropsNothing(request.options))
        fail("a crop without width or height leaves no picture");
    const fs::path source = readableSource(request.source);
    const fs::path destination = resolvedDestination(request.destination);
    const fs::path folder = folderOf(destination);
    const mode_t mode = permissionsFor(destination);

    // ImageMagick sees only plain names: a link to the source and one to the destination's
    // folder, where it writes a temporary file that is renamed over the destination.
    PrivateDirectory workspace;
    PendingFile output(folder, plainExtension(destination.string()));
    const std::string safeSource =
            workspace.link(source, "source" + plainExtension(request.source));
    const std::string safeFolder = workspace.link(fs::absolute(folder), "folder");
    // ImageMagick's own temporary files then go when the workspace goes, even after a kill.
    ::setenv("MAGICK_TEMPORARY_PATH", workspace.path().c_str(), 1);
    ::setenv("MAGICK_TMPDIR", workspace.path().c_str(), 1);
    Resources::giveMachine(workspace.path());

    const Engine::Job job{safeSource, request.options, safeFolder + "/" + output.fileName(),
                          request.destination, WorkingCopy::inspect(source)};
    const pid_t child =
            spawn(Engine::commandLine({imageMagick, Engine::installedGraphicsMagick()}, job),
                  signals.original);
    const int exitCode = await(child, signals.stops);
    if (exitCode == 0)
        output.commit(destination, mode);
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
        return 1;
    }
}

} // namespace Converter
