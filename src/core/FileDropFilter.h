#pragma once

#include <QObject>
#include <QStringList>

class QMimeData;

// Lets a window or a control take files and folders dragged from a file manager: installed as
// an event filter on a widget that accepts drops, it takes drags that carry local paths (others
// are left to the widget) and reports the paths of a drop.
class FileDropFilter : public QObject
{
    Q_OBJECT
public:
    enum class Delivery {
        // Once the drop is over, so that what the paths start (a message box, a dialog, a
        // show) runs outside the other program's drag.
        AfterDrop,
        // Inside the drop, for what only takes the paths in (a text field).
        AtOnce,
    };
    explicit FileDropFilter(QObject *parent = nullptr, Delivery delivery = Delivery::AfterDrop);

    // The local files and folders a drag carries, in its order; empty for anything else.
    static QStringList localPaths(const QMimeData *data);

signals:
    void pathsDropped(const QStringList &paths);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    Delivery m_delivery;
};
