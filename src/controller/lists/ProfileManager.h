#pragma once

#include <QObject>
#include <QStringList>

#include <functional>

class SettingsStore;
class SettingProfiles;
class MessageService;

// The list of setting profiles shown in the profile box: which exist, which is selected, and
// the commands that create, save and delete them. "（標準）" always exists and comes first.
class ProfileManager : public QObject
{
    Q_OBJECT
public:
    ProfileManager(SettingsStore &store, SettingProfiles &profiles, MessageService &messages,
                   QObject *parent = nullptr);

    // Asked before the commands that are refused while the slideshow runs.
    void setRunningQuery(std::function<bool()> isRunning) { m_isRunning = std::move(isRunning); }

    QStringList names() const { return m_names; }
    int currentIndex() const { return m_current; }
    QString currentName() const { return m_current >= 0 ? m_names.value(m_current) : QString(); }

    // Fills the list from the store and selects the profile used last.
    void loadFromStore();
    // Selects the profile named exactly `name`; when there is none, selects the first unless
    // `onlyExist`. Selecting loads the profile. True when something was selected.
    bool SetSetting(const QString &name, bool onlyExist);
    // Selects without loading.
    void selectSettingQuietly(int index);
    // What the profile box does when the user picks an item: select and load.
    void cmbSetting_Click(int index);

    void mnuFile_SettingNew_Click();
    void mnuFile_SettingSave_Click();
    void mnuFile_SettingDelete_Click();

    // The profile list as stored: names joined by "|".
    QString joinedNames() const { return m_names.join(u'|'); }

signals:
    void namesChanged();
    void currentChanged(int index);

private:
    void select(int index, bool load);
    bool running() const { return m_isRunning && m_isRunning(); }

    SettingsStore &m_store;
    SettingProfiles &m_profiles;
    MessageService &m_messages;
    std::function<bool()> m_isRunning;
    QStringList m_names;
    int m_current = -1;
};
