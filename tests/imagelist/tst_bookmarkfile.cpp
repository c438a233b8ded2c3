#include "FileSizeLimit.h"
#include "Sandbox.h"
#include "imagelist/BookmarkFile.h"

#include <QFile>
#include <QTest>

#include <sys/stat.h>

class TestBookmarkFile : public QObject
{
    Q_OBJECT
private slots:
    void writesTheSixLineFormat()
    {
        const QByteArray bytes
            = BookmarkFile::format(2, u"（標準）"_qs, { u"/p/a.jpg"_qs, u"/p/b.jpg"_qs });
        QCOMPARE(bytes,
                 QString(u"Page=2\r\nSettingName=（標準）\r\n\r\n[Files]\r\n/p/a.jpg\r\n"
                         "/p/b.jpg\r\n"_qs)
                     .toUtf8());
    }

    // A bookmark edited with a Linux editor, or written by a script, has LF or CR line ends.
    void readsEveryLineEnding_data()
    {
        QTest::addColumn<QString>("end");
        QTest::newRow("CR LF") << u"\r\n"_qs;
        QTest::newRow("LF") << u"\n"_qs;
        QTest::newRow("CR") << u"\r"_qs;
    }
    void readsEveryLineEnding()
    {
        QFETCH(QString, end);
        const QString text = u"Page=3"_qs + end + u"SettingName=旅行"_qs + end + end + u"[Files]"_qs
            + end + u"/p/a.jpg"_qs + end + u"/p/b.jpg"_qs + end;
        const auto c = BookmarkFile::parse(text);
        QVERIFY(c);
        QCOMPARE(c->page, 3);
        QCOMPARE(c->settingName, u"旅行"_qs);
        QCOMPARE(c->paths, (QStringList { u"/p/a.jpg"_qs, u"/p/b.jpg"_qs }));
    }

    void readsLeniently()
    {
        QCOMPARE(BookmarkFile::parse(u"Page=2\r\nSettingName=x\r\n"_qs), std::nullopt);
        QCOMPARE(BookmarkFile::parse(u"[files]\r\n/a.jpg"_qs), std::nullopt); // case counts

        auto c = BookmarkFile::parse(u"SettingName=旅行\r\nPage=3\r\n[Files]\r\n/a\r\n\r\n/b"_qs);
        QVERIFY(c);
        QCOMPARE(c->page, 3);
        QCOMPARE(c->settingName, std::optional(u"旅行"_qs));
        // Empty lines add nothing; the last path needs no line end.
        QCOMPARE(c->paths, (QStringList { u"/a"_qs, u"/b"_qs }));

        c = BookmarkFile::parse(u"[Files]\r\nPage=7\r\n;not a comment\r\n"_qs);
        QVERIFY(c);
        QCOMPARE(c->page, 1); // "Page=" after "[Files]" is a path
        QCOMPARE(c->settingName, std::nullopt);
        QCOMPARE(c->paths, (QStringList { u"Page=7"_qs, u";not a comment"_qs }));

        for (const QString &page : { u"x"_qs, u"nan"_qs, u"inf"_qs, u"2147483648"_qs })
            QCOMPARE(BookmarkFile::parse(u"Page="_qs + page + u"\r\n[Files]\r\n/a"_qs),
                     std::nullopt);
        QCOMPARE(BookmarkFile::parse(u"Page=2.5\r\n[Files]\r\n/a"_qs)->page, 3);
        QCOMPARE(BookmarkFile::parse(u"Page=999\r\n[Files]\r\n/a"_qs)->page, 999);
        QVERIFY(BookmarkFile::parse(u"[Files]"_qs)->paths.isEmpty());
    }

    void readsWindowsFilesAndKeepsEveryCharacter()
    {
        Sandbox box;
        // Written by a Windows tool: CP932, "C:\写真\ﾃｽﾄ.jpg" with its backslashes.
        const QString cp932 = box.file(u"old.kvs"_qs,
                                       "Page=1\r\nSettingName=\x97\xb7\x8d\x73\r\n\r\n[Files]\r\n"
                                       "C:\\\x8e\xca\x90\x5e\\\xc3\xbd\xc4.jpg\r\n");
        auto c = BookmarkFile::read(cp932);
        QVERIFY(c);
        QCOMPARE(c->settingName, std::optional(u"旅行"_qs));
        QCOMPARE(c->paths, QStringList { u"C:\\写真\\ﾃｽﾄ.jpg"_qs });

        const QStringList paths { u"/home/é/café.jpg"_qs,
                                  QString::fromUtf8("/x/\xF0\x9F\x98\x80.png"),
                                  u"/写真/ｶﾞｿﾞｳ.JPG"_qs };
        const QString path = box.path(u"new.kvs"_qs);
        QCOMPARE(BookmarkFile::write(path, 3, u"（標準）"_qs, paths), std::nullopt);
        c = BookmarkFile::read(path);
        QVERIFY(c);
        QCOMPARE(c->paths, paths);
        QCOMPARE(c->page, 3);
        QCOMPARE(BookmarkFile::read(box.path(u"missing.kvs"_qs)), std::nullopt);

        // A large file without the section near its start is no bookmark, and is not read whole.
        const QString movie
            = box.file(u"movie.mp4"_qs, QByteArray(200 * 1024, 'x') + "\r\n[Files]\r\n/a.jpg");
        QCOMPARE(BookmarkFile::read(movie), std::nullopt);
        // Named on the command line, a pipe is no bookmark and is not opened.
        const QString pipe = box.path(u"pipe.kvs"_qs);
        ::mkfifo(QFile::encodeName(pipe).constData(), 0600);
        QCOMPARE(BookmarkFile::read(pipe), std::nullopt);
    }

    void failedWriteLeavesTheOldBookmark()
    {
        Sandbox box;
        const QString path = box.path(u"keep.kvs"_qs);
        QCOMPARE(BookmarkFile::write(path, 1, u"A"_qs, { u"/a.jpg"_qs }), std::nullopt);
        const QByteArray before = readFile(path);
        std::optional<BookmarkFile::WriteError> error;
        {
            FileSizeLimit limit(16); // the disk is full after 16 bytes
            QStringList many;
            for (int i = 0; i < 100; ++i)
                many.append(u"/pictures/"_qs + QString::number(i) + u".jpg"_qs);
            error = BookmarkFile::write(path, 5, u"B"_qs, many);
        }
        QVERIFY(error);
        QVERIFY(!error->description.isEmpty());
        QCOMPARE(readFile(path), before);
        QCOMPARE(QDir(box.root()).entryList(QDir::Files), QStringList { u"keep.kvs"_qs });
    }
};

QTEST_GUILESS_MAIN(TestBookmarkFile)
#include "tst_bookmarkfile.moc"
