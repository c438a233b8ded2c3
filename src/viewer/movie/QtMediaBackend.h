#pragma once

#include "viewer/movie/MediaBackend.h"

#include <QObject>
#include <QVideoFrame>

class QAudioOutput;
class QMediaPlayer;
class QVideoSink;

// The media module's player: a QMediaPlayer with its sound output and, once asked, a video
// sink whose frames it keeps for painting.
class QtMediaBackend : public QObject, public MediaBackend
{
    Q_OBJECT
public:
    explicit QtMediaBackend(MediaBackendEvents *events);
    ~QtMediaBackend() override;

    void setSource(const QUrl &source) override;
    QUrl source() const override;
    void play() override;
    void pause() override;
    void stop() override;
    qint64 position() const override;
    void setPosition(qint64 ms) override;
    qint64 duration() const override;
    int playbackState() const override;
    int mediaStatus() const override;
    bool hasVideo() const override;
    double playbackRate() const override;
    void setPlaybackRate(double rate) override;
    void setVolume(float volume) override;
    void setMuted(bool muted) override;
    QString videoCodec() const override;
    QString audioCodec() const override;
    void receiveVideo() override;
    QSize frameSize() const override { return m_frame.size(); }
    void paintFrame(QPainter &painter, const QRectF &target) override;
    void forgetFrame() override { m_frame = QVideoFrame(); }

private:
    MediaBackendEvents *m_events;
    QMediaPlayer *m_player;
    QAudioOutput *m_output;
    QVideoSink *m_sink = nullptr;
    QVideoFrame m_frame;
};
