#include "ScratchMount.h"

#include <QFile>

#include <functional>
#include <sys/mount.h>

ScratchMount::ScratchMount(const QString &size, bool readOnly,
                           const std::function<void(const QString &folder)> &prepare)
{
    if (!m_dir.isValid())
        return;
    const QByteArray target = QFile::encodeName(m_dir.path());
    const QByteArray options = "size=" + size.toLatin1() + ",mode=0777";
    m_mounted = ::mount("lunetta-test", target.constData(), "tmpfs", 0, options.constData()) == 0;
    if (!m_mounted)
        return;
    if (prepare)
        prepare(root());
    if (readOnly
        && ::mount("lunetta-test", target.constData(), "tmpfs", MS_REMOUNT | MS_RDONLY,
                   options.constData())
            != 0) {
        ::umount2(target.constData(), MNT_DETACH);
        m_mounted = false;
    }
}

ScratchMount::~ScratchMount()
{
    if (m_mounted)
        ::umount2(QFile::encodeName(m_dir.path()).constData(), MNT_DETACH);
}
