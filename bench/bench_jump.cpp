// Figures for the page jump dialog's search: a million-entry runtime list searched with and
// without case/width folding, against a plain case-sensitive scan as the reference.
#include "core/PlayList.h"
#include "viewer/jump/JumpSearch.h"

#include <QCoreApplication>
#include <QElapsedTimer>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

template<typename Work> double timeIt(int runs, Work work)
{
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer t;
        t.start();
        work();
        times.push_back(double(t.nsecsElapsed()) / 1e6);
    }
    return median(times);
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const int runs = std::max(1, qEnvironmentVariableIntValue("LUNETTA_BENCH_RUNS"));
    const int count = 1'000'000;
    PlayList list;
    list.reserve(count);
    // Paths of a typical photo collection; every 1000th holds the searched word in capitals,
    // every 997th a half-width kana folder.
    for (int i = 0; i < count; ++i) {
        QString path = QStringLiteral("/home/user/Pictures/%1/%2/IMG_%3.jpg")
                           .arg(2000 + i % 25)
                           .arg(i % 97, 2, 10, QLatin1Char('0'))
                           .arg(i, 7, 10, QLatin1Char('0'));
        if (i % 1000 == 0)
            path.insert(20, QStringLiteral("HOLIDAY/"));
        if (i % 997 == 0)
            path.insert(20, QStringLiteral("ｶﾒﾗ/"));
        list.appendToPlayList(path);
    }
    const int n = std::max(runs, 3);
    qsizetype hits = 0;
    const double exact = timeIt(n, [&] {
        hits = JumpSearch::findInPlayList(list, QStringLiteral("HOLIDAY"), true).size();
    });
    std::printf("jump search, 1,000,000 paths, exact:            %8.1f ms (%lld hits)\n", exact,
                qlonglong(hits));
    const double folded = timeIt(n, [&] {
        hits = JumpSearch::findInPlayList(list, QStringLiteral("holiday"), false).size();
    });
    std::printf("jump search, 1,000,000 paths, case/width folded: %8.1f ms (%lld hits, %.1fx "
                "exact)\n",
                folded, qlonglong(hits), folded / exact);
    const double kana = timeIt(n, [&] {
        hits = JumpSearch::findInPlayList(list, QStringLiteral("カメラ"), false).size();
    });
    std::printf("jump search, 1,000,000 paths, full-width kana:   %8.1f ms (%lld hits)\n", kana,
                qlonglong(hits));
    const double everything = timeIt(
        n, [&] { hits = JumpSearch::findInPlayList(list, QStringLiteral("/"), false).size(); });
    std::printf("jump search, 1,000,000 paths, text in every path:%8.1f ms (%lld hits)\n",
                everything, qlonglong(hits));
    return 0;
}
