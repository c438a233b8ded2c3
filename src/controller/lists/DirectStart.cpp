#include "controller/lists/DirectStart.h"

#include "core/CommandLine.h"
#include "core/PathFunctions.h"
#include "engine/Slideshow.h"
#include "imagelist/BookmarkFile.h"
#include "imagelist/DirectFolder.h"

namespace DirectStart {

std::optional<QString> existingArgumentPath(const QString &raw)
{
    if (raw.isEmpty())
        return std::nullopt;
    const QString arg = CommandLine::argument(raw);
    if (!FileExists(arg))
        return std::nullopt;
    return absoluteArgumentPath(arg);
}

std::optional<Target> argumentTarget(const QString &raw)
{
    const auto existing = existingArgumentPath(raw);
    if (!existing)
        return std::nullopt;
    const QString &path = *existing;
    if (IsFolder(path))
        return Target { path, QString() };
    if (BookmarkFile::read(normalisePath(path)))
        return std::nullopt;
    return Target { QString(), path };
}

std::optional<QString> prepare(Slideshow &slideshow, const Target &target, const Options &options,
                               RandomSource &random, FolderPrefetch *prefetched)
{
    const auto result = DirectFolder::collect(slideshow.playList, target.folder, target.file,
                                              options, random, prefetched);
    if (!result)
        return std::nullopt;
    slideshow.setStartIndex(result->nextIndex);
    return result->folder + QStringLiteral(" - Lunetta");
}

} // namespace DirectStart
