#pragma once

#include <QList>
#include <QStringList>

// How the buttons of the plug-in list edit it: the items with a selection flag each; the
// selection moves with its item.
class SusieListRules
{
public:
    // Plug-in paths are compared without regard to letter case.
    static bool contains(const QStringList &items, const QString &path);
    static void removeSelected(QStringList &items, QList<bool> &selected);
    // Each selected item trades places with the unselected neighbour above (below); a selected
    // block already at the top (bottom) stays as it is.
    static void moveUp(QStringList &items, QList<bool> &selected);
    static void moveDown(QStringList &items, QList<bool> &selected);
};
