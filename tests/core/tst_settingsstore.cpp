#include "FileSizeLimit.h"
#include "Sandbox.h"
#include "core/SettingsStore.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#include <unistd.h>

using namespace Qt::StringLiterals;

class TestSettingsStore : public QObject
{
    Q_OBJECT

private slots:
    void roundTripsAwkwardText_data()
    {
        QTest::addColumn<QString>("section");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("value");
        QTest::newRow("slashes") << u"HotKey"_qs << u"BGMの再生/一時停止"_qs << u"C:\\a\\b/c"_qs;
        QTest::newRow("equals and brackets")
            << u"Options_[x]=y"_qs << u"a=b[c]"_qs << u"[Files]\r\nPage=3"_qs;
        QTest::newRow("line breaks") << u"Jump"_qs << u"Words0"_qs << u"\r"_qs;
        QTest::newRow("blanks at the edges") << u"  sp "_qs << u" key "_qs << u"  two  "_qs;
        QTest::newRow("japanese") << u"List_設定１"_qs << u"Describe1"_qs << u"T ﾌｫﾙﾀﾞ(*.jpg)"_qs;
        QTest::newRow("escape lookalikes") << u"S"_qs << u"\\s\\n"_qs << u"\\x41\\t\\"_qs;
        QTest::newRow("control characters") << u"S"_qs << u"k\x01"_qs << u"tab\there\x7f"_qs;
    }
    void roundTripsAwkwardText()
    {
        QFETCH(QString, section);
        QFETCH(QString, key);
        QFETCH(QString, value);
        QTemporaryDir dir;
        {
            SettingsStore store(dir.path());
            QVERIFY(store.SaveSetting(section, key, value));
            QVERIFY(store.SaveSetting(section, u"after"_qs, u"1"_qs));
        }
        SettingsStore reread(dir.path());
        QCOMPARE(reread.GetSetting(section, key), value);
        QCOMPARE(reread.GetSetting(section, u"after"_qs), u"1"_qs);
        QVERIFY(!reread.wasDamaged());
    }

