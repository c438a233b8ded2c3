#include "controller/lists/ProfileManager.h"

#include "core/MessageService.h"
#include "core/SettingKeys.h"
#include "core/SettingProfiles.h"
#include "core/SettingsStore.h"

ProfileManager::ProfileManager(SettingsStore &store, SettingProfiles &profiles,
                               MessageService &messages, QObject *parent)
    : QObject(parent)
    , m_store(store)
    , m_profiles(profiles)
    , m_messages(messages)
    , m_names { SettingKeys::defaultProfile }
{ }

void ProfileManager::loadFromStore()
{
    m_names = SettingProfiles::storedNames(m_store);
    m_current = -1;
    emit namesChanged();
    SetSetting(m_store.GetSetting(SettingKeys::Section::Main, SettingKeys::Main::SettingName,
                                  SettingKeys::defaultProfile),
               false);
}

bool ProfileManager::SetSetting(const QString &name, bool onlyExist)
{
    const int index = int(m_names.indexOf(name));
    if (index < 0) {
        if (onlyExist)
            return false;
        select(0, true);
        return true;
    }
    select(index, true);
    return true;
}

void ProfileManager::selectSettingQuietly(int index)
{
    select(index, false);
}

void ProfileManager::cmbSetting_Click(int index)
{
    select(index, true);
}

void ProfileManager::select(int index, bool load)
{
    if (index < 0 || index >= m_names.size())
        return;
    const int previous = m_current;
    const bool changed = index != m_current;
    m_current = index;
    if (changed)
        emit currentChanged(index);
    if (!load)
        return;
    // The profile in use keeps its edits, as it does when the program quits with it: a list
    // or an option changed and not saved by hand was lost when another profile was loaded.
    if (previous >= 0 && !m_profiles.transferSettingProfile(false, m_names[previous]))
        m_messages.warning(QStringLiteral("設定を保存できませんでした。\r\n\"") + m_names[previous]
                           + QStringLiteral("\" の変更は失われます。"));
    m_profiles.transferSettingProfile(true, m_names[index]);
}

void ProfileManager::mnuFile_SettingNew_Click()
{
    if (running()) {
        m_messages.warning(QStringLiteral("自動表示中は設定の作成ができません。"));
        return;
    }
    const auto answer
        = m_messages.inputBox(QStringLiteral("新しく作成する設定名を入力してください。"),
                              QStringLiteral("Lunetta - 新規設定"), QString());
    if (!answer || answer->isEmpty())
        return;
    const QString name = *answer;
    if (name.contains(u'|')) {
        m_messages.error(QStringLiteral("設定名に'|'を含めないでください。"));
        return;
    }
    if (m_names.contains(name)) {
        m_messages.warning(QStringLiteral("同じ名前の設定がすでに存在しています。"));
        return;
    }
    m_profiles.transferSettingProfile(false, name);
    m_names.append(name);
    emit namesChanged();
    selectSettingQuietly(int(m_names.size()) - 1);
    // Remember the new profile at once: a crash before exit must not leave its sections
    // behind without a name that points at them.
    m_store.SaveSetting(SettingKeys::Section::Main, SettingKeys::Main::SettingList, joinedNames());
}

void ProfileManager::mnuFile_SettingSave_Click()
{
    if (running()) {
        m_messages.warning(QStringLiteral("自動表示中は設定の保存ができません。"));
        return;
    }
    m_profiles.transferSettingProfile(false, currentName());
}

void ProfileManager::mnuFile_SettingDelete_Click()
{
    if (running()) {
        m_messages.warning(QStringLiteral("自動表示中は設定の削除ができません。"));
        return;
    }
    if (m_current <= 0) {
        m_messages.error(QStringLiteral("標準の設定は削除できません。"));
        return;
    }
    if (!m_messages.confirm(QStringLiteral("本当に削除してもよろしいですか？")))
        return;
    const QString name = currentName();
    {
        SettingsStore::Batch batch(m_store);
        m_store.DeleteSetting(SettingKeys::optionsSection(name));
        m_store.DeleteSetting(SettingKeys::listSection(name));
        m_names.removeAt(m_current);
        m_store.SaveSetting(SettingKeys::Section::Main, SettingKeys::Main::SettingList,
                            joinedNames());
    }
    m_current = -1;
    emit namesChanged();
    select(0, true);
}
