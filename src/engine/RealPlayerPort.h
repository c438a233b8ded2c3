#pragma once

#include "engine/ClipPlayerPort.h"

#include <QSize>
#include <QString>

// The viewer's player for RealAudio/RealVideo clips (raView). Before each file it also stops
// the clip when one plays.
class RealPlayerPort : public ClipPlayerPort
{
public:
    enum class OpenResult {
        Shown, // the clip reported its length and has a picture
        NoPicture, // it reported its length, but its width or height is 0
        NotReported, // neither length nor anything else in time, or an error
    };
    // Play states as the player reports them.
    enum PlayState { Stopped = 0, Playing = 3, Paused = 4 };

    virtual OpenResult openRealClip(const QString &path, bool keepAspectRatio) = 0;
    virtual QSize clipSize() const = 0;
    // Stops the clip in an orderly way.
    virtual void RealPlayerStop() = 0;
    virtual int playState() const = 0;
    // Position in milliseconds; setting it seeks.
    virtual int position() const = 0;
    virtual void setPosition(int milliseconds) = 0;
};
