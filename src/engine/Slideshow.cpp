#include "engine/Slideshow.h"

#include "core/Clock.h"
#include "core/EventPump.h"
#include "core/MessageService.h"
#include "core/Options.h"
#include "core/PathFunctions.h"
#include "core/RandomSource.h"
#include "engine/ControllerPort.h"
#include "engine/MoviePlayerPort.h"
#include "engine/MusicPlayerPort.h"
#include "engine/PluginBridgePort.h"
#include "engine/RealPlayerPort.h"
#include "engine/SlideshowError.h"
#include "engine/ViewerPort.h"

#include <QFileInfo>

#include <algorithm>
#include <cmath>
#include <utility>

const QString Slideshow::noDisplayableFileMessage
    = QStringLiteral("表示可能なファイルがありません。");

namespace {

const QString errorSource = QStringLiteral("Lunetta");
const QString gifExtension = QStringLiteral("gif");
// The tray tip field holds 64 bytes including its terminating NUL.
constexpr int trayTipBytes = 63;
constexpr double secondsPerDay = 86400;

bool randomPicks(const Options &options)
{
    return options.option(Opt::optSortRandom) && !options.isChecked(Opt::chkSortRandom);
}

// A number field that passed its check, rounded where it is used as a count.
int roundedNumber(const Options &options, Opt id)
{
    return int(std::lround(options.number(id)));
}

} // namespace

Slideshow::Slideshow(Options &options, MessageService &messages, Clock &clock, RandomSource &random,
                     EventPump &events)
    : m_options(options)
    , m_messages(messages)
    , m_clock(clock)
    , m_random(random)
    , m_events(events)
{ }

// Nothing may escape into the event loop: a runtime error is reported and ends the show.
template<typename Work> void Slideshow::runReportingErrors(Work work)
{
    try {
        work();
    } catch (const SlideshowError &e) {
        reportStepError(e.number, e.source, e.description);
    } catch (const std::bad_alloc &) {
        reportStepError(7, errorSource, QStringLiteral("メモリが不足しています。"));
    } catch (const std::exception &e) {
        reportStepError(5, errorSource, QString::fromLocal8Bit(e.what()));
    }
}

void Slideshow::showNextFile()
{
    runReportingErrors([this] { runSteps(displayStep()); });
    finishStart();
}

void Slideshow::runSteps(StepEnd end)
{
    // Skipping undisplayable files and wrapping around repeat the step in this loop, not by
    // recursion, so that a long run of bad files costs no stack.
    while (end == StepEnd::Again)
        end = displayStep();
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

    if (randomPicks(m_options)) {
        const double r
            = m_randomAhead ? *std::exchange(m_randomAhead, std::nullopt) : m_random.next();
        currentIndex = std::min(count, int(r * count) + 1);
    } else {
        currentIndex = nextIndex;
        nextIndex += (stateFlags & StateBit::Reverse) ? -1 : 1;
    }

    const QString path = playList.path(currentIndex);
    const std::optional<bool> loaded = beginLoadMediaFile(path);
    return loaded ? finishStep(path, *loaded) : StepEnd::Pending;
}

Slideshow::StepEnd Slideshow::finishStep(const QString &path, bool loaded)
{
    if (stoppedMeanwhile()) {
        // Stopped while a player waited for the file to open: the file is not at fault, it
        // stays in the list, and nothing of it may be left playing.
        if (mediaKind == MediaKind::MediaPlayer && m_moviePlayer)
            m_moviePlayer->closeFile();
        else if (mediaKind == MediaKind::RealAudio && m_realPlayer)
            m_realPlayer->RealPlayerStop();
        mediaKind = MediaKind::None;
        return StepEnd::Finished;
    }
    if (!loaded) {
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
    decodeNextAhead();
    return StepEnd::Shown;
}

void Slideshow::pluginAnswered(quint64 step, const QString &path, bool decoded)
{
    if (!m_stepPending || step != m_step)
        return;
    m_stepPending = false;
    runReportingErrors([&] {
        bool loaded = decoded;
        if (decoded) {
            if (m_viewer)
                m_viewer->adoptDecodedPicture();
            mediaKind = MediaKind::Picture;
        } else {
            loaded = loadWithoutPlugins(path);
        }
        runSteps(finishStep(path, loaded));
    });
    finishStart();
}

void Slideshow::setPluginBridge(PluginBridgePort *bridge)
{
    if (bridge == m_pluginBridge)
        return;
    if (m_stepPending && m_pluginBridge)
        m_pluginBridge->cancelLoadPicture();
    m_pluginBridge = bridge;
    if (m_stepPending)
        pluginAnswered(m_step, m_pendingPath, false);
}

void Slideshow::cancelPendingStep()
{
    if (!m_stepPending)
        return;
    m_stepPending = false;
    if (m_pluginBridge)
        m_pluginBridge->cancelLoadPicture();
}

// Decodes what the next step will show if nothing intervenes: the same choice displayStep
// makes, without changing any state but the random number it draws in advance.
void Slideshow::decodeNextAhead()
{
    if (!m_decodeAhead || !m_viewer || !isRunning())
        return;
    const int count = playList.count();
    int index = nextIndex;
    if (count == 0)
        return;
    if (randomPicks(m_options)) {
        if (!m_randomAhead)
            m_randomAhead = m_random.next();
        index = std::min(count, int(*m_randomAhead * count) + 1);
    } else if (index < 1 || index > count) {
        if (!m_options.isChecked(Opt::chkLoop)) {
            dropDecodeAhead();
            return;
        }
        index = index > 0 ? 1 : count;
    }
    const QString path = playList.path(index);
    // GIFs are shown only through plug-ins, which decode on this thread.
    if (extensionOf(path) == gifExtension)
        dropDecodeAhead();
    else
        m_viewer->decodeAhead(path);
}

void Slideshow::dropDecodeAhead()
{
    if (m_viewer)
        m_viewer->dropDecodeAhead();
}

void Slideshow::resetForNextFile()
{
    // A step still waiting for a plug-in is taken over by this one.
    cancelPendingStep();
    ++m_step;
    clipEnded = false;
    // The player reports the new file's length when it opens it; a picture has none.
    movieDuration = 0;
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
    aspectRatio = aspectRatioOf(natural);

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
        followAnimation();
    } else {
        clipNotShown = false;
        clipOnScreen()->setVisible(true);
        if (m_controller && !m_controller->isMoviebarEnabled())
            m_controller->MoviebarEnable(true);
        if (!(stateFlags & (StateBit::Paused | StateBit::Hidden)))
            playCurrentClip();
    }

    intervalStart = m_clock.secondsSinceMidnight();
    if (m_viewer)
        m_viewer->startTickTimer();

    if (m_controller) {
        if (m_controller->isTrayIconShown())
            m_controller->setTrayTip(trayTipFor(title));
        m_controller->fileShown();
    }
}

