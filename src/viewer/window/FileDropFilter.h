#pragma once

#include <QObject>
#include <QStringList>

class QMimeData;

// Lets a window take files and folders dragged from a file manager: installed as an event
// filter on a window that accepts drops, it takes drags that carry local paths and reports
// them once the drop is over, so that what they start runs outside the other program's drag.
class FileDropFilter : public QObject
{
    Q_OBJECT
public:
    using QObject::QObject;

    // The local files and folders a drag carries, in its order; empty for anything else.
    static QStringList localPaths(const QMimeData *data);

signals:
    void pathsDropped(const QStringList &paths);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
};
