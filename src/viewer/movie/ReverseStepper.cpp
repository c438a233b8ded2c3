#include "viewer/movie/ReverseStepper.h"

#include <QTimer>

#include <algorithm>

namespace {
// Often enough to look like playing, seldom enough for a decoder to show each position.
constexpr int stepMilliseconds = 100;
} // namespace

ReverseStepper::ReverseStepper(std::function<double()> position, std::function<void(double)> seek,
                               QObject *parent)
    : QObject(parent)
    , m_position(std::move(position))
    , m_seek(std::move(seek))
    , m_timer(new QTimer(this))
{
    m_timer->setInterval(stepMilliseconds);
    connect(m_timer, &QTimer::timeout, this, &ReverseStepper::step);
}

void ReverseStepper::start(double speed)
{
    m_speed = speed;
    if (m_timer->isActive())
        return;
    m_since.start();
    m_timer->start();
}

void ReverseStepper::stop()
{
    m_timer->stop();
}

bool ReverseStepper::isRunning() const
{
    return m_timer->isActive();
}

void ReverseStepper::step()
{
    // By the time that really passed, so that a busy machine does not slow the rewind down.
    const double back = m_speed * double(m_since.restart()) / 1000.0;
    const double at = std::max(0.0, m_position() - back);
    m_seek(at);
    if (at <= 0) {
        m_timer->stop();
        emit reachedStart();
    }
}
