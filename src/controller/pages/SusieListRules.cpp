#include "controller/pages/SusieListRules.h"

bool SusieListRules::contains(const QStringList &items, const QString &path)
{
    return items.contains(path, Qt::CaseInsensitive);
}

void SusieListRules::removeSelected(QStringList &items, QList<bool> &selected)
{
    for (qsizetype i = items.size() - 1; i >= 0; --i) {
        if (selected.value(i)) {
            items.removeAt(i);
            selected.removeAt(i);
        }
    }
}

void SusieListRules::moveUp(QStringList &items, QList<bool> &selected)
{
    selected.resize(items.size());
    for (qsizetype i = 1; i < items.size(); ++i) {
        if (selected[i] && !selected[i - 1]) {
            items.swapItemsAt(i, i - 1);
            selected.swapItemsAt(i, i - 1);
        }
    }
}

void SusieListRules::moveDown(QStringList &items, QList<bool> &selected)
{
    selected.resize(items.size());
    for (qsizetype i = items.size() - 2; i >= 0; --i) {
        if (selected[i] && !selected[i + 1]) {
            items.swapItemsAt(i, i + 1);
            selected.swapItemsAt(i, i + 1);
        }
    }
}
