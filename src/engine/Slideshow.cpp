#include "engine/Slideshow.h"

#include "core/Clock.h"
#include "core/EventPump.h"
#include "core/MessageService.h"
#include "core/Options.h"
#include "core/RandomSource.h"
#include "engine/ControllerPort.h"
#include "engine/MoviePlayerPort.h"
#include "engine/PluginBridgePort.h"
#include "engine/RealPlayerPort.h"
#include "engine/SlideshowError.h"
#include "engine/ViewerPort.h"
#include "imagelist/PathFunctions.h"

#include <QFileInfo>

#include <algorithm>

const QString Slideshow::noDisplayableFileMessage
    = QStringLiteral("表示可能なファイルがありません。");

namespace {

// Extensions handed to the RealAudio player; a file's extension is looked for as a substring.
const QString realMediaExtensions = QStringLiteral("ra|rm|ram|rmj|rmm|rmx|rp");
const QString errorSource = QStringLiteral("Lunetta");
// The tray tip field holds 64 bytes including its terminating NUL.
constexpr int trayTipBytes = 63;

} // namespace

Slideshow::Slideshow(Options &options, MessageService &messages, Clock &clock, RandomSource &random,
                     EventPump &events)
    : m_options(options)
    , m_messages(messages)
    , m_clock(clock)
    , m_random(random)
    , m_events(events)
{ }

void Slideshow::showNextFile()
{
    try {
        // Skipping undisplayable files and wrapping around repeat the step in this loop, not
        // by recursion, so that a long run of bad files costs no stack.
        while (displayStep() == StepEnd::Again) { }
    } catch (const SlideshowError &e) {
        reportStepError(e.number, e.source, e.description);
    } catch (const std::bad_alloc &) {
        reportStepError(7, errorSource, QStringLiteral("メモリが不足しています。"));
    } catch (const std::exception &e) {
        reportStepError(5, errorSource, QString::fromLocal8Bit(e.what()));
    }
}

Slideshow::StepEnd Slideshow::displayStep()
{
    resetForNextFile();

    const int count = playList.count();
    if (count == 0) {
        // Wrapping around an empty list would never find a file.
        stopSlideshow();
        return StepEnd::Finished;
    }
    if (nextIndex < 1 || nextIndex > count) {
        if (!m_options.isChecked(Opt::chkLoop)) {
            stopSlideshow();
            return StepEnd::Finished;
        }
        nextIndex = nextIndex > 0 ? 1 : count;
        m_events.processPendingEvents();
        return stoppedMeanwhile() ? StepEnd::Finished : StepEnd::Again;
    }

    layoutDone = false;
    if (m_viewer)
        m_viewer->clearPicture();
    if (m_moviePlayer)
        m_moviePlayer->resetForNextFile();
    if (m_realPlayer)
        m_realPlayer->resetForNextFile();

    if (m_options.option(Opt::optSortRandom) && !m_options.isChecked(Opt::chkSortRandom)) {
        currentIndex = std::min(count, int(m_random.next() * count) + 1);
    } else {
        currentIndex = nextIndex;
        nextIndex += (stateFlags & StateBit::Reverse) ? -1 : 1;
    }

    const QString path = playList.path(currentIndex);
    if (!loadMediaFile(path)) {
        playList.remove(currentIndex);
        nextIndex = currentIndex;
        if (!playList.isEmpty()) {
            m_events.processPendingEvents();
            return stoppedMeanwhile() ? StepEnd::Finished : StepEnd::Again;
        }
        stopSlideshow();
        m_messages.warning(noDisplayableFileMessage);
        return StepEnd::Finished;
    }

    showLoadedFile(path);
    return StepEnd::Shown;
}

void Slideshow::resetForNextFile()
{
    clipEnded = false;
    playAllPending = false;
    clipNotShown = true;
    mediaKind = MediaKind::None;
    if (m_viewer) {
        m_viewer->hideScrollBars();
        m_viewer->stopTickTimer();
    }
}

void Slideshow::showLoadedFile(const QString &path)
{
    QSize natural;
    switch (mediaKind) {
    case MediaKind::Picture:
        natural = m_viewer ? m_viewer->pictureSize() : QSize();
        break;
    case MediaKind::MediaPlayer:
        natural = m_moviePlayer->sourceSize();
        break;
    case MediaKind::RealAudio:
        natural = m_realPlayer->clipSize();
        break;
    case MediaKind::None:
        break;
    }
    aspectRatio = float(natural.height()) / float(natural.width());

    if (m_viewer)
        m_viewer->sizeViewerForFile();

    const QString title = GetFileName(path);
    if (m_viewer) {
        if (m_options.isChecked(Opt::chkShowTitlebar))
            m_viewer->setViewerCaption(title);
        m_viewer->setStatusTexts(
            path, QString::number(currentIndex) + u'/' + QString::number(playList.count()));
    }

    if (mediaKind == MediaKind::Picture) {
        if (m_viewer)
            m_viewer->showPicture();
        if (m_controller && m_controller->isMoviebarEnabled())
            m_controller->MoviebarEnable(false);
    } else {
        clipNotShown = false;
        if (mediaKind == MediaKind::MediaPlayer)
            m_moviePlayer->setVisible(true);
        else
            m_realPlayer->setVisible(true);
        if (m_controller && !m_controller->isMoviebarEnabled())
            m_controller->MoviebarEnable(true);
        if (!(stateFlags & (StateBit::Paused | StateBit::Hidden)))
            playCurrentClip();
    }

    intervalStart = m_clock.secondsSinceMidnight();
    if (m_viewer)
        m_viewer->startTickTimer();

    if (m_controller && m_controller->isTrayIconShown())
        m_controller->setTrayTip(trayTipFor(title));
}

