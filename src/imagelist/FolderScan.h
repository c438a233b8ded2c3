#pragma once

#include "imagelist/DirectoryReader.h"
#include "imagelist/WildcardPattern.h"

#include <QStringList>

// The folder walks and the file collection shared by list building and the file-list editor.
// Folder paths end in "/"; a folder that cannot be listed yields nothing.

// Appends every subfolder of `folder` (hidden ones too, links to folders included) to the end
// of `queue` as folder + name + "/" and returns the queue's length afterwards. With `visited`,
// a folder that was entered before is left out, so a link cycle is walked once.
qsizetype AppendSubFolders(const QString &folder, QStringList &queue,
                           VisitedFolders *visited = nullptr);

// The folder followed by every folder below it, level by level, in listing order.
QStringList GetSubFolderTree(const QString &folder);

// Calls found(entry) for every file of `folder` that matches `pattern` (see
// DirectoryReader::isFile), in listing order. Returns false when the folder cannot be listed.
template<typename Found>
bool forEachMatchingFile(const QString &folder, const WildcardPattern &pattern, Found &&found)
{
    DirectoryReader reader(folder);
    if (!reader.isOpen())
        return false;
    while (reader.next()) {
        // Match first: the type of an entry that does not match is never needed.
        if (pattern.matches(reader.name()) && reader.isFile())
            found(reader);
    }
    return true;
}
