#include "controller/music/MusicPlayer.h"

#include "controller/music/TrackPlayer.h"

MusicPlayer::MusicPlayer(TrackPlayer &track, QObject *parent)
    : QObject(parent)
    , m_track(track)
{
    // Queued in effect: the real track player reports the end from its own signal.
    m_track.onEnded = [this] {
        trackEnded();
    };
}

void MusicPlayer::setFileName(const QString &source)
{
    m_track.close();
    m_trackOpen = false;
    m_entries.clear();
    m_fileName = source;
    m_current = 1;
    m_playsDone = 0;
    m_state = Stopped;
    if (!source.isEmpty()) {
        if (source.compare(QLatin1String("CDAUDIO:"), Qt::CaseInsensitive) == 0) {
            const QStringList tracks = m_cdTracks ? m_cdTracks() : QStringList();
            for (int i = 0; i < tracks.size(); ++i)
                m_entries.push_back({ tracks[i], QStringLiteral("トラック %1").arg(i + 1) });
        } else if (MusicPlayList::isPlayList(source)) {
            m_entries = MusicPlayList::read(source);
        } else {
            m_entries.push_back({ source, MusicPlayList::defaultTitle(source) });
        }
        playFrom(1);
    }
    emit changed();
}

void MusicPlayer::playFrom(int from)
{
    const int count = EntryCount();
    for (int tried = 0; tried < count; ++tried) {
        const int n = (from - 1 + tried) % count + 1;
        if (tried > 0 && n == 1) {
            // Skipping past the end completes a play of the source.
            ++m_playsDone;
            if (m_playCount > 0 && m_playsDone >= m_playCount)
                break;
        }
        if (m_track.openAndPlay(m_entries[size_t(n - 1)].source)) {
            m_current = n;
            m_trackOpen = true;
            setState(Playing);
            return;
        }
    }
    // Nothing plays: the music stops, with no message and no retrying.
    m_trackOpen = false;
    m_track.close();
    m_current = 1;
    m_playsDone = 0;
    setState(Stopped);
}

void MusicPlayer::trackEnded()
{
    if (m_state != Playing)
        return;
    if (m_current < EntryCount()) {
        playFrom(m_current + 1);
        emit changed();
        return;
    }
    ++m_playsDone;
    if (m_playCount == 0 || m_playsDone < m_playCount) {
        playFrom(1);
    } else {
        // Played out: stopped at the first entry, the source still open for "play".
        m_track.stop();
        m_current = 1;
        m_playsDone = 0;
        m_trackOpen = false;
        setState(Stopped);
    }
    emit changed();
}

void MusicPlayer::setState(State state)
{
    m_state = state;
}

void MusicPlayer::Play()
{
    if (m_entries.empty() || m_state == Playing)
        return;
    if (m_state == Paused && m_trackOpen) {
        m_track.play();
        setState(Playing);
    } else if (m_trackOpen) {
        m_track.play();
        setState(Playing);
    } else {
        playFrom(m_current);
    }
    emit changed();
}

void MusicPlayer::Pause()
{
    if (m_state != Playing)
        return;
    m_track.pause();
    setState(Paused);
    emit changed();
}

void MusicPlayer::Stop()
{
    if (m_state == Stopped)
        return;
    m_track.stop();
    m_playsDone = 0;
    setState(Stopped);
    emit changed();
}

void MusicPlayer::SetCurrentEntry(int n)
{
    if (n < 1 || n > EntryCount())
        return;
    playFrom(n);
    emit changed();
}

void MusicPlayer::Next()
{
    if (m_entries.empty() || m_current >= EntryCount())
        return;
    SetCurrentEntry(m_current + 1);
}

void MusicPlayer::Previous()
{
    if (m_entries.empty())
        return;
    SetCurrentEntry(m_current > 1 ? m_current - 1 : 1);
}

QString MusicPlayer::title() const
{
    return m_entries.empty() ? QString() : m_entries[size_t(m_current - 1)].title;
}

qint64 MusicPlayer::positionMs() const
{
    return m_trackOpen ? m_track.positionMs() : 0;
}

qint64 MusicPlayer::durationMs() const
{
    return m_trackOpen ? m_track.durationMs() : 0;
}
