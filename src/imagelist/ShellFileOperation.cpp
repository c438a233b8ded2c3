#include "imagelist/ShellFileOperation.h"

#include "core/MessageService.h"
#include "core/PathFunctions.h"
#include "imagelist/FileOperationOwner.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace ShellFile;

namespace {

// The user's trash, $XDG_DATA_HOME/Trash (~/.local/share/Trash by default), with its files and
// info folders, made where it is missing. QFile::moveToTrash does not make the folders above
// it: in a new user's home without ~/.local/share it fails to make the trash and then moves the
// file into "files" and "info" under the working folder, reporting success.
bool makeHomeTrash()
{
    const QString data = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    if (data.isEmpty() || !QDir().mkpath(data))
        return false;
    const QString trash = data + QStringLiteral("/Trash");
    for (const QString &folder :
         { trash, trash + QStringLiteral("/files"), trash + QStringLiteral("/info") }) {
        if (QFileInfo(folder).isDir())
            continue;
        if (::mkdir(QFile::encodeName(folder).constData(), 0700) != 0 && errno != EEXIST)
            return false;
    }
    return true;
}

constexpr qint64 chunkSize = 1 << 20;

QString quoted(const QString &path)
{
    return u'「' + path + u'」';
}

// The reason of a failure as the user reads it.
QString reasonText(int error)
{
    switch (error) {
    case ENOSPC:
    case EDQUOT:
        return QStringLiteral("ディスクの空き容量が足りません。");
    case EFBIG:
        return QStringLiteral("ファイルが大きすぎて書き込めません。");
    case EROFS:
        return QStringLiteral("書き込みできないファイルシステムです。");
    case EACCES:
    case EPERM:
        return QStringLiteral("アクセスが拒否されました。");
    case ENOENT:
        return QStringLiteral("ファイルまたはフォルダが見つかりません。");
    default:
        return QString::fromLocal8Bit(std::strerror(error));
    }
}

QByteArray native(const QString &path)
{
    return QFile::encodeName(path);
}

// Retries on signals, so a write is only ever cut short by a real error.
bool writeAll(int fd, const char *data, qint64 size)
{
    while (size > 0) {
        const ssize_t n = ::write(fd, data, size_t(size));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        data += n;
        size -= n;
    }
    return true;
}

void syncFolder(const QString &folder)
{
    const int fd = ::open(native(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

// The half-written copy: removed unless it was given its real name.
struct TemporaryCopy
{
    int in = -1;
    int out = -1;
    QByteArray path;
    ~TemporaryCopy()
    {
        if (in >= 0)
            ::close(in);
        if (out >= 0)
            ::close(out);
        if (!path.isEmpty())
            ::unlink(path.constData());
    }
};

bool sameFile(const struct stat &a, const struct stat &b)
{
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

} // namespace

ShellFileOperation::ShellFileOperation(FileOperationOwner &owner)
    : m_owner(owner)
{ }

QStringList ShellFileOperation::splitList(const QString &list)
{
    return list.split(QChar(0), Qt::SkipEmptyParts);
}

int ShellFileOperation::run(const ShellRequest &request)
{
    m_flags = request.flags;
    switch (request.operation) {
    case FO_COPY:
        return transfer(request, false);
    case FO_MOVE:
        return transfer(request, true);
    case FO_DELETE:
        return deleteAll(splitList(request.source), request.flags & FOF_ALLOWUNDO,
                         !(request.flags & FOF_NOCONFIRMATION));
    default:
        return EINVAL;
    }
}

int ShellFileOperation::fail(const QString &text, int error, const QString &reason)
{
    m_owner.messages().show(
        { text + QStringLiteral("\r\n") + (reason.isEmpty() ? reasonText(error) : reason),
          MsgIcon::Error });
    return error;
}

int ShellFileOperation::transfer(const ShellRequest &request, bool move)
{
    const QStringList sources = splitList(request.source);
    const QStringList destinations = splitList(request.destination);
    if (sources.isEmpty() || destinations.isEmpty())
        return EINVAL;
    const bool paired
        = (request.flags & FOF_MULTIDESTFILES) && destinations.size() == sources.size();
    for (int i = 0; i < sources.size(); ++i) {
        const QString &source = sources[i];
        QString target = paired ? destinations[i] : destinations.first();
        // Into a folder: several sources, or a destination that is an existing folder.
        if (!paired && (sources.size() > 1 || IsFolder(target)))
            target = AddBackslash(target) + GetFileName(RemoveBackslash(source));
        const int result = move ? moveFile(source, target) : copyFile(source, target, false);
        if (result != 0)
            return result;
    }
    return 0;
}

int ShellFileOperation::prepareTarget(const QString &source, const QString &target, bool move)
{
    const QString verb = move ? QStringLiteral("移動") : QStringLiteral("コピー");
    const QString failure
        = quoted(source) + QStringLiteral("を") + verb + QStringLiteral("できませんでした。");
    struct stat from
    {
    };
    if (::lstat(native(source).constData(), &from) != 0)
        return fail(failure, errno);
    const QString folder = GetFolderPart(target);
    if (!folder.isEmpty() && !QFileInfo(folder).isDir()) {
        if (!(m_flags & FOF_NOCONFIRMMKDIR)
            && !m_owner.messages().confirm(quoted(RemoveBackslash(folder))
                                           + QStringLiteral("はありません。\r\n作成しますか？")))
            return resultCancelled;
        errno = 0;
        if (!QDir().mkpath(folder))
            return fail(failure, errno ? errno : EACCES);
    }
    struct stat to
    {
    };
    if (::stat(native(target).constData(), &to) != 0)
        return 0;
    if (sameFile(from, to))
        return fail(failure, EEXIST,
                    verb + QStringLiteral("元と") + verb + QStringLiteral("先が同じです。"));
    if (S_ISDIR(to.st_mode))
        return fail(failure, EISDIR, QStringLiteral("同じ名前のフォルダがあります。"));
    if (!(m_flags & FOF_NOCONFIRMATION)
        && !m_owner.messages().confirm(quoted(target)
                                       + QStringLiteral("は既にあります。\r\n上書きしますか？")))
        return resultCancelled;
    return 0;
}

int ShellFileOperation::copyFile(const QString &source, const QString &target, bool moving)
{
    if (!moving) {
        if (const int checked = prepareTarget(source, target, false))
            return checked;
    }
    const QString failure = quoted(source) + QStringLiteral("を") + quoted(GetFolderPart(target))
        + (moving ? QStringLiteral("に移動できませんでした。")
                  : QStringLiteral("にコピーできませんでした。"));
    TemporaryCopy copy;
    copy.in = ::open(native(source).constData(), O_RDONLY | O_CLOEXEC);
    struct stat from
    {
    };
    if (copy.in < 0 || ::fstat(copy.in, &from) != 0)
        return fail(failure, errno);
    if (S_ISDIR(from.st_mode))
        return fail(failure, EISDIR, QStringLiteral("フォルダはコピーできません。"));
    // Hidden and in the destination folder, so the final rename cannot cross file systems.
    QByteArray name = native(GetFolderPart(target)) + ".lunetta-XXXXXX";
    copy.out = ::mkostemp(name.data(), O_CLOEXEC);
    if (copy.out < 0)
        return fail(failure, errno);
    copy.path = name;

    std::unique_ptr<CopyProgress> progress
        = m_owner.beginCopy(source, target, from.st_size, moving);
    QByteArray buffer(int(chunkSize), Qt::Uninitialized);
    qint64 copied = 0;
    for (;;) {
        const ssize_t n = ::read(copy.in, buffer.data(), size_t(buffer.size()));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return fail(failure, errno);
        if (n == 0)
            break;
        if (!writeAll(copy.out, buffer.constData(), n))
            return fail(failure, errno);
        copied += n;
        if (progress) {
            progress->setCopied(copied);
            if (progress->wasCanceled())
                return resultCancelled;
        }
    }
    // The copy keeps the source's permissions and modification time.
    ::fchmod(copy.out, from.st_mode & 07777);
    const struct timespec times[2] = { from.st_atim, from.st_mtim };
    ::futimens(copy.out, times);
    if (::fsync(copy.out) != 0)
        return fail(failure, errno);
    const int out = copy.out;
    copy.out = -1;
    if (::close(out) != 0)
        return fail(failure, errno);
    if (::rename(copy.path.constData(), native(target).constData()) != 0)
        return fail(failure, errno);
    copy.path.clear();
    syncFolder(GetFolderPart(target));
    return 0;
}

int ShellFileOperation::moveFile(const QString &source, const QString &target)
{
    if (const int checked = prepareTarget(source, target, true))
        return checked;
    if (::rename(native(RemoveBackslash(source)).constData(), native(target).constData()) == 0)
        return 0;
    const QString failure = quoted(source) + QStringLiteral("を") + quoted(GetFolderPart(target))
        + QStringLiteral("に移動できませんでした。");
    if (errno != EXDEV)
        return fail(failure, errno);
    // Another file system: the source goes only once its copy is safely in place.
    if (IsFolder(source))
        return fail(failure, EXDEV,
                    QStringLiteral("フォルダは別のファイルシステムへ移動できません。"));
    if (const int copied = copyFile(source, target, true))
        return copied;
    if (::unlink(native(source).constData()) != 0)
        return fail(
            quoted(source) + QStringLiteral("を") + quoted(GetFolderPart(target))
                + QStringLiteral("にコピーしましたが、元のファイルを削除できませんでした。"),
            errno);
    return 0;
}

int ShellFileOperation::deleteAll(const QStringList &sources, bool toTrash, bool confirm)
{
    if (sources.isEmpty())
        return EINVAL;
    if (confirm) {
        const QString what = sources.size() == 1
            ? quoted(sources.first()) + QStringLiteral("を")
            : QStringLiteral("これらの %1 個の項目を").arg(sources.size());
        const QString action = toTrash ? QStringLiteral("ごみ箱に移動しますか？")
                                       : QStringLiteral("完全に削除しますか？");
        if (!m_owner.messages().confirm(what + action))
            return resultCancelled;
    }
    for (const QString &source : sources) {
        const QString path = RemoveBackslash(source);
        struct stat info
        {
        };
        const QString failure = quoted(source)
            + (toTrash ? QStringLiteral("をごみ箱に移動できませんでした。")
                       : QStringLiteral("を削除できませんでした。"));
        if (::lstat(native(path).constData(), &info) != 0)
            return fail(failure, errno);
        if (toTrash) {
            // Never falls back to deleting for good: what cannot go to the trash stays.
            QFile file(path);
            if (!makeHomeTrash() || !file.moveToTrash()) {
                m_owner.messages().show(
                    { failure + QStringLiteral("\r\n") + file.errorString(), MsgIcon::Error });
                return EIO;
            }
        } else if (S_ISDIR(info.st_mode)) {
            if (!QDir(path).removeRecursively())
                return fail(failure, EACCES);
        } else if (::unlink(native(path).constData()) != 0) {
            return fail(failure, errno);
        }
    }
    return 0;
}
