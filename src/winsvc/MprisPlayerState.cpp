#include "winsvc/MprisPlayerState.h"

#include <QDBusObjectPath>
#include <QFileInfo>
#include <QUrl>

MprisPlayerState::MprisPlayerState(RemoteControlTarget &target, QObject *parent)
    : QObject(parent)
    , m_target(target)
    , m_status(target.status())
    , m_metadata(readMetadata())
{ }

void MprisPlayerState::runCommand(std::function<void(RemoteControlTarget &)> command)
{
    QMetaObject::invokeMethod(
        this,
        [this, command = std::move(command)] {
            command(m_target);
            refresh();
        },
        Qt::QueuedConnection);
}

QString MprisPlayerState::playbackStatus() const
{
    switch (m_status) {
    case RemoteControlTarget::Status::Playing:
        return QStringLiteral("Playing");
    case RemoteControlTarget::Status::Paused:
        return QStringLiteral("Paused");
    case RemoteControlTarget::Status::Stopped:
        break;
    }
    return QStringLiteral("Stopped");
}

QVariantMap MprisPlayerState::readMetadata() const
{
    const RemoteControlTarget::Track track = m_target.track();
    if (track.number <= 0 || track.path.isEmpty())
        return {};
    const QString url = QUrl::fromLocalFile(track.path).toString(QUrl::FullyEncoded);
    QVariantMap data {
        { QStringLiteral("mpris:trackid"),
          QVariant::fromValue(QDBusObjectPath(QStringLiteral("/org/lunetta/Lunetta/track/")
                                              + QString::number(track.number))) },
        { QStringLiteral("xesam:title"), QFileInfo(track.path).fileName() },
        { QStringLiteral("xesam:url"), url },
        // The picture is its own cover: a desktop's media controls show it as the art.
        { QStringLiteral("mpris:artUrl"), url },
    };
    if (track.lengthMicroseconds > 0)
        data.insert(QStringLiteral("mpris:length"), qint64(track.lengthMicroseconds));
    return data;
}

void MprisPlayerState::refresh()
{
    const RemoteControlTarget::Status status = m_target.status();
    const QVariantMap metadata = readMetadata();
    QVariantMap properties;
    if (status != m_status) {
        m_status = status;
        properties.insert(QStringLiteral("PlaybackStatus"), playbackStatus());
    }
    if (metadata != m_metadata) {
        m_metadata = metadata;
        properties.insert(QStringLiteral("Metadata"), m_metadata);
    }
    if (!properties.isEmpty())
        emit changed(properties);
}
