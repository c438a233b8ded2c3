#include "core/Startup.h"

#include "core/AtomicFile.h"
#include "core/CommandLine.h"
#include "core/MessageService.h"
#include "core/PathFunctions.h"
#include "core/SettingsStore.h"
#include "core/StartupTarget.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace Startup {

bool uninstall(const QString &settingsFolder, const QString &settingsFile, MessageService &messages)
{
    // Only the program's own files go: the settings, their damaged copies and temporary files,
    // the work-area hint. The folder may be one the user keeps other files in (a portable
    // setup names it); it is removed only when that leaves it empty. Counts as done when there
    // was something of the program's and none of it is left.
    QDir folder(settingsFolder);
    const QString settingsName = QFileInfo(settingsFile).fileName();
    const QStringList own = folder.entryList(
        { settingsName, settingsName + QStringLiteral(".*"), QStringLiteral("workarea.cache*") },
        QDir::Files | QDir::Hidden | QDir::System);
    bool ok = folder.exists() && !own.isEmpty();
    for (const QString &name : own)
        ok = folder.remove(name) && ok;
    if (ok && folder.isEmpty(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System))
        folder.rmdir(folder.absolutePath());
    if (ok) {
        messages.inform(QStringLiteral("レジストリの削除に成功しました。"));
    } else {
        messages.inform(QStringLiteral("レジストリの削除に失敗しました。\r\nお手数ですが、\r\n\"")
                        + settingsFile + QStringLiteral("\"\r\nを直接削除してください。"));
    }
    return ok;
}

QString helpFilePath(const QString &programFolder)
{
    // A build tree keeps the help next to the program; an installed program finds it under the
    // data folder, at the same place relative to itself wherever the prefix is.
    const QString beside = AddBackslash(programFolder) + QStringLiteral("help/index.html");
    if (QFileInfo::exists(beside))
        return beside;
    return QDir::cleanPath(AddBackslash(programFolder)
                           + QStringLiteral(LUNETTA_HELP_INSTALL_RELDIR "/index.html"));
}

void openExistingPath(const QString &path, const QString &shown, StartupTarget &target,
                      MessageService &messages)
{
    if (!IsFolder(path)) {
        if (!target.ReadShiori(normalisePath(path)) && !target.OpenFolderDirect(QString(), path))
            messages.warning(QStringLiteral("ファイルを指定しての起動に失敗しました。\r\n")
                             + shown);
        return;
    }
    if (!target.OpenFolderDirect(path, QString()))
        messages.warning(QStringLiteral("フォルダを指定しての起動に失敗しました。\r\n") + shown);
}

void dispatchArgument(const QString &raw, StartupTarget &target, MessageService &messages)
{
    if (raw.isEmpty())
        return;
    const QString arg = CommandLine::argument(raw);
    if (!FileExists(arg)) {
        if (target.SetSetting(arg, true))
            target.startFromList();
        else
            messages.warning(QStringLiteral("設定が見つかりませんでした。\r\n") + arg);
        return;
    }
    openExistingPath(absoluteArgumentPath(arg), arg, target, messages);
}

} // namespace Startup

namespace {

QString workAreaFile(const QString &settingsFolder)
{
    return QDir(settingsFolder).filePath(QStringLiteral("workarea.cache"));
}

} // namespace

QSize Startup::lastWorkArea(const QString &settingsFolder)
{
    QFile file(workAreaFile(settingsFolder));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QList<QByteArray> sides = file.read(64).trimmed().split(' ');
    if (sides.size() != 2)
        return {};
    bool wide = false;
    bool high = false;
    const QSize size(sides[0].toInt(&wide), sides[1].toInt(&high));
    constexpr int largest = 100000;
    if (!wide || !high || size.width() <= 0 || size.height() <= 0 || size.width() > largest
        || size.height() > largest)
        return {};
    return size;
}

int Startup::removeSaveLeftovers(const QString &settingsFolder)
{
    // A save names its file for a moment only: anything older is a leftover.
    constexpr int savingSeconds = 10;
    return AtomicFile::removeLeftovers(
        settingsFolder,
        { QFileInfo(SettingsStore::filePathIn(settingsFolder)).fileName(),
          QFileInfo(workAreaFile(settingsFolder)).fileName() },
        savingSeconds);
}

void Startup::keepWorkArea(const QString &settingsFolder, QSize workArea)
{
    if (!workArea.isValid() || workArea.isEmpty() || !QDir().mkpath(settingsFolder))
        return;
    QSaveFile file(workAreaFile(settingsFolder));
    if (!file.open(QIODevice::WriteOnly))
        return;
    file.write(QByteArray::number(workArea.width()) + ' ' + QByteArray::number(workArea.height())
               + '\n');
    file.commit();
}
