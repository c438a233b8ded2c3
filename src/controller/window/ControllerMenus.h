#pragma once

#include <QObject>
#include <QString>

class QAction;
class QMenu;
class QMenuBar;
class QWidget;

// The controller's menus: the menu bar and the two context menus, the one the viewer opens
// (mnuPopup) and the tray icon's (mnuTasktray). Every item is a QAction named after its
// control, so the window finds it by name.
class ControllerMenus : public QObject
{
    Q_OBJECT
public:
    ControllerMenus(QMenuBar *bar, QWidget *owner);

    QAction *action(const QString &name) const;
    QMenu *menu(const QString &name) const;
    QMenu *mnuPopup() const { return m_popup; }
    QMenu *mnuTasktray() const { return m_tasktray; }

    // The same command in all three menus: "Stop" gives mnuOparation_Stop, mnuPopup_Stop and
    // mnuTasktray_Stop.
    QList<QAction *> triple(const QString &suffix) const;

private:
    QAction *add(QMenu *menu, const QString &name, const QString &caption, bool checkable = false);
    QMenu *addMenu(QMenu *parent, const QString &name, const QString &caption);
    void buildContextMenu(QMenu *menu, const QString &prefix);

    QWidget *m_owner;
    QMenu *m_popup = nullptr;
    QMenu *m_tasktray = nullptr;
};
