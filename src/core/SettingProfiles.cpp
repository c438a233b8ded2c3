#include "core/SettingProfiles.h"

#include "core/ConfiguredListModel.h"
#include "core/Options.h"
#include "core/SettingKeys.h"
#include "core/SettingsStore.h"

SettingProfiles::SettingProfiles(SettingsStore &store, Options &options, ConfiguredListModel &list)
    : m_store(store)
    , m_options(options)
    , m_list(list)
{ }

bool SettingProfiles::transferOptions(bool load, const QString &profileName)
{
    const QString section = SettingKeys::optionsSection(profileName);
    if (load) {
        for (const OptionInfo &s : Options::table()) {
            const QString stored = m_store.GetSetting(
                section, s.name, s.kind == OptionKind::Combo ? QStringLiteral("0") : QString());
            // An empty stored value leaves the option as it is, except for a text that is empty
            // by default (a path, a name): stored empty, it was cleared in this profile, and
            // kept, the text of the profile shown before would pass into this one and be saved
            // there.
            const bool cleared = stored.isEmpty() && s.kind == OptionKind::Text
                && s.defaultValue.isEmpty() && m_store.hasSetting(section, s.name);
            if (!stored.isEmpty() || cleared)
                m_options.applyStoredValue(s.id, stored);
        }
        m_options.setSusiePlugins(storedPlugins(profileName));
        emit m_options.loaded();
        return true;
    }

    SettingsStore::Batch batch(m_store);
    bool ok = true;
    for (const OptionInfo &s : Options::table())
        ok &= m_store.SaveSetting(section, s.name, m_options.storedValue(s.id));
    const QStringList plugins = m_options.susiePlugins();
    for (int i = 0; i < plugins.size(); ++i)
        ok &= m_store.SaveSetting(section, SettingKeys::susiePlugin(i + 1), plugins[i]);
    for (int i = int(plugins.size()) + 1;
         !m_store.GetSetting(section, SettingKeys::susiePlugin(i)).isEmpty(); ++i)
        ok &= m_store.DeleteSetting(section, SettingKeys::susiePlugin(i));
    return batch.commit() && ok;
}

QStringList SettingProfiles::storedPlugins(const QString &profileName) const
{
    const QString section = SettingKeys::optionsSection(profileName);
    QStringList plugins;
    for (int i = 1;; ++i) {
        const QString name = m_store.GetSetting(section, SettingKeys::susiePlugin(i));
        if (name.isEmpty())
            break;
        plugins.append(name);
    }
    return plugins;
}

bool SettingProfiles::transferSettingProfile(bool load, const QString &profileName)
{
    const QString section = SettingKeys::listSection(profileName);
    if (load) {
        QList<ConfiguredEntry> entries;
        for (int i = 1;; ++i) {
            const QString path = m_store.GetSetting(section, SettingKeys::List::file(i));
            const QString describe = m_store.GetSetting(section, SettingKeys::List::describe(i));
            if (path.isEmpty() || describe.isEmpty())
                break;
            entries.append({ path, describe.mid(2), describe.startsWith(u'T') });
        }
        m_list.setEntries(entries);
        return transferOptions(true, profileName);
    }

    SettingsStore::Batch batch(m_store);
    bool ok = true;
    if (!m_store.GetSetting(section, SettingKeys::List::file(1)).isEmpty())
        ok &= m_store.DeleteSetting(section);
    const auto &entries = m_list.entries();
    for (int i = 0; i < entries.size(); ++i) {
        const ConfiguredEntry &e = entries[i];
        ok &= m_store.SaveSetting(section, SettingKeys::List::file(i + 1), e.path);
        ok &= m_store.SaveSetting(section, SettingKeys::List::describe(i + 1),
                                  QString(e.checked ? u'T' : u'F') + u' ' + e.kindText);
    }
    ok &= transferOptions(false, profileName);
    return batch.commit() && ok;
}

QStringList SettingProfiles::storedNames(const SettingsStore &store)
{
    const QString stored = store.GetSetting(
        SettingKeys::Section::Main, SettingKeys::Main::SettingList, SettingKeys::defaultProfile);
    QStringList names;
    names.append(SettingKeys::defaultProfile);
    // The default profile always comes first; empty and repeated names cannot be selected
    // reliably, so a hand-edited list is tidied up.
    for (const QString &name : stored.split(u'|')) {
        if (!name.isEmpty() && !names.contains(name))
            names.append(name);
    }
    return names;
}

QString SettingProfiles::storedSelection(const SettingsStore &store)
{
    const QString name = store.GetSetting(
        SettingKeys::Section::Main, SettingKeys::Main::SettingName, SettingKeys::defaultProfile);
    return storedNames(store).contains(name) ? name : SettingKeys::defaultProfile;
}
