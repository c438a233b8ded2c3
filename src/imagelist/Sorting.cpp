#include "imagelist/Sorting.h"

#include "core/PlayList.h"
#include "core/RandomSource.h"
#include "imagelist/TextCollator.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <thread>
#include <utility>
#include <vector>

namespace {

// One text to sort: its sort key, split into the first bytes after the prefix that every key
// of the range shares (big-endian, so that comparing `head` compares those bytes) and the
// rest; and where the text stood before sorting, relative to the range start. Most
// comparisons end at `head` without touching the keys, which are scattered in memory.
struct KeyedText
{
    quint64 head;
    const char *rest;
    qsizetype from;
};

inline int compareKeys(const KeyedText &a, const KeyedText &b)
{
    if (a.head != b.head)
        return a.head < b.head ? -1 : 1;
    const int c = std::strcmp(a.rest, b.rest);
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
        if (bound >= 0 && compareKeys(a[lo], a[bound]) == 0) {
            ++lo;
            continue;
        }
        const KeyedText pivot = a[lo];
        qsizetype last = lo;
        for (qsizetype i = lo + 1; i <= hi; ++i) {
            if (compareKeys(a[i], pivot) == order) {
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

// The sort keys of n texts. Building keys is most of the work of a large sort, so a long
// list is split among the processor's cores, each with its own collator.
class SortKeys
{
public:
    template<typename TextAt>
    SortKeys(qsizetype n, TextAt textAt)
        : m_keys(static_cast<size_t>(n))
    {
        const unsigned cores = std::thread::hardware_concurrency();
        const int parts = n >= 20000 ? int(qBound(1u, cores, 8u)) : 1;
        m_arenas.resize(size_t(parts));
        std::vector<size_t> offsets(static_cast<size_t>(n));
        auto build = [&](int part, const TextCollator &collator) {
            std::vector<char> &arena = m_arenas[size_t(part)];
            const qsizetype begin = n * part / parts, end = n * (part + 1) / parts;
            arena.reserve(size_t(end - begin) * 64);
            for (qsizetype k = begin; k < end; ++k)
                offsets[size_t(k)] = collator.appendSortKey(textAt(k), arena);
        };
        std::vector<std::unique_ptr<TextCollator>> clones;
        std::vector<std::thread> threads;
        std::vector<int> leftOver;
        for (int part = 1; part < parts; ++part) {
            clones.push_back(TextCollator::japanese().clone());
            if (clones.back())
                threads.emplace_back(build, part, std::cref(*clones.back()));
            else
                leftOver.push_back(part);
        }
        build(0, TextCollator::japanese());
        for (int part : leftOver)
            build(part, TextCollator::japanese());
        for (std::thread &t : threads)
            t.join();
        for (int part = 0; part < parts; ++part) {
            const qsizetype begin = n * part / parts, end = n * (part + 1) / parts;
            for (qsizetype k = begin; k < end; ++k)
                m_keys[size_t(k)] = m_arenas[size_t(part)].data() + offsets[size_t(k)];
        }
    }

    std::vector<KeyedText> keyed() const
    {
        // The prefix every key shares tells no key from another: skip it.
        size_t common = m_keys.empty() ? 0 : std::strlen(m_keys[0]);
        for (size_t k = 1; k < m_keys.size() && common > 0; ++k) {
            size_t j = 0;
            while (j < common && m_keys[k][j] == m_keys[0][j])
                ++j;
            common = j;
        }
        std::vector<KeyedText> keyed(m_keys.size());
        for (size_t k = 0; k < m_keys.size(); ++k) {
            const char *s = m_keys[k] + common;
            quint64 head = 0;
            int used = 0;
            for (; used < 8 && s[used]; ++used)
                head = (head << 8) | static_cast<unsigned char>(s[used]);
            // A key that ends at once leaves `head` 0; shifting a 64-bit word by 64 is undefined.
            head = used == 0 ? 0 : head << (8 * (8 - used));
            // A key that ended inside `head` leaves `rest` at its terminating 0.
            keyed[k] = { head, s + used, qsizetype(k) };
        }
        return keyed;
    }

private:
    std::vector<std::vector<char>> m_arenas;
    std::vector<const char *> m_keys;
};

// Sorts the n texts that textAt(0 … n−1) returns and hands back, for each new place, the
// index the text came from.
template<typename TextAt> std::vector<KeyedText> sortedOrder(qsizetype n, int order, TextAt textAt)
{
    const SortKeys keys(n, textAt);
    std::vector<KeyedText> keyed = keys.keyed();
    sortKeys(keyed.data(), 0, n - 1, order, -1);
    // The keys die with `keys`; only `from` is used afterwards.
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

std::vector<qsizetype> StableSortOrder(const QStringList &texts)
{
    const qsizetype n = texts.size();
    std::vector<qsizetype> order(static_cast<size_t>(n));
    if (n == 0)
        return order;
    const SortKeys keys(n, [&](qsizetype k) { return QStringView(texts.at(k)); });
    std::vector<KeyedText> keyed = keys.keyed();
    std::stable_sort(keyed.begin(), keyed.end(),
                     [](const KeyedText &a, const KeyedText &b) { return compareKeys(a, b) < 0; });
    for (size_t k = 0; k < keyed.size(); ++k)
        order[k] = keyed[k].from;
    return order;
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
