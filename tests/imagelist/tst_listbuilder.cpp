#include "FakeServices.h"
#include "RecordingProgress.h"
#include "Sandbox.h"
#include "core/Options.h"
#include "engine/PlayList.h"
#include "imagelist/EntryKind.h"
#include "imagelist/ListBuilder.h"

#include <QDir>
#include <QTest>

namespace {

const QString fileKind = QStringLiteral("画像/動画ﾌｧｲﾙ");
const QString listKind = QStringLiteral("ﾌｧｲﾙﾘｽﾄ");

QString folderKind(const QString &mask, bool subFolders)
{
    return QStringLiteral("ﾌｫﾙﾀﾞ(") + mask + u')'
        + (subFolders ? QStringLiteral(" ｻﾌﾞﾌｫﾙﾀﾞを検索") : QString());
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
        const EntryKind plain = EntryKind::parse(folderKind(QStringLiteral("*.jpg;*.gif"), false));
        QCOMPARE(plain.type, EntryKind::Folder);
        QCOMPARE(plain.mask, QStringLiteral("*.jpg;*.gif"));
        QVERIFY(!plain.subFolders);
        QVERIFY(EntryKind::parse(folderKind(QStringLiteral("*.*"), true)).subFolders);
        // The mask ends at the first ")".
        QCOMPARE(EntryKind::parse(folderKind(QStringLiteral("*(1).jpg"), false)).mask,
                 QStringLiteral("*(1"));
        QCOMPARE(EntryKind::parse(folderKind(QString(), false)).mask, QString());
        QCOMPARE(EntryKind::parse(QStringLiteral("ﾌｫﾙﾀﾞ")).mask, QString());
        QCOMPARE(EntryKind::parse(QStringLiteral("ﾌｫﾙﾀﾞ)*.jpg(")).mask, QString());
    }

    void expandsCheckedEntries()
    {
        Sandbox box;
        const QString a = box.file(QStringLiteral("p/a.jpg"));
        const QString b = box.file(QStringLiteral("p/B.JPG"));
        box.file(QStringLiteral("p/c.png"));
        box.file(QStringLiteral("p/ d.png"));
        box.file(QStringLiteral("p/sub/e.jpg"));
        const QString p = box.path(QStringLiteral("p"));

        Build build;
        build.playList.appendToPlayList(QStringLiteral("old.jpg"));
        int confirms = 0;
        build.builder.setConfirmSaveShiori([&] {
            ++confirms;
            QCOMPARE(build.playList.count(), 1); // still the old list
        });
        QVERIFY(build.run({
            { QStringLiteral("/nowhere/missing.jpg"), fileKind, true },
            { a, fileKind, true },
            { p, folderKind(QStringLiteral("*.jpg;*.JPG"), false), true },
            { p, folderKind(QStringLiteral("*.jpg; *.png"), false), true },
            { p, folderKind(QStringLiteral("*.png"), false), false },
            { p, folderKind(QString(), true), true },
        }));
        QCOMPARE(confirms, 1);
        // A missing file still enters; a file entry inside a folder entry counts twice; two
        // patterns that match the same file add it twice; " *.png" wants a leading blank; an
        // unchecked entry and an empty mask add nothing.
        QCOMPARE(sorted(build.paths()),
                 sorted({ QStringLiteral("/nowhere/missing.jpg"), a, a, a, b, b, a, b,
                          box.path(QStringLiteral("p/ d.png")) }));
        QCOMPARE(build.progress.countTexts.first(),
                 QStringLiteral("0枚の画像ファイルを追加しました。"));
        QVERIFY(build.progress.countTexts.contains(
            QStringLiteral("6枚の画像ファイルを追加しました。")));
        QCOMPARE(build.progress.countTexts.last(),
                 QStringLiteral("9枚の画像ファイルを追加しました。"));
        QCOMPARE(build.progress.statusTexts.first(), QStringLiteral("準備中です。"));
        QCOMPARE(build.progress.lastStatus(), QStringLiteral("並び替えています。"));
        QVERIFY(build.progress.statusTexts.contains(
            QStringLiteral("フォルダ\r\n") + p
            + QStringLiteral("/\r\n内の画像ファイルを追加中です。")));
    }

