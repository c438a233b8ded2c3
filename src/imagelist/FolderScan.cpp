#include "imagelist/FolderScan.h"

qsizetype AppendSubFolders(const QString &folderRef, QStringList &queue, VisitedFolders *visited)
{
    // A copy: the caller's string may live in `queue`, which moves its elements as it grows.
    const QString folder = folderRef;
    DirectoryReader reader(folder);
    while (reader.next()) {
        if (!reader.isFolder())
            continue;
        if (visited) {
            struct stat st;
            if (reader.status(st) && !visited->insert(st))
                continue;
        }
        QString sub;
        sub.reserve(folder.size() + reader.name().size() + 1);
        sub.append(folder).append(reader.name()).append(u'/');
        queue.append(sub);
    }
    return queue.size();
}

QStringList GetSubFolderTree(const QString &folder)
{
    QStringList tree { folder };
    VisitedFolders visited;
    visited.insertPath(folder);
    // The length is read again after each visit: the visits append the next levels.
    for (qsizetype i = 0; i < tree.size(); ++i)
        AppendSubFolders(tree.at(i), tree, &visited);
    return tree;
}
