#pragma once

#include <QString>
#include <QStringList>

class SettingsStore;
class Options;
class ConfiguredListModel;

// Moves a setting profile (its options record and configured list) between the settings store
// and the models the windows show.
class SettingProfiles
{
public:
    SettingProfiles(SettingsStore &store, Options &options, ConfiguredListModel &list);

    // load = true: store → models; false: models → store. Returns false when a write failed.
    bool transferOptions(bool load, const QString &profileName);
    bool transferSettingProfile(bool load, const QString &profileName);
    // The plug-in list a profile has in the store, in the order the plug-ins are tried.
    QStringList storedPlugins(const QString &profileName) const;
    // The profile names in the store, the default profile first, empty and repeated names
    // left out.
    static QStringList storedNames(const SettingsStore &store);
    // The profile selected when the controller loads: the one used last while it still exists.
    static QString storedSelection(const SettingsStore &store);

private:
    SettingsStore &m_store;
    Options &m_options;
    ConfiguredListModel &m_list;
};
