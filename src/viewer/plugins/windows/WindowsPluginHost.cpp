#include "viewer/plugins/windows/WindowsPluginHost.h"

#include "spihost_protocol.h"
#include "viewer/plugins/windows/WinePrefix.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QtEndian>

#include <fcntl.h>
#include <poll.h>
#include <pthread.h>
#include <signal.h>
#include <spawn.h>
#include <sys/eventfd.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <vector>

extern char **environ;

namespace {

// No answer is larger: a 1 GB picture plus its header.
constexpr quint32 maxBitsBlock = 0x7FF00000u;
constexpr quint32 maxInfoBlock = 1u << 20;
constexpr quint32 maxHello = 1u << 22;

// The bytes the pixels of a picture described by the info block take, or -1 when the block
// does not say (a header too short, or packed pixels whose size only the plug-in knows). A
// picture over `limitBytes` at 32 bits a pixel, as it is shown, takes more than any limit: a
// 1-bit header of a few hundred megabytes describes gigabytes on screen.
qint64 bitsFromHeader(const unsigned char *info, quint32 size, qint64 limitBytes)
{
    if (size < 40)
        return -1;
    const qint64 width = std::abs(qint64(qFromLittleEndian<qint32>(info + 4)));
    const qint64 height = std::abs(qint64(qFromLittleEndian<qint32>(info + 8)));
    const qint64 depth = qFromLittleEndian<quint16>(info + 14);
    const quint32 packing = qFromLittleEndian<quint32>(info + 16);
    if (width > (1 << 24) || height > (1 << 24) || depth > 64 || width * height * 4 > limitBytes)
        return std::numeric_limits<qint64>::max();
    if (packing != 0 && packing != 3) // neither plain nor bit fields
        return -1;
    return (width * depth + 31) / 32 * 4 * height;
}

qint64 now()
{
    return QDeadlineTimer::current().deadline();
}

int remaining(qint64 deadline)
{
    const qint64 left = deadline - now();
    return left <= 0 ? 0 : int(std::min<qint64>(left, 1 << 30));
}

// Writing to a host that just died must fail with EPIPE, not end Lunetta: SIGPIPE is held
// back on this thread while writing, and one it raised is taken off again.
ssize_t writeWithoutSigpipe(int fd, const void *data, size_t size)
{
    sigset_t pipeOnly, before;
    sigemptyset(&pipeOnly);
    sigaddset(&pipeOnly, SIGPIPE);
    pthread_sigmask(SIG_BLOCK, &pipeOnly, &before);
    const ssize_t n = ::write(fd, data, size);
    const int error = errno;
    if (n < 0 && error == EPIPE) {
        const timespec zero {};
        while (sigtimedwait(&pipeOnly, nullptr, &zero) < 0 && errno == EINTR) { }
    }
    pthread_sigmask(SIG_SETMASK, &before, nullptr);
    errno = error;
    return n;
}

// The environment of the host: ours, quiet, and without Wine's installers and menu entries.
std::vector<std::string> hostEnvironment()
{
    std::vector<std::string> env;
    bool debug = false, overrides = false;
    for (char **e = environ; *e; ++e) {
        debug |= std::strncmp(*e, "WINEDEBUG=", 10) == 0;
        overrides |= std::strncmp(*e, "WINEDLLOVERRIDES=", 17) == 0;
        env.emplace_back(*e);
    }
    if (!debug)
        env.emplace_back("WINEDEBUG=-all");
    if (!overrides)
        env.emplace_back("WINEDLLOVERRIDES=mscoree,mshtml=;winemenubuilder.exe=d");
    return env;
}

QByteArray winePathBytes(const QString &path)
{
    return WinePrefix::toWinePath(path).toUtf8();
}

void putU32(QByteArray &b, quint32 v)
{
    char raw[4];
    qToLittleEndian(v, raw);
    b.append(raw, 4);
}

} // namespace

WindowsPluginHost::WindowsPluginHost(QStringList command, Limits limits)
    : m_command(std::move(command))
    , m_limits(limits)
    , m_aborted(eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK))
{ }

