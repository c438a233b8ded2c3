#pragma once

#include <QString>

// What a remote control (media keys, the desktop's media controls, playerctl) drives and reads.
// The controller answers it with its own commands, so a remote does what the tool bar does.
class RemoteControlTarget
{
public:
    virtual ~RemoteControlTarget() = default;

    enum class Status { Stopped, Playing, Paused };

    // The file on screen; number 0 when there is none.
    struct Track
    {
        int number = 0;
        QString path;
        // Of a movie whose length is known, else 0.
        qint64 lengthMicroseconds = 0;
    };

    // Starts the show when none runs, else pauses or resumes it.
    virtual void playPause() = 0;
    // Starts the show or resumes a paused one.
    virtual void play() = 0;
    virtual void pause() = 0;
    virtual void stop() = 0;
    virtual void next() = 0;
    virtual void previous() = 0;
    // Brings the controller window back.
    virtual void raise() = 0;
    virtual void quit() = 0;

    virtual Status status() const = 0;
    virtual Track track() const = 0;
};
