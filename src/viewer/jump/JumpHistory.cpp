#include "viewer/jump/JumpHistory.h"

#include "core/SettingKeys.h"
#include "core/SettingsStore.h"

using namespace SettingKeys;

void JumpHistory::load(const SettingsStore &store)
{
    m_entries.clear();
    for (int i = 0; i < maxEntries; ++i) {
        const QString word = store.GetSetting(Section::Jump, Jump::words(i), Jump::noWords);
        if (word == Jump::noWords)
            break;
        m_entries.append(word);
    }
    m_changed = false;
}

bool JumpHistory::saveIfChanged(SettingsStore &store, bool jumpOptions, bool notClose) const
{
    if (!m_changed)
        return true;
    SettingsStore::Batch batch(store);
    const auto flag = [](bool on) {
        return on ? QStringLiteral("1") : QStringLiteral("0");
    };
    store.SaveSetting(Section::Jump, Jump::chkJumpOptions, flag(jumpOptions));
    store.SaveSetting(Section::Jump, Jump::chkNotClose, flag(notClose));
    for (int i = 0; i < m_entries.size(); ++i)
        store.SaveSetting(Section::Jump, Jump::words(i), m_entries.at(i));
    return batch.commit();
}

void JumpHistory::add(const QString &text)
{
    m_entries.prepend(text);
    for (int i = m_entries.size() - 1; i >= 1; --i) {
        if (m_entries.at(i) == text) {
            m_entries.removeAt(i);
            break;
        }
    }
    while (m_entries.size() > maxEntries)
        m_entries.removeLast();
    m_changed = true;
}
