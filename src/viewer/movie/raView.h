#pragma once

#include "engine/RealPlayerPort.h"
#include "viewer/movie/LazyMediaPlayer.h"
#include "viewer/movie/VideoSurface.h"

#include <QList>
#include <QPointer>
#include <QUrl>

class MediaPlayer;
class QTimer;

// The viewer's player for RealAudio/RealVideo clips, with the roles the slideshow asks of it:
// a source URL, play, pause, stop, play state 0 stopped / 3 playing / 4 paused, position and
// length in milliseconds, the clip's size (0 for a clip without picture), a switch that keeps
// the aspect ratio; it reports the clip opened and closed, play-state and position changes and
// errors.
//
// RealMedia playback may freeze after a seek, a rate change or a pause: the position stops
// moving and nothing is reported. The player watches for that while playing and opens the clip
// again at the position; when the clip freezes once more it reports it closed, so that the
// show goes on.
class raView : public VideoSurface, public RealPlayerPort
{
    Q_OBJECT
public:
    explicit raView(QWidget *parent = nullptr);
    ~raView() override;

    // Windows disabled while a clip opens or stops, so that no command re-enters meanwhile.
    void addGuardedWindow(QWidget *window);

    QString Source() const { return m_source.toString(); }
    void setSource(const QString &url);
    void DoPlay();
    void DoPause();
    void DoStop();
    int GetLength() const;
    int GetClipWidth() const { return videoFrameSize().width(); }
    int GetClipHeight() const { return videoFrameSize().height(); }
    void setMaintainAspect(bool keep) { setKeepAspectRatio(keep); }
    void setVolume(int percent, bool muted);
    PlaybackInfo playbackInfo() const;
    // Made on first use.
    MediaPlayer *player();

    // How long the opening waits for the clip to report itself, and how long the position may
    // stand still while playing before the clip counts as frozen.
    static constexpr int openWaitMs = 5000;
    static constexpr int stallMs = 1500;

    // RealPlayerPort
    void resetForNextFile() override;
    OpenResult openRealClip(const QString &path, bool keepAspectRatio) override;
    QSize clipSize() const override { return videoFrameSize(); }
    void setVisible(bool visible) override { VideoSurface::setVisible(visible); }
    void playCurrentClip() override;
    void pauseCurrentClip() override;
    void RealPlayerStop() override;
    int playState() const override { return m_state; }
    int position() const override;
    void setPosition(int milliseconds) override;

signals:
    void OnClipOpened(int lengthMilliseconds);
    void OnClipClosed();
    void OnPlayStateChange(int oldState, int newState);
    void OnPositionChange(int position, int length);
    // Severity, code and user code, then the error's name, a hint and its description.
    void OnErrorMessage(int severity, int code, int userCode, const QString &error,
                        const QString &userInfo, const QString &description);

private:
    void onStatus(int status);
    void onPlaybackState(int state);
    void watch();
    void recoverFromStall();
    void reportClosed();
    void setWindowsEnabled(bool enabled);
    bool opened() const;
    void connectPlayer(MediaPlayer &player);

    LazyMediaPlayer m_player;
    QTimer *m_watch;
    QUrl m_source;
    QList<QPointer<QWidget>> m_guarded;
    int m_state = Stopped;
    bool m_error = false;
    bool m_clipOpened = false;
    // Set while the player itself stops or reopens the clip: those are no end of the clip.
    bool m_quiet = false;
    int m_lastPosition = -1;
    qint64 m_stillSince = 0;
    int m_recoveries = 0;
    int m_recoveredAt = 0;
    int m_volume = 100;
    bool m_mutedSetting = false;
};
