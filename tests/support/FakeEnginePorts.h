#pragma once

#include "engine/ControllerPort.h"
#include "engine/MoviePlayerPort.h"
#include "engine/MusicPlayerPort.h"
#include "engine/PluginBridgePort.h"
#include "engine/RealPlayerPort.h"
#include "engine/ViewerPort.h"

#include <QSet>
#include <QSize>
#include <QStringList>

#include <functional>

// Stand-ins for the windows and players the engine drives. Each records what it was asked to
// do in `calls` (one word per call) and answers as the test prepares it.

class FakeViewer : public ViewerPort
{
public:
    void moveContentToOrigin() override { calls << QStringLiteral("moveContentToOrigin"); }
    void measureViewer() override { calls << QStringLiteral("measureViewer"); }
    void hideScrollBars() override { calls << QStringLiteral("hideScrollBars"); }
    void startTickTimer() override;
    void stopTickTimer() override;
    void startCursorWatch() override;
    void stopCursorWatch() override;
    void clearPicture() override { calls << QStringLiteral("clearPicture"); }
    // Succeeds for every file whose name is not in `unreadable`.
    bool LoadPic(const QString &path) override;
    // Holds the path as the real viewer holds its picture: until a load takes it or a drop.
    void decodeAhead(const QString &path) override { heldAhead = path; }
    void dropDecodeAhead() override { heldAhead.clear(); }
    void adoptDecodedPicture() override { calls << QStringLiteral("adoptDecodedPicture"); }
    QSize pictureSize() const override { return picture; }
    void sizeViewerForFile() override;
    void setViewerCaption(const QString &text) override;
    void setStatusTexts(const QString &fileName, const QString &page) override;
    void showPicture() override;
    void showViewerWindow() override;
    void hideViewerWindow() override;
    // Files named in `animated` move, until `playedThrough` says they have played once.
    bool pictureMoves() const override;
    bool animationPlayedThrough() const override { return playedThrough; }
    void playAnimation(bool play) override { animationPlaying = play; }

    QStringList calls;
    QSet<QString> animated;
    bool playedThrough = false;
    bool animationPlaying = false;
    QSet<QString> unreadable;
    QStringList loaded; // paths given to LoadPic
    QList<bool> loadedAhead; // for each of them: whether it was the file held decoded ahead
    QString heldAhead;
    QStringList shown; // FileName panel of every file put on screen
    QSize picture { 400, 300 };
    QString caption;
    QString statusFileName;
    QString statusPage;
    bool windowVisible = false;
    bool tickRunning = false;
    bool cursorWatch = false;
    std::function<void()> onSize; // runs inside sizeViewerForFile (may throw)
};

class FakeController : public ControllerPort
{
public:
    void MoviebarEnable(bool enabled) override;
    bool isMoviebarEnabled() const override { return moviebar; }
    bool isTrayIconShown() const override { return trayShown; }
    void setTrayTip(const QString &tip) override { trayTip = tip; }
    void fileShown() override { ++filesShown; }
    void setTrayImage(TrayImage image) override
    {
        if (trayShown)
            trayImage = image;
    }
    void setRunningDisplay(bool running) override { runningDisplay = running; }
    void setPausedDisplay(bool paused) override { pausedDisplay = paused; }
    void setFastForwardChecked(bool checked) override { fastForwardChecked = checked; }
    void setReverseChecked(bool checked) override { reverseChecked = checked; }
    void setHideItemsChecked(bool checked) override { hideChecked = checked; }
    // Shown again; out of the tray when it was minimised there.
    void restoreController() override;
    void applyViewerTopmost() override { ++topmostApplied; }
    void closePageJump() override { ++pageJumpClosed; }
    // Like the real slider, hands every new value to its change handler (onSlider).
    void SetMovieSlider(int value) override
    {
        sliderValues << value;
        if (onSlider)
            onSlider(value);
    }
    void setMovieDuration(double seconds) override { movieDuration = seconds; }
    void setClipPlayState(ClipPlayState state) override { clipStates << state; }

