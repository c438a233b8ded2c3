#include "FakeServices.h"
#include "core/RandomSource.h"
#include "engine/PlayList.h"
#include "imagelist/Sorting.h"
#include "imagelist/TextCollator.h"

#include <QElapsedTimer>
#include <QMap>
#include <QRandomGenerator>
#include <QTest>

namespace {

// The quicksort as the program has always defined it, written as plainly as possible: the
// middle element becomes the pivot, elements comparing exactly `order` to it go left.
void referenceSort(QStringList &a, qsizetype lo, qsizetype hi, int order)
{
    if (lo >= hi)
        return;
    a.swapItemsAt(lo, (lo + hi) / 2);
    qsizetype last = lo;
    for (qsizetype i = lo + 1; i <= hi; ++i) {
        if (TextCollator::japanese().compare(a.at(i), a.at(lo)) == order)
            a.swapItemsAt(++last, i);
    }
    a.swapItemsAt(lo, last);
    referenceSort(a, lo, last - 1, order);
    referenceSort(a, last + 1, hi, order);
}

// Where the reference leaves a range whose elements all compare equal: each step only swaps
// the range's first element with its middle one and goes on with the rest.
QStringList allEqualOrder(QStringList a)
{
    const qsizetype hi = a.size() - 1;
    for (qsizetype lo = 0; lo < hi; ++lo)
        a.swapItemsAt(lo, (lo + hi) / 2);
    return a;
}

PlayList listOf(const QStringList &paths)
{
    PlayList list;
    for (const QString &p : paths)
        list.appendToPlayList(p);
    return list;
}

QStringList pathsOf(const PlayList &list)
{
    QStringList paths;
    for (int i = 1; i <= list.count(); ++i)
        paths.append(list.path(i));
    return paths;
}

// Texts that differ only in letter case, so they all compare equal; bit k of `n` makes the
// k-th letter a capital.
QString equalVariant(int n)
{
    QString s = QStringLiteral("abcdefghijklmnopqr.jpg");
    for (int k = 0; k < 18; ++k) {
        if (n & (1 << k))
            s[k] = s[k].toUpper();
    }
    return s;
}

} // namespace

class TestSorting : public QObject
{
    Q_OBJECT
private slots:
    void comparisonIgnoresCaseAndWidthButNotDigitValues()
    {
        const TextCollator &c = TextCollator::japanese();
        QCOMPARE(c.compare(u"ＡＢＣ.jpg", u"abc.jpg"), 0);
        QCOMPARE(c.compare(u"ABC.JPG", u"abc.jpg"), 0);
        QCOMPARE(c.compare(u"ｶﾞｿﾞｳ", u"ガゾウ"), 0);
        QCOMPARE(c.compare(u"10.jpg", u"2.jpg"), -1);
        QCOMPARE(c.compare(u"b.jpg", u"A.jpg"), 1);
        QCOMPARE(c.compare(u"C:/a/3.jpg", u"C:/a/z/2.jpg"), -1);
    }

    void sortsPathsByNameInBothDirections()
    {
        PlayList list = listOf({ QStringLiteral("C:/p/B.jpg"), QStringLiteral("C:/p/a.jpg"),
                                 QStringLiteral("C:/p/c.JPG") });
        QuickSortFileList(list, 1, list.count(), -1);
        QCOMPARE(pathsOf(list),
                 QStringList({ QStringLiteral("C:/p/a.jpg"), QStringLiteral("C:/p/B.jpg"),
                               QStringLiteral("C:/p/c.JPG") }));

        list = listOf(
            { QStringLiteral("1.jpg"), QStringLiteral("10.jpg"), QStringLiteral("2.jpg") });
        QuickSortFileList(list, 1, 3, -1);
        QCOMPARE(pathsOf(list),
                 QStringList({ QStringLiteral("1.jpg"), QStringLiteral("10.jpg"),
                               QStringLiteral("2.jpg") }));
        QuickSortFileList(list, 1, 3, 1);
        QCOMPARE(pathsOf(list),
                 QStringList({ QStringLiteral("2.jpg"), QStringLiteral("10.jpg"),
                               QStringLiteral("1.jpg") }));
    }

    void sortsOnlyTheGivenRange()
    {
        const QStringList start { QStringLiteral("x"), QStringLiteral("c"), QStringLiteral("b"),
                                  QStringLiteral("a"), QStringLiteral("y") };
        QStringList strings = start;
        QuickSortStrings(strings, 1, 3, -1);
        QCOMPARE(strings,
                 QStringList({ QStringLiteral("x"), QStringLiteral("a"), QStringLiteral("b"),
                               QStringLiteral("c"), QStringLiteral("y") }));

        // One element and empty ranges stay as they are.
        strings = start;
        QuickSortStrings(strings, 2, 2, -1);
        QuickSortStrings(strings, 3, 1, -1);
        QCOMPARE(strings, start);
        PlayList list = listOf(start);
        QuickSortFileList(list, 4, 4, 1);
        QuickSortFileList(list, 5, 2, 1);
        QCOMPARE(pathsOf(list), start);

        PlayList empty;
        QuickSortFileList(empty, 1, 0, -1);
        QCOMPARE(empty.count(), 0);
    }

