#include "ShowFixture.h"

#include <QTest>

#include <memory>

namespace {

struct Run
{
    QStringList shown;
    QStringList messages;
    int stateFlags = 0;
    // Moves to the next file that began by loading the file held decoded ahead, and all of them.
    int nextMovesFromAhead = 0;
    int nextMoves = 0;
};

} // namespace

// Decoding ahead must never change what the show puts on screen: the same moves over the same
// list show the same files in the same order with it and without it, and each plain move to the
// next file loads the very file that was decoded ahead for it.
class TestDecodeAhead : public QObject
{
    Q_OBJECT

    // Moves: n next, p previous, f first, l last, r reverse, d drop the file on screen.
    static Run play(bool ahead, const QStringList &names, const QStringList &unreadable,
                    const QString &options, const QList<double> &randoms, const QString &moves)
    {
        ShowFixture f;
        f.show.setDecodeAhead(ahead);
        f.fill(names);
        for (const QString &name : unreadable)
            f.viewer.unreadable.insert(name);
        f.options.setCheck(Opt::chkLoop, options.contains(u"loop") ? 1 : 0);
        f.options.setOption(Opt::optSortRandom, options.contains(u"random"));
        f.options.setCheck(Opt::chkSortRandom, options.contains(u"norepeat") ? 1 : 0);
        f.random.values = randoms;
        if (options.contains(u"reversed")) {
            f.show.toggleReverse();
            f.show.nextIndex = names.size();
        }
        f.show.startSlideshow();

        Run run;
        for (const QChar move : moves) {
            const qsizetype firstLoad = f.viewer.loaded.size();
            const bool running = f.show.isRunning();
            switch (move.unicode()) {
            case 'n':
                f.show.goNext();
                break;
            case 'p':
                f.show.goPrevious();
                break;
            case 'f':
                f.show.goFirst();
                break;
            case 'l':
                f.show.goLast();
                break;
            case 'r':
                f.show.toggleReverse();
                break;
            case 'd':
                f.show.dropCurrentFile();
                break;
            }
            if (move == u'n' && running && f.viewer.loaded.size() > firstLoad) {
                ++run.nextMoves;
                if (f.viewer.loadedAhead.at(firstLoad))
                    ++run.nextMovesFromAhead;
            }
        }
        for (const QString &path : std::as_const(f.viewer.shown))
            run.shown << GetFileName(path);
        run.messages = f.messages.texts();
        run.stateFlags = f.show.stateFlags;
        return run;
    }

private slots:
    void sameFilesShownWithAndWithoutDecodingAhead_data()
    {
        QTest::addColumn<QStringList>("names");
        QTest::addColumn<QStringList>("unreadable");
        QTest::addColumn<QString>("options");
        QTest::addColumn<QList<double>>("randoms");
        QTest::addColumn<QString>("moves");

        const QStringList six { u"1.jpg"_qs, u"2.jpg"_qs, u"3.jpg"_qs,
                                u"4.jpg"_qs, u"5.jpg"_qs, u"6.jpg"_qs };
        QTest::newRow("undisplayable files, loop")
            << six << QStringList { u"2.jpg"_qs, u"5.jpg"_qs } << u"loop"_qs << QList<double>()
            << u"nnnnnnnnn"_qs;
        QTest::newRow("undisplayable last file, no loop")
            << six << QStringList { u"6.jpg"_qs } << QString() << QList<double>() << u"nnnnnnn"_qs;
        QTest::newRow("every file undisplayable")
            << QStringList { u"1.jpg"_qs, u"2.jpg"_qs } << QStringList { u"1.jpg"_qs, u"2.jpg"_qs }
            << u"loop"_qs << QList<double>() << u"nn"_qs;
        QTest::newRow("reversed from the start, loop")
            << six << QStringList { u"4.jpg"_qs } << u"loop reversed"_qs << QList<double>()
            << u"nnnnnnnn"_qs;
        QTest::newRow("direction turned during the show")
            << six << QStringList { u"3.jpg"_qs } << u"loop"_qs << QList<double>()
            << u"nnnrnnnnrnn"_qs;
        QTest::newRow("jumps and drops")
            << six << QStringList() << u"loop"_qs << QList<double>() << u"nnlnfnpndnnrdn"_qs;
        QTest::newRow("random picks")
            << six << QStringList() << u"random"_qs
            << QList<double> { 0.1, 0.55, 0.55, 0.99, 0.0, 0.3, 0.7, 0.2 } << u"nnnnnnn"_qs;
        QTest::newRow("random picks over undisplayable files")
            << six << QStringList { u"2.jpg"_qs, u"6.jpg"_qs } << u"random"_qs
            << QList<double> { 0.2, 0.9, 0.5, 0.2, 0.95, 0.0, 0.6, 0.3, 0.8 } << u"nnnnnn"_qs;
        QTest::newRow("random without repeats, loop")
            << six << QStringList { u"1.jpg"_qs } << u"random norepeat loop"_qs
            << QList<double> { 0.9, 0.1 } << u"nnnnnnnn"_qs;
        QTest::newRow("movie among the pictures, loop")
            << QStringList { u"1.jpg"_qs, u"clip.mp4"_qs, u"3.jpg"_qs } << QStringList()
            << u"loop"_qs << QList<double>() << u"nnnnn"_qs;
    }

    void sameFilesShownWithAndWithoutDecodingAhead()
    {
        QFETCH(QStringList, names);
        QFETCH(QStringList, unreadable);
        QFETCH(QString, options);
        QFETCH(QList<double>, randoms);
        QFETCH(QString, moves);

        const Run without = play(false, names, unreadable, options, randoms, moves);
        const Run with = play(true, names, unreadable, options, randoms, moves);
        QCOMPARE(with.shown, without.shown);
        QCOMPARE(with.messages, without.messages);
        QCOMPARE(with.stateFlags, without.stateFlags);
        QCOMPARE(without.nextMovesFromAhead, 0);
        QCOMPARE(with.nextMovesFromAhead, with.nextMoves);
    }

    void stoppingDropsThePictureDecodedAhead()
    {
        ShowFixture f;
        f.fillNumbered(3);
        f.show.startSlideshow();
        QVERIFY(f.viewer.heldAhead.endsWith(u"/2.jpg"));
        f.show.stopSlideshow();
        QVERIFY(f.viewer.heldAhead.isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestDecodeAhead)
#include "tst_decodeahead.moc"
