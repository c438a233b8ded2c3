#pragma once

#include "viewer/picture/FrameSource.h"

#include <QElapsedTimer>
#include <QObject>
#include <QThreadPool>
#include <QTimer>

#include <functional>
#include <memory>

// Plays an animated picture: a worker decodes its frames a few ahead of the one on screen and a
// timer puts each up for its delay, looping for as long as it plays. The first frame is on
// screen before play begins (the display step decoded it), so play starts with its delay.
class PictureAnimation : public QObject
{
    Q_OBJECT
public:
    // Puts a frame on screen; called on this object's thread.
    using Show = std::function<void(QImage)>;
    explicit PictureAnimation(Show show, QObject *parent = nullptr);
    ~PictureAnimation() override;

    // Frames decoded and waiting, at most: with the one on screen and the one being decoded,
    // what a 1080p animation holds stays near 50 MB however many frames it has.
    static constexpr int framesAhead = 3;
    // A frame that states no delay, or one too short to be meant, shows this long: what GIF
    // writers mean by it and what browsers do.
    static constexpr int customaryDelayMs = 100;
    static int delayFor(int statedMs) { return statedMs <= 10 ? customaryDelayMs : statedMs; }
    // Converts a decoded frame for drawing; on the worker. Unset, frames are taken as read.
    void setPrepare(std::function<QImage(QImage)> prepare) { m_prepare = std::move(prepare); }

    // The animation of the picture on screen, read by `open`; paused until setPlaying. Replaces
    // any other. An empty opener stands for a still picture.
    void load(FrameSourceOpener open);
    // Ends the animation; the frame on screen stays.
    void clear();
    void setPlaying(bool playing);
    bool isPlaying() const { return m_playing; }
    // A picture of more than one frame is loaded (as far as is known: a file turns out to hold
    // a single frame only once it is read).
    bool moves() const { return m_open && !m_single; }
    // The last frame has been on screen for its delay at least once, or no more frames come.
    bool playedThrough() const { return m_playedThrough; }
    // Frames put on screen since the load.
    int framesShown() const { return m_shown; }

private:
    struct Run;
    static void decode(const std::shared_ptr<Run> &run);
    void showDue();
    void frameArrived();
    void schedule(int delayMs);

    Show m_show;
    std::function<QImage(QImage)> m_prepare;
    FrameSourceOpener m_open;
    std::shared_ptr<Run> m_run;
    QThreadPool m_pool;
    QTimer m_timer;
    QElapsedTimer m_clock;
    // When the frame on screen ends, on m_clock; what is left of it while paused.
    qint64 m_dueAt = 0;
    qint64 m_remaining = -1;
    bool m_playing = false;
    bool m_waiting = false;
    bool m_single = false;
    bool m_playedThrough = false;
    int m_shown = 0;
};
