#include "viewer/movie/raView.h"

#include "viewer/movie/MediaPlayer.h"
#include "viewer/movie/MediaSetup.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QElapsedTimer>
#include <QTimer>

#include <algorithm>
#include <limits>

namespace {

constexpr int watchMs = 250;
constexpr int stopWaitMs = 1000;
constexpr int stopAttempts = 6;
// A clip without picture has told all it will once it is loaded; one with a picture has its
// size with the first frame.
constexpr int noPictureGraceMs = 300;

int stateCode(MediaPlayer::PlaybackState state)
{
    switch (state) {
    case MediaPlayer::PlayingState:
        return RealPlayerPort::Playing;
    case MediaPlayer::PausedState:
        return RealPlayerPort::Paused;
    case MediaPlayer::StoppedState:
        break;
    }
    return RealPlayerPort::Stopped;
}

qint64 now()
{
    return QDateTime::currentMSecsSinceEpoch();
}

} // namespace

raView::raView(QWidget *parent)
    : VideoSurface(parent)
    , m_player(this, [this](MediaPlayer &player) { connectPlayer(player); })
    , m_watch(new QTimer(this))
{
    setObjectName(QStringLiteral("raView"));
    m_watch->setInterval(watchMs);
    connect(m_watch, &QTimer::timeout, this, &raView::watch);
}

void raView::connectPlayer(MediaPlayer &player)
{
    showFramesOf(player);
    connect(&player, &MediaPlayer::mediaStatusChanged, this,
            [this](MediaPlayer::MediaStatus status) { onStatus(int(status)); });
    connect(&player, &MediaPlayer::playbackStateChanged, this,
            [this](MediaPlayer::PlaybackState state) { onPlaybackState(int(state)); });
    connect(&player, &MediaPlayer::errorOccurred, this,
            [this](MediaPlayer::Error error, const QString &text) {
                m_error = true;
                emit OnErrorMessage(2, int(error), 0, QStringLiteral("再生エラー"),
                                    m_source.toString(), text);
            });
}

raView::~raView() = default;

MediaPlayer *raView::player()
{
    return &m_player.get();
}

void raView::addGuardedWindow(QWidget *window)
{
    m_guarded << window;
}

void raView::setWindowsEnabled(bool enabled)
{
    for (const QPointer<QWidget> &w : std::as_const(m_guarded)) {
        if (w)
            w->setEnabled(enabled);
    }
}

void raView::setSource(const QString &url)
{
    m_source = QUrl(url);
    m_clipOpened = false;
    m_recoveries = 0;
    forgetFrames();
    m_player.get().setSource(m_source);
}

void raView::onStatus(int status)
{
    if (MediaPlayer::MediaStatus(status) == MediaPlayer::EndOfMedia && !m_quiet)
        reportClosed();
}

void raView::onPlaybackState(int state)
{
    const int old = m_state;
    m_state = stateCode(MediaPlayer::PlaybackState(state));
    m_lastPosition = -1;
    if (m_state == Playing)
        m_watch->start();
    else
        m_watch->stop();
    if (old != m_state)
        emit OnPlayStateChange(old, m_state);
}

void raView::reportClosed()
{
    m_watch->stop();
    emit OnClipClosed();
}

bool raView::opened() const
{
    const MediaPlayer *player = m_player.made();
    return player && player->mediaStatus() != MediaPlayer::LoadingMedia
        && player->mediaStatus() != MediaPlayer::NoMedia
        && player->mediaStatus() != MediaPlayer::InvalidMedia;
}

