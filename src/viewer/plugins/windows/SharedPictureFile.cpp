#include "viewer/plugins/windows/SharedPictureFile.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>

namespace {

// Above every picture a plug-in may hand over; a host that grew the file further is not followed.
constexpr size_t maxMapped = size_t(1) << 31;

} // namespace

SharedPictureFile::~SharedPictureFile()
{
    close();
}

bool SharedPictureFile::create()
{
    close();
    const int fd = memfd_create("lunetta-spihost", MFD_CLOEXEC | MFD_ALLOW_SEALING);
    if (fd < 0)
        return false;
    // Only growing stays allowed; nobody may add or remove seals after this.
    if (fcntl(fd, F_ADD_SEALS, F_SEAL_SHRINK | F_SEAL_SEAL) != 0) {
        ::close(fd);
        return false;
    }
    m_fd = fd;
    return true;
}

void SharedPictureFile::close()
{
    if (m_view)
        munmap(m_view, m_mapped);
    m_view = nullptr;
    m_mapped = 0;
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = -1;
}

QString SharedPictureFile::path() const
{
    return m_fd < 0 ? QString() : QStringLiteral("/proc/%1/fd/%2").arg(getpid()).arg(m_fd);
}

bool SharedPictureFile::copyOut(size_t size, void *to)
{
    if (m_fd < 0)
        return false;
    // An empty picture copies nothing, and nothing may be mapped yet.
    if (size == 0)
        return true;
    if (size > m_mapped) {
        struct stat st;
        if (fstat(m_fd, &st) != 0 || st.st_size < 0 || size_t(st.st_size) < size)
            return false;
        // The whole file as it is now, so that it is seldom mapped again: it cannot shrink.
        const size_t length = std::min(size_t(st.st_size), std::max(size, maxMapped));
        void *view = mmap(nullptr, length, PROT_READ, MAP_SHARED, m_fd, 0);
        if (view == MAP_FAILED)
            return false;
        if (m_view)
            munmap(m_view, m_mapped);
        m_view = view;
        m_mapped = length;
    }
    std::memcpy(to, m_view, size);
    if (size > keptBytes && m_mapped > keptBytes)
        fallocate(m_fd, FALLOC_FL_PUNCH_HOLE | FALLOC_FL_KEEP_SIZE, off_t(keptBytes),
                  off_t(m_mapped - keptBytes));
    return true;
}
