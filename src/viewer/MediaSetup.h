#pragma once

#include <functional>

class QMediaPlayer;

// What every player of the program shares: the media backend and a bounded wait for a file
// to open. Both the viewer's players and the music player use it.
namespace MediaSetup {

// Picks Qt's GStreamer backend unless the environment names another. Must run before the
// first player is made: Qt 6.4's ffmpeg backend crashes on machines without an audio device.
void chooseBackend();

// Runs the event loop until `done` holds or `timeoutMs` has passed; true when `done` held.
// The loop wakes every few milliseconds to look at `done`, so the callers need not wire
// signals to it.
bool waitUntil(const std::function<bool()> &done, int timeoutMs);

enum class LoadResult { Loaded, Failed, TimedOut };
// Waits, with the event loop running, until the player's source is loaded (LoadedMedia or
// beyond) or has failed (InvalidMedia, an error, or the source closed meanwhile).
LoadResult waitForLoad(QMediaPlayer &player, int timeoutMs);

// How long a file may take to open before it counts as broken.
constexpr int openTimeoutMs = 3000;

} // namespace MediaSetup