    // The file's exact escapes, so that files written before read the same.
    void escapesAsWritten_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("written");
        QTest::newRow("syntax") << u"a=b[c]\\"_qs << u"a\\=b\\[c\\]\\\\"_qs;
        QTest::newRow("blanks and breaks") << u" x\ty \r\n "_qs << u"\\sx\\ty \\r\\n\\s"_qs;
        QTest::newRow("control characters") << u"\x01\x7f"_qs << u"\\x01\\x7f"_qs;
    }
    void escapesAsWritten()
    {
        QFETCH(QString, text);
        QFETCH(QString, written);
        QCOMPARE(SettingsStore::escape(text), written);
        QCOMPARE(SettingsStore::unescape(written), text);
    }
    // What no writer makes stays readable: a short hex escape, a backslash at the end.
    void unescapeKeepsWhatItCannotRead()
    {
        QCOMPARE(SettingsStore::unescape(u"\\x4g\\x4\\"_qs), u"x4gx4\\"_qs);
    }

    void defaultsAndDeletion()
    {
        QTemporaryDir dir;
        SettingsStore store(dir.path());
        QCOMPARE(store.GetSetting(u"Main"_qs, u"Top"_qs, u"0"_qs), u"0"_qs);
        QCOMPARE(store.GetSetting(u"Main"_qs, u"Top"_qs), QString());
        store.SaveSetting(u"List"_qs, u"File1"_qs, u"/a/"_qs);
        store.SaveSetting(u"List"_qs, u"Describe1"_qs, u"T x"_qs);
        store.SaveSetting(u"Main"_qs, u"Top"_qs, u"15"_qs);
        QVERIFY(store.DeleteSetting(u"List"_qs, u"File1"_qs));
        QVERIFY(!store.hasSetting(u"List"_qs, u"File1"_qs));
        QCOMPARE(store.GetSetting(u"List"_qs, u"Describe1"_qs), u"T x"_qs);
        QVERIFY(store.DeleteSetting(u"List"_qs));
        QCOMPARE(store.GetSetting(u"List"_qs, u"Describe1"_qs, u"gone"_qs), u"gone"_qs);
        // Deleting what is not there is not an error.
        QVERIFY(store.DeleteSetting(u"Nothing"_qs));
        QVERIFY(store.DeleteSetting(u"Main"_qs, u"Nothing"_qs));

        SettingsStore reread(dir.path());
        QCOMPARE(reread.sections(), QStringList { u"Main"_qs });
        QCOMPARE(reread.GetSetting(u"Main"_qs, u"Top"_qs), u"15"_qs);
    }

    void getAllSettingsKeepsStoreOrder()
    {
        QTemporaryDir dir;
        {
            SettingsStore store(dir.path());
            for (const QString &k : { u"次の画像へ"_qs, u"ポーズ"_qs, u"開始"_qs, u"ジャンプ"_qs })
                store.SaveSetting(u"HotKey"_qs, k, u"0,0"_qs);
            store.SaveSetting(u"HotKey"_qs, u"ポーズ"_qs,
                              u"80,2"_qs); // overwriting keeps the place
            store.DeleteSetting(u"HotKey"_qs, u"開始"_qs);
            store.SaveSetting(u"HotKey"_qs, u"開始"_qs, u"83,3"_qs); // re-added goes last
        }
        SettingsStore reread(dir.path());
        const auto all = reread.GetAllSettings(u"HotKey"_qs);
        QStringList keys;
        for (const auto &[k, v] : all)
            keys.append(k);
        QCOMPARE(keys,
                 (QStringList { u"次の画像へ"_qs, u"ポーズ"_qs, u"ジャンプ"_qs, u"開始"_qs }));
        QCOMPARE(all[1].second, u"80,2"_qs);
        QVERIFY(reread.GetAllSettings(u"None"_qs).isEmpty());
    }

    void failedWriteLeavesOldFileIntact()
    {
        if (geteuid() == 0)
            QSKIP("root writes into read-only folders");
        QTemporaryDir dir;
        SettingsStore store(dir.path());
        QVERIFY(store.SaveSetting(u"Main"_qs, u"Top"_qs, u"100"_qs));
        const QByteArray before = readFile(store.filePath());
        QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::ExeOwner);
        QVERIFY(!store.SaveSetting(u"Main"_qs, u"Top"_qs, u"200"_qs));
        QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        QCOMPARE(readFile(store.filePath()), before);
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList { u"Lunetta.ini"_qs });
        // The value is not lost: the next write that succeeds carries it.
        QVERIFY(store.SaveSetting(u"Main"_qs, u"Left"_qs, u"5"_qs));
        QCOMPARE(SettingsStore(dir.path()).GetSetting(u"Main"_qs, u"Top"_qs), u"200"_qs);
    }

    void fullDiskLeavesOldFileIntact()
    {
        QTemporaryDir dir;
        SettingsStore store(dir.path());
        QVERIFY(store.SaveSetting(u"Main"_qs, u"Top"_qs, u"100"_qs));
        const QByteArray before = readFile(store.filePath());
        {
            FileSizeLimit limit(before.size() + 8);
            QVERIFY(!store.SaveSetting(u"List"_qs, u"File1"_qs, QString(500, u'x')));
        }
        QCOMPARE(readFile(store.filePath()), before);
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList { u"Lunetta.ini"_qs });
    }

    void failedWriteIntoUnwritableFile()
    {
        // Works as root too: the store's path is taken by a folder, so nothing can be written.
        QTemporaryDir dir;
        QDir(dir.path()).mkpath(u"blocked/Lunetta.ini"_qs);
        SettingsStore store(dir.path() + u"/blocked"_qs);
        QVERIFY(!store.SaveSetting(u"Main"_qs, u"Top"_qs, u"1"_qs));
        QVERIFY(QFileInfo(store.filePath()).isDir());
    }

    void damagedFileKeepsReadableEntriesAndIsSetAside()
    {
        QTemporaryDir dir;
        const QString path = SettingsStore::filePathIn(dir.path());
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("[Main]\nTop=15\nthis line has no separator\n\xff\xfe garbage\n"
                "Left=30\r\n[Viewer]\nWidth=3000\n");
        f.close();

        SettingsStore store(dir.path());
        QVERIFY(store.wasDamaged());
        QCOMPARE(store.GetSetting(u"Main"_qs, u"Top"_qs), u"15"_qs);
        QCOMPARE(store.GetSetting(u"Main"_qs, u"Left"_qs), u"30"_qs);
        QCOMPARE(store.GetSetting(u"Viewer"_qs, u"Width"_qs), u"3000"_qs);

        QVERIFY(store.SaveSetting(u"Main"_qs, u"Tab"_qs, u"2"_qs));
        const QStringList aside
            = QDir(dir.path()).entryList({ u"Lunetta.ini.damaged-*"_qs }, QDir::Files);
        QCOMPARE(aside.size(), 1);
        QVERIFY(readFile(dir.filePath(aside.first())).contains("garbage"));
        SettingsStore reread(dir.path());
        QVERIFY(!reread.wasDamaged());
        QCOMPARE(reread.GetSetting(u"Main"_qs, u"Left"_qs), u"30"_qs);
        QCOMPARE(reread.GetSetting(u"Main"_qs, u"Tab"_qs), u"2"_qs);
    }

    void batchWritesOnceAtTheEnd()
    {
        QTemporaryDir dir;
        SettingsStore store(dir.path());
        {
            SettingsStore::Batch outer(store);
            store.SaveSetting(u"A"_qs, u"k"_qs, u"1"_qs);
            {
                SettingsStore::Batch inner(store);
                store.SaveSetting(u"A"_qs, u"k2"_qs, u"2"_qs);
            }
            QVERIFY(!QFile::exists(store.filePath())); // nested batch leaves writing to the outer
        }
        QCOMPARE(SettingsStore(dir.path()).GetSetting(u"A"_qs, u"k2"_qs), u"2"_qs);
    }
};

QTEST_GUILESS_MAIN(TestSettingsStore)
#include "tst_settingsstore.moc"