WindowsPluginHost::~WindowsPluginHost()
{
    stop();
    if (m_aborted >= 0)
        ::close(m_aborted);
}

void WindowsPluginHost::abort()
{
    const uint64_t one = 1;
    if (m_aborted >= 0)
        while (::write(m_aborted, &one, sizeof one) < 0 && errno == EINTR) { }
}

bool WindowsPluginHost::spawn()
{
    if (m_command.isEmpty())
        return false;
    int in[2], out[2];
    if (pipe2(in, O_CLOEXEC) != 0)
        return false;
    if (pipe2(out, O_CLOEXEC) != 0) {
        ::close(in[0]);
        ::close(in[1]);
        return false;
    }
    // A larger pipe moves a picture in fewer wake-ups.
    fcntl(out[0], F_SETPIPE_SZ, 1 << 20);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, in[0], 0);
    posix_spawn_file_actions_adddup2(&actions, out[1], 1);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);

    std::vector<QByteArray> args;
    for (const QString &a : m_command)
        args.push_back(QFile::encodeName(a));
    std::vector<char *> argv;
    for (QByteArray &a : args)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    std::vector<std::string> env = hostEnvironment();
    std::vector<char *> envp;
    for (std::string &e : env)
        envp.push_back(e.data());
    envp.push_back(nullptr);

    pid_t pid = -1;
    const int spawned = posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    ::close(in[0]);
    ::close(out[1]);
    if (spawned != 0) {
        ::close(in[1]);
        ::close(out[0]);
        return false;
    }
    m_pid = pid;
    m_toHost = in[1];
    m_fromHost = out[0];
    fcntl(m_toHost, F_SETFL, O_NONBLOCK);
    fcntl(m_fromHost, F_SETFL, O_NONBLOCK);
    ++m_starts;
    return true;
}

void WindowsPluginHost::kill()
{
    if (m_toHost >= 0)
        ::close(m_toHost);
    if (m_fromHost >= 0)
        ::close(m_fromHost);
    m_toHost = m_fromHost = -1;
    // A new host gets a new file: nothing of a dead one's is kept in memory.
    m_shared.close();
    m_sharing = Sharing::Unasked;
    if (m_pid > 0) {
        ::kill(m_pid, SIGKILL);
        while (waitpid(m_pid, nullptr, 0) < 0 && errno == EINTR) { }
    }
    m_pid = -1;
}

void WindowsPluginHost::stop()
{
    if (m_pid <= 0)
        return;
    // A host that is asked to quit ends within a moment; one that does not is ended.
    QByteArray quit(1, char(SPIHOST_QUIT));
    send(quit, now() + 200);
    ::close(m_toHost);
    m_toHost = -1;
    for (int i = 0; i < 20; ++i) {
        if (waitpid(m_pid, nullptr, WNOHANG) == m_pid) {
            m_pid = -1;
            break;
        }
        usleep(10000);
    }
    kill();
}

void WindowsPluginHost::fail()
{
    kill();
    ++m_failures;
}

bool WindowsPluginHost::send(const QByteArray &payload, qint64 deadline)
{
    QByteArray frame;
    putU32(frame, quint32(payload.size()));
    frame += payload;
    const char *p = frame.constData();
    size_t left = size_t(frame.size());
    while (left > 0) {
        const ssize_t n = writeWithoutSigpipe(m_toHost, p, left);
        if (n > 0) {
            p += n;
            left -= size_t(n);
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && errno != EAGAIN)
            return false;
        pollfd fds[2] { { m_toHost, POLLOUT, 0 }, { m_aborted, POLLIN, 0 } };
        const int wait = remaining(deadline);
        if (wait == 0 || poll(fds, 2, wait) <= 0 || fds[1].revents)
            return false;
    }
    return true;
}

