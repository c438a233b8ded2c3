#include "RecordingMessageService.h"
#include "Sandbox.h"

#include "controller/hotkeys/HotKeyPage.h"
#include "core/SettingKeys.h"
#include "core/SettingsStore.h"
#include "winsvc/clsHotKey.h"

#include <QApplication>
#include <QCheckBox>
#include <QListWidget>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

namespace {

// Holds grabs as a desktop would: one combination one holder, `taken` held by another program.
class FakeBackend : public HotKeyBackend
{
public:
    QHash<int, QPair<int, int>> &grabs;
    QPair<int, int> taken { 66, 3 };
    explicit FakeBackend(QHash<int, QPair<int, int>> &g)
        : grabs(g)
    { }
    // As X11 does: another program's key is refused, but the same program may grab a key
    // twice, and giving back either grab gives back the key.
    bool grab(int id, int vk, int mask, const QString &) override
    {
        const QPair<int, int> combo(vk, mask);
        if (combo == taken)
            return false;
        grabs.insert(id, combo);
        return true;
    }
    void ungrab(int id) override
    {
        const QPair<int, int> combo = grabs.value(id);
        grabs.removeIf([&](auto it) { return it.value() == combo; });
    }
    // As the desktop would, the press reaches the target window from the event loop.
    void press(int vk, int mask)
    {
        for (auto it = grabs.cbegin(); it != grabs.cend(); ++it)
            if (it.value() == qMakePair(vk, mask))
                pressed(it.key());
        QCoreApplication::sendPostedEvents();
    }
};

} // namespace

class TestHotKeys : public QObject
{
    Q_OBJECT

    QHash<int, QPair<int, int>> m_grabs;
    QWidget m_target;

    std::unique_ptr<clsHotKey> make(FakeBackend **backend = nullptr)
    {
        auto b = std::make_unique<FakeBackend>(m_grabs);
        if (backend)
            *backend = b.get();
        auto k = std::make_unique<clsHotKey>(std::move(b));
        k->setPTarget(&m_target);
        return k;
    }

private slots:
    void namesAreHeldOnceAndReleasedWithTheObject()
    {
        FakeBackend *backend = nullptr;
        auto keys = make(&backend);
        QSignalSpy spy(keys.get(), &clsHotKey::HotKey);
        QVERIFY(keys->mAddHotKey(u"開始"_qs, 83, 3));
        // The same name twice, also from another object, fails and the first stays.
        QVERIFY(!keys->mAddHotKey(u"開始"_qs, 84, 3));
        QVERIFY(!make()->mAddHotKey(u"開始"_qs, 85, 1));
        QVERIFY(!keys->mDeleteHotKey(u"never"_qs));
        QCOMPARE(keys->keyNames(), QStringList { u"開始"_qs });
        // A refused combination leaves no name behind.
        QVERIFY(!keys->mAddHotKey(u"taken"_qs, 66, 3));
        QCOMPARE(HotKeyAtoms::find(u"taken"_qs), 0);
        const QString longName(60, u'x');
        QVERIFY(keys->mAddHotKey(longName, 112, 0));
        backend->press(112, 0);
        backend->press(83, 3);
        QCOMPARE(spy.count(), 2);
        QCOMPARE(spy.at(0).at(0).toString(), longName.left(55));
        QCOMPARE(spy.at(1), (QList<QVariant> { u"開始"_qs, 3, 83 }));
        keys.reset();
        QVERIFY(m_grabs.isEmpty());
        QCOMPARE(HotKeyAtoms::find(u"開始"_qs), 0);
        QVERIFY(!clsHotKey(std::make_unique<FakeBackend>(m_grabs)).mAddHotKey(u"a"_qs, 65, 0));
    }

