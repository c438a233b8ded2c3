#pragma once

#include "imagelist/FileFilter.h"

#include <QStringList>

class MessageService;

// The folder scan of the file-list editor: appends folder + name of every file that matches
// the mask and passes the filter's conditions to `list`, neither sorted nor deduplicated. An
// empty mask is refused with "マスクの指定が正しくありません。".
void AddFilesInFolder(const FileFilter &filter, QStringList &list, MessageService &messages);
