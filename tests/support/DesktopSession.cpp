#include "DesktopSession.h"

#include <QFile>
#include <QStandardPaths>
#include <QThread>

#include <csignal>
#include <fcntl.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

// Starts a program with its output thrown away, so that it never holds the test's own output
// open, and tied to the test's life, so that a crashed test leaves no X server behind.
pid_t spawn(const QStringList &command)
{
    std::vector<QByteArray> args;
    for (const QString &a : command)
        args.push_back(a.toLocal8Bit());
    // Looked up before the fork: the child may only make the simplest calls.
    args.front() = QStandardPaths::findExecutable(command.front()).toLocal8Bit();
    if (args.front().isEmpty())
        return 0;
    std::vector<char *> argv;
    for (QByteArray &a : args)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    const pid_t parent = getpid();
    const pid_t pid = fork();
    if (pid != 0)
        return pid < 0 ? 0 : pid;
    prctl(PR_SET_PDEATHSIG, SIGTERM);
    if (getppid() != parent)
        _exit(127);
    const int null = open("/dev/null", O_RDWR);
    dup2(null, STDIN_FILENO);
    dup2(null, STDOUT_FILENO);
    dup2(null, STDERR_FILENO);
    execv(argv[0], argv.data());
    _exit(127);
}

bool hasExited(pid_t pid)
{
    int status = 0;
    return waitpid(pid, &status, WNOHANG) == pid;
}

void end(pid_t &pid)
{
    if (pid <= 0)
        return;
    kill(pid, SIGTERM);
    int status = 0;
    waitpid(pid, &status, 0);
    pid = 0;
}

} // namespace

DesktopSession::DesktopSession()
{
    for (const char *tool : { "Xvfb", "openbox", "trayer", "xdotool" }) {
        if (QStandardPaths::findExecutable(QString::fromLatin1(tool)).isEmpty())
            m_missing += QString::fromLatin1(tool) + u' ';
    }
    if (!m_missing.isEmpty()) {
        m_missing = QStringLiteral("not installed: ") + m_missing.trimmed();
        qputenv("QT_QPA_PLATFORM", "offscreen");
        return;
    }
    // A display number no one else uses on this machine.
    for (int n = 140; n < 200 && m_display.isEmpty(); ++n) {
        if (QFile::exists(QStringLiteral("/tmp/.X%1-lock").arg(n)))
            continue;
        const QString display = u':' + QString::number(n);
        m_server = spawn({ QStringLiteral("Xvfb"), display, QStringLiteral("-screen"),
                           QStringLiteral("0"), QStringLiteral("1600x1000x24"),
                           QStringLiteral("-nolisten"), QStringLiteral("tcp") });
        for (int i = 0; i < 100 && m_server > 0; ++i) {
            if (QFile::exists(QStringLiteral("/tmp/.X11-unix/X%1").arg(n))) {
                m_display = display;
                break;
            }
            if (hasExited(m_server))
                m_server = 0;
            QThread::msleep(50);
        }
        if (m_display.isEmpty())
            end(m_server);
    }
    if (m_display.isEmpty()) {
        m_missing = QStringLiteral("no X server could be started");
        qputenv("QT_QPA_PLATFORM", "offscreen");
        return;
    }
    qputenv("DISPLAY", m_display.toLocal8Bit());
    qputenv("QT_QPA_PLATFORM", "xcb");
    // The private display is a plain X11 session, whatever session the tests run from.
    qunsetenv("WAYLAND_DISPLAY");
    qunsetenv("XDG_SESSION_TYPE");
    // The window manager is ready once it names the desktop in use; a busy machine may take
    // seconds to start it, and a window mapped before that is never framed. Now and then a
    // fresh server refuses it at once; it is started again then.
    for (int attempt = 0; attempt < 5; ++attempt) {
        m_windowManager = spawn({ QStringLiteral("openbox"), QStringLiteral("--sm-disable") });
        bool exited = m_windowManager <= 0;
        for (int i = 0; i < 400 && !exited; ++i) {
            if (xdotool({ QStringLiteral("get_desktop") }))
                return;
            exited = hasExited(m_windowManager);
            QThread::msleep(50);
        }
        if (!exited)
            return;
    }
}

DesktopSession::~DesktopSession()
{
    stopTray();
    end(m_windowManager);
    end(m_server);
}

bool DesktopSession::startTray()
{
    if (!isReady())
        return false;
    if (m_tray <= 0)
        m_tray = spawn({ QStringLiteral("trayer"), QStringLiteral("--edge"), QStringLiteral("top"),
                         QStringLiteral("--align"), QStringLiteral("right"),
                         QStringLiteral("--widthtype"), QStringLiteral("pixel"),
                         QStringLiteral("--width"), QStringLiteral("200"),
                         QStringLiteral("--height"), QStringLiteral("32") });
    return m_tray > 0;
}

void DesktopSession::stopTray()
{
    end(m_tray);
}

bool DesktopSession::xdotool(const QStringList &args) const
{
    const pid_t pid = spawn(QStringList { QStringLiteral("xdotool") } + args);
    if (pid <= 0)
        return false;
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}
