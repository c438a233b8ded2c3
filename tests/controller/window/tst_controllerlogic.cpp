#include "Sandbox.h"

#include "controller/window/ControllerGeometry.h"
#include "controller/lists/DirectStart.h"
#include "controller/window/ShutdownSettings.h"
#include "core/ConfiguredListModel.h"
#include "core/Options.h"
#include "core/SettingProfiles.h"
#include "core/SettingsStore.h"
#include "imagelist/BookmarkFile.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

using namespace ControllerGeometry;

class TestControllerLogic : public QObject
{
    Q_OBJECT
private slots:
    void viewLevels()
    {
        QCOMPARE(initialViewLevel(false, false, false), 1);
        QCOMPARE(initialViewLevel(true, false, false), 2);
        QCOMPARE(initialViewLevel(false, true, false), 3);
        QCOMPARE(initialViewLevel(false, false, true), 4);
        const Parts parts { 420, 390, 600, 4000, 700.4 };
        QCOMPARE(windowHeightForLevel(1, parts), 1120);
        QCOMPARE(windowHeightForLevel(2, parts), 1510);
        QCOMPARE(windowHeightForLevel(3, parts), 2110);
        QCOMPARE(windowHeightForLevel(4, parts), 6350);
        // The bottom edge stays where it was: 1000 + 6350 = 3000 + 4350.
        QCOMPARE(topKeepingBottom(1000, 6350, 2110) + 2110, 1000 + 6350);
    }

    void offScreenPositionIsCorrectedPerAxis()
    {
        const QSize window(6000, 4000), screen(24000, 15000);
        QCOMPARE(correctOffScreen({ 100, 200 }, window, screen), QPoint(100, 200));
        QCOMPARE(correctOffScreen({ 30000, 200 }, window, screen), QPoint(0, 200));
        QCOMPARE(correctOffScreen({ 100, -4000 }, window, screen), QPoint(100, 0));
        QCOMPARE(correctOffScreen({ -5999, 14999 }, window, screen), QPoint(-5999, 14999));
        QCOMPARE(correctOffScreen({ -6000, 15000 }, window, screen), QPoint(0, 0));
    }

    void shutdownWritesEveryKeyInOrder()
    {
        QTemporaryDir dir;
        SettingsStore store(dir.path());
        store.SaveSetting(u"Main"_qs, u"Top"_qs, u"555"_qs);
        store.SaveSetting(u"Jump"_qs, u"LastFile"_qs, u"/old.jpg"_qs);
        Options options;
        ConfiguredListModel list;
        list.append({ u"/p/"_qs, u"ﾌｫﾙﾀﾞ(*.*)"_qs, true });
        SettingProfiles profiles(store, options, list);

        ShutdownSettings s;
        s.profileName = u"旅行"_qs;
        s.profileList = u"（標準）|旅行"_qs;
        s.columnWidths = { 3000, 1500 };
        s.showPlayer = false;
        s.fixBottom = true;
        s.tab = 3;
        s.viewerRect = QRect(15, 30, 4500, 3000);
        QVERIFY(s.write(store, profiles));

        // Minimised controller and empty list: their old values stay.
        QCOMPARE(store.GetSetting(u"Main"_qs, u"Top"_qs), u"555"_qs);
        QCOMPARE(store.GetSetting(u"Jump"_qs, u"LastFile"_qs), u"/old.jpg"_qs);
        QCOMPARE(store.GetSetting(u"List_旅行"_qs, u"File1"_qs), u"/p/"_qs);
        QCOMPARE(store.GetSetting(u"ListWindow"_qs, u"Column_2"_qs), u"1500"_qs);
        QStringList main;
        for (const auto &[k, v] : store.GetAllSettings(u"Main"_qs))
            main.append(k + u'=' + v);
        QCOMPARE(
            main,
            (QStringList { u"Top=555"_qs, u"SettingList=（標準）|旅行"_qs, u"SettingName=旅行"_qs,
                           u"ShowMoviebar=True"_qs, u"ShowPlayer=False"_qs, u"ShowSetting=True"_qs,
                           u"FixBottom=True"_qs, u"AlwaysOnTop=False"_qs, u"Tab=3"_qs }));
        QCOMPARE(store.GetSetting(u"Viewer"_qs, u"Width"_qs), u"4500"_qs);
        QCOMPARE(store.GetSetting(u"Viewer"_qs, u"Left"_qs), u"15"_qs);

        s.lastFile = u"/now.jpg"_qs;
        s.controllerTopLeft = QPoint(45, 90);
        QVERIFY(s.write(store, profiles));
        QCOMPARE(store.GetSetting(u"Jump"_qs, u"LastFile"_qs), u"/now.jpg"_qs);
        QCOMPARE(store.GetSetting(u"Main"_qs, u"Top"_qs), u"90"_qs);
        QCOMPARE(store.GetSetting(u"Main"_qs, u"Left"_qs), u"45"_qs);
    }

    // What the start-up argument opens before the controller window exists: a folder or a
    // file that is no bookmark. A profile name and a bookmark (which selects its own profile)
    // wait for the window.
    void directStartTargets_data()
    {
        QTest::addColumn<QString>("argument");
        QTest::addColumn<QString>("folder");
        QTest::addColumn<QString>("file");
        QTest::newRow("nothing") << QString() << QString() << QString();
        QTest::newRow("a profile name") << u"旅行"_qs << QString() << QString();
        QTest::newRow("a folder, quoted") << u"\"<box>pics\""_qs << u"<box>pics"_qs << QString();
        QTest::newRow("a picture")
            << u"<box>pics/a b.jpg"_qs << QString() << u"<box>pics/a b.jpg"_qs;
        QTest::newRow("a bookmark") << u"<box>resume.kvs"_qs << QString() << QString();
        QTest::newRow("a text file that is no bookmark")
            << u"<box>notes.kvs"_qs << QString() << u"<box>notes.kvs"_qs;
    }
    void directStartTargets()
    {
        QFETCH(QString, argument);
        QFETCH(QString, folder);
        QFETCH(QString, file);
        Sandbox box;
        box.file(u"pics/a b.jpg"_qs);
        QVERIFY(!BookmarkFile::write(box.path(u"resume.kvs"_qs), 1, u"旅行"_qs,
                                     { box.path(u"pics/a b.jpg"_qs) }));
        box.file(u"notes.kvs"_qs, "[Main]\r\nnothing here\r\n");
        const auto target = DirectStart::argumentTarget(argument.replace(u"<box>"_qs, box.root()));
        QCOMPARE(target.has_value(), !folder.isEmpty() || !file.isEmpty());
        if (target) {
            QCOMPARE(QDir::cleanPath(target->folder), folder.replace(u"<box>"_qs, box.root()));
            QCOMPARE(target->file, file.replace(u"<box>"_qs, box.root()));
        }
    }
};

QTEST_GUILESS_MAIN(TestControllerLogic)
#include "tst_controllerlogic.moc"
