#pragma once

#include "viewer/movie/PlayerOptionsDialog.h"

#include <QObject>
#include <QPointer>

class MessageService;
class SettingsStore;
class frmView;

// The options dialogs and about boxes of the viewer's two players, and the volume they share,
// kept in the settings.
class PlayerDialogs : public QObject
{
    Q_OBJECT
public:
    PlayerDialogs(frmView &viewer, SettingsStore &store, MessageService &messages,
                  QWidget *dialogParent);

    void mediaPlayerOptions();
    void mediaPlayerAbout();
    void realPlayerOptions();
    void realPlayerAbout();
    // Gives both players the stored volume.
    void applyStoredVolume();

    // What the about boxes say: the player's role and the playback engine with its version.
    static QString aboutText(const QString &player);
    PlayerOptionsDialog *openDialog() const { return m_dialog; }

private:
    void showOptions(const QString &title, bool realPlayer);
    void storeVolume(int volume, bool muted);

    frmView &m_viewer;
    SettingsStore &m_store;
    MessageService &m_messages;
    QWidget *m_parent;
    QPointer<PlayerOptionsDialog> m_dialog;
};