    QList<bool> moviebarCalls;
    bool moviebar = false;
    bool trayShown = false;
    QString trayTip;
    int filesShown = 0;
    TrayImage trayImage = TrayImage::Stop;
    bool runningDisplay = false;
    bool pausedDisplay = false;
    bool fastForwardChecked = false;
    bool reverseChecked = false;
    bool hideChecked = false;
    bool visible = true;
    bool minimised = false;
    int restores = 0;
    int topmostApplied = 0;
    int pageJumpClosed = 0;
    QList<int> sliderValues;
    double movieDuration = -1;
    QList<ClipPlayState> clipStates;
    std::function<void(int)> onSlider;
};

class FakeMoviePlayer : public MoviePlayerPort
{
public:
    void resetForNextFile() override { visible = false; }
    bool openMovie(const QString &path) override;
    QSize sourceSize() const override { return size; }
    void setVisible(bool v) override { visible = v; }
    void playCurrentClip() override { calls << QStringLiteral("play"); }
    void pauseCurrentClip() override { calls << QStringLiteral("pause"); }
    void closeFile() override { calls << QStringLiteral("close"); }
    // Throws what `positionError` holds, if anything, to stand for a failing player.
    double currentPosition() const override;
    void setCurrentPosition(double seconds) override { seeks << seconds; }
    double rate() const override { return speed; }
    void setRate(double r) override
    {
        speed = r;
        rates << r;
    }
    int playState() const override { return state; }

    QStringList opened;
    QStringList calls;
    double position = 0;
    double speed = 0;
    QList<double> rates; // every rate set
    QList<double> seeks;
    int state = Stopped;
    QString positionError;
    bool accept = false;
    std::function<void()> onOpen; // runs while the file opens (the player's wait)
    QSize size { 320, 240 };
    bool visible = false;
};

class FakeRealPlayer : public RealPlayerPort
{
public:
    void resetForNextFile() override { visible = false; }
    OpenResult openRealClip(const QString &path, bool keepAspectRatio) override;
    QSize clipSize() const override { return size; }
    void setVisible(bool v) override { visible = v; }
    void playCurrentClip() override { calls << QStringLiteral("play"); }
    void pauseCurrentClip() override { calls << QStringLiteral("pause"); }
    void RealPlayerStop() override { calls << QStringLiteral("stop"); }
    int playState() const override { return state; }
    int position() const override { return milliseconds; }
    void setPosition(int ms) override { seeks << ms; }

    QStringList opened;
    QList<bool> keepAspect;
    QStringList calls;
    OpenResult result = OpenResult::NotReported;
    int state = Stopped;
    int milliseconds = 0;
    QList<int> seeks;
    QSize size { 176, 144 };
    bool visible = false;
};

class FakePluginBridge : public PluginBridgePort
{
public:
    bool LoadPicture(const QString &path) override;
    // With `answerLater` set, the load waits until the test answers it (answer()).
    std::optional<bool> beginLoadPicture(const QString &path,
                                         std::function<void(bool)> done) override;
    void cancelLoadPicture() override { ++cancelled; }
    // Answers the load begun `index`-th (the last one by default) as the plug-in would through
    // the event loop: decoded when the file's name is in `decodes`. An answer to a load taken
    // over since must be ignored by the engine.
    void answer(qsizetype index = -1);

    QStringList asked;
    QSet<QString> decodes; // file names the plug-ins can read
    bool answerLater = false;
    int cancelled = 0;

private:
    QList<std::pair<QString, std::function<void(bool)>>> m_waiting;
};

class FakeMusicPlayer : public MusicPlayerPort
{
public:
    void startMusic(int playCount, const QString &file, int startingEntry) override;
    void rememberBgmEntry() override { calls << QStringLiteral("remember"); }
    void closeMusic() override { calls << QStringLiteral("close"); }
    void pauseBgm() override { calls << QStringLiteral("pause"); }
    void resumeBgm() override { calls << QStringLiteral("resume"); }

    QStringList calls; // startMusic is recorded as "start <count> <file> <entry>"
};
