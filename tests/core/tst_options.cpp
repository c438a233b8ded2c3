#include "core/ColorHex.h"
#include "core/ConfiguredListModel.h"
#include "core/Options.h"
#include "core/SettingKeys.h"
#include "core/SettingProfiles.h"
#include "core/SettingsStore.h"

#include <QAbstractItemModelTester>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

class TestOptions : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    std::unique_ptr<SettingsStore> m_store;
    std::unique_ptr<Options> m_options;
    std::unique_ptr<ConfiguredListModel> m_list;
    std::unique_ptr<SettingProfiles> m_profiles;

    QStringList keysOf(const QString &section) const
    {
        QStringList keys;
        for (const auto &[k, v] : m_store->GetAllSettings(section))
            keys.append(k);
        return keys;
    }

private slots:
    void init()
    {
        QDir(m_dir.path()).removeRecursively();
        m_store = std::make_unique<SettingsStore>(m_dir.path());
        m_options = std::make_unique<Options>();
        m_list = std::make_unique<ConfiguredListModel>();
        m_profiles = std::make_unique<SettingProfiles>(*m_store, *m_options, *m_list);
    }

    void defaultsOfAFreshProgram()
    {
        QCOMPARE(m_options->text(Opt::txtMinutes), u"10"_qs);
        QVERIFY(m_options->option(Opt::optNoSort));
        QVERIFY(!m_options->option(Opt::optSortRandom));
        QVERIFY(m_options->isChecked(Opt::chkShowTitlebar));
        QVERIFY(!m_options->isChecked(Opt::chkLoop));
        QCOMPARE(m_options->text(Opt::txtBackColor), u"FFFFFF"_qs);
        QCOMPARE(m_options->text(Opt::txtMp_FastReverse), u"0.5"_qs);
        QVERIFY(m_options->option(Opt::optOverWrite));
        QCOMPARE(Options::find(u"chkBGM_AutoPause"_qs), std::optional(Opt::chkBGM_AutoPause));
        QCOMPARE(Options::find(u"cmbSetting"_qs), std::nullopt); // the profile box is no option
    }

    void optionButtonsAreExclusiveWithinTheirGroup()
    {
        QSignalSpy spy(m_options.get(), &Options::valueChanged);
        m_options->setOption(Opt::optSortRandom, true);
        QVERIFY(!m_options->option(Opt::optNoSort));
        QVERIFY(!m_options->option(Opt::optSortByFileName));
        QVERIFY(m_options->option(Opt::optOverWrite)); // the other group is untouched
        QCOMPARE(spy.size(), 2); // optSortRandom on, optNoSort off
    }

    void profileRoundTrip()
    {
        m_options->setText(Opt::txtMinutes, u"2.5"_qs);
        m_options->setOption(Opt::optSortByFileName, true);
        m_options->setCheck(Opt::chkLoop, 1);
        m_options->setComboIndex(Opt::cmbFixFormLocation, 4);
        m_options->setText(Opt::txtBGM, u"/音楽/a b.m3u"_qs);
        m_list->append({ u"/pics/"_qs, u"ﾌｫﾙﾀﾞ(*.jpg) ｻﾌﾞﾌｫﾙﾀﾞを検索"_qs, true });
        m_list->append({ u"/a.jpg"_qs, u"画像/動画ﾌｧｲﾙ"_qs, false });
        QVERIFY(m_profiles->transferSettingProfile(false, u"旅行"_qs));

        QCOMPARE(m_store->GetSetting(u"List_旅行"_qs, u"Describe1"_qs),
                 u"T ﾌｫﾙﾀﾞ(*.jpg) ｻﾌﾞﾌｫﾙﾀﾞを検索"_qs);
        QCOMPARE(m_store->GetSetting(u"List_旅行"_qs, u"Describe2"_qs), u"F 画像/動画ﾌｧｲﾙ"_qs);
        QCOMPARE(m_store->GetSetting(u"Options_旅行"_qs, u"optSortByFileName"_qs), u"True"_qs);
        QCOMPARE(m_store->GetSetting(u"Options_旅行"_qs, u"optNoSort"_qs), u"False"_qs);
        QCOMPARE(m_store->GetSetting(u"Options_旅行"_qs, u"cmbFixFormLocation"_qs), u"4"_qs);

        Options fresh;
        ConfiguredListModel freshList;
        SettingProfiles loader(*m_store, fresh, freshList);
        QSignalSpy loaded(&fresh, &Options::loaded);
        loader.transferSettingProfile(true, u"旅行"_qs);
        QCOMPARE(loaded.size(), 1);
        QCOMPARE(fresh.text(Opt::txtMinutes), u"2.5"_qs);
        QVERIFY(fresh.option(Opt::optSortByFileName));
        QVERIFY(!fresh.option(Opt::optNoSort));
        QCOMPARE(fresh.comboIndex(Opt::cmbFixFormLocation), 4);
        QCOMPARE(fresh.text(Opt::txtBGM), u"/音楽/a b.m3u"_qs);
        QCOMPARE(freshList.entries(), m_list->entries());
        // The default profile uses the plain section names.
        QVERIFY(m_profiles->transferSettingProfile(false, SettingKeys::defaultProfile));
        QCOMPARE(m_store->GetSetting(u"Options"_qs, u"chkLoop"_qs), u"1"_qs);
        QCOMPARE(m_store->GetSetting(u"List"_qs, u"File1"_qs), u"/pics/"_qs);
    }

    void listLoadStopsAtFirstIncompleteEntry()
    {
        m_store->SaveSetting(u"List"_qs, u"File1"_qs, u"/a.jpg"_qs);
        m_store->SaveSetting(u"List"_qs, u"Describe1"_qs, u"T 画像/動画ﾌｧｲﾙ"_qs);
        m_store->SaveSetting(u"List"_qs, u"File2"_qs, u"/b.jpg"_qs);
        m_store->SaveSetting(u"List"_qs, u"Describe2"_qs, u"F 画像/動画ﾌｧｲﾙ"_qs);
        m_store->SaveSetting(u"List"_qs, u"File3"_qs, u"/c.jpg"_qs);
        m_store->SaveSetting(u"List"_qs, u"File4"_qs, u"/d.jpg"_qs);
        m_store->SaveSetting(u"List"_qs, u"Describe4"_qs, u"T 画像/動画ﾌｧｲﾙ"_qs);
        m_profiles->transferSettingProfile(true, SettingKeys::defaultProfile);
        QCOMPARE(m_list->rowCount(), 2);
        QVERIFY(m_list->entry(0).checked);
        QVERIFY(!m_list->entry(1).checked);
        QCOMPARE(m_list->entry(1).kindText, u"画像/動画ﾌｧｲﾙ"_qs);
    }

    void savingAnEmptyListDeletesTheOldSection()
    {
        m_store->SaveSetting(u"List"_qs, u"File1"_qs, u"/a.jpg"_qs);
        m_store->SaveSetting(u"List"_qs, u"Describe1"_qs, u"T 画像/動画ﾌｧｲﾙ"_qs);
        m_store->SaveSetting(u"List"_qs, u"File2"_qs, u"/b.jpg"_qs);
        m_profiles->transferSettingProfile(false, SettingKeys::defaultProfile);
        QVERIFY(!m_store->sections().contains(u"List"_qs));
    }

    void storedValuesThatDoNotFitAreIgnored()
    {
        const QString section = u"Options"_qs;
        m_options->setComboIndex(Opt::cmbFixFormLocation, 2);
        m_store->SaveSetting(section, u"cmbFixFormLocation"_qs, u"5"_qs); // = item count
        m_store->SaveSetting(section, u"chkLoop"_qs, u"yes"_qs);
        m_store->SaveSetting(section, u"optSortRandom"_qs, u"maybe"_qs);
        m_store->SaveSetting(section, u"txtMinutes"_qs, QString()); // empty leaves the value
        m_options->setText(Opt::txtMinutes, u"7"_qs);
        m_profiles->transferOptions(true, SettingKeys::defaultProfile);
        QCOMPARE(m_options->comboIndex(Opt::cmbFixFormLocation), 2);
        QVERIFY(!m_options->isChecked(Opt::chkLoop));
        QVERIFY(m_options->option(Opt::optNoSort));
        QCOMPARE(m_options->text(Opt::txtMinutes), u"7"_qs);
        // A text empty by default and stored empty was cleared in this profile: no text of the
        // profile shown before stays. Absent, it is left as it is.
        m_options->setText(Opt::txtBGM, u"/music/旅の歌.mp3"_qs);
        m_profiles->transferOptions(true, SettingKeys::defaultProfile);
        QCOMPARE(m_options->text(Opt::txtBGM), u"/music/旅の歌.mp3"_qs);
        m_store->SaveSetting(section, u"txtBGM"_qs, QString());
        m_profiles->transferOptions(true, SettingKeys::defaultProfile);
        QCOMPARE(m_options->text(Opt::txtBGM), QString());

        m_store->SaveSetting(section, u"cmbFixFormLocation"_qs, u"4"_qs);
        m_profiles->transferOptions(true, SettingKeys::defaultProfile);
        QCOMPARE(m_options->comboIndex(Opt::cmbFixFormLocation), 4);
    }

    void susiePluginKeysFollowTheList()
    {
        const QStringList five { u"/p/a.spi"_qs, u"/p/b.spi"_qs, u"/p/c.spi"_qs, u"/p/d.spi"_qs,
                                 u"/p/e.spi"_qs };
        m_options->setSusiePlugins(five);
        m_profiles->transferOptions(false, SettingKeys::defaultProfile);
        m_options->setSusiePlugins(five.mid(0, 3));
        m_profiles->transferOptions(false, SettingKeys::defaultProfile);
        const QStringList keys
            = keysOf(u"Options"_qs).filter(QRegularExpression(u"^SusiePlugin"_qs));
        QCOMPARE(keys,
                 (QStringList { u"SusiePlugin1"_qs, u"SusiePlugin2"_qs, u"SusiePlugin3"_qs }));

        // A second profile in the same run shows only its own plug-ins.
        m_options->setSusiePlugins({ u"/q/only.spi"_qs });
        m_profiles->transferOptions(false, u"second"_qs);
        m_profiles->transferOptions(true, SettingKeys::defaultProfile);
        QCOMPARE(m_options->susiePlugins(), five.mid(0, 3));
        m_profiles->transferOptions(true, u"second"_qs);
        QCOMPARE(m_options->susiePlugins(), QStringList { u"/q/only.spi"_qs });
    }

    void backgroundColourText()
    {
        QCOMPARE(colorToHex(QColor(86, 52, 18)), u"563412"_qs);
        QCOMPARE(colorToHex(QColor(0, 10, 255)), u"000AFF"_qs);
        QColor c(1, 2, 3);
        QVERIFY(!hexToColor(u"0ff00"_qs, c));
        QVERIFY(!hexToColor(u"00ff0g"_qs, c));
        QVERIFY(!hexToColor(u"-0ff00"_qs, c));
        QVERIFY(!hexToColor(u"００ff00"_qs, c)); // full-width digits are not hex
        QCOMPARE(c, QColor(1, 2, 3));
        QVERIFY(hexToColor(u"00ff00"_qs, c));
        QCOMPARE(c, QColor(0, 255, 0));
    }

    void configuredListModelBehaves()
    {
        QAbstractItemModelTester tester(m_list.get(),
                                        QAbstractItemModelTester::FailureReportingMode::QtTest);
        m_list->append({ u"/a/"_qs, u"ﾌｫﾙﾀﾞ(*.*)"_qs, true });
        m_list->append({ u"/b.jpg"_qs, u"画像/動画ﾌｧｲﾙ"_qs, true });
        m_list->append({ u"/c.txt"_qs, u"ﾌｧｲﾙﾘｽﾄ"_qs, false });
        m_list->move(0, 2);
        QCOMPARE(m_list->entry(2).path, u"/a/"_qs);
        m_list->move(2, 0);
        QCOMPARE(m_list->entry(0).path, u"/a/"_qs);
        QVERIFY(m_list->setData(m_list->index(1, 0), Qt::Unchecked, Qt::CheckStateRole));
        QVERIFY(!m_list->entry(1).checked);
        QCOMPARE(m_list->data(m_list->index(2, 1)).toString(), u"ﾌｧｲﾙﾘｽﾄ"_qs);
        m_list->remove(1);
        QCOMPARE(m_list->rowCount(), 2);
        QCOMPARE(m_list->headerData(0, Qt::Horizontal).toString(), u"ﾌｧｲﾙ/ﾌｫﾙﾀﾞ名"_qs);
    }
};

QTEST_GUILESS_MAIN(TestOptions)
#include "tst_options.moc"
