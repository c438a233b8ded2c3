#pragma once

#include "core/PlayList.h"

#include <QSize>
#include <QString>

#include <optional>

class ClipPlayerPort;
class Clock;
class ControllerPort;
class EventPump;
class MessageService;
class MoviePlayerPort;
class MusicPlayerPort;
class Options;
class PluginBridgePort;
class RandomSource;
class RealPlayerPort;
class ViewerPort;

// What is on screen.
enum class MediaKind : int {
    None = 0,
    Picture = 1, // the image surface
    MediaPlayer = 2, // the movie player
    RealAudio = 3, // the RealAudio/RealVideo player
};

// Bits of Slideshow::stateFlags.
namespace StateBit {
constexpr int Running = 1;
constexpr int Paused = 2;
constexpr int Hidden = 4;
constexpr int FastForward = 8;
constexpr int Reverse = 16;
} // namespace StateBit

// Values of Slideshow::pendingCommand: a move the next tick makes.
namespace PendingCommand {
constexpr int None = 0;
constexpr int First = 1;
constexpr int Last = 2;
constexpr int Previous = 3;
constexpr int Next = 4;
} // namespace PendingCommand

// The slideshow engine: the runtime list, the positions in it, what is on screen, the state
// bits, and the display step that every move through the list ends in. One instance lives for
// the whole run; the windows hold a reference to it and it reaches them through their ports.
class Slideshow
{
public:
    Slideshow(Options &options, MessageService &messages, Clock &clock, RandomSource &random,
              EventPump &events);

    // The windows and players plug in here; a missing one is simply not used.
    void setViewer(ViewerPort *viewer) { m_viewer = viewer; }
    // The time of day the engine counts with; the viewer times its drag delay by it.
    Clock &clock() const { return m_clock; }
    ViewerPort *viewer() const { return m_viewer; }
    void setController(ControllerPort *controller) { m_controller = controller; }
    void setMoviePlayer(MoviePlayerPort *player) { m_moviePlayer = player; }
    void setRealPlayer(RealPlayerPort *player) { m_realPlayer = player; }
    void setMusicPlayer(MusicPlayerPort *player) { m_musicPlayer = player; }
    // Set while picture plug-ins are enabled, cleared when they are switched off. A step
    // waiting for the bridge that goes goes on without it, with the other loaders.
    void setPluginBridge(PluginBridgePort *bridge);
    // For a controller and music player plugged in while a show already runs (the window is
    // built once the first picture is up): shows every state bit on the controller and begins
    // the music that the start would have begun.
    void catchUpLateController();

    // Shows the entry at nextIndex (or a random one), dropping entries that cannot be shown;
    // wraps around or stops at the ends of the list. Any runtime error inside is reported
    // and stops the show.
    void showNextFile();
    // While on, every shown file is followed by a background decode of the file the next step
    // will show (the next random pick is drawn for it in advance). What is shown is the same
    // either way; on by default.
    void setDecodeAhead(bool on) { m_decodeAhead = on; }
    // Loads the file into the first surface that accepts it and sets mediaKind; false when
    // nothing can show it.
    bool loadMediaFile(const QString &path);
    // A display step waits for a picture plug-in's answer, with the event loop running: the
    // screen is cleared and the file chosen, the viewer's tick stopped. The answer completes the
    // step as if the plug-in had answered at once; any other step, or a stop, begun meanwhile
    // takes its place, and its answer is then ignored.
    bool isStepPending() const { return m_stepPending; }

    // Runs the show over playList from nextIndex: shows the first file, then the viewer, and
    // starts the music. The caller has filled the list and set nextIndex.
    void startSlideshow();
    // What the windows change of the show's position and layout goes through these, so that
    // the rules for them stay here:
    // the entry the next start or step begins at (a bookmark's page, a folder start's picture);
    void setStartIndex(int index) { nextIndex = index; }
    // shows the entry at `index` at once (the page jump);
    void jumpTo(int index);
    // the position belongs to no list any more (a list rebuilt, or its build cancelled);
    void forgetCurrentIndex() { currentIndex = 0; }
    // a move (PendingCommand) the next tick makes, for commands that arrive where no display
    // step may run;
    void queueMove(int command) { pendingCommand = command; }
    // the viewer has laid out the file on screen, or must lay it out again;
    void setLayoutDone(bool done) { layoutDone = done; }
    // a dialog of the program opened or closed. While one is open the show waits, so that
    // what it asks about (a bookmark of this page, this file to the trash) is the file on
    // screen; its interval goes on where it stood once the last dialog has closed.
    void setDialogOpen(bool open);
    bool isDialogOpen() const { return m_dialogOpen; }
    // Ends the show: music, players, timers and viewer off, the controller back in its
    // stopped state. Safe to call when nothing runs.
    void stopSlideshow();
    // Pausing holds the interval clock, the music (when asked to) and the clip; both act only
    // while the viewer is not hidden.
    void pauseSlideshow();
    void resumeSlideshow();
    // Fast forward shows a new file on every tick; only while running.
    void toggleFastForward();
    // Turns the direction round so that the next step shows the neighbour of the current file
    // in the new direction; also while stopped.
    void toggleReverse();
    // The viewer's periodic tick: follows the movie on its slider, runs a deferred move, and
    // decides whether the next file is due. Errors in it are reported and stop the show.
    void viewerTick();

    // Moves through the list; they act only while running with the viewer not hidden, and
    // also while paused (the interval clock stays held).
    void goFirst();
    void goLast();
    void goNext();
    void goPrevious();
    // Removes the file on screen from the list and shows the one that takes its place.
    void dropCurrentFile();
    // Stops (true) or restarts (false) the interval clock; time spent suspended does not
    // count towards the interval.
    void suspendIntervalClock(bool suspend);
    void hideViewer(bool watchCursor);
    void unhideViewer();
    void playCurrentClip();
    void pauseCurrentClip();

