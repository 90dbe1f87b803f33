#include "platform/converterrun.h"

#include "platform/convertercommand.h"
#include "platform/handsetkeys.h"

#include <QApplication>
#include <QCloseEvent>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QKeyEvent>
#include <QTimer>

#include <cerrno>
#include <csignal>
#include <cstdio>

#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

extern char **environ;

namespace ConverterRun {
namespace {

// How often a run looks whether the converter has ended.
constexpr int PollMilliseconds = 10;
// How long a stopped converter may take to clean up before it is killed.
constexpr int StopGraceMilliseconds = 5000;

bool isUserInput(QEvent::Type type)
{
    switch (type) {
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::ShortcutOverride:
    case QEvent::Shortcut:
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::Wheel:
    case QEvent::TouchBegin:
    case QEvent::TouchUpdate:
    case QEvent::TouchEnd:
    case QEvent::TouchCancel:
    case QEvent::TabletPress:
    case QEvent::TabletRelease:
    case QEvent::ContextMenu:
    case QEvent::InputMethod:
        return true;
    default:
        return false;
    }
}

// One run of a shell command line. The shell and all it starts form a process group of their
// own, so that stopping the run reaches the converter and whatever it runs.
class ShellRun : public QObject
{
public:
    explicit ShellRun(const QByteArray &command)
    {
        // Stopped converters outlive the shell for a moment; as their new parent this process
        // can tell when the last of them is gone, whoever else would reap them.
        ::prctl(PR_SET_CHILD_SUBREAPER, 1);
        m_shell = spawnShell(command);
        connect(&m_poll, &QTimer::timeout, this, &ShellRun::poll);
    }

    int exec()
    {
        if (m_shell < 0)
            return 127;
        qApp->installEventFilter(this);
        m_poll.start(PollMilliseconds);
        m_loop.exec();
        qApp->removeEventFilter(this);
        // The application may have ended the loop itself, on its way out.
        if (!m_ended) {
            cancel();
            while (!m_ended) {
                poll();
                ::usleep(PollMilliseconds * 1000);
            }
        }
        return m_cancelled ? Cancelled : exitStatus(m_status);
    }

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Close) {
            // Closing a window first stops the run; the window stays.
            event->ignore();
            cancel();
            return true;
        }
        if (!isUserInput(event->type()))
            return false;
        if (event->type() == QEvent::KeyPress) {
            const int key = handsetKeyCode(static_cast<QKeyEvent *>(event));
            if (key == HandsetKey::F11 || key == HandsetKey::Escape)
                cancel();
        }
        return true;
    }

private:
    // The converter gets SIGTERM, which makes it stop and clean up, when this process dies, so
    // that a program killed or cut off from its display leaves nothing writing behind it.
    // posix_spawn cannot ask for that signal; the child of fork() makes only system calls.
    static pid_t spawnShell(const QByteArray &command)
    {
        char shell[] = "sh";
        char option[] = "-c";
        // dash stays between itself and the last command of a -c line; exec hands the converter
        // its process, and so the signal.
        QByteArray line = "exec " + command;
        char *arguments[] = {shell, option, line.data(), nullptr};
        const pid_t parent = ::getpid();
        const pid_t child = ::fork();
        if (child != 0) {
            // Also here, so that a stop at once finds the group made.
            if (child > 0)
                ::setpgid(child, child);
            return child;
        }
        ::setpgid(0, 0);
        struct sigaction defaults = {};
        defaults.sa_handler = SIG_DFL;
        for (const int signal : {SIGTERM, SIGINT, SIGHUP, SIGQUIT, SIGPIPE, SIGCHLD})
            ::sigaction(signal, &defaults, nullptr);
        sigset_t none;
        sigemptyset(&none);
        ::sigprocmask(SIG_SETMASK, &none, nullptr);
        // A parent gone before the request would never send the signal.
        if (::prctl(PR_SET_PDEATHSIG, SIGTERM) != 0 || ::getppid() != parent)
            ::_exit(127);
        ::execve("/bin/sh", arguments, environ);
        ::_exit(127);
    }

    static int exitStatus(int waitStatus)
    {
        if (WIFEXITED(waitStatus))
            return WEXITSTATUS(waitStatus);
        if (WIFSIGNALED(waitStatus))
            return 128 + WTERMSIG(waitStatus);
        return 1;
    }

    void cancel()
    {
        if (m_cancelled)
            return;
        m_cancelled = true;
        m_stopping.start();
        ::kill(-m_shell, SIGTERM);
    }

    // The run ends with the shell; a stopped one only once every process of its group is gone,
    // so that nothing is still writing when the caller looks at the files.
    void poll()
    {
        if (!m_shellEnded && ::waitpid(m_shell, &m_status, WNOHANG) == m_shell)
            m_shellEnded = true;
        if (m_shellEnded && m_cancelled) {
            while (::waitpid(-m_shell, nullptr, WNOHANG) > 0) {
            }
            if (::kill(-m_shell, 0) == 0) {
                if (m_stopping.hasExpired(StopGraceMilliseconds))
                    ::kill(-m_shell, SIGKILL);
                return;
            }
        }
        if (m_shellEnded) {
            m_ended = true;
            m_poll.stop();
            m_loop.exit();
        }
    }

    pid_t m_shell = -1;
    int m_status = 0;
    bool m_shellEnded = false;
    bool m_ended = false;
    bool m_cancelled = false;
    QElapsedTimer m_stopping;
    QEventLoop m_loop;
    QTimer m_poll;
};

} // namespace

int run(const QString &programmeDir, const QString &source, const QString &options,
        const QString &destination, const char *traceFormat)
{
    const QByteArray command =
            ConverterCommand::command(programmeDir, source, options, destination);
    if (traceFormat)
        std::printf(traceFormat, command.constData());
    // The converter writes to the same output; what is traced before it runs comes first.
    std::fflush(stdout);
    return ShellRun(command).exec();
}

} // namespace ConverterRun
