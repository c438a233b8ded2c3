#pragma once

#include <QRectF>
#include <QSize>
#include <QString>
#include <QUrl>

class QPainter;

// What a player reports, told by the media module to the program's MediaPlayer. The numbers
// are those of MediaPlayer's enums.
class MediaBackendEvents
{
public:
    virtual void reportMediaStatus(int status) = 0;
    virtual void reportPlaybackState(int state) = 0;
    virtual void reportError(int error, const QString &text) = 0;
    virtual void reportDuration(qint64 ms) = 0;
    virtual void reportPosition(qint64 ms) = 0;
    virtual void reportMetaData() = 0;
    // A new frame is ready to be painted.
    virtual void reportVideoFrame() = 0;

protected:
    ~MediaBackendEvents() = default;
};

// One player of the media module (Qt Multimedia with its sound, codec and network libraries),
// which the program loads only when it first plays a movie or a sound: a show of pictures
// never pays for those libraries at its start. Everything here is inline, so the program and
// the module share no symbols but the module's one factory function.
class MediaBackend
{
public:
    virtual ~MediaBackend() = default;

    virtual void setSource(const QUrl &source) = 0;
    virtual QUrl source() const = 0;
    virtual void play() = 0;
    virtual void pause() = 0;
    virtual void stop() = 0;
    virtual qint64 position() const = 0;
    virtual void setPosition(qint64 ms) = 0;
    virtual qint64 duration() const = 0;
    virtual int playbackState() const = 0;
    virtual int mediaStatus() const = 0;
    virtual bool hasVideo() const = 0;
    virtual double playbackRate() const = 0;
    virtual void setPlaybackRate(double rate) = 0;
    virtual void setVolume(float volume) = 0;
    virtual void setMuted(bool muted) = 0;
    // The codec names of the source's meta data; empty where it names none.
    virtual QString videoCodec() const = 0;
    virtual QString audioCodec() const = 0;

    // Frames are received from now on (a sound-only player never asks).
    virtual void receiveVideo() = 0;
    // The last frame received; kept when a stream ends, until forgotten.
    virtual QSize frameSize() const = 0;
    virtual void paintFrame(QPainter &painter, const QRectF &target) = 0;
    virtual void forgetFrame() = 0;
};

// The module's one exported function.
extern "C" {
using MediaBackendFactory = MediaBackend *(*)(MediaBackendEvents *events);
}
#define LUNETTA_MEDIA_FACTORY "lunetta_media_create"
