#pragma once

#include "viewer/movie/MediaBackend.h"

#include <QObject>

#include <memory>

// The program's media player: the part of QMediaPlayer that the players use, with the same
// names, states and signals, over a player of the media module. The module (and with it Qt
// Multimedia) is loaded when the first MediaPlayer is made. Without it, every source fails to
// open with an error that says so.
class MediaPlayer : public QObject, private MediaBackendEvents
{
    Q_OBJECT
public:
    // The values of QMediaPlayer's enums, which the module hands over as they are.
    enum PlaybackState { StoppedState, PlayingState, PausedState };
    Q_ENUM(PlaybackState)
    enum MediaStatus {
        NoMedia,
        LoadingMedia,
        LoadedMedia,
        StalledMedia,
        BufferingMedia,
        BufferedMedia,
        EndOfMedia,
        InvalidMedia
    };
    Q_ENUM(MediaStatus)
    enum Error { NoError, ResourceError, FormatError, NetworkError, AccessDeniedError };
    Q_ENUM(Error)

    explicit MediaPlayer(QObject *parent = nullptr);
    ~MediaPlayer() override;

    void setSource(const QUrl &source);
    QUrl source() const;
    void play();
    void pause();
    void stop();
    qint64 position() const;
    void setPosition(qint64 ms);
    qint64 duration() const;
    PlaybackState playbackState() const;
    MediaStatus mediaStatus() const;
    bool hasVideo() const;
    double playbackRate() const;
    void setPlaybackRate(double rate);
    float volume() const { return m_volume; }
    void setVolume(float volume);
    bool isMuted() const { return m_muted; }
    void setMuted(bool muted);
    QString videoCodec() const;
    QString audioCodec() const;

    // Frames are received from now on; each new one is announced by videoFrameChanged.
    void receiveVideo();
    // The size of the last frame received; empty when there is none.
    QSize frameSize() const;
    void paintFrame(QPainter &painter, const QRectF &target);
    void forgetFrame();

    // The media module's file, as found; empty when there is none.
    static QString modulePath();

signals:
    void mediaStatusChanged(MediaPlayer::MediaStatus status);
    void playbackStateChanged(MediaPlayer::PlaybackState state);
    void errorOccurred(MediaPlayer::Error error, const QString &errorString);
    void durationChanged(qint64 ms);
    void positionChanged(qint64 ms);
    void metaDataChanged();
    void videoFrameChanged();

private:
    // MediaBackendEvents
    void reportMediaStatus(int status) override;
    void reportPlaybackState(int state) override;
    void reportError(int error, const QString &text) override;
    void reportDuration(qint64 ms) override { emit durationChanged(ms); }
    void reportPosition(qint64 ms) override { emit positionChanged(ms); }
    void reportMetaData() override { emit metaDataChanged(); }
    void reportVideoFrame() override { emit videoFrameChanged(); }

    std::unique_ptr<MediaBackend> m_backend;
    float m_volume = 1.0f;
    bool m_muted = false;
    // Without the module: what a failed source leaves.
    QUrl m_source;
    MediaStatus m_status = NoMedia;
};
