#include "viewer/movie/LazyMediaPlayer.h"

#include "viewer/movie/MediaSetup.h"

#include <QAudioOutput>
#include <QMediaPlayer>
#include <QUrl>

LazyMediaPlayer::LazyMediaPlayer(QObject *owner, std::function<void(QMediaPlayer &)> setup)
    : m_owner(owner)
    , m_setup(std::move(setup))
{ }

LazyMediaPlayer::~LazyMediaPlayer()
{
    if (m_player) {
        m_player->setVideoSink(nullptr);
        m_player->setSource(QUrl());
    }
}

QMediaPlayer &LazyMediaPlayer::get()
{
    if (!m_player) {
        MediaSetup::chooseBackend();
        m_player = new QMediaPlayer(m_owner);
        m_output = new QAudioOutput(m_owner);
        m_output->setVolume(m_volume);
        m_output->setMuted(m_muted);
        m_player->setAudioOutput(m_output);
        m_setup(*m_player);
    }
    return *m_player;
}

void LazyMediaPlayer::setVolume(float volume)
{
    m_volume = volume;
    if (m_output)
        m_output->setVolume(volume);
}

void LazyMediaPlayer::setMuted(bool muted)
{
    m_muted = muted;
    if (m_output)
        m_output->setMuted(muted);
}
