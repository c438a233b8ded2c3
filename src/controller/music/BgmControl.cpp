#include "controller/music/BgmControl.h"

#include "controller/music/MusicPlayer.h"
#include "core/Options.h"

BgmControl::BgmControl(MusicPlayer &player, Options &options)
    : m_player(player)
    , m_options(options)
{ }

void BgmControl::startMusic(int playCount, const QString &file, int startingEntry)
{
    m_player.setPlayCount(playCount);
    m_player.setFileName(file);
    // Entry 1 is where the player starts anyway; an entry beyond the source is ignored.
    if (startingEntry > 1) {
        if (m_player.HasMultipleItems()) {
            if (m_player.EntryCount() >= startingEntry)
                m_player.SetCurrentEntry(startingEntry);
        }
        // A single source has no markers in this player, so nothing else can be selected.
    }
}

void BgmControl::rememberBgmEntry()
{
    if (!m_options.isChecked(Opt::chkBGM_RememberLastEntry))
        return;
    const QString file = m_player.FileName();
    if (file.isEmpty() || file != m_options.text(Opt::txtBGM))
        return;
    if (m_player.HasMultipleItems())
        m_options.setText(Opt::txtBGM_StartingEntry, QString::number(m_player.GetCurrentEntry()));
}

void BgmControl::closeMusic()
{
    m_player.setFileName(QString());
}

void BgmControl::pauseBgm()
{
    if (m_player.PlayState() == MusicPlayer::Playing)
        m_player.Pause();
}

void BgmControl::resumeBgm()
{
    const int state = m_player.PlayState();
    if (state == MusicPlayer::Stopped || state == MusicPlayer::Paused)
        m_player.Play();
}

void BgmControl::mnuBGM_Play_Click()
{
    switch (m_player.PlayState()) {
    case MusicPlayer::Stopped:
    case MusicPlayer::Paused:
        m_player.Play();
        break;
    case MusicPlayer::Playing:
        m_player.Pause();
        break;
    }
}

void BgmControl::mnuBGM_Stop_Click()
{
    const int state = m_player.PlayState();
    if (state == MusicPlayer::Paused || state == MusicPlayer::Playing)
        m_player.Stop();
}

void BgmControl::mnuBGM_Back_Click()
{
    if (m_player.HasMultipleItems())
        m_player.Previous();
}

void BgmControl::mnuBGM_Forward_Click()
{
    if (m_player.HasMultipleItems())
        m_player.Next();
}

void BgmControl::testPlay(const QString &source)
{
    m_player.Open(source);
}
