#include "viewer/movie/MediaPlayer.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <dlfcn.h>

namespace {

constexpr auto moduleName = "lunetta-media.so";

// Loaded once for the run and never unloaded: its players' code stays in use until the end.
MediaBackendFactory factory()
{
    static const MediaBackendFactory made = []() -> MediaBackendFactory {
        const QString path = MediaPlayer::modulePath();
        if (path.isEmpty())
            return nullptr;
        void *module = dlopen(QFile::encodeName(path).constData(), RTLD_NOW | RTLD_LOCAL);
        if (!module) {
            qWarning("Lunetta: the media module cannot be loaded: %s", dlerror());
            return nullptr;
        }
        return reinterpret_cast<MediaBackendFactory>(dlsym(module, LUNETTA_MEDIA_FACTORY));
    }();
    return made;
}

} // namespace

QString MediaPlayer::modulePath()
{
    QStringList candidates;
    // Named by the tests and benchmarks of a build tree, whose programs live in other folders.
    if (const QString named = qEnvironmentVariable("LUNETTA_MEDIA_MODULE"); !named.isEmpty())
        candidates << named;
    const QDir programFolder(QCoreApplication::applicationDirPath());
    candidates << programFolder.filePath(QLatin1String(moduleName))
               << QDir::cleanPath(
                      programFolder.filePath(QStringLiteral(LUNETTA_MEDIA_INSTALL_RELDIR "/")
                                             + QLatin1String(moduleName)));
    for (const QString &candidate : std::as_const(candidates))
        if (QFileInfo(candidate).isFile())
            return candidate;
    return {};
}

MediaPlayer::MediaPlayer(QObject *parent)
    : QObject(parent)
{
    if (const MediaBackendFactory make = factory())
        m_backend.reset(make(this));
}

MediaPlayer::~MediaPlayer() = default;

void MediaPlayer::setSource(const QUrl &source)
{
    if (m_backend) {
        m_backend->setSource(source);
        return;
    }
    m_source = source;
    const MediaStatus status = source.isEmpty() ? NoMedia : InvalidMedia;
    if (status != m_status) {
        m_status = status;
        emit mediaStatusChanged(status);
    }
    if (!source.isEmpty())
        emit errorOccurred(ResourceError,
                           QStringLiteral("動画と音声の再生部 (%1) が見つかりません。")
                               .arg(QLatin1String(moduleName)));
}

QUrl MediaPlayer::source() const
{
    return m_backend ? m_backend->source() : m_source;
}

void MediaPlayer::play()
{
    if (m_backend)
        m_backend->play();
}

void MediaPlayer::pause()
{
    if (m_backend)
        m_backend->pause();
}

void MediaPlayer::stop()
{
    if (m_backend)
        m_backend->stop();
}

qint64 MediaPlayer::position() const
{
    return m_backend ? m_backend->position() : 0;
}

void MediaPlayer::setPosition(qint64 ms)
{
    if (m_backend)
        m_backend->setPosition(ms);
}

qint64 MediaPlayer::duration() const
{
    return m_backend ? m_backend->duration() : 0;
}

MediaPlayer::PlaybackState MediaPlayer::playbackState() const
{
    return m_backend ? PlaybackState(m_backend->playbackState()) : StoppedState;
}

MediaPlayer::MediaStatus MediaPlayer::mediaStatus() const
{
    return m_backend ? MediaStatus(m_backend->mediaStatus()) : m_status;
}

bool MediaPlayer::hasVideo() const
{
    return m_backend && m_backend->hasVideo();
}

double MediaPlayer::playbackRate() const
{
    return m_backend ? m_backend->playbackRate() : 1.0;
}

void MediaPlayer::setPlaybackRate(double rate)
{
    if (m_backend)
        m_backend->setPlaybackRate(rate);
}

void MediaPlayer::setVolume(float volume)
{
    m_volume = volume;
    if (m_backend)
        m_backend->setVolume(volume);
}

void MediaPlayer::setMuted(bool muted)
{
    m_muted = muted;
    if (m_backend)
        m_backend->setMuted(muted);
}

QString MediaPlayer::videoCodec() const
{
    return m_backend ? m_backend->videoCodec() : QString();
}

QString MediaPlayer::audioCodec() const
{
    return m_backend ? m_backend->audioCodec() : QString();
}

void MediaPlayer::receiveVideo()
{
    if (m_backend)
        m_backend->receiveVideo();
}

QSize MediaPlayer::frameSize() const
{
    return m_backend ? m_backend->frameSize() : QSize();
}

void MediaPlayer::paintFrame(QPainter &painter, const QRectF &target)
{
    if (m_backend)
        m_backend->paintFrame(painter, target);
}

void MediaPlayer::forgetFrame()
{
    if (m_backend)
        m_backend->forgetFrame();
}

void MediaPlayer::reportMediaStatus(int status)
{
    emit mediaStatusChanged(MediaStatus(status));
}

void MediaPlayer::reportPlaybackState(int state)
{
    emit playbackStateChanged(PlaybackState(state));
}

void MediaPlayer::reportError(int error, const QString &text)
{
    emit errorOccurred(Error(error), text);
}
