#pragma once

// What the slideshow does alike with either of the viewer's clip players, the movie player
// and the RealMedia player.
class ClipPlayerPort
{
public:
    virtual ~ClipPlayerPort() = default;

    // Before each file: invisible and parked out of sight, with what each player adds.
    virtual void resetForNextFile() = 0;
    virtual void setVisible(bool visible) = 0;
    // Plays when stopped or paused; pauses when playing.
    virtual void playCurrentClip() = 0;
    virtual void pauseCurrentClip() = 0;
};
