#pragma once

#include "controller/window/ControllerParts.h"
#include "winsvc/RemoteControlTarget.h"

struct AppContext;
class QAction;
class Slideshow;

// Answers a remote control with the controller's own commands: the tool bar's buttons for the
// show, the tray menu's restore and the menu's 終了. A remote reaches only what the user could
// click: nothing while the controller waits with its window disabled or a modal dialog is
// open, or once the program is closing.
class ControllerRemote : public RemoteControlTarget
{
public:
    ControllerRemote(const ControllerParts &parts, AppContext &context, Slideshow &slideshow);

    void playPause() override;
    void play() override;
    void pause() override;
    void stop() override;
    void next() override;
    void previous() override;
    void raise() override;
    void quit() override;

    Status status() const override;
    Track track() const override;

private:
    bool reachable() const;
    void press(const QString &button);
    void choose(const QString &menuItem);

    ControllerParts m_parts;
    AppContext &m_ctx;
    Slideshow &m_slideshow;
};