    // A hand-edited file that binds one combination twice: the first binding stays and works,
    // the others are dropped.
    void storedDuplicatesKeepTheFirst()
    {
        Sandbox box;
        SettingsStore store(box.path(u"config"_qs));
        store.SaveSetting(SettingKeys::Section::HotKey, u"開始"_qs, u"83,3"_qs);
        store.SaveSetting(SettingKeys::Section::HotKey, u"次の画像へ"_qs, u"83,3"_qs);
        RecordingMessageService messages;
        FakeBackend *backend = nullptr;
        auto keys = make(&backend);
        QSignalSpy spy(keys.get(), &clsHotKey::HotKey);
        HotKeyPage page;
        page.initHotKeyPage(*keys, store, messages);
        QCOMPARE(keys->keyNames(), QStringList { u"開始"_qs });
        QVERIFY(!store.hasSetting(SettingKeys::Section::HotKey, u"次の画像へ"_qs));
        backend->press(83, 3);
        QCOMPARE(spy.size(), 1);
        QCOMPARE(spy.first().first().toString(), u"開始"_qs);
    }

    void thePageStoresAndShowsBindings()
    {
        Sandbox box;
        SettingsStore store(box.path(u"config"_qs));
        store.SaveSetting(SettingKeys::Section::HotKey, u"終了"_qs, u"123,8"_qs);
        store.SaveSetting(SettingKeys::Section::HotKey, u"隠す"_qs, u"garbage"_qs);
        RecordingMessageService messages;
        auto keys = make();
        HotKeyPage page;
        page.initHotKeyPage(*keys, store, messages);
        QCOMPARE(keys->keyNames(), QStringList { u"終了"_qs });
        auto *functions = page.findChild<QListWidget *>(u"lstHotKey_Function"_qs);
        auto *keyList = page.findChild<QListWidget *>(u"lstHotKey"_qs);
        QCOMPARE(functions->count(), 28);
        QCOMPARE(keyList->count(), 1 + 12 + 26 + 9 + 18);
        auto *ctrl = page.findChild<QCheckBox *>(u"chkHotKey_Ctrl"_qs);
        auto *alt = page.findChild<QCheckBox *>(u"chkHotKey_Alt"_qs);
        auto *win = page.findChild<QCheckBox *>(u"chkHotKey_Windows"_qs);
        QCOMPARE(keyList->currentItem()->text(), u"（未登録）"_qs);
        QVERIFY(!ctrl->isChecked() && !alt->isChecked() && !win->isChecked());
        functions->setCurrentRow(6);
        QCOMPARE(keyList->currentItem()->text(), u"F12"_qs);
        QVERIFY(win->isChecked());

        auto *save = page.findChild<QPushButton *>(u"cmdHotKey_Save"_qs);
        functions->setCurrentRow(5); // 開始
        keyList->setCurrentItem(keyList->findItems(u"S"_qs, Qt::MatchExactly).value(0));
        ctrl->setChecked(true);
        alt->setChecked(true);
        save->click();
        QCOMPARE(messages.lastText(), u"登録しました。"_qs);
        QCOMPARE(store.GetSetting(SettingKeys::Section::HotKey, u"開始"_qs), u"83,3"_qs);
        // The same combination for a second function fails and leaves it unbound.
        functions->setCurrentRow(4);
        keyList->setCurrentItem(keyList->findItems(u"S"_qs, Qt::MatchExactly).value(0));
        ctrl->setChecked(true);
        alt->setChecked(true);
        save->click();
        QCOMPARE(messages.lastText(), u"登録に失敗しました。"_qs);
        QVERIFY(!store.hasSetting(SettingKeys::Section::HotKey, u"ポーズ"_qs));
        QCOMPARE(keys->holderOf(83, 3), u"開始"_qs); // the first binding still works
        QCOMPARE(keyList->currentItem()->text(), u"（未登録）"_qs);
        QVERIFY(!ctrl->isChecked());
        // "（未登録）" removes the binding and the key.
        functions->setCurrentRow(5);
        keyList->setCurrentRow(0);
        save->click();
        QCOMPARE(messages.lastText(), u"登録しました。"_qs);
        QVERIFY(!store.hasSetting(SettingKeys::Section::HotKey, u"開始"_qs));
        QCOMPARE(keys->keyNames(), QStringList { u"終了"_qs });
    }
};

QTEST_MAIN(TestHotKeys)
#include "tst_hotkeys.moc"
