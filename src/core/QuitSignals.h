#pragma once

#include <QObject>

#include <functional>

class QSocketNotifier;

// Turns SIGTERM, SIGHUP and SIGINT (a logout or shutdown, a closed terminal, Ctrl+C) into a
// call on the event loop, so that the program closes as its quit command does, saving its
// settings, rather than being ended where it stands; a second signal ends it at once. One
// instance at a time.
class QuitSignals : public QObject
{
    Q_OBJECT
public:
    explicit QuitSignals(std::function<void()> onSignal, QObject *parent = nullptr);
    // Puts the signals' default handling back.
    ~QuitSignals() override;

    // False when the signals could not be watched; they then end the program as before.
    bool isWatching() const { return m_notifier != nullptr; }

private:
    static void handle(int signal);
    void receive();

    std::function<void()> m_onSignal;
    QSocketNotifier *m_notifier = nullptr;
};
