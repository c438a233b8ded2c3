#include "imagelist/DirectFolder.h"

#include "core/PathFunctions.h"
#include "core/PlayList.h"
#include "imagelist/DirectoryReader.h"
#include "imagelist/OrderRule.h"

namespace DirectFolder {

std::optional<Result> collect(PlayList &list, const QString &folder, const QString &file,
                              const Options &options, RandomSource &random)
{
    list.clear();
    if (folder.isEmpty() && file.isEmpty())
        return std::nullopt;
    Result r;
    if (folder.isEmpty())
        r.folder = GetFolderPart(file);
    else if (file.isEmpty())
        r.folder = AddBackslash(folder);
    else
        r.folder = folder;
    if (!IsFolder(r.folder))
        return std::nullopt;

    DirectoryReader reader(r.folder);
    while (reader.next()) {
        if (reader.isFile())
            list.appendToPlayList(r.folder + reader.name().toString());
    }
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
