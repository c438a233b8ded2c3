#pragma once

#include <QString>

#include <optional>

class FolderPrefetch;
class Options;
class RandomSource;
class Slideshow;

// A show started straight from one folder, or from one file and its folder: from the command
// line, a drop or the start-up argument. The start-up argument's show may begin before the
// controller window exists, so that the first picture does not wait for the window's build.
namespace DirectStart {

struct Target
{
    QString folder; // the folder named, or empty
    QString file; // the file named, or empty
};

// The absolute path of the file or folder the command-line text names, when it exists.
std::optional<QString> existingArgumentPath(const QString &raw);

// What the command-line text opens straight away: an existing folder, or an existing file that
// is no bookmark. Nothing for an empty text, a profile name or a bookmark, whose show starts
// through the controller (a bookmark selects its own profile).
std::optional<Target> argumentTarget(const QString &raw);

// Replaces the runtime list with the folder's files and sets the position of the file; the
// controller's caption for this show, or nothing when the folder gave no list. A listing of the
// folder begun at start is taken when it is of the same folder.
std::optional<QString> prepare(Slideshow &slideshow, const Target &target, const Options &options,
                               RandomSource &random, FolderPrefetch *prefetched = nullptr);

} // namespace DirectStart
