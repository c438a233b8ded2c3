#pragma once

#include <QImage>
#include <QObject>

#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>

struct PluginBlock;

// One plug-in call made on a worker thread for the user-interface thread, which asks without
// waiting and hears of the answer through its event loop. The worker makes the call, or skips it
// when it was cancelled before it began; the asking side decides what the answer means.
class PluginCall
{
public:
    struct Answer
    {
        // False when the plug-in could not be reached: its host did not start, or the call was
        // cancelled before it began.
        bool loaded = false;
        int32_t result = -1;
        // Of a decode: the picture, in the form the holding buffer draws; null when it failed.
        QImage picture;
        // The host was ended because it did not answer within its time limit.
        bool unanswered = false;
    };
    // Queued behind other calls; waiting for the host to start; the call itself; answered.
    enum class Phase { Queued, Starting, Calling, Done };

    // An answer known at once, for calls made where they were asked.
    static std::shared_ptr<PluginCall> answered(Answer answer);

    Phase phase() const;
    bool isDone() const { return phase() == Phase::Done; }
    // The answer, once done; the empty answer before.
    Answer answer() const;
    // `notify` runs on `context`'s thread once the answer is there, from its event loop (also
    // when it is there already). The context must outlive the call or cancel it first.
    void onDone(QObject *context, std::function<void()> notify);
    // Nobody waits any more: a call not yet begun is not made, and no notice is sent.
    void cancel();
    bool isCancelled() const;
    // Waits at most `ms` milliseconds, blocking; true when the answer is there.
    bool waitFor(int ms);
    void wait();

    // For the worker.
    // The picture of a plug-in's two blocks in the form the holding buffer draws (null when they
    // do not make one); the blocks are let go before the picture is converted for drawing.
    static QImage pictureOf(PluginBlock &info, PluginBlock &bits);
    void setPhase(Phase phase);
    void finish(Answer answer);

private:
    mutable std::mutex m_lock;
    std::condition_variable m_done;
    Phase m_phase = Phase::Queued;
    bool m_cancelled = false;
    Answer m_answer;
    QObject *m_context = nullptr;
    std::function<void()> m_notify;
};

using PluginCallPtr = std::shared_ptr<PluginCall>;