    // Equal texts are not kept in their original order but placed exactly where the
    // reference puts them, so a list always comes out the same way.
    void placesEqualTextsLikeTheReference()
    {
        const QStringList pieces {
            QStringLiteral("a"), QStringLiteral("A"),  QStringLiteral("ａ"), QStringLiteral("Ａ"),
            QStringLiteral("b"), QStringLiteral("B"),  QStringLiteral("1"),  QStringLiteral("10"),
            QStringLiteral("2"), QStringLiteral("ｶﾞ"), QStringLiteral("ガ"), QStringLiteral("/")
        };
        QRandomGenerator rng(20240607);
        for (int round = 0; round < 6; ++round) {
            QStringList texts;
            const int n = 1 + int(rng.bounded(2500));
            for (int i = 0; i < n; ++i) {
                QString t;
                const int parts = 1 + int(rng.bounded(3));
                for (int p = 0; p < parts; ++p)
                    t += pieces.at(rng.bounded(int(pieces.size())));
                texts.append(t
                             + (rng.bounded(2) ? QStringLiteral(".jpg") : QStringLiteral(".JPG")));
            }
            const int order = round % 2 ? 1 : -1;
            const qsizetype lo = round < 2 ? 0 : rng.bounded(n);
            const qsizetype hi = round < 2 ? n - 1 : lo + rng.bounded(n - lo);

            QStringList expected = texts;
            referenceSort(expected, lo, hi, order);

            QStringList strings = texts;
            QuickSortStrings(strings, lo, hi, order);
            QCOMPARE(strings, expected);

            PlayList list = listOf(texts);
            QuickSortFileList(list, int(lo + 1), int(hi + 1), order);
            QCOMPARE(pathsOf(list), expected);
        }
    }

    void sortsALargeAllEqualListWithoutExhaustingTheStack()
    {
        // The shortcut for equal runs must leave them exactly where the reference does.
        QStringList small;
        for (int i = 0; i < 600; ++i)
            small.append(equalVariant(i));
        QStringList reference = small;
        referenceSort(reference, 0, small.size() - 1, -1);
        QCOMPARE(reference, allEqualOrder(small));

        QStringList paths;
        for (int i = 0; i < 200000; ++i)
            paths.append(equalVariant(i));
        const QStringList expected = allEqualOrder(paths);
        for (int order : { -1, 1 }) {
            PlayList list = listOf(paths);
            QElapsedTimer timer;
            timer.start();
            QuickSortFileList(list, 1, list.count(), order);
            qInfo("200,000 equal paths sorted in %lld ms", timer.elapsed());
            QCOMPARE(pathsOf(list), expected);
        }
    }

    void shufflesIntoAPermutationAfterReseeding()
    {
        FakeRandom random;
        PlayList one = listOf({ QStringLiteral("only.jpg") });
        ShuffleFileList(one, random);
        QCOMPARE(pathsOf(one), QStringList { QStringLiteral("only.jpg") });
        QCOMPARE(random.reseeds, 1);

        PlayList empty;
        ShuffleFileList(empty, random);
        QCOMPARE(empty.count(), 0);

        // Even a generator at the very top of its range picks a valid position.
        random.values = { 0.999999999999, 0.0, 0.5 };
        QStringList paths;
        for (int i = 0; i < 50; ++i)
            paths.append(QString::number(i));
        PlayList list = listOf(paths);
        ShuffleFileList(list, random);
        QStringList shuffled = pathsOf(list);
        QVERIFY(shuffled != paths);
        std::sort(shuffled.begin(), shuffled.end());
        std::sort(paths.begin(), paths.end());
        QCOMPARE(shuffled, paths);
    }

    void shuffleIsUniform()
    {
        SystemRandom random;
        QMap<QString, int> seen;
        const int runs = 6000;
        for (int r = 0; r < runs; ++r) {
            PlayList list
                = listOf({ QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c") });
            ShuffleFileList(list, random);
            ++seen[pathsOf(list).join(QString())];
        }
        QCOMPARE(seen.size(), 6);
        // Each of the six orders is expected 1000 times (standard deviation about 29).
        for (auto it = seen.cbegin(); it != seen.cend(); ++it)
            QVERIFY2(it.value() > 820 && it.value() < 1180, qPrintable(it.key()));
    }
};

QTEST_GUILESS_MAIN(TestSorting)
#include "tst_sorting.moc"
