#pragma once

#include <QString>

#include <functional>

// Plays one sound source at a time for the music player; the real one is a MediaPlayer,
// tests use a fake that ends tracks on demand.
class TrackPlayer
{
public:
    virtual ~TrackPlayer() = default;

    // Opens `source` and starts it; false when it cannot play (missing, broken, too slow).
    virtual bool openAndPlay(const QString &source) = 0;
    virtual void close() = 0;
    virtual void play() = 0;
    virtual void pause() = 0;
    // Stops and goes back to the start of the track.
    virtual void stop() = 0;
    virtual qint64 positionMs() const = 0;
    virtual qint64 durationMs() const = 0;

    // Called when the open track has played to its end, or fails while it plays.
    std::function<void()> onEnded;
};
