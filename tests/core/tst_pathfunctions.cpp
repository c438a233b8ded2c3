#include "Sandbox.h"
#include "core/PathFunctions.h"

#include <QDir>
#include <QFile>
#include <QTest>

class TestPathFunctions : public QObject
{
    Q_OBJECT
private slots:
    void splitting()
    {
        QCOMPARE(GetExtension(u"/a.b/file"_qs), QString());
        QCOMPARE(GetExtension(u"/a/file.tar.gz"_qs), u"gz"_qs);
        QCOMPARE(GetExtension(u"/a/file."_qs), QString());
        QCOMPARE(GetExtension(u"noslash.jpg"_qs), u"jpg"_qs);
        QCOMPARE(GetFileName(u"/a/b.jpg"_qs), u"b.jpg"_qs);
        QCOMPARE(GetFileName(u"b.jpg"_qs), QString());
        QCOMPARE(GetFileName(u"/a/"_qs), QString());
        QCOMPARE(GetFolderPart(u"/a/b.jpg"_qs), u"/a/"_qs);
        QCOMPARE(GetFolderPart(u"b.jpg"_qs), QString());
        QCOMPARE(RemoveBackslash(u"/a/b//"_qs), u"/a/b/"_qs);
        QCOMPARE(RemoveBackslash(u"/a/b"_qs), u"/a/b"_qs);

        QString folder = u"/pics"_qs;
        QCOMPARE(AddBackslash(folder), u"/pics/"_qs);
        QCOMPARE(folder, u"/pics/"_qs); // the caller's variable follows
        QCOMPARE(AddBackslash(folder), u"/pics/"_qs);
        QCOMPARE(AddBackslash(QString()), u"/"_qs);
    }

    void quoting()
    {
        QCOMPARE(QuoteIfNeeded(u"/My Pictures/a.jpg"_qs), u"\"/My Pictures/a.jpg\""_qs);
        QCOMPARE(QuoteIfNeeded(u"a,b"_qs), u"\"a,b\""_qs);
        QCOMPARE(QuoteIfNeeded(u"say \"hi\""_qs), u"\"say \"\"hi\"\"\""_qs);
        QCOMPARE(QuoteIfNeeded(u"a\"b"_qs), u"a\"b"_qs);
        QCOMPARE(QuoteIfNeeded(QString()), QString());
    }

    void existence()
    {
        Sandbox box;
        const QString file = box.file(u"d/f.jpg"_qs);
        QVERIFY(IsFolder(box.path(u"d"_qs)));
        QVERIFY(IsFolder(box.path(u"d/"_qs)));
        QVERIFY(!IsFolder(file));
        QVERIFY(!IsFolder(QString()));
        QVERIFY(!IsFolder(box.path(u"missing"_qs)));
        QVERIFY(FileExists(file));
        QVERIFY(FileExists(box.path(u"d"_qs)));
        QVERIFY(!FileExists(QString()));
        QVERIFY(!FileExists(box.path(u"d/g.jpg"_qs)));
        QVERIFY(SearchPathFile(u"sh"_qs));
        QVERIFY(!SearchPathFile(u"no-such-program-here"_qs));
        QVERIFY(!SearchPathFile(QString()));
    }

    void longPathAndNormalisation()
    {
        Sandbox box;
        box.file(u"Photos/Summer.JPG"_qs);
        box.file(u"Photos/.hidden/x.png"_qs);
        const QString root = RemoveBackslash(box.root());

        // Letter case is taken from the file system.
        QCOMPARE(GetLongPath(root + u"/photos/summer.jpg"_qs), root + u"/Photos/Summer.JPG"_qs);
        QCOMPARE(GetLongPath(root + u"/Photos/"_qs), root + u"/Photos"_qs);
        QCOMPARE(GetLongPath(root + u"/PHOTOS/.Hidden/x.png"_qs),
                 root + u"/Photos/.hidden/x.png"_qs);
        QCOMPARE(GetLongPath(root + u"/Photos/missing/x.png"_qs), QString());
        QCOMPARE(GetLongPath(u"relative.jpg"_qs), QString());
        QCOMPARE(GetLongPath(u"/"_qs), u"/"_qs);

        // A missing component is left out, and the result must exist.
        QCOMPARE(normalisePath(root + u"/photos/missing/summer.jpg"_qs),
                 root + u"/Photos/Summer.JPG"_qs);
        QCOMPARE(normalisePath(root + u"/Photos/missing.jpg"_qs), root + u"/Photos"_qs);
        QCOMPARE(normalisePath(root + u"/nothing/at/all.jpg"_qs), root);
        QCOMPARE(normalisePath(QString()), QString());
        QCOMPARE(normalisePath(u"noslash"_qs), QString());
    }

    void absoluteArguments()
    {
        QCOMPARE(absoluteArgumentPath(u"/abs/x"_qs), u"/abs/x"_qs);
        QCOMPARE(absoluteArgumentPath(u"/abs/y/../x/./"_qs), u"/abs/x/"_qs);
        QCOMPARE(absoluteArgumentPath(u"rel/../x"_qs), QDir::currentPath() + u"/x"_qs);
        QCOMPARE(absoluteArgumentPath(QString()), QString());
        QVERIFY(absoluteArgumentPath(u"rel/x"_qs).endsWith(u"/rel/x"_qs));
        QVERIFY(absoluteArgumentPath(u"rel/x"_qs).startsWith(u'/'));
    }
};

QTEST_GUILESS_MAIN(TestPathFunctions)
#include "tst_pathfunctions.moc"