bool Slideshow::loadMediaFile(const QString &path)
{
    if (path.isEmpty() || !QFileInfo::exists(path))
        return false;

    if (m_options.check(Opt::chkUseSusiePlugin) == 1 && m_pluginBridge) {
        if (m_pluginBridge->LoadPicture(path)) {
            if (m_viewer)
                m_viewer->adoptDecodedPicture();
            mediaKind = MediaKind::Picture;
            return true;
        }
    }

    // The text after the last "." of the whole path; the whole path when there is none.
    const qsizetype dot = path.lastIndexOf(u'.');
    const QString ext = (dot < 0 ? path : path.mid(dot + 1)).toLower();

    // A GIF is shown only when a plug-in has decoded it.
    if (ext == u"gif")
        return false;

    if (m_viewer && m_viewer->LoadPic(path)) {
        mediaKind = MediaKind::Picture;
        return true;
    }

    if (m_options.check(Opt::chkMp_PlayRealAudio) == 1 && realMediaExtensions.contains(ext)
        && m_realPlayer) {
        const bool keepAspect = m_options.isChecked(Opt::chkFixHeightWidthRate)
            || !m_options.isChecked(Opt::chkStretchImage);
        switch (m_realPlayer->openRealClip(path, keepAspect)) {
        case RealPlayerPort::OpenResult::Shown:
            mediaKind = MediaKind::RealAudio;
            return true;
        case RealPlayerPort::OpenResult::NoPicture:
            return false;
        case RealPlayerPort::OpenResult::NotReported:
            break;
        }
    }

    if (m_options.isChecked(Opt::chkMp_PlayMovie) && m_moviePlayer
        && m_moviePlayer->openMovie(path)) {
        mediaKind = MediaKind::MediaPlayer;
        return true;
    }
    return false;
}

// Ends the show: the state, the players and the viewer. The controller's captions, check
// marks, tool bar and tray come with the automatic display commands.
void Slideshow::stopSlideshow()
{
    stateFlags = 0;
    if (m_moviePlayer)
        m_moviePlayer->closeFile();
    if (m_realPlayer)
        m_realPlayer->RealPlayerStop();
    if (m_controller)
        m_controller->MoviebarEnable(false);
    mediaKind = MediaKind::None;
    if (m_viewer) {
        m_viewer->stopTickTimer();
        m_viewer->stopCursorWatch();
        m_viewer->hideViewerWindow();
    }
    if (m_controller)
        m_controller->setHideItemsChecked(false);
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

void Slideshow::suspendIntervalClock(bool suspend)
{
    if (suspend) {
        if (intervalClockRunning) {
            intervalClockRunning = false;
            suspendedAt = m_clock.secondsSinceMidnight();
        }
        return;
    }
    if (intervalClockRunning)
        return;
    const double now = m_clock.secondsSinceMidnight();
    if (suspendedAt > intervalStart || (now < intervalStart && suspendedAt < intervalStart))
        intervalStart = now - (suspendedAt - intervalStart);
    else
        intervalStart = now;
    intervalClockRunning = true;
}

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
}

void Slideshow::playCurrentClip()
{
    if (mediaKind == MediaKind::MediaPlayer && m_moviePlayer)
        m_moviePlayer->playCurrentClip();
    else if (mediaKind == MediaKind::RealAudio && m_realPlayer)
        m_realPlayer->playCurrentClip();
}

void Slideshow::pauseCurrentClip()
{
    if (mediaKind == MediaKind::MediaPlayer && m_moviePlayer)
        m_moviePlayer->pauseCurrentClip();
    else if (mediaKind == MediaKind::RealAudio && m_realPlayer)
        m_realPlayer->pauseCurrentClip();
}

QString Slideshow::trayTipFor(const QString &title)
{
    const QString tip = QStringLiteral("Lunetta - ") + title;
    // Cut at a character boundary so that no character is split in the UTF-8 field.
    int bytes = 0;
    qsizetype end = 0;
    while (end < tip.size()) {
        const char32_t c = tip.at(end).isHighSurrogate() && end + 1 < tip.size()
            ? QChar::surrogateToUcs4(tip.at(end), tip.at(end + 1))
            : tip.at(end).unicode();
        const int length = c < 0x80 ? 1 : c < 0x800 ? 2 : c < 0x10000 ? 3 : 4;
        if (bytes + length > trayTipBytes)
            break;
        bytes += length;
        end += c >= 0x10000 ? 2 : 1;
    }
    return tip.left(end);
}

void Slideshow::reportStepError(int number, const QString &source, const QString &description)
{
    try {
        m_messages.show({ QStringLiteral("Error") + QString::number(number) + QStringLiteral("\r\n")
                              + description,
                          MsgIcon::Error, MsgButtons::Ok, MsgResult::Ok,
                          QStringLiteral("Error-") + source });
        stopSlideshow();
    } catch (...) {
        // Nothing may escape into the event loop; the state is stopped at least.
        stateFlags = 0;
    }
}