RealPlayerPort::OpenResult raView::openRealClip(const QString &path, bool keepAspectRatio)
{
    m_error = false;
    setMaintainAspect(keepAspectRatio);
    // The clip's own sound waits until it is known to be shown.
    m_player.setMuted(true);
    setWindowsEnabled(false);
    QElapsedTimer opening;
    opening.start();
    MediaSetup::waitForLoad(m_player.get(), openWaitMs, [&] {
        setSource(QUrl::fromLocalFile(path).toString());
        DoPlay();
    });
    qint64 loadedAt = 0;
    const auto reported = [&] {
        if (m_error)
            return true;
        if (!opened())
            return false;
        if (!loadedAt)
            loadedAt = now();
        if (!videoFrameSize().isEmpty())
            return true;
        // A clip without picture has no frame to wait for.
        return !m_player.get().hasVideo() && now() - loadedAt >= noPictureGraceMs;
    };
    const bool inTime
        = MediaSetup::waitUntil(reported, std::max<qint64>(0, openWaitMs - opening.elapsed()));
    setWindowsEnabled(true);
    m_player.setMuted(m_mutedSetting);

    if (!inTime || m_error || GetLength() <= 0) {
        RealPlayerStop();
        return OpenResult::NotReported;
    }
    m_clipOpened = true;
    emit OnClipOpened(GetLength());
    if (videoFrameSize().isEmpty()) {
        // Nothing to show: the clip must not go on playing unseen.
        RealPlayerStop();
        return OpenResult::NoPicture;
    }
    resize(videoFrameSize());
    return OpenResult::Shown;
}

void raView::resetForNextFile()
{
    setVisible(false);
    if (m_state != Stopped)
        RealPlayerStop();
    setLeft(parkedLeft);
}

void raView::DoPlay()
{
    m_player.get().play();
}

void raView::DoPause()
{
    m_player.get().pause();
}

void raView::DoStop()
{
    m_player.get().stop();
}

int raView::GetLength() const
{
    const MediaPlayer *player = m_player.made();
    return player ? int(std::min<qint64>(player->duration(), std::numeric_limits<int>::max())) : 0;
}

void raView::playCurrentClip()
{
    if (m_state == Stopped || m_state == Paused)
        DoPlay();
}

void raView::pauseCurrentClip()
{
    if (m_state == Playing)
        DoPause();
}

void raView::RealPlayerStop()
{
    setWindowsEnabled(false);
    const bool wasQuiet = m_quiet;
    m_quiet = true;
    m_error = false;
    if (m_state == Paused) {
        DoPlay();
        QCoreApplication::processEvents();
    }
    int attempts = 0;
    do {
        DoStop();
        MediaSetup::waitUntil([this] { return m_state == Stopped || m_error; }, stopWaitMs);
        ++attempts;
    } while (m_state != Stopped && attempts < stopAttempts && !m_error);
    m_quiet = wasQuiet;
    setWindowsEnabled(true);
}

int raView::position() const
{
    const MediaPlayer *player = m_player.made();
    return player ? int(std::min<qint64>(player->position(), std::numeric_limits<int>::max())) : 0;
}

void raView::setPosition(int milliseconds)
{
    m_player.get().setPosition(milliseconds);
}

void raView::setVolume(int percent, bool muted)
{
    m_volume = std::clamp(percent, 0, 100);
    m_mutedSetting = muted;
    m_player.setVolume(float(m_volume) / 100.0f);
    m_player.setMuted(muted);
}

PlaybackInfo raView::playbackInfo() const
{
    PlaybackInfo info = surfaceInfo();
    info.fileName = m_source.isLocalFile() ? m_source.toLocalFile() : m_source.toString();
    info.duration = GetLength() / 1000.0;
    info.position = position() / 1000.0;
    return info;
}

void raView::watch()
{
    if (m_state != Playing || !m_clipOpened)
        return;
    const int pos = position();
    if (pos != m_lastPosition) {
        m_lastPosition = pos;
        m_stillSince = now();
        if (m_recoveries && pos - m_recoveredAt > stallMs)
            m_recoveries = 0; // it plays again: a later freeze may be mended once more
        emit OnPositionChange(pos, GetLength());
        return;
    }
    if (now() - m_stillSince < stallMs)
        return;
    recoverFromStall();
}

void raView::recoverFromStall()
{
    m_watch->stop();
    const int at = m_lastPosition;
    const bool atEnd = GetLength() > 0 && at >= GetLength() - stallMs;
    if (atEnd || m_recoveries > 0) {
        // Frozen again, or just before its end: the clip is over.
        m_quiet = true;
        m_player.get().stop();
        m_quiet = false;
        reportClosed();
        return;
    }
    ++m_recoveries;
    m_recoveredAt = at;
    // Opening afresh thaws the pipeline; the seek is made before playing starts, which
    // RealMedia takes, unlike one in the middle of playback.
    m_quiet = true;
    m_player.get().setSource(QUrl());
    m_player.get().setSource(m_source);
    m_player.get().setPosition(at);
    m_player.get().play();
    m_quiet = false;
}
