#pragma once

// Lets pending user-interface events run in the middle of long work, so that a stop or a
// cancel can arrive between its steps.
class EventPump
{
public:
    virtual ~EventPump() = default;
    virtual void processPendingEvents() = 0;
};

class QtEventPump : public EventPump
{
public:
    void processPendingEvents() override;
};
