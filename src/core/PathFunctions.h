#pragma once

#include <QString>

// Path helpers shared by the scans, the lists and the windows. Folders are written with a
// trailing "/"; none of these functions fails: a missing path gives false or "".

bool IsFolder(const QString &path);
bool FileExists(const QString &path);
// Appends "/" unless the path ends in one; updates the caller's variable as well.
QString AddBackslash(QString &path);
QString AddBackslash(const QString &path);
QString RemoveBackslash(const QString &path);
QString GetFileName(const QString &path);
QString GetFolderPart(const QString &path);
QString GetExtension(const QString &path);
QString QuoteIfNeeded(const QString &text);
// Every component as the file system stores it (its letter case included); "" when a
// component is missing or the path has no "/".
QString GetLongPath(const QString &path);
// Like GetLongPath, but a component that cannot be found is left out.
QString normalisePath(const QString &path);
// True when the file is found in the program's folder, the working folder or on PATH.
bool SearchPathFile(const QString &name);
// A command-line path made absolute against the working folder.
QString absoluteArgumentPath(const QString &path);
