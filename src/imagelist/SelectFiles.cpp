#include "imagelist/SelectFiles.h"

#include "core/PathFunctions.h"
#include "imagelist/FileSelection.h"

#include <QFileDialog>

QStringList SelectFiles(QWidget *owner, SettingsStore &store, const QString &initialName,
                        const QString &key)
{
    const QStringList filters = FileSelection::nameFilters(FileSelection::selectFilesFilter);
    QString folder = GetFolderPart(initialName);
    if (folder.isEmpty() || !IsFolder(folder))
        folder = FileSelection::initialFolder(store, key);

    QFileDialog dialog(owner, QStringLiteral("ファイルの選択"), folder);
    dialog.setObjectName(QStringLiteral("SelectFiles"));
    dialog.setFileMode(QFileDialog::ExistingFiles);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    // Shows each file type by its description alone; the patterns in it are the real ones.
    dialog.setOption(QFileDialog::HideNameFilterDetails);
    dialog.setNameFilters(filters);
    if (const int index = FileSelection::filterIndex(store, key, int(filters.size())))
        dialog.selectNameFilter(filters[index - 1]);
    if (!initialName.isEmpty())
        dialog.selectFile(initialName);

    if (dialog.exec() != QDialog::Accepted)
        return {};
    const QStringList files = dialog.selectedFiles();
    if (files.isEmpty() || files.first().isEmpty())
        return {};
    FileSelection::remember(store, key, files,
                            FileSelection::filterNumber(filters, dialog.selectedNameFilter()));
    return files;
}
