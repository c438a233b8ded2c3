#include "viewer/plugins/PluginDefaults.h"

#include "core/SettingKeys.h"
#include "core/SettingsStore.h"

namespace PluginDefaults {

bool seedFirstRun(SettingsStore &store, const QStringList &plugins)
{
    if (!store.sections().isEmpty() || plugins.isEmpty())
        return false;
    const QString section = SettingKeys::optionsSection(SettingKeys::defaultProfile);
    SettingsStore::Batch batch(store);
    store.SaveSetting(section, QStringLiteral("chkUseSusiePlugin"), QStringLiteral("1"));
    for (int i = 0; i < plugins.size(); ++i)
        store.SaveSetting(section, SettingKeys::susiePlugin(i + 1), plugins[i]);
    return batch.commit();
}

} // namespace PluginDefaults
