#include "imagelist/FolderPrefetch.h"

#include "imagelist/DirectoryReader.h"

FolderPrefetch::FolderPrefetch(const QString &folder)
    : m_folder(folder)
{
    std::promise<QString> first;
    m_firstFile = first.get_future().share();
    m_files = std::async(std::launch::async, [folder, first = std::move(first)]() mutable {
        PlayList files;
        bool told = false;
        appendFiles(files, folder, [&](const QString &path) {
            first.set_value(path);
            told = true;
        });
        if (!told)
            first.set_value(QString());
        return files;
    });
}

void FolderPrefetch::appendFiles(PlayList &list, const QString &folder,
                                 const std::function<void(const QString &)> &firstFound)
{
    DirectoryReader reader(folder);
    while (reader.next()) {
        if (!reader.isFile())
            continue;
        // One allocation for each path: a large folder's listing is mostly this.
        const QStringView name = reader.name();
        QString path;
        path.reserve(folder.size() + name.size());
        path.append(folder).append(name);
        list.appendToPlayList(path);
        if (firstFound && list.count() == 1)
            firstFound(list.path(1));
    }
}

QString FolderPrefetch::firstFile() const
{
    return m_firstFile.get();
}

FolderPrefetch::~FolderPrefetch()
{
    if (m_files.valid())
        m_files.wait();
}

PlayList FolderPrefetch::take()
{
    return m_files.valid() ? m_files.get() : PlayList();
}
