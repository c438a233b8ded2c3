#include "controller/functions/FunctionPathDialog.h"

#include <QFileDialog>
#include <QFileInfo>

FunctionPathDialog::FunctionPathDialog(QWidget *owner)
    : m_owner(owner)
{ }

std::optional<QString> FunctionPathDialog::chooseProgram(const QString &folder,
                                                         const QString &current)
{
    // Programs here have no extension of their own to filter by.
    QFileDialog dialog(m_owner, QStringLiteral("ファイルを選択"), folder,
                       QStringLiteral("All Files(*)"));
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    if (!current.isEmpty()) {
        const QFileInfo info(current);
        if (folder.isEmpty() || info.isAbsolute())
            dialog.setDirectory(info.absolutePath());
        dialog.selectFile(info.fileName());
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return dialog.selectedFiles().first();
}

std::optional<QString> FunctionPathDialog::chooseFolder(const QString &folder)
{
    const QString chosen
        = QFileDialog::getExistingDirectory(m_owner, QStringLiteral("フォルダを選択"), folder);
    if (chosen.isEmpty())
        return std::nullopt;
    return chosen;
}
