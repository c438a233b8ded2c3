#include "viewer/plugins/PluginLoad.h"

#include "viewer/plugins/SplayLibrary.h"

#include "lunetta_plugin.h"

PluginLoad::PluginLoad(SplayLibrary &library, QStringList plugins, QString path, QByteArray head,
                       std::function<void()> finished)
    : m_library(library)
    , m_plugins(std::move(plugins))
    , m_path(std::move(path))
    , m_head(std::move(head))
    , m_finished(std::move(finished))
{
    m_beginning.setSingleShot(true);
    // A coarse timer may end the wait a twentieth early; a host just starting needs all of it.
    m_beginning.setTimerType(Qt::PreciseTimer);
    connect(&m_beginning, &QTimer::timeout, this, &PluginLoad::waitedTooLong);
}

PluginLoad::~PluginLoad()
{
    if (m_call)
        m_call->cancel();
}

void PluginLoad::run(int quickMs)
{
    m_quickMs = quickMs;
    m_inRun = true;
    advance();
    m_inRun = false;
}

void PluginLoad::advance()
{
    QElapsedTimer turn;
    turn.start();
    while (m_stage != Stage::Finished) {
        if (!m_call) {
            // The next plug-in of the list that loads is asked whether it takes the file.
            if (m_next >= m_plugins.size())
                return finish(QImage());
            m_handle = m_library.openPlugin(m_plugins[m_next++]);
            if (!m_handle)
                continue;
            m_call = m_library.beginIsSupported(m_handle, m_path, m_head);
            m_asked.start();
        }
        if (!m_call->waitFor(m_quickMs - int(turn.elapsed())))
            return listen();
        m_beginning.stop();
        const PluginCall::Answer answer = m_call->answer();
        m_call.reset();
        if (m_stage == Stage::Decoding)
            return finish(answer.result == LUNETTA_SPI_OK ? answer.picture : QImage());
        // The first plug-in that takes the file decodes it; when that fails, no other is asked.
        if (answer.loaded && answer.result != 0) {
            m_stage = Stage::Decoding;
            m_call = m_library.beginDecode(m_handle, m_path);
            m_asked.start();
        }
    }
}

void PluginLoad::listen()
{
    m_call->onDone(this, [this] { advance(); });
    const int waitToBegin = m_library.hostLimits().waitToBeginMs;
    m_beginning.start(int(std::max<qint64>(0, waitToBegin - m_asked.elapsed())));
}

void PluginLoad::waitedTooLong()
{
    // A call under way ends within its own limit; one that has not even begun is given up on:
    // the plug-in counts as refusing this file, without counting against it.
    if (!m_call || m_call->isDone() || m_call->phase() == PluginCall::Phase::Calling)
        return;
    m_call->cancel();
    m_call.reset();
    if (m_stage == Stage::Decoding)
        finish(QImage());
    else
        advance();
}

void PluginLoad::finish(QImage picture)
{
    m_stage = Stage::Finished;
    m_beginning.stop();
    m_picture = std::move(picture);
    if (!m_inRun && m_finished)
        m_finished();
}