// --- automatic display ------------------------------------------------------------------

void Slideshow::startSlideshow()
{
    if (m_viewer)
        m_viewer->moveContentToOrigin();
    stateFlags = StateBit::Running;
    if (m_controller) {
        m_controller->setRunningDisplay(true);
        if (m_controller->isTrayIconShown())
            m_controller->setTrayImage(ControllerPort::TrayImage::Pause);
        m_controller->applyViewerTopmost();
    }
    if (m_viewer) {
        m_viewer->measureViewer();
        m_viewer->startTickTimer();
    }
    intervalClockRunning = true;
    if (m_moviePlayer)
        m_moviePlayer->setRate(1);

    m_startPending = true;
    showNextFile();
}

void Slideshow::finishStart()
{
    // The viewer comes up with the first file, which a plug-in may still be decoding.
    if (!m_startPending || m_stepPending)
        return;
    m_startPending = false;
    // A first step that found nothing to show has stopped the show already.
    if (playList.isEmpty() || stateFlags == 0)
        return;
    if (m_viewer)
        m_viewer->showViewerWindow();
    startBackgroundMusic();
    // Paused while the first file was on its way.
    if (isPaused() && m_musicPlayer)
        m_musicPlayer->pauseBgm();
}

void Slideshow::jumpTo(int index)
{
    nextIndex = index;
    showNextFile();
}

void Slideshow::startBackgroundMusic()
{
    const QString music = m_options.text(Opt::txtBGM);
    if (m_musicPlayer && m_options.check(Opt::chkBGM_Enable) == 1 && !music.isEmpty())
        m_musicPlayer->startMusic(roundedNumber(m_options, Opt::txtBGM_PlayCount), music,
                                  roundedNumber(m_options, Opt::txtBGM_StartingEntry));
}

void Slideshow::catchUpLateController()
{
    if (!isRunning())
        return;
    if (m_controller) {
        m_controller->setRunningDisplay(true);
        m_controller->setPausedDisplay(isPaused());
        m_controller->setFastForwardChecked(stateFlags & StateBit::FastForward);
        m_controller->setReverseChecked(stateFlags & StateBit::Reverse);
        m_controller->setHideItemsChecked(isHidden());
        const bool clip = mediaKind == MediaKind::MediaPlayer || mediaKind == MediaKind::RealAudio;
        m_controller->MoviebarEnable(clip);
        if (clip)
            m_controller->setMovieDuration(movieDuration);
        m_controller->applyViewerTopmost();
    }
    // A start still waiting for its first file begins the music with it.
    if (m_startPending)
        return;
    startBackgroundMusic();
    if (isPaused() && m_musicPlayer)
        m_musicPlayer->pauseBgm();
}

