#include "imagelist/Sorting.h"

#include "core/RandomSource.h"
#include "engine/PlayList.h"
#include "imagelist/TextCollator.h"

#include <cstring>
#include <utility>
#include <vector>

namespace {

// A text's sort key and where the text stood before sorting (relative to the range start).
struct KeyedText
{
    const char *key;
    qsizetype from;
};

inline int compareKeys(const char *a, const char *b)
{
    const int c = std::strcmp(a, b);
    return (c > 0) - (c < 0);
}

// Quicksort with the middle element as pivot. Elements that compare exactly `order` to the
// pivot go to its left, all others (equal ones too) stay to its right, so equal texts end up
// in the same places on every run. The smaller part is sorted by recursion and the larger one
// by the loop, which keeps the stack within log2(n) frames whatever the input.
//
// `bound` is the position of an element that nothing in [lo, hi] compares `order` to, or -1.
// When the chosen pivot compares equal to it, no element of the range can move, so the pass
// over the range is skipped: a run of equal texts costs one comparison per element instead of
// one pass per element.
void sortKeys(KeyedText *a, qsizetype lo, qsizetype hi, int order, qsizetype bound)
{
    while (lo < hi) {
        std::swap(a[lo], a[lo + (hi - lo) / 2]);
        if (bound >= 0 && compareKeys(a[lo].key, a[bound].key) == 0) {
            ++lo;
            continue;
        }
        const char *pivot = a[lo].key;
        qsizetype last = lo;
        for (qsizetype i = lo + 1; i <= hi; ++i) {
            if (compareKeys(a[i].key, pivot) == order) {
                ++last;
                std::swap(a[last], a[i]);
            }
        }
        std::swap(a[lo], a[last]);
        if (last - lo < hi - last) {
            sortKeys(a, lo, last - 1, order, bound);
            lo = last + 1;
            bound = last;
        } else {
            sortKeys(a, last + 1, hi, order, last);
            hi = last - 1;
        }
    }
}

// Sorts the n texts that textAt(0 … n−1) returns and hands back, for each new place, the
// index the text came from.
template<typename TextAt> std::vector<KeyedText> sortedOrder(qsizetype n, int order, TextAt textAt)
{
    const TextCollator &collator = TextCollator::japanese();
    std::vector<char> arena;
    arena.reserve(size_t(n) * 48);
    std::vector<size_t> offsets(static_cast<size_t>(n));
    for (qsizetype k = 0; k < n; ++k)
        offsets[size_t(k)] = collator.appendSortKey(textAt(k), arena);

    std::vector<KeyedText> keyed(static_cast<size_t>(n));
    for (qsizetype k = 0; k < n; ++k)
        keyed[size_t(k)] = { arena.data() + offsets[size_t(k)], k };
    sortKeys(keyed.data(), 0, n - 1, order, -1);
    // The keys point into the arena, which dies here; only `from` is used afterwards.
    return keyed;
}

// Moves the texts into their sorted places: the text at place k comes from place from(k).
template<typename TextRef> void applyOrder(const std::vector<KeyedText> &keyed, TextRef textRef)
{
    std::vector<QString> old(keyed.size());
    for (size_t k = 0; k < keyed.size(); ++k)
        old[k] = std::move(textRef(qsizetype(k)));
    for (size_t k = 0; k < keyed.size(); ++k)
        textRef(qsizetype(k)) = std::move(old[size_t(keyed[k].from)]);
}

} // namespace

void QuickSortStrings(QStringList &array, qsizetype lo, qsizetype hi, int order)
{
    lo = qMax<qsizetype>(lo, 0);
    hi = qMin<qsizetype>(hi, array.size() - 1);
    if (lo >= hi)
        return;
    const qsizetype n = hi - lo + 1;
    const auto keyed
        = sortedOrder(n, order, [&](qsizetype k) { return QStringView(array.at(lo + k)); });
    applyOrder(keyed, [&](qsizetype k) -> QString & { return array[lo + k]; });
}

void QuickSortFileList(PlayList &list, int lo, int hi, int order)
{
    lo = qMax(lo, 1);
    hi = qMin(hi, list.count());
    if (lo >= hi)
        return;
    const qsizetype n = qsizetype(hi) - lo + 1;
    const auto keyed
        = sortedOrder(n, order, [&](qsizetype k) { return QStringView(list.path(int(lo + k))); });
    applyOrder(keyed, [&](qsizetype k) -> QString & { return list.item(int(lo + k)).m_strPath; });
}

void ShuffleFileList(PlayList &list, RandomSource &random)
{
    random.reseed();
    // Fisher–Yates: position i takes a uniformly chosen path from positions 1 … i.
    for (int i = list.count(); i > 1; --i) {
        const int j = qBound(1, int(random.next() * i) + 1, i);
        if (j != i)
            list.swapPaths(i, j);
    }
}
