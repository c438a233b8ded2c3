#pragma once

#include "engine/MusicPlayerPort.h"

class MusicPlayer;
class Options;

// What the show and the BGM commands ask of the music player: starting it with the page's
// settings, remembering the entry, and play/pause, stop, back and forward.
class BgmControl : public MusicPlayerPort
{
public:
    BgmControl(MusicPlayer &player, Options &options);

    // MusicPlayerPort
    void startMusic(int playCount, const QString &file, int startingEntry) override;
    void rememberBgmEntry() override;
    void closeMusic() override;
    void pauseBgm() override;
    void resumeBgm() override;

    // Play when stopped or paused, pause when playing.
    void mnuBGM_Play_Click();
    // Stops a playing or paused source; it stays open.
    void mnuBGM_Stop_Click();
    void mnuBGM_Back_Click();
    void mnuBGM_Forward_Click();
    // "テスト": opens the source and plays it now, whatever the page's check boxes say.
    void testPlay(const QString &source);

private:
    MusicPlayer &m_player;
    Options &m_options;
};
