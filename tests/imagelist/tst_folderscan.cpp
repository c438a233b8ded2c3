#include "FakeServices.h"
#include "PermissionsEnforced.h"
#include "RecordingMessageService.h"
#include "RecordingProgress.h"
#include "Sandbox.h"
#include "core/Options.h"
#include "core/PlayList.h"
#include "imagelist/DirectFolder.h"
#include "imagelist/FilteredScan.h"
#include "imagelist/FolderScan.h"
#include "imagelist/ListBuilder.h"

#include <QFile>
#include <QScopeGuard>
#include <QTest>

#include <ctime>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {

QStringList sorted(QStringList list)
{
    list.sort();
    return list;
}

enum class Scan { Filtered, BuildInListingOrder, BuildByFolderDepth, OneFolder };

// The files one of the program's scans collects from `folder` with every subfolder.
QStringList collect(Scan scan, const QString &folder)
{
    QStringList files;
    if (scan == Scan::Filtered) {
        RecordingMessageService messages;
        FileFilter filter;
        filter.folder = folder;
        filter.subFolders = true;
        AddFilesInFolder(filter, files, messages);
        return files;
    }
    PlayList list;
    Options options;
    FakeRandom random;
    options.setOption(Opt::optNoSort, true);
    if (scan == Scan::OneFolder) {
        DirectFolder::collect(list, folder, QString(), options, random);
    } else {
        if (scan == Scan::BuildByFolderDepth) {
            options.setOption(Opt::optSortByFileName, true);
            options.setCheck(Opt::chkSortFolderDepth, 1);
        }
        RecordingProgress progress;
        ListBuilder builder(list, options, random, progress);
        builder.SearchSubFolders(folder);
        builder.AddFiles2List(u"*.*"_s);
    }
    for (int i = 1; i <= list.count(); ++i)
        files.append(list.path(i));
    return files;
}