    void refreshesTheCountAfterUncheckedEntriesToo()
    {
        Build build;
        build.playList.appendToPlayList(QStringLiteral("old.jpg"));
        QVERIFY(build.run({ { QStringLiteral("/x/a.jpg"), fileKind, false },
                            { QStringLiteral("/x/b.jpg"), fileKind, false } }));
        QCOMPARE(build.playList.count(), 0);
        QCOMPARE(build.progress.countTexts,
                 QStringList(3, QStringLiteral("0枚の画像ファイルを追加しました。")));
        QVERIFY(build.run({}));
        QCOMPARE(build.playList.count(), 0);
    }

    void cutsTheMaskAtTheFirstParenthesis()
    {
        Sandbox box;
        box.file(QStringLiteral("x(1).jpg"));
        const QString cut = box.file(QStringLiteral("y(1"));
        Build build;
        QVERIFY(build.run({ { box.root(), folderKind(QStringLiteral("*(1).jpg"), false), true } }));
        QCOMPARE(build.paths(), QStringList { cut });
    }

    void queuesFoldersBreadthFirstWithSortedSiblings()
    {
        Sandbox box;
        box.folder(QStringLiteral("A/C"));
        box.folder(QStringLiteral("A/B/E"));
        box.folder(QStringLiteral("A/B/D"));
        const QString a = box.path(QStringLiteral("A/"));
        auto q = [&](const char *rel) {
            return a + QString::fromUtf8(rel);
        };

        Build build;
        build.byName(true);
        build.builder.SearchSubFolders(box.path(QStringLiteral("A")));
        QCOMPARE(build.builder.folderQueue(),
                 QStringList({ a, q("B/"), q("C/"), q("B/D/"), q("B/E/") }));
        QCOMPARE(build.progress.statusTexts.size(), 5);
        QCOMPARE(build.progress.statusTexts.first(),
                 QStringLiteral("フォルダ\r\n") + a
                     + QStringLiteral("\r\nのサブフォルダを検索中です。"));

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
        box.file(QStringLiteral("A/B/x/b.jpg"));
        box.file(QStringLiteral("A/C/y/c.jpg"));
        const QString a = box.path(QStringLiteral("A/"));
        Build build;
        build.byName(true);
        build.progress.events.onEvents = [&](int) {
            if (build.progress.lastStatus().contains(a + QStringLiteral("B/\r\n")))
                QDir(a + QStringLiteral("B")).removeRecursively();
        };
        build.builder.SearchSubFolders(a);
        QCOMPARE(build.builder.folderQueue(),
                 QStringList({ a, a + QStringLiteral("B/"), a + QStringLiteral("C/"),
                               a + QStringLiteral("C/y/") }));
        build.builder.AddFiles2List(QStringLiteral("*.*"));
        QCOMPARE(build.paths(), QStringList { a + QStringLiteral("C/y/c.jpg") });
    }

    void ordersByFolderDepthOrByWholePath()
    {
        Sandbox box;
        box.file(QStringLiteral("A/z.jpg"));
        box.file(QStringLiteral("A/a.jpg"));
        box.file(QStringLiteral("A/B/b.jpg"));
        box.file(QStringLiteral("A/C/c.jpg"));
        const QString a = box.path(QStringLiteral("A/"));
        const QList<ConfiguredEntry> entries {
            { box.path(QStringLiteral("A")), folderKind(QStringLiteral("*.jpg"), true), true }
        };
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
        QVERIFY(build.run({ { QStringLiteral("C:/b/1.jpg"), fileKind, true },
                            { QStringLiteral("C:/a/z/2.jpg"), fileKind, true },
                            { QStringLiteral("C:/a/3.jpg"), fileKind, true } }));
        QCOMPARE(build.paths(),
                 QStringList({ QStringLiteral("C:/a/3.jpg"), QStringLiteral("C:/a/z/2.jpg"),
                               QStringLiteral("C:/b/1.jpg") }));
    }

