#include "viewer/mpView.h"

#include "viewer/MediaSetup.h"

#include <QAudioOutput>
#include <QMediaMetaData>
#include <QMediaPlayer>
#include <QUrl>

#include <algorithm>

namespace {

// Parked far outside the display area while not in use.
constexpr int parkedLeft = -10000;

int stateCode(QMediaPlayer::PlaybackState state)
{
    switch (state) {
    case QMediaPlayer::PlayingState:
        return MoviePlayerPort::Playing;
    case QMediaPlayer::PausedState:
        return MoviePlayerPort::Paused;
    case QMediaPlayer::StoppedState:
        break;
    }
    return MoviePlayerPort::Stopped;
}

} // namespace

mpView::mpView(QWidget *parent)
    : VideoSurface(parent)
    , m_player(new QMediaPlayer(this))
    , m_audio(new QAudioOutput(this))
{
    setObjectName(QStringLiteral("mpView"));
    m_player->setAudioOutput(m_audio);
    m_player->setVideoSink(videoSink());
    connect(m_player, &QMediaPlayer::metaDataChanged, this,
            [this] { noteCodecs(m_player->metaData(), m_codecs); });
    connect(m_player, &QMediaPlayer::mediaStatusChanged, this,
            [this](QMediaPlayer::MediaStatus status) { onStatus(int(status)); });
    connect(m_player, &QMediaPlayer::errorOccurred, this, [this] { emit Error(); });
    connect(m_player, &QMediaPlayer::playbackStateChanged, this,
            [this](QMediaPlayer::PlaybackState state) {
                const int old = m_state;
                m_state = stateCode(state);
                if (old != m_state)
                    emit PlayStateChange(old, m_state);
            });
    // A length found only after the stream was announced is announced again.
    connect(m_player, &QMediaPlayer::durationChanged, this, [this](qint64 ms) {
        if (m_streamAnnounced && ms > 0)
            emit NewStream();
    });
}

mpView::~mpView()
{
    // Stop the pipeline before the surface it draws on goes.
    m_player->setVideoSink(nullptr);
    m_player->setSource(QUrl());
}

void mpView::setFileName(const QString &path)
{
    m_fileName = path;
    m_streamAnnounced = false;
    m_codecs = PlaybackInfo();
    forgetFrames();
    // A local file's name goes into a URL as it is: blanks, quotes and any script stay part of
    // the name, and no shell ever sees it.
    m_player->setSource(path.isEmpty() ? QUrl() : QUrl::fromLocalFile(path));
}

void mpView::onStatus(int status)
{
    switch (QMediaPlayer::MediaStatus(status)) {
    case QMediaPlayer::LoadedMedia:
        if (!m_streamAnnounced) {
            m_streamAnnounced = true;
            emit NewStream();
        }
        break;
    case QMediaPlayer::EndOfMedia:
        emit EndOfStream(0);
        break;
    default:
        break;
    }
}

bool mpView::openMovie(const QString &path)
{
    bool failed = false;
    const QMetaObject::Connection onError
        = connect(this, &mpView::Error, this, [&failed] { failed = true; });
    bool shown
        = MediaSetup::waitForLoad(*m_player, MediaSetup::openTimeoutMs, [&] { setFileName(path); })
            == MediaSetup::LoadResult::Loaded
        && !failed && m_player->hasVideo();
    if (shown) {
        // The source's size comes with its first frame; pausing makes the player decode it.
        m_player->pause();
        shown = MediaSetup::waitUntil(
                    [&] { return failed || !videoFrameSize().isEmpty() || m_fileName.isEmpty(); },
                    MediaSetup::openTimeoutMs)
            && !failed && !videoFrameSize().isEmpty();
    }
    disconnect(onError);
    if (!shown)
        closeFile();
    return shown;
}

void mpView::resetForNextFile()
{
    setVisible(false);
    closeFile();
    setAutoSize(true);
    setDisplaySize(0);
    setLeft(parkedLeft);
}

double mpView::Duration() const
{
    return m_player->duration() / 1000.0;
}

bool mpView::isDurationValid() const
{
    return m_player->duration() > 0;
}

void mpView::Play()
{
    m_player->play();
}

void mpView::Pause()
{
    m_player->pause();
}

void mpView::playCurrentClip()
{
    if (m_state == Stopped || m_state == Paused)
        Play();
}

void mpView::pauseCurrentClip()
{
    if (m_state == Playing)
        Pause();
}

double mpView::currentPosition() const
{
    return m_player->position() / 1000.0;
}

void mpView::setCurrentPosition(double seconds)
{
    m_player->setPosition(qint64(seconds * 1000));
}

double mpView::rate() const
{
    return m_player->playbackRate();
}

void mpView::setRate(double rate)
{
    m_player->setPlaybackRate(rate);
}

int mpView::playState() const
{
    return m_state;
}

void mpView::setVolume(int percent, bool muted)
{
    m_audio->setVolume(float(std::clamp(percent, 0, 100)) / 100.0f);
    m_audio->setMuted(muted);
}

PlaybackInfo mpView::playbackInfo() const
{
    PlaybackInfo info;
    info.fileName = m_fileName;
    info.videoCodec = m_codecs.videoCodec;
    info.audioCodec = m_codecs.audioCodec;
    info.size = videoFrameSize();
    info.duration = isDurationValid() ? Duration() : 0;
    info.position = currentPosition();
    return info;
}
