#include "core/UserFileReader.h"

#include <QFile>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace UserFileReader {

std::optional<QByteArray> read(const QString &path, qint64 maxBytes)
{
    const QByteArray name = QFile::encodeName(path);
    struct stat info
    {
    };
    if (name.isEmpty() || ::stat(name.constData(), &info) != 0 || !S_ISREG(info.st_mode))
        return std::nullopt;
    // Not blocking: the file may have been replaced by a pipe since it was looked at.
    const int fd = ::open(name.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return std::nullopt;
    std::optional<QByteArray> bytes;
    if (::fstat(fd, &info) == 0 && S_ISREG(info.st_mode) && info.st_size <= maxBytes) {
        QByteArray data;
        data.resize(qsizetype(info.st_size));
        qsizetype done = 0;
        while (done < data.size()) {
            const ssize_t n = ::read(fd, data.data() + done, size_t(data.size() - done));
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0)
                break;
            done += n;
        }
        data.truncate(done);
        bytes = std::move(data);
    }
    ::close(fd);
    return bytes;
}

} // namespace UserFileReader
