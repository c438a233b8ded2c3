#include "viewer/MediaSetup.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QMediaPlayer>
#include <QTimer>

namespace MediaSetup {

void chooseBackend()
{
    if (qEnvironmentVariableIsEmpty("QT_MEDIA_BACKEND"))
        qputenv("QT_MEDIA_BACKEND", "gstreamer");
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

LoadResult waitForLoad(QMediaPlayer &player, int timeoutMs)
{
    bool failed = false;
    const QMetaObject::Connection onError = QObject::connect(&player, &QMediaPlayer::errorOccurred,
                                                             &player, [&failed] { failed = true; });
    const auto settled = [&] {
        if (failed || player.error() != QMediaPlayer::NoError)
            return true;
        switch (player.mediaStatus()) {
        case QMediaPlayer::LoadedMedia:
        case QMediaPlayer::BufferingMedia:
        case QMediaPlayer::BufferedMedia:
        case QMediaPlayer::EndOfMedia:
        case QMediaPlayer::InvalidMedia:
        case QMediaPlayer::NoMedia:
            return true;
        default:
            return false;
        }
    };
    const bool inTime = waitUntil(settled, timeoutMs);
    QObject::disconnect(onError);
    if (!inTime)
        return LoadResult::TimedOut;
    if (failed || player.error() != QMediaPlayer::NoError
        || player.mediaStatus() == QMediaPlayer::InvalidMedia
        || player.mediaStatus() == QMediaPlayer::NoMedia)
        return LoadResult::Failed;
    return LoadResult::Loaded;
}

} // namespace MediaSetup
