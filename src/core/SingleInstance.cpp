#include "core/SingleInstance.h"

SingleInstance::SingleInstance(const QString &lockPath)
    : m_lock(lockPath)
{
    m_lock.setStaleLockTime(0);
}

bool SingleInstance::tryAcquire()
{
    return m_lock.tryLock(0);
}

void SingleInstance::release()
{
    m_lock.unlock();
}