bool WindowsPluginHost::readExact(void *to, size_t size, qint64 deadline)
{
    auto *p = static_cast<char *>(to);
    while (size > 0) {
        const ssize_t n = ::read(m_fromHost, p, size);
        if (n > 0) {
            p += n;
            size -= size_t(n);
            continue;
        }
        if (n == 0)
            return false; // the host ended
        if (errno == EINTR)
            continue;
        if (errno != EAGAIN)
            return false;
        pollfd fds[2] { { m_fromHost, POLLIN, 0 }, { m_aborted, POLLIN, 0 } };
        const int wait = remaining(deadline);
        if (wait == 0 || poll(fds, 2, wait) <= 0 || fds[1].revents)
            return false;
    }
    return true;
}

bool WindowsPluginHost::readU32(quint32 &value, qint64 deadline)
{
    char raw[4];
    if (!readExact(raw, 4, deadline))
        return false;
    value = qFromLittleEndian<quint32>(raw);
    return true;
}

bool WindowsPluginHost::readAnswer(char op, quint32 &length, int32_t &result, qint64 deadline)
{
    char head[5];
    if (!readU32(length, deadline) || length < 5 || !readExact(head, 5, deadline) || head[0] != op)
        return false;
    length -= 5;
    result = qFromLittleEndian<qint32>(head + 1);
    return true;
}

bool WindowsPluginHost::readHello(qint64 deadline)
{
    quint32 length = 0;
    if (!readU32(length, deadline) || length < 16 || length > maxHello)
        return false;
    QByteArray hello(qsizetype(length), Qt::Uninitialized);
    if (!readExact(hello.data(), size_t(length), deadline) || !hello.startsWith(SPIHOST_MAGIC))
        return false;
    const auto status = qFromLittleEndian<qint32>(hello.constData() + 4);
    const quint32 flags = qFromLittleEndian<quint32>(hello.constData() + 8);
    const quint32 count = qFromLittleEndian<quint32>(hello.constData() + 12);
    if (status != 0) {
        m_refused = true;
        return false;
    }
    if (count > SPIHOST_MAX_INFO)
        return false;
    QList<QByteArray> infos;
    qsizetype at = 16;
    for (quint32 i = 0; i < count; ++i) {
        if (at + 4 > hello.size())
            return false;
        const quint32 n = qFromLittleEndian<quint32>(hello.constData() + at);
        at += 4;
        if (n > quint32(hello.size() - at))
            return false;
        infos.append(hello.mid(at, qsizetype(n)));
        at += qsizetype(n);
    }
    if (at != hello.size())
        return false;
    m_infos = infos;
    m_hasConfigure = flags & SPIHOST_HAS_CONFIGURE;
    return true;
}

bool WindowsPluginHost::start()
{
    if (m_pid > 0)
        return true;
    if (givenUp())
        return false;
    if (!spawn()) {
        ++m_failures;
        return false;
    }
    if (!readHello(now() + m_limits.startMs)) {
        fail();
        return false;
    }
    return true;
}

bool WindowsPluginHost::offerSharedFile(qint64 deadline)
{
    if (m_sharing != Sharing::Unasked)
        return true;
    m_sharing = Sharing::Pipe;
    if (!m_shared.create())
        return true;
    const QByteArray name = winePathBytes(m_shared.path());
    QByteArray request(1, char(SPIHOST_SHARE));
    putU32(request, quint32(name.size()));
    request += name;
    quint32 rest = 0;
    int32_t result = 0;
    if (!send(request, deadline) || !readAnswer(SPIHOST_SHARE, rest, result, deadline) || rest != 0)
        return false;
    if (result == 0)
        m_sharing = Sharing::File;
    else
        m_shared.close();
    return true;
}

int32_t WindowsPluginHost::isSupported(const QString &path, const QByteArray &head)
{
    if (!start())
        return 0;
    const QByteArray name = winePathBytes(path);
    QByteArray request(1, char(SPIHOST_IS_SUPPORTED));
    putU32(request, quint32(name.size()));
    request += name;
    QByteArray padded = head.left(SPIHOST_HEAD_SIZE);
    padded.append(SPIHOST_HEAD_SIZE - padded.size(), '\0');
    request += padded;
    const qint64 deadline = now() + m_limits.callMs;
    quint32 rest = 0;
    int32_t result = 0;
    if (!send(request, deadline) || !readAnswer(SPIHOST_IS_SUPPORTED, rest, result, deadline)
        || rest != 0) {
        fail();
        return 0;
    }
    // Only a delivered picture clears the failures: a plug-in that accepts every file and then
    // crashes on each must still be given up.
    return result != 0 ? 1 : 0;
}

