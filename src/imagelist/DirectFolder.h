#pragma once

#include <QString>

#include <optional>

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

// Replaces `list` (always, also when it fails) with every file directly inside the folder (or
// inside the file's folder), ordered by the end-of-build rule, and finds the given file in it
// without regard to letter case. Nothing when both are empty or the folder does not exist.
std::optional<Result> collect(PlayList &list, const QString &folder, const QString &file,
                              const Options &options, RandomSource &random);

} // namespace DirectFolder
