#pragma once

#include "viewer/plugins/PluginBlock.h"
#include "viewer/plugins/windows/SharedPictureFile.h"

#include "lunetta_plugin.h"

#include <QByteArray>
#include <QStringList>

#include <sys/types.h>

// One Windows plug-in in its host process: starts the host on first use, keeps it for the
// run and speaks the host's pipe protocol with it; a picture's pixels come through a shared
// file in memory where the host can open it. A call that does not answer within its time
// limit, a host that dies or writes anything but an answer: the call fails, the host is ended
// and started again on the next call; after `maxFailures` failed calls without a picture
// decoded in between the plug-in is given up for the rest of the run. Nothing here shows a
// message. The calls wait for their answers: they are made on a thread of the host's own
// (HostChannel), never on the user-interface thread.
class WindowsPluginHost
{
public:
    struct Limits
    {
        int startMs = 60000; // the first Wine start of a session may set up its prefix
        // The longest a file waits for a call to begin: while the host is still starting, or
        // busy with a call given up on or a dialog. The file then goes to the next loader, and a
        // start goes on for the files after it. As long as a call's own limit, and the longest a
        // file waits for a clip to open: a Wine start with its prefix in place takes about a
        // second, one that sets its prefix up far longer than anyone waits for one picture.
        int waitToBeginMs = 5000;
        int callMs = 5000;
        // A settings dialog waits for the user; a host that has not answered by then is ended. A
        // plug-in's settings are a handful of choices, and the program's windows take no input
        // meanwhile.
        int dialogMs = 120000;
        int maxFailures = 3;
        // The most pixel bytes one picture may take, as for every loader.
        qint64 pictureBytes = LUNETTA_PICTURE_BYTES_LIMIT;
    };

    // `command`: the program and its arguments that start the host for the plug-in.
    WindowsPluginHost(QStringList command, Limits limits);
    ~WindowsPluginHost();
    WindowsPluginHost(const WindowsPluginHost &) = delete;
    WindowsPluginHost &operator=(const WindowsPluginHost &) = delete;

    // Starts the host unless it runs; true when it loaded the plug-in.
    bool start();
    // Ends the host without counting a failure; the next call starts it again.
    void stop();
    // From any thread: the call under way and every later one fail at once, so that a program
    // that quits is not held for a call's time limit.
    void abort();
    bool isRunning() const { return m_pid > 0; }
    bool givenUp() const { return m_failures >= m_limits.maxFailures || m_refused; }
    int failures() const { return m_failures; }
    int starts() const { return m_starts; }
    // The running host puts the pictures' pixels into the shared file rather than the pipe.
    bool bitsInSharedFile() const { return m_sharing == Sharing::File; }

    // The plug-in's info texts from its host's greeting (UTF-8), kept across restarts.
    const QList<QByteArray> &infos() const { return m_infos; }
    bool hasConfigurationDlg() const { return m_hasConfigure; }

    // Non-zero when the plug-in accepts the file; 0 also when the call failed.
    int32_t isSupported(const QString &path, const QByteArray &head);
    // The plug-in's result (0: decoded, both blocks filled); -1 when the call failed.
    int32_t getPicture(const QString &path, PluginBlock &info, PluginBlock &bits);
    // The plug-in's result; -1 without a dialog, -2 when the call failed.
    int32_t configurationDlg(int32_t fnc);

private:
    bool spawn();
    void kill();
    void fail();
    bool send(const QByteArray &payload, qint64 deadline);
    bool readExact(void *to, size_t size, qint64 deadline);
    bool readU32(quint32 &value, qint64 deadline);
    // Reads an answer to `op` of exactly `size` bytes after the frame's length; the result.
    bool readAnswer(char op, quint32 &length, int32_t &result, qint64 deadline);
    bool readHello(qint64 deadline);
    // Offers the running host the shared file, once per host; false when it did not answer
    // properly. A host that cannot use it keeps sending the bits through the pipe.
    bool offerSharedFile(qint64 deadline);

    QStringList m_command;
    Limits m_limits;
    pid_t m_pid = -1;
    int m_aborted = -1; // readable once abort() was called
    int m_toHost = -1;
    int m_fromHost = -1;
    int m_failures = 0;
    int m_starts = 0;
    bool m_refused = false; // the host started but could not load the plug-in
    QList<QByteArray> m_infos;
    bool m_hasConfigure = false;
    enum class Sharing { Unasked, File, Pipe };
    Sharing m_sharing = Sharing::Unasked;
    SharedPictureFile m_shared;
};
