#pragma once

#include <QString>

// One entry of the runtime list: the full path of a file to show.
struct cFileInfo
{
    QString m_strPath;
};
