#include "RecordingMessageService.h"
#include "Sandbox.h"
#include "imagelist/FilteredScan.h"
#include "imagelist/FolderScan.h"

#include <QFile>
#include <QTest>

#include <ctime>

namespace {

QStringList sorted(QStringList list)
{
    list.sort();
    return list;
}

bool matchesMask(const QString &mask, const QString &name)
{
    for (const WildcardPattern &p : WildcardPattern::splitMask(mask)) {
        if (p.matches(name))
            return true;
    }
    return false;
}

} // namespace

class TestFolderScan : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        // Last-write limits are local times: run in a zone far from UTC so that a missed
        // conversion shows.
        qputenv("TZ", "JST-9");
        tzset();
    }

    void matchesWildcardsWithoutRegardToCase()
    {
        QVERIFY(matchesMask(QStringLiteral("*.jpg"), QStringLiteral("Photo.JPG")));
        QVERIFY(matchesMask(QStringLiteral("*.JPG"), QStringLiteral("photo.jpg")));
        QVERIFY(matchesMask(QStringLiteral("*.*"), QStringLiteral("a.b")));
        QVERIFY(!matchesMask(QStringLiteral("*.jpg"), QStringLiteral("photo.jpeg")));
        QVERIFY(matchesMask(QStringLiteral("img??.png"), QStringLiteral("IMG01.png")));
        QVERIFY(!matchesMask(QStringLiteral("img??.png"), QStringLiteral("IMG1.png")));
        QVERIFY(matchesMask(QStringLiteral("*a*b*c"), QStringLiteral("xxAyyBzzaaC")));
        QVERIFY(!matchesMask(QStringLiteral("*a*b*c"), QStringLiteral("xxAyyBzzaaCd")));
        QVERIFY(matchesMask(QStringLiteral("*"), QStringLiteral("anything")));
        QVERIFY(matchesMask(QStringLiteral("ÄÖ*.jpg"), QStringLiteral("äö写真.JPG")));
        // "?" is one character, also outside the basic plane.
        QVERIFY(matchesMask(QStringLiteral("?.jpg"), QString::fromUtf8("\xF0\x9F\x98\x80.jpg")));
        QVERIFY(matchesMask(QStringLiteral("*(1"), QStringLiteral("x(1")));
        QVERIFY(!matchesMask(QStringLiteral("*(1"), QStringLiteral("x(1).jpg")));
        // Patterns are taken verbatim: blanks count, an empty pattern matches nothing.
        QVERIFY(!matchesMask(QStringLiteral("*.jpg; *.png"), QStringLiteral("a.png")));
        QVERIFY(matchesMask(QStringLiteral("*.jpg; *.png"), QStringLiteral(" a.png")));
        QVERIFY(!matchesMask(QString(), QStringLiteral("a.jpg")));
        QVERIFY(!matchesMask(QStringLiteral(";"), QStringLiteral("a.jpg")));
    }

    void walksLevelByLevel()
    {
        Sandbox box;
        box.file(QStringLiteral("A/C/c.jpg"));
        box.folder(QStringLiteral("A/B/E"));
        box.folder(QStringLiteral("A/B/D/F"));
        box.folder(QStringLiteral("A/.hidden"));
        const QString a = box.path(QStringLiteral("A/"));

        QStringList queue { a };
        QCOMPARE(AppendSubFolders(a, queue), 4);
        QCOMPARE(sorted(queue.mid(1)),
                 QStringList({ a + QStringLiteral(".hidden/"), a + QStringLiteral("B/"),
                               a + QStringLiteral("C/") }));

        const QStringList tree = GetSubFolderTree(a);
        QCOMPARE(tree.size(), 7);
        QCOMPARE(tree.first(), a);
        QCOMPARE(sorted(tree.mid(1, 3)), sorted(queue.mid(1)));
        QCOMPARE(sorted(tree.mid(4, 2)),
                 QStringList({ a + QStringLiteral("B/D/"), a + QStringLiteral("B/E/") }));
        QCOMPARE(tree.last(), a + QStringLiteral("B/D/F/"));

        // A folder that cannot be listed adds nothing.
        QStringList none { box.path(QStringLiteral("missing/")) };
        QCOMPARE(AppendSubFolders(none.first(), none), 1);
        QCOMPARE(GetSubFolderTree(box.path(QStringLiteral("missing/"))).size(), 1);
    }

    void walksALinkCycleOnce()
    {
        Sandbox box;
        box.file(QStringLiteral("A/sub/x.jpg"));
        box.file(QStringLiteral("outside/o.jpg"));
        QVERIFY(QFile::link(box.path(QStringLiteral("A")), box.path(QStringLiteral("A/sub/up"))));
        QVERIFY(QFile::link(box.path(QStringLiteral("outside")),
                            box.path(QStringLiteral("A/sub/out"))));
        QVERIFY(QFile::link(box.path(QStringLiteral("A/sub/x.jpg")),
                            box.path(QStringLiteral("A/sub/link.jpg"))));
        const QString a = box.path(QStringLiteral("A/"));

        // The link back to A is not followed; the link to a folder elsewhere is.
        const QStringList tree = GetSubFolderTree(a);
        QCOMPARE(sorted(tree),
                 QStringList({ a, a + QStringLiteral("sub/"), a + QStringLiteral("sub/out/") }));

        // A link to a file is a file.
        QStringList files;
        RecordingMessageService messages;
        FileFilter filter;
        filter.folder = a;
        filter.subFolders = true;
        AddFilesInFolder(filter, files, messages);
        QCOMPARE(
            sorted(files),
            QStringList({ a + QStringLiteral("sub/link.jpg"), a + QStringLiteral("sub/out/o.jpg"),
                          a + QStringLiteral("sub/x.jpg") }));
    }

    void filtersBySizeAndAttributes()
    {
        Sandbox box;
        box.file(QStringLiteral("empty.jpg"), QByteArray());
        box.file(QStringLiteral("ten.jpg"), QByteArray(10, 'x'));
        box.file(QStringLiteral(".hidden.jpg"), QByteArray(3, 'x'));
        const QString locked = box.file(QStringLiteral("locked.jpg"), QByteArray(5, 'x'));
        QFile::setPermissions(locked, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther);
        box.file(QStringLiteral("sub/deep.jpg"));
        const QString root = box.root();
        RecordingMessageService messages;

        auto scan = [&](const FileFilter &f) {
            QStringList list;
            AddFilesInFolder(f, list, messages);
            for (QString &p : list)
                p = p.mid(root.size());
            return sorted(list);
        };

        FileFilter filter;
        filter.folder = box.root().chopped(1); // without the trailing "/"
        QCOMPARE(scan(filter),
                 QStringList({ QStringLiteral(".hidden.jpg"), QStringLiteral("empty.jpg"),
                               QStringLiteral("locked.jpg"), QStringLiteral("ten.jpg") }));

        filter.subFolders = true;
        QCOMPARE(scan(filter).size(), 5);
        filter.subFolders = false;

        filter.sizeMin = 0;
        filter.sizeMax = 0;
        QCOMPARE(scan(filter), QStringList { QStringLiteral("empty.jpg") });
        filter.sizeMin = 3;
        filter.sizeMax = 5;
        QCOMPARE(scan(filter),
                 QStringList({ QStringLiteral(".hidden.jpg"), QStringLiteral("locked.jpg") }));
        filter.sizeMin = 0;
        filter.sizeMax = -1;

        filter.excludeAttributes = FileFilter::Hidden;
        QVERIFY(!scan(filter).contains(QStringLiteral(".hidden.jpg")));
        filter.excludeAttributes = FileFilter::ReadOnly;
        QCOMPARE(scan(filter),
                 QStringList({ QStringLiteral(".hidden.jpg"), QStringLiteral("empty.jpg"),
                               QStringLiteral("ten.jpg") }));
        // Linux files carry no system or archive attribute.
        filter.excludeAttributes = FileFilter::System | FileFilter::Archive;
        QCOMPARE(scan(filter).size(), 4);
        QVERIFY(messages.messages.isEmpty());

        filter.excludeAttributes = 0;
        filter.mask = QStringLiteral("*.png;*.JPG;*.jpg");
        QCOMPARE(scan(filter).size(), 8); // every file twice
    }

    void filtersByLastWriteTimeInLocalTime()
    {
        Sandbox box;
        const QString names[] = { QStringLiteral("before.jpg"), QStringLiteral("first.jpg"),
                                  QStringLiteral("last.jpg"), QStringLiteral("lastHalf.jpg"),
                                  QStringLiteral("after.jpg") };
        const QDateTime times[] = {
            QDateTime(QDate(1999, 12, 31), QTime(23, 59, 59, 900)),
            QDateTime(QDate(2000, 1, 1), QTime(0, 0, 0)),
            QDateTime(QDate(2001, 12, 31), QTime(23, 59, 59)),
            QDateTime(QDate(2001, 12, 31), QTime(23, 59, 59, 500)),
            QDateTime(QDate(2002, 1, 1), QTime(0, 0, 0)),
        };
        for (int i = 0; i < 5; ++i) {
            box.file(names[i]);
            box.setModified(names[i], times[i]);
        }

        // The extended dialog's default range.
        FileFilter filter;
        filter.folder = box.root();
        filter.timeMin = QDateTime(QDate(2000, 1, 1), QTime(0, 0, 0));
        filter.timeMax = QDateTime(QDate(2001, 12, 31), QTime(23, 59, 59));
        QStringList list;
        RecordingMessageService messages;
        AddFilesInFolder(filter, list, messages);
        QCOMPARE(sorted(list),
                 QStringList({ box.path(QStringLiteral("first.jpg")),
                               box.path(QStringLiteral("last.jpg")) }));

        // A reversed range is off.
        std::swap(filter.timeMin, filter.timeMax);
        list.clear();
        AddFilesInFolder(filter, list, messages);
        QCOMPARE(list.size(), 5);
    }

    void refusesAnEmptyMask()
    {
        Sandbox box;
        box.file(QStringLiteral("a.jpg"));
        FileFilter filter;
        filter.folder = box.root();
        filter.mask.clear();
        QStringList list;
        RecordingMessageService messages;
        AddFilesInFolder(filter, list, messages);
        QVERIFY(list.isEmpty());
        QCOMPARE(messages.texts(),
                 QStringList { QStringLiteral("マスクの指定が正しくありません。") });
        QCOMPARE(messages.messages.first().icon, MsgIcon::Error);

        // A mask of empty patterns is not refused; it just matches nothing.
        filter.mask = QStringLiteral(";");
        AddFilesInFolder(filter, list, messages);
        QVERIFY(list.isEmpty());
        QCOMPARE(messages.messages.size(), 1);
    }
};

QTEST_GUILESS_MAIN(TestFolderScan)
#include "tst_folderscan.moc"
