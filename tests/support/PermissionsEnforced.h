#pragma once

#include <linux/capability.h>
#include <sys/syscall.h>
#include <unistd.h>

// Makes the file permission bits hold for this thread even when it runs as root, until the
// object is destroyed: the capabilities that let root read any folder are taken out of the
// effective set (they stay permitted, so they come back afterwards). isActive() is false where
// they cannot be dropped; a process that is not root is bound by the bits anyway.
class PermissionsEnforced
{
public:
    PermissionsEnforced()
    {
        if (geteuid() != 0) {
            m_active = true;
            return;
        }
        if (syscall(SYS_capget, &m_header, m_saved) != 0)
            return;
        __user_cap_data_struct reduced[2] = { m_saved[0], m_saved[1] };
        const unsigned bits = (1u << CAP_DAC_OVERRIDE) | (1u << CAP_DAC_READ_SEARCH);
        reduced[0].effective &= ~bits;
        m_active = syscall(SYS_capset, &m_header, reduced) == 0;
        m_dropped = m_active;
    }
    ~PermissionsEnforced()
    {
        if (m_dropped)
            syscall(SYS_capset, &m_header, m_saved);
    }
    PermissionsEnforced(const PermissionsEnforced &) = delete;
    PermissionsEnforced &operator=(const PermissionsEnforced &) = delete;

    bool isActive() const { return m_active; }

private:
    __user_cap_header_struct m_header { _LINUX_CAPABILITY_VERSION_3, 0 };
    __user_cap_data_struct m_saved[2] {};
    bool m_active = false;
    bool m_dropped = false;
};
