#pragma once

#include <QLockFile>
#include <QString>

// Holds the instance lock for the life of the process. A lock left by a killed process is
// taken over, since QLockFile checks whether its holder still runs.
class SingleInstance
{
public:
    explicit SingleInstance(const QString &lockPath);
    bool tryAcquire();
    // Lets the next instance start, for an end that skips the destructors.
    void release();

private:
    QLockFile m_lock;
};
