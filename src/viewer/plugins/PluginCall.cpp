#include "viewer/plugins/PluginCall.h"

#include "viewer/picture/ColourConversion.h"
#include "viewer/picture/DibImage.h"
#include "viewer/picture/PictureBuffer.h"
#include "viewer/plugins/PluginBlock.h"

#include "lunetta_plugin.h"

#include <QMetaObject>

#include <algorithm>
#include <chrono>

QImage PluginCall::pictureOf(PluginBlock &info, PluginBlock &bits)
{
    QImage image = DibImage::fromBlocks(info.data.get(), info.size, bits.data.get(), bits.size,
                                        LUNETTA_PICTURE_BYTES_LIMIT);
    info = PluginBlock();
    bits = PluginBlock();
    // A plug-in that told the picture's colours has it shown in the screen's.
    return PictureBuffer::drawingForm(ColourConversion::toDisplay(std::move(image)));
}

std::shared_ptr<PluginCall> PluginCall::answered(Answer answer)
{
    auto call = std::make_shared<PluginCall>();
    call->finish(std::move(answer));
    return call;
}

PluginCall::Phase PluginCall::phase() const
{
    const std::lock_guard<std::mutex> hold(m_lock);
    return m_phase;
}

PluginCall::Answer PluginCall::answer() const
{
    const std::lock_guard<std::mutex> hold(m_lock);
    return m_phase == Phase::Done ? m_answer : Answer();
}

void PluginCall::onDone(QObject *context, std::function<void()> notify)
{
    const std::lock_guard<std::mutex> hold(m_lock);
    if (m_phase == Phase::Done) {
        QMetaObject::invokeMethod(context, std::move(notify), Qt::QueuedConnection);
        return;
    }
    m_context = context;
    m_notify = std::move(notify);
}

void PluginCall::cancel()
{
    const std::lock_guard<std::mutex> hold(m_lock);
    m_cancelled = true;
    m_context = nullptr;
    m_notify = nullptr;
}

bool PluginCall::isCancelled() const
{
    const std::lock_guard<std::mutex> hold(m_lock);
    return m_cancelled;
}

bool PluginCall::waitFor(int ms)
{
    std::unique_lock<std::mutex> hold(m_lock);
    return m_done.wait_for(hold, std::chrono::milliseconds(std::max(ms, 0)),
                           [this] { return m_phase == Phase::Done; });
}

void PluginCall::wait()
{
    std::unique_lock<std::mutex> hold(m_lock);
    m_done.wait(hold, [this] { return m_phase == Phase::Done; });
}

void PluginCall::setPhase(Phase phase)
{
    const std::lock_guard<std::mutex> hold(m_lock);
    if (m_phase != Phase::Done)
        m_phase = phase;
}

void PluginCall::finish(Answer answer)
{
    const std::lock_guard<std::mutex> hold(m_lock);
    m_answer = std::move(answer);
    m_phase = Phase::Done;
    m_done.notify_all();
    // Posted while the lock is held: a context is let go only after cancel(), which waits for
    // the lock, so it is alive here; its pending notice goes with it when it is deleted.
    if (m_notify)
        QMetaObject::invokeMethod(m_context, std::move(m_notify), Qt::QueuedConnection);
    m_context = nullptr;
    m_notify = nullptr;
}