// Creates a file or folder whose path is the given bytes, which need not be valid UTF-8.
void makeRaw(const QByteArray &path, bool isFolder)
{
    if (isFolder)
        QVERIFY(::mkdir(path.constData(), 0755) == 0);
    else
        QVERIFY(::close(::open(path.constData(), O_CREAT | O_WRONLY, 0644)) == 0);
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
        QVERIFY(matchesMask(u"*.jpg"_s, u"Photo.JPG"_s));
        QVERIFY(matchesMask(u"*.JPG"_s, u"photo.jpg"_s));
        QVERIFY(matchesMask(u"*.*"_s, u"a.b"_s));
        QVERIFY(matchesMask(u"*.*"_s, u"README"_s)); // "*.*" means every file
        QVERIFY(matchesMask(u"a*.*"_s, u"abc"_s));
        QVERIFY(!matchesMask(u"b*.*"_s, u"abc"_s));
        QVERIFY(!matchesMask(u"*.j*"_s, u"jpg"_s));
        QVERIFY(!matchesMask(u"*.jpg"_s, u"photo.jpeg"_s));
        QVERIFY(matchesMask(u"img??.png"_s, u"IMG01.png"_s));
        QVERIFY(!matchesMask(u"img??.png"_s, u"IMG1.png"_s));
        QVERIFY(matchesMask(u"*a*b*c"_s, u"xxAyyBzzaaC"_s));
        QVERIFY(!matchesMask(u"*a*b*c"_s, u"xxAyyBzzaaCd"_s));
        QVERIFY(matchesMask(u"*"_s, u"anything"_s));
        QVERIFY(matchesMask(u"ÄÖ*.jpg"_s, u"äö写真.JPG"_s));
        // "?" is one character, also outside the basic plane.
        QVERIFY(matchesMask(u"?.jpg"_s, QString::fromUtf8("\xF0\x9F\x98\x80.jpg")));
        QVERIFY(matchesMask(u"*(1"_s, u"x(1"_s));
        QVERIFY(!matchesMask(u"*(1"_s, u"x(1).jpg"_s));
        // Patterns are taken verbatim: blanks count, an empty pattern matches nothing.
        QVERIFY(!matchesMask(u"*.jpg; *.png"_s, u"a.png"_s));
        QVERIFY(matchesMask(u"*.jpg; *.png"_s, u" a.png"_s));
        QVERIFY(!matchesMask(QString(), u"a.jpg"_s));
        QVERIFY(!matchesMask(u";"_s, u"a.jpg"_s));
    }

    void walksLevelByLevel()
    {
        Sandbox box;
        box.file(u"A/C/c.jpg"_s);
        box.folder(u"A/B/E"_s);
        box.folder(u"A/B/D/F"_s);
        box.folder(u"A/.hidden"_s);
        const QString a = box.path(u"A/"_s);

        QStringList queue { a };
        QCOMPARE(AppendSubFolders(a, queue), 4);
        QCOMPARE(sorted(queue.mid(1)),
                 QStringList({ a + u".hidden/"_s, a + u"B/"_s, a + u"C/"_s }));

        const QStringList tree = GetSubFolderTree(a);
        QCOMPARE(tree.size(), 7);
        QCOMPARE(tree.first(), a);
        QCOMPARE(sorted(tree.mid(1, 3)), sorted(queue.mid(1)));
        QCOMPARE(sorted(tree.mid(4, 2)), QStringList({ a + u"B/D/"_s, a + u"B/E/"_s }));
        QCOMPARE(tree.last(), a + u"B/D/F/"_s);

        // A folder that cannot be listed adds nothing.
        QStringList none { box.path(u"missing/"_s) };
        QCOMPARE(AppendSubFolders(none.first(), none), 1);
        QCOMPARE(GetSubFolderTree(box.path(u"missing/"_s)).size(), 1);
    }

    void listsEveryFolderInNameOrder()
    {
        // Created in an order of their own: the walk must not depend on it, nor on the file
        // system's.
        const QStringList names { u"c.jpg"_s,     u"img2.jpg"_s, u"B.jpg"_s, u"_u.jpg"_s,
                                  u"img10.jpg"_s, u"ｶ.jpg"_s,    u"a.jpg"_s, u"カ.jpg"_s,
                                  u"ä2.jpg"_s,    u"Ä1.jpg"_s,   u"A.JPG"_s, u"1.jpg"_s };
        const QStringList expected { u"1.jpg"_s,  u"A.JPG"_s,     u"a.jpg"_s,    u"B.jpg"_s,
                                     u"c.jpg"_s,  u"img10.jpg"_s, u"img2.jpg"_s, u"_u.jpg"_s,
                                     u"Ä1.jpg"_s, u"ä2.jpg"_s,    u"カ.jpg"_s,   u"ｶ.jpg"_s };
        Sandbox box;
        for (const QString &n : names) {
            box.file(u"top/"_s + n);
            box.folder(u"top/"_s + QString(n).replace(u".jpg"_s, u""_s, Qt::CaseInsensitive));
        }
        const QString top = box.path(u"top/"_s);

        QStringList files;
        RecordingMessageService messages;
        FileFilter filter;
        filter.folder = top;
        AddFilesInFolder(filter, files, messages);
        for (QString &p : files)
            p = p.mid(top.size());
        QCOMPARE(files, expected);

        // The folder queue in the same order, level by level.
        QStringList queue { top };
        AppendSubFolders(top, queue);
        QStringList folders;
        for (qsizetype i = 1; i < queue.size(); ++i)
            folders << queue.at(i).mid(top.size()).chopped(1);
        QStringList expectedFolders;
        for (const QString &n : expected)
            expectedFolders << QString(n).replace(u".jpg"_s, u""_s, Qt::CaseInsensitive);
        QCOMPARE(folders, expectedFolders);
    }

    void walksALinkCycleOnce()
    {
        Sandbox box;
        box.file(u"A/sub/x.jpg"_s);
        box.file(u"outside/o.jpg"_s);
        QVERIFY(QFile::link(box.path(u"A"_s), box.path(u"A/sub/up"_s)));
        QVERIFY(QFile::link(box.path(u"outside"_s), box.path(u"A/sub/out"_s)));
        QVERIFY(QFile::link(box.path(u"A/sub/x.jpg"_s), box.path(u"A/sub/link.jpg"_s)));
        const QString a = box.path(u"A/"_s);

        // The link back to A is not followed; the link to a folder elsewhere is.
        const QStringList tree = GetSubFolderTree(a);
        QCOMPARE(sorted(tree), QStringList({ a, a + u"sub/"_s, a + u"sub/out/"_s }));

        // A link to a file is a file.
        QStringList files;
        RecordingMessageService messages;
        FileFilter filter;
        filter.folder = a;
        filter.subFolders = true;
        AddFilesInFolder(filter, files, messages);
        QCOMPARE(
            sorted(files),
            QStringList({ a + u"sub/link.jpg"_s, a + u"sub/out/o.jpg"_s, a + u"sub/x.jpg"_s }));
    }

    void walksAHostileTreeToItsEnd_data()
    {
        QTest::addColumn<Scan>("scan");
        QTest::newRow("file-list editor's scan") << Scan::Filtered;
        QTest::newRow("list build") << Scan::BuildInListingOrder;
        QTest::newRow("list build by folder depth") << Scan::BuildByFolderDepth;
        QTest::newRow("one folder") << Scan::OneFolder;
    }
    void walksAHostileTreeToItsEnd()
    {
        QFETCH(Scan, scan);
        Sandbox box;
        const QString top = box.folder(u"top"_s);
        QStringList expected { box.file(u"top/ok.jpg"_s), box.file(u"top/写真.jpg"_s) };
        QStringList below;

        // Links that lead back up, to a sibling, and to nowhere but each other.
        below << box.file(u"top/cycle/sub/x.jpg"_s);
        QVERIFY(QFile::link(top + u"cycle"_s, top + u"cycle/sub/up"_s));
        QVERIFY(QFile::link(top, top + u"cycle/sub/root"_s));
        QVERIFY(QFile::link(top + u"loop2.jpg"_s, top + u"loop1.jpg"_s));
        QVERIFY(QFile::link(top + u"loop1.jpg"_s, top + u"loop2.jpg"_s));
        // Broken links stay in the list like other files that cannot be shown.
        expected << top + u"loop1.jpg"_s << top + u"loop2.jpg"_s;

        // A named pipe: opening it would wait for a writer forever.
        QVERIFY(::mkfifo(QFile::encodeName(top + u"pipe.jpg"_s).constData(), 0644) == 0);

        // Names that are not UTF-8 cannot be reached through a path made of text. Removed by
        // hand at the end, as the sandbox cannot name them either.
        const QByteArray raw = QFile::encodeName(top);
        makeRaw(raw + "bad\xff\xfe.jpg", false);
        makeRaw(raw + "\xff", true);
        makeRaw(raw + "\xff/hidden.jpg", false);
        const auto removeRaw = qScopeGuard([raw] {
            ::unlink((raw + "bad\xff\xfe.jpg").constData());
            ::unlink((raw + "\xff/hidden.jpg").constData());
            ::rmdir((raw + "\xff").constData());
        });

        // A folder as deep as anyone makes one.
        QString deep = u"top/deep"_s;
        for (int level = 0; level < 200; ++level)
            deep += u"/d"_s + QString::number(level);
        below << box.file(deep + u"/bottom.jpg"_s);

        // A folder that may not be read; its neighbours are walked all the same.
        box.file(u"top/locked/in.jpg"_s);
        below << box.file(u"top/open/after.jpg"_s);
        const QByteArray locked = QFile::encodeName(top + u"locked"_s);
        QVERIFY(::chmod(locked.constData(), 0) == 0);
        const auto unlock = qScopeGuard([locked] { ::chmod(locked.constData(), 0755); });
        PermissionsEnforced enforced;
        if (!enforced.isActive())
            qInfo("permissions cannot be enforced here: the locked folder is read");

        if (scan != Scan::OneFolder) {
            expected << below;
            if (!enforced.isActive())
                expected << top + u"locked/in.jpg"_s;
        }
        const QStringList files = collect(scan, top);
        QCOMPARE(sorted(files), sorted(expected));
    }

    void filtersBySizeAndAttributes()
    {
        Sandbox box;
        box.file(u"empty.jpg"_s, QByteArray());
        box.file(u"ten.jpg"_s, QByteArray(10, 'x'));
        box.file(u".hidden.jpg"_s, QByteArray(3, 'x'));
        const QString locked = box.file(u"locked.jpg"_s, QByteArray(5, 'x'));
        QFile::setPermissions(locked, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther);
        box.file(u"sub/deep.jpg"_s);
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
                 QStringList({ u".hidden.jpg"_s, u"empty.jpg"_s, u"locked.jpg"_s, u"ten.jpg"_s }));

        filter.subFolders = true;
        QCOMPARE(scan(filter).size(), 5);
        filter.subFolders = false;

        filter.sizeMin = 0;
        filter.sizeMax = 0;
        QCOMPARE(scan(filter), QStringList { u"empty.jpg"_s });
        filter.sizeMin = 3;
        filter.sizeMax = 5;
        QCOMPARE(scan(filter), QStringList({ u".hidden.jpg"_s, u"locked.jpg"_s }));
        filter.sizeMin = 0;
        filter.sizeMax = -1;

        filter.excludeAttributes = FileFilter::Hidden;
        QVERIFY(!scan(filter).contains(u".hidden.jpg"_s));
        filter.excludeAttributes = FileFilter::ReadOnly;
        QCOMPARE(scan(filter), QStringList({ u".hidden.jpg"_s, u"empty.jpg"_s, u"ten.jpg"_s }));
        // Linux files carry no system or archive attribute.
        filter.excludeAttributes = FileFilter::System | FileFilter::Archive;
        QCOMPARE(scan(filter).size(), 4);
        QVERIFY(messages.messages.isEmpty());

        filter.excludeAttributes = 0;
        filter.mask = u"*.png;*.JPG;*.jpg"_s;
        QCOMPARE(scan(filter).size(), 8); // every file twice
    }

    void filtersByLastWriteTimeInLocalTime()
    {
        Sandbox box;
        const QString names[]
            = { u"before.jpg"_s, u"first.jpg"_s, u"last.jpg"_s, u"lastHalf.jpg"_s, u"after.jpg"_s };
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
        QCOMPARE(sorted(list), QStringList({ box.path(u"first.jpg"_s), box.path(u"last.jpg"_s) }));

        // A reversed range is off.
        std::swap(filter.timeMin, filter.timeMax);
        list.clear();
        AddFilesInFolder(filter, list, messages);
        QCOMPARE(list.size(), 5);
    }

    void refusesAnEmptyMask()
    {
        Sandbox box;
        box.file(u"a.jpg"_s);
        FileFilter filter;
        filter.folder = box.root();
        filter.mask.clear();
        QStringList list;
        RecordingMessageService messages;
        AddFilesInFolder(filter, list, messages);
        QVERIFY(list.isEmpty());
        QCOMPARE(messages.texts(), QStringList { u"マスクの指定が正しくありません。"_s });
        QCOMPARE(messages.messages.first().icon, MsgIcon::Error);

        // A mask of empty patterns is not refused; it just matches nothing.
        filter.mask = u";"_s;
        AddFilesInFolder(filter, list, messages);
        QVERIFY(list.isEmpty());
        QCOMPARE(messages.messages.size(), 1);
    }
};

QTEST_GUILESS_MAIN(TestFolderScan)
#include "tst_folderscan.moc"
