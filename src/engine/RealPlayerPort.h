#pragma once

#include <QSize>
#include <QString>

// The viewer's player for RealAudio/RealVideo clips (raView).
class RealPlayerPort
{
public:
    virtual ~RealPlayerPort() = default;

    enum class OpenResult {
        Shown, // the clip reported its length and has a picture
        NoPicture, // it reported its length, but its width or height is 0
        NotReported, // neither length nor anything else in time, or an error
    };

    // Before each file: invisible, stopped when playing, parked out of sight.
    virtual void resetForNextFile() = 0;
    virtual OpenResult openRealClip(const QString &path, bool keepAspectRatio) = 0;
    virtual QSize clipSize() const = 0;
    virtual void setVisible(bool visible) = 0;
    virtual void playCurrentClip() = 0;
    virtual void pauseCurrentClip() = 0;
    // Stops the clip in an orderly way.
    virtual void RealPlayerStop() = 0;
};
