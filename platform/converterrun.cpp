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

#include <spawn.h>
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
    static pid_t spawnShell(const QByteArray &command)
    {
        posix_spawnattr_t attributes;
        posix_spawnattr_init(&attributes);
        sigset_t none;
        sigemptyset(&none);
        sigset_t defaults;
        sigemptyset(&defaults);
        for (const int signal : {SIGTERM, SIGINT, SIGHUP, SIGQUIT, SIGPIPE, SIGCHLD})
            sigaddset(&defaults, signal);
        posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETPGROUP | POSIX_SPAWN_SETSIGMASK |
                                                      POSIX_SPAWN_SETSIGDEF);
        posix_spawnattr_setpgroup(&attributes, 0);
        posix_spawnattr_setsigmask(&attributes, &none);
        posix_spawnattr_setsigdefault(&attributes, &defaults);
        char shell[] = "sh";
        char option[] = "-c";
        QByteArray line = command;
        char *arguments[] = {shell, option, line.data(), nullptr};
        pid_t child = -1;
        const int error = posix_spawn(&child, "/bin/sh", nullptr, &attributes, arguments, environ);
        posix_spawnattr_destroy(&attributes);
        return error == 0 ? child : -1;
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
