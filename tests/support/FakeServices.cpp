#include "FakeServices.h"

#include <cmath>

void FakeClock::advance(double seconds)
{
    now = std::fmod(now + seconds, 86400.0);
}

void FakeEventPump::processPendingEvents()
{
    ++calls;
    if (onEvents)
        onEvents(calls);
}

double FakeRandom::next()
{
    if (values.isEmpty())
        return 0.0;
    const double v = values.at(qMin(m_pos, int(values.size()) - 1));
    ++m_pos;
    return v;
}
