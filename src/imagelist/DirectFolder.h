#pragma once

#include <QString>

#include <optional>

class FolderPrefetch;
class Options;
class PlayList;
class RandomSource;

// The list for a show started straight from one folder, or from one file and its folder.
namespace DirectFolder {

struct Result
{
    QString folder; // the folder that was listed, ending in "/"
    int nextIndex = 1; // where the show begins
};

// The folder collect() lists for these: the folder named, or else the file's; ending in "/".
QString folderOf(const QString &folder, const QString &file);

// Replaces `list` (always, also when it fails) with every file directly inside the folder (or
// inside the file's folder), ordered by the end-of-build rule, and finds the given file in it
// without regard to letter case. Nothing when both are empty or the folder does not exist.
// A listing of the same folder begun earlier is taken instead of reading the folder again.
std::optional<Result> collect(PlayList &list, const QString &folder, const QString &file,
                              const Options &options, RandomSource &random,
                              FolderPrefetch *prefetched = nullptr);

} // namespace DirectFolder
