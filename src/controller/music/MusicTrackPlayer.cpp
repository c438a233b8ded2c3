#include "controller/music/MusicTrackPlayer.h"

#include "viewer/movie/MediaPlayer.h"
#include "viewer/movie/MediaSetup.h"

#include <QFile>
#include <QFileInfo>
#include <QTimer>
#include <QUrl>

#include <fcntl.h>
#include <linux/cdrom.h>
#include <sys/ioctl.h>
#include <unistd.h>

MusicTrackPlayer::MusicTrackPlayer(QObject *parent)
    : QObject(parent)
    , m_player(this, [this](MediaPlayer &player) { connectPlayer(player); })
{ }

void MusicTrackPlayer::connectPlayer(MediaPlayer &player)
{
    connect(&player, &MediaPlayer::mediaStatusChanged, this,
            [this](MediaPlayer::MediaStatus status) {
                if (status != MediaPlayer::EndOfMedia || m_opening)
                    return;
                // Queued: the next track is opened outside the backend's own notification.
                QTimer::singleShot(0, this, [this] {
                    if (onEnded)
                        onEnded();
                });
            });
    connect(&player, &MediaPlayer::errorOccurred, this, [this, &player] {
        if (m_opening || player.playbackState() == MediaPlayer::StoppedState)
            return;
        QTimer::singleShot(0, this, [this] {
            if (onEnded)
                onEnded();
        });
    });
    connect(&player, &MediaPlayer::positionChanged, this, &MusicTrackPlayer::positionChanged);
    connect(&player, &MediaPlayer::durationChanged, this, &MusicTrackPlayer::positionChanged);
}

MusicTrackPlayer::~MusicTrackPlayer()
{
    if (MediaPlayer *player = m_player.made())
        player->stop();
}

bool MusicTrackPlayer::openAndPlay(const QString &source)
{
    QUrl url;
    if (source.contains(QLatin1String("://"))) {
        url = QUrl(source);
    } else {
        // A missing file is known without asking the backend.
        if (!QFileInfo(source).isFile())
            return false;
        url = QUrl::fromLocalFile(source);
    }
    m_opening = true;
    const MediaSetup::LoadResult result
        = MediaSetup::waitForLoad(m_player.get(), MediaSetup::openTimeoutMs, [&] {
              m_player.get().stop();
              m_player.get().setSource(url);
          });
    m_opening = false;
    if (result != MediaSetup::LoadResult::Loaded) {
        m_player.get().setSource(QUrl());
        return false;
    }
    m_player.get().play();
    return true;
}

void MusicTrackPlayer::close()
{
    if (MediaPlayer *player = m_player.made()) {
        player->stop();
        player->setSource(QUrl());
    }
}

void MusicTrackPlayer::play()
{
    m_player.get().play();
}

void MusicTrackPlayer::pause()
{
    if (MediaPlayer *player = m_player.made())
        player->pause();
}

void MusicTrackPlayer::stop()
{
    if (MediaPlayer *player = m_player.made())
        player->stop();
}

qint64 MusicTrackPlayer::positionMs() const
{
    const MediaPlayer *player = m_player.made();
    return player ? player->position() : 0;
}

qint64 MusicTrackPlayer::durationMs() const
{
    const MediaPlayer *player = m_player.made();
    return player ? player->duration() : 0;
}

int MusicTrackPlayer::volume() const
{
    return int(m_player.volume() * 100.0f + 0.5f);
}

void MusicTrackPlayer::setVolume(int percent)
{
    m_player.setVolume(float(qBound(0, percent, 100)) / 100.0f);
}

QStringList MusicTrackPlayer::cdTracks(const QString &device)
{
    QStringList tracks;
    const int fd = ::open(QFile::encodeName(device).constData(), O_RDONLY | O_NONBLOCK);
    if (fd < 0)
        return tracks;
    cdrom_tochdr header {};
    if (::ioctl(fd, CDROM_DRIVE_STATUS, CDSL_CURRENT) == CDS_DISC_OK
        && ::ioctl(fd, CDROMREADTOCHDR, &header) == 0) {
        for (int t = header.cdth_trk0; t <= header.cdth_trk1; ++t) {
            // Data tracks cannot be played as sound.
            cdrom_tocentry entry {};
            entry.cdte_track = __u8(t);
            entry.cdte_format = CDROM_MSF;
            if (::ioctl(fd, CDROMREADTOCENTRY, &entry) == 0
                && !(entry.cdte_ctrl & CDROM_DATA_TRACK))
                tracks << QStringLiteral("cdda://%1").arg(t);
        }
    }
    ::close(fd);
    return tracks;
}
