#pragma once

#include "core/PlayList.h"

#include <QString>

#include <functional>
#include <future>

// Lists a folder on a worker thread while the application starts, so that the show of a large
// folder named on the command line does not list it only after the windows are built: the files
// directly inside it, in name order. The first of them is known well before the rest, so that its
// picture can be decoded while the rest is listed.
class FolderPrefetch
{
public:
    // `folder` ends in "/".
    explicit FolderPrefetch(const QString &folder);
    // Waits for the listing: the folder is not left being read by a thread no one waits for.
    ~FolderPrefetch();
    FolderPrefetch(const FolderPrefetch &) = delete;
    FolderPrefetch &operator=(const FolderPrefetch &) = delete;

    // Appends every file directly inside `folder` (ending in "/") in name order; `firstFound`
    // hears of the first as soon as it is known, before the rest is appended.
    static void appendFiles(PlayList &list, const QString &folder,
                            const std::function<void(const QString &)> &firstFound = {});

    const QString &folder() const { return m_folder; }
    // The first file in name order, waiting only until the names are sorted; empty when the
    // folder holds none.
    QString firstFile() const;
    // The listing, waiting for it when still in work; empty once taken.
    PlayList take();

private:
    QString m_folder;
    std::shared_future<QString> m_firstFile;
    std::future<PlayList> m_files;
};
