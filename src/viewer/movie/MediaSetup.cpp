#include "viewer/movie/MediaSetup.h"

#include "viewer/movie/MediaPlayer.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>
#include <QUrl>

#include <algorithm>

namespace MediaSetup {

namespace {
constexpr int silentRetryMs = 700;
}

bool waitUntil(const std::function<bool()> &done, int timeoutMs)
{
    if (done())
        return true;
    QElapsedTimer elapsed;
    elapsed.start();
    QEventLoop loop;
    QTimer poll;
    poll.setInterval(5);
    QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
        if (done() || elapsed.elapsed() >= timeoutMs)
            loop.quit();
    });
    poll.start();
    loop.exec();
    return done();
}

LoadResult waitForLoad(MediaPlayer &player, int timeoutMs, const std::function<void()> &start)
{
    bool failed = false;
    const QMetaObject::Connection onError = QObject::connect(&player, &MediaPlayer::errorOccurred,
                                                             &player, [&failed] { failed = true; });
    start();
    const auto settled = [&] {
        if (failed)
            return true;
        switch (player.mediaStatus()) {
        case MediaPlayer::LoadedMedia:
        case MediaPlayer::BufferingMedia:
        case MediaPlayer::BufferedMedia:
        case MediaPlayer::EndOfMedia:
        case MediaPlayer::InvalidMedia:
        case MediaPlayer::NoMedia:
            return true;
        default:
            return false;
        }
    };
    // Now and then the GStreamer backend reports nothing at all for a broken file and stays
    // "loading"; a source that has told nothing for a while is set once more, which then
    // reports at once, or plays. Sound files are loaded by then many times over.
    bool inTime = waitUntil(settled, std::min(timeoutMs, silentRetryMs));
    if (!inTime && timeoutMs > silentRetryMs && player.mediaStatus() == MediaPlayer::LoadingMedia) {
        const QUrl source = player.source();
        const bool playing = player.playbackState() == MediaPlayer::PlayingState;
        player.setSource(QUrl());
        player.setSource(source);
        if (playing)
            player.play();
        inTime = waitUntil(settled, timeoutMs - silentRetryMs);
    }
    QObject::disconnect(onError);
    if (!inTime)
        return LoadResult::TimedOut;
    if (failed || player.mediaStatus() == MediaPlayer::InvalidMedia
        || player.mediaStatus() == MediaPlayer::NoMedia)
        return LoadResult::Failed;
    return LoadResult::Loaded;
}

} // namespace MediaSetup
