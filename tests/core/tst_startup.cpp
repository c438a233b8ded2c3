#include "RecordingMessageService.h"
#include "Sandbox.h"
#include "core/AppPaths.h"
#include "core/CommandLine.h"
#include "core/SingleInstance.h"
#include "core/Startup.h"
#include "core/StartupTarget.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTest>

namespace {

// Records what start-up asked of the windows and answers as told.
class FakeTarget : public StartupTarget
{
public:
    QStringList profiles { u"（標準）"_qs, u"旅行"_qs };
    bool shioriResult = false;
    bool openResult = true;
    QStringList calls;

    bool SetSetting(const QString &name, bool onlyExist) override
    {
        calls.append(u"SetSetting:"_qs + name + (onlyExist ? u":only"_qs : QString()));
        return profiles.contains(name);
    }
    void startFromList() override { calls.append(u"start"_qs); }
    bool ReadShiori(const QString &path) override
    {
        calls.append(u"ReadShiori:"_qs + path);
        return shioriResult;
    }
    bool OpenFolderDirect(const QString &folder, const QString &file) override
    {
        calls.append(u"OpenFolderDirect:"_qs + folder + u'|' + file);
        return openResult;
    }
};

} // namespace

class TestStartup : public QObject
{
    Q_OBJECT
private slots:
    void uninstallSwitch()
    {
        QVERIFY(CommandLine::isUninstallSwitch(u"/uninstall"_qs));
        QVERIFY(CommandLine::isUninstallSwitch(u"/UnInstall"_qs));
        QVERIFY(!CommandLine::isUninstallSwitch(u" /uninstall"_qs));
        QVERIFY(!CommandLine::isUninstallSwitch(u"/uninstall now"_qs));
        QVERIFY(!CommandLine::isUninstallSwitch(u"\"/uninstall\""_qs));
        QCOMPARE(CommandLine::rawText({ u"lunetta"_qs, u"/home/a/My Pictures"_qs }),
                 u"/home/a/My Pictures"_qs);
        QCOMPARE(CommandLine::rawText({ u"lunetta"_qs }), QString());
    }

    void argumentTrimAndQuotes_data()
    {
        QTest::addColumn<QString>("raw");
        QTest::addColumn<QString>("argument");
        QTest::newRow("blanks trimmed") << u"  旅行  "_qs << u"旅行"_qs;
        QTest::newRow("inner blanks kept") << u" a b "_qs << u"a b"_qs;
        QTest::newRow("quoted") << u"\"/my pics/\""_qs << u"/my pics/"_qs;
        QTest::newRow("after closing quote dropped") << u" \"a b\" c d"_qs << u"a b"_qs;
        QTest::newRow("no closing quote") << u"\"abc"_qs << u"\"abc"_qs;
        QTest::newRow("empty quotes") << u"\"\""_qs << QString();
        QTest::newRow("quote inside") << u"a\"b\""_qs << u"a\"b\""_qs;
        QTest::newRow("tabs are not blanks") << u"\tx"_qs << u"\tx"_qs;
    }
    void argumentTrimAndQuotes()
    {
        QFETCH(QString, raw);
        QFETCH(QString, argument);
        QCOMPARE(CommandLine::argument(raw), argument);
    }

    void dispatchesProfileFileAndFolder()
    {
        Sandbox box;
        const QString folder = box.folder(u"pics"_qs);
        const QString file = box.file(u"pics/a.jpg"_qs);
        RecordingMessageService messages;

        FakeTarget none;
        Startup::dispatchArgument(QString(), none, messages);
        QVERIFY(none.calls.isEmpty());

        FakeTarget profile;
        Startup::dispatchArgument(u" \"旅行\""_qs, profile, messages);
        QCOMPARE(profile.calls, (QStringList { u"SetSetting:旅行:only"_qs, u"start"_qs }));

        FakeTarget unknown;
        Startup::dispatchArgument(u"どこにもない"_qs, unknown, messages);
        QCOMPARE(unknown.calls, QStringList { u"SetSetting:どこにもない:only"_qs });
        QCOMPARE(messages.lastText(), u"設定が見つかりませんでした。\r\nどこにもない"_qs);
        QCOMPARE(messages.messages.last().icon, MsgIcon::Warning);

        FakeTarget bookmark;
        bookmark.shioriResult = true;
        Startup::dispatchArgument(file, bookmark, messages);
        QCOMPARE(bookmark.calls, QStringList { u"ReadShiori:"_qs + file });

        FakeTarget picture;
        Startup::dispatchArgument(file, picture, messages);
        QCOMPARE(picture.calls,
                 (QStringList { u"ReadShiori:"_qs + file, u"OpenFolderDirect:|"_qs + file }));

        FakeTarget folderStart;
        Startup::dispatchArgument(folder, folderStart, messages);
        QCOMPARE(folderStart.calls, QStringList { u"OpenFolderDirect:"_qs + folder + u'|' });

        messages.messages.clear();
        FakeTarget failing;
        failing.openResult = false;
        Startup::dispatchArgument(file, failing, messages);
        Startup::dispatchArgument(folder, failing, messages);
        QCOMPARE(messages.texts(),
                 (QStringList { u"ファイルを指定しての起動に失敗しました。\r\n"_qs + file,
                                u"フォルダを指定しての起動に失敗しました。\r\n"_qs + folder }));
    }