int32_t WindowsPluginHost::getPicture(const QString &path, PluginBlock &info, PluginBlock &bits)
{
    info = PluginBlock();
    bits = PluginBlock();
    if (!start())
        return -1;
    QByteArray request(1, char(SPIHOST_GET_PICTURE));
    const QByteArray name = winePathBytes(path);
    putU32(request, quint32(name.size()));
    request += name;
    const qint64 deadline = now() + m_limits.callMs;
    quint32 rest = 0;
    int32_t result = 0;
    quint32 infoSize = 0;
    quint32 bitsSize = 0;
    bool inFile = false;
    // An answer too short for its two lengths fails at once: reading on would wait for bytes
    // past it until the time limit.
    bool ok = offerSharedFile(deadline) && send(request, deadline)
        && readAnswer(SPIHOST_GET_PICTURE, rest, result, deadline) && rest >= 8
        && readU32(infoSize, deadline) && infoSize <= maxInfoBlock && rest >= 8 + infoSize;
    // The blocks go straight from the pipe or the shared file into the memory the picture is
    // made from; nothing is checked or used while the host can still write to it.
    if (ok) {
        info.data.reset(std::malloc(std::max<size_t>(infoSize, 1)));
        info.size = infoSize;
        ok = info.data && readExact(info.data.get(), infoSize, deadline)
            && readU32(bitsSize, deadline);
        inFile = bitsSize & SPIHOST_BITS_IN_FILE;
        bitsSize &= ~SPIHOST_BITS_IN_FILE;
        ok = ok && bitsSize <= maxBitsBlock && rest == 8 + infoSize + (inFile ? 0 : bitsSize)
            && (!inFile || m_sharing == Sharing::File);
        // The announced size is held to the picture's own header and to the limit before any
        // memory is taken for it: a host may claim gigabytes for a small picture.
        const qint64 described = ok
            ? bitsFromHeader(static_cast<const unsigned char *>(info.data.get()), infoSize,
                             m_limits.pictureBytes)
            : 0;
        ok = ok && qint64(bitsSize) <= m_limits.pictureBytes
            && (described < 0 || (described <= m_limits.pictureBytes && bitsSize <= described));
    }
    if (ok) {
        bits.data.reset(std::malloc(std::max<size_t>(bitsSize, 1)));
        bits.size = bitsSize;
        ok = bits.data
            && (inFile ? m_shared.copyOut(bitsSize, bits.data.get())
                       : readExact(bits.data.get(), bitsSize, deadline));
    }
    if (!ok) {
        info = PluginBlock();
        bits = PluginBlock();
        fail();
        return -1;
    }
    if (result != 0 || infoSize == 0 || bitsSize == 0) {
        // A plug-in that took the file and then gives no picture counts against it, or one that
        // fails every file in good form would be asked for ever. The host itself is sound and
        // runs on until the plug-in is given up.
        info = PluginBlock();
        bits = PluginBlock();
        if (++m_failures >= m_limits.maxFailures)
            kill();
        return result != 0 ? result : -1;
    }
    m_failures = 0;
    return 0;
}

int32_t WindowsPluginHost::configurationDlg(int32_t fnc)
{
    if (!start())
        return -2;
    QByteArray request(1, char(SPIHOST_CONFIGURE));
    putU32(request, quint32(fnc));
    const qint64 deadline = now() + m_limits.dialogMs;
    quint32 rest = 0;
    int32_t result = 0;
    if (!send(request, deadline) || !readAnswer(SPIHOST_CONFIGURE, rest, result, deadline)
        || rest != 0) {
        fail();
        return -2;
    }
    // A dialog shown is no picture decoded: the failures stand.
    return result;
}
