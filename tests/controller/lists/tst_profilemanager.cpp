#include "RecordingMessageService.h"
#include "controller/lists/ProfileManager.h"
#include "core/ConfiguredListModel.h"
#include "core/Options.h"
#include "core/SettingKeys.h"
#include "core/SettingProfiles.h"
#include "core/SettingsStore.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

class TestProfileManager : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    std::unique_ptr<SettingsStore> m_store;
    Options m_options;
    ConfiguredListModel m_list;
    std::unique_ptr<SettingProfiles> m_profiles;
    RecordingMessageService m_messages;
    std::unique_ptr<ProfileManager> m_manager;
    bool m_running = false;

    void reopen()
    {
        m_store = std::make_unique<SettingsStore>(m_dir.path());
        m_profiles = std::make_unique<SettingProfiles>(*m_store, m_options, m_list);
        m_manager = std::make_unique<ProfileManager>(*m_store, *m_profiles, m_messages);
        m_manager->setRunningQuery([this] { return m_running; });
    }

private slots:
    void init()
    {
        QDir(m_dir.path()).removeRecursively();
        m_options.resetToDefaults();
        m_list.clear();
        m_messages = RecordingMessageService();
        m_running = false;
        reopen();
    }

    void firstRunHasTheDefaultProfileOnly()
    {
        m_manager->loadFromStore();
        QCOMPARE(m_manager->names(), QStringList { SettingKeys::defaultProfile });
        QCOMPARE(m_manager->currentIndex(), 0);
        m_manager->mnuFile_SettingSave_Click();
        QVERIFY(m_store->sections().contains(u"Options"_qs));
    }

    void newProfileCopiesAndSelectsWithoutReload()
    {
        m_manager->loadFromStore();
        m_list.append({ u"/pics/"_qs, u"ﾌｫﾙﾀﾞ(*.*)"_qs, true });
        m_options.setCheck(Opt::chkLoop, 1);
        m_messages.inputs.enqueue(u"A"_qs);
        QSignalSpy loads(&m_options, &Options::loaded);
        m_manager->mnuFile_SettingNew_Click();
        QCOMPARE(m_manager->names(), (QStringList { SettingKeys::defaultProfile, u"A"_qs }));
        QCOMPARE(m_manager->currentName(), u"A"_qs);
        QCOMPARE(loads.size(), 0);
        QCOMPARE(m_store->GetSetting(u"List_A"_qs, u"File1"_qs), u"/pics/"_qs);
        QCOMPARE(m_store->GetSetting(u"Options_A"_qs, u"chkLoop"_qs), u"1"_qs);
        QCOMPARE(m_messages.prompts,
                 QStringList { u"新しく作成する設定名を入力してください。"_qs });

        // Letter case makes a different name; the exact same name is refused.
        m_messages.inputs.enqueue(u"a"_qs);
        m_manager->mnuFile_SettingNew_Click();
        QCOMPARE(m_manager->names().size(), 3);
        m_messages.inputs.enqueue(u"A"_qs);
        m_manager->mnuFile_SettingNew_Click();
        QCOMPARE(m_messages.lastText(), u"同じ名前の設定がすでに存在しています。"_qs);
        m_messages.inputs.enqueue(u"x|y"_qs);
        m_manager->mnuFile_SettingNew_Click();
        QCOMPARE(m_messages.lastText(), u"設定名に'|'を含めないでください。"_qs);
        QCOMPARE(m_messages.messages.last().icon, MsgIcon::Error);
        m_messages.inputs.enqueue(std::nullopt); // cancelled: nothing happens
        m_messages.inputs.enqueue(QString()); // empty: nothing happens
        const int shown = int(m_messages.messages.size());
        m_manager->mnuFile_SettingNew_Click();
        m_manager->mnuFile_SettingNew_Click();
        QCOMPARE(m_messages.messages.size(), shown);
        QCOMPARE(m_manager->names().size(), 3);

        // The list of names survives a crash right after creating.
        reopen();
        m_manager->loadFromStore();
        QCOMPARE(m_manager->names(),
                 (QStringList { SettingKeys::defaultProfile, u"A"_qs, u"a"_qs }));
    }

    void refusedWhileRunning()
    {
        m_manager->loadFromStore();
        m_running = true;
        m_manager->mnuFile_SettingNew_Click();
        m_manager->mnuFile_SettingSave_Click();
        m_manager->mnuFile_SettingDelete_Click();
        QCOMPARE(m_messages.texts(),
                 (QStringList { u"自動表示中は設定の作成ができません。"_qs,
                                u"自動表示中は設定の保存ができません。"_qs,
                                u"自動表示中は設定の削除ができません。"_qs }));
        QVERIFY(m_messages.prompts.isEmpty());
        QVERIFY(m_store->sections().isEmpty());
    }

    void deleteLoadsTheDefaultProfile()
    {
        m_manager->loadFromStore();
        m_manager->mnuFile_SettingDelete_Click();
        QCOMPARE(m_messages.lastText(), u"標準の設定は削除できません。"_qs);

        m_options.setText(Opt::txtMinutes, u"3"_qs);
        m_manager->mnuFile_SettingSave_Click(); // default profile: 3 seconds
        m_options.setText(Opt::txtMinutes, u"99"_qs);
        m_messages.inputs.enqueue(u"empty list"_qs);
        m_manager->mnuFile_SettingNew_Click(); // saved with an empty list: no list section
        QVERIFY(!m_store->sections().contains(u"List_empty list"_qs));

        m_messages.answers.enqueue(MsgResult::Cancel);
        m_manager->mnuFile_SettingDelete_Click();
        QCOMPARE(m_messages.lastText(), u"本当に削除してもよろしいですか？"_qs);
        QCOMPARE(m_messages.messages.last().defaultButton, MsgResult::Cancel);
        QCOMPARE(m_manager->names().size(), 2);

        m_messages.answers.enqueue(MsgResult::Ok);
        m_manager->mnuFile_SettingDelete_Click();
        QCOMPARE(m_manager->names(), QStringList { SettingKeys::defaultProfile });
        QCOMPARE(m_manager->currentIndex(), 0);
        QCOMPARE(m_options.text(Opt::txtMinutes), u"3"_qs); // loaded, not kept
        QVERIFY(!m_store->sections().contains(u"Options_empty list"_qs));
    }

    void selectingLoadsAndKeepsAbsentKeys()
    {
        m_store->SaveSetting(u"Main"_qs, u"SettingList"_qs, u"（標準）|B|C|D"_qs);
        m_store->SaveSetting(u"Main"_qs, u"SettingName"_qs, u"C"_qs);
        m_store->SaveSetting(u"Options_B"_qs, u"txtMinutes"_qs, u"5"_qs);
        m_store->SaveSetting(u"Options_B"_qs, u"chkLoop"_qs, u"1"_qs);
        m_store->SaveSetting(u"Options_C"_qs, u"txtMinutes"_qs, u"7"_qs);
        m_store->SaveSetting(u"Options_D"_qs, u"txtMinutes"_qs, u"9"_qs);
        m_manager->loadFromStore();
        QCOMPARE(m_manager->currentName(), u"C"_qs);
        QCOMPARE(m_options.text(Opt::txtMinutes), u"7"_qs);
        m_manager->cmbSetting_Click(1);
        QVERIFY(m_options.isChecked(Opt::chkLoop));
        m_manager->cmbSetting_Click(3); // D has no chkLoop: it stays as B had it
        QCOMPARE(m_options.text(Opt::txtMinutes), u"9"_qs);
        QVERIFY(m_options.isChecked(Opt::chkLoop));
        m_manager->cmbSetting_Click(2);

        QVERIFY(!m_manager->SetSetting(u"c"_qs, true));
        QCOMPARE(m_manager->currentName(), u"C"_qs);
        QVERIFY(m_manager->SetSetting(u"nowhere"_qs, false));
        QCOMPARE(m_manager->currentIndex(), 0);
    }

    // Switching keeps what was edited in the profile left, as quitting does.
    void switchingKeepsTheEditsOfTheProfileLeft()
    {
        m_store->SaveSetting(u"Main"_qs, u"SettingList"_qs, u"（標準）|B"_qs);
        m_store->SaveSetting(u"List_B"_qs, u"File1"_qs, u"/old/"_qs);
        m_store->SaveSetting(u"List_B"_qs, u"Describe1"_qs, u"T フォルダ"_qs);
        m_store->SaveSetting(u"Options"_qs, u"txtMinutes"_qs, u"10"_qs);
        m_store->SaveSetting(u"Main"_qs, u"SettingName"_qs, u"B"_qs);
        m_manager->loadFromStore();
        QCOMPARE(m_list.rowCount(), 1);
        m_list.clear();
        m_list.append({ u"/new/a.jpg"_qs, u"ﾌｧｲﾙ"_qs, true });
        m_options.setText(Opt::txtMinutes, u"42"_qs);

        m_manager->cmbSetting_Click(0);
        QCOMPARE(m_options.text(Opt::txtMinutes), u"10"_qs);
        m_manager->cmbSetting_Click(1);
        QCOMPARE(m_list.rowCount(), 1);
        QCOMPARE(m_list.entry(0).path, u"/new/a.jpg"_qs);
        QCOMPARE(m_options.text(Opt::txtMinutes), u"42"_qs);
        QVERIFY(m_messages.messages.isEmpty());
    }

    void unknownSettingNameSelectsTheDefault()
    {
        m_store->SaveSetting(u"Main"_qs, u"SettingList"_qs, u"（標準）|B"_qs);
        m_store->SaveSetting(u"Main"_qs, u"SettingName"_qs, u"gone"_qs);
        m_manager->loadFromStore();
        QCOMPARE(m_manager->currentName(), SettingKeys::defaultProfile);
        QCOMPARE(m_manager->joinedNames(), u"（標準）|B"_qs);

        // A show started before the controller loads the profile the controller will select.
        for (const QString &stored : { u"gone"_qs, u"B"_qs, QString(), u"（標準）"_qs }) {
            m_store->SaveSetting(u"Main"_qs, u"SettingName"_qs, stored);
            m_manager->loadFromStore();
            QCOMPARE(SettingProfiles::storedSelection(*m_store), m_manager->currentName());
        }
    }
};

QTEST_GUILESS_MAIN(TestProfileManager)
#include "tst_profilemanager.moc"