    void relativeArgumentBecomesAbsolute()
    {
        Sandbox box;
        box.file(u"sub/x.png"_qs);
        const QString old = QDir::currentPath();
        QDir::setCurrent(box.root());
        RecordingMessageService messages;
        FakeTarget target;
        Startup::dispatchArgument(u"sub/x.png"_qs, target, messages);
        QDir::setCurrent(old);
        QCOMPARE(target.calls.last(), u"OpenFolderDirect:|"_qs + box.path(u"sub/x.png"_qs));

        // ".." is resolved before the file is looked at as a bookmark.
        box.folder(u"other"_qs);
        FakeTarget dotted;
        Startup::dispatchArgument(box.path(u"other/../sub/x.png"_qs), dotted, messages);
        QCOMPARE(dotted.calls.first(), u"ReadShiori:"_qs + box.path(u"sub/x.png"_qs));
    }

    void uninstallRemovesTheSettingsFolder()
    {
        Sandbox box;
        const QString folder = box.folder(u"config/Lunetta"_qs);
        box.file(u"config/Lunetta/Lunetta.ini"_qs, "[Main]\nTop=1\n");
        RecordingMessageService messages;
        QVERIFY(Startup::uninstall(folder, folder + u"Lunetta.ini"_qs, messages));
        QVERIFY(!QDir(folder).exists());
        QCOMPARE(messages.lastText(), u"レジストリの削除に成功しました。"_qs);
        QCOMPARE(messages.messages.last().icon, MsgIcon::None);

        // Nothing to remove: the user is told which file to delete by hand.
        QVERIFY(!Startup::uninstall(folder, folder + u"Lunetta.ini"_qs, messages));
        QCOMPARE(messages.lastText(),
                 u"レジストリの削除に失敗しました。\r\nお手数ですが、\r\n\""_qs + folder
                     + u"Lunetta.ini\"\r\nを直接削除してください。"_qs);
        messages.messages.clear();

        // A folder the user keeps other things in loses only the program's files.
        box.file(u"config/Lunetta/Lunetta.ini"_qs, "[Main]\nTop=1\n");
        box.file(u"config/Lunetta/Lunetta.ini.damaged-20261209"_qs, "x");
        box.file(u"config/Lunetta/workarea.cache"_qs, "1920 1080");
        box.file(u"config/Lunetta/mine.txt"_qs, "kept");
        box.file(u"config/Lunetta/sub/also.txt"_qs, "kept");
        QVERIFY(Startup::uninstall(folder, folder + u"Lunetta.ini"_qs, messages));
        QCOMPARE(QDir(folder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
                 QStringList({ u"mine.txt"_qs, u"sub"_qs }));
        QVERIFY(QFileInfo::exists(folder + u"sub/also.txt"_qs));
        QCOMPARE(messages.lastText(), u"レジストリの削除に成功しました。"_qs);
    }

    void oneInstancePerSettingsFolder()
    {
        Sandbox box;
        const QString lock = AppPaths::instanceLockPath(box.path(u"a"_qs));
        QVERIFY(lock != AppPaths::instanceLockPath(box.path(u"b"_qs)));
        {
            SingleInstance first(lock);
            QVERIFY(first.tryAcquire());
            SingleInstance second(lock);
            QVERIFY(!second.tryAcquire());
        }
        SingleInstance again(lock);
        QVERIFY(again.tryAcquire());
    }

    // A save killed between naming its temporary file and renaming it leaves the file behind;
    // the next start removes exactly those of its own files, and none named a moment ago,
    // which may be another instance's save under way.
    void startRemovesOnlyTheSavesLeftovers()
    {
        Sandbox box;
        const QStringList leftovers { u"Lunetta.ini.a1B2c3"_qs, u"Lunetta.ini.ZZZZZZ"_qs,
                                      u"workarea.cache.xYzAbC"_qs };
        const QStringList kept { u"Lunetta.ini"_qs,         u"Lunetta.ini.lock"_qs,
                                 u"Lunetta.ini.1234567"_qs, u"Other.ini.abcdef"_qs,
                                 u"Lunetta.ini.ab-cde"_qs,  u"xLunetta.ini.abcdef"_qs,
                                 u"LunettaXini.abcdef"_qs,  u"Lunetta.ini.folder"_qs };
        const QDateTime minuteAgo = QDateTime::currentDateTime().addSecs(-60);
        for (const QString &name : leftovers + kept) {
            if (name.endsWith(u"folder"_qs))
                box.folder(name);
            else
                box.file(name, "[Settings]\r\n");
            box.setModified(name, minuteAgo);
        }
        const QString saving = box.file(u"Lunetta.ini.NowNow"_qs);
        QCOMPARE(Startup::removeSaveLeftovers(box.root()), int(leftovers.size()));
        for (const QString &name : leftovers)
            QVERIFY2(!QFile::exists(box.path(name)), qPrintable(name));
        for (const QString &name : kept)
            QVERIFY2(QFileInfo::exists(box.path(name)), qPrintable(name));
        QVERIFY(QFile::exists(saving));
    }

    // What the last start kept of the work area comes back as it was; a damaged file counts as
    // none, so that the first picture waits for the real work area.
    void workAreaKeptForTheNextStart_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QSize>("read");
        QTest::newRow("kept") << QByteArray("1920 1047\n") << QSize(1920, 1047);
        QTest::newRow("one side") << QByteArray("1920\n") << QSize();
        QTest::newRow("not numbers") << QByteArray("wide high") << QSize();
        QTest::newRow("negative") << QByteArray("-5 100") << QSize();
        QTest::newRow("zero") << QByteArray("0 100") << QSize();
        QTest::newRow("absurd") << QByteArray("1920 99999999") << QSize();
        QTest::newRow("binary") << QByteArray("\xFF\x00\x01 2", 6) << QSize();
    }

