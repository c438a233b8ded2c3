#pragma once

#include <QString>
#include <QStringList>
#include <vector>

// One entry of a music source: a file (or URL the backend plays) and the title shown for it.
struct MusicEntry
{
    QString source;
    QString title;
};

// Reads the play lists the music player accepts: M3U/M3U8 (with #EXTINF titles) and PLS.
// Text is UTF-8 or CP932 as with the other text files; relative entries are taken from the
// list's own folder and file:// URLs become paths. Entries are returned as written: whether
// they exist is the player's business, which skips what cannot play.
namespace MusicPlayList {

// True when the name's extension is one of the play-list formats.
bool isPlayList(const QString &path);
// The entries of the play list at `path`; empty when it cannot be read.
std::vector<MusicEntry> read(const QString &path);
// The same for text already read, `folder` being the list's folder.
std::vector<MusicEntry> parse(const QByteArray &bytes, const QString &folder, bool pls);
// The title shown for a source without one of its own: the file's name without extension.
QString defaultTitle(const QString &source);

} // namespace MusicPlayList
