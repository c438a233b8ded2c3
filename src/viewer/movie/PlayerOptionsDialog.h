#pragma once

#include "viewer/movie/PlaybackInfo.h"

#include <QDialog>

#include <functional>

class QCheckBox;
class QLabel;
class QSlider;
class QTimer;

// A player's options: what it plays now (file, codecs, size, length, position, kept up to
// date while the dialog is open) and the volume and muting of the viewer's players.
class PlayerOptionsDialog : public QDialog
{
    Q_OBJECT
public:
    PlayerOptionsDialog(const QString &title, std::function<PlaybackInfo()> info, int volume,
                        bool muted, QWidget *parent = nullptr);

    int volume() const;
    bool muted() const;
    // Shows the clip's state now; also called by the dialog's own timer.
    void refresh();
    static QString timeText(double seconds);

signals:
    // The volume or the mute switch changed.
    void volumeChanged(int volume, bool muted);

private:
    std::function<PlaybackInfo()> m_info;
    QLabel *m_file;
    QLabel *m_video;
    QLabel *m_audio;
    QLabel *m_size;
    QLabel *m_duration;
    QLabel *m_position;
    QSlider *m_volume;
    QCheckBox *m_mute;
    QTimer *m_timer;
};
