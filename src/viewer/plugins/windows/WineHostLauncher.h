#pragma once

#include "viewer/plugins/PluginFileKind.h"
#include "viewer/plugins/windows/WindowsPluginHost.h"

#include <QStringList>

// How a Windows plug-in's host is started: Wine ("wine" on the search path, or the program
// LUNETTA_WINE names) running Lunetta's host for the plug-in's word size. LUNETTA_SPIHOST_DIR
// names the hosts' folder instead of the one beside the program; LUNETTA_SPIHOST_TIMEOUT_MS
// shortens the time limit of a call.
class WineHostLauncher
{
public:
    // The command that starts the host for the plug-in; empty when Wine or the host is missing.
    static QStringList command(PluginFileKind::Kind kind, const QString &pluginPath);
    static QString hostFolder();
    static WindowsPluginHost::Limits limits();
};
