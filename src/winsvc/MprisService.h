#pragma once

#include "winsvc/RemoteControlTarget.h"

#include <QDBusConnection>
#include <QObject>

class MprisPlayerState;

// Publishes the program as a media player on the session bus (MPRIS), so that media keys and
// the desktop's media controls drive the show: the object /org/mpris/MediaPlayer2 with the root
// and player interfaces (MprisRootAdaptor, MprisPlayerAdaptor), and PropertiesChanged whenever
// the show's state or the file on screen changes.
class MprisService : public QObject
{
    Q_OBJECT
public:
    static const QString objectPath;
    static const QString serviceName;

    explicit MprisService(RemoteControlTarget &target, QObject *parent = nullptr);
    ~MprisService() override;

    // Takes the player's name on the bus; false, with nothing published, where there is no bus.
    // A name already held by another run gets this run's own ".instance<pid>" name.
    bool publish(QDBusConnection bus = QDBusConnection::sessionBus());
    bool isPublished() const { return m_published; }

    // Reads the show's state and the file on screen again and tells the bus what changed.
    void refresh();

private:
    void announce(const QVariantMap &changed);

    MprisPlayerState *m_state = nullptr;
    QDBusConnection m_bus;
    QString m_name;
    bool m_published = false;
};
