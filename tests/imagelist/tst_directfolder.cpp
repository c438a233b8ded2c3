#include "FakeServices.h"
#include "Sandbox.h"
#include "core/Options.h"
#include "core/PlayList.h"
#include "imagelist/DirectFolder.h"
#include "imagelist/DirectoryReader.h"
#include "imagelist/FolderPrefetch.h"

#include <QTest>

class TestDirectFolder : public QObject
{
    Q_OBJECT

    static QString fileName(const QString &path) { return path.mid(path.lastIndexOf(u'/') + 1); }

private slots:
    // The same with the folder listed beforehand at start, and with a listing of another folder,
    // which is not taken.
    void opensTheFilesFolderAtTheFile_data()
    {
        QTest::addColumn<QString>("listedBefore");
        QTest::newRow("listed now") << QString();
        QTest::newRow("listed at start") << u"p/"_qs;
        QTest::newRow("another folder listed at start") << u"sub/"_qs;
    }
    void opensTheFilesFolderAtTheFile()
    {
        QFETCH(QString, listedBefore);
        Sandbox box;
        box.file(u"p/c.jpg"_qs);
        box.file(u"p/a.jpg"_qs);
        box.file(u"p/B.JPG"_qs);
        box.file(u"p/.hidden"_qs);
        box.file(u"p/sub/deeper.jpg"_qs);
        Options options;
        options.setOption(Opt::optSortByFileName, true);
        FakeRandom random;
        PlayList list;
        list.appendToPlayList(u"/old.jpg"_qs);

        std::unique_ptr<FolderPrefetch> prefetch;
        if (!listedBefore.isEmpty()) {
            box.file(u"sub/x.jpg"_qs);
            prefetch = std::make_unique<FolderPrefetch>(box.path(listedBefore));
            // Known before the rest: the first file in name order, subfolders left out.
            QCOMPARE(prefetch->firstFile(),
                     box.path(listedBefore == u"p/" ? u"p/.hidden"_qs : u"sub/x.jpg"_qs));
        }

        const auto r = DirectFolder::collect(list, QString(), box.path(u"p/b.jpg"_qs), options,
                                             random, prefetch.get());
        QVERIFY(r);
        QCOMPARE(r->folder, box.path(u"p/"_qs));
        QStringList paths;
        for (int i = 1; i <= list.count(); ++i)
            paths.append(fileName(list.path(i)));
        // Hidden files come too, subfolders do not; sorted by name, the file found in any case.
        QCOMPARE(paths, (QStringList { u".hidden"_qs, u"a.jpg"_qs, u"B.JPG"_qs, u"c.jpg"_qs }));
        QCOMPARE(r->nextIndex, 3);
        // A listing of the same folder was taken, not read again; another one was left.
        if (prefetch)
            QCOMPARE(prefetch->take().isEmpty(), listedBefore == u"p/");

        const auto folderOnly
            = DirectFolder::collect(list, box.path(u"p"_qs), QString(), options, random);
        QVERIFY(folderOnly);
        QCOMPARE(folderOnly->nextIndex, 1);
        QCOMPARE(list.count(), 4);
    }

    // Names that agree in their first letters, differ in case only, are prefixes of others or
    // are not ASCII: listed in the order the name comparison gives.
    void aFolderIsListedInNameOrder()
    {
        Sandbox box;
        const QStringList names { u"img00010.jpg"_qs,
                                  u"IMG00009.jpg"_qs,
                                  u"img0001.jpg"_qs,
                                  u"img00001.jpg"_qs,
                                  u"Img00001.JPG"_qs,
                                  u"a"_qs,
                                  u"A"_qs,
                                  u"ab"_qs,
                                  u"画像2.png"_qs,
                                  u"画像10.png"_qs,
                                  u"é.png"_qs,
                                  u"img000010.jpg"_qs,
                                  u"b"_qs };
        for (const QString &name : names)
            box.file(u"n/"_qs + name);
        PlayList list;
        FolderPrefetch::appendFiles(list, box.path(u"n/"_qs));
        QStringList listed;
        for (int i = 1; i <= list.count(); ++i)
            listed.append(fileName(list.path(i)));
        QStringList expected = names;
        std::sort(expected.begin(), expected.end(), [](const QString &a, const QString &b) {
            return DirectoryReader::listsBefore(a, b);
        });
        QCOMPARE(listed, expected);
    }

    void missingFolderEmptiesTheList()
    {
        Options options;
        FakeRandom random;
        PlayList list;
        list.appendToPlayList(u"/old.jpg"_qs);
        QCOMPARE(DirectFolder::collect(list, u"/no/such/folder"_qs, QString(), options, random),
                 std::nullopt);
        QVERIFY(list.isEmpty());
        list.appendToPlayList(u"/old.jpg"_qs);
        QCOMPARE(DirectFolder::collect(list, QString(), QString(), options, random), std::nullopt);
        QVERIFY(list.isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestDirectFolder)
#include "tst_directfolder.moc"
