#include "imagelist/modFileOperation.h"

#include "imagelist/ShellFileOperation.h"

using namespace ShellFile;

namespace modFileOperation {

namespace {

ShellRequest request(int operation, const QString &source, const QString &destination, int flags,
                     bool noConfirm)
{
    if (source.contains(QChar(0)))
        flags |= FOF_MULTIDESTFILES;
    if (noConfirm)
        flags |= FOF_NOCONFIRMATION | FOF_NOCONFIRMMKDIR;
    // The lists end in two NULs.
    const QString end(2, QChar(0));
    return { operation, source + end, destination.isEmpty() ? QString() : destination + end,
             flags };
}

} // namespace

ShellRequest copyRequest(const QString &source, const QString &destination, bool noConfirm)
{
    return request(FO_COPY, source, destination, FOF_ALLOWUNDO, noConfirm);
}

ShellRequest moveRequest(const QString &source, const QString &destination, bool noConfirm)
{
    return request(FO_MOVE, source, destination, FOF_ALLOWUNDO, noConfirm);
}

ShellRequest deleteRequest(const QString &source, bool allowUndo, bool noConfirm)
{
    return request(FO_DELETE, source, QString(), allowUndo ? FOF_ALLOWUNDO : 0, noConfirm);
}

int CopyFiles(FileOperationOwner &owner, const QString &source, const QString &destination,
              bool noConfirm)
{
    return ShellFileOperation(owner).run(copyRequest(source, destination, noConfirm));
}

int MoveFiles(FileOperationOwner &owner, const QString &source, const QString &destination,
              bool noConfirm)
{
    return ShellFileOperation(owner).run(moveRequest(source, destination, noConfirm));
}

int DeleteFiles(FileOperationOwner &owner, const QString &source, bool allowUndo, bool noConfirm)
{
    return ShellFileOperation(owner).run(deleteRequest(source, allowUndo, noConfirm));
}

} // namespace modFileOperation
