#pragma once

#include "winsvc/RemoteControlTarget.h"

#include <QObject>
#include <QVariantMap>

#include <functional>

// What the MPRIS interfaces read and run: the show's state and the file on screen as the bus
// sees them, read again after every command, and the remote's commands, each run after its
// call has been answered so that a remote never waits for a dialog the command opens.
class MprisPlayerState : public QObject
{
    Q_OBJECT
public:
    explicit MprisPlayerState(RemoteControlTarget &target, QObject *parent = nullptr);

    void runCommand(std::function<void(RemoteControlTarget &)> command);
    // Reads the state again; emits changed() with the player properties that differ.
    void refresh();

    QString playbackStatus() const;
    QVariantMap metadata() const { return m_metadata; }

signals:
    void changed(const QVariantMap &properties);

private:
    QVariantMap readMetadata() const;

    RemoteControlTarget &m_target;
    RemoteControlTarget::Status m_status = RemoteControlTarget::Status::Stopped;
    QVariantMap m_metadata;
};
