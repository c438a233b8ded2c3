#pragma once

#include <functional>

class MediaPlayer;

// What every player of the program shares: a bounded wait for a file to open. Both the
// viewer's players and the music player use it.
namespace MediaSetup {

// Runs the event loop until `done` holds or `timeoutMs` has passed; true when `done` held.
// The loop wakes every few milliseconds to look at `done`, so the callers need not wire
// signals to it.
bool waitUntil(const std::function<bool()> &done, int timeoutMs);

enum class LoadResult { Loaded, Failed, TimedOut };
// Runs `start` (which sets the player's source), then waits with the event loop running until
// the source is loaded (LoadedMedia or beyond) or has failed (InvalidMedia, an error, or the
// source closed meanwhile). Errors are watched from before `start`, because the backend may
// report one while the source is being set, and because the player keeps reporting the error
// of an earlier source in error() until another one occurs. A source still loading after a
// while is set once more, and played again if it was playing: the GStreamer backend now and
// then stays "loading" for good, with a busy machine more often.
LoadResult waitForLoad(MediaPlayer &player, int timeoutMs, const std::function<void()> &start);

// How long a file may take to open before it counts as broken.
constexpr int openTimeoutMs = 3000;

} // namespace MediaSetup
