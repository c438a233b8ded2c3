#include "viewer/movie/mpView.h"

#include "viewer/movie/MediaPlayer.h"
#include "viewer/movie/MediaSetup.h"
#include "viewer/movie/ReverseStepper.h"

#include <QUrl>

#include <algorithm>

namespace {

int stateCode(MediaPlayer::PlaybackState state)
{
    switch (state) {
    case MediaPlayer::PlayingState:
        return MoviePlayerPort::Playing;
    case MediaPlayer::PausedState:
        return MoviePlayerPort::Paused;
    case MediaPlayer::StoppedState:
        break;
    }
    return MoviePlayerPort::Stopped;
}

} // namespace

mpView::mpView(QWidget *parent)
    : VideoSurface(parent)
    , m_player(this, [this](MediaPlayer &player) { connectPlayer(player); })
    , m_reverse(new ReverseStepper([this] { return currentPosition(); },
                                   [this](double at) { setCurrentPosition(at); }, this))
{
    setObjectName(QStringLiteral("mpView"));
    // Rewound to the start, the clip stays paused there.
    connect(m_reverse, &ReverseStepper::reachedStart, this, [this] { endRewind(Paused); });
}

void mpView::connectPlayer(MediaPlayer &player)
{
    showFramesOf(player);
    connect(&player, &MediaPlayer::mediaStatusChanged, this,
            [this](MediaPlayer::MediaStatus status) { onStatus(int(status)); });
    connect(&player, &MediaPlayer::errorOccurred, this, [this] { emit Error(); });
    connect(&player, &MediaPlayer::playbackStateChanged, this,
            [this](MediaPlayer::PlaybackState state) {
                // The pause a rewind works in is no change the show should see.
                if (m_reverse->isRunning())
                    return;
                const int old = m_state;
                m_state = stateCode(state);
                if (old != m_state)
                    emit PlayStateChange(old, m_state);
            });
    // A length found only after the stream was announced is announced again.
    connect(&player, &MediaPlayer::durationChanged, this, [this](qint64 ms) {
        if (m_streamAnnounced && ms > 0)
            emit NewStream();
    });
}

mpView::~mpView() = default;

MediaPlayer *mpView::player()
{
    return &m_player.get();
}

void mpView::setFileName(const QString &path)
{
    m_fileName = path;
    m_streamAnnounced = false;
    forgetFrames();
    // A local file's name goes into a URL as it is: blanks, quotes and any script stay part of
    // the name, and no shell ever sees it.
    if (path.isEmpty()) {
        // Closing a player that was never made has nothing to close.
        if (MediaPlayer *player = m_player.made())
            player->setSource(QUrl());
        return;
    }
    m_player.get().setSource(QUrl::fromLocalFile(path));
}

void mpView::onStatus(int status)
{
    switch (MediaPlayer::MediaStatus(status)) {
    case MediaPlayer::LoadedMedia:
        if (!m_streamAnnounced) {
            m_streamAnnounced = true;
            emit NewStream();
        }
        break;
    case MediaPlayer::EndOfMedia:
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
    bool shown = MediaSetup::waitForLoad(m_player.get(), MediaSetup::openTimeoutMs,
                                         [&] { setFileName(path); })
            == MediaSetup::LoadResult::Loaded
        && !failed && m_player.get().hasVideo();
    if (shown) {
        // The source's size comes with its first frame; pausing makes the player decode it.
        m_player.get().pause();
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
    const MediaPlayer *player = m_player.made();
    return player ? player->duration() / 1000.0 : 0.0;
}

bool mpView::isDurationValid() const
{
    const MediaPlayer *player = m_player.made();
    return player && player->duration() > 0;
}

void mpView::Play()
{
    m_player.get().play();
}

void mpView::Pause()
{
    m_player.get().pause();
}

void mpView::playCurrentClip()
{
    if (m_reverse->isRunning())
        endRewind(Playing);
    else if (m_state == Stopped || m_state == Paused)
        Play();
}

void mpView::pauseCurrentClip()
{
    if (m_reverse->isRunning())
        endRewind(Paused);
    else if (m_state == Playing)
        Pause();
}

void mpView::endRewind(int state)
{
    m_reverse->stop();
    if (state == Playing) {
        Play();
        return;
    }
    // The player has been paused all along; the show is told now.
    const int old = m_state;
    m_state = Paused;
    if (old != m_state)
        emit PlayStateChange(old, m_state);
}

double mpView::currentPosition() const
{
    const MediaPlayer *player = m_player.made();
    return player ? player->position() / 1000.0 : 0.0;
}

void mpView::setCurrentPosition(double seconds)
{
    m_player.get().setPosition(qint64(seconds * 1000));
}

double mpView::rate() const
{
    if (m_reverse->isRunning())
        return -m_reverse->speed();
    const MediaPlayer *player = m_player.made();
    return player ? player->playbackRate() : 1.0;
}

void mpView::setRate(double rate)
{
    // Backwards: the player stays paused while the position steps back. A negative rate is not
    // given to the player, which on most clips plays on forwards or stalls.
    if (rate < 0) {
        if (m_reverse->isRunning()) {
            m_reverse->start(-rate);
            return;
        }
        m_rewindResumes = m_state == Playing;
        // Stepping first, so that the pause it works in is not reported as the clip's.
        m_reverse->start(-rate);
        if (m_player.made())
            m_player.get().setPlaybackRate(1.0);
        Pause();
        return;
    }
    if (m_reverse->isRunning())
        endRewind(m_rewindResumes ? Playing : Paused);
    // A player is made at the normal rate: setting that one needs no player yet.
    if (!m_player.made() && rate == 1.0)
        return;
    m_player.get().setPlaybackRate(rate);
}

int mpView::playState() const
{
    return m_state;
}

void mpView::setVolume(int percent, bool muted)
{
    m_player.setVolume(float(std::clamp(percent, 0, 100)) / 100.0f);
    m_player.setMuted(muted);
}

PlaybackInfo mpView::playbackInfo() const
{
    PlaybackInfo info = surfaceInfo();
    info.fileName = m_fileName;
    info.duration = isDurationValid() ? Duration() : 0;
    info.position = currentPosition();
    return info;
}
