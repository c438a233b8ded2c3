#include "viewer/window/ViewerInput.h"

#include "core/Clock.h"
#include "core/Options.h"
#include "engine/Slideshow.h"
#include "viewer/picture/PictureView.h"

#include <QCursor>
#include <QKeyEvent>
#include <QMenu>
#include <QPointer>
#include <QScrollBar>
#include <QTimer>
#include <QWidget>
#include <QWindow>

#include <algorithm>

ViewerInput::ViewerInput(const ViewerParts &parts, Options &options, Slideshow &slideshow,
                         QObject *parent)
    : QObject(parent)
    , m_parts(parts)
    , m_options(options)
    , m_slideshow(slideshow)
    , m_popupRunner([](QMenu *menu, const QPoint &at) { menu->exec(at); })
    , m_moveStarter([this] {
        if (QWindow *w = m_parts.window.windowHandle())
            w->startSystemMove();
    })
{ }

void ViewerInput::mouseDown(int button, int, int, int)
{
    m_dragArmed = false;
    if ((button & 1) && !m_options.isChecked(Opt::chkShowTitlebar)) {
        m_dragArmed = true;
        m_dragArmedAt = m_slideshow.clock().secondsSinceMidnight();
    }
}

void ViewerInput::mouseMove(int, int, int, int)
{
    if (m_options.isChecked(Opt::chkHideWithMouse)) {
        m_slideshow.hideViewer(true);
        return;
    }
    if (!m_dragArmed)
        return;
    double elapsed = m_slideshow.clock().secondsSinceMidnight() - m_dragArmedAt;
    // Armed just before midnight and moved after it.
    if (elapsed < 0)
        elapsed += 24 * 60 * 60;
    if (elapsed <= 0.1)
        return;
    m_dragArmed = false;
    // The window system takes the pointer over from here; our grab would stand in its way.
    if (QWidget *grabber = QWidget::mouseGrabber())
        grabber->releaseMouse();
    m_moveStarter();
}

void ViewerInput::mouseUp(int button, int, int, int)
{
    if (button & 1) {
        m_slideshow.hideViewer(true);
        m_dragArmed = false;
    } else if (button & 2) {
        // Queued: a command from the menu may hide or take down the window whose mouse event
        // asked for it, so the menu must not run inside that event.
        const QPoint at = QCursor::pos();
        QTimer::singleShot(0, this, [this, at] { showPopupMenu(at); });
    }
}

void ViewerInput::dragOver(int state)
{
    if (m_options.isChecked(Opt::chkHideWithMouse) && (state == 0 || state == 2))
        m_slideshow.hideViewer(true);
}

void ViewerInput::setPopupMenu(QMenu *menu, QAction *defaultAction, std::function<bool()> closing)
{
    m_popup = menu;
    m_popupDefault = defaultAction;
    m_closing = std::move(closing);
}

void ViewerInput::setPopupRunner(std::function<void(QMenu *, const QPoint &)> runner)
{
    m_popupRunner = std::move(runner);
}

void ViewerInput::setWindowMoveStarter(std::function<void()> starter)
{
    m_moveStarter = std::move(starter);
}

void ViewerInput::showPopupMenu(const QPoint &globalPos)
{
    if (!m_popup)
        return;
    // The time the menu is open does not count towards the file's interval.
    m_slideshow.suspendIntervalClock(true);
    m_popup->setDefaultAction(m_popupDefault);
    const QPointer<ViewerInput> self(this);
    const std::function<bool()> closing = m_closing;
    Slideshow &slideshow = m_slideshow;
    m_popupRunner(m_popup, globalPos);
    // A command may have ended the program, the show or the viewer meanwhile.
    if (!self || (closing && closing()))
        return;
    if (slideshow.isRunning() && !slideshow.isPaused() && !slideshow.isHidden())
        slideshow.suspendIntervalClock(false);
}

bool ViewerInput::stepKey(QKeyEvent *event)
{
    if (!m_options.isChecked(Opt::chkViewerKeys) || !m_popup
        || (event->modifiers() & ~Qt::KeypadModifier))
        return false;
    const bool hVisible = !m_parts.hBar.isHidden();
    const bool vVisible = !m_parts.vBar.isHidden();
    QString command;
    switch (event->key()) {
    case Qt::Key_Space:
        command = QStringLiteral("mnuPopup_NextFile");
        break;
    case Qt::Key_Right:
        if (!hVisible)
            command = QStringLiteral("mnuPopup_NextFile");
        break;
    case Qt::Key_PageDown:
        // Scrolls down first; at the bottom it turns the page.
        if (!vVisible || m_parts.vBar.value() >= m_parts.vBar.maximum())
            command = QStringLiteral("mnuPopup_NextFile");
        break;
    case Qt::Key_Backspace:
        command = QStringLiteral("mnuPopup_PreviousFile");
        break;
    case Qt::Key_Left:
        if (!hVisible)
            command = QStringLiteral("mnuPopup_PreviousFile");
        break;
    case Qt::Key_Home:
        command = QStringLiteral("mnuPopup_FirstFile");
        break;
    case Qt::Key_End:
        command = QStringLiteral("mnuPopup_lastFile");
        break;
    case Qt::Key_Escape:
        command = QStringLiteral("mnuPopup_Hide");
        break;
    default:
        break;
    }
    // The pop-up menu's own item, so that a key does exactly what the menu does.
    QAction *action = command.isEmpty() ? nullptr : m_popup->findChild<QAction *>(command);
    if (!action || !action->isEnabled())
        return false;
    action->trigger();
    event->accept();
    return true;
}

bool ViewerInput::keyPress(QKeyEvent *event)
{
    if (stepKey(event))
        return true;
    const bool hVisible = !m_parts.hBar.isHidden();
    const bool vVisible = !m_parts.vBar.isHidden();
    auto step = [](QScrollBar *bar, int by) {
        bar->setValue(std::clamp(bar->value() + by, bar->minimum(), bar->maximum()));
    };
    switch (event->key()) {
    case Qt::Key_Up:
        if (vVisible)
            step(&m_parts.vBar, -1);
        break;
    case Qt::Key_Down:
        if (vVisible)
            step(&m_parts.vBar, 1);
        break;
    case Qt::Key_Left:
        if (hVisible)
            step(&m_parts.hBar, -1);
        break;
    case Qt::Key_Right:
        if (hVisible)
            step(&m_parts.hBar, 1);
        break;
    case Qt::Key_PageUp:
        if (vVisible)
            step(&m_parts.vBar, -m_parts.vBar.pageStep());
        break;
    case Qt::Key_PageDown:
        if (vVisible)
            step(&m_parts.vBar, m_parts.vBar.pageStep());
        break;
    case Qt::Key_F10:
        if (event->modifiers() & Qt::ShiftModifier) {
            showPopupMenuAtArea();
            break;
        }
        return false;
    case Qt::Key_Menu:
        showPopupMenuAtArea();
        break;
    default:
        return false;
    }
    event->accept();
    return true;
}

void ViewerInput::showPopupMenuAtArea()
{
    showPopupMenu(m_parts.area.mapToGlobal(m_parts.area.rect().center()));
}
