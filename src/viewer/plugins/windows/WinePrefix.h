#pragma once

#include <QString>

// The Wine prefix the Windows plug-ins run in (WINEPREFIX, else ~/.wine) and the paths
// between it and this system.
class WinePrefix
{
public:
    static QString folder();
    // "Z:\home\me\a.kmo" for "/home/me/a.kmo": Wine's drive Z: is the root folder.
    static QString toWinePath(const QString &unixPath);
    // The folder a Windows path names inside the prefix (drive letters through its
    // "dosdevices"), letter case ignored as Windows does; empty when it does not exist.
    static QString toUnixPath(const QString &prefix, const QString &windowsPath);
    // The value "Path" of the key "Software\Kestrel\Susie\Plug-in" in the prefix's user
    // registry, where an installed Susie keeps its plug-in folder; empty when it is not set.
    static QString susiePluginPath(const QString &prefix);
};
