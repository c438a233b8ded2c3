#include "Sandbox.h"

#include "imagelist/FileListFile.h"
#include "imagelist/FileListModel.h"

#include <QAbstractItemModelTester>
#include <QTest>

#include <sys/stat.h>

using namespace Qt::StringLiterals;

// File-list files as the editor reads and writes them, and the editor's edit commands.
class TestFileListFile : public QObject
{
    Q_OBJECT

    // "A B* C": the lines A, B, C with B selected.
    static std::pair<QStringList, QList<bool>> parse(const QString &text)
    {
        QStringList lines;
        QList<bool> selected;
        for (QString word : text.split(u' ', Qt::SkipEmptyParts)) {
            selected.append(word.endsWith(u'*'));
            if (selected.last())
                word.chop(1);
            lines.append(word);
        }
        return { lines, selected };
    }
    static QString show(const QStringList &lines, const QList<bool> &selected)
    {
        QStringList words;
        for (qsizetype i = 0; i < lines.size(); ++i)
            words.append(lines[i] + (selected.value(i) ? u"*"_s : QString()));
        return words.join(u' ');
    }

private slots:
    // The editor and the list building read by the same rule; the building's tests cover the
    // encodings at length.
    void readsCp932WithLoneCrEndings()
    {
        Sandbox box;
        const QString sjis = box.file(u"sjis.txt"_s,
                                      "C:\\\x8e\xca\x90\x5e\\\xcc\xa7\xb2\xd9.jpg\r"
                                      "; comment\r\n\r\n"
                                      "#EXTINF:10,x\r"
                                      "  relative/b.jpg \r\n"
                                      "/last.png");
        const FileListFile::ReadResult r = FileListFile::read(sjis);
        QVERIFY(!r.error);
        QCOMPARE(r.lines,
                 QStringList({ u"C:\\写真\\ﾌｧｲﾙ.jpg"_s, u"#EXTINF:10,x"_s, u"  relative/b.jpg "_s,
                               u"/last.png"_s }));
    }

    // A list made with `ls > list.txt` or any Linux editor: one entry a line.
    void readsLinuxLineEnds()
    {
        Sandbox box;
        // The second part, joined with cat, has its own byte-order mark.
        const QString list = box.file(
            u"list.txt"_s, "/p/a.jpg\n\xEF\xBB\xBF/p/b.png\n; skipped\n\xEF\xBB\xBF\n/p/c.gif\n");
        const FileListFile::ReadResult r = FileListFile::read(list);
        QVERIFY(!r.error);
        QCOMPARE(r.lines, QStringList({ u"/p/a.jpg"_s, u"/p/b.png"_s, u"/p/c.gif"_s }));
    }

    // Lines and two-byte characters come out whole at every size, small and large.
    void readingAFileGivesTheLinesOfItsBytes_data()
    {
        QTest::addColumn<qsizetype>("size");
        QTest::addColumn<bool>("cp932");
        for (const qsizetype size : { qsizetype(0), qsizetype(4095), qsizetype(4096),
                                      qsizetype(4097), qsizetype(1 << 20) - 1, qsizetype(1 << 20),
                                      qsizetype(1 << 20) + 1, qsizetype(3 << 20) + 7 }) {
            QTest::addRow("utf8 %lld", qlonglong(size)) << size << false;
            QTest::addRow("cp932 %lld", qlonglong(size)) << size << true;
        }
    }
    void readingAFileGivesTheLinesOfItsBytes()
    {
        QFETCH(qsizetype, size);
        QFETCH(bool, cp932);
        // Lines of different lengths, so that CR LF pairs and characters straddle the chunk
        // boundaries at every offset.
        QByteArray bytes;
        for (int i = 0; bytes.size() < size; ++i) {
            bytes += cp932 ? QByteArray("C:\\\x8e\xca\x90\x5e\\") : QByteArray("/写真/");
            bytes += QByteArray::number(i) + QByteArray(i % 7, 'a') + ".jpg\r\n";
        }
        bytes.truncate(size);
        Sandbox box;
        const FileListFile::ReadResult r = FileListFile::read(box.file(u"list.txt"_s, bytes));
        QVERIFY(!r.error);
        // Every CR ends a line; what follows the last one is a line too.
        QCOMPARE(r.lines.size(),
                 bytes.count('\r') + (bytes.isEmpty() || bytes.endsWith('\r') ? 0 : 1));
        QVERIFY(r.lines == FileListFile::parse(bytes).lines);
    }

