#pragma once

#include <QString>

// What a configured entry's kind text says about the entry: a single file, a file-list file,
// or a folder with its mask and whether its subfolders are searched.
struct EntryKind
{
    enum Type { File, FileList, Folder };

    Type type = Folder;
    QString mask;
    bool subFolders = false;

    static EntryKind parse(const QString &kindText);
};
