#pragma once

#include <QSize>
#include <QString>

// The viewer's movie player (mpView).
class MoviePlayerPort
{
public:
    virtual ~MoviePlayerPort() = default;

    // Play states as the player reports them.
    enum PlayState { Stopped = 0, Paused = 1, Playing = 2 };

    // Before each file: invisible, its file closed, automatic sizing on, display size 0,
    // parked out of sight.
    virtual void resetForNextFile() = 0;
    // Opens the file; true when no error was reported and the source has a picture. Otherwise
    // the file is closed again.
    virtual bool openMovie(const QString &path) = 0;
    virtual QSize sourceSize() const = 0;
    virtual void setVisible(bool visible) = 0;
    // Plays when stopped or paused; pauses when playing.
    virtual void playCurrentClip() = 0;
    virtual void pauseCurrentClip() = 0;
    // Closes the file (its name becomes empty).
    virtual void closeFile() = 0;
    // Where the movie is now, in seconds; setting it seeks.
    virtual double currentPosition() const = 0;
    virtual void setCurrentPosition(double seconds) = 0;
    // Playback rate: 1 is normal speed.
    virtual double rate() const = 0;
    virtual void setRate(double rate) = 0;
    virtual int playState() const = 0;
};
