#pragma once

#include <QStringList>

class SettingsStore;

// The plug-in settings of a new user.
namespace PluginDefaults {

// For a settings store that did not exist when the program started: lists `plugins` in the
// default profile and turns plug-in decoding on, so that a new user's GIFs show. Does nothing
// when the store already holds anything. True when it wrote the settings.
bool seedFirstRun(SettingsStore &store, const QStringList &plugins);

} // namespace PluginDefaults
