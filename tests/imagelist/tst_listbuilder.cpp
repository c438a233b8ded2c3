#include "FakeServices.h"
#include "RecordingProgress.h"
#include "Sandbox.h"
#include "core/Options.h"
#include "core/PlayList.h"
#include "imagelist/EntryKind.h"
#include "imagelist/ListBuilder.h"

#include <QDir>
#include <QTest>

#include <sys/stat.h>

using namespace Qt::StringLiterals;

namespace {

const QString fileKind = u"画像/動画ﾌｧｲﾙ"_s;
const QString listKind = u"ﾌｧｲﾙﾘｽﾄ"_s;

QString folderKind(const QString &mask, bool subFolders)
{
    return u"ﾌｫﾙﾀﾞ("_s + mask + u')' + (subFolders ? u" ｻﾌﾞﾌｫﾙﾀﾞを検索"_s : QString());
}

QStringList pathsOf(const PlayList &list)
{
    QStringList paths;
    for (int i = 1; i <= list.count(); ++i)
        paths.append(list.path(i));
    return paths;
}

QStringList sorted(QStringList list)
{
    list.sort();
    return list;
}

// One build with its own list, options and fakes.
struct Build
{
    Build() { options.setOption(Opt::optNoSort, true); }

    void byName(bool folderDepth, bool descending = false)
    {
        options.setOption(Opt::optSortByFileName, true);
        options.setCheck(Opt::chkSortFolderDepth, folderDepth ? 1 : 0);
        options.setCheck(Opt::chkSortDescending, descending ? 1 : 0);
    }
    bool run(const QList<ConfiguredEntry> &entries) { return builder.BuildFileList(entries); }
    QStringList paths() const { return pathsOf(playList); }

    PlayList playList;
    Options options;
    FakeRandom random;
    RecordingProgress progress;
    ListBuilder builder { playList, options, random, progress };
};

} // namespace

class TestListBuilder : public QObject
{
    Q_OBJECT
private slots:
    void readsTheKindText()
    {
        QCOMPARE(EntryKind::parse(fileKind).type, EntryKind::File);
        QCOMPARE(EntryKind::parse(listKind).type, EntryKind::FileList);
        const EntryKind plain = EntryKind::parse(folderKind(u"*.jpg;*.gif"_s, false));
        QCOMPARE(plain.type, EntryKind::Folder);
        QCOMPARE(plain.mask, u"*.jpg;*.gif"_s);
        QVERIFY(!plain.subFolders);
        QVERIFY(EntryKind::parse(folderKind(u"*.*"_s, true)).subFolders);
        // The mask ends at the first ")".
        QCOMPARE(EntryKind::parse(folderKind(u"*(1).jpg"_s, false)).mask, u"*(1"_s);
        QCOMPARE(EntryKind::parse(folderKind(QString(), false)).mask, QString());
        QCOMPARE(EntryKind::parse(u"ﾌｫﾙﾀﾞ"_s).mask, QString());
        QCOMPARE(EntryKind::parse(u"ﾌｫﾙﾀﾞ)*.jpg("_s).mask, QString());
    }

    void expandsCheckedEntries()
    {
        Sandbox box;
        const QString a = box.file(u"p/a.jpg"_s);
        const QString b = box.file(u"p/B.JPG"_s);
        box.file(u"p/c.png"_s);
        box.file(u"p/ d.png"_s);
        box.file(u"p/sub/e.jpg"_s);
        const QString p = box.path(u"p"_s);

        Build build;
        build.playList.appendToPlayList(u"old.jpg"_s);
        int confirms = 0;
        build.builder.setConfirmSaveShiori([&] {
            ++confirms;
            QCOMPARE(build.playList.count(), 1); // still the old list
        });
        QVERIFY(build.run({
            { u"/nowhere/missing.jpg"_s, fileKind, true },
            { a, fileKind, true },
            { p, folderKind(u"*.jpg;*.JPG"_s, false), true },
            { p, folderKind(u"*.jpg; *.png"_s, false), true },
            { p, folderKind(u"*.png"_s, false), false },
            { p, folderKind(QString(), true), true },
        }));
        QCOMPARE(confirms, 1);
        // A missing file still enters; a file entry inside a folder entry counts twice; two
        // patterns that match the same file add it twice; " *.png" wants a leading blank; an
        // unchecked entry and an empty mask add nothing.
        QCOMPARE(
            sorted(build.paths()),
            sorted({ u"/nowhere/missing.jpg"_s, a, a, a, b, b, a, b, box.path(u"p/ d.png"_s) }));
        QCOMPARE(build.progress.countTexts.first(), u"0枚の画像ファイルを追加しました。"_s);
        QVERIFY(build.progress.countTexts.contains(u"6枚の画像ファイルを追加しました。"_s));
        QCOMPARE(build.progress.countTexts.last(), u"9枚の画像ファイルを追加しました。"_s);
        QCOMPARE(build.progress.statusTexts.first(), u"準備中です。"_s);
        QCOMPARE(build.progress.lastStatus(), u"並び替えています。"_s);
        QVERIFY(build.progress.statusTexts.contains(u"フォルダ\r\n"_s + p
                                                    + u"/\r\n内の画像ファイルを追加中です。"_s));
    }

