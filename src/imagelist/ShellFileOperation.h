#pragma once

#include "imagelist/ShellRequest.h"

#include <QString>
#include <QStringList>

class FileOperationOwner;

// Carries out a copy, move or delete request on the local file systems, asking and reporting
// through the owner. No data is ever lost on the way: a copy is written under a temporary name
// in the destination folder and takes its real name only when it is complete and flushed, so
// a full disk or a cancel leaves no half file; a move to another file system removes the
// source only after such a copy.
class ShellFileOperation
{
public:
    explicit ShellFileOperation(FileOperationOwner &owner);

    // 0 on success; ShellFile::resultCancelled when the user declined or cancelled; else the
    // system error number of the first failure. It stops at the first failure or refusal.
    int run(const ShellRequest &request);

    // The paths of a NUL-separated list, without the empty ones.
    static QStringList splitList(const QString &list);

private:
    int transfer(const ShellRequest &request, bool move);
    int copyFile(const QString &source, const QString &target, bool moving);
    int moveFile(const QString &source, const QString &target);
    int deleteAll(const QStringList &sources, bool toTrash, bool confirm);
    // Checks the target before anything is written: its folder exists (made on request), it
    // is not the source itself, and an existing file may be replaced.
    int prepareTarget(const QString &source, const QString &target, bool move);
    // Reports a failure, naming the file; the reason is the error's unless given.
    int fail(const QString &text, int error, const QString &reason = QString());

    FileOperationOwner &m_owner;
    int m_flags = 0;
};
