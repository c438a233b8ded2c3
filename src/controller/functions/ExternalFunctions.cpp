#include "controller/functions/ExternalFunctions.h"

#include "core/FileDialogService.h"
#include "core/MessageService.h"
#include "core/Options.h"
#include "core/PathFunctions.h"
#include "core/SettingKeys.h"
#include "core/SettingsStore.h"
#include "imagelist/modFileOperation.h"

#include <QFileInfo>
#include <QProcess>

using namespace SettingKeys;

namespace {

// The stored codes by operation index; "（なし）" has none.
const QStringList codes { QString(), QStringLiteral("CP"), QStringLiteral("MV"),
                          QStringLiteral("RM"), QStringLiteral("ST") };
constexpr int operationDelete = 3;
constexpr int operationStart = 4;

} // namespace

ExternalFunctions::ExternalFunctions(Options &options, SettingsStore &store,
                                     MessageService &messages, FileOperationOwner &owner,
                                     FileDialogService &fileDialogs, QWidget *dialogOwner)
    : m_options(options)
    , m_store(store)
    , m_messages(messages)
    , m_owner(owner)
    , m_fileDialogs(fileDialogs)
    , m_dialogOwner(dialogOwner)
{ }

const QStringList &ExternalFunctions::operationNames()
{
    static const QStringList names { QStringLiteral("（なし）"), QStringLiteral("コピー"),
                                     QStringLiteral("移動"), QStringLiteral("削除"),
                                     QStringLiteral("実行") };
    return names;
}

void ExternalFunctions::initFunctionPage()
{
    m_options.setComboIndex(Opt::cmbFunction, 0);
    m_options.setComboIndex(Opt::cmbFunction_Operate, 0);
    showFunction();
}

void ExternalFunctions::showFunction()
{
    const QString value = m_store.GetSetting(
        Section::Function, QString::number(m_options.comboIndex(Opt::cmbFunction)));
    // The page compares the code exactly, as it stores it.
    const int operation = value.isEmpty() ? 0 : int(codes.indexOf(value.left(2)));
    m_options.setComboIndex(Opt::cmbFunction_Operate, qMax(operation, 0));
    m_options.setText(Opt::txtFunction_Path, value.mid(3));
}

bool ExternalFunctions::saveFunction(int number, int operation)
{
    const QString key = QString::number(number);
    if (operation <= 0 || operation >= codes.size()) {
        m_store.DeleteSetting(Section::Function, key);
        return true;
    }
    const QString path = m_options.text(Opt::txtFunction_Path);
    if (operation != operationDelete && path.isEmpty()) {
        m_messages.error(QStringLiteral("パスを指定してください。"));
        return false;
    }
    m_store.SaveSetting(Section::Function, key, codes[operation] + u'|' + path);
    return true;
}

void ExternalFunctions::cmdFunction_Save_Click()
{
    saveFunction(m_options.comboIndex(Opt::cmbFunction),
                 m_options.comboIndex(Opt::cmbFunction_Operate));
}

void ExternalFunctions::cmdFunction_Path_Click()
{
    const QString folder = m_store.GetSetting(Section::InitDir, InitDir::Function_Open);
    if (m_options.comboIndex(Opt::cmbFunction_Operate) == operationStart) {
        // The program typed so far is proposed, in its own folder when its path is absolute.
        const QString current = m_options.text(Opt::txtFunction_Path);
        const QFileInfo info(current);
        const bool ownFolder = !current.isEmpty() && (folder.isEmpty() || info.isAbsolute());
        // Programs here have no extension of their own to filter by.
        const FileDialogAnswer program = m_fileDialogs.ask({
            .kind = FileDialogKind::OpenFile,
            .owner = m_dialogOwner,
            .caption = QStringLiteral("ファイルを選択"),
            .folder = ownFolder ? info.absolutePath() : folder,
            .nameFilters = { QStringLiteral("All Files(*)") },
            .selectedFile = current.isEmpty() ? QString() : info.fileName(),
        });
        if (program.paths.isEmpty())
            return;
        m_options.setText(Opt::txtFunction_Path, program.first());
        m_store.SaveSetting(Section::InitDir, InitDir::Function_Open,
                            GetFolderPart(program.first()));
        return;
    }
    const FileDialogAnswer chosen = m_fileDialogs.ask({
        .kind = FileDialogKind::Folder,
        .owner = m_dialogOwner,
        .caption = QStringLiteral("フォルダを選択"),
        .folder = folder,
    });
    if (chosen.paths.isEmpty())
        return;
    const QString chosenFolder = AddBackslash(chosen.first());
    m_options.setText(Opt::txtFunction_Path, chosenFolder);
    m_store.SaveSetting(Section::InitDir, InitDir::Function_Open, chosenFolder);
}

void ExternalFunctions::runFunction(int number, const QString &file)
{
    const QString value = m_store.GetSetting(Section::Function, QString::number(number));
    if (value.isEmpty() || file.isEmpty())
        return;
    const QString code = value.left(2).toUpper();
    const QString path = value.mid(3);
    // A hand-edited value without a path must not copy into the root folder.
    if (code != codes[operationDelete] && path.isEmpty())
        return;
    // The layer below reports its own failures; nothing more is said here.
    if (code == codes[1])
        modFileOperation::CopyFiles(m_owner, file, AddBackslash(path) + GetFileName(file), false);
    else if (code == codes[2])
        modFileOperation::MoveFiles(m_owner, file, AddBackslash(path) + GetFileName(file), false);
    else if (code == codes[operationDelete])
        modFileOperation::DeleteFiles(m_owner, file, true, false);
    else if (code == codes[operationStart])
        // An argument list, never a shell: every character of both paths arrives as it is.
        QProcess::startDetached(path, { file });
}
