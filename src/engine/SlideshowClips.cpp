// The slideshow's clips: playing and pausing the one on screen (and an animated picture), the
// movie commands and slider, and what the two players report.
#include "engine/Slideshow.h"

#include <cmath>

#include "core/Options.h"
#include "engine/ControllerPort.h"
#include "engine/MoviePlayerPort.h"
#include "engine/RealPlayerPort.h"
#include "engine/ViewerPort.h"

ClipPlayerPort *Slideshow::clipOnScreen() const
{
    switch (mediaKind) {
    case MediaKind::MediaPlayer:
        return m_moviePlayer;
    case MediaKind::RealAudio:
        return m_realPlayer;
    case MediaKind::Picture:
    case MediaKind::None:
        break;
    }
    return nullptr;
}

void Slideshow::playCurrentClip()
{
    if (ClipPlayerPort *player = clipOnScreen())
        player->playCurrentClip();
}

void Slideshow::pauseCurrentClip()
{
    if (ClipPlayerPort *player = clipOnScreen())
        player->pauseCurrentClip();
}

void Slideshow::followAnimation()
{
    if (!m_viewer)
        return;
    // Fast forward shows the first frame of each file only; a paused or hidden show holds it.
    const int holding = StateBit::Paused | StateBit::Hidden | StateBit::FastForward;
    m_viewer->playAnimation(mediaKind == MediaKind::Picture && isRunning()
                            && !(stateFlags & holding));
}

// --- movie commands, slider and player notifications -----------------------------------

void Slideshow::moviePlay()
{
    playCurrentClip();
    if (mediaKind == MediaKind::MediaPlayer && m_moviePlayer && m_moviePlayer->rate() != 1)
        m_moviePlayer->setRate(1);
}

void Slideshow::moviePause()
{
    pauseCurrentClip();
}

void Slideshow::movieFastForward()
{
    if (mediaKind == MediaKind::MediaPlayer && m_moviePlayer)
        m_moviePlayer->setRate(m_options.number(Opt::txtMp_FastForward));
}

void Slideshow::movieFastReverse()
{
    // The option is the rewind's speed: the clip runs backwards at it, as rewinding does in
    // every player, where it played forwards at that rate before.
    const double speed = std::abs(m_options.number(Opt::txtMp_FastReverse));
    if (mediaKind == MediaKind::MediaPlayer && m_moviePlayer && speed > 0)
        m_moviePlayer->setRate(-speed);
}

void Slideshow::SetMovieSlider(int value)
{
    sliderUpdating = true;
    if (m_controller)
        m_controller->SetMovieSlider(value);
    sliderUpdating = false;
}

void Slideshow::sldMovie_Change(int value)
{
    if (sliderUpdating)
        return;
    if (mediaKind == MediaKind::MediaPlayer && m_moviePlayer)
        m_moviePlayer->setCurrentPosition(value);
    else if (mediaKind == MediaKind::RealAudio && m_realPlayer)
        m_realPlayer->setPosition(value * 1000);
}

void Slideshow::sldMovie_MouseDown()
{
    if (mediaKind == MediaKind::MediaPlayer && m_moviePlayer
        && m_moviePlayer->playState() == MoviePlayerPort::Playing) {
        sliderDragging = 1;
        pauseCurrentClip();
    } else {
        sliderDragging = 2;
    }
}

void Slideshow::sldMovie_MouseUp()
{
    if (sliderDragging == 1)
        playCurrentClip();
    sliderDragging = 0;
}

void Slideshow::setMovieDuration(double seconds)
{
    movieDuration = seconds;
    if (m_controller)
        m_controller->setMovieDuration(seconds);
}

void Slideshow::mpView_EndOfStream()
{
    clipEnded = true;
}

void Slideshow::mpView_Error()
{
    mediaError = true;
}

void Slideshow::mpView_NewStream(double duration, bool durationValid)
{
    setMovieDuration(duration > 0 && durationValid ? duration : 0);
    SetMovieSlider(0);
}

void Slideshow::mpView_PlayStateChange(int newState)
{
    if (!m_controller)
        return;
    using S = ControllerPort::ClipPlayState;
    m_controller->setClipPlayState(newState == MoviePlayerPort::Playing      ? S::Playing
                                       : newState == MoviePlayerPort::Paused ? S::Paused
                                                                             : S::Stopped);
}

void Slideshow::raView_OnClipOpened(int lengthMilliseconds)
{
    realClipReady = true;
    setMovieDuration(lengthMilliseconds / 1000.0);
    SetMovieSlider(0);
}

void Slideshow::raView_OnClipClosed()
{
    if (!clipNotShown)
        clipEnded = true;
}

void Slideshow::raView_OnErrorMessage(const QString &description)
{
    mediaError = true;
    if (m_viewer)
        m_viewer->setViewerCaption(description);
}

void Slideshow::raView_OnPositionChange(int positionMilliseconds)
{
    if (movieDuration > 0 && sliderDragging == 0)
        SetMovieSlider(positionMilliseconds / 1000);
}

void Slideshow::raView_OnPlayStateChange(int newState)
{
    if (!m_controller)
        return;
    using S = ControllerPort::ClipPlayState;
    m_controller->setClipPlayState(newState == RealPlayerPort::Playing      ? S::Playing
                                       : newState == RealPlayerPort::Paused ? S::Paused
                                                                            : S::Stopped);
}
