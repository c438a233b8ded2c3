#include "Sandbox.h"
#include "controller/music/MusicPlayList.h"
#include "core/TextFileCodec.h"
#include "core/UserFileReader.h"

#include <QElapsedTimer>
#include <QTest>

#include <sys/stat.h>

class TestTextFileCodec : public QObject
{
    Q_OBJECT
private slots:
    // What the user names as a play list or a list may be anything: only a regular file within
    // the size bound is read, and nothing else holds the program, a named pipe least of all.
    void userFilesAreReadOnlyWhenRegular_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<bool>("read");
        QTest::newRow("regular file") << u"file"_qs << true;
        QTest::newRow("named pipe without a writer") << u"fifo"_qs << false;
        QTest::newRow("folder") << u"folder"_qs << false;
        QTest::newRow("device") << u"device"_qs << false;
        QTest::newRow("larger than the bound") << u"large"_qs << false;
        QTest::newRow("missing") << u"missing"_qs << false;
    }
    void userFilesAreReadOnlyWhenRegular()
    {
        QFETCH(QString, kind);
        QFETCH(bool, read);
        Sandbox box;
        QString path = box.path(u"list.m3u"_qs);
        if (kind == u"file")
            box.file(u"list.m3u"_qs, "a.mp3\n");
        else if (kind == u"fifo")
            QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
        else if (kind == u"folder")
            path = box.folder(u"list.m3u"_qs);
        else if (kind == u"device")
            path = u"/dev/zero"_qs;
        else if (kind == u"large")
            box.file(u"list.m3u"_qs, QByteArray(2000, 'x'));
        QElapsedTimer elapsed;
        elapsed.start();
        const auto bytes = UserFileReader::read(path, 1000);
        QCOMPARE(bytes.has_value(), read);
        // The play-list reader goes through it: a pipe gives an empty list at once.
        if (kind != u"large") // its bound is far larger
            QCOMPARE(MusicPlayList::read(path).empty(), !read);
        QVERIFY(elapsed.elapsed() < 5000);
    }

    void decodesUtf8AndCp932()
    {
        const QString utf8Text = u"C:\\写真\\é😀.jpg"_qs;
        QCOMPARE(TextFileCodec::decode(utf8Text.toUtf8()), utf8Text);
        QCOMPARE(TextFileCodec::decode("\xEF\xBB\xBF" + utf8Text.toUtf8()), utf8Text);
        // "C:\テスト\表.jpg" as a Windows tool writes it; the backslashes must survive
        // (a Shift_JIS decoder would turn them into yen signs).
        const QByteArray cp932("C:\\\x83\x65\x83\x58\x83\x67\\\x95\x5c.jpg");
        QCOMPARE(TextFileCodec::decode(cp932), u"C:\\テスト\\表.jpg"_qs);
        QCOMPARE(TextFileCodec::decode(QByteArray()), QString());
    }

    // Windows tools end lines with CR LF, Linux editors and `ls > list.txt` with LF.
    void everyLineEndingEndsALine_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("lines");
        const QStringList abc { u"a"_qs, u"b"_qs, u"c"_qs };
        QTest::newRow("CR LF") << u"a\r\nb\r\nc\r\n"_qs << abc;
        QTest::newRow("LF") << u"a\nb\nc\n"_qs << abc;
        QTest::newRow("CR") << u"a\rb\rc"_qs << abc;
        QTest::newRow("mixed, empty lines kept")
            << u"a\r\nb\rc\nd\r\n\r\ne"_qs
            << QStringList { u"a"_qs, u"b"_qs, u"c"_qs, u"d"_qs, QString(), u"e"_qs };
        QTest::newRow("LF CR is two endings")
            << u"a\n\rb"_qs << QStringList { u"a"_qs, QString(), u"b"_qs };
        QTest::newRow("no ending at all") << u"x"_qs << QStringList { u"x"_qs };
        QTest::newRow("empty") << QString() << QStringList();
    }
    void everyLineEndingEndsALine()
    {
        QFETCH(QString, text);
        QFETCH(QStringList, lines);
        QCOMPARE(TextFileCodec::splitLines(text), lines);
    }
};

QTEST_GUILESS_MAIN(TestTextFileCodec)
#include "tst_textfilecodec.moc"
