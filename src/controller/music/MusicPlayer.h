#pragma once

#include "controller/music/MusicPlayList.h"

#include <QObject>
#include <QStringList>

#include <functional>

class TrackPlayer;

// The controller's music player, MediaPlayer1: opens a music file, a play list or the audio
// CD and plays its entries in order, the whole source PlayCount times (0: without end).
// Markers inside a single source are not offered.
class MusicPlayer : public QObject
{
    Q_OBJECT
public:
    enum State { Stopped = 0, Paused = 1, Playing = 2 };

    explicit MusicPlayer(TrackPlayer &track, QObject *parent = nullptr);

    // The tracks of the audio CD in the drive, as sources the track player plays; empty
    // without a drive or a disc.
    void setCdTracks(std::function<QStringList()> tracks) { m_cdTracks = std::move(tracks); }

    QString FileName() const { return m_fileName; }
    // Opens the source and starts it; "" closes it.
    void setFileName(const QString &source);
    void Open(const QString &source) { setFileName(source); }
    int PlayCount() const { return m_playCount; }
    void setPlayCount(int count) { m_playCount = count < 0 ? 0 : count; }
    int PlayState() const { return m_state; }

    void Play();
    void Pause();
    void Stop();

    bool HasMultipleItems() const { return EntryCount() > 1; }
    int EntryCount() const { return int(m_entries.size()); }
    // 1-based; 0 when nothing is open.
    int GetCurrentEntry() const { return m_entries.empty() ? 0 : m_current; }
    // Moves to entry n (1 … EntryCount) and plays it; other numbers are ignored.
    void SetCurrentEntry(int n);
    // The next entry; nothing on the last.
    void Next();
    // The previous entry; on the first, that entry from its start.
    void Previous();

    bool CanSeekToMarkers() const { return false; }
    int MarkerCount() const { return 0; }
    int CurrentMarker() const { return 0; }

    // The title of the current entry; empty when nothing is open.
    QString title() const;
    qint64 positionMs() const;
    qint64 durationMs() const;

signals:
    // The state, the entry or the source changed.
    void changed();

private:
    // Opens entries from `from` on until one plays, at most one round of the list; stops
    // when none does.
    void playFrom(int from);
    void trackEnded();
    void setState(State state);

    TrackPlayer &m_track;
    std::function<QStringList()> m_cdTracks;
    QString m_fileName;
    std::vector<MusicEntry> m_entries;
    int m_current = 1;
    int m_playCount = 0;
    // Complete plays of the source since it was opened or last played from a stop.
    int m_playsDone = 0;
    State m_state = Stopped;
    bool m_trackOpen = false;
};
