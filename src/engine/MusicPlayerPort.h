#pragma once

#include <QString>

// The background music player of the controller window, as the show drives it.
class MusicPlayerPort
{
public:
    virtual ~MusicPlayerPort() = default;

    // Opens `file` (a music file, a play list or "CDAUDIO:") to be played `playCount` times
    // (0: without end) and starts it. A starting entry greater than 1 selects that play-list
    // entry, or that marker of a single source, when the source has that many; otherwise
    // playback begins at the first.
    virtual void startMusic(int playCount, const QString &file, int startingEntry) = 0;
    // When remembering the last entry is on and the open source is the configured one, puts
    // the entry (or marker) now playing into the starting-entry option.
    virtual void rememberBgmEntry() = 0;
    // Closes the source; the music ends.
    virtual void closeMusic() = 0;
    // Pauses the music when it is playing.
    virtual void pauseBgm() = 0;
    // Plays the music when it is stopped or paused.
    virtual void resumeBgm() = 0;
};