void Slideshow::stopSlideshow()
{
    stateFlags = 0;
    cancelPendingStep();
    m_startPending = false;
    // A move deferred for this show must not act on the next one.
    pendingCommand = PendingCommand::None;
    dropDecodeAhead();
    if (m_musicPlayer) {
        m_musicPlayer->rememberBgmEntry();
        m_musicPlayer->closeMusic();
    }
    if (m_moviePlayer)
        m_moviePlayer->closeFile();
    if (m_realPlayer)
        m_realPlayer->RealPlayerStop();
    if (m_controller)
        m_controller->MoviebarEnable(false);
    mediaKind = MediaKind::None;
    followAnimation();
    if (m_viewer) {
        m_viewer->stopTickTimer();
        m_viewer->stopCursorWatch();
    }
    if (m_controller)
        m_controller->closePageJump();
    if (m_viewer)
        m_viewer->hideViewerWindow();
    if (!m_controller)
        return;
    m_controller->setRunningDisplay(false);
    m_controller->restoreController();
    if (m_controller->isTrayIconShown()) {
        m_controller->setTrayTip(QStringLiteral("Lunetta"));
        m_controller->setTrayImage(ControllerPort::TrayImage::Stop);
    }
    m_controller->setPausedDisplay(false);
    m_controller->setFastForwardChecked(false);
    m_controller->setReverseChecked(false);
    m_controller->setHideItemsChecked(false);
}

void Slideshow::pauseSlideshow()
{
    if (!isRunning() || isPaused() || isHidden())
        return;
    suspendIntervalClock(true);
    stateFlags |= StateBit::Paused;
    if (m_controller) {
        m_controller->setPausedDisplay(true);
        if (m_controller->isTrayIconShown())
            m_controller->setTrayImage(ControllerPort::TrayImage::Play);
    }
    if (m_musicPlayer && m_options.check(Opt::chkBGM_AutoPause) == 1)
        m_musicPlayer->pauseBgm();
    pauseCurrentClip();
    followAnimation();
}

void Slideshow::resumeSlideshow()
{
    if (!isPaused() || isHidden())
        return;
    suspendIntervalClock(false);
    stateFlags &= ~StateBit::Paused;
    if (m_controller) {
        m_controller->setPausedDisplay(false);
        if (m_controller->isTrayIconShown())
            m_controller->setTrayImage(ControllerPort::TrayImage::Pause);
    }
    if (m_musicPlayer && m_options.check(Opt::chkBGM_AutoPause) == 1)
        m_musicPlayer->resumeBgm();
    playCurrentClip();
    followAnimation();
}

void Slideshow::viewerTick()
{
    runReportingErrors([this] {
        if (movieDuration > 0 && mediaKind == MediaKind::MediaPlayer && sliderDragging == 0
            && m_moviePlayer)
            SetMovieSlider(int(std::lround(m_moviePlayer->currentPosition())));

        if (pendingCommand != PendingCommand::None) {
            // Cleared before the move, so that a command deferred while the move lets events
            // run is kept for the next tick.
            const int command = pendingCommand;
            pendingCommand = PendingCommand::None;
            switch (command) {
            case PendingCommand::First:
                goFirst();
                break;
            case PendingCommand::Last:
                goLast();
                break;
            case PendingCommand::Previous:
                goPrevious();
                break;
            case PendingCommand::Next:
                goNext();
                break;
            default:
                break;
            }
            return;
        }

        if (intervalClockRunning)
            applyIntervalRule();
    });
}

void Slideshow::applyIntervalRule()
{
    if (playAllPending) {
        // The interval is over; the clip or the animation plays to its end (or has no known
        // end).
        const bool ended = mediaKind == MediaKind::Picture
            ? !m_viewer || m_viewer->animationPlayedThrough()
            : movieDuration == 0 || clipEnded;
        if (ended)
            showNextFile();
        return;
    }
    const double now = m_clock.secondsSinceMidnight();
    if (now < intervalStart)
        intervalStart -= secondsPerDay; // midnight has passed since the file was shown

    if ((stateFlags & StateBit::FastForward)
        || (m_options.check(Opt::chkMp_NextImmediately) == 1 && clipEnded)) {
        showNextFile();
        return;
    }
    if (intervalStart + float(m_options.number(Opt::txtMinutes)) > now)
        return;
    const bool clip = mediaKind == MediaKind::MediaPlayer || mediaKind == MediaKind::RealAudio;
    // An animation is waited for as a clip is, until it has played through once.
    const bool animation = mediaKind == MediaKind::Picture && m_viewer && m_viewer->pictureMoves()
        && !m_viewer->animationPlayedThrough();
    if ((clip || animation) && m_options.check(Opt::chkMp_PlayAll) == 1) {
        playAllPending = true;
        return;
    }
    showNextFile();
}

void Slideshow::setDialogOpen(bool open)
{
    if (open == m_dialogOpen)
        return;
    m_dialogOpen = open;
    if (isRunning() && !isPaused() && !isHidden())
        suspendIntervalClock(open);
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
    // A resume or a closing menu while a dialog is still open leaves the clock held; the
    // dialog's closing starts it.
    if (intervalClockRunning || m_dialogOpen)
        return;
    const double now = m_clock.secondsSinceMidnight();
    if (suspendedAt > intervalStart || (now < intervalStart && suspendedAt < intervalStart))
        intervalStart = now - (suspendedAt - intervalStart);
    else
        intervalStart = now;
    intervalClockRunning = true;
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