    void refreshesTheCountAfterUncheckedEntriesToo()
    {
        Build build;
        build.playList.appendToPlayList(u"old.jpg"_s);
        QVERIFY(
            build.run({ { u"/x/a.jpg"_s, fileKind, false }, { u"/x/b.jpg"_s, fileKind, false } }));
        QCOMPARE(build.playList.count(), 0);
        QCOMPARE(build.progress.countTexts, QStringList(3, u"0枚の画像ファイルを追加しました。"_s));
        QVERIFY(build.run({}));
        QCOMPARE(build.playList.count(), 0);
    }

    void cutsTheMaskAtTheFirstParenthesis()
    {
        Sandbox box;
        box.file(u"x(1).jpg"_s);
        const QString cut = box.file(u"y(1"_s);
        Build build;
        QVERIFY(build.run({ { box.root(), folderKind(u"*(1).jpg"_s, false), true } }));
        QCOMPARE(build.paths(), QStringList { cut });
    }

    void queuesFoldersBreadthFirstWithSortedSiblings()
    {
        Sandbox box;
        box.folder(u"A/C"_s);
        box.folder(u"A/B/E"_s);
        box.folder(u"A/B/D"_s);
        const QString a = box.path(u"A/"_s);
        auto q = [&](const char *rel) {
            return a + QString::fromUtf8(rel);
        };

        Build build;
        build.byName(true);
        build.builder.SearchSubFolders(box.path(u"A"_s));
        QCOMPARE(build.builder.folderQueue(),
                 QStringList({ a, q("B/"), q("C/"), q("B/D/"), q("B/E/") }));
        QCOMPARE(build.progress.statusTexts.size(), 5);
        QCOMPARE(build.progress.statusTexts.first(),
                 u"フォルダ\r\n"_s + a + u"\r\nのサブフォルダを検索中です。"_s);

        build.byName(true, true);
        build.builder.SearchSubFolders(a);
        QCOMPARE(build.builder.folderQueue(),
                 QStringList({ a, q("C/"), q("B/"), q("B/E/"), q("B/D/") }));

        // Without name order the levels stay apart, in listing order.
        build.options.setOption(Opt::optNoSort, true);
        build.builder.SearchSubFolders(a);
        const QStringList queue = build.builder.folderQueue();
        QCOMPARE(queue.size(), 5);
        QCOMPARE(sorted(queue.mid(1, 2)), QStringList({ q("B/"), q("C/") }));
        QCOMPARE(sorted(queue.mid(3, 2)), QStringList({ q("B/D/"), q("B/E/") }));

        // A folder without subfolders is a queue of one, announced once.
        build.progress.statusTexts.clear();
        build.builder.SearchSubFolders(q("C/"));
        QCOMPARE(build.builder.folderQueue(), QStringList { q("C/") });
        QCOMPARE(build.progress.statusTexts.size(), 1);
    }

    void walkGoesOnWhenAFolderVanishes()
    {
        Sandbox box;
        box.file(u"A/B/x/b.jpg"_s);
        box.file(u"A/C/y/c.jpg"_s);
        const QString a = box.path(u"A/"_s);
        Build build;
        build.byName(true);
        build.progress.events.onEvents = [&](int) {
            if (build.progress.lastStatus().contains(a + u"B/\r\n"_s))
                QDir(a + u"B"_s).removeRecursively();
        };
        build.builder.SearchSubFolders(a);
        QCOMPARE(build.builder.folderQueue(),
                 QStringList({ a, a + u"B/"_s, a + u"C/"_s, a + u"C/y/"_s }));
        build.builder.AddFiles2List(u"*.*"_s);
        QCOMPARE(build.paths(), QStringList { a + u"C/y/c.jpg"_s });
    }

    void ordersByFolderDepthOrByWholePath()
    {
        Sandbox box;
        box.file(u"A/z.jpg"_s);
        box.file(u"A/a.jpg"_s);
        box.file(u"A/B/b.jpg"_s);
        box.file(u"A/C/c.jpg"_s);
        const QString a = box.path(u"A/"_s);
        const QList<ConfiguredEntry> entries { { box.path(u"A"_s), folderKind(u"*.jpg"_s, true),
                                                 true } };
        auto paths = [&](std::initializer_list<const char *> rel) {
            QStringList full;
            for (const char *r : rel)
                full.append(a + QString::fromUtf8(r));
            return full;
        };

        Build build;
        build.byName(true);
        QVERIFY(build.run(entries));
        QCOMPARE(build.paths(), paths({ "a.jpg", "z.jpg", "B/b.jpg", "C/c.jpg" }));

        build.byName(true, true);
        QVERIFY(build.run(entries));
        QCOMPARE(build.paths(), paths({ "z.jpg", "a.jpg", "C/c.jpg", "B/b.jpg" }));

        build.byName(false);
        QVERIFY(build.run(entries));
        QCOMPARE(build.paths(), paths({ "a.jpg", "B/b.jpg", "C/c.jpg", "z.jpg" }));

        build.byName(false);
        QVERIFY(build.run({ { u"C:/b/1.jpg"_s, fileKind, true },
                            { u"C:/a/z/2.jpg"_s, fileKind, true },
                            { u"C:/a/3.jpg"_s, fileKind, true } }));
        QCOMPARE(build.paths(),
                 QStringList({ u"C:/a/3.jpg"_s, u"C:/a/z/2.jpg"_s, u"C:/b/1.jpg"_s }));
    }

