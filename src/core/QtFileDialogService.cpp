#include "core/QtFileDialogService.h"

#include <QFileDialog>

FileDialogAnswer QtFileDialogService::ask(const FileDialogRequest &request)
{
    QFileDialog dialog(request.owner, request.caption, request.folder);
    if (!request.objectName.isEmpty())
        dialog.setObjectName(request.objectName);
    switch (request.kind) {
    case FileDialogKind::OpenFile:
        dialog.setFileMode(QFileDialog::ExistingFile);
        dialog.setAcceptMode(QFileDialog::AcceptOpen);
        break;
    case FileDialogKind::OpenFiles:
        dialog.setFileMode(QFileDialog::ExistingFiles);
        dialog.setAcceptMode(QFileDialog::AcceptOpen);
        break;
    case FileDialogKind::SaveFile:
        dialog.setFileMode(QFileDialog::AnyFile);
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        break;
    case FileDialogKind::Folder:
        dialog.setFileMode(QFileDialog::Directory);
        dialog.setAcceptMode(QFileDialog::AcceptOpen);
        dialog.setOption(QFileDialog::ShowDirsOnly);
        break;
    }
    if (request.hideFilterDetails)
        dialog.setOption(QFileDialog::HideNameFilterDetails);
    if (!request.nameFilters.isEmpty())
        dialog.setNameFilters(request.nameFilters);
    if (!request.selectedFilter.isEmpty())
        dialog.selectNameFilter(request.selectedFilter);
    if (!request.defaultSuffix.isEmpty())
        dialog.setDefaultSuffix(request.defaultSuffix);
    if (!request.selectedFile.isEmpty())
        dialog.selectFile(request.selectedFile);
    if (dialog.exec() != QDialog::Accepted)
        return {};
    // An accepted dialog may still report an empty name; to the callers that is no choice.
    QStringList paths = dialog.selectedFiles();
    paths.removeAll(QString());
    return { paths, dialog.selectedNameFilter() };
}
