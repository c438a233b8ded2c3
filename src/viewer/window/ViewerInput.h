#pragma once

#include "viewer/window/ViewerParts.h"

#include <QObject>
#include <QPoint>

#include <functional>

class Options;
class QAction;
class QKeyEvent;
class QMenu;
class Slideshow;

// What the viewer does with the user's mouse and keys: a left click hides it, a left drag on an
// untitled window moves it, the right button and the menu key open the pop-up menu (with the
// interval clock held while it is open), and the arrow and page keys scroll the picture.
class ViewerInput : public QObject
{
    Q_OBJECT
public:
    ViewerInput(const ViewerParts &parts, Options &options, Slideshow &slideshow, QObject *parent);

    // The mouse over the display area, in its coordinates (buttons 1 left, 2 right, 4 middle;
    // shift 1, ctrl 2, alt 4).
    void mouseDown(int button, int shift, int x, int y);
    void mouseMove(int button, int shift, int x, int y);
    void mouseUp(int button, int shift, int x, int y);
    // A drag from another program over the display area: 0 entering, 1 leaving, 2 moving.
    void dragOver(int state);
    // False for a key the viewer leaves to the window.
    bool keyPress(QKeyEvent *event);

    // The right button's menu and its default item; `closing` tells when the program has begun
    // to end, after which the interval clock is left alone.
    void setPopupMenu(QMenu *menu, QAction *defaultAction, std::function<bool()> closing);
    // Opens the pop-up menu at `globalPos` with the interval clock suspended while it is open.
    void showPopupMenu(const QPoint &globalPos);
    // The same at the display area's centre, for the keyboard.
    void showPopupMenuAtArea();
    // Seams: how the menu is run (QMenu::exec) and how a window move starts
    // (QWindow::startSystemMove).
    void setPopupRunner(std::function<void(QMenu *, const QPoint &)> runner);
    void setWindowMoveStarter(std::function<void()> starter);
    bool isDragArmed() const { return m_dragArmed; }

private:
    // With the option on, the keys users of other viewers reach for first step through the
    // list as the pop-up menu's items do; true when the key did.
    bool stepKey(QKeyEvent *event);

    ViewerParts m_parts;
    Options &m_options;
    Slideshow &m_slideshow;
    // A left press on an untitled window may become a window move, once 0.1 s have passed.
    bool m_dragArmed = false;
    double m_dragArmedAt = 0;
    QMenu *m_popup = nullptr;
    QAction *m_popupDefault = nullptr;
    std::function<bool()> m_closing;
    std::function<void(QMenu *, const QPoint &)> m_popupRunner;
    std::function<void()> m_moveStarter;
};
