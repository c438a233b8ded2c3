#include "viewer/movie/LazyMediaPlayer.h"

#include "viewer/movie/MediaPlayer.h"

#include <QUrl>

LazyMediaPlayer::LazyMediaPlayer(QObject *owner, std::function<void(MediaPlayer &)> setup)
    : m_owner(owner)
    , m_setup(std::move(setup))
{ }

LazyMediaPlayer::~LazyMediaPlayer()
{
    if (m_player)
        m_player->setSource(QUrl());
}

MediaPlayer &LazyMediaPlayer::get()
{
    if (!m_player) {
        m_player = new MediaPlayer(m_owner);
        m_player->setVolume(m_volume);
        m_player->setMuted(m_muted);
        m_setup(*m_player);
    }
    return *m_player;
}

void LazyMediaPlayer::setVolume(float volume)
{
    m_volume = volume;
    if (m_player)
        m_player->setVolume(volume);
}

void LazyMediaPlayer::setMuted(bool muted)
{
    m_muted = muted;
    if (m_player)
        m_player->setMuted(muted);
}
