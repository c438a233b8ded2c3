#include "imagelist/DirectFolder.h"

#include "core/PathFunctions.h"
#include "core/PlayList.h"
#include "imagelist/FolderPrefetch.h"
#include "imagelist/OrderRule.h"

namespace DirectFolder {

QString folderOf(const QString &folder, const QString &file)
{
    if (folder.isEmpty())
        return GetFolderPart(file);
    if (file.isEmpty())
        return AddBackslash(folder);
    return folder;
}

std::optional<Result> collect(PlayList &list, const QString &folder, const QString &file,
                              const Options &options, RandomSource &random,
                              FolderPrefetch *prefetched)
{
    list.clear();
    if (folder.isEmpty() && file.isEmpty())
        return std::nullopt;
    Result r;
    r.folder = folderOf(folder, file);
    if (!IsFolder(r.folder))
        return std::nullopt;

    if (prefetched && prefetched->folder() == r.folder)
        list = prefetched->take();
    else
        FolderPrefetch::appendFiles(list, r.folder);
    OrderRule::fromOptions(options).applyAtEnd(list, random);

    if (!file.isEmpty()) {
        for (int i = 1; i <= list.count(); ++i) {
            if (list.path(i).compare(file, Qt::CaseInsensitive) == 0) {
                r.nextIndex = i;
                break;
            }
        }
    }
    return r;
}

} // namespace DirectFolder
