#include "viewer/movie/QtMediaBackend.h"

#include <QAudioOutput>
#include <QMediaMetaData>
#include <QMediaPlayer>
#include <QPainter>
#include <QVideoSink>

namespace {

QString codecName(const QMediaMetaData &meta, QMediaMetaData::Key key)
{
    const QVariant value = meta.value(key);
    const QString name = value.isValid() ? meta.stringValue(key) : QString();
    return name == u"Invalid" || name == u"Unspecified" ? QString() : name;
}

} // namespace

QtMediaBackend::QtMediaBackend(MediaBackendEvents *events)
    : m_events(events)
    , m_player(new QMediaPlayer(this))
    , m_output(new QAudioOutput(this))
{
    m_player->setAudioOutput(m_output);
    connect(m_player, &QMediaPlayer::mediaStatusChanged, this,
            [this](QMediaPlayer::MediaStatus status) { m_events->reportMediaStatus(status); });
    connect(m_player, &QMediaPlayer::playbackStateChanged, this,
            [this](QMediaPlayer::PlaybackState state) { m_events->reportPlaybackState(state); });
    connect(m_player, &QMediaPlayer::errorOccurred, this,
            [this](QMediaPlayer::Error error, const QString &text) {
                m_events->reportError(error, text);
            });
    connect(m_player, &QMediaPlayer::durationChanged, this,
            [this](qint64 ms) { m_events->reportDuration(ms); });
    connect(m_player, &QMediaPlayer::positionChanged, this,
            [this](qint64 ms) { m_events->reportPosition(ms); });
    connect(m_player, &QMediaPlayer::metaDataChanged, this, [this] { m_events->reportMetaData(); });
}

QtMediaBackend::~QtMediaBackend()
{
    // Nothing is reported while the pipeline is taken down.
    m_player->disconnect(this);
    if (m_sink)
        m_sink->disconnect(this);
    m_player->setVideoSink(nullptr);
    m_player->setSource(QUrl());
}

void QtMediaBackend::setSource(const QUrl &source)
{
    m_player->setSource(source);
}

QUrl QtMediaBackend::source() const
{
    return m_player->source();
}

void QtMediaBackend::play()
{
    m_player->play();
}

void QtMediaBackend::pause()
{
    m_player->pause();
}

void QtMediaBackend::stop()
{
    m_player->stop();
}

qint64 QtMediaBackend::position() const
{
    return m_player->position();
}

void QtMediaBackend::setPosition(qint64 ms)
{
    m_player->setPosition(ms);
}

qint64 QtMediaBackend::duration() const
{
    return m_player->duration();
}

int QtMediaBackend::playbackState() const
{
    return m_player->playbackState();
}

int QtMediaBackend::mediaStatus() const
{
    return m_player->mediaStatus();
}

bool QtMediaBackend::hasVideo() const
{
    return m_player->hasVideo();
}

double QtMediaBackend::playbackRate() const
{
    return m_player->playbackRate();
}

void QtMediaBackend::setPlaybackRate(double rate)
{
    m_player->setPlaybackRate(rate);
}

void QtMediaBackend::setVolume(float volume)
{
    m_output->setVolume(volume);
}

void QtMediaBackend::setMuted(bool muted)
{
    m_output->setMuted(muted);
}

QString QtMediaBackend::videoCodec() const
{
    return codecName(m_player->metaData(), QMediaMetaData::VideoCodec);
}

QString QtMediaBackend::audioCodec() const
{
    return codecName(m_player->metaData(), QMediaMetaData::AudioCodec);
}

void QtMediaBackend::receiveVideo()
{
    if (m_sink)
        return;
    m_sink = new QVideoSink(this);
    // The sink may report from the pipeline's thread: the frame is taken on this object's one.
    connect(m_sink, &QVideoSink::videoFrameChanged, this, [this](const QVideoFrame &frame) {
        // An invalid frame ends a stream; the last picture stays until it is forgotten.
        if (!frame.isValid())
            return;
        m_frame = frame;
        m_events->reportVideoFrame();
    });
    m_player->setVideoSink(m_sink);
}

void QtMediaBackend::paintFrame(QPainter &painter, const QRectF &target)
{
    if (m_frame.isValid())
        m_frame.paint(&painter, target, QVideoFrame::PaintOptions());
}

extern "C" Q_DECL_EXPORT MediaBackend *lunetta_media_create(MediaBackendEvents *events)
{
    // Qt 6.4's ffmpeg backend crashes on machines without an audio device; GStreamer is the
    // one the program is tested with. Set before the first player is made.
    if (qEnvironmentVariableIsEmpty("QT_MEDIA_BACKEND"))
        qputenv("QT_MEDIA_BACKEND", "gstreamer");
    return new QtMediaBackend(events);
}