    // The movie commands of the controller. Play also puts a movie back to normal speed; the
    // two speeds act on a movie only, never on a RealMedia clip or a picture.
    void moviePlay();
    void moviePause();
    void movieFastForward();
    void movieFastReverse();

    // The movie slider: moves the program makes never seek; the user's moves do, and holding
    // the slider pauses a playing movie until it is let go.
    void SetMovieSlider(int value);
    void sldMovie_Change(int value);
    void sldMovie_MouseDown();
    void sldMovie_MouseUp();

    // What the movie player reports.
    void mpView_EndOfStream();
    void mpView_Error();
    // The duration in seconds and whether the player knows it.
    void mpView_NewStream(double duration, bool durationValid);
    void mpView_PlayStateChange(int newState);
    // What the RealMedia player reports.
    void raView_OnClipOpened(int lengthMilliseconds);
    void raView_OnClipClosed();
    void raView_OnErrorMessage(const QString &description);
    void raView_OnPositionChange(int positionMilliseconds);
    void raView_OnPlayStateChange(int newState);

    // The tray tip for a file title: "Lunetta - " + title, cut to what the tip field holds.
    static QString trayTipFor(const QString &title);
    static const QString noDisplayableFileMessage;

    bool isRunning() const { return stateFlags & StateBit::Running; }
    bool isPaused() const { return stateFlags & StateBit::Paused; }
    bool isHidden() const { return stateFlags & StateBit::Hidden; }

    PlayList playList;
    int currentIndex = 0;
    int nextIndex = 1;
    MediaKind mediaKind = MediaKind::None;
    int stateFlags = 0;
    // Height ÷ width of the content loaded last.
    float aspectRatio = 0;
    static float aspectRatioOf(QSize natural)
    {
        return float(natural.height()) / float(natural.width());
    }
    // Seconds since midnight when the current file's interval began.
    double intervalStart = 0;
    double suspendedAt = 0;
    bool intervalClockRunning = false;
    // Set by the viewer's resize handling once it has laid out the scroll bars for the file.
    bool layoutDone = false;
    // The clip on screen has played to its end.
    bool clipEnded = false;
    // Length of the clip on screen in seconds; 0 when none was reported.
    double movieDuration = 0;
    // 0: the movie slider is not being dragged; 1 dragged with the movie paused for it; 2
    // dragged without pausing.
    int sliderDragging = 0;
    // The interval has passed on a clip that is to play to its end first.
    bool playAllPending = false;
    // A move left for the next tick (PendingCommand), for commands that arrive where no
    // display step may run.
    int pendingCommand = PendingCommand::None;
    // Set while no clip of this step is on screen, so that notifications of the clip being
    // replaced are ignored.
    bool clipNotShown = true;
    // A player reported an error for the file being opened or shown.
    bool mediaError = false;
    // The RealMedia player has reported the clip as opened; its length is known.
    bool realClipReady = false;
    // Set while the program itself moves the movie slider.
    bool sliderUpdating = false;

private:
    // The text after the last "." of the whole path, lower-cased; the whole path when there is
    // none.
    static QString extensionOf(const QString &path);
    enum class StepEnd { Shown, Again, Finished, Pending };
    StepEnd displayStep();
    // The rest of a step once its file has loaded, or has not.
    StepEnd finishStep(const QString &path, bool loaded);
    void runSteps(StepEnd first);
    // As loadMediaFile, but nothing when a plug-in's answer is still to come.
    std::optional<bool> beginLoadMediaFile(const QString &path);
    bool loadWithoutPlugins(const QString &path);
    void pluginAnswered(quint64 step, const QString &path, bool decoded);
    void cancelPendingStep();
    // The part of startSlideshow that waits for its first step.
    void finishStart();
    void resetForNextFile();
    void decodeNextAhead();
    void dropDecodeAhead();
    void showLoadedFile(const QString &path);
    void applyIntervalRule();
    void startBackgroundMusic();
    void setMovieDuration(double seconds);
    bool canMove() const;
    void reportStepError(int number, const QString &source, const QString &description);
    template<typename Work> void runReportingErrors(Work work);
    // Plays an animated picture on screen while the show runs on its own, holds it otherwise.
    void followAnimation();
    bool stoppedMeanwhile() const { return stateFlags == 0; }
    // The player of the clip on screen; null while a picture or nothing is shown.
    ClipPlayerPort *clipOnScreen() const;

    Options &m_options;
    MessageService &m_messages;
    Clock &m_clock;
    RandomSource &m_random;
    EventPump &m_events;
    ViewerPort *m_viewer = nullptr;
    ControllerPort *m_controller = nullptr;
    MoviePlayerPort *m_moviePlayer = nullptr;
    RealPlayerPort *m_realPlayer = nullptr;
    MusicPlayerPort *m_musicPlayer = nullptr;
    PluginBridgePort *m_pluginBridge = nullptr;
    bool m_decodeAhead = true;
    bool m_dialogOpen = false;
    bool m_stepPending = false;
    QString m_pendingPath;
    // Counts the steps, so that the answer to one taken over by another is known.
    quint64 m_step = 0;
    // The show is starting: the viewer and the music wait for its first step.
    bool m_startPending = false;
    // The random number of the next random pick, drawn early so that the file it picks can be
    // decoded ahead; used by that pick, whenever it comes, so the sequence of picks is unchanged.
    std::optional<double> m_randomAhead;
};