    void workAreaKeptForTheNextStart()
    {
        QFETCH(QByteArray, content);
        QFETCH(QSize, read);
        Sandbox box;
        const QString folder = box.path(u"config"_qs);
        QCOMPARE(Startup::lastWorkArea(folder), QSize()); // nothing kept yet
        Startup::keepWorkArea(folder, QSize(1600, 970)); // makes the settings folder
        QCOMPARE(Startup::lastWorkArea(folder), QSize(1600, 970));
        box.file(u"config/workarea.cache"_qs, content);
        QCOMPARE(Startup::lastWorkArea(folder), read);
    }

    void settingsFolderOverride()
    {
        qputenv("LUNETTA_CONFIG_DIR", "/tmp/lunetta-test-config");
        QCOMPARE(AppPaths::settingsFolder(), u"/tmp/lunetta-test-config"_qs);
        qunsetenv("LUNETTA_CONFIG_DIR");
        QVERIFY(AppPaths::settingsFolder().endsWith(u"/Lunetta"_qs));
    }

    void helpFoundInBuildTreeAndInstalled()
    {
        // Installed: bin/lunetta finds share/lunetta/help, whatever the prefix.
        Sandbox prefix;
        prefix.file(u"share/lunetta/help/index.html"_qs);
        const QString installed = Startup::helpFilePath(prefix.path(u"bin"_qs));
        QCOMPARE(installed, prefix.path(u"share/lunetta/help/index.html"_qs));
        QVERIFY(QFileInfo::exists(installed));
        // A build tree's help beside the program wins.
        const QString beside = prefix.file(u"bin/help/index.html"_qs);
        QCOMPARE(Startup::helpFilePath(prefix.path(u"bin"_qs)), beside);
        QCOMPARE(Startup::helpFilePath(prefix.path(u"bin/"_qs)), beside);
    }
};

QTEST_GUILESS_MAIN(TestStartup)
#include "tst_startup.moc"