    void whatIsNoRegularFileIsReportedUnread()
    {
        Sandbox box;
        const QString fifo = box.path(u"pipe.txt"_s);
        ::mkfifo(QFile::encodeName(fifo).constData(), 0600);
        for (const QString &path : { box.path(u"missing.txt"_s), box.root(), fifo }) {
            const FileListFile::ReadResult r = FileListFile::read(path);
            QVERIFY2(r.error && !r.error->description.isEmpty(), qPrintable(path));
            QVERIFY(r.lines.isEmpty());
        }
    }

    void editCommands_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<QString>("before");
        QTest::addColumn<QString>("after");
        QTest::newRow("up: first two") << u"up"_s << u"A* B* C"_s << u"B* A C"_s;
        QTest::newRow("up: last two as a block") << u"up"_s << u"A B* C*"_s << u"B* C* A"_s;
        QTest::newRow("up: first alone stays") << u"up"_s << u"A* B C"_s << u"A* B C"_s;
        QTest::newRow("up: scattered") << u"up"_s << u"A B* C D* E"_s << u"B* A D* C E"_s;
        QTest::newRow("up: all") << u"up"_s << u"A* B* C*"_s << u"B* C* A"_s;
        QTest::newRow("down: last two") << u"down"_s << u"A B* C*"_s << u"A C B*"_s;
        QTest::newRow("down: first two as a block") << u"down"_s << u"A* B* C"_s << u"C A* B*"_s;
        QTest::newRow("down: last alone stays") << u"down"_s << u"A B C*"_s << u"A B C*"_s;
        QTest::newRow("remove: scattered") << u"remove"_s << u"A* B C* D E*"_s << u"B D"_s;
        QTest::newRow("remove: duplicates by place") << u"remove"_s << u"A B* B A*"_s << u"A B"_s;
        QTest::newRow("sort: equal lines keep their order")
            << u"sort"_s << uR"(C:\b.jpg c:\A.jpg C:\a.jpg)"_s
            << uR"(c:\A.jpg C:\a.jpg C:\b.jpg)"_s;
        QTest::newRow("sort: width and case ignored, selection follows")
            << u"sort"_s << u"ｃ.jpg B.jpg* ａ.jpg 10.jpg 2.jpg*"_s
            << u"10.jpg 2.jpg* ａ.jpg B.jpg* ｃ.jpg"_s;
        QTest::newRow("sort: one line") << u"sort"_s << u"x*"_s << u"x*"_s;
    }
    void editCommands()
    {
        QFETCH(QString, command);
        QFETCH(QString, before);
        QFETCH(QString, after);
        FileListModel model;
        QAbstractItemModelTester tester(&model,
                                        QAbstractItemModelTester::FailureReportingMode::QtTest);
        auto [lines, selected] = parse(before);
        model.append(lines);
        if (command == u"up")
            model.moveUp(selected);
        else if (command == u"down")
            model.moveDown(selected);
        else if (command == u"sort")
            model.sort(selected);
        else {
            model.removeSelected(selected);
            selected = QList<bool>(model.rowCount());
        }
        QCOMPARE(show(model.lines(), selected), after);
        QCOMPARE(model.rowCount(), int(model.lines().size()));
    }

    void removingManyScatteredLinesKeepsTheOthersInOrder()
    {
        FileListModel model;
        QStringList lines;
        QList<bool> selected;
        for (int i = 0; i < 1000; ++i) {
            lines.append(QString::number(i));
            selected.append(i % 3 == 0);
        }
        model.append(lines);
        model.removeSelected(selected);
        QCOMPARE(model.rowCount(), 666);
        QCOMPARE(model.lines().first(), u"1"_s);
        QCOMPARE(model.lines().last(), u"998"_s);
        QCOMPARE(model.lines().at(2), u"4"_s);
    }
};

QTEST_GUILESS_MAIN(TestFileListFile)
#include "tst_filelistfile.moc"
