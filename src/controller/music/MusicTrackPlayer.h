#pragma once

#include "controller/music/TrackPlayer.h"
#include "viewer/movie/LazyMediaPlayer.h"

#include <QObject>
#include <QStringList>

class MediaPlayer;

// The track player over an audio-only MediaPlayer, set up as the movie players are.
class MusicTrackPlayer : public QObject, public TrackPlayer
{
    Q_OBJECT
public:
    explicit MusicTrackPlayer(QObject *parent = nullptr);
    ~MusicTrackPlayer() override;

    bool openAndPlay(const QString &source) override;
    void close() override;
    void play() override;
    void pause() override;
    void stop() override;
    qint64 positionMs() const override;
    qint64 durationMs() const override;

    // 0 … 100.
    int volume() const;
    void setVolume(int percent);

    // The audio CD's tracks as cdda:// sources, when the drive holds a disc with audio tracks.
    static QStringList cdTracks(const QString &device = QStringLiteral("/dev/cdrom"));

signals:
    void positionChanged();

private:
    void connectPlayer(MediaPlayer &player);

    LazyMediaPlayer m_player;
    // Set while a source is being opened, so the end of the one before is not taken as ours.
    bool m_opening = false;
};
