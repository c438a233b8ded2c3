#include "viewer/picture/PictureAnimation.h"

#include <condition_variable>
#include <deque>
#include <mutex>

// What the worker hands over: a frame, or the end of a loop.
namespace {
struct Entry
{
    QImage image;
    int delay = 0;
    // The first frame of the first loop: on screen already, only its delay counts.
    bool onScreen = false;
    bool endOfLoop = false;
    // No loop follows: the picture has one frame, or its file no longer reads.
    bool final = false;
};
} // namespace

struct PictureAnimation::Run
{
    std::mutex lock;
    std::condition_variable room;
    std::deque<Entry> queue;
    bool stopped = false;
    FrameSourceOpener open;
    std::function<QImage(QImage)> prepare;
    PictureAnimation *owner = nullptr;

    // False once the animation has been let go.
    bool push(Entry entry)
    {
        std::unique_lock<std::mutex> hold(lock);
        room.wait(hold, [this] { return stopped || int(queue.size()) < framesAhead; });
        if (stopped)
            return false;
        queue.push_back(std::move(entry));
        // Posted under the lock: the owner lets go under it before it is destroyed, and Qt
        // drops the calls posted to a destroyed object.
        QMetaObject::invokeMethod(
            owner, [o = owner] { o->frameArrived(); }, Qt::QueuedConnection);
        return true;
    }
    bool isStopped()
    {
        const std::lock_guard<std::mutex> hold(lock);
        return stopped;
    }
};

PictureAnimation::PictureAnimation(Show show, QObject *parent)
    : QObject(parent)
    , m_show(std::move(show))
{
    // One worker: the decode of an animation let go ends before the next one begins.
    m_pool.setMaxThreadCount(1);
    m_timer.setSingleShot(true);
    m_timer.setTimerType(Qt::PreciseTimer);
    connect(&m_timer, &QTimer::timeout, this, &PictureAnimation::showDue);
    m_clock.start();
}

PictureAnimation::~PictureAnimation()
{
    clear();
    m_pool.waitForDone();
}

void PictureAnimation::decode(const std::shared_ptr<Run> &run)
{
    bool firstLoop = true;
    QSize size;
    for (;;) {
        int frames = 0;
        try {
            std::unique_ptr<FrameSource> source = run->open();
            QImage image;
            int delay = 0;
            while (source && !run->isStopped() && source->next(image, delay)) {
                // A frame of another size would not fit the layout made for the first.
                if (size.isValid() && image.size() != size)
                    break;
                size = image.size();
                Entry entry;
                entry.delay = delayFor(delay);
                entry.onScreen = firstLoop && frames == 0;
                if (!entry.onScreen)
                    entry.image = run->prepare ? run->prepare(std::move(image)) : std::move(image);
                image = QImage();
                ++frames;
                if (!run->push(std::move(entry)))
                    return;
            }
        } catch (...) {
            // Out of memory for a frame: the loop ends where it is.
        }
        const bool final = frames <= 1;
        Entry end;
        end.endOfLoop = true;
        end.final = final;
        if (!run->push(std::move(end)) || final)
            return;
        firstLoop = false;
    }
}

void PictureAnimation::load(FrameSourceOpener open)
{
    clear();
    m_open = std::move(open);
}

void PictureAnimation::clear()
{
    if (m_run) {
        const std::lock_guard<std::mutex> hold(m_run->lock);
        m_run->stopped = true;
        m_run->room.notify_all();
    }
    // The worker frees what it still holds as it ends.
    m_run.reset();
    m_open = {};
    m_timer.stop();
    m_playing = false;
    m_waiting = false;
    m_single = false;
    m_playedThrough = false;
    m_remaining = -1;
    m_shown = 0;
}

void PictureAnimation::setPlaying(bool playing)
{
    if (playing == m_playing || !moves())
        return;
    m_playing = playing;
    const qint64 now = m_clock.elapsed();
    if (!playing) {
        if (m_timer.isActive())
            m_remaining = std::max<qint64>(0, m_dueAt - now);
        m_timer.stop();
        return;
    }
    if (!m_run) {
        // The worker starts with the first play: a show in fast forward never decodes more than
        // the first frame.
        m_run = std::make_shared<Run>();
        m_run->open = m_open;
        m_run->prepare = m_prepare;
        m_run->owner = this;
        m_pool.start([run = m_run] { decode(run); });
        m_dueAt = now;
        m_waiting = true;
        return;
    }
    if (m_remaining >= 0) {
        m_dueAt = now + m_remaining;
        m_timer.start(int(m_remaining));
        m_remaining = -1;
    } else {
        m_waiting = true;
        frameArrived();
    }
}

void PictureAnimation::frameArrived()
{
    // A frame late for its time goes up as it comes; otherwise the timer puts it up.
    if (m_playing && m_waiting)
        showDue();
}

void PictureAnimation::showDue()
{
    if (!m_run || !m_playing)
        return;
    for (;;) {
        Entry entry;
        {
            const std::lock_guard<std::mutex> hold(m_run->lock);
            if (m_run->queue.empty()) {
                m_waiting = true;
                return;
            }
            entry = std::move(m_run->queue.front());
            m_run->queue.pop_front();
            m_run->room.notify_one();
        }
        m_waiting = false;
        if (entry.endOfLoop) {
            m_playedThrough = true;
            if (!entry.final)
                continue;
            // Nothing more to show: a single frame is a still picture after all.
            m_single = m_shown == 0;
            m_playing = false;
            m_run.reset();
            return;
        }
        if (!entry.onScreen) {
            const std::shared_ptr<Run> run = m_run;
            m_show(std::move(entry.image));
            // Showing it may have ended the animation (a drawing that failed drops the file).
            if (m_run != run)
                return;
            ++m_shown;
        }
        schedule(entry.delay);
        return;
    }
}

void PictureAnimation::schedule(int delayMs)
{
    const qint64 now = m_clock.elapsed();
    // Frames keep their rhythm from when each was due, unless they run late by more than a
    // frame: then the rhythm starts afresh from now rather than hurrying to catch up.
    const qint64 from = now - m_dueAt > delayMs ? now : m_dueAt;
    m_dueAt = from + delayMs;
    m_timer.start(int(std::max<qint64>(0, m_dueAt - now)));
}
