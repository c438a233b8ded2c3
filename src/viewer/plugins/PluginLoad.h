#pragma once

#include "viewer/plugins/PluginCall.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <QImage>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QTimer>

#include <functional>

class SplayLibrary;

// Decodes one file with the first plug-in of a list that accepts it, as cSusie::LoadPicture
// does, without ever waiting for a slow one: each call runs on a worker and its answer comes
// back through the event loop. A call that has not begun within the hosts' `waitToBeginMs` (a
// host still starting, or busy) counts as a refusal, so the file goes on to the next plug-in;
// a call that has begun ends within its host's time limit. Every decision is made here, on the
// thread that owns this object.
class PluginLoad : public QObject
{
public:
    // `finished` runs once the load has ended after run() returned, from the event loop.
    PluginLoad(SplayLibrary &library, QStringList plugins, QString path, QByteArray head,
               std::function<void()> finished);
    // Forgets the call under way: one not yet begun is not made.
    ~PluginLoad() override;

    // Asks the plug-ins in turn for as long as each answers within `quickMs` of this turn of
    // the event loop (so that a quick plug-in's picture is shown in the same turn as the step
    // that asked for it), then waits for the answers without blocking.
    void run(int quickMs);
    bool isFinished() const { return m_stage == Stage::Finished; }
    // The picture decoded; null when no plug-in accepted the file or the decode failed.
    QImage takePicture() { return std::move(m_picture); }
    // The handle of the plug-in that decoded the picture.
    int32_t decodedBy() const { return m_handle; }

private:
    enum class Stage { Asking, Decoding, Finished };
    void advance();
    void listen();
    void waitedTooLong();
    void finish(QImage picture);

    SplayLibrary &m_library;
    const QStringList m_plugins;
    const QString m_path;
    const QByteArray m_head;
    std::function<void()> m_finished;
    int m_quickMs = 0;
    qsizetype m_next = 0;
    int32_t m_handle = 0;
    Stage m_stage = Stage::Asking;
    PluginCallPtr m_call;
    QElapsedTimer m_asked;
    QTimer m_beginning;
    bool m_inRun = false;
    QImage m_picture;
};
