#pragma once

#include <QString>

// Where Lunetta keeps its files.
namespace AppPaths {

// $LUNETTA_CONFIG_DIR when set, else ~/.config/Lunetta (after $XDG_CONFIG_HOME).
QString settingsFolder();
// The lock that keeps one instance per settings folder.
QString instanceLockPath(const QString &settingsFolder);

} // namespace AppPaths
