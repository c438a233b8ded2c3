#include "FakeServices.h"
#include "core/PlayList.h"
#include "core/RandomSource.h"
#include "imagelist/Sorting.h"
#include "imagelist/TextCollator.h"

#include <QElapsedTimer>
#include <QMap>
#include <QRandomGenerator>
#include <QTest>

using namespace Qt::StringLiterals;

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

QStringList sortedByName(const QStringList &paths, int order, int lo = 1, int hi = -1)
{
    PlayList list = listOf(paths);
    QuickSortFileList(list, lo, hi < 0 ? list.count() : hi, order);
    return pathsOf(list);
}

// Texts that differ only in letter case, so they all compare equal; bit k of `n` makes the
// k-th letter a capital.
QString equalVariant(int n)
{
    QString s = u"abcdefghijklmnopqr.jpg"_s;
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
    void comparesIgnoringCaseAndWidthButNotDigitValues()
    {
        const TextCollator &c = TextCollator::japanese();
        QCOMPARE(c.compare(u"ＡＢＣ.jpg", u"abc.jpg"), 0);
        QCOMPARE(c.compare(u"ABC.JPG", u"abc.jpg"), 0);
        QCOMPARE(c.compare(u"ｶﾞｿﾞｳ", u"ガゾウ"), 0);
        QCOMPARE(c.compare(u"10.jpg", u"2.jpg"), -1);
        QCOMPARE(c.compare(u"b.jpg", u"A.jpg"), 1);

        QCOMPARE(sortedByName({ u"C:/p/B.jpg"_s, u"C:/p/a.jpg"_s, u"C:/p/c.JPG"_s }, -1),
                 QStringList({ u"C:/p/a.jpg"_s, u"C:/p/B.jpg"_s, u"C:/p/c.JPG"_s }));
        const QStringList numbers { u"1.jpg"_s, u"10.jpg"_s, u"2.jpg"_s };
        QCOMPARE(sortedByName(numbers, -1), numbers);
        QCOMPARE(sortedByName(numbers, 1), QStringList({ u"2.jpg"_s, u"10.jpg"_s, u"1.jpg"_s }));
    }

    void sortsOnlyTheGivenRange()
    {
        const QStringList start { u"x"_s, u"c"_s, u"b"_s, u"a"_s, u"y"_s };
        QStringList strings = start;
        QuickSortStrings(strings, 1, 3, -1);
        QCOMPARE(strings, QStringList({ u"x"_s, u"a"_s, u"b"_s, u"c"_s, u"y"_s }));

        // One element and empty ranges stay as they are.
        strings = start;
        QuickSortStrings(strings, 2, 2, -1);
        QuickSortStrings(strings, 3, 1, -1);
        QCOMPARE(strings, start);
        QCOMPARE(sortedByName(start, 1, 4, 4), start);
        QCOMPARE(sortedByName(start, 1, 5, 2), start);
        QCOMPARE(sortedByName({}, -1), QStringList());
    }

    // Equal texts are not kept in their original order but placed exactly where the
    // reference puts them, so a list always comes out the same way.
    void placesEqualTextsLikeTheReference()
    {
        const QStringList pieces { u"a"_s, u"A"_s,  u"ａ"_s, u"Ａ"_s, u"b"_s,  u"B"_s,
                                   u"1"_s, u"10"_s, u"2"_s,  u"ｶﾞ"_s, u"ガ"_s, u"/"_s };
        QRandomGenerator rng(20240607);
        for (int round = 0; round < 7; ++round) {
            QStringList texts;
            // The last list is long enough to have its keys built on several threads.
            const int n = round == 6 ? 30000 : 1 + int(rng.bounded(2500));
            for (int i = 0; i < n; ++i) {
                QString t;
                for (int p = 1 + int(rng.bounded(3)); p > 0; --p)
                    t += pieces.at(rng.bounded(int(pieces.size())));
                texts.append(t + (rng.bounded(2) ? u".jpg"_s : u".JPG"_s));
            }
            const int order = round % 2 ? 1 : -1;
            const qsizetype lo = round < 2 ? 0 : rng.bounded(n);
            const qsizetype hi = round < 2 ? n - 1 : lo + rng.bounded(n - lo);

            QStringList expected = texts;
            referenceSort(expected, lo, hi, order);
            QStringList strings = texts;
            QuickSortStrings(strings, lo, hi, order);
            QCOMPARE(strings, expected);
            QCOMPARE(sortedByName(texts, order, int(lo + 1), int(hi + 1)), expected);
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
            QElapsedTimer timer;
            timer.start();
            const QStringList sorted = sortedByName(paths, order);
            qInfo("200,000 equal paths sorted in %lld ms", timer.elapsed());
            QCOMPARE(sorted, expected);
        }
    }

    void shufflesUniformlyAfterReseeding()
    {
        FakeRandom fake;
        PlayList one = listOf({ u"only.jpg"_s });
        ShuffleFileList(one, fake);
        QCOMPARE(pathsOf(one), QStringList { u"only.jpg"_s });
        QCOMPARE(fake.reseeds, 1);

        // Even a generator at the very top of its range picks a valid position.
        fake.values = { 0.999999999999, 0.0, 0.5 };
        QStringList paths;
        for (int i = 0; i < 50; ++i)
            paths.append(QString::number(i));
        PlayList list = listOf(paths);
        ShuffleFileList(list, fake);
        QStringList shuffled = pathsOf(list);
        QVERIFY(shuffled != paths);
        shuffled.sort();
        paths.sort();
        QCOMPARE(shuffled, paths);

        SystemRandom random;
        QMap<QString, int> seen;
        for (int r = 0; r < 6000; ++r) {
            PlayList abc = listOf({ u"a"_s, u"b"_s, u"c"_s });
            ShuffleFileList(abc, random);
            ++seen[pathsOf(abc).join(QString())];
        }
        // Each of the six orders is expected 1000 times (standard deviation about 29).
        QCOMPARE(seen.size(), 6);
        for (auto it = seen.cbegin(); it != seen.cend(); ++it)
            QVERIFY2(it.value() > 820 && it.value() < 1180, qPrintable(it.key()));
    }
};

QTEST_GUILESS_MAIN(TestSorting)
#include "tst_sorting.moc"
