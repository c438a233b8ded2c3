#pragma once

#include "engine/MoviePlayerPort.h"
#include "viewer/movie/LazyMediaPlayer.h"
#include "viewer/movie/VideoSurface.h"

class MediaPlayer;
class ReverseStepper;

// The viewer's movie player: a MediaPlayer showing its picture on this surface. It offers
// what the slideshow asks of a movie player — the file name that opens and closes, the
// source size, duration, position, rate, play state 0 stopped / 1 paused / 2 playing — and
// reports the end of the stream, errors, a new stream and play-state changes.
class mpView : public VideoSurface, public MoviePlayerPort
{
    Q_OBJECT
public:
    explicit mpView(QWidget *parent = nullptr);
    ~mpView() override;

    QString FileName() const { return m_fileName; }
    // A path opens the file (without waiting for it); the empty text closes it.
    void setFileName(const QString &path);
    double Duration() const;
    bool isDurationValid() const;
    void Play();
    void Pause();
    // The audio of every clip; the options dialog changes it.
    void setVolume(int percent, bool muted);
    PlaybackInfo playbackInfo() const;
    // Made on first use.
    MediaPlayer *player();

    // MoviePlayerPort
    void resetForNextFile() override;
    bool openMovie(const QString &path) override;
    QSize sourceSize() const override { return videoFrameSize(); }
    void setVisible(bool visible) override { VideoSurface::setVisible(visible); }
    void playCurrentClip() override;
    void pauseCurrentClip() override;
    void closeFile() override { setFileName(QString()); }
    double currentPosition() const override;
    void setCurrentPosition(double seconds) override;
    double rate() const override;
    void setRate(double rate) override;
    int playState() const override;

signals:
    void EndOfStream(int result);
    void Error();
    void NewStream();
    void PlayStateChange(int oldState, int newState);

private:
    void onStatus(int status);
    void connectPlayer(MediaPlayer &player);
    // Ends a rewind, playing on forwards or staying paused.
    void endRewind(int state);

    LazyMediaPlayer m_player;
    QString m_fileName;
    int m_state = Stopped;
    bool m_streamAnnounced = false;
    ReverseStepper *m_reverse;
    // Whether the clip played when its rewind began, and so plays on when it ends.
    bool m_rewindResumes = false;
};
