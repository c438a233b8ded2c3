#pragma once

#include "imagelist/ShellRequest.h"

#include <QString>

class FileOperationOwner;

// Copy, move and delete as the external functions use them. `source` may hold several paths
// separated by NUL characters. Each call returns 0 on success and non-zero on a failure or
// when the user declined (ShellFile::resultCancelled).
namespace modFileOperation {

ShellRequest copyRequest(const QString &source, const QString &destination, bool noConfirm);
ShellRequest moveRequest(const QString &source, const QString &destination, bool noConfirm);
ShellRequest deleteRequest(const QString &source, bool allowUndo, bool noConfirm);

int CopyFiles(FileOperationOwner &owner, const QString &source, const QString &destination,
              bool noConfirm);
int MoveFiles(FileOperationOwner &owner, const QString &source, const QString &destination,
              bool noConfirm);
int DeleteFiles(FileOperationOwner &owner, const QString &source, bool allowUndo, bool noConfirm);

} // namespace modFileOperation
