#include "controller/window/MenuMnemonics.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QGroupBox>
#include <QKeyEvent>
#include <QKeySequence>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QTabBar>

namespace {

bool hasMnemonic(const QString &text, int key)
{
    return QKeySequence::mnemonic(text) == QKeySequence(Qt::ALT | key);
}

bool isAccessKey(const QKeyEvent *e)
{
    const int key = e->key();
    return e->modifiers() == Qt::AltModifier
        && ((key >= Qt::Key_A && key <= Qt::Key_Z) || (key >= Qt::Key_0 && key <= Qt::Key_9));
}

bool usable(const QWidget *w)
{
    return w->isVisible() && w->isEnabled();
}

} // namespace

MenuMnemonics::MenuMnemonics(QWidget &window, QMenuBar &bar)
    : QObject(&window)
    , m_window(window)
    , m_bar(bar)
{
    qApp->installEventFilter(this);
}

MenuMnemonics::~MenuMnemonics()
{
    qApp->removeEventFilter(this);
}

QAction *MenuMnemonics::menuFor(int key) const
{
    for (QAction *a : m_bar.actions()) {
        if (a->menu() && a->isVisible() && a->isEnabled() && hasMnemonic(a->text(), key))
            return a;
    }
    return nullptr;
}

QList<QWidget *> MenuMnemonics::controlsFor(int key) const
{
    QList<QWidget *> found;
    for (QWidget *w : m_window.findChildren<QWidget *>()) {
        if (!usable(w) || m_bar.isAncestorOf(w))
            continue;
        if (auto *b = qobject_cast<QAbstractButton *>(w); b && hasMnemonic(b->text(), key))
            found << b;
        else if (auto *l = qobject_cast<QLabel *>(w);
                 l && l->buddy() && usable(l->buddy()) && hasMnemonic(l->text(), key))
            found << l->buddy();
        else if (auto *g = qobject_cast<QGroupBox *>(w);
                 g && g->isCheckable() && hasMnemonic(g->title(), key))
            found << g;
    }
    return found;
}

void MenuMnemonics::activate(int key, QAction *menu)
{
    const QList<QWidget *> controls = controlsFor(key);
    m_step = key == m_key ? (m_step + 1) % int(controls.size() + 1) : 0;
    m_key = key;
    if (QWidget *popup = QApplication::activePopupWidget())
        popup->close();
    if (m_step == 0) {
        // Opened once the key's own events are through.
        QMetaObject::invokeMethod(
            &m_bar,
            [bar = QPointer<QMenuBar>(&m_bar), menu = QPointer<QAction>(menu)] {
                if (!bar || !menu)
                    return;
                // The bar still counts a menu closed by the key as its open one.
                if (bar->activeAction())
                    bar->setActiveAction(nullptr);
                bar->setActiveAction(menu);
            },
            Qt::QueuedConnection);
    } else {
        controls.at(m_step - 1)->setFocus(Qt::ShortcutFocusReason);
    }
}

bool MenuMnemonics::eventFilter(QObject *watched, QEvent *event)
{
    const QEvent::Type type = event->type();
    if (type != QEvent::ShortcutOverride && type != QEvent::KeyPress && type != QEvent::KeyRelease)
        return false;
    auto *widget = qobject_cast<QWidget *>(watched);
    if (!widget)
        return false;
    auto *key = static_cast<QKeyEvent *>(event);
    if (m_swallow && type != QEvent::ShortcutOverride
        && (key->key() == m_swallow || (type == QEvent::KeyRelease && key->key() == Qt::Key_Alt))) {
        // The rest of a key already acted on, and the Alt key's release, which the menu bar
        // would otherwise take for a lone Alt and answer by closing the menu just opened.
        if (key->key() == Qt::Key_Alt)
            m_swallow = 0;
        return true;
    }
    const bool inWindow = widget->window() == &m_window;
    auto *menu = qobject_cast<QMenu *>(widget);
    const bool inOurMenu = menu && m_bar.actions().contains(menu->menuAction());
    if (!inWindow && !inOurMenu)
        return false;
    if (!isAccessKey(key)) {
        if (type == QEvent::KeyPress && key->key() != Qt::Key_Alt)
            m_key = 0;
        return false;
    }
    // Taken at the shortcut stage, before Qt hands the key to the menu bar or a control; in an
    // open menu it may also come as a plain key press.
    if (type == QEvent::KeyRelease || (inWindow && type == QEvent::KeyPress))
        return false;
    QAction *top = menuFor(key->key());
    if (!top)
        return false;
    activate(key->key(), top);
    event->accept();
    m_swallow = key->key();
    return true;
}
