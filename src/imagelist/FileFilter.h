#pragma once

#include <QDate>
#include <QDateTime>
#include <QString>

// The conditions of a filtered folder scan. A range is in force only while it is not reversed;
// the defaults are reversed ranges, so every condition starts off.
struct FileFilter
{
    enum Attribute : qint32 { ReadOnly = 1, Hidden = 2, System = 4, Archive = 32 };

    QString folder; // with or without a trailing "/"
    QString mask = QStringLiteral("*.*");
    bool subFolders = false;
    // A file that has any of these attributes is skipped. On Linux a file is read-only when its
    // permission bits give the user no write access and hidden when its name begins with ".";
    // system and archive are never set, so those two bits skip nothing.
    qint32 excludeAttributes = 0;
    // Inclusive range of the file size in bytes.
    qint32 sizeMin = 0;
    qint32 sizeMax = -1;
    // Inclusive range of the last-write time, in local time, whole seconds.
    QDateTime timeMin = QDateTime(QDate(1899, 12, 30), QTime(0, 0));
    QDateTime timeMax = QDateTime(QDate(1899, 12, 29), QTime(0, 0));

    bool sizeActive() const { return sizeMax >= sizeMin; }
    bool timeActive() const { return !(timeMin > timeMax); }
};
