#pragma once

#include <functional>

class MediaPlayer;
class QObject;

// A media player, made on first use. The first player of a run loads the media module and
// starts the media backend, which takes longer than all the rest of the start-up; a show of
// pictures never needs it, so the first picture does not wait for it.
class LazyMediaPlayer
{
public:
    // `setup` wires the new player to its owner; it runs once, right after the player is made.
    LazyMediaPlayer(QObject *owner, std::function<void(MediaPlayer &)> setup);
    // Stops the pipeline while its owner still exists: the player itself goes with its owner,
    // after the owner's members.
    ~LazyMediaPlayer();
    LazyMediaPlayer(const LazyMediaPlayer &) = delete;
    LazyMediaPlayer &operator=(const LazyMediaPlayer &) = delete;

    // The player, made now if it was not yet.
    MediaPlayer &get();
    // The player if it has been made, else null: for what needs no player to answer.
    MediaPlayer *made() const { return m_player; }

    // Kept until the player is made, then set on it.
    void setVolume(float volume);
    float volume() const { return m_volume; }
    void setMuted(bool muted);

private:
    QObject *m_owner;
    std::function<void(MediaPlayer &)> m_setup;
    MediaPlayer *m_player = nullptr;
    float m_volume = 1.0f;
    bool m_muted = false;
};
