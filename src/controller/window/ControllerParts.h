#pragma once

class BgmControl;
class ControllerMenus;
class ControllerToolBars;
class ControllerTray;
class ListPage;
class MovieBar;
class PlayerDialogs;
class ProfileManager;
class QMainWindow;
class frmView;

// The pieces of the controller window that its command routing and its display of the show's
// state work on. The window builds them and hands out these alone, so that neither part needs
// the window's own class.
struct ControllerParts
{
    QMainWindow &window;
    ControllerMenus &menus;
    ControllerToolBars &toolBars;
    MovieBar &movieBar;
    ControllerTray &tray;
    ProfileManager &profiles;
    ListPage &listPage;
    BgmControl &bgm;
    PlayerDialogs &playerDialogs;
    frmView &viewer;
};