    void shufflesOnlyForRandomOrderWithoutRepeats()
    {
        QList<ConfiguredEntry> entries;
        QStringList paths;
        for (int i = 0; i < 20; ++i) {
            paths.append(u"/p/%1.jpg"_s.arg(i));
            entries.append({ paths.last(), fileKind, true });
        }
        Build build;
        build.options.setOption(Opt::optSortRandom, true);
        QVERIFY(build.run(entries));
        QCOMPARE(build.paths(), paths); // the engine picks at random while showing
        QCOMPARE(build.random.reseeds, 0);

        build.options.setCheck(Opt::chkSortRandom, 1);
        build.random.values = { 0.1, 0.9, 0.4, 0.7 };
        QVERIFY(build.run(entries));
        QCOMPARE(build.random.reseeds, 1);
        QVERIFY(build.paths() != paths);
        QCOMPARE(sorted(build.paths()), sorted(paths));
    }

    void cancelKeepsWhatWasCollectedUnordered()
    {
        Sandbox box;
        box.file(u"A/a.jpg"_s);
        box.file(u"A/B/b.jpg"_s);
        box.file(u"A/C/c.jpg"_s);
        const QString a = box.path(u"A/"_s);
        const QList<ConfiguredEntry> entries {
            { u"/x/z.jpg"_s, fileKind, true },
            { a, folderKind(u"*.jpg"_s, true), true },
            { u"/x/y.jpg"_s, fileKind, true },
        };

        // Cancel while the second queued folder is announced: the first folder's files stay.
        Build build;
        build.byName(false);
        build.progress.events.onEvents = [&](int) {
            const QString status = build.progress.lastStatus();
            if (status.contains(u"内の画像ファイルを追加中です。"_s)
                && !status.contains(u"\r\n"_s + a + u"\r\n"_s))
                build.progress.cancel = true;
        };
        QVERIFY(!build.run(entries));
        QCOMPARE(build.paths(), QStringList({ u"/x/z.jpg"_s, a + u"a.jpg"_s }));
        QVERIFY(!build.progress.statusTexts.contains(u"並び替えています。"_s));

        // Cancel is not looked at during the walk, only before each folder's files.
        Build walk;
        walk.progress.events.onEvents = [&](int) {
            if (walk.progress.lastStatus().contains(u"のサブフォルダを検索中です。"_s))
                walk.progress.cancel = true;
        };
        QVERIFY(!walk.run(entries));
        QCOMPARE(walk.builder.folderQueue().size(), 3);
        QCOMPARE(walk.paths(), QStringList { u"/x/z.jpg"_s });
    }

    // A named pipe without a writer: opening it to read would wait forever.
    static QString fifo(const QString &path)
    {
        ::mkfifo(QFile::encodeName(path).constData(), 0600);
        return path;
    }

    void readsFileLists()
    {
        Sandbox box;
        const QString plain
            = box.file(u"plain.txt"_s, "; comment\r\n\r\nC:/a.jpg\r\n;C:/not.jpg\r\n");
        const QString sjis = box.file(u"sjis.lst"_s,
                                      "C:/\x8e\xca\x90\x5e/\xcc\xa7\xb2\xd9.jpg\r\n"
                                      "#EXTM3U\r");
        const QString utf8
            = box.file(u"utf8.m3u"_s, "\xEF\xBB\xBF/写真/a.jpg\rrel/b.jpg\r\n  /c.jpg \n/d.jpg");
        Build build;
        QVERIFY(build.run({ { plain, listKind, true },
                            { box.path(u"missing.txt"_s), listKind, true },
                            { box.root(), listKind, true },
                            { sjis, listKind, true },
                            { fifo(box.path(u"pipe.lst"_s)), listKind, true },
                            { u"/dev/zero"_s, listKind, true },
                            { utf8, listKind, true } }));
        QCOMPARE(build.paths(),
                 QStringList({ u"C:/a.jpg"_s, u"C:/写真/ﾌｧｲﾙ.jpg"_s, u"#EXTM3U"_s, u"/写真/a.jpg"_s,
                               u"rel/b.jpg"_s, u"  /c.jpg "_s, u"/d.jpg"_s }));
        QVERIFY(build.progress.statusTexts.contains(u"ファイルリスト\r\n"_s + sjis
                                                    + u"\r\n内の画像ファイルを追加中です。"_s));
    }
};

QTEST_GUILESS_MAIN(TestListBuilder)
#include "tst_listbuilder.moc"
