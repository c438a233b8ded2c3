#include "core/FileDropFilter.h"

#include <QDropEvent>
#include <QMimeData>
#include <QTimer>
#include <QUrl>

FileDropFilter::FileDropFilter(QObject *parent, Delivery delivery)
    : QObject(parent)
    , m_delivery(delivery)
{ }

QStringList FileDropFilter::localPaths(const QMimeData *data)
{
    QStringList paths;
    if (!data || !data->hasUrls())
        return paths;
    for (const QUrl &url : data->urls()) {
        if (url.isLocalFile() && !url.toLocalFile().isEmpty())
            paths << url.toLocalFile();
    }
    return paths;
}

bool FileDropFilter::eventFilter(QObject *watched, QEvent *event)
{
    switch (event->type()) {
    case QEvent::DragEnter:
    case QEvent::DragMove: {
        auto *drag = static_cast<QDragMoveEvent *>(event);
        if (localPaths(drag->mimeData()).isEmpty())
            return false;
        drag->acceptProposedAction();
        return true;
    }
    case QEvent::Drop: {
        auto *drop = static_cast<QDropEvent *>(event);
        const QStringList paths = localPaths(drop->mimeData());
        if (paths.isEmpty())
            return false;
        drop->acceptProposedAction();
        if (m_delivery == Delivery::AtOnce)
            emit pathsDropped(paths);
        else
            QTimer::singleShot(0, this, [this, paths] { emit pathsDropped(paths); });
        return true;
    }
    default:
        return QObject::eventFilter(watched, event);
    }
}
