// The slideshow's moves through the list (first, last, next, previous, dropping the file on
// screen), its direction and fast forward, and hiding the viewer while the show goes on.
#include "engine/Slideshow.h"

#include "core/EventPump.h"
#include "core/MessageService.h"
#include "engine/ControllerPort.h"
#include "engine/ViewerPort.h"

// --- navigation ----------------------------------------------------------------------------

bool Slideshow::canMove() const
{
    return isRunning() && !isHidden();
}

void Slideshow::goFirst()
{
    if (!canMove())
        return;
    nextIndex = 1;
    showNextFile();
}

void Slideshow::goLast()
{
    if (!canMove())
        return;
    nextIndex = playList.count();
    showNextFile();
}

void Slideshow::goNext()
{
    if (!canMove())
        return;
    showNextFile();
}

void Slideshow::goPrevious()
{
    if (!canMove())
        return;
    nextIndex += (stateFlags & StateBit::Reverse) ? 2 : -2;
    showNextFile();
}

void Slideshow::dropCurrentFile()
{
    if (stateFlags == 0 || currentIndex < 1 || currentIndex > playList.count())
        return;
    playList.remove(currentIndex);
    nextIndex = currentIndex;
    if (playList.isEmpty()) {
        stopSlideshow();
        m_messages.warning(noDisplayableFileMessage);
        return;
    }
    m_events.processPendingEvents();
    if (!stoppedMeanwhile())
        showNextFile();
}

void Slideshow::toggleFastForward()
{
    if (!isRunning())
        return;
    stateFlags ^= StateBit::FastForward;
    if (m_controller)
        m_controller->setFastForwardChecked(stateFlags & StateBit::FastForward);
    followAnimation();
}

void Slideshow::toggleReverse()
{
    // After a step nextIndex lies one past the file shown in the old direction; moving it by
    // two makes it lie one past that file in the new one.
    stateFlags ^= StateBit::Reverse;
    const bool reverse = stateFlags & StateBit::Reverse;
    nextIndex += reverse ? -2 : 2;
    if (m_controller)
        m_controller->setReverseChecked(reverse);
    // The file decoded ahead lay the other way.
    dropDecodeAhead();
    decodeNextAhead();
}

// --- hiding the viewer -------------------------------------------------------------------

void Slideshow::hideViewer(bool watchCursor)
{
    if (!isRunning() || isHidden())
        return;
    stateFlags |= StateBit::Hidden;
    if (m_controller)
        m_controller->setHideItemsChecked(true);
    if (m_viewer)
        m_viewer->hideViewerWindow();
    if (!isPaused())
        suspendIntervalClock(true);
    if (watchCursor && m_viewer)
        m_viewer->startCursorWatch();
    pauseCurrentClip();
    followAnimation();
}

void Slideshow::unhideViewer()
{
    if (!isHidden())
        return;
    stateFlags &= ~StateBit::Hidden;
    if (m_controller)
        m_controller->setHideItemsChecked(false);
    if (m_viewer) {
        m_viewer->stopCursorWatch();
        m_viewer->showViewerWindow();
    }
    if (!isPaused())
        suspendIntervalClock(false);
    playCurrentClip();
    followAnimation();
}
