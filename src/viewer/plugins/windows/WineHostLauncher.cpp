#include "viewer/plugins/windows/WineHostLauncher.h"

#include "viewer/plugins/windows/WinePrefix.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

QString WineHostLauncher::hostFolder()
{
    const QString set = qEnvironmentVariable("LUNETTA_SPIHOST_DIR");
    if (!set.isEmpty())
        return set;
    const QDir programFolder(QCoreApplication::applicationDirPath());
    const QString beside = programFolder.filePath(QStringLiteral("winhost"));
    if (QFileInfo(beside).isDir())
        return beside;
    return QDir::cleanPath(programFolder.filePath(QStringLiteral(LUNETTA_WINHOST_INSTALL_RELDIR)));
}

QStringList WineHostLauncher::command(PluginFileKind::Kind kind, const QString &pluginPath)
{
    if (kind != PluginFileKind::Windows32 && kind != PluginFileKind::Windows64)
        return {};
    QString wine = qEnvironmentVariable("LUNETTA_WINE");
    if (wine.isEmpty())
        wine = QStandardPaths::findExecutable(QStringLiteral("wine"));
    if (wine.isEmpty() || !QFileInfo(wine).isExecutable())
        return {};
    const QString host = QDir(hostFolder())
                             .filePath(kind == PluginFileKind::Windows32 ? u"spihost32.exe"_qs
                                                                         : u"spihost64.exe"_qs);
    if (!QFileInfo(host).isFile())
        return {};
    return { wine, host, WinePrefix::toWinePath(QFileInfo(pluginPath).absoluteFilePath()) };
}

WindowsPluginHost::Limits WineHostLauncher::limits()
{
    WindowsPluginHost::Limits limits;
    bool ok = false;
    const int ms = qEnvironmentVariableIntValue("LUNETTA_SPIHOST_TIMEOUT_MS", &ok);
    if (ok && ms > 0)
        limits.callMs = ms;
    return limits;
}
