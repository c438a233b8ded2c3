#include "imagelist/FilteredScan.h"

#include "core/MessageService.h"
#include "core/PathFunctions.h"
#include "imagelist/FolderScan.h"

#include <unistd.h>

#include <vector>

namespace {

// A file time as seconds and nanoseconds since 1970 (UTC), compared at full precision.
struct FileTime
{
    qint64 seconds = 0;
    long nanoseconds = 0;
    auto operator<=>(const FileTime &) const = default;
};

// The earliest file time there is, which a date that cannot be converted stands for.
constexpr qint64 fileTimeZeroSeconds = -11644473600; // 1601-01-01 00:00:00 UTC

// A local date-time to a UTC file time, to the second.
FileTime localDateToFileTime(const QDateTime &local)
{
    if (!local.isValid())
        return { fileTimeZeroSeconds, 0 };
    const QDateTime whole(local.date(),
                          QTime(local.time().hour(), local.time().minute(), local.time().second()),
                          Qt::LocalTime);
    return whole.isValid() ? FileTime { whole.toSecsSinceEpoch(), 0 }
                           : FileTime { fileTimeZeroSeconds, 0 };
}

// Whether the user's permission bits for this file leave out writing. Root's power to write
// anyway is not counted: the attribute describes the file, as it does for every other user.
class WriteAccess
{
public:
    WriteAccess()
        : m_uid(::geteuid())
    {
        const int n = ::getgroups(0, nullptr);
        m_groups.resize(size_t(qMax(n, 0)));
        if (n > 0)
            m_groups.resize(size_t(qMax(::getgroups(n, m_groups.data()), 0)));
        m_groups.push_back(::getegid());
    }

    bool isReadOnly(const struct stat &st) const
    {
        if (st.st_uid == m_uid)
            return !(st.st_mode & S_IWUSR);
        for (gid_t g : m_groups) {
            if (st.st_gid == g)
                return !(st.st_mode & S_IWGRP);
        }
        return !(st.st_mode & S_IWOTH);
    }

private:
    uid_t m_uid;
    std::vector<gid_t> m_groups;
};

} // namespace

void AddFilesInFolder(const FileFilter &filter, QStringList &list, MessageService &messages)
{
    if (filter.mask.isEmpty()) {
        messages.error(QStringLiteral("マスクの指定が正しくありません。"));
        return;
    }
    const QList<WildcardPattern> patterns = WildcardPattern::splitMask(filter.mask);
    const bool sizeActive = filter.sizeActive();
    const bool timeActive = filter.timeActive();
    const FileTime timeMin = localDateToFileTime(filter.timeMin);
    const FileTime timeMax = localDateToFileTime(filter.timeMax);
    const bool excludeReadOnly = filter.excludeAttributes & FileFilter::ReadOnly;
    const bool excludeHidden = filter.excludeAttributes & FileFilter::Hidden;
    const bool needStatus = sizeActive || timeActive || excludeReadOnly;
    const WriteAccess access;

    const QString start = AddBackslash(filter.folder);
    const QStringList folders = filter.subFolders ? GetSubFolderTree(start) : QStringList { start };
    for (const QString &folder : folders) {
        for (const WildcardPattern &pattern : patterns) {
            forEachMatchingFile(folder, pattern, [&](DirectoryReader &entry) {
                if (excludeHidden && entry.name().startsWith(u'.'))
                    return;
                if (needStatus) {
                    struct stat st;
                    if (!entry.status(st))
                        return; // gone, or a link to nothing: nothing to measure
                    if (excludeReadOnly && access.isReadOnly(st))
                        return;
                    if (sizeActive && (st.st_size < filter.sizeMin || st.st_size > filter.sizeMax))
                        return;
                    const FileTime written { st.st_mtim.tv_sec, st.st_mtim.tv_nsec };
                    if (timeActive && (written < timeMin || written > timeMax))
                        return;
                }
                list.append(folder + entry.name().toString());
            });
        }
    }
}
