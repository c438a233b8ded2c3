#pragma once

#include "engine/ClipPlayerPort.h"

#include <QSize>
#include <QString>

// The viewer's movie player (mpView). Before each file it also closes its file, turns
// automatic sizing on and sets the display size to 0.
class MoviePlayerPort : public ClipPlayerPort
{
public:
    // Play states as the player reports them.
    enum PlayState { Stopped = 0, Paused = 1, Playing = 2 };

    // Opens the file; true when no error was reported and the source has a picture. Otherwise
    // the file is closed again.
    virtual bool openMovie(const QString &path) = 0;
    virtual QSize sourceSize() const = 0;
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
