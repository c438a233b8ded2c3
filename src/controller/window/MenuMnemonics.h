#pragma once

#include <QObject>
#include <QPointer>

class QAction;
class QMenu;
class QMenuBar;
class QWidget;

// Gives the menu bar's access keys priority over the window's controls: Alt+F opens the ﾌｧｲﾙ
// menu even when an option on the page shown also has F as its key. Pressing the same key
// again moves on to each control that shares it, then back to the menu, as Qt does between
// controls whose keys clash.
class MenuMnemonics : public QObject
{
    Q_OBJECT
public:
    MenuMnemonics(QWidget &window, QMenuBar &bar);
    ~MenuMnemonics() override;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QAction *menuFor(int key) const;
    QList<QWidget *> controlsFor(int key) const;
    void activate(int key, QAction *menu);

    QWidget &m_window;
    QMenuBar &m_bar;
    int m_key = 0;
    int m_step = 0;
    int m_swallow = 0;
};