    void shufflesOnlyForRandomOrderWithoutRepeats()
    {
        QList<ConfiguredEntry> entries;
        QStringList paths;
        for (int i = 0; i < 20; ++i) {
            paths.append(QStringLiteral("/p/%1.jpg").arg(i));
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
        box.file(QStringLiteral("A/a.jpg"));
        box.file(QStringLiteral("A/B/b.jpg"));
        box.file(QStringLiteral("A/C/c.jpg"));
        const QString a = box.path(QStringLiteral("A/"));
        const QList<ConfiguredEntry> entries {
            { QStringLiteral("/x/z.jpg"), fileKind, true },
            { a, folderKind(QStringLiteral("*.jpg"), true), true },
            { QStringLiteral("/x/y.jpg"), fileKind, true },
        };

        // Cancel while the second queued folder is announced: the first folder's files stay.
        Build build;
        build.byName(false);
        build.progress.events.onEvents = [&](int) {
            const QString status = build.progress.lastStatus();
            if (status.contains(QStringLiteral("内の画像ファイルを追加中です。"))
                && !status.contains(QStringLiteral("\r\n") + a + QStringLiteral("\r\n")))
                build.progress.cancel = true;
        };
        QVERIFY(!build.run(entries));
        QCOMPARE(build.paths(),
                 QStringList({ QStringLiteral("/x/z.jpg"), a + QStringLiteral("a.jpg") }));
        QVERIFY(!build.progress.statusTexts.contains(QStringLiteral("並び替えています。")));

        // Cancel is not looked at during the walk, only before each folder's files.
        Build walk;
        walk.progress.events.onEvents = [&](int) {
            if (walk.progress.lastStatus().contains(QStringLiteral("のサブフォルダを検索中です。")))
                walk.progress.cancel = true;
        };
        QVERIFY(!walk.run(entries));
        QCOMPARE(walk.builder.folderQueue().size(), 3);
        QCOMPARE(walk.paths(), QStringList { QStringLiteral("/x/z.jpg") });
    }

    void readsFileLists()
    {
        Sandbox box;
        const QString plain
            = box.file(QStringLiteral("plain.txt"), "; comment\r\n\r\nC:/a.jpg\r\n;C:/not.jpg\r\n");
        const QString sjis = box.file(QStringLiteral("sjis.lst"),
                                      "C:/\x8e\xca\x90\x5e/\xcc\xa7\xb2\xd9.jpg\r\n"
                                      "#EXTM3U\r");
        const QString utf8 = box.file(QStringLiteral("utf8.m3u"),
                                      "\xEF\xBB\xBF/写真/a.jpg\rrel/b.jpg\r\n  /c.jpg \n/d.jpg");
        Build build;
        QVERIFY(build.run({ { plain, listKind, true },
                            { box.path(QStringLiteral("missing.txt")), listKind, true },
                            { box.root(), listKind, true },
                            { sjis, listKind, true },
                            { utf8, listKind, true } }));
        QCOMPARE(build.paths(),
                 QStringList({ QStringLiteral("C:/a.jpg"), QStringLiteral("C:/写真/ﾌｧｲﾙ.jpg"),
                               QStringLiteral("#EXTM3U"), QStringLiteral("/写真/a.jpg"),
                               QStringLiteral("rel/b.jpg"), QStringLiteral("  /c.jpg \n/d.jpg") }));
        QVERIFY(build.progress.statusTexts.contains(
            QStringLiteral("ファイルリスト\r\n") + sjis
            + QStringLiteral("\r\n内の画像ファイルを追加中です。")));
    }
};

QTEST_GUILESS_MAIN(TestListBuilder)
#include "tst_listbuilder.moc"
