#include "core/UserFileReader.h"

#include <QFile>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace UserFileReader {

namespace {

Result load(const QString &path, qint64 maxBytes, bool startOnly)
{
    Result result;
    auto failed = [&result](Failure failure, int error = 0) {
        result.failure = failure;
        result.systemError = error;
        return std::move(result);
    };
    const QByteArray name = QFile::encodeName(path);
    if (name.isEmpty())
        return failed(Failure::CannotOpen, ENOENT);
    struct stat info
    {
    };
    if (::stat(name.constData(), &info) != 0)
        return failed(Failure::CannotOpen, errno);
    if (!S_ISREG(info.st_mode))
        return failed(Failure::NotRegular);
    // Not blocking: the file may have been replaced by a pipe since it was looked at.
    const int fd = ::open(name.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return failed(Failure::CannotOpen, errno);
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(fd);
        return failed(Failure::NotRegular);
    }
    if (!startOnly && info.st_size > maxBytes) {
        ::close(fd);
        return failed(Failure::TooLarge);
    }
    QByteArray data;
    data.resize(qsizetype(std::min<qint64>(info.st_size, maxBytes)));
    qsizetype done = 0;
    int error = 0;
    while (done < data.size()) {
        const ssize_t n = ::read(fd, data.data() + done, size_t(data.size() - done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            error = errno;
        if (n <= 0)
            break;
        done += n;
    }
    ::close(fd);
    data.truncate(done);
    result.bytes = std::move(data);
    if (error != 0)
        return failed(Failure::ReadFailed, error);
    return result;
}

} // namespace

QString Result::systemMessage() const
{
    return qt_error_string(systemError);
}

Result readFile(const QString &path, qint64 maxBytes)
{
    return load(path, maxBytes, false);
}

std::optional<QByteArray> read(const QString &path, qint64 maxBytes)
{
    Result r = load(path, maxBytes, false);
    if (r.failure)
        return std::nullopt;
    return std::move(r.bytes);
}

std::optional<QByteArray> readStart(const QString &path, qint64 maxBytes)
{
    Result r = load(path, maxBytes, true);
    if (r.failure && r.failure != Failure::ReadFailed)
        return std::nullopt;
    return std::move(r.bytes);
}

} // namespace UserFileReader
