#pragma once

#include <QFrame>

class BgmControl;
class MusicPlayer;
class MusicTrackPlayer;
class QLabel;
class QSlider;
class QToolButton;

// The music player's strip in the controller: what plays, where it is, the transport
// buttons and the volume.
class MusicPlayerStrip : public QFrame
{
    Q_OBJECT
public:
    MusicPlayerStrip(MusicPlayer &player, BgmControl &control, MusicTrackPlayer &track,
                     QWidget *parent = nullptr);

    QString titleText() const;
    QString timeText() const;

private:
    void refresh();

    MusicPlayer &m_player;
    MusicTrackPlayer &m_track;
    QLabel *m_title = nullptr;
    QLabel *m_time = nullptr;
    QToolButton *m_play = nullptr;
    bool m_showsPause = false;
    QSlider *m_volume = nullptr;
};
