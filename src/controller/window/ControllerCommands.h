#pragma once

#include "controller/lists/Bookmarks.h"
#include "controller/lists/ListStart.h"
#include "controller/window/ControllerParts.h"
#include "core/StartupTarget.h"

#include <QObject>

#include <memory>

struct AppContext;
class QAction;
class ControllerRemote;
class ControllerStateDisplay;
class RemoteControlTarget;
class Slideshow;

// Routes every command of the controller window — menu bar, tool bars, the viewer's pop-up
// menu and the tray menu — to its operation, and answers the start-up argument.
class ControllerCommands : public QObject,
                           public ListStartEngine,
                           public BookmarkHost,
                           public StartupTarget
{
    Q_OBJECT
public:
    ControllerCommands(const ControllerParts &parts, ControllerStateDisplay &display,
                       AppContext &context, Slideshow &slideshow);
    ~ControllerCommands() override;

    Bookmarks &bookmarks() { return *m_bookmarks; }
    // The show's commands for a remote control (MprisService).
    RemoteControlTarget &remote();

    void mnuOparation_Stop_Click();
    void mnuOparation_Pause_Click();
    void mnuOparation_Hide_Click();
    // Runs the function a hot key is bound to, by its name on the hot key page.
    void mclsHotKey_HotKey(const QString &key, int mask, int virtualKey);
    // The pop-up menu's moves wait for the next tick while a RealMedia clip is shown.
    void popupMove(int command);
    // Files or folders dropped on the controller or the viewer start as a program argument
    // would; only the first counts, and a running show gives way to it.
    void openDropped(const QStringList &paths);

    // ListStartEngine
    bool isRunning() const override;
    void stopSlideshow() override;
    PlayList &playList() override;
    void clearBookmarkPath() override;
    void startSlideshow(int nextIndex) override;

    // BookmarkHost
    void setControllerCaption(const QString &caption) override;
    void minimiseController() override;
    QString currentProfileName() const override;
    void selectProfile(const QString &name) override;
    QWidget *dialogOwner() override;

    // StartupTarget
    bool SetSetting(const QString &name, bool onlyExist) override;
    void startFromList() override;
    bool ReadShiori(const QString &path) override;
    bool OpenFolderDirect(const QString &folder, const QString &file) override;

private:
    void connectAll();
    void on(const QString &action, void (ControllerCommands::*handler)());
    void on(const QString &action, std::function<void()> handler);
    QAction *toolButton(const QString &key) const;
    // After a command, the check marks show the engine's state, not the click's toggle.
    void syncChecks();

    ControllerParts m_parts;
    ControllerStateDisplay &m_display;
    AppContext &m_ctx;
    Slideshow &m_slideshow;
    std::unique_ptr<Bookmarks> m_bookmarks;
    std::unique_ptr<ListStart> m_listStart;
    std::unique_ptr<ControllerRemote> m_remote;
};
